#include "burner/start_burn_dialog.h"

#include <shlobj.h>

#include <cstdio>
#include <cstring>
#include <ctime>
#include <string>

#include "burner/burn_settings.h"
#include "burner/burner_main_dialog.h"
#include "burner/burner_rules.h"
#include "discimage/base/vcd_messages.h"
#include "discjob/disc_folder.h"
#include "discjob/disc_folder_rules.h"
#include "discjob/dvd_authoring_end.h"
#include "discjob/job_convert_rules.h"
#include "discjob/job_dvd_rules.h"
#include "discjob/job_dvd_writer.h"
#include "discjob/job_vcd_build.h"
#include "discjob/job_vcd_burn.h"
#include "discjob/job_vcd_rules.h"
#include "suite/app_utils.h"
#include "suite/vcd_xml_writer.h"
#include "suite/worker_thread.h"
#include "standins/calls/cdscribe_calls.h"
#include "standins/calls/dvdauthor_calls.h"

using namespace burner;

namespace {

const char kBuilderMessageName[] = JOB_BUILDER_MESSAGE_NAME;
const UINT g_builderMessageId = ::RegisterWindowMessageA(kBuilderMessageName);

// The DVD-only settings.
const int kDvdOnlyControls[] = {IDC_BURN_NTSC,        IDC_BURN_PAL,       IDC_BURN_ASPECT_4X3,
                                IDC_BURN_ASPECT_16X9, IDC_BURN_LETTERBOX, IDC_BURN_LETTERBOX_NOTE};
const int kBoldControls[] = {IDC_BURN_HINT,          IDC_BURN_LABEL_CAPTION, IDC_BURN_DRIVE_CAPTION,
                             IDC_BURN_OUTPUT_CAPTION, IDC_BURN_TV_CAPTION,   IDC_BURN_ASPECT_CAPTION,
                             IDC_BURN_LETTERBOX_CAPTION, IDC_BURN_STATUS,    IDC_BURN_ELAPSED};

const int kNoMedium = 23;

const char kAbortBurnQuestion[] =
    "Would you really like to abort the burn\nprocess?\n\nInfo:Interrupting burning may make your\ndisc "
    "unreadable!";

bool IsDvd() { return !IsCdDiscType(g_burnSettings.discType); }

// The CD-writing library's callbacks run on its thread: they only post.
int32_t OUTSIDE_CALL OnFinalizeEvent(void* user) {
  ::PostMessageA(static_cast<HWND>(user), kCdFinalizeMessage, 0, 0);
  return 0;
}

int32_t OUTSIDE_CALL OnProcessEvent(float percent, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                    void* user) {
  if (!(percent >= 0)) percent = 0;
  if (percent > 100) percent = 100;
  ::PostMessageA(static_cast<HWND>(user), kCdProcessMessage, static_cast<WPARAM>(percent * 100.0f + 0.5f), 0);
  return 0;
}

// The folder browser opens on the folder shown in the dialog.
int CALLBACK StartFromFolder(HWND window, UINT message, LPARAM, LPARAM folder) {
  if (message == BFFM_INITIALIZED) ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, folder);
  return 0;
}

int32_t OUTSIDE_CALL OnEraseDoneEvent(int32_t result, void* user) {
  ::PostMessageA(static_cast<HWND>(user), kCdEraseDoneMessage, static_cast<WPARAM>(result), 0);
  return 0;
}

}  // namespace

volatile LONG BurnDoneText::s_alive = 0;

BurnDoneText::BurnDoneText(const char* text) : m_text(text != NULL ? text : "") {
  ::InterlockedIncrement(&s_alive);
}

BurnDoneText::~BurnDoneText() { ::InterlockedDecrement(&s_alive); }

long BurnDoneText::Alive() { return ::InterlockedCompareExchange(&s_alive, 0, 0); }

int32_t OUTSIDE_CALL StartBurnDialog::OnBurnDoneEvent(const char* text, void* user) {
  BurnDoneText* copy = new BurnDoneText(text);
  if (!::PostMessageA(static_cast<HWND>(user), kCdBurnDoneMessage, 0, reinterpret_cast<LPARAM>(copy)))
    delete copy;
  return 0;
}

