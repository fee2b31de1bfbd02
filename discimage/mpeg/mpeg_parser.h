// The MPEG program stream parser: one block that begins at a pack header,
// where the pack ends and what it holds. Every field is read inside the block
// and inside the packet that contains it; a header that does not fit is bad
// data (the parse fails), never a read past the end.
#pragma once

#include <cstdint>

#include "discimage/mpeg/mpeg_info.h"

class CVcdMessageSink;

// Parses the pack at the start of block (length bytes, normally at most one
// VideoCD packet). Returns the pack's length (1 to length), or 0 when the
// block does not start a valid pack or a packet in it overruns what holds it.
// With analysis on the video sequence, GOP, picture and user data headers and
// the audio frame headers are read into the stream information, and access
// points and scan data are found; without it only pack and PES headers are
// read. The state is zeroed by the caller once per file; its packet info is
// rewritten by every parse. messages may be NULL.
int ParsePacket(CVcdMessageSink* messages, uint8_t* block, int length, int analysis,
                MpegParserState* state);
