#include "suite/vcd_xml_writer.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#include "discimage/xml/vcd_xml_names.h"

namespace {

const char kEol[] = "\r\n";

// Class and version of the root element for a disc class.
bool ClassAndVersion(int discClass, const char** name, const char** version) {
  switch (discClass) {
    case kVcdClassVcd10: *name = "vcd"; *version = "1.0"; return true;
    case kVcdClassVcd11: *name = "vcd"; *version = "1.1"; return true;
    case kVcdClassVcd20: *name = "vcd"; *version = "2.0"; return true;
    case kVcdClassSvcd: *name = "svcd"; *version = "1.0"; return true;
    case kVcdClassHqvcd: *name = "hqvcd"; *version = "1.0"; return true;
    default: return false;
  }
}

void AppendLine(std::string* document, int indent, const char* format, ...)
    QUORBEL_PRINTF_LIKE(3, 4);

void AppendLine(std::string* document, int indent, const char* format, ...) {
  va_list args;
  va_start(args, format);
  CString line;
  line.FormatV(format, args);
  va_end(args);
  document->append(static_cast<size_t>(indent), ' ');
  document->append(line.GetString(), static_cast<size_t>(line.GetLength()));
  document->append(kEol);
}

}  // namespace

VcdXmlWriter::VcdXmlWriter() : m_discClass(kVcdClassVcd20) { SetVolumeId("no_volume"); }

VcdXmlWriter::~VcdXmlWriter() { m_paths.RemoveAll(); }

void VcdXmlWriter::AddSequenceItem(const char* path) { m_paths.Add(CString(path)); }

void VcdXmlWriter::SetVolumeId(const char* volumeId) {
  if (volumeId == NULL) volumeId = "";
  strncpy(m_volumeId, volumeId, sizeof m_volumeId - 1);
  m_volumeId[sizeof m_volumeId - 1] = 0;
}

bool VcdXmlWriter::EscapeText(const char* text, std::string* escaped) {
  escaped->clear();
  if (text == NULL) return true;
  for (const char* p = text; *p != 0; ++p) {
    unsigned char byte = static_cast<unsigned char>(*p);
    if (byte < 0x20 && byte != '\t' && byte != '\n' && byte != '\r') return false;
    // A byte above 0x7F is its own Latin-1 character: written as a raw
    // byte it would be read as (usually broken) UTF-8.
    if (byte == '&' || byte == '<' || byte == '>' || byte == '"' || byte < 0x20 || byte >= 0x80) {
      char reference[8];
      snprintf(reference, sizeof reference, "&#%03d;", byte);
      escaped->append(reference);
    } else {
      escaped->push_back(static_cast<char>(byte));
    }
  }
  return true;
}

int VcdXmlWriter::BuildDocument(std::string* document) const {
  document->clear();
  const char* className = NULL;
  const char* version = NULL;
  if (!ClassAndVersion(m_discClass, &className, &version)) return -1;
  // The format wants at least one sequence item.
  int count = GetItemCount();
  if (count == 0) return -1;

  std::string volumeId;
  if (!EscapeText(m_volumeId, &volumeId)) return -1;

  AppendLine(document, 0, "<?xml version=\"1.0\"?>");
  AppendLine(document, 0, "<!DOCTYPE videocd PUBLIC \"%s\" \"%s\">", kVcdXmlPublicId, kVcdXmlSystemId);
  AppendLine(document, 0, "<videocd xmlns=\"%s\" class=\"%s\" version=\"%s\">", kVcdXmlNamespace,
             className, version);
  AppendLine(document, 2, "<info>");
  AppendLine(document, 4, "<album-id/>");
  AppendLine(document, 4, "<volume-count>%d</volume-count>", count);
  AppendLine(document, 4, "<volume-number>%d</volume-number>", count);
  AppendLine(document, 4, "<restriction>%d</restriction>", 0);
  AppendLine(document, 2, "</info>");
  AppendLine(document, 2, "<pvd>");
  AppendLine(document, 4, "<volume-id>%s</volume-id>", volumeId.c_str());
  AppendLine(document, 4, "<system-id>%s</system-id>", "CD-RTOS CD-BRIDGE");
  AppendLine(document, 4, "<application-id>%s</application-id>", "Quorbel");
  AppendLine(document, 4, "<preparer-id/>");
  AppendLine(document, 4, "<publisher-id>%s</publisher-id>", "Talvinor Software Inc.");
  AppendLine(document, 2, "</pvd>");
  AppendLine(document, 2, "<sequence-items>");
  std::string src;
  for (int i = 0; i < count; ++i) {
    if (!EscapeText(m_paths[i], &src)) {
      document->clear();
      return -1;
    }
    AppendLine(document, 4, "<sequence-item src=\"%s\" id=\"seq_%d_movie\"/>", src.c_str(), i);
  }
  AppendLine(document, 2, "</sequence-items>");
  AppendLine(document, 0, "</videocd>");
  return 0;
}

int VcdXmlWriter::Write(const char* path) const {
  std::string document;
  if (BuildDocument(&document) != 0) return -1;
  if (path == NULL || *path == 0) return -1;
  FILE* file = fopen(path, "wb");
  if (file == NULL) return -1;
  size_t written = fwrite(document.data(), 1, document.size(), file);
  // A full disc shows up at the write or at the close; either is a failure.
  int closed = fclose(file);
  return written == document.size() && closed == 0 && !document.empty() ? 0 : -1;
}
