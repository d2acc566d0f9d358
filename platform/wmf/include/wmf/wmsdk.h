#pragma once
// The Windows Media Format subset: the profile manager with its built-in system profiles of
// version 8.0, profiles and their stream configurations, profile (PRX) text, and configuring the
// WM ASF Writer with a profile.
#include "dshow/dshow.h"

typedef enum WMT_VERSION {
  WMT_VER_4_0 = 0x00040000,
  WMT_VER_7_0 = 0x00070000,
  WMT_VER_8_0 = 0x00080000,
  WMT_VER_9_0 = 0x00090000,
} WMT_VERSION;

// Same layout as AM_MEDIA_TYPE. A type read through IWMMediaProps::GetMediaType is one block:
// the structure followed by its format, pbFormat pointing into the block.
typedef struct _WMMediaType {
  GUID majortype;
  GUID subtype;
  BOOL bFixedSizeSamples;
  BOOL bTemporalCompression;
  ULONG lSampleSize;
  GUID formattype;
  IUnknown* pUnk;
  ULONG cbFormat;
  BYTE* pbFormat;
} WM_MEDIA_TYPE;

// A caller's buffer (text or media type) is too small; the needed size has been stored.
#define ASF_E_BUFFERTOOSMALL _HRESULT_TYPEDEF_(0xC00D07D2L)

