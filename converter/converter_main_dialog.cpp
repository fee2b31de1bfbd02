#include "converter/converter_main_dialog.h"

#include <shellapi.h>

#include "converter/convert_rules.h"
#include "converter/converter_settings.h"
#include "suite/app_help.h"
#include "suite/app_skin.h"
#include "converter/start_convert_dialog.h"
#include "suite/app_utils.h"
#include "suite/minimized_icon.h"
#include "suite/source_probe.h"

namespace {

// Button set-up: id, icon, tooltip.
struct ButtonLook {
  HoverButton ConverterMainDialog::*button;
  UINT icon;
  const char* tooltip;
};

}  // namespace

IMPLEMENT_DYNAMIC(ConverterMainDialog, CDialog)

BEGIN_MESSAGE_MAP(ConverterMainDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_CLOSE()
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_MAIN_EXIT, OnExit)
  ON_BN_CLICKED(IDC_MAIN_HOME, OnHome)
  ON_BN_CLICKED(IDC_MAIN_HELP, OnHelp)
  ON_BN_CLICKED(IDC_MAIN_ABOUT, OnAbout)
  ON_BN_CLICKED(IDC_MAIN_ADD, OnAddFiles)
  ON_BN_CLICKED(IDC_MAIN_ADD_SMALL, OnAddFiles)
  ON_COMMAND(ID_VIDEOLIST_ADD, OnAddFiles)
  ON_BN_CLICKED(IDC_MAIN_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_MAIN_REMOVE_SMALL, OnRemove)
  ON_COMMAND(ID_VIDEOLIST_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_MAIN_REMOVE_ALL, OnRemoveAll)
  ON_COMMAND(ID_VIDEOLIST_REMOVE_ALL, OnRemoveAll)
  ON_BN_CLICKED(IDC_MAIN_UP, OnMoveUp)
  ON_COMMAND(ID_VIDEOLIST_UP, OnMoveUp)
  ON_BN_CLICKED(IDC_MAIN_DOWN, OnMoveDown)
  ON_COMMAND(ID_VIDEOLIST_DOWN, OnMoveDown)
  ON_BN_CLICKED(IDC_MAIN_PLAY, OnPlay)
  ON_COMMAND(ID_VIDEOLIST_PLAY, OnPlay)
  ON_BN_CLICKED(IDC_MAIN_CONVERT, OnConvert)
  ON_NOTIFY(NM_CLICK, IDC_MAIN_LIST, OnListClick)
  ON_NOTIFY(NM_RCLICK, IDC_MAIN_LIST, OnListRightClick)
  ON_NOTIFY(LVN_KEYDOWN, IDC_MAIN_LIST, OnListKeyDown)
END_MESSAGE_MAP()

ConverterMainDialog::ConverterMainDialog(const CString& appTitle, CWnd* pParent)
    : CDialog(IDD, pParent), m_appTitle(appTitle), m_scan(IDD_CONVERTER_SCAN_WAIT, IDC_SCAN_TEXT) {
  m_icon = AfxGetApp() != NULL ? AfxGetApp()->LoadIcon(IDI_CONVERTER_MAIN)
                               : ::LoadIconA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDI_CONVERTER_MAIN));
}

ConverterMainDialog::~ConverterMainDialog() = default;

void ConverterMainDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MAIN_LIST, m_list);
  DDX_Control(pDX, IDC_MAIN_ADD, m_add);
  DDX_Control(pDX, IDC_MAIN_REMOVE, m_remove);
  DDX_Control(pDX, IDC_MAIN_CONVERT, m_convert);
  DDX_Control(pDX, IDC_MAIN_ABOUT, m_about);
  DDX_Control(pDX, IDC_MAIN_HOME, m_home);
  DDX_Control(pDX, IDC_MAIN_HELP, m_help);
  DDX_Control(pDX, IDC_MAIN_EXIT, m_exit);
  DDX_Control(pDX, IDC_MAIN_ADD_SMALL, m_addSmall);
  DDX_Control(pDX, IDC_MAIN_REMOVE_SMALL, m_removeSmall);
  DDX_Control(pDX, IDC_MAIN_REMOVE_ALL, m_removeAll);
  DDX_Control(pDX, IDC_MAIN_PLAY, m_play);
  DDX_Control(pDX, IDC_MAIN_UP, m_up);
  DDX_Control(pDX, IDC_MAIN_DOWN, m_down);
  DDX_Control(pDX, IDC_MAIN_CONTROL, m_control);
}

BOOL ConverterMainDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  CString about;
  about.LoadString(IDS_CONVERTER_ABOUTBOX);
  CMenu* system = GetSystemMenu(FALSE);
  if (system != NULL && !about.IsEmpty()) {
    system->AppendMenu(MF_SEPARATOR);
    system->AppendMenu(MF_STRING, 16, about);
  }
  SetIcon(m_icon, TRUE);
  SetIcon(m_icon, FALSE);
  SetUpButtons();
  SetUpList();
  m_scan.CreateHidden(this);
  app_skin::SkinFrame(m_hWnd, app_skin::kDialogSkin);
  app_skin::SetDefaultDialogSkin(app_skin::kDialogSkin);
  int discType = skarven::g_settings.discType;
  SetWindowText(ConverterWindowTitle(discType).c_str());
  SetDlgItemText(IDC_MAIN_DISC_TYPE, DiscTypeStaticText(discType).c_str());
  return TRUE;
}

