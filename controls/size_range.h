// CSizeRange: a passive horizontal scale painted over a placeholder
// control of a dialog: short ticks, numbered labels from 0 to a maximum,
// vertical marker lines, and a bar filled from the left up to the current
// value in the colours of the bands it has reached. The disc programs use
// it as the capacity gauge of the source list (minutes against the disc
// type's limits). Until it has a maximum it shows only its background.
#pragma once

#include <vector>

#include "mfc/mfc.h"

class CSizeRange : public CWnd {
  DECLARE_DYNCREATE(CSizeRange)
public:
  struct Marker {
    int position;      // scale units
    COLORREF colour;
    BYTE solid;        // 0: dotted line
  };
  struct ColorBand {
    int start;         // the band colours the bar from this value on
    COLORREF colour;
  };

  CSizeRange();

  // Subclasses the dialog's item nID.
  BOOL AttachToDlgItem(UINT nID, CWnd* pDialog);

  void SetMaximum(int nMaximum) { m_nMaximum = nMaximum; }
  void SetTickStep(int nStep) { m_nTickStep = nStep; }
  void SetLabelStep(int nStep) { m_nLabelStep = nStep; }
  void SetUnitText(LPCTSTR lpszUnit) { m_strUnit = lpszUnit; }
  void AddMarker(int nPosition, COLORREF crColour, BOOL bSolid);
  void AddColorBand(int nStart, COLORREF crColour);
  void RemoveAllMarkers() { m_markers.clear(); }
  void RemoveAllColorBands() { m_bands.clear(); }
  // Stores the value and repaints at once (the parent and the scale).
  void SetValue(int nValue);
  int GetValue() const { return m_nValue; }

  int GetMaximum() const { return m_nMaximum; }
  int GetTickStep() const { return m_nTickStep; }
  int GetLabelStep() const { return m_nLabelStep; }

  // Background of the scale.
  static const COLORREF kBackground = RGB(240, 240, 240);
  // Shadow under the bar.
  static const COLORREF kBarShadow = RGB(50, 50, 50);

  // Paints the whole scale into pDC for a window of that size.
  void Paint(CDC* pDC, int nWidth, int nHeight);

protected:
  afx_msg void OnPaint();

  int m_nMaximum = 0;        // scale end value; 0: not configured
  int m_nTickStep = 0;       // distance of the short ticks; 0: none
  int m_nLabelStep = 0;      // distance of the labelled ticks; 0: none
  UINT m_nControlID = 0;     // the dialog item it is attached to
  CString m_strUnit;         // printed after each label value
  std::vector<Marker> m_markers;
  std::vector<ColorBand> m_bands;
  int m_nWidth = 0;          // the window's size, taken at every paint
  int m_nHeight = 0;
  int m_nValue = 0;

  DECLARE_MESSAGE_MAP()
};
