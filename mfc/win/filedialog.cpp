// CFileDialog: the system's file dialog with the object hooked in.
#include "mfc/win/filedialog.h"

#include <cstring>

#include "mfc/win/app.h"
#include "mfc/win/internal.h"

IMPLEMENT_DYNAMIC(CFileDialog, CCommonDialog)

namespace {

// Ties the hook's window to its CFileDialog after WM_INITDIALOG.
const char kFileDialogProp[] = "QuorbelFileDialog";

}  // namespace

void AFXAPI AfxSetCurrentCommonDialog(CCommonDialog* pDialog) {
  quorbel_mfc::GetThreadState().pCommonDialog = pDialog;
}

CCommonDialog* AFXAPI AfxGetCurrentCommonDialog() { return quorbel_mfc::GetThreadState().pCommonDialog; }

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                         LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CCommonDialog(pParentWnd), m_bOpenFileDialog(bOpenFileDialog) {
  std::memset(&m_ofn, 0, sizeof(m_ofn));
  m_szFileName[0] = '\0';
  m_szFileTitle[0] = '\0';
  m_ofn.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  m_ofn.lpstrFile = m_szFileName;
  m_ofn.nMaxFile = MAX_PATH;
  m_ofn.lpstrFileTitle = m_szFileTitle;
  m_ofn.nMaxFileTitle = sizeof(m_szFileTitle);
  m_ofn.Flags = dwFlags | OFN_ENABLEHOOK | OFN_EXPLORER;
  m_ofn.lpfnHook = &CFileDialog::HookProc;
  m_ofn.lCustData = reinterpret_cast<LPARAM>(this);
  m_ofn.hInstance = AfxGetInstanceHandle();
  if (lpszDefExt != NULL) {
    m_strDefExt = lpszDefExt;
    m_ofn.lpstrDefExt = m_strDefExt;
  }
  if (lpszFileName != NULL) lstrcpynA(m_szFileName, lpszFileName, MAX_PATH);
  if (lpszFilter != NULL) {
    // "text|pattern|...|" to "text\0pattern\0...\0\0".
    m_strFilter = lpszFilter;
    for (char& c : m_strFilter) {
      if (c == '|') c = '\0';
    }
    m_strFilter.push_back('\0');
    m_ofn.lpstrFilter = m_strFilter.c_str();
  }
}

CFileDialog::~CFileDialog() = default;

void CFileDialog::HookSystemDialog(bool explorer) {
  if (explorer)
    AfxSetCurrentCommonDialog(this);
  else
    AfxHookWindowCreate(this);
}

void CFileDialog::UnhookSystemDialog(bool explorer) {
  if (explorer)
    AfxSetCurrentCommonDialog(NULL);
  else
    AfxUnhookWindowCreate();
  // The system destroyed its window, which detached us; be sure.
  if (m_hWnd != NULL) UnsubclassWindow();
  m_hWndHookChild = NULL;
}

INT_PTR CFileDialog::DoModal() {
  m_ofn.hwndOwner = PreModal();
  bool explorer = (m_ofn.Flags & OFN_EXPLORER) != 0;
  HookSystemDialog(explorer);
  m_pofnTemp = &m_ofn;
  BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofn) : ::GetSaveFileNameA(&m_ofn);
  m_pofnTemp = NULL;
  UnhookSystemDialog(explorer);
  PostModal();
  return ok ? IDOK : IDCANCEL;
}

UINT_PTR CALLBACK CFileDialog::HookProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    CFileDialog* pDlg = dynamic_cast<CFileDialog*>(AfxGetCurrentCommonDialog());
    const OPENFILENAMEA* ofn = reinterpret_cast<const OPENFILENAMEA*>(lParam);
    if (pDlg == NULL && ofn != NULL) pDlg = reinterpret_cast<CFileDialog*>(ofn->lCustData);
    if (pDlg == NULL) return TRUE;
    if (pDlg->m_ofn.Flags & OFN_EXPLORER) {
      // The hook runs a child of the real dialog: attach to the real one.
      pDlg->m_hWndHookChild = hWnd;
      if (pDlg->m_hWnd == NULL) pDlg->SubclassWindow(::GetParent(hWnd));
    }
    ::SetPropA(hWnd, kFileDialogProp, pDlg);
    return TRUE;
  }
  CFileDialog* pDlg = static_cast<CFileDialog*>(::GetPropA(hWnd, kFileDialogProp));
  if (pDlg == NULL) return 0;
  if (message == WM_NOTIFY) {
    LRESULT result = 0;
    if (pDlg->OnNotify(wParam, lParam, &result)) {
      ::SetWindowLongPtrA(hWnd, DWLP_MSGRESULT, result);
      return TRUE;
    }
    return 0;
  }
  if (message == WM_DESTROY) ::RemovePropA(hWnd, kFileDialogProp);
  return 0;
}

