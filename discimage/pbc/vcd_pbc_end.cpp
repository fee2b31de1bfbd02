// The end list descriptor (type 0x1F): 8 bytes; on SVCD it names the next
// volume and the picture shown while the disc is changed.
#include "discimage/mpeg/mpeg_info.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/model/vcd_segment.h"

IMPLEMENT_DYNAMIC(CPbcEnd, CPbc)

namespace {

const int kEndBytes = 8;

}  // namespace

CPbcEnd::CPbcEnd(const char* id) : CPbc(kPbcEndList, id), nextVolume(0) {}

int CPbcEnd::DescriptorSize(int extended) const { return kEndBytes; }

void CPbcEnd::LinkReferences(CPbcLinker& linker) const { linker.LinkItem(itemId); }

int CPbcEnd::CheckReferences() const { return CheckItemReference(itemId); }

int CPbcEnd::Encode(uint8_t* out, int extended, CPbcReport& report) const {
  CPbcList* lists = GetPbcList();
  CVcdObj* project = GetProject();
  if (lists == NULL || project == NULL) {
    report.Error("PSD: list '%s' belongs to no project", m_id.GetString());
    return -1;
  }
  const int errors = report.GetErrors();
  out[0] = kPsdEndListType;
  if (!project->HasCapability(kVcdCapSvcdFiles)) {
    if (nextVolume != 0 || !itemId.IsEmpty())
      report.Warning("extended end list attributes ignored for non-SVCD");
    return kEndBytes;
  }

  if (nextVolume < 0 || nextVolume > 255)
    report.Error("PSD: endlist '%s': next volume %d out of range [0..255]", m_id.GetString(),
                 nextVolume);
  out[1] = static_cast<uint8_t>(nextVolume & 0xFF);
  if (!itemId.IsEmpty()) {
    if (nextVolume == 0)
      report.Warning("PSD: endlist '%s': change disc picture given, but next volume is 0",
                     m_id.GetString());
    VcdPbcPut16(out + 2, lists->PlayItemNumber(itemId, report));
    if (lists->IsPlayItem(itemId)) {
      CMpegSegment* segment = project->ItemKind(itemId) == kVcdItemSegment
                                  ? project->Segments().FindById(itemId)
                                  : NULL;
      if (segment == NULL) {
        report.Warning("PSD: endlist '%s': referenced play item '%s' is not a segment play item",
                       m_id.GetString(), itemId.GetString());
      } else {
        const MpegStreamInfo* info = segment->GetStreamInfo();
        bool motion = info != NULL && info->video[0].seen;
        bool still = info != NULL && (info->video[1].seen || info->video[2].seen);
        if (motion || !still)
          report.Warning("PSD: endlist '%s': referenced play item '%s' should be a still picture",
                         m_id.GetString(), itemId.GetString());
      }
    }
  }
  return report.GetErrors() != errors ? -1 : kEndBytes;
}
