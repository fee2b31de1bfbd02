#include "standins/mux/byte_window.h"

#include <cstring>

namespace {
const size_t kWindowBytes = 4u << 20;
}

FILE* OpenBinaryFile(const std::string& path, const char* mode) {
  return fopen(path.c_str(), mode);
}

int SeekFile(FILE* file, int64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, offset, SEEK_SET);
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET);
#endif
}

int64_t FileSizeOf(FILE* file) {
#ifdef _WIN32
  if (_fseeki64(file, 0, SEEK_END) != 0) return -1;
  int64_t size = _ftelli64(file);
#else
  if (fseeko(file, 0, SEEK_END) != 0) return -1;
  int64_t size = static_cast<int64_t>(ftello(file));
#endif
  if (SeekFile(file, 0) != 0) return -1;
  return size;
}

ByteWindow::ByteWindow(const uint8_t* data, size_t size)
    : m_memory(data != NULL ? data : reinterpret_cast<const uint8_t*>("")),
      m_size(static_cast<int64_t>(size)) {}

ByteWindow::ByteWindow(const std::string& path) {
  m_file = OpenBinaryFile(path, "rb");
  if (m_file == NULL) return;
  m_size = FileSizeOf(m_file);
  if (m_size < 0) {
    fclose(m_file);
    m_file = NULL;
    m_size = 0;
  }
}

ByteWindow::~ByteWindow() {
  if (m_file != NULL) fclose(m_file);
}

const uint8_t* ByteWindow::Peek(int64_t pos, size_t want, size_t* got) {
  *got = 0;
  if (pos < 0 || pos >= m_size || m_readFailed) return NULL;
  int64_t left = m_size - pos;
  if (static_cast<int64_t>(want) > left) want = static_cast<size_t>(left);
  if (m_memory != NULL) {
    *got = want;
    return m_memory + pos;
  }
  if (m_file == NULL) return NULL;
  bool inside = pos >= m_bufferPos &&
                pos + static_cast<int64_t>(want) <= m_bufferPos + static_cast<int64_t>(m_bufferLength);
  if (!inside) {
    size_t length = want > kWindowBytes ? want : kWindowBytes;
    if (static_cast<int64_t>(length) > left) length = static_cast<size_t>(left);
    m_buffer.resize(length);
    if (SeekFile(m_file, pos) != 0 || fread(m_buffer.data(), 1, length, m_file) != length) {
      m_readFailed = true;
      m_bufferLength = 0;
      return NULL;
    }
    m_bufferPos = pos;
    m_bufferLength = length;
  }
  *got = want;
  return m_buffer.data() + (pos - m_bufferPos);
}
