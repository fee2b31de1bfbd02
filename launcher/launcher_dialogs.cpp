#include "launcher/launcher_dialogs.h"

#include <shellapi.h>

#include "suite/app_help.h"
#include "suite/app_utils.h"
#include "suite/minimized_icon.h"
#include "launcher/launcher_rules.h"
#include "skin/core/skin_messages.h"
#include "skin/core/skin_ops.h"

// ---- ColorLabel ------------------------------------------------------------------

IMPLEMENT_DYNAMIC(ColorLabel, CStatic)

BEGIN_MESSAGE_MAP(ColorLabel, CStatic)
  ON_WM_CTLCOLOR_REFLECT()
  ON_WM_TIMER()
  ON_WM_LBUTTONDOWN()
  ON_WM_SETCURSOR()
END_MESSAGE_MAP()

ColorLabel::ColorLabel()
    : m_textColour(GetSysColor(COLOR_WINDOWTEXT)),
      m_background(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))),
      m_second(CreateSolidBrush(GetSysColor(COLOR_BTNFACE))) {
  GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof m_logFont, &m_logFont);
  m_font.CreateFontIndirect(&m_logFont);
}

ColorLabel::~ColorLabel() {
  DeleteObject(m_background);
  DeleteObject(m_second);
}

void ColorLabel::SetTextColor(COLORREF colour) {
  m_textColour = colour;
  if (m_hWnd != NULL) RedrawWindow(NULL, NULL, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void ColorLabel::SetBkColor(COLORREF colour) {
  DeleteObject(m_background);
  m_background = CreateSolidBrush(colour);
  if (m_hWnd != NULL) Invalidate();
}

void ColorLabel::SetFont(CFont* font) {
  if (font == NULL || font->GetSafeHandle() == NULL) return;
  GetObjectA(font->GetSafeHandle(), sizeof m_logFont, &m_logFont);
  m_font.DeleteObject();
  m_font.CreateFontIndirect(&m_logFont);
  // The static selects the font it was given over the one CtlColor selects.
  if (m_hWnd != NULL) CStatic::SetFont(&m_font);
}

void ColorLabel::SetOnParentPicture(bool on) {
  m_onParentPicture = on;
  if (m_hWnd != NULL) Invalidate();
}

HBRUSH ColorLabel::CtlColor(CDC* pDC, UINT nCtlColor) {
  if (nCtlColor != CTLCOLOR_STATIC) return NULL;
  pDC->SelectObject(&m_font);
  pDC->SetTextColor(m_textColour);
  pDC->SetBkMode(TRANSPARENT);
  // The parent's picture under the label goes down first; the static then
  // fills with a hollow brush and draws only its text.
  CWnd* parent = GetParent();
  if (m_onParentPicture && parent != NULL &&
      parent->SendMessage(kSkinMsgChildBackground, reinterpret_cast<WPARAM>(pDC->GetSafeHdc()),
                          reinterpret_cast<LPARAM>(m_hWnd)) != 0)
    return static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
  return m_blinkMode == kBlinkColour && !m_blinkOn ? m_second : m_background;
}

void ColorLabel::OnTimer(UINT_PTR) {
  m_blinkOn = !m_blinkOn;
  if (m_blinkMode == kBlinkText) {
    if (m_savedText.IsEmpty()) GetWindowText(m_savedText);
    SetWindowText(m_blinkOn ? m_savedText : CString(""));
  } else if (m_blinkMode == kBlinkColour) {
    Invalidate();
  }
}

void ColorLabel::OnLButtonDown(UINT, CPoint) {
  CString text;
  GetWindowText(text);
  ShellExecuteA(NULL, "open", text, NULL, NULL, SW_SHOWNORMAL);
  Default();
}

BOOL ColorLabel::OnSetCursor(CWnd*, UINT, UINT) {
  if (m_cursor != NULL) {
    ::SetCursor(m_cursor);
    return TRUE;
  }
  return static_cast<BOOL>(Default());
}

// ---- LauncherMainDialog ---------------------------------------------------------------

IMPLEMENT_DYNAMIC(LauncherMainDialog, CDialog)

BEGIN_MESSAGE_MAP(LauncherMainDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_TIMER()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_COMMAND(ID_LAUNCHER_CREATOR, OnCreator)
  ON_COMMAND(ID_LAUNCHER_BURNER, OnBurner)
  ON_COMMAND(ID_LAUNCHER_CONVERTER, OnConverter)
  ON_COMMAND(ID_LAUNCHER_ABOUT, OnAbout)
  ON_COMMAND(ID_LAUNCHER_HELP, OnHelp)
  ON_COMMAND(ID_LAUNCHER_HOME, OnHome)
END_MESSAGE_MAP()

LauncherMainDialog::LauncherMainDialog(CWnd* pParent) : CDialog(IDD, pParent) {
  m_icon = ::LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_LAUNCHER_MAIN));
  m_homeLink.SetShellFirst(TRUE);
}

void LauncherMainDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_LAUNCHER_LABEL, m_label);
}

