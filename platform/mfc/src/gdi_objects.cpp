// GDI object wrappers, rectangles and image lists.
#include <cstdlib>
#include <utility>

#include "handle_maps.h"
#include "mfc/afxwin.h"

namespace {

mfc::HandleMap<CGdiObject, HGDIOBJ>& GdiMap() { return mfc::ThreadHandleMap<CGdiObject, HGDIOBJ>(); }

mfc::HandleMap<CImageList, HIMAGELIST>& ImageListMap() { return mfc::ThreadHandleMap<CImageList, HIMAGELIST>(); }

// A temporary wrapper of the class that matches the object's type.
CGdiObject* NewWrapper(HGDIOBJ handle) {
  CGdiObject* object;
  switch (::GetObjectType(handle)) {
    case OBJ_PEN:
    case OBJ_EXTPEN:
      object = new CPen;
      break;
    case OBJ_BRUSH:
      object = new CBrush;
      break;
    case OBJ_FONT:
      object = new CFont;
      break;
    case OBJ_BITMAP:
      object = new CBitmap;
      break;
    case OBJ_REGION:
      object = new CRgn;
      break;
    case OBJ_PAL:
      object = new CPalette;
      break;
    default:
      object = new CGdiObject;
      break;
  }
  object->m_hObject = handle;
  return object;
}

}  // namespace

IMPLEMENT_DYNAMIC(CResourceException, CException)

void AfxThrowResourceException() { throw new CResourceException; }

HGDIOBJ AfxGdiHandle(const CGdiObject* pObject) { return pObject ? pObject->m_hObject : nullptr; }

// ---- CRect ----------------------------------------------------------------------------------------

void CRect::NormalizeRect() {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
}

BOOL CRect::IntersectRect(LPCRECT a, LPCRECT b) { return ::IntersectRect(this, a, b); }
BOOL CRect::UnionRect(LPCRECT a, LPCRECT b) { return ::UnionRect(this, a, b); }
BOOL CRect::SubtractRect(LPCRECT a, LPCRECT b) { return ::SubtractRect(this, a, b); }

// ---- CGdiObject and its kinds ---------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CGdiObject, CObject)
IMPLEMENT_DYNCREATE(CPen, CGdiObject)
IMPLEMENT_DYNCREATE(CBrush, CGdiObject)
IMPLEMENT_DYNCREATE(CFont, CGdiObject)
IMPLEMENT_DYNCREATE(CBitmap, CGdiObject)
IMPLEMENT_DYNCREATE(CRgn, CGdiObject)
IMPLEMENT_DYNCREATE(CPalette, CGdiObject)

CGdiObject::~CGdiObject() { DeleteObject(); }

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject) { return GdiMap().FromHandle(hObject, NewWrapper); }

void CGdiObject::DeleteTempMap() {
  GdiMap().DeleteTemp([](CGdiObject& object) { object.m_hObject = nullptr; });
}

BOOL CGdiObject::Attach(HGDIOBJ hObject) {
  if (!hObject || m_hObject) return FALSE;
  m_hObject = hObject;
  GdiMap().SetPermanent(hObject, this);
  return TRUE;
}

HGDIOBJ CGdiObject::Detach() {
  HGDIOBJ handle = m_hObject;
  if (handle) GdiMap().RemoveHandle(handle);
  m_hObject = nullptr;
  return handle;
}

BOOL CGdiObject::DeleteObject() {
  if (!m_hObject) return FALSE;
  return ::DeleteObject(Detach());
}

CPen::CPen(int nPenStyle, int nWidth, COLORREF crColor) {
  if (!CreatePen(nPenStyle, nWidth, crColor)) AfxThrowResourceException();
}

CBrush::CBrush(COLORREF crColor) {
  if (!CreateSolidBrush(crColor)) AfxThrowResourceException();
}

CBrush::CBrush(int nIndex, COLORREF crColor) {
  if (!CreateHatchBrush(nIndex, crColor)) AfxThrowResourceException();
}

