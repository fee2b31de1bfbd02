// The threads one build starts (read-ahead readers, write-behind writers)
// belong to the build, not only to the object that started them: on Windows
// a fault leaves the faulting call without unwinding, so that object may
// never be destroyed. Each such object is a CVcdWorker registered with the
// build's CVcdWorkerThreads, whose destruction - the build's teardown -
// stops the threads of every worker still registered.
#pragma once

#include <mutex>
#include <vector>

class CVcdWorker;

class CVcdWorkerThreads {
public:
  CVcdWorkerThreads() = default;
  // Stops the threads of every worker still registered and forgets them:
  // they may be destroyed later, or never.
  ~CVcdWorkerThreads();
  CVcdWorkerThreads(const CVcdWorkerThreads&) = delete;
  CVcdWorkerThreads& operator=(const CVcdWorkerThreads&) = delete;

  // Workers registered (and not yet destroyed).
  size_t GetCount() const;

private:
  friend class CVcdWorker;
  void Add(CVcdWorker* worker);
  void Remove(CVcdWorker* worker);

  mutable std::mutex m_lock;
  std::vector<CVcdWorker*> m_workers;  // guarded by m_lock
};

class CVcdWorker {
public:
  // The derived destructor has stopped the threads by now.
  virtual ~CVcdWorker();
  // Stops the worker's threads and waits for them to end. The worker then
  // does its work on the caller's thread, if it is asked to at all. Calls
  // after the first do nothing.
  virtual void StopThreads() = 0;

protected:
  // owner may be NULL: the worker is then its own object's alone. Workers
  // are made and destroyed on their build's thread.
  explicit CVcdWorker(CVcdWorkerThreads* owner);
  CVcdWorker(const CVcdWorker&) = delete;
  CVcdWorker& operator=(const CVcdWorker&) = delete;

private:
  friend class CVcdWorkerThreads;
  CVcdWorkerThreads* m_owner;  // NULL once the owner has let it go
};
