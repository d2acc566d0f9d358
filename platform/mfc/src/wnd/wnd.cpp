// CWnd: handle maps, creation with the creation hook, subclassing, the framework's window
// procedure and destruction.
#include <cstdio>
#include <mutex>
#include <set>
#include <string>

#include <strings.h>

#include "wnd/wnd_state.h"

namespace mfc::wnd {

namespace {

// Deletes the thread's state when the thread ends; later look-ups (static destructors of the
// main thread) find none.
struct StateHolder {
  ThreadState* state = nullptr;
  ~StateHolder() {
    delete state;
    state = nullptr;
  }
};
thread_local StateHolder t_holder;
thread_local bool t_gone = false;

struct GoneMarker {
  ~GoneMarker() { t_gone = true; }
};

LRESULT CALLBACK CreationHook(int code, WPARAM wParam, LPARAM lParam) {
  ThreadState& st = State();
  // The window exists but has had no message yet: attach it to the object that creates it.
  if (code == HCBT_CREATEWND && st.pWndInit) {
    CWnd* pWnd = st.pWndInit;
    st.pWndInit = nullptr;
    AttachAndSubclass(pWnd, reinterpret_cast<HWND>(wParam));
  }
  return CallNextHookEx(st.createHook, code, wParam, lParam);
}

}  // namespace

ThreadState& State() {
  thread_local GoneMarker marker;
  if (!t_holder.state) t_holder.state = new ThreadState;
  return *t_holder.state;
}

ThreadState* StateIfAlive() { return t_gone ? nullptr : t_holder.state; }

WNDPROC OldWndProc(HWND hWnd) {
  return reinterpret_cast<WNDPROC>(reinterpret_cast<uintptr_t>(::GetPropA(hWnd, kOldWndProcProp)));
}

void AttachAndSubclass(CWnd* pWnd, HWND hWnd) {
  pWnd->Attach(hWnd);
  pWnd->PreSubclassWindow();
  auto old = reinterpret_cast<WNDPROC>(::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc)));
  if (old != &AfxWndProc) {
    // The window remembers its own procedure, for a later object or for no object at all.
    ::SetPropA(hWnd, kOldWndProcProp, reinterpret_cast<HANDLE>(reinterpret_cast<uintptr_t>(old)));
    pWnd->m_pfnSuper = old;
  } else {
    pWnd->m_pfnSuper = OldWndProc(hWnd);
  }
}

}  // namespace mfc::wnd

using namespace mfc::wnd;

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

HWND AfxHwnd(const CWnd* pWnd) { return pWnd ? pWnd->m_hWnd : nullptr; }

CWnd::~CWnd() {
  if (this == &wndTop || this == &wndBottom || this == &wndTopMost || this == &wndNoTopMost) return;
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) app->m_pMainWnd = nullptr;
  if (m_hWnd && FromHandlePermanent(m_hWnd) == this) DestroyWindow();
}

// ---- Handle maps --------------------------------------------------------------------------------

namespace {

// A temporary wrapper of the control class the window is, so that the usual cast of a dialog
// item to its control class refers to an object of that class.
CWnd* NewWrapperFor(HWND hWnd) {
  char name[32] = {};
  ::GetClassNameA(hWnd, name, sizeof name);
  if (!strcasecmp(name, "Button")) return new CButton;
  if (!strcasecmp(name, "Static")) return new CStatic;
  if (!strcasecmp(name, "Edit")) return new CEdit;
  if (!strcasecmp(name, "ComboBox")) return new CComboBox;
  if (!strcasecmp(name, "ListBox")) return new CListBox;
  if (!strcasecmp(name, "ScrollBar")) return new CScrollBar;
  return new CWnd;
}

}  // namespace

CWnd* PASCAL CWnd::FromHandle(HWND hWnd) {
  if (!hWnd) return nullptr;
  if (CWnd* attached = FromHandlePermanent(hWnd)) return attached;
  auto& wrapper = State().temporary[hWnd];
  if (!wrapper) {
    wrapper.reset(NewWrapperFor(hWnd));
    wrapper->m_hWnd = hWnd;
  }
  return wrapper.get();
}

