// The launcher's window-free rules: hover texts and the programs its
// buttons start.
#include <gtest/gtest.h>

#include <string>

#include "launcher/launcher_rules.h"

namespace {

TEST(LauncherRulesTest, HoverTextFollowsTheFirstButtonUnderTheMouse) {
  const int none[] = {1, 1, 1};
  const int burner[] = {1, 0, 1};
  const int two[] = {1, 0, 0};
  const int unknown[] = {-1, -1, -1};
  EXPECT_EQ(-1, HoverChoice(none));
  EXPECT_EQ(1, HoverChoice(burner));
  EXPECT_EQ(1, HoverChoice(two));
  EXPECT_EQ(-1, HoverChoice(unknown));
  EXPECT_EQ(0u, std::string(HoverText(-1)).find("Welcome to use our Quorbel.\n\n"));
  EXPECT_EQ(0u, std::string(HoverText(2)).find("Just convert the AVI"));
}

TEST(LauncherRulesTest, CommandsStartTheProgramsOfTheirButtons) {
  EXPECT_EQ(0, ProgramForCommand(6061));
  EXPECT_EQ(2, ProgramForCommand(6063));
  EXPECT_EQ(-1, ProgramForCommand(7071));
  EXPECT_STREQ("Vantrel.exe", ProgramFileName(0));
  EXPECT_STREQ("Pelzor.exe", ProgramFileName(1));
  EXPECT_STREQ("Skarven.exe", ProgramFileName(2));
  EXPECT_STREQ("Skarven", ProgramButtonName(2));
  EXPECT_STREQ("", ProgramFileName(3));
}

}  // namespace
