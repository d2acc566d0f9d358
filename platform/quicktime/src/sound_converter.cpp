// The sound converter: a decoder of the media libraries for the input format, a resampler to the
// output's channels and rate, and the converted sound not yet handed out.
#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "ffmpeg_util.h"
#include "movie_header.h"
#include "quicktime/quicktime.h"
#include "sound_formats.h"

extern "C" {
#include <libavutil/opt.h>
}

struct SoundConverterRecord {
  SoundComponentData input{};
  SoundComponentData output{};
  std::vector<uint8_t> decoderConfig;
  int objectType = 0;
  AVCodecID codec = AV_CODEC_ID_NONE;
  quicktime::ffmpeg::CodecContext decoder;
  quicktime::ffmpeg::Resampler resampler;
  quicktime::ffmpeg::Frame frame;
  quicktime::ffmpeg::Packet packet;
  bool begun = false;
  std::vector<uint8_t> pending;  // converted sound not handed out yet
  size_t pendingAt = 0;
  std::vector<uint8_t> resampled;
  // Set by GetBufferSizes and FillBuffer: what the caller's output holds.
  uint32_t promisedInputFrames = 0;
  uint32_t outputCapacity = 0;
};

namespace {

int RateOf(UnsignedFixed rate) { return int(std::lround(rate / 65536.0)); }

int InputBytesPerFrame(const SoundConverterRecord& sc) {
  return sc.input.numChannels * ((sc.input.sampleSize + 7) / 8);
}
int OutputBytesPerFrame(const SoundConverterRecord& sc) { return sc.output.numChannels * (sc.output.sampleSize / 8); }

// The resampler's output format for an output sample size; 24 bits are made as 32 and packed.
AVSampleFormat SampleFormatOf(int sampleSize) {
  switch (sampleSize) {
    case 8: return AV_SAMPLE_FMT_U8;
    case 16: return AV_SAMPLE_FMT_S16;
    default: return AV_SAMPLE_FMT_S32;
  }
}

bool OpenDecoder(SoundConverterRecord* sc) {
  const AVCodec* codec = avcodec_find_decoder(sc->codec);
  if (!codec) return false;
  quicktime::ffmpeg::CodecContext context(avcodec_alloc_context3(codec));
  if (!context) return false;
  context->sample_rate = RateOf(sc->input.sampleRate);
  av_channel_layout_default(&context->ch_layout, sc->input.numChannels);
  context->bits_per_coded_sample = sc->input.sampleSize;
  context->block_align = InputBytesPerFrame(*sc);
  if (!sc->decoderConfig.empty()) {
    context->extradata = static_cast<uint8_t*>(av_mallocz(sc->decoderConfig.size() + AV_INPUT_BUFFER_PADDING_SIZE));
    if (!context->extradata) return false;
    std::memcpy(context->extradata, sc->decoderConfig.data(), sc->decoderConfig.size());
    context->extradata_size = int(sc->decoderConfig.size());
  }
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return false;
  sc->decoder = std::move(context);
  return true;
}

// Converts a decoded frame to the output format and keeps it.
bool Keep(SoundConverterRecord* sc, const AVFrame* frame) {
  if (!sc->resampler) {
    AVChannelLayout outLayout{}, inLayout{};
    av_channel_layout_default(&outLayout, sc->output.numChannels);
    SwrContext* raw = nullptr;
    int err = av_channel_layout_copy(&inLayout, &frame->ch_layout);
    if (err >= 0)
      err = swr_alloc_set_opts2(&raw, &outLayout, SampleFormatOf(sc->output.sampleSize), RateOf(sc->output.sampleRate),
                                &inLayout, AVSampleFormat(frame->format), frame->sample_rate, 0, nullptr);
    av_channel_layout_uninit(&inLayout);
    av_channel_layout_uninit(&outLayout);
    sc->resampler.reset(raw);
    if (err < 0 || swr_init(sc->resampler.get()) < 0) {
      sc->resampler.reset();
      return false;
    }
  }
  const int room = swr_get_out_samples(sc->resampler.get(), frame ? frame->nb_samples : 0);
  if (room < 0) return false;
  const int channels = sc->output.numChannels;
  const int made = av_get_bytes_per_sample(SampleFormatOf(sc->output.sampleSize));
  sc->resampled.resize(size_t(room) * size_t(channels) * size_t(made) + 64);
  uint8_t* out[1] = {sc->resampled.data()};
  const int frames = swr_convert(sc->resampler.get(), out, room, frame ? const_cast<const uint8_t**>(frame->extended_data) : nullptr,
                                 frame ? frame->nb_samples : 0);
  if (frames < 0) return false;
  const size_t samples = size_t(frames) * size_t(channels);
  if (sc->output.sampleSize == 24) {
    // The top three bytes of each 32-bit sample, low byte first.
    for (size_t i = 0; i < samples; ++i) {
      const uint8_t* s = sc->resampled.data() + i * 4;
      sc->pending.insert(sc->pending.end(), {s[1], s[2], s[3]});
    }
  } else {
    sc->pending.insert(sc->pending.end(), sc->resampled.data(), sc->resampled.data() + samples * size_t(made));
  }
  return true;
}

// Passes every frame the decoder has to Keep.
bool TakeFrames(SoundConverterRecord* sc) {
  for (;;) {
    const int err = avcodec_receive_frame(sc->decoder.get(), sc->frame.get());
    if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return true;
    if (err < 0) return false;
    const bool kept = Keep(sc, sc->frame.get());
    av_frame_unref(sc->frame.get());
    if (!kept) return false;
  }
}

// Decodes one packet; a damaged packet is passed over, as a player would.
bool Decode(SoundConverterRecord* sc, const uint8_t* data, size_t size) {
  if (size == 0) return true;
  if (size > size_t(INT32_MAX) - AV_INPUT_BUFFER_PADDING_SIZE) return false;
  // The decoder reads a little past a packet's end: the packet is copied into padded memory.
  if (av_new_packet(sc->packet.get(), int(size)) < 0) return false;
  std::memcpy(sc->packet->data, data, size);
  int err = avcodec_send_packet(sc->decoder.get(), sc->packet.get());
  while (err == AVERROR(EAGAIN)) {
    if (!TakeFrames(sc)) break;
    err = avcodec_send_packet(sc->decoder.get(), sc->packet.get());
  }
  av_packet_unref(sc->packet.get());
  return TakeFrames(sc);
}

// Decodes what one fill callback record holds.
bool DecodeRecord(SoundConverterRecord* sc, const SoundComponentData* data) {
  if (!data->buffer || data->sampleCount < 0) return false;
  if (!(data->flags & kExtendedSoundData)) {
    if (!quicktime::sound::IsUncompressed(sc->input.format)) return false;  // packet sizes unknown
    return Decode(sc, data->buffer, size_t(data->sampleCount) * size_t(InputBytesPerFrame(*sc)));
  }
  const auto* extended = reinterpret_cast<const ExtendedSoundComponentData*>(data);
  const int32_t flags = extended->extendedFlags;
  const size_t bufferSize = flags & kExtendedSoundBufferSizeValid ? size_t(std::max(extended->bufferSize, 0)) : SIZE_MAX;
  if (quicktime::sound::IsUncompressed(sc->input.format)) {
    const size_t bytes = size_t(data->sampleCount) * size_t(InputBytesPerFrame(*sc));
    return bytes <= bufferSize && Decode(sc, data->buffer, bytes);
  }
  size_t offset = 0;
  for (int32_t i = 0; i < data->sampleCount; ++i) {
    size_t packetSize;
    if (flags & kExtendedSoundFrameSizesValid && extended->frameSizesArray)
      packetSize = size_t(std::max(extended->frameSizesArray[i], 0));
    else if (flags & kExtendedSoundCommonFrameSizeValid)
      packetSize = size_t(std::max(extended->commonFrameSize, 0));
    else if (data->sampleCount == 1 && bufferSize != SIZE_MAX)
      packetSize = bufferSize;
    else
      return false;
    if (packetSize > bufferSize - offset) return false;
    if (!Decode(sc, data->buffer + offset, packetSize)) return false;
    offset += packetSize;
  }
  return true;
}

// Moves up to capacity bytes (whole output frames) of converted sound to out.
uint32_t HandOut(SoundConverterRecord* sc, uint8_t* out, uint32_t capacity) {
  const uint32_t frameBytes = uint32_t(OutputBytesPerFrame(*sc));
  const size_t available = sc->pending.size() - sc->pendingAt;
  const uint32_t bytes = uint32_t(std::min<size_t>(available, capacity / frameBytes * frameBytes));
  if (bytes > 0) std::memcpy(out, sc->pending.data() + sc->pendingAt, bytes);
  sc->pendingAt += bytes;
  if (sc->pendingAt * 2 >= sc->pending.size()) {
    sc->pending.erase(sc->pending.begin(), sc->pending.begin() + ptrdiff_t(sc->pendingAt));
    sc->pendingAt = 0;
  }
  return bytes;
}

bool ValidFormat(const SoundComponentData* f) {
  return f && f->numChannels >= 1 && f->numChannels <= 8 && f->sampleSize >= 1 && f->sampleSize <= 64 &&
         RateOf(f->sampleRate) >= 1;
}

}  // namespace

