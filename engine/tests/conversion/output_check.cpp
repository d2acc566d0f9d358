#include "output_check.h"

#include <chrono>
#include <thread>

#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace {

struct Decoder {
  AVCodecContext* context = nullptr;
  ~Decoder() { avcodec_free_context(&context); }
};

}  // namespace

DecodedFile DecodeFile(const std::string& path) {
  DecodedFile file;
  AVFormatContext* input = nullptr;
  if (avformat_open_input(&input, path.c_str(), nullptr, nullptr) < 0) {
    file.error = "cannot open " + path;
    return file;
  }
  avformat_find_stream_info(input, nullptr);
  file.format = input->iformat->name;
  const AVDictionaryEntry* tag = nullptr;
  while ((tag = av_dict_get(input->metadata, "", tag, AV_DICT_IGNORE_SUFFIX))) file.tags[tag->key] = tag->value;
  std::vector<Decoder> decoders(input->nb_streams);
  int64_t audioSamples = 0;
  for (unsigned i = 0; i < input->nb_streams; ++i) {
    const AVCodecParameters* p = input->streams[i]->codecpar;
    const AVCodec* codec = avcodec_find_decoder(p->codec_id);
    if (!codec) continue;
    decoders[i].context = avcodec_alloc_context3(codec);
    avcodec_parameters_to_context(decoders[i].context, p);
    if (avcodec_open2(decoders[i].context, codec, nullptr) < 0) ++file.decodeErrors;
    if (p->codec_type == AVMEDIA_TYPE_VIDEO && file.videoCodec.empty()) {
      file.videoCodec = codec->name;
      file.width = p->width;
      file.height = p->height;
      file.frameRate = av_q2d(input->streams[i]->avg_frame_rate.num ? input->streams[i]->avg_frame_rate
                                                                      : input->streams[i]->r_frame_rate);
    } else if (p->codec_type == AVMEDIA_TYPE_AUDIO && file.audioCodec.empty()) {
      file.audioCodec = codec->name;
      file.sampleRate = p->sample_rate;
      file.channels = p->ch_layout.nb_channels;
    }
  }
  AVPacket* packet = av_packet_alloc();
  AVFrame* frame = av_frame_alloc();
  auto drain = [&](AVCodecContext* c) {
    int err;
    while ((err = avcodec_receive_frame(c, frame)) == 0) {
      if (c->codec_type == AVMEDIA_TYPE_VIDEO) ++file.videoFrames;
      else audioSamples += frame->nb_samples;
      if (frame->decode_error_flags) ++file.decodeErrors;
      av_frame_unref(frame);
    }
    if (err != AVERROR(EAGAIN) && err != AVERROR_EOF) ++file.decodeErrors;
  };
  while (av_read_frame(input, packet) >= 0) {
    AVCodecContext* c = decoders[size_t(packet->stream_index)].context;
    if (c) {
      if (avcodec_send_packet(c, packet) < 0) ++file.decodeErrors;
      drain(c);
    }
    av_packet_unref(packet);
  }
  for (Decoder& d : decoders)
    if (d.context) {
      avcodec_send_packet(d.context, nullptr);
      drain(d.context);
    }
  av_frame_free(&frame);
  av_packet_free(&packet);
  avformat_close_input(&input);
  if (file.frameRate > 0) file.videoSeconds = file.videoFrames / file.frameRate;
  if (file.sampleRate > 0) file.audioSeconds = double(audioSamples) / file.sampleRate;
  return file;
}

void OutputConversion::SetUpTestSuite() {
  HostedControl::SetUpTestSuite();
  static bool made = false;
  if (made) return;
  testing_support::ClipOptions options;
  options.format = "avi";
  options.videoEncoder = "mpeg4";
  options.audioEncoder = "pcm_s16le";
  options.sampleRate = 44100;
  options.channels = 2;
  options.seconds = 2.0;
  options.markedEdges = true;
  ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
  made = true;
}

std::string OutputConversion::Clip() { return testing_support::SandboxDir() + "/marked_clip.avi"; }

std::string OutputConversion::Output(const std::string& name) { return testing_support::SandboxDir() + "/" + name; }

bool OutputConversion::Convert(short type, const std::string& path, double seconds, bool audio, bool video) {
  Put(dispidOutputType, COleVariant(LONG(type)));
  Call(dispidInitControl);
  if (video && !AddVideo(Clip(), 0, seconds)) return false;
  if (audio && !AddAudio(Clip(), 0, seconds)) return false;
  return CallBool(dispidSave, {COleVariant(path.c_str())});
}

bool OutputConversion::PumpUntilComplete() {
  const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(3);
  while (host.completes == 0) {
    if (std::chrono::steady_clock::now() > guard) return false;
    ui.AdvanceClock(10);
    std::this_thread::yield();
  }
  return true;
}

void OutputConversion::ExpectUpright(const std::string& path) {
  const testing_support::ProbedPicture picture = testing_support::FirstPicture(path);
  ASSERT_EQ("", picture.error);
  const uint8_t* top = picture.Pixel(2, picture.height / 8);
  const uint8_t* bottom = picture.Pixel(2, picture.height - 1 - picture.height / 8);
  EXPECT_GT(top[0], 150);
  EXPECT_LT(top[2], 100);
  EXPECT_GT(bottom[2], 150);
  EXPECT_LT(bottom[0], 100);
}
