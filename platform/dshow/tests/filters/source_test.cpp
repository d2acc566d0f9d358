// The file source: decoding every input type to the end, its media types, seeking, bad files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <mutex>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

#include "clips.h"
#include "ole/objbase.h"
#include "test_graph.h"

namespace dshow_test {
namespace {

IBaseFilter* AddSource(TestGraph& graph, const std::string& path, HRESULT* hr = nullptr) {
  IBaseFilter* source = graph.Add(CLSID_CorvaneFileSource, u"Source");
  if (!source) return nullptr;
  auto* file = QueryAs<IFileSourceFilter>(source, IID_IFileSourceFilter);
  const HRESULT result = file->Load(Wide(path).c_str(), nullptr);
  file->Release();
  if (hr) *hr = result;
  return SUCCEEDED(result) ? source : nullptr;
}

// Source pin -> Sample Grabber (counting, optionally narrowed to a type) -> Null Renderer.
struct CountedBranch {
  CountingCallback counter;
  IBaseFilter* grabber = nullptr;

  HRESULT Build(TestGraph& graph, IBaseFilter* from, int pin, const AM_MEDIA_TYPE* only = nullptr) {
    grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
    IBaseFilter* renderer = graph.Add(CLSID_NullRenderer, u"Null");
    auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
    if (only) grab->SetMediaType(only);
    grab->SetCallback(&counter, 0);
    grab->Release();
    if (HRESULT hr = ConnectFilters(from, grabber, pin, 0); FAILED(hr)) return hr;
    return ConnectFilters(grabber, renderer);
  }
};

TEST(FileSource, DecodesBothStreamsToTheEnd) {
  CountedBranch video, audio;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, AviClip());
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(video.Build(graph, source, 0), S_OK);
  ASSERT_EQ(audio.Build(graph, source, 1), S_OK);
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(2);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), EC_COMPLETE), 2);
  EXPECT_EQ(video.counter.samples, 50);
  EXPECT_NEAR(video.counter.firstTime, 0.0, 1e-9);
  EXPECT_NEAR(video.counter.lastTime, 1.96, 0.041);  // the clip's AVI index may hold one empty frame
  // 16-bit stereo at 44.1 kHz for two seconds, give or take the encoder's padding.
  EXPECT_NEAR(double(audio.counter.bytes), 2.0 * 44100 * 4, 0.05 * 44100 * 4);
  EXPECT_EQ(graph.Stop(), S_OK);
}

TEST(FileSource, OffersUncompressedPicturesAndPcm) {
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, AviClip());
  ASSERT_NE(source, nullptr);
  IPin* video = PinOf(source, PINDIR_OUTPUT, 0);
  IPin* audio = PinOf(source, PINDIR_OUTPUT, 1);
  ASSERT_TRUE(video && audio);
  IEnumMediaTypes* types = nullptr;
  ASSERT_EQ(video->EnumMediaTypes(&types), S_OK);
  AM_MEDIA_TYPE* mt = nullptr;
  std::vector<GUID> subtypes;
  while (types->Next(1, &mt, nullptr) == S_OK) {
    EXPECT_EQ(mt->formattype, FORMAT_VideoInfo);
    const auto* vih = reinterpret_cast<const VIDEOINFOHEADER*>(mt->pbFormat);
    EXPECT_EQ(vih->bmiHeader.biWidth, 176);
    EXPECT_EQ(vih->bmiHeader.biHeight, 144);  // positive: bottom-up rows for RGB
    EXPECT_EQ(vih->AvgTimePerFrame, 400000);
    subtypes.push_back(mt->subtype);
    DeleteMediaType(mt);
  }
  types->Release();
  EXPECT_EQ(subtypes, (std::vector<GUID>{MEDIASUBTYPE_I420, MEDIASUBTYPE_YUY2, MEDIASUBTYPE_RGB32,
                                         MEDIASUBTYPE_RGB24, MEDIASUBTYPE_RGB555}));
  ASSERT_EQ(audio->EnumMediaTypes(&types), S_OK);
  ASSERT_EQ(types->Next(1, &mt, nullptr), S_OK);
  const auto* wfx = reinterpret_cast<const WAVEFORMATEX*>(mt->pbFormat);
  EXPECT_EQ(mt->subtype, MEDIASUBTYPE_PCM);
  EXPECT_EQ(wfx->wFormatTag, WAVE_FORMAT_PCM);
  EXPECT_EQ(wfx->nChannels, 2);
  EXPECT_EQ(wfx->nSamplesPerSec, 44100u);
  EXPECT_EQ(wfx->wBitsPerSample, 16);
  EXPECT_EQ(wfx->nBlockAlign, 4);
  DeleteMediaType(mt);
  types->Release();
  video->Release();
  audio->Release();
}

