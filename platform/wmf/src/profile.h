#pragma once
// A profile object: IWMProfile and IWMProfile2 over its own copy of the profile data.
#include "ole/com_object.h"
#include "profile_data.h"

namespace wmf {

class Profile final : public ComObject<Profile, IWMProfile2, IID_IWMProfile, IID_IWMProfile2> {
 public:
  explicit Profile(ProfileData data) : data_(std::move(data)) {}
  const ProfileData& Data() const { return data_; }
  // Ours behind an interface pointer, or null for somebody else's object.
  static Profile* From(IWMProfile* profile);

  STDMETHODIMP GetVersion(WMT_VERSION* pdwVersion) override;
  STDMETHODIMP GetName(WCHAR* pwszName, DWORD* pcchName) override;
  STDMETHODIMP SetName(const WCHAR* pwszName) override;
  STDMETHODIMP GetDescription(WCHAR* pwszDescription, DWORD* pcchDescription) override;
  STDMETHODIMP SetDescription(const WCHAR* pwszDescription) override;
  STDMETHODIMP GetStreamCount(DWORD* pcStreams) override;
  STDMETHODIMP GetStream(DWORD dwStreamIndex, IWMStreamConfig** ppConfig) override;
  STDMETHODIMP GetStreamByNumber(WORD wStreamNum, IWMStreamConfig** ppConfig) override;
  STDMETHODIMP RemoveStream(IWMStreamConfig* pConfig) override;
  STDMETHODIMP RemoveStreamByNumber(WORD wStreamNum) override;
  STDMETHODIMP AddStream(IWMStreamConfig* pConfig) override;
  STDMETHODIMP ReconfigStream(IWMStreamConfig* pConfig) override;
  STDMETHODIMP CreateNewStream(REFGUID guidStreamType, IWMStreamConfig** ppConfig) override;

  STDMETHODIMP GetProfileID(GUID* pguidID) override;

 private:
  StreamData* Find(WORD number);

  ProfileData data_;
};

}  // namespace wmf
