#include "menus/icon_menu.h"

#include <algorithm>
#include <cwctype>
#include <mutex>
#include <set>
#include <string>

#include "icon_menu_images.h"
#include "icon_menu_look.h"
#include "icon_store_list.h"
#include "menus/styled_menu_utils.h"

IMPLEMENT_DYNAMIC(CIconMenu, CMenu)

namespace {

// The pop-ups appended or inserted into any icon menu. Made on first use and never torn down:
// menus may be destroyed while the process ends.
std::set<HMENU>& OwnedMenus() {
  static std::set<HMENU>* owned = new std::set<HMENU>;
  return *owned;
}

std::u16string Widen(LPCSTR text) {
  std::u16string wide;
  if (!text) return wide;
  const int length = MultiByteToWideChar(CP_ACP, 0, text, -1, nullptr, 0);
  if (length <= 1) return wide;
  wide.resize(size_t(length));
  MultiByteToWideChar(CP_ACP, 0, text, -1, wide.data(), length);
  wide.resize(size_t(length - 1));
  return wide;
}

char16_t Lower(char16_t c) { return char16_t(std::towlower(wint_t(c))); }

CIconMenu* IconMenuOf(HMENU menu) { return dynamic_cast<CIconMenu*>(CMenu::FromHandlePermanent(menu)); }

// A toolbar resource loaded into a hidden toolbar on the main window (the desktop window when
// there is none), for its buttons' commands and images; gone with the object.
class HiddenToolbar {
 public:
  explicit HiddenToolbar(UINT toolbarId) {
    CWnd* main = AfxGetMainWnd();
    CWnd* parent = main && main->m_hWnd ? main : CWnd::FromHandle(GetDesktopWindow());
    // Created without a size, so it never shows.
    loaded_ = bar_.Create(parent, WS_CHILD | WS_VISIBLE | CBRS_TOP, AFX_IDW_TOOLBAR) && bar_.LoadToolBar(toolbarId);
  }
  ~HiddenToolbar() {
    if (bar_.m_hWnd) bar_.DestroyWindow();
  }
  HiddenToolbar(const HiddenToolbar&) = delete;
  HiddenToolbar& operator=(const HiddenToolbar&) = delete;

  bool Loaded() const { return loaded_; }
  CToolBarCtrl& Control() { return bar_.GetToolBarCtrl(); }
  // The image size of its bitmap.
  SIZE ImageSize() {
    int cx = 0, cy = 0;
    if (CImageList* images = Control().GetImageList()) ImageList_GetIconSize(images->m_hImageList, &cx, &cy);
    return SIZE{cx, cy};
  }

 private:
  CToolBar bar_;
  bool loaded_ = false;
};

// A button of a toolbar control: its command and the image its info names. Separators have
// neither.
struct ToolbarButton {
  UINT command = 0;
  int image = -1;
};

std::vector<ToolbarButton> ButtonsOf(CToolBarCtrl& control) {
  std::vector<ToolbarButton> buttons;
  const int count = control.GetButtonCount();
  for (int i = 0; i < count; ++i) {
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_IMAGE | TBIF_STYLE;
    if (control.GetButtonInfo(i, &info) < 0 || (info.fsStyle & TBSTYLE_SEP)) continue;
    // The image the button shows; a toolbar that starts with a separator would otherwise give
    // its first button the second button's picture.
    buttons.push_back({UINT(info.idCommand), info.iImage >= 0 ? info.iImage : i});
  }
  return buttons;
}

// The image of the command in the toolbar resource; 0 when it is no button there.
int ToolbarImageOf(UINT toolbarId, UINT command) {
  HiddenToolbar toolbar(toolbarId);
  if (!toolbar.Loaded()) return 0;
  for (const ToolbarButton& button : ButtonsOf(toolbar.Control())) {
    if (button.command == command) return std::max(0, button.image);
  }
  return 0;
}

HFONT MenuFont() {
  NONCLIENTMETRICSA metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return CreateFontIndirectA(&metrics.lfMenuFont);
}

// The window whose device context measures texts: the main window, else the desktop.
HWND MeasuringWindow() {
  CWnd* main = AfxGetMainWnd();
  return main && main->m_hWnd ? main->m_hWnd : GetDesktopWindow();
}

int TextWidth(HDC dc, const std::u16string& text) {
  SIZE size{};
  GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
  return size.cx;
}

}  // namespace

CIconMenu::CIconMenu() = default;

CIconMenu::~CIconMenu() { DestroyMenu(); }

// ---- Building ---------------------------------------------------------------------------------

UINT CIconMenu::ItemFlags(UINT flags, UINT_PTR command, bool insert) {
  if (command == 0) return insert || (flags & MF_BYPOSITION) ? MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION
                                                               : MF_SEPARATOR | MF_OWNERDRAW;
  return flags | MF_OWNERDRAW;
}

CIconMenuItem* CIconMenu::NewRecord(LPCWSTR text, UINT flags, UINT_PTR command) {
  auto* record = new CIconMenuItem;
  if (text) {
    record->text = text;
    record->hasText = true;
  }
  record->menuFlags = flags;
  record->commandId = command;
  return record;
}

