#include "control/wmv_profiles.h"

#include <new>
#include <vector>

#include "control/item_enumerator.h"
#include "control/wmv_profile.h"
#include "engine/tessary_ids.h"
#include "ole/comptr.h"

CWMVProfiles::CWMVProfiles() {
  EnableAutomation();
  mfc::disp::SetDispatchIID(this, IID_IWMVProfiles);
}

void CWMVProfiles::AddProfile(LPCTSTR name, LPCTSTR description, REFGUID profileId, BOOL audioOnly) {
  m_list->Append(new CWMVProfile(name, description, profileId, audioOnly));
}

const CWMVProfile* CWMVProfiles::ProfileAt(short position) const {
  return position < 0 ? nullptr : static_cast<CWMVProfile*>(m_list->At(size_t(position)));
}

const CString& CWMVProfiles::NameOf(CCmdTarget* item) const { return static_cast<CWMVProfile*>(item)->Name(); }

BSTR CWMVProfiles::FindWMVProfileDesc(short index) {
  const CWMVProfile* profile = ProfileAt(index);
  return profile ? profile->Description().AllocSysString() : CString().AllocSysString();
}

BOOL CWMVProfiles::IsAudioOnly(short iIndex) {
  const CWMVProfile* profile = ProfileAt(iIndex);
  return profile ? profile->IsAudioOnly() : FALSE;
}

LPUNKNOWN CWMVProfiles::GetNewEnum() { return CWMVProfileEnumerator::Create(m_list); }

BEGIN_DISPATCH_MAP(CWMVProfiles, CCmdTarget)
  DISP_PROPERTY_EX_ID(CWMVProfiles, "Count", dispidCollectionCount, GetCount, SetNotSupported, VT_I2)
  DISP_FUNCTION_ID(CWMVProfiles, "FindWMVProfile", dispidCollectionFind, FindWMVProfile, VT_I2, VTS_BSTR)
  DISP_FUNCTION_ID(CWMVProfiles, "FindWMVProfileDesc", dispidCollectionFindName, FindWMVProfileDesc, VT_BSTR,
                   VTS_I2)
  DISP_FUNCTION_ID(CWMVProfiles, "FindWMVProfileName", dispidFindWMVProfileName, FindWMVProfileName, VT_BSTR,
                   VTS_I2)
  DISP_FUNCTION_ID(CWMVProfiles, "IsAudioOnly", dispidIsAudioOnly, IsAudioOnly, VT_BOOL, VTS_I2)
  DISP_PROPERTY_PARAM_ID(CWMVProfiles, "Item", kItemIdWMVProfiles, GetItem, SetNotSupported, VT_DISPATCH,
                         VTS_VARIANT)
  DISP_PROPERTY_EX_ID(CWMVProfiles, "_NewEnum", DISPID_NEWENUM, GetNewEnum, SetNotSupported, VT_UNKNOWN)
END_DISPATCH_MAP()

// ---- Listing ------------------------------------------------------------------------------------

namespace {

// A profile text (name or description): the length first, then the text, in the ANSI code page.
template <class Getter>
CString ReadProfileText(Getter get) {
  DWORD length = 0;
  if (FAILED(get(nullptr, &length)) || length == 0) return CString();
  std::vector<WCHAR> text(length + 1, 0);
  if (FAILED(get(text.data(), &length))) return CString();
  return CString(text.data());
}

}  // namespace

