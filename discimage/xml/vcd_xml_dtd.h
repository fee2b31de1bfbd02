// CVcdXmlDtd: the VideoCD DTD served from memory while one XML project is
// parsed. Its external-entity loader hands libxml2 the DTD for the format's
// public or system identifier and refuses every other external entity, so a
// project file can make the parser open no other file and no connection.
//
// libxml2's entity loader and "keep blanks" default are process-wide: the
// server installs its own for its lifetime and puts the previous ones back,
// so two projects must not be parsed at the same time.
#pragma once

#include <string>

#include <libxml/parser.h>
#include <libxml/tree.h>

class CVcdMessageSink;

class CVcdXmlDtd {
public:
  // Installs the loader and turns "keep blanks" off. messages gets the
  // loader's reports (may be NULL).
  explicit CVcdXmlDtd(CVcdMessageSink* messages);
  // Restores the previous loader and "keep blanks" default.
  ~CVcdXmlDtd();

  // Marks ctxt as parsed under this server (its private data).
  void Attach(xmlParserCtxtPtr ctxt) { ctxt->_private = this; }

  // The DTD: a comment, the Latin-1 character entities, the declarations.
  // Plain ASCII (every character above 127 is a character reference), so it
  // reads the same as ISO 8859-1 and as UTF-8.
  static const std::string& Text();
  // The DTD parsed on its own, for validating a document against it
  // whatever the document declares itself; NULL when it cannot be parsed.
  // The caller frees it with xmlFreeDtd.
  static xmlDtdPtr Parse();

  // The loader libxml2 calls: while a server is active on this thread, the
  // DTD for the format's public or system id, and NULL with an error text
  // for anything else (libxml2 itself only warns when an entity cannot be
  // loaded, so the refusals are counted for the reader to fail on). Without
  // an active server: NULL.
  static xmlParserInputPtr LoadEntity(const char* systemId, const char* publicId,
                                      xmlParserCtxtPtr ctxt);

  CVcdMessageSink* Messages() const { return m_messages; }
  // External entities refused while this server was active.
  int GetRefused() const { return m_refused; }

private:
  CVcdXmlDtd(const CVcdXmlDtd&) = delete;
  CVcdXmlDtd& operator=(const CVcdXmlDtd&) = delete;

  CVcdMessageSink* m_messages;                // reports; not owned
  int m_savedKeepBlanks;                      // libxml2's default before this server
  xmlExternalEntityLoader m_savedLoader;      // the loader before this server
  CVcdXmlDtd* m_previousActive;               // the server active before this one
  int m_refused;                              // entities refused so far
};
