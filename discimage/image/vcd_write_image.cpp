// Writing a laid-out image: the cue list, track 1 and the order of it all.
// The MPEG tracks and segment items are in vcd_write_mpeg.cpp.
#include "discimage/image/vcd_write_image.h"

#include <cstring>

#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/iso9660/iso9660_path_table.h"
#include "discimage/iso9660/iso9660_volume.h"
#include "discimage/iso9660/vcd_custom_file.h"
#include "discimage/image/vcd_image_sink_cdrdao.h"
#include "discimage/image/vcd_info_files.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/model/vcd_project.h"
#include "discimage/iso9660/vcd_sector_bitmap.h"
#include "discimage/base/vcd_stream.h"

namespace {

enum {
  kVcdAddressOffset = 150,  // disc address of logical sector 0
  kProgressEvery = 75,  // sectors between progress reports
  kCueIndexesPerTrack = kVcdCueMaxIndexes - 1,  // INDEX 01 is the track start
};

}  // namespace

// ---------------------------------------------------------------------------
// CVcdObj's side

void CVcdObj::SetProgressImageName(const char* name) { m_imageName = name != NULL ? name : ""; }

int CVcdObj::WriteImage(CVcdImage* cueSink, CVcdImage* imageSink, const char* imageName) {
  if (m_bitmap == NULL || m_directory == NULL || m_isoSize <= 0) {
    m_messages->Error("the image must be laid out before it is written");
    return kVcdWriteFailed;
  }
  CVcdImageWriter writer(this, imageSink);
  if (cueSink != NULL) {
    CVcdCueList list;
    writer.BuildCueList(&list);
    int result = cueSink->SetCueSheet(imageSink, &list);
    if (cueSink != imageSink) cueSink->Release();
    if (result != 0) return kVcdWriteFailed;
  }
  if (imageSink == NULL) {
    m_messages->Error("no image file to write to");
    return kVcdWriteFailed;
  }
  m_cueSink = cueSink;
  m_imageSink = imageSink;
  m_imageName = imageName != NULL ? imageName : "";
  if (imageSink->IsKindOf(RUNTIME_CLASS(CVcdCdrDao))) {
    char pointer[64];
    VcdPointerOption(static_cast<CObject*>(this), pointer, sizeof pointer);
    imageSink->SetOption("obj", pointer);
  }

  int result = writer.Write();
  // What the file buffers still hold must reach the disc before the image
  // counts as written.
  if (result == kVcdWriteOk && imageSink->Finish() != 0) result = kVcdWriteFailed;
  imageSink->Release();
  m_cueSink = NULL;
  m_imageSink = NULL;
  m_writing = 0;
  return result;
}

// ---------------------------------------------------------------------------
// CVcdImageWriter

CVcdImageWriter::CVcdImageWriter(CVcdObj* project, CVcdImage* imageSink)
    : m_project(project),
      m_messages(project->Messages()),
      m_sink(imageSink),
      m_lsn(0),
      m_total(project->GetIsoSize() + project->GetSequenceCursor()),
      m_trackCount(static_cast<int>(project->Sequences().GetCount()) + 1) {
  memset(m_sector, 0, sizeof m_sector);
  memset(m_data, 0, sizeof m_data);
}

