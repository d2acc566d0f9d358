#pragma once
// Locks, events and the worker thread of the filter base classes.
#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "win32/winbase.h"
#include "win32/winerror.h"

// A recursive lock: the same thread may take it again.
class CCritSec {
 public:
  CCritSec() = default;
  CCritSec(const CCritSec&) = delete;
  CCritSec& operator=(const CCritSec&) = delete;
  void Lock() {
    m_mutex.lock();
    if (m_count++ == 0) m_owner = std::this_thread::get_id();
  }
  void Unlock() {
    if (--m_count == 0) m_owner = std::thread::id();
    m_mutex.unlock();
  }

 private:
  friend class CAutoUnlockAll;
  std::recursive_mutex m_mutex;
  std::atomic<std::thread::id> m_owner{};
  int m_count = 0;  // only touched by the owner
};

// Releases a lock the calling thread holds (however often) for its scope and takes it back as
// often afterwards: used while waiting for a worker thread that may need the same lock.
class CAutoUnlockAll {
 public:
  explicit CAutoUnlockAll(CCritSec* plock) : m_pLock(plock) {
    if (m_pLock->m_owner.load() != std::this_thread::get_id()) return;
    m_held = m_pLock->m_count;
    for (int i = 0; i < m_held; ++i) m_pLock->Unlock();
  }
  ~CAutoUnlockAll() {
    for (int i = 0; i < m_held; ++i) m_pLock->Lock();
  }
  CAutoUnlockAll(const CAutoUnlockAll&) = delete;
  CAutoUnlockAll& operator=(const CAutoUnlockAll&) = delete;

 private:
  CCritSec* m_pLock;
  int m_held = 0;
};

// Holds a lock for its scope.
class CAutoLock {
 public:
  explicit CAutoLock(CCritSec* plock) : m_pLock(plock) { m_pLock->Lock(); }
  ~CAutoLock() { m_pLock->Unlock(); }
  CAutoLock(const CAutoLock&) = delete;
  CAutoLock& operator=(const CAutoLock&) = delete;

 private:
  CCritSec* m_pLock;
};

// An event: auto-reset (one waiter released per Set) unless manual reset. Timeouts are real
// milliseconds, INFINITE waits for good.
class CAMEvent {
 public:
  explicit CAMEvent(BOOL fManualReset = FALSE, HRESULT* phr = nullptr);
  CAMEvent(const CAMEvent&) = delete;
  CAMEvent& operator=(const CAMEvent&) = delete;
  void Set();
  void Reset();
  // TRUE when the event was set within the timeout.
  BOOL Wait(DWORD dwTimeout = INFINITE);
  // Set now? (consumes an auto-reset event like Wait(0))
  BOOL Check() { return Wait(0); }

 private:
  std::mutex m_mutex;
  std::condition_variable m_cond;
  bool m_set = false;
  const bool m_manual;
};

// A worker thread that serves one request at a time: CallWorker sends a request and waits for
// the worker's Reply.
class CAMThread {
 public:
  explicit CAMThread(HRESULT* phr = nullptr);
  virtual ~CAMThread();
  CAMThread(const CAMThread&) = delete;
  CAMThread& operator=(const CAMThread&) = delete;

  CCritSec m_AccessLock;  // serialises CallWorker
  CCritSec m_WorkerLock;  // the worker holds it while it runs ThreadProc

  // Starts the thread; FALSE when it already runs.
  BOOL Create();
  // Sends dwParam and returns the worker's reply; (DWORD)E_FAIL when no thread runs.
  DWORD CallWorker(DWORD dwParam);
  // Waits for the thread to end (it must be leaving ThreadProc) and joins it.
  void Close();
  BOOL ThreadExists() const { return m_thread.joinable(); }

  // Worker side.
  BOOL CheckRequest(DWORD* pParam);  // a request is pending (its parameter in *pParam)
  DWORD GetRequest();                // waits for a request
  void Reply(DWORD dw);
  DWORD GetRequestParam() const { return m_dwParam; }
  virtual DWORD ThreadProc() = 0;

 private:
  CAMEvent m_EventSend;
  CAMEvent m_EventComplete;
  DWORD m_dwParam = 0;
  DWORD m_dwReturnVal = 0;
  std::thread m_thread;
};
