#include "discjob/dvd_authoring_end.h"

#include <vector>

#include "standins/include/dvdauthor.h"

BOOL AuthoringEndQueued(HWND window, UINT message) {
  std::vector<MSG> queued;
  MSG msg;
  while (::PeekMessageA(&msg, window, message, message, PM_REMOVE)) queued.push_back(msg);
  BOOL ended = FALSE;
  for (const MSG& m : queued) {
    if (m.wParam == kAuthorFailed || m.wParam == kAuthorImageMade) ended = TRUE;
    ::PostMessageA(m.hwnd, m.message, m.wParam, m.lParam);
  }
  return ended;
}
