// libFuzzer target: the nrg reader over arbitrary file contents. The file is
// served from memory through the stream's file operations, so every read the
// reader makes goes through the same bounds as a real file.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include "discimage/image/vcd_image_sink_nero.h"
#include "discimage/base/vcd_messages.h"

namespace {

class MemoryNero : public CVcdNero {
public:
  MemoryNero(CVcdMessageSink* messages, const uint8_t* data, size_t size)
      : CVcdNero(messages, NULL, kVcdStreamRead), m_data(data), m_size(size) {}

protected:
  int DoOpen() override { return 0; }
  int DoClose() override { return 0; }
  int64_t DoSeek(int64_t offset) override {
    return offset >= 0 && static_cast<uint64_t>(offset) <= m_size ? offset : m_position;
  }
  size_t DoRead(void* buffer, size_t length) override {
    if (m_position < 0 || static_cast<uint64_t>(m_position) > m_size ||
        length > m_size - static_cast<size_t>(m_position))
      return 0;
    memcpy(buffer, m_data + m_position, length);
    return length;
  }
  size_t DoWrite(const void*, size_t) override { return 0; }
  int64_t DoSize() override { return static_cast<int64_t>(m_size); }

private:
  const uint8_t* m_data;
  size_t m_size;
};

CVcdMessageSink& Messages() {
  static CVcdMessageSink* messages = [] {
    CVcdMessageSink* sink = new CVcdMessageSink;
    FILE* null = fopen("/dev/null", "w");
    sink->SetOutputStreams(null, null);
    sink->SetLevel(kVcdLevelDebug);  // format every message too
    return sink;
  }();
  return *messages;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryNero nrg(&Messages(), data, size);
  int sectors = nrg.StatSize();
  uint8_t sector[2336];
  const int probes[] = {0, 1, sectors / 2, sectors - 1, sectors, -1, 150, 0x7FFFFFFF};
  for (int lsn : probes) {
    nrg.ReadSector(sector, lsn, 1);
    nrg.ReadSector(sector, lsn, 0);
  }
  for (const CVcdNero::Range& range : nrg.GetRanges()) {
    // Every range the reader accepted lies inside the file.
    if (range.offset < 0 || range.count <= 0 ||
        static_cast<uint64_t>(range.offset) + static_cast<uint64_t>(range.count) * 2336 > size)
      __builtin_trap();
    nrg.ReadSector(sector, range.start + range.count - 1, 1);
  }
  return 0;
}
