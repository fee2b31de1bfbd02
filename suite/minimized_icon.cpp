#include "suite/minimized_icon.h"

bool PaintMinimizedIcon(CWnd* window, HICON icon) {
  if (!window->IsIconic()) return false;
  CPaintDC dc(window);
  window->SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
  CRect client;
  window->GetClientRect(&client);
  int x = (client.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
  int y = (client.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
  dc.DrawIcon(x, y, icon);
  return true;
}