void CIconMenu::OwnSubMenu(UINT flags, UINT_PTR command, int at) {
  if (!(flags & MF_POPUP) || !command) return;
  const auto handle = reinterpret_cast<HMENU>(command);
  OwnedMenus().insert(handle);
  if (at < 0 || size_t(at) > subMenus_.size()) subMenus_.push_back(handle);
  else subMenus_.insert(subMenus_.begin() + at, handle);
}

int CIconMenu::AddBitmap(CImageList& list, LPCTSTR name, bool derived) {
  HMODULE module = AfxGetResourceHandle();
  if (!FindResourceA(module, name, RT_BITMAP)) module = GetModuleHandleA(nullptr);
  int colours = 0;
  HBITMAP bitmap = LoadBitmapWithDepth(name, module, &colours);
  if (!bitmap) return FALSE;
  // Sixteen-colour button pictures follow the scheme's button colours.
  if (colours == 16) styled_menu::MapToSystemColours(bitmap);
  const COLORREF mask = bitmapBackgroundSet_ ? bitmapBackground_ : GetSysColor(COLOR_BTNFACE);
  const bool added = ImageList_AddMasked(list.m_hImageList, bitmap, mask) >= 0;
  DeleteObject(bitmap);
  if (!added) return FALSE;
  if (derived && icon_menu::UsesXpDrawing() && icon_menu::Settings().xp3dImages) {
    if (HICON icon = ImageList_GetIcon(list.m_hImageList, 0, ILD_NORMAL)) {
      for (HBITMAP derived : {icon_menu::WashedOutImage(icon, iconWidth_, iconHeight_),
                              icon_menu::ShadowImage(icon, iconWidth_, iconHeight_)}) {
        if (!derived) continue;
        ImageList_AddMasked(list.m_hImageList, derived, GetSysColor(COLOR_BTNFACE));
        DeleteObject(derived);
      }
      DestroyIcon(icon);
    }
  }
  return TRUE;
}

int CIconMenu::ImageFromBitmapId(UINT_PTR command, int bitmapId) {
  if (bitmapId < 0) return icon_menu::FindSharedImage(UINT(command));
  const int image = ToolbarImageOf(UINT(bitmapId), UINT(command));
  CImageList list;
  if (!list.Create(iconWidth_, iconHeight_, ILC_COLORDDB | ILC_MASK, 1, 1)) return -1;
  if (!AddBitmap(list, MAKEINTRESOURCE(bitmapId))) return -1;
  return icon_menu::AddSharedImage(UINT(command), list.m_hImageList, image, iconWidth_, iconHeight_);
}

BOOL CIconMenu::AppendItem(LPCWSTR text, UINT flags, UINT_PTR command, int bitmapId) {
  flags = ItemFlags(flags, command, false);
  CIconMenuItem* record = NewRecord(text, flags, command);
  record->sharedImageOffset = ImageFromBitmapId(command, bitmapId);
  if (!::AppendMenuW(m_hMenu, flags, command, reinterpret_cast<LPCWSTR>(record))) {
    delete record;
    return FALSE;
  }
  items_.push_back(record);
  OwnSubMenu(flags, command, -1);
  if (loadedFromResource_) Restring();
  return TRUE;
}

BOOL CIconMenu::AppendItem(LPCSTR text, UINT flags, UINT_PTR command, int bitmapId) {
  const std::u16string wide = Widen(text);
  return AppendItem(text ? wide.c_str() : nullptr, flags, command, bitmapId);
}

BOOL CIconMenu::AppendItem(LPCWSTR text, UINT flags, UINT_PTR command, CImageList* images, int index) {
  flags = ItemFlags(flags, command, false);
  CIconMenuItem* record = NewRecord(text, flags, command);
  if (images && images->m_hImageList) record->ownImages = OwnImageCopy(images->m_hImageList, index);
  if (record->ownImages) {
    record->bitmapMarker = 0;
    record->imageIndex = 0;
  }
  if (!::AppendMenuW(m_hMenu, flags, command, reinterpret_cast<LPCWSTR>(record))) {
    delete record;
    return FALSE;
  }
  items_.push_back(record);
  OwnSubMenu(flags, command, -1);
  if (loadedFromResource_) Restring();
  return TRUE;
}

CImageList* CIconMenu::OwnImageCopy(HIMAGELIST source, int index) {
  HICON icon = ImageList_GetIcon(source, index, ILD_NORMAL);
  if (!icon) return nullptr;
  int cx = 0, cy = 0;
  ImageList_GetIconSize(source, &cx, &cy);
  auto* own = new CImageList;
  own->Create(cx, cy, ILC_COLORDDB | ILC_MASK, 1, 1);
  own->Add(icon);
  if (icon_menu::UsesXpDrawing() && icon_menu::Settings().xp3dImages) {
    for (HBITMAP derived : {icon_menu::WashedOutImage(icon, cx, cy), icon_menu::ShadowImage(icon, cx, cy)}) {
      if (!derived) continue;
      ImageList_AddMasked(own->m_hImageList, derived, GetSysColor(COLOR_BTNFACE));
      DeleteObject(derived);
    }
  }
  DestroyIcon(icon);
  return own;
}

