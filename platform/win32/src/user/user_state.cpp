#include "user/user_state.h"

#include <strings.h>
#include <sys/syscall.h>
#include <unistd.h>

#include "user/display.h"
#include "win32/platform_config.h"

namespace win32::user {
namespace {

struct Queues {
  std::mutex lock;
  std::map<DWORD, std::unique_ptr<ThreadQueue>> byThread;
};

Queues& AllQueues() {
  static Queues* queues = new Queues;  // outlives static destructors of users
  return *queues;
}

HWND MakeDesktop() {
  auto cls = std::make_shared<WindowClass>();
  cls->name = "#32769";
  cls->system = true;
  auto w = std::make_shared<Window>();
  w->cls = cls;
  w->style = WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS;
  const auto& config = platform_config::Config();
  w->window = {0, 0, config.screenWidth, config.screenHeight};
  w->client = w->window;
  w->handle = ToHandle<HWND>(AllocateHandle(HandleKind::Window, w));
  return w->handle;
}

}  // namespace

HWND Desktop() {
  static HWND desktop = MakeDesktop();
  return desktop;
}

std::recursive_mutex& TreeLock() {
  static auto* lock = new std::recursive_mutex;  // outlives the users' static destructors
  return *lock;
}

std::vector<HWND> ChildrenOf(const Window& w) {
  std::lock_guard<std::recursive_mutex> tree(TreeLock());
  return w.children;
}

std::shared_ptr<Window> Win(HWND hwnd) {
  if (!hwnd) return nullptr;
  return LookupHandle<Window>(hwnd, HandleKind::Window);
}

ThreadQueue& CurrentQueue() {
  thread_local ThreadQueue* mine = nullptr;
  if (mine) return *mine;
  Queues& queues = AllQueues();
  std::lock_guard<std::mutex> guard(queues.lock);
  auto& slot = queues.byThread[GetCurrentThreadId()];
  if (!slot) {
    slot = std::make_unique<ThreadQueue>();
    slot->thread = GetCurrentThreadId();
  }
  mine = slot.get();
  return *mine;
}

ThreadQueue* QueueOf(DWORD thread) {
  Queues& queues = AllQueues();
  std::lock_guard<std::mutex> guard(queues.lock);
  auto it = queues.byThread.find(thread);
  return it != queues.byThread.end() ? it->second.get() : nullptr;
}

void WakeAll() {
  Queues& queues = AllQueues();
  std::lock_guard<std::mutex> guard(queues.lock);
  for (auto& [thread, queue] : queues.byThread) {
    std::lock_guard<std::mutex> q(queue->lock);
    queue->changed.notify_all();
  }
}

void Wake(DWORD thread) {
  ThreadQueue* queue = QueueOf(thread);
  if (!queue) return;
  std::lock_guard<std::mutex> guard(queue->lock);
  queue->changed.notify_all();
}

POINT ParentOrigin(const Window& w) {
  POINT origin{0, 0};
  for (auto p = Win(w.parent); p && p->handle != Desktop(); p = Win(p->parent)) {
    origin.x += p->client.left;
    origin.y += p->client.top;
  }
  return origin;
}

RECT ScreenWindowRect(const Window& w) {
  POINT o = ParentOrigin(w);
  RECT r = w.window;
  OffsetRect(&r, o.x, o.y);
  return r;
}

RECT ScreenClientRect(const Window& w) {
  POINT o = ParentOrigin(w);
  RECT r = w.client;
  OffsetRect(&r, o.x, o.y);
  return r;
}

HWND RootOf(HWND hwnd) {
  auto w = Win(hwnd);
  while (w && w->parent && w->parent != Desktop()) w = Win(w->parent);
  return w ? w->handle : nullptr;
}

bool IsVisibleNow(const Window& w) {
  if (!(w.style & WS_VISIBLE)) return false;
  for (auto p = Win(w.parent); p; p = Win(p->parent)) {
    if (!(p->style & WS_VISIBLE)) return false;
  }
  return true;
}

bool IsDescendant(HWND ancestor, HWND hwnd) {
  for (auto w = Win(hwnd); w; w = Win(w->parent)) {
    if (w->parent == ancestor) return true;
  }
  return false;
}

RECT NonClientInsets(DWORD style, DWORD exStyle) {
  RECT in{0, 0, 0, 0};
  auto grow = [&in](int n) {
    in.left += n;
    in.top += n;
    in.right += n;
    in.bottom += n;
  };
  if ((exStyle & WS_EX_DLGMODALFRAME) || (style & (WS_THICKFRAME | WS_DLGFRAME)) == WS_DLGFRAME) {
    grow(GetSystemMetrics(SM_CXDLGFRAME));
  } else if (style & WS_THICKFRAME) {
    grow(GetSystemMetrics(SM_CXFRAME));
  } else if (style & WS_BORDER) {
    grow(GetSystemMetrics(SM_CXBORDER));
  }
  if ((style & WS_CAPTION) == WS_CAPTION) {
    in.top += GetSystemMetrics((exStyle & WS_EX_TOOLWINDOW) ? SM_CYSMCAPTION : SM_CYCAPTION);
  }
  if (exStyle & WS_EX_CLIENTEDGE) grow(GetSystemMetrics(SM_CXEDGE));
  if (exStyle & WS_EX_STATICEDGE) grow(GetSystemMetrics(SM_CXBORDER));
  if (style & WS_VSCROLL) in.right += GetSystemMetrics(SM_CXVSCROLL);
  if (style & WS_HSCROLL) in.bottom += GetSystemMetrics(SM_CYHSCROLL);
  return in;
}

}  // namespace win32::user

DWORD GetCurrentThreadId() { return static_cast<DWORD>(syscall(SYS_gettid)); }
