// ConverterMainDialog: the converter's main window (102). It keeps the list
// of source files, each probed through the conversion control before it is
// listed, and opens the conversion dialog from its Convert button. Enter
// and Esc do not close it; Exit and the close box do.
#pragma once

#include <vector>

#include "controls/hover_button.h"
#include "converter/converter_dialogs.h"
#include "converter/res/converter_resource.h"
#include "suite/mpeg_creator_obj.h"
#include "mfc/mfc.h"

class ConverterMainDialog : public CDialog {
  DECLARE_DYNAMIC(ConverterMainDialog)
public:
  enum { IDD = IDD_CONVERTER_MAIN };

  // appTitle: shown by the About box.
  explicit ConverterMainDialog(const CString& appTitle, CWnd* pParent = NULL);
  ~ConverterMainDialog() override;

  // Probes each path in order and lists those the control can convert;
  // the others are reported one by one and skipped (the add-files step
  // after the file dialog).
  void ProbeAndAdd(const std::vector<CString>& paths);

  CListCtrl& List() { return m_list; }
  int SelectedRow() const { return m_selected; }
  void SelectRow(int row);
  ScanWaitDialog& ScanDialog() { return m_scan; }

  // The context menu's entries for the list as it is, greyed by the rules;
  // the caller destroys it.
  HMENU BuildContextMenu();

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;
  void OnOK() override {}
  void OnCancel() override {}

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  afx_msg void OnExit();
  afx_msg void OnHome();
  afx_msg void OnHelp();
  afx_msg void OnAbout();
  afx_msg void OnAddFiles();
  afx_msg void OnRemove();
  afx_msg void OnRemoveAll();
  afx_msg void OnMoveUp();
  afx_msg void OnMoveDown();
  afx_msg void OnPlay();
  afx_msg void OnConvert();
  afx_msg void OnListClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnListRightClick(NMHDR* pNMHDR, LRESULT* pResult);
  afx_msg void OnListKeyDown(NMHDR* pNMHDR, LRESULT* pResult);

  void SetUpButtons();
  void SetUpList();
  void UpdateStatus();
  // Moves the selected row by one place (-1 up, +1 down).
  void MoveSelected(int step);

  CString m_appTitle;                 // for the About box
  CListCtrl m_list;                   // 1003: path, duration, size
  HoverButton m_add, m_remove, m_convert, m_about, m_home, m_help, m_exit;  // 1000-1007
  HoverButton m_addSmall, m_removeSmall, m_removeAll, m_play, m_up, m_down; // 1008-1013
  CMPEGCreatorObj m_control;          // 1025, hidden: probes the added files
  ScanWaitDialog m_scan;              // 150, modeless, hidden at rest
  HICON m_icon = NULL;                // icon 128
  int m_selected = -1;                // the selected row, -1 = none
  HyperLinkStatic m_homeLink;         // opens the maker's page (no window)

  DECLARE_MESSAGE_MAP()
};
