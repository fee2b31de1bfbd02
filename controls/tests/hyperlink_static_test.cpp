// The hyperlink static in a real dialog: its text and URL, sizing to the
// text, link colours and underline through hovering, the hand cursor and
// tooltip, and the exact command it hands to the registered browser (set
// up in the test prefix's registry) with a launcher that records instead
// of starting anything.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/hyperlink_static.h"
#include "controls/tests/control_test_support.h"

using controls_test::Hex;

namespace {

enum { kHome = 500, kEmpty = 501, kRight = 502, kCentred = 503, kMail = 504, kBare = 505 };

const char kHomeUrl[] = "http://www.example.com/";

class LinkDialog : public controls_test::TemplateDialog {
public:
  HyperLinkStatic home, empty, right, centred, mail, bare;
  CRect rightBefore, centredBefore;

  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    home.SetURL(kHomeUrl);
    empty.SetURL("http://empty.example.com/start");
    mail.SetURL("mailto:support@example.com");
    right.SetURL("http://right.example.com/");
    centred.SetURL("http://centred.example.com/");
    GetDlgItem(kRight)->GetWindowRect(&rightBefore);
    GetDlgItem(kCentred)->GetWindowRect(&centredBefore);
    ScreenToClient(&rightBefore);
    ScreenToClient(&centredBefore);
    home.SubclassDlgItem(kHome, this);
    empty.SubclassDlgItem(kEmpty, this);
    right.SubclassDlgItem(kRight, this);
    centred.SubclassDlgItem(kCentred, this);
    mail.SubclassDlgItem(kMail, this);
    bare.SubclassDlgItem(kBare, this);
    return TRUE;
  }
};

struct Launch {
  std::string how;  // "shell" or "run"
  std::string what;
  int show;
};

class HyperLinkStaticTest : public ::testing::Test {
protected:
  void SetUp() override {
    ::SetCursorPos(1200, 1000);
    guitest::DialogTemplate t("Links", 10, 10, 240, 100);
    t.Static(kHome, "Quorbel home", 5, 5, 100, 10)
        .Static(kEmpty, "", 5, 20, 100, 10)
        .Static(kRight, "Right link", 120, 5, 110, 10, SS_RIGHT)
        .Static(kCentred, "Centred link", 120, 20, 110, 10, SS_CENTER)
        .Static(kMail, "Write to us", 5, 35, 100, 10)
        .Static(kBare, "http://bare.example.com/", 5, 50, 150, 10);
    ASSERT_TRUE(dialog_.Open(t));
    HyperLinkStatic::Launcher launcher;
    launcher.shellOpen = [this](const std::string& url, int show) {
      launches_.push_back({"shell", url, show});
      return shellResult_;
    };
    launcher.runCommand = [this](const std::string& line, int show) {
      launches_.push_back({"run", line, show});
      return runResult_;
    };
    HyperLinkStatic::SetLauncher(launcher);
    SaveHtmClass();
  }
  void TearDown() override {
    HyperLinkStatic::ResetLauncher();
    RestoreHtmClass();
    dialog_.DestroyWindow();
  }

  // ---- The browser's registration, in the test prefix -------------------------------------
  void SaveHtmClass() {
    char value[261] = "";
    LONG size = sizeof(value);
    hadHtm_ = ::RegQueryValueA(HKEY_CLASSES_ROOT, ".htm", value, &size) == ERROR_SUCCESS;
    oldHtm_ = value;
  }
  void RestoreHtmClass() {
    if (hadHtm_)
      ::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, oldHtm_.c_str(), static_cast<DWORD>(oldHtm_.size()));
    else
      ::RegDeleteKeyA(HKEY_CLASSES_ROOT, ".htm");
    for (const char* key : {"QuorbelTest.Page\\shell\\open\\command", "QuorbelTest.Page\\shell\\open",
                            "QuorbelTest.Page\\shell", "QuorbelTest.Page"})
      ::RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
  }
  static void RegisterBrowser(const std::string& command) {
    ASSERT_EQ(::RegSetValueA(HKEY_CLASSES_ROOT, ".htm", REG_SZ, "QuorbelTest.Page", 16), ERROR_SUCCESS);
    ASSERT_EQ(::RegSetValueA(HKEY_CLASSES_ROOT, "QuorbelTest.Page\\shell\\open\\command", REG_SZ, command.c_str(),
                             static_cast<DWORD>(command.size())),
              ERROR_SUCCESS);
  }

  // A click as the user makes it: the static tells its parent.
  static void ClickOn(HyperLinkStatic& link) {
    link.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    link.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
  }

  // The colours the link asks its parent to draw with.
  COLORREF TextColour(HyperLinkStatic& link, HBRUSH* brush = nullptr, int* mode = nullptr) {
    HDC dc = ::CreateCompatibleDC(NULL);
    HBRUSH b = reinterpret_cast<HBRUSH>(dialog_.SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                                            reinterpret_cast<LPARAM>(link.GetSafeHwnd())));
    COLORREF colour = ::GetTextColor(dc);
    if (brush != nullptr) *brush = b;
    if (mode != nullptr) *mode = ::GetBkMode(dc);
    ::DeleteDC(dc);
    return colour;
  }

  static bool Underlined(HyperLinkStatic& link) {
    LOGFONTA lf = {};
    ::GetObjectA(reinterpret_cast<HFONT>(link.SendMessage(WM_GETFONT)), sizeof(lf), &lf);
    return lf.lfUnderline != 0;
  }

  LinkDialog dialog_;
  std::vector<Launch> launches_;
  int shellResult_ = 42;
  int runResult_ = 33;
  bool hadHtm_ = false;
  std::string oldHtm_;
};

