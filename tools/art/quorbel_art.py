"""The suite's drawing primitives for the art scripts that run at build time.

A Canvas holds rows of (r, g, b) pixels, top-down; None is a transparent
pixel. Shapes are filled by testing pixels against a predicate (at their
centres unless said otherwise), so every script draws the same way; the
writers produce 24-bit BMP files and one-image 32-bit ICO files with their
AND masks. Standard library only.
"""
import struct

WHITE = (255, 255, 255)
BLACK = (0, 0, 0)
MAGENTA = (255, 0, 255)  # the key colour the bitmaps use for "transparent"


class Canvas:
    def __init__(self, width, height=None, fill=None):
        self.width = width
        self.height = width if height is None else height
        self.size = width  # the side of a square canvas
        self.pixels = [[fill] * width for _ in range(self.height)]

    def put(self, x, y, colour):
        if 0 <= x < self.width and 0 <= y < self.height:
            self.pixels[y][x] = colour

    def rect(self, x0, y0, x1, y1, colour):
        """Pixels x0 <= x < x1, y0 <= y < y1 (clipped)."""
        for y in range(max(0, y0), min(self.height, y1)):
            row = self.pixels[y]
            for x in range(max(0, x0), min(self.width, x1)):
                row[x] = colour

    def fill(self, inside, colour, offset=0.5, box=None):
        """Every pixel for which inside(x + offset, y + offset) holds; box
        (x0, y0, x1, y1) limits the pixels tried."""
        x0, y0, x1, y1 = box if box is not None else (0, 0, self.width, self.height)
        for y in range(max(0, y0), min(self.height, y1)):
            for x in range(max(0, x0), min(self.width, x1)):
                if inside(x + offset, y + offset):
                    self.pixels[y][x] = colour

    def disc(self, cx, cy, radius, colour):
        """A filled circle around the point (cx, cy), tested at pixel centres."""
        self.fill(lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius, colour)

    def ellipse(self, x0, y0, x1, y1, colour):
        """The ellipse inside the pixels x0..x1, y0..y1 (inclusive)."""
        cx, cy = (x0 + x1 + 1) / 2, (y0 + y1 + 1) / 2
        rx, ry = (x1 - x0 + 1) / 2, (y1 - y0 + 1) / 2
        self.fill(lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, colour)

    def triangle(self, points, colour):
        self.fill(lambda x, y: in_triangle(x, y, *points), colour)

    def polygon(self, points, colour):
        self.fill(lambda x, y: in_polygon(x, y, points), colour)

    def line(self, x0, y0, x1, y1, width, colour):
        """A line of the given width with round ends."""
        self.fill(lambda x, y: near_line(x, y, x0, y0, x1, y1, width), colour)

    def frame(self, x0, y0, x1, y1, colour):
        """The one-pixel outline of rect(x0, y0, x1, y1)."""
        self.rect(x0, y0, x1, y0 + 1, colour)
        self.rect(x0, y1 - 1, x1, y1, colour)
        self.rect(x0, y0, x0 + 1, y1, colour)
        self.rect(x1 - 1, y0, x1, y1, colour)

    def bevel(self, x0, y0, x1, y1, face, light, dark, sunken=False):
        """A raised (or sunken) box with a one-pixel border."""
        self.rect(x0, y0, x1, y1, face)
        hi, lo = (dark, light) if sunken else (light, dark)
        self.rect(x0, y0, x1, y0 + 1, hi)
        self.rect(x0, y0, x0 + 1, y1, hi)
        self.rect(x0, y1 - 1, x1, y1, lo)
        self.rect(x1 - 1, y0, x1, y1, lo)

    def vgradient(self, x0, y0, x1, y1, top, bottom):
        h = max(1, y1 - y0 - 1)
        for y in range(y0, y1):
            t = (y - y0) / h
            c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3))
            self.rect(x0, y, x1, y + 1, c)


# ---- Shape tests (for Canvas.fill and scripts that compose their own) ----

def in_triangle(x, y, a, b, c):
    def side(p, q):
        return (q[0] - p[0]) * (y - p[1]) - (q[1] - p[1]) * (x - p[0])
    s1, s2, s3 = side(a, b), side(b, c), side(c, a)
    return (s1 >= 0 and s2 >= 0 and s3 >= 0) or (s1 <= 0 and s2 <= 0 and s3 <= 0)


def in_polygon(x, y, points):
    """Even-odd rule."""
    hit = False
    for i in range(len(points)):
        (ax, ay), (bx, by) = points[i], points[i - 1]
        if (ay > y) != (by > y) and x < (bx - ax) * (y - ay) / (by - ay) + ax:
            hit = not hit
    return hit


def near_line(x, y, x0, y0, x1, y1, width):
    dx, dy = x1 - x0, y1 - y0
    t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / float(dx * dx + dy * dy)))
    px, py = x0 + t * dx, y0 + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2.0) ** 2


# ---- Files ----

def bmp_bytes(canvas, pixels_per_metre=2835):
    """A 24-bit bottom-up BMP; transparent pixels are written black."""
    stride = (canvas.width * 3 + 3) & ~3
    pad = b"\0" * (stride - canvas.width * 3)
    rows = b"".join(
        b"".join(bytes((b, g, r)) for (r, g, b) in (p or BLACK for p in canvas.pixels[y])) + pad
        for y in range(canvas.height - 1, -1, -1))
    info = struct.pack("<IiiHHIIiiII", 40, canvas.width, canvas.height, 1, 24, 0, len(rows),
                       pixels_per_metre, pixels_per_metre, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(rows), 0, 0, 14 + len(info))
    return head + info + rows


def ico_bytes(canvas, key=None):
    """A one-image 32-bit ICO with its AND mask. None pixels, and pixels of
    the key colour when one is given, are transparent (alpha 0, mask set)."""
    n, h = canvas.width, canvas.height
    colour = bytearray()
    mask = bytearray()
    mask_stride = ((n + 31) // 32) * 4
    for y in range(h - 1, -1, -1):  # bottom-up
        bits = bytearray(mask_stride)
        for x, p in enumerate(canvas.pixels[y]):
            clear = p is None or p == key
            r, g, b = p or BLACK
            colour += bytes((b, g, r, 0 if clear else 255))
            if clear:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * h, 1, 32, 0, len(colour) + len(mask), 0, 0, 0, 0)
    image = header + bytes(colour) + bytes(mask)
    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", n & 0xFF, h & 0xFF, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def save_bmp(path, canvas, pixels_per_metre=2835):
    with open(path, "wb") as f:
        f.write(bmp_bytes(canvas, pixels_per_metre))


def save_ico(path, canvas, key=None):
    with open(path, "wb") as f:
        f.write(ico_bytes(canvas, key))
