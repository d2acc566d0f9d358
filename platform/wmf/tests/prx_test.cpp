#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "wmf_test_util.h"

using namespace wmf_test;

namespace {

const std::u16string kCustom = uR"(<profile version="589824" storageformat="1" name="Clip für Ånne" description="Speech and a small picture">
  <streamprioritization/>
  <streamconfig majortype="{73647561-0000-0010-8000-00AA00389B71}" streamnumber="1" streamname="Audio Stream"
                inputname="Audio409" bitrate="32000" bufferwindow="-1" reliabletransport="0" rfc1766langid="en-us">
    <wmmediatype subtype="{00000161-0000-0010-8000-00AA00389B71}" bfixedsizesamples="1" btemporalcompression="0" lsamplesize="1024">
      <waveformatex wFormatTag="353" nChannels="1" nSamplesPerSec="22050" nAvgBytesPerSec="4000" nBlockAlign="1024"
                    wBitsPerSample="16" codecdata="008800000F0000000000"/>
    </wmmediatype>
  </streamconfig>
  <streamconfig majortype="{73646976-0000-0010-8000-00AA00389B71}" streamnumber="2" streamname="Video Stream"
                inputname="Video409" bitrate="200000" bufferwindow="5000">
    <videomediaprops maxkeyframespacing="40000000" quality="80"/>
    <wmmediatype subtype="{32564D57-0000-0010-8000-00AA00389B71}" bfixedsizesamples="0" btemporalcompression="1" lsamplesize="0">
      <videoinfoheader dwbitrate="200000" dwbiterrorrate="0" avgtimeperframe="400000">
        <rcsource left="0" top="0" right="176" bottom="144"/>
        <rctarget left="0" top="0" right="176" bottom="144"/>
        <bitmapinfoheader biwidth="176" biheight="144" biplanes="1" bibitcount="24" bicompression="WMV2"
                          bisizeimage="0" bixpelspermeter="0" biypelspermeter="0" biclrused="0" biclrimportant="0"/>
      </videoinfoheader>
    </wmmediatype>
  </streamconfig>
</profile>
)";

const std::u16string kAudio = u"{73647561-0000-0010-8000-00AA00389B71}";
const std::u16string kVideo = u"{73646976-0000-0010-8000-00AA00389B71}";

HRESULT Load(const std::u16string& text, ComPtr<IWMProfile>* profile = nullptr) {
  auto manager = Manager();
  ComPtr<IWMProfile> loaded;
  const HRESULT hr = manager->LoadProfileByData(text.c_str(), loaded.put());
  EXPECT_EQ(SUCCEEDED(hr), bool(loaded));
  if (profile) *profile = std::move(loaded);
  return hr;
}

// The file's bytes as the engine hands them over: read whole into a zeroed buffer with room for
// a terminator after any byte count.
HRESULT LoadBytes(const std::string& bytes, ComPtr<IWMProfile>* profile = nullptr) {
  std::vector<char16_t> buffer(bytes.size() / 2 + 2, 0);
  std::memcpy(buffer.data(), bytes.data(), bytes.size());
  return Load(buffer.data(), profile);
}

std::string Utf16Bytes(const std::u16string& text) {
  return std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2);
}

std::u16string Stream(const std::u16string& attributes, const std::u16string& inner = u"") {
  return u"<profile><streamconfig " + attributes + u">" + inner + u"</streamconfig></profile>";
}

}  // namespace

