// DiscJobDialog: opening, the settings it saves, Start and its checks, the
// stage machine, the log and the timers. Conversion and multiplexing are in
// job_convert.cpp; the CD and DVD ends of a job in job_vcd*.cpp and
// job_dvd*.cpp.
#include "creator/job_dialog.h"

#include <shlobj.h>

#include <string>
#include <vector>

#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "discjob/disc_folder.h"
#include "discjob/disc_folder_rules.h"
#include "discjob/job_convert_rules.h"
#include "creator/res/creator_resource.h"
#include "standins/calls/cdscribe_calls.h"

UINT g_builderMessage = 0;

namespace {

// The bold font of the dialog's labels: made once for the process from the
// font of the hint line.
CFont& JobBoldFont() {
  static CFont font;
  return font;
}

const int kBoldControls[] = {IDC_JOB_HINT,        IDC_JOB_LABEL_LABEL, IDC_JOB_DRIVE_LABEL, IDC_JOB_TEMP_LABEL,
                             IDC_JOB_OUTPUT_LABEL, IDC_JOB_TV_LABEL,    IDC_JOB_ASPECT_LABEL, IDC_JOB_LETTERBOX_LABEL,
                             IDC_JOB_STATUS,      IDC_JOB_ELAPSED};

// A stage change or a log line asked for off the dialog's thread.
struct JobCall {
  enum Kind { kStage, kLog } kind;
  int stage;
  int startClock;
  const char* text;
};

bool IsDvdJob() { return g_convertSettings.discType == kDiscTypeDvd; }

const char kInvalidLabelText[] =
    "The Disc Label included following invalid character:\n / , \\\\ , : , * , ? , \" , < , > , |  \n\n"
    "Please edit it again.";
const char kCdFolderFailedText[] =
    "Create output directory failed!\nPlease change output directory with clicking the Setting button in the "
    "toolbar! ";

}  // namespace

BEGIN_MESSAGE_MAP(DiscJobDialog, CDialog)
  ON_REGISTERED_MESSAGE(g_builderMessage, OnBuilderText)
  ON_MESSAGE(kJobBuilderStateMessage, OnBuilderState)
  ON_BN_CLICKED(IDC_JOB_SELECT_FOLDER, OnSelectFolder)
  ON_BN_CLICKED(IDC_JOB_START, OnStart)
  ON_WM_TIMER()
  ON_WM_DESTROY()
  ON_MESSAGE(kJobMuxDoneMessage, OnMuxDone)
  ON_MESSAGE(kJobAuthorMessage, OnAuthorProgress)
  ON_MESSAGE(kJobEraseDoneMessage, OnEraseDone)
  ON_MESSAGE(kJobDvdEraseMessage, OnDvdEraseMessage)
  ON_MESSAGE(kJobDvdBurnMessage, OnDvdBurnMessage)
  ON_MESSAGE(kJobCallMessage, OnJobCall)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(DiscJobDialog, CDialog)
  ON_EVENT(DiscJobDialog, IDC_JOB_CONVERTER, 1, OnConversionEvent1, VTS_NONE)
  ON_EVENT(DiscJobDialog, IDC_JOB_CONVERTER, 2, OnConversionFinished, VTS_NONE)
  ON_EVENT(DiscJobDialog, IDC_JOB_CONVERTER, 3, OnConversionStatus, VTS_I4 VTS_BSTR)
  ON_EVENT(DiscJobDialog, IDC_JOB_CONVERTER, 4, OnConversionError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

DiscJobDialog::DiscJobDialog(CWnd* pParent)
    : CDialog(IDD, pParent),
      aspect(0),
      tvType(0),
      letterBox(0),
      builderMessageName("msg_zrDiscImage"),
      cancelBuild(0),
      finished(0),
      imageReady(0),
      listWindow(pParent),
      clockStart(0),
      abortRequested(0),
      stage(kStageIdle),
      muxInputBytes(0),
      outputNumber(-1),
      itemIndex(0),
      clipIndex(0),
      clipCount(1),
      eraseTicks(0),
      uiThreadId(0) {}

DiscJobDialog::~DiscJobDialog() = default;

void DiscJobDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_JOB_DRIVE, driveList);
  DDX_Control(pDX, IDC_JOB_LOG, logControl);
  DDX_Text(pDX, IDC_JOB_LOG, logText);
  DDX_Control(pDX, IDC_JOB_PROGRESS, progress);
  DDX_Control(pDX, IDC_JOB_TEMP_DRIVE, tempDriveList);
  DDX_Radio(pDX, IDC_JOB_ASPECT_4X3, aspect);
  DDX_Radio(pDX, IDC_JOB_NTSC, tvType);
  DDX_Text(pDX, IDC_JOB_DISC_LABEL, discLabel);
  DDV_MaxChars(pDX, discLabel, 128);
  DDX_Text(pDX, IDC_JOB_OUTPUT_FOLDER, outputFolder);
  DDX_Check(pDX, IDC_JOB_LETTERBOX, letterBox);
  DDX_Control(pDX, IDC_JOB_CONVERTER, conv);
}