BOOL LauncherMainDialog::OnInitDialog() {
  // The library's hook skinned the dialog with "Dialog" when it was made;
  // it becomes the shaped window instead.
  SkinDetachWindow(m_hWnd);
  CDialog::OnInitDialog();
  SkinAttachWindow(m_hWnd, "Quorbel");
  SkinDetachWindow(m_label.GetSafeHwnd());
  m_label.SetWindowText(HoverText(-1));
  m_label.SetBkColor(0xEBEBEB);
  m_label.SetOnParentPicture(true);
  m_labelFont.CreateFont(19, 10, 1, 800, 700, 0, 0, 0, 0, 2, 1, 0, 0, "MS Sans Serif");
  m_label.SetFont(&m_labelFont);
  m_label.SetTextColor(0x464646);
  // Inside the skin's text panel (8, 6)-(432, 86), clear of its edges.
  m_label.SetWindowPos(NULL, 18, 8, 406, 76, SWP_NOZORDER | SWP_NOACTIVATE);
  CString about;
  about.LoadString(IDS_LAUNCHER_ABOUTBOX);
  CMenu* system = GetSystemMenu(FALSE);
  if (system != NULL && !about.IsEmpty()) {
    system->AppendMenu(MF_SEPARATOR);
    system->AppendMenu(MF_STRING, 16, about);
  }
  SetIcon(m_icon, TRUE);
  SetIcon(m_icon, FALSE);
  SetTimer(kHoverTimer, 100, NULL);
  return TRUE;
}

void LauncherMainDialog::UpdateHoverText() {
  int states[kProgramCount];
  for (int i = 0; i < kProgramCount; ++i) {
    states[i] = -1;
    SkinQueryElementState(m_hWnd, ProgramButtonName(i), &states[i]);
  }
  int choice = HoverChoice(states);
  if (choice == m_shownChoice) return;
  m_shownChoice = choice;
  ++m_labelUpdates;
  m_label.SetWindowText(HoverText(choice));
}

void LauncherMainDialog::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kHoverTimer) UpdateHoverText();
  Default();
}

void LauncherMainDialog::OnSysCommand(UINT nID, LPARAM) {
  if ((nID & 0xFFF0) == 16) {
    OnAbout();
    return;
  }
  Default();
}

void LauncherMainDialog::OnPaint() {
  if (!PaintMinimizedIcon(this, m_icon)) Default();
}

HCURSOR LauncherMainDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_icon); }

void LauncherMainDialog::OnClose() {
  EndDialog(IDCANCEL);
  Default();
}

void LauncherMainDialog::OnDestroy() {
  KillTimer(kHoverTimer);
  CDialog::OnDestroy();
}

BOOL LauncherMainDialog::StartProgram(int program) {
  CString path = GetAppFolder() + ProgramFileName(program);
  ShowWindow(SW_HIDE);
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  // No shell error box for a missing program: the launcher just shows
  // itself again.
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  info.lpFile = path;
  info.nShow = SW_SHOW;
  BOOL started = ShellExecuteExA(&info) && info.hProcess != NULL;
  if (started) {
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
  }
  ShowWindow(SW_SHOW);
  return started;
}

void LauncherMainDialog::OnAbout() {
  LauncherAboutDialog about(this);
  about.DoModal();
}

void LauncherMainDialog::OnHelp() { ShowHtmlHelp(NULL, GetAppFolder() + "\\HELP.CHM::./Index.htm"); }

void LauncherMainDialog::OnHome() { m_homeLink.OpenUrl(kLauncherHomePage, SW_HIDE); }

// ---- The About box --------------------------------------------------------------------

const AboutDialogIds kLauncherAboutIds = {
    IDD_LAUNCHER_ABOUT, IDC_LAUNCHER_VERSION, IDC_LAUNCHER_HOMEPAGE, IDC_LAUNCHER_SUPPORT,
    kLauncherHomePage, kLauncherSupportMail, 9, false, false, true};

BOOL LauncherAboutDialog::OnInitDialog() {
  AboutDialog::OnInitDialog();
  m_homeLink.SetShellFirst(TRUE);
  m_supportLink.SetShellFirst(TRUE);
  return TRUE;
}
