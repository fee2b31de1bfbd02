// DiscJobDialog, CD side: the CD writers of the drive list, the medium check
// of Start with the erase of a used CD-RW, the VideoCD XML project and the
// image build thread, and the burn of the cue image with the CD-writing
// library's callbacks.
#include <cstdio>

#include "suite/app_utils.h"
#include "creator/convert_settings.h"
#include "creator/job_dialog.h"
#include "discimage/base/vcd_messages.h"
#include "discjob/job_vcd_build.h"
#include "discjob/job_vcd_burn.h"
#include "discjob/job_vcd_rules.h"
#include "suite/vcd_xml_writer.h"
#include "suite/worker_thread.h"
#include "standins/calls/cdscribe_calls.h"

namespace {

DiscJobDialog* DialogOf(void* user) { return static_cast<DiscJobDialog*>(user); }

}  // namespace

void DiscJobDialog::ListCdWriters() {
  CdWriterList writers = FindCdWriters();
  for (const std::string& entry : writers.entries) driveList.AddString(entry.c_str());
  if (writers.selected >= 0) driveList.SetCurSel(writers.selected);
}

void DiscJobDialog::CheckCdMedium() {
  CString entry;
  int selected = driveList.GetCurSel();
  if (selected >= 0) driveList.GetLBText(selected, entry);
  if (!SelectCdWriter(entry)) return;
  CdScribeCalls& cd = CdScribe();
  CdScribeMedium medium;
  memset(&medium, 0, sizeof medium);
  int32_t code = cd.GetMediumInformation(&medium);
  medium.type[sizeof medium.type - 1] = 0;
  if (code == kCdNoMedium) {
    AfxMessageBox("No disc in the writer.\nPlease insert a blank disc into the writer.");
    AppendLog("No blank CD disc in writer.");
    cd.EjectDevice();
    AppendLog("Failed!");
    return;
  }
  if (code != kCdOk) {
    ShowBurnEngineError(code);
    return;
  }
  CdMediumVerdict verdict = JudgeCdMedium(medium.type, medium.usedSectors);
  if (verdict.action == kCdStartRefused) {
    AfxMessageBox(verdict.refusalText);
    AppendLog("No blank CD disc in writer.");
    cd.EjectDevice();
    AppendLog("Failed!");
    return;
  }
  if (verdict.action == kCdStartAskErase) {
    if (AfxMessageBox("The disc in the drive is not empty.\nWriting to this disc will erase any existing data on "
                      "it.\nDo you want to proceed?",
                      MB_YESNO) != IDYES) {
      AppendLog("Aborted by user.");
      AppendLog("Failed");
      return;
    }
    if (EraseCdDisc() == 0) {
      SetStage(kStageErasing, 1);
    } else {
      AppendLog("Failed to erase the disc.");
      cd.EjectDevice();
      AppendLog("Failed!");
    }
    return;
  }
  if (imageReady == 0) {
    BeginNewJob();
  } else if (BurnCdImage() != 0) {
    AppendLog("Failed to burn.");
    AppendLog("Failed!");
  } else {
    SetStage(kStageBurning, 1);
  }
}

int DiscJobDialog::EraseCdDisc() { return StartCdErase(); }

int DiscJobDialog::StartVcdBuild() {
  SetStatus("Make XML...");
  VcdXmlWriter writer;
  writer.SetDiscClass(g_convertSettings.discType == kDiscTypeSvcd ? kVcdClassSvcd : kVcdClassVcd20);
  writer.SetVolumeId(discLabel);
  for (const std::string& file : JobOutputFiles(g_convertSettings.tempFolder, outputNumber))
    writer.AddSequenceItem(file.c_str());
  xmlPath = GetTempFolder() + "vcd.xml";
  if (writer.Write(xmlPath) != 0) {
    SetStatus("Failed to make XML file.");
    AppendLog("Failed to make XML file.");
    return -1;
  }
  if (!FileExists(xmlPath)) {
    SetStatus("The VideoCD XML doesn't exist.");
    AppendLog("Failed to make XML file.");
    return -1;
  }
  if (!StartWorkerThread(VcdBuildThreadProc, this)) {
    AppendLog(kWorkerStartFailedText);
    return -1;
  }
  return 0;
}

