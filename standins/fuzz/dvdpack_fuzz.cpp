// One 2048-byte pack as the DVD authoring scan parses it.
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "standins/dvdauthor/author_core.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  uint8_t pack[2048] = {0, 0, 1, 0xBA, 0x44};
  size_t offset = size < 2048 - 5 ? 5 : 0;
  size_t length = size < 2048 - offset ? size : 2048 - offset;
  memcpy(pack + offset, data, length);
  PackFacts facts;
  ParseDvdPack(pack, &facts);
  return 0;
}
