// The launcher's rules that need no window: the hover text for the program
// button under the mouse and the programs it starts. Platform-neutral,
// tested natively too.
#pragma once

#include <string>

// The three programs, in the order of their buttons (commands 6061-6063).
enum LauncherProgram { kProgramCreator = 0, kProgramBurner = 1, kProgramConverter = 2, kProgramCount = 3 };

// "Vantrel", "Pelzor", "Skarven": the skin element of the button.
const char* ProgramButtonName(int program);
// "Vantrel.exe", "Pelzor.exe", "Skarven.exe".
const char* ProgramFileName(int program);
// The program a command starts, or -1.
int ProgramForCommand(unsigned command);

// What label 1001 shows: the text of the first program button whose state
// is 0 (the mouse is over it), else the welcome text. states[i] belongs to
// program i; a state the library could not give is anything but 0.
int HoverChoice(const int states[kProgramCount]);  // a program, or -1 for the welcome text
const char* HoverText(int choice);

// The maker's addresses.
extern const char kLauncherHomePage[];
extern const char kLauncherSupportMail[];
