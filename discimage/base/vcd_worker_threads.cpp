#include "discimage/base/vcd_worker_threads.h"

#include <algorithm>

CVcdWorkerThreads::~CVcdWorkerThreads() {
  std::vector<CVcdWorker*> left;
  {
    std::lock_guard<std::mutex> hold(m_lock);
    left.swap(m_workers);
    for (CVcdWorker* worker : left) worker->m_owner = NULL;
  }
  for (CVcdWorker* worker : left) worker->StopThreads();
}

size_t CVcdWorkerThreads::GetCount() const {
  std::lock_guard<std::mutex> hold(m_lock);
  return m_workers.size();
}

void CVcdWorkerThreads::Add(CVcdWorker* worker) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_workers.push_back(worker);
}

void CVcdWorkerThreads::Remove(CVcdWorker* worker) {
  std::lock_guard<std::mutex> hold(m_lock);
  m_workers.erase(std::remove(m_workers.begin(), m_workers.end(), worker), m_workers.end());
}

CVcdWorker::CVcdWorker(CVcdWorkerThreads* owner) : m_owner(owner) {
  if (m_owner != NULL) m_owner->Add(this);
}

CVcdWorker::~CVcdWorker() {
  if (m_owner != NULL) m_owner->Remove(this);
}
