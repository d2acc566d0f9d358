#include <gtest/gtest.h>

#include <set>

#include "wmf_test_util.h"

using namespace wmf_test;

TEST(SystemProfiles, Version8ListsAudioOnlyAndAudioVideoProfiles) {
  auto manager = Manager();
  ASSERT_TRUE(manager);
  EXPECT_EQ(manager->SetSystemProfileVersion(WMT_VER_8_0), S_OK);
  EXPECT_EQ(manager->SetSystemProfileVersion(WMT_VER_7_0), E_INVALIDARG);
  WMT_VERSION version{};
  ASSERT_EQ(manager->GetSystemProfileVersion(&version), S_OK);
  EXPECT_EQ(version, WMT_VER_8_0);

  DWORD count = 0;
  ASSERT_EQ(manager->GetSystemProfileCount(&count), S_OK);
  ASSERT_EQ(count, 8u);
  std::set<std::u16string> names;
  std::set<std::string> ids;
  int audioOnly = 0, audioVideo = 0;
  for (DWORD i = 0; i < count; ++i) {
    ComPtr<IWMProfile> profile;
    ASSERT_EQ(manager->LoadSystemProfile(i, profile.put()), S_OK);
    names.insert(Name(profile.get()));
    ComPtr<IWMProfile2> profile2;
    ASSERT_EQ(profile->QueryInterface(IID_IWMProfile2, profile2.putVoid()), S_OK);
    GUID id = GUID_NULL;
    ASSERT_EQ(profile2->GetProfileID(&id), S_OK);
    EXPECT_NE(id, GUID_NULL);
    ids.insert(StringFromGUIDA(id));
    profile->GetVersion(&version);
    EXPECT_EQ(version, WMT_VER_8_0);
    const StreamCounts streams = CountStreams(profile.get());
    EXPECT_EQ(streams.audio, 1) << i;
    if (streams.video == 0) ++audioOnly;
    if (streams.video == 1) ++audioVideo;
  }
  EXPECT_EQ(names.size(), count);
  EXPECT_EQ(ids.size(), count);
  EXPECT_EQ(audioOnly, 4);
  EXPECT_EQ(audioVideo, 4);
  ComPtr<IWMProfile> none;
  EXPECT_EQ(manager->LoadSystemProfile(count, none.put()), E_INVALIDARG);
  EXPECT_FALSE(none);
}

TEST(SystemProfiles, TextGettersTellTheLengthAndRefuseShortBuffers) {
  auto manager = Manager();
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(manager->LoadProfileByID(WMProfile_V80_Audio24Mono, profile.put()), S_OK);
  DWORD length = 0;
  ASSERT_EQ(profile->GetName(nullptr, &length), S_OK);
  const std::u16string expected = u"Audio for dial-up modems (mono, 24 Kbps)";
  EXPECT_EQ(length, expected.size() + 1);
  std::u16string buffer(length, u'#');
  DWORD shortLength = length - 1;
  EXPECT_EQ(profile->GetName(buffer.data(), &shortLength), ASF_E_BUFFERTOOSMALL);
  EXPECT_EQ(shortLength, length);
  EXPECT_EQ(buffer[0], u'#');
  EXPECT_EQ(Name(profile.get()), expected);
  ASSERT_EQ(profile->GetDescription(nullptr, &length), S_OK);
  EXPECT_GT(length, 1u);
}

TEST(SystemProfiles, StreamsCarryRealEncodingSettings) {
  auto manager = Manager();
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(manager->LoadProfileByID(WMProfile_V80_VideoBroadband, profile.put()), S_OK);
  EXPECT_EQ(Name(profile.get()), u"Video for broadband (320x240, 384 Kbps)");

  ComPtr<IWMStreamConfig> video;
  ASSERT_EQ(profile->GetStreamByNumber(2, video.put()), S_OK);
  GUID type{};
  video->GetStreamType(&type);
  EXPECT_EQ(type, WMMEDIATYPE_Video);
  DWORD bitrate = 0;
  video->GetBitrate(&bitrate);
  EXPECT_EQ(bitrate, 336000u);
  MediaType mt;
  ASSERT_TRUE(ReadMediaType(video.get(), &mt));
  EXPECT_EQ(mt.type.subtype, WMMEDIASUBTYPE_WMV2);
  EXPECT_EQ(mt.type.formattype, WMFORMAT_VideoInfo);
  const auto vih = mt.As<VIDEOINFOHEADER>();
  EXPECT_EQ(vih.bmiHeader.biWidth, 320);
  EXPECT_EQ(vih.bmiHeader.biHeight, 240);
  EXPECT_EQ(vih.AvgTimePerFrame, UNITS / 25);
  ComPtr<IWMVideoMediaProps> videoProps;
  ASSERT_EQ(video->QueryInterface(IID_IWMVideoMediaProps, videoProps.putVoid()), S_OK);
  LONGLONG spacing = 0;
  videoProps->GetMaxKeyFrameSpacing(&spacing);
  EXPECT_EQ(spacing, 8 * LONGLONG(UNITS));

  ComPtr<IWMStreamConfig> audio;
  ASSERT_EQ(profile->GetStreamByNumber(1, audio.put()), S_OK);
  ASSERT_TRUE(ReadMediaType(audio.get(), &mt));
  EXPECT_EQ(mt.type.majortype, WMMEDIATYPE_Audio);
  EXPECT_EQ(mt.type.formattype, WMFORMAT_WaveFormatEx);
  const auto wf = mt.As<WAVEFORMATEX>();
  EXPECT_EQ(wf.wFormatTag, WAVE_FORMAT_WMAUDIO2);
  EXPECT_EQ(wf.nSamplesPerSec, 44100u);
  EXPECT_EQ(wf.nChannels, 2);
  EXPECT_EQ(wf.nAvgBytesPerSec * 8, 48000u);
  ComPtr<IWMVideoMediaProps> notVideo;
  EXPECT_EQ(audio->QueryInterface(IID_IWMVideoMediaProps, notVideo.putVoid()), E_NOINTERFACE);

  // The media type block protocol: a short buffer is refused with the size needed.
  ComPtr<IWMMediaProps> props;
  ASSERT_EQ(audio->QueryInterface(IID_IWMMediaProps, props.putVoid()), S_OK);
  DWORD size = 0;
  ASSERT_EQ(props->GetMediaType(nullptr, &size), S_OK);
  EXPECT_EQ(size, sizeof(WM_MEDIA_TYPE) + sizeof(WAVEFORMATEX));
  WM_MEDIA_TYPE small{};
  DWORD smallSize = sizeof small;
  EXPECT_EQ(props->GetMediaType(&small, &smallSize), ASF_E_BUFFERTOOSMALL);
  EXPECT_EQ(smallSize, size);
}