BOOL CIconMenu::AppendItem(LPCSTR text, UINT flags, UINT_PTR command, CImageList* images, int index) {
  const std::u16string wide = Widen(text);
  return AppendItem(text ? wide.c_str() : nullptr, flags, command, images, index);
}

BOOL CIconMenu::AppendItem(LPCWSTR text, UINT flags, UINT_PTR command, CBitmap* bitmap) {
  CImageList list;
  if (!ListFromBitmap(bitmap, list)) return AppendItem(text, flags, command, nullptr, 0);
  return AppendItem(text, flags, command, &list, 0);
}

BOOL CIconMenu::InsertRecord(UINT position, LPCWSTR text, UINT flags, UINT_PTR command,
                             const std::function<int()>& image) {
  if (!(flags & MF_BYPOSITION)) {
    int at = -1;
    CIconMenu* holder = FindCommand(position, &at);
    if (!holder) return FALSE;
    return holder->InsertRecord(UINT(at), text, flags | MF_BYPOSITION, command, image);
  }
  const int count = GetMenuItemCount();
  const int at = int(position) == -1 ? count : int(position);
  // Negative positions other than the end name no item.
  if (at < 0 || at > count) return FALSE;
  flags = ItemFlags(flags, command, true) | MF_BYPOSITION;
  CIconMenuItem* record = NewRecord(text, flags, command);
  record->sharedImageOffset = image();
  if (!::InsertMenuW(m_hMenu, UINT(at), flags, command, reinterpret_cast<LPCWSTR>(record))) {
    delete record;
    return FALSE;
  }
  int index = at;
  // Items of the menu that have no record come first in a loaded menu.
  if (loadedFromResource_ && (flags & MF_POPUP)) {
    const int foreign = ForeignItems();
    if (index >= foreign) index -= foreign;
  }
  index = std::min(index, int(items_.size()));
  items_.insert(items_.begin() + index, record);
  OwnSubMenu(flags, command, std::min(at, int(subMenus_.size())));
  if (loadedFromResource_) Restring();
  return TRUE;
}

BOOL CIconMenu::InsertItem(UINT position, LPCWSTR text, UINT flags, UINT_PTR command, int bitmapId) {
  return InsertRecord(position, text, flags, command, [&] { return ImageFromBitmapId(command, bitmapId); });
}

BOOL CIconMenu::InsertItem(UINT position, LPCWSTR text, UINT flags, UINT_PTR command, CImageList* images, int index) {
  return InsertRecord(position, text, flags, command, [&] {
    return images && images->m_hImageList
               ? icon_menu::AddSharedImage(UINT(command), images->m_hImageList, index, iconWidth_, iconHeight_)
               : -1;
  });
}

BOOL CIconMenu::InsertItem(UINT position, LPCWSTR text, UINT flags, UINT_PTR command, CBitmap* bitmap) {
  CImageList list;
  if (!ListFromBitmap(bitmap, list)) return InsertItem(position, text, flags, command, nullptr, 0);
  return InsertItem(position, text, flags, command, &list, 0);
}

BOOL CIconMenu::InsertItem(UINT position, LPCSTR text, UINT flags, UINT_PTR command, int bitmapId) {
  const std::u16string wide = Widen(text);
  return InsertItem(position, text ? wide.c_str() : nullptr, flags, command, bitmapId);
}

CIconMenu* CIconMenu::FindCommand(UINT_PTR command, int* position) {
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    if (HMENU sub = ::GetSubMenu(m_hMenu, p)) {
      if (CIconMenu* icons = IconMenuOf(sub)) {
        if (CIconMenu* found = icons->FindCommand(command, position)) return found;
      }
    } else if (::GetMenuItemID(m_hMenu, p) == command) {
      *position = p;
      return this;
    }
  }
  return nullptr;
}

void CIconMenu::CollectCommand(UINT_PTR command, std::vector<std::pair<CIconMenu*, int>>& found) {
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    if (HMENU sub = ::GetSubMenu(m_hMenu, p)) {
      if (CIconMenu* icons = IconMenuOf(sub)) icons->CollectCommand(command, found);
    } else if (::GetMenuItemID(m_hMenu, p) == command) {
      found.emplace_back(this, p);
    }
  }
}

bool CIconMenu::HasCommand(UINT command) {
  int position = -1;
  return FindCommand(command, &position) != nullptr;
}

