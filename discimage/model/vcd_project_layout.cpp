// The layout of the image, decided whole before any sector is written:
// every sector of track 1 is handed out through the sector bitmap (fixed
// places for the volume descriptors and the information files, first-fit
// runs for segment items, EXT files and the user's files), the directory
// tree is built and written into its dictionary buffers, and the entry
// points are placed on access points. Writing then only fills what is laid
// out here; anything the layout cannot place fails the layout, so an image
// is never written with a hole where a file should be.
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include "discimage/iso9660/iso9660_fields.h"
#include "discimage/mpeg/mpeg_info.h"
#include "discimage/iso9660/vcd_custom_file.h"
#include "discimage/iso9660/vcd_directory.h"
#include "discimage/image/vcd_info_files.h"
#include "discimage/image/vcd_info_files_internal.h"
#include "discimage/base/vcd_messages.h"
#include "discimage/model/vcd_project.h"
#include "discimage/image/vcd_sector.h"
#include "discimage/iso9660/vcd_sector_bitmap.h"
#include "discimage/base/vcd_util.h"

namespace {

// Fixed places of track 1.
enum {
  kPvdSector = 16,
  kEvdSector = 17,
  kDirectorySector = 18,
  kDirectoryAreaEnd = 75,  // 18-74: directory and path tables
  kInfoSector = 150,
  kEntriesSector = 151,
  kLotSector = 152,
  kPsdSector = 184,
  kSegmentAlignment = 75,
  // Directory sectors + 20 must stay below these.
  kVcdDirectoryLimit = 75,
  kSvcdDirectoryLimit = 150,
};

// Submode flags of an information file's last sector.
enum {
  kFlagsPvd = 0x01,
  kFlagsEndOfFile = 0x81,
  kFlagsInfoFile = 0x80,
};

int SectorsFor(int bytes) { return bytes <= 0 ? 1 : (bytes + kIsoSectorSize - 1) / kIsoSectorSize; }

std::string Format(const char* format, int number) {
  char text[64];
  snprintf(text, sizeof text, format, number);
  return text;
}

std::string UpperCase(const char* text) {
  std::string upper(text != NULL ? text : "");
  for (char& c : upper)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return upper;
}

}  // namespace