CWnd* PASCAL CWnd::FromHandlePermanent(HWND hWnd) {
  ThreadState* st = StateIfAlive();
  if (!hWnd || !st) return nullptr;
  auto found = st->permanent.find(hWnd);
  return found != st->permanent.end() ? found->second : nullptr;
}

void PASCAL CWnd::DeleteTempMap() {
  // The wrappers let go of their windows first: deleting one never destroys a window.
  auto& temporary = State().temporary;
  for (auto& [hWnd, wrapper] : temporary) wrapper->m_hWnd = nullptr;
  temporary.clear();
}

BOOL CWnd::Attach(HWND hWndNew) {
  if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew)) return FALSE;
  m_hWnd = hWndNew;
  State().permanent[hWndNew] = this;
  return TRUE;
}

HWND CWnd::Detach() {
  HWND hWnd = m_hWnd;
  if (hWnd && FromHandlePermanent(hWnd) == this) State().permanent.erase(hWnd);
  m_hWnd = nullptr;
  return hWnd;
}

// ---- Creation hook ------------------------------------------------------------------------------

void AfxHookWindowCreate(CWnd* pWnd) {
  ThreadState& st = State();
  if (!st.createHook) st.createHook = ::SetWindowsHookExA(WH_CBT, &CreationHook, nullptr, ::GetCurrentThreadId());
  st.pWndInit = pWnd;
}

BOOL AfxUnhookWindowCreate() {
  ThreadState& st = State();
  if (st.createHook) {
    ::UnhookWindowsHookEx(st.createHook);
    st.createHook = nullptr;
  }
  if (st.pWndInit) {
    st.pWndInit = nullptr;
    return FALSE;
  }
  return TRUE;
}

LPCTSTR AfxRegisterWndClass(UINT nClassStyle, HCURSOR hCursor, HBRUSH hbrBackground, HICON hIcon) {
  static std::mutex lock;
  static auto* names = new std::set<std::string>;
  HINSTANCE instance = mfc::wnd::ProgramInstance();
  char name[96];
  snprintf(name, sizeof name, "Afx:%p:%x:%p:%p:%p", static_cast<void*>(instance), nClassStyle,
           static_cast<void*>(hCursor), static_cast<void*>(hbrBackground), static_cast<void*>(hIcon));
  std::lock_guard<std::mutex> guard(lock);
  const std::string& stored = *names->insert(name).first;
  WNDCLASSA existing{};
  if (!::GetClassInfoA(instance, stored.c_str(), &existing)) {
    // The class procedure is the default one; the creation hook puts AfxWndProc in front of it.
    WNDCLASSA wc{};
    wc.style = nClassStyle;
    wc.lpfnWndProc = &::DefWindowProcA;
    wc.hInstance = instance;
    wc.hIcon = hIcon;
    wc.hCursor = hCursor;
    wc.hbrBackground = hbrBackground;
    wc.lpszClassName = stored.c_str();
    if (!::RegisterClassA(&wc)) return nullptr;
  }
  return stored.c_str();
}

// ---- Creation -----------------------------------------------------------------------------------

BOOL CWnd::PreCreateWindow(CREATESTRUCT& cs) {
  if (!cs.lpszClass) {
    cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursorA(nullptr, IDC_ARROW));
    if (!cs.lpszClass) return FALSE;
  }
  return TRUE;
}

BOOL CWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                  UINT nID, void* /*pContext*/) {
  return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                    CWnd* pParentWnd, UINT nID, LPVOID lpParam) {
  return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, rect.right - rect.left,
                  rect.bottom - rect.top, AfxHwnd(pParentWnd), reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)),
                  lpParam);
}

BOOL CWnd::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, int x, int y,
                    int nWidth, int nHeight, HWND hWndParent, HMENU nIDorHMenu, LPVOID lpParam) {
  if (m_hWnd) return FALSE;
  CREATESTRUCT cs{lpParam, mfc::wnd::ProgramInstance(), nIDorHMenu, hWndParent, nHeight, nWidth, y, x,
                  LONG(dwStyle), lpszWindowName, lpszClassName, dwExStyle};
  if (!PreCreateWindow(cs)) {
    PostNcDestroy();
    return FALSE;
  }
  AfxHookWindowCreate(this);
  HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, DWORD(cs.style), cs.x, cs.y, cs.cx, cs.cy,
                                cs.hwndParent, cs.hMenu, cs.hInstance, cs.lpCreateParams);
  AfxUnhookWindowCreate();
  return hWnd != nullptr;
}

