// The menu loop behind TrackPopupMenu, the menu bar and the system menu: pop-up windows, the
// selection, sub-menus, mouse and keyboard, and how the loop ends.
#include "menus/menu_loop.h"

#include <algorithm>
#include <cwctype>
#include <vector>

#include "win32/modal.h"
#include "menus/menu_bar.h"
#include "menus/menu_draw.h"
#include "menus/menu_layout.h"
#include "win32/platform_config.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

namespace win32::menus {
namespace {

enum class Kind { Popup, Bar, System };

// One open pop-up.
struct Level {
  HMENU menu = nullptr;
  HWND window = nullptr;
  int selected = -1;
};

// Where a pop-up goes: at an anchor point with TPM_ alignment, kept on the screen and off an
// excluded rectangle.
struct Placement {
  POINT anchor{};
  UINT align = 0;
  RECT exclude{};
};

bool IsMouse(UINT message) { return message >= WM_MOUSEFIRST && message <= WM_MOUSELAST; }
bool IsKey(UINT message) { return message >= WM_KEYFIRST && message <= WM_KEYLAST; }

RECT ScreenRect() {
  const auto& config = platform_config::Config();
  return {0, 0, config.screenWidth, config.screenHeight};
}

bool Overlaps(const RECT& a, const RECT& b) {
  RECT common;
  return IntersectRect(&common, &a, &b);
}

// The window's top left for a pop-up of that size.
POINT Place(const Placement& p, SIZE size) {
  const RECT screen = ScreenRect();
  POINT at = p.anchor;
  if (p.align & TPM_CENTERALIGN) {
    at.x -= size.cx / 2;
  } else if (p.align & TPM_RIGHTALIGN) {
    at.x -= size.cx;
  }
  if (p.align & TPM_VCENTERALIGN) {
    at.y -= size.cy / 2;
  } else if (p.align & TPM_BOTTOMALIGN) {
    at.y -= size.cy;
  }
  // Off the screen's right or bottom edge the menu opens the other way from the anchor.
  if (at.x + size.cx > screen.right) at.x = p.anchor.x - size.cx;
  if (at.y + size.cy > screen.bottom) at.y = p.anchor.y - size.cy;
  RECT r{at.x, at.y, at.x + size.cx, at.y + size.cy};
  if (!IsRectEmpty(&p.exclude) && Overlaps(r, p.exclude)) {
    const bool vertical = p.align & TPM_VERTICAL;
    if (vertical) {
      at.y = p.exclude.bottom + size.cy <= screen.bottom ? p.exclude.bottom : p.exclude.top - size.cy;
    } else {
      at.x = p.exclude.right + size.cx <= screen.right ? p.exclude.right : p.exclude.left - size.cx;
    }
  }
  at.x = std::clamp<LONG>(at.x, screen.left, std::max<LONG>(screen.left, screen.right - size.cx));
  at.y = std::clamp<LONG>(at.y, screen.top, std::max<LONG>(screen.top, screen.bottom - size.cy));
  return at;
}

// An item's mnemonic: the letter after a single '&', lower case; 0 when it has none.
char16_t Mnemonic(const MenuItem& item) {
  const std::u16string& text = item.text;
  for (size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != u'&') continue;
    if (text[i + 1] == u'&') {
      ++i;
      continue;
    }
    return static_cast<char16_t>(std::towlower(text[i + 1]));
  }
  return 0;
}

class MenuLoop;
thread_local MenuLoop* t_loop = nullptr;

class MenuLoop {
 public:
  MenuLoop(HWND owner, UINT flags, Kind kind) : owner_(owner), flags_(flags), kind_(kind), outer_(t_loop) {
    t_loop = this;
  }
  ~MenuLoop() { t_loop = outer_; }
  MenuLoop(const MenuLoop&) = delete;
  MenuLoop& operator=(const MenuLoop&) = delete;

