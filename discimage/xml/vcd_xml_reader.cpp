#include "discimage/xml/vcd_xml_reader.h"

#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <libxml/parser.h>
#include <libxml/parserInternals.h>
#include <libxml/valid.h>
#include <libxml/xmlerror.h>

#include "discimage/base/vcd_messages.h"
#include "discimage/pbc/vcd_pbc.h"
#include "discimage/xml/vcd_xml_data.h"
#include "discimage/xml/vcd_xml_dtd.h"
#include "discimage/xml/vcd_xml_names.h"

#ifndef XMLCDECL
#define XMLCDECL
#endif

namespace {

// ---------------------------------------------------------------------------
// Small text helpers

bool EqualsNoCase(const char* a, const char* b) {
  if (a == NULL || b == NULL) return false;
  for (; *a != '\0' && *b != '\0'; ++a, ++b) {
    char x = *a >= 'A' && *a <= 'Z' ? static_cast<char>(*a - 'A' + 'a') : *a;
    char y = *b >= 'A' && *b <= 'Z' ? static_cast<char>(*b - 'A' + 'a') : *b;
    if (x != y) return false;
  }
  return *a == *b;
}

bool IsXmlSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string Trimmed(const std::string& text) {
  size_t first = 0;
  size_t last = text.size();
  while (first < last && IsXmlSpace(text[first])) ++first;
  while (last > first && IsXmlSpace(text[last - 1])) --last;
  return text.substr(first, last - first);
}

// libxml2's UTF-8 as the builder's texts (see the header).
std::string FromXml(const xmlChar* text) {
  if (text == NULL) return std::string();
  std::string utf8(reinterpret_cast<const char*>(text));
#ifdef _WIN32
  std::string latin1;
  latin1.reserve(utf8.size());
  for (size_t i = 0; i < utf8.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    if (c < 0x80) {
      latin1 += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < utf8.size() &&
               (static_cast<unsigned char>(utf8[i + 1]) & 0xC0) == 0x80) {
      latin1 += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(utf8[i + 1]) & 0x3F));
      ++i;
    } else {
      return utf8;  // a character beyond ISO 8859-1: leave the text alone
    }
  }
  return latin1;
#else
  return utf8;
#endif
}

const char* NodeName(xmlNodePtr node) { return reinterpret_cast<const char*>(node->name); }

// text as a whole decimal number within long's range; false for anything
// else.
bool ParseLong(const std::string& text, long* number) {
  errno = 0;
  char* end = NULL;
  *number = strtol(text.c_str(), &end, 10);
  return end != text.c_str() && *end == '\0' && errno != ERANGE;
}

// Validity messages that libxml2 hands over as a finished text (the checks
// at the end of the document, the check against the VideoCD DTD): one text
// to the generic error handler, with the place when libxml2 recorded one.
void XMLCDECL ValidityMessage(void* context, const char* format, ...) {
  char text[1024];
  va_list args;
  va_start(args, format);
  vsnprintf(text, sizeof text, format, args);
  va_end(args);
  xmlErrorPtr last = xmlGetLastError();
  if (last != NULL && last->message != NULL && last->file != NULL && strcmp(last->message, text) == 0)
    xmlGenericError(xmlGenericErrorContext, "%s:%d: validity error : %s", last->file, last->line,
                    text);
  else
    xmlGenericError(xmlGenericErrorContext, "validity error : %s", text);
}

// Parser and validity messages, one whole text each ("file:line: kind
// error: message"), handed to the generic error handler. libxml2's default
// printing gives the handler a message in many pieces.
void StructuredMessage(void* userData, xmlErrorPtr error) {
  if (error == NULL || error->message == NULL) return;
  const char* kind;
  switch (error->domain) {
    case XML_FROM_VALID:
    case XML_FROM_DTD: kind = "validity"; break;
    case XML_FROM_IO: kind = "I/O"; break;
    case XML_FROM_NAMESPACE: kind = "namespace"; break;
    default: kind = "parser"; break;
  }
  const char* level = error->level == XML_ERR_WARNING ? "warning" : "error";
  if (error->file != NULL)
    xmlGenericError(xmlGenericErrorContext, "%s:%d: %s %s : %s", error->file, error->line, kind,
                    level, error->message);
  else
    xmlGenericError(xmlGenericErrorContext, "%s %s : %s", kind, level, error->message);
}