BOOL CIconMenu::ModifyRecords(LPCWSTR text, UINT command, const std::function<int()>& image) {
  std::vector<std::pair<CIconMenu*, int>> occurrences;
  CollectCommand(command, occurrences);
  // A command that is nowhere in the menu changes nothing.
  CIconMenuItem* last = nullptr;
  int offset = -2;  // made once, shared by every occurrence
  for (auto [menu, position] : occurrences) {
    if (size_t(position) >= menu->items_.size()) continue;
    CIconMenuItem* record = menu->items_[size_t(position)];
    if (text) {
      record->text = text;
      record->hasText = true;
    }
    record->bitmapMarker = record->imageIndex = -1;
    delete record->ownImages;
    record->ownImages = nullptr;
    if (offset == -2) offset = image();
    record->sharedImageOffset = offset;
    record->menuFlags = (record->menuFlags & ~UINT(MF_BYPOSITION)) | MF_OWNERDRAW;
    record->commandId = command;
    last = record;
  }
  if (!last) return FALSE;
  return ::ModifyMenuW(m_hMenu, command, last->menuFlags, command, reinterpret_cast<LPCWSTR>(last));
}

BOOL CIconMenu::ModifyItem(LPCWSTR text, UINT command, int bitmapId) {
  return ModifyRecords(text, command, [&] { return ImageFromBitmapId(command, bitmapId); });
}

BOOL CIconMenu::ModifyItem(LPCSTR text, UINT command, int bitmapId) {
  const std::u16string wide = Widen(text);
  return ModifyItem(text ? wide.c_str() : nullptr, command, bitmapId);
}

BOOL CIconMenu::ModifyItem(LPCWSTR text, UINT command, CImageList* images, int index) {
  if (!images || !images->m_hImageList) return FALSE;
  return ModifyRecords(text, command, [&] {
    return icon_menu::AddSharedImage(command, images->m_hImageList, index, iconWidth_, iconHeight_);
  });
}

bool CIconMenu::ListFromBitmap(CBitmap* bitmap, CImageList& list) const {
  if (!bitmap || !bitmap->m_hObject) return false;
  if (!list.Create(iconWidth_, iconHeight_, ILC_COLORDDB | ILC_MASK, 1, 1)) return false;
  const COLORREF mask = bitmapBackgroundSet_ ? bitmapBackground_ : GetSysColor(COLOR_BTNFACE);
  return list.Add(bitmap, mask) >= 0;
}

BOOL CIconMenu::ModifyItem(LPCWSTR text, UINT command, CBitmap* bitmap) {
  CImageList list;
  if (!ListFromBitmap(bitmap, list)) return ModifyRecords(text, command, [] { return -1; });
  return ModifyItem(text, command, &list, 0);
}

BOOL CIconMenu::ModifyItemColour(LPCWSTR text, UINT command, COLORREF fill, COLORREF border, int hatchStyle,
                                 const SIZE* size) {
  const SIZE swatch = size ? *size : SIZE{iconWidth_, iconHeight_};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  CBitmap bitmap;
  bitmap.Attach(CreateCompatibleBitmap(screen, iconWidth_, iconHeight_));
  ReleaseDC(nullptr, screen);
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap.m_hObject);
  int x = 0, y = 0;
  if (swatch.cx != iconWidth_ || swatch.cy != iconHeight_) {
    RECT all{0, 0, iconWidth_, iconHeight_};
    HBRUSH menu = CreateSolidBrush(GetSysColor(icon_menu::IsXpThemeActive() ? COLOR_BTNFACE : COLOR_MENU));
    FillRect(dc, &all, menu);
    DeleteObject(menu);
    x = (iconWidth_ - swatch.cx) / 2;
    y = (iconHeight_ - swatch.cy) / 2;
  }
  HPEN pen = CreatePen(PS_SOLID, 1, border);
  HBRUSH brush = hatchStyle == -1 ? CreateSolidBrush(fill) : CreateHatchBrush(hatchStyle, fill);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  Rectangle(dc, x, y, x + swatch.cx, y + swatch.cy);
  SelectObject(dc, oldPen);
  SelectObject(dc, oldBrush);
  DeleteObject(pen);
  DeleteObject(brush);
  SelectObject(dc, oldBitmap);
  DeleteDC(dc);
  return ModifyItem(text, command, &bitmap);
}

CIconMenuItem* CIconMenu::FindRecordByText(const std::u16string& text) {
  return FindRecord([&text](const CIconMenuItem& record) { return record.text == text; });
}

BOOL CIconMenu::ModifyItemByText(LPCWSTR newText, LPCWSTR currentText, int bitmapId) {
  CIconMenuItem* record = currentText ? FindRecordByText(currentText) : nullptr;
  if (!record) return FALSE;
  if (newText) {
    record->text = newText;
    record->hasText = true;
  }
  auto* own = new CImageList;
  if (own->Create(iconWidth_, iconHeight_, ILC_COLORDDB | ILC_MASK, 1, 1) && AddBitmap(*own, MAKEINTRESOURCE(bitmapId))) {
    delete record->ownImages;
    record->ownImages = own;
    record->bitmapMarker = bitmapId;
    record->imageIndex = 0;
  } else {
    delete own;
  }
  return TRUE;
}

void CIconMenu::CopyCheckMarks(CIconMenu* to) const {
  to->checkMarkNormal_ = checkMarkNormal_;
  to->checkMarkSelected_ = checkMarkSelected_;
  to->checkMarks_ = checkMarks_;
  to->checkMarksShared_ = true;
}

