#include "discimage/xml/vcd_xml_dtd.h"

#include <cstdio>
#include <cstring>

#include <libxml/parserInternals.h>
#include <libxml/valid.h>

#include "discimage/base/vcd_messages.h"
#include "discimage/xml/vcd_xml_names.h"

namespace {

// The server whose document is being parsed on this thread.
thread_local CVcdXmlDtd* t_activeDtd = NULL;

// Character entities a project may use in texts and paths, with their
// Latin-1 code points.
struct CharEntity {
  const char* name;
  int code;
};

const CharEntity kCharEntities[] = {
    {"iexcl", 161},  {"cent", 162},   {"pound", 163},  {"yen", 165},    {"ordf", 170},
    {"deg", 176},    {"plusmn", 177}, {"sup2", 178},   {"micro", 181},  {"ordm", 186},
    {"frac14", 188}, {"frac12", 189}, {"iquest", 191}, {"Auml", 196},   {"Aring", 197},
    {"AElig", 198},  {"Ccedil", 199}, {"Eacute", 201}, {"Ntilde", 209}, {"Ouml", 214},
    {"Uuml", 220},   {"szlig", 223},  {"aacute", 225}, {"acirc", 226},  {"agrave", 224},
    {"auml", 228},   {"aring", 229},  {"aelig", 230},  {"ccedil", 231}, {"egrave", 232},
    {"eacute", 233}, {"ecirc", 234},  {"euml", 235},   {"igrave", 236}, {"iacute", 237},
    {"icirc", 238},  {"iuml", 239},   {"ntilde", 241}, {"ograve", 242}, {"oacute", 243},
    {"ocirc", 244},  {"ouml", 246},   {"divide", 247}, {"ugrave", 249}, {"uacute", 250},
    {"ucirc", 251},  {"uuml", 252},   {"yuml", 255},
};
static_assert(sizeof kCharEntities / sizeof *kCharEntities == 48, "the DTD's entity set");

const char kDtdComment[] =
    "<!--\n"
    "  VideoCD XML project\n"
    "\n"
    "  One disc: its type (class and version of the root), the values of the\n"
    "  disc information and of the primary volume descriptor, extra folders\n"
    "  and files, segment items (stills and short clips), sequence items\n"
    "  (tracks with entry points and auto-pauses) and playback control.\n"
    "\n"
    "  Public identifier: " VCD_XML_PUBLIC_ID "\n"
    "  System identifier: " VCD_XML_SYSTEM_ID "\n"
    "  Namespace:         " VCD_XML_NAMESPACE "\n"
    "-->\n";

const char kDtdDeclarations[] =
    "\n"
    "<!ENTITY % URI \"CDATA\">\n"
    "<!ENTITY % XY \"CDATA\">\n"
    "<!ENTITY % itemattrs \"id ID #REQUIRED src %URI; #REQUIRED\">\n"
    "<!ENTITY % pbcattrs \"id ID #REQUIRED rejected (true|false) 'false'\">\n"
    "<!ENTITY % ofsattrs \"ref IDREF #IMPLIED x1 %XY; #IMPLIED y1 %XY; #IMPLIED"
    " x2 %XY; #IMPLIED y2 %XY; #IMPLIED\">\n"
    "\n"
    "<!ELEMENT videocd (option*, info, pvd, filesystem?, segment-items?, sequence-items, pbc?)>\n"
    "<!ATTLIST videocd\n"
    "  class CDATA #REQUIRED\n"
    "  version CDATA #REQUIRED\n"
    "  xmlns CDATA #FIXED '" VCD_XML_NAMESPACE "'>\n"
    "\n"
    "<!ELEMENT option EMPTY>\n"
    "<!ATTLIST option name CDATA #REQUIRED value CDATA #IMPLIED>\n"
    "\n"
    "<!ELEMENT info (album-id?, volume-count?, volume-number?, next-volume-use-sequence2?,\n"
    "                next-volume-use-lid2?, restriction?, start-time-offset*)>\n"
    "<!ELEMENT album-id (#PCDATA)>\n"
    "<!ELEMENT volume-count (#PCDATA)>\n"
    "<!ELEMENT volume-number (#PCDATA)>\n"
    "<!ELEMENT restriction (#PCDATA)>\n"
    "<!ELEMENT start-time-offset (#PCDATA)>\n"
    "<!ELEMENT next-volume-use-sequence2 EMPTY>\n"
    "<!ELEMENT next-volume-use-lid2 EMPTY>\n"
    "\n"
    "<!ELEMENT pvd (volume-id?, system-id?, application-id?, preparer-id?, publisher-id?)>\n"
    "<!ELEMENT volume-id (#PCDATA)>\n"
    "<!ELEMENT system-id (#PCDATA)>\n"
    "<!ELEMENT application-id (#PCDATA)>\n"
    "<!ELEMENT preparer-id (#PCDATA)>\n"
    "<!ELEMENT publisher-id (#PCDATA)>\n"
    "\n"
    "<!ELEMENT filesystem (folder*, file*)>\n"
    "<!ELEMENT folder (name, folder*, file*)>\n"
    "<!ELEMENT file (name?)>\n"
    "<!ATTLIST file src %URI; #REQUIRED format (form1|mixed) \"form1\">\n"
    "<!ELEMENT name (#PCDATA)>\n"
    "\n"
    "<!ELEMENT segment-items (segment-item+)>\n"
    "<!ELEMENT segment-item (auto-pause*)>\n"
    "<!ATTLIST segment-item %itemattrs;>\n"
    "\n"
    "<!ELEMENT sequence-items (sequence-item+)>\n"
    "<!ELEMENT sequence-item (default-entry?, entry*, auto-pause*)>\n"
    "<!ATTLIST sequence-item src %URI; #REQUIRED id ID #IMPLIED>\n"
    "<!ELEMENT default-entry EMPTY>\n"
    "<!ATTLIST default-entry id ID #REQUIRED>\n"
    "<!ELEMENT entry (#PCDATA)>\n"
    "<!ATTLIST entry id ID #IMPLIED>\n"
    "<!ELEMENT auto-pause (#PCDATA)>\n"
    "\n"
    "<!ELEMENT pbc (selection|playlist|endlist)+>\n"
    "<!ELEMENT selection (bsn?, prev?, next?, return?, (multi-default|default)?, timeout?,\n"
    "                     wait?, loop?, play-item?, select*)>\n"
    "<!ATTLIST selection %pbcattrs;>\n"
    "<!ELEMENT playlist (prev?, next?, return?, playtime?, wait?, autowait?, play-item+)>\n"
    "<!ATTLIST playlist %pbcattrs;>\n"
    "<!ELEMENT endlist (next-volume?, play-item?)>\n"
    "<!ATTLIST endlist %pbcattrs;>\n"
    "\n"
    "<!ELEMENT wait (#PCDATA)>\n"
    "<!ELEMENT autowait (#PCDATA)>\n"
    "<!ELEMENT playtime (#PCDATA)>\n"
    "<!ELEMENT loop (#PCDATA)>\n"
    "<!ATTLIST loop jump-timing (immediate|delayed) 'immediate'>\n"
    "<!ELEMENT bsn (#PCDATA)>\n"
    "<!ELEMENT next-volume (#PCDATA)>\n"
    "\n"
    "<!ELEMENT prev EMPTY>\n"
    "<!ATTLIST prev %ofsattrs;>\n"
    "<!ELEMENT next EMPTY>\n"
    "<!ATTLIST next %ofsattrs;>\n"
    "<!ELEMENT return EMPTY>\n"
    "<!ATTLIST return %ofsattrs;>\n"
    "<!ELEMENT multi-default EMPTY>\n"
    "<!ATTLIST multi-default numeric (enabled|disabled) 'enabled'>\n"
    "<!ELEMENT default EMPTY>\n"
    "<!ATTLIST default %ofsattrs;>\n"
    "<!ELEMENT timeout EMPTY>\n"
    "<!ATTLIST timeout ref IDREF #IMPLIED>\n"
    "<!ELEMENT play-item EMPTY>\n"
    "<!ATTLIST play-item ref IDREF #IMPLIED>\n"
    "<!ELEMENT select EMPTY>\n"
    "<!ATTLIST select %ofsattrs;>\n";

std::string BuildDtdText() {
  std::string text = kDtdComment;
  text += "\n";
  char line[64];
  for (const CharEntity& entity : kCharEntities) {
    snprintf(line, sizeof line, "<!ENTITY %s \"&#%d;\">\n", entity.name, entity.code);
    text += line;
  }
  text += kDtdDeclarations;
  return text;
}

const char* IdText(const char* id) { return id != NULL ? id : "NULL"; }

}  // namespace

