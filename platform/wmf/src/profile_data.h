#pragma once
// What a profile holds, shared by the profile objects, the system table and the PRX text.
#include <string>
#include <vector>

#include "wmf/wmsdk.h"

namespace wmf {

struct StreamData {
  GUID type = GUID_NULL;  // WMMEDIATYPE_Audio, WMMEDIATYPE_Video, ...
  WORD number = 0;        // 1..63 once set
  std::u16string name;
  std::u16string connection;
  DWORD bitrate = 0;
  DWORD bufferWindow = 0;  // milliseconds
  GUID subtype = GUID_NULL;
  BOOL fixedSizeSamples = FALSE;
  BOOL temporalCompression = FALSE;
  ULONG sampleSize = 0;
  GUID formatType = GUID_NULL;
  std::vector<BYTE> format;
  LONGLONG maxKeyFrameSpacing = 0;  // video only
  DWORD quality = 0;                // video only
};

struct ProfileData {
  WMT_VERSION version = WMT_VER_8_0;
  std::u16string name;
  std::u16string description;
  GUID id = GUID_NULL;
  std::vector<StreamData> streams;
};

constexpr WORD kMaxStreamNumber = 63;

// A WMA stream and a WMV stream with their format blocks filled in.
StreamData MakeAudioStream(WORD number, WORD formatTag, DWORD sampleRate, WORD channels, DWORD bitrate);
StreamData MakeVideoStream(WORD number, DWORD fourcc, LONG width, LONG height, REFERENCE_TIME frameTime,
                           DWORD bitrate, LONGLONG maxKeyFrameSpacing, DWORD quality);

// The built-in system profiles of version 8.0, in listing order.
const std::vector<ProfileData>& SystemProfiles();

}  // namespace wmf