CIconMenu* CIconMenu::AppendSubMenu(LPCWSTR text) {
  auto* sub = new CIconMenu;
  CopyCheckMarks(sub);
  if (!sub->CreatePopupMenu() || !AppendItem(text, MF_POPUP, reinterpret_cast<UINT_PTR>(sub->m_hMenu), -1)) {
    delete sub;
    return nullptr;
  }
  return sub;
}

CIconMenu* CIconMenu::AppendSubMenu(LPCSTR text) {
  const std::u16string wide = Widen(text);
  return AppendSubMenu(text ? wide.c_str() : nullptr);
}

// ---- Resources --------------------------------------------------------------------------------

BOOL CIconMenu::LoadMenu(UINT resourceId) { return LoadMenuByName(MAKEINTRESOURCE(resourceId)); }

BOOL CIconMenu::LoadMenuByName(LPCTSTR resourceName) {
  HMODULE module = AfxGetResourceHandle();
  HRSRC found = FindResourceA(module, resourceName, RT_MENU);
  if (!found) {
    module = GetModuleHandleA(nullptr);
    found = FindResourceA(module, resourceName, RT_MENU);
  }
  if (!found) return FALSE;
  const auto* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
  const size_t size = SizeofResource(module, found);
  if (!bytes || size < 4) return FALSE;
  DestroyMenu();
  if (!CreateMenu()) return FALSE;

  auto word = [&](size_t at) { return WORD(bytes[at] | (bytes[at + 1] << 8)); };
  struct Level {
    CIconMenu* menu;
    bool ending;
  };
  std::vector<Level> levels{{this, false}};
  size_t at = 4 + size_t(word(2));
  // The template is read within its resource: a truncated one ends the menu where it stops.
  while (!levels.empty() && at + 2 <= size) {
    const WORD flags = word(at);
    at += 2;
    WORD command = 0;
    if (!(flags & MF_POPUP)) {
      if (at + 2 > size) break;
      command = word(at);
      at += 2;
    }
    std::u16string text;
    while (at + 2 <= size && word(at) != 0) {
      text.push_back(char16_t(word(at)));
      at += 2;
    }
    at += 2;
    const UINT itemFlags = flags & ~UINT(MF_END);
    Level& level = levels.back();
    if (flags & MF_POPUP) {
      auto* sub = new CIconMenu;
      level.menu->CopyCheckMarks(sub);
      if (!sub->CreatePopupMenu() ||
          !level.menu->AppendItem(text.c_str(), itemFlags, reinterpret_cast<UINT_PTR>(sub->m_hMenu), -1)) {
        delete sub;
        break;
      }
      if (flags & MF_END) level.ending = true;
      levels.push_back({sub, false});
    } else {
      level.menu->AppendItem(text.c_str(), itemFlags, command, -1);
      if (flags & MF_END) level.ending = true;
      while (!levels.empty() && levels.back().ending) {
        levels.back().menu->AlignAccelerators();
        levels.pop_back();
      }
    }
  }

  // The bar shows plain strings; only the pop-ups below it are drawn by the menu.
  const int count = std::min(GetMenuItemCount(), int(items_.size()));
  for (int p = 0; p < count; ++p) {
    CIconMenuItem* record = items_[size_t(p)];
    const bool popup = ::GetSubMenu(m_hMenu, p) != nullptr;
    record->menuFlags = popup ? MF_BYPOSITION | MF_POPUP : MF_BYPOSITION;
    ::ModifyMenuW(m_hMenu, UINT(p), record->menuFlags, popup ? reinterpret_cast<UINT_PTR>(::GetSubMenu(m_hMenu, p)) : record->commandId,
                  record->text.c_str());
  }
  loadedFromResource_ = true;
  return TRUE;
}

void CIconMenu::AlignAccelerators() {
  HWND window = MeasuringWindow();
  HDC dc = GetDC(window);
  HFONT font = MenuFont();
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  int widest = 0;
  for (CIconMenuItem* record : items_) {
    const std::u16string head = record->text.substr(0, record->text.find(u'\t')) + u" ";
    widest = std::max(widest, TextWidth(dc, head));
  }
  for (CIconMenuItem* record : items_) {
    const size_t tab = record->text.find(u'\t');
    if (tab == std::u16string::npos) continue;
    std::u16string head = record->text.substr(0, tab);
    // Each space widens the text, so the loop ends; the cap guards a font without a space width.
    for (int spaces = 0; TextWidth(dc, head) < widest && spaces < 256; ++spaces) head.push_back(u' ');
    record->text = head + record->text.substr(tab);
  }
  if (font) {
    SelectObject(dc, old);
    DeleteObject(font);
  }
  ReleaseDC(window, dc);
}

int CIconMenu::ForeignItems() {
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    WCHAR text[256] = {};
    ::GetMenuStringW(m_hMenu, UINT(p), text, 256, MF_BYPOSITION);
    for (size_t r = 0; r < items_.size(); ++r) {
      if (items_[r]->text == text) return std::max(0, p - int(r));
    }
  }
  return 0;
}

