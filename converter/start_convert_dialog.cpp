#include "converter/start_convert_dialog.h"

#include <shellapi.h>
#include <shlobj.h>

#include <string>

#include "converter/convert_rules.h"
#include "converter/converter_main_dialog.h"
#include "converter/converter_settings.h"
#include "suite/app_utils.h"
#include "standins/calls/muxtools_calls.h"

namespace {

const char kStartHint[] = "Click \"Start\" to convert video files; Click \"Cancel\" to return.";
const char kDoneHint[] = "Click \"Open\" to open the output folder,Click \"Finish\" to close the program.";

// What the multiplex thread is given: written before it starts, read only
// by it. One multiplexing runs at a time.
struct MuxBlock {
  HWND dialog;     // receives WM_CONVERTER_MUX_DONE
  char path[1024]; // the "_con.mpg" name
};
MuxBlock g_muxBlock;

bool Exists(const std::string& path) { return FileExists(path.c_str()) != FALSE; }

UINT MuxThreadProc(LPVOID param) {
  const MuxBlock* block = static_cast<const MuxBlock*>(param);
  std::string stem(block->path);
  stem = stem.size() >= 4 ? stem.substr(0, stem.size() - 4) : stem;
  char video[1024], audio[1024], output[1024];
  snprintf(video, sizeof video, "%s_vid.mpg", stem.c_str());
  snprintf(audio, sizeof audio, "%s_aud.mpg", stem.c_str());
  snprintf(output, sizeof output, "%s.mpg", stem.c_str());
  int result = CallMplex(MuxFormatForDiscType(skarven::g_settings.discType), video, audio, output);
  DeleteFileA(video);
  DeleteFileA(audio);
  PostMessageA(block->dialog, WM_CONVERTER_MUX_DONE,
               result != 0 ? StartConvertDialog::kMuxFailed : StartConvertDialog::kMuxSucceeded, 0);
  return 0;
}

// The folder browser opens on the folder in lParam.
int CALLBACK BrowseFromStart(HWND window, UINT message, LPARAM, LPARAM start) {
  if (message == BFFM_INITIALIZED) ::SendMessageA(window, BFFM_SETSELECTIONA, TRUE, start);
  return 0;
}

}  // namespace

IMPLEMENT_DYNAMIC(StartConvertDialog, CDialog)

BEGIN_MESSAGE_MAP(StartConvertDialog, CDialog)
  ON_BN_CLICKED(IDC_START_ACTION, OnAction)
  ON_BN_CLICKED(IDC_START_SELECT, OnSelectFolder)
  ON_WM_TIMER()
  ON_MESSAGE(WM_CONVERTER_MUX_DONE, OnMuxDone)
END_MESSAGE_MAP()

BEGIN_EVENTSINK_MAP(StartConvertDialog, CDialog)
  ON_EVENT(StartConvertDialog, IDC_START_CONTROL, 2, OnConversionFinished, VTS_NONE)
  ON_EVENT(StartConvertDialog, IDC_START_CONTROL, 3, OnConversionStatus, VTS_I4 VTS_BSTR)
  ON_EVENT(StartConvertDialog, IDC_START_CONTROL, 4, OnConversionError, VTS_I4 VTS_BSTR)
END_EVENTSINK_MAP()

StartConvertDialog::StartConvertDialog(ConverterMainDialog* mainWindow)
    : CDialog(IDD, mainWindow), m_mainWindow(mainWindow) {}

StartConvertDialog::~StartConvertDialog() = default;

void StartConvertDialog::DoDataExchange(CDataExchange* pDX) {
  CDialog::DoDataExchange(pDX);
  DDX_Control(pDX, IDC_START_SPLIT, m_split);
  DDX_Control(pDX, IDC_START_LOG, m_log);
  DDX_Control(pDX, IDC_START_PROGRESS, m_progress);
  DDX_Control(pDX, IDC_START_CONTROL, m_control);
  DDX_Text(pDX, IDC_START_FOLDER, m_outputFolder);
  DDX_Text(pDX, IDC_START_LOG, m_logText);
  DDX_Radio(pDX, IDC_START_NTSC, m_tvType);
}

