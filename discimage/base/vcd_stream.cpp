#include "discimage/base/vcd_stream.h"

#include <cerrno>
#include <cstdarg>
#include <cstdlib>
#include <cstring>

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <share.h>
#endif

#include "discimage/base/vcd_write_behind.h"
#include "discimage/base/vcd_messages.h"

namespace {

// 64-bit file access, the same calls on every target.
#ifdef _WIN32
typedef struct _stat64 VcdFileStat;
int StatPath(const char* path, VcdFileStat* st) { return _stat64(path, st); }
int StatFile(FILE* file, VcdFileStat* st) { return _fstat64(_fileno(file), st); }
int SeekFile(FILE* file, int64_t offset) { return _fseeki64(file, offset, SEEK_SET); }
int64_t TellFile(FILE* file) { return _ftelli64(file); }
FILE* OpenFile(const char* path, bool forReading) {
  // Others may read what we read, nobody may touch what we write.
  return _fsopen(path, forReading ? "rb" : "wb", forReading ? _SH_DENYWR : _SH_DENYRW);
}
#else
typedef struct stat VcdFileStat;
int StatPath(const char* path, VcdFileStat* st) { return stat(path, st); }
int StatFile(FILE* file, VcdFileStat* st) { return fstat(fileno(file), st); }
int SeekFile(FILE* file, int64_t offset) { return fseeko(file, static_cast<off_t>(offset), SEEK_SET); }
int64_t TellFile(FILE* file) { return ftello(file); }
FILE* OpenFile(const char* path, bool forReading) { return fopen(path, forReading ? "rb" : "wb"); }
#endif

// What a failed Seek returns: never the offset that was asked for.
int64_t FailedSeek(int64_t offset) { return offset == -1 ? -2 : -1; }

}  // namespace

IMPLEMENT_DYNAMIC(CVcdStream, CObject)

CVcdStream::CVcdStream(CVcdMessageSink* messages, const char* fileName, int mode)
    : m_mode(mode == kVcdStreamRead || mode == kVcdStreamWrite ? mode : kVcdStreamInvalid),
      m_open(0),
      m_position(0),
      m_fileName(fileName ? fileName : ""),
      m_file(NULL),
      m_fileTime(0),
      m_buffer(static_cast<unsigned char*>(calloc(kBufferSize, 1))),
      m_messages(messages),
      m_writeBehindWanted(false),
      m_writeBehindFailureReported(false) {
  Prepare();
}

CVcdStream::~CVcdStream() {
  if (m_open) Close();
  free(m_buffer);
}

void CVcdStream::Report(int level, const char* format, ...) {
  if (m_messages == NULL) return;
  va_list args;
  va_start(args, format);
  m_messages->SendV(level, format, args);
  va_end(args);
}

CVcdWorkerThreads* CVcdStream::Workers() const {
  return m_messages != NULL ? m_messages->GetWorkerThreads() : NULL;
}

void CVcdStream::StoreFileTime(int64_t modified, int64_t changed) {
  m_fileTime = modified != 0 ? modified : changed;
}

void CVcdStream::Release() { Close(); }

int CVcdStream::Prepare() {
  if (m_fileName.empty()) return 1;
  VcdFileStat st;
  if (m_mode == kVcdStreamRead) {
    if (StatPath(m_fileName.c_str(), &st) != 0) {
      Report(kVcdMsgError, "could not stat() file `%s': %s", m_fileName.c_str(), strerror(errno));
      return 0;
    }
    StoreFileTime(static_cast<int64_t>(st.st_mtime), static_cast<int64_t>(st.st_ctime));
    return 1;
  }
  if (m_mode == kVcdStreamWrite) {
    if (StatPath(m_fileName.c_str(), &st) == 0 && st.st_size != 0)
      Report(kVcdMsgWarning, "file '%s' exist already, will get overwritten!", m_fileName.c_str());
    return 1;
  }
  Report(kVcdMsgError, "program error: CVcdStream has been wrongly initialized - aborting!");
  return 0;
}

int CVcdStream::EnsureOpen() {
  if (m_open) return 0;
  if (DoOpen() == 0) {
    m_open = 1;
    m_position = 0;
    return 0;
  }
  Report(kVcdMsgError, "could not open %sput stream <%s>", m_mode == kVcdStreamRead ? "in" : "out",
         m_fileName.empty() ? "device" : m_fileName.c_str());
  return 1;
}

int CVcdStream::Close() {
  if (!m_open) return 0;
  int result = DoClose();
  m_open = 0;
  m_position = 0;
  return result;
}

int64_t CVcdStream::Seek(int64_t offset) {
  if (EnsureOpen() != 0) return FailedSeek(offset);
  if (m_position == offset) return m_position;
  int64_t old = m_position;
  if (offset >= 0) m_position = DoSeek(offset);
  if (offset < 0 || m_position != offset) {
    // Positions may pass 2 GiB, beyond a 32-bit long: printed 64-bit.
    Report(kVcdMsgError, "unable to reposition Stream to the new location, %lld",
           static_cast<long long>(offset));
    return FailedSeek(offset);
  }
  Report(kVcdMsgDebug, "had to reposition Stream from %lld to %lld!", static_cast<long long>(old),
         static_cast<long long>(m_position));
  return m_position;
}

size_t CVcdStream::Read(void* buffer, size_t length) {
  if (EnsureOpen() != 0) return 0;
  size_t done = DoRead(buffer, length);
  m_position += static_cast<int64_t>(done);
  return done;
}

