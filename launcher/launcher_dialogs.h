// The launcher's windows: the shaped main dialog (102) whose skin buttons
// start the other programs, its label that paints itself (ColorLabel), and
// the About box (100).
#pragma once

#include "controls/hyperlink_static.h"
#include "suite/about_dialog.h"
#include "launcher/res/launcher_resource.h"
#include "mfc/mfc.h"

// A static with its own text colour, background brushes and font, which
// can blink its text or its colour and open its own text when clicked.
class ColorLabel : public CStatic {
  DECLARE_DYNAMIC(ColorLabel)
public:
  enum BlinkMode { kBlinkNone = 0, kBlinkText = 1, kBlinkColour = 2 };

  ColorLabel();
  ~ColorLabel() override;

  void SetTextColor(COLORREF colour);
  void SetBkColor(COLORREF colour);
  // On: the text stands on the parent's own picture (a skinned window
  // paints it for its children); the background colour serves only where
  // the parent has none.
  void SetOnParentPicture(bool on);
  // Copies the font's description and makes a font of its own, which the
  // static then paints its text with.
  void SetFont(CFont* font);
  COLORREF GetTextColor() const { return m_textColour; }

protected:
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnLButtonDown(UINT nFlags, CPoint point);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

  COLORREF m_textColour;  // the text
  HBRUSH m_background;    // behind the text
  HBRUSH m_second;        // behind the text while a colour blink is off
  LOGFONTA m_logFont;     // the font's description
  CFont m_font;           // made from m_logFont
  CString m_savedText;    // the text a text blink shows by turns
  bool m_blinkOn = false; // the blink's phase
  int m_flag = 1;         // kept for the blink's callers
  int m_blinkMode = kBlinkNone;
  HCURSOR m_cursor = NULL;  // shown over the label when set
  bool m_onParentPicture = false;  // SetOnParentPicture

  DECLARE_MESSAGE_MAP()
};

class LauncherMainDialog : public CDialog {
  DECLARE_DYNAMIC(LauncherMainDialog)
public:
  enum { IDD = IDD_LAUNCHER_MAIN };
  enum { kHoverTimer = 299 };

  explicit LauncherMainDialog(CWnd* pParent = NULL);

  // The hover text chosen last (-1 the welcome text, -2 none yet) and how
  // often the label's text was set.
  int ShownChoice() const { return m_shownChoice; }
  int LabelUpdates() const { return m_labelUpdates; }
  ColorLabel& Label() { return m_label; }
  // Picks the label's text from the program buttons' states (the timer).
  void UpdateHoverText();
  // Hides the window, starts the program from the launcher's folder, waits
  // for it to end and shows the window again. FALSE when it did not start.
  BOOL StartProgram(int program);

protected:
  void DoDataExchange(CDataExchange* pDX) override;
  BOOL OnInitDialog() override;

  afx_msg void OnSysCommand(UINT nID, LPARAM lParam);
  afx_msg void OnPaint();
  afx_msg HCURSOR OnQueryDragIcon();
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg void OnClose();
  afx_msg void OnDestroy();
  afx_msg void OnCreator() { StartProgram(0); }
  afx_msg void OnBurner() { StartProgram(1); }
  afx_msg void OnConverter() { StartProgram(2); }
  afx_msg void OnAbout();
  afx_msg void OnHelp();
  afx_msg void OnHome();

  ColorLabel m_label;        // 1001
  HICON m_icon = NULL;       // icon 128
  CFont m_labelFont;         // the label's font
  int m_shownChoice = -2;    // HoverChoice shown last
  int m_labelUpdates = 0;    // texts set on the label
  HyperLinkStatic m_homeLink;  // opens the maker's page, shell first (no window)

  DECLARE_MESSAGE_MAP()
};

// The About box (100): "Quorbel " and at most 9 characters of the version
// in 1002, underlined links 1003 (home page) and 1005 (support); the
// caption stays the template's.
extern const AboutDialogIds kLauncherAboutIds;

// The launcher's About box: its links open through the shell first, the
// registered browser only when the shell fails.
class LauncherAboutDialog : public AboutDialog {
public:
  explicit LauncherAboutDialog(CWnd* pParent = NULL) : AboutDialog(kLauncherAboutIds, "Quorbel ", pParent) {}

protected:
  BOOL OnInitDialog() override;
};
