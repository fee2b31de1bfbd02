// Placeholders of the job dialog's CD and DVD steps until they are built:
// no writers are listed, the disc check starts a new job at once, and the
// hand-over after the last item fails as an image that cannot be made.
#include "creator/job_dialog.h"

// CD image and burning
void DiscJobDialog::ListCdWriters() {}
void DiscJobDialog::CheckCdMedium() {
  if (imageReady == 0) BeginNewJob();
}
int DiscJobDialog::EraseCdDisc() { return -1; }
int DiscJobDialog::StartVcdBuild() { return -1; }
DWORD WINAPI DiscJobDialog::VcdBuildThreadProc(LPVOID) { return 103; }
int DiscJobDialog::BurnCdImage() { return -1; }
int32_t OUTSIDE_CALL DiscJobDialog::OnFinalizeEvent(void*) { return 0; }
int32_t OUTSIDE_CALL DiscJobDialog::OnBurnDoneEvent(const char*, void*) { return 0; }
int32_t OUTSIDE_CALL DiscJobDialog::OnProcessEvent(float, int32_t, int32_t, int32_t, int32_t, int32_t, int32_t,
                                                   void*) {
  return 0;
}
int32_t OUTSIDE_CALL DiscJobDialog::OnEraseDoneEvent(int32_t, void*) { return 0; }
LRESULT DiscJobDialog::OnBuilderText(WPARAM, LPARAM) { return 0; }
LRESULT DiscJobDialog::OnBuilderState(WPARAM, LPARAM) { return 0; }

// DVD authoring and writing
void DiscJobDialog::ListDvdWriters() {}
void DiscJobDialog::CheckDvdDisc() {
  if (imageReady == 0) BeginNewJob();
}
void DiscJobDialog::RunDvdAuthoring() { SetStage(kStageAuthorFailed, 0); }
void DiscJobDialog::StartDvdErase() {}
void DiscJobDialog::StartDvdBurn() {}
void DiscJobDialog::AbortDvdBurn() {}
LRESULT DiscJobDialog::OnAuthorProgress(WPARAM, LPARAM) { return 0; }
LRESULT DiscJobDialog::OnDvdEraseMessage(WPARAM, LPARAM) { return 0; }
LRESULT DiscJobDialog::OnDvdBurnMessage(WPARAM, LPARAM) { return 0; }