void CIconMenu::Restring() {
  const int count = GetMenuItemCount();
  int p = ForeignItems();
  for (size_t r = 0; r < items_.size() && p < count; ++r, ++p) {
    if (HMENU sub = ::GetSubMenu(m_hMenu, p)) {
      items_[r]->menuFlags = MF_BYPOSITION | MF_POPUP;
      ::ModifyMenuW(m_hMenu, UINT(p), MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), items_[r]->text.c_str());
    }
  }
}

BOOL CIconMenu::LoadToolbar(UINT toolbarId) {
  HiddenToolbar toolbar(toolbarId);
  if (!toolbar.Loaded()) return FALSE;
  const SIZE size = toolbar.ImageSize();
  iconWidth_ = std::max(iconWidth_, int(size.cx));
  iconHeight_ = std::max(iconHeight_, int(size.cy));
  CImageList list;
  if (!list.Create(iconWidth_, iconHeight_, ILC_COLORDDB | ILC_MASK, 1, 1)) return FALSE;
  if (!AddBitmap(list, MAKEINTRESOURCE(toolbarId))) return FALSE;
  for (const ToolbarButton& button : ButtonsOf(toolbar.Control())) {
    if (HasCommand(button.command)) ModifyItem(nullptr, button.command, &list, button.image);
  }
  return TRUE;
}

BOOL CIconMenu::AddFromToolBar(CToolBarCtrl* toolbar, int bitmapId) {
  if (!toolbar || !toolbar->m_hWnd) return FALSE;
  CImageList strip;
  const bool loaded = strip.Create(iconWidth_, iconHeight_, ILC_COLORDDB | ILC_MASK, 1, 1) &&
                      AddBitmap(strip, MAKEINTRESOURCE(bitmapId), false);
  for (const ToolbarButton& button : ButtonsOf(*toolbar)) {
    if (!HasCommand(button.command)) continue;
    CIconMenuItem* record = FindItemRecord(button.command);
    if (!record) {
      record = NewRecord(nullptr, MF_OWNERDRAW, button.command);
      items_.push_back(record);
    }
    record->menuFlags = MF_OWNERDRAW;
    record->commandId = button.command;
    delete record->ownImages;
    // The button's picture alone (with its XP pictures): a list of the whole strip would lend the
    // first button the next two buttons' pictures as its washed-out and shadow images.
    record->ownImages = loaded ? OwnImageCopy(strip.m_hImageList, button.image) : nullptr;
    record->bitmapMarker = record->ownImages ? bitmapId : -1;
    record->imageIndex = record->ownImages ? 0 : -1;
    ::ModifyMenuW(m_hMenu, button.command, MF_BYCOMMAND | MF_OWNERDRAW, button.command,
                  reinterpret_cast<LPCWSTR>(record));
  }
  return TRUE;
}

BOOL CIconMenu::LoadToolbars(const UINT* toolbarIds, int count) {
  BOOL all = TRUE;
  for (int i = 0; toolbarIds && i < count; ++i) all &= LoadToolbar(toolbarIds[i]);
  return all;
}

BOOL CIconMenu::LoadCheckmarkBitmap(int normalId, int selectedId) {
  if (normalId < 1 || selectedId < 1) return FALSE;
  checkMarkNormal_ = normalId;
  checkMarkSelected_ = selectedId;
  // A list shared with the parent stays the parent's.
  if (!checkMarksShared_) delete checkMarks_;
  checkMarksShared_ = false;
  checkMarks_ = new CImageList;
  checkMarks_->Create(iconWidth_, iconHeight_, ILC_MASK, 2, 1);
  // The selected mark is image 1: no derived pictures between the two.
  if (!AddBitmap(*checkMarks_, MAKEINTRESOURCE(normalId), false) ||
      !AddBitmap(*checkMarks_, MAKEINTRESOURCE(selectedId), false)) {
    delete checkMarks_;
    checkMarks_ = nullptr;
    return FALSE;
  }
  return TRUE;
}

void CIconMenu::SetIconSize(int width, int height) {
  iconWidth_ = width;
  iconHeight_ = height;
}

void CIconMenu::SetBitmapBackground(COLORREF colour) {
  bitmapBackground_ = colour;
  bitmapBackgroundSet_ = true;
}

void CIconMenu::UnsetBitmapBackground() { bitmapBackgroundSet_ = false; }

// ---- Looking up -------------------------------------------------------------------------------

CIconMenuItem* CIconMenu::FindItemRecord(UINT_PTR command) {
  return FindRecord([command](const CIconMenuItem& record) { return record.commandId == command; });
}

CIconMenuItem* CIconMenu::FindRecord(const std::function<bool(const CIconMenuItem&)>& matches) {
  for (CIconMenuItem* record : items_) {
    if (matches(*record)) return record;
  }
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    if (CIconMenu* sub = IconMenuOf(::GetSubMenu(m_hMenu, p))) {
      if (CIconMenuItem* found = sub->FindRecord(matches)) return found;
    }
  }
  return nullptr;
}

