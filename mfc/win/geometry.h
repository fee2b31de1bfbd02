// CPoint, CSize and CRect: the Win32 POINT, SIZE and RECT with the
// arithmetic the dialogs use. Each derives from its Win32 record, so a
// pointer to one can be handed to any API that takes the record.
#pragma once

#include <windows.h>

class CSize;
class CRect;

class CPoint : public tagPOINT {
public:
  CPoint() { x = 0; y = 0; }
  CPoint(int initX, int initY) { x = initX; y = initY; }
  CPoint(POINT pt) { x = pt.x; y = pt.y; }
  CPoint(SIZE size) { x = size.cx; y = size.cy; }
  // A packed coordinate pair as in mouse messages' lParam (signed words).
  explicit CPoint(LPARAM dwPoint) {
    x = static_cast<short>(LOWORD(dwPoint));
    y = static_cast<short>(HIWORD(dwPoint));
  }

  void Offset(int xOffset, int yOffset) { x += xOffset; y += yOffset; }
  void Offset(POINT pt) { x += pt.x; y += pt.y; }
  void SetPoint(int X, int Y) { x = X; y = Y; }

  bool operator==(POINT pt) const { return x == pt.x && y == pt.y; }
  bool operator!=(POINT pt) const { return !(*this == pt); }
  void operator+=(POINT pt) { x += pt.x; y += pt.y; }
  void operator-=(POINT pt) { x -= pt.x; y -= pt.y; }
  void operator+=(SIZE s) { x += s.cx; y += s.cy; }
  void operator-=(SIZE s) { x -= s.cx; y -= s.cy; }
  CPoint operator+(POINT pt) const { return CPoint(x + pt.x, y + pt.y); }
  CPoint operator+(SIZE s) const { return CPoint(x + s.cx, y + s.cy); }
  CPoint operator-(SIZE s) const { return CPoint(x - s.cx, y - s.cy); }
  CPoint operator-() const { return CPoint(-x, -y); }
  inline CSize operator-(POINT pt) const;
};

class CSize : public tagSIZE {
public:
  CSize() { cx = 0; cy = 0; }
  CSize(int initCX, int initCY) { cx = initCX; cy = initCY; }
  CSize(SIZE s) { cx = s.cx; cy = s.cy; }
  CSize(POINT pt) { cx = pt.x; cy = pt.y; }

  void SetSize(int CX, int CY) { cx = CX; cy = CY; }
  bool operator==(SIZE s) const { return cx == s.cx && cy == s.cy; }
  bool operator!=(SIZE s) const { return !(*this == s); }
  void operator+=(SIZE s) { cx += s.cx; cy += s.cy; }
  void operator-=(SIZE s) { cx -= s.cx; cy -= s.cy; }
  CSize operator+(SIZE s) const { return CSize(cx + s.cx, cy + s.cy); }
  CSize operator-(SIZE s) const { return CSize(cx - s.cx, cy - s.cy); }
  CSize operator-() const { return CSize(-cx, -cy); }
};

inline CSize CPoint::operator-(POINT pt) const { return CSize(x - pt.x, y - pt.y); }

class CRect : public tagRECT {
public:
  CRect() { left = top = right = bottom = 0; }
  CRect(int l, int t, int r, int b) { left = l; top = t; right = r; bottom = b; }
  CRect(const RECT& src) { ::CopyRect(this, &src); }
  CRect(LPCRECT src) { if (src) ::CopyRect(this, src); else left = top = right = bottom = 0; }
  CRect(POINT pt, SIZE size) { left = pt.x; top = pt.y; right = pt.x + size.cx; bottom = pt.y + size.cy; }
  CRect(POINT topLeft, POINT bottomRight) {
    left = topLeft.x; top = topLeft.y; right = bottomRight.x; bottom = bottomRight.y;
  }

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  CSize Size() const { return CSize(Width(), Height()); }
  CPoint& TopLeft() { return *reinterpret_cast<CPoint*>(&left); }
  CPoint& BottomRight() { return *reinterpret_cast<CPoint*>(&right); }
  const CPoint& TopLeft() const { return *reinterpret_cast<const CPoint*>(&left); }
  const CPoint& BottomRight() const { return *reinterpret_cast<const CPoint*>(&right); }
  CPoint CenterPoint() const { return CPoint((left + right) / 2, (top + bottom) / 2); }

  operator LPRECT() { return this; }
  operator LPCRECT() const { return this; }

  BOOL IsRectEmpty() const { return ::IsRectEmpty(this); }
  BOOL IsRectNull() const { return left == 0 && right == 0 && top == 0 && bottom == 0; }
  BOOL PtInRect(POINT pt) const { return ::PtInRect(this, pt); }

  void SetRect(int l, int t, int r, int b) { ::SetRect(this, l, t, r, b); }
  void SetRectEmpty() { ::SetRectEmpty(this); }
  void CopyRect(LPCRECT src) { ::CopyRect(this, src); }
  BOOL EqualRect(LPCRECT other) const { return ::EqualRect(this, other); }

  void InflateRect(int x, int y) { ::InflateRect(this, x, y); }
  void InflateRect(SIZE s) { ::InflateRect(this, s.cx, s.cy); }
  void InflateRect(int l, int t, int r, int b) { left -= l; top -= t; right += r; bottom += b; }
  void DeflateRect(int x, int y) { ::InflateRect(this, -x, -y); }
  void DeflateRect(SIZE s) { ::InflateRect(this, -s.cx, -s.cy); }
  void DeflateRect(int l, int t, int r, int b) { left += l; top += t; right -= r; bottom -= b; }
  void OffsetRect(int x, int y) { ::OffsetRect(this, x, y); }
  void OffsetRect(POINT pt) { ::OffsetRect(this, pt.x, pt.y); }
  void OffsetRect(SIZE s) { ::OffsetRect(this, s.cx, s.cy); }
  void MoveToX(int x) { right = Width() + x; left = x; }
  void MoveToY(int y) { bottom = Height() + y; top = y; }
  void MoveToXY(int x, int y) { MoveToX(x); MoveToY(y); }
  void NormalizeRect() {
    if (left > right) { LONG t = left; left = right; right = t; }
    if (top > bottom) { LONG t = top; top = bottom; bottom = t; }
  }
  BOOL IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
  BOOL UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
  BOOL SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

  CRect& operator=(const RECT& src) { ::CopyRect(this, &src); return *this; }
  bool operator==(const RECT& r) const { return ::EqualRect(this, &r) != FALSE; }
  bool operator!=(const RECT& r) const { return !(*this == r); }
  void operator+=(POINT pt) { OffsetRect(pt); }
  void operator-=(POINT pt) { ::OffsetRect(this, -pt.x, -pt.y); }
  CRect operator+(POINT pt) const { CRect r(*this); r.OffsetRect(pt); return r; }
  CRect operator-(POINT pt) const { CRect r(*this); r -= pt; return r; }
  void operator&=(const RECT& r) { ::IntersectRect(this, this, &r); }
  void operator|=(const RECT& r) { ::UnionRect(this, this, &r); }
  CRect operator&(const RECT& r) const { CRect out; ::IntersectRect(&out, this, &r); return out; }
  CRect operator|(const RECT& r) const { CRect out; ::UnionRect(&out, this, &r); return out; }
};
