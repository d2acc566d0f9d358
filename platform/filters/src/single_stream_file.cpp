#include "single_stream_file.h"

#include <cstring>

#include "dshow/media_types.h"

namespace filters {

using namespace dshow::filters;

std::unique_ptr<FileMuxer> SingleStreamFile::Prepare(const CMediaType& type, HRESULT* hr) const {
  Parameters parameters(avcodec_parameters_alloc());
  AVRational rate{0, 1};
  if (!parameters || !ReadStreamParameters(type, parameters.get(), &rate)) {
    *hr = VFW_E_NOT_CONNECTED;
    return nullptr;
  }
  auto muxer = std::make_unique<FileMuxer>(format_);
  if (muxer->AddStream(parameters.get(), rate) < 0) {
    *hr = E_OUTOFMEMORY;
    return nullptr;
  }
  *hr = S_OK;
  return muxer;
}

void SingleStreamFile::Begin(std::unique_ptr<FileMuxer> muxer) {
  CAutoLock hold(&lock_);
  muxer_ = std::move(muxer);
}

HRESULT SingleStreamFile::Write(CBaseFilter* filter, IMediaSample* sample) {
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  REFERENCE_TIME start = 0, stop = 0;
  if (FAILED(sample->GetTime(&start, &stop))) start = AV_NOPTS_VALUE;
  const LONG length = sample->GetActualDataLength();
  if (length <= 0) return S_OK;
  Packet packet = NewPacket();
  if (!packet || av_new_packet(packet.get(), length) < 0) return E_OUTOFMEMORY;
  std::memcpy(packet->data, data, size_t(length));
  packet->pts = start;
  CAutoLock hold(&lock_);
  if (!muxer_) return VFW_E_WRONG_STATE;
  if (const int err = muxer_->Write(0, packet.get()); err < 0) {
    filter->NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
    return WriteFailure(err);
  }
  return S_OK;
}

int SingleStreamFile::Finish() {
  CAutoLock hold(&lock_);
  const int err = muxer_ ? muxer_->Finish() : 0;
  muxer_.reset();
  return err;
}

}  // namespace filters
