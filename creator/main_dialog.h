// CreatorMainDialog: the disc creator's main window, modal dialog 102. It
// holds the list of source video files with their durations and sizes,
// probes every added file through the conversion control, shows the total
// against a capacity scale of the chosen disc type, and starts the disc
// job dialog, which reads the list's rows (path and duration) directly.
#pragma once

#include <windows.h>

#include <vector>

#include "controls/hover_button.h"
#include "controls/size_range.h"
#include "suite/source_list_rules.h"
#include "suite/scan_wait_dialog.h"
#include "suite/mpeg_creator_obj.h"
#include "creator/res/creator_resource.h"
#include "mfc/mfc.h"

class CreatorMainDialog : public CDialog {
  DECLARE_DYNAMIC(CreatorMainDialog)
public:
  enum { IDD = IDD_CREATOR_MAIN };

  explicit CreatorMainDialog(CWnd* pParent = NULL);
  ~CreatorMainDialog() override;

  // ---- The source rows (the job dialog reads list control 1007 itself) ----
  int GetSourceCount() const;
  CString GetSourcePath(int row) const;
  // A row's duration in seconds, read back from its duration cell.
  double GetSourceSeconds(int row) const;
  // The summed duration of all rows in seconds.
  double GetTotalSeconds() const;

  // ---- State the tests read back ---------------------------------------------
  // Kept: the scale is a drawn control that no message asks for its value,
  // and the scanning window waits hidden.
  int GetSelectedIndex() const { return m_selectedIndex; }
  CSizeRange& GetScale() { return m_scale; }
  ScanWaitDialog& GetScanDialog() { return m_scanDialog; }

  // ---- What the buttons, menu items and keys do ------------------------------
  void AddFiles();                                    // 1000, 1008, 32771
  void AddSourceFiles(const std::vector<CString>& paths);  // probe and list each
  void RemoveSelected();                              // 1001, 1010, 32772, Delete
  void RemoveAll();                                   // 1015, 32773
  void MoveSelectedUp();                              // 1009, 32774
  void MoveSelectedDown();                            // 1012, 32775
  void PlaySelected();                                // 1014, 32776
  void RunJob();                                      // 1002
  void ShowAbout();                                   // 1003, system menu item 16

  // The maker's home page and support address (the About dialog's links).
  static const char kHomePageUrl[];
  static const char kSupportMailUrl[];

protected:
  // ---- Outside the window: virtual so that tests can stand in ---------------
  // The add-files dialog: TRUE with the chosen paths, FALSE when cancelled.
  virtual BOOL ChooseSourceFiles(std::vector<CString>* paths);
  // The disc job dialog, run modally; its "finished" flag
  // (main_dialog_job.cpp).
  virtual int RunJobDialog();
  // Starts the CD-writing library (VCD and SVCD only); its result.
  virtual int InitializeCdWriter();
  // ShellExecute "open" of a file (parameters may be NULL); its result.
  virtual INT_PTR ShellOpen(LPCTSTR file, LPCTSTR parameters);
  // HTML Help on a help file path ("...\help.CHM::./Index.htm").
  virtual void OpenHelp(const CString& path);
  // The home page in the browser.
  virtual void OpenHomePage();

  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  // Enter and Escape do not end the program and lose the list: the window
  // closes through Exit, its close box or a finished job.
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnDestroy();
  afx_msg void OnClose();
  afx_msg void OnAbout();
  afx_msg void OnAddFiles();
  afx_msg void OnRemove();
  afx_msg void OnRemoveAll();
  afx_msg void OnMoveUp();
  afx_msg void OnMoveDown();
  afx_msg void OnPlay();
  afx_msg void OnRun();
  afx_msg void OnHelpContents();
  afx_msg void OnHomePage();
  afx_msg void OnExit();
  afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnListRightClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);

  // Sets up the hover buttons: bitmap, tooltip, transparent background.
  void SetUpButtons();
  void InsertColumns();
  // Configures the capacity scale for the disc type.
  void SetUpScale(int discType);
  // Appends a row (path, duration text, size text); its index.
  int AppendRow(const CString& path, const CString& duration, const CString& size);
  // Takes the first selected row of the list as the selection.
  void TakeListSelection();
  // Moves row `from` to `to` (both valid) and selects it there.
  void MoveRow(int from, int to);
  // Selects and shows the selection, the statics, the scale; redraws.
  void RefreshTotals();
  // Probes one file through the control; a row for it, or FALSE after the
  // refusal box.
  BOOL ProbeAndAppend(const CString& path);
  // The popup menu of the list at a screen point.
  void ShowListMenu(CPoint point);

  CListCtrl m_list;                // 1007: path, duration, size
  CMPEGCreatorObj m_converter;     // 1070: probes files, never converts
  CSizeRange m_scale;              // over 1011: total minutes of the disc type
  ScanWaitDialog m_scanDialog;     // shown while files are probed
  int m_selectedIndex = -1;        // the selected row, -1 when none
  HICON m_hIcon = NULL;            // icon 128, big and small
  // The hover buttons, in the order of kButtons (main_dialog.cpp).
  HoverButton m_buttons[13];
  int m_discType = 2;              // the run's disc type, from the settings

  DECLARE_MESSAGE_MAP()
};
