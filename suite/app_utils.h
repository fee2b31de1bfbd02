// Small helpers of the disc programs on folders, files, drives and the
// DirectX version. The disc creator, the disc burner and the converter all
// link this one implementation. The platform-neutral ones are in
// app_text_utils.h, included here.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "suite/app_text_utils.h"
#include "mfc/core.h"

// The program file's folder, up to and with its last backslash.
CString GetAppFolder();
// The system's temporary folder as the system gives it (with its backslash).
CString GetTempFolder();
// The system folder, without a trailing backslash.
CString GetSystemFolder();

// True when the path is not empty and its status can be read (a file or a
// folder).
BOOL FileExists(const char* path);
// True when the path names an existing folder.
BOOL FolderExists(const char* path);

// One entry of a folder, as listed.
struct FolderEntry {
  std::string path;      // the name to reach it by: folder, backslash, name
  std::string longName;  // its name as listed (may hold '?' for unspellable characters)
  DWORD attributes;
};

// The entries of a folder (without a trailing backslash), without "." and
// "..". A name the ANSI code page cannot spell is reached by its short name.
// False when the folder cannot be listed; a folder without entries is listed.
bool ListFolderEntries(const std::string& folder, std::vector<FolderEntry>* entries);

// The installed DirectX version, 50 to 93, of HKLM
// "SOFTWARE\Microsoft\DirectX\", value "Version" (DirectXVersionFromText;
// a missing or non-text value gives 93); -1 after a box with
// unreadableMessage when the key cannot be opened.
int GetDirectXVersion(const char* unreadableMessage);
// The disc programs' box: "Failed to read register!  ".
int GetDirectXVersion();

// Creates every missing folder of the path: 1 on success (also when nothing
// was missing), 0 at the first folder that cannot be created.
int CreateFolderPath(const char* path);

// Deletes the folder with everything in it, without asking; the path may
// end with a backslash. Links and junctions inside are removed themselves,
// never followed. Refuses (FALSE, nothing deleted) an empty or relative
// path and a drive or share root. TRUE when the folder is gone. owner: the
// window the caller works for (no window is shown).
BOOL DeleteFolderTree(const char* folder, HWND owner);

// Deletes the folder when it exists, then creates it with its missing
// parents: TRUE when it exists, empty, afterwards.
BOOL RecreateFolder(const char* folder, HWND owner);

// Free megabytes on the drive "%c:\" that the caller may use, or -1 when
// they cannot be read; at most INT_MAX.
int GetDiskFreeMB(char drive);

// The drive letters C to Y whose root is a fixed drive, in order.
CString GetFixedDriveLetters();

// The file's size in bytes, the low 32 bits; 4294967295 when it cannot be
// opened.
DWORD GetFileSizeBytes(const char* path);
// The whole size, or -1 when the file cannot be opened.
long long GetFileSizeBytes64(const char* path);
