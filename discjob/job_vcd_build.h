// The image build worker of the disc programs' job dialogs: one run of the
// image builder (BuildVcdImage) on its own thread for a VideoCD XML project,
// writing a cue sheet and its raw image. It talks to the dialog only by sent
// messages - the state message when it starts and ends, the builder's own
// registered message for texts and progress - so the dialog handles them
// on its own thread while the worker waits.
#pragma once

#include <windows.h>

#include <string>

// The name the builder's message is registered under.
#define JOB_BUILDER_MESSAGE_NAME "msg_zrDiscImage"

// Results of the worker besides the builder's own (kVcdResult*).
enum { kVcdBuildNoMessage = 103 };

// wParam of the state message.
enum { kVcdBuildEnded = 0, kVcdBuildStarted = 1 };

// What one build needs; read by the worker only.
struct VcdBuildJob {
  HWND window = NULL;                // receives everything the build reports
  std::string messageName;           // the builder's registered message
  UINT stateMessage = 0;             // wParam kVcdBuildStarted / kVcdBuildEnded, lParam the result
  std::string xmlPath;               // the VideoCD XML project
  std::string cuePath;               // cue sheet to write
  std::string binPath;               // raw image to write
  volatile int* cancelFlag = nullptr;  // set by the dialog to stop the build; cleared here at start
  UINT* messageStore = nullptr;      // the program's process-wide copy of the registered identifier
};

// One build on the calling thread: registers the message (without it:
// state message (ended, 103) and 103), clears the cancel flag, sends
// (started), runs the builder with progress reports, sends the result text
// under the registered message (wParam 1) and then (ended, result).
// Returns 0, or 103 without a window or a registered message. Paths that do
// not fit the builder's parameter block end the build as bad parameters
// (-1) without running it: a cut path would write the image elsewhere.
UINT RunVcdBuild(const VcdBuildJob& job);