// ---------------------------------------------------------------------------
// The tree reader

class TreeReader {
public:
  TreeReader(xmlDocPtr doc, CVcdMessageSink* messages, CVcdXmlData* data)
      : m_doc(doc), m_messages(messages), m_data(data) {}

  int ReadRoot(xmlNodePtr root);

private:
  // Sections; 0 or -1 (reported).
  int ReadOption(xmlNodePtr node);
  int ReadInfo(xmlNodePtr node);
  int ReadPvd(xmlNodePtr node);
  int ReadSegmentItems(xmlNodePtr node);
  int ReadSequenceItems(xmlNodePtr node);
  int ReadPbc(xmlNodePtr node);
  int ReadSelection(xmlNodePtr node);
  int ReadPlayList(xmlNodePtr node);
  int ReadEndList(xmlNodePtr node);
  // Folders and files inside node, their ISO paths below parent ("" or
  // ending in '/').
  int ReadFsEntries(xmlNodePtr node, const std::string& parent);
  int ReadFolder(xmlNodePtr node, const std::string& parent);
  int ReadFile(xmlNodePtr node, const std::string& parent);

  // Elements of the VideoCD namespace only; everything else is skipped.
  bool InNamespace(xmlNodePtr node) const;
  xmlNodePtr FirstChild(xmlNodePtr node) const { return NextElement(node->children); }
  xmlNodePtr NextElement(xmlNodePtr node) const;
  // Calls read(child, name) for every element inside node in order; the
  // first non-zero result ends the walk and is returned.
  template <class Read>
  int EachChild(xmlNodePtr node, Read read) const {
    for (xmlNodePtr child = FirstChild(node); child != NULL; child = NextElement(child->next)) {
      int result = read(child, NodeName(child));
      if (result != 0) return result;
    }
    return 0;
  }
  // The text of node's first <name> element; "" when it has none.
  std::string NameOf(xmlNodePtr node) const;

  // Values. An empty text counts as absent.
  std::string Text(xmlNodePtr node) const;
  std::string Attribute(xmlNodePtr node, const char* name) const;
  // An empty element is 0 with a warning; anything but a number fails.
  int Integer(xmlNodePtr node, int* value);
  int Time(xmlNodePtr node, double* value);
  // A rectangle's corners from x1, y1, x2, y2: absent or empty is 0.
  int Area(xmlNodePtr node, VcdPbcArea* area);
  int Coordinate(xmlNodePtr node, const char* name, uint8_t* value);
  std::string Ref(xmlNodePtr node) const { return Attribute(node, "ref"); }
  // The "id" and "rejected" attributes every list has.
  void ReadListAttributes(xmlNodePtr node, CPbc* list);

  xmlDocPtr m_doc;
  CVcdMessageSink* m_messages;
  CVcdXmlData* m_data;
};

bool TreeReader::InNamespace(xmlNodePtr node) const {
  return node->type == XML_ELEMENT_NODE && node->ns != NULL && node->ns->href != NULL &&
         xmlStrEqual(node->ns->href, BAD_CAST kVcdXmlNamespace);
}

xmlNodePtr TreeReader::NextElement(xmlNodePtr node) const {
  while (node != NULL && !InNamespace(node)) node = node->next;
  return node;
}

std::string TreeReader::NameOf(xmlNodePtr node) const {
  for (xmlNodePtr child = FirstChild(node); child != NULL; child = NextElement(child->next))
    if (strcmp(NodeName(child), "name") == 0) return Text(child);
  return std::string();
}

std::string TreeReader::Text(xmlNodePtr node) const {
  xmlChar* text = xmlNodeListGetString(m_doc, node->children, 1);
  std::string value = FromXml(text);
  if (text != NULL) xmlFree(text);
  return value;
}

std::string TreeReader::Attribute(xmlNodePtr node, const char* name) const {
  xmlChar* text = xmlGetProp(node, BAD_CAST name);
  std::string value = FromXml(text);
  if (text != NULL) xmlFree(text);
  return value;
}

