// CVcdReadAhead: a stretch of a file handed out in order, in large chunks
// that threads of its own read ahead of the caller. Each chunk is read at its
// own offset, so two threads fetch neighbouring chunks at once: the copy out
// of the page cache runs on other cores, beside the work that parses what was
// read. Without threads the chunks are read when asked for.
//
// Only the thread that made it calls in; the readers report nothing
// themselves. The file must stay open while it lives. Reads go around the
// FILE's buffer (and on Windows move the handle's position): whoever reads a
// file this way does not read it through the FILE too.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "discimage/base/vcd_worker_threads.h"

class CVcdReadAhead : public CVcdWorker {
public:
  // One reader: a second made builds no faster here, the two copies out of
  // the page cache and the parse then contending for the same caches.
  enum { kChunkSize = 0x20000, kSlots = 8, kReaders = 1 };
  // What Error answers for a file that ended before the stretch did.
  enum { kEndOfFile = -1 };

  // Hands out the bytes [start, end) of file. owner, when given, stops the
  // readers at the latest when it goes.
  CVcdReadAhead(FILE* file, int64_t start, int64_t end, CVcdWorkerThreads* owner = NULL);
  // Stops the readers.
  ~CVcdReadAhead() override;
  CVcdReadAhead(const CVcdReadAhead&) = delete;
  CVcdReadAhead& operator=(const CVcdReadAhead&) = delete;

  // The next chunk in file order: *length bytes (kChunkSize, the last one
  // shorter), valid until it is released. NULL behind the end and once a
  // read failed.
  uint8_t* Acquire(size_t* length);
  // Gives back the oldest chunk acquired and not yet released.
  void Release();
  // 0, the error number of the read that failed, or kEndOfFile.
  int Error() const { return m_error; }
  // Where the stretch ends.
  int64_t End() const { return m_end; }
  // Stops the readers; Acquire then reads for itself.
  void StopThreads() override;

private:
  struct Slot {
    std::unique_ptr<uint8_t[]> data;
    size_t length = 0;
    std::atomic<int64_t> ready{-1};  // the chunk it holds, once read; set under m_lock
    int error = 0;
  };

  void Run();
  // Reads chunk number into its slot: 0, an error number or kEndOfFile.
  int ReadChunk(int64_t number);

  FILE* m_file;
  int64_t m_start;
  int64_t m_end;
  int64_t m_chunks;  // chunks in the stretch
  std::vector<Slot> m_slots;
  int64_t m_acquired;  // chunks handed out
  int64_t m_released;  // chunks given back; guarded by m_lock
  int64_t m_taken;     // chunks a reader has started on; guarded by m_lock
  bool m_stopping;     // guarded by m_lock
  bool m_readerWaits;  // a reader waits for a free slot; guarded by m_lock
  int m_error;
  std::mutex m_lock;
  std::condition_variable m_changed;
  std::vector<std::thread> m_readers;
};
