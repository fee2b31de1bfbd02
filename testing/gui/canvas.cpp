// guitest::Canvas: a memory DC over a 32-bit DIB section.
#include "testing/gui/gui_test.h"

namespace guitest {

Canvas::Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = width;
  bmi.bmiHeader.biHeight = -height;  // top-down
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  bmi.bmiHeader.biCompression = BI_RGB;
  HDC screen = ::GetDC(NULL);
  dc_ = ::CreateCompatibleDC(screen);
  ::ReleaseDC(NULL, screen);
  bitmap_ = ::CreateDIBSection(dc_, &bmi, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), NULL, 0);
  old_ = ::SelectObject(dc_, bitmap_);
  Fill(fill);
}

Canvas::~Canvas() {
  ::SelectObject(dc_, old_);
  ::DeleteObject(bitmap_);
  ::DeleteDC(dc_);
}

void Canvas::Fill(COLORREF colour) {
  RECT all = {0, 0, width_, height_};
  HBRUSH brush = ::CreateSolidBrush(colour);
  ::FillRect(dc_, &all, brush);
  ::DeleteObject(brush);
}

COLORREF Canvas::At(int x, int y) const {
  ::GdiFlush();
  if (bits_ == nullptr || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Canvas::Count(const RECT& rect, COLORREF colour) const {
  int n = 0;
  for (int y = rect.top; y < rect.bottom; ++y)
    for (int x = rect.left; x < rect.right; ++x)
      if (At(x, y) == colour) ++n;
  return n;
}

const uint32_t* Canvas::Pixels() const {
  ::GdiFlush();
  return bits_;
}

bool Canvas::SavePng(const std::string& name) const {
  if (Pixels() == nullptr) return false;
  std::vector<uint32_t> pixels(bits_, bits_ + static_cast<size_t>(width_) * height_);
  for (uint32_t& p : pixels) p &= 0x00FFFFFF;
  return WritePng(ScreenshotDir() + "\\" + name + ".png", width_, height_, pixels.data());
}

}  // namespace guitest