CVcdXmlDtd::CVcdXmlDtd(CVcdMessageSink* messages)
    : m_messages(messages),
      m_savedKeepBlanks(xmlKeepBlanksDefault(0)),
      m_savedLoader(xmlGetExternalEntityLoader()),
      m_previousActive(t_activeDtd),
      m_refused(0) {
  xmlSetExternalEntityLoader(&CVcdXmlDtd::LoadEntity);
  t_activeDtd = this;
}

CVcdXmlDtd::~CVcdXmlDtd() {
  t_activeDtd = m_previousActive;
  xmlSetExternalEntityLoader(m_savedLoader);
  xmlKeepBlanksDefault(m_savedKeepBlanks);
}

const std::string& CVcdXmlDtd::Text() {
  static const std::string text = BuildDtdText();
  return text;
}

xmlDtdPtr CVcdXmlDtd::Parse() {
  const std::string& text = Text();
  xmlParserInputBufferPtr buffer = xmlParserInputBufferCreateMem(
      text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
  if (buffer == NULL) return NULL;
  // Frees the buffer in every case.
  return xmlIOParseDTD(NULL, buffer, XML_CHAR_ENCODING_NONE);
}

xmlParserInputPtr CVcdXmlDtd::LoadEntity(const char* systemId, const char* publicId,
                                         xmlParserCtxtPtr ctxt) {
  // libxml2 parses an external entity with a context of its own, so the
  // context need not be the attached one: any load on this thread while a
  // server is active belongs to its parse.
  CVcdXmlDtd* dtd = t_activeDtd;
  if (ctxt == NULL || dtd == NULL) return NULL;
  CVcdMessageSink* messages = dtd->m_messages;
  if (messages != NULL) messages->Debug("EEL sysid=[%s] pubid=[%s]", IdText(systemId), IdText(publicId));

  bool ours = (publicId != NULL && strcmp(publicId, kVcdXmlPublicId) == 0) ||
              (systemId != NULL && strcmp(systemId, kVcdXmlSystemId) == 0);
  if (!ours) {
    // Nothing but the DTD: an entity could name any file or address.
    ++dtd->m_refused;
    if (messages != NULL)
      messages->Error("external entity refused: sysid=[%s] pubid=[%s] (only the VideoCD DTD is "
                      "served)",
                      IdText(systemId), IdText(publicId));
    return NULL;
  }

  // The text is ASCII, so no encoding needs to be named: ISO 8859-1 and
  // UTF-8 read it alike (and naming one here would switch the encoding of
  // the document being parsed, not of this input).
  const std::string& text = Text();
  xmlParserInputBufferPtr buffer = xmlParserInputBufferCreateMem(
      text.data(), static_cast<int>(text.size()), XML_CHAR_ENCODING_NONE);
  if (buffer == NULL) return NULL;
  xmlParserInputPtr input = xmlNewIOInputStream(ctxt, buffer, XML_CHAR_ENCODING_NONE);
  if (input == NULL) {
    xmlFreeParserInputBuffer(buffer);
    return NULL;
  }
  input->filename = reinterpret_cast<const char*>(xmlStrdup(BAD_CAST kVcdXmlSystemId));
  return input;
}
