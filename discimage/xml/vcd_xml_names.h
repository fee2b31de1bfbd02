// The fixed names of the VideoCD XML project format, shared by the reader in
// the image builder and the writer in the disc programs: a document written
// with these is one the reader accepts, and the reader serves its DTD for
// exactly these identifiers.
#pragma once

// Public identifier of the DTD in the document type line.
#define VCD_XML_PUBLIC_ID "-//Ostrel//DTD VideoCD//EN"

// System identifier of the DTD. An absolute URI on purpose: libxml2 resolves a
// relative system id against the document's folder before asking the entity
// loader, so only an absolute one reaches the loader unchanged. It is never
// fetched; the reader serves the DTD from memory.
#define VCD_XML_SYSTEM_ID "http://www.quorbel.example/dtd/videocd-1.0.dtd"

// Namespace of every element of the format (the root's default namespace).
#define VCD_XML_NAMESPACE "http://www.quorbel.example/ns/videocd/1.0"

// Name of the root element.
#define VCD_XML_ROOT "videocd"

static const char kVcdXmlPublicId[] = VCD_XML_PUBLIC_ID;
static const char kVcdXmlSystemId[] = VCD_XML_SYSTEM_ID;
static const char kVcdXmlNamespace[] = VCD_XML_NAMESPACE;
static const char kVcdXmlRoot[] = VCD_XML_ROOT;
