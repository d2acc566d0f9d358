// The Video Renderer's window: creation, drawing and the IVideoWindow state.
#include <map>
#include <mutex>

#include "process_clock.h"
#include "video_renderer.h"
#include "win32/utf.h"
#include "win32/winuser_draw.h"

namespace dshow::renderers {
namespace {

constexpr char kClassName[] = "CorvaneVideoRenderer";
constexpr DWORD kDefaultStyle = WS_POPUP | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

// Which renderer a window belongs to. The entry goes before the renderer does, so a message
// still queued for the window then finds nobody; the lock is held while a message is handled.
std::recursive_mutex& WindowsLock() {
  static auto* lock = new std::recursive_mutex;
  return *lock;
}
std::map<HWND, VideoRenderer*>& Windows() {
  static auto* windows = new std::map<HWND, VideoRenderer*>;
  return *windows;
}

bool RegisterWindowClass() {
  static const bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.lpszClassName = kClassName;
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    return RegisterClassA(&wc) != 0;
  }();
  return registered;
}

bool IsInput(UINT msg) {
  return (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) || (msg >= WM_KEYFIRST && msg <= WM_KEYLAST);
}

HWND ToHwnd(OAHWND h) { return reinterpret_cast<HWND>(h); }
OAHWND ToOa(HWND h) { return reinterpret_cast<OAHWND>(h); }

}  // namespace

VideoRenderer::VideoRenderer(LPUNKNOWN outer, HRESULT* phr, REFCLSID clsid)
    : SinkFilter(clsid == CLSID_VideoMixingRenderer9 ? "Video Mixing Renderer 9" : "Video Renderer", outer, clsid) {
  input_ = std::make_unique<InputPin>(this, phr);
  SetSeekingPin(input_.get());
  if (!RegisterWindowClass()) {
    if (phr) *phr = E_FAIL;
    return;
  }
  hwnd_ = CreateWindowExA(0, kClassName, "ActiveMovie Window", kDefaultStyle, 0, 0, 320, 240, nullptr, nullptr,
                          nullptr, nullptr);
  if (!hwnd_) {
    if (phr) *phr = E_FAIL;
    return;
  }
  windowThread_ = GetCurrentThreadId();
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&WindowProc));
  std::lock_guard<std::recursive_mutex> hold(WindowsLock());
  Windows()[hwnd_] = this;
}

VideoRenderer::~VideoRenderer() {
  if (hwnd_) {
    {
      std::lock_guard<std::recursive_mutex> hold(WindowsLock());
      Windows().erase(hwnd_);
    }
    // Windows belong to their thread: another thread asks the owner to close it.
    if (OnWindowThread())
      DestroyWindow(hwnd_);
    else
      PostMessageA(hwnd_, WM_CLOSE, 0, 0);
  }
}

bool VideoRenderer::OnWindowThread() const { return hwnd_ && GetCurrentThreadId() == windowThread_; }

LRESULT CALLBACK VideoRenderer::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  std::lock_guard<std::recursive_mutex> hold(WindowsLock());
  auto it = Windows().find(hwnd);
  if (it == Windows().end()) return DefWindowProcA(hwnd, msg, wParam, lParam);
  return it->second->HandleMessage(hwnd, msg, wParam, lParam);
}

LRESULT VideoRenderer::HandleMessage(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case kFrameMessage:
      DrawFrame(hwnd);
      return 0;
    case kHeldBackMessage:
      SetTimer(hwnd, kHeldBackTimer, UINT(kShowInterval / 10000) + 1, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam != kHeldBackTimer) break;
      OnHeldBackTimer(hwnd);
      return 0;
    case kShowMessage:
      ShowWindow(hwnd, SW_SHOWNOACTIVATE);
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      Paint(dc);
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;  // painting covers the whole client area
    case WM_SIZE:
      InvalidateRect(hwnd, nullptr, FALSE);
      break;
    case WM_SETCURSOR:
      if (cursorHidden_) {
        SetCursor(nullptr);
        return TRUE;
      }
      break;
    case WM_CLOSE:
      // The user closed the playback window: hide it and tell the application.
      ShowWindow(hwnd, SW_HIDE);
      NotifyEvent(EC_USERABORT, 0, 0);
      return 0;
    default:
      break;
  }
  if (msg == WM_KEYDOWN && wParam == VK_ESCAPE && fullScreen_) {
    LeaveFullScreen(true);
    return 0;
  }
  if (drain_ && IsInput(msg)) {
    PostMessageA(drain_, msg, wParam, lParam);
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void VideoRenderer::DrawFrame(HWND hwnd) {
  HDC dc = GetDC(hwnd);
  const bool drawn = Paint(dc, true);
  ReleaseDC(hwnd, dc);
  if (drawn) {
    std::lock_guard<std::mutex> hold(frameLock_);
    ++framesDrawn_;
  }
}

void VideoRenderer::OnHeldBackTimer(HWND hwnd) {
  bool draw = false;
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    const REFERENCE_TIME now = ProcessClockNow();
    // While frames keep coming the streaming thread draws one of them soon enough.
    if (heldBack_ && now - lastArrival_ < kShowInterval) return;
    timerArmed_ = false;
    draw = heldBack_;  // still held back until drawn, so a frame arriving meanwhile counts it dropped
    if (draw) lastShown_ = now;
  }
  KillTimer(hwnd, kHeldBackTimer);
  if (draw) DrawFrame(hwnd);
}