TEST(PrxProfiles, CustomProfileLoadsWithItsStreams) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Load(kCustom, &profile), S_OK);
  EXPECT_EQ(Name(profile.get()), u"Clip für Ånne");
  WMT_VERSION version{};
  profile->GetVersion(&version);
  EXPECT_EQ(version, WMT_VER_9_0);
  ComPtr<IWMProfile2> profile2;
  ASSERT_EQ(profile->QueryInterface(IID_IWMProfile2, profile2.putVoid()), S_OK);
  GUID id = IID_IWMProfile;
  profile2->GetProfileID(&id);
  EXPECT_EQ(id, GUID_NULL);
  const StreamCounts counts = CountStreams(profile.get());
  EXPECT_EQ(counts.audio, 1);
  EXPECT_EQ(counts.video, 1);

  ComPtr<IWMStreamConfig> audio;
  ASSERT_EQ(profile->GetStreamByNumber(1, audio.put()), S_OK);
  DWORD window = 0;
  audio->GetBufferWindow(&window);
  EXPECT_EQ(window, 0xFFFFFFFFu);
  WORD length = 0;
  ASSERT_EQ(audio->GetConnectionName(nullptr, &length), S_OK);
  EXPECT_EQ(length, 9);
  MediaType mt;
  ASSERT_TRUE(ReadMediaType(audio.get(), &mt));
  EXPECT_EQ(mt.type.lSampleSize, 1024u);
  EXPECT_TRUE(mt.type.bFixedSizeSamples);
  ASSERT_EQ(mt.format.size(), sizeof(WAVEFORMATEX) + 10);
  const auto wf = mt.As<WAVEFORMATEX>();
  EXPECT_EQ(wf.wFormatTag, WAVE_FORMAT_WMAUDIO2);
  EXPECT_EQ(wf.nSamplesPerSec, 22050u);
  EXPECT_EQ(wf.cbSize, 10);
  EXPECT_EQ(BYTE(mt.format[sizeof(WAVEFORMATEX) + 1]), 0x88);

  ComPtr<IWMStreamConfig> video;
  ASSERT_EQ(profile->GetStreamByNumber(2, video.put()), S_OK);
  ASSERT_TRUE(ReadMediaType(video.get(), &mt));
  const auto vih = mt.As<VIDEOINFOHEADER>();
  EXPECT_EQ(vih.bmiHeader.biWidth, 176);
  EXPECT_EQ(vih.bmiHeader.biCompression, 0x32564D57u);
  EXPECT_EQ(vih.AvgTimePerFrame, 400000);
  EXPECT_EQ(vih.rcTarget.right, 176);
  ComPtr<IWMVideoMediaProps> props;
  ASSERT_EQ(video->QueryInterface(IID_IWMVideoMediaProps, props.putVoid()), S_OK);
  DWORD quality = 0;
  props->GetQuality(&quality);
  EXPECT_EQ(quality, 80u);
}

TEST(PrxProfiles, ByteOrderMarksAndOddByteCounts) {
  EXPECT_EQ(LoadBytes(Utf16Bytes(u"\uFEFF" + kCustom)), S_OK);
  EXPECT_EQ(LoadBytes(Utf16Bytes(kCustom)), S_OK);
  // A byte-swapped file: its mark reads as U+FFFE.
  std::string swapped = Utf16Bytes(u"\uFEFF" + kCustom);
  for (size_t i = 0; i + 1 < swapped.size(); i += 2) std::swap(swapped[i], swapped[i + 1]);
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(LoadBytes(swapped, &profile), S_OK);
  EXPECT_EQ(Name(profile.get()), u"Clip für Ånne");
  // A stray last byte forms one more character with the terminator's first byte.
  EXPECT_EQ(LoadBytes(Utf16Bytes(kCustom) + "\n"), S_OK);
  // A file cut in the middle of a character is refused, not read past.
  const std::string cut = Utf16Bytes(kCustom);
  EXPECT_EQ(LoadBytes(cut.substr(0, cut.size() - 5)), E_INVALIDARG);
  EXPECT_EQ(LoadBytes(std::string("\xFF", 1)), E_INVALIDARG);
}

TEST(PrxProfiles, SizeIsCapped) {
  const size_t limit = 256 * 1024;
  std::u16string padded = kCustom + std::u16string(limit - kCustom.size(), u' ');
  EXPECT_EQ(Load(padded), S_OK);
  EXPECT_EQ(Load(padded + u" "), E_INVALIDARG);
}

