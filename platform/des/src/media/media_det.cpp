#include "media/media_det.h"

namespace des {

MediaDet::MediaDet() : CUnknown("MediaDet", nullptr) {}

STDMETHODIMP MediaDet::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMediaDet) return GetInterface(static_cast<IMediaDet*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

void MediaDet::Close() {
  streams_.clear();
  if (graph_ && source_) graph_->RemoveFilter(source_.get());
  source_ = nullptr;
  graph_ = nullptr;
  fileName_.clear();
  current_ = 0;
}

STDMETHODIMP MediaDet::put_Filename(BSTR newVal) {
  if (!newVal) return E_POINTER;
  Close();
  HRESULT hr =
      CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.putVoid());
  if (SUCCEEDED(hr)) hr = graph_->AddSourceFilter(newVal, u"Source", source_.put());
  if (FAILED(hr)) {
    Close();
    return hr;
  }
  ComPtr<IEnumPins> pins;
  if (SUCCEEDED(source_->EnumPins(pins.put()))) {
    ComPtr<IPin> pin;
    while (pins->Next(1, pin.put(), nullptr) == S_OK) {
      PIN_DIRECTION direction;
      if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT) streams_.push_back(pin);
    }
  }
  fileName_ = newVal;
  return S_OK;
}

STDMETHODIMP MediaDet::get_Filename(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = SysAllocString(fileName_.c_str());
  return S_OK;
}

STDMETHODIMP MediaDet::get_OutputStreams(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = LONG(streams_.size());
  return S_OK;
}

STDMETHODIMP MediaDet::get_CurrentStream(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = current_;
  return S_OK;
}

STDMETHODIMP MediaDet::put_CurrentStream(LONG newVal) {
  if (newVal < 0 || size_t(newVal) >= streams_.size()) return E_INVALIDARG;
  current_ = newVal;
  return S_OK;
}

bool MediaDet::CurrentType(CMediaType* type) {
  if (size_t(current_) >= streams_.size()) return false;
  ComPtr<IEnumMediaTypes> types;
  if (FAILED(streams_[size_t(current_)]->EnumMediaTypes(types.put()))) return false;
  AM_MEDIA_TYPE* first = nullptr;
  if (types->Next(1, &first, nullptr) != S_OK || !first) return false;
  *type = *first;
  DeleteMediaType(first);
  return true;
}

STDMETHODIMP MediaDet::get_StreamType(GUID* pVal) {
  if (!pVal) return E_POINTER;
  CMediaType type;
  if (!CurrentType(&type)) return E_UNEXPECTED;
  *pVal = type.majortype;
  return S_OK;
}

STDMETHODIMP MediaDet::get_StreamTypeB(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  GUID major;
  HRESULT hr = get_StreamType(&major);
  if (FAILED(hr)) return hr;
  OLECHAR text[40];
  StringFromGUID2(major, text, 40);
  *pVal = SysAllocString(text);
  return S_OK;
}

STDMETHODIMP MediaDet::get_StreamMediaType(AM_MEDIA_TYPE* pVal) {
  if (!pVal) return E_POINTER;
  CMediaType type;
  if (!CurrentType(&type)) return E_UNEXPECTED;
  return CopyMediaType(pVal, &type);
}

STDMETHODIMP MediaDet::get_StreamLength(double* pVal) {
  if (!pVal) return E_POINTER;
  if (size_t(current_) >= streams_.size()) return E_UNEXPECTED;
  ComPtr<IMediaSeeking> seeking;
  HRESULT hr = streams_[size_t(current_)]->QueryInterface(IID_IMediaSeeking, seeking.putVoid());
  LONGLONG duration = 0;
  if (SUCCEEDED(hr)) hr = seeking->GetDuration(&duration);
  if (FAILED(hr)) return hr;
  *pVal = double(duration) / UNITS;
  return S_OK;
}

STDMETHODIMP MediaDet::get_FrameRate(double* pVal) {
  if (!pVal) return E_POINTER;
  CMediaType type;
  if (!CurrentType(&type)) return E_UNEXPECTED;
  if (type.majortype != MEDIATYPE_Video || type.formattype != FORMAT_VideoInfo ||
      type.cbFormat < sizeof(VIDEOINFOHEADER))
    return VFW_E_INVALIDMEDIATYPE;
  const REFERENCE_TIME frame = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->AvgTimePerFrame;
  *pVal = frame > 0 ? double(UNITS) / double(frame) : 0.0;
  return S_OK;
}

}  // namespace des
