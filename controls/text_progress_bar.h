// TextProgressBar: a progress bar that paints itself: the filled part for
// the position between its bounds, the empty part, and its window text
// centred over both in colours that change where the bar ends, so the
// text reads over either part. The position, bounds and step follow the
// standard progress bar messages.
#pragma once

#include "mfc/mfc.h"

class TextProgressBar : public CProgressCtrl {
  DECLARE_DYNAMIC(TextProgressBar)
public:
  TextProgressBar();

  void SetBarColor(COLORREF crBar);
  void SetBackColor(COLORREF crBack);
  void SetTextColors(COLORREF crOverBack, COLORREF crOverBar);
  void SetShowText(BOOL bShow);

  int GetPosition() const { return m_nPos; }
  int GetLower() const { return m_nLower; }
  int GetUpper() const { return m_nUpper; }
  int GetStepSize() const { return m_nStep; }
  const CString& GetStoredText() const { return m_strText; }

  // Paints the bar into pDC over rcClient (what WM_PAINT shows).
  void Paint(CDC* pDC, const CRect& rcClient);

protected:
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void PreSubclassWindow() override;

  afx_msg BOOL OnEraseBkgnd(CDC* pDC);
  afx_msg void OnPaint();
  afx_msg void OnSize(UINT nType, int cx, int cy);
  afx_msg LRESULT OnSetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetText(WPARAM wParam, LPARAM lParam);
  afx_msg LRESULT OnGetTextLength(WPARAM wParam, LPARAM lParam);

  // Takes position, bounds and step from the control after it moved.
  void ReadControlState();

  int m_nPos = 0;
  int m_nStep = 1;
  int m_nUpper = 100;
  int m_nLower = 0;
  CString m_strText;          // the window text
  BOOL m_bShowText = TRUE;
  int m_nExtent = -1;         // cached extent; reset at every resize
  COLORREF m_crBar;           // filled part
  COLORREF m_crBack;          // empty part
  COLORREF m_crTextOverBack;  // text over the empty part
  COLORREF m_crTextOverBar;   // text over the filled part

  DECLARE_MESSAGE_MAP()
};