TEST(FileSource, Rgb24RowsAreBottomUpAndPadded) {
  CountedBranch video;
  TestGraph graph;
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "";
  o.width = 170;  // 510 bytes a row, padded to 512
  o.height = 96;
  o.seconds = 0.2;
  IBaseFilter* source = AddSource(graph, Clip("narrow.avi", o));
  ASSERT_NE(source, nullptr);
  AM_MEDIA_TYPE rgb24{};
  rgb24.majortype = MEDIATYPE_Video;
  rgb24.subtype = MEDIASUBTYPE_RGB24;
  ASSERT_EQ(video.Build(graph, source, 0, &rgb24), S_OK);
  auto* grab = QueryAs<ISampleGrabber>(video.grabber, IID_ISampleGrabber);
  grab->SetBufferSamples(TRUE);
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(1);
  LONG size = 0;
  ASSERT_EQ(grab->GetCurrentBuffer(&size, nullptr), S_OK);
  EXPECT_EQ(size, 512 * 96);
  std::vector<LONG> buffer(size_t(size + 3) / 4);
  ASSERT_EQ(grab->GetCurrentBuffer(&size, buffer.data()), S_OK);
  // The test picture brightens toward the bottom: the first row in memory is the bottom one.
  const auto* bytes = reinterpret_cast<const uint8_t*>(buffer.data());
  long first = 0, last = 0;
  for (int x = 0; x < 510; ++x) {
    first += bytes[x];
    last += bytes[511 * 0 + 512 * 95 + x];
  }
  EXPECT_GT(first, last);
  AM_MEDIA_TYPE connected{};
  ASSERT_EQ(grab->GetConnectedMediaType(&connected), S_OK);
  EXPECT_EQ(connected.subtype, MEDIASUBTYPE_RGB24);
  FreeMediaType(connected);
  grab->Release();
}

// Every RGB kind at widths of no whole number of 16-pixel blocks: the rows of each picture keep
// their first and last pixels, top row last in memory.
TEST(FileSource, RgbPicturesOfOddWidthsKeepTheirEdges) {
  struct Kind {
    const GUID* subtype;
    int bytes;
  };
  for (const Kind kind : {Kind{&MEDIASUBTYPE_RGB32, 4}, Kind{&MEDIASUBTYPE_RGB24, 3}, Kind{&MEDIASUBTYPE_RGB555, 2}}) {
    for (const auto& [width, height] : {std::pair{170, 96}, std::pair{426, 240}}) {
      SCOPED_TRACE(std::to_string(kind.bytes * 8) + " bits, " + std::to_string(width) + " wide");
      CountedBranch video;
      TestGraph graph;
      IBaseFilter* source = AddSource(graph, MarkedClip(width, height));
      ASSERT_NE(source, nullptr);
      AM_MEDIA_TYPE rgb{};
      rgb.majortype = MEDIATYPE_Video;
      rgb.subtype = *kind.subtype;
      ASSERT_EQ(video.Build(graph, source, 0, &rgb), S_OK);
      auto* grab = QueryAs<ISampleGrabber>(video.grabber, IID_ISampleGrabber);
      grab->SetBufferSamples(TRUE);
      ASSERT_EQ(graph.Run(), S_OK);
      graph.WaitForCompletion(1);
      const size_t row = (size_t(width) * kind.bytes + 3) / 4 * 4;
      std::vector<uint8_t> picture(row * size_t(height));
      LONG size = LONG(picture.size());
      ASSERT_EQ(grab->GetCurrentBuffer(&size, reinterpret_cast<LONG*>(picture.data())), S_OK);
      grab->Release();
      const auto pixel = [&](int x, int y) {
        const uint8_t* p = picture.data() + row * size_t(height - 1 - y) + size_t(x) * kind.bytes;
        if (kind.bytes > 2) return testing_support::Rgb{p[2], p[1], p[0]};
        const unsigned v = unsigned(p[0]) | unsigned(p[1]) << 8;
        return testing_support::Rgb{int(v >> 10 & 31) << 3, int(v >> 5 & 31) << 3, int(v & 31) << 3};
      };
      EXPECT_EQ(testing_support::MarkedEdgesFault(width, height, pixel), "");
    }
  }
}

