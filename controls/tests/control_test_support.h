// Helpers of the control tests: a memory DC over a 32-bit DIB section
// whose pixels are read straight from its bits, solid test icons, and a
// modeless dialog made from an in-memory template.
#pragma once

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "mfc/mfc.h"
#include "testing/gui/gui_test.h"

namespace controls_test {

class Canvas {
public:
  Canvas(int width, int height, COLORREF fill) : width_(width), height_(height) {
    BITMAPINFO bmi = {};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = width;
    bmi.bmiHeader.biHeight = -height;
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
  ~Canvas() {
    ::SelectObject(dc_, old_);
    ::DeleteObject(bitmap_);
    ::DeleteDC(dc_);
  }
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  void Fill(COLORREF colour) {
    RECT all = {0, 0, width_, height_};
    HBRUSH brush = ::CreateSolidBrush(colour);
    ::FillRect(dc_, &all, brush);
    ::DeleteObject(brush);
  }
  COLORREF At(int x, int y) const {
    ::GdiFlush();
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    uint32_t p = bits_[static_cast<size_t>(y) * width_ + x];
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
  }
  int Count(const RECT& rect, COLORREF colour) const {
    int n = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
      for (int x = rect.left; x < rect.right; ++x)
        if (At(x, y) == colour) ++n;
    return n;
  }
  bool SavePng(const std::string& name) const {
    ::GdiFlush();
    std::vector<uint32_t> pixels(bits_, bits_ + static_cast<size_t>(width_) * height_);
    for (uint32_t& p : pixels) p &= 0x00FFFFFF;
    return guitest::WritePng(guitest::ScreenshotDir() + "\\" + name + ".png", width_, height_, pixels.data());
  }

private:
  int width_, height_;
  HDC dc_ = NULL;
  HBITMAP bitmap_ = NULL;
  HGDIOBJ old_ = NULL;
  uint32_t* bits_ = nullptr;
};

// A size x size icon of one colour, with a transparent border of `border` pixels.
inline HICON MakeSolidIcon(COLORREF colour, int size = 16, int border = 0) {
  std::vector<uint32_t> colours(static_cast<size_t>(size) * size, 0);
  // AND mask: 1 = transparent; rows of whole words.
  int maskStride = ((size + 15) / 16) * 2;
  std::vector<uint8_t> mask(static_cast<size_t>(maskStride) * size, 0);
  uint32_t argb = 0xFF000000u | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
  for (int y = 0; y < size; ++y) {
    for (int x = 0; x < size; ++x) {
      bool inside = x >= border && y >= border && x < size - border && y < size - border;
      if (inside)
        colours[static_cast<size_t>(y) * size + x] = argb;
      else
        mask[static_cast<size_t>(y) * maskStride + x / 8] |= static_cast<uint8_t>(0x80 >> (x % 8));
    }
  }
  HBITMAP hMask = ::CreateBitmap(size, size, 1, 1, mask.data());
  BITMAPINFO bmi = {};
  bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi.bmiHeader.biWidth = size;
  bmi.bmiHeader.biHeight = -size;
  bmi.bmiHeader.biPlanes = 1;
  bmi.bmiHeader.biBitCount = 32;
  void* bits = NULL;
  HDC screen = ::GetDC(NULL);
  HBITMAP hColour = ::CreateDIBSection(screen, &bmi, DIB_RGB_COLORS, &bits, NULL, 0);
  ::ReleaseDC(NULL, screen);
  std::memcpy(bits, colours.data(), colours.size() * sizeof(uint32_t));
  ICONINFO info = {TRUE, static_cast<DWORD>(size / 2), static_cast<DWORD>(size / 2), hMask, hColour};
  HICON icon = ::CreateIconIndirect(&info);
  ::DeleteObject(hMask);
  ::DeleteObject(hColour);
  return icon;
}

// A modeless dialog from an in-memory template; derived tests attach
// their controls in OnInitDialog.
class TemplateDialog : public CDialog {
public:
  bool Open(guitest::DialogTemplate& t, CWnd* pParent = NULL) {
    if (!CreateIndirect(t.Get(), pParent)) return false;
    ShowWindow(SW_SHOW);
    UpdateWindow();
    guitest::PumpFor(50);
    return true;
  }
};

inline std::string Hex(COLORREF colour) { return guitest::ColorText(colour); }

struct OwnWindowSearch {
  const char* cls;
  HWND found;
};

inline BOOL CALLBACK MatchOwnVisibleWindow(HWND hWnd, LPARAM lParam) {
  OwnWindowSearch* search = reinterpret_cast<OwnWindowSearch*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  char cls[64] = "";
  ::GetClassNameA(hWnd, cls, sizeof(cls));
  if (pid == ::GetCurrentProcessId() && ::IsWindowVisible(hWnd) && lstrcmpiA(cls, search->cls) == 0) {
    search->found = hWnd;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of this process with that class (a menu's
// "#32768", a tooltip), or NULL.
inline HWND FindOwnVisibleWindow(const char* className) {
  OwnWindowSearch search = {className, NULL};
  ::EnumWindows(&MatchOwnVisibleWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace controls_test
