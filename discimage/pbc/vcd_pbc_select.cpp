// The selection list descriptor (type 0x18, 0x1A in the extended PSD): 20
// bytes, one offset per selection, and in the extended form (and on SVCD)
// the rectangles of the prev, next, return and default keys and of each
// selection.
#include <cstring>

#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/model/vcd_sequence.h"

IMPLEMENT_DYNAMIC(CPbcSelect, CPbc)

namespace {

const int kHeadBytes = 20;
const int kAreaBytes = 4;
const int kKeyAreas = 4;  // prev, next, return, default
const int kMaxNumberedSelections = 100;  // BSN + NOS may reach this

const VcdPbcArea kNoArea = {0, 0, 0, 0};

}  // namespace

CPbcSelect::CPbcSelect(const char* id)
    : CPbc(kPbcSelectionList, id),
      defaultMode(kPbcDefaultTarget),
      prevArea(kNoArea),
      nextArea(kNoArea),
      returnArea(kNoArea),
      defaultArea(kNoArea),
      bsn(1),
      wait(0),
      loopCount(1),
      delayedJump(0) {}

void CPbcSelect::AddTarget(const char* id, const VcdPbcArea& area) {
  targetIds.push_back(CString(id));
  targetAreas.push_back(area);
}

int CPbcSelect::DescriptorSize(int extended) const {
  const int selections = TargetCount();
  CVcdObj* project = GetProject();
  if (extended || (project != NULL && project->HasCapability(kVcdCapSvcdFiles)))
    return kHeadBytes + 2 * selections + kAreaBytes * (kKeyAreas + selections);
  return kHeadBytes + 2 * selections;
}

void CPbcSelect::LinkReferences(CPbcLinker& linker) const {
  linker.LinkList(prevId);
  linker.LinkList(nextId);
  linker.LinkList(returnId);
  if (defaultMode == kPbcDefaultTarget) linker.LinkList(defaultId);
  linker.LinkList(timeoutId);
  linker.LinkItem(itemId);
  for (const CString& target : targetIds) linker.LinkList(target);
}

int CPbcSelect::CheckReferences() const {
  int dangling = CheckListReference(prevId) + CheckListReference(nextId) +
                 CheckListReference(returnId) + CheckListReference(defaultId) +
                 CheckListReference(timeoutId) + CheckItemReference(itemId);
  for (const CString& target : targetIds) dangling += CheckListReference(target);
  return dangling;
}

void CPbcSelect::WriteArea(uint8_t* out, const VcdPbcArea& area, CPbcReport& report) const {
  const bool none = area.x1 == 0 && area.y1 == 0 && area.x2 == 0 && area.y2 == 0;
  if (!none && area.x1 >= area.x2) {
    report.Error("selection '%s': area x1 >= x2 (%d >= %d)", m_id.GetString(), area.x1, area.x2);
    memset(out, 0, kAreaBytes);
    return;
  }
  if (!none && area.y1 >= area.y2) {
    report.Error("selection '%s': area y1 >= y2 (%d >= %d)", m_id.GetString(), area.y1, area.y2);
    memset(out, 0, kAreaBytes);
    return;
  }
  out[0] = area.x1;
  out[1] = area.y1;
  out[2] = area.x2;
  out[3] = area.y2;
}

bool CPbcSelect::CheckMultiDefault(CPbcReport& report) const {
  const char* id = m_id.GetString();
  const int errors = report.GetErrors();
  if (delayedJump) report.Warning("selection '%s': jump timing shall be immediate", id);
  if (bsn != 1) report.Error("selection '%s': (BSN != 1) for multi default selection", id);
  if (itemId.IsEmpty()) {
    report.Error("selection '%s': play nothing play item not allowed for multidefault list", id);
    return false;
  }
  CVcdObj* project = GetProject();
  int kind = project->ItemKind(itemId);
  const CMpegSequence* sequence = NULL;
  if (kind == kVcdItemSequence) sequence = project->Sequences().FindById(itemId);
  if (kind == kVcdItemEntry) sequence = project->Sequences().FindByEntryId(itemId);
  if (sequence == NULL) {
    report.Error(
        "selection '%s': play item '%s' is requried to be sequence or entry point item for multi "
        "default selecton",
        id, itemId.GetString());
    return false;
  }
  // One selection per entry point of the track, its start included.
  if (sequence->EntryPointCount() != TargetCount())
    report.Error("selection '%s': number of entrypoints (%d for sequence '%s') != number of "
                 "selections (%d)",
                 id, sequence->EntryPointCount(), sequence->GetId().GetString(), TargetCount());
  return report.GetErrors() == errors;
}