BEGIN_MESSAGE_MAP(StartBurnDialog, CDialog)
  ON_REGISTERED_MESSAGE(g_builderMessageId, OnBuilderText)
  ON_MESSAGE(kImageBuildMessage, OnImageBuild)
  ON_MESSAGE(kAuthorDvdMessage, OnAuthorProgress)
  ON_MESSAGE(kDvdEraseMessage, OnDvdErase)
  ON_MESSAGE(kDvdBurnMessage, OnDvdBurn)
  ON_MESSAGE(kCdFinalizeMessage, OnCdFinalize)
  ON_MESSAGE(kCdBurnDoneMessage, OnCdBurnDone)
  ON_MESSAGE(kCdProcessMessage, OnCdProcess)
  ON_MESSAGE(kCdEraseDoneMessage, OnCdEraseDone)
  ON_WM_DESTROY()
  ON_BN_CLICKED(IDC_BURN_ACTION, OnAction)
  ON_WM_TIMER()
  ON_BN_CLICKED(IDC_BURN_SELECT, OnSelectFolder)
  ON_BN_CLICKED(IDC_BURN_LETTERBOX, OnLetterBox)
  ON_BN_CLICKED(IDC_BURN_ASPECT_4X3, OnAspect4x3)
  ON_BN_CLICKED(IDC_BURN_ASPECT_16X9, OnAspect16x9)
  ON_BN_CLICKED(IDC_BURN_NTSC, OnNtsc)
  ON_BN_CLICKED(IDC_BURN_PAL, OnPal)
END_MESSAGE_MAP()

StartBurnDialog::StartBurnDialog(BurnerMainDialog* mainWindow, CWnd* pParent)
    : CDialog(IDD, pParent != NULL ? pParent : mainWindow), m_burned(0), m_imageMade(0),
      m_step(kStepIdle), m_mainWindow(mainWindow), m_messageName(kBuilderMessageName),
      m_cancelRequest(0), m_aspect(-1), m_tvType(-1), m_letterBox(0), m_startTime(0),
      m_eraseCounter(0), m_builderMessage(0), m_buildThread(NULL) {
  m_dvdFolder[0] = 0;
  m_xmlPath = GetAppFolder() + "vcd.xml";
}

StartBurnDialog::~StartBurnDialog() {
  // Destroyed here, while OnDestroy is still this class's.
  if (m_hWnd != NULL) DestroyWindow();
  if (m_buildThread != NULL) {
    // The worker sends to the window: with the window gone its sends return
    // at once and the wait cannot block it.
    m_cancelRequest = 1;
    ::WaitForSingleObject(m_buildThread, INFINITE);
    ::CloseHandle(m_buildThread);
  }
}

void StartBurnDialog::OnDestroy() {
  // The library's events must not reach a window that is gone; a burn-done
  // text already posted would be dropped with the window's messages.
  if (!IsDvd() && CdScribe().IsLoaded()) {
    CdScribe().SetFinalizeEventCallback(NULL, NULL);
    CdScribe().SetBurnDoneEventCallback(NULL, NULL);
    CdScribe().SetProcessEventCallback(NULL, NULL);
    CdScribe().SetEraseDoneEventCallback(NULL, NULL);
  }
  MSG message;
  while (::PeekMessageA(&message, m_hWnd, kCdBurnDoneMessage, kCdBurnDoneMessage, PM_REMOVE))
    delete reinterpret_cast<BurnDoneText*>(message.lParam);
  CDialog::OnDestroy();
}

void StartBurnDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_BURN_LOG, m_logEdit);
  DDX_Control(pDX, IDC_BURN_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_BURN_DRIVE, m_drives);
  DDX_Text(pDX, IDC_BURN_LABEL, m_label);
  DDV_MaxChars(pDX, m_label, 128);
  DDX_Text(pDX, IDC_BURN_OUTPUT_FOLDER, m_outputFolder);
  DDX_Text(pDX, IDC_BURN_LOG, m_logText);
  DDX_Radio(pDX, IDC_BURN_ASPECT_4X3, m_aspect);
  DDX_Radio(pDX, IDC_BURN_NTSC, m_tvType);
  DDX_Check(pDX, IDC_BURN_LETTERBOX, m_letterBox);
}

BOOL StartBurnDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  CFont* font = GetDlgItem(IDC_BURN_HINT)->GetFont();
  LOGFONTA logFont = {};
  if (font != NULL && ::GetObjectA(font->GetSafeHandle(), sizeof logFont, &logFont) != 0) {
    logFont.lfWeight = FW_BOLD;
    m_boldFont.CreateFontIndirect(&logFont);
    for (int id : kBoldControls) GetDlgItem(id)->SetFont(&m_boldFont);
  }
  if (IsDvd()) {
    for (int id : kDvdOnlyControls) GetDlgItem(id)->EnableWindow(TRUE);
    m_tvType = g_burnSettings.tvType;
    m_aspect = g_burnSettings.aspectRatio;
    m_letterBox = g_burnSettings.letterBox;
    ListDvdWriters();
  } else {
    ListCdWriters();
  }
  m_label = DefaultDiscLabel(g_burnSettings.discType);
  m_outputFolder = g_burnSettings.outputFolder;
  UpdateData(FALSE);
  return TRUE;
}