struct ContainerCase {
  const char* name;
  const char* format;
  const char* video;
  const char* audio;
};
// Named in test output by its name, not by its bytes.
void PrintTo(const ContainerCase& c, std::ostream* os) { *os << c.name; }


class FileSourceContainers : public ::testing::TestWithParam<ContainerCase> {};

TEST_P(FileSourceContainers, DecodeToTheEnd) {
  const ContainerCase& c = GetParam();
  testing_support::ClipOptions o;
  o.format = c.format;
  o.videoEncoder = c.video;
  o.audioEncoder = c.audio;
  o.sampleRate = std::string(c.audio) == "libgsm" ? 8000 : 44100;
  o.seconds = 2.0;
  CountedBranch video, audio;
  TestGraph graph;
  HRESULT hr = E_FAIL;
  IBaseFilter* source = AddSource(graph, Clip(c.name, o), &hr);
  ASSERT_EQ(hr, S_OK) << c.name;
  const bool hasVideo = *c.video != 0;
  const bool hasAudio = *c.audio != 0;
  int pin = 0;
  if (hasVideo) {
    ASSERT_EQ(video.Build(graph, source, pin++), S_OK);
  }
  if (hasAudio) {
    ASSERT_EQ(audio.Build(graph, source, pin++), S_OK);
  }
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(pin);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), EC_COMPLETE), pin) << c.name;
  if (hasVideo) {
    EXPECT_NEAR(video.counter.samples, 50, 1) << c.name;
  }
  if (hasAudio) {
    EXPECT_NEAR(double(audio.counter.lastStop) / UNITS, 2.0, 0.15) << c.name;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Types, FileSourceContainers,
    ::testing::Values(ContainerCase{"clip.wmv", "asf", "wmv2", "wmav2"}, ContainerCase{"clip.mp4", "mp4", "mpeg4", "aac"},
                      ContainerCase{"clip.flv", "flv", "flv", "libmp3lame"},
                      ContainerCase{"clip.mov", "mov", "mpeg4", "aac"}, ContainerCase{"clip.mpg", "mpeg", "mpeg1video", "mp2"},
                      ContainerCase{"clip.3gp", "3gp", "h263", "aac"}, ContainerCase{"clip.rm", "rm", "rv10", "ac3"},
                      ContainerCase{"clip.vob", "vob", "mpeg2video", "mp2"}, ContainerCase{"clip.dat", "vcd", "mpeg1video", "mp2"},
                      ContainerCase{"clip.3g2", "3g2", "h263", "aac"},
                      ContainerCase{"clip.wav", "wav", "", "pcm_s16le"}, ContainerCase{"clip.mp3", "mp3", "", "libmp3lame"}),
    [](const auto& info) {
      std::string n = info.param.name;
      for (char& ch : n) if (ch == '.') ch = '_';
      return n;
    });