BOOL CWnd::DestroyWindow() {
  if (!m_hWnd) return FALSE;
  const bool permanent = FromHandlePermanent(m_hWnd) == this;
  BOOL result = ::DestroyWindow(m_hWnd);
  // A temporary or foreign wrapper lets go itself; an attached object did at WM_NCDESTROY.
  if (!permanent) m_hWnd = nullptr;
  return result;
}

void CWnd::PostNcDestroy() {}

void CWnd::PreSubclassWindow() {}

// ---- Subclassing --------------------------------------------------------------------------------

BOOL CWnd::SubclassWindow(HWND hWnd) {
  if (!hWnd || !::IsWindow(hWnd) || m_hWnd || FromHandlePermanent(hWnd)) return FALSE;
  AttachAndSubclass(this, hWnd);
  return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent) {
  HWND hWndControl = ::GetDlgItem(AfxHwnd(pParent), int(nID));
  return hWndControl ? SubclassWindow(hWndControl) : FALSE;
}

HWND CWnd::UnsubclassWindow() {
  if (!m_hWnd) return nullptr;
  if (m_pfnSuper) ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  ::RemovePropA(m_hWnd, kOldWndProcProp);
  m_pfnSuper = nullptr;
  return Detach();
}

// ---- The framework's window procedure -----------------------------------------------------------

LRESULT AfxCallWndProc(CWnd* pWnd, HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  ThreadState& st = State();
  const MSG saved = st.lastSent;
  st.lastSent = MSG{hWnd, nMsg, wParam, lParam, 0, {}};
  LRESULT result = 0;
  try {
    result = pWnd->WindowProc(nMsg, wParam, lParam);
  } catch (CException* e) {
    // Exceptions never cross the window layer: report, then answer as a failure would.
    e->ReportError();
    e->Delete();
    if (nMsg == WM_CREATE) result = -1;
    if (nMsg == WM_PAINT) ::ValidateRect(hWnd, nullptr);
  }
  // A handler of WM_NCDESTROY that did not pass it on still lets go of the window.
  if (nMsg == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd) {
    pWnd->Detach();
    pWnd->PostNcDestroy();
  }
  st.lastSent = saved;
  return result;
}

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam) {
  CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
  if (!pWnd) {
    // A window whose object let go without unsubclassing keeps working through its own procedure.
    if (WNDPROC old = OldWndProc(hWnd)) return ::CallWindowProcA(old, hWnd, nMsg, wParam, lParam);
    return ::DefWindowProcA(hWnd, nMsg, wParam, lParam);
  }
  return AfxCallWndProc(pWnd, hWnd, nMsg, wParam, lParam);
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  LRESULT result = 0;
  if (!OnWndMsg(message, wParam, lParam, &result)) result = DefWindowProc(message, wParam, lParam);
  return result;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  if (m_pfnSuper) return ::CallWindowProcA(m_pfnSuper, m_hWnd, message, wParam, lParam);
  return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

const MSG* PASCAL CWnd::GetCurrentMessage() { return &State().lastSent; }

LRESULT CWnd::Default() {
  const MSG msg = State().lastSent;
  return DefWindowProc(msg.message, msg.wParam, msg.lParam);
}

void CWnd::OnNcDestroy() {
  Default();
  if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == this) {
    // The main window going ends the program's message loop.
    app->m_pMainWnd = nullptr;
    ::PostQuitMessage(0);
  }
  // Give the window its own procedure back when nobody subclassed it after us.
  if (m_pfnSuper &&
      reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(m_hWnd, GWLP_WNDPROC)) == &AfxWndProc) {
    ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnSuper));
  }
  ::RemovePropA(m_hWnd, kOldWndProcProp);
  m_pfnSuper = nullptr;
  Detach();
  PostNcDestroy();
}