int TreeReader::Integer(xmlNodePtr node, int* value) {
  std::string text = Trimmed(Text(node));
  *value = 0;
  if (text.empty()) {
    m_messages->Warning("empty element [%s]??", NodeName(node));
    return 0;
  }
  long number = 0;
  if (!ParseLong(text, &number) || number < INT_MIN || number > INT_MAX) {
    m_messages->Error("error while converting string to integer?");
    m_messages->Error("element [%s]: '%s' is not a whole number", NodeName(node), text.c_str());
    return -1;
  }
  *value = static_cast<int>(number);
  return 0;
}

int TreeReader::Time(xmlNodePtr node, double* value) {
  std::string text = Trimmed(Text(node));
  *value = 0.0;
  if (text.empty()) {
    m_messages->Warning("empty element [%s]??", NodeName(node));
    return 0;
  }
  char* end = NULL;
  double number = strtod(text.c_str(), &end);
  if (end == text.c_str() || *end != '\0') {
    m_messages->Error("error while converting string to floating point?");
    m_messages->Error("element [%s]: '%s' is not a number of seconds", NodeName(node), text.c_str());
    return -1;
  }
  if (!std::isfinite(number) || number < 0.0) {
    m_messages->Error("element [%s]: '%s' is not a time (seconds, 0 or more)", NodeName(node),
                      text.c_str());
    return -1;
  }
  *value = number;
  return 0;
}

int TreeReader::Coordinate(xmlNodePtr node, const char* name, uint8_t* value) {
  std::string text = Trimmed(Attribute(node, name));
  *value = 0;
  if (text.empty()) return 0;
  long number = 0;
  if (!ParseLong(text, &number)) {
    m_messages->Error("error while converting string to integer?");
    m_messages->Error("element [%s]: %s='%s' is not a whole number", NodeName(node), name,
                      text.c_str());
    return -1;
  }
  // Each corner is one byte on the disc.
  if (number < 0 || number > 255) {
    m_messages->Error("element [%s]: %s=%ld not in range [0..255]", NodeName(node), name, number);
    return -1;
  }
  *value = static_cast<uint8_t>(number);
  return 0;
}

int TreeReader::Area(xmlNodePtr node, VcdPbcArea* area) {
  if (Coordinate(node, "x1", &area->x1) != 0 || Coordinate(node, "y1", &area->y1) != 0 ||
      Coordinate(node, "x2", &area->x2) != 0 || Coordinate(node, "y2", &area->y2) != 0)
    return -1;
  return 0;
}

int TreeReader::ReadRoot(xmlNodePtr root) {
  struct TypeName {
    const char* className;
    const char* version;
    int type;
  };
  static const TypeName kTypes[] = {
      {"vcd", "1.0", kVcdXmlTypeVcd10}, {"vcd", "1.1", kVcdXmlTypeVcd11},
      {"vcd", "2.0", kVcdXmlTypeVcd20}, {"svcd", "1.0", kVcdXmlTypeSvcd},
      {"hqvcd", "1.0", kVcdXmlTypeHqvcd},
  };
  std::string className = Attribute(root, "class");
  std::string version = Attribute(root, "version");
  m_data->vcdType = kVcdXmlTypeNone;
  for (const TypeName& type : kTypes)
    if (EqualsNoCase(className.c_str(), type.className) && EqualsNoCase(version.c_str(), type.version))
      m_data->vcdType = type.type;
  if (m_data->vcdType == kVcdXmlTypeNone) {
    m_messages->Error("unknown VideoCD class '%s' version '%s'", className.c_str(), version.c_str());
    return -1;
  }

  return EachChild(root, [this](xmlNodePtr node, const char* name) {
    if (strcmp(name, "meta") == 0) return 0;
    if (strcmp(name, "option") == 0) return ReadOption(node);
    if (strcmp(name, "info") == 0) return ReadInfo(node);
    if (strcmp(name, "pvd") == 0) return ReadPvd(node);
    if (strcmp(name, "pbc") == 0) return ReadPbc(node);
    if (strcmp(name, "segment-items") == 0) return ReadSegmentItems(node);
    if (strcmp(name, "filesystem") == 0) return ReadFsEntries(node, std::string());
    if (strcmp(name, "sequence-items") == 0) return ReadSequenceItems(node);
    m_messages->Warning("unexpected element: %s", name);
    return 0;
  });
}