DWORD WINAPI DiscJobDialog::VcdBuildThreadProc(LPVOID param) {
  DiscJobDialog* dialog = static_cast<DiscJobDialog*>(param);
  if (dialog == NULL) return kVcdBuildNoMessage;
  VcdBuildJob job;
  job.window = dialog->GetSafeHwnd();
  job.messageName = static_cast<const char*>(dialog->builderMessageName);
  job.stateMessage = kJobBuilderStateMessage;
  job.xmlPath = static_cast<const char*>(dialog->xmlPath);
  job.cuePath = static_cast<const char*>(dialog->cuePath);
  job.binPath = static_cast<const char*>(dialog->binPath);
  job.cancelFlag = &dialog->cancelBuild;
  job.messageStore = &g_builderMessage;
  return RunVcdBuild(job);
}

LRESULT DiscJobDialog::OnBuilderText(WPARAM wParam, LPARAM lParam) {
  if (lParam == 0) return 0;
  if (wParam == kVcdMsgInfo) {
    SetStatus(reinterpret_cast<const char*>(lParam));
  } else if (wParam == kVcdMsgProgress) {
    const VcdBuildProgress* record = reinterpret_cast<const VcdBuildProgress*>(lParam);
    if (record->kind == 0) progress.SetPos(record->percent);
  }
  return 0;
}

LRESULT DiscJobDialog::OnBuilderState(WPARAM wParam, LPARAM lParam) {
  if (wParam != kVcdBuildEnded) return 0;
  if (lParam != 0) {
    SetStage(kStageImageFailed, 0);
    return 0;
  }
  imageReady = 1;
  SetStage(kStageImageBuilt, 0);
  SetStage(BurnCdImage() != 0 ? kStageBurnFailed : kStageBurning, 0);
  return 0;
}

int DiscJobDialog::BurnCdImage() {
  int result = StartCueImageBurn(discLabel, cuePath);
  if (result == kCdBurnNoBlankDisc) AppendLog("No blank CD Disc in writer.");
  if (result != kCdBurnStarted) return -1;
  finished = 1;
  ::SetDlgItemTextA(GetSafeHwnd(), IDCANCEL, "Finish");
  return 0;
}

int32_t OUTSIDE_CALL DiscJobDialog::OnFinalizeEvent(void* user) {
  DialogOf(user)->SetStage(kStageFinalizing, 0);
  return 0;
}

int32_t OUTSIDE_CALL DiscJobDialog::OnBurnDoneEvent(const char* text, void* user) {
  DiscJobDialog* dialog = DialogOf(user);
  if (text != NULL && text[0] != 0) {
    dialog->AppendLog(text);
    dialog->AppendLog("Failed!");
    dialog->SetStatus(text);
  } else {
    dialog->AppendLog("Burned the disc successfully.");
    dialog->AppendLog("Done!");
    dialog->SetStatus("Burn the disc successfully.");
  }
  dialog->SetStage(kStageBurnEnded, 0);
  return 0;
}

int32_t OUTSIDE_CALL DiscJobDialog::OnProcessEvent(float percent, int32_t, int32_t, int32_t, int32_t, int32_t,
                                                   int32_t, void* user) {
  DiscJobDialog* dialog = DialogOf(user);
  if (dialog->stage == kStageErasing) {
    dialog->SetStatus("Erasing the disc...");
  } else if (dialog->stage == kStageBurning) {
    char text[64];
    snprintf(text, sizeof text, "Burning... %.2f%%", percent);
    dialog->SetStatus(text);
    dialog->progress.SetPos(static_cast<int>(percent));
  }
  return 0;
}

int32_t OUTSIDE_CALL DiscJobDialog::OnEraseDoneEvent(int32_t result, void* user) {
  DiscJobDialog* dialog = DialogOf(user);
  // A failed erase leaves a used disc: converting for it, or burning onto
  // it, could only fail later.
  if (result != kCdOk) {
    ShowBurnEngineError(result);
    dialog->AppendLog("Failed to erase the disc.");
    dialog->SetStage(kStageBurnFailed, 0);
    return -1;
  }
  dialog->SetStage(kStageErased, 0);
  if (dialog->imageReady != 1) {
    ::PostMessageA(dialog->GetSafeHwnd(), kJobEraseDoneMessage, 0, 0);
    return 0;
  }
  if (dialog->BurnCdImage() != 0) {
    dialog->SetStage(kStageBurnFailed, 0);
    return -1;
  }
  dialog->SetStage(kStageBurning, 0);
  return 0;
}
