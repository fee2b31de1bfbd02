#include "burner/burner_main_dialog.h"

#include <shellapi.h>

#include "burner/burn_settings.h"
#include "burner/burner_app.h"
#include "burner/burner_rules.h"
#include "burner/start_burn_dialog.h"
#include "controls/file_dialog_ex.h"
#include "controls/hyperlink_static.h"
#include "suite/app_help.h"
#include "suite/app_skin.h"
#include "suite/minimized_icon.h"
#include "suite/app_utils.h"
#include "standins/calls/cdscribe_calls.h"

int BurnerDiscType() { return g_burnSettings.discType; }

namespace {

const int kColumnCount = 5;

// The scanner's callbacks run on a thread of the library: they only post
// to the main window, whose thread then touches the list and the dialogs.
// Their user data is the window's handle, not the object: a scan still
// running when the window goes posts to nothing.
int32_t OUTSIDE_CALL OnVideoScanProgress(float percent, int32_t, void* user) {
  if (!(percent >= 0)) percent = 0;
  ::PostMessageA(static_cast<HWND>(user), kScanProgressMessage, static_cast<WPARAM>(static_cast<int>(percent)), 0);
  return 0;
}

int32_t OUTSIDE_CALL OnVideoScanDone(const char* path, int32_t scanResult, int32_t notCompatible, int32_t,
                                     int32_t width, int32_t height, int32_t bitRate, double frameRate,
                                     int32_t, int32_t, void* user) {
  ScanOutcome* outcome = new ScanOutcome;
  outcome->path = path != NULL ? path : "";
  outcome->scanResult = scanResult;
  outcome->notCompatible = notCompatible;
  outcome->width = width;
  outcome->height = height;
  outcome->bitRate = bitRate;
  outcome->frameRate = frameRate;
  if (!::PostMessageA(static_cast<HWND>(user), kScanDoneMessage, 0, reinterpret_cast<LPARAM>(outcome)))
    delete outcome;
  return 0;
}

void ShowCdError(int32_t code) { ShowBurnEngineError(code); }

}  // namespace

BEGIN_MESSAGE_MAP(BurnerMainDialog, CDialog)
  ON_WM_SYSCOMMAND()
  ON_WM_PAINT()
  ON_WM_QUERYDRAGICON()
  ON_BN_CLICKED(IDC_MAIN_ADD, OnAdd)
  ON_BN_CLICKED(IDC_MAIN_ADD_SMALL, OnAdd)
  ON_COMMAND(ID_LIST_ADD_FILES, OnAdd)
  ON_BN_CLICKED(IDC_MAIN_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_MAIN_REMOVE_SMALL, OnRemove)
  ON_COMMAND(ID_LIST_REMOVE, OnRemove)
  ON_BN_CLICKED(IDC_MAIN_BURN, OnBurn)
  ON_BN_CLICKED(IDC_MAIN_ABOUT, OnAbout)
  ON_BN_CLICKED(IDC_MAIN_HOME, OnHome)
  ON_BN_CLICKED(IDC_MAIN_HELP, OnHelp)
  ON_BN_CLICKED(IDC_MAIN_EXIT, OnExit)
  ON_BN_CLICKED(IDC_MAIN_REMOVE_ALL, OnRemoveAll)
  ON_COMMAND(ID_LIST_REMOVE_ALL, OnRemoveAll)
  ON_BN_CLICKED(IDC_MAIN_PLAY, OnPlay)
  ON_COMMAND(ID_LIST_PLAY, OnPlay)
  ON_BN_CLICKED(IDC_MAIN_UP, OnMoveUp)
  ON_COMMAND(ID_LIST_MOVE_UP, OnMoveUp)
  ON_BN_CLICKED(IDC_MAIN_DOWN, OnMoveDown)
  ON_COMMAND(ID_LIST_MOVE_DOWN, OnMoveDown)
  ON_BN_CLICKED(IDC_MAIN_TOOLKIT, OnToolkit)
  ON_NOTIFY(NM_CLICK, IDC_MAIN_LIST, OnListClick)
  ON_NOTIFY(LVN_KEYDOWN, IDC_MAIN_LIST, OnListKeyDown)
  ON_NOTIFY(NM_RCLICK, IDC_MAIN_LIST, OnListRightClick)
  ON_MESSAGE(kScanProgressMessage, OnScanProgress)
  ON_MESSAGE(kScanDoneMessage, OnScanDone)
END_MESSAGE_MAP()