BOOL DiscJobDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  uiThreadId = GetCurrentThreadId();
  // The builder's reports arrive under this registered identifier; it is
  // known from the start so that the message map routes them at once.
  g_builderMessage = ::RegisterWindowMessageA(builderMessageName);
  if (listWindow == NULL) listWindow = GetParent();

  CFont& bold = JobBoldFont();
  CWnd* hint = GetDlgItem(IDC_JOB_HINT);
  if (bold.GetSafeHandle() == NULL && hint != NULL) {
    LOGFONTA font = {};
    HFONT base = reinterpret_cast<HFONT>(hint->SendMessage(WM_GETFONT));
    if (base == NULL) base = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    if (GetObjectA(base, sizeof font, &font) != 0) {
      font.lfWeight = FW_BOLD;
      bold.CreateFontIndirect(&font);
    }
  }
  if (bold.GetSafeHandle() != NULL) {
    for (int id : kBoldControls)
      if (CWnd* control = GetDlgItem(id)) control->SetFont(&bold);
  }

  if (!IsDvdJob()) {
    for (int id : {IDC_JOB_ASPECT_4X3, IDC_JOB_ASPECT_16X9, IDC_JOB_LETTERBOX})
      if (CWnd* control = GetDlgItem(id)) control->EnableWindow(FALSE);
  }
  progress.SetRange(0, 100);
  // Status and clock show only while an operation runs.
  for (int id : {IDC_JOB_STATUS, IDC_JOB_ELAPSED})
    if (CWnd* control = GetDlgItem(id)) control->ShowWindow(SW_HIDE);
  FillTempDriveList();

  tvType = g_convertSettings.tvType;
  outputFolder = g_convertSettings.outputFolder;
  if (IsDvdJob()) {
    aspect = g_convertSettings.aspect;
    letterBox = g_convertSettings.letterBox;
  }
  static const char* const kLabels[] = {"My VCD", "My SVCD", "My DVD"};
  int discType = g_convertSettings.discType;
  discLabel = kLabels[discType >= 0 && discType <= 2 ? discType : 0];
  UpdateData(FALSE);

  {
    CWaitCursor wait;
    if (IsDvdJob()) {
      ListDvdWriters();
    } else {
      CdScribeCalls& cd = CdScribe();
      ShowBurnEngineError(cd.CreateProject(1));
      cd.SetFinalizeEventCallback(&DiscJobDialog::OnFinalizeEvent, this);
      cd.SetBurnDoneEventCallback(&DiscJobDialog::OnBurnDoneEvent, this);
      cd.SetProcessEventCallback(&DiscJobDialog::OnProcessEvent, this);
      cd.SetEraseDoneEventCallback(&DiscJobDialog::OnEraseDoneEvent, this);
      ListCdWriters();
    }
  }
  imageReady = 0;
  return TRUE;
}

void DiscJobDialog::OnDestroy() {
  if (!IsDvdJob()) {
    CdScribeCalls& cd = CdScribe();
    cd.SetFinalizeEventCallback(NULL, NULL);
    cd.SetBurnDoneEventCallback(NULL, NULL);
    cd.SetProcessEventCallback(NULL, NULL);
    cd.SetEraseDoneEventCallback(NULL, NULL);
  }
  CDialog::OnDestroy();
}