// ---- Drive lists ---------------------------------------------------------------------------

void StartBurnDialog::ListCdWriters() {
  CdScribeCalls& cd = CdScribe();
  ShowBurnEngineError(cd.CreateProject(kCdProjectImage));
  cd.SetFinalizeEventCallback(OnFinalizeEvent, m_hWnd);
  cd.SetBurnDoneEventCallback(OnBurnDoneEvent, m_hWnd);
  cd.SetProcessEventCallback(OnProcessEvent, m_hWnd);
  cd.SetEraseDoneEventCallback(OnEraseDoneEvent, m_hWnd);
  CdScribeDevice devices[kCdMaxDevices] = {};
  int32_t count = 0;
  int32_t result = cd.GetDevices(devices, &count, 0);
  if (result != 0) {
    ShowBurnEngineError(result);
    return;
  }
  if (count > kCdMaxDevices) count = kCdMaxDevices;
  int selected = -1;
  for (int i = 0; i < count; ++i) {
    devices[i].text[sizeof devices[i].text - 1] = 0;
    if (cd.SetDevice(static_cast<unsigned char>(devices[i].text[0])) != 0) continue;
    uint32_t capabilities = 0;
    cd.GetDeviceCapabilities(&capabilities);
    if ((capabilities & kCdCapWriterMask) == 0) continue;
    int entry = m_drives.AddString(devices[i].text);
    CdScribeMedium medium = {};
    result = cd.GetMediumInformation(&medium);
    if (result == kNoMedium) continue;
    if (result != 0) {
      ShowBurnEngineError(result);
      continue;
    }
    medium.type[sizeof medium.type - 1] = 0;
    if (HoldsCdR(medium.type)) selected = entry;
  }
  if (selected >= 0)
    m_drives.SetCurSel(selected);
  else if (m_drives.GetCount() > 0)
    m_drives.SetCurSel(m_drives.GetCount() - 1);
}

void StartBurnDialog::ListDvdWriters() {
  DvdWriters().count = 0;
  FindDevice();
  for (int i = 0; i < DvdWriters().count; ++i) {
    if (DvdWriters().entries[i].writesDvd != 1) continue;
    m_drives.AddString(DvdWriterText(i).c_str());
  }
  m_drives.SetCurSel(0);
}

// ---- Step machine ------------------------------------------------------------------------------

void StartBurnDialog::SetStatus(const char* text) { SetDlgItemText(IDC_BURN_STATUS, text); }

void StartBurnDialog::ShowPercent(const char* format, int percent) {
  char text[64];
  snprintf(text, sizeof text, format, percent);
  SetStatus(text);
  m_progress.SetPos(percent);
}

void StartBurnDialog::EnableSettings(BOOL enable) {
  GetDlgItem(IDC_BURN_DRIVE)->EnableWindow(enable);
  GetDlgItem(IDC_BURN_LABEL)->EnableWindow(enable);
  if (!m_imageMade) {
    GetDlgItem(IDC_BURN_OUTPUT_FOLDER)->EnableWindow(enable);
    GetDlgItem(IDC_BURN_SELECT)->EnableWindow(enable);
    // The DVD-only settings stay off for CDs.
    if (!enable || IsDvd())
      for (int id : kDvdOnlyControls) GetDlgItem(id)->EnableWindow(enable);
  }
}

void StartBurnDialog::OperationStart() {
  m_startTime = ::GetTickCount();
  SetTimer(kClockTimer, 1000);
  EnableSettings(FALSE);
  GetDlgItem(IDC_BURN_HINT)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_BURN_STATUS)->ShowWindow(SW_SHOW);
  GetDlgItem(IDC_BURN_ELAPSED)->ShowWindow(SW_SHOW);
}

void StartBurnDialog::OperationEnd() {
  KillTimer(kClockTimer);
  EnableSettings(TRUE);
  SetDlgItemText(IDC_BURN_HINT, HintText(m_imageMade != 0, m_burned != 0));
  GetDlgItem(IDC_BURN_HINT)->ShowWindow(SW_SHOW);
  GetDlgItem(IDC_BURN_STATUS)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_BURN_ELAPSED)->ShowWindow(SW_HIDE);
}

