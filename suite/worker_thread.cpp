#include "suite/worker_thread.h"

const char kWorkerStartFailedText[] = "Could not start the worker of this step.";

namespace {
volatile LONG g_refuseStarts = 0;
}

BOOL StartWorkerThread(LPTHREAD_START_ROUTINE proc, void* parameter, HANDLE* thread) {
  if (thread != NULL) *thread = NULL;
  if (InterlockedCompareExchange(&g_refuseStarts, 0, 0) != 0) return FALSE;
  HANDLE started = ::CreateThread(NULL, 0, proc, parameter, 0, NULL);
  if (started == NULL) return FALSE;
  if (thread != NULL)
    *thread = started;
  else
    ::CloseHandle(started);
  return TRUE;
}

void RefuseWorkerStartsForTests(bool refuse) { InterlockedExchange(&g_refuseStarts, refuse ? 1 : 0); }
