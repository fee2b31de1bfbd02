// CVcdWriteBehind: an image's bytes go to the file from a thread of their
// own. Writes fill large buffers; each full buffer is handed to the writer
// thread, so the file system's copy of one buffer runs beside the work that
// makes the next. Data reaches the file in the order it was written.
//
// A write that fails is kept: every later call answers with its error
// number, and nothing more is written. Only the thread that owns the stream
// calls in; the writer thread reports nothing itself.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "discimage/base/vcd_worker_threads.h"

class CVcdWriteBehind : public CVcdWorker {
public:
  enum { kBufferSize = 0x80000, kBuffers = 3 };

  // Writes to file, which must stay open until Drain has returned. owner,
  // when given, stops the thread at the latest when it goes.
  explicit CVcdWriteBehind(FILE* file, CVcdWorkerThreads* owner = NULL);
  // Drains; the error, if any, is lost: call Drain first to see it.
  ~CVcdWriteBehind() override;
  CVcdWriteBehind(const CVcdWriteBehind&) = delete;
  CVcdWriteBehind& operator=(const CVcdWriteBehind&) = delete;

  // False when the writer thread could not start: write directly then.
  bool IsRunning() const { return m_thread.joinable(); }

  // Takes length bytes: 0, or the error number of a failed write (this one
  // or an earlier one).
  int Write(const void* data, size_t length);
  // Returns once every byte taken has been handed to the file: 0, or the
  // error number of the first failed write.
  int Drain();
  // Ends the thread once it has written what was handed to it; bytes taken
  // after that are written directly.
  void StopThreads() override;

private:
  struct Buffer {
    std::unique_ptr<unsigned char[]> data;
    size_t used = 0;
  };

  void Run();
  // Hands the buffer being filled to the writer thread (writes it when the
  // thread has stopped).
  void Submit();
  // Writes the buffer to the file, unless a write failed before; empties it.
  void WriteOut(Buffer& buffer);

  FILE* m_file;
  std::vector<Buffer> m_buffers;  // a ring: filled, written and refilled in turn
  size_t m_filling;               // the buffer being filled
  std::mutex m_lock;
  std::condition_variable m_changed;
  size_t m_submitted;  // buffers handed over so far, guarded by m_lock
  size_t m_written;    // buffers the writer finished, guarded by m_lock
  std::atomic<int> m_error;  // first failure's error number; set under m_lock
  bool m_stopping;     // guarded by m_lock
  std::thread m_thread;
};