// Keeps every sample's start time.
class StartTimes : public GrabberCallback {
 public:
  STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    std::lock_guard<std::mutex> hold(lock_);
    starts_.push_back(start);
    return S_OK;
  }

  std::vector<REFERENCE_TIME> Starts() {
    std::lock_guard<std::mutex> hold(lock_);
    return starts_;
  }

 private:
  std::mutex lock_;
  std::vector<REFERENCE_TIME> starts_;
};

// Plays the clip's video to the end and returns the start time of every picture.
std::vector<REFERENCE_TIME> PictureStarts(const std::string& path) {
  StartTimes times;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, path);
  if (!source) return {};
  IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
  IBaseFilter* renderer = graph.Add(CLSID_NullRenderer, u"Null");
  auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
  grab->SetCallback(&times, 0);
  grab->Release();
  if (FAILED(ConnectFilters(source, grabber)) || FAILED(ConnectFilters(grabber, renderer))) return {};
  if (graph.Run() != S_OK) return {};
  graph.WaitForCompletion(1);
  graph.Stop();
  return times.Starts();
}

// A one-second clip's pictures: each once, at its frame number times the frame length.
void ExpectFrameTimes(const std::vector<REFERENCE_TIME>& starts, int rate, const std::string& name) {
  ASSERT_EQ(starts.size(), size_t(rate)) << name;
  const double frameTime = double(UNITS) / rate;
  for (size_t i = 0; i < starts.size(); ++i) {
    EXPECT_NEAR(double(starts[i]), double(i) * frameTime, 10000.0) << name << " picture " << i;
    if (i > 0) {
      EXPECT_GT(starts[i], starts[i - 1]) << name << " picture " << i;
    }
  }
}

// The encoder is a string, not a character pointer, so that listings and failures print its name.
class FileSourcePictureTimes : public ::testing::TestWithParam<std::tuple<std::string, int>> {};

TEST_P(FileSourcePictureTimes, EveryPictureOnceAtItsFrameTime) {
  const auto [encoder, rate] = GetParam();
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = encoder;
  o.audioEncoder = "";
  o.frameRate = rate;
  o.seconds = 1.0;
  const std::string name = "times_" + encoder + "_" + std::to_string(rate) + ".avi";
  ExpectFrameTimes(PictureStarts(Clip(name, o)), rate, name);
}

INSTANTIATE_TEST_SUITE_P(Avi, FileSourcePictureTimes,
                         ::testing::Combine(::testing::Values("mpeg4", "mjpeg", "rawvideo"), ::testing::Values(15, 25)),
                         [](const auto& info) {
                           return std::get<0>(info.param) + "_" + std::to_string(std::get<1>(info.param));
                         });

// A seek into the last picture before a key frame starts with that picture, whether the decoder
// works on several pictures at once or only on one (10 pictures from key frame to key frame).
class FileSourceSeekBeforeAKeyFrame : public ::testing::TestWithParam<bool> {};

TEST_P(FileSourceSeekBeforeAKeyFrame, StartsWithThePictureCoveringTheTime) {
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.audioEncoder = "";
  o.frameRate = 15;
  o.keyframeInterval = 10;
  o.seconds = 2.0;
  const std::string path = Clip("key_frames_10.avi", o);
  StartTimes times;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, path);
  ASSERT_NE(source, nullptr);
  auto* threading = QueryAs<IDecoderThreading>(source, IID_IDecoderThreading);
  ASSERT_NE(threading, nullptr);
  EXPECT_EQ(threading->SetPictureThreads(GetParam()), S_OK);
  threading->Release();
  IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
  IBaseFilter* renderer = graph.Add(CLSID_NullRenderer, u"Null");
  auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
  grab->SetCallback(&times, 0);
  grab->Release();
  ASSERT_EQ(ConnectFilters(source, grabber), S_OK);
  ASSERT_EQ(ConnectFilters(grabber, renderer), S_OK);
  IPin* pin = PinOf(source, PINDIR_OUTPUT, 0);
  auto* seeking = QueryAs<IMediaSeeking>(pin, IID_IMediaSeeking);
  LONGLONG start = 6600000;  // inside picture 9, [0.6 s, 0.6667 s)
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  seeking->Release();
  pin->Release();
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(1);
  EXPECT_EQ(graph.Stop(), S_OK);
  // Times count from the position asked: picture 9 began 0.06 s before it, then 10 to 29 follow.
  const std::vector<REFERENCE_TIME> starts = times.Starts();
  ASSERT_EQ(starts.size(), 21u);
  EXPECT_NEAR(double(starts.front()), -600000.0, 10000.0);
  EXPECT_NEAR(double(starts.back()), 29 * UNITS / 15.0 - 6600000.0, 10000.0);
}