void StartBurnDialog::SetStep(int step, bool operationStart) {
  m_step = step;
  if (operationStart) OperationStart();
  StepActions actions = StepActionsFor(step);
  if (actions.startEraseTimer) {
    m_eraseCounter = 0;
    SetTimer(kEraseTimer, 1500);
  }
  if (actions.stopEraseTimer) KillTimer(kEraseTimer);
  if (actions.log1[0] != 0) Log(actions.log1);
  if (actions.log2[0] != 0) Log(actions.log2);
  if (actions.status[0] != 0) SetStatus(actions.status);
  if (actions.progress >= 0) m_progress.SetPos(actions.progress);
  if (actions.actionText != NULL) SetDlgItemText(IDC_BURN_ACTION, actions.actionText);
  if (actions.actionEnabled >= 0) GetDlgItem(IDC_BURN_ACTION)->EnableWindow(actions.actionEnabled);
  if (actions.cancelEnabled >= 0) GetDlgItem(IDCANCEL)->EnableWindow(actions.cancelEnabled);
  if (actions.endsOperation) OperationEnd();
  if (actions.backToIdle) m_step = kStepIdle;
}

void StartBurnDialog::Log(const char* text) {
  UpdateData(TRUE);
  time_t now = time(NULL);
  struct tm local = {};
  localtime_s(&local, &now);
  m_logText += LogLine(local.tm_hour, local.tm_min, local.tm_sec, text).c_str();
  UpdateData(FALSE);
  m_logEdit.LineScroll(m_logEdit.GetLineCount());
}

void StartBurnDialog::ClearLog() {
  UpdateData(TRUE);
  m_logText = "";
  UpdateData(FALSE);
}

void StartBurnDialog::LogNoDrive() {
  AfxMessageBox("Can't find writer with burning capabilities.");
  Log("Failed to find writer with burning capabilities.");
  Log("Failed!");
}

bool StartBurnDialog::AbortConfirmed(const char* question, UINT type) {
  int asked = m_step;
  if (AfxMessageBox(question, type) != IDOK) return false;
  return m_step == asked;
}

void StartBurnDialog::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kClockTimer) {
    SetDlgItemText(IDC_BURN_ELAPSED, ElapsedTimeText(::GetTickCount() - m_startTime).c_str());
  } else if (nIDEvent == kEraseTimer) {
    m_progress.SetPos(m_eraseCounter);
    m_eraseCounter += 1;
  }
  Default();
}

// ---- Start ---------------------------------------------------------------------------------------

void StartBurnDialog::OnCancel() {
  // Escape and the close box come here too: while Cancel is disabled an
  // erase, authoring, image build or burn runs whose workers report to this
  // dialog, and the main window must not close under them.
  CWnd* cancel = GetDlgItem(IDCANCEL);
  if (cancel != NULL && !cancel->IsWindowEnabled()) return;
  CDialog::OnCancel();
}

void StartBurnDialog::OnAction() {
  UpdateData(TRUE);
  if (IsDvd())
    DvdStart();
  else
    CdStart();
  g_burnSettings.Save();
}

int StartBurnDialog::FreeMegabytes(char drive) { return GetDiskFreeMB(drive); }

BOOL StartBurnDialog::CheckFreeSpace() {
  double required = RequiredMB(m_mainWindow != NULL ? m_mainWindow->GetTotalBytes() : 0);
  char drive = OutputDriveOf(g_burnSettings.outputFolder);
  int freeMB = FreeMegabytes(drive);
  if (EnoughFreeSpace(freeMB, required)) return TRUE;
  AfxMessageBox(FreeSpaceMessage(drive, required, freeMB).c_str());
  return FALSE;
}

BOOL StartBurnDialog::JoinDiscFolder(std::string* folder) {
  if (!IsValidDiscLabel(m_label)) {
    AfxMessageBox(kInvalidLabelMessage);
    return FALSE;
  }
  if (!disc_folder::LabelNamesOwnFolder(m_label)) {
    AfxMessageBox(disc_folder::kEmptyLabelText);
    return FALSE;
  }
  if (!disc_folder::JoinDiscFolder(g_burnSettings.outputFolder, m_label, sizeof m_dvdFolder, folder)) {
    AfxMessageBox(disc_folder::kTooLongText);
    return FALSE;
  }
  return TRUE;
}

