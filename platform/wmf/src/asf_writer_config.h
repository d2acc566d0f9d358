#pragma once
// IConfigAsfWriter for the WM ASF Writer: turns a profile into the writer's settings.
#include <atomic>

#include "dshow/builtin_filters.h"
#include "profile_data.h"

namespace wmf {

// The writer settings that encode the profile's first video and first audio stream, starting
// from base; E_INVALIDARG when the profile has neither.
HRESULT SettingsFromProfile(const ProfileData& profile, const AsfWriterSettings& base, AsfWriterSettings* settings);

class AsfWriterConfig : public IConfigAsfWriter {
 public:
  explicit AsfWriterConfig(IAsfWriterSettings* writer);

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP ConfigureFilterUsingProfileId(DWORD dwProfileId) override;
  STDMETHODIMP GetCurrentProfileId(DWORD* pdwProfileId) override;
  STDMETHODIMP ConfigureFilterUsingProfileGuid(REFGUID guidProfile) override;
  STDMETHODIMP GetCurrentProfileGuid(GUID* pProfileGuid) override;
  STDMETHODIMP ConfigureFilterUsingProfile(IWMProfile* pProfile) override;
  STDMETHODIMP GetCurrentProfile(IWMProfile** ppProfile) override;

 private:
  virtual ~AsfWriterConfig();
  HRESULT Configure(const ProfileData& profile);

  std::atomic<ULONG> refs_{1};
  IAsfWriterSettings* writer_;
  bool configured_ = false;
  ProfileData current_;
  DWORD currentId_ = 0;
};

}  // namespace wmf
