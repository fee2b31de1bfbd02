// The DVD disc folder of a new job, as the creator's job dialog and the
// burner's burn dialog make it ready for authoring. Only what a DVD job
// made is rebuilt without asking: the folder holds the user's files when
// the label names one of the user's folders.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

// Makes folder (the disc folder, ending in a backslash) empty and ready:
// - missing: made with its missing parents;
// - holding only a disc layout (disc_folder::HoldsOnlyDiscLayout): deleted
//   and made again;
// - holding anything else: the user is asked (Yes/No, No by default, the
//   folder named); No refuses the job, Yes rebuilds it.
// A delete that leaves files behind or a folder that cannot be made is
// reported by a box owned by owner and a line through log. TRUE when the
// job may author into the folder.
BOOL PrepareDvdDiscFolder(const char* folder, HWND owner, const std::function<void(const char*)>& log);

// The box shown when a DVD job's output folder cannot be made.
extern const char kDvdFolderFailedText[];

// The question asked about a folder the suite did not make.
std::string DiscFolderQuestion(const char* folder);