void DiscJobDialog::FillTempDriveList() {
  CString letters = GetFixedDriveLetters();
  std::vector<int> freeMB;
  for (int i = 0; i < letters.GetLength(); ++i) {
    char drive = letters[i];
    int free = GetDiskFreeMB(drive);
    tempDriveList.AddString(TempDriveEntryText(drive, free).c_str());
    freeMB.push_back(free);
  }
  int pick = PickTempDrive(freeMB);
  if (pick >= 0) tempDriveList.SetCurSel(pick);
}

char DiscJobDialog::SelectedTempDrive() const {
  int selected = tempDriveList.GetCurSel();
  if (selected < 0) return 0;
  CString entry;
  tempDriveList.GetLBText(selected, entry);
  return entry.IsEmpty() ? 0 : entry[0];
}

// ---- Select, settings, Start ---------------------------------------------------------

namespace {

int CALLBACK BrowseCallback(HWND window, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED && start != 0) SendMessageA(window, BFFM_SETSELECTIONA, TRUE, start);
  return 0;
}

}  // namespace

void DiscJobDialog::OnSelectFolder() {
  UpdateData(TRUE);
  CString start;
  GetDlgItemText(IDC_JOB_OUTPUT_FOLDER, start);
  BROWSEINFOA info = {};
  info.hwndOwner = m_hWnd;
  info.lpszTitle = "Select output folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
  info.lpfn = BrowseCallback;
  info.lParam = reinterpret_cast<LPARAM>(static_cast<const char*>(start));
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen == NULL) return;
  char path[MAX_PATH] = "";
  if (SHGetPathFromIDListA(chosen, path) && path[0] != 0) {
    CString folder = path;
    if (folder[folder.GetLength() - 1] != '\\') folder += "\\";
    outputFolder = folder;
    SetDlgItemText(IDC_JOB_OUTPUT_FOLDER, outputFolder);
  }
  CoTaskMemFree(chosen);
}

void DiscJobDialog::SaveDialogSettings() {
  UpdateData(TRUE);
  if (IsDvdJob()) {
    g_convertSettings.aspect = aspect;
    g_convertSettings.letterBox = letterBox;
  }
  g_convertSettings.tvType = tvType;
  g_convertSettings.SetOutputFolder(outputFolder);
  DeleteTempFolder();
  char drive = SelectedTempDrive();
  g_convertSettings.SetTempFolder(drive != 0 ? static_cast<const char*>(TempFolderOnDrive(drive)) : "");
  g_convertSettings.Save();
}

void DiscJobDialog::DeleteTempFolder() {
  const char* temp = g_convertSettings.tempFolder;
  if (temp[0] != 0 && FolderExists(temp)) DeleteFolderTree(temp, m_hWnd);
}

CString DiscJobDialog::DiscFolder() const { return jobDiscFolder; }

void DiscJobDialog::OnStart() {
  const bool dvd = IsDvdJob();
  switch (stage) {
    case kStageConverting:
      if (MessageBox("Would you really like to abort the convert process?", NULL, MB_OKCANCEL | MB_ICONINFORMATION) !=
          IDOK)
        return;
      abortRequested = 1;
      conv.Stop();
      if (dvd) AppendLog("Aborted by user");
      SetStage(kStageConvertFailed, 0);
      return;
    case kStageBurning:
      if (MessageBox("Would you really like to abort the burn\nprocess?\n\nInfo:Interrupting burning may make your\n"
                     "disc unreadable!",
                     NULL, MB_OKCANCEL | MB_ICONINFORMATION) != IDOK)
        return;
      if (dvd) {
        AbortDvdBurn();
        AppendLog("Aborted by user");
      } else {
        ShowBurnEngineError(CdScribe().Abort());
      }
      return;
    case kStageBuildingImage:
      if (!dvd) {
        if (MessageBox("It is creating the cue image.\nWould you really like to abort the process?", NULL,
                       MB_OKCANCEL) == IDOK)
          cancelBuild = 1;
        return;
      }
      break;
    default:
      break;
  }

  SaveDialogSettings();
  logText.Empty();
  logControl.SetWindowText("");
  AppendLog("Starting...");
  if (driveList.GetCount() == 0) {
    if (dvd) {
      MessageBox("Can't find devices with burning capabilities.");
    } else {
      MessageBox("Can't find writer with burning capabilities.");
      AppendLog("Failed to find writer with burning capabilities.");
      AppendLog("Failed!");
    }
    return;
  }
  if (imageReady == 0 && !PrepareNewJob()) return;
  if (dvd)
    CheckDvdDisc();
  else
    CheckCdMedium();
}