  // TrackPopupMenu and the system menu: the pop-up at the placement until the loop ends.
  UINT RunPopup(HMENU menu, const Placement& placement) {
    const BOOL popupLoop = kind_ != Kind::Bar;
    SendMessageA(owner_, WM_ENTERMENULOOP, popupLoop, 0);
    SendMessageA(owner_, WM_INITMENU, reinterpret_cast<WPARAM>(menu), 0);
    if (!OpenLevel(menu, 0, placement) || levels_.empty()) {
      SendMessageA(owner_, WM_EXITMENULOOP, popupLoop, 0);
      return 0;
    }
    capture_ = levels_.front().window;
    return Run(levels_.front().window);
  }

  // The menu bar with the item at index open.
  UINT RunBar(HMENU bar, int index) {
    bar_ = bar;
    SendMessageA(owner_, WM_ENTERMENULOOP, FALSE, 0);
    SendMessageA(owner_, WM_INITMENU, reinterpret_cast<WPARAM>(bar), 0);
    capture_ = owner_;
    SelectBarItem(index, false);
    return Run(owner_);
  }

  HWND owner() const { return owner_; }
  HMENU bar() const { return bar_; }
  int barItem() const { return barItem_; }

  // EndMenu: the loop ends when control comes back to it (from a handler or the idle handler).
  void Cancel() { ended_ = true; }

  Level* LevelOf(HWND window) {
    for (Level& level : levels_) {
      if (level.window == window) return &level;
    }
    return nullptr;
  }

  // ---- Keyboard (the menu window procedure passes keys on)

  void KeyDown(UINT vk) {
    if (levels_.empty()) {
      // A bar item without a pop-up is open: the keys move along the bar or choose it.
      switch (vk) {
        case VK_LEFT:
        case VK_RIGHT:
          if (bar_) SwitchBarItem(vk == VK_RIGHT ? 1 : -1);
          break;
        case VK_RETURN:
          ChooseBarItem();
          break;
        case VK_ESCAPE:
        case VK_MENU:
        case VK_F10:
          End();
          break;
      }
      return;
    }
    const size_t deepest = levels_.size() - 1;
    Level& level = levels_[deepest];
    switch (vk) {
      case VK_DOWN:
      case VK_UP:
        Select(deepest, Step(level, level.selected, vk == VK_DOWN ? 1 : -1), false);
        break;
      case VK_HOME:
        Select(deepest, Step(level, -1, 1), false);
        break;
      case VK_END:
        Select(deepest, Step(level, 0, -1), false);
        break;
      case VK_RIGHT:
        if (HasSubMenu(level, level.selected)) {
          OpenSubMenu(deepest, true);
        } else if (bar_) {
          SwitchBarItem(1);
        }
        break;
      case VK_LEFT:
        if (deepest > 0) {
          CloseLevelsFrom(deepest);
        } else if (bar_) {
          SwitchBarItem(-1);
        }
        break;
      case VK_RETURN:
        Activate(deepest, level.selected, true);
        break;
      case VK_ESCAPE:
        if (deepest > 0) {
          CloseLevelsFrom(deepest);
        } else {
          End();
        }
        break;
      case VK_MENU:
      case VK_F10:
        End();
        break;
    }
  }

  void Char(char16_t ch) {
    if (levels_.empty() || ch < u' ') return;
    const size_t deepest = levels_.size() - 1;
    Level& level = levels_[deepest];
    auto menu = PeekMenu(level.menu);
    if (!menu) return;
    // Owner-drawn items have no text of the system's: the owner answers for them.
    const char16_t wanted = static_cast<char16_t>(std::towlower(ch));
    std::vector<int> matches;
    for (size_t i = 0; i < menu->items.size(); ++i) {
      const MenuItem& item = menu->items[i];
      if (!item.IsOwnerDrawn() && !item.IsSeparator() && Mnemonic(item) == wanted) matches.push_back(static_cast<int>(i));
    }
    if (matches.size() == 1) {
      Activate(deepest, matches.front(), true);
      return;
    }
    if (matches.size() > 1) {
      // Several items share the letter: each press selects the next of them.
      auto next = std::upper_bound(matches.begin(), matches.end(), level.selected);
      Select(deepest, next == matches.end() ? matches.front() : *next, false);
      return;
    }
    const UINT kindFlags = MF_POPUP | (kind_ == Kind::System ? MF_SYSMENU : 0);
    const LRESULT answer =
        SendMessageA(owner_, WM_MENUCHAR, MAKEWPARAM(ch, kindFlags), reinterpret_cast<LPARAM>(level.menu));
    if (levels_.size() <= deepest) return;
    const int item = static_cast<int>(static_cast<short>(LOWORD(answer)));
    switch (HIWORD(answer)) {
      case MNC_CLOSE: End(); break;
      case MNC_EXECUTE: Activate(deepest, item, true); break;
      case MNC_SELECT: Select(deepest, item, false); break;
    }
  }