INSTANTIATE_TEST_SUITE_P(PictureThreads, FileSourceSeekBeforeAKeyFrame, ::testing::Bool(),
                         [](const auto& info) { return std::string(info.param ? "On" : "Off"); });

TEST(FileSource, AFileStartingLateStillStartsAtZero) {
  testing_support::ClipOptions o;
  o.format = "mpegts";
  o.videoEncoder = "mpeg2video";
  o.audioEncoder = "";
  o.seconds = 1.0;
  o.muxerOptions = {{"output_ts_offset", "10"}};
  ExpectFrameTimes(PictureStarts(Clip("late.ts", o)), 25, "late.ts");
}

TEST(FileSource, SeekingBeforeRunStartsThere) {
  CountedBranch video;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, AviClip());
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(video.Build(graph, source, 0), S_OK);
  IPin* pin = PinOf(source, PINDIR_OUTPUT, 0);
  auto* seeking = QueryAs<IMediaSeeking>(pin, IID_IMediaSeeking);
  ASSERT_NE(seeking, nullptr);
  LONGLONG duration = 0;
  ASSERT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_NEAR(double(duration) / UNITS, 2.0, 0.1);
  LONGLONG start = UNITS;
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(1);
  // Times restart at the new position; the frames before it are not shown.
  EXPECT_NEAR(video.counter.samples, 25, 1);
  EXPECT_NEAR(video.counter.firstTime, 0.0, 1e-9);
  LONGLONG current = 0;
  EXPECT_EQ(seeking->GetCurrentPosition(&current), S_OK);
  EXPECT_NEAR(double(current) / UNITS, 1.96, 0.041);
  // Frames as the time format.
  ASSERT_EQ(graph.Stop(), S_OK);
  ASSERT_EQ(seeking->SetTimeFormat(&TIME_FORMAT_FRAME), S_OK);
  EXPECT_EQ(seeking->GetDuration(&duration), S_OK);
  EXPECT_NEAR(double(duration), 50, 2);
  // The largest frame number as a stop means the end; a relative jump past the end lands there.
  LONGLONG frame = 10, last = INT64_MAX;
  ASSERT_EQ(seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning | AM_SEEKING_ReturnTime, &last,
                                  AM_SEEKING_AbsolutePositioning),
            S_OK);
  EXPECT_EQ(frame, 10);
  frame = INT64_MAX;
  ASSERT_EQ(seeking->SetPositions(&frame, AM_SEEKING_RelativePositioning | AM_SEEKING_ReturnTime, nullptr,
                                  AM_SEEKING_NoPositioning),
            S_OK);
  EXPECT_NEAR(double(frame), double(duration), 1);
  // A relative stop moves from the old stop, an incremental one from the new start; both say
  // where the stop came to.
  frame = 10;
  LONGLONG stop = 40;
  ASSERT_EQ(seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop,
                                  AM_SEEKING_AbsolutePositioning | AM_SEEKING_ReturnTime),
            S_OK);
  EXPECT_EQ(stop, 40);
  stop = -5;
  ASSERT_EQ(seeking->SetPositions(nullptr, AM_SEEKING_NoPositioning, &stop,
                                  AM_SEEKING_RelativePositioning | AM_SEEKING_ReturnTime),
            S_OK);
  EXPECT_EQ(stop, 35);
  frame = 20;
  stop = 8;
  ASSERT_EQ(seeking->SetPositions(&frame, AM_SEEKING_AbsolutePositioning, &stop,
                                  AM_SEEKING_IncrementalPositioning | AM_SEEKING_ReturnTime),
            S_OK);
  EXPECT_EQ(stop, 28);
  LONGLONG kept = 0;
  EXPECT_EQ(seeking->GetStopPosition(&kept), S_OK);
  EXPECT_EQ(kept, 28);
  seeking->Release();
  pin->Release();
}