BurnerMainDialog::BurnerMainDialog(CWnd* pParent)
    : CDialog(IDD, pParent), m_icon(NULL), m_selectedRow(-1), m_fileCount(0), m_totalBytes(0) {
  m_icon = AfxGetApp() != NULL ? AfxGetApp()->LoadIcon(IDR_BURNER_ICON)
                               : ::LoadIconA(::GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_BURNER_ICON));
}

BurnerMainDialog::~BurnerMainDialog() {
  // The scanner must not post to a window that is gone.
  if (burner::IsCdDiscType(BurnerDiscType()) && CdScribe().IsLoaded()) {
    CdScribe().SetVideoScannerEventCallback(NULL, NULL);
    CdScribe().SetVideoScanDoneEventCallback(NULL, NULL);
  }
}

BOOL BurnerMainDialog::OnInitDialog() {
  CDialog::OnInitDialog();

  CString aboutItem;
  aboutItem.LoadString(IDS_BURNER_ABOUT_ITEM);
  HMENU systemMenu = ::GetSystemMenu(m_hWnd, FALSE);
  if (systemMenu != NULL && !aboutItem.IsEmpty()) {
    ::AppendMenuA(systemMenu, MF_SEPARATOR, 0, NULL);
    ::AppendMenuA(systemMenu, MF_STRING, 16, aboutItem);
  }
  SetIcon(m_icon, TRUE);
  SetIcon(m_icon, FALSE);

  SetUpButtons();
  SetUpColumns();
  app_skin::SkinFrame(m_hWnd, app_skin::kDialogSkin);
  app_skin::SetDefaultDialogSkin(app_skin::kDialogSkin);

  m_scanDialog.Create(this);
  m_loadingDialog.Create(this);

  CString title = GetBurnerTitle();
  if (!title.IsEmpty()) SetWindowText(title);

  SetUpScale();
  int discType = BurnerDiscType();
  if (discType != kDiscTypeVcd) {
    SetDlgItemText(IDC_MAIN_DISC_TYPE, burner::DiscTypeText(discType));
    SetDlgItemText(IDC_MAIN_HINT, burner::AddFilesHint(discType));
  }
  UpdateStatus();
  if (burner::IsCdDiscType(discType)) StartCdLibrary();
  return TRUE;
}

void BurnerMainDialog::SetUpButtons() {
  struct Button {
    HoverButton* button;
    int id;
    int icon;
    const char* tip;
  } buttons[] = {
      {&m_aboutButton, IDC_MAIN_ABOUT, IDI_BURNER_ABOUT, "About"},
      {&m_homeButton, IDC_MAIN_HOME, IDI_BURNER_HOME, "Visit our homepage."},
      {&m_helpButton, IDC_MAIN_HELP, IDI_BURNER_HELP, "Help Content"},
      {&m_addButton, IDC_MAIN_ADD, IDI_BURNER_ADD, "Add source files to list."},
      {&m_removeButton, IDC_MAIN_REMOVE, IDI_BURNER_REMOVE, "Remove the selected file from list."},
      {&m_burnButton, IDC_MAIN_BURN, IDI_BURNER_BURN, "Start Burning..."},
      {&m_toolkitButton, IDC_MAIN_TOOLKIT, IDI_BURNER_TOOLKIT, "Utilities"},
      {&m_exitButton, IDC_MAIN_EXIT, IDI_BURNER_EXIT, "Exit"},
      {&m_addSmall, IDC_MAIN_ADD_SMALL, IDI_BURNER_ADD_SMALL, "Add source files to list."},
      {&m_removeSmall, IDC_MAIN_REMOVE_SMALL, IDI_BURNER_REMOVE_SMALL, "Remove the selected file from list."},
      {&m_removeAllSmall, IDC_MAIN_REMOVE_ALL, IDI_BURNER_REMOVE_ALL, "Remove all files from list."},
      {&m_playSmall, IDC_MAIN_PLAY, IDI_BURNER_PLAY, "Play the selected file."},
      {&m_upSmall, IDC_MAIN_UP, IDI_BURNER_UP, "Make the selected file up"},
      {&m_downSmall, IDC_MAIN_DOWN, IDI_BURNER_DOWN, "Make the selected file down"},
  };
  for (const Button& b : buttons) {
    b.button->SubclassDlgItem(b.id, this);
    b.button->SetIcon(b.icon);
    b.button->SetTooltipText(b.tip);
    b.button->SetTransparent();
  }
}

void BurnerMainDialog::SetUpColumns() {
  m_list.SubclassDlgItem(IDC_MAIN_LIST, this);
  m_list.SetExtendedStyle(LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT | LVS_EX_INFOTIP);
  int count = 0;
  const burner::ListColumn* columns = burner::ListColumnsFor(BurnerDiscType(), &count);
  for (int i = 0; i < count; ++i) m_list.InsertColumn(i, columns[i].title, LVCFMT_LEFT, columns[i].width);
}

