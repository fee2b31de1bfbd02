// HyperLinkStatic: a static text that behaves as a link: link colours,
// underlined while the mouse is over it, the hand cursor, a tooltip with
// its URL, sized to its text, and opening its URL when clicked (mail
// links through the shell, others through the registered web browser).
#pragma once

#include <functional>
#include <string>

#include "mfc/mfc.h"

class HyperLinkStatic : public CStatic {
  DECLARE_DYNAMIC(HyperLinkStatic)
public:
  HyperLinkStatic();
  ~HyperLinkStatic() override;

  void SetURL(LPCTSTR lpszURL);
  const CString& GetURL() const { return m_strURL; }
  // 1 always underlined, -1 underlined while hovering, else never.
  void SetUnderline(int nUnderline);
  int GetUnderline() const { return m_nUnderline; }
  void SetVisited(BOOL bVisited);
  BOOL GetVisited() const { return m_bVisited; }
  void SetAutoSize(BOOL bAutoSize) { m_bAutoSize = bAutoSize; }
  void SetLinkColors(COLORREF crLink, COLORREF crVisited, COLORREF crHover) {
    m_crLink = crLink;
    m_crVisited = crVisited;
    m_crHover = crHover;
  }
  // The launcher's way: the shell first for every URL, the registered
  // browser only when the shell fails.
  void SetShellFirst(BOOL bShellFirst) { m_bShellFirst = bShellFirst; }
  BOOL IsHovering() const { return m_bHovering; }
  HCURSOR GetLinkCursor() const { return m_hCursor; }
  CToolTipCtrl& GetTooltip() { return m_tooltip; }

  // Opens a URL; the shell's result code (above 32 on success).
  virtual int OpenUrl(LPCTSTR lpszURL, int nShowCmd);

  // How a URL is opened; tests record instead of starting anything.
  struct Launcher {
    // ShellExecute (NULL, "open", url, NULL, NULL, show).
    std::function<int(const std::string& url, int show)> shellOpen;
    // WinExec (commandLine, show).
    std::function<int(const std::string& commandLine, int show)> runCommand;
  };
  // Replaces the process-wide launcher (an empty function: the system's).
  static void SetLauncher(const Launcher& launcher);
  static void ResetLauncher();

  // The browser's open command from the registry (HKCR ".htm", then its
  // class's "shell\open\command"); FALSE when either read fails.
  static BOOL ReadBrowserCommand(CString& command);

  BOOL PreTranslateMessage(MSG* pMsg) override;
  BOOL DestroyWindow() override;

  // Colours and fonts.
  static const COLORREF kLinkColor = RGB(0, 0, 0xEE);
  static const COLORREF kVisitedColor = RGB(0x55, 0x1A, 0x8B);
  static const COLORREF kHoverColor = RGB(0xFF, 0, 0);
  enum { kHoverTimer = 100 };

protected:
  void PreSubclassWindow() override;
  afx_msg HBRUSH CtlColor(CDC* pDC, UINT nCtlColor);
  afx_msg BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);
  afx_msg void OnMouseMove(UINT nFlags, CPoint point);
  afx_msg void OnTimer(UINT_PTR nIDEvent);
  afx_msg BOOL OnClicked();
  afx_msg BOOL OnEraseBkgnd(CDC* pDC);

  // Resizes the window to its text (auto size only).
  void PositionWindow();
  // The hand cursor: the system's, else the one help has.
  void LoadHandCursor();
  // Redraws the text with the parent's background under it; extraBottom
  // pixels below the window go too (where an underline may have been).
  void RepaintLink(int extraBottom);
  void ReportFailure(int nResult);

  COLORREF m_crLink;      // not yet visited
  COLORREF m_crVisited;   // after a successful open
  COLORREF m_crHover;     // while the mouse is over it
  BOOL m_bHovering = FALSE;
  BOOL m_bVisited = FALSE;
  int m_nUnderline = -1;
  BOOL m_bAutoSize = TRUE;
  BOOL m_bShellFirst = FALSE;
  CString m_strURL;
  CFont m_fontUnderline;  // the control's font, underlined
  CFont m_fontPlain;      // the control's font
  HCURSOR m_hCursor = NULL;
  BOOL m_bOwnCursor = FALSE;  // a copy to destroy (not a shared system cursor)
  CToolTipCtrl m_tooltip;
  UINT_PTR m_nTimerID = kHoverTimer;

  DECLARE_MESSAGE_MAP()
};
