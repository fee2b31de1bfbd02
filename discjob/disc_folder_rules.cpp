#include "discjob/disc_folder_rules.h"

#include <cctype>
#include <cstring>

namespace disc_folder {

const char kEmptyLabelText[] = "The Disc Label can't be empty.\n\nPlease edit it again.";
const char kTooLongText[] =
    "The output folder and the Disc Label make a path that is too long.\n\n"
    "Please choose a shorter output folder or Disc Label.";

bool LabelNamesOwnFolder(const char* label) {
  if (label == NULL) return false;
  if (strpbrk(label, "\\/") != NULL) return false;
  for (const char* c = label; *c != 0; ++c)
    if (*c != '.' && !isspace(static_cast<unsigned char>(*c))) return true;
  return false;
}

bool JoinDiscFolder(const char* outputFolder, const char* label, size_t capacity, std::string* folder) {
  std::string joined = std::string(outputFolder != NULL ? outputFolder : "") + (label != NULL ? label : "") + "\\";
  if (joined.size() + 1 > capacity) return false;
  *folder = joined;
  return true;
}

namespace {

std::string Upper(const std::string& text) {
  std::string upper = text;
  for (char& c : upper) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
  return upper;
}

bool IsLayoutExtension(const std::string& ext) { return ext == "IFO" || ext == "BUP" || ext == "VOB"; }

// VIDEO_TS.IFO and the like, VTS_01_0.IFO and the like.
bool IsAuthoredFileName(const std::string& name) {
  std::string n = Upper(name);
  if (n.size() == 12 && n.compare(0, 9, "VIDEO_TS.") == 0) return IsLayoutExtension(n.substr(9));
  if (n.size() != 12 || n.compare(0, 4, "VTS_") != 0 || n[6] != '_' || n[8] != '.') return false;
  return isdigit(static_cast<unsigned char>(n[4])) && isdigit(static_cast<unsigned char>(n[5])) &&
         isdigit(static_cast<unsigned char>(n[7])) && IsLayoutExtension(n.substr(9));
}

}  // namespace

bool HoldsOnlyDiscLayout(const std::vector<Entry>& entries) {
  for (const Entry& entry : entries) {
    std::string name = Upper(entry.name);
    if (!entry.isFolder || (name != "VIDEO_TS" && name != "AUDIO_TS")) return false;
    for (const Entry& file : entry.entries)
      if (file.isFolder || !IsAuthoredFileName(file.name)) return false;
  }
  return true;
}

}  // namespace disc_folder
