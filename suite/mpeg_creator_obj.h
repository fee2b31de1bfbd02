// CMPEGCreatorObj: the window wrapper of the ActiveX conversion control.
// Every property and method goes to the control by its dispatch id; the
// control reports through its events (finished 2, status 3, error 4) to the
// event sink map of the window that holds it.
//
// In a dialog the control is a placeholder in the template (see
// mfc/win/olecontrol.h) and the dialog binds a member of this class to it
// with DDX_Control; elsewhere Create makes it.
#pragma once

#include <windows.h>

#include "mfc/mfc.h"
#include "mfc/win/olecontrol.h"

class CMPEGCreatorObj : public CWnd {
  DECLARE_DYNCREATE(CMPEGCreatorObj)
public:
  CMPEGCreatorObj() = default;

  // {D81ADC49-B724-468C-89FC-D39AEB8A9956}
  static const CLSID& GetClsid();

  // Creates the control as a child window (style, rectangle, parent, id).
  BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
              CWnd* pParentWnd, UINT nID, void* pContext = NULL) override;
  BOOL Create(LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID);

  // Properties and methods, by dispatch id.
  void SetAudioBitRate(long rate);    // 1
  void SetFlag2(BOOL value);          // 2
  double GetTotalTime();              // 3
  // 6: probes a file without converting it. A file is usable when both
  // flags are TRUE and the duration (seconds) is above 0. *text is the
  // caller's string, which the control may replace (the caller frees it).
  // The results start as zeroes and FALSE, so a control that cannot be
  // reached refuses the file.
  void GetFileInfo(LPCTSTR path, double* value, double* duration, BOOL* flagA, BOOL* flagB, long* long1,
                   long* long2, long* long3, BSTR* text);
  void SetOutputFile(LPCTSTR path);   // 10
  void SetProfile(long profile);      // 14
  void SetFlag16(BOOL value);         // 16
  double GetPosition();               // 17
  void SetFlag18(BOOL value);         // 18
  CString GetInputFile();             // 20
  void SetInputFile(LPCTSTR path);    // 20
  BOOL Start();                       // 21
  void SetStartTime(double seconds);  // 22
  void SetStopTime(double seconds);   // 23
  void Stop();                        // 24
  void SetFlag26(BOOL value);         // 26
  void SetVideoBitRate(long rate);    // 27
};
