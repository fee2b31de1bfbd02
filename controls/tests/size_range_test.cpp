// The capacity scale painted over a dialog's placeholder: background only
// before it is configured, then ticks, markers and the coloured bar, all
// checked by pixels of known areas.
#include <gtest/gtest.h>

#include "controls/size_range.h"
#include "controls/tests/control_test_support.h"

using controls_test::Hex;

namespace {

const COLORREF kGreen = RGB(0, 160, 0);
const COLORREF kYellow = RGB(230, 200, 0);
const COLORREF kRed = RGB(220, 0, 0);
const COLORREF kMarker = RGB(0, 0, 200);

class ScaleDialog : public controls_test::TemplateDialog {
public:
  CSizeRange scale;
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    scale.AttachToDlgItem(100, this);
    scale.MoveWindow(10, 10, 400, 50);
    return TRUE;
  }
};

class SizeRangeTest : public ::testing::Test {
protected:
  void SetUp() override {
    guitest::DialogTemplate t("Capacity scale", 10, 10, 290, 60);
    t.Static(100, "", 5, 5, 100, 20);
    ASSERT_TRUE(dialog_.Open(t));
  }
  void TearDown() override { dialog_.DestroyWindow(); }
  guitest::Capture Shot() { return guitest::Capture::OfWindow(dialog_.scale.GetSafeHwnd()); }
  void Configure() {
    CSizeRange& s = dialog_.scale;
    s.SetMaximum(80);
    s.SetTickStep(5);
    s.SetLabelStep(10);
    s.SetUnitText("m");
    s.AddMarker(74, kMarker, TRUE);
    s.AddColorBand(0, kGreen);
    s.AddColorBand(60, kYellow);
    s.AddColorBand(70, kRed);
  }
  ScaleDialog dialog_;
};

TEST_F(SizeRangeTest, PaintsOnlyItsBackgroundBeforeItIsConfigured) {
  dialog_.scale.SetValue(30);  // a value, but no maximum yet
  guitest::Capture shot = Shot();
  ASSERT_EQ(shot.Width(), 400);
  ASSERT_EQ(shot.Height(), 50);
  RECT all = {0, 0, 400, 50};
  EXPECT_EQ(shot.Count(all, CSizeRange::kBackground), 400 * 50);

  // Steps of zero with a maximum: no ticks or labels, the bar still.
  dialog_.scale.SetMaximum(80);
  dialog_.scale.AddColorBand(0, kGreen);
  dialog_.scale.SetValue(40);
  shot = Shot();
  EXPECT_COLOR(shot.At(100, 10), kGreen);
  EXPECT_COLOR(shot.At(100, 30), CSizeRange::kBackground);
  EXPECT_COLOR(shot.At(0, 30), CSizeRange::kBackground);
}

TEST_F(SizeRangeTest, PaintsTicksMarkersAndTheBarInTheColoursOfItsBands) {
  Configure();
  dialog_.scale.SetValue(65);  // paints at once: no pumping before the capture
  guitest::Capture shot = Shot();
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "size_range_65");
  // 5 pixels per minute; bar from y 5, 15 high, shadow one lower and right.
  EXPECT_COLOR(shot.At(25, 1), RGB(0, 0, 0));                   // short tick at 5
  EXPECT_COLOR(shot.At(25, 22), CSizeRange::kBackground);       // short ticks end at 10
  EXPECT_COLOR(shot.At(50, 22), RGB(0, 0, 0));                  // labelled tick at 10
  EXPECT_COLOR(shot.At(150, 12), kGreen);
  EXPECT_COLOR(shot.At(310, 12), kYellow);                      // from 60 on
  EXPECT_COLOR(shot.At(320, 12), kYellow);                      // 64
  EXPECT_COLOR(shot.At(355, 12), CSizeRange::kBackground);      // 71: the band from 70 is not reached
  EXPECT_COLOR(shot.At(200, 20), CSizeRange::kBarShadow);       // the shadow's bottom row
  EXPECT_COLOR(shot.At(326, 12), CSizeRange::kBarShadow);       // right of the bar's end at 325
  EXPECT_COLOR(shot.At(328, 12), CSizeRange::kBackground);
  RECT markerColumn = {368, 40, 373, 50};
  EXPECT_GT(shot.Count(markerColumn, kMarker), 5);
  EXPECT_EQ(dialog_.scale.GetValue(), 65);
}

TEST_F(SizeRangeTest, AValueAboveTheMaximumFillsToTheEndAndIsKept) {
  Configure();
  dialog_.scale.SetValue(500);
  guitest::Capture shot = Shot();
  EXPECT_COLOR(shot.At(398, 12), kRed);
  EXPECT_COLOR(shot.At(352, 12), kRed);
  EXPECT_EQ(dialog_.scale.GetValue(), 500);
  guitest::SaveScreenshot(dialog_.GetSafeHwnd(), "size_range_full");
}

}  // namespace
