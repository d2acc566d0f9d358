// Format blocks the built-in filters read from other filters' media types: well-formed blocks
// round-trip, malformed ones are refused.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "codec_format.h"
#include "dshow/mtype.h"
#include "dshow/media_types.h"
#include "dshow/raw_image.h"

namespace dshow_test {
namespace {

TEST(FormatBlocks, CodecDescriptionRoundTripsAndRefusesDamage) {
  dshow::filters::Parameters p(avcodec_parameters_alloc());
  p->codec_type = AVMEDIA_TYPE_VIDEO;
  p->codec_id = AV_CODEC_ID_HUFFYUV;
  p->width = 320;
  p->height = 240;
  const uint8_t extra[] = {1, 2, 3, 4, 5};
  p->extradata = static_cast<uint8_t*>(av_mallocz(sizeof extra + AV_INPUT_BUFFER_PADDING_SIZE));
  std::memcpy(p->extradata, extra, sizeof extra);
  p->extradata_size = sizeof extra;
  std::vector<uint8_t> block = dshow::filters::DescribeCodec(p.get(), {25, 1});

  dshow::filters::Parameters back(avcodec_parameters_alloc());
  AVRational rate{};
  ASSERT_TRUE(dshow::filters::ReadCodec(block.data(), block.size(), back.get(), &rate));
  EXPECT_EQ(back->codec_id, AV_CODEC_ID_HUFFYUV);
  EXPECT_EQ(back->width, 320);
  EXPECT_EQ(rate.num, 25);
  ASSERT_EQ(back->extradata_size, 5);
  EXPECT_EQ(std::memcmp(back->extradata, extra, 5), 0);

  // Cut short: the extra data it announces is not there.
  EXPECT_FALSE(dshow::filters::ReadCodec(block.data(), block.size() - 1, back.get(), &rate));
  EXPECT_FALSE(dshow::filters::ReadCodec(block.data(), sizeof(FFMPEGCODECINFO) - 1, back.get(), &rate));
  // An absurd extra-data length or an unknown codec.
  std::vector<uint8_t> bad = block;
  reinterpret_cast<FFMPEGCODECINFO*>(bad.data())->extradataSize = 0xFFFFFFF0u;
  EXPECT_FALSE(dshow::filters::ReadCodec(bad.data(), bad.size(), back.get(), &rate));
  bad = block;
  reinterpret_cast<FFMPEGCODECINFO*>(bad.data())->codecId = 0x7FFFFFF0u;
  EXPECT_FALSE(dshow::filters::ReadCodec(bad.data(), bad.size(), back.get(), &rate));
}

TEST(FormatBlocks, UncompressedVideoTypesMustBeConsistent) {
  AM_MEDIA_TYPE mt{};
  dshow::filters::WriteVideoFormat({dshow::filters::RawKind::RGB24, 170, 96, 400000}, &mt);
  dshow::filters::VideoFormat f;
  ASSERT_TRUE(dshow::filters::ReadVideoFormat(mt, &f));
  EXPECT_EQ(mt.lSampleSize, 512u * 96);
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat);
  vih->bmiHeader.biBitCount = 32;  // does not match the subtype
  EXPECT_FALSE(dshow::filters::ReadVideoFormat(mt, &f));
  vih->bmiHeader.biBitCount = 24;
  vih->bmiHeader.biHeight = -96;  // top-down RGB is not what the filters lay out
  EXPECT_FALSE(dshow::filters::ReadVideoFormat(mt, &f));
  vih->bmiHeader.biHeight = 96;
  mt.cbFormat = sizeof(VIDEOINFOHEADER) - 1;
  EXPECT_FALSE(dshow::filters::ReadVideoFormat(mt, &f));
  mt.cbFormat = sizeof(VIDEOINFOHEADER);
  FreeMediaType(mt);

  // I420 needs even sizes.
  dshow::filters::WriteVideoFormat({dshow::filters::RawKind::I420, 170, 96, 400000}, &mt);
  reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat)->bmiHeader.biWidth = 171;
  EXPECT_FALSE(dshow::filters::ReadVideoFormat(mt, &f));
  FreeMediaType(mt);
}