TEST(SystemProfiles, LoadByIdCopiesAndRefusesUnknownIds) {
  auto manager = Manager();
  ComPtr<IWMProfile> first, second;
  ASSERT_EQ(manager->LoadProfileByID(WMProfile_V80_Audio128Stereo, first.put()), S_OK);
  ASSERT_EQ(first->SetName(u"changed"), S_OK);
  ASSERT_EQ(manager->LoadProfileByID(WMProfile_V80_Audio128Stereo, second.put()), S_OK);
  EXPECT_EQ(Name(second.get()), u"Audio at CD quality (stereo, 128 Kbps)");
  ComPtr<IWMProfile> unknown;
  EXPECT_EQ(manager->LoadProfileByID(IID_IWMProfile, unknown.put()), E_INVALIDARG);
  EXPECT_FALSE(unknown);
}

TEST(Profiles, StreamsAreAddedReconfiguredAndRemovedByNumber) {
  auto manager = Manager();
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(manager->CreateEmptyProfile(WMT_VER_8_0, profile.put()), S_OK);
  ComPtr<IWMStreamConfig> audio;
  ASSERT_EQ(profile->CreateNewStream(WMMEDIATYPE_Audio, audio.put()), S_OK);
  EXPECT_EQ(profile->AddStream(audio.get()), E_INVALIDARG);  // no number yet
  EXPECT_EQ(audio->SetStreamNumber(64), E_INVALIDARG);
  ASSERT_EQ(audio->SetStreamNumber(1), S_OK);
  ASSERT_EQ(audio->SetBitrate(32000), S_OK);
  ASSERT_EQ(profile->AddStream(audio.get()), S_OK);
  EXPECT_EQ(profile->AddStream(audio.get()), E_INVALIDARG);  // number taken

  // The profile keeps its own copy until the stream is reconfigured.
  ASSERT_EQ(audio->SetBitrate(64000), S_OK);
  ComPtr<IWMStreamConfig> held;
  ASSERT_EQ(profile->GetStream(0, held.put()), S_OK);
  DWORD bitrate = 0;
  held->GetBitrate(&bitrate);
  EXPECT_EQ(bitrate, 32000u);
  ASSERT_EQ(profile->ReconfigStream(audio.get()), S_OK);
  ASSERT_EQ(profile->GetStream(0, held.put()), S_OK);
  held->GetBitrate(&bitrate);
  EXPECT_EQ(bitrate, 64000u);

  // A media type of the wrong major type is refused.
  WM_MEDIA_TYPE wrong{};
  wrong.majortype = WMMEDIATYPE_Video;
  ComPtr<IWMMediaProps> props;
  ASSERT_EQ(audio->QueryInterface(IID_IWMMediaProps, props.putVoid()), S_OK);
  EXPECT_EQ(props->SetMediaType(&wrong), E_INVALIDARG);

  EXPECT_EQ(profile->RemoveStreamByNumber(2), E_INVALIDARG);
  EXPECT_EQ(profile->RemoveStream(audio.get()), S_OK);
  DWORD count = 5;
  profile->GetStreamCount(&count);
  EXPECT_EQ(count, 0u);
  EXPECT_EQ(profile->ReconfigStream(audio.get()), E_INVALIDARG);
  ComPtr<IWMStreamConfig> other;
  EXPECT_EQ(profile->CreateNewStream(IID_IWMProfile, other.put()), E_INVALIDARG);
}
