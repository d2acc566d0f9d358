// Windows Media profiles: the system profile listing, the audio-only rule and custom profile files.
#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

#include "control/wmv_profile.h"
#include "control/wmv_profiles.h"
#include "testing/sandbox.h"

namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_EQ(S_OK, WMCreateProfileManager(&manager)); }
  void TearDown() override { manager->Release(); }

  // A new profile with one stream per given type; the audio streams have the given format.
  IWMProfile* MakeProfile(std::initializer_list<GUID> types, const GUID& audioFormat = WMFORMAT_WaveFormatEx) {
    IWMProfile* profile = nullptr;
    EXPECT_EQ(S_OK, manager->CreateEmptyProfile(WMT_VER_8_0, &profile));
    WORD number = 1;
    for (const GUID& type : types) {
      IWMStreamConfig* stream = nullptr;
      EXPECT_EQ(S_OK, profile->CreateNewStream(type, &stream));
      stream->SetStreamNumber(number++);
      if (type == WMMEDIATYPE_Audio) {
        IWMMediaProps* props = nullptr;
        EXPECT_EQ(S_OK, stream->QueryInterface(IID_IWMMediaProps, reinterpret_cast<void**>(&props)));
        DWORD size = 0;
        props->GetMediaType(nullptr, &size);
        std::vector<BYTE> block(size);
        auto* mt = reinterpret_cast<WM_MEDIA_TYPE*>(block.data());
        EXPECT_EQ(S_OK, props->GetMediaType(mt, &size));
        mt->majortype = WMMEDIATYPE_Audio;
        mt->formattype = audioFormat;
        EXPECT_EQ(S_OK, props->SetMediaType(mt));
        props->Release();
      }
      EXPECT_EQ(S_OK, profile->AddStream(stream));
      stream->Release();
    }
    return profile;
  }

  static std::string SandboxFile(const char* name) { return testing_support::SandboxDir() + "/" + name; }

  static void WriteFile(const std::string& path, const void* data, size_t size) {
    std::ofstream out(path, std::ios::binary);
    out.write(static_cast<const char*>(data), std::streamsize(size));
  }

  IWMProfileManager* manager = nullptr;
};

TEST_F(ProfileTest, AudioOnlyMeansOneAudioStreamOfAKnownFormatAndNoVideo) {
  struct Case {
    std::initializer_list<GUID> types;
    GUID format;
    BOOL audioOnly;
  };
  const GUID other = {0x12345678, 0x1, 0x2, {3, 4, 5, 6, 7, 8, 9, 10}};
  const Case cases[] = {
      {{WMMEDIATYPE_Audio}, WMFORMAT_WaveFormatEx, TRUE},
      {{WMMEDIATYPE_Audio, WMMEDIATYPE_Video}, WMFORMAT_WaveFormatEx, FALSE},
      {{WMMEDIATYPE_Audio, WMMEDIATYPE_Audio}, WMFORMAT_WaveFormatEx, FALSE},
      {{WMMEDIATYPE_Video}, WMFORMAT_WaveFormatEx, FALSE},
      {{WMMEDIATYPE_Audio}, other, FALSE},
      {{}, WMFORMAT_WaveFormatEx, FALSE},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    IWMProfile* profile = MakeProfile(cases[i].types, cases[i].format);
    EXPECT_EQ(cases[i].audioOnly, InspectProfileStreams(profile)) << "case " << i;
    profile->Release();
  }
  EXPECT_FALSE(InspectProfileStreams(nullptr));
}

TEST_F(ProfileTest, SystemProfilesAreListedOnceEachWithTheirIdsAndAudioFlags) {
  auto* profiles = new CWMVProfiles;
  ASSERT_EQ(S_OK, EnumSystemProfiles(*profiles));
  ASSERT_EQ(S_OK, EnumSystemProfiles(*profiles));
  DWORD count = 0;
  IWMProfileManager2* manager2 = nullptr;
  manager->QueryInterface(IID_IWMProfileManager2, reinterpret_cast<void**>(&manager2));
  manager2->SetSystemProfileVersion(WMT_VER_8_0);
  manager2->Release();
  manager->GetSystemProfileCount(&count);
  ASSERT_EQ(size_t(count), profiles->Size());
  ASSERT_GE(count, 8u);
  EXPECT_EQ(WMProfile_V80_Audio24Mono, profiles->ProfileAt(0)->ProfileId());
  EXPECT_TRUE(profiles->ProfileAt(0)->IsAudioOnly());
  EXPECT_FALSE(profiles->ProfileAt(0)->Name().IsEmpty());
  EXPECT_FALSE(profiles->ProfileAt(0)->Description().IsEmpty());
  EXPECT_EQ(WMProfile_V80_VideoModem, profiles->ProfileAt(4)->ProfileId());
  EXPECT_FALSE(profiles->ProfileAt(4)->IsAudioOnly());
  EXPECT_EQ(nullptr, profiles->ProfileAt(short(count)));
  profiles->ExternalRelease();
}

TEST_F(ProfileTest, CustomProfileFilesLoadWithOrWithoutMarkAndAtOddSizes) {
  IWMProfile* system = nullptr;
  ASSERT_EQ(S_OK, manager->LoadProfileByID(WMProfile_V80_Audio128Stereo, &system));
  DWORD length = 0;
  ASSERT_EQ(S_OK, manager->SaveProfile(system, nullptr, &length));
  std::vector<WCHAR> text(length);
  ASSERT_EQ(S_OK, manager->SaveProfile(system, text.data(), &length));
  system->Release();
  const size_t bytes = (length - 1) * sizeof(WCHAR);

  std::vector<BYTE> plain(reinterpret_cast<const BYTE*>(text.data()), reinterpret_cast<const BYTE*>(text.data()) + bytes);
  std::vector<BYTE> marked = {0xFF, 0xFE};
  marked.insert(marked.end(), plain.begin(), plain.end());
  std::vector<BYTE> odd = plain;
  odd.push_back('\n');  // a stray byte after the text
  for (const auto& [name, data] : {std::pair{"plain.prx", plain}, std::pair{"marked.prx", marked}, std::pair{"odd.prx", odd}}) {
    const std::string path = SandboxFile(name);
    WriteFile(path, data.data(), data.size());
    IWMProfile* loaded = nullptr;
    ASSERT_EQ(S_OK, LoadCustomProfile(path.c_str(), &loaded)) << name;
    ASSERT_NE(nullptr, loaded);
    EXPECT_TRUE(InspectProfileStreams(loaded)) << name;
    loaded->Release();
  }
}

TEST_F(ProfileTest, CustomProfileFailuresAreReported) {
  IWMProfile* loaded = reinterpret_cast<IWMProfile*>(1);
  EXPECT_EQ(HRESULT(0x80070002), LoadCustomProfile(SandboxFile("missing.prx").c_str(), &loaded));
  EXPECT_EQ(nullptr, loaded);
  EXPECT_EQ(E_POINTER, LoadCustomProfile(nullptr, &loaded));

  const std::string huge = SandboxFile("huge.prx");
  std::vector<BYTE> big(kMaxProfileFileSize + 2, 'a');
  WriteFile(huge, big.data(), big.size());
  EXPECT_EQ(E_INVALIDARG, LoadCustomProfile(huge.c_str(), &loaded));

  const std::string junk = SandboxFile("junk.prx");
  const char16_t notXml[] = u"<profile";
  WriteFile(junk, notXml, sizeof notXml - 2);
  EXPECT_TRUE(FAILED(LoadCustomProfile(junk.c_str(), &loaded)));
  EXPECT_EQ(nullptr, loaded);
}

}  // namespace
