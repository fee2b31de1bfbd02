// The probe the creator's and the converter's list windows make of every
// file they are asked to add, through their hidden conversion control.
#pragma once

#include "creator/main_dialog_scan_wait.h"
#include "creator/mpeg_creator_obj.h"
#include "mfc/mfc.h"

// The file's duration in seconds through the control; a file without
// video, audio or a positive duration is refused with its message box
// (the scanning window stepping aside meanwhile) and gives false.
bool ProbeSourceFile(CMPEGCreatorObj& control, ScanWaitDialog& scan, const CString& path, double* duration);
