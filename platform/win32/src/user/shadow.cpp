// Drop shadows of CS_DROPSHADOW windows: a window of the system's own lies just below the shadowed
// window, shaped like its shadow along the right and bottom edges, and shows the screen that was
// under it when it was cast, darkened. It takes no clicks. When its window moves or changes size it
// is cast anew where the window now is; it goes when its window hides.
#include <algorithm>
#include <map>
#include <vector>

#include "user/display.h"
#include "user/user_state.h"

namespace win32::user {
namespace {

constexpr char kShadowClass[] = "SysShadow";
constexpr int kDepth = 4;  // pixels beyond the window's right and bottom edges

struct Shadow {
  HWND window = nullptr;
  RECT casting{};  // the shadowed window's rectangle when the shadow was made
};

// Shadowed window -> its shadow.
std::map<HWND, Shadow>& Shadows() {
  static auto* shadows = new std::map<HWND, Shadow>;
  return *shadows;
}

// Shadow window -> the darkened picture it shows (a DIB section of its rectangle).
std::map<HWND, HBITMAP>& Pictures() {
  static auto* pictures = new std::map<HWND, HBITMAP>;
  return *pictures;
}

LRESULT CALLBACK ShadowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(hwnd, &ps);
      auto found = Pictures().find(hwnd);
      if (found != Pictures().end()) {
        RECT r;
        GetClientRect(hwnd, &r);
        HDC picture = CreateCompatibleDC(dc);
        HGDIOBJ old = SelectObject(picture, found->second);
        BitBlt(dc, 0, 0, r.right, r.bottom, picture, 0, 0, SRCCOPY);
        SelectObject(picture, old);
        DeleteDC(picture);
      }
      EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_NCDESTROY:
      if (auto found = Pictures().find(hwnd); found != Pictures().end()) {
        DeleteObject(found->second);
        Pictures().erase(found);
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void RegisterShadowClass() {
  static const bool registered = [] {
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ShadowProc;
    wc.lpszClassName = kShadowClass;
    return RegisterSystemClass(wc) != 0;
  }();
  (void)registered;
}

// The screen under box as it is now, darkened the more the nearer the shadowed window's edges.
HBITMAP DarkenedScreen(const RECT& box, const RECT& casting) {
  const int width = box.right - box.left, height = box.bottom - box.top;
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP picture = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!picture) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, picture);
  BitBlt(dc, 0, 0, width, height, screen, box.left, box.top, SRCCOPY);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  auto* pixels = static_cast<uint32_t*>(bits);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      // 0 on the row or column next to the window, kDepth - 1 at the shadow's outer edge.
      const int depth = std::max(box.left + x - casting.right, box.top + y - casting.bottom);
      const int keep = 128 + 32 * std::clamp(depth, 0, kDepth - 1);  // in 256ths
      uint32_t& p = pixels[size_t(y) * size_t(width) + size_t(x)];
      const uint32_t b = (p & 0xFF) * keep >> 8, g = (p >> 8 & 0xFF) * keep >> 8, r = (p >> 16 & 0xFF) * keep >> 8;
      p = b | g << 8 | r << 16;
    }
  }
  return picture;
}

void RemoveShadow(HWND hwnd) {
  auto found = Shadows().find(hwnd);
  if (found == Shadows().end()) return;
  HWND shadow = found->second.window;
  Shadows().erase(found);
  DestroyWindow(shadow);
}

// Windows of this thread below hwnd with paint pending where its shadow is to lie paint now, so
// that the shadow keeps what they show rather than what the window or its former shadow left on
// the screen there. Windows of other threads paint in their own time.
void PaintWindowsBelow(HWND hwnd, const RECT& box) {
  const std::vector<HWND> tops = ChildrenOf(*Win(Desktop()));
  auto below = std::find(tops.begin(), tops.end(), hwnd);
  if (below == tops.end()) return;
  for (++below; below != tops.end(); ++below) {
    auto t = Win(*below);
    RECT overlap;
    if (t && t->thread == GetCurrentThreadId() && IsVisibleNow(*t) && IntersectRect(&overlap, &t->window, &box)) {
      UpdateNow(*below, true, false);
    }
  }
}

// A shadow for the window's rectangle, just below it.
void CastShadow(HWND hwnd) {
  auto w = Win(hwnd);
  if (!w) return;
  const RECT casting = w->window;
  const RECT box{casting.left + kDepth, casting.top + kDepth, casting.right + kDepth, casting.bottom + kDepth};
  PaintWindowsBelow(hwnd, box);
  // Those paints may have moved, hidden or shadowed the window already.
  w = Win(hwnd);
  if (!w || !IsVisibleNow(*w) || !EqualRect(&w->window, &casting) || Shadows().count(hwnd)) return;
  RegisterShadowClass();
  HBITMAP picture = DarkenedScreen(box, casting);
  if (!picture) return;
  HWND shadow = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TRANSPARENT, kShadowClass, nullptr, WS_POPUP | WS_DISABLED,
                                box.left, box.top, box.right - box.left, box.bottom - box.top, nullptr, nullptr,
                                nullptr, nullptr);
  if (!shadow) {
    DeleteObject(picture);
    return;
  }
  Pictures()[shadow] = picture;
  // Only what the window does not cover: a strip along its right edge and one along its bottom.
  const int width = box.right - box.left, height = box.bottom - box.top;
  HRGN shape = CreateRectRgn(width - kDepth, 0, width, height);
  HRGN bottom = CreateRectRgn(0, height - kDepth, width, height);
  CombineRgn(shape, shape, bottom, RGN_OR);
  DeleteObject(bottom);
  SetWindowRgn(shadow, shape, FALSE);
  Shadows()[hwnd] = Shadow{shadow, casting};
  SetWindowPos(shadow, hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

}  // namespace

void FollowWithShadow(HWND hwnd, bool shown) {
  auto w = Win(hwnd);
  BOOL enabled = FALSE;
  SystemParametersInfoA(SPI_GETDROPSHADOW, 0, &enabled, 0);
  const bool wanted = w && !w->IsChild() && (w->cls->style & CS_DROPSHADOW) && IsVisibleNow(*w) && enabled;
  auto found = Shadows().find(hwnd);
  // A shadow someone destroyed is cast again at the next showing.
  if (found != Shadows().end() && !IsWindow(found->second.window)) {
    Shadows().erase(found);
    found = Shadows().end();
  }
  if (!wanted) {
    RemoveShadow(hwnd);
    return;
  }
  if (found != Shadows().end() && EqualRect(&found->second.casting, &w->window)) {
    // Kept just below its window.
    SetWindowPos(found->second.window, hwnd, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  } else if (found != Shadows().end()) {
    // The screen it kept is no longer what lies under it: cast where the window now is.
    RemoveShadow(hwnd);
    CastShadow(hwnd);
  } else if (shown) {
    CastShadow(hwnd);
  }
}

}  // namespace win32::user
