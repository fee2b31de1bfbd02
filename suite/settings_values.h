// The values of the disc programs' "param.ini", shared by the disc creator,
// the disc burner and the converter: the disc and TV types, the section and
// key every program shares, and the rules that turn a stored text into a
// value (hand-edited or damaged files fall back to the defaults).
#pragma once

#include "mfc/core.h"

// Disc type: chosen once at start, selects profiles, formats and writers.
enum { kDiscTypeVcd = 0, kDiscTypeSvcd = 1, kDiscTypeDvd = 2 };
// TV system.
enum { kTvTypeNtsc = 0, kTvTypePal = 1 };
// Aspect ratio.
enum { kAspect4x3 = 0, kAspect16x9 = 1 };

// The section and key the three disc programs share.
#define QUORBEL_SHARED_SECTION "main"
#define QUORBEL_TV_TYPE_KEY "TVType"

// The settings file beside each program.
#define QUORBEL_SETTINGS_FILE "param.ini"

// True when text is a decimal integer: optional blanks, an optional sign,
// digits, optional blanks, and within the range of int.
bool ParseSettingInt(const char* text, int* value);

// The stored integer when it is one and lies in [lo, hi]; otherwise (no
// text, not a number, out of range) the default.
int SettingIntOrDefault(const char* text, int def, int lo, int hi);

// A stored folder: the default when the text is empty or longer than
// maxLength once it ends with a backslash; a backslash is appended when
// missing, since the programs append names to the folder directly.
CString SettingFolderOrDefault(const char* text, const char* def, int maxLength);
