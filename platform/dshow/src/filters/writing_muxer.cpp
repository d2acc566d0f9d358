#include "dshow/writing_muxer.h"

namespace dshow::filters {

void WritingMuxer::Begin(std::unique_ptr<FileMuxer> muxer) {
  CAutoLock hold(&lock_);
  muxer_ = std::move(muxer);
}

HRESULT WritingMuxer::Write(CBaseFilter* filter, int stream, AVPacket* packet) {
  CAutoLock hold(&lock_);
  if (!muxer_) {
    av_packet_unref(packet);
    return S_OK;
  }
  if (const int err = muxer_->Write(stream, packet); err < 0) {
    filter->NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
    return WriteFailure(err);
  }
  return S_OK;
}

int WritingMuxer::Finish() {
  CAutoLock hold(&lock_);
  const int err = muxer_ ? muxer_->Finish() : 0;
  muxer_.reset();
  return err;
}

}  // namespace dshow::filters
