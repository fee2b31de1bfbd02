// The platform-neutral half of the disc programs' small utilities: texts
// and path rules that need no system call. The disc creator, the disc
// burner and the converter all use these (app_utils.h adds the folder, file,
// drive and registry helpers on Windows).
#pragma once

#include <string>
#include <vector>

#include "mfc/core.h"

// printf into a std::string of at most bufferSize - 1 characters (the
// programs' texts are bounded by the fixed buffers they are shown from).
std::string FormatText(size_t bufferSize, const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);

// "%02d:%02d:%02d.%01d" of hours, minutes, seconds and tenths; the tenths
// are cut, not rounded. Negative and non-finite durations show as zero.
CString FormatDuration(double seconds);

// False when the label holds a double quote or one of * / : < > ? \ |
// (characters a folder name cannot hold: the label names the disc folder).
// An empty label is valid.
BOOL IsValidDiscLabel(const char* label);

// The DirectX version number (50 to 93) of the registry's version text,
// e.g. "4.09.00.0904" gives 90; a missing text or one shorter than four
// characters has no minor digit and, like any other, gives 93.
int DirectXVersionFromText(const char* version);

// The job's temporary folder on a drive: "%c:\tmpQuorbel\".
CString TempFolderOnDrive(char drive);

// The folders CreateFolderPath makes current or creates, shortest first:
// for "C:\a\b" that is "C:\a\", "C:\a\b\". The first component (a drive
// "C:", or "\\server\share" of a network path) is taken as it is; empty
// components (doubled backslashes) are skipped. Empty for an empty path.
std::vector<std::string> FolderPathPrefixes(const char* path);

// True when a full path (as GetFullPathName gives it) names a place whose
// whole-tree deletion is refused: empty, not absolute, a drive root
// ("C:\", "C:"), the root of a network share ("\\server\share\") or a
// device path ("\\.\", "\\?\").
bool IsProtectedFolderPath(const char* fullPath);
