// GDI object wrappers and DCs.
#include "mfc/win/gdi.h"

#include <utility>
#include <vector>

#include "mfc/win/app.h"
#include "mfc/win/internal.h"
#include "mfc/win/wnd.h"

using quorbel_mfc::GetThreadState;

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNAMIC(CPen, CGdiObject)
IMPLEMENT_DYNAMIC(CBrush, CGdiObject)
IMPLEMENT_DYNAMIC(CFont, CGdiObject)
IMPLEMENT_DYNAMIC(CBitmap, CGdiObject)
IMPLEMENT_DYNAMIC(CRgn, CGdiObject)
IMPLEMENT_DYNCREATE(CDC, CObject)
IMPLEMENT_DYNAMIC(CPaintDC, CDC)
IMPLEMENT_DYNAMIC(CClientDC, CDC)
IMPLEMENT_DYNAMIC(CWindowDC, CDC)

namespace {

template <class T>
const void* ClassTag() {
  static const char tag = 0;
  return &tag;
}

// A temporary wrapper of class T for a handle, one per (handle, class).
template <class T>
T* TempGdi(HGDIOBJ hObject) {
  if (hObject == NULL) return NULL;
  auto& map = GetThreadState().temps.gdiObjects;
  auto key = std::make_pair(static_cast<const void*>(hObject), ClassTag<T>());
  auto it = map.find(key);
  if (it != map.end()) return static_cast<T*>(it->second);
  T* pObject = new T;
  pObject->m_hObject = hObject;
  map[key] = pObject;
  return pObject;
}

}  // namespace

// ---- CGdiObject ---------------------------------------------------------------

CGdiObject* PASCAL CGdiObject::FromHandle(HGDIOBJ hObject) { return TempGdi<CGdiObject>(hObject); }
CPen* PASCAL CPen::FromHandle(HPEN hPen) { return TempGdi<CPen>(hPen); }
CBrush* PASCAL CBrush::FromHandle(HBRUSH hBrush) { return TempGdi<CBrush>(hBrush); }
CFont* PASCAL CFont::FromHandle(HFONT hFont) { return TempGdi<CFont>(hFont); }
CBitmap* PASCAL CBitmap::FromHandle(HBITMAP hBitmap) { return TempGdi<CBitmap>(hBitmap); }
CRgn* PASCAL CRgn::FromHandle(HRGN hRgn) { return TempGdi<CRgn>(hRgn); }

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (hObject == NULL || m_hObject != NULL) return FALSE;
  m_hObject = hObject;
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ hObject = m_hObject;
  m_hObject = NULL;
  return hObject;
}

BOOL CGdiObject::DeleteObject() {
  if (m_hObject == NULL) return FALSE;
  return ::DeleteObject(Detach());
}

BOOL CGdiObject::CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  return Attach(::CreatePatternBrush(static_cast<HBITMAP>(pBitmap->GetSafeHandle())));
}

BOOL CBrush::CreateSysColorBrush(int nIndex) { return Attach(::GetSysColorBrush(nIndex)); }

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  HDC hDC = pDC != NULL ? pDC->m_hAttribDC : ::GetDC(NULL);
  LOGFONTA lf = {};
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfHeight = -MulDiv(nPointSize, ::GetDeviceCaps(hDC, LOGPIXELSY), 720);
  lstrcpynA(lf.lfFaceName, lpszFaceName, LF_FACESIZE);
  if (pDC == NULL) ::ReleaseDC(NULL, hDC);
  return CreateFontIndirect(&lf);
}

BOOL CBitmap::LoadBitmap(LPCTSTR lpszResourceName) {
  HINSTANCE hInst = AfxFindResourceHandle(lpszResourceName, RT_BITMAP);
  if (hInst == NULL) return FALSE;
  return Attach(::LoadBitmapA(hInst, lpszResourceName));
}

BOOL CBitmap::LoadMappedBitmap(UINT nIDBitmap) {
  LPCTSTR name = MAKEINTRESOURCEA(nIDBitmap);
  HINSTANCE hInst = AfxFindResourceHandle(name, RT_BITMAP);
  if (hInst == NULL) return FALSE;
  return Attach(AfxLoadSysColorBitmap(hInst, ::FindResourceA(hInst, name, RT_BITMAP)));
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  return Attach(::CreateCompatibleBitmap(pDC->GetSafeHdc(), nWidth, nHeight));
}

