#include "discimage/base/vcd_messages.h"

#include <cstring>
#include <string>

namespace {

// Printed over a progress line that ended in CR before the next text.
const char kClearingLine[] =
    "                                                                             \r";
static_assert(sizeof(kClearingLine) == 77 + 2, "77 blanks and a carriage return");

const char* PrefixOf(int level) {
  switch (level) {
    case kVcdMsgDebug: return "--DEBUG: ";
    case kVcdMsgInfo: return "   INFO: ";
    case kVcdMsgWarning: return "++ WARN: ";
    case kVcdMsgError: return "**ERROR: ";
    case kVcdMsgProgress: return "PROGRES: ";
    default: return "";
  }
}

// The part of a path after its last separator; empty for no path.
const char* FileNamePart(const char* path) {
  if (path == NULL) return "";
  const char* name = path;
  for (const char* p = path; *p; ++p)
    if (*p == '\\' || *p == '/') name = p + 1;
  return name;
}

uint32_t ClampToU32(int64_t value) {
  if (value < 0) return 0;
  if (value > 0xFFFFFFFFLL) return 0xFFFFFFFFu;
  return static_cast<uint32_t>(value);
}

double PercentOf(int64_t done, int64_t total) {
  return total > 0 ? static_cast<double>(done) / static_cast<double>(total) * 100.0 : 0.0;
}

// The record a window gets for either phase; the two counts come in the
// record's order (scan: size, position; write: written, total).
VcdBuildProgress ProgressRecord(int32_t phase, const char* name, int32_t percent,
                                int64_t sizeOrWritten, int64_t positionOrTotal,
                                int32_t packetsOrTrack, int32_t trackCount) {
  VcdBuildProgress record;
  memset(&record, 0, sizeof record);
  record.phase = phase;
  record.name = name;
  record.percent = percent;
  record.sizeOrWritten = ClampToU32(sizeOrWritten);
  record.positionOrTotal = ClampToU32(positionOrTotal);
  record.packetsOrTrack = packetsOrTrack;
  record.trackCount = trackCount;
  return record;
}

}  // namespace

int VcdLevelFromVerbosity(int verbosity) {
  switch (verbosity) {
    case 1: return kVcdLevelDebug;
    case 2: return kVcdLevelQuiet;
    default: return kVcdLevelNormal;
  }
}

int VcdPercentRoundedUp(int64_t done, int64_t total) {
  if (total <= 0 || done <= 0) return 0;
  return static_cast<int>((done * 100 + total - 1) / total);
}

CVcdMessageSink::CVcdMessageSink()
    : m_cancelFlag(NULL),
      m_level(kVcdLevelNormal),
      m_progress(0),
      m_window(NULL),
      m_message(0),
      m_send(NULL),
      m_lineOpen(false),
      m_out(stdout),
      m_err(stderr) {}

CVcdMessageSink::~CVcdMessageSink() {}

void CVcdMessageSink::SetLevel(int level) { m_level = level; }

void CVcdMessageSink::SetWindowTarget(void* window, unsigned int message, VcdWindowSendFn send) {
  m_window = window;
  m_message = message;
  m_send = send;
}

void CVcdMessageSink::SetOutputStreams(FILE* out, FILE* err) {
  m_out = out ? out : stdout;
  m_err = err ? err : stderr;
}

void CVcdMessageSink::SendV(int level, const char* format, va_list args) {
  char text[kTextSize];
  text[0] = '\0';
  if (format != NULL) vsnprintf(text, sizeof text, format, args);
  SendText(level, text);
}

void CVcdMessageSink::Send(int level, const char* format, ...) {
  va_list args;
  va_start(args, format);
  SendV(level, format, args);
  va_end(args);
}

#define VCD_SINK_ENTRY(name, level)                 \
  void CVcdMessageSink::name(const char* format, ...) { \
    va_list args;                                   \
    va_start(args, format);                         \
    SendV(level, format, args);                     \
    va_end(args);                                   \
  }