TEST(PrxProfiles, MalformedTextIsRefusedCleanly) {
  const std::u16string audioType = u"majortype=\"" + kAudio + u"\"";
  const std::u16string videoType = u"majortype=\"" + kVideo + u"\"";
  const std::u16string wave = u"<wmmediatype subtype=\"" + kAudio + u"\"><waveformatex nChannels=\"2\"/></wmmediatype>";
  const std::vector<std::u16string> bad = {
      u"",
      u"   ",
      u"<profile name=\"open\">",
      u"<profile></profil>",
      u"<other/>",
      u"<profile version=\"123\"/>",
      u"<profile/><profile/>",
      u"<!DOCTYPE profile [<!ENTITY a \"aaaa\">]><profile name=\"&a;\"/>",
      u"<profile name=\"\xD800\"/>",
      Stream(audioType),
      Stream(audioType + u" streamnumber=\"64\""),
      Stream(audioType + u" streamnumber=\"1\" bitrate=\"12x\""),
      Stream(audioType + u" streamnumber=\"1\" bitrate=\"-5\""),
      Stream(audioType + u" streamnumber=\"1\" bitrate=\"99999999999\""),
      Stream(u"majortype=\"audio\" streamnumber=\"1\""),
      Stream(videoType + u" streamnumber=\"1\"", wave),
      Stream(audioType + u" streamnumber=\"1\"", u"<videomediaprops quality=\"5\"/>"),
      Stream(audioType + u" streamnumber=\"1\"",
             u"<wmmediatype subtype=\"" + kAudio + u"\"><waveformatex codecdata=\"ABC\"/></wmmediatype>"),
      Stream(audioType + u" streamnumber=\"1\"",
             u"<wmmediatype subtype=\"" + kAudio + u"\"><waveformatex codecdata=\"XY\"/></wmmediatype>"),
      Stream(videoType + u" streamnumber=\"1\"",
             u"<wmmediatype subtype=\"" + kVideo + u"\"><videoinfoheader/></wmmediatype>"),
      Stream(videoType + u" streamnumber=\"1\"",
             u"<wmmediatype subtype=\"" + kVideo +
                 u"\"><videoinfoheader><bitmapinfoheader biwidth=\"100000\"/></videoinfoheader></wmmediatype>"),
      u"<profile><streamconfig " + audioType + u" streamnumber=\"1\"/><streamconfig " + videoType +
          u" streamnumber=\"1\"/></profile>",
  };
  for (const auto& text : bad) EXPECT_EQ(Load(text), E_INVALIDARG) << Utf16Bytes(text).size();
  EXPECT_EQ(Load(Stream(audioType + u" streamnumber=\"1\"", wave)), S_OK);

  auto manager = Manager();
  ComPtr<IWMProfile> none;
  EXPECT_EQ(manager->LoadProfileByData(nullptr, none.put()), E_POINTER);
}

TEST(PrxProfiles, SmallestProfilesAndDeclarationsLoad) {
  ComPtr<IWMProfile> profile;
  ASSERT_EQ(Load(u"<profile/>", &profile), S_OK);
  DWORD count = 1;
  profile->GetStreamCount(&count);
  EXPECT_EQ(count, 0u);
  WMT_VERSION version{};
  profile->GetVersion(&version);
  EXPECT_EQ(version, WMT_VER_8_0);
  // The text is already decoded, whatever the declaration names.
  EXPECT_EQ(Load(u"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\n" + kCustom), S_OK);
}

TEST(PrxProfiles, SavedProfilesLoadBackUnchanged) {
  auto manager = Manager();
  DWORD count = 0;
  manager->GetSystemProfileCount(&count);
  std::vector<ComPtr<IWMProfile>> originals;
  for (DWORD i = 0; i <= count; ++i) {
    ComPtr<IWMProfile> original;
    if (i < count)
      ASSERT_EQ(manager->LoadSystemProfile(i, original.put()), S_OK);
    else
      ASSERT_EQ(Load(kCustom, &original), S_OK);
    DWORD length = 0;
    ASSERT_EQ(manager->SaveProfile(original.get(), nullptr, &length), S_OK);
    std::u16string text(length, u'\0');
    DWORD shortLength = length - 1;
    EXPECT_EQ(manager->SaveProfile(original.get(), text.data(), &shortLength), ASF_E_BUFFERTOOSMALL);
    ASSERT_EQ(manager->SaveProfile(original.get(), text.data(), &length), S_OK);
    ComPtr<IWMProfile> copy;
    ASSERT_EQ(manager->LoadProfileByData(text.c_str(), copy.put()), S_OK);
    EXPECT_EQ(Name(copy.get()), Name(original.get()));
    DWORD streams = 0, copyStreams = 0;
    original->GetStreamCount(&streams);
    copy->GetStreamCount(&copyStreams);
    ASSERT_EQ(copyStreams, streams);
    for (DWORD s = 0; s < streams; ++s) {
      ComPtr<IWMStreamConfig> a, b;
      original->GetStream(s, a.put());
      copy->GetStream(s, b.put());
      MediaType ma, mb;
      ASSERT_TRUE(ReadMediaType(a.get(), &ma));
      ASSERT_TRUE(ReadMediaType(b.get(), &mb));
      EXPECT_EQ(std::memcmp(&ma.type, &mb.type, sizeof ma.type), 0) << i << "/" << s;
      EXPECT_EQ(ma.format, mb.format) << i << "/" << s;
      DWORD ra = 0, rb = 1;
      a->GetBitrate(&ra);
      b->GetBitrate(&rb);
      EXPECT_EQ(ra, rb);
    }
  }
}