int CVcdObj::LayOutTrack1() {
  CVcdSectorBitmap* bitmap = m_bitmap;
  // 1. The PSD's size and its lists' places; a list that cannot be encoded
  // (a dangling reference among them) refuses the whole image.
  if (m_pbcLists.ComputePsdSize() != 0) {
    m_messages->Error("playback control lists cannot be written -- see above");
    return 1;
  }
  bool pbc = m_pbcLists.PbcAvailable();
  if (bitmap->AllocateSectors(0, kPvdSector) < 0 ||
      bitmap->AllocateSectors(kDirectoryAreaEnd, kInfoSector - kDirectoryAreaEnd) < 0)
    return 1;

  // 2. Volume descriptors; the directory area is reserved until its size is known.
  if (m_dictionary.Insert("pvd", kPvdSector, 1, kFlagsPvd) < 0 ||
      m_dictionary.Insert("evd", kEvdSector, 1, kFlagsEndOfFile) < 0 ||
      bitmap->AllocateSectors(kDirectorySector, kDirectoryAreaEnd - kDirectorySector) < 0)
    return 1;

  // 3. and 4. The information files at their fixed places and behind them.
  if (m_dictionary.Insert("info", kInfoSector, 1, kFlagsInfoFile) < 0 ||
      m_dictionary.Insert("entries", kEntriesSector, 1, kFlagsInfoFile) < 0)
    return 1;
  if (pbc && (m_dictionary.Insert("lot", kLotSector, kVcdLotSectors, kFlagsInfoFile) < 0 ||
              m_dictionary.Insert("psd", kPsdSector, SectorsFor(m_pbcLists.GetPsdSize()),
                                  kFlagsInfoFile) < 0))
    return 1;
  int searchBytes = 0, scandataBytes = 0;
  if (HasCapability(kVcdCapSvcdFiles)) {
    searchBytes = VcdSearchDatSize(this);
    scandataBytes = VcdScandataDatSize(this);
    if (searchBytes < 0 || scandataBytes < 0) return 1;
    if (m_dictionary.Insert("tracks", -1, 1, kFlagsInfoFile) < 0 ||
        m_dictionary.Insert("search", -1, SectorsFor(searchBytes), kFlagsInfoFile) < 0)
      return 1;
  }

  // 5. and 6. Segment items in whole segments from a 75-sector boundary.
  int highest = bitmap->HighestSector();
  m_segmentStart = (highest + 1 + kSegmentAlignment - 1) / kSegmentAlignment * kSegmentAlignment;
  if (bitmap->MarkSectors(0, m_segmentStart) != 0) return 1;
  for (POSITION pos = m_segments.GetHeadPosition(); pos != NULL;) {
    CMpegSegment* segment = static_cast<CMpegSegment*>(m_segments.GetNext(pos));
    int start = bitmap->AllocateSectors(-1, segment->GetSegmentCount() * kVcdSegmentSectors);
    if (start < 0) return 1;
    segment->SetStartSector(start);
  }

  // 7. EXT files.
  m_extStart = bitmap->HighestSector() + 1;
  if (HasCapability(kVcdCapSvcdFiles) &&
      m_dictionary.Insert("scandata", -1, SectorsFor(scandataBytes), kFlagsInfoFile) < 0)
    return 1;
  if (HasCapability(kVcdCapExtPsd) && pbc &&
      (m_dictionary.Insert("lot_x", -1, kVcdLotSectors, kFlagsInfoFile) < 0 ||
       m_dictionary.Insert("psd_x", -1, SectorsFor(m_pbcLists.GetExtendedPsdSize()),
                           kFlagsInfoFile) < 0))
    return 1;

  // 8. The user's files.
  m_customFileStart = bitmap->HighestSector() + 1;
  for (POSITION pos = m_customFiles.GetHeadPosition(); pos != NULL;) {
    CCustomFile* file = static_cast<CCustomFile*>(m_customFiles.GetNext(pos));
    if (file->m_sectors <= 0) {
      file->m_startSector = m_customFileStart;
      continue;
    }
    int start = bitmap->AllocateSectors(-1, file->m_sectors);
    if (start < 0) return 1;
    file->m_startSector = start;
  }

  // 9. Track 1 ends behind the last sector handed out.
  highest = bitmap->HighestSector();
  m_isoSize = highest + 1 < kVcdMinIsoSectors ? kVcdMinIsoSectors : highest + 1;
  m_messages->Debug("iso9660: highest allocated sector is %d (using %d as isosize)", highest,
                    m_isoSize);

  if (BuildDirectoryTree(pbc, searchBytes) != 0) return 1;
  return PlaceDirectory();
}

