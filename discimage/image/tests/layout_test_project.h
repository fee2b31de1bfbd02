// Shared by the image build tests: a VideoCD XML project for MPEG fixtures,
// and a small reader for the images written (sectors of a bin file, the
// ISO 9660 tree of track 1), so that images can be checked where the
// system's disc tools do not run (under Wine).
#pragma once

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "discimage/xml/vcd_xml_names.h"

namespace layout_test {

struct ProjectSpec {
  std::string cls = "vcd";      // "vcd", "svcd", "hqvcd"
  std::string version = "2.0";
  std::vector<std::string> sequences;  // MPEG files, one track each
  std::string segment;                 // MPEG file of a segment item; "" for none
  double entryTime = 1.5;              // entry point on the first track; < 0 for none
  bool pbc = true;                     // a play list over the items and an end list
  std::vector<std::pair<std::string, std::string>> options;
  std::string userFile;                // a file for EXTRA/README.TXT; "" for none
};

inline std::string Escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '&') out += "&amp;";
    else if (c == '<') out += "&lt;";
    else if (c == '"') out += "&quot;";
    else out += c;
  }
  return out;
}

inline std::string ProjectXml(const ProjectSpec& spec) {
  std::string x = "<?xml version=\"1.0\"?>\n<!DOCTYPE videocd PUBLIC \"" VCD_XML_PUBLIC_ID "\" \"" VCD_XML_SYSTEM_ID
                  "\">\n<videocd xmlns=\"" VCD_XML_NAMESPACE "\" class=\"" + spec.cls +
                  "\" version=\"" + spec.version + "\">\n";
  for (const auto& option : spec.options)
    x += "  <option name=\"" + Escaped(option.first) + "\" value=\"" + Escaped(option.second) + "\"/>\n";
  x += "  <info><album-id>QUORBEL</album-id><volume-count>1</volume-count>"
       "<volume-number>1</volume-number><restriction>0</restriction></info>\n"
       "  <pvd><volume-id>TESTDISC</volume-id><system-id>CD-RTOS CD-BRIDGE</system-id>"
       "<application-id>QUORBEL</application-id><preparer-id/><publisher-id>QUORBEL</publisher-id></pvd>\n";
  if (!spec.userFile.empty())
    x += "  <filesystem><folder><name>EXTRA</name><file src=\"" + Escaped(spec.userFile) +
         "\"><name>README.TXT</name></file></folder></filesystem>\n";
  if (!spec.segment.empty())
    x += "  <segment-items><segment-item id=\"menu\" src=\"" + Escaped(spec.segment) +
         "\"/></segment-items>\n";
  x += "  <sequence-items>\n";
  for (size_t i = 0; i < spec.sequences.size(); ++i) {
    std::string id = "movie" + std::to_string(i + 1);
    x += "    <sequence-item id=\"" + id + "\" src=\"" + Escaped(spec.sequences[i]) + "\">";
    x += "<default-entry id=\"" + id + "start\"/>";
    if (i == 0 && spec.entryTime >= 0)
      x += "<entry id=\"chapter\">" + std::to_string(spec.entryTime) + "</entry>";
    x += "</sequence-item>\n";
  }
  x += "  </sequence-items>\n";
  if (spec.pbc) {
    x += "  <pbc>\n    <playlist id=\"play\"><next ref=\"end\"/><wait>5</wait>";
    if (!spec.segment.empty()) x += "<play-item ref=\"menu\"/>";
    for (size_t i = 0; i < spec.sequences.size(); ++i)
      x += "<play-item ref=\"movie" + std::to_string(i + 1) + "\"/>";
    x += "</playlist>\n    <endlist id=\"end\"/>\n  </pbc>\n";
  }
  x += "</videocd>\n";
  return x;
}

