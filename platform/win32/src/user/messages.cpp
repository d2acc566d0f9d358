// Sending, posting and retrieving messages; hooks; timers.
#include <algorithm>
#include <chrono>

#include "clock.h"
#include "user/display.h"
#include "user/user_state.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::user {
namespace {

constexpr DWORD kErrorInvalidHookHandle = 1404;
constexpr UINT kMinimumTimerPeriod = 10;

struct HookObject : HandleObject {
  int type = 0;
  HOOKPROC proc = nullptr;
  DWORD thread = 0;  // 0: every thread
};

struct HookList {
  std::mutex lock;
  std::vector<std::shared_ptr<HookObject>> hooks;  // the newest first
  std::vector<HHOOK> handles;
};

HookList& Hooks() {
  static HookList* list = new HookList;
  return *list;
}

// The hooks of a type that apply to the thread, newest first.
std::vector<std::pair<HHOOK, HOOKPROC>> HookChain(int type, DWORD thread) {
  std::vector<std::pair<HHOOK, HOOKPROC>> chain;
  HookList& list = Hooks();
  std::lock_guard<std::mutex> guard(list.lock);
  for (size_t i = 0; i < list.hooks.size(); ++i) {
    const HookObject& h = *list.hooks[i];
    if (h.type == type && (h.thread == 0 || h.thread == thread)) chain.push_back({list.handles[i], h.proc});
  }
  return chain;
}

LRESULT CallProcedure(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  WNDPROC proc = w.proc;
  HWND hwnd = w.handle;
  return proc ? proc(hwnd, message, wParam, lParam) : 0;
}

// Handles sends from other threads waiting in the queue.
void ProcessIncoming(ThreadQueue& q) {
  for (;;) {
    std::shared_ptr<CrossThreadSend> s;
    {
      std::lock_guard<std::mutex> guard(q.lock);
      if (q.incoming.empty()) return;
      s = q.incoming.front();
      q.incoming.pop_front();
    }
    ++q.sentFromOtherThread;
    q.nextSendIsForeign = true;
    LRESULT result = Send(s->hwnd, s->message, s->wParam, s->lParam);
    --q.sentFromOtherThread;
    ++q.sendsHandled;
    // The sender waits on its own queue.
    ThreadQueue* sender = QueueOf(s->sender);
    if (sender) {
      std::lock_guard<std::mutex> guard(sender->lock);
      s->result = result;
      s->done = true;
      sender->changed.notify_all();
    }
  }
}

LRESULT SendToOtherThread(Window& w, UINT message, WPARAM wParam, LPARAM lParam) {
  ThreadQueue* target = QueueOf(w.thread);
  if (!target) return 0;
  ThreadQueue& me = CurrentQueue();
  auto s = std::make_shared<CrossThreadSend>();
  *s = {w.handle, message, wParam, lParam, me.thread};
  {
    std::lock_guard<std::mutex> guard(target->lock);
    target->incoming.push_back(s);
    target->changed.notify_all();
  }
  for (;;) {
    ProcessIncoming(me);  // the other thread may send back to us meanwhile
    std::unique_lock<std::mutex> guard(me.lock);
    if (s->done) return s->result;
    me.changed.wait(guard, [&] { return s->done || !me.incoming.empty(); });
    if (s->done) return s->result;
  }
}

bool Matches(const MSG& m, HWND filter, UINT first, UINT last) {
  if (filter && m.hwnd != filter && !IsDescendant(filter, m.hwnd)) return false;
  if (first == 0 && last == 0) return true;
  return m.message >= first && m.message <= last;
}

bool RangeHas(UINT message, UINT first, UINT last) {
  return (first == 0 && last == 0) || (message >= first && message <= last);
}

bool TakePosted(ThreadQueue& q, HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  std::lock_guard<std::mutex> guard(q.lock);
  for (auto it = q.posted.begin(); it != q.posted.end(); ++it) {
    if (!Matches(*it, filter, first, last)) continue;
    *out = *it;
    if (remove) q.posted.erase(it);
    return true;
  }
  return false;
}

bool TakeTimer(ThreadQueue& q, HWND filter, UINT first, UINT last, bool remove, MSG* out) {
  if (!RangeHas(WM_TIMER, first, last)) return false;
  const uint64_t now = ClockNowMs();
  std::lock_guard<std::mutex> guard(q.lock);
  for (Timer& t : q.timers) {
    if (t.due > now) continue;
    if (filter && t.hwnd != filter && !IsDescendant(filter, t.hwnd)) continue;
    *out = {t.hwnd, WM_TIMER, t.id, reinterpret_cast<LPARAM>(t.proc), static_cast<DWORD>(now), CursorPos()};
    if (remove) t.due = now + t.period;
    return true;
  }
  return false;
}

// The next message in the platform's order, or false.
bool Retrieve(MSG* out, HWND filter, UINT first, UINT last, bool remove) {
  ThreadQueue& q = CurrentQueue();
  ProcessIncoming(q);
  if (TakePosted(q, filter, first, last, remove, out)) return true;
  if (NextInputMessage(q.thread, filter, first, last, remove, out)) return true;
  {
    std::lock_guard<std::mutex> guard(q.lock);
    if (q.quit && RangeHas(WM_QUIT, first, last)) {
      *out = {nullptr, WM_QUIT, static_cast<WPARAM>(q.quitCode), 0, GetTickCount(), CursorPos()};
      if (remove) q.quit = false;
      return true;
    }
  }
  if (RangeHas(WM_PAINT, first, last)) {
    if (HWND hwnd = FindWindowToPaint(q.thread, filter)) {
      *out = {hwnd, WM_PAINT, 0, 0, GetTickCount(), CursorPos()};
      return true;
    }
  }
  return TakeTimer(q, filter, first, last, remove, out);
}

// Waits until something may have arrived for the thread. True when the idle handler worked
// instead: it may have dispatched the work itself.
bool WaitForWork() {
  ThreadQueue& q = CurrentQueue();
  if (q.idle && q.idle()) return true;
  std::unique_lock<std::mutex> guard(q.lock);
  if (!q.posted.empty() || !q.incoming.empty() || q.quit) return false;
  if (HasPendingInput()) return false;
  uint64_t next = UINT64_MAX;
  for (const Timer& t : q.timers) next = std::min(next, t.due);
  if (next == UINT64_MAX) {
    q.changed.wait(guard);
  } else if (ClockIsVirtual()) {
    // Another thread moves the virtual clock; look again now and then.
    q.changed.wait_for(guard, std::chrono::milliseconds(5));
  } else {
    uint64_t now = ClockNowMs();
    if (next > now) q.changed.wait_for(guard, std::chrono::milliseconds(next - now));
  }
  return false;
}

}  // namespace

