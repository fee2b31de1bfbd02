// The programs' side of the multiplexer library "muxTools": loading it at
// start-up, the process-wide "mplex" entry, and one multiplexing call with
// the block filled as the programs fill it.
#pragma once

#include "standins/include/muxtools.h"

// Start-up texts for the two ways loading can fail.
extern const char kMplexCannotLoadText[];  // "Can't load mplex DLL!"
extern const char kMplexNoEntryText[];     // "Load mplex DLL error!"

enum {
  kMplexLoaded = 0,
  kMplexNoLibrary = 1,  // show kMplexCannotLoadText and end
  kMplexNoEntry = 2,    // show kMplexNoEntryText and end
};

// Loads the library (name: "muxTools" unless a test gives another) and looks
// up its entry; stores both process-wide. Loading again frees the earlier one.
int LoadMplexLibrary(const char* name = MUXTOOLS_LIBRARY_NAME);
// Frees the library (program exit).
void FreeMplexLibrary();
// The stored entry, or NULL.
MplexFn MplexEntry();

// The format code for a disc type (0 VCD, 1 SVCD, 2 DVD); any other type
// multiplexes for a VCD.
int MuxFormatForDiscType(int discType);

// Fills the block as the programs do: fixed values, the format, the input
// list (video, audio, NULL; it must outlive the call), the output name
// (cut to fit) and the result kMuxResultPending.
void FillMuxBlock(MuxBlock* block, int format, const char* const* inputs, const char* output);

// One multiplexing run through the stored entry, the block on this thread's
// stack: returns the block's result (kMuxResultPending when no entry is
// loaded). Runs on a worker thread in the programs.
int CallMplex(int format, const char* video, const char* audio, const char* output);