// ---- Identifiers --------------------------------------------------------------------------------
DEFINE_GUID(WMMEDIATYPE_Video, 0x73646976, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
DEFINE_GUID(WMMEDIATYPE_Audio, 0x73647561, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
DEFINE_GUID(WMFORMAT_VideoInfo, 0x05589F80, 0xC356, 0x11CE, 0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A);
DEFINE_GUID(WMFORMAT_WaveFormatEx, 0x05589F81, 0xC356, 0x11CE, 0xBF, 0x01, 0x00, 0xAA, 0x00, 0x55, 0x59, 0x5A);
DEFINE_GUID(WMMEDIASUBTYPE_WMV1, 0x31564D57, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
DEFINE_GUID(WMMEDIASUBTYPE_WMV2, 0x32564D57, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
DEFINE_GUID(WMMEDIASUBTYPE_WMAudioV2, 0x00000160, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);
DEFINE_GUID(WMMEDIASUBTYPE_WMAudioV8, 0x00000161, 0x0000, 0x0010, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71);

#define WAVE_FORMAT_MSAUDIO1 0x0160
#define WAVE_FORMAT_WMAUDIO2 0x0161

// The system profiles of version 8.0, in the order the profile manager lists them.
DEFINE_GUID(WMProfile_V80_Audio24Mono, 0x2CFAB735, 0x5D98, 0x4D5E, 0x97, 0xE7, 0x10, 0x39, 0x47, 0x50, 0x33, 0xFF);
DEFINE_GUID(WMProfile_V80_Audio48Stereo, 0x5AB77A86, 0x396C, 0x495A, 0x9F, 0x41, 0xDB, 0x60, 0x59, 0x3E, 0x1B, 0x7E);
DEFINE_GUID(WMProfile_V80_Audio64Stereo, 0x6F9FBBC5, 0x5AC8, 0x4222, 0x97, 0xA1, 0xB5, 0x7C, 0xFE, 0x17, 0x4A, 0x73);
DEFINE_GUID(WMProfile_V80_Audio128Stereo, 0x6A2FE6D7, 0xF4F0, 0x4073, 0x91, 0xF9, 0x6F, 0x38, 0xEA, 0x88, 0xB2, 0x2C);
DEFINE_GUID(WMProfile_V80_VideoModem, 0x962C1E20, 0x8F61, 0x4B2C, 0xA3, 0x03, 0x51, 0x8F, 0xD7, 0x08, 0x61, 0xDB);
DEFINE_GUID(WMProfile_V80_VideoPocket, 0xD6ACBC0C, 0x593C, 0x49AE, 0xA5, 0xD3, 0x2E, 0x0C, 0x14, 0x7C, 0x86, 0xB6);
DEFINE_GUID(WMProfile_V80_VideoBroadband, 0x027D21C9, 0x6ABC, 0x4450, 0xBF, 0x38, 0x70, 0x7D, 0xE9, 0xDE, 0x94, 0x38);
DEFINE_GUID(WMProfile_V80_VideoBroadbandHigh, 0x7D999A2B, 0xE2AF, 0x46AB, 0xA7, 0x9B, 0xF9, 0x9B, 0x02, 0x01, 0xF7, 0x57);

// ---- Interfaces ---------------------------------------------------------------------------------
DEFINE_GUID(IID_IWMMediaProps, 0x96406BCE, 0x2B2B, 0x11D3, 0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF);
interface IWMMediaProps : public IUnknown {
  STDMETHOD(GetType)(GUID* pguidType) = 0;
  // pType NULL: *pcbType receives the size of the whole block.
  STDMETHOD(GetMediaType)(WM_MEDIA_TYPE* pType, DWORD* pcbType) = 0;
  // Copies the type and its format; the major type must be the stream's.
  STDMETHOD(SetMediaType)(WM_MEDIA_TYPE* pType) = 0;
};

DEFINE_GUID(IID_IWMVideoMediaProps, 0x96406BCF, 0x2B2B, 0x11D3, 0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF);
interface IWMVideoMediaProps : public IWMMediaProps {
  STDMETHOD(GetMaxKeyFrameSpacing)(LONGLONG* pllTime) = 0;  // 100-ns units, 0: the encoder chooses
  STDMETHOD(SetMaxKeyFrameSpacing)(LONGLONG llTime) = 0;
  STDMETHOD(GetQuality)(DWORD* pdwQuality) = 0;  // 0..100
  STDMETHOD(SetQuality)(DWORD dwQuality) = 0;
};

// A stream of a profile. Changes reach the profile through IWMProfile::ReconfigStream or AddStream.
DEFINE_GUID(IID_IWMStreamConfig, 0x96406BDC, 0x2B2B, 0x11D3, 0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF);
interface IWMStreamConfig : public IUnknown {
  STDMETHOD(GetStreamType)(GUID* pguidStreamType) = 0;
  STDMETHOD(GetStreamNumber)(WORD* pwStreamNum) = 0;
  STDMETHOD(SetStreamNumber)(WORD wStreamNum) = 0;  // 1..63
  // Text getters: buffer NULL gives the length with the terminator in *pcch.
  STDMETHOD(GetStreamName)(WCHAR* pwszStreamName, WORD* pcchStreamName) = 0;
  STDMETHOD(SetStreamName)(WCHAR* pwszStreamName) = 0;
  STDMETHOD(GetConnectionName)(WCHAR* pwszInputName, WORD* pcchInputName) = 0;
  STDMETHOD(SetConnectionName)(WCHAR* pwszInputName) = 0;
  STDMETHOD(GetBitrate)(DWORD* pdwBitrate) = 0;
  STDMETHOD(SetBitrate)(DWORD pdwBitrate) = 0;
  STDMETHOD(GetBufferWindow)(DWORD* pmsBufferWindow) = 0;
  STDMETHOD(SetBufferWindow)(DWORD msBufferWindow) = 0;
};

DEFINE_GUID(IID_IWMProfile, 0x96406BDB, 0x2B2B, 0x11D3, 0xB3, 0x6B, 0x00, 0xC0, 0x4F, 0x61, 0x08, 0xFF);
interface IWMProfile : public IUnknown {
  STDMETHOD(GetVersion)(WMT_VERSION* pdwVersion) = 0;
  // Text getters: buffer NULL gives the length with the terminator in *pcch.
  STDMETHOD(GetName)(WCHAR* pwszName, DWORD* pcchName) = 0;
  STDMETHOD(SetName)(const WCHAR* pwszName) = 0;
  STDMETHOD(GetDescription)(WCHAR* pwszDescription, DWORD* pcchDescription) = 0;
  STDMETHOD(SetDescription)(const WCHAR* pwszDescription) = 0;
  STDMETHOD(GetStreamCount)(DWORD* pcStreams) = 0;
  // A copy of the stream's configuration.
  STDMETHOD(GetStream)(DWORD dwStreamIndex, IWMStreamConfig** ppConfig) = 0;
  STDMETHOD(GetStreamByNumber)(WORD wStreamNum, IWMStreamConfig** ppConfig) = 0;
  STDMETHOD(RemoveStream)(IWMStreamConfig* pConfig) = 0;
  STDMETHOD(RemoveStreamByNumber)(WORD wStreamNum) = 0;
  // Adds a copy; its stream number must be set and not yet used.
  STDMETHOD(AddStream)(IWMStreamConfig* pConfig) = 0;
  // Replaces the stream of the same number with a copy.
  STDMETHOD(ReconfigStream)(IWMStreamConfig* pConfig) = 0;
  // A new configuration of that type, not yet part of the profile.
  STDMETHOD(CreateNewStream)(REFGUID guidStreamType, IWMStreamConfig** ppConfig) = 0;
};

DEFINE_GUID(IID_IWMProfile2, 0x07E72D33, 0xD94E, 0x4BE7, 0x88, 0x43, 0x60, 0xAE, 0x5F, 0xF7, 0xE5, 0xF5);
interface IWMProfile2 : public IWMProfile {
  // A system profile's identifier; GUID_NULL for profiles made or loaded from text.
  STDMETHOD(GetProfileID)(GUID* pguidID) = 0;
};

DEFINE_GUID(IID_IWMProfileManager, 0xD16679F2, 0x6CA0, 0x472D, 0x8D, 0x31, 0x2F, 0x5D, 0x55, 0xAE, 0xE1, 0x55);
interface IWMProfileManager : public IUnknown {
  STDMETHOD(CreateEmptyProfile)(WMT_VERSION dwVersion, IWMProfile** ppProfile) = 0;
  // A system profile by its identifier; E_INVALIDARG for an unknown one.
  STDMETHOD(LoadProfileByID)(REFGUID guidProfile, IWMProfile** ppProfile) = 0;
  // Profile text (PRX XML) ending with a NUL, with or without a byte-order mark. Text longer
  // than 256 Ki characters, malformed XML and impossible streams give E_INVALIDARG.
  STDMETHOD(LoadProfileByData)(const WCHAR* pwszProfile, IWMProfile** ppProfile) = 0;
  // The profile as PRX text; pwszProfile NULL gives the length with the terminator.
  STDMETHOD(SaveProfile)(IWMProfile* pIWMProfile, WCHAR* pwszProfile, DWORD* pdwLength) = 0;
  STDMETHOD(GetSystemProfileCount)(DWORD* pcProfiles) = 0;
  STDMETHOD(LoadSystemProfile)(DWORD dwProfileIndex, IWMProfile** ppProfile) = 0;
};

DEFINE_GUID(IID_IWMProfileManager2, 0x7A924E51, 0x73C1, 0x494D, 0x80, 0x19, 0x23, 0xD3, 0x7E, 0xD9, 0xB8, 0x9A);
interface IWMProfileManager2 : public IWMProfileManager {
  STDMETHOD(GetSystemProfileVersion)(WMT_VERSION* pdwVersion) = 0;
  // Only WMT_VER_8_0 has system profiles here; other versions give E_INVALIDARG.
  STDMETHOD(SetSystemProfileVersion)(WMT_VERSION dwVersion) = 0;
};

HRESULT WMCreateProfileManager(IWMProfileManager** ppProfileManager);

// ---- The WM ASF Writer's configuration ----------------------------------------------------------
DEFINE_GUID(IID_IConfigAsfWriter, 0x45086030, 0xF7E4, 0x486A, 0xB5, 0x04, 0x82, 0x6B, 0xB5, 0x79, 0x2A, 0x3B);
interface IConfigAsfWriter : public IUnknown {
  // By position in the system profile list.
  STDMETHOD(ConfigureFilterUsingProfileId)(DWORD dwProfileId) = 0;
  // The position of the system profile last configured (by position or identifier), else 0.
  STDMETHOD(GetCurrentProfileId)(DWORD* pdwProfileId) = 0;
  STDMETHOD(ConfigureFilterUsingProfileGuid)(REFGUID guidProfile) = 0;
  STDMETHOD(GetCurrentProfileGuid)(GUID* pProfileGuid) = 0;
  // The writer encodes the profile's first video stream (WMV7 or WMV8) and first audio stream
  // (WMA1 or WMA2) with their sizes, rates and bit rates; a profile without one of them turns
  // that input off. Fails while the writer runs and for a profile without audio and video.
  STDMETHOD(ConfigureFilterUsingProfile)(IWMProfile* pProfile) = 0;
  // A copy of the profile last configured; E_FAIL before any.
  STDMETHOD(GetCurrentProfile)(IWMProfile** ppProfile) = 0;
};

// IConfigAsfWriter for a WM ASF Writer (CLSID_WMAsfWriter), which keeps a reference to the filter.
// The filter itself answers it only once RegisterWmfClasses has run.
HRESULT WMCreateAsfWriterConfig(IBaseFilter* pAsfWriter, IConfigAsfWriter** ppConfig);

// Makes every WM ASF Writer answer IConfigAsfWriter itself, with a new such object per query.
// Every user of this runtime calls it before asking a writer; later calls do nothing. Safe from
// any thread.
void RegisterWmfClasses();