  void Timer(HWND window) {
    KillTimer(window, kSubMenuTimer);
    for (size_t i = 0; i < levels_.size(); ++i) {
      if (levels_[i].window == window && levels_.size() == i + 1 && HasSubMenu(levels_[i], levels_[i].selected)) {
        OpenSubMenu(i, false);
        return;
      }
    }
  }

 private:
  // ---- The loop

  UINT Run(HWND modalWindow) {
    win32::ModalScope scope({modalWindow, false, "menu", "", 0, [] { EndMenu(); }, true});
    SetCapture(capture_);
    bool idleSent = false;
    while (!ended_) {
      if (!IsWindow(owner_) || GetCapture() != capture_ || (!levels_.empty() && !IsMenu(levels_.front().menu))) {
        break;
      }
      MSG msg;
      if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (!idleSent) {
          idleSent = true;
          HWND shown = levels_.empty() ? nullptr : levels_.back().window;
          SendMessageA(owner_, WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(shown));
          continue;
        }
        WaitMessage();
        continue;
      }
      idleSent = false;
      if (msg.message == WM_QUIT) {
        PostQuitMessage(static_cast<int>(msg.wParam));  // for the loop outside
        break;
      }
      if (IsMouse(msg.message)) {
        Mouse(msg);
      } else if (IsKey(msg.message)) {
        if (levels_.empty()) {
          if (msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) KeyDown(static_cast<UINT>(msg.wParam));
          continue;
        }
        // Keys go to the innermost menu window, through whatever procedure it has now.
        msg.hwnd = levels_.back().window;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      } else {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
      }
    }
    return Finish();
  }

  UINT Finish() {
    if (GetCapture() == capture_) ReleaseCapture();
    CloseLevelsFrom(0);
    if (bar_) {
      const int was = barItem_;
      barItem_ = -1;
      if (IsWindow(owner_)) RedrawBarItem(owner_, was);
    }
    if (IsWindow(owner_)) SendMessageA(owner_, WM_EXITMENULOOP, kind_ != Kind::Bar, 0);
    if (!chosen_) return 0;
    if (kind_ == Kind::Popup && (flags_ & TPM_RETURNCMD)) return command_;
    if (!(flags_ & TPM_NONOTIFY) && IsWindow(owner_)) {
      if (kind_ == Kind::System) {
        const DWORD pos = GetMessagePos();
        PostMessageA(owner_, WM_SYSCOMMAND, command_, static_cast<LPARAM>(pos));
      } else {
        PostMessageA(owner_, WM_COMMAND, MAKEWPARAM(command_, 0), 0);
      }
    }
    return command_;
  }

  void End() {
    ended_ = true;
  }

  // ---- Levels

