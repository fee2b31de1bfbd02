"""What the art scripts share: Pillow drawing with smooth edges, the suite's
font (Liberation Sans) and the files the resource scripts and the skin
compiler read.

Shapes with smooth edges are drawn on a Layer: four times the size, then
reduced and laid over the picture. Pictures are RGBA while drawn. A bitmap
is written as a 24-bit BMP in which every pixel that is less than half
covered becomes the key colour magenta and every other pixel keeps its own
colour, so no edge blends into the key (the blend would show on screen as a
pink fringe). An icon is written as a one-image 32-bit ICO with its alpha.
"""
import os
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:  # pragma: no cover - a set-up fault, said plainly
    sys.exit("the art scripts need Pillow (python3-pil; scripts/install-deps.sh installs it)")

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
MAGENTA = (255, 0, 255)  # the key colour the bitmaps use for "transparent"
CLEAR = (0, 0, 0, 0)

SCALE = 4  # supersampling of a Layer
FONT_DIRS = ("/usr/share/fonts/truetype/liberation", "/usr/share/fonts/truetype/liberation2")


def picture(width, height=None, fill=CLEAR):
    """A new RGBA picture; fill is an RGB or RGBA colour."""
    return Image.new("RGBA", (width, width if height is None else height), rgba(fill))


def rgba(colour):
    return tuple(colour) if len(colour) == 4 else tuple(colour) + (255,)


def font(size, bold=False):
    """Liberation Sans (Arial's metrics) at a pixel size."""
    name = "LiberationSans-Bold.ttf" if bold else "LiberationSans-Regular.ttf"
    for folder in FONT_DIRS:
        path = os.path.join(folder, name)
        if os.path.exists(path):
            return ImageFont.truetype(path, round(size))
    sys.exit("the art scripts need Liberation Sans (fonts-liberation; scripts/install-deps.sh installs it)")


def text_width(text, size, bold=False):
    return font(size, bold).getlength(text)


