// The stand-ins' trace: when asked for, every call into a stand-in adds one
// line "<milliseconds since start> <thread id> <text>" to <dir>\<library>.trace.
// The folder comes from the environment variable QUORBEL_TRACE_DIR, else
// from HKCU\Software\Quorbel\StandIns, value "TraceDir"; without either
// nothing is written.
#pragma once

void StandinTrace(const char* library, const char* format, ...)
    __attribute__((format(printf, 2, 3)));

// The trace folder, or "" when tracing is off (read once per process).
const char* StandinTraceDir();
