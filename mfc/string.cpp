#include "mfc/string.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace {

char FoldCase(char ch) { return ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch - 'A' + 'a') : ch; }

const char kWhiteSpace[] = " \t\n\r\v\f";

// Clamps an index into [0, length].
int ClampIndex(int nIndex, int nLength) {
  if (nIndex < 0) return 0;
  return nIndex > nLength ? nLength : nIndex;
}

}  // namespace

CString::CString(LPCTSTR psz) {
  if (psz) m_str = psz;
}

CString::CString(LPCTSTR pch, int nLength) {
  if (!pch || nLength <= 0) return;
  // Fixed-size fields are often NUL-padded; never read past the first NUL.
  const void* nul = memchr(pch, '\0', static_cast<size_t>(nLength));
  size_t len = nul ? static_cast<size_t>(static_cast<const char*>(nul) - pch) : static_cast<size_t>(nLength);
  m_str.assign(pch, len);
}

CString::CString(TCHAR ch, int nRepeat) {
  if (nRepeat > 0 && ch != '\0') m_str.assign(static_cast<size_t>(nRepeat), ch);
}

CString& CString::operator=(LPCTSTR psz) {
  if (!psz)
    m_str.clear();
  else
    m_str = psz;  // std::string::assign copes with psz pointing into m_str
  return *this;
}

CString& CString::operator=(TCHAR ch) {
  m_str.clear();
  if (ch != '\0') m_str.push_back(ch);
  return *this;
}

TCHAR CString::GetAt(int nIndex) const {
  if (nIndex < 0 || nIndex >= GetLength()) {
    ASSERT(!"CString index out of range");
    return '\0';
  }
  return m_str[static_cast<size_t>(nIndex)];
}

void CString::SetAt(int nIndex, TCHAR ch) {
  if (nIndex < 0 || nIndex >= GetLength()) {
    ASSERT(!"CString index out of range");
    return;
  }
  m_str[static_cast<size_t>(nIndex)] = ch;
}

CString& CString::operator+=(const CString& s) {
  m_str += s.m_str;
  return *this;
}

CString& CString::operator+=(LPCTSTR psz) {
  if (psz) m_str.append(psz);
  return *this;
}

CString& CString::operator+=(TCHAR ch) {
  if (ch != '\0') m_str.push_back(ch);
  return *this;
}

int CString::Compare(LPCTSTR psz) const { return strcmp(m_str.c_str(), psz ? psz : ""); }

int CString::CompareNoCase(LPCTSTR psz) const {
  const unsigned char* a = reinterpret_cast<const unsigned char*>(m_str.c_str());
  const unsigned char* b = reinterpret_cast<const unsigned char*>(psz ? psz : "");
  for (;; ++a, ++b) {
    unsigned char ca = static_cast<unsigned char>(FoldCase(static_cast<char>(*a)));
    unsigned char cb = static_cast<unsigned char>(FoldCase(static_cast<char>(*b)));
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == '\0') return 0;
  }
}

CString CString::Mid(int nFirst) const { return Mid(nFirst, GetLength()); }

CString CString::Mid(int nFirst, int nCount) const {
  int len = GetLength();
  nFirst = ClampIndex(nFirst, len);
  if (nCount < 0) nCount = 0;
  if (nCount > len - nFirst) nCount = len - nFirst;
  CString result;
  result.m_str.assign(m_str, static_cast<size_t>(nFirst), static_cast<size_t>(nCount));
  return result;
}

CString CString::Left(int nCount) const { return Mid(0, nCount); }

CString CString::Right(int nCount) const {
  int len = GetLength();
  nCount = ClampIndex(nCount, len);
  return Mid(len - nCount, nCount);
}

CString& CString::MakeUpper() {
  for (char& ch : m_str)
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
  return *this;
}

CString& CString::MakeLower() {
  for (char& ch : m_str) ch = FoldCase(ch);
  return *this;
}

CString& CString::MakeReverse() {
  std::reverse(m_str.begin(), m_str.end());
  return *this;
}

CString& CString::TrimLeft() { return TrimLeft(kWhiteSpace); }

CString& CString::TrimLeft(TCHAR chTarget) {
  char set[2] = {chTarget, '\0'};
  return TrimLeft(set);
}

CString& CString::TrimLeft(LPCTSTR pszTargets) {
  if (!pszTargets || !*pszTargets) return *this;
  size_t first = m_str.find_first_not_of(pszTargets);
  m_str.erase(0, first == std::string::npos ? m_str.size() : first);
  return *this;
}

CString& CString::TrimRight() { return TrimRight(kWhiteSpace); }

CString& CString::TrimRight(TCHAR chTarget) {
  char set[2] = {chTarget, '\0'};
  return TrimRight(set);
}

CString& CString::TrimRight(LPCTSTR pszTargets) {
  if (!pszTargets || !*pszTargets) return *this;
  size_t last = m_str.find_last_not_of(pszTargets);
  m_str.erase(last == std::string::npos ? 0 : last + 1);
  return *this;
}

CString& CString::Trim() { return TrimRight().TrimLeft(); }
CString& CString::Trim(TCHAR chTarget) { return TrimRight(chTarget).TrimLeft(chTarget); }
CString& CString::Trim(LPCTSTR pszTargets) { return TrimRight(pszTargets).TrimLeft(pszTargets); }

