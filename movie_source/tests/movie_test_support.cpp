#include "movie_test_support.h"

#include <map>
#include <mutex>

#include "testing/sandbox.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
}

namespace movie_source_test {

std::string MovieFile(const std::string& name, const testing_support::MovieOptions& options) {
  static bool quiet = (av_log_set_level(AV_LOG_ERROR), true);
  (void)quiet;
  static std::mutex lock;
  static std::map<std::string, std::string> made;
  std::lock_guard<std::mutex> guard(lock);
  if (auto it = made.find(name); it != made.end()) return it->second;
  const std::string path = testing_support::SandboxDir() + "/" + name;
  const std::string error = testing_support::MakeMovie(path, options);
  EXPECT_EQ("", error) << name;
  made[name] = path;
  return path;
}

LoadedFilter NewFilter() {
  static bool registered = (RegisterDShowClasses(), true);
  (void)registered;
  LoadedFilter loaded;
  HRESULT hr = S_OK;
  CUnknown* object = MovieSourceFilter::CreateInstance(nullptr, &hr);
  EXPECT_EQ(S_OK, hr);
  object->NonDelegatingQueryInterface(IID_IBaseFilter, loaded.filter.putVoid());
  return loaded;
}

LoadedFilter LoadFilter(const std::string& path) {
  LoadedFilter loaded = NewFilter();
  ComPtr<IFileSourceFilter> file = loaded.filter.As<IFileSourceFilter>(IID_IFileSourceFilter);
  std::u16string name;
  for (char c : path) name.push_back(char16_t(static_cast<unsigned char>(c)));
  loaded.loaded = file->Load(name.c_str(), nullptr);
  return loaded;
}

int LoadedFilter::PinCount() {
  int count = 0;
  ComPtr<IEnumPins> pins;
  filter->EnumPins(pins.put());
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.put(), nullptr) == S_OK) ++count;
  return count;
}

ComPtr<IPin> LoadedFilter::Pin(int n) {
  ComPtr<IEnumPins> pins;
  filter->EnumPins(pins.put());
  ComPtr<IPin> pin;
  for (int i = 0; pins->Next(1, pin.put(), nullptr) == S_OK; ++i)
    if (i == n) return pin;
  return nullptr;
}

std::u16string LoadedFilter::PinName(int n) {
  PIN_INFO info{};
  if (FAILED(Pin(n)->QueryPinInfo(&info))) return {};
  if (info.pFilter) info.pFilter->Release();
  return info.achName;
}

PinPlayer::PinPlayer(LoadedFilter& loaded, std::vector<int> pins) : loaded_(loaded) {
  EXPECT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.putVoid()));
  EXPECT_EQ(S_OK, graph_->AddFilter(loaded.filter.get(), u"source"));
  for (int pin : pins) {
    auto* sink = new SampleSink;
    sinks_.push_back(sink);
    sinkFilters_.emplace_back(sink);
    EXPECT_EQ(S_OK, graph_->AddFilter(sink, nullptr));
    ComPtr<IPin> out = loaded.Pin(pin);
    EXPECT_TRUE(out && SUCCEEDED(graph_->ConnectDirect(out.get(), sink->Input(), nullptr))) << "pin " << pin;
    seeking_.push_back(out ? out.As<IMediaSeeking>(IID_IMediaSeeking) : nullptr);
  }
  graph_.As<IMediaFilter>(IID_IMediaFilter)->SetSyncSource(nullptr);
}

PinPlayer::~PinPlayer() {
  graph_.As<IMediaControl>(IID_IMediaControl)->Stop();
  graph_->RemoveFilter(loaded_.filter.get());
}

void PinPlayer::Run() { EXPECT_EQ(S_OK, graph_.As<IMediaControl>(IID_IMediaControl)->Run()); }

std::vector<Played> PinPlayer::Finish() {
  std::vector<Played> played(sinks_.size());
  for (size_t i = 0; i < sinks_.size(); ++i) played[i].ended = sinks_[i]->WaitForEnd();
  graph_.As<IMediaControl>(IID_IMediaControl)->Stop();
  for (size_t i = 0; i < sinks_.size(); ++i) {
    played[i].type = sinks_[i]->ConnectedType();
    played[i].samples = sinks_[i]->Samples();
    played[i].segmentStarts = sinks_[i]->SegmentStarts();
  }
  return played;
}

Played PlayPin(LoadedFilter& loaded, int pin, const std::function<void(IMediaSeeking*)>& prepare) {
  PinPlayer player(loaded, {pin});
  if (prepare) prepare(player.Seeking());
  player.Run();
  return player.Finish().front();
}

