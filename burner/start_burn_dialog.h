// StartBurnDialog: the burn dialog (146, "Start Burning") that the main
// window opens from its Burn button. It burns the main window's files as
// they are:
// - VCD and SVCD: writes the VideoCD XML project, builds a cue/bin image
//   with the image builder on a worker thread and burns it with CdScribe;
//   a written CD-RW is erased first when the user agrees;
// - DVD: authors the VOB files into the disc folder with AuthorDVD and
//   writes that folder with DvdScribe; a written rewritable DVD is erased
//   before authoring.
// One step machine (burner::BurnStep) sets the texts, the log, the progress
// bar, the buttons and the timers. Once an image exists, Start burns it
// again without building it.
#pragma once

#include <windows.h>

#include <cstdint>
#include <string>

#include "burner/res/burner_resource.h"
#include "mfc/mfc.h"
#include "standins/include/outside_abi.h"

class BurnerMainDialog;

// Messages to the dialog: the build thread's start and end (sent), and the
// CD-writing library's events, posted from its thread so that the step
// machine runs on the dialog's own thread.
enum {
  kImageBuildMessage = 1804,                // wParam 1 started; 0 ended, lParam the result
  kCdFinalizeMessage = WM_APP + 0x110,
  kCdBurnDoneMessage = WM_APP + 0x111,      // lParam: a new'd BurnDoneText, deleted by the dialog
  kCdProcessMessage = WM_APP + 0x112,       // wParam: percent x 100
  kCdEraseDoneMessage = WM_APP + 0x113,    // wParam: the erase's result (0 erased)
};
// Timers.
enum { kClockTimer = 133, kEraseTimer = 135 };

// The burn-done event's text on its way from the library's thread to the
// dialog's. Counted: every one made must be deleted, handled or not.
class BurnDoneText {
public:
  explicit BurnDoneText(const char* text);
  ~BurnDoneText();
  BurnDoneText(const BurnDoneText&) = delete;
  BurnDoneText& operator=(const BurnDoneText&) = delete;
  const CString& Text() const { return m_text; }
  // How many exist now.
  static long Alive();

private:
  CString m_text;
  static volatile LONG s_alive;
};

class StartBurnDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_BURN };
  explicit StartBurnDialog(BurnerMainDialog* mainWindow, CWnd* pParent = NULL);
  ~StartBurnDialog() override;

  int GetStep() const { return m_step; }
  // CdScribe's burn-done callback (its thread): posts the text to the
  // dialog window user.
  static int32_t OUTSIDE_CALL OnBurnDoneEvent(const char* text, void* user);
  // The step machine: stores the step and does what it asks; with
  // operationStart, the clock starts first and the settings lock.
  void SetStep(int step, bool operationStart = false);
  // One log line: "hh:mm:ss  text".
  void Log(const char* text);
  void ClearLog();

  CString m_binPath;          // output folder + label + "\VideoCD.bin"
  CString m_cuePath;          // output folder + label + "\VideoCD.cue"
  char m_dvdFolder[MAX_PATH]; // output folder + label + "\" of the image made last
  int m_burned;               // 1 once a burn has begun; the main window reads it
  int m_imageMade;            // 1 once the cue image or the DVD image exists
  int m_step;                 // burner::BurnStep
  BurnerMainDialog* m_mainWindow;  // gives the files and their total size
  CString m_xmlPath;          // program folder + "vcd.xml"
  const char* m_messageName;  // "msg_zrDiscImage"
  volatile int m_cancelRequest;  // 1: the image builder stops
  CEdit m_logEdit;            // 1056
  CProgressCtrl m_progress;   // 1028
  CComboBox m_drives;         // 1020
  CString m_label;            // 1023
  CString m_jobLabel;         // the label of the job that made the image: every copy's volume label
  CString m_outputFolder;     // 1046
  CString m_logText;          // 1056
  int m_aspect;               // 1053 group: 0 4:3, 1 16:9
  int m_tvType;               // 1051 group: 0 NTSC, 1 PAL
  int m_letterBox;            // 1055
  DWORD m_startTime;          // GetTickCount when the running operation began
  int m_eraseCounter;         // the erase's pseudo progress
  UINT m_builderMessage;      // the id registered under m_messageName
  CFont m_boldFont;           // captions, status and clock

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Cancel, Escape and the close box: refused while Cancel is disabled.
  void OnCancel() override;

  // Seams over the system; tests stand in. The folder browser (FALSE:
  // cancelled) and the free megabytes of a drive (-1: unknown).
  virtual BOOL BrowseForFolder(CString* folder);
  virtual int FreeMegabytes(char drive);

  void ListCdWriters();
  void ListDvdWriters();
  void CdStart();
  void DvdStart();
  // The disc folder (output folder + label + "\") of a new image, once the
  // label passes the label rules; FALSE after the box that says why.
  BOOL JoinDiscFolder(std::string* folder);
  // The label, folder and free-space checks before a new image; FALSE
  // stops the start (each failure has said why).
  BOOL PrepareOutput(bool dvd);
  BOOL CheckFreeSpace();
  int BurnCd();
  int BuildVcdImage();
  void RunDvdAuthoring();
  void StartDvdBurn();
  void OperationStart();
  void OperationEnd();
  void EnableSettings(BOOL enable);
  void SetStatus(const char* text);
  // The status line from a format with one %d, and the progress bar at it.
  void ShowPercent(const char* format, int percent);
  // The failure lines of a start that found no usable writer or disc.
  void LogNoDrive();
  // Asks whether to abort the running step: true for OK while that step
  // still runs (the box's message loop may have seen the job end).
  bool AbortConfirmed(const char* question, UINT type);

  static DWORD WINAPI BuildThreadProc(LPVOID parameter);

  afx_msg LRESULT OnBuilderText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnImageBuild(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnAuthorProgress(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDvdErase(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnDvdBurn(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnCdFinalize(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnCdBurnDone(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnCdProcess(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnCdEraseDone(WPARAM wParam, LPARAM lParam);
  afx_msg void OnDestroy();
  afx_msg void OnAction();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnSelectFolder();
  afx_msg void OnLetterBox();
  afx_msg void OnAspect4x3();
  afx_msg void OnAspect16x9();
  afx_msg void OnNtsc();
  afx_msg void OnPal();

  HANDLE m_buildThread;  // the running image build, joined before the dialog goes

  DECLARE_MESSAGE_MAP()
};
