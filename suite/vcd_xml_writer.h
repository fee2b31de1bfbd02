// VcdXmlWriter: describes a VCD or SVCD disc as a VideoCD XML project for
// the image builder: the disc class, the volume id and one sequence item
// per multiplexed MPEG file, in play order. The disc creator writes
// "vcd.xml" with it before each image build; the disc burner does the same.
//
// Paths and the volume id are ANSI (Windows-1252/ISO 8859-1) texts. Every
// byte that XML would take as markup or as UTF-8 is written as a character
// reference of its own code, so the builder's reader gives the same bytes
// back.
#pragma once

#include <string>

#include "mfc/core.h"

// Disc classes.
enum {
  kVcdClassVcd10 = 1,
  kVcdClassVcd11 = 2,
  kVcdClassVcd20 = 3,  // the programs' VCD
  kVcdClassSvcd = 4,   // the programs' SVCD
  kVcdClassHqvcd = 5,
};

// Volume id buffer: up to 255 characters and the terminator (the builder
// keeps the first 32).
enum { kVcdXmlVolumeIdSize = 256 };

class VcdXmlWriter {
public:
  VcdXmlWriter();  // class 3, no items, volume id "no_volume"
  ~VcdXmlWriter();

  void SetDiscClass(int discClass) { m_discClass = discClass; }
  int GetDiscClass() const { return m_discClass; }

  // Appends one sequence item.
  void AddSequenceItem(const char* path);
  int GetItemCount() const { return static_cast<int>(m_paths.GetSize()); }
  const CString& GetItem(int index) const { return m_paths[index]; }

  // Copies the disc label (cut to 255 characters).
  void SetVolumeId(const char* volumeId);
  const char* GetVolumeId() const { return m_volumeId; }

  // The whole document, as Write saves it: 0, or -1 when there is nothing
  // valid to write (a class outside 1 to 5, no sequence item, or a path or
  // volume id holding a control character, which XML cannot carry).
  int BuildDocument(std::string* document) const;

  // Builds the document and saves it to the file (created or truncated):
  // 0 when the whole document was written, -1 when nothing valid could be
  // built (nothing is written then), the path is empty or the file could
  // not be created or written (a partly written file stays).
  int Write(const char* path) const;

  // The text with every byte that is markup in an attribute or text ('&',
  // '<', '>' (which ends "]]>"), '"'), a line break or tab (which attribute reading would turn into
  // spaces) or outside ASCII written as "&#%03d;" of the byte. False when
  // the text holds another control character.
  static bool EscapeText(const char* text, std::string* escaped);

private:
  VcdXmlWriter(const VcdXmlWriter&) = delete;
  VcdXmlWriter& operator=(const VcdXmlWriter&) = delete;

  int m_discClass;                       // kVcdClass*
  CStringArray m_paths;                  // sequence item sources, in play order
  char m_volumeId[kVcdXmlVolumeIdSize];  // the disc label
};
