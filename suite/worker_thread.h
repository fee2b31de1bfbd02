// Worker threads of the disc programs' jobs. Every worker a job step needs
// is started here, so a start the system refuses comes back to the step,
// which then ends with its failure and kWorkerStartFailedText in its log
// instead of waiting for a report that never comes.
#pragma once

#include <windows.h>

// The log line of a step whose worker could not be started.
extern const char kWorkerStartFailedText[];

// Runs proc(parameter) on a new thread. FALSE when no thread was started
// (the parameter stays the caller's). With thread given, the caller gets
// the thread's handle to wait on and close; otherwise it is closed here.
BOOL StartWorkerThread(LPTHREAD_START_ROUTINE proc, void* parameter, HANDLE* thread = NULL);

// Tests make every following start fail, as a system out of threads or
// memory does, to see each step end instead of hang.
void RefuseWorkerStartsForTests(bool refuse);