void CVcdImageWriter::BuildCueList(CVcdCueList* list) const {
  const CVcdObj* p = m_project;
  list->Clear();
  list->Append(0, kVcdCueTrack);
  int track = 2;
  for (POSITION pos = p->Sequences().GetHeadPosition(); pos != NULL; ++track) {
    const CMpegSequence* sequence = static_cast<const CMpegSequence*>(p->Sequences().GetNext(pos));
    uint32_t start = static_cast<uint32_t>(p->GetIsoSize() + sequence->GetRelativeStart());
    list->Append(start - static_cast<uint32_t>(p->GetPregap()), kVcdCuePregap);
    list->Append(start, kVcdCueTrack);
    int indexes = 0;
    for (POSITION at = sequence->Entries().GetHeadPosition(); at != NULL;) {
      const CVcdEntry* entry = static_cast<const CVcdEntry*>(sequence->Entries().GetNext(at));
      if (indexes++ == kCueIndexesPerTrack) {
        // ENTRIES still lists every entry point; a cue sheet cannot mark more.
        m_messages->Warning("track %d: only %d entry points are marked as indexes in the cue sheet",
                            track, static_cast<int>(kCueIndexesPerTrack));
        break;
      }
      list->Append(start + static_cast<uint32_t>(p->GetFrontMargin() + entry->Record()->packet),
                   kVcdCueIndex);
    }
  }
  int end = p->GetIsoSize() + p->GetSequenceCursor() + (p->GetLeadoutPause() ? p->GetPregap() : 0);
  list->Append(static_cast<uint32_t>(end), kVcdCueEnd);
}

int CVcdImageWriter::Write() {
  CVcdObj* p = m_project;
  p->m_sectorsWritten = 0;
  p->m_lastProgressSectors = 0;
  p->m_currentTrack = 1;
  ReportProgress(true);
  int result = WriteTrack1();
  if (result != kVcdWriteOk) return result;

  if (p->GetUpdateScanOffsets())
    m_messages->Info("'update scan offsets' option enabled for the following tracks!");
  int index = 0;
  for (POSITION pos = p->Sequences().GetHeadPosition(); pos != NULL; ++index) {
    CMpegSequence* sequence = static_cast<CMpegSequence*>(p->Sequences().GetNext(pos));
    ++p->m_currentTrack;
    ReportProgress(true);
    result = WriteSequence(index, sequence);
    if (result != kVcdWriteOk) return result;
  }

  if (p->GetLeadoutPause()) {
    m_messages->Debug("writting leadout pause...");
    for (int i = 0; i < p->GetPregap(); ++i) {
      result = PutSector(NULL, 0, 0, kVcdSubmodeForm2, 0, false);
      if (result != kVcdWriteOk) return result;
    }
  }
  ReportProgress(true);
  return kVcdWriteOk;
}

// ---------------------------------------------------------------------------
// Sectors and progress

int CVcdImageWriter::PutSector(const void* data, int fileNumber, int channel, int submode,
                               int coding, bool counted) {
  if (m_messages->IsCancelled()) return kVcdWriteCancelled;
  EncodeXaSector(m_sector, data, m_lsn, fileNumber, channel, submode, coding);
  return Store(counted);
}

int CVcdImageWriter::PutRawSector(const void* data) {
  if (m_messages->IsCancelled()) return kVcdWriteCancelled;
  EncodeRawMode2Sector(m_sector, data, m_lsn);
  return Store(true);
}

int CVcdImageWriter::PutPacket(int fileNumber, int channel, int submode, int coding) {
  if (m_messages->IsCancelled()) return kVcdWriteCancelled;
  uint8_t* subheader = m_sector + kVcdSectorHeaderSize;
  subheader[0] = static_cast<uint8_t>(fileNumber);
  subheader[1] = static_cast<uint8_t>(channel);
  subheader[2] = static_cast<uint8_t>(submode | kVcdSubmodeForm2);
  subheader[3] = static_cast<uint8_t>(coding);
  memcpy(subheader + 4, subheader, 4);
  FinishSector(m_sector, kVcdSectorForm2, m_lsn + kVcdAddressOffset);
  return Store(true);
}

int CVcdImageWriter::Store(bool counted) {
  if (m_sink->WriteSector(m_sector, m_lsn) != 0) return kVcdWriteFailed;
  ++m_lsn;
  if (counted) {
    ++m_project->m_sectorsWritten;
    ReportProgress(false);
  }
  return kVcdWriteOk;
}

int CVcdImageWriter::WriteEmpty(int count, int fileNumber, int channel, int submode) {
  for (int i = 0; i < count; ++i) {
    int result = PutSector(NULL, fileNumber, channel, submode, 0);
    if (result != kVcdWriteOk) return result;
  }
  return kVcdWriteOk;
}

