// The project writer on arbitrary labels and paths: whatever it agrees to
// write, the builder's reader must accept and give back unchanged.
//
// Input: one byte of disc class, then the volume id and the paths, each
// ended by a zero byte.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "discimage/base/vcd_messages.h"
#include "discimage/xml/vcd_xml_data.h"
#include "discimage/xml/vcd_xml_reader.h"
#include "suite/vcd_xml_writer.h"

namespace {

// The reader's UTF-8 for an ANSI (Latin-1) text.
std::string Utf8(const std::string& ansi) {
  std::string utf8;
  for (unsigned char c : ansi) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

FILE* NullStream() {
  static FILE* stream = fopen("/dev/null", "w");
  return stream;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  std::vector<std::string> texts(1);
  for (size_t i = 1; i < size; ++i) {
    if (data[i] == 0)
      texts.emplace_back();
    else
      texts.back() += static_cast<char>(data[i]);
  }
  if (texts.size() > 64) return 0;

  VcdXmlWriter writer;
  writer.SetDiscClass(data[0] % 8);
  writer.SetVolumeId(texts[0].c_str());
  for (size_t i = 1; i < texts.size(); ++i) writer.AddSequenceItem(texts[i].c_str());

  std::string document;
  if (writer.BuildDocument(&document) != 0) return 0;

  CVcdMessageSink messages;
  messages.SetOutputStreams(NullStream(), NullStream());
  CVcdXmlData read;
  if (VcdXmlReadMemory(document.data(), document.size(), "vcd.xml", &messages, &read) != 0) abort();
  if (read.volumeId != Utf8(writer.GetVolumeId())) abort();
  if (read.sequenceItems.GetCount() != writer.GetItemCount()) abort();
  int i = 0;
  for (POSITION pos = read.sequenceItems.GetHeadPosition(); pos != NULL; ++i) {
    CVcdNewStyle* holder = static_cast<CVcdNewStyle*>(read.sequenceItems.GetNext(pos));
    if (holder->SequenceItem() == NULL) abort();
    if (holder->SequenceItem()->src != Utf8(writer.GetItem(i).GetString())) abort();
  }
  return 0;
}
