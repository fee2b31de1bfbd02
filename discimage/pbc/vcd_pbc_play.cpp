// The play list descriptor (type 0x10): 14 bytes, then one play item number
// per item.
#include <cmath>
#include <cstring>

#include "discimage/pbc/vcd_pbc.h"

IMPLEMENT_DYNAMIC(CPbcPlay, CPbc)

namespace {

const int kHeadBytes = 14;
const int kTicksPerSecond = 15;  // the playing time field counts 1/15 s

}  // namespace

CPbcPlay::CPbcPlay(const char* id)
    : CPbc(kPbcPlayList, id), playingTime(0.0), wait(0), autoWait(0) {}

int CPbcPlay::DescriptorSize(int extended) const {
  return kHeadBytes + 2 * static_cast<int>(itemIds.size());
}

void CPbcPlay::LinkReferences(CPbcLinker& linker) const {
  linker.LinkList(prevId);
  linker.LinkList(nextId);
  linker.LinkList(returnId);
  for (const CString& item : itemIds) linker.LinkItem(item);
}

int CPbcPlay::CheckReferences() const {
  int dangling = CheckListReference(prevId) + CheckListReference(nextId) + CheckListReference(returnId);
  for (const CString& item : itemIds) dangling += CheckItemReference(item);
  return dangling;
}

int CPbcPlay::Encode(uint8_t* out, int extended, CPbcReport& report) const {
  CPbcList* lists = GetPbcList();
  if (lists == NULL) {
    report.Error("PSD: list '%s' belongs to no project", m_id.GetString());
    return -1;
  }
  const int errors = report.GetErrors();
  const int items = static_cast<int>(itemIds.size());
  if (items > kPbcMaxPlayItems)
    report.Error("play list '%s': too many play items (%d > %d)", m_id.GetString(), items,
                 static_cast<int>(kPbcMaxPlayItems));
  const double ticks = playingTime * kTicksPerSecond;
  const bool timeFits = std::isfinite(ticks) && ticks >= 0.0 && ticks < 65536.0;
  if (!timeFits)
    report.Error("play list '%s': playing time %.3fs does not fit (0 to %d s)", m_id.GetString(),
                 playingTime, 65535 / kTicksPerSecond);

  out[0] = kPsdPlayListType;
  out[1] = static_cast<uint8_t>(items > kPbcMaxPlayItems ? kPbcMaxPlayItems : items);
  VcdPbcPut16(out + 2, ListIdField());
  VcdPbcPut16(out + 4, lists->ListOffset(prevId, extended, report));
  VcdPbcPut16(out + 6, lists->ListOffset(nextId, extended, report));
  VcdPbcPut16(out + 8, lists->ListOffset(returnId, extended, report));
  VcdPbcPut16(out + 10, timeFits ? static_cast<int>(ticks) : 0);
  out[12] = static_cast<uint8_t>(VcdPbcWaitTimeCode(wait, report.Messages()));
  out[13] = static_cast<uint8_t>(VcdPbcWaitTimeCode(autoWait, report.Messages()));
  int at = kHeadBytes;
  for (const CString& item : itemIds) {
    VcdPbcPut16(out + at, lists->PlayItemNumber(item, report));
    at += 2;
  }
  return report.GetErrors() != errors ? -1 : at;
}