BOOL StartBurnDialog::PrepareOutput(bool dvd) {
  std::string joined;
  if (!JoinDiscFolder(&joined)) return FALSE;
  CString discFolder = joined.c_str();
  if (dvd) {
    // Authoring starts from an empty disc folder; one the suite did not
    // make is emptied only when the user agrees.
    if (!PrepareDvdDiscFolder(discFolder, m_hWnd, [this](const char* line) { Log(line); })) {
      Log("Failed.");
      return FALSE;
    }
    snprintf(m_dvdFolder, sizeof m_dvdFolder, "%s", joined.c_str());
  } else {
    if (!CreateFolderPath(discFolder)) {
      AfxMessageBox(kDvdFolderFailedText);
      return FALSE;
    }
    m_cuePath = discFolder + "VideoCD.cue";
    m_binPath = discFolder + "VideoCD.bin";
  }
  if (!CheckFreeSpace()) {
    Log("Disk space is not enough!");
    Log("Failed");
    return FALSE;
  }
  // What this job's image holds and every copy of it is burned under,
  // whatever the label edit says afterwards.
  m_jobLabel = m_label;
  return TRUE;
}

void StartBurnDialog::CdStart() {
  CdScribeCalls& cd = CdScribe();
  if (m_step == kStepBurning) {
    if (AbortConfirmed(kAbortBurnQuestion, MB_OKCANCEL | MB_ICONQUESTION)) ShowBurnEngineError(cd.Abort());
    return;
  }
  if (m_step == kStepBuildingImage) {
    if (AbortConfirmed("It is creating the cue image.\nWould you really like to abort the process?", MB_OKCANCEL))
      m_cancelRequest = 1;
    return;
  }
  if (!m_imageMade && !PrepareOutput(false)) return;

  ClearLog();
  Log("Starting...");
  int selection = m_drives.GetCurSel();
  if (m_drives.GetCount() == 0 || selection < 0) {
    LogNoDrive();
    return;
  }
  CString driveText;
  m_drives.GetLBText(selection, driveText);
  int32_t result = cd.SetDevice(static_cast<unsigned char>(driveText[0]));
  if (result != 0) {
    ShowBurnEngineError(result);
    return;
  }
  CdScribeMedium medium = {};
  result = cd.GetMediumInformation(&medium);
  if (result == kNoMedium) {
    AfxMessageBox("No disc in the writer.\nPlease insert a blank disc into the writer.");
    Log("No blank CD Disc in writer.");
    cd.EjectDevice();
    Log("Failed!");
    return;
  }
  if (result != 0) {
    ShowBurnEngineError(result);
    return;
  }
  medium.type[sizeof medium.type - 1] = 0;
  CdMediumVerdict verdict = JudgeCdMedium(medium.type, medium.usedSectors);
  if (verdict.action == kCdStartRefused) {
    AfxMessageBox(verdict.refusalText);
    Log("No blank CD Disc in writer.");
    cd.EjectDevice();
    Log("Failed!");
    return;
  }
  if (verdict.action == kCdStartAskErase) {
    if (AfxMessageBox("The disc in the drive is not empty.\nWriting to this disc will erase any existing "
                      "data on it.\nDo you want to proceed?",
                      MB_YESNO | MB_ICONQUESTION) != IDYES) {
      Log("Aborted by user.");
      cd.EjectDevice();
      Log("Failed.");
      return;
    }
    if (StartCdErase() == 0) {
      SetStep(kStepErasing, true);
    } else {
      Log("Failed to erase the disc.");
      cd.EjectDevice();
      Log("Failed!");
    }
    return;
  }
  if (m_imageMade) {
    if (BurnCd() != 0) {
      Log("Failed to burn.");
      Log("Failed!");
    } else {
      SetStep(kStepBurning, true);
    }
    return;
  }
  if (BuildVcdImage() != 0) {
    Log("Failed to create cue image.");
    Log("Failed!");
  } else {
    SetStep(kStepBuildingImage, true);
  }
}