BOOL CFileDialog::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  OFNOTIFYA* notify = reinterpret_cast<OFNOTIFYA*>(lParam);
  switch (notify->hdr.code) {
    case CDN_INITDONE:
      OnInitDone();
      return TRUE;
    case CDN_SELCHANGE:
      OnFileNameChange();
      return TRUE;
    case CDN_FOLDERCHANGE:
      OnFolderChange();
      return TRUE;
    case CDN_TYPECHANGE:
      OnTypeChange();
      return TRUE;
    case CDN_FILEOK:
      *pResult = OnFileNameOK();
      return TRUE;
    case CDN_SHAREVIOLATION:
      *pResult = OnShareViolation(notify->pszFile);
      return TRUE;
    default:
      return CCommonDialog::OnNotify(wParam, lParam, pResult);
  }
}

BOOL CFileDialog::OnFileNameOK() { return FALSE; }
void CFileDialog::OnInitDone() {}
void CFileDialog::OnFileNameChange() {}
void CFileDialog::OnFolderChange() {}
void CFileDialog::OnTypeChange() {}
UINT CFileDialog::OnShareViolation(LPCTSTR) { return OFN_SHAREWARN; }
void CFileDialog::OnLBSelChangedNotify(UINT, UINT, UINT) {}

namespace {

// Length of the NUL-terminated text at p, not reading past end.
size_t BoundedLength(const char* p, const char* end) {
  const char* q = p;
  while (q < end && *q != '\0') ++q;
  return static_cast<size_t>(q - p);
}

}  // namespace

CString CFileDialog::GetPathName() const {
  if (m_hWnd != NULL && (m_ofn.Flags & OFN_EXPLORER)) {
    char path[MAX_PATH * 4] = "";
    LRESULT got = ::SendMessageA(m_hWnd, CDM_GETFILEPATH, sizeof(path), reinterpret_cast<LPARAM>(path));
    if (got > 0) return CString(path);
  }
  if (m_ofn.lpstrFile == NULL) return CString();
  return CString(m_ofn.lpstrFile, static_cast<int>(BoundedLength(m_ofn.lpstrFile, m_ofn.lpstrFile + m_ofn.nMaxFile)));
}

CString CFileDialog::GetFileName() const {
  CString path = GetPathName();
  int slash = path.ReverseFind('\\');
  return slash >= 0 ? path.Mid(slash + 1) : path;
}

CString CFileDialog::GetFileExt() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Mid(dot + 1) : CString();
}

CString CFileDialog::GetFileTitle() const {
  CString name = GetFileName();
  int dot = name.ReverseFind('.');
  return dot >= 0 ? name.Left(dot) : name;
}

POSITION CFileDialog::GetStartPosition() const {
  if (m_ofn.lpstrFile == NULL || m_ofn.nMaxFile == 0 || m_ofn.lpstrFile[0] == '\0') return NULL;
  return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

CString CFileDialog::GetNextPathName(POSITION& pos) const {
  const char* buffer = m_ofn.lpstrFile;
  const char* end = buffer + m_ofn.nMaxFile;
  const char* p = reinterpret_cast<const char*>(pos);
  if (p == NULL || p < buffer || p >= end) {
    pos = NULL;
    return CString();
  }
  size_t firstLength = BoundedLength(buffer, end);
  if (p == buffer) {
    // One file: the whole text is its path. Several (explorer style): the
    // folder, then the names, each NUL-terminated, then an empty one.
    const char* second = buffer + firstLength + 1;
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT) || second >= end || *second == '\0') {
      pos = NULL;
      return CString(buffer, static_cast<int>(firstLength));
    }
    p = second;
  }
  size_t nameLength = BoundedLength(p, end);
  const char* next = p + nameLength + 1;
  pos = next < end && *next != '\0' ? reinterpret_cast<POSITION>(const_cast<char*>(next)) : NULL;
  CString path(buffer, static_cast<int>(firstLength));
  if (path.IsEmpty() || path[path.GetLength() - 1] != '\\') path += '\\';
  path += CString(p, static_cast<int>(nameLength));
  return path;
}

CString CFileDialog::GetFolderPath() const {
  char path[MAX_PATH * 4] = "";
  if (m_hWnd == NULL) return CString();
  LRESULT got = ::SendMessageA(m_hWnd, CDM_GETFOLDERPATH, sizeof(path), reinterpret_cast<LPARAM>(path));
  return got > 0 ? CString(path) : CString();
}

void CFileDialog::SetControlText(int nID, LPCTSTR lpsz) {
  ::SendMessageA(m_hWnd, CDM_SETCONTROLTEXT, nID, reinterpret_cast<LPARAM>(lpsz));
}

void CFileDialog::HideControl(int nID) { ::SendMessageA(m_hWnd, CDM_HIDECONTROL, nID, 0); }

void CFileDialog::SetDefExt(LPCSTR lpsz) { ::SendMessageA(m_hWnd, CDM_SETDEFEXT, 0, reinterpret_cast<LPARAM>(lpsz)); }
