// The list window's Run button opens the disc job dialog, which reads the
// source rows from the list window and tells whether the job finished.
#include "creator/job_dialog.h"
#include "creator/main_dialog.h"

int CreatorMainDialog::RunJobDialog() {
  DiscJobDialog dialog(this);
  dialog.DoModal();
  return dialog.finished;
}