TEST_F(HyperLinkStaticTest, TextAndUrlFillEachOtherAndTheStaticNotifies) {
  EXPECT_EQ(guitest::GetText(dialog_.empty.GetSafeHwnd()), "http://empty.example.com/start");
  EXPECT_EQ(dialog_.home.GetURL(), kHomeUrl);
  EXPECT_EQ(guitest::GetText(dialog_.home.GetSafeHwnd()), "Quorbel home");
  EXPECT_EQ(dialog_.bare.GetURL(), "http://bare.example.com/");
  EXPECT_NE(dialog_.home.GetStyle() & SS_NOTIFY, 0u);
}

TEST_F(HyperLinkStaticTest, SizesItselfToItsTextKeepingItsAlignedEdge) {
  for (HyperLinkStatic* link : {&dialog_.home, &dialog_.right, &dialog_.centred, &dialog_.empty}) {
    CString text;
    link->GetWindowText(text);
    HDC dc = ::GetDC(link->GetSafeHwnd());
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(link->SendMessage(WM_GETFONT)));
    SIZE extent = {0, 0};
    ::GetTextExtentPoint32A(dc, text, text.GetLength(), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(link->GetSafeHwnd(), dc);
    CRect client;
    link->GetClientRect(&client);
    EXPECT_EQ(client.Width(), extent.cx) << text;
    EXPECT_EQ(client.Height(), extent.cy) << text;
  }
  CRect right, centred;
  dialog_.right.GetWindowRect(&right);
  dialog_.ScreenToClient(&right);
  EXPECT_EQ(right.right, dialog_.rightBefore.right);
  EXPECT_EQ(right.top, dialog_.rightBefore.top);
  EXPECT_LT(right.Width(), dialog_.rightBefore.Width());
  dialog_.centred.GetWindowRect(&centred);
  dialog_.ScreenToClient(&centred);
  EXPECT_LE(std::abs((centred.left + centred.right) - (dialog_.centredBefore.left + dialog_.centredBefore.right)), 1);

  // A new URL with auto size resizes to the (unchanged) text; the tooltip follows.
  dialog_.home.SetURL("http://www.example.com/other");
  CString tip;
  dialog_.home.GetTooltip().GetText(tip, &dialog_.home, 1);
  EXPECT_EQ(tip, "http://www.example.com/other");
  EXPECT_EQ(dialog_.home.GetTooltip().GetToolCount(), 1);
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "hyperlink_static");
}

TEST_F(HyperLinkStaticTest, ColoursFollowHoverAndVisitedAndHoverUnderlines) {
  HyperLinkStatic& link = dialog_.home;
  HBRUSH brush = NULL;
  int mode = 0;
  EXPECT_EQ(Hex(TextColour(link, &brush, &mode)), Hex(HyperLinkStatic::kLinkColor));
  EXPECT_EQ(brush, static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH)));
  EXPECT_EQ(mode, TRANSPARENT);
  EXPECT_FALSE(Underlined(link));

  // Over the link: hover colour, underlined.
  RECT r = guitest::ClientRectOnScreen(link.GetSafeHwnd());
  ::SetCursorPos(r.left + 3, r.top + 3);
  link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_TRUE(link.IsHovering());
  EXPECT_EQ(Hex(TextColour(link)), Hex(HyperLinkStatic::kHoverColor));
  EXPECT_TRUE(Underlined(link));
  guitest::PumpFor(250);
  EXPECT_TRUE(link.IsHovering());  // the cursor is still there
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "hyperlink_static_hover");

  // The cursor gone: the timer ends the hover.
  ::SetCursorPos(1200, 1000);
  EXPECT_TRUE(guitest::PumpUntil([&] { return !link.IsHovering(); }, 2000));
  EXPECT_FALSE(Underlined(link));
  link.SetVisited(TRUE);
  EXPECT_EQ(Hex(TextColour(link)), Hex(HyperLinkStatic::kVisitedColor));

  // Always underlined, or never.
  link.SetUnderline(1);
  EXPECT_TRUE(Underlined(link));
  link.SetUnderline(0);
  EXPECT_FALSE(Underlined(link));
  ::SetCursorPos(r.left + 3, r.top + 3);
  link.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(3, 3));
  EXPECT_FALSE(Underlined(link));
  ::SetCursorPos(1200, 1000);
  EXPECT_TRUE(guitest::PumpUntil([&] { return !link.IsHovering(); }, 2000));
}