HBITMAP AFXAPI AfxLoadSysColorBitmap(HINSTANCE hInst, HRSRC hRsrc, BOOL bMono) {
  if (hRsrc == NULL) return NULL;
  HGLOBAL hGlobal = ::LoadResource(hInst, hRsrc);
  DWORD size = ::SizeofResource(hInst, hRsrc);
  const BYTE* data = hGlobal != NULL ? static_cast<const BYTE*>(::LockResource(hGlobal)) : NULL;
  if (data == NULL || size < sizeof(BITMAPINFOHEADER)) return NULL;
  const BITMAPINFOHEADER* src = reinterpret_cast<const BITMAPINFOHEADER*>(data);
  if (src->biSize < sizeof(BITMAPINFOHEADER) || src->biSize > size || src->biBitCount > 8 ||
      src->biWidth <= 0 || src->biHeight == 0)
    return NULL;
  DWORD colors = src->biClrUsed != 0 ? src->biClrUsed : (1u << src->biBitCount);
  if (colors > 256) return NULL;
  DWORD headerSize = src->biSize + colors * sizeof(RGBQUAD);
  if (headerSize > size) return NULL;
  // Work on a copy: the colour table of the resource is shared.
  std::vector<BYTE> copy(data, data + size);
  BITMAPINFOHEADER* info = reinterpret_cast<BITMAPINFOHEADER*>(copy.data());
  RGBQUAD* table = reinterpret_cast<RGBQUAD*>(copy.data() + info->biSize);
  struct Mapping {
    DWORD rgb;   // 0xRRGGBB of the artwork
    int sysColor;
  };
  const Mapping map[] = {{0x000000, COLOR_BTNTEXT},
                         {0x808080, COLOR_BTNSHADOW},
                         {0xC0C0C0, COLOR_BTNFACE},
                         {0xFFFFFF, COLOR_BTNHIGHLIGHT}};
  for (DWORD i = 0; i < colors; ++i) {
    DWORD rgb = (table[i].rgbRed << 16) | (table[i].rgbGreen << 8) | table[i].rgbBlue;
    for (const Mapping& m : map) {
      if (rgb != m.rgb || (bMono && m.sysColor != COLOR_BTNTEXT && m.sysColor != COLOR_BTNHIGHLIGHT)) continue;
      COLORREF c = ::GetSysColor(m.sysColor);
      table[i].rgbRed = GetRValue(c);
      table[i].rgbGreen = GetGValue(c);
      table[i].rgbBlue = GetBValue(c);
      break;
    }
  }
  HDC hScreen = ::GetDC(NULL);
  HBITMAP hBitmap = ::CreateDIBitmap(hScreen, info, CBM_INIT, copy.data() + headerSize,
                                     reinterpret_cast<BITMAPINFO*>(info), DIB_RGB_COLORS);
  ::ReleaseDC(NULL, hScreen);
  return hBitmap;
}

// ---- CDC ------------------------------------------------------------------------

CDC::~CDC() {
  if (m_hDC != NULL) ::DeleteDC(Detach());
}

CDC* PASCAL CDC::FromHandle(HDC hDC) {
  if (hDC == NULL) return NULL;
  auto& map = GetThreadState().temps.dcs;
  auto it = map.find(hDC);
  if (it != map.end()) return it->second;
  CDC* pDC = new CDC;
  pDC->m_hDC = pDC->m_hAttribDC = hDC;
  map[hDC] = pDC;
  return pDC;
}

BOOL CDC::Attach(HDC hDC) {
  if (hDC == NULL || m_hDC != NULL) return FALSE;
  m_hDC = m_hAttribDC = hDC;
  return TRUE;
}

HDC CDC::Detach() {
  HDC hDC = m_hDC;
  m_hDC = m_hAttribDC = NULL;
  return hDC;
}

BOOL CDC::DeleteDC() {
  if (m_hDC == NULL) return FALSE;
  return ::DeleteDC(Detach());
}

BOOL CDC::CreateCompatibleDC(CDC* pDC) { return Attach(::CreateCompatibleDC(pDC->GetSafeHdc())); }

BOOL CDC::CreateDC(LPCTSTR lpszDriverName, LPCTSTR lpszDeviceName, LPCTSTR lpszOutput, const void* lpInitData) {
  return Attach(::CreateDCA(lpszDriverName, lpszDeviceName, lpszOutput, static_cast<const DEVMODEA*>(lpInitData)));
}

CWnd* CDC::GetWindow() const { return CWnd::FromHandle(::WindowFromDC(m_hDC)); }

