#pragma once
// The profile manager: system profiles of the selected version, profiles from text.
#include <atomic>

#include "wmf/wmsdk.h"

namespace wmf {

class ProfileManager : public IWMProfileManager2 {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override;

  STDMETHODIMP CreateEmptyProfile(WMT_VERSION dwVersion, IWMProfile** ppProfile) override;
  STDMETHODIMP LoadProfileByID(REFGUID guidProfile, IWMProfile** ppProfile) override;
  STDMETHODIMP LoadProfileByData(const WCHAR* pwszProfile, IWMProfile** ppProfile) override;
  STDMETHODIMP SaveProfile(IWMProfile* pIWMProfile, WCHAR* pwszProfile, DWORD* pdwLength) override;
  STDMETHODIMP GetSystemProfileCount(DWORD* pcProfiles) override;
  STDMETHODIMP LoadSystemProfile(DWORD dwProfileIndex, IWMProfile** ppProfile) override;

  STDMETHODIMP GetSystemProfileVersion(WMT_VERSION* pdwVersion) override;
  STDMETHODIMP SetSystemProfileVersion(WMT_VERSION dwVersion) override;

 private:
  virtual ~ProfileManager() = default;

  std::atomic<ULONG> refs_{1};
};

}  // namespace wmf
