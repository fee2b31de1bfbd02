#include "creator/main_dialog.h"

#include <string>

#include "controls/hyperlink_static.h"
#include "creator/app_creator.h"
#include "suite/app_help.h"
#include "suite/app_skin.h"
#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "suite/about_dialog.h"
#include "suite/minimized_icon.h"
#include "suite/source_probe.h"
#include "standins/calls/cdscribe_calls.h"

IMPLEMENT_DYNAMIC(CreatorMainDialog, CDialog)

BEGIN_MESSAGE_MAP(CreatorMainDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_WM_CLOSE()
  ON_BN_CLICKED(IDC_MAIN_ABOUT, OnAbout)
  ON_BN_CLICKED(IDC_MAIN_ADD, OnAddFiles)
  ON_BN_CLICKED(IDC_MAIN_ADD_SMALL, OnAddFiles)
  ON_BN_CLICKED(IDC_MAIN_REMOVE_SMALL, OnRemove)
  ON_BN_CLICKED(IDC_MAIN_DOWN, OnMoveDown)
  ON_BN_CLICKED(IDC_MAIN_HELP, OnHelpContents)
  ON_BN_CLICKED(IDC_MAIN_HOME, OnHomePage)
  ON_BN_CLICKED(IDC_MAIN_PLAY, OnPlay)
  ON_BN_CLICKED(IDC_MAIN_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_MAIN_REMOVE_ALL, OnRemoveAll)
  ON_BN_CLICKED(IDC_MAIN_UP, OnMoveUp)
  ON_BN_CLICKED(IDC_MAIN_EXIT, OnExit)
  ON_NOTIFY(NM_CLICK, IDC_MAIN_LIST, OnListClick)
  ON_NOTIFY(NM_RCLICK, IDC_MAIN_LIST, OnListRightClick)
  ON_NOTIFY(LVN_KEYDOWN, IDC_MAIN_LIST, OnListKeyDown)
  ON_COMMAND(ID_LIST_ADD_FILES, OnAddFiles)
  ON_COMMAND(ID_LIST_REMOVE, OnRemove)
  ON_COMMAND(ID_LIST_REMOVE_ALL, OnRemoveAll)
  ON_COMMAND(ID_LIST_MOVE_UP, OnMoveUp)
  ON_COMMAND(ID_LIST_MOVE_DOWN, OnMoveDown)
  ON_COMMAND(ID_LIST_PLAY, OnPlay)
  ON_BN_CLICKED(IDC_MAIN_RUN, OnRun)
END_MESSAGE_MAP()

const char CreatorMainDialog::kHomePageUrl[] = "http://www.quorbel.com/";
const char CreatorMainDialog::kSupportMailUrl[] = "mailto:support@quorbel.com";

namespace {

// The hover buttons: control, bitmap, tooltip. The first seven are the
// toolbar row, drawn with the image above their caption.
struct ButtonSpec {
  int control;
  int bitmap;
  const char* tooltip;
};
const ButtonSpec kButtons[] = {
    {IDC_MAIN_ABOUT, IDB_CREATOR_ABOUT, "About"},
    {IDC_MAIN_HOME, IDB_CREATOR_HOME, "Visit our homepage"},
    {IDC_MAIN_HELP, IDB_CREATOR_HELP, "Help Content"},
    {IDC_MAIN_ADD, IDB_CREATOR_ADD, "Add video files to list"},
    {IDC_MAIN_REMOVE, IDB_CREATOR_REMOVE, "Remove the selected file from list."},
    {IDC_MAIN_RUN, IDB_CREATOR_RUN, "Start converting and burning..."},
    {IDC_MAIN_EXIT, IDB_CREATOR_EXIT, "Exit"},
    {IDC_MAIN_ADD_SMALL, IDB_CREATOR_ADD_SMALL, "Add Video files to list."},
    {IDC_MAIN_REMOVE_SMALL, IDB_CREATOR_REMOVE_SMALL, "Remove the selected file from list."},
    {IDC_MAIN_REMOVE_ALL, IDB_CREATOR_REMOVE_ALL, "Remove all files from list."},
    {IDC_MAIN_PLAY, IDB_CREATOR_PLAY, "Play the selected file."},
    {IDC_MAIN_UP, IDB_CREATOR_UP, "Move the selected file up."},
    {IDC_MAIN_DOWN, IDB_CREATOR_DOWN, "Move the selected file down."},
};
static_assert(sizeof kButtons / sizeof kButtons[0] == 13, "one entry per hover button");
enum { kToolbarButtons = 7, kImageAboveCaption = 1 };

// The bitmaps' background, drawn as the button's own.
const COLORREF kBitmapKey = RGB(255, 0, 255);

const char kEmptyListText[] = "Please add a video file at lease!";
const char kRemoveAllQuestion[] = "Remove all source files?   ";

// The list's extended styles (1057): full-row select, grid lines and
// tooltips for cut-off paths.
enum { kListExtendedStyle = 1057 };
static_assert(kListExtendedStyle == (LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES | LVS_EX_INFOTIP),
              "the list's extended styles");

// The string CdScribe's Initialize is given (it names the caller).
const char kCdWriterOwner[] = "Vantrel";

}  // namespace

CreatorMainDialog::CreatorMainDialog(CWnd* pParent)
    : CDialog(IDD, pParent), m_scanDialog(IDD_CREATOR_SCAN_WAIT, IDC_SCAN_TEXT) {}

CreatorMainDialog::~CreatorMainDialog() = default;

void CreatorMainDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_MAIN_LIST, m_list);
  DDX_Control(pDX, IDC_MAIN_CONVERTER, m_converter);
  for (int i = 0; i < 13; ++i) DDX_Control(pDX, kButtons[i].control, m_buttons[i]);
}