TEST(FormatBlocks, CompressedVideoTypesOfImpossibleSizesAreRefused) {
  AM_MEDIA_TYPE mt{};
  dshow::filters::WriteVideoFormat({dshow::filters::RawKind::RGB24, 320, 240, 400000}, &mt);
  mt.subtype.Data1 = 0x47504A4D;  // "MJPG"
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.pbFormat);
  vih->bmiHeader.biCompression = mt.subtype.Data1;
  vih->bmiHeader.biHeight = -240;
  dshow::filters::Parameters p(avcodec_parameters_alloc());
  AVRational rate;
  ASSERT_TRUE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  EXPECT_EQ(p->codec_id, AV_CODEC_ID_MJPEG);
  EXPECT_EQ(p->height, 240);
  vih->bmiHeader.biHeight = INT32_MIN;
  EXPECT_FALSE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  vih->bmiHeader.biHeight = 240;
  vih->bmiHeader.biWidth = INT32_MAX;
  EXPECT_FALSE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  FreeMediaType(mt);
}

TEST(FormatBlocks, SoundTypesNameCodecsByTag) {
  AM_MEDIA_TYPE mt{};
  dshow::filters::WritePcmFormat({AV_SAMPLE_FMT_S16, 2, 44100}, &mt);
  dshow::filters::Parameters p(avcodec_parameters_alloc());
  AVRational rate;
  ASSERT_TRUE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  EXPECT_EQ(p->codec_id, AV_CODEC_ID_PCM_S16LE);
  // An MP3 WAVEFORMATEX from another maker's encoder.
  reinterpret_cast<WAVEFORMATEX*>(mt.pbFormat)->wFormatTag = 0x55;
  ASSERT_TRUE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  EXPECT_EQ(p->codec_id, AV_CODEC_ID_MP3);
  reinterpret_cast<WAVEFORMATEX*>(mt.pbFormat)->wFormatTag = 0xFFFE - 1;
  EXPECT_FALSE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  reinterpret_cast<WAVEFORMATEX*>(mt.pbFormat)->wFormatTag = 1;
  reinterpret_cast<WAVEFORMATEX*>(mt.pbFormat)->nChannels = 0;
  EXPECT_FALSE(dshow::filters::ReadStreamParameters(mt, p.get(), &rate));
  FreeMediaType(mt);
}

// RGB555 pictures take a road through 32 bits, so full 5-bit fields reach full 8-bit values:
// white stays video white, and the colours keep their BT.601 levels.
TEST(RawImages, Rgb555KeepsItsLevels) {
  const int width = 16, height = 16;
  struct Colour {
    unsigned pixel;
    int y, u, v;  // BT.601 studio levels of the colour with its 5-bit fields widened to 8 bits
  };
  for (const Colour& c : {Colour{0x7FFF, 235, 128, 128}, Colour{0x0000, 16, 128, 128}, Colour{0x7C00, 81, 90, 240},
                          Colour{0x03E0, 145, 54, 34}, Colour{0x001F, 41, 240, 110}}) {
    std::vector<uint8_t> picture(size_t(width) * height * 2);
    for (size_t i = 0; i < picture.size(); i += 2) {
      picture[i] = uint8_t(c.pixel & 0xFF);
      picture[i + 1] = uint8_t(c.pixel >> 8);
    }
    const dshow::filters::Picture src = dshow::filters::SamplePicture(picture.data(), dshow::filters::RawKind::RGB555, width, height);
    std::vector<uint8_t> yuv(dshow::filters::ImageBytes(dshow::filters::RawKind::I420, width, height));
    dshow::filters::ImageConverter converter;
    ASSERT_TRUE(converter.Convert(src, dshow::filters::SamplePicture(yuv.data(), dshow::filters::RawKind::I420, width, height)));
    const size_t luma = size_t(width) * height;
    EXPECT_NEAR(yuv[luma / 2], c.y, 1) << std::hex << c.pixel;
    EXPECT_NEAR(yuv[luma + 5], c.u, 2) << std::hex << c.pixel;
    EXPECT_NEAR(yuv[luma + luma / 4 + 5], c.v, 2) << std::hex << c.pixel;

    std::vector<uint8_t> rgb(dshow::filters::ImageBytes(dshow::filters::RawKind::RGB32, width, height));
    ASSERT_TRUE(converter.Convert(src, dshow::filters::SamplePicture(rgb.data(), dshow::filters::RawKind::RGB32, width, height)));
    const unsigned b = c.pixel & 31, g = (c.pixel >> 5) & 31, r = (c.pixel >> 10) & 31;
    EXPECT_EQ(rgb[0], b << 3 | b >> 2);
    EXPECT_EQ(rgb[1], g << 3 | g >> 2);
    EXPECT_EQ(rgb[2], r << 3 | r >> 2);
  }
}

}  // namespace
}  // namespace dshow_test
