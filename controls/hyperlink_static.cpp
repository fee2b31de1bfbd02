// HyperLinkStatic: colours, hover, sizing, the hand cursor and opening
// the URL.
#include "controls/hyperlink_static.h"

#include "controls/hyperlink_command.h"

using namespace quorbel_controls;

IMPLEMENT_DYNAMIC(HyperLinkStatic, CStatic)

BEGIN_MESSAGE_MAP(HyperLinkStatic, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_SETCURSOR()
  ON_WM_MOUSEMOVE()
  ON_WM_TIMER()
  ON_CONTROL_REFLECT_EX(STN_CLICKED, OnClicked)
  ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

namespace {

HyperLinkStatic::Launcher& CurrentLauncher() {
  static HyperLinkStatic::Launcher launcher;
  return launcher;
}

int ShellOpen(const std::string& url, int show) {
  const HyperLinkStatic::Launcher& launcher = CurrentLauncher();
  if (launcher.shellOpen) return launcher.shellOpen(url, show);
  return static_cast<int>(
      reinterpret_cast<INT_PTR>(::ShellExecuteA(NULL, "open", url.c_str(), NULL, NULL, show)));
}

int RunCommand(const std::string& commandLine, int show) {
  const HyperLinkStatic::Launcher& launcher = CurrentLauncher();
  if (launcher.runCommand) return launcher.runCommand(commandLine, show);
  return static_cast<int>(::WinExec(commandLine.c_str(), static_cast<UINT>(show)));
}

// The default value of a key of HKEY_CLASSES_ROOT, at most 260 bytes.
bool ReadClassDefault(LPCSTR lpszKey, CString& value) {
  HKEY hKey = NULL;
  if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, lpszKey, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS) return false;
  char buffer[261] = "";
  LONG size = 260;
  LONG result = ::RegQueryValueA(hKey, NULL, buffer, &size);
  ::RegCloseKey(hKey);
  if (result != ERROR_SUCCESS) return false;
  buffer[size > 0 && size <= 260 ? size : 260] = '\0';
  value = buffer;
  return !value.IsEmpty();
}

}  // namespace

void HyperLinkStatic::SetLauncher(const Launcher& launcher) { CurrentLauncher() = launcher; }
void HyperLinkStatic::ResetLauncher() { CurrentLauncher() = Launcher(); }

HyperLinkStatic::HyperLinkStatic() : m_crLink(kLinkColor), m_crVisited(kVisitedColor), m_crHover(kHoverColor) {}

HyperLinkStatic::~HyperLinkStatic() {
  if (m_hWnd != NULL && CWnd::FromHandlePermanent(m_hWnd) == this) DestroyWindow();
  if (m_bOwnCursor && m_hCursor != NULL) ::DestroyCursor(m_hCursor);
}

// ---- Attaching ------------------------------------------------------------------------------------

void HyperLinkStatic::PreSubclassWindow() {
  ModifyStyle(0, SS_NOTIFY);
  CString text;
  GetWindowText(text);
  if (m_strURL.IsEmpty()) m_strURL = text;
  if (text.IsEmpty()) SetWindowText(m_strURL);

  HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
  if (hFont == NULL) hFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
  if (hFont == NULL) hFont = static_cast<HFONT>(::GetStockObject(ANSI_VAR_FONT));
  LOGFONTA lf = {};
  ::GetObjectA(hFont, sizeof(lf), &lf);
  m_fontPlain.DeleteObject();
  m_fontUnderline.DeleteObject();
  m_fontPlain.CreateFontIndirect(&lf);
  lf.lfUnderline = 1;
  m_fontUnderline.CreateFontIndirect(&lf);

  PositionWindow();
  LoadHandCursor();
  SetFont(m_nUnderline == 1 ? &m_fontUnderline : &m_fontPlain, TRUE);

  if (m_tooltip.GetSafeHwnd() == NULL && m_tooltip.Create(this)) {
    CRect client;
    GetClientRect(&client);
    m_tooltip.AddTool(this, m_strURL, &client, 1);
  }
  CStatic::PreSubclassWindow();
}

