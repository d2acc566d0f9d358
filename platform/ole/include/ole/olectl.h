#pragma once
// Picture objects over GDI bitmaps: IPicture for code, IPictureDisp for automation.
#include "ole/oleauto.h"
#include "ole/oleidl.h"
#include "win32/windows.h"

typedef LONG OLE_XSIZE_HIMETRIC;
typedef LONG OLE_YSIZE_HIMETRIC;
typedef LONG OLE_XPOS_HIMETRIC;
typedef LONG OLE_YPOS_HIMETRIC;

#define PICTYPE_UNINITIALIZED (-1)
#define PICTYPE_NONE 0
#define PICTYPE_BITMAP 1

// Bitmaps only: an icon or metafile description is refused.
typedef struct tagPICTDESC {
  UINT cbSizeofstruct;
  UINT picType;
  union {
    struct {
      HBITMAP hbitmap;
      HPALETTE hpal;
    } bmp;
  };
} PICTDESC, *LPPICTDESC;

DEFINE_GUID(IID_IPicture, 0x7BF80980, 0xBF32, 0x101A, 0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB);
// Saving, selecting into device contexts and the original-format flag are not offered here
// (E_NOTIMPL).
interface IPicture : public IUnknown {
  STDMETHOD(get_Handle)(OLE_HANDLE* pHandle) = 0;
  STDMETHOD(get_hPal)(OLE_HANDLE* phPal) = 0;
  STDMETHOD(get_Type)(SHORT* pType) = 0;
  // The size in hundredths of a millimetre, at 96 pixels an inch.
  STDMETHOD(get_Width)(OLE_XSIZE_HIMETRIC* pWidth) = 0;
  STDMETHOD(get_Height)(OLE_YSIZE_HIMETRIC* pHeight) = 0;
  // Stretches the source part (in hundredths of a millimetre, y from the bottom as the platform
  // measures pictures) to the rectangle of the device context.
  STDMETHOD(Render)(HDC hDC, LONG x, LONG y, LONG cx, LONG cy, OLE_XPOS_HIMETRIC xSrc, OLE_YPOS_HIMETRIC ySrc,
                    OLE_XSIZE_HIMETRIC cxSrc, OLE_YSIZE_HIMETRIC cySrc, LPCRECT pRcWBounds) = 0;
  STDMETHOD(set_hPal)(OLE_HANDLE hPal) = 0;
  STDMETHOD(get_CurDC)(HDC* phDC) = 0;
  STDMETHOD(SelectPicture)(HDC hDCIn, HDC* phDCOut, OLE_HANDLE* phBmpOut) = 0;
  STDMETHOD(get_KeepOriginalFormat)(BOOL* pKeep) = 0;
  STDMETHOD(put_KeepOriginalFormat)(BOOL keep) = 0;
  STDMETHOD(PictureChanged)() = 0;
  STDMETHOD(SaveAsFile)(LPSTREAM pStream, BOOL fSaveMemCopy, LONG* pCbSize) = 0;
  STDMETHOD(get_Attributes)(DWORD* pDwAttr) = 0;
};

// Its properties: Handle (0), hPal (2), Type (3), Width (4), Height (5), all read-only.
DEFINE_GUID(IID_IPictureDisp, 0x7BF80981, 0xBF32, 0x101A, 0x8B, 0xBB, 0x00, 0xAA, 0x00, 0x30, 0x0C, 0xAB);
interface IPictureDisp : public IDispatch {};

// A picture of the described bitmap answering riid. With fOwn the picture deletes the bitmap when
// it goes; without it the bitmap stays the caller's.
HRESULT OleCreatePictureIndirect(LPPICTDESC lpPictDesc, REFIID riid, BOOL fOwn, LPVOID* lplpvObj);