TEST(FileSource, SeekingWhileRunningRestartsTheStreams) {
  CountedBranch video, audio;
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, AviClip());
  ASSERT_NE(source, nullptr);
  ASSERT_EQ(video.Build(graph, source, 0), S_OK);
  ASSERT_EQ(audio.Build(graph, source, 1), S_OK);
  IPin* pin = PinOf(source, PINDIR_OUTPUT, 1);
  auto* seeking = QueryAs<IMediaSeeking>(pin, IID_IMediaSeeking);
  ASSERT_EQ(graph.Run(), S_OK);
  graph.WaitForCompletion(2);
  // After the end, a seek to the middle plays the second half again on both pins.
  const int before = video.counter.samples;
  LONGLONG start = UNITS;
  ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning), S_OK);
  ASSERT_TRUE(graph.WaitUntil([&] { return video.counter.samples >= before + 24; }));
  graph.WaitForCompletion(4);
  EXPECT_NEAR(video.counter.samples, before + 25, 1);
  seeking->Release();
  pin->Release();
  EXPECT_EQ(graph.Stop(), S_OK);
}

// Writes mono 16-bit sound to Matroska in 0.1 s blocks: one second of the value 1000, then one
// second of -1000 whose timestamps start `gap` seconds after the first second ends.
std::string GapClip(const std::string& name, double gap) {
  constexpr int kRate = 22050;
  constexpr int kBlock = kRate / 10;
  const std::string path = SandboxFile(name);
  AVFormatContext* out = nullptr;
  if (avformat_alloc_output_context2(&out, nullptr, "matroska", path.c_str()) < 0) return "";
  AVStream* s = avformat_new_stream(out, nullptr);
  s->time_base = {1, kRate};
  s->codecpar->codec_type = AVMEDIA_TYPE_AUDIO;
  s->codecpar->codec_id = AV_CODEC_ID_PCM_S16LE;
  s->codecpar->sample_rate = kRate;
  s->codecpar->bits_per_coded_sample = 16;
  s->codecpar->block_align = 2;
  av_channel_layout_default(&s->codecpar->ch_layout, 1);
  bool ok = avio_open(&out->pb, path.c_str(), AVIO_FLAG_WRITE) >= 0 && avformat_write_header(out, nullptr) >= 0;
  const int64_t gapSamples = std::llround(gap * kRate);
  AVPacket* packet = av_packet_alloc();
  for (int block = 0; ok && block < 20; ++block) {
    ok = av_new_packet(packet, kBlock * 2) >= 0;
    if (!ok) break;
    const int16_t value = block < 10 ? 1000 : -1000;
    for (int i = 0; i < kBlock; ++i) std::memcpy(packet->data + 2 * i, &value, 2);
    packet->pts = packet->dts = int64_t(block) * kBlock + (block < 10 ? 0 : gapSamples);
    packet->duration = kBlock;
    packet->stream_index = 0;
    av_packet_rescale_ts(packet, {1, kRate}, s->time_base);
    ok = av_write_frame(out, packet) >= 0;
    av_packet_unref(packet);
  }
  av_packet_free(&packet);
  ok = ok && av_write_trailer(out) >= 0;
  avio_closep(&out->pb);
  avformat_free_context(out);
  return ok ? path : "";
}