HRESULT EnumSystemProfiles(CWMVProfiles& profiles) {
  profiles.RemoveAllItems();
  ComPtr<IWMProfileManager> manager;
  HRESULT hr = WMCreateProfileManager(manager.put());
  if (FAILED(hr)) return hr;
  ComPtr<IWMProfileManager2> manager2;
  hr = manager.As(IID_IWMProfileManager2, &manager2);
  if (SUCCEEDED(hr)) hr = manager2->SetSystemProfileVersion(WMT_VER_8_0);
  DWORD count = 0;
  if (SUCCEEDED(hr)) hr = manager->GetSystemProfileCount(&count);
  for (DWORD i = 0; SUCCEEDED(hr) && i < count; ++i) {
    ComPtr<IWMProfile> profile;
    hr = manager->LoadSystemProfile(i, profile.put());
    if (FAILED(hr)) break;
    BOOL audioOnly = InspectProfileStreams(profile.get());
    CString name = ReadProfileText([&](WCHAR* text, DWORD* length) { return profile->GetName(text, length); });
    CString description =
        ReadProfileText([&](WCHAR* text, DWORD* length) { return profile->GetDescription(text, length); });
    GUID id = GUID_NULL;
    if (auto profile2 = profile.As<IWMProfile2>(IID_IWMProfile2)) profile2->GetProfileID(&id);
    CString formatted;
    formatted.Format("%s", static_cast<LPCTSTR>(name));
    profiles.AddProfile(formatted, description, id, audioOnly);
  }
  return hr;
}

BOOL InspectProfileStreams(IWMProfile* profile) {
  DWORD count = 0;
  if (!profile || FAILED(profile->GetStreamCount(&count)) || count == 0) return FALSE;
  int video = 0;
  int audio = 0;
  for (DWORD i = 0; i < count; ++i) {
    ComPtr<IWMStreamConfig> stream;
    if (FAILED(profile->GetStream(i, stream.put()))) break;
    GUID type = GUID_NULL;
    HRESULT hr = stream->GetStreamType(&type);
    BOOL formatKnown = TRUE;
    if (SUCCEEDED(hr) && type == WMMEDIATYPE_Video) {
      ++video;
    } else if (SUCCEEDED(hr) && type == WMMEDIATYPE_Audio) {
      ++audio;
      formatKnown = FALSE;
      if (auto props = stream.As<IWMMediaProps>(IID_IWMMediaProps)) {
        DWORD size = 0;
        if (SUCCEEDED(props->GetMediaType(nullptr, &size)) && size >= sizeof(WM_MEDIA_TYPE)) {
          std::vector<BYTE> block(size);
          auto* mediaType = reinterpret_cast<WM_MEDIA_TYPE*>(block.data());
          if (SUCCEEDED(props->GetMediaType(mediaType, &size)))
            formatKnown = mediaType->formattype == WMFORMAT_VideoInfo || mediaType->formattype == WMFORMAT_WaveFormatEx;
        }
      }
    }
    if (!formatKnown) return FALSE;
  }
  return video == 0 && audio == 1;
}

// ---- Custom profile files -----------------------------------------------------------------------

namespace {

HRESULT LastErrorResult() {
  DWORD error = GetLastError();
  return LONG(error) <= 0 ? HRESULT(error) : HRESULT_FROM_WIN32(error);
}

}  // namespace

HRESULT LoadCustomProfile(LPCTSTR fileName, IWMProfile** profile) {
  if (!fileName || !profile) return E_POINTER;
  *profile = nullptr;
  ComPtr<IWMProfileManager> manager;
  HRESULT hr = WMCreateProfileManager(manager.put());
  if (FAILED(hr)) return hr;
  HANDLE file = CreateFile(fileName, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    hr = LastErrorResult();
  } else {
    if (GetFileType(file) != FILE_TYPE_DISK) {
      hr = HRESULT(0xC00D001C);
    } else {
      DWORD size = GetFileSize(file, nullptr);
      if (size == INVALID_FILE_SIZE) {
        hr = LastErrorResult();
      } else if (size > kMaxProfileFileSize) {
        hr = E_INVALIDARG;
      } else {
        // Zeroed past the end: whole characters up to size + 3 bytes, so an odd size still
        // ends with a full terminating character.
        try {
          std::vector<WCHAR> text(size / 2 + 2, 0);
          DWORD read = 0;
          if (!ReadFile(file, text.data(), size, &read, nullptr)) hr = LastErrorResult();
          else hr = manager->LoadProfileByData(text.data(), profile);
        } catch (const std::bad_alloc&) {
          hr = E_OUTOFMEMORY;
        }
      }
    }
    CloseHandle(file);
  }
  return hr;
}
