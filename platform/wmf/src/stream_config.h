#pragma once
// One stream configuration, a copy owned by whoever holds it (IWMStreamConfig, IWMMediaProps,
// and IWMVideoMediaProps for video streams).
#include <atomic>

#include "profile_data.h"

namespace wmf {

class StreamConfig : public IWMStreamConfig, public IWMVideoMediaProps {
 public:
  explicit StreamConfig(StreamData data) : data_(std::move(data)) {}
  const StreamData& Data() const { return data_; }
  // Ours behind an interface pointer, or null for somebody else's object.
  static StreamConfig* From(IWMStreamConfig* config);

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;

  // IWMStreamConfig
  STDMETHODIMP GetStreamType(GUID* pguidStreamType) override;
  STDMETHODIMP GetStreamNumber(WORD* pwStreamNum) override;
  STDMETHODIMP SetStreamNumber(WORD wStreamNum) override;
  STDMETHODIMP GetStreamName(WCHAR* pwszStreamName, WORD* pcchStreamName) override;
  STDMETHODIMP SetStreamName(WCHAR* pwszStreamName) override;
  STDMETHODIMP GetConnectionName(WCHAR* pwszInputName, WORD* pcchInputName) override;
  STDMETHODIMP SetConnectionName(WCHAR* pwszInputName) override;
  STDMETHODIMP GetBitrate(DWORD* pdwBitrate) override;
  STDMETHODIMP SetBitrate(DWORD pdwBitrate) override;
  STDMETHODIMP GetBufferWindow(DWORD* pmsBufferWindow) override;
  STDMETHODIMP SetBufferWindow(DWORD msBufferWindow) override;

  // IWMMediaProps
  STDMETHODIMP GetType(GUID* pguidType) override;
  STDMETHODIMP GetMediaType(WM_MEDIA_TYPE* pType, DWORD* pcbType) override;
  STDMETHODIMP SetMediaType(WM_MEDIA_TYPE* pType) override;

  // IWMVideoMediaProps
  STDMETHODIMP GetMaxKeyFrameSpacing(LONGLONG* pllTime) override;
  STDMETHODIMP SetMaxKeyFrameSpacing(LONGLONG llTime) override;
  STDMETHODIMP GetQuality(DWORD* pdwQuality) override;
  STDMETHODIMP SetQuality(DWORD dwQuality) override;

 private:
  virtual ~StreamConfig() = default;

  std::atomic<ULONG> refs_{1};
  StreamData data_;
};

// Copies text into a caller's buffer the way the runtime's getters do: no buffer gives the
// length with the terminator; a short one gives ASF_E_BUFFERTOOSMALL with the length.
template <typename Count>
HRESULT CopyText(const std::u16string& text, WCHAR* buffer, Count* count) {
  if (!count) return E_POINTER;
  const size_t needed = text.size() + 1;
  if (needed > Count(-1)) return E_UNEXPECTED;
  if (!buffer) {
    *count = Count(needed);
    return S_OK;
  }
  if (*count < needed) {
    *count = Count(needed);
    return ASF_E_BUFFERTOOSMALL;
  }
  text.copy(buffer, text.size());
  buffer[text.size()] = 0;
  *count = Count(needed);
  return S_OK;
}

}  // namespace wmf
