#pragma once
// Small helpers of the media format tests.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ole/comptr.h"
#include "wmf/wmsdk.h"

namespace wmf_test {

inline ComPtr<IWMProfileManager2> Manager() {
  ComPtr<IWMProfileManager> manager;
  EXPECT_EQ(WMCreateProfileManager(manager.put()), S_OK);
  ComPtr<IWMProfileManager2> manager2;
  if (manager) {
    EXPECT_EQ(manager->QueryInterface(IID_IWMProfileManager2, manager2.putVoid()), S_OK);
  }
  return manager2;
}

inline std::u16string Name(IWMProfile* profile) {
  DWORD length = 0;
  if (FAILED(profile->GetName(nullptr, &length))) return u"?";
  std::u16string text(length, u'\0');
  if (FAILED(profile->GetName(text.data(), &length))) return u"?";
  text.resize(length - 1);
  return text;
}

// A profile's streams by type: how many audio and video streams it has.
struct StreamCounts {
  int audio = 0;
  int video = 0;
};
inline StreamCounts CountStreams(IWMProfile* profile) {
  StreamCounts counts;
  DWORD n = 0;
  profile->GetStreamCount(&n);
  for (DWORD i = 0; i < n; ++i) {
    ComPtr<IWMStreamConfig> config;
    if (FAILED(profile->GetStream(i, config.put()))) continue;
    GUID type = GUID_NULL;
    config->GetStreamType(&type);
    if (type == WMMEDIATYPE_Audio) ++counts.audio;
    if (type == WMMEDIATYPE_Video) ++counts.video;
  }
  return counts;
}

// The media type of a stream with its format block.
struct MediaType {
  WM_MEDIA_TYPE type{};
  std::string format;  // the format bytes
  template <typename T>
  T As() const {
    T block{};
    if (format.size() >= sizeof(T)) memcpy(&block, format.data(), sizeof(T));
    return block;
  }
};
inline bool ReadMediaType(IWMStreamConfig* config, MediaType* out) {
  ComPtr<IWMMediaProps> props;
  if (FAILED(config->QueryInterface(IID_IWMMediaProps, props.putVoid()))) return false;
  DWORD size = 0;
  if (FAILED(props->GetMediaType(nullptr, &size)) || size < sizeof(WM_MEDIA_TYPE)) return false;
  std::string block(size, '\0');
  auto* type = reinterpret_cast<WM_MEDIA_TYPE*>(block.data());
  if (FAILED(props->GetMediaType(type, &size))) return false;
  out->type = *type;
  out->format.assign(reinterpret_cast<const char*>(type->pbFormat), type->cbFormat);
  out->type.pbFormat = nullptr;
  return true;
}

}  // namespace wmf_test
