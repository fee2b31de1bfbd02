// CD writing through CdScribe for the disc programs' job dialogs: the list
// of CD writers, the erase of a rewritable disc and the start of a cue
// image burn. Every failing library call is shown by the library's error
// box ("error: %s"); the burn and the erase then run inside the library,
// which reports through the callbacks the dialog registered.
#pragma once

#include <string>
#include <vector>

// The writers for the drive list: entry texts (drive letter first) in the
// library's order, and the entry to select (-1 when there is none).
struct CdWriterList {
  std::vector<std::string> entries;
  int selected = -1;
};
// Asks the library for its devices and keeps the CD writers; the one to
// select holds a CD-R or CD-RW medium (the first such), else the last.
CdWriterList FindCdWriters();

// Selects the writer of a drive list entry (its first character): false
// after the error box.
bool SelectCdWriter(const char* entry);

// Starts a quick erase of the disc in the selected writer, tray kept
// closed: 0, or -1 after the error box.
int StartCdErase();

enum {
  kCdBurnStarted = 0,
  kCdBurnNoBlankDisc = 1,  // box "Please insert a blank writable disc into the driver." shown, tray opened
  kCdBurnFailed = 2,       // error box shown
};
// Starts writing the cue image cuePath (and the image its sheet names) to
// the selected writer with the volume label.
int StartCueImageBurn(const char* label, const char* cuePath);
