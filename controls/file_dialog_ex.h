// CFileDialogEx: the framework's file dialog run with the larger
// open-file-name record of Windows 2000 and later (the one that carries
// the places bar), so the system shows its newer dialog. Everything else
// (filters, multiple selection, reading the names) is the base's.
#pragma once

#include <cstddef>

#include "mfc/mfc.h"

class CFileDialogEx : public CFileDialog {
  DECLARE_DYNAMIC(CFileDialogEx)
public:
  explicit CFileDialogEx(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = NULL, LPCTSTR lpszFileName = NULL,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, LPCTSTR lpszFilter = NULL,
                         CWnd* pParentWnd = NULL);

  // IDOK, or IDCANCEL when the user cancelled or the dialog failed. A
  // multiple selection larger than the name buffer (refused by the system,
  // or cut short by it) yields no names: the user is told, and GetError
  // gives FNERR_BUFFERTOOSMALL.
  INT_PTR DoModal() override;

  // The common dialog error of the last DoModal (0 when none).
  DWORD GetError() const { return m_dwError; }
  // The record size the last DoModal handed to the system.
  DWORD GetRecordSizeUsed() const { return m_dwRecordSizeUsed; }

  // The NT family from major version 5 on (asks with the extended version
  // record, falling back to the plain one).
  static BOOL QueryWindows2000OrLater();

  // The record as the system sees it: the base record followed by the
  // reserved fields and the extended flags.
  OPENFILENAMEA m_ofnEx;

protected:
  // Whether the larger record is used; tests may answer otherwise.
  virtual BOOL IsWindows2000OrLater() const { return QueryWindows2000OrLater(); }
  // Tells the user that the selection did not fit the name buffer.
  virtual void ReportBufferTooSmall();
  // The name list in the buffer was cut short (no terminator within it).
  BOOL NameListTruncated() const;

  BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
  BOOL OnFileNameOK() override;
  void OnInitDone() override;
  void OnFileNameChange() override;
  void OnFolderChange() override;
  void OnTypeChange() override;

  DWORD m_dwError = 0;
  DWORD m_dwRecordSizeUsed = 0;
};

// The size of the record before the places bar fields (the base record).
#define QUORBEL_OFN_BASE_SIZE (offsetof(OPENFILENAMEA, lpTemplateName) + sizeof(LPCSTR))

#if defined(_WIN32) && !defined(_WIN64)
static_assert(QUORBEL_OFN_BASE_SIZE == 76, "base open-file-name record is 76 bytes");
static_assert(sizeof(OPENFILENAMEA) == 88, "extended open-file-name record is 88 bytes");
#endif