OSErr SoundConverterOpen(const SoundComponentData* inputFormat, const SoundComponentData* outputFormat,
                         SoundConverter* sc) {
  if (!sc) return paramErr;
  *sc = nullptr;
  if (!ValidFormat(inputFormat) || !ValidFormat(outputFormat)) return paramErr;
  const int16_t size = outputFormat->sampleSize;
  if (outputFormat->format != kSoundNotCompressed || (size != 8 && size != 16 && size != 24 && size != 32))
    return paramErr;
  if (quicktime::sound::DecoderOf(inputFormat->format, inputFormat->sampleSize, 0) == AV_CODEC_ID_NONE) return noCodecErr;
  auto converter = std::make_unique<SoundConverterRecord>();
  converter->input = *inputFormat;
  converter->output = *outputFormat;
  converter->frame.reset(av_frame_alloc());
  converter->packet.reset(av_packet_alloc());
  if (!converter->frame || !converter->packet) return memFullErr;
  *sc = converter.release();
  return noErr;
}

OSErr SoundConverterClose(SoundConverter sc) {
  if (!sc) return paramErr;
  delete sc;
  return noErr;
}

OSErr SoundConverterSetInfo(SoundConverter sc, OSType selector, void* infoPtr) {
  if (!sc) return paramErr;
  if (selector == siClientAcceptsVBR) return noErr;  // variable-rate sound is always taken
  if (selector != siDecompressionParams) return siUnknownInfoType;
  if (!infoPtr) return paramErr;
  // The atom's own size bounds it; the runtime made it (GetSoundDescriptionExtension).
  const auto* atom = static_cast<const uint8_t*>(infoPtr);
  const size_t size = size_t(atom[0]) << 24 | size_t(atom[1]) << 16 | size_t(atom[2]) << 8 | atom[3];
  quicktime::boxes::DecoderConfig config;
  if (size >= 8 && quicktime::boxes::ReadDecoderConfig(atom, size, &config)) {
    sc->decoderConfig = std::move(config.specificInfo);
    sc->objectType = config.objectType;
  }
  return noErr;
}