int CString::Replace(TCHAR chOld, TCHAR chNew) {
  if (chOld == '\0') return 0;
  int count = 0;
  for (char& ch : m_str)
    if (ch == chOld) {
      ch = chNew;
      ++count;
    }
  // Replacing by NUL cuts the text there, as a C string would read it.
  if (chNew == '\0' && count > 0) m_str.erase(m_str.find('\0'));
  return count;
}

int CString::Replace(LPCTSTR pszOld, LPCTSTR pszNew) {
  if (!pszOld || !*pszOld) return 0;
  std::string from(pszOld);
  std::string to(pszNew ? pszNew : "");  // copies: either may point into m_str
  std::string result;
  int count = 0;
  size_t start = 0;
  for (size_t hit; (hit = m_str.find(from, start)) != std::string::npos; start = hit + from.size()) {
    result.append(m_str, start, hit - start);
    result += to;
    ++count;
  }
  if (count == 0) return 0;
  result.append(m_str, start, std::string::npos);
  m_str.swap(result);
  return count;
}

int CString::Remove(TCHAR ch) {
  size_t before = m_str.size();
  m_str.erase(std::remove(m_str.begin(), m_str.end(), ch), m_str.end());
  return static_cast<int>(before - m_str.size());
}

int CString::Insert(int nIndex, TCHAR ch) {
  char text[2] = {ch, '\0'};
  return Insert(nIndex, text);
}

int CString::Insert(int nIndex, LPCTSTR psz) {
  if (psz && *psz) {
    std::string text(psz);
    m_str.insert(static_cast<size_t>(ClampIndex(nIndex, GetLength())), text);
  }
  return GetLength();
}

int CString::Delete(int nIndex, int nCount) {
  int len = GetLength();
  if (nIndex >= 0 && nIndex < len && nCount > 0) {
    if (nCount > len - nIndex) nCount = len - nIndex;
    m_str.erase(static_cast<size_t>(nIndex), static_cast<size_t>(nCount));
  }
  return GetLength();
}

int CString::Find(TCHAR ch, int nStart) const {
  if (nStart < 0) nStart = 0;
  if (ch == '\0' || nStart >= GetLength()) return -1;
  size_t hit = m_str.find(ch, static_cast<size_t>(nStart));
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::Find(LPCTSTR pszSub, int nStart) const {
  if (!pszSub) return -1;
  if (nStart < 0) nStart = 0;
  if (nStart > GetLength()) return -1;
  size_t hit = m_str.find(pszSub, static_cast<size_t>(nStart));
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::ReverseFind(TCHAR ch) const {
  if (ch == '\0') return -1;
  size_t hit = m_str.rfind(ch);
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

int CString::FindOneOf(LPCTSTR pszCharSet) const {
  if (!pszCharSet || !*pszCharSet) return -1;
  size_t hit = m_str.find_first_of(pszCharSet);
  return hit == std::string::npos ? -1 : static_cast<int>(hit);
}

void CString::Format(LPCTSTR pszFormat, ...) {
  va_list args;
  va_start(args, pszFormat);
  FormatV(pszFormat, args);
  va_end(args);
}

void CString::FormatV(LPCTSTR pszFormat, va_list args) {
  if (!pszFormat) {
    m_str.clear();
    return;
  }
  // Format into a local buffer first: an argument may be this very text.
  std::string out(256, '\0');
  for (;;) {
    va_list copy;
    va_copy(copy, args);
#if defined(__MINGW32__)
    int n = __mingw_vsnprintf(&out[0], out.size() + 1, pszFormat, copy);
#else
    int n = vsnprintf(&out[0], out.size() + 1, pszFormat, copy);
#endif
    va_end(copy);
    if (n < 0) {  // both libraries are C99: negative means a bad format or encoding
      m_str.clear();
      return;
    }
    if (static_cast<size_t>(n) <= out.size()) {
      out.resize(static_cast<size_t>(n));
      m_str.swap(out);
      return;
    }
    out.resize(static_cast<size_t>(n));
  }
}

LPTSTR CString::GetBuffer(int nMinBufLength) {
  if (nMinBufLength > GetLength()) m_str.resize(static_cast<size_t>(nMinBufLength));
  return &m_str[0];
}

LPTSTR CString::GetBufferSetLength(int nNewLength) {
  m_str.resize(static_cast<size_t>(nNewLength < 0 ? 0 : nNewLength));
  return &m_str[0];
}

void CString::ReleaseBuffer(int nNewLength) {
  size_t size = m_str.size();
  if (nNewLength < 0) {
    const void* nul = memchr(m_str.data(), '\0', size);
    size = nul ? static_cast<size_t>(static_cast<const char*>(nul) - m_str.data()) : size;
  } else if (static_cast<size_t>(nNewLength) < size) {
    size = static_cast<size_t>(nNewLength);
  }
  m_str.resize(size);
}

namespace {

// a, then b: every operator+ is a copy of its left side appended to.
template <typename Left, typename Right>
CString Joined(const Left& a, const Right& b) {
  CString result(a);
  result += b;
  return result;
}

}  // namespace

CString operator+(const CString& a, const CString& b) { return Joined(a, b); }
CString operator+(const CString& a, LPCTSTR b) { return Joined(a, b); }
CString operator+(LPCTSTR a, const CString& b) { return Joined(a, b); }
CString operator+(const CString& a, TCHAR b) { return Joined(a, b); }
CString operator+(TCHAR a, const CString& b) { return Joined(a, b); }
