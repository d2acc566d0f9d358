#include "frame_drawer.h"

#include <algorithm>
#include <cstring>

extern "C" {
#include <libavutil/pixdesc.h>
}

#include "movie.h"

namespace quicktime::video {
namespace {

// Frames ahead of the current one that are decoded on to rather than reached from a key frame.
constexpr size_t kDecodeOnDistance = 32;

AVPixelFormat PixelFormatOf(OSType format, int* bytesPerPixel) {
  if (format == k16LE555PixelFormat) {
    *bytesPerPixel = 2;
    return AV_PIX_FMT_RGB555LE;
  }
  if (format == k24BGRPixelFormat) {
    *bytesPerPixel = 3;
    return AV_PIX_FMT_BGR24;
  }
  *bytesPerPixel = 4;
  return AV_PIX_FMT_BGRA;
}

}  // namespace

FrameDrawer::FrameDrawer(media::SampleReader* reader, const AVCodecParameters* parameters, AVRational timeBase)
    : reader_(reader), parameters_(parameters), timeBase_(timeBase) {}

bool FrameDrawer::OpenDecoder() {
  if (decoder_) return true;
  if (decoderFailed_) return false;
  decoderFailed_ = true;
  const AVCodec* codec = avcodec_find_decoder(parameters_->codec_id);
  if (!codec) return false;
  ffmpeg::CodecContext context(avcodec_alloc_context3(codec));
  if (!context || avcodec_parameters_to_context(context.get(), parameters_) < 0) return false;
  context->pkt_timebase = timeBase_;
  context->thread_count = 0;
  if (avcodec_open2(context.get(), codec, nullptr) < 0) return false;
  frame_.reset(av_frame_alloc());
  decoded_.reset(av_frame_alloc());
  if (!frame_ || !decoded_) return false;
  decoder_ = std::move(context);
  decoderFailed_ = false;
  return true;
}

bool FrameDrawer::StartAt(size_t packetIndex) {
  avcodec_flush_buffers(decoder_.get());
  av_frame_unref(frame_.get());
  currentTime_ = INT64_MIN;
  nextPacket_ = packetIndex;
  draining_ = false;
  ended_ = false;
  return true;
}

bool FrameDrawer::DecodeTo(int64_t target) {
  for (;;) {
    const int received = avcodec_receive_frame(decoder_.get(), decoded_.get());
    if (received == 0) {
      const int64_t stamp = decoded_->best_effort_timestamp;
      av_frame_unref(frame_.get());
      av_frame_move_ref(frame_.get(), decoded_.get());
      currentTime_ = stamp != AV_NOPTS_VALUE ? reader_->ToMediaTime(stamp) : currentTime_ + 1;
      if (currentTime_ >= target) return true;
      continue;
    }
    if (received == AVERROR_EOF) {
      ended_ = true;
      return frame_->data[0] != nullptr;
    }
    if (received != AVERROR(EAGAIN) || draining_) return frame_->data[0] != nullptr;
    if (const AVPacket* packet = reader_->PacketAt(nextPacket_)) {
      ++nextPacket_;
      avcodec_send_packet(decoder_.get(), packet);  // a damaged packet is passed over
    } else {
      avcodec_send_packet(decoder_.get(), nullptr);
      draining_ = true;
    }
  }
}

bool FrameDrawer::ShowFrameAt(int64_t t) {
  if (!reader_->Load()) return false;
  const std::vector<int64_t>& shown = reader_->DisplayTimes();
  if (shown.empty() || t < shown.front()) return false;
  const auto targetAt = std::upper_bound(shown.begin(), shown.end(), t) - 1;
  const int64_t target = *targetAt;
  if (frame_ && frame_->data[0] && currentTime_ == target) return true;
  if (!OpenDecoder()) return false;

  bool decodeOn = false;
  if (frame_->data[0] && currentTime_ < target && !ended_) {
    const auto currentAt = std::lower_bound(shown.begin(), shown.end(), currentTime_);
    decodeOn = size_t(targetAt - currentAt) <= kDecodeOnDistance;
  }
  if (!decodeOn) {
    // The key frame shown last at or before the target.
    const std::vector<media::Sample>& samples = reader_->Samples();
    size_t key = 0;
    int64_t keyTime = INT64_MIN;
    for (size_t i = 0; i < samples.size(); ++i)
      if (samples[i].key && !samples[i].discard && samples[i].pts <= target && samples[i].pts > keyTime) {
        key = i;
        keyTime = samples[i].pts;
      }
    StartAt(key);
  }
  return DecodeTo(target);
}

bool FrameDrawer::Convert(AVPixelFormat dstFormat, int width, int height, int srcTop, int rows, uint8_t* dst,
                          ptrdiff_t dstStride, ffmpeg::Scaler* scaler) {
  const AVFrame* f = frame_.get();
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(f->format));
  if (!desc) return false;
  const uint8_t* src[4] = {};
  int srcStride[4] = {};
  for (int plane = 0; plane < 4 && f->data[plane]; ++plane) {
    const bool chroma = (plane == 1 || plane == 2) && !(desc->flags & AV_PIX_FMT_FLAG_RGB);
    const int top = chroma ? srcTop >> desc->log2_chroma_h : srcTop;
    src[plane] = f->data[plane] + ptrdiff_t(top) * f->linesize[plane];
    srcStride[plane] = f->linesize[plane];
  }
  scaler->reset(sws_getCachedContext(scaler->release(), f->width, rows, AVPixelFormat(f->format), width, height,
                                     dstFormat, SWS_BILINEAR, nullptr, nullptr, nullptr));
  if (!*scaler) return false;
  uint8_t* dstPlanes[4] = {dst};
  const int dstStrides[4] = {int(dstStride)};
  return sws_scale(scaler->get(), src, srcStride, 0, rows, dstPlanes, dstStrides) > 0;
}