int TreeReader::ReadOption(xmlNodePtr node) {
  CVcdNewStyle* holder = new CVcdNewStyle(kVcdXmlOption);
  m_data->options.Append(holder);
  holder->Option()->name = Attribute(node, "name");
  holder->Option()->value = Attribute(node, "value");
  return 0;
}

int TreeReader::ReadInfo(xmlNodePtr node) {
  return EachChild(node, [this](xmlNodePtr child, const char* name) {
    int result = 0;
    if (strcmp(name, "album-id") == 0)
      m_data->albumId = Text(child);
    else if (strcmp(name, "volume-count") == 0)
      result = Integer(child, &m_data->volumeCount);
    else if (strcmp(name, "volume-number") == 0)
      result = Integer(child, &m_data->volumeNumber);
    else if (strcmp(name, "restriction") == 0)
      result = Integer(child, &m_data->restriction);
    else if (strcmp(name, "next-volume-use-sequence2") == 0)
      m_data->nextVolumeUseSequence2 = 1;
    else if (strcmp(name, "next-volume-use-lid2") == 0)
      m_data->nextVolumeUseLid2 = 1;
    return result;
  });
}

int TreeReader::ReadPvd(xmlNodePtr node) {
  return EachChild(node, [this](xmlNodePtr child, const char* name) {
    if (strcmp(name, "volume-id") == 0)
      m_data->volumeId = Text(child);
    else if (strcmp(name, "system-id") == 0)
      m_data->systemId = Text(child);
    else if (strcmp(name, "application-id") == 0)
      m_data->applicationId = Text(child);
    else if (strcmp(name, "preparer-id") == 0)
      m_data->preparerId = Text(child);
    else if (strcmp(name, "publisher-id") == 0)
      m_data->publisherId = Text(child);
    return 0;
  });
}

int TreeReader::ReadSegmentItems(xmlNodePtr node) {
  return EachChild(node, [this](xmlNodePtr item, const char* name) {
    if (strcmp(name, "segment-item") != 0) return 0;
    CVcdNewStyle* holder = new CVcdNewStyle(kVcdXmlSegmentItem);
    m_data->segmentItems.Append(holder);
    VcdXmlSegmentItem* segment = holder->SegmentItem();
    segment->id = Attribute(item, "id");
    segment->src = Attribute(item, "src");
    return EachChild(item, [this, segment](xmlNodePtr child, const char* childName) {
      if (strcmp(childName, "auto-pause") != 0) return 0;
      double time;
      if (Time(child, &time) != 0) return -1;
      segment->autoPauses.push_back(time);
      return 0;
    });
  });
}

int TreeReader::ReadSequenceItems(xmlNodePtr node) {
  return EachChild(node, [this](xmlNodePtr item, const char* name) {
    if (strcmp(name, "sequence-item") != 0) return 0;
    CVcdNewStyle* holder = new CVcdNewStyle(kVcdXmlSequenceItem);
    m_data->sequenceItems.Append(holder);
    VcdXmlSequenceItem* sequence = holder->SequenceItem();
    sequence->id = Attribute(item, "id");
    sequence->src = Attribute(item, "src");
    return EachChild(item, [this, sequence](xmlNodePtr child, const char* childName) {
      if (strcmp(childName, "default-entry") == 0) {
        std::string id = Attribute(child, "id");
        if (!id.empty()) sequence->defaultEntryId = id;
      } else if (strcmp(childName, "entry") == 0) {
        CVcdNewStyle* entry = new CVcdNewStyle(kVcdXmlEntry);
        sequence->entries.Append(entry);
        entry->Entry()->id = Attribute(child, "id");
        if (Time(child, &entry->Entry()->time) != 0) return -1;
      } else if (strcmp(childName, "auto-pause") == 0) {
        double time;
        if (Time(child, &time) != 0) return -1;
        sequence->autoPauses.push_back(time);
      }
      return 0;
    });
  });
}

