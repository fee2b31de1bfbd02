// CDialog: modal (DoModal, with its own message loop) and modeless
// (Create) dialogs from a resource template or an in-memory DLGTEMPLATE,
// and dialog data exchange between member variables and controls.
#pragma once

#include <windows.h>

#include "mfc/string.h"
#include "mfc/win/wnd.h"

// One pass of DoDataExchange: controls to members (m_bSaveAndValidate) or
// members to controls. A failed check ends the pass through Fail.
class CDataExchange {
public:
  CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate);

  BOOL m_bSaveAndValidate;   // TRUE: read the controls into the members
  CWnd* m_pDlgWnd;           // the dialog
  int m_idLastControl = 0;   // the control handled last (where Fail sets the focus)
  BOOL m_bEditLastControl = FALSE;  // that control is an edit

  // The control's window; the control must exist.
  HWND PrepareCtrl(int nIDC);
  HWND PrepareEditCtrl(int nIDC);
  // Ends the exchange: the focus goes to the last control, UpdateData returns FALSE.
  [[noreturn]] void Fail();
};

// Control subclassing and value exchange.
void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value);
void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value);
void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value);
// The radio group starting at nIDC (a WS_GROUP control): index of the
// checked button, -1 when none.
void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value);
void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index);
void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value);
void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index);
// Checks on saving; when loading, DDV_MaxChars limits the edit instead.
void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars);
void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal);

class CDialog : public CWnd {
  DECLARE_DYNAMIC(CDialog)
public:
  CDialog();
  explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = NULL);
  explicit CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
  ~CDialog() override;

  // Modal: from the template given at construction or by InitModalIndirect.
  BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);
  // Runs the dialog until EndDialog; the result given there, or -1 when
  // the dialog could not be created.
  virtual INT_PTR DoModal();
  void EndDialog(int nResult);

  // Modeless.
  virtual BOOL Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd = NULL);
  virtual BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = NULL) {
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
  }
  virtual BOOL CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = NULL);

  virtual BOOL OnInitDialog();
  virtual void OnOK();
  virtual void OnCancel();
  BOOL PreTranslateMessage(MSG* pMsg) override;

  void NextDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 0, 0); }
  void PrevDlgCtrl() const { ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, 1, 0); }
  void GotoDlgCtrl(CWnd* pWndCtrl) {
    ::SendMessageA(m_hWnd, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(pWndCtrl->GetSafeHwnd()), 1);
  }
  void SetDefID(UINT nID) { ::SendMessageA(m_hWnd, DM_SETDEFID, nID, 0); }
  DWORD GetDefID() const { return static_cast<DWORD>(::SendMessageA(m_hWnd, DM_GETDEFID, 0, 0)); }
  void MapDialogRect(LPRECT lpRect) const { ::MapDialogRect(m_hWnd, lpRect); }

  // Template of a modal dialog: by name or id, or in memory.
  LPCTSTR m_lpszTemplateName = NULL;
  LPCDLGTEMPLATE m_lpDialogTemplate = NULL;
  CWnd* m_pParentWnd = NULL;
  UINT m_nIDHelp = 0;

protected:
  // The owner a modal dialog disables: the parent's (or else the main
  // window's) top-level window, or NULL.
  virtual HWND PreModal();
  virtual void PostModal();
  // Creates the window from a template; attaches this object to it before
  // WM_INITDIALOG.
  BOOL CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst);
  afx_msg LRESULT HandleInitDialog(WPARAM wParam, LPARAM lParam);
  // Finds a template resource, in the resource handle or the executable.
  static LPCDLGTEMPLATE LoadTemplate(LPCTSTR lpszTemplateName, HINSTANCE* phInst);

  DECLARE_MESSAGE_MAP()
};

// Base of the system's common dialogs.
// The system runs these dialogs: initialisation, OK and Cancel are left
// to its own procedure.
class CCommonDialog : public CDialog {
  DECLARE_DYNAMIC(CCommonDialog)
public:
  explicit CCommonDialog(CWnd* pParentWnd) : CDialog() { m_pParentWnd = pParentWnd; }
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnCancel() override;
};

// Dialog procedure of the layer's dialogs: every message goes through the
// window's CWnd first; the dialog manager sees nothing of its own.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
