// Image lists. Every image is a 32-bit top-down DIB section with a 1-bit mask beside it; where
// the mask is set (transparent) the image is kept black, so that drawing is mask AND, image XOR.
#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <vector>

#include "gdi/dc.h"
#include "last_error.h"
#include "text/icons.h"
#include "win32/commctrl.h"

namespace win32::text {
namespace {

struct Section {
  HBITMAP bitmap = nullptr;
  BYTE* bits = nullptr;
  size_t stride = 0;
};

Section NewSection(int cx, int cy, int bpp) {
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[2];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = cx;
  info.header.biHeight = -cy;  // top-down
  info.header.biPlanes = 1;
  info.header.biBitCount = WORD(bpp);
  info.header.biCompression = BI_RGB;
  info.colors[1] = RGBQUAD{255, 255, 255, 0};
  Section s;
  void* bits = nullptr;
  s.bitmap = CreateDIBSection(nullptr, reinterpret_cast<const BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
  s.bits = static_cast<BYTE*>(bits);
  s.stride = gdi::DibStride(cx, bpp);
  if (s.bitmap && !s.bits) {
    DeleteObject(s.bitmap);
    s.bitmap = nullptr;
  }
  return s;
}

struct Image {
  Section color;  // 32 bits: blue, green, red, unused
  Section mask;   // 1 bit, set = transparent; empty when the list has no mask
};

class ImageList {
 public:
  ImageList(int cx, int cy, UINT flags) : cx(cx), cy(cy), flags(flags) {}
  ~ImageList() {
    for (Image& image : images) Free(image);
  }
  ImageList(const ImageList&) = delete;
  ImageList& operator=(const ImageList&) = delete;

  static void Free(Image& image) {
    if (image.color.bitmap) DeleteObject(image.color.bitmap);
    if (image.mask.bitmap) DeleteObject(image.mask.bitmap);
  }

  bool HasMask() const { return (flags & ILC_MASK) != 0; }

  bool MaskBit(const Image& image, int x, int y) const {
    return image.mask.bits && ((image.mask.bits[size_t(y) * image.mask.stride + size_t(x / 8)] >> (7 - x % 8)) & 1);
  }
  void SetMaskBit(Image& image, int x, int y) {
    image.mask.bits[size_t(y) * image.mask.stride + size_t(x / 8)] |= BYTE(0x80 >> (x % 8));
  }
  uint32_t& Pixel(const Image& image, int x, int y) const {
    return reinterpret_cast<uint32_t*>(image.color.bits + size_t(y) * image.color.stride)[x];
  }

  // An empty image: black and, with a mask, all transparent.
  bool NewImage(Image& image) {
    image.color = NewSection(cx, cy, 32);
    if (HasMask()) {
      image.mask = NewSection(cx, cy, 1);
      if (image.mask.bitmap) std::memset(image.mask.bits, 0xFF, image.mask.stride * size_t(cy));
    }
    if (!image.color.bitmap || (HasMask() && !image.mask.bitmap)) {
      Free(image);
      return false;
    }
    return true;
  }

  // Transparent pixels become black so that the image XORs onto what the mask leaves.
  void BlackenMasked(Image& image) {
    for (int y = 0; y < cy; ++y)
      for (int x = 0; x < cx; ++x)
        if (MaskBit(image, x, y)) Pixel(image, x, y) = 0;
  }

  int cx, cy;
  UINT flags;
  COLORREF background = CLR_NONE;
  std::vector<Image> images;
};

struct Registry {
  std::mutex lock;
  std::map<uintptr_t, std::shared_ptr<ImageList>> lists;
  uintptr_t next = 0x10000;
};

Registry& Lists() {
  static Registry* registry = new Registry;  // never destroyed: lists may outlive static users
  return *registry;
}

std::shared_ptr<ImageList> Find(HIMAGELIST himl) {
  Registry& r = Lists();
  std::lock_guard guard(r.lock);
  auto found = r.lists.find(reinterpret_cast<uintptr_t>(himl));
  return found == r.lists.end() ? nullptr : found->second;
}

// Copies from a bitmap with BitBlt (which converts formats) into a section.
bool Blit(HBITMAP target, int x, int y, int cx, int cy, HBITMAP source, int sx, int sy, DWORD rop) {
  HDC to = CreateCompatibleDC(nullptr), from = CreateCompatibleDC(nullptr);
  HGDIOBJ oldTo = SelectObject(to, target), oldFrom = SelectObject(from, source);
  bool ok = oldTo && oldFrom && BitBlt(to, x, y, cx, cy, from, sx, sy, rop);
  if (oldTo) SelectObject(to, oldTo);
  if (oldFrom) SelectObject(from, oldFrom);
  DeleteDC(to);
  DeleteDC(from);
  return ok;
}

COLORREF ToPixel(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// The image's mask: the bitmap's (image k of a strip), or all opaque without one.
bool TakeMask(ImageList& list, Image& image, int k, HBITMAP hbmMask) {
  if (!list.HasMask()) return true;
  if (!hbmMask) {
    std::memset(image.mask.bits, 0, image.mask.stride * size_t(list.cy));
    return true;
  }
  return Blit(image.mask.bitmap, 0, 0, list.cx, list.cy, hbmMask, k * list.cx, 0, SRCCOPY);
}

bool CopyImage(ImageList& list, const Image& from, Image& to) {
  if (!list.NewImage(to)) return false;
  std::memcpy(to.color.bits, from.color.bits, from.color.stride * size_t(list.cy));
  if (from.mask.bits) std::memcpy(to.mask.bits, from.mask.bits, from.mask.stride * size_t(list.cy));
  return true;
}

// Appends images cut from a bitmap; makeMask decides each image's mask.
template <class MakeMask>
int AddStrip(HIMAGELIST himl, HBITMAP hbmImage, MakeMask makeMask) {
  auto list = Find(himl);
  BITMAP bm{};
  if (!list || !hbmImage || !GetObjectA(hbmImage, sizeof bm, &bm)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  const int count = std::max(1, bm.bmWidth / list->cx);
  const int first = int(list->images.size());
  for (int k = 0; k < count; ++k) {
    Image image;
    if (!list->NewImage(image) || !Blit(image.color.bitmap, 0, 0, list->cx, list->cy, hbmImage, k * list->cx, 0, SRCCOPY) ||
        !makeMask(*list, image, k)) {
      ImageList::Free(image);
      return -1;
    }
    list->BlackenMasked(image);
    list->images.push_back(image);
  }
  return first;
}

void Blend(uint32_t& pixel, COLORREF with, int percent) {
  auto mix = [&](int shift, int channel) {
    int v = int((pixel >> shift) & 0xFF);
    return uint32_t((v * (100 - percent) + channel * percent) / 100) << shift;
  };
  pixel = mix(16, GetRValue(with)) | mix(8, GetGValue(with)) | mix(0, GetBValue(with));
}

}  // namespace
}  // namespace win32::text

using namespace win32;
using namespace win32::text;

HIMAGELIST ImageList_Create(int cx, int cy, UINT flags, int, int) {
  if (cx <= 0 || cy <= 0 || cx > 4096 || cy > 4096) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  Registry& r = Lists();
  std::lock_guard guard(r.lock);
  uintptr_t id = r.next++;
  r.lists.emplace(id, std::make_shared<ImageList>(cx, cy, flags));
  return reinterpret_cast<HIMAGELIST>(id);
}

BOOL ImageList_Destroy(HIMAGELIST himl) {
  Registry& r = Lists();
  std::shared_ptr<ImageList> list;  // released outside the lock
  std::lock_guard guard(r.lock);
  auto found = r.lists.find(reinterpret_cast<uintptr_t>(himl));
  if (found == r.lists.end()) return FALSE;
  list = std::move(found->second);
  r.lists.erase(found);
  return TRUE;
}

int ImageList_GetImageCount(HIMAGELIST himl) {
  auto list = Find(himl);
  return list ? int(list->images.size()) : 0;
}

BOOL ImageList_GetIconSize(HIMAGELIST himl, int* cx, int* cy) {
  auto list = Find(himl);
  if (!list || !cx || !cy) return FALSE;
  *cx = list->cx;
  *cy = list->cy;
  return TRUE;
}

COLORREF ImageList_SetBkColor(HIMAGELIST himl, COLORREF clrBk) {
  auto list = Find(himl);
  if (!list) return CLR_NONE;
  COLORREF old = list->background;
  list->background = clrBk;
  return old;
}

COLORREF ImageList_GetBkColor(HIMAGELIST himl) {
  auto list = Find(himl);
  return list ? list->background : CLR_NONE;
}

int ImageList_Add(HIMAGELIST himl, HBITMAP hbmImage, HBITMAP hbmMask) {
  return AddStrip(himl, hbmImage,
                  [&](ImageList& list, Image& image, int k) { return TakeMask(list, image, k, hbmMask); });
}

BOOL ImageList_Replace(HIMAGELIST himl, int i, HBITMAP hbmImage, HBITMAP hbmMask) {
  auto list = Find(himl);
  if (!list || !hbmImage || i < 0 || i >= int(list->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  Image image;
  if (!list->NewImage(image) || !Blit(image.color.bitmap, 0, 0, list->cx, list->cy, hbmImage, 0, 0, SRCCOPY) ||
      !TakeMask(*list, image, 0, hbmMask)) {
    ImageList::Free(image);
    return FALSE;
  }
  list->BlackenMasked(image);
  ImageList::Free(list->images[size_t(i)]);
  list->images[size_t(i)] = image;
  return TRUE;
}

HIMAGELIST ImageList_Duplicate(HIMAGELIST himl) {
  auto list = Find(himl);
  if (!list) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HIMAGELIST copy = ImageList_Create(list->cx, list->cy, list->flags, 0, 0);
  auto copied = Find(copy);
  if (!copied) return nullptr;
  copied->background = list->background;
  for (const Image& from : list->images) {
    Image image;
    if (!CopyImage(*copied, from, image)) {
      ImageList_Destroy(copy);
      return nullptr;
    }
    copied->images.push_back(image);
  }
  return copy;
}

int ImageList_AddMasked(HIMAGELIST himl, HBITMAP hbmImage, COLORREF crMask) {
  const COLORREF key = ToPixel(crMask);
  return AddStrip(himl, hbmImage, [&](ImageList& list, Image& image, int) {
    if (!list.HasMask()) return true;
    std::memset(image.mask.bits, 0, image.mask.stride * size_t(list.cy));
    for (int y = 0; y < list.cy; ++y)
      for (int x = 0; x < list.cx; ++x)
        if ((list.Pixel(image, x, y) & 0xFFFFFF) == key) list.SetMaskBit(image, x, y);
    return true;
  });
}

int ImageList_ReplaceIcon(HIMAGELIST himl, int i, HICON hicon) {
  auto list = Find(himl);
  if (!list || !FindIcon(hicon) || i < -1 || i >= int(list->images.size())) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return -1;
  }
  Image image;
  if (!list->NewImage(image)) return -1;
  bool ok = true;
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ old = SelectObject(dc, image.color.bitmap);
  ok = old && DrawIconEx(dc, 0, 0, hicon, list->cx, list->cy, 0, nullptr, DI_NORMAL);
  if (ok && list->HasMask()) {
    SelectObject(dc, image.mask.bitmap);
    ok = DrawIconEx(dc, 0, 0, hicon, list->cx, list->cy, 0, nullptr, DI_MASK);
  }
  if (old) SelectObject(dc, old);
  DeleteDC(dc);
  if (!ok) {
    ImageList::Free(image);
    return -1;
  }
  list->BlackenMasked(image);
  if (i == -1) {
    list->images.push_back(image);
    return int(list->images.size()) - 1;
  }
  ImageList::Free(list->images[size_t(i)]);
  list->images[size_t(i)] = image;
  return i;
}

BOOL ImageList_Remove(HIMAGELIST himl, int i) {
  auto list = Find(himl);
  if (!list || i < -1 || i >= int(list->images.size())) return FALSE;
  if (i == -1) {
    for (Image& image : list->images) ImageList::Free(image);
    list->images.clear();
    return TRUE;
  }
  ImageList::Free(list->images[size_t(i)]);
  list->images.erase(list->images.begin() + i);
  return TRUE;
}

HICON ImageList_GetIcon(HIMAGELIST himl, int i, UINT) {
  auto list = Find(himl);
  if (!list || i < 0 || i >= int(list->images.size())) return nullptr;
  const Image& image = list->images[size_t(i)];
  ICONINFO info{TRUE, 0, 0, image.mask.bitmap, image.color.bitmap};
  Section opaque;
  if (!info.hbmMask) {
    opaque = NewSection(list->cx, list->cy, 1);  // all zero: every pixel shows
    info.hbmMask = opaque.bitmap;
  }
  HICON icon = info.hbmMask ? CreateIconIndirect(&info) : nullptr;
  if (opaque.bitmap) DeleteObject(opaque.bitmap);
  return icon;
}

BOOL ImageList_DrawEx(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, int dx, int dy, COLORREF rgbBk,
                      COLORREF rgbFg, UINT fStyle) {
  auto list = Find(himl);
  if (!list || i < 0 || i >= int(list->images.size()) || !gdi::FindDC(hdcDst)) return FALSE;
  const Image& image = list->images[size_t(i)];
  const int w = dx > 0 ? std::min(dx, list->cx) : list->cx;
  const int h = dy > 0 ? std::min(dy, list->cy) : list->cy;

  if (fStyle & ILD_MASK) {
    if (!image.mask.bitmap) {
      RECT area{x, y, x + w, y + h};
      FillRect(hdcDst, &area, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      return TRUE;
    }
    return DrawMasked(hdcDst, x, y, w, h, image.mask.bitmap, nullptr, 0, 0, w, h, 0, DI_IMAGE) ? TRUE : FALSE;
  }

  // Blending mixes the foreground colour into the visible pixels of a copy.
  HBITMAP colour = image.color.bitmap;
  Section blended;
  const int percent = (fStyle & ILD_BLEND50) ? 50 : (fStyle & ILD_BLEND25) ? 25 : 0;
  if (percent && rgbFg != CLR_NONE) {
    blended = NewSection(list->cx, list->cy, 32);
    if (!blended.bitmap) return FALSE;
    std::memcpy(blended.bits, image.color.bits, blended.stride * size_t(list->cy));
    COLORREF fg = rgbFg == CLR_DEFAULT ? GetSysColor(COLOR_HIGHLIGHT) : rgbFg;
    Image view{blended, image.mask};
    for (int yy = 0; yy < list->cy; ++yy)
      for (int xx = 0; xx < list->cx; ++xx)
        if (!list->MaskBit(image, xx, yy)) Blend(list->Pixel(view, xx, yy), fg, percent);
    colour = blended.bitmap;
  }

  const COLORREF bk = rgbBk == CLR_DEFAULT ? list->background : rgbBk;
  bool ok;
  if ((fStyle & ILD_IMAGE) || !image.mask.bitmap) {
    ok = DrawMasked(hdcDst, x, y, w, h, image.color.bitmap, colour, 0, 0, w, h, 0, DI_IMAGE);
  } else {
    if (!(fStyle & ILD_TRANSPARENT) && bk != CLR_NONE) {
      HBRUSH brush = CreateSolidBrush(bk);
      RECT area{x, y, x + w, y + h};
      FillRect(hdcDst, &area, brush);
      DeleteObject(brush);
    }
    ok = DrawMasked(hdcDst, x, y, w, h, image.mask.bitmap, colour, 0, 0, w, h, 0, DI_NORMAL);
  }
  if (blended.bitmap) DeleteObject(blended.bitmap);
  return ok ? TRUE : FALSE;
}

BOOL ImageList_Draw(HIMAGELIST himl, int i, HDC hdcDst, int x, int y, UINT fStyle) {
  return ImageList_DrawEx(himl, i, hdcDst, x, y, 0, 0, CLR_DEFAULT, CLR_DEFAULT, fStyle);
}