int CVcdObj::BuildDirectoryTree(bool pbc, int searchBytes) {
  CVcdDirectory* tree = m_directory;
  const bool svcd = m_type == kVcdTypeSvcd || m_type == kVcdTypeHqvcd;
  const bool mpegav = svcd && m_svcdMpegavFolder;
  const int kForm1 = 0, kForm2 = 1;
  auto dictSector = [this](const char* key) { return m_dictionary.FindByKey(key)->GetFirstSector(); };

  if (svcd) {
    if (tree->MakeDirectory("EXT") != 0) return 1;
    if (mpegav) m_messages->Warning("adding MPEGAV dir for *DEPRECATED* SVCD VCD30 mode");
    if (tree->MakeDirectory(mpegav ? "MPEGAV" : "MPEG2") != 0 || tree->MakeDirectory("SEGMENT") != 0 ||
        tree->MakeDirectory("SVCD") != 0)
      return 1;
    if (tree->MakeFile("SVCD/ENTRIES.SVD", dictSector("entries"), kVcdInfoFileSize, kForm1, 0, 0) != 0 ||
        tree->MakeFile("SVCD/INFO.SVD", dictSector("info"), kVcdInfoFileSize, kForm1, 0, 0) != 0)
      return 1;
    if (pbc && (tree->MakeFile("SVCD/LOT.SVD", dictSector("lot"), kVcdLotSize, kForm1, 0, 0) != 0 ||
                tree->MakeFile("SVCD/PSD.SVD", dictSector("psd"), m_pbcLists.GetPsdSize(), kForm1, 0,
                               0) != 0))
      return 1;
    if (tree->MakeFile("SVCD/SEARCH.DAT", dictSector("search"), searchBytes, kForm1, 0, 0) != 0 ||
        tree->MakeFile("SVCD/TRACKS.SVD", dictSector("tracks"), kVcdInfoFileSize, kForm1, 0, 0) != 0)
      return 1;
  } else {
    if (tree->MakeDirectory("EXT") != 0 || tree->MakeDirectory("MPEGAV") != 0 ||
        tree->MakeDirectory("VCD") != 0)
      return 1;
    if (!m_segments.IsEmpty() && tree->MakeDirectory("SEGMENT") != 0) return 1;
    if (tree->MakeFile("VCD/ENTRIES.VCD", dictSector("entries"), kVcdInfoFileSize, kForm1, 0, 0) != 0 ||
        tree->MakeFile("VCD/INFO.VCD", dictSector("info"), kVcdInfoFileSize, kForm1, 0, 0) != 0)
      return 1;
    if (pbc && (tree->MakeFile("VCD/LOT.VCD", dictSector("lot"), kVcdLotSize, kForm1, 0, 0) != 0 ||
                tree->MakeFile("VCD/PSD.VCD", dictSector("psd"), m_pbcLists.GetPsdSize(), kForm1, 0,
                               0) != 0))
      return 1;
  }

  // Segment items, named by their first segment number.
  int number = 1;
  for (POSITION pos = m_segments.GetHeadPosition(); pos != NULL;) {
    CMpegSegment* segment = static_cast<CMpegSegment*>(m_segments.GetNext(pos));
    bool dat = m_type == kVcdType20;
    std::string name = Format(dat ? "SEGMENT/ITEM%4.4d.DAT" : "SEGMENT/ITEM%4.4d.MPG", number);
    uint32_t bytes = static_cast<uint32_t>(PacketCount(segment->GetStreamInfo())) * kIsoSectorSize;
    if (tree->MakeFile(name.c_str(), segment->GetStartSector(), bytes, kForm2, dat ? 1 : 0, 0) != 0)
      return 1;
    number += segment->GetSegmentCount();
  }

  if (HasCapability(kVcdCapExtPsd) && pbc &&
      (tree->MakeFile("EXT/PSD_X.VCD", dictSector("psd_x"), m_pbcLists.GetExtendedPsdSize(), kForm1,
                      1, 0) != 0 ||
       tree->MakeFile("EXT/LOT_X.VCD", dictSector("lot_x"), kVcdLotSize, kForm1, 1, 0) != 0))
    return 1;
  if (HasCapability(kVcdCapSvcdFiles) &&
      tree->MakeFile("EXT/SCANDATA.DAT", dictSector("scandata"), VcdScandataDatSize(this), kForm1, 0,
                     0) != 0)
    return 1;

  // The user's folders (sorted, so parents come first) and files.
  for (POSITION pos = m_directories.GetHeadPosition(); pos != NULL;) {
    std::string path = UpperCase(m_directories.GetNext(pos));
    if (tree->MakeDirectory(path.c_str()) != 0) return 1;
  }
  for (POSITION pos = m_customFiles.GetHeadPosition(); pos != NULL;) {
    CCustomFile* file = static_cast<CCustomFile*>(m_customFiles.GetNext(pos));
    std::string path = UpperCase(file->GetIsoPath());
    uint32_t bytes = file->m_mixed
                         ? static_cast<uint32_t>(file->m_sizeBytes / kVcdSectorSize2336) * kIsoSectorSize
                         : static_cast<uint32_t>(file->m_sizeBytes);
    int64_t time = file->GetTime();
    if (tree->MakeFile(path.c_str(), static_cast<uint32_t>(file->m_startSector), bytes,
                       file->m_mixed ? kForm2 : kForm1, 1,
                       time > 0 && time <= UINT32_MAX ? static_cast<uint32_t>(time) : 0) != 0)
      return 1;
  }

  // The tracks.
  int track = 1;
  for (POSITION pos = m_sequences.GetHeadPosition(); pos != NULL; ++track) {
    CMpegSequence* sequence = static_cast<CMpegSequence*>(m_sequences.GetNext(pos));
    const char* format = m_type == kVcdType10 ? "MPEGAV/MUSIC%2.2d.DAT"
                         : !svcd              ? "MPEGAV/AVSEQ%2.2d.DAT"
                         : mpegav             ? "MPEGAV/AVSEQ%2.2d.MPG"
                                              : "MPEG2/AVSEQ%2.2d.MPG";
    std::string name = Format(format, track);
    uint32_t bytes = static_cast<uint32_t>(m_frontMargin + PacketCount(sequence->GetStreamInfo()) +
                                           m_rearMargin) * kIsoSectorSize;
    uint8_t fileNumber = static_cast<uint8_t>(svcd && !mpegav ? 0 : track);
    if (tree->MakeFile(name.c_str(), static_cast<uint32_t>(m_isoSize + sequence->GetRelativeStart()),
                       bytes, kForm2, fileNumber, 0) != 0)
      return 1;
  }
  return 0;
}