RECT VideoRenderer::DrawRect() {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (!fullScreen_) {
    if (defaultDest_) return client;
    return dest_;
  }
  // Full screen: the picture as large as fits, keeping its shape.
  LONG sl, st, sw, sh;
  if (FAILED(GetSourcePosition(&sl, &st, &sw, &sh))) return client;
  const LONG cw = client.right, ch = client.bottom;
  if (LONGLONG(ch) * sw < LONGLONG(cw) * sh) {
    const LONG w = LONG(LONGLONG(ch) * sw / sh);
    return {(cw - w) / 2, 0, (cw - w) / 2 + w, ch};
  }
  const LONG h = LONG(LONGLONG(cw) * sh / sw);
  return {0, (ch - h) / 2, cw, (ch - h) / 2 + h};
}

RECT VideoRenderer::SourceRect() {
  return defaultSource_ ? RECT{0, 0, format_.header.biWidth, format_.header.biHeight} : source_;
}

bool VideoRenderer::Paint(HDC dc, bool presenting) {
  // Nothing of a hidden, empty or covered window can be seen: the scaling would be wasted. The
  // newest frame stays kept, and the window is painted from it once it shows.
  RECT visible;
  const bool inSight = GetClipBox(dc, &visible) != NULLREGION;
  RECT client;
  GetClientRect(hwnd_, &client);
  const RECT dst = DrawRect();
  const RECT src = SourceRect();
  // A picture reaching out of the window is drawn straight from the frame: scaled whole it could
  // be far larger than anything shown.
  const bool inside = dst.left >= client.left && dst.top >= client.top && dst.right <= client.right &&
                      dst.bottom <= client.bottom && dst.right > dst.left && dst.bottom > dst.top;
  {
    std::lock_guard<std::mutex> hold(frameLock_);
    sight_ = {inSight, inSight && inside, dst.right - dst.left, dst.bottom - dst.top, src};
    // Nothing can be seen: the frame is not waiting any more, and one arriving after this hold
    // knows the window cannot show it.
    if (presenting && !inSight) TakeWaitingFrame();
  }
  if (!inSight) return false;
  HBRUSH border = CreateSolidBrush(border_);
  const RECT around[] = {{client.left, client.top, client.right, dst.top},
                         {client.left, dst.bottom, client.right, client.bottom},
                         {client.left, dst.top, dst.left, dst.bottom},
                         {dst.right, dst.top, client.right, dst.bottom}};
  for (const RECT& r : around)
    if (r.right > r.left && r.bottom > r.top) FillRect(dc, &r, border);
  if (!inside || !DrawScaled(dc, dst, src, presenting)) {
    std::lock_guard<std::mutex> hold(frameLock_);
    if (presenting) TakeWaitingFrame();
    if (!haveFrame_) {
      FillRect(dc, &dst, border);
    } else {
      const Format::Dib dib = format_.ToDib();
      const LONG height = format_.header.biHeight;
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchDIBits(dc, dst.left, dst.top, dst.right - dst.left, dst.bottom - dst.top, src.left, height - src.bottom,
                    src.right - src.left, src.bottom - src.top, FrameBits(), dib.Info(), DIB_RGB_COLORS, SRCCOPY);
    }
  }
  DeleteObject(border);
  return true;
}