void FrameDrawer::Draw(GWorldRecord* world, const Rect& box) {
  if (!world || !frame_ || !frame_->data[0]) return;
  int bytesPerPixel = 0;
  const AVPixelFormat dstFormat = PixelFormatOf(world->pixelFormat, &bytesPerPixel);
  const int boxWidth = box.right - box.left, boxHeight = box.bottom - box.top;
  const int left = std::max<int>(box.left, 0), right = std::min<int>(box.right, world->width);
  const int top = std::max<int>(box.top, 0), bottom = std::min<int>(box.bottom, world->height);
  if (boxWidth <= 0 || boxHeight <= 0 || left >= right || top >= bottom) return;
  const AVPixFmtDescriptor* desc = av_pix_fmt_desc_get(AVPixelFormat(frame_->format));
  if (!desc) return;
  const size_t rowBytes = size_t(boxWidth) * size_t(bytesPerPixel);
  const ptrdiff_t scratchStride = ptrdiff_t((rowBytes + 63) & ~size_t(63));
  auto rowOf = [world](int y) { return world->firstRow + ptrdiff_t(y) * world->rowStep; };

  // The converter's vector code may write past the end of the last row it makes, so pictures
  // are made in a scratch picture with room to spare, except that an unscaled picture across the
  // whole width of a top-down world has all but its last rows made in place.
  const bool inPlace = boxWidth == frame_->width && boxHeight == frame_->height && box.left == 0 &&
                       boxWidth == world->width && box.top >= 0 && box.bottom <= world->height && world->rowStep > 0;
  int madeRows = 0;
  if (inPlace) {
    const int chromaRows = 1 << desc->log2_chroma_h;
    madeRows = std::max(0, (boxHeight - 2) / chromaRows * chromaRows);
    if (madeRows > 0 && !Convert(dstFormat, boxWidth, madeRows, 0, madeRows, rowOf(box.top), world->rowStep, &bodyScaler_))
      return;
    const int tailRows = boxHeight - madeRows;
    scratch_.resize(size_t(scratchStride) * size_t(tailRows + 1));
    if (!Convert(dstFormat, boxWidth, tailRows, madeRows, tailRows, scratch_.data(), scratchStride, &tailScaler_)) return;
    for (int y = 0; y < tailRows; ++y)
      std::memcpy(rowOf(box.top + madeRows + y), scratch_.data() + ptrdiff_t(y) * scratchStride, rowBytes);
    return;
  }
  scratch_.resize(size_t(scratchStride) * size_t(boxHeight + 1));
  if (!Convert(dstFormat, boxWidth, boxHeight, 0, frame_->height, scratch_.data(), scratchStride, &tailScaler_)) return;
  for (int y = top; y < bottom; ++y)
    std::memcpy(rowOf(y) + ptrdiff_t(left) * bytesPerPixel,
                scratch_.data() + ptrdiff_t(y - box.top) * scratchStride + ptrdiff_t(left - box.left) * bytesPerPixel,
                size_t(right - left) * size_t(bytesPerPixel));
}

}  // namespace quicktime::video
