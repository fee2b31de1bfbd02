#include "suite/source_probe.h"

#include "controls/file_dialog_ex.h"
#include "suite/source_list_rules.h"

BOOL ChooseVideoFiles(CWnd* owner, std::vector<CString>* paths) {
  CFileDialogEx dialog(TRUE, NULL, NULL, OFN_HIDEREADONLY | OFN_ALLOWMULTISELECT | OFN_FILEMUSTEXIST | OFN_EXPLORER,
                       kAddFilesFilter, owner);
  // The dialog writes the folder and every chosen name here.
  std::vector<char> names(kAddFilesNameChars, '\0');
  dialog.GetOFN().lpstrFile = names.data();
  dialog.GetOFN().nMaxFile = static_cast<DWORD>(names.size());
  dialog.GetOFN().lpstrTitle = kAddFilesTitle;
  if (dialog.DoModal() != IDOK) return FALSE;
  for (POSITION pos = dialog.GetStartPosition(); pos != NULL;) paths->push_back(dialog.GetNextPathName(pos));
  return TRUE;
}

bool ProbeSourceFile(CMPEGCreatorObj& control, ScanWaitDialog& scan, const CString& path, double* duration) {
  double value = 0;
  *duration = 0;
  BOOL video = FALSE, audio = FALSE;
  long width = 0, height = 0, rate = 0;
  // The control may replace the text; whatever it holds afterwards is ours.
  BSTR text = SysAllocString(L"");
  control.GetFileInfo(path, &value, duration, &video, &audio, &width, &height, &rate, &text);
  SysFreeString(text);
  if (video && audio && *duration > 0) return true;
  scan.Hide();
  AfxMessageBox(ProbeRefusedText(static_cast<const char*>(path)).c_str());
  scan.ShowCentered();
  return false;
}