BOOL CIconMenu::GetItemText(UINT item, std::u16string& text, UINT flags) {
  CIconMenuItem* record = nullptr;
  if (flags & MF_BYPOSITION) {
    if (item >= items_.size()) return FALSE;
    record = items_[item];
  } else {
    record = FindItemRecord(item);
  }
  if (!record) return FALSE;
  text = record->text;
  return TRUE;
}

CIconMenu* CIconMenu::GetSubIconMenuByText(LPCWSTR text) {
  if (!text) return nullptr;
  for (CIconMenuItem* record : items_) {
    if ((record->menuFlags & MF_POPUP) && record->text == text) return IconMenuOf(reinterpret_cast<HMENU>(record->commandId));
  }
  return nullptr;
}

CIconMenu* CIconMenu::GetSubIconMenuByText(LPCSTR text) {
  const std::u16string wide = Widen(text);
  return text ? GetSubIconMenuByText(wide.c_str()) : nullptr;
}

int CIconMenu::GetItemPositionByText(LPCWSTR text) {
  if (!text) return -1;
  const int count = GetMenuItemCount();
  bool anyCommand = false;
  for (int p = 0; p < count && !anyCommand; ++p) anyCommand = ::GetSubMenu(m_hMenu, p) == nullptr;
  if (!anyCommand) return -1;
  for (size_t r = 0; r < items_.size(); ++r) {
    if (items_[r]->text == text) return int(r);
  }
  return -1;
}

LRESULT CIconMenu::MatchMnemonic(UINT key, UINT menuFlags, CMenu* menu) {
  auto* icons = dynamic_cast<CIconMenu*>(menu);
  if (!(menuFlags & MF_POPUP) || !icons) return 0;
  if (icons->GetMenuItemCount() != int(icons->items_.size())) icons->SynchronizeItems();
  const char16_t wanted = Lower(char16_t(key));
  for (size_t r = 0; r < icons->items_.size(); ++r) {
    const std::u16string& text = icons->items_[r]->text;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
      if (text[i] != u'&') continue;
      // "&&" is a written ampersand, not a mnemonic.
      if (text[i + 1] == u'&') {
        ++i;
        continue;
      }
      if (Lower(text[i + 1]) == wanted) return MAKELONG(r, MNC_EXECUTE);
    }
  }
  return 0;
}

BOOL CIconMenu::IsOwnedMenu(CIconMenu* menu) { return menu && IsOwnedMenuHandle(menu->m_hMenu); }

BOOL CIconMenu::IsOwnedMenuHandle(HMENU menu) { return menu && OwnedMenus().count(menu) != 0; }

void CIconMenu::SetMenuDrawMode(int mode) { icon_menu::SetMenuDrawMode(mode); }

BOOL CIconMenu::DestroyMenu() {
  OwnedMenus().erase(m_hMenu);
  for (auto sub = subMenus_.rbegin(); sub != subMenus_.rend(); ++sub) {
    OwnedMenus().erase(*sub);
    // The sub-menu's handle goes with this menu's; its object only lets go of it.
    if (CIconMenu* object = IconMenuOf(*sub)) {
      object->Detach();
      delete object;
    }
  }
  subMenus_.clear();
  for (CIconMenuItem* record : items_) delete record;
  items_.clear();
  if (!checkMarksShared_) delete checkMarks_;
  checkMarks_ = nullptr;
  checkMarksShared_ = false;
  loadedFromResource_ = false;
  return m_hMenu ? CMenu::DestroyMenu() : FALSE;
}

// ---- Keeping the records in step --------------------------------------------------------------

CMenu* CIconMenu::GetSubMenuByText(LPCSTR text) {
  if (!text) return nullptr;
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    HMENU sub = ::GetSubMenu(m_hMenu, p);
    if (!sub) continue;
    char found[256] = {};
    ::GetMenuStringA(m_hMenu, UINT(p), found, sizeof found, MF_BYPOSITION);
    if (std::string(found) == text) return CMenu::FromHandle(sub);
  }
  return nullptr;
}