void BurnerMainDialog::SetUpScale() {
  m_scale.AttachToDlgItem(IDC_MAIN_SCALE, this);
  burner::ScaleSetup setup = burner::ScaleSetupFor(BurnerDiscType());
  m_scale.SetMaximum(setup.end);
  m_scale.SetTickStep(setup.tickStep);
  m_scale.SetLabelStep(setup.labelStep);
  m_scale.SetUnitText("MB");
  m_scale.AddColorBand(0, setup.baseColour);
  m_scale.AddMarker(setup.warnAt, setup.warnColour, FALSE);
  m_scale.AddColorBand(setup.warnAt, setup.warnColour);
  m_scale.AddMarker(setup.limitAt, setup.limitColour, FALSE);
  m_scale.AddColorBand(setup.limitAt, setup.limitColour);
}

void BurnerMainDialog::StartCdLibrary() {
  CdScribeCalls& cd = CdScribe();
  ShowCdError(cd.Initialize(0, "Pelzor", 1));
  cd.SetVideoScannerEventCallback(OnVideoScanProgress, m_hWnd);
  cd.SetVideoScanDoneEventCallback(OnVideoScanDone, m_hWnd);
  ShowCdError(cd.CreateProject(burner::CdProjectTypeFor(BurnerDiscType())));
}

// ---- The list ----------------------------------------------------------------------------------

CString BurnerMainDialog::GetFilePath(int row) const { return m_list.GetItemText(row, 0); }

void BurnerMainDialog::UpdateStatus() {
  SetDlgItemText(IDC_MAIN_STATUS, burner::ListStatusText(m_fileCount, m_totalBytes).c_str());
  m_scale.SetValue(burner::TotalWholeMB(m_totalBytes));
  if (m_scale.m_hWnd != NULL) m_scale.Invalidate();
}

void BurnerMainDialog::SelectRow(int row) {
  m_selectedRow = row;
  if (row < 0 || row >= m_list.GetItemCount()) return;
  m_list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  m_list.EnsureVisible(row, FALSE);
}

int BurnerMainDialog::CurrentRow() const {
  int row = m_list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
  if (row >= 0) return row;
  return m_selectedRow >= 0 && m_selectedRow < m_list.GetItemCount() ? m_selectedRow : -1;
}

void BurnerMainDialog::AppendFile(const char* path, const ScanOutcome* scan) {
  long long size = GetFileSizeBytes64(path);
  double bytes = size > 0 ? static_cast<double>(size) : 0.0;
  int row = m_list.InsertItem(m_list.GetItemCount(), path);
  if (row < 0) return;
  m_list.SetItemText(row, 1, burner::SizeMBText(bytes).c_str());
  if (scan != NULL) {
    m_list.SetItemText(row, 2, burner::ResolutionText(scan->width, scan->height).c_str());
    m_list.SetItemText(row, 3, burner::FrameRateText(scan->frameRate).c_str());
    m_list.SetItemText(row, 4, burner::BitRateText(scan->bitRate).c_str());
  }
  m_rowBytes.insert(m_rowBytes.begin() + row, bytes);
  m_fileCount += 1;
  m_totalBytes += bytes;
}

INT_PTR BurnerMainDialog::ChooseFiles(BOOL multiple, CStringArray* paths) {
  char names[1024] = "";
  if (multiple) {
    CFileDialogEx dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST,
                         "VOB files(*.VOB,*.vob)|*.VOB;*.vob;||", this);
    dialog.m_ofn.lpstrTitle = "Add VOB files";
    dialog.m_ofn.lpstrFile = names;
    dialog.m_ofn.nMaxFile = sizeof names;
    if (dialog.DoModal() != IDOK) return IDCANCEL;
    POSITION pos = dialog.GetStartPosition();
    while (pos != NULL) paths->Add(dialog.GetNextPathName(pos));
    return IDOK;
  }
  CFileDialogEx dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY, "MPEG files(*.mpeg,*.mpg)|*.mpeg;*.mpg;||", this);
  dialog.m_ofn.lpstrTitle = "Add MPEG files";
  dialog.m_ofn.lpstrFile = names;
  dialog.m_ofn.nMaxFile = sizeof names;
  if (dialog.DoModal() != IDOK) return IDCANCEL;
  paths->Add(dialog.GetPathName());
  return IDOK;
}

