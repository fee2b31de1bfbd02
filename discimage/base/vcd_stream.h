// CVcdStream: the builder's one file abstraction. Every file the builder reads
// (MPEG sources, user files, an existing image) or writes (bin, img, nrg,
// cue and toc) is one, or a class derived from it. The file is opened lazily
// by the first operation; the stream tracks the file position itself so that
// sequential work never seeks, and every I/O failure is reported through the
// message layer.
//
// Positions and sizes are 64-bit. Failures never look like success: Seek
// returns a value other than the offset asked for, Size returns -1, Read and
// Write return what was moved (a short read moves nothing).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "mfc/object.h"

class CVcdMessageSink;
class CVcdWorkerThreads;
class CVcdWriteBehind;

enum {
  kVcdStreamInvalid = 0,
  kVcdStreamRead = 1,
  kVcdStreamWrite = 2,
};

class CVcdStream : public CObject {
  DECLARE_DYNAMIC(CVcdStream)

  enum { kBufferSize = 0x10000 };  // each stream's own stdio buffer

  // mode: kVcdStreamRead or kVcdStreamWrite (anything else is stored as
  // invalid). A NULL name is the empty name: such a stream opens, and moves no
  // data. Runs Prepare.
  CVcdStream(CVcdMessageSink* messages, const char* fileName, int mode);
  ~CVcdStream() override;

  // Closes the file; derived streams free more.
  virtual void Release();

  // Checks the named file: read mode stats it (0 when that fails, reported),
  // write mode warns when a non-empty file would be overwritten. 1 when fine.
  int Prepare();
  // Opens the file unless open: 0 open, 1 failed (reported).
  int EnsureOpen();
  // 0 when closed cleanly or not open, else the failure of DoClose.
  int Close();
  // Moves to offset; returns the new position. Any failure returns a value
  // other than offset. Seeking to the current position does nothing.
  int64_t Seek(int64_t offset);
  // Bytes read; a short read returns 0 and leaves the position unchanged.
  size_t Read(void* buffer, size_t length);
  // Bytes written.
  size_t Write(const void* data, size_t length);
  // File size in bytes, or -1.
  int64_t Size();
  // Formats (at most 4095 bytes) and writes the text without its zero:
  // the byte count, or -1 when the text is too long or nothing was written.
  int Printf(const char* format, ...) QUORBEL_PRINTF_LIKE(2, 3);

  int GetMode() const { return m_mode; }
  bool IsOpen() const { return m_open != 0; }
  int64_t GetPosition() const { return m_position; }
  const char* GetFileName() const { return m_fileName.c_str(); }
  // Modification time (seconds since 1970) of a read stream's file, or its
  // status-change time when that is 0; filled by Prepare and Size.
  int64_t GetFileTime() const { return m_fileTime; }
  CVcdMessageSink* GetMessages() const { return m_messages; }

protected:
  // Renames the stream (image sinks switch files); the caller closes first
  // and runs Prepare again when it wants the checks.
  void SetFileName(const char* fileName) { m_fileName = fileName ? fileName : ""; }
  // A write stream writes through a thread of its own once it has written
  // more than one of that thread's buffers (images; a sheet never starts one).
  void UseWriteBehind() { m_writeBehindWanted = true; }
  // Waits until every byte written has been handed to the file: 0, or 1 when
  // a write failed (reported).
  int DrainWrites();
  // Reports the write-behind's failure, once for the thread's life.
  void ReportWriteBehindFailure(int error);

  // 0 opened, non-zero failure. The empty name opens without a file.
  virtual int DoOpen();
  // Flushes and closes: 0 or non-zero failure (reported).
  virtual int DoClose();
  // Absolute seek: offset on success, else the unchanged position.
  virtual int64_t DoSeek(int64_t offset);
  // length on success; 0 on a short read, with the file put back where the
  // stream's position says.
  virtual size_t DoRead(void* buffer, size_t length);
  // Bytes written.
  virtual size_t DoWrite(const void* data, size_t length);
  // File size, or -1.
  virtual int64_t DoSize();

  void StoreFileTime(int64_t modified, int64_t changed);
  // Where the threads the stream starts are registered: its build's, or
  // NULL without a message sink.
  CVcdWorkerThreads* Workers() const;
  // A message through m_messages (dropped when there is none).
  void Report(int level, const char* format, ...) QUORBEL_PRINTF_LIKE(3, 4);

  int m_mode;                   // kVcdStream*
  int m_open;                   // non-zero while open
  int64_t m_position;           // where the file is, as the stream sees it; 0 when closed
  std::string m_fileName;       // path; may be empty
  FILE* m_file;                 // NULL while closed (and for the empty name)
  int64_t m_fileTime;           // read streams: the file's time, see GetFileTime
  unsigned char* m_buffer;      // kBufferSize bytes handed to setvbuf; owned
  CVcdMessageSink* m_messages;  // where failures are reported; may be NULL
  bool m_writeBehindWanted;     // see UseWriteBehind
  std::unique_ptr<CVcdWriteBehind> m_writeBehind;  // once started, until the file closes
  bool m_writeBehindFailureReported;               // its failure has been reported
};
