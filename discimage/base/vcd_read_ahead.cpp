#include "discimage/base/vcd_read_ahead.h"

#include <cerrno>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

namespace {

// How long the caller spins for a chunk being read before it sleeps: about
// as long as a chunk from the page cache takes. A sleep and a wake cost more,
// but on a single processor spinning only keeps the reader from running.
const int kSpins = 4096;
const int kSpinsHere = std::thread::hardware_concurrency() > 1 ? kSpins : 0;

inline void CpuRelax() {
#if defined(__x86_64__) || defined(__i386__)
  __builtin_ia32_pause();
#endif
}

// Reads length bytes at offset without moving the FILE's own position:
// 0, an error number, or CVcdReadAhead::kEndOfFile.
int ReadAt(FILE* file, uint8_t* to, size_t length, int64_t offset) {
#ifdef _WIN32
  HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
  while (length > 0) {
    OVERLAPPED at = {};
    at.Offset = static_cast<DWORD>(offset);
    at.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    DWORD done = 0;
    if (!ReadFile(handle, to, static_cast<DWORD>(length), &done, &at))
      return GetLastError() == ERROR_HANDLE_EOF ? CVcdReadAhead::kEndOfFile : EIO;
    if (done == 0) return CVcdReadAhead::kEndOfFile;
    to += done;
    length -= done;
    offset += done;
  }
#else
  const int fd = fileno(file);
  while (length > 0) {
    ssize_t done = pread(fd, to, length, static_cast<off_t>(offset));
    if (done < 0 && errno == EINTR) continue;
    if (done < 0) return errno != 0 ? errno : EIO;
    if (done == 0) return CVcdReadAhead::kEndOfFile;
    to += done;
    length -= static_cast<size_t>(done);
    offset += done;
  }
#endif
  return 0;
}

}  // namespace

CVcdReadAhead::CVcdReadAhead(FILE* file, int64_t start, int64_t end, CVcdWorkerThreads* owner)
    : CVcdWorker(owner),
      m_file(file),
      m_start(start),
      m_end(end > start ? end : start),
      m_chunks((m_end - m_start + kChunkSize - 1) / kChunkSize),
      m_slots(kSlots),
      m_acquired(0),
      m_released(0),
      m_taken(0),
      m_stopping(false),
      m_readerWaits(false),
      m_error(0) {
  if (m_file == NULL) {
    m_error = EBADF;
    return;
  }
  for (Slot& slot : m_slots) slot.data.reset(new uint8_t[kChunkSize]);
  // One chunk needs no help.
  const int readers = m_chunks > 1 ? kReaders : 0;
  try {
    for (int i = 0; i < readers; ++i) m_readers.emplace_back(&CVcdReadAhead::Run, this);
  } catch (const std::system_error&) {
    // Those that started read; with none, Acquire reads.
  }
}

CVcdReadAhead::~CVcdReadAhead() { StopThreads(); }

void CVcdReadAhead::StopThreads() {
  if (m_readers.empty()) return;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_stopping = true;
  }
  m_changed.notify_all();
  for (std::thread& reader : m_readers) reader.join();
  m_readers.clear();
}

int CVcdReadAhead::ReadChunk(int64_t number) {
  Slot& slot = m_slots[static_cast<size_t>(number % kSlots)];
  const int64_t offset = m_start + number * kChunkSize;
  const int64_t left = m_end - offset;
  slot.length = static_cast<size_t>(left < kChunkSize ? left : static_cast<int64_t>(kChunkSize));
  return ReadAt(m_file, slot.data.get(), slot.length, offset);
}

void CVcdReadAhead::Run() {
  std::unique_lock<std::mutex> hold(m_lock);
  for (;;) {
    // A chunk's slot is free once the chunk kSlots before it is given back.
    m_readerWaits = true;
    m_changed.wait(hold, [this] {
      return m_stopping || (m_taken < m_chunks && m_taken < m_released + kSlots);
    });
    m_readerWaits = false;
    if (m_stopping) return;
    const int64_t number = m_taken++;
    hold.unlock();
    const int error = ReadChunk(number);
    hold.lock();
    Slot& slot = m_slots[static_cast<size_t>(number % kSlots)];
    slot.error = error;
    slot.ready.store(number, std::memory_order_release);
    m_changed.notify_all();
  }
}

uint8_t* CVcdReadAhead::Acquire(size_t* length) {
  if (m_error != 0 || m_acquired >= m_chunks || m_acquired >= m_released + kSlots) return NULL;
  const int64_t number = m_acquired;
  Slot& slot = m_slots[static_cast<size_t>(number % kSlots)];
  if (m_readers.empty()) {
    slot.error = ReadChunk(number);
  } else {
    for (int i = 0; i < kSpinsHere && slot.ready.load(std::memory_order_acquire) != number; ++i) CpuRelax();
    if (slot.ready.load(std::memory_order_acquire) != number) {
      std::unique_lock<std::mutex> hold(m_lock);
      // Release wakes a waiting reader only once half the slots are free: a
      // caller that holds more than half would wait here for a reader that
      // sleeps although this chunk's slot is free. The reader may go on.
      if (m_readerWaits) m_changed.notify_all();
      m_changed.wait(hold, [&] { return slot.ready.load() == number; });
    }
  }
  if (slot.error != 0) {
    m_error = slot.error;
    return NULL;
  }
  ++m_acquired;
  *length = slot.length;
  return slot.data.get();
}

void CVcdReadAhead::Release() {
  if (m_released >= m_acquired) return;
  bool wake;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    ++m_released;
    // A waiting reader is woken when half the slots are free, to read on
    // for a while rather than a chunk at a time.
    wake = m_readerWaits && m_released + kSlots - m_taken >= kSlots / 2;
  }
  if (wake) m_changed.notify_all();
}
