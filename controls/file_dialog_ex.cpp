// CFileDialogEx: runs the system dialog with the extended record and keeps
// the base record in step for the framework's handlers.
#include "controls/file_dialog_ex.h"

#include <cderr.h>

#include <cstring>

IMPLEMENT_DYNAMIC(CFileDialogEx, CFileDialog)

CFileDialogEx::CFileDialogEx(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName, DWORD dwFlags,
                             LPCTSTR lpszFilter, CWnd* pParentWnd)
    : CFileDialog(bOpenFileDialog, lpszDefExt, lpszFileName, dwFlags, lpszFilter, pParentWnd) {
  std::memset(&m_ofnEx, 0, sizeof(m_ofnEx));
}

BOOL CFileDialogEx::QueryWindows2000OrLater() {
  OSVERSIONINFOEXA extended = {};
  extended.dwOSVersionInfoSize = sizeof(extended);
  OSVERSIONINFOA& info = reinterpret_cast<OSVERSIONINFOA&>(extended);
  if (!::GetVersionExA(&info)) {
    // Systems before NT 4 SP6 know only the plain record.
    std::memset(&extended, 0, sizeof(extended));
    info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
    if (!::GetVersionExA(&info)) return FALSE;
  }
  return info.dwPlatformId == VER_PLATFORM_WIN32_NT && info.dwMajorVersion > 4;
}

INT_PTR CFileDialogEx::DoModal() {
  m_dwError = 0;
  // Whatever followed the initial name in the buffer must not read as
  // further names.
  if (m_ofn.lpstrFile != NULL && m_ofn.nMaxFile > 0) {
    DWORD first = 0;
    while (first < m_ofn.nMaxFile && m_ofn.lpstrFile[first] != '\0') ++first;
    if (first < m_ofn.nMaxFile) std::memset(m_ofn.lpstrFile + first, 0, m_ofn.nMaxFile - first);
  }

  HWND hWndFocus = ::GetFocus();
  HWND hWndOwner = PreModal();
  m_ofn.hwndOwner = hWndOwner;
  BOOL bEnableOwner = FALSE;
  if (hWndOwner != NULL && ::IsWindowEnabled(hWndOwner)) {
    ::EnableWindow(hWndOwner, FALSE);
    bEnableOwner = TRUE;
  }
  bool explorer = (m_ofn.Flags & OFN_EXPLORER) != 0;
  HookSystemDialog(explorer);

  std::memset(&m_ofnEx, 0, sizeof(m_ofnEx));
  std::memcpy(&m_ofnEx, &m_ofn, QUORBEL_OFN_BASE_SIZE);
  m_ofnEx.lStructSize = static_cast<DWORD>(IsWindows2000OrLater() ? sizeof(OPENFILENAMEA) : QUORBEL_OFN_BASE_SIZE);
  m_dwRecordSizeUsed = m_ofnEx.lStructSize;

  m_pofnTemp = &m_ofnEx;
  BOOL ok = m_bOpenFileDialog ? ::GetOpenFileNameA(&m_ofnEx) : ::GetSaveFileNameA(&m_ofnEx);
  if (!ok) m_dwError = ::CommDlgExtendedError();
  m_pofnTemp = NULL;
  if (ok && NameListTruncated()) {
    // A system that fills the buffer with a cut list and calls it success
    // would hand out broken names: treat it as the failure it is.
    ok = FALSE;
    m_dwError = FNERR_BUFFERTOOSMALL;
    std::memset(m_ofnEx.lpstrFile, 0, m_ofnEx.nMaxFile);
  }

  std::memcpy(&m_ofn, &m_ofnEx, QUORBEL_OFN_BASE_SIZE);
  m_ofn.lStructSize = static_cast<DWORD>(QUORBEL_OFN_BASE_SIZE);
  UnhookSystemDialog(explorer);
  if (bEnableOwner) ::EnableWindow(hWndOwner, TRUE);
  if (hWndFocus != NULL && ::IsWindow(hWndFocus)) ::SetFocus(hWndFocus);
  PostModal();

  if (m_dwError == FNERR_BUFFERTOOSMALL) ReportBufferTooSmall();
  return ok ? IDOK : IDCANCEL;
}

BOOL CFileDialogEx::NameListTruncated() const {
  const char* buffer = m_ofnEx.lpstrFile;
  DWORD size = m_ofnEx.nMaxFile;
  if (buffer == NULL || size == 0) return FALSE;
  // Walk the NUL-terminated names; a list of several ends with an empty one.
  DWORD at = 0;
  int names = 0;
  for (;;) {
    DWORD end = at;
    while (end < size && buffer[end] != '\0') ++end;
    if (end == size) return TRUE;  // a name without its terminator
    if (end == at) return FALSE;   // the closing empty name
    ++names;
    at = end + 1;
    if (at == size) return names > 1 && (m_ofnEx.Flags & OFN_ALLOWMULTISELECT) != 0;
  }
}

void CFileDialogEx::ReportBufferTooSmall() {
  AfxMessageBox("Too many files were selected at once.\nPlease select fewer files and try again.",
                MB_OK | MB_ICONEXCLAMATION);
}

BOOL CFileDialogEx::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) {
  // The framework's handlers read the base record: give them the running
  // dialog's state.
  std::memcpy(&m_ofn, &m_ofnEx, QUORBEL_OFN_BASE_SIZE);
  m_ofn.lStructSize = static_cast<DWORD>(QUORBEL_OFN_BASE_SIZE);
  return CFileDialog::OnNotify(wParam, lParam, pResult);
}

BOOL CFileDialogEx::OnFileNameOK() { return CFileDialog::OnFileNameOK(); }
void CFileDialogEx::OnInitDone() { CFileDialog::OnInitDone(); }
void CFileDialogEx::OnFileNameChange() { CFileDialog::OnFileNameChange(); }
void CFileDialogEx::OnFolderChange() { CFileDialog::OnFolderChange(); }
void CFileDialogEx::OnTypeChange() { CFileDialog::OnTypeChange(); }
