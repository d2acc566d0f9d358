#include "codec_format.h"

#include <cstring>

namespace dshow::filters {

std::vector<uint8_t> DescribeCodec(const AVCodecParameters* p, AVRational frameRate) {
  FFmpegCodecInfo info{};
  info.codecId = uint32_t(p->codec_id);
  info.codecTag = p->codec_tag;
  info.bitRate = p->bit_rate;
  info.width = p->width;
  info.height = p->height;
  info.frameRateNum = frameRate.num;
  info.frameRateDen = frameRate.den;
  info.sampleRate = p->sample_rate;
  info.channels = p->ch_layout.nb_channels;
  info.bitsPerCodedSample = p->bits_per_coded_sample;
  info.blockAlign = p->block_align;
  info.frameSize = p->frame_size;
  info.format = p->format;
  info.extradataSize = p->extradata_size > 0 ? uint32_t(p->extradata_size) : 0;
  std::vector<uint8_t> block(sizeof info + info.extradataSize);
  std::memcpy(block.data(), &info, sizeof info);
  if (info.extradataSize) std::memcpy(block.data() + sizeof info, p->extradata, info.extradataSize);
  return block;
}

bool ReadCodec(const uint8_t* block, size_t size, AVCodecParameters* p, AVRational* frameRate) {
  if (!block || size < sizeof(FFmpegCodecInfo)) return false;
  FFmpegCodecInfo info;
  std::memcpy(&info, block, sizeof info);
  if (info.extradataSize > size - sizeof info || info.extradataSize > (1u << 28)) return false;
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(AVCodecID(info.codecId));
  if (!descriptor) return false;
  if (info.channels < 0 || info.channels > 64 || info.width < 0 || info.height < 0) return false;
  p->codec_type = descriptor->type;
  p->codec_id = AVCodecID(info.codecId);
  p->codec_tag = info.codecTag;
  p->bit_rate = info.bitRate;
  p->width = info.width;
  p->height = info.height;
  p->sample_rate = info.sampleRate;
  av_channel_layout_uninit(&p->ch_layout);
  if (info.channels > 0) av_channel_layout_default(&p->ch_layout, info.channels);
  p->bits_per_coded_sample = info.bitsPerCodedSample;
  p->block_align = info.blockAlign;
  p->frame_size = info.frameSize;
  p->format = info.format;
  av_freep(&p->extradata);
  p->extradata_size = 0;
  if (info.extradataSize) {
    p->extradata = static_cast<uint8_t*>(av_mallocz(info.extradataSize + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!p->extradata) return false;
    std::memcpy(p->extradata, block + sizeof info, info.extradataSize);
    p->extradata_size = int(info.extradataSize);
  }
  if (frameRate) *frameRate = {info.frameRateNum, info.frameRateDen > 0 ? info.frameRateDen : 1};
  return true;
}

}  // namespace dshow::filters
