#include "creator/source_probe.h"

#include "creator/main_dialog_rules.h"

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
