// libFuzzer target: a whole MPEG source on arbitrary bytes. The input is
// written to a file, scanned, and every packet read back (with the scan data
// rewritten), then one read backwards. The first byte chooses strict access
// points and "update scan offsets".
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "discimage/mpeg/mpeg_source.h"
#include "discimage/base/vcd_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t flags = data[0];
  ++data;
  --size;
  static const std::string path = "/dev/shm/mpeg_scan_fuzz." + std::to_string(getpid()) + ".mpg";
  FILE* file = fopen(path.c_str(), "wb");
  if (file == NULL) abort();
  if (size > 0 && fwrite(data, 1, size, file) != size) abort();
  fclose(file);

  static FILE* nowhere = fopen("/dev/null", "w");
  CVcdMessageSink sink;
  sink.SetOutputStreams(nowhere, nowhere);
  {
    CVcdMpegSource source(&sink, path.c_str());
    int result = source.Scan(flags & 1, flags & 2, "fuzz");
    const MpegStreamInfo* info = source.GetStreamInfo();
    if (result == kMpegScanOk) {
      if (!source.IsScanned() || info->packetCount < 0) abort();
      // Whole packets never outnumber the bytes.
      if (static_cast<size_t>(info->packetCount) > size) abort();
      uint8_t packet[kMpegPacketSize];
      MpegPacketInfo packetInfo;
      for (int n = 0; n < info->packetCount; ++n) {
        if (source.ReadPacket(n, packet, &packetInfo, 1) != 0) abort();
        if (packetInfo.scanData != NULL &&
            (packetInfo.scanData < packet ||
             packetInfo.scanData + kMpegScanDataSize > packet + kMpegPacketSize))
          abort();
        ClassifyPacket(&packetInfo);
      }
      if (info->packetCount > 1 && source.ReadPacket(0, packet, NULL, flags & 4) != 0) abort();
    } else if (source.IsScanned()) {
      abort();
    }
    source.Release();
  }
  unlink(path.c_str());
  return 0;
}
