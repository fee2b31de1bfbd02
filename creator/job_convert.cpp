// DiscJobDialog: the source list turned into numbered MPEG program streams
// in the temporary folder - one conversion per source (per 15-minute clip
// for DVD) through the conversion control, then one multiplexer run on a
// worker thread per converted item - and the hand-over to the DVD or CD end
// of the job once the last item is multiplexed.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "discjob/job_convert_rules.h"
#include "creator/job_dialog.h"
#include "suite/source_list_rules.h"
#include "creator/res/creator_resource.h"
#include "suite/worker_thread.h"
#include "standins/calls/muxtools_calls.h"

namespace {

// What the multiplex thread is given, written before it starts and not
// touched while it runs.
struct MuxJobRecord {
  int outputNumber;
  HWND window;       // receives kJobMuxDoneMessage
  int format;        // kMuxFormat*
  char video[1100];  // T n "_vid.mpg"
  char audio[1100];  // T n "_aud.mpg"
  char output[1100]; // T n ".mpg"
};
MuxJobRecord g_muxJob;

void CopyText(char* to, size_t size, const char* from) { lstrcpynA(to, from, static_cast<int>(size)); }

const char kCodecHelp[] =
    "There is no CODEC for this file or can't support it.\nPlease read FAQ in HELP or contact us.";

}  // namespace

// ---- The source list ------------------------------------------------------------------

namespace {

HWND SourceList(CWnd* listWindow) {
  if (listWindow == NULL || listWindow->GetSafeHwnd() == NULL) return NULL;
  return ::GetDlgItem(listWindow->GetSafeHwnd(), IDC_MAIN_LIST);
}

CString ListText(HWND list, int row, int column) {
  if (list == NULL || row < 0) return CString();
  char text[1100] = "";
  LVITEMA item = {};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  ::SendMessageA(list, LVM_GETITEMTEXTA, row, reinterpret_cast<LPARAM>(&item));
  return CString(text);
}

}  // namespace

int DiscJobDialog::SourceCount() const {
  HWND list = SourceList(listWindow);
  return list != NULL ? static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) : 0;
}

CString DiscJobDialog::SourcePath(int row) const { return ListText(SourceList(listWindow), row, 0); }

CString DiscJobDialog::SourceDuration(int row) const { return ListText(SourceList(listWindow), row, 1); }

double DiscJobDialog::SourceTotalSeconds() const {
  double total = 0;
  for (int row = 0, count = SourceCount(); row < count; ++row) total += DurationCellSeconds(SourceDuration(row));
  return total;
}

CString DiscJobDialog::OutputName(const char* suffix) const {
  CString name;
  name.Format("%s%03d%s", g_convertSettings.tempFolder, outputNumber, suffix);
  return name;
}

// ---- Conversion -----------------------------------------------------------------------

int DiscJobDialog::GetConversionProfile() const {
  return ConversionProfile(g_convertSettings.discType, g_convertSettings.tvType);
}

void DiscJobDialog::SetClipRange() {
  double total = DurationCellSeconds(SourceDuration(itemIndex));
  ClipRange range = ClipRangeFor(total, clipIndex, IsDvdProfile(GetConversionProfile()));
  clipCount = range.clipCount;
  conv.SetStartTime(range.start);
  conv.SetStopTime(range.end);
}

void DiscJobDialog::ConvertNextItem() {
  if (outputNumber == -1) {
    itemIndex = 0;
    clipIndex = 0;
    outputNumber = 0;
  } else {
    ++outputNumber;
    if (clipIndex < clipCount - 1) {
      ++clipIndex;
    } else {
      clipIndex = 0;
      ++itemIndex;
    }
  }
  conv.Stop();
  CString source = SourcePath(itemIndex);
  conv.SetInputFile(source);
  int profile = GetConversionProfile();
  conv.SetProfile(profile);
  conv.SetFlag26(FALSE);
  conv.SetFlag18(FALSE);
  conv.SetFlag16(FALSE);
  conv.SetFlag2(FALSE);
  if (IsDvdProfile(profile)) {
    conv.SetAudioBitRate(224);
    conv.SetVideoBitRate(6000);
  }
  SetClipRange();
  conv.SetOutputFile(OutputName(".mpg"));
  AppendLog(ConvertingLogText(clipIndex, clipCount, source).c_str());
  conv.Start();
}