void TreeReader::ReadListAttributes(xmlNodePtr node, CPbc* list) {
  list->SetRejected(EqualsNoCase(Attribute(node, "rejected").c_str(), "true") ? 1 : 0);
}

int TreeReader::ReadPbc(xmlNodePtr node) {
  return EachChild(node, [this](xmlNodePtr child, const char* name) {
    if (strcmp(name, "selection") == 0) return ReadSelection(child);
    if (strcmp(name, "playlist") == 0) return ReadPlayList(child);
    if (strcmp(name, "endlist") == 0) return ReadEndList(child);
    return 0;
  });
}

int TreeReader::ReadSelection(xmlNodePtr node) {
  CPbcSelect* list = new CPbcSelect(Attribute(node, "id").c_str());
  m_data->pbcLists.Append(list);
  ReadListAttributes(node, list);
  return EachChild(node, [this, list](xmlNodePtr child, const char* name) {
    int result = 0;
    if (strcmp(name, "prev") == 0) {
      list->prevId = Ref(child).c_str();
      result = Area(child, &list->prevArea);
    } else if (strcmp(name, "next") == 0) {
      list->nextId = Ref(child).c_str();
      result = Area(child, &list->nextArea);
    } else if (strcmp(name, "return") == 0) {
      list->returnId = Ref(child).c_str();
      result = Area(child, &list->returnArea);
    } else if (strcmp(name, "timeout") == 0) {
      list->timeoutId = Ref(child).c_str();
    } else if (strcmp(name, "multi-default") == 0) {
      list->defaultMode = EqualsNoCase(Attribute(child, "numeric").c_str(), "disabled")
                              ? kPbcMultiDefaultNoNumeric
                              : kPbcMultiDefault;
    } else if (strcmp(name, "default") == 0) {
      list->defaultId = Ref(child).c_str();
      list->defaultMode = kPbcDefaultTarget;
      result = Area(child, &list->defaultArea);
    } else if (strcmp(name, "bsn") == 0) {
      result = Integer(child, &list->bsn);
    } else if (strcmp(name, "loop") == 0) {
      result = Integer(child, &list->loopCount);
      list->delayedJump = EqualsNoCase(Attribute(child, "jump-timing").c_str(), "delayed") ? 1 : 0;
    } else if (strcmp(name, "wait") == 0) {
      result = Integer(child, &list->wait);
    } else if (strcmp(name, "play-item") == 0) {
      list->itemId = Ref(child).c_str();
    } else if (strcmp(name, "select") == 0) {
      VcdPbcArea area = {0, 0, 0, 0};
      result = Area(child, &area);
      list->AddTarget(Ref(child).c_str(), area);
    }
    return result;
  });
}

int TreeReader::ReadPlayList(xmlNodePtr node) {
  CPbcPlay* list = new CPbcPlay(Attribute(node, "id").c_str());
  m_data->pbcLists.Append(list);
  ReadListAttributes(node, list);
  return EachChild(node, [this, list](xmlNodePtr child, const char* name) {
    int result = 0;
    if (strcmp(name, "prev") == 0)
      list->prevId = Ref(child).c_str();
    else if (strcmp(name, "next") == 0)
      list->nextId = Ref(child).c_str();
    else if (strcmp(name, "return") == 0)
      list->returnId = Ref(child).c_str();
    else if (strcmp(name, "wait") == 0)
      result = Integer(child, &list->wait);
    else if (strcmp(name, "autowait") == 0)
      result = Integer(child, &list->autoWait);
    else if (strcmp(name, "playtime") == 0)
      result = Time(child, &list->playingTime);
    else if (strcmp(name, "play-item") == 0)
      list->itemIds.push_back(CString(Ref(child).c_str()));
    return result;
  });
}

int TreeReader::ReadEndList(xmlNodePtr node) {
  CPbcEnd* list = new CPbcEnd(Attribute(node, "id").c_str());
  m_data->pbcLists.Append(list);
  ReadListAttributes(node, list);
  return EachChild(node, [this, list](xmlNodePtr child, const char* name) {
    if (strcmp(name, "next-volume") == 0) return Integer(child, &list->nextVolume);
    if (strcmp(name, "play-item") == 0) list->itemId = Ref(child).c_str();
    return 0;
  });
}

