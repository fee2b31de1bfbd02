// Whether the DVD authoring library has posted the end of its run, for the
// dialogs that call it: a run that returns a failure has either posted its
// failure (the dialog ends the step when it arrives) or nothing at all (the
// dialog ends the step itself).
#pragma once

#include <windows.h>

// TRUE when window's queue holds message with the authoring's end code
// (failed or image made). The queue is left as it was, in its order.
BOOL AuthoringEndQueued(HWND window, UINT message);