int StartBurnDialog::BurnCd() {
  CdScribeCalls& cd = CdScribe();
  CdScribeOptions options = {};
  int32_t result = cd.GetOptions(&options);
  if (result == 0) {
    SetBurnOptions(&options, m_jobLabel);
    result = cd.SetOptions(options);
  }
  if (result == 0) result = cd.ClearAll();
  if (result == 0) {
    CdScribeFile file;
    result = MakeCueImageFile(m_cuePath, &file) ? cd.AddFile(file) : static_cast<int32_t>(kCdBadArgument);
  }
  if (result == 0) result = cd.Prepare();
  if (result != 0) {
    ShowBurnEngineError(result);
    return -1;
  }
  result = cd.Burn();
  if (result == kCdNotWritable || result == kCdNotBlank || result == kCdNoMedium) {
    AfxMessageBox("Please insert a blank writable disc into the driver.");
    Log("No blank CD Disc in writer.");
    cd.EjectDevice();
    return -1;
  }
  if (result != 0) {
    ShowBurnEngineError(result);
    return -1;
  }
  m_burned = 1;
  SetDlgItemText(IDCANCEL, kFinishText);
  return 0;
}

int StartBurnDialog::BuildVcdImage() {
  SetStatus("Make XML...");
  VcdXmlWriter writer;
  writer.SetDiscClass(g_burnSettings.discType == kDiscTypeSvcd ? kVcdClassSvcd : kVcdClassVcd20);
  writer.SetVolumeId(m_label);
  int count = m_mainWindow != NULL ? m_mainWindow->GetList().GetItemCount() : 0;
  for (int row = 0; row < count; ++row) writer.AddSequenceItem(m_mainWindow->GetFilePath(row));
  if (writer.Write(m_xmlPath) != 0) {
    SetStatus("Failed to make XML file.");
    Log("Failed to make XML file.");
    return -1;
  }
  if (!FileExists(m_xmlPath)) {
    SetStatus("The VideoCD XML doesn't exist.");
    Log("Failed to make XML file.");
    return -1;
  }
  if (m_buildThread != NULL) {
    ::WaitForSingleObject(m_buildThread, INFINITE);
    ::CloseHandle(m_buildThread);
    m_buildThread = NULL;
  }
  VcdBuildJob* job = new VcdBuildJob;
  job->window = m_hWnd;
  job->messageName = m_messageName;
  job->stateMessage = kImageBuildMessage;
  job->xmlPath = static_cast<const char*>(m_xmlPath);
  job->cuePath = static_cast<const char*>(m_cuePath);
  job->binPath = static_cast<const char*>(m_binPath);
  job->cancelFlag = &m_cancelRequest;
  job->messageStore = &m_builderMessage;
  if (!StartWorkerThread(BuildThreadProc, job, &m_buildThread)) {
    delete job;
    Log(kWorkerStartFailedText);
    return -1;
  }
  return 0;
}

DWORD WINAPI StartBurnDialog::BuildThreadProc(LPVOID parameter) {
  VcdBuildJob* job = static_cast<VcdBuildJob*>(parameter);
  UINT result = RunVcdBuild(*job);
  delete job;
  return result;
}

LRESULT StartBurnDialog::OnBuilderText(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) return 0;
  if (wParam == kVcdMsgInfo) {
    SetStatus(reinterpret_cast<const char*>(lParam));
  } else if (wParam == kVcdMsgProgress) {
    const VcdBuildProgress* progress = reinterpret_cast<const VcdBuildProgress*>(lParam);
    if (progress->kind == 0) m_progress.SetPos(progress->percent);
  }
  return 0;
}

LRESULT StartBurnDialog::OnImageBuild(WPARAM wParam, LPARAM lParam) {
  if (wParam != 0) return 0;
  if (lParam != 0) {
    SetStep(kStepImageFailed);
    return 0;
  }
  m_imageMade = 1;
  SetStep(kStepImageMade);
  if (BurnCd() != 0)
    SetStep(kStepBurnFailed);
  else
    SetStep(kStepBurning);
  return 0;
}

LRESULT StartBurnDialog::OnCdFinalize(WPARAM, LPARAM) {
  SetStep(kStepFinalizing);
  return 0;
}

LRESULT StartBurnDialog::OnCdBurnDone(WPARAM, LPARAM lParam) {
  BurnDoneText* text = reinterpret_cast<BurnDoneText*>(lParam);
  if (text == NULL || text->Text().IsEmpty()) {
    Log("Burned the disc successfully.");
    Log("Done!");
    SetStatus("Burn the disc successfully.");
  } else {
    Log(text->Text());
    Log("Failed!");
    SetStatus(text->Text());
  }
  delete text;
  SetStep(kStepBurnEnded);
  return 0;
}