LRESULT Send(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  ThreadQueue& q = CurrentQueue();
  const bool foreign = q.nextSendIsForeign;
  q.nextSendIsForeign = false;
  auto w = Win(hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  if (w->thread != GetCurrentThreadId()) return SendToOtherThread(*w, message, wParam, lParam);
  if (q.hookDepth == 0) {
    auto chain = HookChain(WH_CALLWNDPROC, q.thread);
    if (!chain.empty()) {
      CWPSTRUCT cwp{lParam, wParam, message, hwnd};
      ++q.hookDepth;
      // wParam tells whether the calling thread sent the message.
      chain.front().second(HC_ACTION, foreign ? 0 : 1, reinterpret_cast<LPARAM>(&cwp));
      --q.hookDepth;
      if (!Win(hwnd)) return 0;
    }
  }
  return CallProcedure(*w, message, wParam, lParam);
}

LRESULT CallCbtHooks(int code, WPARAM wParam, LPARAM lParam) {
  auto chain = HookChain(WH_CBT, GetCurrentThreadId());
  return chain.empty() ? 0 : chain.front().second(code, wParam, lParam);
}

bool Post(DWORD thread, const MSG& msg, bool front) {
  ThreadQueue* q = QueueOf(thread);
  if (!q) return false;
  std::lock_guard<std::mutex> guard(q->lock);
  if (front) {
    q->posted.push_front(msg);
  } else {
    q->posted.push_back(msg);
  }
  q->changed.notify_all();
  return true;
}

void KillWindowTimers(HWND hwnd) {
  auto w = Win(hwnd);
  ThreadQueue* q = w ? QueueOf(w->thread) : nullptr;
  if (!q) return;
  std::lock_guard<std::mutex> guard(q->lock);
  std::erase_if(q->timers, [hwnd](const Timer& t) { return t.hwnd == hwnd; });
  // Posted messages to a window that is going are dropped with it.
  std::erase_if(q->posted, [hwnd](const MSG& m) { return m.hwnd == hwnd; });
}

int PumpUntilIdle() {
  int count = 0;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      break;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
    ++count;
  }
  return count;
}

