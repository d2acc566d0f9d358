#include "control/compressors.h"

#include "control/device_category.h"
#include "control/item_enumerator.h"
#include "control/named_item.h"
#include "dshow/dshow.h"
#include "engine/tessary_ids.h"
#include "vfw/vfw.h"

// ---- Video compressors --------------------------------------------------------------------------

CVideoCompressors::CVideoCompressors() {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, IID_IVideoCompressors);
}

void CVideoCompressors::AddCompressor(LPCTSTR name) { m_list->Append(new CVideoCompressor(name)); }

const CString& CVideoCompressors::NameOf(CCmdTarget* item) const { return static_cast<CNamedItem*>(item)->Name(); }

LPUNKNOWN CVideoCompressors::GetNewEnum() { return CItemEnumerator::Create(m_list, IID_IEnumVideoCompressors); }

BOOL CVideoCompressors::ShowPropertyPage(short iIndex) {
  m_vfwCodecs.Refresh();
  CCmdTarget* item = iIndex < 0 ? nullptr : m_list->At(size_t(iIndex));
  if (!item) return FALSE;
  const VfwCodecTable::Entry* entry = m_vfwCodecs.Find(NameOf(item));
  if (!entry) return FALSE;
  HIC codec = ICOpen(ICTYPE_VIDEO, entry->handler, ICMODE_FASTCOMPRESS);
  if (!codec) return FALSE;
  ICConfigure(codec, m_owner);
  ICClose(codec);
  return TRUE;
}

BEGIN_DISPATCH_MAP(CVideoCompressors, CCmdTarget)
  DISP_PROPERTY_EX_ID(CVideoCompressors, "Count", dispidCollectionCount, GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CVideoCompressors, "FindVideoCompressor", dispidCollectionFind, FindVideoCompressor, VT_I2,
                   VTS_BSTR)
  DISP_FUNCTION_ID(CVideoCompressors, "FindVideoCompressorName", dispidCollectionFindName, FindVideoCompressorName,
                   VT_BSTR, VTS_I2)
  DISP_FUNCTION_ID(CVideoCompressors, "ShowPropertyPage", dispidShowPropertyPage, ShowPropertyPage, VT_BOOL, VTS_I2)
  DISP_PROPERTY_PARAM_ID(CVideoCompressors, "Item", kItemIdVideoCompressors, GetItem, SetNotSupported, VT_DISPATCH,
                         VTS_VARIANT)
  DISP_PROPERTY_EX_ID(CVideoCompressors, "_NewEnum", DISPID_NEWENUM, GetNewEnum, SetNotSupported, VT_UNKNOWN)
END_DISPATCH_MAP()

// ---- Audio compressors --------------------------------------------------------------------------

CAudioCompressors::CAudioCompressors() {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, IID_IAudioCompressors);
}

void CAudioCompressors::AddCompressor(LPCTSTR name) { m_list->Append(new CAudioCompressor(name)); }

const CString& CAudioCompressors::NameOf(CCmdTarget* item) const { return static_cast<CNamedItem*>(item)->Name(); }

LPUNKNOWN CAudioCompressors::GetNewEnum() { return CItemEnumerator::Create(m_list, IID_IEnumAudioCompressors); }

BEGIN_DISPATCH_MAP(CAudioCompressors, CCmdTarget)
  DISP_PROPERTY_EX_ID(CAudioCompressors, "Count", dispidCollectionCount, GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CAudioCompressors, "FindAudioCompressor", dispidCollectionFind, FindAudioCompressor, VT_I2,
                   VTS_BSTR)
  DISP_FUNCTION_ID(CAudioCompressors, "FindAudioCompressorName", dispidCollectionFindName, FindAudioCompressorName,
                   VT_BSTR, VTS_I2)
  DISP_PROPERTY_PARAM_ID(CAudioCompressors, "Item", kItemIdAudioCompressors, GetItem, SetNotSupported, VT_DISPATCH,
                         VTS_VARIANT)
  DISP_PROPERTY_EX_ID(CAudioCompressors, "_NewEnum", DISPID_NEWENUM, GetNewEnum, SetNotSupported, VT_UNKNOWN)
END_DISPATCH_MAP()

// ---- Filling from the device categories ---------------------------------------------------------

namespace {

BOOL CreateThroughMoniker(IMoniker* moniker) {
  ComPtr<IBaseFilter> filter;
  return SUCCEEDED(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter.putVoid()));
}

}  // namespace

void FillCompressorCollections(CVideoCompressors& video, CAudioCompressors& audio, CString& firstVideo,
                               CString& firstAudio) {
  ComPtr<IEnumMoniker> monikers;
  ComPtr<IMoniker> moniker;
  if (OpenDeviceCategory(CLSID_VideoCompressorCategory, &monikers) == S_OK) {
    for (bool first = true; monikers->Next(1, moniker.put(), nullptr) == S_OK;) {
      CString name;
      if (FAILED(ReadFriendlyName(moniker.get(), name))) continue;
      video.AddCompressor(name);
      if (first) {
        firstVideo = name;
        CreateThroughMoniker(moniker.get());
        first = false;
      }
    }
  }
  if (OpenDeviceCategory(CLSID_AudioCompressorCategory, &monikers) == S_OK) {
    for (bool first = true; monikers->Next(1, moniker.put(), nullptr) == S_OK;) {
      CString name;
      if (FAILED(ReadFriendlyName(moniker.get(), name))) break;
      audio.AddCompressor(name);
      if (first) {
        firstAudio = name;
        first = false;
        if (!CreateThroughMoniker(moniker.get())) break;
      }
    }
  }
}
