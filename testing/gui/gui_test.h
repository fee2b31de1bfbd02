// GUI test harness: helpers to drive real windows by messages, build
// dialogs from in-memory templates, sample pixels and save screenshots.
// Plain Win32; every function is meant for the thread that owns the
// windows under test.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace guitest {

// ---- Message pumping --------------------------------------------------------------

// Registers the common control classes once (list views, progress bars...).
void InitCommonControlsOnce();

// Dispatches the calling thread's messages until done() is true or
// timeoutMs has passed; returns done()'s last value. done() is checked
// before the first wait, so an already-true condition returns at once.
bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000);
// Dispatches messages for ms milliseconds.
void PumpFor(DWORD ms);
// Dispatches what is queued now (paint and timers included), then returns.
void PumpPending();

// Runs action once after delayMs from inside whatever message loop the
// thread is in then (modal dialog loops and menu loops included): a
// thread timer, so it needs a loop that dispatches WM_TIMER.
void RunLater(DWORD delayMs, std::function<void()> action);
// Cancels the actions not yet run (tests call it in their teardown).
void CancelPending();

// ---- Windows and controls ---------------------------------------------------------

std::string GetText(HWND hWnd);
void SetText(HWND hWnd, const std::string& text);
int GetCheck(HWND hButton);
bool IsEnabled(HWND hWnd);
bool IsVisible(HWND hWnd);
// A click as the control sends it: WM_COMMAND BN_CLICKED to its parent
// (synchronously, through BM_CLICK).
void Click(HWND hButton);
// The same, queued: safe from inside handlers and timers.
void PostClick(HWND hButton);
// WM_COMMAND of a control id to a window, queued.
void PostCommand(HWND hWnd, int id, int code = BN_CLICKED);
// A key press (down and up) queued to a window.
void PostKey(HWND hWnd, UINT vk);
// What a user does to end a dialog: Escape pressed on the keyboard (a real
// key, into the control given the focus, with the dialog in front), then a
// click on the close box (WM_CLOSE, queued).
void PressEscapeThenClose(HWND dialog, HWND focus);
// A mouse message (WM_MOUSEMOVE, WM_LBUTTONDOWN, ...) at client point
// (x, y), queued; keys are the MK_ flags.
void PostMouse(HWND hWnd, UINT message, int x, int y, WPARAM keys = 0);
// A left click at client point (x, y): button down and up, queued.
void PostLeftClick(HWND hWnd, int x, int y);
// Moves the pointer to the screen's bottom-right corner, where no test
// puts a window, and lets the move arrive. Tests share one screen, so a
// test whose windows react to hover parks it first, and a test that moves
// the pointer parks it again when done.
void ParkPointer();
// A top-level window of this process with that exact title, or NULL.
HWND FindTopWindow(const std::string& title);
// The same, pumping messages while waiting.
HWND WaitForTopWindow(const std::string& title, DWORD timeoutMs = 5000);
// The client rectangle in screen coordinates.
RECT ClientRectOnScreen(HWND hWnd);
// A plain top-level test window (class registered once) with a solid
// background colour, shown at (x, y) with the given client size.
HWND CreateTestWindow(const std::string& title, int x, int y, int clientWidth, int clientHeight,
                      COLORREF background = RGB(255, 255, 255));

// A hidden top-level window of the class className, registered with proc
// on first use: a receiver for what the code under test sends or posts.
HWND CreateReceiverWindow(const std::string& className, WNDPROC proc);

// ---- In-memory dialog templates ---------------------------------------------------------

// Builds a DLGTEMPLATE (with DS_SETFONT, "MS Shell Dlg" 8) and its items.
// Coordinates are dialog units, as in a resource script.
class DialogTemplate {
public:
  DialogTemplate(const std::string& title, int x, int y, int cx, int cy,
                 DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME);
  // A control by class name ("BUTTON", "EDIT", "STATIC", "COMBOBOX",
  // "SysListView32", ...). Returns *this for chaining.
  DialogTemplate& Add(const std::string& className, int id, const std::string& text, int x, int y, int cx,
                      int cy, DWORD style, DWORD exStyle = 0);
  // A control whose text is a resource id (SS_BITMAP / SS_ICON statics).
  DialogTemplate& AddWithResource(const std::string& className, int id, WORD resourceId, int x, int y,
                                  int cx, int cy, DWORD style, DWORD exStyle = 0);
  // Shorthands with the usual styles.
  DialogTemplate& Button(int id, const std::string& text, int x, int y, int cx, int cy,
                         DWORD style = BS_PUSHBUTTON | WS_TABSTOP);
  DialogTemplate& Edit(int id, int x, int y, int cx, int cy, DWORD style = ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP);
  DialogTemplate& Static(int id, const std::string& text, int x, int y, int cx, int cy, DWORD style = SS_LEFT);
  // The finished template; valid while this object lives and is unchanged.
  const DLGTEMPLATE* Get();

private:
  struct Item {
    std::string className, text;
    WORD resourceId;  // used instead of text when not 0
    int id, x, y, cx, cy;
    DWORD style, exStyle;
  };
  std::string title_;
  int x_, y_, cx_, cy_;
  DWORD style_;
  std::vector<Item> items_;
  std::vector<WORD> buffer_;
};

