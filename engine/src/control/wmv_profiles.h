#pragma once
// The Windows Media profiles: the collection of system profiles, the audio-only test and the
// loader of custom profile files.
#include "control/item_collection.h"
#include "wmf/wmsdk.h"

class CWMVProfiles : public CItemCollection {
 public:
  CWMVProfiles();
  void AddProfile(LPCTSTR name, LPCTSTR description, REFGUID profileId, BOOL audioOnly);
  // The profile at a 0-based position, or null.
  const class CWMVProfile* ProfileAt(short position) const;

 protected:
  const CString& NameOf(CCmdTarget* item) const override;

 private:
  short FindWMVProfile(LPCTSTR strProfile) { return FindPosition(strProfile); }
  BSTR FindWMVProfileDesc(short index);
  BSTR FindWMVProfileName(short index) { return NameAt(index); }
  BOOL IsAudioOnly(short iIndex);
  LPDISPATCH GetItem(const VARIANT& key) { return ItemByKey(key); }
  LPUNKNOWN GetNewEnum();

  DECLARE_DISPATCH_MAP()
};

// Refills the collection with the system profiles of version 8.0. A failure ends the listing
// (the entries listed before it stay) and is returned.
HRESULT EnumSystemProfiles(CWMVProfiles& profiles);
// TRUE when the profile has no video stream and exactly one audio stream in a video-info or
// wave format.
BOOL InspectProfileStreams(IWMProfile* profile);
// Loads a profile file (UTF-16 profile text). A missing file gives the Windows error as an
// HRESULT (0x80070002); a file above kMaxProfileFileSize gives E_INVALIDARG.
HRESULT LoadCustomProfile(LPCTSTR fileName, IWMProfile** profile);
constexpr DWORD kMaxProfileFileSize = 1024 * 1024;
