// CSizeRange: painting the scale from its geometry.
#include "controls/size_range.h"

#include "controls/size_range_geometry.h"

using namespace quorbel_controls;

IMPLEMENT_DYNCREATE(CSizeRange, CWnd)

BEGIN_MESSAGE_MAP(CSizeRange, CWnd)
  ON_WM_PAINT()
END_MESSAGE_MAP()

CSizeRange::CSizeRange() = default;

BOOL CSizeRange::AttachToDlgItem(UINT nID, CWnd* pDialog) {
  m_nControlID = nID;
  return pDialog != NULL && SubclassDlgItem(nID, pDialog);
}

void CSizeRange::AddMarker(int nPosition, COLORREF crColour, BOOL bSolid) {
  m_markers.push_back({nPosition, crColour, static_cast<BYTE>(bSolid ? 1 : 0)});
}

void CSizeRange::AddColorBand(int nStart, COLORREF crColour) { m_bands.push_back({nStart, crColour}); }

void CSizeRange::SetValue(int nValue) {
  m_nValue = nValue;
  if (m_hWnd == NULL) return;
  // The scale paints over its parent's background: redraw both now.
  HWND hParent = ::GetParent(m_hWnd);
  if (hParent != NULL)
    ::RedrawWindow(hParent, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  else
    ::RedrawWindow(m_hWnd, NULL, NULL, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void CSizeRange::OnPaint() {
  CPaintDC dc(this);
  CRect window;
  GetWindowRect(&window);
  Paint(&dc, window.Width(), window.Height());
}

void CSizeRange::Paint(CDC* pDC, int nWidth, int nHeight) {
  m_nWidth = nWidth;
  m_nHeight = nHeight;
  CRect all(0, 0, nWidth, nHeight);
  pDC->FillSolidRect(&all, kBackground);
  SizeRangeScale scale(nWidth, m_nMaximum);
  if (!scale.Valid()) return;  // not configured yet: background only
  SizeRangeHeights heights = ComputeSizeRangeHeights(nHeight);

  CPen linePen(PS_SOLID, 1, RGB(0, 0, 0));
  CPen* pOldPen = pDC->SelectObject(&linePen);
  for (int x : SizeRangeShortTicks(nWidth, m_nMaximum, m_nTickStep)) {
    pDC->MoveTo(x, 0);
    pDC->LineTo(x, heights.shortTick);
  }

  CFont font;
  font.CreateFont(15, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial");
  CFont* pOldFont = pDC->SelectObject(&font);
  int oldMode = pDC->SetBkMode(TRANSPARENT);
  UINT oldAlign = pDC->SetTextAlign(TA_CENTER | TA_TOP);
  for (const SizeRangeLabel& label : SizeRangeLabels(nWidth, m_nMaximum, m_nLabelStep)) {
    pDC->MoveTo(label.x, 0);
    pDC->LineTo(label.x, heights.labelTick);
    CString text;
    text.Format("%d%s", label.value, static_cast<LPCTSTR>(m_strUnit));
    pDC->TextOut(SizeRangeTextCentre(label.x, pDC->GetTextExtent(text).cx), heights.labelTop, text);
  }
  pDC->SetTextAlign(oldAlign);
  pDC->SetBkMode(oldMode);
  pDC->SelectObject(pOldFont);
  pDC->SelectObject(pOldPen);

  for (const Marker& marker : m_markers) {
    CPen pen(marker.solid ? PS_SOLID : PS_DOT, 2, marker.colour);
    CPen* pOld = pDC->SelectObject(&pen);
    int x = scale.X(marker.position);
    pDC->MoveTo(x, 0);
    pDC->LineTo(x, nHeight);
    pDC->SelectObject(pOld);
  }

  std::vector<int> starts;
  for (const ColorBand& band : m_bands) starts.push_back(band.start);
  for (const SizeRangeBarPart& part : SizeRangeBar(nWidth, nHeight, m_nMaximum, m_nValue, starts)) {
    pDC->FillSolidRect(part.shadow.x, part.shadow.y, part.shadow.cx, part.shadow.cy, kBarShadow);
    pDC->FillSolidRect(part.fill.x, part.fill.y, part.fill.cx, part.fill.cy, m_bands[part.band].colour);
  }
}