  bool OpenLevel(HMENU handle, int index, const Placement& placement) {
    auto menu = PeekMenu(handle);
    if (!menu) return false;
    menu->popup = true;
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE,
                                  kMenuWindowClass, "", WS_POPUP | WS_BORDER | WS_CLIPSIBLINGS, 0, 0, 0, 0, owner_,
                                  nullptr, nullptr, handle);
    if (!window) return false;
    levels_.push_back({handle, window, -1});
    const BOOL system = kind_ == Kind::System && levels_.size() == 1;
    SendMessageA(owner_, WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(handle), MAKELPARAM(index, system));
    SendMessageA(window, MN_GETHMENU, 0, 0);
    if (!IsWindow(window) || !(menu = PeekMenu(handle))) {
      CloseLevelsFrom(levels_.size() - 1);
      return false;
    }
    menu->window = window;
    const SIZE items = LayoutPopup(*menu, owner_);
    const SIZE size{items.cx + 2 * MENU_POPUP_FRAME, items.cy + 2 * MENU_POPUP_FRAME};
    const POINT at = Place(placement, size);
    SetWindowPos(window, HWND_TOPMOST, at.x, at.y, size.cx, size.cy, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    // Shown at once: frame and background now, then the items.
    RedrawWindow(window, nullptr, nullptr, RDW_ERASENOW);
    UpdateWindow(window);
    return true;
  }

  void CloseLevel() {
    Level level = levels_.back();
    levels_.pop_back();
    if (auto menu = PeekMenu(level.menu); menu && menu->window == level.window) menu->window = nullptr;
    if (!IsWindow(level.window)) return;
    KillTimer(level.window, kSubMenuTimer);
    ShowWindow(level.window, SW_HIDE);
    const UINT system = kind_ == Kind::System && levels_.empty() ? MF_SYSMENU : 0;
    if (IsWindow(owner_)) SendMessageA(owner_, WM_UNINITMENUPOPUP, reinterpret_cast<WPARAM>(level.menu), MAKELPARAM(0, system));
    DestroyWindow(level.window);
  }

  void CloseLevelsFrom(size_t first) {
    while (levels_.size() > first) CloseLevel();
  }

  // ---- Selection

  static bool Selectable(const MenuItem& item) { return !item.IsSeparator(); }

  static bool HasSubMenu(const Level& level, int index) {
    auto menu = PeekMenu(level.menu);
    return menu && index >= 0 && static_cast<size_t>(index) < menu->items.size() &&
           PeekMenu(menu->items[static_cast<size_t>(index)].subMenu) && !menu->items[static_cast<size_t>(index)].IsDisabled();
  }

  // The next selectable item from index in the direction, going round; -1 when there is none.
  static int Step(const Level& level, int index, int direction) {
    auto menu = PeekMenu(level.menu);
    if (!menu || menu->items.empty()) return -1;
    const int count = static_cast<int>(menu->items.size());
    int at = index < 0 ? (direction > 0 ? -1 : count) : index;
    for (int n = 0; n < count; ++n) {
      at = ((at + direction) % count + count) % count;
      if (Selectable(menu->items[static_cast<size_t>(at)])) return at;
    }
    return -1;
  }

  void DrawLevelItem(const Level& level, int index, bool selected) {
    if (index < 0 || !IsWindow(level.window)) return;
    HDC dc = GetDC(level.window);
    ItemLook look;
    look.selected = selected;
    DrawMenuItem(dc, owner_, level.menu, index, {0, 0}, ODA_SELECT, look);
    ReleaseDC(level.window, dc);
  }

  void Select(size_t depth, int index, bool byMouse) {
    if (depth >= levels_.size()) return;
    Level& level = levels_[depth];
    if (level.selected == index) return;
    CloseLevelsFrom(depth + 1);
    Level& current = levels_[depth];
    KillTimer(current.window, kSubMenuTimer);
    const int old = current.selected;
    current.selected = index;
    DrawLevelItem(current, old, false);
    DrawLevelItem(current, index, true);
    auto menu = PeekMenu(current.menu);
    if (!menu || index < 0 || static_cast<size_t>(index) >= menu->items.size()) return;
    const MenuItem item = menu->items[static_cast<size_t>(index)];
    const bool popup = PeekMenu(item.subMenu) != nullptr;
    UINT flags = (item.type | item.state | MF_HILITE) & 0xFFFF;
    if (popup) flags |= MF_POPUP;
    if (byMouse) flags |= MF_MOUSESELECT;
    if (kind_ == Kind::System) flags |= MF_SYSMENU;
    SendMessageA(owner_, WM_MENUSELECT, MAKEWPARAM(popup ? static_cast<UINT>(index) : item.id, flags),
                 reinterpret_cast<LPARAM>(current.menu));
    if (byMouse && popup && !item.IsDisabled() && depth < levels_.size()) {
      UINT delay = 400;
      SystemParametersInfoA(SPI_GETMENUSHOWDELAY, 0, &delay, 0);
      SetTimer(levels_[depth].window, kSubMenuTimer, delay, nullptr);
    }
  }

