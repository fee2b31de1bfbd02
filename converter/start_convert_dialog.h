// StartConvertDialog: "Start Converting" (153). Converts every file of the
// main window's list, in list order, into disc-compatible MPEG files in one
// output folder: each clip (sources are cut at the chosen split length) is
// converted by the conversion control into two elementary streams, which a
// worker thread multiplexes; the joined file then gets a free final name.
#pragma once

#include <windows.h>

#include <vector>

#include "converter/res/converter_resource.h"
#include "suite/mpeg_creator_obj.h"
#include "mfc/mfc.h"

class ConverterMainDialog;

// Posted when a clip's multiplexing is over; wParam a MuxResult.
enum { WM_CONVERTER_MUX_DONE = 1825 };

class StartConvertDialog : public CDialog {
  DECLARE_DYNAMIC(StartConvertDialog)
public:
  enum { IDD = IDD_CONVERTER_START };

  // Where the dialog is in its job.
  enum State {
    kIdle = 0,
    kConverting = 1,
    kConversionEnded = 3,
    kMultiplexing = 5,
    kMultiplexEnded = 6,
    kAllDone = 8,
  };
  enum { kTimerConversion = 97, kTimerMultiplex = 98, kTimerElapsed = 99 };
  // wParam of WM_CONVERTER_MUX_DONE.
  enum MuxResult {
    kMuxSucceeded = 0,
    kMuxFailed = 1,
    kClipFailedBefore = 2,  // the conversion failed and was logged: no multiplexing
  };

  explicit StartConvertDialog(ConverterMainDialog* mainWindow);
  ~StartConvertDialog() override;

  // 1 once Start was clicked: the main window closes afterwards.
  int Started() const { return m_started; }
  int GetState() const { return m_state; }
  CString LogText() const { return m_logText; }

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override;

  afx_msg void OnAction();
  afx_msg void OnSelectFolder();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg LRESULT OnMuxDone(WPARAM wParam, LPARAM lParam);
  void OnConversionFinished();
  void OnConversionStatus(long code, LPCTSTR text);
  void OnConversionError(long code, LPCTSTR text);

  void SaveSettings();
  void FillSplitChoices();
  // Advances to the next clip or file and starts the control on it; with
  // operationStart the clock starts too.
  void ConvertNextItem(bool operationStart);
  // The control gave nothing usable for the current clip: its files go,
  // the file's other clips are skipped, the next item follows.
  void FailCurrentClip();
  // The clip is logged as failed; so is its file at the job's end.
  void NoteCurrentFileFailed();
  void AskToAbort();
  // The closing lines and state 8: "Done" only when every file was converted.
  void EndJob();
  void StartMultiplexing();
  // Starts the multiplex worker; NULL when it could not be started.
  // Virtual so that a test can make the start fail, which no real system
  // call does on demand.
  virtual CWinThread* BeginMuxThread(AFX_THREADPROC proc, LPVOID param);
  void SetState(int state, bool operationStart = false);
  void EndOperation();
  void Log(const char* text);
  CString RowText(int column) const;
  // A fresh "_con.mpg" name for the current clip: the first free k. Later
  // steps of the clip use the name kept in m_outputName, so a clip given
  // up on still names its own files.
  CString FreshOutputName();
  int ClipLength() const;

  int m_started = 0;                     // 1 once Start was clicked
  ConverterMainDialog* m_mainWindow;     // the list of files
  CComboBox m_split;                     // 1016: split length
  CEdit m_log;                           // 1038
  CProgressCtrl m_progress;              // 1039: 0-100
  CString m_outputFolder;                // 1033
  CString m_logText;                     // 1038's text
  CMPEGCreatorObj m_control;             // 1025, hidden
  int m_tvType = -1;                     // radio group 1036 (0 NTSC, 1 PAL)
  int m_state = kIdle;                   // State
  int m_cancelRequest = 0;               // 1 once the user aborted
  int m_step = -1;                       // clips started, -1 before the first
  int m_clipIndex = 0;                   // current clip of the file, from 0
  int m_clipCount = 1;                   // clips of the current file
  CString m_statusText;                  // the control's last status text
  long long m_muxInputBytes = 0;         // video + audio stream sizes
  DWORD m_startTime = 0;                 // tick count of the operation start
  int m_currentItem = 0;                 // row of the main window's list
  int m_nameCounter = 0;                 // k of the current clip's names
  CString m_outputName;                  // the current clip's "_con.mpg" name, as the control got it
  std::vector<int> m_failedRows;         // rows with a failed clip, in job order
  CFont m_boldFont;                      // labels, hint, status and clock

  DECLARE_MESSAGE_MAP()
  DECLARE_EVENTSINK_MAP()
};
