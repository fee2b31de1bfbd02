// BurnerMainDialog: the disc burner's main window (dialog 102). It keeps
// the list of files to burn, in disc order. For VCD and SVCD each chosen
// MPEG file is first judged by the CD-writing library's video scanner; a
// file that does not fit the disc type is refused with the invalid-file
// dialog. For DVD the chosen VOB files are listed as they are. The Burn
// button opens the burn dialog (StartBurnDialog), which reads the list.
#pragma once

#include <vector>

#include "burner/burner_dialogs.h"
#include "burner/res/burner_resource.h"
#include "controls/hover_button.h"
#include "controls/size_range.h"
#include "mfc/mfc.h"

class StartBurnDialog;

// Posted to the main window from the CD-writing library's scanner thread
// (the list is only touched on the window's own thread).
enum {
  kScanProgressMessage = WM_APP + 0x104,  // wParam: percent
  kScanDoneMessage = WM_APP + 0x105,      // lParam: a ScanOutcome the handler deletes
};

// What the scanner reported for one file.
struct ScanOutcome {
  CString path;        // the file
  int scanResult;      // 0, or the code that stopped the scan
  int notCompatible;   // 1: the file does not fit the disc type
  int width, height;   // picture size
  int bitRate;         // video bits per second
  double frameRate;    // pictures per second
};

class BurnerMainDialog : public CDialog {
public:
  enum { IDD = IDD_BURNER_MAIN };
  explicit BurnerMainDialog(CWnd* pParent = NULL);
  ~BurnerMainDialog() override;

  // What the burn dialog reads: the listed files in disc order and their
  // total size.
  int GetFileCount() const { return m_fileCount; }
  CString GetFilePath(int row) const;
  double GetTotalBytes() const { return m_totalBytes; }
  int GetSelectedRow() const { return m_selectedRow; }
  CListCtrl& GetList() { return m_list; }
  CSizeRange& GetScale() { return m_scale; }
  ScanProgressDialog& GetScanDialog() { return m_scanDialog; }

  // The commands, as their buttons and menu entries run them.
  void AddFiles();
  void RemoveSelected();
  void RemoveAll();
  void PlaySelected();
  void MoveUp();
  void MoveDown();
  void Burn();

  // Puts a scanned (or, for DVD, chosen) file at the end of the list.
  void AppendFile(const char* path, const ScanOutcome* scan);

protected:
  BOOL OnInitDialog() override;

  // Seams over what needs a person or another program; tests stand in.
  // The chosen files (IDOK) or IDCANCEL.
  virtual INT_PTR ChooseFiles(BOOL multiple, CStringArray* paths);
  // ShellExecute's result for verb "open" on file with parameters.
  virtual INT_PTR ShellOpen(const char* file, const char* parameters);
  // Shows a popup menu at the cursor and runs its choice.
  virtual void TrackMenu(HMENU popup);
  // Runs the burn dialog modally; its burned flag.
  virtual int RunBurnDialog();

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnAdd() { AddFiles(); }
  afx_msg void OnRemove() { RemoveSelected(); }
  afx_msg void OnBurn() { Burn(); }
  afx_msg void OnAbout();
  afx_msg void OnHome();
  afx_msg void OnHelp();
  afx_msg void OnExit();
  afx_msg void OnRemoveAll() { RemoveAll(); }
  afx_msg void OnPlay() { PlaySelected(); }
  afx_msg void OnMoveUp() { MoveUp(); }
  afx_msg void OnMoveDown() { MoveDown(); }
  afx_msg void OnToolkit();
  afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnListRightClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg LRESULT OnScanProgress(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnScanDone(WPARAM wParam, LPARAM lParam);

  void SetUpButtons();
  void SetUpColumns();
  void SetUpScale();
  void StartCdLibrary();
  void UpdateStatus();
  void SelectRow(int row);
  // The focused-and-selected row, else the remembered one when valid; -1.
  int CurrentRow() const;
  void MoveRow(int from, int to);
  void RecreateCdProject();

  HoverButton m_toolkitButton;    // 1009, hidden
  CListCtrl m_list;               // 1007, the files in disc order
  HoverButton m_addButton;        // 1000
  HoverButton m_removeButton;     // 1001
  HoverButton m_burnButton;       // 1002
  HoverButton m_aboutButton;      // 1003
  HoverButton m_homeButton;       // 1004
  HoverButton m_helpButton;       // 1005
  HoverButton m_exitButton;       // 1006
  HoverButton m_addSmall;         // 1011
  HoverButton m_removeSmall;      // 1012
  HoverButton m_removeAllSmall;   // 1013
  HoverButton m_playSmall;        // 1014
  HoverButton m_upSmall;          // 1015
  HoverButton m_downSmall;        // 1016
  CSizeRange m_scale;             // over 1008: total MB against the disc
  HICON m_icon;                   // 128
  int m_selectedRow;              // -1: none
  int m_fileCount;                // rows in the list
  ScanProgressDialog m_scanDialog;     // shown while the scanner runs
  LoadingFilesDialog m_loadingDialog;  // kept, never shown
  CMenu m_menu;                   // the context and Toolkit menus, loaded when shown
  double m_totalBytes;            // sum of the listed files' sizes
  std::vector<double> m_rowBytes; // each row's size, in list order

  DECLARE_MESSAGE_MAP()
};

// The disc type the burner's windows read (the settings' field).
int BurnerDiscType();
