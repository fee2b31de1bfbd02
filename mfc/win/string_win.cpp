// CString members that need the Windows resources.
#include "mfc/string.h"

#include "mfc/win/app.h"

BOOL CString::LoadString(UINT nID) {
  // A string resource lives in block nID / 16 + 1.
  LPCTSTR block = MAKEINTRESOURCEA(nID / 16 + 1);
  HINSTANCE hInst = AfxFindResourceHandle(block, RT_STRING);
  if (hInst == NULL) {
    Empty();
    return FALSE;
  }
  // LoadString cuts long texts at the buffer: grow until the text fits.
  for (int size = 256; size <= (1 << 16); size *= 2) {
    char* buffer = GetBuffer(size);
    int got = ::LoadStringA(hInst, nID, buffer, size);
    ReleaseBuffer(got < 0 ? 0 : got);
    if (got < size - 1) return got > 0;
  }
  return TRUE;
}