  // The sub-menu of the level's selected item, beside it; with the keyboard its first item is
  // selected.
  void OpenSubMenu(size_t depth, bool selectFirst) {
    if (depth >= levels_.size()) return;
    CloseLevelsFrom(depth + 1);
    const Level level = levels_[depth];
    auto menu = PeekMenu(level.menu);
    if (!menu || !HasSubMenu(level, level.selected)) return;
    KillTimer(level.window, kSubMenuTimer);
    const MenuItem& item = menu->items[static_cast<size_t>(level.selected)];
    RECT itemRect = item.rect;
    POINT origin{0, 0};
    ClientToScreen(level.window, &origin);
    OffsetRect(&itemRect, origin.x, origin.y);
    RECT parent;
    GetWindowRect(level.window, &parent);
    Placement placement;
    placement.anchor = {parent.right - MENU_POPUP_FRAME, itemRect.top - MENU_POPUP_FRAME};
    placement.exclude = {parent.left + MENU_POPUP_FRAME, parent.top, parent.right - MENU_POPUP_FRAME, parent.bottom};
    if (!OpenLevel(item.subMenu, level.selected, placement)) return;
    if (selectFirst) Select(levels_.size() - 1, Step(levels_.back(), -1, 1), false);
  }

  // Enter, a mnemonic or a click on an item: a sub-menu opens, an enabled command is chosen.
  void Activate(size_t depth, int index, bool byKey) {
    if (depth >= levels_.size()) return;
    auto menu = PeekMenu(levels_[depth].menu);
    if (!menu || index < 0 || static_cast<size_t>(index) >= menu->items.size()) return;
    if (levels_[depth].selected != index) Select(depth, index, !byKey);
    if (depth >= levels_.size() || !(menu = PeekMenu(levels_[depth].menu)) ||
        static_cast<size_t>(index) >= menu->items.size()) {
      return;
    }
    const MenuItem& item = menu->items[static_cast<size_t>(index)];
    if (PeekMenu(item.subMenu)) {
      if (levels_.size() == depth + 1) OpenSubMenu(depth, byKey);
      return;
    }
    if (item.IsDisabled() || item.IsSeparator()) return;
    Choose(item.id);
  }

  void Choose(UINT command) {
    chosen_ = true;
    command_ = command;
    ended_ = true;
  }

  // ---- The menu bar

  void SelectBarItem(int index, bool selectFirst) {
    CloseLevelsFrom(0);
    const int old = barItem_;
    barItem_ = index;
    RedrawBarItem(owner_, old);
    RedrawBarItem(owner_, index);
    auto bar = PeekMenu(bar_);
    if (!bar || index < 0 || static_cast<size_t>(index) >= bar->items.size()) return;
    const MenuItem item = bar->items[static_cast<size_t>(index)];
    const bool popup = PeekMenu(item.subMenu) != nullptr;
    UINT flags = (item.type | item.state | MF_HILITE) & 0xFFFF;
    if (popup) flags |= MF_POPUP;
    SendMessageA(owner_, WM_MENUSELECT, MAKEWPARAM(popup ? static_cast<UINT>(index) : item.id, flags),
                 reinterpret_cast<LPARAM>(bar_));
    if (!popup || item.IsDisabled()) return;
    RECT r;
    if (!BarItemScreenRect(owner_, index, &r)) return;
    Placement placement;
    placement.anchor = {r.left, r.bottom};
    placement.align = TPM_VERTICAL;
    placement.exclude = r;
    if (OpenLevel(item.subMenu, index, placement) && selectFirst) Select(0, Step(levels_.back(), -1, 1), false);
  }