BOOL DiscJobDialog::PrepareNewJob() {
  const bool dvd = IsDvdJob();
  const char* temp = g_convertSettings.tempFolder;
  if (temp[0] == 0 || !RecreateFolder(temp, m_hWnd)) {
    MessageBox(dvd ? "Create temp directory failed!" : kCdFolderFailedText);
    return FALSE;
  }
  if (!FolderExists(outputFolder) && !CreateFolderPath(outputFolder)) {
    MessageBox(dvd ? kDvdFolderFailedText : kCdFolderFailedText);
    return FALSE;
  }
  if (!IsValidDiscLabel(discLabel)) {
    MessageBox(kInvalidLabelText);
    return FALSE;
  }
  if (!disc_folder::LabelNamesOwnFolder(discLabel)) {
    MessageBox(disc_folder::kEmptyLabelText);
    return FALSE;
  }
  std::string joined;
  if (!disc_folder::JoinDiscFolder(outputFolder, discLabel, MAX_PATH, &joined)) {
    MessageBox(disc_folder::kTooLongText);
    return FALSE;
  }
  CString discFolder = joined.c_str();
  if (dvd) {
    if (!PrepareDvdDiscFolder(discFolder, m_hWnd, [this](const char* line) { AppendLog(line); })) return FALSE;
    // What this job authors into and every copy burns, whatever the label
    // is edited to afterwards.
    jobDiscFolder = discFolder;
    jobDiscLabel = discLabel;
  } else {
    if (!FolderExists(discFolder) && !CreateFolderPath(discFolder)) {
      MessageBox(kCdFolderFailedText);
      return FALSE;
    }
    cuePath = discFolder + "VideoCD.cue";
    binPath = discFolder + "VideoCD.bin";
  }
  if (!CheckFreeSpace()) {
    AppendLog("Disk space is not enough!");
    AppendLog("Failed");
    return FALSE;
  }
  return TRUE;
}

BOOL DiscJobDialog::CheckFreeSpace() {
  double required = RequiredSpaceMB(SourceTotalSeconds(), g_convertSettings.discType);
  char outputDrive = OutputDriveOf(outputFolder);
  char tempDrive = SelectedTempDrive();
  if (tempDrive == 0) tempDrive = OutputDriveOf(g_convertSettings.tempFolder);
  SpaceCheck check = CheckJobSpace(outputDrive, GetDiskFreeMB(outputDrive), tempDrive, GetDiskFreeMB(tempDrive),
                                   required);
  if (!check.ok) MessageBox(check.message.c_str());
  return check.ok ? TRUE : FALSE;
}

void DiscJobDialog::BeginNewJob() {
  outputNumber = -1;
  abortRequested = 0;
  // The stage first: a control that reports a failure at once must not
  // have its failure stage overwritten.
  SetStage(kStageConverting, 1);
  ConvertNextItem();
}

LRESULT DiscJobDialog::OnEraseDone(WPARAM, LPARAM) {
  outputNumber = -1;
  abortRequested = 0;
  SetStage(kStageConverting, 0);
  ConvertNextItem();
  return 0;
}

void DiscJobDialog::OnCancel() {
  // Escape and the close box come here too; while Cancel is disabled a job
  // runs whose workers still report to this dialog.
  CWnd* cancel = GetDlgItem(IDCANCEL);
  if (cancel != NULL && !cancel->IsWindowEnabled()) return;
  SaveDialogSettings();
  CDialog::OnCancel();
}

// ---- Stages --------------------------------------------------------------------------

void DiscJobDialog::SetStatus(const char* text) { SetDlgItemText(IDC_JOB_STATUS, text); }

void DiscJobDialog::SetStartButton(const char* text, BOOL enable) {
  if (CWnd* start = GetDlgItem(IDC_JOB_START)) {
    if (text != NULL) start->SetWindowText(text);
    start->EnableWindow(enable);
  }
}

