// Picture objects over GDI bitmaps.
#include "ole/dispatch.h"
#include "ole/objidl.h"
#include "ole/olectl.h"

namespace ole {
namespace {

constexpr LONG kHimetricPerInch = 2540;
constexpr LONG kPixelsPerInch = 96;

LONG Himetric(LONG pixels) { return MulDiv(pixels, kHimetricPerInch, kPixelsPerInch); }
LONG Pixels(LONG himetric) { return MulDiv(himetric, kPixelsPerInch, kHimetricPerInch); }

class Picture : public DispatchObject, public IPicture {
 public:
  Picture(HBITMAP bitmap, HPALETTE palette, bool own)
      : DispatchObject(IID_IPictureDisp, "Picture"), bitmap_(bitmap), palette_(palette), own_(own) {
    BITMAP bm{};
    if (GetObject(bitmap, sizeof bm, &bm)) {
      width_ = bm.bmWidth;
      height_ = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    }
    table_.Property(DISPID_VALUE, "Handle", VT_I4, [this](DispatchCall& c) { return Number(c, Handle()); })
        .Property(2, "hPal", VT_I4, [this](DispatchCall& c) { return Number(c, OLE_HANDLE(UINT_PTR(palette_))); })
        .Property(3, "Type", VT_I2, [](DispatchCall& c) { return Number(c, PICTYPE_BITMAP); })
        .Property(4, "Width", VT_I4, [this](DispatchCall& c) { return Number(c, Himetric(width_)); })
        .Property(5, "Height", VT_I4, [this](DispatchCall& c) { return Number(c, Himetric(height_)); });
  }
  ~Picture() override {
    if (own_) DeleteObject(bitmap_);
  }

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IPicture) {
      *ppv = static_cast<IPicture*>(this);
      AddRef();
      return S_OK;
    }
    return DispatchObject::QueryInterface(riid, ppv);
  }
  STDMETHOD_(ULONG, AddRef)() override { return DispatchObject::AddRef(); }
  STDMETHOD_(ULONG, Release)() override { return DispatchObject::Release(); }

  STDMETHOD(get_Handle)(OLE_HANDLE* pHandle) override { return Out(pHandle, Handle()); }
  STDMETHOD(get_hPal)(OLE_HANDLE* phPal) override { return Out(phPal, OLE_HANDLE(UINT_PTR(palette_))); }
  STDMETHOD(get_Type)(SHORT* pType) override { return Out(pType, SHORT(PICTYPE_BITMAP)); }
  STDMETHOD(get_Width)(OLE_XSIZE_HIMETRIC* pWidth) override { return Out(pWidth, Himetric(width_)); }
  STDMETHOD(get_Height)(OLE_YSIZE_HIMETRIC* pHeight) override { return Out(pHeight, Himetric(height_)); }
  STDMETHOD(Render)(HDC hDC, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                    OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, LPCRECT) override {
    if (!hDC) return E_INVALIDARG;
    HDC memory = CreateCompatibleDC(hDC);
    HGDIOBJ old = SelectObject(memory, bitmap_);
    // Picture coordinates run up from the bottom edge; a negative height turns the picture over.
    const LONG left = Pixels(xSrc), width = Pixels(cxSrc);
    const LONG bottom = height_ - Pixels(ySrc), height = -Pixels(cySrc);
    const LONG top = height < 0 ? bottom + height : bottom;
    const BOOL done = StretchBlt(hDC, x, y, cx, cy, memory, left, top, width, height < 0 ? -height : height, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
    return done ? S_OK : E_FAIL;
  }
  STDMETHOD(set_hPal)(OLE_HANDLE hPal) override {
    palette_ = reinterpret_cast<HPALETTE>(UINT_PTR(hPal));
    return S_OK;
  }
  STDMETHOD(get_CurDC)(HDC* phDC) override {
    if (!phDC) return E_POINTER;
    *phDC = nullptr;
    return S_OK;
  }
  STDMETHOD(SelectPicture)(HDC, HDC*, OLE_HANDLE*) override { return E_NOTIMPL; }
  STDMETHOD(get_KeepOriginalFormat)(BOOL*) override { return E_NOTIMPL; }
  STDMETHOD(put_KeepOriginalFormat)(BOOL) override { return E_NOTIMPL; }
  STDMETHOD(PictureChanged)() override { return S_OK; }
  STDMETHOD(SaveAsFile)(LPSTREAM, BOOL, LONG*) override { return E_NOTIMPL; }
  STDMETHOD(get_Attributes)(DWORD* pDwAttr) override { return Out(pDwAttr, DWORD(0)); }

 private:
  template <class T>
  static HRESULT Out(T* out, T value) {
    if (!out) return E_POINTER;
    *out = value;
    return S_OK;
  }
  static HRESULT Number(DispatchCall& call, LONG value) {
    call.result->vt = VT_I4;
    call.result->lVal = value;
    return S_OK;
  }
  OLE_HANDLE Handle() const { return OLE_HANDLE(UINT_PTR(bitmap_)); }

  HBITMAP bitmap_;
  HPALETTE palette_;
  const bool own_;
  LONG width_ = 0;
  LONG height_ = 0;
};

}  // namespace
}  // namespace ole

HRESULT OleCreatePictureIndirect(LPPICTDESC lpPictDesc, REFIID riid, BOOL fOwn, LPVOID* lplpvObj) {
  if (!lplpvObj) return E_POINTER;
  *lplpvObj = nullptr;
  if (!lpPictDesc || lpPictDesc->cbSizeofstruct < sizeof(PICTDESC) || lpPictDesc->picType != PICTYPE_BITMAP)
    return E_INVALIDARG;
  BITMAP bm{};
  if (!GetObject(lpPictDesc->bmp.hbitmap, sizeof bm, &bm)) return E_INVALIDARG;
  auto* picture = new ole::Picture(lpPictDesc->bmp.hbitmap, lpPictDesc->bmp.hpal, fOwn != FALSE);
  const HRESULT hr = picture->QueryInterface(riid, lplpvObj);
  picture->Release();
  return hr;
}