bool VideoRenderer::DrawScaled(HDC dc, const RECT& dst, const RECT& src, bool presenting) {
  const LONG width = dst.right - dst.left, height = dst.bottom - dst.top;
  std::lock_guard<std::mutex> hold(frameLock_);
  if (!haveFrame_) return false;
  // Scaled here only after the window or the part shown changed, or while the streaming thread
  // thought nothing could be seen: it takes the new size up from the next frame on.
  if (!shownIsNewest_ || !shown_->Shows(width, height, src)) {
    const Format::Dib dib = format_.ToDib();
    shownIsNewest_ = shown_->Draw(FrameBits(), dib.Info(), src, width, height);
    if (!shownIsNewest_) return false;
  }
  if (presenting) TakeWaitingFrame();
  return shown_->CopyTo(dc, dst.left, dst.top);
}

void VideoRenderer::ShowOnStart() {
  if (!autoShow_) return;
  if (OnWindowThread())
    ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
  else
    PostMessageA(hwnd_, kShowMessage, 0, 0);
}

// ---- IVideoWindow -------------------------------------------------------------------------------

STDMETHODIMP VideoRenderer::put_Caption(BSTR strCaption) {
  const std::string text = win32::Utf16ToUtf8(strCaption ? std::u16string_view(strCaption) : std::u16string_view());
  return SetWindowTextA(hwnd_, text.c_str()) ? S_OK : E_FAIL;
}