// ---- Pixels --------------------------------------------------------------------------------

// A 32-bit copy of part of the screen or of a window.
class Capture {
public:
  // What the screen shows of the window now: its client area (default) or
  // the whole window with frame. The window must be visible and on top.
  static Capture OfWindow(HWND hWnd, bool clientOnly = true);
  // What the window paints into a memory DC when asked to print itself
  // (PrintWindow; windows that only paint in WM_PAINT may come out blank).
  static Capture Printed(HWND hWnd, bool clientOnly = true);
  // A rectangle of the screen (screen coordinates). GUI tests take turns
  // on the display (CTest resource lock), so only the test's own windows
  // stand there.
  static Capture OfScreen(const RECT& rect);

  bool Valid() const { return width_ > 0 && height_ > 0; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The colour at (x, y); CLR_INVALID outside the capture.
  COLORREF At(int x, int y) const;
  // How many pixels of the rectangle have exactly that colour.
  int Count(const RECT& rect, COLORREF color) const;
  bool SavePng(const std::string& path) const;

private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint32_t> pixels_;  // 0x00RRGGBB, top-down rows
  friend Capture CaptureFromDC(HDC, int, int, int, int);
  friend Capture CapturePrinted(HWND, bool);
};

// A memory DC over a top-down 32-bit DIB section, for drawing tests that
// need no window: the pixels are read straight from the section's memory.
class Canvas {
public:
  Canvas(int width, int height, COLORREF fill = RGB(255, 255, 255));
  ~Canvas();
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;

  HDC dc() const { return dc_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  void Fill(COLORREF colour);
  // The colour at (x, y); CLR_INVALID outside the canvas.
  COLORREF At(int x, int y) const;
  // How many pixels of the rectangle have exactly that colour.
  int Count(const RECT& rect, COLORREF colour) const;
  // Saved as <ScreenshotDir>/<name>.png for looking at.
  bool SavePng(const std::string& name) const;
  // All pixels, drawing finished (0x?RRGGBB, top-down rows); NULL when the
  // section could not be made.
  const uint32_t* Pixels() const;

private:
  int width_, height_;
  HDC dc_ = NULL;
  HBITMAP bitmap_ = NULL;
  HGDIOBJ old_ = NULL;
  uint32_t* bits_ = nullptr;  // 0x00RRGGBB, top-down rows
};

// Channel-wise comparison with a tolerance (anti-aliasing, dithering).
bool SameColor(COLORREF a, COLORREF b, int tolerance = 0);
std::string ColorText(COLORREF color);  // "#RRGGBB" for messages

// ---- Screenshots ---------------------------------------------------------------------------

// <build dir>/screenshots (QUORBEL_BUILD_DIR from CTest, seen through
// Wine's Z: drive), else ./screenshots; created on first use.
std::string ScreenshotDir();
// Saves what the screen shows of the window (frame included) as
// <ScreenshotDir>/<name>.png; returns the path, or "" on failure.
std::string SaveScreenshot(HWND hWnd, const std::string& name);
// Saves the whole screen (menus and tooltips are windows of their own).
std::string SaveScreenScreenshot(const std::string& name);

// Writes 8-bit RGB PNG from 0x00RRGGBB pixels (top-down rows).
bool WritePng(const std::string& path, int width, int height, const uint32_t* pixels);

// ---- Handles ---------------------------------------------------------------------------

// The process's GDI objects and USER objects (windows, menus, icons and
// cursors) now: GetGuiResources where it counts, else (Wine) found by
// probing handle values. For leak tests: compare two counts taken after
// the same warm-up.
struct GuiObjectCount {
  int gdi = 0;
  int user = 0;
};
GuiObjectCount CountGuiObjects();

}  // namespace guitest
