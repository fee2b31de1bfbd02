// CDialog and dialog data exchange.
#include "mfc/win/dialog.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>

#include "mfc/win/app.h"
#include "mfc/win/internal.h"
#include "mfc/win/olecontrol.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)
IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

INT_PTR CALLBACK AfxDlgProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

// ---- CDialog -----------------------------------------------------------------

BEGIN_MESSAGE_MAP(CDialog, CWnd)
  ON_MESSAGE(WM_INITDIALOG, HandleInitDialog)
  ON_COMMAND(IDOK, OnOK)
  ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

CDialog::CDialog() = default;

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd)
    : m_lpszTemplateName(MAKEINTRESOURCEA(nIDTemplate)), m_pParentWnd(pParentWnd), m_nIDHelp(nIDTemplate) {}

CDialog::CDialog(LPCTSTR lpszTemplateName, CWnd* pParentWnd)
    : m_lpszTemplateName(lpszTemplateName), m_pParentWnd(pParentWnd) {
  if (IS_INTRESOURCE(lpszTemplateName)) m_nIDHelp = LOWORD(reinterpret_cast<ULONG_PTR>(lpszTemplateName));
}

CDialog::~CDialog() {
  if (m_hWnd != NULL && CWnd::FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  m_lpDialogTemplate = lpDialogTemplate;
  if (pParentWnd != NULL) m_pParentWnd = pParentWnd;
  return lpDialogTemplate != NULL;
}

LPCDLGTEMPLATE CDialog::LoadTemplate(LPCTSTR lpszTemplateName, HINSTANCE* phInst) {
  HINSTANCE hInst = AfxFindResourceHandle(lpszTemplateName, RT_DIALOG);
  if (hInst == NULL) return NULL;
  HRSRC hRes = ::FindResourceA(hInst, lpszTemplateName, RT_DIALOG);
  HGLOBAL hGlobal = hRes != NULL ? ::LoadResource(hInst, hRes) : NULL;
  if (hGlobal == NULL) return NULL;
  *phInst = hInst;
  return static_cast<LPCDLGTEMPLATE>(::LockResource(hGlobal));
}

HWND CDialog::PreModal() {
  HWND hWnd = m_pParentWnd->GetSafeHwnd();
  if (hWnd == NULL) {
    CWnd* pMain = AfxGetMainWnd();
    if (pMain != this) hWnd = pMain->GetSafeHwnd();
  }
  if (hWnd != NULL) hWnd = ::GetAncestor(hWnd, GA_ROOT);
  if (hWnd != NULL && (!::IsWindow(hWnd) || hWnd == m_hWnd)) hWnd = NULL;
  // A window of another thread cannot own our modal loop's dialog safely.
  if (hWnd != NULL && ::GetWindowThreadProcessId(hWnd, NULL) != ::GetCurrentThreadId()) hWnd = NULL;
  return hWnd;
}

void CDialog::PostModal() {}

BOOL CDialog::CreateDlgIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd, HINSTANCE hInst) {
  if (lpDialogTemplate == NULL || m_hWnd != NULL) return FALSE;
  quorbel_mfc::EnsureCommonControls();
  if (hInst == NULL) hInst = AfxGetResourceHandle();
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateDialogIndirectParamA(hInst, lpDialogTemplate, pParentWnd->GetSafeHwnd(), &AfxDlgProc, 0);
  AfxUnhookWindowCreate();
  if (hWnd == NULL) return FALSE;
  if (m_hWnd == NULL && ::IsWindow(hWnd)) SubclassWindow(hWnd);  // missed by the hook
  return m_hWnd == hWnd;
}

