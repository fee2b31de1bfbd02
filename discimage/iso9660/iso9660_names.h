// Which paths and file names the ISO 9660 file system of a disc may use.
//
// Paths use '/' between components. A path whose first component is one of
// the disc's reserved top-level folders (CDDA, CDI, EXT, KARAOKE, MPEG2,
// MPEGAV, SEGMENT, SVCD, VCD, in any case) keeps to level 1 (upper-case
// d-characters, names of 8 characters and 3-character extensions) and is
// taken in upper case; every other path keeps to level 2 (d-characters and
// lower case, 31 characters).
#pragma once

class CVcdMessageSink;

// A new string "name;version" (version as an unsigned 16-bit number), freed
// with free; NULL when out of memory.
char* VersionedName(const char* name, unsigned int version);

// 1 when the path is a valid directory path, else 0 with an error message
// (an empty path is invalid without one).
int IsDirectoryPathValid(CVcdMessageSink* messages, const char* path);

// 1 when the path is a valid file path, else 0 with an error message. The
// folder part, when there is one, must be a valid directory path and decides
// the level; a bare file name is level 2.
int IsFilePathValid(CVcdMessageSink* messages, const char* path);