void ConverterMainDialog::SetUpButtons() {
  static const ButtonLook kLooks[] = {
      {&ConverterMainDialog::m_about, IDI_CONVERTER_ABOUT, "About"},
      {&ConverterMainDialog::m_home, IDI_CONVERTER_HOME, "Visit our homepage"},
      {&ConverterMainDialog::m_help, IDI_CONVERTER_HELP, "Help Content"},
      {&ConverterMainDialog::m_add, IDI_CONVERTER_ADD, "Add video files to list."},
      {&ConverterMainDialog::m_remove, IDI_CONVERTER_REMOVE, "Remove the selected file from list."},
      {&ConverterMainDialog::m_convert, IDI_CONVERTER_CONVERT, "Start Converting..."},
      {&ConverterMainDialog::m_exit, IDI_CONVERTER_EXIT, "Exit"},
      {&ConverterMainDialog::m_addSmall, IDI_CONVERTER_ADD_SMALL, "Add Video files to list."},
      {&ConverterMainDialog::m_removeSmall, IDI_CONVERTER_REMOVE_SMALL, "Remove the selected file from list."},
      {&ConverterMainDialog::m_removeAll, IDI_CONVERTER_REMOVE_ALL, "Remove all files from list."},
      {&ConverterMainDialog::m_play, IDI_CONVERTER_PLAY, "Play the selected file."},
      {&ConverterMainDialog::m_up, IDI_CONVERTER_UP, "Move the selected file up."},
      {&ConverterMainDialog::m_down, IDI_CONVERTER_DOWN, "Move the selected file down."},
  };
  for (const ButtonLook& look : kLooks) {
    HoverButton& button = this->*look.button;
    button.SetIcon(look.icon);
    button.SetTooltipText(look.tooltip);
    button.SetTransparent();
  }
}

void ConverterMainDialog::SetUpList() {
  m_list.InsertColumn(kSourceColumnPath, "   Source Video Files", LVCFMT_LEFT, 485);
  m_list.InsertColumn(kSourceColumnDuration, " Duration", LVCFMT_LEFT, 85);
  m_list.InsertColumn(kSourceColumnSize, "Size(MB)", LVCFMT_LEFT, 70);
  m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
}

void ConverterMainDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == 16) {
    OnAbout();
    return;
  }
  Default();
}

void ConverterMainDialog::OnPaint() {
  if (!PaintMinimizedIcon(this, m_icon)) Default();
}

HCURSOR ConverterMainDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_icon); }

void ConverterMainDialog::OnClose() { CDialog::OnCancel(); }
void ConverterMainDialog::OnExit() { CDialog::OnCancel(); }

void ConverterMainDialog::OnDestroy() {
  skarven::g_settings.Save();
  if (m_scan.GetSafeHwnd() != NULL) m_scan.DestroyWindow();
  CDialog::OnDestroy();
}

void ConverterMainDialog::OnHome() { m_homeLink.OpenUrl(kMakerHomePage, SW_SHOWNORMAL); }
void ConverterMainDialog::OnHelp() { ShowHtmlHelp(NULL, HelpFilePath(GetAppFolder())); }

void ConverterMainDialog::OnAbout() {
  AboutDialog about(kConverterAboutIds, m_appTitle, this);
  about.DoModal();
}

// ---- The list ------------------------------------------------------------------

void ConverterMainDialog::OnAddFiles() {
  if (m_list.GetItemCount() == 0) m_selected = 0;
  std::vector<CString> paths;
  if (!ChooseVideoFiles(this, &paths)) {
    if (m_list.GetItemCount() == 0) m_selected = -1;
    return;
  }
  ProbeAndAdd(paths);
}

void ConverterMainDialog::ProbeAndAdd(const std::vector<CString>& paths) {
  if (m_list.GetItemCount() == 0) m_selected = 0;
  EnableWindow(FALSE);
  m_scan.ShowCentered();
  for (const CString& path : paths) {
    m_scan.SetScanText(path);
    double duration = 0;
    if (!ProbeSourceFile(m_control, m_scan, path, &duration)) continue;
    int row = m_list.InsertItem(m_list.GetItemCount(), path);
    m_list.SetItemText(row, kSourceColumnDuration, FormatDuration(duration));
    m_list.SetItemText(row, kSourceColumnSize, SizeCellText(GetFileSizeBytes64(path)).c_str());
  }
  // Every file refused: nothing to select.
  if (m_list.GetItemCount() == 0) m_selected = -1;
  EnableWindow(TRUE);
  UpdateStatus();
  m_scan.Hide();
}