void BurnerMainDialog::AddFiles() {
  if (m_list.GetItemCount() == 0) m_selectedRow = 0;
  bool dvd = !burner::IsCdDiscType(BurnerDiscType());
  CStringArray paths;
  if (ChooseFiles(dvd ? TRUE : FALSE, &paths) != IDOK || paths.GetSize() == 0) {
    if (m_list.GetItemCount() == 0) m_selectedRow = -1;
    return;
  }
  if (dvd) {
    for (INT_PTR i = 0; i < paths.GetSize(); ++i) AppendFile(paths[i], NULL);
    SelectRow(m_list.GetItemCount() - 1);
    UpdateStatus();
    return;
  }
  m_scanDialog.ShowCentered();
  m_scanDialog.m_owner = this;
  CdScribeFile file = {};
  lstrcpynA(file.path, paths[0], sizeof file.path);
  lstrcpynA(file.destination, "\\", sizeof file.destination);
  file.scanVideo = 1;
  file.kind = kCdFileVideo;
  int32_t result = CdScribe().AddFile(file);
  if (result != 0) {
    // No scan runs: nothing will hide the window.
    m_scanDialog.ShowWindow(SW_HIDE);
    ShowCdError(result);
  }
}

LRESULT BurnerMainDialog::OnScanProgress(WPARAM wParam, LPARAM) {
  m_scanDialog.SetProgress(static_cast<int>(wParam));
  return 0;
}

LRESULT BurnerMainDialog::OnScanDone(WPARAM, LPARAM lParam) {
  ScanOutcome* outcome = reinterpret_cast<ScanOutcome*>(lParam);
  if (outcome == NULL) return 0;
  m_scanDialog.ShowWindow(SW_HIDE);
  m_scanDialog.SetProgress(0);
  // A file the scanner could not read is refused as well.
  if (outcome->notCompatible != 0 || outcome->scanResult != 0) {
    InvalidMpegDialog invalid(outcome->path, BurnerDiscType(), this);
    invalid.DoModal();
  } else {
    AppendFile(outcome->path, outcome);
    SelectRow(m_list.GetItemCount() - 1);
    UpdateStatus();
  }
  delete outcome;
  return 0;
}

void BurnerMainDialog::RemoveSelected() {
  if (m_selectedRow < 0) return;
  int row = CurrentRow();
  if (row < 0) return;
  m_list.DeleteItem(row);
  if (row < static_cast<int>(m_rowBytes.size())) {
    m_totalBytes -= m_rowBytes[row];
    m_rowBytes.erase(m_rowBytes.begin() + row);
  }
  m_fileCount -= 1;
  if (m_fileCount <= 0) m_totalBytes = 0;
  UpdateStatus();
  if (burner::IsCdDiscType(BurnerDiscType())) ShowCdError(CdScribe().ClearAll());
  SelectRow(burner::SelectionAfterRemove(row, m_list.GetItemCount()));
}

void BurnerMainDialog::RemoveAll() {
  if (m_fileCount <= 0) return;
  if (AfxMessageBox("Do you want to remove all files from list?", MB_YESNO | MB_ICONQUESTION) != IDYES) return;
  m_list.DeleteAllItems();
  m_rowBytes.clear();
  m_selectedRow = -1;
  m_fileCount = 0;
  m_totalBytes = 0;
  UpdateStatus();
  if (burner::IsCdDiscType(BurnerDiscType())) ShowCdError(CdScribe().ClearAll());
}

INT_PTR BurnerMainDialog::ShellOpen(const char* file, const char* parameters) {
  return reinterpret_cast<INT_PTR>(::ShellExecuteA(NULL, "open", file, parameters, NULL, SW_SHOWNORMAL));
}

void BurnerMainDialog::PlaySelected() {
  if (m_selectedRow < 0) return;
  int row = CurrentRow();
  if (row < 0) return;
  CString path = GetFilePath(row);
  if (ShellOpen(path, NULL) <= 32) ShellOpen("wmplayer.exe", CString("\"") + path + "\"");
}

void BurnerMainDialog::MoveRow(int from, int to) {
  CString texts[kColumnCount];
  for (int column = 0; column < kColumnCount; ++column) texts[column] = m_list.GetItemText(from, column);
  double bytes = m_rowBytes[from];
  m_list.DeleteItem(from);
  m_rowBytes.erase(m_rowBytes.begin() + from);
  int row = m_list.InsertItem(to, texts[0]);
  for (int column = 1; column < kColumnCount; ++column) m_list.SetItemText(row, column, texts[column]);
  m_rowBytes.insert(m_rowBytes.begin() + row, bytes);
  SelectRow(row);
}

void BurnerMainDialog::MoveUp() {
  int row = m_selectedRow < 0 ? -1 : CurrentRow();
  if (row <= 0) return;
  MoveRow(row, row - 1);
}