int CPbcSelect::Encode(uint8_t* out, int extended, CPbcReport& report) const {
  CPbcList* lists = GetPbcList();
  CVcdObj* project = GetProject();
  if (lists == NULL || project == NULL) {
    report.Error("PSD: list '%s' belongs to no project", m_id.GetString());
    return -1;
  }
  const char* id = m_id.GetString();
  const int errors = report.GetErrors();
  const int selections = TargetCount();
  const bool svcd = project->HasCapability(kVcdCapSvcdFiles);

  if (bsn < 1 || bsn > 99) report.Error("selection '%s': BSN (%d) not in range [1..99]", id, bsn);
  if (selections > kPbcMaxSelections)
    report.Error("selection '%s': too many selections (%d > 99)", id, selections);
  if (bsn + selections > kMaxNumberedSelections)
    report.Error("selection '%s': (BSN (%d) + NOS (%d)) > 100", id, bsn, selections);
  if (defaultMode == kPbcMultiDefault && !defaultId.IsEmpty())
    report.Warning("ignoring default target '%s' for multi default selection '%s'",
                   defaultId.GetString(), id);
  if (defaultMode == kPbcMultiDefaultNoNumeric && !defaultId.IsEmpty())
    report.Warning("ignoring default target '%s' for multi default (w/o num) selection '%s'",
                   defaultId.GetString(), id);
  if (loopCount > kPbcMaxLoopCount) report.Warning("loop count %d > 127", loopCount);
  if (loopCount < 0) report.Error("selection '%s': loop count %d < 0", id, loopCount);
  if (loopCount != 0 && wait >= 0 && timeoutId.IsEmpty() && selections == 0)
    report.Warning(
        "PSD: selection '%s': neither timeout nor select target available, but neither loop "
        "count is infinite nor timeout wait time",
        id);
  if (!timeoutId.IsEmpty() && (wait < 0 || loopCount == 0))
    report.Warning(
        "PSD: selection '%s': timeout target '%s' is never used due to loop count or timeout wait "
        "time given",
        id, timeoutId.GetString());
  if (defaultMode == kPbcMultiDefault || defaultMode == kPbcMultiDefaultNoNumeric)
    CheckMultiDefault(report);

  out[0] = extended ? kPsdExtSelectionType : kPsdSelectionType;
  out[1] = svcd ? 0x01 : 0x00;
  out[2] = static_cast<uint8_t>(selections > 255 ? 255 : selections);
  out[3] = static_cast<uint8_t>(bsn & 0xFF);
  VcdPbcPut16(out + 4, ListIdField());
  VcdPbcPut16(out + 6, lists->ListOffset(prevId, extended, report));
  VcdPbcPut16(out + 8, lists->ListOffset(nextId, extended, report));
  VcdPbcPut16(out + 10, lists->ListOffset(returnId, extended, report));
  int defaultField;
  switch (defaultMode) {
    case kPbcMultiDefault: defaultField = kPsdMultiDefault; break;
    case kPbcMultiDefaultNoNumeric: defaultField = kPsdMultiDefaultNoNumeric; break;
    default: defaultField = lists->ListOffset(defaultId, extended, report); break;
  }
  VcdPbcPut16(out + 12, defaultField);
  VcdPbcPut16(out + 14, lists->ListOffset(timeoutId, extended, report));
  out[16] = static_cast<uint8_t>(VcdPbcWaitTimeCode(wait, report.Messages()));
  int loop = loopCount < 0 ? 0 : loopCount > kPbcMaxLoopCount ? kPbcMaxLoopCount : loopCount;
  out[17] = static_cast<uint8_t>(loop | (delayedJump ? 0x80 : 0));
  VcdPbcPut16(out + 18, lists->PlayItemNumber(itemId, report));
  int at = kHeadBytes;
  for (const CString& target : targetIds) {
    VcdPbcPut16(out + at, lists->ListOffset(target, extended, report));
    at += 2;
  }
  if (extended || svcd) {
    WriteArea(out + at, prevArea, report);
    WriteArea(out + at + 4, nextArea, report);
    WriteArea(out + at + 8, returnArea, report);
    WriteArea(out + at + 12, defaultArea, report);
    at += kKeyAreas * kAreaBytes;
    for (const VcdPbcArea& area : targetAreas) {
      WriteArea(out + at, area, report);
      at += kAreaBytes;
    }
  }
  return report.GetErrors() != errors ? -1 : at;
}