int FrameCodeOf(const CMediaType& type, const ReceivedSample& sample) {
  const auto* info = reinterpret_cast<const VIDEOINFOHEADER*>(type.Format());
  if (!info) return -1;
  const BITMAPINFOHEADER& h = info->bmiHeader;
  const int width = h.biWidth, height = std::abs(h.biHeight), bits = h.biBitCount;
  const size_t stride = WIDTHBYTES(DWORD(width) * DWORD(bits));
  if (sample.bytes.size() < stride * size_t(height)) return -1;
  return testing_support::ReadFrameCode(width, height, [&](int x, int y) {
    const int row = h.biHeight < 0 ? y : height - 1 - y;
    const uint8_t* p = sample.bytes.data() + size_t(row) * stride;
    if (bits == 16) {
      const int v = p[x * 2] | p[x * 2 + 1] << 8;
      return testing_support::Rgb{(v >> 10 & 31) * 255 / 31, (v >> 5 & 31) * 255 / 31, (v & 31) * 255 / 31};
    }
    const int bytes = bits / 8;
    return testing_support::Rgb{p[x * bytes + 2], p[x * bytes + 1], p[x * bytes]};
  });
}

std::vector<int> FrameCodesOf(const Played& played) {
  std::vector<int> codes;
  for (const ReceivedSample& s : played.samples) codes.push_back(FrameCodeOf(played.type, s));
  return codes;
}

std::vector<uint8_t> Concatenated(const std::vector<ReceivedSample>& samples) {
  std::vector<uint8_t> all;
  for (const ReceivedSample& s : samples) all.insert(all.end(), s.bytes.begin(), s.bytes.end());
  return all;
}

int PlainFrameCount(const std::string& path, int index) {
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return -1;
  avformat_find_stream_info(format, nullptr);
  int stream = -1;
  for (unsigned i = 0, seen = 0; i < format->nb_streams && stream < 0; ++i)
    if (format->streams[i]->codecpar->codec_type == AVMEDIA_TYPE_VIDEO && int(seen++) == index) stream = int(i);
  int frames = 0;
  if (stream >= 0) {
    const AVCodecParameters* par = format->streams[stream]->codecpar;
    AVCodecContext* codec = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
    avcodec_parameters_to_context(codec, par);
    avcodec_open2(codec, codec->codec, nullptr);
    AVPacket* packet = av_packet_alloc();
    AVFrame* frame = av_frame_alloc();
    auto take = [&] {
      while (avcodec_receive_frame(codec, frame) == 0) {
        ++frames;
        av_frame_unref(frame);
      }
    };
    while (av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == stream) {
        avcodec_send_packet(codec, packet);
        take();
      }
      av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    take();
    av_frame_free(&frame);
    av_packet_free(&packet);
    avcodec_free_context(&codec);
  }
  avformat_close_input(&format);
  return frames;
}

std::vector<uint8_t> PlainSoundDecode(const std::string& path) {
  std::vector<uint8_t> pcm;
  AVFormatContext* format = nullptr;
  if (avformat_open_input(&format, path.c_str(), nullptr, nullptr) < 0) return pcm;
  avformat_find_stream_info(format, nullptr);
  const int stream = av_find_best_stream(format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
  AVCodecContext* codec = nullptr;
  SwrContext* swr = nullptr;
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  if (stream >= 0) {
    const AVCodecParameters* par = format->streams[stream]->codecpar;
    codec = avcodec_alloc_context3(avcodec_find_decoder(par->codec_id));
    avcodec_parameters_to_context(codec, par);
    codec->pkt_timebase = format->streams[stream]->time_base;
    avcodec_open2(codec, codec->codec, nullptr);
    auto take = [&] {
      while (avcodec_receive_frame(codec, frame) == 0) {
        if (!swr) {
          AVChannelLayout out{};
          av_channel_layout_default(&out, par->ch_layout.nb_channels);
          swr_alloc_set_opts2(&swr, &out, AV_SAMPLE_FMT_S16, par->sample_rate, &frame->ch_layout,
                              AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
          swr_init(swr);
        }
        const int room = swr_get_out_samples(swr, frame->nb_samples);
        std::vector<uint8_t> part(size_t(room) * par->ch_layout.nb_channels * 2);
        uint8_t* out[1] = {part.data()};
        const int made = swr_convert(swr, out, room, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
        pcm.insert(pcm.end(), part.begin(), part.begin() + made * par->ch_layout.nb_channels * 2);
        av_frame_unref(frame);
      }
    };
    while (av_read_frame(format, packet) >= 0) {
      if (packet->stream_index == stream) {
        avcodec_send_packet(codec, packet);
        take();
      }
      av_packet_unref(packet);
    }
    avcodec_send_packet(codec, nullptr);
    take();
  }
  av_frame_free(&frame);
  av_packet_free(&packet);
  swr_free(&swr);
  avcodec_free_context(&codec);
  avformat_close_input(&format);
  return pcm;
}

}  // namespace movie_source_test
