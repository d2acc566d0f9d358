#include "dshow/mtype.h"

#include <climits>
#include <cstring>

CMediaType::CMediaType() { InitMediaType(); }

CMediaType::CMediaType(const GUID* type) {
  InitMediaType();
  majortype = *type;
}

CMediaType::CMediaType(const AM_MEDIA_TYPE& mt, HRESULT* phr) {
  InitMediaType();
  HRESULT hr = Set(mt);
  if (FAILED(hr) && phr) *phr = hr;
}

CMediaType::CMediaType(const CMediaType& mt, HRESULT* phr) : CMediaType(static_cast<const AM_MEDIA_TYPE&>(mt), phr) {}

CMediaType::~CMediaType() { FreeMediaType(*this); }

CMediaType& CMediaType::operator=(const CMediaType& mt) {
  Set(mt);
  return *this;
}

CMediaType& CMediaType::operator=(const AM_MEDIA_TYPE& mt) {
  Set(mt);
  return *this;
}

BOOL CMediaType::operator==(const CMediaType& mt) const {
  return majortype == mt.majortype && subtype == mt.subtype && formattype == mt.formattype &&
         cbFormat == mt.cbFormat && (cbFormat == 0 || std::memcmp(pbFormat, mt.pbFormat, cbFormat) == 0);
}

HRESULT CMediaType::Set(const CMediaType& mt) { return Set(static_cast<const AM_MEDIA_TYPE&>(mt)); }

HRESULT CMediaType::Set(const AM_MEDIA_TYPE& mt) {
  if (&mt == this) return S_OK;
  FreeMediaType(*this);
  HRESULT hr = CopyMediaType(this, &mt);
  if (FAILED(hr)) InitMediaType();
  return hr;
}

BOOL CMediaType::IsValid() const { return majortype != GUID_NULL; }

ULONG CMediaType::GetSampleSize() const { return IsFixedSize() ? lSampleSize : 0; }

void CMediaType::SetSampleSize(ULONG sz) {
  if (sz == 0) {
    SetVariableSize();
  } else {
    bFixedSizeSamples = TRUE;
    lSampleSize = sz;
  }
}

void CMediaType::SetVariableSize() { bFixedSizeSamples = FALSE; }

void CMediaType::SetTemporalCompression(BOOL bCompressed) { bTemporalCompression = bCompressed; }

BOOL CMediaType::SetFormat(const BYTE* pformat, ULONG length) {
  if (length == 0) {
    ResetFormatBuffer();
    return TRUE;
  }
  BYTE* copy = static_cast<BYTE*>(CoTaskMemAlloc(length));
  if (!copy) return FALSE;
  std::memcpy(copy, pformat, length);
  ResetFormatBuffer();
  pbFormat = copy;
  cbFormat = length;
  return TRUE;
}

void CMediaType::ResetFormatBuffer() {
  if (pbFormat) CoTaskMemFree(pbFormat);
  pbFormat = nullptr;
  cbFormat = 0;
}

BYTE* CMediaType::AllocFormatBuffer(ULONG length) {
  if (length == 0) return nullptr;
  if (cbFormat == length) {
    std::memset(pbFormat, 0, length);
    return pbFormat;
  }
  BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
  if (!block) return nullptr;
  std::memset(block, 0, length);
  ResetFormatBuffer();
  pbFormat = block;
  cbFormat = length;
  return block;
}

BYTE* CMediaType::ReallocFormatBuffer(ULONG length) {
  if (length == 0) return nullptr;
  BYTE* block = static_cast<BYTE*>(CoTaskMemAlloc(length));
  if (!block) return nullptr;
  std::memset(block, 0, length);
  if (pbFormat) std::memcpy(block, pbFormat, cbFormat < length ? cbFormat : length);
  ResetFormatBuffer();
  pbFormat = block;
  cbFormat = length;
  return block;
}

void CMediaType::InitMediaType() {
  majortype = GUID_NULL;
  subtype = GUID_NULL;
  formattype = GUID_NULL;
  bFixedSizeSamples = TRUE;
  bTemporalCompression = FALSE;
  lSampleSize = 1;
  pUnk = nullptr;
  cbFormat = 0;
  pbFormat = nullptr;
}

