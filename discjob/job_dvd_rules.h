// The DVD side of the disc job that needs no window: which disc type codes
// can be written, how a writer shows in the drive list, and what the start
// of a job does with the disc found in the writer.
#pragma once

#include <string>

// DvdScribe's disc type codes that can be written (5 to 9 and 13).
bool IsWritableDvdType(int code);

// A DVD writer's drive list text: "%s %s %s" of drive name and the two
// identification texts, or the second alone when the first begins with a
// blank.
std::string DvdWriterEntryText(const char* driveName, const char* first, const char* second);

// What the disc in a writer allows (GetInsertedDiscInfo).
struct InsertedDisc {
  int writable;  // a writable DVD that can take the job
  int erasable;  // rewritable
  int blank;     // nothing written on it
};

// What Start does with it.
enum DvdStartAction {
  kDvdStartRefused,  // no usable disc: log and stop
  kDvdStartGo,       // blank or write-once: convert, or burn the image again
  kDvdStartAskErase, // rewritable with data on it: ask, then erase first
};
DvdStartAction DvdStartActionFor(const InsertedDisc& disc);