void SetIdleHandler(std::function<bool()> handler) { CurrentQueue().idle = std::move(handler); }

}  // namespace win32::user

using namespace win32;
using namespace win32::user;

LRESULT SendMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  return Send(hWnd, Msg, wParam, lParam);
}

BOOL PostMessageA(HWND hWnd, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return PostThreadMessageA(GetCurrentThreadId(), Msg, wParam, lParam);
  auto w = Win(hWnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  return Post(w->thread, {hWnd, Msg, wParam, lParam, GetTickCount(), CursorPos()});
}

BOOL PostThreadMessageA(DWORD idThread, UINT Msg, WPARAM wParam, LPARAM lParam) {
  if (idThread == GetCurrentThreadId()) CurrentQueue();
  if (!Post(idThread, {nullptr, Msg, wParam, lParam, GetTickCount(), CursorPos()})) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return TRUE;
}

VOID PostQuitMessage(int nExitCode) {
  ThreadQueue& q = CurrentQueue();
  std::lock_guard<std::mutex> guard(q.lock);
  q.quit = true;
  q.quitCode = nExitCode;
}

BOOL PeekMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax, UINT wRemoveMsg) {
  MSG msg;
  if (!lpMsg || !Retrieve(&msg, hWnd, wMsgFilterMin, wMsgFilterMax, wRemoveMsg & PM_REMOVE)) return FALSE;
  CurrentQueue().last = msg;
  *lpMsg = msg;
  return TRUE;
}

BOOL GetMessageA(LPMSG lpMsg, HWND hWnd, UINT wMsgFilterMin, UINT wMsgFilterMax) {
  if (!lpMsg || (hWnd && !Win(hWnd))) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return -1;
  }
  while (!PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE)) {
    if (!WaitForWork()) continue;
    if (PeekMessageA(lpMsg, hWnd, wMsgFilterMin, wMsgFilterMax, PM_REMOVE)) break;
    // The idle handler dispatched everything itself, a loop's wake-up included (a scripted answer
    // that pumps): an empty message lets the caller's loop see whether it has ended.
    *lpMsg = MSG{};
    lpMsg->message = WM_NULL;
    return TRUE;
  }
  return lpMsg->message != WM_QUIT;
}

BOOL WaitMessage() {
  ThreadQueue& q = CurrentQueue();
  const uint64_t handled = q.sendsHandled;
  MSG msg;
  // Looking handles sends that have arrived; one handled is what the caller waited for, and no
  // wake-up would come for it any more.
  if (!PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && q.sendsHandled == handled) WaitForWork();
  return TRUE;
}

LRESULT DispatchMessageA(const MSG* lpMsg) {
  if (!lpMsg) return 0;
  if (lpMsg->message == WM_TIMER && lpMsg->lParam) {
    // Only a timer procedure that is still set is called.
    ThreadQueue& q = CurrentQueue();
    TIMERPROC proc = nullptr;
    {
      std::lock_guard<std::mutex> guard(q.lock);
      for (const Timer& t : q.timers) {
        if (t.hwnd == lpMsg->hwnd && t.id == lpMsg->wParam &&
            reinterpret_cast<LPARAM>(t.proc) == lpMsg->lParam) {
          proc = t.proc;
        }
      }
    }
    if (proc) proc(lpMsg->hwnd, WM_TIMER, lpMsg->wParam, lpMsg->time);
    return 0;
  }
  auto w = Win(lpMsg->hwnd);
  if (!w) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return 0;
  }
  WNDPROC proc = w->proc;
  return proc ? proc(lpMsg->hwnd, lpMsg->message, lpMsg->wParam, lpMsg->lParam) : 0;
}