// ---- Opening ------------------------------------------------------------------------

BOOL CreatorMainDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_discType = g_convertSettings.discType;

  CString aboutItem;
  aboutItem.LoadString(IDS_CREATOR_ABOUT_ITEM);
  if (CMenu* systemMenu = GetSystemMenu(FALSE)) {
    if (!aboutItem.IsEmpty()) {
      systemMenu->AppendMenu(MF_SEPARATOR);
      systemMenu->AppendMenu(MF_STRING, IDM_CREATOR_ABOUT, aboutItem);
    }
  }

  m_hIcon = AfxGetApp() != NULL ? AfxGetApp()->LoadIcon(IDR_CREATOR_ICON)
                                : ::LoadIconA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_CREATOR_ICON));
  SetIcon(m_hIcon, TRUE);
  SetIcon(m_hIcon, FALSE);

  SetUpButtons();
  InsertColumns();

  m_scanDialog.CreateHidden(this);

  app_skin::SkinFrame(m_hWnd, app_skin::kDialogSkin);
  app_skin::SetDefaultDialogSkin(app_skin::kDialogSkin);

  m_scale.AttachToDlgItem(IDC_MAIN_SCALE, this);
  SetUpScale(m_discType);

  SetWindowText(MainWindowTitle(m_discType).c_str());
  SetDlgItemText(IDC_MAIN_DISC_TYPE, DiscTypeStaticText(m_discType).c_str());
  RefreshTotals();

  if (m_discType == kDiscTypeVcd || m_discType == kDiscTypeSvcd) {
    int result = InitializeCdWriter();
    if (result != 0) ShowBurnEngineError(result);
  }
  return TRUE;
}

