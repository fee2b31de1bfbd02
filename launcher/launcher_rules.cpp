#include "launcher/launcher_rules.h"

const char kLauncherHomePage[] = "http://www.quorbel.example/";
const char kLauncherSupportMail[] = "mailto:support@quorbel.example";

namespace {

const char* const kButtons[kProgramCount] = {"Vantrel", "Pelzor", "Skarven"};
const char* const kFiles[kProgramCount] = {"Vantrel.exe", "Pelzor.exe", "Skarven.exe"};

const char* const kHoverTexts[kProgramCount] = {
    "Create Video VCD SVCD DVD Disc from AVI DivX XviD MPG WMV ASF MOV QT etc files. So you can play it on your "
    "home DVD Player",
    "Burn Video DVD SVCD VCD disc from compatible MPEG-2(VOB) or MPEG-1 files, So you can play it on your home DVD "
    "Player",
    "Just convert the AVI DivX Xvid MPG WMV ASF MOV QT,etc. files to DVD(VOB) or SVCD VCD compatible MPEG files",
};

const char kWelcome[] =
    "Welcome to use our Quorbel.\n\nWeb: www.quorbel.example\nE-mail: support@quorbel.example";

}  // namespace

const char* ProgramButtonName(int program) {
  return program >= 0 && program < kProgramCount ? kButtons[program] : "";
}

const char* ProgramFileName(int program) { return program >= 0 && program < kProgramCount ? kFiles[program] : ""; }

int ProgramForCommand(unsigned command) {
  return command >= 6061 && command <= 6063 ? static_cast<int>(command - 6061) : -1;
}

int HoverChoice(const int states[kProgramCount]) {
  for (int i = 0; i < kProgramCount; ++i)
    if (states[i] == 0) return i;
  return -1;
}

const char* HoverText(int choice) { return choice >= 0 && choice < kProgramCount ? kHoverTexts[choice] : kWelcome; }

