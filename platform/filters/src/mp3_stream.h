#pragma once
// FFmpeg's MP3 encoder fed with interleaved PCM: resampled to the output rate and channel count,
// cut into whole frames; every packet is one MP3 frame.
#include <cstdint>
#include <vector>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/audio_fifo.h>
#include <libswresample/swresample.h>
}

namespace filters {

struct PcmInput {
  AVSampleFormat format = AV_SAMPLE_FMT_S16;
  int channels = 2;
  int rate = 44100;
};

struct Mp3Output {
  int rate = 44100;
  int channels = 2;
  int kbps = 128;
};

// The legal MP3 value nearest to a wish: the sample rates of MPEG-1, 2 and 2.5, and the bit rates
// the encoder makes at a sample rate.
int NearestMp3Rate(int hz);
int NearestMp3BitRate(int kbps, int rate);
// Samples in one frame at a sample rate.
int Mp3FrameSamples(int rate);

class Mp3Stream {
 public:
  ~Mp3Stream();
  // False when the encoder cannot be opened for these formats.
  bool Open(const PcmInput& in, const Mp3Output& out);
  // Interleaved PCM of the input format.
  bool Send(const uint8_t* data, size_t bytes);
  // End of the stream: the last part frame is padded with silence and the encoder's delay comes out.
  bool Finish();
  // Takes the next ready frame; false when none is ready.
  bool Receive(std::vector<uint8_t>* frame);

 private:
  bool EncodeWholeFrames(bool last);
  bool Drain();

  PcmInput in_;
  AVCodecContext* codec_ = nullptr;
  SwrContext* resampler_ = nullptr;
  AVAudioFifo* fifo_ = nullptr;
  AVFrame* frame_ = nullptr;
  AVPacket* packet_ = nullptr;
  std::vector<std::vector<uint8_t>> ready_;
  size_t next_ = 0;
};

}  // namespace filters
