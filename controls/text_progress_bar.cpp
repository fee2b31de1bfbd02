// TextProgressBar: painting, text and the progress messages.
#include "controls/text_progress_bar.h"

#include <cstring>

IMPLEMENT_DYNAMIC(TextProgressBar, CProgressCtrl)

BEGIN_MESSAGE_MAP(TextProgressBar, CProgressCtrl)
  ON_WM_ERASEBKGND()
  ON_WM_PAINT()
  ON_WM_SIZE()
  ON_MESSAGE(WM_SETTEXT, OnSetText)
  ON_MESSAGE(WM_GETTEXT, OnGetText)
  ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

TextProgressBar::TextProgressBar()
    : m_crBar(::GetSysColor(COLOR_HIGHLIGHT)),
      m_crBack(::GetSysColor(COLOR_WINDOW)),
      m_crTextOverBack(::GetSysColor(COLOR_HIGHLIGHT)),
      m_crTextOverBar(::GetSysColor(COLOR_WINDOW)) {}

void TextProgressBar::SetBarColor(COLORREF crBar) {
  m_crBar = crBar;
  if (m_hWnd != NULL) Invalidate();
}

void TextProgressBar::SetBackColor(COLORREF crBack) {
  m_crBack = crBack;
  if (m_hWnd != NULL) Invalidate();
}

void TextProgressBar::SetTextColors(COLORREF crOverBack, COLORREF crOverBar) {
  m_crTextOverBack = crOverBack;
  m_crTextOverBar = crOverBar;
  if (m_hWnd != NULL) Invalidate();
}

void TextProgressBar::SetShowText(BOOL bShow) {
  m_bShowText = bShow;
  if (m_hWnd != NULL) Invalidate();
}

void TextProgressBar::PreSubclassWindow() {
  CProgressCtrl::PreSubclassWindow();
  GetWindowText(m_strText);
  ReadControlState();
}

void TextProgressBar::ReadControlState() {
  // The control knows the system's rules (clamping, wrapping of a step).
  PBRANGE range = {0, 0};
  ::SendMessageA(m_hWnd, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  m_nLower = range.iLow;
  m_nUpper = range.iHigh;
  m_nPos = static_cast<int>(::SendMessageA(m_hWnd, PBM_GETPOS, 0, 0));
}

LRESULT TextProgressBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case PBM_SETPOS:
    case PBM_DELTAPOS:
    case PBM_SETRANGE:
    case PBM_SETRANGE32:
    case PBM_STEPIT:
    case PBM_SETSTEP: {
      // The control keeps the state; this bar paints it.
      LRESULT result = CProgressCtrl::WindowProc(message, wParam, lParam);
      if (message == PBM_SETSTEP) m_nStep = static_cast<int>(wParam);
      int oldPos = m_nPos, oldLower = m_nLower, oldUpper = m_nUpper;
      ReadControlState();
      if (oldPos != m_nPos || oldLower != m_nLower || oldUpper != m_nUpper) Invalidate(FALSE);
      return result;
    }
    default:
      return CProgressCtrl::WindowProc(message, wParam, lParam);
  }
}

BOOL TextProgressBar::OnEraseBkgnd(CDC*) { return TRUE; }

void TextProgressBar::OnSize(UINT nType, int cx, int cy) {
  CProgressCtrl::OnSize(nType, cx, cy);
  m_nExtent = -1;
}

LRESULT TextProgressBar::OnSetText(WPARAM, LPARAM lParam) {
  LRESULT result = Default();
  LPCTSTR text = reinterpret_cast<LPCTSTR>(lParam);
  if ((text == NULL && !m_strText.IsEmpty()) || (text != NULL && m_strText != text)) {
    m_strText = text;
    Invalidate();
  }
  return result;
}

LRESULT TextProgressBar::OnGetText(WPARAM wParam, LPARAM lParam) {
  // Room for the terminator: at most wParam - 1 characters are copied.
  char* buffer = reinterpret_cast<char*>(lParam);
  size_t size = static_cast<size_t>(wParam);
  if (buffer == NULL || size == 0) return 0;
  size_t length = static_cast<size_t>(m_strText.GetLength());
  size_t copied = length < size - 1 ? length : size - 1;
  std::memcpy(buffer, static_cast<LPCTSTR>(m_strText), copied);
  buffer[copied] = '\0';
  return static_cast<LRESULT>(copied);
}

LRESULT TextProgressBar::OnGetTextLength(WPARAM, LPARAM) { return m_strText.GetLength(); }

void TextProgressBar::OnPaint() {
  CPaintDC dc(this);
  CRect client;
  GetClientRect(&client);
  // Equal (or crossed) bounds: nothing to show, the screen stays as it is.
  if (m_nLower >= m_nUpper) return;
  if (::GetObjectType(dc.GetSafeHdc()) == OBJ_MEMDC) {
    Paint(&dc, client);
    return;
  }
  // Composed off screen over the update area, then copied in one piece.
  CRect area = dc.m_ps.rcPaint;
  if (area.IsRectEmpty()) area = client;
  CDC memDC;
  CBitmap bitmap;
  if (!memDC.CreateCompatibleDC(&dc) || !bitmap.CreateCompatibleBitmap(&dc, area.Width(), area.Height())) {
    Paint(&dc, client);
    return;
  }
  CBitmap* pOld = memDC.SelectObject(&bitmap);
  memDC.SetWindowOrg(area.left, area.top);
  Paint(&memDC, client);
  dc.BitBlt(area.left, area.top, area.Width(), area.Height(), &memDC, area.left, area.top, SRCCOPY);
  memDC.SelectObject(pOld);
}

void TextProgressBar::Paint(CDC* pDC, const CRect& rcClient) {
  if (m_nLower >= m_nUpper) return;
  double fraction = static_cast<double>(m_nPos - m_nLower) / (static_cast<double>(m_nUpper) - m_nLower);
  if (fraction < 0.0) fraction = 0.0;
  if (fraction > 1.0) fraction = 1.0;
  CRect bar = rcClient;
  bar.right = bar.left + static_cast<int>(rcClient.Width() * fraction);
  CRect rest = rcClient;
  rest.left = bar.right;
  pDC->FillSolidRect(&bar, m_crBar);
  pDC->FillSolidRect(&rest, m_crBack);
  if (!m_bShowText || m_strText.IsEmpty()) return;

  CFont* pFont = GetFont();
  CFont* pOldFont = pFont != NULL && pFont->GetSafeHandle() != NULL ? pDC->SelectObject(pFont) : NULL;
  int oldMode = pDC->SetBkMode(TRANSPARENT);
  COLORREF oldColour = pDC->GetTextColor();
  const UINT format = DT_CENTER | DT_VCENTER | DT_SINGLELINE;
  struct Part {
    const CRect& clip;
    COLORREF colour;
  } parts[2] = {{bar, m_crTextOverBar}, {rest, m_crTextOverBack}};
  for (const Part& part : parts) {
    if (part.clip.IsRectEmpty()) continue;
    int saved = pDC->SaveDC();
    pDC->IntersectClipRect(&part.clip);
    pDC->SetTextColor(part.colour);
    CRect textRect = rcClient;
    pDC->DrawText(m_strText, &textRect, format);
    pDC->RestoreDC(saved);
  }
  pDC->SetTextColor(oldColour);
  pDC->SetBkMode(oldMode);
  if (pOldFont != NULL) pDC->SelectObject(pOldFont);
}
