// CFileDialog: the system's open/save dialog run with a hook, so that the
// object hears its notifications (OnInitDone, OnFileNameChange,
// OnFolderChange, OnTypeChange, OnFileNameOK) and can steer the running
// dialog. In the explorer style the object is attached to the dialog's own
// window (the parent of the hook's child dialog) from WM_INITDIALOG on.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include <string>

#include "mfc/string.h"
#include "mfc/win/dialog.h"

class CFileDialog : public CCommonDialog {
  DECLARE_DYNAMIC(CFileDialog)
public:
  // lpszFilter: pairs of "text|patterns|" ending in "|"; '|' become NULs.
  explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                       DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       LPCTSTR lpszFilter = NULL, CWnd* pParentWnd = NULL);
  ~CFileDialog() override;

  // IDOK, or IDCANCEL when cancelled or failed (CommDlgExtendedError tells).
  INT_PTR DoModal() override;

  // The record handed to the system. lStructSize is the older, smaller
  // size (no places bar); m_ofn.lpstrFile points at m_szFileName unless the
  // caller gives a larger buffer.
  OPENFILENAMEA m_ofn;
  OPENFILENAMEA& GetOFN() { return m_ofn; }

  // Results (after IDOK) or, while the dialog runs, its current state.
  CString GetPathName() const;
  CString GetFileName() const;
  CString GetFileExt() const;
  CString GetFileTitle() const;
  BOOL GetReadOnlyPref() const { return (m_ofn.Flags & OFN_READONLY) != 0; }
  // Multiple selection: iterate the chosen paths.
  POSITION GetStartPosition() const;
  CString GetNextPathName(POSITION& pos) const;

  // Only while the explorer-style dialog runs.
  CString GetFolderPath() const;
  void SetControlText(int nID, LPCTSTR lpsz);
  void HideControl(int nID);
  void SetDefExt(LPCSTR lpsz);

  // The hook's window: the explorer dialog's child (NULL outside DoModal).
  HWND m_hWndHookChild = NULL;

protected:
  // Notifications of the running dialog; the defaults accept and do nothing.
  // OnFileNameOK: non-zero keeps the dialog open.
  virtual BOOL OnFileNameOK();
  virtual void OnInitDone();
  virtual void OnFileNameChange();
  virtual void OnFolderChange();
  virtual void OnTypeChange();
  virtual UINT OnShareViolation(LPCTSTR lpszPathName);
  virtual void OnLBSelChangedNotify(UINT nIDBox, UINT iCurSel, UINT nCode);

  // CDN_ notifications from the hook end here (the hook calls it with the
  // child dialog's WM_NOTIFY).
  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;

  // Around the system's dialog: the hook that attaches this object to the
  // window the system makes (explorer style: through the current common
  // dialog), and after it the undoing of both.
  void HookSystemDialog(bool explorer);
  void UnhookSystemDialog(bool explorer);

  BOOL m_bOpenFileDialog;
  std::string m_strFilter;       // the filter with NUL separators
  CString m_strDefExt;
  TCHAR m_szFileName[MAX_PATH];  // default name buffer
  TCHAR m_szFileTitle[64];
  const OPENFILENAMEA* m_pofnTemp = NULL;  // the record the system uses, while it runs

public:
  // Hook procedure installed in m_ofn.lpfnHook.
  static UINT_PTR CALLBACK HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
};

// The common dialog the calling thread is about to run: its hook attaches
// that object to the explorer-style dialog. Set before GetOpenFileName /
// GetSaveFileName, cleared after.
void AFXAPI AfxSetCurrentCommonDialog(CCommonDialog* pDialog);
CCommonDialog* AFXAPI AfxGetCurrentCommonDialog();
