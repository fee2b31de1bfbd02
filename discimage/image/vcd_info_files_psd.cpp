// The list ID offset table and the playback descriptors, plain (VCD/ or
// SVCD/) and extended (EXT/).
#include <cstring>

#include "discimage/image/vcd_info_files.h"
#include "discimage/image/vcd_info_files_internal.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"

using namespace vcd_info;

void VcdWriteLot(CVcdObj* project, uint8_t* buffer, int extended) {
  memset(buffer, 0xFF, kVcdLotSize);
  Put16(buffer, 0);  // slot 0 is reserved; list ids start at 1
  const CPbcList& lists = project->PbcLists();
  for (POSITION pos = lists.GetHeadPosition(); pos != NULL;) {
    const CPbc* list = DYNAMIC_DOWNCAST(CPbc, lists.GetNext(pos));
    if (list == NULL || list->GetRejected()) continue;
    int listId = list->GetListId();
    if (listId < 1 || listId >= kVcdLotSize / 2) continue;  // the size pass refuses these
    int offset = extended ? list->GetExtendedOffset() : list->GetOffset();
    Put16(buffer + 2 * listId, static_cast<unsigned>(offset / kPsdOffsetUnit));
  }
}

int VcdWritePsd(CVcdObj* project, uint8_t* buffer, size_t size, int extended) {
  memset(buffer, 0, size);
  int result = 0;
  CPbcList& lists = project->PbcLists();
  for (POSITION pos = lists.GetHeadPosition(); pos != NULL;) {
    CPbc* list = DYNAMIC_DOWNCAST(CPbc, lists.GetNext(pos));
    if (list == NULL) continue;
    int offset = extended ? list->GetExtendedOffset() : list->GetOffset();
    int bytes = list->DescriptorSize(extended);
    if (offset < 0 || bytes < 0 || static_cast<size_t>(offset) + static_cast<size_t>(bytes) > size) {
      project->Messages()->Error("PSD: list '%s' does not fit the %s PSD of %d bytes",
                                 list->GetId().GetString(), extended ? "extended" : "plain",
                                 static_cast<int>(size));
      result = -1;
      continue;
    }
    if (list->WriteDescriptor(buffer + offset, extended) < 0) result = -1;
  }
  return result;
}