BOOL StartConvertDialog::OnInitDialog() {
  CDialog::OnInitDialog();
  m_tvType = skarven::g_settings.tvType;
  m_outputFolder.Format("%s", skarven::g_settings.outputPath);
  UpdateData(FALSE);
  m_progress.SetRange(0, 100);
  LOGFONTA font = {};
  if (CWnd* label = GetDlgItem(IDC_START_FOLDER_LABEL)) {
    HFONT labelFont = reinterpret_cast<HFONT>(label->SendMessage(WM_GETFONT));
    GetObjectA(labelFont != NULL ? labelFont : GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
  }
  font.lfWeight = 700;
  m_boldFont.CreateFontIndirect(&font);
  static const int kBold[] = {IDC_START_FOLDER_LABEL, IDC_START_TV_LABEL, IDC_START_SPLIT_LABEL,
                              IDC_START_HINT, IDC_START_STATUS, IDC_START_ELAPSED};
  for (int id : kBold)
    if (CWnd* control = GetDlgItem(id)) control->SetFont(&m_boldFont);
  FillSplitChoices();
  return TRUE;
}

void StartConvertDialog::FillSplitChoices() {
  for (const std::string& choice : SplitLengthChoices(skarven::g_settings.discType)) m_split.AddString(choice.c_str());
  m_split.SetCurSel(1);
}

int StartConvertDialog::ClipLength() const {
  int selected = m_split.GetCurSel();
  if (selected < 0) return 0;
  CString choice;
  m_split.GetLBText(selected, choice);
  return ClipLengthSeconds(choice);
}

void StartConvertDialog::SaveSettings() {
  UpdateData(TRUE);
  if (m_tvType == 0 || m_tvType == 1) skarven::g_settings.tvType = m_tvType;
  skarven::g_settings.SetOutputPath(m_outputFolder);
  skarven::g_settings.Save();
}

void StartConvertDialog::OnCancel() {
  // Esc and the close box reach here even while Cancel is disabled; the
  // job (and a multiplex thread writing into the folder) must end first.
  if (CWnd* cancel = GetDlgItem(IDCANCEL))
    if (!cancel->IsWindowEnabled()) return;
  SaveSettings();
  CDialog::OnCancel();
}

// ---- Start, Stop, Open ------------------------------------------------------------

void StartConvertDialog::OnAction() {
  SaveSettings();
  // Stop needs no folder: it must be heard when the folder has gone.
  if (m_state == kConverting) {
    AskToAbort();
    return;
  }
  if (!FolderExists(m_outputFolder) && !CreateFolderPath(m_outputFolder)) {
    AfxMessageBox("Create output directory failed!\nPlease change output directory with clicking the Setting button "
                  "in the toolbar! ");
    return;
  }
  switch (m_state) {
    case kIdle:
      m_logText.Empty();
      Log("Starting...");
      m_started = 1;
      m_step = -1;
      m_cancelRequest = 0;
      m_failedRows.clear();
      ConvertNextItem(true);
      break;
    case kAllDone:
      ShellExecuteA(m_hWnd, "explore", m_outputFolder, NULL, NULL, SW_SHOWNORMAL);
      break;
    default:
      break;
  }
}

void StartConvertDialog::AskToAbort() {
  if (AfxMessageBox("Would you really like to abort the convert process?", MB_OKCANCEL | MB_ICONQUESTION) != IDOK)
    return;
  // The conversion may have ended while the question was open.
  if (m_state != kConverting) return;
  m_cancelRequest = 1;
  m_control.Stop();
  Log("Aborted by user.");
  Log("Failed.");
  SetState(kAllDone);
}

void StartConvertDialog::NoteCurrentFileFailed() {
  // One entry per row, however many of its clips failed.
  if (m_failedRows.empty() || m_failedRows.back() != m_currentItem) m_failedRows.push_back(m_currentItem);
}

CString StartConvertDialog::RowText(int column) const {
  return m_mainWindow->List().GetItemText(m_currentItem, column);
}

CString StartConvertDialog::FreshOutputName() {
  ClipName name = ClipNameFor(static_cast<const char*>(m_outputFolder), static_cast<const char*>(RowText(kSourceColumnPath)),
                              skarven::g_settings.discType, m_clipCount, m_clipIndex);
  return FreshConvertedName(name, Exists, &m_nameCounter).c_str();
}

void StartConvertDialog::ConvertNextItem(bool operationStart) {
  if (m_step == -1) {
    m_currentItem = 0;
    m_clipIndex = 0;
    m_step = 0;
  } else {
    ++m_step;
    if (m_clipIndex < m_clipCount - 1) {
      ++m_clipIndex;
    } else {
      m_clipIndex = 0;
      ++m_currentItem;
    }
  }
  CString source = RowText(kSourceColumnPath);
  m_control.Stop();
  m_control.SetInputFile(source);
  long profile = ConversionProfile(skarven::g_settings.discType, skarven::g_settings.tvType);
  m_control.SetProfile(profile);
  m_control.SetFlag26(FALSE);
  m_control.SetFlag18(FALSE);
  m_control.SetFlag16(FALSE);
  m_control.SetFlag2(FALSE);
  if (IsDvdProfile(profile)) {
    m_control.SetAudioBitRate(224);
    m_control.SetVideoBitRate(6000);
  }
  SplitClip range = SplitClipFor(DurationCellSeconds(RowText(kSourceColumnDuration)), ClipLength(), m_clipIndex);
  m_clipCount = range.count;
  m_control.SetStartTime(range.start);
  m_control.SetStopTime(range.stop);
  m_outputName = FreshOutputName();
  m_control.SetOutputFile(m_outputName);
  Log(ConvertingLogText(m_clipIndex, m_clipCount, source).c_str());
  // The state goes first: a control that refuses may report at once.
  SetState(kConverting, operationStart);
  int step = m_step;
  BOOL started = m_control.Start();
  // A control that neither started nor reported would leave the job
  // waiting for ever.
  if (!started && m_state == kConverting && m_step == step) {
    CString failed;
    failed.Format("Failed to convert file:%s", static_cast<const char*>(source));
    Log(failed);
    FailCurrentClip();
  }
}

// ---- Events of the control ---------------------------------------------------------------

void StartConvertDialog::OnConversionFinished() {
  CString output = m_outputName;
  std::string name = static_cast<const char*>(output);
  if (m_cancelRequest == 1) {
    DeleteFileA(VideoStreamName(name).c_str());
    DeleteFileA(AudioStreamName(name).c_str());
    return;
  }
  if (m_state != kConverting) return;  // already given up on this clip
  m_control.Stop();
  SetState(kConversionEnded);
  long long video = GetFileSizeBytes64(VideoStreamName(name).c_str());
  long long audio = GetFileSizeBytes64(AudioStreamName(name).c_str());
  if (video > 0 && audio > 0) {
    SetState(kMultiplexing);
    StartMultiplexing();
    return;
  }
  CString line;
  line.Format("Failed to convert file:%s", static_cast<const char*>(RowText(kSourceColumnPath)));
  Log(line);
  FailCurrentClip();
}

void StartConvertDialog::FailCurrentClip() {
  CString output = m_outputName;
  std::string name = static_cast<const char*>(output);
  NoteCurrentFileFailed();
  m_control.Stop();
  if (m_state == kConverting) SetState(kConversionEnded);
  DeleteFileA(name.c_str());
  DeleteFileA(VideoStreamName(name).c_str());
  DeleteFileA(AudioStreamName(name).c_str());
  m_clipIndex = m_clipCount - 1;
  PostMessage(WM_CONVERTER_MUX_DONE, kClipFailedBefore, 0);
}

void StartConvertDialog::OnConversionStatus(long, LPCTSTR text) { m_statusText.Format("%s", text); }

void StartConvertDialog::OnConversionError(long, LPCTSTR text) {
  // The control reports a refused or broken clip only here, without the
  // finished event: without this the job would wait for ever.
  if (m_cancelRequest == 1 || m_state != kConverting) return;
  CString line;
  line.Format("Failed to convert file:%s", static_cast<const char*>(RowText(kSourceColumnPath)));
  Log(line);
  if (text != NULL && text[0] != '\0') Log(text);
  FailCurrentClip();
}

// ---- Multiplexing -----------------------------------------------------------------------

void StartConvertDialog::StartMultiplexing() {
  CString output = m_outputName;
  std::string name = static_cast<const char*>(output);
  m_muxInputBytes = GetFileSizeBytes64(VideoStreamName(name).c_str()) + GetFileSizeBytes64(AudioStreamName(name).c_str());
  g_muxBlock.dialog = m_hWnd;
  lstrcpynA(g_muxBlock.path, output, sizeof g_muxBlock.path);
  if (BeginMuxThread(MuxThreadProc, &g_muxBlock) != NULL) return;
  // No worker, no end message: the clip fails here instead of waiting.
  DeleteFileA(VideoStreamName(name).c_str());
  DeleteFileA(AudioStreamName(name).c_str());
  PostMessage(WM_CONVERTER_MUX_DONE, kMuxFailed, 0);
}

CWinThread* StartConvertDialog::BeginMuxThread(AFX_THREADPROC proc, LPVOID param) {
  return AfxBeginThread(proc, param, THREAD_PRIORITY_NORMAL);
}

LRESULT StartConvertDialog::OnMuxDone(WPARAM wParam, LPARAM) {
  SetState(kMultiplexEnded);
  CString converted = m_outputName;
  // A multiplexer that reports success without a file has failed as well.
  if (wParam == kMuxSucceeded && !FileExists(converted)) wParam = kMuxFailed;
  if (wParam == kMuxSucceeded) {
    std::string final = FinalName(static_cast<const char*>(converted), skarven::g_settings.discType, Exists);
    // The clip is whole under its converted name: kept there and said so.
    if (!MoveFileA(converted, final.c_str())) {
      CString line;
      line.Format("Failed to rename the file:%s to %s", static_cast<const char*>(converted), final.c_str());
      Log(line);
      NoteCurrentFileFailed();
    }
  } else if (wParam == kMuxFailed) {
    CString line;
    line.Format("Failed to multiplex file:%s", static_cast<const char*>(RowText(kSourceColumnPath)));
    Log(line);
    NoteCurrentFileFailed();
  }
  int rows = m_mainWindow->List().GetItemCount();
  if (m_currentItem < rows - 1 || m_clipIndex < m_clipCount - 1) {
    if (wParam == kMuxFailed) m_clipIndex = m_clipCount - 1;
    if (wParam == kMuxSucceeded || wParam == kMuxFailed || wParam == kClipFailedBefore) ConvertNextItem(false);
    return 0;
  }
  EndJob();
  return 0;
}

void StartConvertDialog::EndJob() {
  CListCtrl& list = m_mainWindow->List();
  std::vector<std::string> failed;
  for (int row : m_failedRows) failed.push_back(static_cast<const char*>(list.GetItemText(row, kSourceColumnPath)));
  int files = list.GetItemCount();
  for (const std::string& line : JobEndLogLines(files, failed)) Log(line.c_str());
  SetState(kAllDone);
  // Nothing was made: no folder to open, and the hint offers only Finish.
  if (JobOutcomeFor(files, static_cast<int>(failed.size())) == kNoFileConverted) {
    GetDlgItem(IDC_START_ACTION)->EnableWindow(FALSE);
    SetDlgItemText(IDC_START_HINT, JobHintText(false, true, false));
  }
}

// ---- Timers, state and log ----------------------------------------------------------------

void StartConvertDialog::OnTimer(UINT_PTR nIDEvent) {
  if (nIDEvent == kTimerConversion) {
    double position = m_control.GetPosition(), total = m_control.GetTotalTime();
    m_progress.SetPos(ConversionPercent(position, total));
    SetDlgItemText(IDC_START_STATUS, ConversionStatusText(m_statusText, position, total).c_str());
  } else if (nIDEvent == kTimerMultiplex) {
    double ratio = MuxRatio(GetFileSizeBytes64(m_outputName), m_muxInputBytes);
    SetDlgItemText(IDC_START_STATUS, MuxStatusText(ratio).c_str());
    m_progress.SetPos(static_cast<int>(ratio * 100));
  } else if (nIDEvent == kTimerElapsed) {
    DWORD now = GetTickCount();
    if (now != m_startTime) SetDlgItemText(IDC_START_ELAPSED, ElapsedTimeText(now - m_startTime).c_str());
  }
  Default();
}

void StartConvertDialog::SetState(int state, bool operationStart) {
  m_state = state;
  m_progress.SetPos(0);
  if (operationStart) {
    m_startTime = GetTickCount();
    SetTimer(kTimerElapsed, 1000, NULL);
    GetDlgItem(IDC_START_HINT)->ShowWindow(SW_HIDE);
    GetDlgItem(IDC_START_STATUS)->ShowWindow(SW_SHOW);
    GetDlgItem(IDC_START_ELAPSED)->ShowWindow(SW_SHOW);
  }
  switch (state) {
    case kConverting: {
      SetTimer(kTimerConversion, 250, NULL);
      static const int kLocked[] = {IDC_START_NTSC, IDC_START_PAL, IDC_START_SPLIT, IDC_START_SELECT};
      for (int id : kLocked) GetDlgItem(id)->EnableWindow(FALSE);
      SetDlgItemText(IDC_START_ACTION, "Stop");
      GetDlgItem(IDC_START_ACTION)->EnableWindow(TRUE);
      GetDlgItem(IDCANCEL)->EnableWindow(FALSE);
      break;
    }
    case kConversionEnded:
      KillTimer(kTimerConversion);
      break;
    case kMultiplexing:
      SetTimer(kTimerMultiplex, 250, NULL);
      GetDlgItem(IDC_START_ACTION)->EnableWindow(FALSE);
      break;
    case kMultiplexEnded:
      KillTimer(kTimerMultiplex);
      break;
    case kAllDone:
      KillTimer(kTimerConversion);
      SetDlgItemText(IDC_START_ACTION, "Open");
      GetDlgItem(IDC_START_ACTION)->EnableWindow(TRUE);
      SetDlgItemText(IDCANCEL, "Finish");
      GetDlgItem(IDCANCEL)->EnableWindow(TRUE);
      SetDlgItemText(IDC_START_HINT, kDoneHint);
      EndOperation();
      break;
    default:
      break;
  }
}

void StartConvertDialog::EndOperation() {
  KillTimer(kTimerElapsed);
  GetDlgItem(IDC_START_HINT)->ShowWindow(SW_SHOW);
  GetDlgItem(IDC_START_STATUS)->ShowWindow(SW_HIDE);
  GetDlgItem(IDC_START_ELAPSED)->ShowWindow(SW_HIDE);
}

void StartConvertDialog::Log(const char* text) {
  SYSTEMTIME now;
  GetLocalTime(&now);
  m_logText += LogLine(now.wHour, now.wMinute, now.wSecond, text).c_str();
  m_log.SetWindowText(m_logText);
  m_log.LineScroll(m_log.GetLineCount());
}

void StartConvertDialog::OnSelectFolder() {
  UpdateData(TRUE);
  char display[MAX_PATH] = "";
  BROWSEINFOA info = {};
  info.hwndOwner = m_hWnd;
  info.pszDisplayName = display;
  info.lpszTitle = "Select output videos folder";
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN;  // 9
  CString start = m_outputFolder;
  info.lParam = reinterpret_cast<LPARAM>(static_cast<const char*>(start));
  info.lpfn = BrowseFromStart;
  LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
  if (chosen == NULL) return;
  char path[MAX_PATH] = "";
  if (SHGetPathFromIDListA(chosen, path)) {
    CString folder(path);
    if (folder.IsEmpty() || folder[folder.GetLength() - 1] != '\\') folder += '\\';
    m_outputFolder = folder;
    UpdateData(FALSE);
  }
  CoTaskMemFree(chosen);
}
