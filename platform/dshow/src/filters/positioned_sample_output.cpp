#include "dshow/positioned_sample_output.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "ole/comptr.h"

namespace dshow::filters {

PositionedSampleOutput::PositionedSampleOutput(CBaseOutputPin* pin) : pin_(pin) {
  auto* buffer = static_cast<unsigned char*>(av_malloc(kBlockBytes));
  if (buffer) context_ = avio_alloc_context(buffer, kBlockBytes, 1, this, nullptr, &WritePacket, &Seek);
  if (!context_) av_free(buffer);
}

PositionedSampleOutput::~PositionedSampleOutput() {
  if (!context_) return;
  av_freep(&context_->buffer);
  avio_context_free(&context_);
}

int PositionedSampleOutput::WritePacket(void* opaque, uint8_t* data, int size) {
  return static_cast<PositionedSampleOutput*>(opaque)->Deliver(data, size);
}

int64_t PositionedSampleOutput::Seek(void* opaque, int64_t offset, int whence) {
  auto* self = static_cast<PositionedSampleOutput*>(opaque);
  switch (whence & ~AVSEEK_FORCE) {
    case AVSEEK_SIZE:
      return self->size_;
    case SEEK_SET:
      break;
    case SEEK_CUR:
      offset += self->position_;
      break;
    case SEEK_END:
      offset += self->size_;
      break;
    default:
      return AVERROR(EINVAL);
  }
  if (offset < 0) return AVERROR(EINVAL);
  self->position_ = offset;
  return offset;
}

int PositionedSampleOutput::Deliver(const uint8_t* data, int size) {
  for (int done = 0; done < size;) {
    ComPtr<IMediaSample> sample;
    if (FAILED(pin_->GetDeliveryBuffer(sample.put(), nullptr, nullptr, 0))) return AVERROR(EIO);
    BYTE* buffer = nullptr;
    sample->GetPointer(&buffer);
    const int length = std::min(size - done, int(sample->GetSize()));
    if (length <= 0) return AVERROR(EIO);
    std::memcpy(buffer, data + done, size_t(length));
    sample->SetActualDataLength(length);
    REFERENCE_TIME start = position_, stop = position_ + length;
    sample->SetTime(&start, &stop);
    // A sample refused downstream would leave a hole in the file.
    if (pin_->Deliver(sample.get()) != S_OK) return AVERROR(EIO);
    position_ = stop;
    size_ = std::max(size_, position_);
    done += length;
  }
  return size;
}

int PositionedSampleOutput::Finish() {
  if (!context_) return AVERROR(ENOMEM);
  avio_flush(context_);
  pin_->DeliverEndOfStream();
  return context_->error;
}

}  // namespace dshow::filters
