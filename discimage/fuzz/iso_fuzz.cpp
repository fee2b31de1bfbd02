// Fuzz target for what the ISO 9660 code reads from outside: paths from the
// project (name rules and the directory tree) and the bytes of directory
// extents and path tables it walks. The first input byte picks which.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "discimage/iso9660/iso9660.h"
#include "discimage/iso9660/vcd_directory.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/iso9660/vcd_sector_bitmap.h"

namespace {

CVcdMessageSink& Sink() {
  static CVcdMessageSink* sink = [] {
    CVcdMessageSink* s = new CVcdMessageSink();
    FILE* null = fopen("/dev/null", "w");
    s->SetOutputStreams(null, null);
    s->SetLevel(kVcdLevelDebug);
    return s;
  }();
  return *sink;
}

std::vector<std::string> Lines(const uint8_t* data, size_t size) {
  std::vector<std::string> lines(1);
  for (size_t i = 0; i < size; ++i) {
    if (data[i] == '\n')
      lines.emplace_back();
    else if (data[i] != 0)
      lines.back() += static_cast<char>(data[i]);
  }
  return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0] % 4;
  ++data;
  --size;
  CVcdMessageSink* messages = &Sink();

  if (mode == 0) {
    for (const std::string& line : Lines(data, size)) {
      IsDirectoryPathValid(messages, line.c_str());
      IsFilePathValid(messages, line.c_str());
    }
  } else if (mode == 1) {
    // A hostile extent: whatever its records claim, appends stay inside.
    std::vector<uint8_t> extent(data, data + size);
    const size_t capacity = extent.size();
    extent.resize(capacity + 64, 0xA5);
    AddDirectoryRecord(messages, extent.data(), capacity, "NAME.DAT;1", 1, 2, 0, NULL, 0, 0);
    for (size_t i = capacity; i < extent.size(); ++i)
      if (extent[i] != 0xA5) __builtin_trap();
  } else if (mode == 2) {
    std::vector<uint8_t> table(data, data + size);
    const size_t capacity = table.size();
    table.resize(capacity + 64, 0xA5);
    if (PathTableSize(table.data(), capacity) > capacity) __builtin_trap();
    AddPathTableRecordL(messages, table.data(), capacity, "DIR", 1, 1);
    for (size_t i = capacity; i < table.size(); ++i)
      if (table[i] != 0xA5) __builtin_trap();
  } else {
    // A tree made from the lines: "d path" a folder, anything else a file.
    CVcdDirectory tree(messages);
    CVcdSectorBitmap bitmap(messages);
    for (const std::string& line : Lines(data, size)) {
      if (line.size() >= 2 && line[0] == 'd' && line[1] == ' ')
        tree.MakeDirectory(line.c_str() + 2);
      else
        tree.MakeFile(line.c_str(), static_cast<uint32_t>(bitmap.AllocateSectors(-1, 1 + line.size() % 7)),
                      static_cast<uint32_t>(line.size()), line.size() % 2, 1, 0);
    }
    const int sectors = tree.DirectorySectors();
    if (sectors <= 0 || sectors > 4096) return 0;
    std::vector<uint8_t> area(static_cast<size_t>(sectors) * kIsoSectorSize);
    if (tree.WriteDirectories(area.data(), area.size(), 18) != 0) __builtin_trap();
    uint8_t l[kIsoSectorSize], m[kIsoSectorSize];
    tree.WritePathTables(l, m);
  }
  return 0;
}