LRESULT StartBurnDialog::OnCdProcess(WPARAM wParam, LPARAM) {
  double percent = static_cast<double>(wParam) / 100.0;
  if (m_step == kStepErasing) {
    SetStatus("Erasing the disc...");
  } else if (m_step == kStepBurning) {
    char text[64];
    snprintf(text, sizeof text, "Burning... %.2f%%", percent);
    SetStatus(text);
    m_progress.SetPos(static_cast<int>(percent));
  }
  return 0;
}

LRESULT StartBurnDialog::OnCdEraseDone(WPARAM wParam, LPARAM) {
  // An erase that ended with a code did not erase: nothing is burned on it.
  int32_t result = static_cast<int32_t>(wParam);
  if (result != 0) {
    ShowBurnEngineError(result);
    SetStep(kStepEraseFailed);
    return 0;
  }
  SetStep(kStepErased);
  if (m_imageMade == 1) {
    SetStep(BurnCd() != 0 ? kStepBurnFailed : kStepBurning);
  } else {
    SetStep(BuildVcdImage() != 0 ? kStepImageFailed : kStepBuildingImage);
  }
  return 0;
}

// ---- DVD --------------------------------------------------------------------------------------------

void StartBurnDialog::DvdStart() {
  if (m_step == kStepBurning) {
    if (AbortConfirmed(kAbortBurnQuestion, MB_OKCANCEL | MB_ICONQUESTION)) {
      AbortDvdBurn();
      Log("Aborted by user");
    }
    return;
  }
  ClearLog();
  Log("Starting...");
  int selection = m_drives.GetCurSel();
  if (m_drives.GetCount() == 0 || selection < 0) {
    LogNoDrive();
    return;
  }
  // A label the disc folder cannot take is refused before the drive is asked.
  std::string discFolder;
  if (!m_imageMade && !JoinDiscFolder(&discFolder)) return;

  InsertedDisc disc = GetInsertedDiscInfo(selection);
  DvdStartAction action = DvdStartActionFor(disc);
  if (action == kDvdStartRefused) {
    Log("No blank DVD Disc in writer.");
    Log("Failed.");
    return;
  }
  if (action == kDvdStartAskErase &&
      AfxMessageBox("The disc in the drive is not empty.\nWriting to this disc will erase any existing "
                    "data on it.\nDo you want to proceed?",
                    MB_YESNO | MB_ICONQUESTION) != IDYES) {
    Log("Aborted by user.");
    Log("Failed.");
    return;
  }
  // The burn goes ahead: only now may the earlier image's folder go.
  if (!m_imageMade && !PrepareOutput(true)) return;
  if (action == kDvdStartAskErase) {
    SetStep(kStepErasing, true);
    if (!StartEraseThread(m_hWnd, selection)) {
      Log(kWorkerStartFailedText);
      SetStep(kStepEraseFailed);
    }
  } else if (m_imageMade) {
    SetStep(kStepBurning, true);
    StartDvdBurn();
  } else {
    SetStep(kStepAuthoring, true);
    RunDvdAuthoring();
  }
}

void StartBurnDialog::RunDvdAuthoring() {
  DvdAuthorCall& author = DvdAuthor();
  author.SetWindow(m_hWnd);
  author.SetOutputFolder(m_dvdFolder);
  author.ClearFiles();
  int count = m_mainWindow != NULL ? m_mainWindow->GetList().GetItemCount() : 0;
  for (int row = 0; row < count; ++row) author.AddFile(static_cast<const char*>(m_mainWindow->GetFilePath(row)));
  author.SetVideoOptions(g_burnSettings.tvType, g_burnSettings.aspectRatio, g_burnSettings.letterBox);
  int32_t result = author.Run();
  // A failure without a posted end (or without the library) would leave the
  // dialog authoring for ever with Cancel refused: it ends here.
  if (result != 0 && !AuthoringEndQueued(m_hWnd, kAuthorDvdMessage)) {
    char line[96];
    snprintf(line, sizeof line, "The DVD authoring failed to start (result %ld).", static_cast<long>(result));
    Log(line);
    OnAuthorProgress(kAuthorFailed, 0);
  }
}

void StartBurnDialog::StartDvdBurn() {
  if (!StartDvdBurnThread(m_hWnd, m_dvdFolder, m_jobLabel, m_drives.GetCurSel())) {
    Log(kWorkerStartFailedText);
    Log("Failed to burn the disc");
    SetStep(kStepBurnFailed);
  }
}

