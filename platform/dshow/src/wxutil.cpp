#include "dshow/wxutil.h"

#include <chrono>

CAMEvent::CAMEvent(BOOL fManualReset, HRESULT*) : m_manual(fManualReset != FALSE) {}

void CAMEvent::Set() {
  {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_set = true;
  }
  if (m_manual)
    m_cond.notify_all();
  else
    m_cond.notify_one();
}

void CAMEvent::Reset() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_set = false;
}

BOOL CAMEvent::Wait(DWORD dwTimeout) {
  std::unique_lock<std::mutex> lock(m_mutex);
  if (dwTimeout == INFINITE)
    m_cond.wait(lock, [this] { return m_set; });
  else if (!m_cond.wait_for(lock, std::chrono::milliseconds(dwTimeout), [this] { return m_set; }))
    return FALSE;
  if (!m_manual) m_set = false;
  return TRUE;
}

CAMThread::CAMThread(HRESULT*) {}

CAMThread::~CAMThread() { Close(); }

BOOL CAMThread::Create() {
  CAutoLock lock(&m_AccessLock);
  if (ThreadExists()) return FALSE;
  m_thread = std::thread([this] {
    CAutoLock worker(&m_WorkerLock);
    ThreadProc();
  });
  return TRUE;
}

DWORD CAMThread::CallWorker(DWORD dwParam) {
  CAutoLock lock(&m_AccessLock);
  if (!ThreadExists()) return static_cast<DWORD>(E_FAIL);
  m_dwParam = dwParam;
  m_EventSend.Set();
  m_EventComplete.Wait();
  return m_dwReturnVal;
}

void CAMThread::Close() {
  if (m_thread.joinable() && m_thread.get_id() != std::this_thread::get_id()) m_thread.join();
}

BOOL CAMThread::CheckRequest(DWORD* pParam) {
  if (!m_EventSend.Check()) return FALSE;
  // Check consumed the signal; keep it for GetRequest.
  m_EventSend.Set();
  if (pParam) *pParam = m_dwParam;
  return TRUE;
}

DWORD CAMThread::GetRequest() {
  m_EventSend.Wait();
  return m_dwParam;
}

void CAMThread::Reply(DWORD dw) {
  m_dwReturnVal = dw;
  m_EventComplete.Set();
}
