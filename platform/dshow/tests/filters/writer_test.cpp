// Compressors, the AVI Mux with the File Writer, and the WM ASF Writer: files probed with
// libavformat.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "clips.h"
#include "ole/objbase.h"
#include "test_graph.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "win32/paths.h"

namespace dshow_test {
namespace {

GUID CompressorClass(int position) {
  GUID g = CLSID_CorvaneCompressorBase;
  g.Data2 = WORD(position);
  return g;
}

IBaseFilter* AddSource(TestGraph& graph, const std::string& path) {
  IBaseFilter* source = graph.Add(CLSID_CorvaneFileSource, u"Source");
  auto* file = QueryAs<IFileSourceFilter>(source, IID_IFileSourceFilter);
  EXPECT_EQ(file->Load(Wide(path).c_str(), nullptr), S_OK);
  file->Release();
  return source;
}

// AVI Mux -> File Writer naming `path`; returns the mux.
IBaseFilter* AddAviOutput(TestGraph& graph, const std::string& path) {
  IBaseFilter* mux = graph.Add(CLSID_AviDest, u"AVI Mux");
  IBaseFilter* writer = graph.Add(CLSID_FileWriter, u"File Writer");
  auto* sink = QueryAs<IFileSinkFilter2>(writer, IID_IFileSinkFilter2);
  EXPECT_EQ(sink->SetFileName(Wide(path).c_str(), nullptr), S_OK);
  EXPECT_EQ(sink->SetMode(AM_FILE_OVERWRITE), S_OK);
  sink->Release();
  EXPECT_EQ(ConnectFilters(mux, writer), S_OK);
  return mux;
}

struct CompressorCase {
  const char* name;
  int position;  // in the catalogue; -1 for the DV encoder
  bool video;
  const char* codec;  // as libavformat names it in the file
};
// Named in test output by its name, not by its bytes.
void PrintTo(const CompressorCase& c, std::ostream* os) { *os << c.name; }


class Compressors : public ::testing::TestWithParam<CompressorCase> {};

TEST_P(Compressors, WriteAnAviFile) {
  const CompressorCase& c = GetParam();
  const std::string out = SandboxFile(std::string("compressed_") + std::to_string(c.position + 1) + ".avi");
  {
    TestGraph graph;
    IBaseFilter* source = AddSource(graph, AviClip());
    IBaseFilter* compressor = graph.Add(c.position < 0 ? CLSID_DVVideoEnc : CompressorClass(c.position), u"Compressor");
    ASSERT_NE(compressor, nullptr) << c.name;
    IBaseFilter* mux = AddAviOutput(graph, out);
    ASSERT_EQ(ConnectFilters(source, compressor, c.video ? 0 : 1), S_OK) << c.name;
    ASSERT_EQ(ConnectFilters(compressor, mux), S_OK) << c.name;
    ASSERT_EQ(graph.Run(), S_OK);
    const auto codes = graph.WaitForCompletion(1);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), EC_COMPLETE) << c.name;
    // The writer at the end knows the length and how far the file got.
    IBaseFilter* writer = nullptr;
    IPin* muxOut = PinOf(mux, PINDIR_OUTPUT);
    IPin* writerIn = nullptr;
    muxOut->ConnectedTo(&writerIn);
    PIN_INFO info{};
    writerIn->QueryPinInfo(&info);
    writer = info.pFilter;
    auto* seeking = QueryAs<IMediaSeeking>(writer, IID_IMediaSeeking);
    ASSERT_NE(seeking, nullptr);
    LONGLONG duration = 0, current = 0;
    EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
    EXPECT_EQ(seeking->GetCurrentPosition(&current), S_OK);
    EXPECT_NEAR(double(duration) / UNITS, 2.0, 0.1);
    EXPECT_NEAR(double(current) / UNITS, 2.0, 0.15);
    seeking->Release();
    writer->Release();
    writerIn->Release();
    muxOut->Release();
    EXPECT_EQ(graph.Stop(), S_OK);
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "") << c.name;
  EXPECT_EQ(probe.format, "avi");
  if (c.video) {
    const auto* v = probe.Video();
    ASSERT_NE(v, nullptr) << c.name;
    EXPECT_EQ(v->codec, c.codec);
    EXPECT_EQ(v->width, c.position < 0 ? 720 : 176);
    EXPECT_EQ(v->height, c.position < 0 ? 480 : 144);
    if (c.position >= 0) {
      EXPECT_EQ(v->packets, 50) << c.name;
    }
    EXPECT_NEAR(v->seconds, 2.0, 0.1) << c.name;
  } else {
    const auto* a = probe.Audio();
    ASSERT_NE(a, nullptr) << c.name;
    EXPECT_EQ(a->codec, c.codec);
    EXPECT_NEAR(a->seconds, 2.0, 0.15) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Catalogue, Compressors,
    ::testing::Values(CompressorCase{"DV", -1, true, "dvvideo"}, CompressorCase{"MJPEG", 1, true, "mjpeg"},
                      CompressorCase{"MPEG4", 2, true, "mpeg4"}, CompressorCase{"H264", 3, true, "h264"},
                      CompressorCase{"Cinepak", 4, true, "cinepak"}, CompressorCase{"Video1", 5, true, "msvideo1"},
                      CompressorCase{"HuffYUV", 6, true, "huffyuv"}, CompressorCase{"PCM", 7, false, "pcm_s16le"},
                      CompressorCase{"MP3", 8, false, "mp3"}, CompressorCase{"ImaAdpcm", 9, false, "adpcm_ima_wav"},
                      CompressorCase{"MsAdpcm", 10, false, "adpcm_ms"}, CompressorCase{"ALaw", 11, false, "pcm_alaw"},
                      CompressorCase{"MuLaw", 12, false, "pcm_mulaw"}, CompressorCase{"Gsm", 13, false, "gsm_ms"},
                      CompressorCase{"MP2", 14, false, "mp2"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PcmCompressor, StreamConfigSetsChannelsRateAndSampleSize) {
  const std::string out = SandboxFile("pcm8.avi");
  {
    TestGraph graph;
    IBaseFilter* source = AddSource(graph, AviClip());
    IBaseFilter* pcm = graph.Add(CompressorClass(7), u"PCM");
    IBaseFilter* mux = AddAviOutput(graph, out);
    ASSERT_EQ(ConnectFilters(source, pcm, 1), S_OK);
    ASSERT_EQ(ConnectFilters(pcm, mux), S_OK);
    IPin* output = PinOf(pcm, PINDIR_OUTPUT);
    auto* config = QueryAs<IAMStreamConfig>(output, IID_IAMStreamConfig);
    ASSERT_NE(config, nullptr);
    AM_MEDIA_TYPE* mt = nullptr;
    ASSERT_EQ(config->GetFormat(&mt), S_OK);
    auto* wfx = reinterpret_cast<WAVEFORMATEX*>(mt->pbFormat);
    EXPECT_EQ(wfx->nChannels, 2);
    EXPECT_EQ(wfx->nSamplesPerSec, 44100u);
    // As the engine does it for one channel at 22050 Hz, one byte a sample.
    wfx->nChannels = 1;
    wfx->nSamplesPerSec = 22050;
    wfx->nAvgBytesPerSec = 22050;
    wfx->nBlockAlign = 1;
    wfx->wBitsPerSample = 8;
    ASSERT_EQ(config->SetFormat(mt), S_OK);  // reconnects the connected output
    DeleteMediaType(mt);
    wfx = nullptr;
    AM_MEDIA_TYPE connected{};
    ASSERT_EQ(output->ConnectionMediaType(&connected), S_OK);
    EXPECT_EQ(reinterpret_cast<WAVEFORMATEX*>(connected.pbFormat)->nSamplesPerSec, 22050u);
    FreeMediaType(connected);
    config->Release();
    output->Release();
    ASSERT_EQ(graph.Run(), S_OK);
    graph.WaitForCompletion(1);
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  const auto* a = probe.Audio();
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->codec, "pcm_u8");
  EXPECT_EQ(a->sampleRate, 22050);
  EXPECT_EQ(a->channels, 1);
  EXPECT_NEAR(a->seconds, 2.0, 0.15);
}

TEST(DvEncoder, FormatFollowsIDVEnc) {
  TestGraph graph;
  // Added in stream order: the graph pauses the filters downstream of the source first.
  IBaseFilter* source = AddSource(graph, AviClip());
  IBaseFilter* dv = graph.Add(CLSID_DVVideoEnc, u"DV");
  ASSERT_NE(dv, nullptr);
  auto* enc = QueryAs<IDVEnc>(dv, IID_IDVEnc);
  ASSERT_NE(enc, nullptr);
  int format = 0, dvFormat = 0, resolution = 0;
  ASSERT_EQ(enc->get_IFormatResolution(&format, &dvFormat, &resolution, FALSE, nullptr), S_OK);
  EXPECT_EQ(format, DVENCODERVIDEOFORMAT_NTSC);
  EXPECT_EQ(dvFormat, DVENCODERFORMAT_DVSD);
  EXPECT_EQ(enc->put_IFormatResolution(DVENCODERVIDEOFORMAT_PAL, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480,
                                       FALSE, nullptr),
            S_OK);
  EXPECT_EQ(enc->put_IFormatResolution(7, DVENCODERFORMAT_DVSD, DVENCODERRESOLUTION_720x480, FALSE, nullptr),
            E_INVALIDARG);
  EXPECT_EQ(enc->put_IFormatResolution(DVENCODERVIDEOFORMAT_PAL, DVENCODERFORMAT_DVHD, DVENCODERRESOLUTION_720x480,
                                       FALSE, nullptr),
            E_INVALIDARG);
  ASSERT_EQ(enc->get_IFormatResolution(&format, &dvFormat, &resolution, FALSE, nullptr), S_OK);
  EXPECT_EQ(format, DVENCODERVIDEOFORMAT_PAL);
  EXPECT_EQ(resolution, DVENCODERRESOLUTION_720x480);
  enc->Release();

  const std::string out = SandboxFile("pal.avi");
  IBaseFilter* mux = AddAviOutput(graph, out);
  ASSERT_EQ(ConnectFilters(source, dv, 0), S_OK);
  ASSERT_EQ(ConnectFilters(dv, mux), S_OK);
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(1);
  ASSERT_EQ(graph.Stop(), S_OK);
  const auto probe = testing_support::ProbeFile(out);
  const auto* v = probe.Video();
  ASSERT_NE(v, nullptr);
  EXPECT_EQ(v->codec, "dvvideo");
  EXPECT_EQ(v->width, 720);
  EXPECT_EQ(v->height, 576);
  EXPECT_EQ(v->packets, 50);
}

TEST(AviMux, InterleavingSettings) {
  TestGraph graph;
  IBaseFilter* mux = graph.Add(CLSID_AviDest, u"AVI Mux");
  auto* config = QueryAs<IConfigInterleaving>(mux, IID_IConfigInterleaving);
  ASSERT_NE(config, nullptr);
  InterleavingMode mode;
  EXPECT_EQ(config->put_Mode(INTERLEAVE_NONE_BUFFERED), S_OK);
  EXPECT_EQ(config->get_Mode(&mode), S_OK);
  EXPECT_EQ(mode, INTERLEAVE_NONE_BUFFERED);
  EXPECT_EQ(config->put_Mode(InterleavingMode(4)), E_INVALIDARG);
  const REFERENCE_TIME second = UNITS;
  EXPECT_EQ(config->put_Interleaving(&second, &second), S_OK);
  const REFERENCE_TIME half = UNITS / 2;
  EXPECT_EQ(config->put_Interleaving(&half, nullptr), S_OK);  // preroll unchanged
  REFERENCE_TIME interleave = 0, preroll = 0;
  EXPECT_EQ(config->get_Interleaving(&interleave, &preroll), S_OK);
  EXPECT_EQ(interleave, half);
  EXPECT_EQ(preroll, second);
  config->Release();
}

TEST(AviMux, WritesUncompressedStreamsWithOrWithoutInterleaving) {
  for (InterleavingMode mode : {INTERLEAVE_FULL, INTERLEAVE_NONE}) {
    const std::string out = SandboxFile("raw" + std::to_string(int(mode)) + ".avi");
    {
      TestGraph graph;
      IBaseFilter* source = AddSource(graph, AviClip());
      IBaseFilter* mux = AddAviOutput(graph, out);
      auto* config = QueryAs<IConfigInterleaving>(mux, IID_IConfigInterleaving);
      config->put_Mode(mode);
      config->Release();
      ASSERT_EQ(ConnectFilters(source, mux, 0, 0), S_OK);
      ASSERT_EQ(ConnectFilters(source, mux, 1, 1), S_OK);  // a second input pin appeared
      IPin* spare = PinOf(mux, PINDIR_INPUT, 2);
      EXPECT_NE(spare, nullptr);
      if (spare) spare->Release();
      ASSERT_EQ(graph.Run(), S_OK);
      graph.WaitForCompletion(1);
    }
    const auto probe = testing_support::ProbeFile(out);
    ASSERT_EQ(probe.error, "");
    ASSERT_TRUE(probe.Video() && probe.Audio());
    EXPECT_EQ(probe.Video()->codec, "rawvideo");
    EXPECT_EQ(probe.Video()->packets, 50);
    // The frame rate, not only the count: 50 frames at 25 per second.
    EXPECT_NEAR(probe.Video()->seconds, 2.0, 0.1);
    const auto picture = testing_support::FirstPicture(out);
    EXPECT_EQ(picture.error, "");
    EXPECT_EQ(picture.width, 176);
    EXPECT_EQ(probe.Audio()->codec, "pcm_s16le");
    EXPECT_NEAR(probe.Audio()->seconds, 2.0, 0.15);
  }
}

// Pushes three marked pictures of one uncompressed RGB type, bottom-up or top-down.
class MarkedRgbPin : public CSourceStream {
 public:
  MarkedRgbPin(CSource* filter, HRESULT* phr, WORD bits, bool topDown)
      : CSourceStream("marked RGB pin", phr, filter, u"Out"), bits_(bits), topDown_(topDown) {}

 protected:
  HRESULT GetMediaType(CMediaType* mt) override {
    mt->InitMediaType();
    mt->SetType(&MEDIATYPE_Video);
    mt->SetSubtype(bits_ == 16 ? &MEDIASUBTYPE_RGB555 : bits_ == 24 ? &MEDIASUBTYPE_RGB24 : &MEDIASUBTYPE_RGB32);
    mt->SetFormatType(&FORMAT_VideoInfo);
    auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt->AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
    std::memset(vih, 0, sizeof *vih);
    vih->AvgTimePerFrame = kFrameTime;
    vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    vih->bmiHeader.biWidth = kWidth;
    vih->bmiHeader.biHeight = topDown_ ? -kHeight : kHeight;
    vih->bmiHeader.biPlanes = 1;
    vih->bmiHeader.biBitCount = bits_;
    vih->bmiHeader.biSizeImage = DWORD(RowBytes() * kHeight);
    mt->SetSampleSize(vih->bmiHeader.biSizeImage);
    return S_OK;
  }
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override {
    request->cBuffers = 1;
    request->cbBuffer = LONG(RowBytes() * kHeight);
    ALLOCATOR_PROPERTIES actual;
    return allocator->SetProperties(request, &actual);
  }
  HRESULT FillBuffer(IMediaSample* sample) override {
    if (next_ == 3) return S_FALSE;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::memset(data, 0, RowBytes() * kHeight);  // the rows' padding too
    for (int y = 0; y < kHeight; ++y) {
      uint8_t* row = data + RowBytes() * size_t(topDown_ ? y : kHeight - 1 - y);
      for (int x = 0; x < kWidth; ++x) {
        const testing_support::Rgb c = testing_support::MarkedColourAt(x, y, kWidth, kHeight);
        if (bits_ == 16) {
          const unsigned pixel = unsigned(c.r >> 3) << 10 | unsigned(c.g >> 3) << 5 | unsigned(c.b >> 3);
          row[2 * x] = uint8_t(pixel & 0xFF);
          row[2 * x + 1] = uint8_t(pixel >> 8);
        } else {
          uint8_t* p = row + size_t(x) * (bits_ / 8);
          p[0] = uint8_t(c.b);
          p[1] = uint8_t(c.g);
          p[2] = uint8_t(c.r);
          if (bits_ == 32) p[3] = 0;
        }
      }
    }
    REFERENCE_TIME start = next_ * kFrameTime, stop = start + kFrameTime;
    sample->SetTime(&start, &stop);
    sample->SetSyncPoint(TRUE);
    sample->SetActualDataLength(LONG(RowBytes() * kHeight));
    ++next_;
    return S_OK;
  }

 private:
  static constexpr LONG kWidth = 170;
  static constexpr LONG kHeight = 96;
  static constexpr REFERENCE_TIME kFrameTime = 400000;
  size_t RowBytes() const { return (size_t(kWidth) * bits_ + 31) / 32 * 4; }
  const WORD bits_;
  const bool topDown_;
  int next_ = 0;
};

class MarkedRgbSource : public CSource {
 public:
  MarkedRgbSource(WORD bits, bool topDown) : CSource("marked RGB source", nullptr, GUID_NULL) {
    HRESULT hr = S_OK;
    new MarkedRgbPin(this, &hr, bits, topDown);
  }
};

// The file declares bottom-up rows for uncompressed RGB, as the platform lays pictures out, and
// its rows run that way whichever way its input's did: decoded, the picture is upright.
TEST(AviMux, UncompressedRgbOfEveryDepthDecodesUpright) {
  struct Case {
    WORD bits;
    bool topDown;
  };
  for (const Case c : {Case{16, false}, Case{24, false}, Case{32, false}, Case{24, true}}) {
    SCOPED_TRACE(std::to_string(c.bits) + (c.topDown ? " bits top-down" : " bits"));
    const std::string out = SandboxFile("marked" + std::to_string(c.bits) + (c.topDown ? "down" : "") + ".avi");
    {
      TestGraph graph;
      auto* source = new MarkedRgbSource(c.bits, c.topDown);
      graph.Add(source, u"Source");
      IBaseFilter* mux = AddAviOutput(graph, out);
      ASSERT_EQ(ConnectFilters(source, mux), S_OK);
      ASSERT_EQ(graph.Run(), S_OK);
      graph.WaitForCompletion(1);
    }
    const auto probe = testing_support::ProbeFile(out);
    ASSERT_EQ(probe.error, "");
    ASSERT_NE(probe.Video(), nullptr);
    EXPECT_EQ(probe.Video()->codec, "rawvideo");
    EXPECT_EQ(probe.Video()->packets, 3);
    const auto picture = testing_support::FirstPicture(out);
    ASSERT_EQ(picture.error, "");
    EXPECT_EQ(testing_support::MarkedEdgesFault(picture.width, picture.height,
                                                [&](int x, int y) {
                                                  const uint8_t* p = picture.Pixel(x, y);
                                                  return testing_support::Rgb{p[0], p[1], p[2]};
                                                }),
              "");
  }
}

// Holds the streaming thread of the source after a number of samples until released, so that
// Stop comes in the middle of the stream whatever the machine's speed.
class HoldingCallback : public CountingCallback {
 public:
  explicit HoldingCallback(int holdAt) : holdAt_(holdAt) {}
  TestGraph* graph = nullptr;
  STDMETHODIMP SampleCB(double time, IMediaSample* sample) override {
    CountingCallback::SampleCB(time, sample);
    if (graph) graph->Poke();
    if (samples == holdAt_) {
      std::unique_lock<std::mutex> hold(lock_);
      released_.wait(hold, [&] { return release_; });
    }
    return S_OK;
  }
  void Let() {
    std::lock_guard<std::mutex> hold(lock_);
    release_ = true;
    released_.notify_all();
  }

 private:
  const int holdAt_;
  std::mutex lock_;
  std::condition_variable released_;
  bool release_ = false;
};

TEST(AviMux, StopInTheMiddleLeavesAFinishedFile) {
  const std::string out = SandboxFile("stopped.avi");
  HoldingCallback holder(20);
  {
    TestGraph graph;
    holder.graph = &graph;
    IBaseFilter* source = AddSource(graph, AviClip());
    IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
    IBaseFilter* compressor = graph.Add(CompressorClass(2), u"Compressor");
    IBaseFilter* mux = AddAviOutput(graph, out);
    auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
    grab->SetCallback(&holder, 0);
    grab->Release();
    ASSERT_EQ(ConnectFilters(source, grabber, 0), S_OK);
    ASSERT_EQ(ConnectFilters(grabber, compressor), S_OK);
    ASSERT_EQ(ConnectFilters(compressor, mux), S_OK);
    ASSERT_EQ(graph.Run(), S_OK);
    ASSERT_TRUE(graph.WaitUntil([&] { return holder.samples >= 20; }));
    EXPECT_EQ(mux->Stop(), S_OK);  // the writer part stops first, as the graph stops downstream first
    holder.Let();
    EXPECT_EQ(graph.Stop(), S_OK);
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  ASSERT_NE(probe.Video(), nullptr);
  EXPECT_EQ(probe.Video()->codec, "mpeg4");
  // The compressor encodes one picture behind its input: the one in its hands when the writer
  // stopped may be lost.
  EXPECT_GE(probe.Video()->packets, 18);
  EXPECT_LE(probe.Video()->packets, 20);
}

TEST(AsfWriter, StopInTheMiddleLeavesAFinishedFile) {
  const std::string out = SandboxFile("stopped.wmv");
  HoldingCallback holder(20);
  {
    TestGraph graph;
    holder.graph = &graph;
    IBaseFilter* source = AddSource(graph, AviClip());
    IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
    IBaseFilter* asf = graph.Add(CLSID_WMAsfWriter, u"ASF Writer");
    auto* sink = QueryAs<IFileSinkFilter>(asf, IID_IFileSinkFilter);
    ASSERT_EQ(sink->SetFileName(Wide(out).c_str(), nullptr), S_OK);
    sink->Release();
    auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
    grab->SetCallback(&holder, 0);
    grab->Release();
    ASSERT_EQ(ConnectFilters(source, grabber, 0), S_OK);
    ASSERT_EQ(ConnectFilters(grabber, asf, 0, 1), S_OK);
    ASSERT_EQ(graph.Run(), S_OK);
    ASSERT_TRUE(graph.WaitUntil([&] { return holder.samples >= 20; }));
    EXPECT_EQ(asf->Stop(), S_OK);
    holder.Let();
    EXPECT_EQ(graph.Stop(), S_OK);
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  ASSERT_NE(probe.Video(), nullptr);
  EXPECT_EQ(probe.Video()->codec, "wmv2");
  EXPECT_EQ(probe.Video()->packets, 19);
  EXPECT_EQ(probe.Audio(), nullptr);
}

TEST(Writers, StopRightAfterRunLeavesValidFiles) {
  // However far the streams got (maybe nowhere), the files are finished.
  const std::string avi = SandboxFile("quick.avi");
  const std::string wmv = SandboxFile("quick.wmv");
  {
    TestGraph graph;
    IBaseFilter* source = AddSource(graph, AviClip());
    IBaseFilter* compressor = graph.Add(CompressorClass(2), u"Compressor");
    IBaseFilter* mux = AddAviOutput(graph, avi);
    IBaseFilter* asf = graph.Add(CLSID_WMAsfWriter, u"ASF Writer");
    auto* sink = QueryAs<IFileSinkFilter>(asf, IID_IFileSinkFilter);
    ASSERT_EQ(sink->SetFileName(Wide(wmv).c_str(), nullptr), S_OK);
    sink->Release();
    ASSERT_EQ(ConnectFilters(source, compressor, 0), S_OK);
    ASSERT_EQ(ConnectFilters(compressor, mux), S_OK);
    ASSERT_EQ(ConnectFilters(source, asf, 1, 0), S_OK);
    ASSERT_EQ(graph.Run(), S_OK);
    EXPECT_EQ(graph.Stop(), S_OK);
  }
  for (const std::string& path : {avi, wmv}) {
    const auto probe = testing_support::ProbeFile(path);
    EXPECT_EQ(probe.error, "") << path;
    EXPECT_EQ(probe.streams.size(), 1u) << path;
  }
}

TEST(AsfWriter, WritesWmv8AndWma2) {
  const std::string out = SandboxFile("out.wmv");
  {
    TestGraph graph;
    IBaseFilter* source = AddSource(graph, AviClip());
    IBaseFilter* asf = graph.Add(CLSID_WMAsfWriter, u"ASF Writer");
    auto* sink = QueryAs<IFileSinkFilter>(asf, IID_IFileSinkFilter);
    ASSERT_EQ(sink->SetFileName(Wide(out).c_str(), nullptr), S_OK);
    sink->Release();
    // Audio Input 01, then Video Input 01.
    ASSERT_EQ(ConnectFilters(source, asf, 1, 0), S_OK);
    ASSERT_EQ(ConnectFilters(source, asf, 0, 1), S_OK);
    ASSERT_EQ(graph.Run(), S_OK);
    const auto codes = graph.WaitForCompletion(1);
    ASSERT_FALSE(codes.empty());
    EXPECT_EQ(codes.back(), EC_COMPLETE);
  }
  const auto probe = testing_support::ProbeFile(out);
  ASSERT_EQ(probe.error, "");
  EXPECT_EQ(probe.format, "asf");
  ASSERT_TRUE(probe.Video() && probe.Audio());
  EXPECT_EQ(probe.Video()->codec, "wmv2");
  EXPECT_EQ(probe.Video()->width, 176);
  EXPECT_EQ(probe.Video()->packets, 50);
  EXPECT_EQ(probe.Audio()->codec, "wmav2");
  EXPECT_NEAR(probe.Audio()->seconds, 2.0, 0.2);
}

TEST(AsfWriter, SettingsChooseStreamsAndRefuseNonsense) {
  TestGraph graph;
  IBaseFilter* asf = graph.Add(CLSID_WMAsfWriter, u"ASF Writer");
  auto* settings = QueryAs<IAsfWriterSettings>(asf, IID_IAsfWriterSettings);
  ASSERT_NE(settings, nullptr);
  AsfWriterSettings s;
  ASSERT_EQ(settings->GetSettings(&s), S_OK);
  EXPECT_EQ(s.videoEncoder, "wmv2");
  s.video = false;
  ASSERT_EQ(settings->SetSettings(&s), S_OK);
  IPin* only = PinOf(asf, PINDIR_INPUT, 0);
  ASSERT_NE(only, nullptr);
  PIN_INFO info{};
  only->QueryPinInfo(&info);
  EXPECT_EQ(std::u16string(info.achName), u"Audio Input 01");
  if (info.pFilter) info.pFilter->Release();
  only->Release();
  EXPECT_EQ(PinOf(asf, PINDIR_INPUT, 1), nullptr);
  s.audio = false;
  EXPECT_EQ(settings->SetSettings(&s), E_INVALIDARG);
  s.audio = true;
  s.audioEncoder = "no such encoder";
  EXPECT_EQ(settings->SetSettings(&s), E_INVALIDARG);
  settings->Release();
}

TEST(FileWriter, NamesItsFileAndMode) {
  TestGraph graph;
  IBaseFilter* writer = graph.Add(CLSID_FileWriter, u"File Writer");
  auto* sink = QueryAs<IFileSinkFilter2>(writer, IID_IFileSinkFilter2);
  LPOLESTR name = nullptr;
  EXPECT_EQ(sink->GetCurFile(&name, nullptr), E_FAIL);
  EXPECT_EQ(sink->SetFileName(u"C:\\out.avi", nullptr), S_OK);
  AM_MEDIA_TYPE mt{};
  ASSERT_EQ(sink->GetCurFile(&name, &mt), S_OK);
  EXPECT_EQ(std::u16string(name), u"C:\\out.avi");
  EXPECT_EQ(mt.majortype, MEDIATYPE_Stream);
  CoTaskMemFree(name);
  FreeMediaType(mt);
  DWORD mode = 7;
  EXPECT_EQ(sink->GetMode(&mode), S_OK);
  EXPECT_EQ(mode, 0u);
  EXPECT_EQ(sink->SetMode(AM_FILE_OVERWRITE), S_OK);
  EXPECT_EQ(sink->SetMode(2), E_INVALIDARG);
  EXPECT_EQ(sink->GetMode(&mode), S_OK);
  EXPECT_EQ(mode, DWORD(AM_FILE_OVERWRITE));
  sink->Release();
}

}  // namespace
}  // namespace dshow_test

namespace dshow_test {
namespace {

// Stands in for the media format runtime's configuration object.
HRESULT MakeConfig(IBaseFilter* writer, void** ppv) {
  // Any object will do; hand out the writer's settings interface to see the call arrive.
  return writer->QueryInterface(IID_IAsfWriterSettings, ppv);
}

TEST(AsfWriter, AnswersTheRegisteredConfigurationInterface) {
  const GUID iid = {0x45086030, 0xF7E4, 0x486A, {0xB5, 0x04, 0x82, 0x6B, 0xB5, 0x79, 0x2A, 0x3B}};
  TestGraph graph;
  IBaseFilter* asf = graph.Add(CLSID_WMAsfWriter, u"ASF Writer");
  IUnknown* config = nullptr;
  EXPECT_EQ(asf->QueryInterface(iid, reinterpret_cast<void**>(&config)), E_NOINTERFACE);
  SetAsfWriterConfigFactory(iid, &MakeConfig);
  ASSERT_EQ(asf->QueryInterface(iid, reinterpret_cast<void**>(&config)), S_OK);
  config->Release();
  SetAsfWriterConfigFactory(GUID_NULL, nullptr);
}

}  // namespace
}  // namespace dshow_test