// Keeps every sample's times and sound.
class SoundRecorder : public GrabberCallback {
 public:
  STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
    REFERENCE_TIME start = 0, stop = 0;
    sample->GetTime(&start, &stop);
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    const auto* values = reinterpret_cast<const int16_t*>(data);
    std::lock_guard<std::mutex> hold(lock);
    if (!times.empty() && times.back().second != start) ++breaks;
    times.emplace_back(start, stop);
    pcm.insert(pcm.end(), values, values + sample->GetActualDataLength() / 2);
    return S_OK;
  }

  std::mutex lock;
  std::vector<std::pair<REFERENCE_TIME, REFERENCE_TIME>> times;
  std::vector<int16_t> pcm;
  int breaks = 0;  // samples not starting where the one before stopped
};

// Plays the clip's sound through the file source, from `start` to `stop` when they are set.
void PlaySound(const std::string& path, SoundRecorder* recorder, LONGLONG start = 0, LONGLONG stop = 0) {
  TestGraph graph;
  IBaseFilter* source = AddSource(graph, path);
  ASSERT_NE(source, nullptr) << path;
  IBaseFilter* grabber = graph.Add(CLSID_SampleGrabber, u"Grabber");
  IBaseFilter* renderer = graph.Add(CLSID_NullRenderer, u"Null");
  auto* grab = QueryAs<ISampleGrabber>(grabber, IID_ISampleGrabber);
  grab->SetCallback(recorder, 0);
  grab->Release();
  ASSERT_EQ(ConnectFilters(source, grabber), S_OK);
  ASSERT_EQ(ConnectFilters(grabber, renderer), S_OK);
  if (start || stop) {
    IPin* pin = PinOf(source, PINDIR_OUTPUT, 0);
    auto* seeking = QueryAs<IMediaSeeking>(pin, IID_IMediaSeeking);
    ASSERT_EQ(seeking->SetPositions(&start, AM_SEEKING_AbsolutePositioning, stop ? &stop : nullptr,
                                    stop ? AM_SEEKING_AbsolutePositioning : AM_SEEKING_NoPositioning),
              S_OK);
    seeking->Release();
    pin->Release();
  }
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(1);
  EXPECT_EQ(std::count(codes.begin(), codes.end(), EC_COMPLETE), 1);
  EXPECT_EQ(graph.Stop(), S_OK);
}

// How many samples from `from` on hold `value`.
size_t RunOf(const std::vector<int16_t>& pcm, size_t from, int16_t value) {
  size_t n = 0;
  while (from + n < pcm.size() && pcm[from + n] == value) ++n;
  return n;
}

TEST(FileSource, AGapInTheSoundIsFilledWithSilenceToTheSample) {
  const std::string path = GapClip("gap.mkv", 0.5);
  ASSERT_NE(path, "");
  SoundRecorder sound;
  PlaySound(path, &sound);
  // One second of sound, half a second of silence, and the second part at 1.5 s.
  ASSERT_EQ(sound.pcm.size(), 55125u);
  EXPECT_EQ(RunOf(sound.pcm, 0, 1000), 22050u);
  EXPECT_EQ(RunOf(sound.pcm, 22050, 0), 11025u);
  EXPECT_EQ(RunOf(sound.pcm, 33075, -1000), 22050u);
  EXPECT_EQ(sound.breaks, 0);
  EXPECT_EQ(sound.times.front().first, 0);
  EXPECT_EQ(sound.times.back().second, 25000000);

  // Started inside the gap, the second part still comes at its own time.
  SoundRecorder late;
  PlaySound(path, &late, 12000000);
  ASSERT_FALSE(late.times.empty());
  const REFERENCE_TIME first = late.times.front().first;
  size_t silent = RunOf(late.pcm, 0, 0);
  EXPECT_EQ(first + av_rescale(int64_t(silent), UNITS, 22050), 3000000);
  EXPECT_EQ(RunOf(late.pcm, silent, -1000), 22050u);
  EXPECT_EQ(late.pcm.size(), silent + 22050);

  // A segment ending inside the gap ends with silence, at its stop.
  SoundRecorder cut;
  PlaySound(path, &cut, 8000000, 13000000);
  ASSERT_EQ(cut.pcm.size(), 11025u);
  EXPECT_EQ(RunOf(cut.pcm, 0, 1000), 4410u);
  EXPECT_EQ(RunOf(cut.pcm, 4410, 0), 6615u);
  EXPECT_EQ(cut.times.back().second, 5000000);
}

