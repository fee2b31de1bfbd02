// Where the hover button puts its image and its caption. Pure geometry,
// tested without a window.
#pragma once

namespace quorbel_controls {

struct ButtonRect {
  int left, top, right, bottom;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

enum HoverImageAlign {
  kImageLeft = 0,   // image left of the caption
  kImageTop = 1,    // image above the caption
  kImageRight = 2,  // image right of the caption
};

struct HoverImagePlacement {
  int x, y;            // top-left of the image
  ButtonRect caption;  // what is left for the caption
};

// item: the button's rectangle; margin: the image margins; shift: the
// pressed offset, applied to the image when shifted is set. An alignment
// other than 1 and 2 places the image as alignment 0 does.
inline HoverImagePlacement PlaceHoverImage(const ButtonRect& item, int imageWidth, int imageHeight,
                                           bool hasCaption, int align, int marginX, int marginY, bool shifted,
                                           int shiftX, int shiftY) {
  HoverImagePlacement p;
  p.caption = item;
  int centredX = item.left + (item.Width() - imageWidth) / 2;
  int centredY = item.top + (item.Height() - imageHeight) / 2;
  switch (align) {
    case kImageTop:
      p.x = centredX;
      if (hasCaption) {
        p.y = item.top + marginY;
        p.caption.top = p.y + imageHeight;
      } else {
        p.y = centredY;
      }
      break;
    case kImageRight:
      p.y = centredY;
      if (hasCaption) {
        p.x = item.right - marginX - imageWidth;
        p.caption.right = p.x;
      } else {
        p.x = centredX;
      }
      break;
    default:
      p.y = centredY;
      if (hasCaption) {
        p.x = item.left + marginX;
        p.caption.left = p.x + imageWidth + marginX;
      } else {
        p.x = centredX;
      }
      break;
  }
  if (shifted) {
    p.x += shiftX;
    p.y += shiftY;
  }
  return p;
}

}  // namespace quorbel_controls