void ConverterMainDialog::SelectRow(int row) {
  m_selected = row;
  UpdateStatus();
}

void ConverterMainDialog::UpdateStatus() {
  int count = m_list.GetItemCount();
  if (m_selected >= 0 && m_selected < count) {
    m_list.SetItemState(m_selected, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.EnsureVisible(m_selected, FALSE);
  }
  double total = 0;
  for (int row = 0; row < count; ++row) total += DurationCellSeconds(m_list.GetItemText(row, kSourceColumnDuration));
  SetDlgItemText(IDC_MAIN_COUNT, FileCountText(count).c_str());
  SetDlgItemText(IDC_MAIN_TOTAL, TotalDurationText(total).c_str());
}

void ConverterMainDialog::OnRemove() {
  int count = m_list.GetItemCount();
  if (m_selected < 0 || m_selected >= count) return;
  m_list.DeleteItem(m_selected);
  m_selected = SelectionAfterRemove(m_selected, count - 1);
  UpdateStatus();
}

void ConverterMainDialog::OnRemoveAll() {
  if (m_selected < 0) return;
  if (AfxMessageBox("Remove all source files?   ", MB_OKCANCEL | MB_ICONQUESTION) != IDOK) return;
  CWaitCursor wait;
  m_list.DeleteAllItems();
  m_selected = -1;
  UpdateStatus();
}

void ConverterMainDialog::MoveSelected(int step) {
  int count = m_list.GetItemCount();
  int target = m_selected + step;
  if (m_selected < 0 || m_selected >= count || target < 0 || target >= count) return;
  CString texts[3];
  for (int column = 0; column < 3; ++column) texts[column] = m_list.GetItemText(m_selected, column);
  m_list.DeleteItem(m_selected);
  int row = m_list.InsertItem(target, texts[kSourceColumnPath]);
  m_list.SetItemText(row, kSourceColumnDuration, texts[kSourceColumnDuration]);
  m_list.SetItemText(row, kSourceColumnSize, texts[kSourceColumnSize]);
  m_selected = row;
  UpdateStatus();
}

void ConverterMainDialog::OnMoveUp() { MoveSelected(-1); }
void ConverterMainDialog::OnMoveDown() { MoveSelected(+1); }

void ConverterMainDialog::OnPlay() {
  if (m_selected < 0 || m_selected >= m_list.GetItemCount()) return;
  CString path = m_list.GetItemText(m_selected, kSourceColumnPath);
  HINSTANCE result = ShellExecuteA(m_hWnd, "open", path, NULL, NULL, SW_SHOWNORMAL);
  if (reinterpret_cast<INT_PTR>(result) <= 32)
    ShellExecuteA(m_hWnd, "open", "wmplayer.exe", "\"" + path + "\"", NULL, SW_SHOWNORMAL);
}

void ConverterMainDialog::OnConvert() {
  if (m_list.GetItemCount() == 0) {
    AfxMessageBox("Please add a video file at lease!");
    return;
  }
  StartConvertDialog dialog(this);
  dialog.DoModal();
  if (dialog.Started() == 1) CDialog::OnCancel();
}

HMENU ConverterMainDialog::BuildContextMenu() {
  HMENU menu = LoadMenuA(AfxFindResourceHandle(MAKEINTRESOURCEA(IDR_CONVERTER_VIDEOLIST), RT_MENU),
                         MAKEINTRESOURCEA(IDR_CONVERTER_VIDEOLIST));
  if (menu == NULL) return NULL;
  HMENU popup = GetSubMenu(menu, 0);
  ListMenuState state = ListMenuFor(m_list.GetItemCount(), m_selected);
  auto enable = [&](UINT id, bool enabled) { EnableMenuItem(popup, id, MF_BYCOMMAND | (enabled ? MF_ENABLED : MF_GRAYED)); };
  enable(ID_VIDEOLIST_REMOVE, state.remove);
  enable(ID_VIDEOLIST_REMOVE_ALL, state.removeAll);
  enable(ID_VIDEOLIST_PLAY, state.play);
  enable(ID_VIDEOLIST_UP, state.moveUp);
  enable(ID_VIDEOLIST_DOWN, state.moveDown);
  return menu;
}

void ConverterMainDialog::OnListClick(NMHDR*, LRESULT* pResult) {
  m_selected = m_list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
  UpdateStatus();
  *pResult = 0;
}

void ConverterMainDialog::OnListRightClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  HMENU menu = BuildContextMenu();
  if (menu == NULL) return;
  POINT at;
  GetCursorPos(&at);
  TrackPopupMenu(GetSubMenu(menu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, m_hWnd, NULL);
  DestroyMenu(menu);
}

void ConverterMainDialog::OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult) {
  if (reinterpret_cast<NMLVKEYDOWN*>(pNMHDR)->wVKey == VK_DELETE) OnRemove();
  *pResult = 0;
}
