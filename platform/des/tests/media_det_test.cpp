// The media detector on clips made at test time: streams, kinds, lengths, rates and sizes.
#include <gtest/gtest.h>

#include "des/qedit.h"
#include "ole/comptr.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"

namespace {

class MediaDetTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RegisterDesClasses();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.width = 176;
    options.height = 144;
    options.frameRate = 25;
    options.seconds = 1.6;
    ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
  }
  static std::string Clip() { return testing_support::SandboxDir() + "/detected.avi"; }
  void SetUp() override {
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet, det.putVoid()));
  }
  HRESULT Open(const std::string& path) {
    BSTR name = SysAllocString(std::u16string(path.begin(), path.end()).c_str());
    const HRESULT hr = det->put_Filename(name);
    SysFreeString(name);
    return hr;
  }
  ComPtr<IMediaDet> det;
};

TEST_F(MediaDetTest, EachStreamTellsItsKindLengthAndPicture) {
  ASSERT_EQ(S_OK, Open(Clip()));
  LONG streams = 0;
  ASSERT_EQ(S_OK, det->get_OutputStreams(&streams));
  ASSERT_EQ(2, streams);
  bool sawVideo = false, sawAudio = false;
  for (LONG i = 0; i < streams; ++i) {
    ASSERT_EQ(S_OK, det->put_CurrentStream(i));
    GUID major;
    ASSERT_EQ(S_OK, det->get_StreamType(&major));
    double length = 0;
    ASSERT_EQ(S_OK, det->get_StreamLength(&length));
    EXPECT_NEAR(1.6, length, 0.05);
    double rate = 0;
    if (major == MEDIATYPE_Video) {
      sawVideo = true;
      ASSERT_EQ(S_OK, det->get_FrameRate(&rate));
      EXPECT_NEAR(25.0, rate, 1e-3);
      AM_MEDIA_TYPE type{};
      ASSERT_EQ(S_OK, det->get_StreamMediaType(&type));
      ASSERT_EQ(FORMAT_VideoInfo, type.formattype);
      const BITMAPINFOHEADER& bi = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
      EXPECT_EQ(176, bi.biWidth);
      EXPECT_EQ(144, std::abs(bi.biHeight));
      FreeMediaType(type);
    } else {
      sawAudio = major == MEDIATYPE_Audio;
      EXPECT_EQ(VFW_E_INVALIDMEDIATYPE, det->get_FrameRate(&rate));
    }
  }
  EXPECT_TRUE(sawVideo);
  EXPECT_TRUE(sawAudio);
  EXPECT_EQ(E_INVALIDARG, det->put_CurrentStream(2));
  EXPECT_EQ(E_INVALIDARG, det->put_CurrentStream(-1));
}

TEST_F(MediaDetTest, AFileThatCannotBeOpenedHasNoStreams) {
  EXPECT_NE(S_OK, Open(testing_support::SandboxDir() + "/absent.avi"));
  LONG streams = -1;
  ASSERT_EQ(S_OK, det->get_OutputStreams(&streams));
  EXPECT_EQ(0, streams);
  GUID major;
  EXPECT_NE(S_OK, det->get_StreamType(&major));
}

}  // namespace
