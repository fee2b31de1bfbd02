// File paths as the image sheets write them: a cue sheet or TOC names its
// image files, and readers look for those from the sheet's own folder.
// Both '/' and '\\' separate components, whatever the platform.
#pragma once

#include <string>

// Whether the path starts at a root: a separator or a drive letter ("C:").
bool VcdIsAbsolutePath(const std::string& path);

// How a sheet at sheetPath names the file at target (both as the builder
// was given them, relative to currentFolder unless absolute): an absolute
// target as it is; a relative one from the sheet's folder ("v.bin" beside
// the sheet, "../v.bin" one folder up). The separator is the one the given
// paths use. When the way there needs the names of folders above the
// working one and currentFolder is empty, target is returned unchanged.
std::string VcdPathFromSheet(const std::string& sheetPath, const std::string& target,
                             const std::string& currentFolder);

// How a sheet at sheetPath names the image file at target, for a reader
// that opens the sheet: an absolute target as it is; a relative one from the
// folder the sheet really lies in to the folder the target really lies in,
// links on the way resolved (a lexical "../" from a folder reached through
// a link would lead elsewhere); the target's real absolute path when the
// two share no root. When a folder cannot be resolved (it does not exist),
// as VcdPathFromSheet from the working folder.
std::string VcdImagePathForSheet(const std::string& sheetPath, const std::string& target);

// The working folder, or "" when it cannot be told.
std::string VcdCurrentFolder();