STDMETHODIMP VideoRenderer::get_Caption(BSTR* strCaption) {
  if (!strCaption) return E_POINTER;
  std::string text(size_t(GetWindowTextLengthA(hwnd_)) + 1, '\0');
  text.resize(size_t(GetWindowTextA(hwnd_, text.data(), int(text.size()))));
  *strCaption = SysAllocString(win32::Utf8ToUtf16(text).c_str());
  return *strCaption ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP VideoRenderer::put_WindowStyle(LONG WindowStyle) {
  // Styles that would make the window unusable for video are refused, as is visibility (put_Visible).
  if (WindowStyle & (WS_DISABLED | WS_ICONIC | WS_MAXIMIZE | WS_HSCROLL | WS_VSCROLL)) return E_INVALIDARG;
  if (fullScreen_) {
    beforeFullScreen_.style = (WindowStyle & ~WS_VISIBLE) | (beforeFullScreen_.style & WS_VISIBLE);
    return S_OK;
  }
  const LONG visible = GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE;
  SetWindowLongA(hwnd_, GWL_STYLE, (WindowStyle & ~WS_VISIBLE) | visible);
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_WindowStyle(LONG* WindowStyle) {
  if (!WindowStyle) return E_POINTER;
  *WindowStyle = GetWindowLongA(hwnd_, GWL_STYLE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_WindowStyleEx(LONG WindowStyleEx) {
  SetWindowLongA(hwnd_, GWL_EXSTYLE, WindowStyleEx);
  SetWindowPos(hwnd_, nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_WindowStyleEx(LONG* WindowStyleEx) {
  if (!WindowStyleEx) return E_POINTER;
  *WindowStyleEx = GetWindowLongA(hwnd_, GWL_EXSTYLE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_AutoShow(LONG AutoShow) {
  autoShow_ = AutoShow != OAFALSE;
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_AutoShow(LONG* AutoShow) {
  if (!AutoShow) return E_POINTER;
  *AutoShow = autoShow_ ? OATRUE : OAFALSE;
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_WindowState(LONG WindowState) {
  ShowWindow(hwnd_, WindowState);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_WindowState(LONG* WindowState) {
  if (!WindowState) return E_POINTER;
  if (!IsWindowVisible(hwnd_))
    *WindowState = SW_HIDE;
  else if (IsIconic(hwnd_))
    *WindowState = SW_SHOWMINIMIZED;
  else if (IsZoomed(hwnd_))
    *WindowState = SW_SHOWMAXIMIZED;
  else
    *WindowState = SW_SHOW;
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_BackgroundPalette(LONG BackgroundPalette) {
  if (BackgroundPalette != OATRUE && BackgroundPalette != OAFALSE) return E_INVALIDARG;
  backgroundPalette_ = BackgroundPalette;
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_BackgroundPalette(LONG* pBackgroundPalette) {
  if (!pBackgroundPalette) return E_POINTER;
  *pBackgroundPalette = backgroundPalette_;
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_Visible(LONG Visible) {
  if (Visible != OATRUE && Visible != OAFALSE) return E_INVALIDARG;
  ShowWindow(hwnd_, Visible ? SW_SHOWNOACTIVATE : SW_HIDE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_Visible(LONG* pVisible) {
  if (!pVisible) return E_POINTER;
  *pVisible = (GetWindowLongA(hwnd_, GWL_STYLE) & WS_VISIBLE) ? OATRUE : OAFALSE;
  return S_OK;
}

STDMETHODIMP VideoRenderer::SetWindowPosition(LONG Left, LONG Top, LONG Width, LONG Height) {
  if (Width < 0 || Height < 0) return E_INVALIDARG;
  placed_ = true;
  if (fullScreen_) {
    beforeFullScreen_.rect = {Left, Top, Left + Width, Top + Height};  // where full screen ends
    return S_OK;
  }
  SetWindowPos(hwnd_, nullptr, Left, Top, Width, Height, SWP_NOZORDER | SWP_NOACTIVATE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetWindowPosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) {
  if (!pLeft || !pTop || !pWidth || !pHeight) return E_POINTER;
  RECT r;
  GetWindowRect(hwnd_, &r);
  // Children are placed in their parent's client coordinates.
  if (GetWindowLongA(hwnd_, GWL_STYLE) & WS_CHILD) {
    HWND parent = GetParent(hwnd_);
    POINT origin{0, 0};
    if (parent) ClientToScreen(parent, &origin);
    OffsetRect(&r, -origin.x, -origin.y);
  }
  *pLeft = r.left;
  *pTop = r.top;
  *pWidth = r.right - r.left;
  *pHeight = r.bottom - r.top;
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_Left(LONG v) { return PutRectPart(&VideoRenderer::GetWindowPosition, &VideoRenderer::SetWindowPosition, 0, v); }
STDMETHODIMP VideoRenderer::get_Left(LONG* p) { return GetRectPart(&VideoRenderer::GetWindowPosition, 0, p); }
STDMETHODIMP VideoRenderer::put_Top(LONG v) { return PutRectPart(&VideoRenderer::GetWindowPosition, &VideoRenderer::SetWindowPosition, 1, v); }
STDMETHODIMP VideoRenderer::get_Top(LONG* p) { return GetRectPart(&VideoRenderer::GetWindowPosition, 1, p); }
STDMETHODIMP VideoRenderer::put_Width(LONG v) { return PutRectPart(&VideoRenderer::GetWindowPosition, &VideoRenderer::SetWindowPosition, 2, v); }
STDMETHODIMP VideoRenderer::get_Width(LONG* p) { return GetRectPart(&VideoRenderer::GetWindowPosition, 2, p); }
STDMETHODIMP VideoRenderer::put_Height(LONG v) { return PutRectPart(&VideoRenderer::GetWindowPosition, &VideoRenderer::SetWindowPosition, 3, v); }
STDMETHODIMP VideoRenderer::get_Height(LONG* p) { return GetRectPart(&VideoRenderer::GetWindowPosition, 3, p); }

STDMETHODIMP VideoRenderer::put_Owner(OAHWND Owner) {
  HWND owner = ToHwnd(Owner);
  if (owner && !IsWindow(owner)) return E_INVALIDARG;
  owner_ = owner;
  if (fullScreen_) {
    beforeFullScreen_.parent = owner;  // takes effect when full screen ends
    return S_OK;
  }
  SetParent(hwnd_, owner);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_Owner(OAHWND* Owner) {
  if (!Owner) return E_POINTER;
  *Owner = ToOa(owner_);
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_MessageDrain(OAHWND Drain) {
  drain_ = ToHwnd(Drain);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_MessageDrain(OAHWND* Drain) {
  if (!Drain) return E_POINTER;
  *Drain = ToOa(drain_);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_BorderColor(LONG* Color) {
  if (!Color) return E_POINTER;
  *Color = LONG(border_);
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_BorderColor(LONG Color) {
  border_ = COLORREF(Color);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return S_OK;
}

STDMETHODIMP VideoRenderer::get_FullScreenMode(LONG* FullScreenMode) {
  if (!FullScreenMode) return E_POINTER;
  *FullScreenMode = fullScreen_ ? OATRUE : OAFALSE;
  return S_OK;
}

STDMETHODIMP VideoRenderer::put_FullScreenMode(LONG FullScreenMode) {
  const bool wanted = FullScreenMode != OAFALSE;
  if (wanted == fullScreen_) return S_OK;
  if (!wanted) {
    LeaveFullScreen(false);
    return S_OK;
  }
  Saved& s = beforeFullScreen_;
  s.parent = owner_;
  s.style = GetWindowLongA(hwnd_, GWL_STYLE);
  s.exStyle = GetWindowLongA(hwnd_, GWL_EXSTYLE);
  s.visible = s.style & WS_VISIBLE;
  LONG l, t, w, h;
  GetWindowPosition(&l, &t, &w, &h);
  s.rect = {l, t, l + w, t + h};
  // A top-level pop-up over everything, covering the screen.
  ShowWindow(hwnd_, SW_HIDE);
  SetParent(hwnd_, nullptr);
  SetWindowLongA(hwnd_, GWL_STYLE, kDefaultStyle);
  SetWindowLongA(hwnd_, GWL_EXSTYLE, s.exStyle | WS_EX_TOPMOST);
  fullScreen_ = true;
  SetWindowPos(hwnd_, HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
               SWP_FRAMECHANGED | SWP_SHOWWINDOW);
  InvalidateRect(hwnd_, nullptr, FALSE);
  return S_OK;
}

void VideoRenderer::LeaveFullScreen(bool notify) {
  if (!fullScreen_) return;
  fullScreen_ = false;
  const Saved& s = beforeFullScreen_;
  ShowWindow(hwnd_, SW_HIDE);
  SetWindowLongA(hwnd_, GWL_EXSTYLE, s.exStyle);
  SetWindowLongA(hwnd_, GWL_STYLE, s.style & ~WS_VISIBLE);
  SetParent(hwnd_, s.parent);
  SetWindowPos(hwnd_, HWND_NOTOPMOST, s.rect.left, s.rect.top, s.rect.right - s.rect.left, s.rect.bottom - s.rect.top,
               SWP_FRAMECHANGED | SWP_NOACTIVATE | (s.visible ? SWP_SHOWWINDOW : 0));
  if (notify) NotifyEvent(EC_FULLSCREEN_LOST, 0, LONG_PTR(static_cast<IBaseFilter*>(this)));
}

STDMETHODIMP VideoRenderer::SetWindowForeground(LONG Focus) {
  BringWindowToTop(hwnd_);
  if (Focus != OAFALSE) SetFocus(hwnd_);
  return S_OK;
}

STDMETHODIMP VideoRenderer::NotifyOwnerMessage(OAHWND, LONG uMsg, LONG_PTR wParam, LONG_PTR) {
  switch (uMsg) {
    case WM_ACTIVATEAPP:
      // The application lost the user: full screen ends.
      if (!wParam) LeaveFullScreen(true);
      break;
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
    case WM_PALETTECHANGED:
    case WM_QUERYNEWPALETTE:
      InvalidateRect(hwnd_, nullptr, FALSE);
      break;
    default:
      break;
  }
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetMinIdealImageSize(LONG* pWidth, LONG* pHeight) { return GetVideoSize(pWidth, pHeight); }

STDMETHODIMP VideoRenderer::GetMaxIdealImageSize(LONG* pWidth, LONG* pHeight) {
  if (!pWidth || !pHeight) return E_POINTER;
  if (HRESULT hr = CheckConnected(); FAILED(hr)) return hr;
  *pWidth = GetSystemMetrics(SM_CXSCREEN);
  *pHeight = GetSystemMetrics(SM_CYSCREEN);
  return S_OK;
}

STDMETHODIMP VideoRenderer::GetRestorePosition(LONG* pLeft, LONG* pTop, LONG* pWidth, LONG* pHeight) {
  if (!fullScreen_) return GetWindowPosition(pLeft, pTop, pWidth, pHeight);
  if (!pLeft || !pTop || !pWidth || !pHeight) return E_POINTER;
  const RECT& r = beforeFullScreen_.rect;
  *pLeft = r.left;
  *pTop = r.top;
  *pWidth = r.right - r.left;
  *pHeight = r.bottom - r.top;
  return S_OK;
}

STDMETHODIMP VideoRenderer::HideCursor(LONG Hide) {
  cursorHidden_ = Hide != OAFALSE;
  return S_OK;
}

STDMETHODIMP VideoRenderer::IsCursorHidden(LONG* CursorHidden) {
  if (!CursorHidden) return E_POINTER;
  *CursorHidden = cursorHidden_ ? OATRUE : OAFALSE;
  return S_OK;
}

}  // namespace dshow::renderers