  // The open bar item when it is an enabled command.
  void ChooseBarItem() {
    auto bar = PeekMenu(bar_);
    if (!bar || barItem_ < 0 || static_cast<size_t>(barItem_) >= bar->items.size()) return;
    const MenuItem& item = bar->items[static_cast<size_t>(barItem_)];
    if (PeekMenu(item.subMenu) || item.IsDisabled() || item.IsSeparator()) return;
    Choose(item.id);
  }

  void SwitchBarItem(int direction) {
    auto bar = PeekMenu(bar_);
    if (!bar || bar->items.empty()) return;
    const int count = static_cast<int>(bar->items.size());
    SelectBarItem(((barItem_ + direction) % count + count) % count, true);
  }

  // ---- The mouse

  // The open level whose window holds the screen point, deepest first; -1 when none.
  int LevelAt(POINT screen) const {
    for (int i = static_cast<int>(levels_.size()) - 1; i >= 0; --i) {
      RECT r;
      if (GetWindowRect(levels_[static_cast<size_t>(i)].window, &r) && PtInRect(&r, screen)) return i;
    }
    return -1;
  }

  // The item of the level under the screen point, -1 when none.
  int ItemUnder(size_t depth, POINT screen) const {
    auto menu = PeekMenu(levels_[depth].menu);
    if (!menu) return -1;
    POINT pt = screen;
    ScreenToClient(levels_[depth].window, &pt);
    const int index = ItemAt(*menu, pt);
    return index >= 0 && Selectable(menu->items[static_cast<size_t>(index)]) ? index : -1;
  }

  bool ChoosesWith(UINT message) const {
    if (message == WM_LBUTTONUP) return true;
    return message == WM_RBUTTONUP && kind_ == Kind::Popup && (flags_ & TPM_RIGHTBUTTON);
  }

  void Mouse(const MSG& msg) {
    const POINT pt = msg.pt;
    const int depth = LevelAt(pt);
    const int barItem = bar_ ? BarItemAt(owner_, pt) : -1;
    switch (msg.message) {
      case WM_MOUSEMOVE:
        if (depth >= 0) {
          const size_t d = static_cast<size_t>(depth);
          const int index = ItemUnder(d, pt);
          const bool opensChild = levels_.size() > d + 1 && index == levels_[d].selected;
          if (index >= 0 && !opensChild) {
            Select(d, index, true);
          } else if (index < 0 && levels_.size() == d + 1) {
            Select(d, -1, true);
          }
        } else if (barItem >= 0 && barItem != barItem_) {
          SelectBarItem(barItem, false);
        } else if (depth < 0 && !levels_.empty()) {
          // Off the menus the innermost selection goes, unless it opened a sub-menu.
          const Level& innermost = levels_.back();
          if (innermost.selected >= 0 && !HasSubMenu(innermost, innermost.selected)) Select(levels_.size() - 1, -1, true);
        }
        break;
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_LBUTTONDBLCLK:
      case WM_RBUTTONDBLCLK:
      case WM_MBUTTONDBLCLK:
        if (depth >= 0) {
          const size_t d = static_cast<size_t>(depth);
          const int index = ItemUnder(d, pt);
          if (index >= 0 && HasSubMenu(levels_[d], index)) {
            Select(d, index, true);
            if (levels_.size() == d + 1) OpenSubMenu(d, false);
          } else if (index >= 0) {
            Select(d, index, true);
          }
        } else if (barItem >= 0) {
          if (barItem == barItem_ && !levels_.empty()) {
            End();  // a second click on the open bar item closes it
          } else {
            SelectBarItem(barItem, false);
          }
        } else {
          End();  // a click anywhere else dismisses the menu
        }
        break;
      case WM_LBUTTONUP:
      case WM_RBUTTONUP:
      case WM_MBUTTONUP:
        if (!ChoosesWith(msg.message)) break;
        if (depth >= 0) {
          const size_t d = static_cast<size_t>(depth);
          const int index = ItemUnder(d, pt);
          if (index >= 0) Activate(d, index, false);
        } else if (bar_ && levels_.empty()) {
          // A bar item without a pop-up is chosen where the button comes up.
          if (barItem >= 0 && barItem == barItem_) {
            ChooseBarItem();
          } else {
            End();
          }
        }
        break;
    }
  }

