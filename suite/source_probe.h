// The creator's and the converter's list windows: the dialog that chooses
// files to add, and the probe they make of every file through their hidden
// conversion control.
#pragma once

#include <vector>

#include "suite/scan_wait_dialog.h"
#include "suite/mpeg_creator_obj.h"
#include "mfc/mfc.h"

// The file's duration in seconds through the control; a file without
// video, audio or a positive duration is refused with its message box
// (the scanning window stepping aside meanwhile) and gives false.
bool ProbeSourceFile(CMPEGCreatorObj& control, ScanWaitDialog& scan, const CString& path, double* duration);

// The "Add video files" dialog over owner: several existing files at once.
// TRUE with the chosen paths; FALSE when cancelled, or when the choice did
// not fit the name buffer (the file dialog has told the user).
BOOL ChooseVideoFiles(CWnd* owner, std::vector<CString>* paths);