int CVcdImageWriter::ExpectSector(int lsn, const char* what) {
  if (m_lsn == lsn) return kVcdWriteOk;
  m_messages->Error("internal error: %s laid out at sector %d, but writing stands at %d", what, lsn,
                    m_lsn);
  return kVcdWriteFailed;
}

void CVcdImageWriter::ReportProgress(bool force) {
  CVcdObj* p = m_project;
  if (!force && p->m_sectorsWritten - p->m_lastProgressSectors < kProgressEvery) return;
  p->m_lastProgressSectors = p->m_sectorsWritten;
  VcdWriteState state;
  state.name = p->m_imageName.c_str();
  state.sectorsWritten = p->m_sectorsWritten;
  state.sectorsTotal = m_total;
  state.currentTrack = p->m_currentTrack;
  state.trackCount = m_trackCount;
  m_messages->ReportWriteProgress(&state);
}

// ---------------------------------------------------------------------------
// Track 1

int CVcdImageWriter::FillInformationFiles() {
  CVcdObj* p = m_project;
  CDictList& dictionary = p->Dictionary();
  auto buffer = [&dictionary](const char* key) -> uint8_t* {
    CVcdDict* record = dictionary.FindByKey(key);
    return record != NULL ? record->GetBuffer() : NULL;
  };
  auto bytes = [&dictionary](const char* key) -> size_t {
    CVcdDict* record = dictionary.FindByKey(key);
    return record != NULL ? static_cast<size_t>(record->GetSectorCount()) * kIsoSectorSize : 0;
  };
  // The layout inserted and filled these; without them there is no file system.
  uint8_t* dir = buffer("dir");
  uint8_t* ptl = buffer("ptl");
  uint8_t* pvd = buffer("pvd");
  uint8_t* evd = buffer("evd");
  if (dir == NULL || ptl == NULL || pvd == NULL || evd == NULL || buffer("ptm") == NULL ||
      buffer("info") == NULL || buffer("entries") == NULL) {
    m_messages->Error("internal error: the file system of track 1 was not laid out");
    return kVcdWriteFailed;
  }
  int ptlSector = dictionary.FindByKey("ptl")->GetFirstSector();
  if (WritePrimaryVolumeDescriptor(m_messages, pvd, p->GetVolumeLabel(), p->GetPublisherId(),
                                   p->GetApplicationId(), static_cast<uint32_t>(p->GetIsoSize()), dir,
                                   static_cast<uint32_t>(ptlSector),
                                   static_cast<uint32_t>(ptlSector + 1),
                                   static_cast<uint32_t>(PathTableSize(ptl, kIsoSectorSize))) != 0 ||
      WriteTerminator(m_messages, evd) != 0)
    return kVcdWriteFailed;

  VcdWriteInfo(p, buffer("info"));
  VcdWriteEntries(p, buffer("entries"));
  if (buffer("lot") != NULL) {
    if (buffer("lot_x") != NULL) {
      VcdWriteLot(p, buffer("lot_x"), 1);
      if (VcdWritePsd(p, buffer("psd_x"), bytes("psd_x"), 1) != 0) return kVcdWriteFailed;
    }
    p->PbcLists().CheckReachability();
    VcdWriteLot(p, buffer("lot"), 0);
    if (VcdWritePsd(p, buffer("psd"), bytes("psd"), 0) != 0) return kVcdWriteFailed;
  }
  if (p->HasCapability(kVcdCapSvcdFiles)) {
    VcdWriteTracksSvd(p, buffer("tracks"));
    if (VcdWriteSearchDat(p, buffer("search"), bytes("search")) != 0 ||
        VcdWriteScandataDat(p, buffer("scandata"), bytes("scandata")) != 0)
      return kVcdWriteFailed;
  }
  return kVcdWriteOk;
}

