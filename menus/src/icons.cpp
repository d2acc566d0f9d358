// The icon stores: image lists of menu icons with a darkened and a greyed copy of each icon.
#include <algorithm>
#include <cstring>
#include <vector>

#include "colour_ops.h"
#include "icon_store_list.h"
#include "menus/styled_menu.h"

using namespace styled_menu;

IMPLEMENT_DYNAMIC(CStyledMenuIcons, CObject)
IMPLEMENT_DYNAMIC(CStyledMenuBitmaps, CStyledMenuIcons)

namespace {
std::vector<DWORD> ReadPixels(HBITMAP bitmap, int width, int height);
COLORREF PixelColour(DWORD p);
DWORD PixelOf(COLORREF c);
}  // namespace

namespace styled_menu {

std::vector<CStyledMenuIcons*>& IconStores() {
  static auto* stores = new std::vector<CStyledMenuIcons*>;
  return *stores;
}

DWORD& LastIconRefresh() {
  static DWORD tick = 0;
  return tick;
}

void ForgetIconStores() { IconStores().clear(); }

void MapToSystemColours(HBITMAP bitmap) {
  BITMAP size{};
  if (!GetObjectA(bitmap, sizeof size, &size)) return;
  std::vector<DWORD> pixels = ReadPixels(bitmap, size.bmWidth, size.bmHeight);
  if (pixels.empty()) return;
  const struct {
    COLORREF from;
    int to;
  } kMap[] = {{RGB(0, 0, 0), COLOR_BTNTEXT},
              {RGB(128, 128, 128), COLOR_BTNSHADOW},
              {RGB(192, 192, 192), COLOR_BTNFACE},
              {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}};
  for (DWORD& p : pixels) {
    for (const auto& entry : kMap)
      if (PixelColour(p) == entry.from) {
        p = PixelOf(GetSysColor(entry.to));
        break;
      }
  }
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.bmWidth, -size.bmHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  SetDIBits(screen, bitmap, 0, UINT(size.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
}

}  // namespace styled_menu

namespace {

constexpr int kToolbarResource = 241;

// The 32-bit pixels of a bitmap, top row first.
std::vector<DWORD> ReadPixels(HBITMAP bitmap, int width, int height) {
  std::vector<DWORD> pixels(size_t(width) * size_t(height));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  const int rows = GetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  if (rows != height) pixels.clear();
  return pixels;
}

HBITMAP MakeBitmap(const std::vector<DWORD>& pixels, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  SetDIBits(screen, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

COLORREF PixelColour(DWORD p) { return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF); }
DWORD PixelOf(COLORREF c) { return DWORD(GetRValue(c)) << 16 | DWORD(GetGValue(c)) << 8 | GetBValue(c); }

// A copy of the icon with every pixel changed (its mask keeps the transparent ones), put into
// the list at index (-1 appends); the index or -1.
template <class Change>
int AddChangedIcon(CImageList& list, HICON icon, int index, Change change) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return -1;
  BITMAP size{};
  int result = -1;
  if (info.hbmColor && GetObjectA(info.hbmColor, sizeof size, &size)) {
    std::vector<DWORD> colour = ReadPixels(info.hbmColor, size.bmWidth, size.bmHeight);
    if (!colour.empty()) {
      for (DWORD& pixel : colour) pixel = PixelOf(change(PixelColour(pixel)));
      HBITMAP changed = MakeBitmap(colour, size.bmWidth, size.bmHeight);
      ICONINFO made{TRUE, 0, 0, info.hbmMask, changed};
      if (HICON changedIcon = CreateIconIndirect(&made)) {
        result = list.Replace(index, changedIcon);
        DestroyIcon(changedIcon);
      }
      DeleteObject(changed);
    }
  }
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  return result;
}

bool IconSize(HICON icon, int* width, int* height) {
  ICONINFO info{};
  if (!icon || !GetIconInfo(icon, &info)) return false;
  BITMAP size{};
  const bool ok = info.hbmColor && GetObjectA(info.hbmColor, sizeof size, &size);
  if (info.hbmColor) DeleteObject(info.hbmColor);
  if (info.hbmMask) DeleteObject(info.hbmMask);
  *width = size.bmWidth;
  *height = size.bmHeight;
  return ok;
}

}  // namespace

// ---- CStyledMenuIcons ------------------------------------------------------------------------------

CStyledMenuIcons::CStyledMenuIcons() { IconStores().push_back(this); }

CStyledMenuIcons::~CStyledMenuIcons() {
  std::erase(IconStores(), this);
  SetName(nullptr);
}

const std::vector<CStyledMenuIcons*>& CStyledMenuIcons::Stores() { return IconStores(); }

void CStyledMenuIcons::SetName(LPCTSTR resourceName) {
  if (resourceName_ && !IS_INTRESOURCE(resourceName_)) delete[] resourceName_;
  resourceName_ = nullptr;
  if (!resourceName) return;
  if (IS_INTRESOURCE(resourceName)) {
    resourceName_ = const_cast<LPTSTR>(resourceName);
    return;
  }
  const size_t length = std::strlen(resourceName);
  resourceName_ = new char[length + 1];
  std::memcpy(resourceName_, resourceName, length + 1);
}

int CStyledMenuIcons::FindIndex(UINT commandId) const {
  for (size_t i = commandIds_.size(); i-- > 0;)
    if (commandIds_[i] == commandId) return 3 * int(i);
  return -1;
}

BOOL CStyledMenuIcons::LoadBitmap(int width, int height, LPCTSTR resourceName, HMODULE module) {
  HBITMAP bitmap = LoadBitmapWithDepth(resourceName, module, &colourCount_);
  if (!bitmap) return FALSE;
  imageList_.DeleteImageList();
  imageList_.Create(width, height, ILC_COLORDDB | ILC_MASK, 0, 10);
  if (maskColour_ == CLR_NONE) ImageList_Add(imageList_, bitmap, nullptr);
  else ImageList_AddMasked(imageList_, bitmap, maskColour_);
  DeleteObject(bitmap);
  return TRUE;
}

BOOL CStyledMenuIcons::LoadToolBar(LPCTSTR resourceName, HMODULE module) {
  SetName(resourceName);
  module_ = module;
  HMODULE resourceModule = AfxGetResourceHandle();
  HMODULE from = module ? module : resourceModule;
  HRSRC resource = FindResourceA(from, resourceName, MAKEINTRESOURCE(kToolbarResource));
  if (!resource && from != resourceModule) {
    from = resourceModule;
    resource = FindResourceA(from, resourceName, MAKEINTRESOURCE(kToolbarResource));
  }
  if (!resource) return FALSE;
  const auto* words = static_cast<const WORD*>(LockResource(LoadResource(from, resource)));
  const DWORD bytes = SizeofResource(from, resource);
  if (!words || bytes < 4 * sizeof(WORD)) return FALSE;
  // Header: version, width, height, count; then count command ids.
  const int width = words[1], height = words[2];
  const size_t count = std::min<size_t>(words[3], bytes / sizeof(WORD) - 4);
  BOOL taken = FALSE;
  if (LoadBitmap(width, height, resourceName, from)) {
    commandIds_.clear();
    for (size_t i = 0; i < count; ++i)
      if (words[4 + i]) commandIds_.push_back(words[4 + i]);
    taken = !commandIds_.empty();
  }
  MakeImages();
  return taken;
}

BOOL CStyledMenuIcons::LoadToolBar(const WORD* idList, COLORREF maskColour) {
  if (!idList) return FALSE;
  maskColour_ = maskColour;
  if (!LoadBitmap(idList[1], idList[2], MAKEINTRESOURCE(idList[0]), module_)) return FALSE;
  SetName(MAKEINTRESOURCE(idList[0]));
  BOOL added = FALSE;
  for (const WORD* id = idList + 3; *id; ++id) {
    commandIds_.push_back(*id);
    added = TRUE;
  }
  MakeImages();
  return added;
}

BOOL CStyledMenuIcons::DoMatch(const WORD* idList, COLORREF maskColour) const {
  if (!idList || maskColour != maskColour_ || !idList[0]) return FALSE;
  if (!resourceName_ || !IS_INTRESOURCE(resourceName_) || LOWORD(reinterpret_cast<ULONG_PTR>(resourceName_)) != idList[0])
    return FALSE;
  size_t n = 0;
  for (const WORD* id = idList + 3; *id; ++id, ++n)
    if (n >= commandIds_.size() || commandIds_[n] != *id) return FALSE;
  return n == commandIds_.size();
}

BOOL CStyledMenuIcons::DoMatch(LPCTSTR resourceName, HMODULE module) const {
  if (module != module_ || !resourceName || !resourceName_) return FALSE;
  if (IS_INTRESOURCE(resourceName) || IS_INTRESOURCE(resourceName_)) return resourceName == resourceName_;
  return std::strcmp(resourceName, resourceName_) == 0;
}

int CStyledMenuIcons::MakeDarkImage(HICON icon, int index) {
  return AddChangedIcon(imageList_, icon, index, [](COLORREF c) { return Darken(50, c); });
}

int CStyledMenuIcons::MakeGrayImage(HICON icon, int index) {
  const COLORREF menu = GetMenuBackColorThemed(nullptr);
  return AddChangedIcon(imageList_, icon, index, [menu](COLORREF c) { return Mix86(Lighten(100, Grey(c)), menu); });
}

void CStyledMenuIcons::AppendIcon(HICON icon) {
  imageList_.Add(icon);
  MakeDarkImage(icon, -1);
  MakeGrayImage(icon, -1);
}

BOOL CStyledMenuIcons::MakeImages() {
  const int count = imageList_.m_hImageList ? imageList_.GetImageCount() : 0;
  if (count == 0) return FALSE;
  std::vector<HICON> icons;
  for (int i = 0; i < count; ++i) icons.push_back(imageList_.ExtractIcon(i));
  int width = 0, height = 0;
  ImageList_GetIconSize(imageList_, &width, &height);
  imageList_.DeleteImageList();
  imageList_.Create(width, height, ILC_COLORDDB | ILC_MASK, 0, 10);
  for (HICON icon : icons) {
    AppendIcon(icon);
    DestroyIcon(icon);
  }
  return TRUE;
}

void CStyledMenuIcons::OnSysColorChange() {
  if (!resourceName_) return;
  int width = 16, height = 16;
  if (imageList_.m_hImageList && imageList_.GetImageCount() > 0) ImageList_GetIconSize(imageList_, &width, &height);
  if (LoadBitmap(width, height, resourceName_, module_)) MakeImages();
}

int CStyledMenuIcons::AddRef(CStyledMenuIcons* store) { return store ? ++store->references_ : 0; }

int CStyledMenuIcons::Release(CStyledMenuIcons* store) {
  if (!store) return 0;
  const int count = --store->references_;
  if (count <= 0) {
    delete store;
    return 0;
  }
  return count;
}

// ---- CStyledMenuBitmaps ----------------------------------------------------------------------------

int CStyledMenuBitmaps::AddBitmap(HBITMAP bitmap, COLORREF maskColour, UINT id) {
  BITMAP size{};
  if (!bitmap || !GetObjectA(bitmap, sizeof size, &size)) return -1;
  if (!imageList_.m_hImageList) {
    imageList_.Create(size.bmWidth, size.bmHeight, ILC_COLORDDB | ILC_MASK, 0, 10);
  } else {
    int width = 0, height = 0;
    ImageList_GetIconSize(imageList_, &width, &height);
    if (width != size.bmWidth || height != size.bmHeight) return -1;
  }
  const int index = maskColour == CLR_NONE ? ImageList_Add(imageList_, bitmap, nullptr)
                                           : ImageList_AddMasked(imageList_, bitmap, maskColour);
  if (index < 0) return -1;
  maskColours_.push_back(maskColour);
  commandIds_.push_back(id);
  HICON icon = imageList_.ExtractIcon(index);
  MakeDarkImage(icon, -1);
  MakeGrayImage(icon, -1);
  DestroyIcon(icon);
  return index;
}

int CStyledMenuBitmaps::Add(UINT bitmapId, COLORREF maskColour) {
  if (bitmapId) {
    const int found = FindIndex(bitmapId);
    if (found >= 0) return found;
  }
  HBITMAP bitmap = LoadBitmapWithDepth(MAKEINTRESOURCE(bitmapId), nullptr, &colourCount_);
  if (!bitmap) return -1;
  const int index = AddBitmap(bitmap, maskColour, bitmapId);
  DeleteObject(bitmap);
  return index;
}

int CStyledMenuBitmaps::Add(CBitmap* bitmap, COLORREF maskColour) {
  // A bitmap object has no id: it never matches an earlier entry.
  return bitmap ? AddBitmap(*bitmap, maskColour, 0) : -1;
}

int CStyledMenuBitmaps::Add(HICON icon, UINT id) {
  int width = 0, height = 0;
  if (!IconSize(icon, &width, &height)) return -1;
  if (!imageList_.m_hImageList) {
    imageList_.Create(width, height, ILC_COLORDDB | ILC_MASK, 0, 10);
  } else {
    int listWidth = 0, listHeight = 0;
    ImageList_GetIconSize(imageList_, &listWidth, &listHeight);
    if (listWidth != width || listHeight != height) return -1;
  }
  if (id) {
    const int found = FindIndex(id);
    if (found >= 0) {
      imageList_.Replace(found, icon);
      MakeDarkImage(icon, found + 1);
      MakeGrayImage(icon, found + 2);
      return found;
    }
  }
  maskColours_.push_back(CLR_NONE);
  commandIds_.push_back(id);
  const int index = imageList_.Add(icon);
  MakeDarkImage(icon, -1);
  MakeGrayImage(icon, -1);
  return index;
}

void CStyledMenuBitmaps::OnSysColorChange() {
  const int count = imageList_.m_hImageList ? imageList_.GetImageCount() / 3 : 0;
  for (int n = 0; n < count; ++n) {
    HICON icon = imageList_.ExtractIcon(3 * n);
    MakeDarkImage(icon, 3 * n + 1);
    MakeGrayImage(icon, 3 * n + 2);
    DestroyIcon(icon);
  }
}

// ---- Item data ------------------------------------------------------------------------------------

IMPLEMENT_DYNAMIC(CStyledMenuItemData, CObject)

CStyledMenuItemData::~CStyledMenuItemData() { CStyledMenuIcons::Release(icons); }

void CStyledMenuItemData::SetIcons(CStyledMenuIcons* store, int index) {
  if (store != icons) {
    CStyledMenuIcons::AddRef(store);
    CStyledMenuIcons::Release(icons);
    icons = store;
  }
  iconIndex = store ? index : -1;
}
