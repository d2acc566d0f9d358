#pragma once
// IConfigAsfWriter for the WM ASF Writer: turns a profile into the writer's settings.
#include "dshow/builtin_filters.h"
#include "ole/com_object.h"
#include "ole/comptr.h"
#include "profile_data.h"

namespace wmf {

// The writer settings that encode the profile's first video and first audio stream, starting
// from base; E_INVALIDARG when the profile has neither.
HRESULT SettingsFromProfile(const ProfileData& profile, const AsfWriterSettings& base, AsfWriterSettings* settings);

class AsfWriterConfig final : public ComObject<AsfWriterConfig, IConfigAsfWriter, IID_IConfigAsfWriter> {
 public:
  explicit AsfWriterConfig(ComPtr<IAsfWriterSettings> writer) : writer_(std::move(writer)) {}

  STDMETHODIMP ConfigureFilterUsingProfileId(DWORD dwProfileId) override;
  STDMETHODIMP GetCurrentProfileId(DWORD* pdwProfileId) override;
  STDMETHODIMP ConfigureFilterUsingProfileGuid(REFGUID guidProfile) override;
  STDMETHODIMP GetCurrentProfileGuid(GUID* pProfileGuid) override;
  STDMETHODIMP ConfigureFilterUsingProfile(IWMProfile* pProfile) override;
  STDMETHODIMP GetCurrentProfile(IWMProfile** ppProfile) override;

 private:
  HRESULT Configure(const ProfileData& profile);

  ComPtr<IAsfWriterSettings> writer_;
  bool configured_ = false;
  ProfileData current_;
  DWORD currentId_ = 0;
};

}  // namespace wmf
