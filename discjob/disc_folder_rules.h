// The rules of a disc folder that the creator's job dialog and the burner's
// burn dialog share: which labels name a folder of their own below the
// output folder, how the folder's path is joined (refused, never cut, when
// it would not fit its buffer), and which contents a DVD job itself made,
// so that only those are rebuilt without asking.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace disc_folder {

// The box for a label that names no folder of its own.
extern const char kEmptyLabelText[];
// The box for an output folder and label too long for the disc folder's
// buffer.
extern const char kTooLongText[];

// False for an empty label, one of dots and blanks only ("", ".", "..",
// " "), or one holding a path separator: each would name the output folder,
// one above it or one elsewhere, which a new DVD job rebuilds.
bool LabelNamesOwnFolder(const char* label);

// outputFolder + label + "\" into *folder when it fits a buffer of capacity
// characters with its terminating zero; false (and *folder untouched) when
// it does not.
bool JoinDiscFolder(const char* outputFolder, const char* label, size_t capacity, std::string* folder);

// One entry of a folder listing: its name and, for a folder, its entries.
struct Entry {
  std::string name;
  bool isFolder = false;
  std::vector<Entry> entries;
};

// True when a folder holding these entries holds nothing but what an
// authoring run writes: VIDEO_TS and AUDIO_TS folders with only the files
// VIDEO_TS.IFO/BUP/VOB and VTS_nn_n.IFO/BUP/VOB in them. An empty folder
// holds nothing to lose and counts too.
bool HoldsOnlyDiscLayout(const std::vector<Entry>& entries);

}  // namespace disc_folder