OSErr SoundConverterBeginConversion(SoundConverter sc) {
  if (!sc) return paramErr;
  if (!sc->decoder) {
    sc->codec = quicktime::sound::DecoderOf(sc->input.format, sc->input.sampleSize, sc->objectType);
    if (!OpenDecoder(sc)) return noCodecErr;
  } else {
    avcodec_flush_buffers(sc->decoder.get());
  }
  sc->resampler.reset();
  sc->pending.clear();
  sc->pendingAt = 0;
  sc->begun = true;
  return noErr;
}

OSErr SoundConverterGetBufferSizes(SoundConverter sc, uint32_t inputBytesTarget, uint32_t* inputFrames,
                                   uint32_t* inputBytes, uint32_t* outputBytes) {
  if (!sc || !inputFrames || !inputBytes || !outputBytes) return paramErr;
  if (!quicktime::sound::IsUncompressed(sc->input.format)) return paramErr;
  const uint32_t inFrame = uint32_t(InputBytesPerFrame(*sc)), outFrame = uint32_t(OutputBytesPerFrame(*sc));
  const uint64_t frames = inputBytesTarget / inFrame;
  // Resampling makes a rate's share more, and the resampler may give back a few frames it held.
  const uint64_t outFrames = frames * uint64_t(RateOf(sc->output.sampleRate)) / uint64_t(RateOf(sc->input.sampleRate)) + 64;
  if (outFrames * outFrame > UINT32_MAX) return paramErr;
  *inputFrames = uint32_t(frames);
  *inputBytes = uint32_t(frames * inFrame);
  *outputBytes = uint32_t(outFrames * outFrame);
  sc->promisedInputFrames = *inputFrames;
  sc->outputCapacity = *outputBytes;
  return noErr;
}

