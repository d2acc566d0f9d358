// CWinApp: the application object, the program entry, the main message loop, message boxes,
// the wait cursor and control containment's switch.
#include <atomic>
#include <string>

#include "mfc/afxctl.h"
#include "wnd/wnd_state.h"

using namespace mfc::wnd;

namespace {

CWinApp* g_app = nullptr;
std::atomic<bool> g_controlContainer{false};

// The program's file name without folder and extension: the caption of its message boxes.
const char* ProgramTitle() {
  static const std::string title = [] {
    char path[1024] = {};
    ::GetModuleFileNameA(nullptr, path, sizeof path);
    std::string name(path);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.rfind('.');
    if (dot != std::string::npos && dot > 0) name.erase(dot);
    return name;
  }();
  return title.c_str();
}

// The counted wait cursor of a thread without an application object.
thread_local int t_waitCount = 0;
thread_local HCURSOR t_cursorBeforeWait = nullptr;

void StepWaitCursor(int nCode, int& count, HCURSOR& before) {
  count += nCode;
  if (count > 0) {
    HCURSOR previous = ::SetCursor(::LoadCursorA(nullptr, IDC_WAIT));
    if (nCode > 0 && count == 1) before = previous;
  } else {
    count = 0;
    ::SetCursor(before);
  }
}

thread_local HCURSOR t_appCursorBeforeWait = nullptr;

void WaitCursor(int nCode) {
  if (CWinApp* app = AfxGetApp()) {
    app->DoWaitCursor(nCode);
  } else {
    StepWaitCursor(nCode, t_waitCount, t_cursorBeforeWait);
  }
}

}  // namespace

IMPLEMENT_DYNAMIC(CWinApp, CCmdTarget)

// One process, one application: a control module's application object loaded later into a
// program does not take the program's place.
CWinApp::CWinApp(LPCTSTR lpszAppName) : m_pszAppName(lpszAppName) {
  if (!g_app) g_app = this;
}

CWinApp::~CWinApp() {
  if (g_app == this) g_app = nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() {
  CWinApp* app = AfxGetApp();
  return app ? app->GetMainWnd() : nullptr;
}

HINSTANCE mfc::wnd::ProgramInstance() {
  CWinApp* app = AfxGetApp();
  return app && app->m_hInstance ? app->m_hInstance : ::GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE hInstance, HINSTANCE, LPTSTR lpCmdLine, int nCmdShow) {
  CWinApp* app = AfxGetApp();
  if (!app) return -1;
  app->m_hInstance = hInstance ? hInstance : ::GetModuleHandleA(nullptr);
  app->m_lpCmdLine = lpCmdLine;
  app->m_nCmdShow = nCmdShow;
  if (!app->m_pszAppName) app->m_pszAppName = ProgramTitle();
  if (!app->InitApplication() || !app->InitInstance()) {
    if (app->m_pMainWnd && app->m_pMainWnd->m_hWnd) app->m_pMainWnd->DestroyWindow();
    return app->ExitInstance();
  }
  return app->Run();
}

int CWinApp::Run() {
  LoopScope scope;
  MSG msg;
  for (;;) {
    LONG idleCount = 0;
    while (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE) && OnIdle(idleCount++)) {
    }
    do {
      if (!PumpMessage()) return ExitInstance();
    } while (::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
  }
}

BOOL CWinApp::OnIdle(LONG lCount) {
  if (lCount == 0 && State().loopDepth == 1) DeleteTempMaps();
  return FALSE;
}

int CWinApp::ExitInstance() { return State().quitCode; }

BOOL CWinApp::PreTranslateMessage(MSG* pMsg) { return CWnd::WalkPreTranslateTree(AfxHwnd(AfxGetMainWnd()), pMsg); }

void CWinApp::DoWaitCursor(int nCode) { StepWaitCursor(nCode, m_nWaitCursorCount, t_appCursorBeforeWait); }

int CWinApp::DoMessageBox(LPCTSTR lpszPrompt, UINT nType, UINT) {
  // Without an icon the kind of question picks one.
  if (!(nType & MB_ICONMASK)) {
    switch (nType & MB_TYPEMASK) {
      case MB_OK:
      case MB_OKCANCEL:
        nType |= MB_ICONEXCLAMATION;
        break;
      case MB_YESNO:
      case MB_YESNOCANCEL:
        nType |= MB_ICONQUESTION;
        break;
      default:
        break;
    }
  }
  HWND owner = ::GetActiveWindow();
  if (!owner) owner = AfxHwnd(GetMainWnd());
  int answer = ::MessageBoxA(owner, lpszPrompt, m_pszAppName ? m_pszAppName : ProgramTitle(), nType);
  if (m_nWaitCursorCount > 0) DoWaitCursor(0);  // the box took the cursor away
  return answer;
}

HCURSOR CWinApp::LoadCursor(LPCTSTR lpszResourceName) const {
  return ::LoadCursorA(AfxGetResourceHandle(), lpszResourceName);
}

HICON CWinApp::LoadIcon(LPCTSTR lpszResourceName) const { return ::LoadIconA(AfxGetResourceHandle(), lpszResourceName); }

HICON CWinApp::LoadStandardIcon(LPCTSTR lpszIconName) const { return ::LoadIconA(nullptr, lpszIconName); }

int AfxMessageBox(LPCTSTR lpszText, UINT nType, UINT nIDHelp) {
  if (CWinApp* app = AfxGetApp()) return app->DoMessageBox(lpszText, nType, nIDHelp);
  return ::MessageBoxA(::GetActiveWindow(), lpszText, ProgramTitle(), nType);
}

int AfxMessageBox(UINT nIDPrompt, UINT nType, UINT nIDHelp) {
  CString prompt;
  prompt.LoadString(nIDPrompt);
  return AfxMessageBox(prompt, nType, nIDHelp == UINT(-1) ? nIDPrompt : nIDHelp);
}

// Dialog templates name controls by class identifier: every installed control gets its site class.
void AfxEnableControlContainer() {
  g_controlContainer = true;
  AfxRegisterControlSiteClasses();
}

BOOL AfxControlContainerEnabled() { return g_controlContainer; }

// ---- Wait cursor --------------------------------------------------------------------------------

void CCmdTarget::BeginWaitCursor() { WaitCursor(1); }
void CCmdTarget::EndWaitCursor() { WaitCursor(-1); }
void CCmdTarget::RestoreWaitCursor() { WaitCursor(0); }

CWaitCursor::CWaitCursor() { WaitCursor(1); }
CWaitCursor::~CWaitCursor() { WaitCursor(-1); }
void CWaitCursor::Restore() { WaitCursor(0); }
