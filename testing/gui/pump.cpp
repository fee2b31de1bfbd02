// Message pumping, scheduled actions and window helpers.
#include "testing/gui/gui_test.h"

#include <commctrl.h>

#include <map>
#include <memory>

namespace guitest {

void InitCommonControlsOnce() {
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc = {sizeof(icc), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
  ::InitCommonControlsEx(&icc);
  done = true;
}

void PumpPending() {
  MSG msg;
  while (::PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      ::PostQuitMessage(static_cast<int>(msg.wParam));  // leave it for the real loop
      return;
    }
    ::TranslateMessage(&msg);
    ::DispatchMessageA(&msg);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
  DWORD start = ::GetTickCount();
  for (;;) {
    PumpPending();
    if (done()) return true;
    DWORD elapsed = ::GetTickCount() - start;
    if (elapsed >= timeoutMs) return done();
    // Wake for input or after a short slice, whichever comes first.
    DWORD slice = timeoutMs - elapsed < 10 ? timeoutMs - elapsed : 10;
    ::MsgWaitForMultipleObjects(0, NULL, FALSE, slice, QS_ALLINPUT);
  }
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

namespace {

// Actions by thread-timer id. The tests drive windows from their main
// thread; the timers belong to the thread that set them.
std::map<UINT_PTR, std::function<void()>>& Actions() {
  static std::map<UINT_PTR, std::function<void()>> actions;
  return actions;
}

VOID CALLBACK RunAction(HWND, UINT, UINT_PTR id, DWORD) {
  ::KillTimer(NULL, id);
  auto& actions = Actions();
  auto it = actions.find(id);
  if (it == actions.end()) return;
  std::function<void()> action = std::move(it->second);
  actions.erase(it);
  action();
}

}  // namespace

void RunLater(DWORD delayMs, std::function<void()> action) {
  UINT_PTR id = ::SetTimer(NULL, 0, delayMs == 0 ? 1 : delayMs, &RunAction);
  if (id != 0) Actions()[id] = std::move(action);
}

void CancelPending() {
  for (auto& e : Actions()) ::KillTimer(NULL, e.first);
  Actions().clear();
}

std::string GetText(HWND hWnd) {
  int length = ::GetWindowTextLengthA(hWnd);
  std::string text(static_cast<size_t>(length) + 1, '\0');
  int got = ::GetWindowTextA(hWnd, &text[0], length + 1);
  text.resize(got > 0 ? static_cast<size_t>(got) : 0);
  return text;
}

void SetText(HWND hWnd, const std::string& text) { ::SetWindowTextA(hWnd, text.c_str()); }

int GetCheck(HWND hButton) { return static_cast<int>(::SendMessageA(hButton, BM_GETCHECK, 0, 0)); }

bool IsEnabled(HWND hWnd) { return ::IsWindowEnabled(hWnd) != FALSE; }

bool IsVisible(HWND hWnd) { return ::IsWindowVisible(hWnd) != FALSE; }

void Click(HWND hButton) { ::SendMessageA(hButton, BM_CLICK, 0, 0); }

void PostClick(HWND hButton) { ::PostMessageA(hButton, BM_CLICK, 0, 0); }

void PostCommand(HWND hWnd, int id, int code) {
  ::PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(::GetDlgItem(hWnd, id)));
}

void PostKey(HWND hWnd, UINT vk) {
  UINT scan = ::MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
  ::PostMessageA(hWnd, WM_KEYDOWN, vk, 1 | (scan << 16));
  ::PostMessageA(hWnd, WM_KEYUP, vk, 1 | (scan << 16) | (1u << 30) | (1u << 31));
}

void PressEscapeThenClose(HWND dialog, HWND focus) {
  ::SetForegroundWindow(dialog);
  ::SetFocus(focus);
  keybd_event(VK_ESCAPE, 0, 0, 0);
  keybd_event(VK_ESCAPE, 0, KEYEVENTF_KEYUP, 0);
  ::PostMessageA(dialog, WM_CLOSE, 0, 0);
}

void PostMouse(HWND hWnd, UINT message, int x, int y, WPARAM keys) {
  ::PostMessageA(hWnd, message, keys, MAKELPARAM(x, y));
}

void PostLeftClick(HWND hWnd, int x, int y) {
  PostMouse(hWnd, WM_MOUSEMOVE, x, y);
  PostMouse(hWnd, WM_LBUTTONDOWN, x, y, MK_LBUTTON);
  PostMouse(hWnd, WM_LBUTTONUP, x, y);
}

void ParkPointer() {
  ::SetCursorPos(::GetSystemMetrics(SM_CXSCREEN) - 1, ::GetSystemMetrics(SM_CYSCREEN) - 1);
  PumpPending();
}

namespace {

struct FindData {
  const std::string* title;
  HWND found;
};

BOOL CALLBACK FindByTitle(HWND hWnd, LPARAM lParam) {
  FindData* data = reinterpret_cast<FindData*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hWnd, &pid);
  if (pid != ::GetCurrentProcessId()) return TRUE;
  if (GetText(hWnd) == *data->title) {
    data->found = hWnd;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

HWND FindTopWindow(const std::string& title) {
  FindData data = {&title, NULL};
  ::EnumWindows(&FindByTitle, reinterpret_cast<LPARAM>(&data));
  return data.found;
}

HWND WaitForTopWindow(const std::string& title, DWORD timeoutMs) {
  HWND found = NULL;
  PumpUntil([&] { return (found = FindTopWindow(title)) != NULL; }, timeoutMs);
  return found;
}

RECT ClientRectOnScreen(HWND hWnd) {
  RECT rect = {};
  ::GetClientRect(hWnd, &rect);
  ::MapWindowPoints(hWnd, NULL, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

namespace {

LRESULT CALLBACK TestWindowProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_ERASEBKGND) {
    RECT rect;
    ::GetClientRect(hWnd, &rect);
    COLORREF color = static_cast<COLORREF>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    HBRUSH brush = ::CreateSolidBrush(color);
    ::FillRect(reinterpret_cast<HDC>(wParam), &rect, brush);
    ::DeleteObject(brush);
    return 1;
  }
  return ::DefWindowProcA(hWnd, msg, wParam, lParam);
}

}  // namespace

HWND CreateTestWindow(const std::string& title, int x, int y, int clientWidth, int clientHeight,
                      COLORREF background) {
  static ATOM atom = 0;
  if (atom == 0) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = &TestWindowProc;
    wc.hInstance = ::GetModuleHandleA(NULL);
    wc.hCursor = ::LoadCursorA(NULL, IDC_ARROW);
    wc.lpszClassName = "QuorbelGuiTestWindow";
    atom = ::RegisterClassA(&wc);
  }
  RECT rect = {0, 0, clientWidth, clientHeight};
  DWORD style = WS_OVERLAPPEDWINDOW;
  ::AdjustWindowRect(&rect, style, FALSE);
  HWND hWnd = ::CreateWindowExA(0, "QuorbelGuiTestWindow", title.c_str(), style, x, y, rect.right - rect.left,
                                rect.bottom - rect.top, NULL, NULL, ::GetModuleHandleA(NULL), NULL);
  if (hWnd == NULL) return NULL;
  ::SetWindowLongPtrA(hWnd, GWLP_USERDATA, static_cast<LONG_PTR>(background));
  ::ShowWindow(hWnd, SW_SHOW);
  ::UpdateWindow(hWnd);
  return hWnd;
}

HWND CreateReceiverWindow(const std::string& className, WNDPROC proc) {
  HINSTANCE instance = ::GetModuleHandleA(NULL);
  WNDCLASSA wc = {};
  if (!::GetClassInfoA(instance, className.c_str(), &wc)) {
    wc.lpfnWndProc = proc;
    wc.hInstance = instance;
    wc.lpszClassName = className.c_str();
    if (::RegisterClassA(&wc) == 0) return NULL;
  }
  return ::CreateWindowA(className.c_str(), "receiver", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, NULL, NULL,
                         instance, NULL);
}

}  // namespace guitest