  HWND owner_;
  UINT flags_;
  Kind kind_;
  MenuLoop* outer_;
  HWND capture_ = nullptr;
  HMENU bar_ = nullptr;
  int barItem_ = -1;
  std::vector<Level> levels_;
  bool ended_ = false;
  bool chosen_ = false;
  UINT command_ = 0;
};

MenuLoop* LoopOf(HWND window) {
  MenuLoop* loop = t_loop;
  return loop && loop->LevelOf(window) ? loop : nullptr;
}

// Checks shared by the public entries: a menu, an owner, and no other loop on the thread.
bool CanTrack(HMENU menu, HWND owner) {
  if (!FindMenu(menu)) return false;
  if (!IsWindow(owner)) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return false;
  }
  if (t_loop) {
    SetLastError(ERROR_POPUP_ALREADY_ACTIVE);
    return false;
  }
  return true;
}

BOOL Track(HMENU menu, UINT flags, int x, int y, HWND owner, const RECT* exclude) {
  if (!CanTrack(menu, owner)) return FALSE;
  Placement placement;
  placement.anchor = {x, y};
  placement.align = flags;
  if (exclude) placement.exclude = *exclude;
  MenuLoop loop(owner, flags, Kind::Popup);
  const UINT command = loop.RunPopup(menu, placement);
  return (flags & TPM_RETURNCMD) ? static_cast<BOOL>(command) : TRUE;
}

}  // namespace

void LoopKeyDown(HWND window, UINT vk) {
  if (MenuLoop* loop = LoopOf(window)) loop->KeyDown(vk);
}

void LoopChar(HWND window, char16_t ch) {
  if (MenuLoop* loop = LoopOf(window)) loop->Char(ch);
}

void LoopTimer(HWND window) {
  if (MenuLoop* loop = LoopOf(window)) loop->Timer(window);
}

int SelectedItemOf(HWND window) {
  MenuLoop* loop = LoopOf(window);
  return loop ? loop->LevelOf(window)->selected : -1;
}

void TrackMenuBar(HWND window, POINT screen) {
  HMENU bar = GetMenu(window);
  const int index = BarItemAt(window, screen);
  if (index < 0 || !CanTrack(bar, window)) return;
  MenuLoop loop(window, 0, Kind::Bar);
  loop.RunBar(bar, index);
}

void TrackSystemMenu(HWND window, POINT screen) {
  HMENU menu = GetSystemMenu(window, FALSE);
  if (!menu || !CanTrack(menu, window)) return;
  RefreshSystemMenu(window, menu);
  Placement placement;
  placement.anchor = screen;
  MenuLoop loop(window, 0, Kind::System);
  loop.RunPopup(menu, placement);
}

int OpenBarItem(HWND window) {
  MenuLoop* loop = t_loop;
  return loop && loop->owner() == window && loop->bar() ? loop->barItem() : -1;
}

}  // namespace win32::menus

using namespace win32::menus;

BOOL TrackPopupMenu(HMENU hMenu, UINT uFlags, int x, int y, int /*nReserved*/, HWND hWnd, const RECT* /*prcRect*/) {
  return Track(hMenu, uFlags, x, y, hWnd, nullptr);
}

BOOL TrackPopupMenuEx(HMENU hMenu, UINT uFlags, int x, int y, HWND hwnd, LPTPMPARAMS lptpm) {
  if (lptpm && lptpm->cbSize != sizeof(TPMPARAMS)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return Track(hMenu, uFlags, x, y, hwnd, lptpm ? &lptpm->rcExclude : nullptr);
}

BOOL EndMenu() {
  if (MenuLoop* loop = t_loop) loop->Cancel();
  return TRUE;
}
