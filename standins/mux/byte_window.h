// Bounded reads of a file or a memory block through one moving window, so an
// index pass reads a large stream strictly forward in big pieces.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

class ByteWindow {
public:
  // A block in memory (not copied; it must outlive the window).
  ByteWindow(const uint8_t* data, size_t size);
  // A file; IsOpen() tells whether it could be opened.
  explicit ByteWindow(const std::string& path);
  ~ByteWindow();
  ByteWindow(const ByteWindow&) = delete;
  ByteWindow& operator=(const ByteWindow&) = delete;

  bool IsOpen() const { return m_file != NULL || m_memory != NULL; }
  int64_t Size() const { return m_size; }
  bool ReadFailed() const { return m_readFailed; }

  // Up to want bytes at pos (fewer only at the end of the data, or none
  // after a read error); *got receives how many. The pointer is valid until
  // the next call.
  const uint8_t* Peek(int64_t pos, size_t want, size_t* got);

private:
  FILE* m_file = NULL;
  const uint8_t* m_memory = NULL;
  int64_t m_size = 0;
  std::vector<uint8_t> m_buffer;  // the window of a file
  int64_t m_bufferPos = 0;        // file offset of m_buffer[0]
  size_t m_bufferLength = 0;      // valid bytes in m_buffer
  bool m_readFailed = false;
};

// Opens a file for binary reading or writing with 64-bit offsets.
FILE* OpenBinaryFile(const std::string& path, const char* mode);
int SeekFile(FILE* file, int64_t offset);
int64_t FileSizeOf(FILE* file);
