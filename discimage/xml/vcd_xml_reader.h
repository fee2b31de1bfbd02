// The VideoCD XML project reader: parses a project file with libxml2,
// validates it against the VideoCD DTD (served from memory, never fetched),
// checks the root element and its namespace and reads each section into a
// CVcdXmlData.
//
// Every problem is reported through the message sink (libxml2's own
// messages through the generic error handler that the front end installs)
// and makes the read fail: malformed or invalid XML, a wrong root or
// namespace, a number or time that is not one, an id given twice, a
// reference to an id that does not exist. External entities other than the
// DTD are refused; the parser touches no network and no file but the
// project itself.
//
// Texts come out as libxml2 gives them (UTF-8), except in Windows builds,
// where a text whose characters all lie in ISO 8859-1 comes out in that
// encoding: file paths there are ANSI, and the project writer spells their
// accented characters as character references.
#pragma once

#include <cstddef>

#include <libxml/tree.h>

class CVcdMessageSink;
class CVcdXmlData;

// Largest project file read (bytes).
enum { kVcdXmlMaxFileSize = 64 * 1024 * 1024 };

// Reads the project file at path into data: 0 read, 1 failed (reported).
// What was read before a failure stays in data until it is cleared.
int VcdXmlRead(const char* path, CVcdMessageSink* messages, CVcdXmlData* data);

// The same for a document in memory; name stands for its path in messages
// and as its base.
int VcdXmlReadMemory(const char* text, size_t size, const char* name, CVcdMessageSink* messages,
                     CVcdXmlData* data);

// The tree reader alone, on a parsed document whose root element is root:
// 0, or 1 when a section failed (reported). Reading a document parsed
// without validation is what it is safe for too.
int VcdXmlReadTree(xmlDocPtr doc, xmlNodePtr root, CVcdMessageSink* messages, CVcdXmlData* data);
