#include "profile_manager.h"

#include <algorithm>

#include "profile.h"
#include "prx.h"
#include "stream_config.h"

namespace wmf {

STDMETHODIMP ProfileManager::CreateEmptyProfile(WMT_VERSION dwVersion, IWMProfile** ppProfile) {
  if (!ppProfile) return E_POINTER;
  *ppProfile = nullptr;
  if (dwVersion != WMT_VER_4_0 && dwVersion != WMT_VER_7_0 && dwVersion != WMT_VER_8_0 && dwVersion != WMT_VER_9_0)
    return E_INVALIDARG;
  ProfileData data;
  data.version = dwVersion;
  *ppProfile = new Profile(std::move(data));
  return S_OK;
}

STDMETHODIMP ProfileManager::LoadProfileByID(REFGUID guidProfile, IWMProfile** ppProfile) {
  if (!ppProfile) return E_POINTER;
  *ppProfile = nullptr;
  const auto& all = SystemProfiles();
  auto it = std::find_if(all.begin(), all.end(), [&](const ProfileData& p) { return p.id == guidProfile; });
  if (it == all.end()) return E_INVALIDARG;
  *ppProfile = new Profile(*it);
  return S_OK;
}

STDMETHODIMP ProfileManager::LoadProfileByData(const WCHAR* pwszProfile, IWMProfile** ppProfile) {
  if (!pwszProfile || !ppProfile) return E_POINTER;
  *ppProfile = nullptr;
  ProfileData data;
  if (HRESULT hr = ReadPrx(pwszProfile, &data); FAILED(hr)) return hr;
  *ppProfile = new Profile(std::move(data));
  return S_OK;
}

STDMETHODIMP ProfileManager::SaveProfile(IWMProfile* pIWMProfile, WCHAR* pwszProfile, DWORD* pdwLength) {
  if (!pIWMProfile || !pdwLength) return E_POINTER;
  const Profile* profile = Profile::From(pIWMProfile);
  if (!profile) return E_INVALIDARG;
  std::u16string text;
  if (HRESULT hr = WritePrx(profile->Data(), &text); FAILED(hr)) return hr;
  return CopyText(text, pwszProfile, pdwLength);
}

STDMETHODIMP ProfileManager::GetSystemProfileCount(DWORD* pcProfiles) {
  if (!pcProfiles) return E_POINTER;
  *pcProfiles = DWORD(SystemProfiles().size());
  return S_OK;
}

STDMETHODIMP ProfileManager::LoadSystemProfile(DWORD dwProfileIndex, IWMProfile** ppProfile) {
  if (!ppProfile) return E_POINTER;
  *ppProfile = nullptr;
  if (dwProfileIndex >= SystemProfiles().size()) return E_INVALIDARG;
  *ppProfile = new Profile(SystemProfiles()[dwProfileIndex]);
  return S_OK;
}

STDMETHODIMP ProfileManager::GetSystemProfileVersion(WMT_VERSION* pdwVersion) {
  if (!pdwVersion) return E_POINTER;
  *pdwVersion = WMT_VER_8_0;  // the only version with system profiles here
  return S_OK;
}

STDMETHODIMP ProfileManager::SetSystemProfileVersion(WMT_VERSION dwVersion) {
  return dwVersion == WMT_VER_8_0 ? S_OK : E_INVALIDARG;
}

}  // namespace wmf

HRESULT WMCreateProfileManager(IWMProfileManager** ppProfileManager) {
  if (!ppProfileManager) return E_POINTER;
  *ppProfileManager = new wmf::ProfileManager;
  return S_OK;
}