void DiscJobDialog::SetCancelButton(const char* text, BOOL enable) {
  if (CWnd* cancel = GetDlgItem(IDCANCEL)) {
    if (text != NULL) cancel->SetWindowText(text);
    cancel->EnableWindow(enable);
  }
}

void DiscJobDialog::EnableSettingControls(BOOL enable) {
  std::vector<int> ids = {IDC_JOB_DRIVE, IDC_JOB_DISC_LABEL};
  if (imageReady == 0) {
    ids.insert(ids.end(), {IDC_JOB_OUTPUT_FOLDER, IDC_JOB_SELECT_FOLDER, IDC_JOB_TEMP_DRIVE, IDC_JOB_NTSC, IDC_JOB_PAL});
    if (IsDvdJob()) ids.insert(ids.end(), {IDC_JOB_ASPECT_4X3, IDC_JOB_ASPECT_16X9, IDC_JOB_LETTERBOX});
  }
  for (int id : ids)
    if (CWnd* control = GetDlgItem(id)) control->EnableWindow(enable);
}

void DiscJobDialog::StartClock() {
  clockStart = GetTickCount();
  SetTimer(kJobClockTimer, 1000);
  EnableSettingControls(FALSE);
  SetDlgItemText(IDC_JOB_ELAPSED, ElapsedTimeText(0).c_str());
  if (CWnd* hint = GetDlgItem(IDC_JOB_HINT)) hint->ShowWindow(SW_HIDE);
  if (CWnd* status = GetDlgItem(IDC_JOB_STATUS)) status->ShowWindow(SW_SHOW);
  if (CWnd* elapsed = GetDlgItem(IDC_JOB_ELAPSED)) elapsed->ShowWindow(SW_SHOW);
}

void DiscJobDialog::StopClock() {
  KillTimer(kJobClockTimer);
  EnableSettingControls(TRUE);
  CWnd* start = GetDlgItem(IDC_JOB_START);
  bool startEnabled = start != NULL && start->IsWindowEnabled();
  SetDlgItemText(IDC_JOB_HINT, JobHintText(imageReady == 1, finished == 1, startEnabled));
  if (CWnd* hint = GetDlgItem(IDC_JOB_HINT)) hint->ShowWindow(SW_SHOW);
  if (CWnd* status = GetDlgItem(IDC_JOB_STATUS)) status->ShowWindow(SW_HIDE);
  if (CWnd* elapsed = GetDlgItem(IDC_JOB_ELAPSED)) elapsed->ShowWindow(SW_HIDE);
}