CBrush::CBrush(CBitmap* pBitmap) {
  if (!CreatePatternBrush(pBitmap)) AfxThrowResourceException();
}

BOOL CBrush::CreatePatternBrush(CBitmap* pBitmap) {
  HBITMAP bitmap = static_cast<HBITMAP>(AfxGdiHandle(pBitmap));
  return bitmap ? Attach(::CreatePatternBrush(bitmap)) : FALSE;
}

BOOL CFont::CreatePointFont(int nPointSize, LPCTSTR lpszFaceName, CDC* pDC) {
  LOGFONT logFont{};
  logFont.lfCharSet = DEFAULT_CHARSET;
  logFont.lfHeight = nPointSize;
  for (int i = 0; lpszFaceName && lpszFaceName[i] && i < LF_FACESIZE - 1; ++i) logFont.lfFaceName[i] = lpszFaceName[i];
  return CreatePointFontIndirect(&logFont, pDC);
}

BOOL CFont::CreatePointFontIndirect(const LOGFONT* lpLogFont, CDC* pDC) {
  if (!lpLogFont) return FALSE;
  HDC dc = AfxDCHandle(pDC);
  HDC screen = dc ? nullptr : ::CreateCompatibleDC(nullptr);
  if (!dc) dc = screen;
  // Tenths of a point to device pixels, then to the DC's logical units.
  LOGFONT logFont = *lpLogFont;
  POINT pt{0, ::MulDiv(::GetDeviceCaps(dc, LOGPIXELSY), logFont.lfHeight, 720)};
  POINT origin{0, 0};
  ::DPtoLP(dc, &pt, 1);
  ::DPtoLP(dc, &origin, 1);
  logFont.lfHeight = -std::abs(pt.y - origin.y);
  if (screen) ::DeleteDC(screen);
  return CreateFontIndirect(&logFont);
}

BOOL CBitmap::CreateCompatibleBitmap(CDC* pDC, int nWidth, int nHeight) {
  return Attach(::CreateCompatibleBitmap(AfxDCHandle(pDC), nWidth, nHeight));
}

int CPalette::GetEntryCount() const {
  WORD count = 0;
  return GetObject(sizeof count, &count) ? count : 0;
}

// ---- CImageList -----------------------------------------------------------------------------------

IMPLEMENT_DYNCREATE(CImageList, CObject)

CImageList::~CImageList() { DeleteImageList(); }

CImageList* CImageList::FromHandle(HIMAGELIST hImageList) {
  return ImageListMap().FromHandle(hImageList, [](HIMAGELIST handle) {
    auto* list = new CImageList;
    list->m_hImageList = handle;
    return list;
  });
}

void CImageList::DeleteTempMap() {
  ImageListMap().DeleteTemp([](CImageList& list) { list.m_hImageList = nullptr; });
}

BOOL CImageList::Attach(HIMAGELIST hImageList) {
  if (!hImageList || m_hImageList) return FALSE;
  m_hImageList = hImageList;
  ImageListMap().SetPermanent(hImageList, this);
  return TRUE;
}

HIMAGELIST CImageList::Detach() {
  HIMAGELIST handle = m_hImageList;
  if (handle) ImageListMap().RemoveHandle(handle);
  m_hImageList = nullptr;
  return handle;
}

BOOL CImageList::DeleteImageList() {
  if (!m_hImageList) return FALSE;
  return ::ImageList_Destroy(Detach());
}

BOOL CImageList::Create(UINT nBitmapID, int cx, int nGrow, COLORREF crMask) {
  CBitmap bitmap;
  BITMAP bm{};
  if (!bitmap.LoadBitmap(nBitmapID) || !bitmap.GetBitmap(&bm)) return FALSE;
  if (!Create(cx, bm.bmHeight, ILC_COLORDDB | ILC_MASK, bm.bmWidth / cx, nGrow)) return FALSE;
  if (Add(&bitmap, crMask) == 0) return TRUE;
  DeleteImageList();
  return FALSE;
}