BOOL CMediaType::MatchesPartial(const CMediaType* ppartial) const {
  if (ppartial->majortype != GUID_NULL && majortype != ppartial->majortype) return FALSE;
  if (ppartial->subtype != GUID_NULL && subtype != ppartial->subtype) return FALSE;
  if (ppartial->formattype != GUID_NULL) {
    if (formattype != ppartial->formattype) return FALSE;
    if (cbFormat != ppartial->cbFormat) return FALSE;
    if (cbFormat != 0 && std::memcmp(pbFormat, ppartial->pbFormat, cbFormat) != 0) return FALSE;
  }
  return TRUE;
}

BOOL CMediaType::IsPartiallySpecified() const {
  return majortype == GUID_NULL || formattype == GUID_NULL;
}

void WINAPI FreeMediaType(AM_MEDIA_TYPE& mt) {
  if (mt.cbFormat != 0 || mt.pbFormat) {
    CoTaskMemFree(mt.pbFormat);
    mt.cbFormat = 0;
    mt.pbFormat = nullptr;
  }
  if (mt.pUnk) {
    mt.pUnk->Release();
    mt.pUnk = nullptr;
  }
}

void WINAPI DeleteMediaType(AM_MEDIA_TYPE* pmt) {
  if (!pmt) return;
  FreeMediaType(*pmt);
  CoTaskMemFree(pmt);
}

AM_MEDIA_TYPE* WINAPI CreateMediaType(const AM_MEDIA_TYPE* pSrc) {
  auto* pmt = static_cast<AM_MEDIA_TYPE*>(CoTaskMemAlloc(sizeof(AM_MEDIA_TYPE)));
  if (!pmt) return nullptr;
  if (FAILED(CopyMediaType(pmt, pSrc))) {
    CoTaskMemFree(pmt);
    return nullptr;
  }
  return pmt;
}

HRESULT WINAPI CopyMediaType(AM_MEDIA_TYPE* pmtTarget, const AM_MEDIA_TYPE* pmtSource) {
  *pmtTarget = *pmtSource;
  if (pmtSource->cbFormat != 0 && pmtSource->pbFormat) {
    pmtTarget->pbFormat = static_cast<BYTE*>(CoTaskMemAlloc(pmtSource->cbFormat));
    if (!pmtTarget->pbFormat) {
      pmtTarget->cbFormat = 0;
      pmtTarget->pUnk = nullptr;
      return E_OUTOFMEMORY;
    }
    std::memcpy(pmtTarget->pbFormat, pmtSource->pbFormat, pmtSource->cbFormat);
  } else {
    pmtTarget->cbFormat = 0;
    pmtTarget->pbFormat = nullptr;
  }
  if (pmtTarget->pUnk) pmtTarget->pUnk->AddRef();
  return S_OK;
}

const GUID WINAPI GetBitmapSubtype(const BITMAPINFOHEADER* pbmi) {
  switch (pbmi->biBitCount) {
    case 1: return MEDIASUBTYPE_RGB1;
    case 4: return MEDIASUBTYPE_RGB4;
    case 8: return MEDIASUBTYPE_RGB8;
    case 16:
      if (pbmi->biCompression == BI_BITFIELDS) {
        const DWORD* masks = reinterpret_cast<const DWORD*>(reinterpret_cast<const BYTE*>(pbmi) + pbmi->biSize);
        if (masks[0] == 0xF800 && masks[1] == 0x07E0 && masks[2] == 0x001F) return MEDIASUBTYPE_RGB565;
      }
      return MEDIASUBTYPE_RGB555;
    case 24: return MEDIASUBTYPE_RGB24;
    case 32: return MEDIASUBTYPE_RGB32;
    default: return GUID_NULL;
  }
}

WORD WINAPI GetBitCount(const GUID* pSubtype) {
  struct Entry {
    const GUID* subtype;
    WORD bits;
  };
  static const Entry kBits[] = {
      {&MEDIASUBTYPE_RGB1, 1},    {&MEDIASUBTYPE_RGB4, 4},   {&MEDIASUBTYPE_RGB8, 8},
      {&MEDIASUBTYPE_RGB555, 16}, {&MEDIASUBTYPE_RGB565, 16}, {&MEDIASUBTYPE_RGB24, 24},
      {&MEDIASUBTYPE_RGB32, 32},  {&MEDIASUBTYPE_ARGB32, 32}, {&MEDIASUBTYPE_YUY2, 16},
      {&MEDIASUBTYPE_UYVY, 16},   {&MEDIASUBTYPE_YV12, 12},  {&MEDIASUBTYPE_I420, 12},
      {&MEDIASUBTYPE_IYUV, 12},
  };
  for (const Entry& e : kBits)
    if (*e.subtype == *pSubtype) return e.bits;
  return USHRT_MAX;
}