size_t CVcdStream::Write(const void* data, size_t length) {
  if (EnsureOpen() != 0) return 0;
  size_t done = DoWrite(data, length);
  m_position += static_cast<int64_t>(done);
  return done;
}

int64_t CVcdStream::Size() {
  if (EnsureOpen() != 0) return -1;
  return DoSize();
}

int CVcdStream::Printf(const char* format, ...) {
  char text[4096];
  memset(text, 0, sizeof text);
  va_list args;
  va_start(args, format);
  int length = vsnprintf(text, sizeof text, format, args);
  va_end(args);
  if (length < 0 || length > 4095) {
    Report(kVcdMsgError, "vsnprintf() returned %d", length);
    return -1;
  }
  if (length == 0) return 0;
  size_t written = Write(text, static_cast<size_t>(length));
  return written == 0 ? -1 : static_cast<int>(written);
}

int CVcdStream::DoOpen() {
  // A stream of unknown mode must not open (and so truncate) anything.
  if (m_mode != kVcdStreamRead && m_mode != kVcdStreamWrite) return 1;
  if (m_fileName.empty()) {
    m_file = NULL;
    return 0;
  }
  m_file = OpenFile(m_fileName.c_str(), m_mode == kVcdStreamRead);
  if (m_file == NULL) return 1;
  if (m_buffer != NULL) setvbuf(m_file, reinterpret_cast<char*>(m_buffer), _IOFBF, kBufferSize);
  return 0;
}

int CVcdStream::DrainWrites() {
  if (!m_writeBehind) return 0;
  int error = m_writeBehind->Drain();
  if (error == 0) return 0;
  ReportWriteBehindFailure(error);
  return 1;
}

void CVcdStream::ReportWriteBehindFailure(int error) {
  // The thread keeps its failure and every later call answers with it: one
  // failure, one message.
  if (m_writeBehindFailureReported) return;
  m_writeBehindFailureReported = true;
  Report(kVcdMsgError, "fwrite (): %s", strerror(error));
}

int CVcdStream::DoClose() {
  if (m_file == NULL) return 0;
  int drained = DrainWrites();
  m_writeBehind.reset();
  if (drained != 0) {
    fclose(m_file);
    m_file = NULL;
    return 1;
  }
  int flushed = fflush(m_file);
  int flushErrno = errno;
  int closed = fclose(m_file);
  int closeErrno = errno;
  // fclose gives the FILE up even when it fails: never touch it again.
  m_file = NULL;
  if (flushed != 0 || closed != 0) {
    Report(kVcdMsgError, "fclose (): %s", strerror(flushed != 0 ? flushErrno : closeErrno));
    return 1;
  }
  return 0;
}

int64_t CVcdStream::DoSeek(int64_t offset) {
  if (m_file == NULL) return 0;
  if (DrainWrites() != 0) return m_position;
  if (SeekFile(m_file, offset) == 0) return offset;
  Report(kVcdMsgError, "fseek (): %s", strerror(errno));
  return m_position;
}

size_t CVcdStream::DoRead(void* buffer, size_t length) {
  if (m_file == NULL || buffer == NULL || length == 0) return 0;
  if (DrainWrites() != 0) return 0;
  size_t done = fread(buffer, 1, length, m_file);
  if (done == length) return length;
  int readErrno = errno;
  if (feof(m_file)) {
    Report(kVcdMsgDebug, "fread (): EOF encountered");
    clearerr(m_file);
  } else if (ferror(m_file)) {
    Report(kVcdMsgError, "fread (): %s", strerror(readErrno));
    clearerr(m_file);
  } else {
    Report(kVcdMsgDebug, "fread (): short read and no EOF?!?");
  }
  // A short read counts as nothing read: put the file back where the stream's
  // position says, or take the file's word for where it is.
  if (done > 0 && SeekFile(m_file, m_position) != 0) {
    int64_t actual = TellFile(m_file);
    if (actual >= 0) m_position = actual;
  }
  return 0;
}

size_t CVcdStream::DoWrite(const void* data, size_t length) {
  if (m_file == NULL || data == NULL) return 0;
  // A file that grows past one buffer goes on through the write-behind; a
  // thread that cannot start leaves the stream writing directly.
  if (!m_writeBehind && m_writeBehindWanted &&
      m_position + static_cast<int64_t>(length) > CVcdWriteBehind::kBufferSize) {
    m_writeBehind.reset(new CVcdWriteBehind(m_file, Workers()));
    m_writeBehindFailureReported = false;
    if (!m_writeBehind->IsRunning()) {
      m_writeBehind.reset();
      m_writeBehindWanted = false;
    }
  }
  if (m_writeBehind) {
    int error = m_writeBehind->Write(data, length);
    if (error == 0) return length;
    ReportWriteBehindFailure(error);
    return 0;
  }
  size_t done = fwrite(data, 1, length, m_file);
  if (done != length) Report(kVcdMsgError, "fwrite (): %s", strerror(errno));
  return done;
}

int64_t CVcdStream::DoSize() {
  if (m_file == NULL) return -1;
  // Bytes still in our buffers belong to the file's size too; when some
  // could not be written, the file has no size worth telling.
  if (m_mode == kVcdStreamWrite) {
    if (DrainWrites() != 0) return -1;
    fflush(m_file);
  }
  VcdFileStat st;
  if (StatFile(m_file, &st) != 0) {
    Report(kVcdMsgError, "Unable to _STAT file <%s>...", m_fileName.c_str());
    return -1;
  }
  StoreFileTime(static_cast<int64_t>(st.st_mtime), static_cast<int64_t>(st.st_ctime));
  return static_cast<int64_t>(st.st_size);
}