int CVcdObj::PlaceDirectory() {
  const bool svcd = m_type == kVcdTypeSvcd || m_type == kVcdTypeHqvcd;
  int directorySectors = m_directory->DirectorySectors();
  if (directorySectors + 20 >= (svcd ? kSvcdDirectoryLimit : kVcdDirectoryLimit)) {
    m_messages->Error(svcd ? "directory section to big for a SVCD" : "directory section to big for a VCD");
    return 1;
  }
  int ptl = kDirectorySector + directorySectors;
  if (m_bitmap->MarkSectors(kDirectorySector, directorySectors + 2) != 0 ||
      m_dictionary.InsertReserved("dir", kDirectorySector, directorySectors, kFlagsEndOfFile) < 0 ||
      m_dictionary.InsertReserved("ptl", ptl, 1, kFlagsEndOfFile) < 0 ||
      m_dictionary.InsertReserved("ptm", ptl + 1, 1, kFlagsEndOfFile) < 0)
    return 1;
  // Every extent is known now: the directory and the path tables are
  // written here, so that what does not fit is found before the image is.
  CVcdDict* dir = m_dictionary.FindByKey("dir");
  if (m_directory->WriteDirectories(dir->GetBuffer(),
                                    static_cast<size_t>(directorySectors) * kIsoSectorSize,
                                    kDirectorySector) != 0 ||
      m_directory->WritePathTables(m_dictionary.FindByKey("ptl")->GetBuffer(),
                                   m_dictionary.FindByKey("ptm")->GetBuffer(), kIsoSectorSize) != 0)
    return 1;
  return 0;
}

int CVcdObj::ResolveEntryPoints() {
  for (POSITION pos = m_sequences.GetHeadPosition(); pos != NULL;) {
    CMpegSequence* sequence = static_cast<CMpegSequence*>(m_sequences.GetNext(pos));
    const MpegApsList* points = vcd_info::AccessPoints(sequence->GetStreamInfo());
    int previousPacket = -1;
    for (POSITION at = sequence->Entries().GetHeadPosition(); at != NULL;) {
      CVcdEntry* entry = static_cast<CVcdEntry*>(sequence->Entries().GetNext(at));
      VcdEntryRecord* record = entry->Record();
      const char* id = entry->GetId() != NULL ? entry->GetId() : "";
      if (points == NULL) {
        // Nowhere a player could start decoding: the track start is the
        // only place that is sure to be one.
        m_messages->Warning("no access points in sequence '%s' -- entry point (id=%s) set to its start",
                            sequence->GetId().GetString(), id);
        record->packet = 0;
        record->apsType = kMpegApsNone;
        record->resolvedTime = 0.0;
      } else {
        double requested = record->requestedTime;
        int best = 0;
        for (int i = 1; i < points->GetCount(); ++i) {
          if (std::fabs(points->GetAt(i).pts - requested) <
              std::fabs(points->GetAt(best).pts - requested))
            best = i;
          else
            break;
        }
        record->packet = points->GetAt(best).packetNumber;
        record->apsType = kMpegApsNone;  // the lists keep no types
        record->resolvedTime = points->GetAt(best).pts;
        const char* format = "requested entry point (id=%s) at %f, closest possible entry point at %f";
        if (std::fabs(record->resolvedTime - requested) > 1.0)
          m_messages->Warning(format, id, requested, record->resolvedTime);
        else
          m_messages->Debug(format, id, requested, record->resolvedTime);
      }
      if (record->packet == previousPacket)
        m_messages->Warning("entry point '%s' falls into same sector as previous one!", id);
      previousPacket = record->packet;
    }
  }
  return 0;
}
