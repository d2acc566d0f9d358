#pragma once
// The installed video and audio compressors, by the friendly names of the system's compressor
// categories.
#include "control/item_collection.h"
#include "control/vfw_codec_table.h"

class CVideoCompressors : public CItemCollection {
 public:
  CVideoCompressors();
  void AddCompressor(LPCTSTR name);
  // The parent of codec configuration dialogs.
  void SetOwnerWindow(HWND owner) { m_owner = owner; }

 protected:
  const CString& NameOf(CCmdTarget* item) const override;

 private:
  short FindVideoCompressor(LPCTSTR strName) { return FindPosition(strName); }
  BSTR FindVideoCompressorName(short index) { return NameAt(index); }
  BOOL ShowPropertyPage(short iIndex);
  LPDISPATCH GetItem(const VARIANT& key) { return ItemByKey(key); }
  LPUNKNOWN GetNewEnum();

  VfwCodecTable m_vfwCodecs;
  HWND m_owner = nullptr;

  DECLARE_DISPATCH_MAP()
};

class CAudioCompressors : public CItemCollection {
 public:
  CAudioCompressors();
  void AddCompressor(LPCTSTR name);

 protected:
  const CString& NameOf(CCmdTarget* item) const override;

 private:
  short FindAudioCompressor(LPCTSTR strName) { return FindPosition(strName); }
  BSTR FindAudioCompressorName(short index) { return NameAt(index); }
  LPDISPATCH GetItem(const VARIANT& key) { return ItemByKey(key); }
  LPUNKNOWN GetNewEnum();

  DECLARE_DISPATCH_MAP()
};

// Fills both collections from the system's video and audio compressor categories; the first
// name of each category is returned through firstVideo and firstAudio (unchanged when empty).
void FillCompressorCollections(CVideoCompressors& video, CAudioCompressors& audio, CString& firstVideo,
                               CString& firstAudio);