TEST_F(HyperLinkStaticTest, ShowsTheSystemHandCursor) {
  EXPECT_EQ(dialog_.home.GetLinkCursor(), ::LoadCursorA(NULL, IDC_HAND));
  EXPECT_TRUE(dialog_.home.SendMessage(WM_SETCURSOR, reinterpret_cast<WPARAM>(dialog_.home.GetSafeHwnd()),
                                       MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)));
  EXPECT_EQ(::GetCursor(), ::LoadCursorA(NULL, IDC_HAND));
}

TEST_F(HyperLinkStaticTest, ClickRunsTheRegisteredBrowserWithTheQuotedUrl) {
  RegisterBrowser("\"C:\\Browsers\\quorbel browser.exe\" -osint -url \"%1\"");
  CString command;
  ASSERT_TRUE(HyperLinkStatic::ReadBrowserCommand(command));
  EXPECT_EQ(command, "\"C:\\Browsers\\quorbel browser.exe\" -osint -url \"%1\"");

  ClickOn(dialog_.home);
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].how, "run");
  EXPECT_EQ(launches_[0].what, "\"C:\\Browsers\\quorbel browser.exe\" -osint -url  \"http://www.example.com/\"");
  EXPECT_EQ(launches_[0].show, SW_SHOW);
  EXPECT_TRUE(dialog_.home.GetVisited());
  EXPECT_EQ(Hex(TextColour(dialog_.home)), Hex(HyperLinkStatic::kVisitedColor));

  // A URL cannot add arguments of its own.
  dialog_.home.SetURL("http://x.example/\" -remote \"openFile(C:\\evil)");
  ClickOn(dialog_.home);
  ASSERT_EQ(launches_.size(), 2u);
  EXPECT_EQ(launches_[1].what,
            "\"C:\\Browsers\\quorbel browser.exe\" -osint -url  "
            "\"http://x.example/%22%20-remote%20%22openFile(C:\\evil)\"");

  // Without a placeholder the URL goes after the whole command.
  RegisterBrowser("C:\\b.exe -nohome");
  ClickOn(dialog_.bare);
  ASSERT_EQ(launches_.size(), 3u);
  EXPECT_EQ(launches_[2].what, "C:\\b.exe -nohome \"http://bare.example.com/\"");
}

TEST_F(HyperLinkStaticTest, MailLinksGoToTheShellCaseSensitively) {
  RegisterBrowser("C:\\b.exe %1");
  ClickOn(dialog_.mail);
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].how, "shell");
  EXPECT_EQ(launches_[0].what, "mailto:support@example.com");
  dialog_.mail.SetURL("MAILTO:support@example.com");
  ClickOn(dialog_.mail);
  ASSERT_EQ(launches_.size(), 2u);
  EXPECT_EQ(launches_[1].how, "run");
  EXPECT_EQ(launches_[1].what, "C:\\b.exe  \"MAILTO:support@example.com\"");
}

TEST_F(HyperLinkStaticTest, AFailedOpenBeepsAndExplainsTheResult) {
  CMessageBoxScript boxes;
  RegisterBrowser("C:\\missing.exe \"%1\"");
  runResult_ = 2;
  ClickOn(dialog_.home);
  EXPECT_FALSE(dialog_.home.GetVisited());
  ASSERT_EQ(boxes.Count(), 1);
  EXPECT_EQ(boxes.LastText(), "Unable to open hyperlink:\nThe specified file was not found.");
  EXPECT_NE(boxes.Boxes()[0].type & MB_ICONEXCLAMATION, 0u);
  EXPECT_EQ(Hex(TextColour(dialog_.home)), Hex(HyperLinkStatic::kLinkColor));

  // No browser registered for web pages.
  ASSERT_EQ(::RegDeleteKeyA(HKEY_CLASSES_ROOT, "QuorbelTest.Page\\shell\\open\\command"), ERROR_SUCCESS);
  ClickOn(dialog_.home);
  ASSERT_EQ(boxes.Count(), 2);
  EXPECT_EQ(boxes.LastText(),
            "Unable to open hyperlink:\nThere is no application associated\nwith the given filename extension.");
  EXPECT_EQ(launches_.size(), 1u);  // nothing run the second time
}

TEST_F(HyperLinkStaticTest, TheLaunchersWayTriesTheShellFirst) {
  RegisterBrowser("C:\\b.exe \"%1\"");
  dialog_.home.SetShellFirst(TRUE);
  ClickOn(dialog_.home);
  ASSERT_EQ(launches_.size(), 1u);
  EXPECT_EQ(launches_[0].how, "shell");
  EXPECT_EQ(launches_[0].what, kHomeUrl);
  EXPECT_TRUE(dialog_.home.GetVisited());

  shellResult_ = 31;
  ClickOn(dialog_.home);
  ASSERT_EQ(launches_.size(), 3u);
  EXPECT_EQ(launches_[2].how, "run");
  EXPECT_EQ(launches_[2].what, "C:\\b.exe  \"http://www.example.com/\"");
}

}  // namespace