void DiscJobDialog::SetStage(int newStage, int startClock) {
  if (uiThreadId != 0 && GetCurrentThreadId() != uiThreadId) {
    JobCall call = {JobCall::kStage, newStage, startClock, NULL};
    SendMessage(kJobCallMessage, reinterpret_cast<WPARAM>(&call));
    return;
  }
  progress.SetPos(0);
  if (startClock == 1) StartClock();
  stage = newStage;
  switch (newStage) {
    case kStageErasing:
      SetTimer(kJobEraseTimer, 1500);
      eraseTicks = 0;
      AppendLog("Erasing the disc...");
      SetStartButton("Stop", FALSE);
      SetCancelButton(NULL, FALSE);
      break;
    case kStageConvertFailed:
    case kStageMuxFailed:
      KillTimer(kJobConvertTimer);
      KillTimer(kJobMuxTimer);
      KillTimer(kJobEraseTimer);
      AppendLog("Failed!");
      DeleteTempFolder();
      SetStartButton("Start", TRUE);
      SetCancelButton(NULL, TRUE);
      StopClock();
      break;
    case kStageErased:
      AppendLog("Erased the disc successfully!");
      KillTimer(kJobEraseTimer);
      break;
    case kStageConverting:
      SetTimer(kJobConvertTimer, 200);
      SetStartButton("Stop", TRUE);
      SetCancelButton(NULL, FALSE);
      break;
    case kStageConverted:
      KillTimer(kJobConvertTimer);
      break;
    case kStageMultiplexing:
      SetTimer(kJobMuxTimer, 200);
      SetStartButton(NULL, FALSE);
      break;
    case kStageMultiplexed:
      KillTimer(kJobMuxTimer);
      break;
    case kStageAuthoring:
      AppendLog("Converted video files successfully!");
      AppendLog("Creating the DVD image...");
      KillTimer(kJobMuxTimer);
      SetStartButton(NULL, FALSE);
      break;
    case kStageAuthorFailed:
      SetStartButton("Start", FALSE);
      SetCancelButton(NULL, TRUE);
      AppendLog("Failed!");
      // Like every failure stage: the elementary and multiplexed files go.
      DeleteTempFolder();
      StopClock();
      break;
    case kStageAuthored:
      AppendLog("Created the DVD image successfully.");
      break;
    case kStageBuildingImage:
      KillTimer(kJobConvertTimer);
      AppendLog("Creating the cue image...");
      SetStartButton("Stop", TRUE);
      SetCancelButton(NULL, FALSE);
      break;
    case kStageImageBuilt:
      AppendLog("Created the cue image successfully.");
      DeleteTempFolder();
      if (CWnd* start = GetDlgItem(IDC_JOB_START)) start->SetWindowText("Burn");
      break;
    case kStageImageFailed:
      AppendLog("Created the cue image error.");
      AppendLog("Failed!");
      SetStatus("Failed to create image.");
      DeleteTempFolder();
      SetStartButton("Start", TRUE);
      SetCancelButton(NULL, TRUE);
      StopClock();
      stage = kStageIdle;
      break;
    case kStageBurning:
      AppendLog("Burning disc...");
      SetStartButton("Stop", TRUE);
      SetCancelButton(NULL, FALSE);
      break;
    case kStageBurnFailed:
      DeleteTempFolder();
      SetStartButton("Burn", TRUE);
      SetCancelButton(NULL, TRUE);
      AppendLog("Failed!");
      StopClock();
      break;
    case kStageBurnEnded:
      DeleteTempFolder();
      SetStartButton("Burn", TRUE);
      SetCancelButton(NULL, TRUE);
      StopClock();
      break;
    case kStageFinalizing:
      AppendLog("Finalize the driver...");
      SetStatus("Finalize the driver...");
      SetStartButton(NULL, FALSE);
      progress.SetPos(100);
      break;
    default:
      break;
  }
  StageSet(newStage);
}

// ---- Log, timers, calls from other threads --------------------------------------------

void DiscJobDialog::AppendLog(const char* text) {
  if (uiThreadId != 0 && GetCurrentThreadId() != uiThreadId) {
    JobCall call = {JobCall::kLog, 0, 0, text};
    SendMessage(kJobCallMessage, reinterpret_cast<WPARAM>(&call));
    return;
  }
  SYSTEMTIME now;
  GetLocalTime(&now);
  logText += LogLine(now.wHour, now.wMinute, now.wSecond, text).c_str();
  logControl.SetWindowText(logText);
  // Scrolled to the end so that the newest line shows at the bottom (the
  // text ends with a line break, so scrolling by the line count would leave
  // only the empty line after it in view).
  int end = logControl.GetWindowTextLength();
  logControl.SetSel(end, end, TRUE);
  logControl.SendMessage(EM_SCROLLCARET);
}

LRESULT DiscJobDialog::OnJobCall(WPARAM wParam, LPARAM) {
  const JobCall* call = reinterpret_cast<const JobCall*>(wParam);
  if (call == NULL) return 0;
  if (call->kind == JobCall::kStage)
    SetStage(call->stage, call->startClock);
  else
    AppendLog(call->text);
  return 0;
}

void DiscJobDialog::UpdateElapsedTime() {
  DWORD now = GetTickCount();
  if (now == clockStart) return;
  SetDlgItemText(IDC_JOB_ELAPSED, ElapsedTimeText(now - clockStart).c_str());
}

void DiscJobDialog::OnTimer(UINT_PTR nIDEvent) {
  switch (nIDEvent) {
    case kJobClockTimer:
      UpdateElapsedTime();
      break;
    case kJobConvertTimer:
      UpdateConversionProgress();
      break;
    case kJobMuxTimer:
      UpdateMuxProgress();
      break;
    case kJobEraseTimer:
      progress.SetPos(++eraseTicks);
      break;
    default:
      break;
  }
  CDialog::OnTimer(nIDEvent);
}
