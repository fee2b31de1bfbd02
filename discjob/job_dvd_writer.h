// DVD writing through DvdScribe for the job dialogs: the table of DVD
// writers found on the machine, the check of the disc in a writer, and the
// two workers that erase a rewritable disc and write a VIDEO_TS folder
// (track-at-once from a UDF tree). Workers report to the dialog's window by
// posted messages (kDvdEraseMessage, kDvdBurnMessage) and show their own
// failure boxes; the dialog cancels a running write with AbortDvdBurn.
#pragma once

#include <windows.h>

#include <string>

#include "discjob/job_dvd_rules.h"
#include "standins/include/dvdscribe.h"

// Posted to the dialog by the erase worker: wParam kDvdErase*.
enum { kDvdEraseMessage = 1834 };
enum { kDvdEraseStarted = 0, kDvdEraseFailed = 1, kDvdEraseDone = 2 };

// Posted to the dialog by the burn worker: wParam kDvdBurn*, lParam the
// percent with kDvdBurnPercent.
enum { kDvdBurnMessage = 1835 };
enum {
  kDvdBurnPreparing = 0,
  kDvdBurnStarted = 1,
  kDvdBurnFinalizing = 2,
  kDvdBurnPercent = 3,
  kDvdBurnFailed = 4,
  kDvdBurnDone = 5,
};

// One DVD writer of the table.
struct DvdWriterEntry {
  int port, bus, target, lun;  // its SCSI address
  char vendor[64];             // first identification text
  char product[64];            // second identification text
  char driveName[3];           // "E:"
  int writesDvd;               // 1: a DVD writer (only those stay in the table)
};

enum { kMaxDvdWriters = 26 };

// The process-wide table, in the order the device search found the writers
// (the drive list shows them in that order).
struct DvdWriterTable {
  DvdWriterEntry entries[kMaxDvdWriters];
  int count;
};
DvdWriterTable& DvdWriters();

// Empties the table and searches the devices: 0, or the start-up failure's
// exception after its box.
int FindDevice();
// The drive list text of entry index.
std::string DvdWriterText(int index);

// Checks the disc in writer index (a box for every refusal; the disc is
// ejected when it cannot be used).
InsertedDisc GetInsertedDiscInfo(int index);

// Starts the erase worker for writer index; it posts kDvdEraseMessage to
// window. FALSE when the thread could not start.
BOOL StartEraseThread(HWND window, int index);
// Starts the burn worker: the VIDEO_TS files of folder (the disc folder,
// ending in a backslash) to writer index under volumeLabel (at most 256
// characters); it posts kDvdBurnMessage to window. FALSE when the thread
// could not start.
BOOL StartDvdBurnThread(HWND window, const char* folder, const char* volumeLabel, int index);
// Cancels the running write (from the user-interface thread); a write not
// yet begun is not begun. The worker then posts kDvdBurnFailed silently.
void AbortDvdBurn();
