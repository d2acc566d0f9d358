#pragma once
// The profile manager: system profiles of the selected version, profiles from text.
#include "ole/com_object.h"
#include "wmf/wmsdk.h"

namespace wmf {

class ProfileManager final
    : public ComObject<ProfileManager, IWMProfileManager2, IID_IWMProfileManager, IID_IWMProfileManager2> {
 public:
  STDMETHODIMP CreateEmptyProfile(WMT_VERSION dwVersion, IWMProfile** ppProfile) override;
  STDMETHODIMP LoadProfileByID(REFGUID guidProfile, IWMProfile** ppProfile) override;
  STDMETHODIMP LoadProfileByData(const WCHAR* pwszProfile, IWMProfile** ppProfile) override;
  STDMETHODIMP SaveProfile(IWMProfile* pIWMProfile, WCHAR* pwszProfile, DWORD* pdwLength) override;
  STDMETHODIMP GetSystemProfileCount(DWORD* pcProfiles) override;
  STDMETHODIMP LoadSystemProfile(DWORD dwProfileIndex, IWMProfile** ppProfile) override;

  STDMETHODIMP GetSystemProfileVersion(WMT_VERSION* pdwVersion) override;
  STDMETHODIMP SetSystemProfileVersion(WMT_VERSION dwVersion) override;
};

}  // namespace wmf
