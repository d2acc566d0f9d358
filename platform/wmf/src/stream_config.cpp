#include "stream_config.h"

#include <cstring>

namespace wmf {

StreamConfig* StreamConfig::From(IWMStreamConfig* config) { return dynamic_cast<StreamConfig*>(config); }

STDMETHODIMP StreamConfig::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  *ppv = nullptr;
  if (riid == IID_IUnknown || riid == IID_IWMStreamConfig)
    *ppv = static_cast<IWMStreamConfig*>(this);
  else if (riid == IID_IWMMediaProps)
    *ppv = static_cast<IWMMediaProps*>(this);
  else if (riid == IID_IWMVideoMediaProps && data_.type == WMMEDIATYPE_Video)
    *ppv = static_cast<IWMVideoMediaProps*>(this);
  else
    return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP_(ULONG) StreamConfig::Release() {
  const ULONG left = --refs_;
  if (left == 0) delete this;
  return left;
}

STDMETHODIMP StreamConfig::GetStreamType(GUID* pguidStreamType) {
  if (!pguidStreamType) return E_POINTER;
  *pguidStreamType = data_.type;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetStreamNumber(WORD* pwStreamNum) {
  if (!pwStreamNum) return E_POINTER;
  *pwStreamNum = data_.number;
  return S_OK;
}

STDMETHODIMP StreamConfig::SetStreamNumber(WORD wStreamNum) {
  if (wStreamNum == 0 || wStreamNum > kMaxStreamNumber) return E_INVALIDARG;
  data_.number = wStreamNum;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetStreamName(WCHAR* pwszStreamName, WORD* pcchStreamName) {
  return CopyText(data_.name, pwszStreamName, pcchStreamName);
}

STDMETHODIMP StreamConfig::SetStreamName(WCHAR* pwszStreamName) {
  if (!pwszStreamName) return E_POINTER;
  data_.name = pwszStreamName;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetConnectionName(WCHAR* pwszInputName, WORD* pcchInputName) {
  return CopyText(data_.connection, pwszInputName, pcchInputName);
}

STDMETHODIMP StreamConfig::SetConnectionName(WCHAR* pwszInputName) {
  if (!pwszInputName) return E_POINTER;
  data_.connection = pwszInputName;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetBitrate(DWORD* pdwBitrate) {
  if (!pdwBitrate) return E_POINTER;
  *pdwBitrate = data_.bitrate;
  return S_OK;
}

STDMETHODIMP StreamConfig::SetBitrate(DWORD pdwBitrate) {
  data_.bitrate = pdwBitrate;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetBufferWindow(DWORD* pmsBufferWindow) {
  if (!pmsBufferWindow) return E_POINTER;
  *pmsBufferWindow = data_.bufferWindow;
  return S_OK;
}

STDMETHODIMP StreamConfig::SetBufferWindow(DWORD msBufferWindow) {
  data_.bufferWindow = msBufferWindow;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetType(GUID* pguidType) { return GetStreamType(pguidType); }

STDMETHODIMP StreamConfig::GetMediaType(WM_MEDIA_TYPE* pType, DWORD* pcbType) {
  if (!pcbType) return E_POINTER;
  const DWORD needed = DWORD(sizeof(WM_MEDIA_TYPE) + data_.format.size());
  if (!pType) {
    *pcbType = needed;
    return S_OK;
  }
  if (*pcbType < needed) {
    *pcbType = needed;
    return ASF_E_BUFFERTOOSMALL;
  }
  pType->majortype = data_.type;
  pType->subtype = data_.subtype;
  pType->bFixedSizeSamples = data_.fixedSizeSamples;
  pType->bTemporalCompression = data_.temporalCompression;
  pType->lSampleSize = data_.sampleSize;
  pType->formattype = data_.formatType;
  pType->pUnk = nullptr;
  pType->cbFormat = ULONG(data_.format.size());
  pType->pbFormat = data_.format.empty() ? nullptr : reinterpret_cast<BYTE*>(pType + 1);
  if (!data_.format.empty()) std::memcpy(pType->pbFormat, data_.format.data(), data_.format.size());
  *pcbType = needed;
  return S_OK;
}

STDMETHODIMP StreamConfig::SetMediaType(WM_MEDIA_TYPE* pType) {
  if (!pType) return E_POINTER;
  if (pType->majortype != data_.type || (pType->cbFormat && !pType->pbFormat)) return E_INVALIDARG;
  data_.subtype = pType->subtype;
  data_.fixedSizeSamples = pType->bFixedSizeSamples;
  data_.temporalCompression = pType->bTemporalCompression;
  data_.sampleSize = pType->lSampleSize;
  data_.formatType = pType->formattype;
  data_.format.assign(pType->pbFormat, pType->pbFormat + pType->cbFormat);
  return S_OK;
}

STDMETHODIMP StreamConfig::GetMaxKeyFrameSpacing(LONGLONG* pllTime) {
  if (!pllTime) return E_POINTER;
  *pllTime = data_.maxKeyFrameSpacing;
  return S_OK;
}

STDMETHODIMP StreamConfig::SetMaxKeyFrameSpacing(LONGLONG llTime) {
  if (llTime < 0) return E_INVALIDARG;
  data_.maxKeyFrameSpacing = llTime;
  return S_OK;
}

STDMETHODIMP StreamConfig::GetQuality(DWORD* pdwQuality) {
  if (!pdwQuality) return E_POINTER;
  *pdwQuality = data_.quality;
  return S_OK;
}

STDMETHODIMP StreamConfig::SetQuality(DWORD dwQuality) {
  if (dwQuality > 100) return E_INVALIDARG;
  data_.quality = dwQuality;
  return S_OK;
}

}  // namespace wmf
