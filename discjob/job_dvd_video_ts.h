// The list of a DVD-Video folder's files in the order the DVD writer's
// file tree takes them: the root with the folders VIDEO_TS and AUDIO_TS,
// the video manager's files, then each title set's information file, menu
// VOB, title VOBs and backup. Platform-neutral: the files are asked for
// through VideoTsFiles and added through VideoTsTree, which the DVD burn
// thread backs with the file system and the writing library.
#pragma once

#include <cstdint>
#include <string>

// What the list reads of the folder.
class VideoTsFiles {
public:
  virtual ~VideoTsFiles() = default;
  // Bytes in the file, -1 when it does not exist.
  virtual int64_t SizeOf(const std::string& path) = 0;
};

// Where the list goes: the writer's tree.
class VideoTsTree {
public:
  virtual ~VideoTsTree() = default;
  // The root folder and the two folders under it; false when the tree
  // refused them.
  virtual bool AddFolders() = 0;
  // A file into the VIDEO_TS folder; false when it could not be added.
  virtual bool AddFile(const std::string& path) = 0;
};

// What BuildVideoTsList returns.
enum {
  kVideoTsListOk = 0,
  kVideoTsListMissing = 1,   // a required file is missing or was refused
  kVideoTsListTooLarge = 2,  // more than kDvdDiscSectors sectors
};

// Sectors of 2048 bytes on a single-layer DVD.
enum : int64_t { kDvdDiscSectors = 2294921 };

// Adds the files of the folder source (ending in a backslash) to the tree,
// counting their sectors (size / 2048). Title sets go on while their
// information file exists (at most 99); a title set's parts go on while
// they exist (part 1 is required). On failure *message holds "Could not
// find file %s" or "DVD source is too large to fit on one disc.\r\n".
int BuildVideoTsList(const std::string& source, VideoTsFiles& files, VideoTsTree& tree,
                     std::string* message);