class Layer:
    """Shapes with smooth edges over a picture: coordinates are the picture's
    pixels (fractions allowed); a box is (x0, y0, x1, y1) with x1 and y1 the
    far edges. Drawn when the block ends:

        with Layer(image) as l:
            l.ellipse((2, 2, 30, 30), RED)
    """

    def __init__(self, image, box=None):
        self.image = image
        self.box = box or (0, 0) + image.size  # the part of the picture drawn on
        w, h = self.box[2] - self.box[0], self.box[3] - self.box[1]
        self.layer = Image.new("RGBA", (w * SCALE, h * SCALE), CLEAR)
        self.draw = ImageDraw.Draw(self.layer)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        if exc[0] is None:
            small = self.layer.resize((self.layer.width // SCALE, self.layer.height // SCALE), Image.BOX)
            self.image.alpha_composite(small, self.box[:2])
        return False

    def _xy(self, x, y):
        return ((x - self.box[0]) * SCALE, (y - self.box[1]) * SCALE)

    def _box(self, box):
        x0, y0 = self._xy(box[0], box[1])
        x1, y1 = self._xy(box[2], box[3])
        return (x0, y0, x1 - 1, y1 - 1)

    def ellipse(self, box, fill=None, outline=None, width=1):
        self.draw.ellipse(self._box(box), fill=fill and rgba(fill), outline=outline and rgba(outline),
                          width=round(width * SCALE))

    def disc(self, cx, cy, radius, fill):
        self.ellipse((cx - radius, cy - radius, cx + radius, cy + radius), fill)

    def ring(self, cx, cy, radius, width, colour):
        self.ellipse((cx - radius, cy - radius, cx + radius, cy + radius), outline=colour, width=width)

    def rect(self, box, fill):
        self.draw.rectangle(self._box(box), fill=rgba(fill))

    def rounded(self, box, radius, fill=None, outline=None, width=1):
        self.draw.rounded_rectangle(self._box(box), radius * SCALE, fill=fill and rgba(fill),
                                    outline=outline and rgba(outline), width=round(width * SCALE))

    def polygon(self, points, fill):
        self.draw.polygon([self._xy(x, y) for x, y in points], fill=rgba(fill))

    def line(self, points, width, colour):
        """A polyline of the given width with round ends and joints."""
        pts = [self._xy(x, y) for x, y in points]
        w = width * SCALE
        self.draw.line(pts, fill=rgba(colour), width=round(w), joint="curve")
        for x, y in pts:
            self.draw.ellipse((x - w / 2, y - w / 2, x + w / 2 - 1, y + w / 2 - 1), fill=rgba(colour))

    def text(self, xy, text, size, colour, bold=False, anchor="la"):
        """Text at a point: anchor as Pillow's ("la" left/ascender,
        "mm" middle, "lm" left/middle ...)."""
        self.draw.text(self._xy(*xy), text, fill=rgba(colour), font=font(size * SCALE, bold), anchor=anchor)


def vgradient(image, box, top, bottom):
    """A vertical gradient filling box (hard edges)."""
    x0, y0, x1, y1 = box
    d = ImageDraw.Draw(image)
    span = max(1, y1 - y0 - 1)
    for y in range(y0, y1):
        t = (y - y0) / span
        d.line((x0, y, x1 - 1, y), fill=tuple(round(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,))


def rect(image, box, colour):
    """A rectangle of whole pixels, box's far edges excluded (hard edges)."""
    x0, y0, x1, y1 = box
    if x1 > x0 and y1 > y0:
        ImageDraw.Draw(image).rectangle((x0, y0, x1 - 1, y1 - 1), fill=rgba(colour))


def frame(image, box, colour):
    """The one-pixel outline of box."""
    x0, y0, x1, y1 = box
    ImageDraw.Draw(image).rectangle((x0, y0, x1 - 1, y1 - 1), outline=rgba(colour))


def bevel(image, box, face, light, dark, sunken=False):
    """A raised (or sunken) box with a one-pixel border."""
    x0, y0, x1, y1 = box
    rect(image, box, face)
    hi, lo = (dark, light) if sunken else (light, dark)
    rect(image, (x0, y0, x1, y0 + 1), hi)
    rect(image, (x0, y0, x0 + 1, y1), hi)
    rect(image, (x0, y1 - 1, x1, y1), lo)
    rect(image, (x1 - 1, y0, x1, y1), lo)


def keyed(image, key=MAGENTA):
    """The RGB picture a keyed bitmap holds: pixels less than half covered
    become the key, the others keep their colour unblended."""
    rgb = Image.new("RGB", image.size, key)
    opaque = image.getchannel("A").point(lambda a: 255 if a >= 128 else 0)
    rgb.paste(image.convert("RGB"), (0, 0), opaque)
    return rgb


def save_bmp(path, image):
    """A 24-bit BMP (Pillow's writer); see keyed for transparent pixels."""
    (keyed(image) if image.mode == "RGBA" else image.convert("RGB")).save(path, format="BMP")


def save_ico(path, image):
    """A one-image 32-bit ICO with the picture's alpha (Pillow's writer, the
    bitmap form the resource compiler takes)."""
    image.save(path, format="ICO", sizes=[image.size], bitmap_format="bmp")


SUITE_BLUE = (38, 84, 160)


def film(l, colour):
    """A film strip with its perforations, on a 32 x 32 Layer."""
    l.rounded((3, 7, 29, 25), 2, colour)
    for x in range(5, 27, 5):
        l.rect((x, 9, x + 3, 11), WHITE)
        l.rect((x, 21, x + 3, 23), WHITE)


def suite_icon(l):
    """The program icon the launcher and the converter show: a blue film
    strip with a play mark, on a 32 x 32 Layer."""
    film(l, SUITE_BLUE)
    l.polygon(((13, 12), (13, 20), (20.5, 16)), WHITE)
