// CString: the suite's char-based text value. Every index and count argument
// is clamped into the text, so no member reads or writes outside it.
#pragma once

#include <cstdarg>
#include <string>

#include "mfc/types.h"

class CString {
public:
  CString() = default;
  CString(const CString& other) = default;
  CString(CString&& other) noexcept = default;
  CString(LPCTSTR psz);                   // NULL gives an empty text
  CString(LPCTSTR pch, int nLength);      // stops early at a NUL
  CString(TCHAR ch, int nRepeat = 1);
  ~CString() = default;

  CString& operator=(const CString& other) = default;
  CString& operator=(CString&& other) noexcept = default;
  CString& operator=(LPCTSTR psz);
  CString& operator=(TCHAR ch);

  // Size and access.
  int GetLength() const { return static_cast<int>(m_str.size()); }
  BOOL IsEmpty() const { return m_str.empty(); }
  void Empty() { m_str.clear(); }
  TCHAR GetAt(int nIndex) const;          // 0 outside the text
  void SetAt(int nIndex, TCHAR ch);       // ignored outside the text
  TCHAR operator[](int nIndex) const { return GetAt(nIndex); }
  operator LPCTSTR() const { return m_str.c_str(); }
  LPCTSTR GetString() const { return m_str.c_str(); }

  // Appending.
  CString& operator+=(const CString& s);
  CString& operator+=(LPCTSTR psz);
  CString& operator+=(TCHAR ch);

  // Comparison: below 0, 0 or above 0. NoCase folds ASCII letters only.
  int Compare(LPCTSTR psz) const;
  int CompareNoCase(LPCTSTR psz) const;

  // Extraction; out-of-range arguments give the part that exists.
  CString Mid(int nFirst) const;
  CString Mid(int nFirst, int nCount) const;
  CString Left(int nCount) const;
  CString Right(int nCount) const;

  // In-place changes.
  CString& MakeUpper();
  CString& MakeLower();
  CString& MakeReverse();
  CString& TrimLeft();                    // white space
  CString& TrimLeft(TCHAR chTarget);
  CString& TrimLeft(LPCTSTR pszTargets);
  CString& TrimRight();
  CString& TrimRight(TCHAR chTarget);
  CString& TrimRight(LPCTSTR pszTargets);
  CString& Trim();
  CString& Trim(TCHAR chTarget);
  CString& Trim(LPCTSTR pszTargets);

  int Replace(TCHAR chOld, TCHAR chNew);            // count replaced
  int Replace(LPCTSTR pszOld, LPCTSTR pszNew);      // count replaced
  int Remove(TCHAR ch);                             // count removed
  int Insert(int nIndex, TCHAR ch);                 // new length
  int Insert(int nIndex, LPCTSTR psz);              // new length
  int Delete(int nIndex, int nCount = 1);           // new length

  // Searching: index or -1.
  int Find(TCHAR ch, int nStart = 0) const;
  int Find(LPCTSTR pszSub, int nStart = 0) const;
  int ReverseFind(TCHAR ch) const;
  int FindOneOf(LPCTSTR pszCharSet) const;

  // printf formatting of any length.
  void Format(LPCTSTR pszFormat, ...) QUORBEL_PRINTF_LIKE(2, 3);
  void FormatV(LPCTSTR pszFormat, va_list args);

  // Direct writing: the buffer holds at least nMinBufLength characters plus
  // a terminating NUL. ReleaseBuffer(-1) takes the length up to the first NUL.
  LPTSTR GetBuffer(int nMinBufLength);
  LPTSTR GetBuffer() { return GetBuffer(0); }
  LPTSTR GetBufferSetLength(int nNewLength);
  void ReleaseBuffer(int nNewLength = -1);
  void FreeExtra() { m_str.shrink_to_fit(); }

  // Loads a string resource; defined by the Windows part of the layer.
  BOOL LoadString(UINT nID);

private:
  std::string m_str;
};

CString operator+(const CString& a, const CString& b);
CString operator+(const CString& a, LPCTSTR b);
CString operator+(LPCTSTR a, const CString& b);
CString operator+(const CString& a, TCHAR b);
CString operator+(TCHAR a, const CString& b);

inline bool operator==(const CString& a, const CString& b) { return a.Compare(b) == 0; }
inline bool operator==(const CString& a, LPCTSTR b) { return a.Compare(b) == 0; }
inline bool operator==(LPCTSTR a, const CString& b) { return b.Compare(a) == 0; }
inline bool operator!=(const CString& a, const CString& b) { return a.Compare(b) != 0; }
inline bool operator!=(const CString& a, LPCTSTR b) { return a.Compare(b) != 0; }
inline bool operator!=(LPCTSTR a, const CString& b) { return b.Compare(a) != 0; }
inline bool operator<(const CString& a, const CString& b) { return a.Compare(b) < 0; }
inline bool operator<(const CString& a, LPCTSTR b) { return a.Compare(b) < 0; }
inline bool operator<(LPCTSTR a, const CString& b) { return b.Compare(a) > 0; }
inline bool operator>(const CString& a, const CString& b) { return a.Compare(b) > 0; }
inline bool operator>(const CString& a, LPCTSTR b) { return a.Compare(b) > 0; }
inline bool operator>(LPCTSTR a, const CString& b) { return b.Compare(a) < 0; }
inline bool operator<=(const CString& a, const CString& b) { return a.Compare(b) <= 0; }
inline bool operator<=(const CString& a, LPCTSTR b) { return a.Compare(b) <= 0; }
inline bool operator<=(LPCTSTR a, const CString& b) { return b.Compare(a) >= 0; }
inline bool operator>=(const CString& a, const CString& b) { return a.Compare(b) >= 0; }
inline bool operator>=(const CString& a, LPCTSTR b) { return a.Compare(b) >= 0; }
inline bool operator>=(LPCTSTR a, const CString& b) { return b.Compare(a) <= 0; }