void CreatorMainDialog::SetUpButtons() {
  HINSTANCE resources = AfxGetResourceHandle();
  for (int i = 0; i < 13; ++i) {
    HoverButton& button = m_buttons[i];
    HBITMAP bitmap = static_cast<HBITMAP>(
        LoadImageA(resources, MAKEINTRESOURCEA(kButtons[i].bitmap), IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    button.SetBitmaps(bitmap, kBitmapKey);
    button.SetTooltipText(kButtons[i].tooltip);
    button.SetTransparent();
    if (i < kToolbarButtons) button.SetAlign(kImageAboveCaption);
  }
}

void CreatorMainDialog::InsertColumns() {
  m_list.SetExtendedStyle(m_list.GetExtendedStyle() | kListExtendedStyle);
  m_list.InsertColumn(kSourceColumnPath, "   Source Video Files", LVCFMT_LEFT, 465);
  m_list.InsertColumn(kSourceColumnDuration, " Duration", LVCFMT_LEFT, 110);
  m_list.InsertColumn(kSourceColumnSize, "Size(MB)", LVCFMT_LEFT, 90);
}

void CreatorMainDialog::SetUpScale(int discType) {
  CapacityScale scale = CapacityScaleFor(discType);
  m_scale.RemoveAllMarkers();
  m_scale.RemoveAllColorBands();
  m_scale.SetMaximum(scale.maximum);
  m_scale.SetTickStep(scale.tickStep);
  m_scale.SetLabelStep(scale.labelStep);
  m_scale.SetUnitText("min");
  m_scale.AddColorBand(0, kScaleBandColour);
  m_scale.AddMarker(scale.warning, kScaleWarningColour, FALSE);
  m_scale.AddColorBand(scale.warning, kScaleWarningColour);
  m_scale.AddMarker(scale.limit, kScaleLimitColour, FALSE);
  m_scale.AddColorBand(scale.limit, kScaleLimitColour);
}

int CreatorMainDialog::InitializeCdWriter() { return CdScribe().Initialize(0, kCdWriterOwner, 1); }

// ---- The rows -------------------------------------------------------------------------

int CreatorMainDialog::GetSourceCount() const { return m_list.GetSafeHwnd() != NULL ? m_list.GetItemCount() : 0; }

CString CreatorMainDialog::GetSourcePath(int row) const { return m_list.GetItemText(row, kSourceColumnPath); }

double CreatorMainDialog::GetSourceSeconds(int row) const {
  CString cell = m_list.GetItemText(row, kSourceColumnDuration);
  return DurationCellSeconds(cell);
}

double CreatorMainDialog::GetTotalSeconds() const {
  double total = 0;
  for (int row = 0; row < GetSourceCount(); ++row) total += GetSourceSeconds(row);
  return total;
}

int CreatorMainDialog::AppendRow(const CString& path, const CString& duration, const CString& size) {
  int row = m_list.InsertItem(m_list.GetItemCount(), path);
  if (row < 0) return row;
  m_list.SetItemText(row, kSourceColumnDuration, duration);
  m_list.SetItemText(row, kSourceColumnSize, size);
  return row;
}

void CreatorMainDialog::RefreshTotals() {
  int count = GetSourceCount();
  if (m_selectedIndex >= 0 && m_selectedIndex < count) {
    m_list.SetItemState(m_selectedIndex, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_list.EnsureVisible(m_selectedIndex, FALSE);
  }
  SetDlgItemText(IDC_MAIN_FILE_COUNT, FileCountText(count).c_str());
  double total = GetTotalSeconds();
  SetDlgItemText(IDC_MAIN_TOTAL, TotalDurationText(total).c_str());
  m_scale.SetValue(ScaleMinutes(total));
  Invalidate();
  UpdateWindow();
}

void CreatorMainDialog::TakeListSelection() {
  POSITION pos = m_list.GetFirstSelectedItemPosition();
  if (pos == NULL) return;
  m_selectedIndex = m_list.GetNextSelectedItem(pos);
  m_list.SetItemState(m_selectedIndex, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
}

// ---- Adding ----------------------------------------------------------------------------

BOOL CreatorMainDialog::ChooseSourceFiles(std::vector<CString>* paths) { return ChooseVideoFiles(this, paths); }

void CreatorMainDialog::AddFiles() {
  if (GetSourceCount() == 0) m_selectedIndex = 0;
  std::vector<CString> paths;
  if (!ChooseSourceFiles(&paths)) {
    if (GetSourceCount() == 0) m_selectedIndex = -1;
    return;
  }
  AddSourceFiles(paths);
}

BOOL CreatorMainDialog::ProbeAndAppend(const CString& path) {
  double duration = 0;
  if (!ProbeSourceFile(m_converter, m_scanDialog, path, &duration)) return FALSE;
  long long bytes = GetFileSizeBytes64(path);
  AppendRow(path, FormatDuration(duration), SizeCellText(bytes > 0 ? bytes : 0).c_str());
  return TRUE;
}

void CreatorMainDialog::AddSourceFiles(const std::vector<CString>& paths) {
  if (GetSourceCount() == 0) m_selectedIndex = 0;
  EnableWindow(FALSE);
  m_scanDialog.ShowCentered();
  for (const CString& path : paths) {
    m_scanDialog.SetScanText(path);
    ProbeAndAppend(path);
  }
  // Every file refused: nothing to select.
  if (GetSourceCount() == 0) m_selectedIndex = -1;
  EnableWindow(TRUE);
  RefreshTotals();
  m_scanDialog.Hide();
}

// ---- Removing and ordering ----------------------------------------------------------------

void CreatorMainDialog::RemoveSelected() {
  int count = GetSourceCount();
  if (m_selectedIndex < 0 || m_selectedIndex >= count) return;
  int removed = m_selectedIndex;
  m_list.DeleteItem(removed);
  m_selectedIndex = SelectionAfterRemove(removed, count - 1);
  RefreshTotals();
}

void CreatorMainDialog::RemoveAll() {
  if (m_selectedIndex < 0 || GetSourceCount() == 0) return;
  if (AfxMessageBox(kRemoveAllQuestion, MB_OKCANCEL) != IDOK) return;
  m_list.DeleteAllItems();
  m_selectedIndex = -1;
  RefreshTotals();
}

void CreatorMainDialog::MoveRow(int from, int to) {
  CString path = m_list.GetItemText(from, kSourceColumnPath);
  CString duration = m_list.GetItemText(from, kSourceColumnDuration);
  CString size = m_list.GetItemText(from, kSourceColumnSize);
  m_list.DeleteItem(from);
  int row = m_list.InsertItem(to, path);
  m_list.SetItemText(row, kSourceColumnDuration, duration);
  m_list.SetItemText(row, kSourceColumnSize, size);
  m_selectedIndex = row;
  RefreshTotals();
}

void CreatorMainDialog::MoveSelectedUp() {
  if (m_selectedIndex <= 0 || m_selectedIndex >= GetSourceCount()) return;
  MoveRow(m_selectedIndex, m_selectedIndex - 1);
}

void CreatorMainDialog::MoveSelectedDown() {
  if (m_selectedIndex < 0 || m_selectedIndex >= GetSourceCount() - 1) return;
  MoveRow(m_selectedIndex, m_selectedIndex + 1);
}

// ---- Playing, help, home page -------------------------------------------------------------

INT_PTR CreatorMainDialog::ShellOpen(LPCTSTR file, LPCTSTR parameters) {
  return reinterpret_cast<INT_PTR>(ShellExecuteA(m_hWnd, "open", file, parameters, NULL, SW_SHOWNORMAL));
}

void CreatorMainDialog::PlaySelected() {
  if (m_selectedIndex < 0 || m_selectedIndex >= GetSourceCount()) return;
  CString path = GetSourcePath(m_selectedIndex);
  if (ShellOpen(path, NULL) < 32) ShellOpen("wmplayer.exe", path);
}

void CreatorMainDialog::OpenHelp(const CString& path) { ShowHtmlHelp(m_hWnd, path); }

void CreatorMainDialog::OpenHomePage() {
  HyperLinkStatic link;
  link.OpenUrl(kHomePageUrl, SW_SHOWNORMAL);
}

// ---- Run --------------------------------------------------------------------------------------

void CreatorMainDialog::RunJob() {
  if (GetSourceCount() == 0) {
    AfxMessageBox(kEmptyListText);
    return;
  }
  std::string question = TooLongQuestion(m_discType, m_scale.GetValue());
  if (!question.empty() && AfxMessageBox(question.c_str(), MB_YESNO) != IDYES) return;
  if (RunJobDialog() == 1) EndDialog(IDOK);
}

void CreatorMainDialog::ShowAbout() {
  static const AboutDialogIds kAbout = {IDD_CREATOR_ABOUT, IDC_ABOUT_VERSION, IDC_ABOUT_HOME_LINK,
                                        IDC_ABOUT_MAIL_LINK, kHomePageUrl, kSupportMailUrl,
                                        10, true, true, true};
  AboutDialog about(kAbout, GetProgramTitle(), this);
  about.DoModal();
}

// ---- The popup menu -------------------------------------------------------------------------

void CreatorMainDialog::ShowListMenu(CPoint point) {
  CMenu menu;
  if (!menu.LoadMenu(IDR_CREATOR_LIST_MENU)) return;
  CMenu* popup = menu.GetSubMenu(0);
  if (popup == NULL) return;
  ListMenuState state = ListMenuFor(GetSourceCount(), m_selectedIndex);
  auto enable = [popup](UINT id, bool on) { popup->EnableMenuItem(id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(ID_LIST_ADD_FILES, true);
  enable(ID_LIST_REMOVE, state.remove);
  enable(ID_LIST_REMOVE_ALL, state.removeAll);
  enable(ID_LIST_PLAY, state.play);
  enable(ID_LIST_MOVE_UP, state.moveUp);
  enable(ID_LIST_MOVE_DOWN, state.moveDown);
  popup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}

// ---- Message handlers ------------------------------------------------------------------------

void CreatorMainDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == IDM_CREATOR_ABOUT) {
    ShowAbout();
    return;
  }
  CDialog::OnSysCommand(nID, lParam);
}

void CreatorMainDialog::OnPaint() {
  if (PaintMinimizedIcon(this, m_hIcon)) return;
  if (m_scale.GetSafeHwnd() != NULL) m_scale.Invalidate();
  CDialog::OnPaint();
}

HCURSOR CreatorMainDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_hIcon); }

void CreatorMainDialog::OnTimer(UINT_PTR nIDEvent) { CDialog::OnTimer(nIDEvent); }

void CreatorMainDialog::OnDestroy() {
  g_convertSettings.Save();
  CDialog::OnDestroy();
}

void CreatorMainDialog::OnClose() { OnExit(); }

void CreatorMainDialog::OnAbout() { ShowAbout(); }
void CreatorMainDialog::OnAddFiles() { AddFiles(); }
void CreatorMainDialog::OnRemove() { RemoveSelected(); }
void CreatorMainDialog::OnRemoveAll() { RemoveAll(); }
void CreatorMainDialog::OnMoveUp() { MoveSelectedUp(); }
void CreatorMainDialog::OnMoveDown() { MoveSelectedDown(); }
void CreatorMainDialog::OnPlay() { PlaySelected(); }
void CreatorMainDialog::OnRun() { RunJob(); }
void CreatorMainDialog::OnHelpContents() { OpenHelp(HelpFilePath(GetAppFolder())); }
void CreatorMainDialog::OnHomePage() { OpenHomePage(); }
void CreatorMainDialog::OnExit() { EndDialog(IDCANCEL); }

void CreatorMainDialog::OnListClick(NMHDR*, LRESULT* pResult) {
  TakeListSelection();
  *pResult = 0;
}

void CreatorMainDialog::OnListRightClick(NMHDR*, LRESULT* pResult) {
  TakeListSelection();
  CPoint point;
  GetCursorPos(&point);
  ShowListMenu(point);
  *pResult = 0;
}

void CreatorMainDialog::OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult) {
  const NMLVKEYDOWN* key = reinterpret_cast<const NMLVKEYDOWN*>(pNMHDR);
  int count = GetSourceCount();
  switch (key->wVKey) {
    case VK_DELETE: RemoveSelected(); break;
    case VK_UP:
      if (m_selectedIndex > 0) --m_selectedIndex;
      break;
    case VK_DOWN:
      if (m_selectedIndex < count - 1) ++m_selectedIndex;
      break;
    default: break;
  }
  *pResult = 0;
}
