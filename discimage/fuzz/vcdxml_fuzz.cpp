// libFuzzer target for the VideoCD XML project reader and the playback
// lists it makes: the input is a project document. A document that reads is
// turned into a project without files (synthetic stream information), its
// lists are added, placed, checked and every descriptor is written into a
// buffer of exactly its size.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <deque>
#include <vector>

#include "discimage/mpeg/mpeg_info.h"
#include "discimage/run/vcd_frontend.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/xml/vcd_xml_data.h"
#include "discimage/xml/vcd_xml_reader.h"

namespace {

intptr_t Discard(void*, unsigned int, uintptr_t, intptr_t) { return 0; }

// A front end whose reports go nowhere (libxml2's messages included).
CVcdFrontEndBase* FrontEnd() {
  static CVcdFrontEndBase* frontEnd = [] {
    CVcdFrontEndBase* made = new CVcdFrontEndBase();
    static int window;
    made->SetWindowTarget(&window, 1, Discard);
    made->SetLevel(kVcdLevelDebug);  // format every text, so that formats are checked too
    return made;
  }();
  return frontEnd;
}

// Items point at stream information that must outlive the project (its
// destructor still reads it): the caller keeps it.
class FuzzProject : public CVcdObj {
public:
  FuzzProject(CVcdMessageSink* messages, int type, std::deque<MpegStreamInfo>* infos)
      : CVcdObj(messages, type), infos(*infos) {}

  // Stream information with a still (stream 0xE1) or motion video.
  MpegStreamInfo* Info(int packets, bool still) {
    infos.emplace_back();
    MpegStreamInfo& info = infos.back();
    memset(&info, 0, sizeof info);
    info.packetCount = packets;
    info.version = 1;
    info.video[still ? 1 : 0].seen = 1;
    return &info;
  }
  void Segment(const char* id, int packets, bool still) {
    if (CheckNewSegment(id) == 0) AppendSegment(NULL, Info(packets, still), id);
  }
  int Sequence(const char* id, const char* defaultEntryId) {
    if (CheckNewSequence(id, defaultEntryId) != 0) return -1;
    return AppendSequence(NULL, Info(1000, false), id, defaultEntryId);
  }

private:
  std::deque<MpegStreamInfo>& infos;
};

void WriteAll(CPbcList& lists, int extended) {
  for (POSITION pos = lists.GetHeadPosition(); pos != NULL;) {
    CPbc* list = static_cast<CPbc*>(lists.GetNext(pos));
    std::vector<uint8_t> bytes(static_cast<size_t>(list->DescriptorSize(extended)));
    list->WriteDescriptor(bytes.data(), extended);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  CVcdFrontEndBase* frontEnd = FrontEnd();
  CVcdXmlData description;
  if (VcdXmlReadMemory(reinterpret_cast<const char*>(data), size, "fuzz.xml", frontEnd,
                       &description) != 0)
    return 0;

  std::deque<MpegStreamInfo> infos;
  FuzzProject* project = new FuzzProject(frontEnd, description.vcdType, &infos);
  if (!project->HasCapability(kVcdCapSupported)) {
    project->Destroy();
    return 0;
  }
  int index = 0;
  for (POSITION pos = description.segmentItems.GetHeadPosition(); pos != NULL; ++index) {
    CVcdNewStyle* holder = static_cast<CVcdNewStyle*>(description.segmentItems.GetNext(pos));
    VcdXmlSegmentItem* item = holder->SegmentItem();
    project->Segment(item->id.c_str(), 1 + index * 97 % 400, index % 2 == 0);
  }
  for (POSITION pos = description.sequenceItems.GetHeadPosition(); pos != NULL;) {
    CVcdNewStyle* holder = static_cast<CVcdNewStyle*>(description.sequenceItems.GetNext(pos));
    VcdXmlSequenceItem* item = holder->SequenceItem();
    if (project->Sequence(CVcdXmlData::TextOrNull(item->id),
                          CVcdXmlData::TextOrNull(item->defaultEntryId)) < 0)
      continue;
    for (POSITION at = item->entries.GetHeadPosition(); at != NULL;) {
      VcdXmlEntry* entry = static_cast<CVcdNewStyle*>(item->entries.GetNext(at))->Entry();
      project->AddEntry(NULL, entry->time, CVcdXmlData::TextOrNull(entry->id));
    }
  }
  VcdXmlAddPbcLists(&description, project, frontEnd);

  CPbcList& lists = project->PbcLists();
  lists.PbcAvailable();
  lists.ComputePsdSize();  // the descriptors are written either way, as a writer may
  lists.CheckReachability();
  WriteAll(lists, 0);
  WriteAll(lists, 1);
  project->Destroy();
  return 0;
}