void BurnerMainDialog::MoveDown() {
  int row = m_selectedRow < 0 ? -1 : CurrentRow();
  if (row < 0 || row >= m_list.GetItemCount() - 1) return;
  MoveRow(row, row + 1);
}

void BurnerMainDialog::TrackMenu(HMENU popup) {
  POINT cursor;
  ::GetCursorPos(&cursor);
  ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, m_hWnd, NULL);
}

void BurnerMainDialog::OnListRightClick(NMHDR*, LRESULT* pResult) {
  *pResult = 0;
  HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_BURNER_LIST_MENU));
  if (menu == NULL) return;
  HMENU popup = ::GetSubMenu(menu, 0);
  burner::ListCommands open = burner::ListCommandsFor(m_selectedRow, m_list.GetItemCount());
  auto enable = [popup](UINT id, bool on) { ::EnableMenuItem(popup, id, MF_BYCOMMAND | (on ? MF_ENABLED : MF_GRAYED)); };
  enable(ID_LIST_PLAY, open.play);
  enable(ID_LIST_REMOVE, open.remove);
  enable(ID_LIST_REMOVE_ALL, open.removeAll);
  enable(ID_LIST_MOVE_UP, open.moveUp);
  enable(ID_LIST_MOVE_DOWN, open.moveDown);
  TrackMenu(popup);
  ::DestroyMenu(menu);
}

void BurnerMainDialog::OnToolkit() {
  int id = burner::IsCdDiscType(BurnerDiscType()) ? IDR_BURNER_TOOLKIT_CD : IDR_BURNER_TOOLKIT_DVD;
  HMENU menu = ::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
  if (menu == NULL) return;
  HMENU popup = ::GetSubMenu(menu, 0);
  if (m_list.GetItemCount() == 0) ::EnableMenuItem(popup, 0, MF_BYPOSITION | MF_GRAYED);
  TrackMenu(popup);
  ::DestroyMenu(menu);
}

void BurnerMainDialog::OnListClick(NMHDR*, LRESULT* pResult) {
  m_selectedRow = m_list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
  *pResult = 0;
}

void BurnerMainDialog::OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult) {
  NMLVKEYDOWN* key = reinterpret_cast<NMLVKEYDOWN*>(pNMHDR);
  if (key->wVKey == VK_DELETE) RemoveSelected();
  *pResult = 0;
}

// ---- Burn ---------------------------------------------------------------------------------------

int BurnerMainDialog::RunBurnDialog() {
  StartBurnDialog dialog(this);
  dialog.DoModal();
  return dialog.m_burned;
}

void BurnerMainDialog::RecreateCdProject() {
  ShowCdError(CdScribe().DeleteProject());
  ShowCdError(CdScribe().CreateProject(burner::CdProjectTypeFor(BurnerDiscType())));
}

void BurnerMainDialog::Burn() {
  if (m_list.GetItemCount() == 0) {
    AfxMessageBox("Plase add a mpeg file at least!");
    return;
  }
  int discType = BurnerDiscType();
  if (burner::AsksBeforeBurning(discType, m_scale.GetValue()) &&
      AfxMessageBox(burner::OversizeQuestion(discType), MB_YESNO | MB_ICONQUESTION) != IDYES)
    return;
  bool cd = burner::IsCdDiscType(discType);
  if (cd) ShowCdError(CdScribe().DeleteProject());
  int burned = RunBurnDialog();
  if (burned == 1) {
    OnCancel();
    return;
  }
  if (cd) RecreateCdProject();
}

// ---- Buttons and system commands -----------------------------------------------------------

void BurnerMainDialog::OnAbout() {
  AboutDialog about(kBurnerAboutIds, GetBurnerTitle(), this);
  about.DoModal();
}

void BurnerMainDialog::OnHome() {
  HyperLinkStatic link;
  link.OpenUrl(kBurnerHomePage, SW_SHOWNORMAL);
}

void BurnerMainDialog::OnHelp() { ShowHtmlHelp(NULL, HelpFilePath(GetAppFolder())); }

void BurnerMainDialog::OnExit() { CDialog::OnCancel(); }

void BurnerMainDialog::OnSysCommand(UINT nID, LPARAM lParam) {
  if ((nID & 0xFFF0) == 16) {
    OnAbout();
    return;
  }
  Default();
}

void BurnerMainDialog::OnPaint() {
  if (PaintMinimizedIcon(this, m_icon)) return;
  if (m_scale.m_hWnd != NULL) m_scale.Invalidate();
  Default();
}

HCURSOR BurnerMainDialog::OnQueryDragIcon() { return static_cast<HCURSOR>(m_icon); }
