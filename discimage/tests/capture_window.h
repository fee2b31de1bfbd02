// A stand-in for the window the builder reports to: collects every text and
// record sent to it, copying them as a window procedure must.
#pragma once

#include <cstdint>
#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "discimage/base/vcd_messages.h"

struct CapturedMessage {
  unsigned int message = 0;
  uintptr_t wParam = 0;
  bool isRecord = false;  // first byte 0
  std::string text;       // texts
  // Records, copied field by field through offsetof.
  int32_t phase = 0;
  std::string name;
  int32_t percent = 0;
  uint32_t sizeOrWritten = 0, positionOrTotal = 0;
  int32_t packetsOrTrack = 0, trackCount = 0;
  std::string about, program, major, minor, micro, platform;
};

// The fields of a progress record, compared as a whole.
struct ProgressFields {
  int32_t phase;
  std::string name;
  int32_t percent;
  uint32_t sizeOrWritten, positionOrTotal;
  int32_t packetsOrTrack, trackCount;

  static ProgressFields Of(const CapturedMessage& m) {
    return ProgressFields{m.phase, m.name, m.percent, m.sizeOrWritten, m.positionOrTotal,
                          m.packetsOrTrack, m.trackCount};
  }
  bool operator==(const ProgressFields& o) const {
    return phase == o.phase && name == o.name && percent == o.percent && sizeOrWritten == o.sizeOrWritten &&
           positionOrTotal == o.positionOrTotal && packetsOrTrack == o.packetsOrTrack &&
           trackCount == o.trackCount;
  }
};

inline std::ostream& operator<<(std::ostream& out, const ProgressFields& f) {
  return out << "{phase " << f.phase << ", \"" << f.name << "\", " << f.percent << "%, " << f.sizeOrWritten
             << ", " << f.positionOrTotal << ", " << f.packetsOrTrack << ", " << f.trackCount << "}";
}

class CaptureWindow {
public:
  std::vector<CapturedMessage> messages;

  static intptr_t Send(void* window, unsigned int message, uintptr_t wParam, intptr_t lParam) {
    static_cast<CaptureWindow*>(window)->Take(message, wParam, lParam);
    return 0;
  }

  void Attach(CVcdMessageSink& sink, unsigned int message = 0xC123) {
    sink.SetWindowTarget(this, message, &CaptureWindow::Send);
  }

  std::vector<std::string> Texts() const {
    std::vector<std::string> texts;
    for (const CapturedMessage& m : messages)
      if (!m.isRecord) texts.push_back(m.text);
    return texts;
  }

  // The texts of one level, as they were sent.
  std::vector<std::string> TextsAt(int level) const {
    std::vector<std::string> texts;
    for (const CapturedMessage& m : messages)
      if (IsTextAt(m, level)) texts.push_back(m.text);
    return texts;
  }
  // The same, each without the line feed that ends it.
  std::vector<std::string> LinesAt(int level) const {
    std::vector<std::string> lines = TextsAt(level);
    for (std::string& line : lines)
      if (!line.empty() && line.back() == '\n') line.pop_back();
    return lines;
  }
  // Whether some text of the level contains part.
  bool Has(int level, const std::string& part) const { return Count(level, part) > 0; }
  // Texts of the level (those containing part, when given).
  int Count(int level, const std::string& part = std::string()) const {
    int count = 0;
    for (const CapturedMessage& m : messages)
      if (IsTextAt(m, level) && m.text.find(part) != std::string::npos) ++count;
    return count;
  }
  // Every text with its level, for failure messages.
  std::string All() const {
    std::string all;
    for (const CapturedMessage& m : messages)
      if (!m.isRecord) all += std::to_string(m.wParam) + ": " + m.text;
    return all;
  }
  void Clear() { messages.clear(); }

  template <typename T>
  static T Field(const unsigned char* base, size_t offset) {
    T value;
    memcpy(&value, base + offset, sizeof value);
    return value;
  }
  static std::string Str(const char* p) { return p ? p : "(null)"; }

  static bool IsTextAt(const CapturedMessage& m, int level) {
    return !m.isRecord && m.wParam == static_cast<uintptr_t>(level);
  }

  void Take(unsigned int message, uintptr_t wParam, intptr_t lParam) {
    CapturedMessage m;
    m.message = message;
    m.wParam = wParam;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(lParam);
    m.isRecord = p[0] == 0;
    if (!m.isRecord) {
      m.text = reinterpret_cast<const char*>(p);
    } else if (wParam == kVcdMsgProgress) {
      m.phase = Field<int32_t>(p, offsetof(VcdBuildProgress, phase));
      m.name = Str(Field<const char*>(p, offsetof(VcdBuildProgress, name)));
      m.percent = Field<int32_t>(p, offsetof(VcdBuildProgress, percent));
      m.sizeOrWritten = Field<uint32_t>(p, offsetof(VcdBuildProgress, sizeOrWritten));
      m.positionOrTotal = Field<uint32_t>(p, offsetof(VcdBuildProgress, positionOrTotal));
      m.packetsOrTrack = Field<int32_t>(p, offsetof(VcdBuildProgress, packetsOrTrack));
      m.trackCount = Field<int32_t>(p, offsetof(VcdBuildProgress, trackCount));
    } else if (wParam == kVcdMsgPlain) {
      m.about = Str(Field<const char*>(p, offsetof(VcdVersionRecord, about)));
      m.program = Str(Field<const char*>(p, offsetof(VcdVersionRecord, program)));
      m.major = Str(Field<const char*>(p, offsetof(VcdVersionRecord, major)));
      m.minor = Str(Field<const char*>(p, offsetof(VcdVersionRecord, minor)));
      m.micro = Str(Field<const char*>(p, offsetof(VcdVersionRecord, micro)));
      m.platform = Str(Field<const char*>(p, offsetof(VcdVersionRecord, platform)));
    }
    messages.push_back(m);
  }
};

// A message sink that shows every level and keeps every text and record.
class CapturingSink : public CaptureWindow {
public:
  CapturingSink() {
    Attach(sink);
    sink.SetLevel(kVcdLevelDebug);
  }
  CVcdMessageSink sink;
};

// Everything written to a temporary stream, as text.
inline std::string ReadAll(FILE* stream) {
  fflush(stream);
  rewind(stream);
  std::string all;
  char chunk[4096];
  size_t n;
  while ((n = fread(chunk, 1, sizeof chunk, stream)) > 0) all.append(chunk, n);
  return all;
}

// A read-write scratch file in the test's working folder, removed at the end.
class ScratchStream {
public:
  explicit ScratchStream(const char* name) : m_name(name), m_file(fopen(name, "w+b")) {}
  ~ScratchStream() {
    if (m_file) fclose(m_file);
    remove(m_name.c_str());
  }
  FILE* get() const { return m_file; }
  std::string Contents() const { return ReadAll(m_file); }

private:
  std::string m_name;
  FILE* m_file;
};
