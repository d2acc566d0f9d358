#include "profile.h"

#include <algorithm>

#include "stream_config.h"

namespace wmf {

namespace {

HRESULT HandOut(const StreamData& data, IWMStreamConfig** ppConfig) {
  *ppConfig = new StreamConfig(data);
  return S_OK;
}

}  // namespace

Profile* Profile::From(IWMProfile* profile) { return dynamic_cast<Profile*>(profile); }

StreamData* Profile::Find(WORD number) {
  auto it = std::find_if(data_.streams.begin(), data_.streams.end(),
                         [number](const StreamData& s) { return s.number == number; });
  return it == data_.streams.end() ? nullptr : &*it;
}

STDMETHODIMP Profile::GetVersion(WMT_VERSION* pdwVersion) {
  if (!pdwVersion) return E_POINTER;
  *pdwVersion = data_.version;
  return S_OK;
}

STDMETHODIMP Profile::GetName(WCHAR* pwszName, DWORD* pcchName) { return CopyText(data_.name, pwszName, pcchName); }

STDMETHODIMP Profile::SetName(const WCHAR* pwszName) {
  if (!pwszName) return E_POINTER;
  data_.name = pwszName;
  return S_OK;
}

STDMETHODIMP Profile::GetDescription(WCHAR* pwszDescription, DWORD* pcchDescription) {
  return CopyText(data_.description, pwszDescription, pcchDescription);
}

STDMETHODIMP Profile::SetDescription(const WCHAR* pwszDescription) {
  if (!pwszDescription) return E_POINTER;
  data_.description = pwszDescription;
  return S_OK;
}

STDMETHODIMP Profile::GetStreamCount(DWORD* pcStreams) {
  if (!pcStreams) return E_POINTER;
  *pcStreams = DWORD(data_.streams.size());
  return S_OK;
}

STDMETHODIMP Profile::GetStream(DWORD dwStreamIndex, IWMStreamConfig** ppConfig) {
  if (!ppConfig) return E_POINTER;
  *ppConfig = nullptr;
  if (dwStreamIndex >= data_.streams.size()) return E_INVALIDARG;
  return HandOut(data_.streams[dwStreamIndex], ppConfig);
}

STDMETHODIMP Profile::GetStreamByNumber(WORD wStreamNum, IWMStreamConfig** ppConfig) {
  if (!ppConfig) return E_POINTER;
  *ppConfig = nullptr;
  const StreamData* s = Find(wStreamNum);
  return s ? HandOut(*s, ppConfig) : E_INVALIDARG;
}

STDMETHODIMP Profile::RemoveStream(IWMStreamConfig* pConfig) {
  if (!pConfig) return E_POINTER;
  WORD number = 0;
  if (HRESULT hr = pConfig->GetStreamNumber(&number); FAILED(hr)) return hr;
  return RemoveStreamByNumber(number);
}

STDMETHODIMP Profile::RemoveStreamByNumber(WORD wStreamNum) {
  const StreamData* s = Find(wStreamNum);
  if (!s) return E_INVALIDARG;
  data_.streams.erase(data_.streams.begin() + (s - data_.streams.data()));
  return S_OK;
}

STDMETHODIMP Profile::AddStream(IWMStreamConfig* pConfig) {
  if (!pConfig) return E_POINTER;
  const StreamConfig* config = StreamConfig::From(pConfig);
  if (!config) return E_INVALIDARG;
  const StreamData& s = config->Data();
  if (s.number == 0 || Find(s.number)) return E_INVALIDARG;
  data_.streams.push_back(s);
  return S_OK;
}

STDMETHODIMP Profile::ReconfigStream(IWMStreamConfig* pConfig) {
  if (!pConfig) return E_POINTER;
  const StreamConfig* config = StreamConfig::From(pConfig);
  if (!config) return E_INVALIDARG;
  StreamData* s = Find(config->Data().number);
  if (!s || s->type != config->Data().type) return E_INVALIDARG;
  *s = config->Data();
  return S_OK;
}

STDMETHODIMP Profile::CreateNewStream(REFGUID guidStreamType, IWMStreamConfig** ppConfig) {
  if (!ppConfig) return E_POINTER;
  *ppConfig = nullptr;
  if (guidStreamType != WMMEDIATYPE_Audio && guidStreamType != WMMEDIATYPE_Video) return E_INVALIDARG;
  StreamData s;
  s.type = guidStreamType;
  return HandOut(s, ppConfig);
}

STDMETHODIMP Profile::GetProfileID(GUID* pguidID) {
  if (!pguidID) return E_POINTER;
  *pguidID = data_.id;
  return S_OK;
}

}  // namespace wmf
