#pragma once
// Media types: CMediaType owns its format block (CoTaskMemAlloc memory) and its pUnk reference.
#include "dshow/strmif.h"

class CMediaType : public AM_MEDIA_TYPE {
 public:
  // Empty: null types, fixed-size samples of 1 byte, no format.
  CMediaType();
  explicit CMediaType(const GUID* majortype);
  // A deep copy; *phr becomes E_OUTOFMEMORY when the format cannot be copied.
  CMediaType(const AM_MEDIA_TYPE& mt, HRESULT* phr = nullptr);
  CMediaType(const CMediaType& mt, HRESULT* phr = nullptr);
  ~CMediaType();

  CMediaType& operator=(const CMediaType& mt);
  CMediaType& operator=(const AM_MEDIA_TYPE& mt);
  // Equal major type, subtype, format type and format block bytes.
  BOOL operator==(const CMediaType& mt) const;
  BOOL operator!=(const CMediaType& mt) const { return !(*this == mt); }

  HRESULT Set(const CMediaType& mt);
  HRESULT Set(const AM_MEDIA_TYPE& mt);
  // A major type is set.
  BOOL IsValid() const;

  const GUID* Type() const { return &majortype; }
  void SetType(const GUID* ptype) { majortype = *ptype; }
  const GUID* Subtype() const { return &subtype; }
  void SetSubtype(const GUID* ptype) { subtype = *ptype; }
  const GUID* FormatType() const { return &formattype; }
  void SetFormatType(const GUID* pformattype) { formattype = *pformattype; }
  BOOL IsFixedSize() const { return bFixedSizeSamples; }
  BOOL IsTemporalCompressed() const { return bTemporalCompression; }
  ULONG GetSampleSize() const;
  void SetSampleSize(ULONG sz);     // also marks samples fixed-size (0: variable)
  void SetVariableSize();
  void SetTemporalCompression(BOOL bCompressed);

  BYTE* Format() const { return pbFormat; }
  ULONG FormatLength() const { return cbFormat; }
  // Replaces the format block with a copy of the given bytes; FALSE when out of memory.
  BOOL SetFormat(const BYTE* pFormat, ULONG length);
  // Frees the format block.
  void ResetFormatBuffer();
  // A fresh zeroed format block of the given length (NULL when out of memory).
  BYTE* AllocFormatBuffer(ULONG length);
  // Grows or shrinks the format block, keeping its start.
  BYTE* ReallocFormatBuffer(ULONG length);
  // Back to the empty type.
  void InitMediaType();

  // The fields this type specifies (non-null GUIDs) match the other type.
  BOOL MatchesPartial(const CMediaType* ppartial) const;
  // Major type or format type is null (a wildcard).
  BOOL IsPartiallySpecified() const;
};

// Helpers for AM_MEDIA_TYPE structures allocated with CoTaskMemAlloc.
void WINAPI FreeMediaType(AM_MEDIA_TYPE& mt);                          // frees format and pUnk
void WINAPI DeleteMediaType(AM_MEDIA_TYPE* pmt);                       // frees all, NULL is fine
AM_MEDIA_TYPE* WINAPI CreateMediaType(const AM_MEDIA_TYPE* pSrc);       // NULL when out of memory
HRESULT WINAPI CopyMediaType(AM_MEDIA_TYPE* pmtTarget, const AM_MEDIA_TYPE* pmtSource);

// The RGB subtype of an uncompressed bitmap header by its bit count: 1, 4, 8 bits give the
// palette types, 16 gives RGB555 (RGB565 with BI_BITFIELDS masks 0xF800/0x07E0/0x001F), 24 RGB24,
// 32 RGB32; other headers GUID_NULL.
const GUID WINAPI GetBitmapSubtype(const BITMAPINFOHEADER* pbmiHeader);
// The bit count of an RGB or YUV subtype; USHRT_MAX when unknown.
WORD WINAPI GetBitCount(const GUID* pSubtype);