void HyperLinkStatic::LoadHandCursor() {
  if (m_hCursor != NULL) return;
  // The system's hand first; systems before 2000 have one only in help.
  m_hCursor = ::LoadCursorA(NULL, IDC_HAND);
  if (m_hCursor != NULL) {
    m_bOwnCursor = FALSE;
    return;
  }
  char path[MAX_PATH];
  UINT length = ::GetWindowsDirectoryA(path, MAX_PATH);
  static const char kHelp[] = "\\winhlp32.exe";
  if (length == 0 || length + sizeof(kHelp) > MAX_PATH) return;
  lstrcatA(path, kHelp);
  HMODULE hModule = ::LoadLibraryExA(path, NULL, LOAD_LIBRARY_AS_DATAFILE);
  if (hModule == NULL) return;
  HCURSOR hHand = ::LoadCursorA(hModule, MAKEINTRESOURCEA(106));
  if (hHand != NULL) {
    m_hCursor = static_cast<HCURSOR>(::CopyIcon(hHand));
    m_bOwnCursor = m_hCursor != NULL;
  }
  ::FreeLibrary(hModule);
}

void HyperLinkStatic::PositionWindow() {
  if (!m_bAutoSize || m_hWnd == NULL) return;
  CString text;
  GetWindowText(text);
  HDC hdc = ::GetDC(m_hWnd);
  HGDIOBJ old = ::SelectObject(hdc, m_fontUnderline.GetSafeHandle() != NULL
                                        ? m_fontUnderline.GetSafeHandle()
                                        : ::GetStockObject(DEFAULT_GUI_FONT));
  SIZE extent = {0, 0};
  ::GetTextExtentPoint32A(hdc, text, text.GetLength(), &extent);
  ::SelectObject(hdc, old);
  ::ReleaseDC(m_hWnd, hdc);

  CRect window, client;
  GetWindowRect(&window);
  GetClientRect(&client);
  int width = extent.cx + window.Width() - client.Width();
  int height = extent.cy + window.Height() - client.Height();
  HWND hParent = ::GetParent(m_hWnd);
  if (hParent != NULL) ::MapWindowPoints(NULL, hParent, reinterpret_cast<LPPOINT>(&window), 2);
  DWORD style = GetStyle();
  int y = (style & SS_CENTERIMAGE) ? window.top + (window.Height() - height) / 2 : window.top;
  int x = window.left;
  switch (style & SS_TYPEMASK) {
    case SS_CENTER:
      x = window.left + (window.Width() - width) / 2;
      break;
    case SS_RIGHT:
      x = window.right - width;
      break;
    default:
      break;
  }
  ::SetWindowPos(m_hWnd, NULL, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// ---- Settings ---------------------------------------------------------------------------------------

void HyperLinkStatic::SetURL(LPCTSTR lpszURL) {
  m_strURL = lpszURL;
  if (m_hWnd == NULL) return;
  PositionWindow();
  if (m_tooltip.GetSafeHwnd() != NULL) m_tooltip.UpdateTipText(m_strURL, this, 1);
}

void HyperLinkStatic::SetUnderline(int nUnderline) {
  if (nUnderline == m_nUnderline) return;
  if (m_hWnd != NULL) {
    SetFont(nUnderline == 1 ? &m_fontUnderline : &m_fontPlain, FALSE);
    RepaintLink(0);
  }
  m_nUnderline = nUnderline;
}

void HyperLinkStatic::SetVisited(BOOL bVisited) {
  m_bVisited = bVisited;
  if (m_hWnd != NULL) RepaintLink(0);
}

void HyperLinkStatic::RepaintLink(int extraBottom) {
  if (m_hWnd == NULL) return;
  // The control draws no background of its own: the parent's goes under
  // the new text.
  CRect area;
  GetClientRect(&area);
  area.bottom += extraBottom;
  HWND hParent = ::GetParent(m_hWnd);
  if (hParent == NULL) {
    Invalidate();
    return;
  }
  ::MapWindowPoints(m_hWnd, hParent, reinterpret_cast<LPPOINT>(&area), 2);
  ::RedrawWindow(hParent, &area, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

// ---- Messages -----------------------------------------------------------------------------------------

HBRUSH HyperLinkStatic::CtlColor(CDC* pDC, UINT) {
  pDC->SetTextColor(m_bHovering ? m_crHover : m_bVisited ? m_crVisited : m_crLink);
  pDC->SetBkMode(TRANSPARENT);
  return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL HyperLinkStatic::OnSetCursor(CWnd*, UINT, UINT) {
  if (m_hCursor == NULL) return FALSE;
  ::SetCursor(m_hCursor);
  return TRUE;
}

void HyperLinkStatic::OnMouseMove(UINT nFlags, CPoint point) {
  CStatic::OnMouseMove(nFlags, point);
  if (m_bHovering) return;
  m_bHovering = TRUE;
  if (m_nUnderline == -1) SetFont(&m_fontUnderline, FALSE);
  RepaintLink(0);
  SetTimer(m_nTimerID, 100, NULL);
}

void HyperLinkStatic::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent != m_nTimerID) {
    CStatic::OnTimer(nIDEvent);
    return;
  }
  DWORD pos = ::GetMessagePos();
  CPoint point(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
  ScreenToClient(&point);
  CRect client;
  GetClientRect(&client);
  if (client.PtInRect(point)) return;
  m_bHovering = FALSE;
  KillTimer(m_nTimerID);
  if (m_nUnderline != 1) SetFont(&m_fontPlain, FALSE);
  RepaintLink(10);
}

BOOL HyperLinkStatic::OnEraseBkgnd(CDC*) { return TRUE; }

BOOL HyperLinkStatic::OnClicked() {
  m_bHovering = FALSE;
  int result = OpenUrl(m_strURL, SW_SHOW);
  m_bVisited = result > 32;
  if (m_bVisited)
    RepaintLink(0);
  else
    ReportFailure(result);
  return FALSE;  // the parent may hear the click too
}

void HyperLinkStatic::ReportFailure(int nResult) {
  ::MessageBeep(MB_ICONEXCLAMATION);
  CString text = "Unable to open hyperlink:\n";
  text += HyperlinkErrorText(nResult).c_str();
  MessageBox(text, NULL, MB_ICONEXCLAMATION);
}

BOOL HyperLinkStatic::PreTranslateMessage(MSG* pMsg) {
  if (m_tooltip.GetSafeHwnd() != NULL) m_tooltip.RelayEvent(pMsg);
  return CStatic::PreTranslateMessage(pMsg);
}

BOOL HyperLinkStatic::DestroyWindow() {
  if (m_hWnd != NULL) KillTimer(m_nTimerID);
  return CStatic::DestroyWindow();
}

// ---- Opening -------------------------------------------------------------------------------------------

BOOL HyperLinkStatic::ReadBrowserCommand(CString& command) {
  CString documentClass;
  if (!ReadClassDefault(".htm", documentClass)) return FALSE;
  CString key = documentClass + "\\shell\\open\\command";
  return ReadClassDefault(key, command);
}

int HyperLinkStatic::OpenUrl(LPCTSTR lpszURL, int nShowCmd) {
  std::string url = lpszURL != NULL ? lpszURL : "";
  CString command;
  if (m_bShellFirst) {
    int result = ShellOpen(url, nShowCmd);
    if (result > 32 || !ReadBrowserCommand(command)) return result;
    return RunCommand(BrowserCommandLine(static_cast<LPCTSTR>(command), url), nShowCmd);
  }
  if (IsMailtoUrl(url)) return ShellOpen(url, nShowCmd);
  // Without a registered browser there is no application for web pages.
  if (!ReadBrowserCommand(command)) return SE_ERR_NOASSOC;
  return RunCommand(BrowserCommandLine(static_cast<LPCTSTR>(command), url), nShowCmd);
}
