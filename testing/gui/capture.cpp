// Pixel captures and screenshots.
#include "testing/gui/gui_test.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace guitest {

// Copies a rectangle of hdcSource into a top-down 32-bit DIB section.
Capture CaptureFromDC(HDC hdcSource, int x, int y, int width, int height) {
  Capture capture;
  if (width <= 0 || height <= 0) return capture;
  Canvas canvas(width, height);
  if (canvas.Pixels() == nullptr) return capture;
  ::BitBlt(canvas.dc(), 0, 0, width, height, hdcSource, x, y, SRCCOPY);
  const uint32_t* src = canvas.Pixels();
  capture.width_ = width;
  capture.height_ = height;
  capture.pixels_.resize(static_cast<size_t>(width) * height);
  for (size_t i = 0; i < capture.pixels_.size(); ++i) capture.pixels_[i] = src[i] & 0x00FFFFFF;
  return capture;
}

Capture CapturePrinted(HWND hWnd, bool clientOnly) {
  Capture capture;
  RECT rect = {};
  if (clientOnly)
    ::GetClientRect(hWnd, &rect);
  else
    ::GetWindowRect(hWnd, &rect);
  int width = rect.right - rect.left, height = rect.bottom - rect.top;
  HDC hdcScreen = ::GetDC(NULL);
  HDC hdcMem = ::CreateCompatibleDC(hdcScreen);
  HBITMAP hbm = ::CreateCompatibleBitmap(hdcScreen, width > 0 ? width : 1, height > 0 ? height : 1);
  HGDIOBJ old = ::SelectObject(hdcMem, hbm);
  BOOL ok = ::PrintWindow(hWnd, hdcMem, clientOnly ? PW_CLIENTONLY : 0);
  if (ok) capture = CaptureFromDC(hdcMem, 0, 0, width, height);
  ::SelectObject(hdcMem, old);
  ::DeleteObject(hbm);
  ::DeleteDC(hdcMem);
  ::ReleaseDC(NULL, hdcScreen);
  return capture;
}

Capture Capture::OfWindow(HWND hWnd, bool clientOnly) {
  // The window's own DC reads what the window shows (its children
  // included), also before the display has caught up.
  ::GdiFlush();
  RECT rect = {};
  if (clientOnly)
    ::GetClientRect(hWnd, &rect);
  else
    ::GetWindowRect(hWnd, &rect);
  HDC hdc = clientOnly ? ::GetDC(hWnd) : ::GetWindowDC(hWnd);
  Capture capture = CaptureFromDC(hdc, 0, 0, rect.right - rect.left, rect.bottom - rect.top);
  ::ReleaseDC(hWnd, hdc);
  return capture;
}

Capture Capture::Printed(HWND hWnd, bool clientOnly) { return CapturePrinted(hWnd, clientOnly); }

Capture Capture::OfScreen(const RECT& rect) {
  // Let the display catch up with what windows drew (Wine pushes window
  // contents to the X server when the thread waits for messages).
  ::GdiFlush();
  ::MsgWaitForMultipleObjects(0, NULL, FALSE, 0, QS_ALLINPUT);
  HDC hdcScreen = ::GetDC(NULL);
  Capture capture = CaptureFromDC(hdcScreen, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
  ::ReleaseDC(NULL, hdcScreen);
  return capture;
}

COLORREF Capture::At(int x, int y) const {
  if (x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
  uint32_t p = pixels_[static_cast<size_t>(y) * width_ + x];
  return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

int Capture::Count(const RECT& rect, COLORREF color) const {
  int count = 0;
  for (int y = rect.top; y < rect.bottom; ++y) {
    for (int x = rect.left; x < rect.right; ++x) {
      if (At(x, y) == color) ++count;
    }
  }
  return count;
}

bool Capture::SavePng(const std::string& path) const {
  return Valid() && WritePng(path, width_, height_, pixels_.data());
}

bool SameColor(COLORREF a, COLORREF b, int tolerance) {
  if (a == CLR_INVALID || b == CLR_INVALID) return a == b;
  return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance && std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
         std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

std::string ColorText(COLORREF color) {
  if (color == CLR_INVALID) return "(outside)";
  char text[16];
  std::snprintf(text, sizeof(text), "#%02X%02X%02X", GetRValue(color), GetGValue(color), GetBValue(color));
  return text;
}

std::string ScreenshotDir() {
  static std::string dir;
  if (!dir.empty()) return dir;
  char build[MAX_PATH] = "";
  DWORD got = ::GetEnvironmentVariableA("QUORBEL_BUILD_DIR", build, sizeof(build));
  if (got > 0 && got < sizeof(build)) {
    std::string path = build;
    if (!path.empty() && path[0] == '/') {
      // A Unix path: Wine shows the root file system as drive Z:.
      for (char& c : path) {
        if (c == '/') c = '\\';
      }
      path = "Z:" + path;
    }
    dir = path + "\\screenshots";
  } else {
    dir = "screenshots";
  }
  ::CreateDirectoryA(dir.c_str(), NULL);
  return dir;
}

std::string SaveScreenshot(HWND hWnd, const std::string& name) {
  std::string path = ScreenshotDir() + "\\" + name + ".png";
  return Capture::OfWindow(hWnd, false).SavePng(path) ? path : std::string();
}

std::string SaveScreenScreenshot(const std::string& name) {
  RECT screen = {0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  std::string path = ScreenshotDir() + "\\" + name + ".png";
  return Capture::OfScreen(screen).SavePng(path) ? path : std::string();
}

}  // namespace guitest