int TreeReader::ReadFsEntries(xmlNodePtr node, const std::string& parent) {
  return EachChild(node, [this, &parent](xmlNodePtr child, const char* name) {
    if (strcmp(name, "folder") == 0) return ReadFolder(child, parent);
    if (strcmp(name, "file") == 0) return ReadFile(child, parent);
    return 0;
  });
}

int TreeReader::ReadFolder(xmlNodePtr node, const std::string& parent) {
  std::string name = NameOf(node);
  if (name.empty()) {
    m_messages->Error("folder in '%s' without a name", parent.empty() ? "/" : parent.c_str());
    return -1;
  }
  std::string path = parent + name;
  CVcdNewStyle* holder = new CVcdNewStyle(kVcdXmlFsEntry);
  m_data->fsEntries.Append(holder);
  holder->FsEntry()->isoPath = path;
  return ReadFsEntries(node, path + "/");
}

int TreeReader::ReadFile(xmlNodePtr node, const std::string& parent) {
  std::string src = Attribute(node, "src");
  std::string name = NameOf(node);
  if (name.empty()) {
    // The source's own file name, after its last '/' or else its last '\'.
    size_t slash = src.rfind('/');
    if (slash == std::string::npos) slash = src.rfind('\\');
    name = slash == std::string::npos ? src : src.substr(slash + 1);
  }
  if (src.empty() || name.empty()) {
    m_messages->Error("file in '%s' without %s", parent.empty() ? "/" : parent.c_str(),
                      src.empty() ? "a source (src)" : "a name");
    return -1;
  }
  CVcdNewStyle* holder = new CVcdNewStyle(kVcdXmlFsEntry);
  m_data->fsEntries.Append(holder);
  VcdXmlFsEntry* file = holder->FsEntry();
  file->isoPath = parent + name;
  file->src = src;
  file->mixed = EqualsNoCase(Attribute(node, "format").c_str(), "mixed") ? 1 : 0;
  return 0;
}

// ---------------------------------------------------------------------------
// Parsing

// Checks the document against the VideoCD DTD itself, whatever DTD the
// document declares (an internal subset could declare anything). True when
// valid; the reasons go to the generic error handler.
bool ValidAgainstVideoCdDtd(xmlDocPtr doc) {
  xmlDtdPtr dtd = CVcdXmlDtd::Parse();
  if (dtd == NULL) {
    xmlGenericError(xmlGenericErrorContext, "the VideoCD DTD could not be parsed\n");
    return false;
  }
  xmlValidCtxtPtr validation = xmlNewValidCtxt();
  bool valid = false;
  if (validation != NULL) {
    validation->userData = NULL;
    validation->error = ValidityMessage;
    validation->warning = ValidityMessage;
    valid = xmlValidateDtd(validation, doc, dtd) != 0;
    xmlFreeValidCtxt(validation);
  }
  xmlFreeDtd(dtd);
  return valid;
}

