// The list window's Run button opens the disc job dialog, which reads the
// source rows from the list window and tells whether the job finished.
#include "creator/main_dialog.h"

int CreatorMainDialog::RunJobDialog() {
  // The job dialog is not part of this build yet: nothing can run.
  AfxMessageBox("The disc job is not available in this build.");
  return 0;
}