INT_PTR CDialog::DoModal() {
  HINSTANCE hInst = AfxGetResourceHandle();
  LPCDLGTEMPLATE lpTemplate = m_lpDialogTemplate;
  if (lpTemplate == NULL && m_lpszTemplateName != NULL) lpTemplate = LoadTemplate(m_lpszTemplateName, &hInst);
  if (lpTemplate == NULL) return -1;

  HWND hWndOwner = PreModal();
  BOOL bEnableOwner = FALSE;
  if (hWndOwner != NULL && ::IsWindowEnabled(hWndOwner)) {
    ::EnableWindow(hWndOwner, FALSE);
    bEnableOwner = TRUE;
  }
  m_nModalResult = -1;
  m_nFlags |= WF_CONTINUEMODAL;
  if (CreateDlgIndirect(lpTemplate, CWnd::FromHandle(hWndOwner), hInst)) {
    if (m_nFlags & WF_CONTINUEMODAL) RunModalLoop();
    if (m_hWnd != NULL)
      ::SetWindowPos(m_hWnd, NULL, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
  }
  m_nFlags &= ~(WF_CONTINUEMODAL | WF_MODALLOOP);
  // Give the owner back before the dialog goes, so activation returns to it.
  if (bEnableOwner) ::EnableWindow(hWndOwner, TRUE);
  if (hWndOwner != NULL && ::GetActiveWindow() == m_hWnd) ::SetActiveWindow(hWndOwner);
  DestroyWindow();
  PostModal();
  return m_nModalResult;
}

void CDialog::EndDialog(int nResult) {
  if (m_nFlags & (WF_MODALLOOP | WF_CONTINUEMODAL)) {
    EndModalLoop(nResult);
  } else {
    m_nModalResult = nResult;
    if (m_hWnd != NULL) ::EndDialog(m_hWnd, nResult);  // modeless: hides it
  }
}

BOOL CDialog::Create(LPCTSTR lpszTemplateName, CWnd* pParentWnd) {
  HINSTANCE hInst = NULL;
  LPCDLGTEMPLATE lpTemplate = LoadTemplate(lpszTemplateName, &hInst);
  if (lpTemplate == NULL) return FALSE;
  m_lpszTemplateName = lpszTemplateName;
  if (pParentWnd != NULL) m_pParentWnd = pParentWnd;
  return CreateDlgIndirect(lpTemplate, m_pParentWnd, hInst);
}

BOOL CDialog::CreateIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd) {
  if (pParentWnd != NULL) m_pParentWnd = pParentWnd;
  return CreateDlgIndirect(lpDialogTemplate, m_pParentWnd, AfxGetInstanceHandle());
}

LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM) {
  quorbel_mfc::CreateDialogControls(this);  // ActiveX controls of the template
  return OnInitDialog();
}

BOOL CDialog::OnInitDialog() {
  UpdateData(FALSE);
  return TRUE;
}

void CDialog::OnOK() {
  if (!UpdateData(TRUE)) return;
  EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

BOOL CDialog::PreTranslateMessage(MSG* pMsg) {
  // Keyboard and mouse input only: the dialog manager's navigation.
  if ((pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST) &&
      (pMsg->message < WM_MOUSEFIRST || pMsg->message > WM_MOUSELAST))
    return FALSE;
  return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CCommonDialog::OnInitDialog() { return static_cast<BOOL>(Default()); }
void CCommonDialog::OnOK() { Default(); }
void CCommonDialog::OnCancel() { Default(); }

// ---- Data exchange -------------------------------------------------------------------

CDataExchange::CDataExchange(CWnd* pDlgWnd, BOOL bSaveAndValidate)
    : m_bSaveAndValidate(bSaveAndValidate), m_pDlgWnd(pDlgWnd) {}

HWND CDataExchange::PrepareCtrl(int nIDC) {
  HWND hWndCtrl = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
  ASSERT(hWndCtrl != NULL);
  m_idLastControl = nIDC;
  m_bEditLastControl = FALSE;
  return hWndCtrl;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC) {
  HWND hWndCtrl = PrepareCtrl(nIDC);
  m_bEditLastControl = TRUE;
  return hWndCtrl;
}

void CDataExchange::Fail() {
  if (m_bSaveAndValidate && m_idLastControl != 0) {
    HWND hWndLast = ::GetDlgItem(m_pDlgWnd->m_hWnd, m_idLastControl);
    if (hWndLast != NULL) {
      ::SetFocus(hWndLast);
      if (m_bEditLastControl) ::SendMessageA(hWndLast, EM_SETSEL, 0, -1);
    }
  }
  throw quorbel_mfc::DataExchangeFailure();
}

namespace {

CString ControlText(HWND hWnd) {
  CString text;
  int length = ::GetWindowTextLengthA(hWnd);
  char* buffer = text.GetBuffer(length + 1);
  int got = ::GetWindowTextA(hWnd, buffer, length + 1);
  text.ReleaseBuffer(got < 0 ? 0 : got);
  return text;
}

// A whole-text integer: optional sign, digits, surrounding blanks; nothing else.
bool ParseLong(const CString& text, long long& value) {
  CString t = text;
  t.Trim();
  if (t.IsEmpty()) return false;
  char* end = NULL;
  errno = 0;
  value = std::strtoll(t, &end, 10);
  return errno == 0 && end != NULL && *end == '\0';
}

}  // namespace

void AFXAPI DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl) {
  if (rControl.m_hWnd != NULL) return;
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  VERIFY(rControl.SubclassWindow(hWndCtrl));
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate)
    value = ControlText(hWndCtrl);
  else
    ::SetWindowTextA(hWndCtrl, value);
}