// Sectors of a cue/bin image (2352 or 2336 bytes each), read back.
class ImageReader {
public:
  ImageReader(const std::string& path, int sectorSize) : m_sectorSize(sectorSize) {
    m_file = fopen(path.c_str(), "rb");
  }
  ~ImageReader() {
    if (m_file != NULL) fclose(m_file);
  }
  bool IsOpen() const { return m_file != NULL; }

  // The raw 2352-byte sector (sync and header are left zero for 2336).
  bool Raw(int lsn, uint8_t* sector) {
    memset(sector, 0, 2352);
    int offset = m_sectorSize == 2336 ? 16 : 0;
    return fseek(m_file, static_cast<long>(lsn) * m_sectorSize, SEEK_SET) == 0 &&
           fread(sector + offset, 1, m_sectorSize, m_file) == static_cast<size_t>(m_sectorSize);
  }
  // The subheader bytes: file number, channel, submode, coding.
  std::vector<int> Subheader(int lsn) {
    uint8_t sector[2352];
    if (!Raw(lsn, sector)) return {};
    return {sector[16], sector[17], sector[18], sector[19]};
  }
  // The 2048 user bytes of a Form 1 sector.
  std::string Form1(int lsn) {
    uint8_t sector[2352];
    if (!Raw(lsn, sector)) return std::string();
    return std::string(reinterpret_cast<char*>(sector + 24), 2048);
  }

  struct Entry {
    uint32_t extent = 0;
    uint32_t size = 0;
    bool directory = false;
    int fileNumber = -1;
  };
  // A file or folder of track 1's ISO 9660 tree by its path ("VCD/INFO.VCD",
  // without version); false when it is not there.
  bool Find(const std::string& path, Entry* found) {
    std::string pvd = Form1(16);
    if (pvd.size() != 2048 || pvd.compare(1, 5, "CD001") != 0) return false;
    Entry dir;
    dir.directory = true;
    dir.extent = Le32(pvd, 156 + 2);
    dir.size = Le32(pvd, 156 + 10);
    size_t start = 0;
    while (start <= path.size()) {
      size_t slash = path.find('/', start);
      std::string name = path.substr(start, slash == std::string::npos ? std::string::npos : slash - start);
      if (!dir.directory || !Lookup(dir, name, &dir)) return false;
      if (slash == std::string::npos) break;
      start = slash + 1;
    }
    *found = dir;
    return true;
  }

private:
  static uint32_t Le32(const std::string& b, size_t at) {
    return static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8 |
           static_cast<uint8_t>(b[at + 2]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(b[at + 3])) << 24;
  }
  bool Lookup(const Entry& dir, const std::string& name, Entry* found) {
    for (uint32_t sector = 0; sector * 2048 < dir.size; ++sector) {
      std::string b = Form1(static_cast<int>(dir.extent + sector));
      if (b.size() != 2048) return false;
      for (size_t at = 0; at < 2048 && static_cast<uint8_t>(b[at]) != 0;) {
        size_t length = static_cast<uint8_t>(b[at]);
        size_t nameLength = static_cast<uint8_t>(b[at + 32]);
        if (length < 34 || at + length > 2048 || 33 + nameLength > length) return false;
        std::string recordName = b.substr(at + 33, nameLength);
        size_t semicolon = recordName.find(';');
        if (semicolon != std::string::npos) recordName.erase(semicolon);
        if (recordName == name) {
          found->extent = Le32(b, at + 2);
          found->size = Le32(b, at + 10);
          found->directory = (static_cast<uint8_t>(b[at + 25]) & 2) != 0;
          size_t systemUse = at + 33 + nameLength + (nameLength % 2 == 0 ? 1 : 0);
          found->fileNumber = systemUse + 14 <= at + length && b[systemUse + 6] == 'X'
                                  ? static_cast<uint8_t>(b[systemUse + 8])
                                  : -1;
          return true;
        }
        at += length;
      }
    }
    return false;
  }

  FILE* m_file;
  int m_sectorSize;
};

}  // namespace layout_test