// The parsed and validated document, or NULL (reported by libxml2).
xmlDocPtr ParseDocument(const char* text, size_t size, const char* name, CVcdMessageSink* messages) {
  if (size > static_cast<size_t>(INT_MAX)) return NULL;
  CVcdXmlDtd dtd(messages);
  xmlParserCtxtPtr ctxt = xmlNewParserCtxt();
  if (ctxt == NULL) return NULL;
  dtd.Attach(ctxt);
  // Validation with the DTD loaded; no network; entities are never
  // replaced by what an external entity would hold.
  xmlCtxtUseOptions(ctxt, XML_PARSE_DTDLOAD | XML_PARSE_DTDVALID | XML_PARSE_NONET |
                              XML_PARSE_NOBLANKS);
  // libxml2's own printing would hand the handler each message in pieces.
  ctxt->vctxt.error = ValidityMessage;
  ctxt->vctxt.warning = ValidityMessage;
  ctxt->sax->serror = StructuredMessage;

  xmlDocPtr doc = NULL;
  xmlParserInputBufferPtr buffer =
      xmlParserInputBufferCreateMem(text, static_cast<int>(size), XML_CHAR_ENCODING_NONE);
  xmlParserInputPtr input =
      buffer != NULL ? xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE) : NULL;
  if (input == NULL) {
    if (buffer != NULL) xmlFreeParserInputBuffer(buffer);
  } else {
    input->filename = reinterpret_cast<const char*>(xmlStrdup(BAD_CAST name));
    inputPush(ctxt, input);
    if (ctxt->directory == NULL) ctxt->directory = xmlParserGetDirectory(name);
    xmlParseDocument(ctxt);
    doc = ctxt->myDoc;
    ctxt->myDoc = NULL;
    // A refused entity is only a warning to libxml2, but the document
    // would be read without it.
    if (doc != NULL && !(ctxt->wellFormed && ctxt->valid && dtd.GetRefused() == 0)) {
      xmlFreeDoc(doc);
      doc = NULL;
    }
  }
  xmlFreeParserCtxt(ctxt);
  if (doc != NULL && !ValidAgainstVideoCdDtd(doc)) {
    xmlFreeDoc(doc);
    doc = NULL;
  }
  return doc;
}

}  // namespace

int VcdXmlReadTree(xmlDocPtr doc, xmlNodePtr root, CVcdMessageSink* messages, CVcdXmlData* data) {
  if (doc == NULL || root == NULL || messages == NULL || data == NULL) return 1;
  TreeReader reader(doc, messages, data);
  return reader.ReadRoot(root) == 0 ? 0 : 1;
}

int VcdXmlReadMemory(const char* text, size_t size, const char* name, CVcdMessageSink* messages,
                     CVcdXmlData* data) {
  if (data == NULL || messages == NULL || name == NULL || *name == '\0' || text == NULL) return 1;
  xmlDocPtr doc = ParseDocument(text, size, name, messages);
  if (doc == NULL) {
    messages->Error("parsing file `%s' failed", name);
    return 1;
  }

  int result = 1;
  xmlNodePtr root = xmlDocGetRootElement(doc);
  if (root == NULL) {
    messages->Error("XML document seems to be empty (no root node found)");
  } else if (xmlSearchNsByHref(doc, root, BAD_CAST kVcdXmlNamespace) == NULL) {
    messages->Error("Namespace not found in document");
  } else if (root->ns == NULL || !xmlStrEqual(root->ns->href, BAD_CAST kVcdXmlNamespace) ||
             !xmlStrEqual(root->name, BAD_CAST kVcdXmlRoot)) {
    messages->Error("root element not videocd...");
  } else if (VcdXmlReadTree(doc, root, messages, data) != 0) {
    messages->Error("parsing tree failed");
  } else {
    result = 0;
  }
  xmlFreeDoc(doc);
  return result;
}

int VcdXmlRead(const char* path, CVcdMessageSink* messages, CVcdXmlData* data) {
  if (data == NULL || messages == NULL || path == NULL || *path == '\0') return 1;
  // The file is read here rather than by libxml2, so that the path is only
  // ever a file: never a URL, whatever it looks like.
  errno = 0;
  FILE* file = fopen(path, "rb");
  if (file == NULL) {
    messages->Error("error while parsing file `%s': %s", path, strerror(errno != 0 ? errno : ENOENT));
    return 1;
  }
  std::vector<char> text;
  char chunk[16384];
  size_t got;
  int error = 0;
  while ((got = fread(chunk, 1, sizeof chunk, file)) > 0) {
    if (text.size() + got > static_cast<size_t>(kVcdXmlMaxFileSize)) {
      error = EFBIG;
      break;
    }
    text.insert(text.end(), chunk, chunk + got);
  }
  if (error == 0 && ferror(file)) error = errno != 0 ? errno : EIO;
  fclose(file);
  if (error != 0) {
    messages->Error("error while parsing file `%s': %s", path, strerror(error));
    return 1;
  }
  return VcdXmlReadMemory(text.empty() ? "" : text.data(), text.size(), path, messages, data);
}