DWORD GetMessagePos() {
  const MSG& m = CurrentQueue().last;
  return static_cast<DWORD>(MAKELONG(m.pt.x, m.pt.y));
}

LONG GetMessageTime() { return static_cast<LONG>(CurrentQueue().last.time); }

BOOL InSendMessage() { return CurrentQueue().sentFromOtherThread > 0; }

HHOOK SetWindowsHookExA(int idHook, HOOKPROC lpfn, HINSTANCE /*hmod*/, DWORD dwThreadId) {
  if ((idHook != WH_CALLWNDPROC && idHook != WH_CBT) || !lpfn) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  auto hook = std::make_shared<HookObject>();
  hook->type = idHook;
  hook->proc = lpfn;
  hook->thread = dwThreadId;
  HHOOK handle = ToHandle<HHOOK>(AllocateHandle(HandleKind::Hook, hook));
  if (!handle) {
    SetLastError(ERROR_NOT_ENOUGH_MEMORY);
    return nullptr;
  }
  HookList& list = Hooks();
  std::lock_guard<std::mutex> guard(list.lock);
  list.hooks.insert(list.hooks.begin(), hook);
  list.handles.insert(list.handles.begin(), handle);
  return handle;
}

BOOL UnhookWindowsHookEx(HHOOK hhk) {
  HookList& list = Hooks();
  std::lock_guard<std::mutex> guard(list.lock);
  auto it = std::find(list.handles.begin(), list.handles.end(), hhk);
  if (it == list.handles.end()) {
    SetLastError(kErrorInvalidHookHandle);
    return FALSE;
  }
  size_t index = it - list.handles.begin();
  list.handles.erase(it);
  list.hooks.erase(list.hooks.begin() + index);
  ReleaseHandle(reinterpret_cast<uintptr_t>(hhk), HandleKind::Hook);
  return TRUE;
}

LRESULT CallNextHookEx(HHOOK hhk, int nCode, WPARAM wParam, LPARAM lParam) {
  auto hook = LookupHandle<HookObject>(hhk, HandleKind::Hook);
  if (!hook) return 0;
  auto chain = HookChain(hook->type, GetCurrentThreadId());
  for (size_t i = 0; i + 1 < chain.size(); ++i) {
    if (chain[i].first == hhk) return chain[i + 1].second(nCode, wParam, lParam);
  }
  return 0;
}

UINT_PTR SetTimer(HWND hWnd, UINT_PTR nIDEvent, UINT uElapse, TIMERPROC lpTimerFunc) {
  ThreadQueue* q = &CurrentQueue();
  if (hWnd) {
    auto w = Win(hWnd);
    if (!w) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return 0;
    }
    q = QueueOf(w->thread);
    if (!q) return 0;
  }
  const UINT period = std::max(uElapse, kMinimumTimerPeriod);
  std::lock_guard<std::mutex> guard(q->lock);
  UINT_PTR id = nIDEvent;
  auto existing = std::find_if(q->timers.begin(), q->timers.end(), [&](const Timer& t) {
    return t.hwnd == hWnd && t.id == nIDEvent;
  });
  if (!hWnd && existing == q->timers.end()) id = q->nextThreadTimerId++;
  Timer timer{hWnd, id, period, ClockNowMs() + period, lpTimerFunc};
  if (existing != q->timers.end()) {
    *existing = timer;
  } else {
    q->timers.push_back(timer);
  }
  q->changed.notify_all();
  return id ? id : 1;
}

BOOL KillTimer(HWND hWnd, UINT_PTR uIDEvent) {
  ThreadQueue* q = &CurrentQueue();
  if (hWnd) {
    auto w = Win(hWnd);
    q = w ? QueueOf(w->thread) : nullptr;
    if (!q) {
      SetLastError(ERROR_INVALID_WINDOW_HANDLE);
      return FALSE;
    }
  }
  std::lock_guard<std::mutex> guard(q->lock);
  size_t removed = std::erase_if(q->timers, [&](const Timer& t) { return t.hwnd == hWnd && t.id == uIDEvent; });
  // A WM_TIMER already in the queue for it goes too.
  std::erase_if(q->posted, [&](const MSG& m) {
    return m.message == WM_TIMER && m.hwnd == hWnd && m.wParam == uIDEvent;
  });
  return removed > 0;
}
