#include "discjob/disc_folder.h"

#include <string>
#include <vector>

#include "suite/app_utils.h"
#include "discjob/disc_folder_rules.h"
#include "mfc/mfc.h"

const char kDvdFolderFailedText[] =
    "Create output directory failed!\nPlease change the output directory with clicking Select button! ";

namespace {

// The folder's entries (the folder without a trailing backslash) and, one
// level down, those of its folders (deeper ones are not needed: a folder
// inside VIDEO_TS is no disc layout anyway).
std::vector<disc_folder::Entry> ListFolder(const std::string& folder, int depth) {
  std::vector<disc_folder::Entry> entries;
  std::vector<FolderEntry> listed;
  ListFolderEntries(folder, &listed);
  for (const FolderEntry& found : listed) {
    disc_folder::Entry entry;
    entry.name = found.longName;
    entry.isFolder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    // A linked folder was never made by the suite: it counts as a user's entry.
    if (found.attributes & FILE_ATTRIBUTE_REPARSE_POINT) entry.isFolder = false;
    if (entry.isFolder && depth > 0) entry.entries = ListFolder(found.path, depth - 1);
    entries.push_back(entry);
  }
  return entries;
}

}  // namespace

std::string DiscFolderQuestion(const char* folder) {
  return std::string("The folder\n") + folder +
         "\nalready exists and holds files that were not made by a DVD job.\n\n"
         "Delete the folder with everything in it and make the DVD there?";
}

BOOL PrepareDvdDiscFolder(const char* folder, HWND owner, const std::function<void(const char*)>& log) {
  std::string path = folder != NULL ? folder : "";
  if (path.empty()) return FALSE;
  if (path.back() != '\\') path += "\\";
  if (FolderExists(path.c_str())) {
    if (!disc_folder::HoldsOnlyDiscLayout(ListFolder(path.substr(0, path.size() - 1), 1))) {
      if (AfxShowMessageBox(owner, DiscFolderQuestion(path.c_str()).c_str(), AfxGetAppName(),
                            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES) {
        log("Aborted by user: the disc folder holds other files.");
        return FALSE;
      }
    }
    if (!DeleteFolderTree(path.c_str(), owner)) {
      std::string text = "The folder\n" + path +
                         "\ncould not be deleted completely: some of its files are still there.\n\n"
                         "Please close the programs that use them, or choose another Disc Label.";
      AfxShowMessageBox(owner, text.c_str(), AfxGetAppName(), MB_OK | MB_ICONERROR);
      log("Failed to delete the disc folder.");
      return FALSE;
    }
  }
  if (!CreateFolderPath(path.c_str())) {
    AfxShowMessageBox(owner, kDvdFolderFailedText, AfxGetAppName(), MB_OK);
    log("Failed to create the disc folder.");
    return FALSE;
  }
  return TRUE;
}