CPen* CDC::SelectObject(CPen* pPen) {
  return CPen::FromHandle(static_cast<HPEN>(::SelectObject(m_hDC, pPen->GetSafeHandle())));
}
CBrush* CDC::SelectObject(CBrush* pBrush) {
  return CBrush::FromHandle(static_cast<HBRUSH>(::SelectObject(m_hDC, pBrush->GetSafeHandle())));
}
CFont* CDC::SelectObject(CFont* pFont) {
  return CFont::FromHandle(static_cast<HFONT>(::SelectObject(m_hDC, pFont->GetSafeHandle())));
}
CBitmap* CDC::SelectObject(CBitmap* pBitmap) {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::SelectObject(m_hDC, pBitmap->GetSafeHandle())));
}
CGdiObject* CDC::SelectObject(CGdiObject* pObject) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, pObject->GetSafeHandle()));
}
int CDC::SelectObject(CRgn* pRgn) {
  return static_cast<int>(reinterpret_cast<INT_PTR>(::SelectObject(m_hDC, pRgn->GetSafeHandle())));
}
CGdiObject* CDC::SelectStockObject(int nIndex) {
  return CGdiObject::FromHandle(::SelectObject(m_hDC, ::GetStockObject(nIndex)));
}
CPen* CDC::GetCurrentPen() const { return CPen::FromHandle(static_cast<HPEN>(::GetCurrentObject(m_hDC, OBJ_PEN))); }
CBrush* CDC::GetCurrentBrush() const {
  return CBrush::FromHandle(static_cast<HBRUSH>(::GetCurrentObject(m_hDC, OBJ_BRUSH)));
}
CFont* CDC::GetCurrentFont() const { return CFont::FromHandle(static_cast<HFONT>(::GetCurrentObject(m_hDC, OBJ_FONT))); }
CBitmap* CDC::GetCurrentBitmap() const {
  return CBitmap::FromHandle(static_cast<HBITMAP>(::GetCurrentObject(m_hDC, OBJ_BITMAP)));
}

void CDC::FillSolidRect(LPCRECT lpRect, COLORREF clr) {
  RECT rect = *lpRect;
  if (rect.left > rect.right) std::swap(rect.left, rect.right);
  if (rect.top > rect.bottom) std::swap(rect.top, rect.bottom);
  COLORREF old = ::SetBkColor(m_hDC, clr);
  ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &rect, NULL, 0, NULL);
  ::SetBkColor(m_hDC, old);
}

void CDC::FillSolidRect(int x, int y, int cx, int cy, COLORREF clr) {
  RECT rect = {x, y, x + cx, y + cy};
  FillSolidRect(&rect, clr);
}

void CDC::Draw3dRect(LPCRECT lpRect, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  Draw3dRect(lpRect->left, lpRect->top, lpRect->right - lpRect->left, lpRect->bottom - lpRect->top, clrTopLeft,
             clrBottomRight);
}

void CDC::Draw3dRect(int x, int y, int cx, int cy, COLORREF clrTopLeft, COLORREF clrBottomRight) {
  FillSolidRect(x, y, cx - 1, 1, clrTopLeft);
  FillSolidRect(x, y, 1, cy - 1, clrTopLeft);
  FillSolidRect(x + cx - 1, y, 1, cy, clrBottomRight);
  FillSolidRect(x, y + cy - 1, cx, 1, clrBottomRight);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HICON hIcon, UINT nFlags, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, NULL, reinterpret_cast<LPARAM>(hIcon), 0, pt.x, pt.y, size.cx, size.cy,
                      nFlags | DST_ICON);
}

BOOL CDC::DrawState(CPoint pt, CSize size, HBITMAP hBitmap, UINT nFlags, HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, NULL, reinterpret_cast<LPARAM>(hBitmap), 0, pt.x, pt.y, size.cx, size.cy,
                      nFlags | DST_BITMAP);
}

BOOL CDC::DrawState(CPoint pt, CSize size, LPCTSTR lpszText, UINT nFlags, BOOL bPrefixText, int nTextLen,
                    HBRUSH hBrush) {
  return ::DrawStateA(m_hDC, hBrush, NULL, reinterpret_cast<LPARAM>(lpszText), static_cast<WPARAM>(nTextLen), pt.x,
                      pt.y, size.cx, size.cy, nFlags | (bPrefixText ? DST_PREFIXTEXT : DST_TEXT));
}

// ---- Window DCs -------------------------------------------------------------------------

CPaintDC::CPaintDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) {
  Attach(::BeginPaint(m_hWnd, &m_ps));
}

CPaintDC::~CPaintDC() {
  ::EndPaint(m_hWnd, &m_ps);
  Detach();
}

CClientDC::CClientDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::GetDC(m_hWnd)); }

CClientDC::~CClientDC() { ::ReleaseDC(m_hWnd, Detach()); }

CWindowDC::CWindowDC(CWnd* pWnd) : m_hWnd(pWnd->GetSafeHwnd()) { Attach(::GetWindowDC(m_hWnd)); }

CWindowDC::~CWindowDC() { ::ReleaseDC(m_hWnd, Detach()); }