int CVcdImageWriter::WriteDictionarySectors(int end, int fileNumber, bool extArea) {
  const CDictList& dictionary = m_project->Dictionary();
  while (m_lsn < end) {
    const uint8_t* data = dictionary.SectorData(m_lsn);
    if (data == NULL && extArea) m_messages->Debug("unexpected empty EXT sector");
    int result = PutSector(data, fileNumber, 0, kVcdSubmodeData | dictionary.SectorFlags(m_lsn), 0);
    if (result != kVcdWriteOk) return result;
  }
  return kVcdWriteOk;
}

int CVcdImageWriter::WriteTrack1() {
  CVcdObj* p = m_project;
  int result = FillInformationFiles();
  if (result != kVcdWriteOk) return result;
  m_messages->Info("writing track 1 (ISO9660)...");

  result = WriteDictionarySectors(p->GetSegmentStart(), 0, false);
  for (POSITION pos = p->Segments().GetHeadPosition(); pos != NULL && result == kVcdWriteOk;) {
    const CMpegSegment* segment = static_cast<const CMpegSegment*>(p->Segments().GetNext(pos));
    result = ExpectSector(segment->GetStartSector(), "segment item");
    if (result == kVcdWriteOk) result = WriteSegment(segment);
  }
  if (result != kVcdWriteOk) return result;

  int extFileNumber = p->HasCapability(kVcdCapSvcdFiles) ? 0 : 1;
  result = WriteDictionarySectors(p->GetCustomFileStart(), extFileNumber, true);
  for (POSITION pos = p->CustomFiles().GetHeadPosition(); pos != NULL && result == kVcdWriteOk;) {
    CCustomFile* file = static_cast<CCustomFile*>(p->CustomFiles().GetNext(pos));
    if (file->m_sectors <= 0) continue;
    result = ExpectSector(file->m_startSector, file->GetIsoPath());
    if (result == kVcdWriteOk) result = WriteCustomFile(file);
  }
  if (result != kVcdWriteOk) return result;

  // Behind the last file up to the least size of track 1.
  return WriteEmpty(p->GetIsoSize() - m_lsn, 0, 0, kVcdSubmodeData);
}

int CVcdImageWriter::WriteCustomFile(CCustomFile* file) {
  CVcdStream* source = file->GetSource();
  const bool mixed = file->m_mixed != 0;
  m_messages->Info("writing file `%s' (%d bytes%s)", file->GetIsoPath(), file->m_sizeBytes,
                   mixed ? ", raw file" : "");
  int64_t remaining = file->m_sizeBytes;
  if (source == NULL || source->Seek(0) != 0) {
    m_messages->Error("file `%s' could not be opened for writing it into the image", file->GetIsoPath());
    return kVcdWriteFailed;
  }
  int result = kVcdWriteOk;
  for (int i = 0; i < file->m_sectors && result == kVcdWriteOk; ++i) {
    size_t chunk = mixed ? static_cast<size_t>(kVcdSectorSize2336)
                         : static_cast<size_t>(remaining < kIsoSectorSize ? remaining : int64_t{kIsoSectorSize});
    memset(m_data, 0, sizeof m_data);
    if (source->Read(m_data, chunk) != chunk) {
      // The file changed since it was added: the image would have a hole
      // where its directory record promises data.
      m_messages->Error("file `%s' could not be read whole (%lld of %d bytes read)",
                        source->GetFileName(),
                        static_cast<long long>(file->m_sizeBytes - remaining), file->m_sizeBytes);
      result = kVcdWriteFailed;
      break;
    }
    remaining -= static_cast<int64_t>(chunk);
    if (mixed) {
      result = PutRawSector(m_data);
    } else {
      int submode = kVcdSubmodeData;
      if (i + 1 == file->m_sectors) submode |= kVcdSubmodeEndOfFile;
      result = PutSector(m_data, 1, 0, submode, 0);
    }
  }
  source->Close();
  return result;
}