OSErr SoundConverterConvertBuffer(SoundConverter sc, const void* inputPtr, uint32_t inputFrames, void* outputPtr,
                                  uint32_t* outputFrames, uint32_t* outputBytes) {
  if (!sc || !outputPtr || !outputFrames || !outputBytes || (inputFrames > 0 && !inputPtr)) return paramErr;
  *outputFrames = *outputBytes = 0;
  if (!sc->begun || !quicktime::sound::IsUncompressed(sc->input.format) || inputFrames > sc->promisedInputFrames)
    return paramErr;
  if (!Decode(sc, static_cast<const uint8_t*>(inputPtr), size_t(inputFrames) * size_t(InputBytesPerFrame(*sc))))
    return paramErr;
  *outputBytes = HandOut(sc, static_cast<uint8_t*>(outputPtr), sc->outputCapacity);
  *outputFrames = *outputBytes / uint32_t(OutputBytesPerFrame(*sc));
  return noErr;
}

OSErr SoundConverterFillBuffer(SoundConverter sc, SoundConverterFillBufferDataUPP fillBufferDataUPP, void* refCon,
                               void* outputBuffer, uint32_t outputBufferByteSize, uint32_t* bytesWritten,
                               uint32_t* framesWritten, uint32_t* outputFlags) {
  if (!sc || !fillBufferDataUPP || !outputBuffer || !bytesWritten || !framesWritten || !outputFlags) return paramErr;
  *bytesWritten = *framesWritten = *outputFlags = 0;
  if (!sc->begun) return paramErr;
  sc->outputCapacity = outputBufferByteSize;
  const uint32_t frameBytes = uint32_t(OutputBytesPerFrame(*sc));
  const uint32_t wanted = outputBufferByteSize / frameBytes * frameBytes;
  auto* out = static_cast<uint8_t*>(outputBuffer);
  uint32_t written = 0;
  while (written < wanted) {
    written += HandOut(sc, out + written, wanted - written);
    if (written == wanted) break;
    SoundComponentDataPtr data = nullptr;
    if (!fillBufferDataUPP(&data, refCon) || !data) {
      *outputFlags |= kSoundConverterDidntFillBuffer;
      break;
    }
    if (!DecodeRecord(sc, data)) {
      *bytesWritten = written;
      *framesWritten = written / frameBytes;
      return paramErr;
    }
  }
  if (sc->pending.size() > sc->pendingAt) *outputFlags |= kSoundConverterHasLeftOverData;
  *bytesWritten = written;
  *framesWritten = written / frameBytes;
  return noErr;
}

OSErr SoundConverterEndConversion(SoundConverter sc, void* outputPtr, uint32_t* outputFrames, uint32_t* outputBytes) {
  if (!sc || !outputPtr || !outputFrames || !outputBytes) return paramErr;
  *outputFrames = *outputBytes = 0;
  if (!sc->begun) return noErr;
  sc->begun = false;
  avcodec_send_packet(sc->decoder.get(), nullptr);
  TakeFrames(sc);
  if (sc->resampler) Keep(sc, nullptr);
  *outputBytes = HandOut(sc, static_cast<uint8_t*>(outputPtr), sc->outputCapacity);
  *outputFrames = *outputBytes / uint32_t(OutputBytesPerFrame(*sc));
  sc->pending.clear();
  sc->pendingAt = 0;
  return noErr;
}