void DiscJobDialog::OnConversionEvent1() {}

void DiscJobDialog::OnConversionFinished() {
  if (abortRequested == 1) return;
  conv.Stop();
  SetStage(kStageConverted, 0);
  CString video = OutputName("_vid.mpg");
  CString audio = OutputName("_aud.mpg");
  if (GetFileSizeBytes64(video) > 0 && GetFileSizeBytes64(audio) > 0) {
    SetStage(kStageMultiplexing, 0);
    StartMux();
    return;
  }
  CString text;
  text.Format("Failed to convert %s.\n\n%s", static_cast<const char*>(conv.GetInputFile()), kCodecHelp);
  MessageBox(text);
  AppendLog("Failed to convert the file.");
  SetStage(kStageConvertFailed, 0);
}

void DiscJobDialog::OnConversionStatus(long, LPCTSTR text) { statusPrefix = text != NULL ? text : ""; }

void DiscJobDialog::OnConversionError(long, LPCTSTR text) {
  CString message;
  message.Format("Failed to convert %s \n%s\n\n%s", static_cast<const char*>(conv.GetInputFile()),
                 text != NULL ? text : "", kCodecHelp);
  MessageBox(message);
  AppendLog("Failed to convert the file.");
  abortRequested = 1;
  conv.Stop();
  SetStage(kStageConvertFailed, 0);
}

void DiscJobDialog::UpdateConversionProgress() {
  double position = conv.GetPosition();
  double total = conv.GetTotalTime();
  progress.SetPos(ConversionPercent(position, total));
  SetStatus(ConversionStatusText(statusPrefix, position, total).c_str());
}

// ---- Multiplexing ---------------------------------------------------------------------

void DiscJobDialog::StartMux() {
  CString video = OutputName("_vid.mpg");
  CString audio = OutputName("_aud.mpg");
  CString output = OutputName(".mpg");
  muxInputBytes = GetFileSizeBytes64(video) + GetFileSizeBytes64(audio);
  g_muxJob.outputNumber = outputNumber;
  g_muxJob.window = m_hWnd;
  g_muxJob.format = MuxFormatForDiscType(g_convertSettings.discType);
  CopyText(g_muxJob.video, sizeof g_muxJob.video, video);
  CopyText(g_muxJob.audio, sizeof g_muxJob.audio, audio);
  CopyText(g_muxJob.output, sizeof g_muxJob.output, output);
  if (!StartWorkerThread(&DiscJobDialog::MuxThreadProc, &g_muxJob)) {
    // No worker: the streams stay unjoined, which is a multiplexing failure.
    AppendLog(kWorkerStartFailedText);
    PostMessage(kJobMuxDoneMessage, 1, 0);
  }
}

DWORD WINAPI DiscJobDialog::MuxThreadProc(LPVOID param) {
  const MuxJobRecord* job = static_cast<const MuxJobRecord*>(param);
  int result = CallMplex(job->format, job->video, job->audio, job->output);
  DeleteFileA(job->video);
  DeleteFileA(job->audio);
  ::PostMessageA(job->window, kJobMuxDoneMessage, result == kMuxResultOk ? 0 : 1, 0);
  return 0;
}

void DiscJobDialog::UpdateMuxProgress() {
  double ratio = MuxRatio(GetFileSizeBytes64(OutputName(".mpg")), muxInputBytes);
  SetStatus(MuxStatusText(ratio).c_str());
  progress.SetPos(static_cast<int>(ratio * 100));
}

LRESULT DiscJobDialog::OnMuxDone(WPARAM wParam, LPARAM) {
  if (wParam != 0) {
    CString text;
    text.Format("Failed to multiplex file:%s", static_cast<const char*>(SourcePath(itemIndex)));
    AppendLog(text);
    SetStage(kStageMuxFailed, 0);
    return 0;
  }
  SetStage(kStageMultiplexed, 0);
  if (itemIndex < SourceCount() - 1 || clipIndex < clipCount - 1) {
    SetStage(kStageConverting, 0);
    ConvertNextItem();
  } else if (g_convertSettings.discType == kDiscTypeDvd) {
    SetStage(kStageAuthoring, 0);
    RunDvdAuthoring();
  } else {
    SetStage(StartVcdBuild() != 0 ? kStageImageFailed : kStageBuildingImage, 0);
  }
  return 0;
}
