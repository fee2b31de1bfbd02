// Helpers of the control tests: the harness's canvas (a memory DC whose
// pixels are read straight from its bits), solid test icons, and a
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

using guitest::Canvas;

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

// Colours compared as "#RRGGBB" texts, which read well in a failure.
#define EXPECT_COLOR(actual, expected) EXPECT_EQ(controls_test::Hex(actual), controls_test::Hex(expected))