namespace {

template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, long long lo, long long hi, const char* format) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate) {
    long long parsed = 0;
    if (!ParseLong(ControlText(hWndCtrl), parsed) || parsed < lo || parsed > hi) {
      AfxMessageBox(lo < 0 ? "Please enter an integer." : "Please enter a positive integer.", MB_ICONEXCLAMATION);
      pDX->Fail();
    }
    value = static_cast<T>(parsed);
  } else {
    char buffer[32];
    std::snprintf(buffer, sizeof(buffer), format, value);
    ::SetWindowTextA(hWndCtrl, buffer);
  }
}

}  // namespace

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, int& value) {
  ExchangeInteger(pDX, nIDC, value, INT_MIN, INT_MAX, "%d");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, UINT& value) {
  ExchangeInteger(pDX, nIDC, value, 0, UINT_MAX, "%u");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, long& value) {
  ExchangeInteger(pDX, nIDC, value, LONG_MIN, LONG_MAX, "%ld");
}

void AFXAPI DDX_Text(CDataExchange* pDX, int nIDC, double& value) {
  HWND hWndCtrl = pDX->PrepareEditCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate) {
    CString t = ControlText(hWndCtrl);
    t.Trim();
    char* end = NULL;
    double parsed = std::strtod(t, &end);
    if (t.IsEmpty() || end == NULL || *end != '\0') {
      AfxMessageBox("Please enter a number.", MB_ICONEXCLAMATION);
      pDX->Fail();
    }
    value = parsed;
  } else {
    char buffer[64];
    std::snprintf(buffer, sizeof(buffer), "%.*g", 15, value);
    ::SetWindowTextA(hWndCtrl, buffer);
  }
}

void AFXAPI DDX_Check(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate) {
    value = static_cast<int>(::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0));
  } else {
    if (value < 0 || value > 2) value = 0;  // not a check state
    ::SendMessageA(hWndCtrl, BM_SETCHECK, static_cast<WPARAM>(value), 0);
  }
}

void AFXAPI DDX_Radio(CDataExchange* pDX, int nIDC, int& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  ASSERT(::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP);
  if (pDX->m_bSaveAndValidate) value = -1;
  int iButton = 0;
  do {
    if (::SendMessageA(hWndCtrl, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) {
      if (pDX->m_bSaveAndValidate) {
        if (::SendMessageA(hWndCtrl, BM_GETCHECK, 0, 0) != 0) value = iButton;
      } else {
        ::SendMessageA(hWndCtrl, BM_SETCHECK, iButton == value, 0);
      }
      ++iButton;
    }
    hWndCtrl = ::GetWindow(hWndCtrl, GW_HWNDNEXT);
  } while (hWndCtrl != NULL && !(::GetWindowLongPtrA(hWndCtrl, GWL_STYLE) & WS_GROUP));
}

void AFXAPI DDX_CBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(hWndCtrl, CB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(hWndCtrl, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDX_CBString(CDataExchange* pDX, int nIDC, CString& value) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate) {
    value = ControlText(hWndCtrl);
  } else if (::SendMessageA(hWndCtrl, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                            reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(value))) == CB_ERR) {
    ::SetWindowTextA(hWndCtrl, value);  // not in the list: the edit part shows it
  }
}

void AFXAPI DDX_LBIndex(CDataExchange* pDX, int nIDC, int& index) {
  HWND hWndCtrl = pDX->PrepareCtrl(nIDC);
  if (hWndCtrl == NULL) return;
  if (pDX->m_bSaveAndValidate)
    index = static_cast<int>(::SendMessageA(hWndCtrl, LB_GETCURSEL, 0, 0));
  else
    ::SendMessageA(hWndCtrl, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void AFXAPI DDV_MaxChars(CDataExchange* pDX, const CString& value, int nChars) {
  if (pDX->m_bSaveAndValidate) {
    if (value.GetLength() > nChars) {
      CString message;
      message.Format("Please enter no more than %d characters.", nChars);
      AfxMessageBox(message, MB_ICONEXCLAMATION);
      pDX->Fail();
    }
  } else if (pDX->m_idLastControl != 0 && pDX->m_bEditLastControl) {
    HWND hWndLast = ::GetDlgItem(pDX->m_pDlgWnd->m_hWnd, pDX->m_idLastControl);
    char cls[16] = "";
    ::GetClassNameA(hWndLast, cls, sizeof(cls));
    ::SendMessageA(hWndLast, lstrcmpiA(cls, "ComboBox") == 0 ? CB_LIMITTEXT : EM_LIMITTEXT,
                   static_cast<WPARAM>(nChars), 0);
  }
}

void AFXAPI DDV_MinMaxInt(CDataExchange* pDX, int value, int minVal, int maxVal) {
  if (!pDX->m_bSaveAndValidate || (value >= minVal && value <= maxVal)) return;
  CString message;
  message.Format("Please enter an integer between %d and %d.", minVal, maxVal);
  AfxMessageBox(message, MB_ICONEXCLAMATION);
  pDX->Fail();
}