VCD_SINK_ENTRY(Debug, kVcdMsgDebug)
VCD_SINK_ENTRY(Info, kVcdMsgInfo)
VCD_SINK_ENTRY(Warning, kVcdMsgWarning)
VCD_SINK_ENTRY(Error, kVcdMsgError)
VCD_SINK_ENTRY(ProgressText, kVcdMsgProgress)
#undef VCD_SINK_ENTRY

bool CVcdMessageSink::LevelShown(int level) const {
  switch (level) {
    case kVcdMsgDebug: return m_level == kVcdLevelDebug;
    case kVcdMsgInfo: return m_level == kVcdLevelDebug || m_level == kVcdLevelNormal;
    case kVcdMsgWarning:
    case kVcdMsgError:
    case kVcdMsgProgress:
    case kVcdMsgPlain: return true;
    default: return false;
  }
}

void CVcdMessageSink::SendText(int level, const char* text) {
  // An empty text says nothing; sent to a window its zero first byte would
  // pass for a record.
  if (text == NULL || text[0] == '\0') return;
  std::string line = text;
  if (line.back() != '\r' && line.back() != '\n') line += '\n';
  if (!LevelShown(level)) return;
  bool endsWithCr = !line.empty() && line.back() == '\r';
  if (m_lineOpen && !endsWithCr) Deliver(kVcdMsgPlain, kClearingLine);
  Deliver(level, line.c_str());
  m_lineOpen = endsWithCr;
}

void CVcdMessageSink::Deliver(int level, const char* text) {
  if (HasWindow()) {
    m_send(m_window, m_message, static_cast<uintptr_t>(level), reinterpret_cast<intptr_t>(text));
    return;
  }
  FILE* stream = level == kVcdMsgError ? m_err : m_out;
  // The text is data, never a format: it may hold '%' from file names.
  fputs(PrefixOf(level), stream);
  fputs(text, stream);
  if (level == kVcdMsgError) fflush(NULL);
  fflush(m_out);
}

void CVcdMessageSink::SendRecord(int wParam, const void* record) {
  m_send(m_window, m_message, static_cast<uintptr_t>(wParam), reinterpret_cast<intptr_t>(record));
}

int CVcdMessageSink::ReportScanProgress(const VcdScanState* state) {
  if (state == NULL || !m_progress) return 0;
  if (HasWindow()) {
    int percent = VcdPercentRoundedUp(state->position, state->size);
    VcdBuildProgress record = ProgressRecord(kVcdPhaseScan, state->name, percent, state->size,
                                             state->position, state->packets, 0);
    SendRecord(kVcdMsgProgress, &record);
    return 0;
  }
  // Byte positions may pass 2 GiB, beyond a 32-bit long: printed 64-bit.
  ProgressText("#scan[%s]: %lld/%lld (%2.0f%%)            \r", FileNamePart(state->name),
               static_cast<long long>(state->position), static_cast<long long>(state->size),
               PercentOf(state->position, state->size));
  return 0;
}

int CVcdMessageSink::ReportWriteProgress(const VcdWriteState* state) {
  if (state == NULL || !m_progress) return 0;
  if (HasWindow()) {
    int percent = VcdPercentRoundedUp(state->sectorsWritten, state->sectorsTotal);
    VcdBuildProgress record = ProgressRecord(kVcdPhaseWrite, state->name, percent, state->sectorsWritten,
                                             state->sectorsTotal, state->currentTrack, state->trackCount);
    SendRecord(kVcdMsgProgress, &record);
    return 0;
  }
  ProgressText("#write[%d/%d]: %ld/%ld (%2.0f%%)          \r", state->currentTrack,
               state->trackCount, static_cast<long>(state->sectorsWritten),
               static_cast<long>(state->sectorsTotal),
               PercentOf(state->sectorsWritten, state->sectorsTotal));
  return 0;
}
