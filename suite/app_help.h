// The programs' help: HTML Help (hhctrl.ocx, found through the HTML Help
// control's class key, else by name) opened on "<program folder>\help.CHM
// ::./Index.htm".
#pragma once

#include <windows.h>

#include "mfc/core.h"

// The help path of a program folder (which ends with a backslash, so the
// path holds a doubled one as the programs have always written it).
CString HelpFilePath(const char* programFolder);
// Where HTML Help lives: the InprocServer32 value of its class key, else
// "hhctrl.ocx".
CString HtmlHelpLibraryPath();
// Opens the topic; the help window, or NULL when HTML Help is missing or
// refuses.
HWND ShowHtmlHelp(HWND owner, const char* path);