LRESULT StartBurnDialog::OnAuthorProgress(WPARAM wParam, LPARAM lParam) {
  switch (wParam) {
    case kAuthorFailed:
      SetStep(kStepDvdImageFailed);
      break;
    case kAuthorVobPercent:
      ShowPercent("Building VOB files... %d%%", static_cast<int>(lParam));
      break;
    case kAuthorImagePercent:
      ShowPercent("Creating DVD image...  %d%%", static_cast<int>(lParam));
      break;
    case kAuthorFinished:
      m_burned = 1;
      SetDlgItemText(IDCANCEL, kFinishText);
      break;
    case kAuthorImageMade:
      SetStep(kStepDvdImageMade);
      m_imageMade = 1;
      SetStep(kStepBurning);
      StartDvdBurn();
      break;
    default:
      break;
  }
  return 0;
}

LRESULT StartBurnDialog::OnDvdErase(WPARAM wParam, LPARAM) {
  switch (wParam) {
    case kDvdEraseStarted:
      SetStatus("Erasing the disc....");
      break;
    case kDvdEraseFailed:
      SetStep(kStepEraseFailed);
      break;
    case kDvdEraseDone:
      SetStep(kStepErased);
      SetStatus("Erase done");
      if (m_imageMade) {
        SetStep(kStepBurning);
        StartDvdBurn();
      } else {
        SetStep(kStepAuthoring);
        RunDvdAuthoring();
      }
      break;
    default:
      break;
  }
  return 0;
}

LRESULT StartBurnDialog::OnDvdBurn(WPARAM wParam, LPARAM lParam) {
  switch (wParam) {
    case kDvdBurnPreparing:
      SetStatus("Prepare...");
      m_burned = 1;
      SetDlgItemText(IDCANCEL, kFinishText);
      GetDlgItem(IDC_BURN_ACTION)->EnableWindow(FALSE);
      break;
    case kDvdBurnStarted:
      SetStatus("Burning... 0%");
      GetDlgItem(IDC_BURN_ACTION)->EnableWindow(TRUE);
      break;
    case kDvdBurnFinalizing:
      m_progress.SetPos(100);
      SetStep(kStepFinalizing);
      break;
    case kDvdBurnPercent:
      ShowPercent("Burning... %d%% ", static_cast<int>(lParam));
      break;
    case kDvdBurnFailed:
      Log("Failed to burn the disc");
      SetStatus("Failed to burn the disc");
      SetStep(kStepBurnFailed);
      break;
    case kDvdBurnDone:
      Log("Burned the disc successfully.");
      Log("Done!");
      SetStatus("Burn the disc successfully.");
      SetStep(kStepBurnEnded);
      break;
    default:
      break;
  }
  return 0;
}

// ---- Settings ----------------------------------------------------------------------------------

BOOL StartBurnDialog::BrowseForFolder(CString* folder) {
  char display[MAX_PATH] = "";
  BROWSEINFOA info = {};
  info.hwndOwner = m_hWnd;
  info.pszDisplayName = display;
  info.lpszTitle = "Select output folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;
  CString start = *folder;
  info.lpfn = StartFromFolder;
  info.lParam = reinterpret_cast<LPARAM>(static_cast<const char*>(start));
  LPITEMIDLIST chosen = ::SHBrowseForFolderA(&info);
  if (chosen == NULL) return FALSE;
  char path[MAX_PATH] = "";
  BOOL ok = ::SHGetPathFromIDListA(chosen, path);
  ::CoTaskMemFree(chosen);
  if (!ok) return FALSE;
  *folder = path;
  return TRUE;
}

void StartBurnDialog::OnSelectFolder() {
  UpdateData(TRUE);
  CString folder = m_outputFolder;
  if (!BrowseForFolder(&folder)) return;
  if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\') folder += "\\";
  m_outputFolder = folder;
  g_burnSettings.SetOutputFolder(folder);
  UpdateData(FALSE);
}

void StartBurnDialog::OnLetterBox() {
  UpdateData(TRUE);
  g_burnSettings.letterBox = m_letterBox;
}

void StartBurnDialog::OnAspect4x3() {
  UpdateData(TRUE);
  g_burnSettings.aspectRatio = kAspect4x3;
}

void StartBurnDialog::OnAspect16x9() {
  UpdateData(TRUE);
  g_burnSettings.aspectRatio = kAspect16x9;
}

void StartBurnDialog::OnNtsc() {
  UpdateData(TRUE);
  g_burnSettings.tvType = kTvTypeNtsc;
}

void StartBurnDialog::OnPal() {
  UpdateData(TRUE);
  g_burnSettings.tvType = kTvTypePal;
}
