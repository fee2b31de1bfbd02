#include "discimage/base/vcd_write_behind.h"

#include <cerrno>
#include <cstring>
#include <system_error>

CVcdWriteBehind::CVcdWriteBehind(FILE* file, CVcdWorkerThreads* owner)
    : CVcdWorker(owner), m_file(file), m_buffers(kBuffers), m_filling(0), m_submitted(0), m_written(0), m_error(0),
      m_stopping(false) {
  for (Buffer& buffer : m_buffers) buffer.data.reset(new unsigned char[kBufferSize]);
  try {
    m_thread = std::thread(&CVcdWriteBehind::Run, this);
  } catch (const std::system_error&) {
    // Not running: the stream writes directly.
  }
}

CVcdWriteBehind::~CVcdWriteBehind() {
  if (!IsRunning()) return;
  Drain();
  StopThreads();
}

void CVcdWriteBehind::StopThreads() {
  if (!IsRunning()) return;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    m_stopping = true;
  }
  m_changed.notify_all();
  m_thread.join();
}

int CVcdWriteBehind::Write(const void* data, size_t length) {
  const unsigned char* from = static_cast<const unsigned char*>(data);
  while (length > 0) {
    Buffer& buffer = m_buffers[m_filling];
    size_t part = kBufferSize - buffer.used;
    if (part > length) part = length;
    memcpy(buffer.data.get() + buffer.used, from, part);
    buffer.used += part;
    from += part;
    length -= part;
    if (buffer.used == kBufferSize) Submit();
  }
  return m_error.load(std::memory_order_relaxed);
}

void CVcdWriteBehind::Submit() {
  if (!IsRunning()) {
    WriteOut(m_buffers[m_filling]);
    return;
  }
  std::unique_lock<std::mutex> hold(m_lock);
  ++m_submitted;
  m_changed.notify_all();
  m_filling = m_submitted % kBuffers;
  // The next buffer is free once the writer is done with it.
  m_changed.wait(hold, [this] { return m_submitted - m_written < kBuffers; });
}

int CVcdWriteBehind::Drain() {
  if (m_buffers[m_filling].used > 0) Submit();
  std::unique_lock<std::mutex> hold(m_lock);
  m_changed.wait(hold, [this] { return m_written == m_submitted; });
  return m_error;
}

void CVcdWriteBehind::Run() {
  std::unique_lock<std::mutex> hold(m_lock);
  for (;;) {
    m_changed.wait(hold, [this] { return m_written < m_submitted || m_stopping; });
    if (m_written == m_submitted) return;
    Buffer& buffer = m_buffers[m_written % kBuffers];
    hold.unlock();
    WriteOut(buffer);
    hold.lock();
    ++m_written;
    m_changed.notify_all();
  }
}

void CVcdWriteBehind::WriteOut(Buffer& buffer) {
  // After a failure nothing more is written: the file would have a hole.
  if (m_error.load() == 0 && fwrite(buffer.data.get(), 1, buffer.used, m_file) != buffer.used) {
    std::lock_guard<std::mutex> hold(m_lock);
    m_error = errno != 0 ? errno : EIO;
  }
  buffer.used = 0;
}