TEST(FileSource, TimestampJitterInsertsNoSilence) {
  const std::string path = GapClip("jitter.mkv", 0.02);
  ASSERT_NE(path, "");
  SoundRecorder sound;
  PlaySound(path, &sound);
  ASSERT_EQ(sound.pcm.size(), 44100u);
  EXPECT_EQ(RunOf(sound.pcm, 0, 1000), 22050u);
  EXPECT_EQ(RunOf(sound.pcm, 22050, -1000), 22050u);
  EXPECT_EQ(sound.breaks, 0);
}

TEST(FileSource, BadFilesFailToLoad) {
  const std::string garbage = SandboxFile("garbage.avi");
  {
    std::ofstream out(garbage, std::ios::binary);
    for (int i = 0; i < 5000; ++i) out.put(char(i * 7919 % 251));
  }
  const std::string empty = SandboxFile("empty.mp4");
  std::ofstream(empty, std::ios::binary).close();
  for (const std::string& path : {garbage, empty}) {
    TestGraph graph;
    HRESULT hr = S_OK;
    EXPECT_EQ(AddSource(graph, path, &hr), nullptr) << path;
    EXPECT_EQ(hr, VFW_E_UNKNOWN_FILE_TYPE) << path;
  }
  TestGraph graph;
  HRESULT hr = S_OK;
  EXPECT_EQ(AddSource(graph, SandboxFile("missing.avi"), &hr), nullptr);
  EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND));
}

TEST(FileSource, TruncatedFileEndsTheStreamCleanly) {
  const std::string whole = AviClip();
  const std::string cut = SandboxFile("cut.avi");
  {
    std::ifstream in(whole, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::ofstream out(cut, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size() * 6 / 10));
  }
  CountedBranch video;
  TestGraph graph;
  HRESULT hr = S_OK;
  IBaseFilter* source = AddSource(graph, cut, &hr);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(video.Build(graph, source, 0), S_OK);
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(1);
  ASSERT_FALSE(codes.empty());
  EXPECT_TRUE(codes.back() == EC_COMPLETE || codes.back() == EC_ERRORABORT);
  EXPECT_GT(video.counter.samples, 0);
  EXPECT_LT(video.counter.samples, 50);
  EXPECT_EQ(graph.Stop(), S_OK);
}

TEST(FileSource, DamagedDataEndsCleanly) {
  // Noise over the middle third of the file: decoding goes on or stops, but always ends.
  const std::string whole = AviClip();
  const std::string damaged = SandboxFile("damaged.avi");
  {
    std::ifstream in(whole, std::ios::binary);
    std::vector<char> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    for (size_t i = bytes.size() / 3; i < bytes.size() * 2 / 3; ++i) bytes[i] = char(i * 2654435761u >> 13);
    std::ofstream out(damaged, std::ios::binary);
    out.write(bytes.data(), std::streamsize(bytes.size()));
  }
  CountedBranch video, audio;
  TestGraph graph;
  HRESULT hr = S_OK;
  IBaseFilter* source = AddSource(graph, damaged, &hr);
  ASSERT_EQ(hr, S_OK);
  ASSERT_EQ(video.Build(graph, source, 0), S_OK);
  ASSERT_EQ(audio.Build(graph, source, 1), S_OK);
  ASSERT_EQ(graph.Run(), S_OK);
  const auto codes = graph.WaitForCompletion(2);
  const auto ended = std::count(codes.begin(), codes.end(), EC_COMPLETE) +
                     std::count(codes.begin(), codes.end(), EC_ERRORABORT);
  EXPECT_GE(ended, 1);
  EXPECT_GT(video.counter.samples, 0);
  EXPECT_EQ(graph.Stop(), S_OK);
}

}  // namespace
}  // namespace dshow_test
