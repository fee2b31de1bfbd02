// The platform-neutral rules of the controls: colour arithmetic, the menu's
// version classes, geometry and shortcut padding, the capacity scale's
// geometry, the hover button's image placement, and the hyperlink's
// browser command lines (one argument per URL, whatever it holds).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "controls/color_math.h"
#include "controls/hover_button_layout.h"
#include "controls/hyperlink_command.h"
#include "controls/owner_menu_layout.h"
#include "controls/size_range_geometry.h"

#if defined(_WIN32)
#include <windows.h>
#include <shellapi.h>
#endif

using namespace quorbel_controls;

namespace {

// ---- Colours -----------------------------------------------------------------------------

TEST(ColorMathTest, LightenMovesEachChannelTowardsWhiteAndIgnoresBadFractions) {
  struct Case {
    ColorValue in;
    double f;
    ColorValue out;
  } cases[] = {
      {MakeColor(0, 100, 255), 0.5, MakeColor(127, 177, 255)},
      {MakeColor(10, 20, 30), 1.0, MakeColor(255, 255, 255)},
      {MakeColor(0, 120, 215), 0.85, MakeColor(216, 234, 249)},
      {MakeColor(10, 20, 30), 0.0, MakeColor(10, 20, 30)},
      {MakeColor(10, 20, 30), -0.5, MakeColor(10, 20, 30)},
      {MakeColor(10, 20, 30), 1.5, MakeColor(10, 20, 30)},
  };
  for (const Case& c : cases) EXPECT_EQ(LightenColor(c.in, c.f), c.out) << c.f;
}

TEST(ColorMathTest, GrayAndDarkerKeepBlackAndFollowTheirFormulas) {
  EXPECT_EQ(GrayColor(MakeColor(255, 0, 0)), MakeColor(76, 76, 76));
  EXPECT_EQ(GrayColor(MakeColor(0, 255, 0)), MakeColor(149, 149, 149));
  EXPECT_EQ(GrayColor(MakeColor(200, 100, 50)), MakeColor(124, 124, 124));
  EXPECT_EQ(GrayColor(0), 0u);
  EXPECT_EQ(DarkerColor(MakeColor(200, 100, 3)), MakeColor(150, 75, 2));
  EXPECT_EQ(DarkerColor(0), 0u);
}

// ---- Owner-drawn menu -----------------------------------------------------------------------

TEST(MenuVersionTest, ClassesOfKnownSystems) {
  struct Case {
    unsigned platform, major, minor;
    int expected;
  } cases[] = {
      {0, 3, 10, kMenuWin3x},   {1, 4, 0, kMenuOther9x}, {1, 4, 10, kMenuWin98},   {1, 4, 90, kMenuWinMe},
      {2, 4, 0, kMenuNt4},      {2, 5, 0, kMenuWin2000}, {2, 5, 1, kMenuWinXp},    {2, 5, 2, kMenuOtherNt},
      {2, 6, 1, kMenuOtherNt},  {2, 10, 0, kMenuOtherNt}, {7, 5, 1, kMenuOtherNt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ComputeMenuVersionClass(c.platform, c.major, c.minor), c.expected)
        << c.platform << " " << c.major << "." << c.minor;
}

TEST(MenuThemeTest, ClassicThemeIsRecognisedByItsFileNameInAnyCase) {
  EXPECT_TRUE(IsClassicThemeFile("C:\\WINDOWS\\Resources\\Themes\\Windows Classic.theme"));
  EXPECT_TRUE(IsClassicThemeFile("c:\\themes\\WINDOWS CLASSIC.THEME"));
  EXPECT_TRUE(IsClassicThemeFile("Windows Classic.theme"));
  EXPECT_FALSE(IsClassicThemeFile("C:\\WINDOWS\\Resources\\Themes\\Luna.theme"));
  EXPECT_FALSE(IsClassicThemeFile("Windows Classic.theme.bak"));
  EXPECT_FALSE(IsClassicThemeFile("Classic.theme"));
  EXPECT_FALSE(IsClassicThemeFile(""));
  EXPECT_FALSE(IsClassicThemeFile(nullptr));
}

TEST(MenuMeasureTest, WidthGrowsByAverageCharactersAndAnEmptyTextDividesByNothing) {
  // 60 pixels of 10 characters: 63, plus three times 63 / 10.
  EXPECT_EQ(MenuItemWidth(60, 10, 16, 7, true), 63 + 18 + 16 + 7 + 8);
  EXPECT_EQ(MenuItemWidth(60, 10, 16, 4, false), 63 + 18 + 2 * 16 + 1);
  // An empty item text: no characters to average over.
  EXPECT_EQ(MenuItemWidth(0, 0, 16, 7, true), 3 + 16 + 7 + 8);
  EXPECT_EQ(MenuIconGap(true, true), 7);
  EXPECT_EQ(MenuIconGap(true, false), 4);
  EXPECT_EQ(MenuIconGap(false, true), 4);
  EXPECT_EQ(MenuItemHeight(15, 7, 19), 22);
  EXPECT_EQ(MenuItemHeight(15, 4, 20), 20);
  EXPECT_EQ(MenuSeparatorHeight(15, 7, 19), 11);
  EXPECT_EQ(MenuSeparatorHeight(15, 4, 30), 15);
}

TEST(MenuGeometryTest, XpLookPlacesColumnImageMarkAndTexts) {
  XpMenuGeometry g = ComputeXpMenuGeometry({10, 40, 210, 62}, 16, 15, 7);
  EXPECT_EQ(g.column.left, 10);
  EXPECT_EQ(g.column.right, 33);
  EXPECT_EQ(g.iconBox.left, 11);
  EXPECT_EQ(g.iconBox.top, 41);
  EXPECT_EQ(g.iconBox.right, 32);
  EXPECT_EQ(g.iconBox.bottom, 61);
  EXPECT_EQ(g.image.x, 10 + 4);
  EXPECT_EQ(g.image.y, 40 + 4);
  EXPECT_EQ(g.markSquare.left, 10 + 4);
  EXPECT_EQ(g.markSquare.top, 40 + 3);
  EXPECT_EQ(g.markSquare.Width(), 16);
  EXPECT_EQ(g.mark.x, g.markSquare.left + 5);
  EXPECT_EQ(g.mark.y, g.markSquare.top + 4);
  EXPECT_EQ(g.textLeft, 41);
  EXPECT_EQ(g.shortcutRight, 194);
  EXPECT_EQ(g.separatorEdge.left, 40);
  EXPECT_EQ(g.separatorEdge.top, 51);

  // An item lower than the mark square keeps the square at its top.
  XpMenuGeometry low = ComputeXpMenuGeometry({0, 100, 100, 110}, 16, 15, 7);
  EXPECT_EQ(low.markSquare.top, 100);
  EXPECT_EQ(low.image.y, 100);
}

TEST(MenuGeometryTest, ClassicIconBoxNeverRisesAboveALowItem) {
  ClassicMenuGeometry low = ComputeClassicMenuGeometry({0, 50, 120, 60}, 16, 15);
  EXPECT_EQ(low.offset, 0);
  EXPECT_EQ(low.frameBox.top, 50);
  EXPECT_EQ(low.image.y, 52);

  ClassicMenuGeometry g = ComputeClassicMenuGeometry({0, 50, 120, 75}, 16, 15);
  EXPECT_EQ(g.offset, 3);
  EXPECT_EQ(g.smallBox.left, 1);
  EXPECT_EQ(g.smallBox.top, 54);
  EXPECT_EQ(g.smallBox.right, 19);
  EXPECT_EQ(g.smallBox.bottom, 71);
  EXPECT_EQ(g.frameBox.right, 20);
  EXPECT_EQ(g.frameBox.bottom, 72);
  EXPECT_EQ(g.markBox.top, 55);
  EXPECT_EQ(g.markBox.right, 17);
  EXPECT_EQ(g.image.x, 2);
  EXPECT_EQ(g.image.y, 55);
  EXPECT_EQ(g.text.left, 25);
  EXPECT_EQ(g.text.top, 49);
  EXPECT_EQ(g.text.bottom, 74);
  EXPECT_EQ(g.shortcut.right, 104);
  EXPECT_EQ(g.separatorEdge.top, 62);
  EXPECT_EQ(g.selectionLeft, 21);
  EXPECT_EQ(ClassicMarkCorner(g.markBox, true).x, 6);
  EXPECT_EQ(ClassicMarkCorner(g.markBox, false).x, 5);
  EXPECT_EQ(ClassicMarkCorner(g.markBox, false).y, 59);
}

TEST(MenuGeometryTest, CheckMarkStrokesRiseAndFall) {
  std::vector<int> rises;
  for (int i = 0; i < 7; ++i) rises.push_back(CheckMarkRise(i));
  EXPECT_EQ(rises, (std::vector<int>{2, 3, 4, 3, 2, 1, 0}));
  EXPECT_EQ(CheckMarkRise(7), 0);
  EXPECT_EQ(CheckMarkRise(-1), 0);
}

TEST(MenuTextTest, LooksSplitAtTheirTabs) {
  MenuTextParts<std::string> none = SplitAtLastTab(std::string("E&xit"));
  EXPECT_FALSE(none.hasTab);
  EXPECT_EQ(none.label, "E&xit");
  EXPECT_EQ(none.shortcut, "");

  const std::string several = "&Open\tmiddle\tCtrl+O";
  MenuTextParts<std::string> xp = SplitAtLastTab(several);
  EXPECT_TRUE(xp.hasTab);
  EXPECT_EQ(xp.label, "&Open\tmiddle");
  EXPECT_EQ(xp.shortcut, "Ctrl+O");
  MenuTextParts<std::string> classic = SplitAtTabs(several);
  EXPECT_EQ(classic.label, "&Open");
  EXPECT_EQ(classic.shortcut, "Ctrl+O");

  MenuTextParts<std::wstring> wide = SplitAtTabs(std::wstring(L"Save\tF2"));
  EXPECT_EQ(wide.label, L"Save");
  EXPECT_EQ(wide.shortcut, L"F2");
}

TEST(MenuPaddingTest, PadsToTheTargetAndEndsWhenSpacesAddNothing) {
  // Three pixels per space from ten: four spaces reach twenty.
  EXPECT_EQ(MenuPaddingSpaces(20, [](int n) { return 10 + 3 * n; }), 4);
  // Already wide enough.
  EXPECT_EQ(MenuPaddingSpaces(10, [](int n) { return 10 + 3 * n; }), 0);
  // A font whose space has no width: the loop must still end.
  int calls = 0;
  EXPECT_EQ(MenuPaddingSpaces(50, [&calls](int) {
              ++calls;
              return 10;
            }),
            0);
  EXPECT_LE(calls, 2);
  // A target that one-pixel spaces take very long to reach stops at the cap.
  EXPECT_EQ(MenuPaddingSpaces(1 << 30, [](int n) { return n; }), kMaxMenuPadding);
}

// ---- Capacity scale ---------------------------------------------------------------------------

TEST(SizeRangeGeometryTest, UnconfiguredScaleOrZeroStepsPlaceNothing) {
  EXPECT_FALSE(SizeRangeScale(400, 0).Valid());
  EXPECT_FALSE(SizeRangeScale(0, 80).Valid());
  EXPECT_FALSE(SizeRangeScale(400, -5).Valid());
  EXPECT_TRUE(SizeRangeShortTicks(400, 0, 5).empty());
  EXPECT_TRUE(SizeRangeShortTicks(400, 80, 0).empty());
  EXPECT_TRUE(SizeRangeShortTicks(400, 80, -5).empty());
  EXPECT_TRUE(SizeRangeLabels(400, 0, 10).empty());
  EXPECT_TRUE(SizeRangeLabels(400, 80, 0).empty());
  EXPECT_TRUE(SizeRangeBar(400, 50, 0, 30, {0}).empty());
}

TEST(SizeRangeGeometryTest, TicksStopBeforeTheMaximumAndTheEndLabelIsLeftOut) {
  std::vector<int> ticks = SizeRangeShortTicks(400, 80, 5);
  ASSERT_EQ(ticks.size(), 16u);
  EXPECT_EQ(ticks.front(), 0);
  EXPECT_EQ(ticks[1], 25);
  EXPECT_EQ(ticks.back(), 375);

  std::vector<SizeRangeLabel> labels = SizeRangeLabels(400, 80, 10);
  ASSERT_EQ(labels.size(), 8u);  // 80 would stand at 400, beyond 95 %
  EXPECT_EQ(labels[0].x, 0);
  EXPECT_EQ(labels[3].x, 150);
  EXPECT_EQ(labels[3].value, 30);
  EXPECT_EQ(labels.back().value, 70);

  // A text centred on its line, except where that would cut it at the left
  // edge ("0min" on the first line): there it starts at the edge.
  EXPECT_EQ(SizeRangeTextCentre(0, 31), 16);
  EXPECT_EQ(SizeRangeTextCentre(10, 31), 16);
  EXPECT_EQ(SizeRangeTextCentre(150, 31), 150);

  // Positions truncate: 74 minutes on 300 pixels for 90 is 246.66.
  SizeRangeScale scale(300, 90);
  EXPECT_EQ(scale.X(74), 246);
  EXPECT_EQ(SizeRangeScale::Truncate(1e300), INT_MAX);
  EXPECT_EQ(SizeRangeScale::Truncate(-1e300), INT_MIN);
}

TEST(SizeRangeGeometryTest, BarEndsAtTheValueOrTheMaximumAndSkipsBandsAboveIt) {
  SizeRangeHeights h = ComputeSizeRangeHeights(50);
  EXPECT_EQ(h.shortTick, 10);
  EXPECT_EQ(h.labelTick, 25);
  EXPECT_EQ(h.labelTop, 30);
  EXPECT_EQ(h.barTop, 5);
  EXPECT_EQ(h.barHeight, 15);

  std::vector<SizeRangeBarPart> parts = SizeRangeBar(400, 50, 80, 60, {0, 40, 70});
  ASSERT_EQ(parts.size(), 2u);  // the band from 70 is above the value
  EXPECT_EQ(parts[0].band, 0);
  EXPECT_EQ(parts[0].fill.x, 0);
  EXPECT_EQ(parts[0].fill.cx, 300);
  EXPECT_EQ(parts[0].fill.y, 5);
  EXPECT_EQ(parts[0].fill.cy, 15);
  EXPECT_EQ(parts[0].shadow.x, 1);
  EXPECT_EQ(parts[0].shadow.y, 6);
  EXPECT_EQ(parts[0].shadow.cx, 301);
  EXPECT_EQ(parts[0].shadow.cy, 16);
  EXPECT_EQ(parts[1].band, 1);
  EXPECT_EQ(parts[1].fill.x, 200);
  EXPECT_EQ(parts[1].fill.cx, 100);

  // Beyond the maximum the bar runs to the right end.
  std::vector<SizeRangeBarPart> full = SizeRangeBar(400, 50, 80, 500, {0});
  ASSERT_EQ(full.size(), 1u);
  EXPECT_EQ(full[0].fill.x + full[0].fill.cx, 400);
}

// ---- Hover button -------------------------------------------------------------------------------

TEST(HoverLayoutTest, ImageStandsByTheCaptionOrCentredWithoutOne) {
  const ButtonRect item = {0, 0, 100, 40};
  struct Case {
    int align;
    bool caption;
    bool shifted;
    int x, y;
    ButtonRect rest;
  } cases[] = {
      {kImageLeft, true, false, 3, 12, {22, 0, 100, 40}},
      {kImageLeft, false, false, 42, 12, {0, 0, 100, 40}},
      {kImageTop, true, false, 42, 3, {0, 19, 100, 40}},
      {kImageTop, false, false, 42, 12, {0, 0, 100, 40}},
      {kImageRight, true, false, 81, 12, {0, 0, 81, 40}},
      {kImageRight, false, false, 42, 12, {0, 0, 100, 40}},
      {kImageLeft, true, true, 4, 13, {22, 0, 100, 40}},
      {3, true, false, 3, 12, {22, 0, 100, 40}},
  };
  for (const Case& c : cases) {
    HoverImagePlacement p = PlaceHoverImage(item, 16, 16, c.caption, c.align, 3, 3, c.shifted, 1, 1);
    EXPECT_EQ(p.x, c.x) << c.align << c.caption;
    EXPECT_EQ(p.y, c.y) << c.align << c.caption;
    EXPECT_EQ(p.caption.left, c.rest.left) << c.align << c.caption;
    EXPECT_EQ(p.caption.top, c.rest.top) << c.align << c.caption;
    EXPECT_EQ(p.caption.right, c.rest.right) << c.align << c.caption;
    EXPECT_EQ(p.caption.bottom, c.rest.bottom) << c.align << c.caption;
  }
}

// ---- Hyperlink -------------------------------------------------------------------------------------

TEST(HyperlinkCommandTest, MailLinksAreRecognisedCaseSensitively) {
  EXPECT_TRUE(IsMailtoUrl("mailto:someone@example.com"));
  EXPECT_TRUE(IsMailtoUrl("mailto"));
  EXPECT_FALSE(IsMailtoUrl("MAILTO:someone@example.com"));
  EXPECT_FALSE(IsMailtoUrl("mail"));
  EXPECT_FALSE(IsMailtoUrl("http://example.com/mailto:x"));
}

TEST(HyperlinkCommandTest, CommandIsCutAtItsPlaceholder) {
  struct Case {
    const char* command;
    const char* cut;
  } cases[] = {
      {"\"C:\\Browser\\b.exe\" -url \"%1\"", "\"C:\\Browser\\b.exe\" -url "},
      {"C:\\b.exe %1 -new", "C:\\b.exe "},
      {"C:\\b.exe %1 \"%1\"", "C:\\b.exe %1 "},
      {"\"C:\\Program Files\\b.exe\" -nohome", "\"C:\\Program Files\\b.exe\" -nohome"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(CutAtPlaceholder(c.command), c.cut) << c.command;
  EXPECT_EQ(BrowserCommandLine("C:\\b.exe -nohome", "http://example.com/"),
            "C:\\b.exe -nohome \"http://example.com/\"");
  EXPECT_EQ(BrowserCommandLine("\"C:\\b.exe\" \"%1\"", "http://example.com/a b"),
            "\"C:\\b.exe\"  \"http://example.com/a%20b\"");
}

// The argument rules of the C runtime's command-line parser.
std::vector<std::string> SplitCommandLine(const std::string& line) {
  std::vector<std::string> args;
  size_t i = 0, n = line.size();
  for (;;) {
    while (i < n && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i >= n) break;
    std::string arg;
    bool quoted = false;
    while (i < n) {
      char c = line[i];
      if (c == '\\') {
        size_t k = 0;
        while (i + k < n && line[i + k] == '\\') ++k;
        if (i + k < n && line[i + k] == '"') {
          arg.append(k / 2, '\\');
          if (k % 2 == 1) {
            arg += '"';
            i += k + 1;
          } else {
            i += k;
          }
        } else {
          arg.append(k, '\\');
          i += k;
        }
        continue;
      }
      if (c == '"') {
        if (quoted && i + 1 < n && line[i + 1] == '"') {
          arg += '"';
          i += 2;
          continue;
        }
        quoted = !quoted;
        ++i;
        continue;
      }
      if ((c == ' ' || c == '\t') && !quoted) break;
      arg += c;
      ++i;
    }
    args.push_back(arg);
  }
  return args;
}

TEST(HyperlinkCommandTest, AnyUrlStaysOneArgumentOfTheBrowserCommand) {
  const char* urls[] = {
      "http://example.com/",
      "http://example.com/a b",
      "http://example.com/\" --evil-flag \"x",
      "http://example.com/\\\" --evil",
      "http://example.com/dir\\",
      "http://example.com/dir\\\\\\",
      "\"",
      "a\tb\nc\rd",
      "http://example.com/\"\"\"\"",
      "",
  };
  const std::string command = "\"C:\\Browser\\b.exe\" -osint -url \"%1\"";
  for (const char* url : urls) {
    std::string line = BrowserCommandLine(command, url);
    std::vector<std::string> args = SplitCommandLine(line);
    ASSERT_EQ(args.size(), 4u) << line;
    EXPECT_EQ(args[0], "C:\\Browser\\b.exe");
    EXPECT_EQ(args[1], "-osint");
    EXPECT_EQ(args[2], "-url");
    EXPECT_EQ(args[3].find('"'), std::string::npos) << line;
    EXPECT_EQ(args[3].find(' '), std::string::npos) << line;
#if defined(_WIN32)
    // The system's own parser agrees.
    std::wstring wide(line.begin(), line.end());
    int count = 0;
    LPWSTR* argv = ::CommandLineToArgvW(wide.c_str(), &count);
    ASSERT_NE(argv, nullptr);
    EXPECT_EQ(count, 4) << line;
    ::LocalFree(argv);
#endif
  }
  EXPECT_EQ(QuoteUrlArgument("a\"b c"), "\"a%22b%20c\"");
  EXPECT_EQ(QuoteUrlArgument("dir\\"), "\"dir\\\\\"");
  EXPECT_EQ(QuoteUrlArgument("http://x/%41"), "\"http://x/%41\"");
}

TEST(HyperlinkCommandTest, EveryResultCodeHasItsText) {
  EXPECT_EQ(HyperlinkErrorText(0), "The operating system is out\nof memory or resources.");
  EXPECT_EQ(HyperlinkErrorText(2), "The specified file was not found.");
  EXPECT_EQ(HyperlinkErrorText(26), "A sharing violation occurred. ");
  EXPECT_EQ(HyperlinkErrorText(31), "There is no application associated\nwith the given filename extension.");
  EXPECT_EQ(HyperlinkErrorText(32), "The specified dynamic-link library was not found.");
  EXPECT_EQ(HyperlinkErrorText(7), "Unknown Error (7) occurred.");
  EXPECT_EQ(HyperlinkErrorText(-3), "Unknown Error (-3) occurred.");
}

}  // namespace
