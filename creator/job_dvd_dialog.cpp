// DiscJobDialog, DVD side: the DVD writers of the drive list, the disc check
// of Start with the erase of a used rewritable disc, the authoring of the
// VIDEO_TS folder and its burn, and the reports of the authoring library and
// of the erase and burn workers.
#include <cstdio>

#include "creator/convert_settings.h"
#include "discjob/dvd_authoring_end.h"
#include "creator/job_dialog.h"
#include "discjob/job_dvd_rules.h"
#include "discjob/job_dvd_writer.h"
#include "discjob/job_vcd_rules.h"
#include "suite/worker_thread.h"
#include "standins/calls/dvdauthor_calls.h"

void DiscJobDialog::ListDvdWriters() {
  FindDevice();
  for (int i = 0; i < DvdWriters().count; ++i) driveList.AddString(DvdWriterText(i).c_str());
  if (DvdWriters().count > 0) driveList.SetCurSel(0);
}

void DiscJobDialog::CheckDvdDisc() {
  InsertedDisc disc = GetInsertedDiscInfo(driveList.GetCurSel());
  switch (DvdStartActionFor(disc)) {
    case kDvdStartRefused:
      AppendLog("No blank DVD disc in writer.");
      AppendLog("Failed!");
      break;
    case kDvdStartGo:
      if (imageReady == 0) {
        BeginNewJob();
      } else {
        StartDvdBurn();
        SetStage(kStageBurning, 1);
      }
      break;
    case kDvdStartAskErase:
      if (AfxMessageBox("The disc in the drive is not empty.\nWriting to this disc will erase any existing data on "
                        "it.\nDo you want to proceed?",
                        MB_YESNO) != IDYES) {
        AppendLog("Aborted by user.");
        AppendLog("Failed");
        break;
      }
      StartDvdErase();
      SetStage(kStageErasing, 1);
      break;
  }
}

void DiscJobDialog::RunDvdAuthoring() {
  DvdAuthorCall& author = DvdAuthor();
  author.SetWindow(GetSafeHwnd());
  author.SetOutputFolder(static_cast<const char*>(DiscFolder()));
  author.ClearFiles();
  for (const std::string& file : JobOutputFiles(g_convertSettings.tempFolder, outputNumber)) author.AddFile(file);
  author.SetVideoOptions(g_convertSettings.tvType, g_convertSettings.aspect, g_convertSettings.letterBox);
  int32_t result = author.Run();
  // A failure without a posted end (or without the library) would leave the
  // job waiting at stage 13 with Cancel refused: it ends here.
  if (result != 0 && !AuthoringEndQueued(GetSafeHwnd(), kJobAuthorMessage)) {
    char line[96];
    snprintf(line, sizeof line, "The DVD authoring failed to start (result %ld).", static_cast<long>(result));
    AppendLog(line);
    SetStatus("End author DVD");
    SetStage(kStageAuthorFailed, 0);
  }
}

void DiscJobDialog::StartDvdErase() {
  if (StartEraseThread(GetSafeHwnd(), driveList.GetCurSel())) return;
  AppendLog(kWorkerStartFailedText);
  ::PostMessageA(GetSafeHwnd(), kJobDvdEraseMessage, kDvdEraseFailed, 0);
}

void DiscJobDialog::StartDvdBurn() {
  if (StartDvdBurnThread(GetSafeHwnd(), DiscFolder(), jobDiscLabel, driveList.GetCurSel())) return;
  AppendLog(kWorkerStartFailedText);
  ::PostMessageA(GetSafeHwnd(), kJobDvdBurnMessage, kDvdBurnFailed, 0);
}

void DiscJobDialog::AbortDvdBurn() { ::AbortDvdBurn(); }

LRESULT DiscJobDialog::OnAuthorProgress(WPARAM wParam, LPARAM lParam) {
  char text[64];
  switch (wParam) {
    case 0:
      SetStatus("End author DVD");
      SetStage(kStageAuthorFailed, 0);
      break;
    case 1:
      snprintf(text, sizeof text, "Building VOB files... %d%%", static_cast<int>(lParam));
      SetStatus(text);
      progress.SetPos(static_cast<int>(lParam));
      break;
    case 2:
      snprintf(text, sizeof text, "Creating DVD image...  %d%%", static_cast<int>(lParam));
      SetStatus(text);
      progress.SetPos(static_cast<int>(lParam));
      break;
    case 3:
      finished = 1;
      SetDlgItemText(IDCANCEL, "Finish");
      break;
    case 6:
      SetStage(kStageAuthored, 0);
      imageReady = 1;
      StartDvdBurn();
      SetStage(kStageBurning, 0);
      break;
    default: break;
  }
  return 0;
}

LRESULT DiscJobDialog::OnDvdEraseMessage(WPARAM wParam, LPARAM) {
  switch (wParam) {
    case kDvdEraseStarted: SetStatus("Erasing the disc..."); break;
    case kDvdEraseFailed:
      SetStatus("Failed to erase the disc.");
      SetStage(kStageBurnFailed, 0);
      break;
    case kDvdEraseDone:
      SetStage(kStageErased, 0);
      SetStatus("Erased the disc successfully.");
      if (imageReady == 1) {
        StartDvdBurn();
        SetStage(kStageBurning, 0);
      } else {
        // The stage first, as for a new job: a conversion that fails at
        // once sets its failure stage, which must stay.
        outputNumber = -1;
        abortRequested = 0;
        SetStage(kStageConverting, 0);
        ConvertNextItem();
      }
      break;
    default: break;
  }
  return 0;
}

LRESULT DiscJobDialog::OnDvdBurnMessage(WPARAM wParam, LPARAM lParam) {
  char text[64];
  switch (wParam) {
    case kDvdBurnPreparing:
      SetStatus("Prepare...");
      GetDlgItem(1051)->EnableWindow(FALSE);
      break;
    case kDvdBurnStarted:
      SetStatus("Burning... 0%");
      GetDlgItem(1051)->EnableWindow(TRUE);
      break;
    case kDvdBurnFinalizing:
      progress.SetPos(100);
      SetStage(kStageFinalizing, 0);
      break;
    case kDvdBurnPercent:
      snprintf(text, sizeof text, "Burning... %d%% ", static_cast<int>(lParam));
      SetStatus(text);
      progress.SetPos(static_cast<int>(lParam));
      break;
    case kDvdBurnFailed:
      AppendLog("Failed to burn the disc.");
      SetStatus("Failed to burn the disc.");
      SetStage(kStageBurnFailed, 0);
      break;
    case kDvdBurnDone:
      AppendLog("Burned the disc successfully.");
      AppendLog("Done!");
      SetStatus("Burn the Disc successfully.");
      SetStage(kStageBurnEnded, 0);
      break;
    default: break;
  }
  return 0;
}