void CIconMenu::SynchronizeItems() {
  for (CIconMenuItem* record : items_) record->inUse = 0;
  auto reuse = [this](UINT_PTR command) -> CIconMenuItem* {
    for (CIconMenuItem* record : items_) {
      if (!record->inUse && record->commandId == command) {
        record->inUse = 1;
        return record;
      }
    }
    return nullptr;
  };
  std::vector<CIconMenuItem*> synchronized;
  const int count = GetMenuItemCount();
  for (int p = 0; p < count; ++p) {
    const UINT state = ::GetMenuState(m_hMenu, UINT(p), MF_BYPOSITION);
    WCHAR text[256] = {};
    ::GetMenuStringW(m_hMenu, UINT(p), text, 256, MF_BYPOSITION);
    CIconMenuItem* record = nullptr;
    if (HMENU sub = ::GetSubMenu(m_hMenu, p)) {
      const auto handle = reinterpret_cast<UINT_PTR>(sub);
      record = reuse(handle);
      if (!record) {
        record = NewRecord(text, MF_BYPOSITION | MF_POPUP | MF_OWNERDRAW | (state & 0xFF & ~UINT(MF_POPUP)), handle);
        record->inUse = 1;
        items_.push_back(record);
        ::ModifyMenuW(m_hMenu, UINT(p), record->menuFlags, handle, reinterpret_cast<LPCWSTR>(record));
      }
    } else if (state & MF_SEPARATOR) {
      record = reuse(0);
      if (!record) {
        record = NewRecord(nullptr, MF_SEPARATOR | MF_OWNERDRAW | MF_BYPOSITION, 0);
        record->inUse = 1;
        items_.push_back(record);
      }
      ::ModifyMenuW(m_hMenu, UINT(p), record->menuFlags | MF_BYPOSITION, 0, reinterpret_cast<LPCWSTR>(record));
    } else {
      const UINT command = ::GetMenuItemID(m_hMenu, p);
      record = reuse(command);
      if (!record) {
        record = NewRecord(text, MF_OWNERDRAW, command);
        record->inUse = 1;
        items_.push_back(record);
      }
      record->menuFlags |= MF_BYPOSITION | MF_OWNERDRAW;
      record->text = text;
      record->hasText = true;
      ::ModifyMenuW(m_hMenu, UINT(p), record->menuFlags | (state & (MF_GRAYED | MF_DISABLED | MF_CHECKED)), command,
                    reinterpret_cast<LPCWSTR>(record));
    }
    synchronized.push_back(record);
  }
  for (CIconMenuItem* record : items_) {
    if (!record->inUse) delete record;
  }
  items_ = std::move(synchronized);
}

BOOL CIconMenu::RemoveItem(UINT item, UINT flags, bool destroy) {
  if (!(flags & MF_BYPOSITION)) {
    int at = -1;
    CIconMenu* holder = FindCommand(item, &at);
    return holder ? holder->RemoveItem(UINT(at), MF_BYPOSITION, destroy) : FALSE;
  }
  const int position = int(item);
  if (position < 0 || position >= GetMenuItemCount()) return FALSE;
  // The record of that position only: another item of the same command keeps pointing at its own.
  auto dropRecordAt = [this](int at, UINT_PTR command) {
    if (size_t(at) < items_.size() && items_[size_t(at)]->commandId == command) {
      delete items_[size_t(at)];
      items_.erase(items_.begin() + at);
      return;
    }
    for (auto it = items_.begin(); it != items_.end(); ++it) {
      if ((*it)->commandId == command) {
        delete *it;
        items_.erase(it);
        return;
      }
    }
  };
  if (HMENU sub = ::GetSubMenu(m_hMenu, position)) {
    subMenus_.erase(std::remove(subMenus_.begin(), subMenus_.end(), sub), subMenus_.end());
    OwnedMenus().erase(sub);
    CIconMenu* object = IconMenuOf(sub);
    for (int p = ::GetMenuItemCount(sub) - 1; p >= 0; --p) {
      if (object) object->RemoveItem(UINT(p), MF_BYPOSITION, destroy);
      else destroy ? ::DeleteMenu(sub, UINT(p), MF_BYPOSITION) : ::RemoveMenu(sub, UINT(p), MF_BYPOSITION);
    }
    dropRecordAt(position, reinterpret_cast<UINT_PTR>(sub));
    if (object) {
      object->Detach();
      delete object;
    }
  } else if (::GetMenuState(m_hMenu, UINT(position), MF_BYPOSITION) & MF_SEPARATOR) {
    if (size_t(position) < items_.size() && (!destroy || items_[size_t(position)]->text.empty())) {
      delete items_[size_t(position)];
      items_.erase(items_.begin() + position);
    }
  } else {
    dropRecordAt(position, ::GetMenuItemID(m_hMenu, position));
  }
  return destroy ? ::DeleteMenu(m_hMenu, UINT(position), MF_BYPOSITION) : ::RemoveMenu(m_hMenu, UINT(position), MF_BYPOSITION);
}

BOOL CIconMenu::RemoveMenu(UINT item, UINT flags) { return RemoveItem(item, flags, false); }

BOOL CIconMenu::DeleteMenu(UINT item, UINT flags) { return RemoveItem(item, flags, true); }

int CIconMenu::RemoveItemByText(LPCWSTR text, int separatorMode, bool destroy) {
  const int index = GetItemPositionByText(text);
  if (index < 0) return -1;
  RemoveItem(UINT(index), MF_BYPOSITION, destroy);
  const int before = separatorMode == 1 || separatorMode == 2 ? 1 : separatorMode == 3 ? 2 : 0;
  for (int i = 1; i <= before && index - i >= 0; ++i) RemoveItem(UINT(index - i), MF_BYPOSITION, destroy);
  return index;
}

int CIconMenu::RemoveMenuByText(LPCWSTR text, int separatorMode) { return RemoveItemByText(text, separatorMode, false); }

int CIconMenu::DeleteMenuByText(LPCWSTR text, int separatorMode) { return RemoveItemByText(text, separatorMode, true); }
