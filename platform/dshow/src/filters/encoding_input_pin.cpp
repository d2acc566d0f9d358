#include "dshow/encoding_input_pin.h"

#include <algorithm>

namespace dshow::filters {

EncodingInputPin::EncodingInputPin(const TCHAR* objectName, SinkFilter* filter, CCritSec* filterLock,
                                   WritingMuxer* file, bool video, LPCWSTR name, HRESULT* phr)
    : CBaseInputPin(objectName, filter, filterLock, phr, name), sink_(filter), file_(*file), video_(video) {}

HRESULT EncodingInputPin::CheckMediaType(const CMediaType* mt) {
  if (video_) {
    VideoFormat f;
    return ReadVideoFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }
  PcmFormat f;
  return ReadPcmFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

STDMETHODIMP EncodingInputPin::Receive(IMediaSample* sample) {
  if (HRESULT hr = CBaseInputPin::Receive(sample); hr != S_OK) return hr;
  CAutoLock hold(&encodeLock_);
  if (discarding_) return S_OK;
  if (!encoder_ || stream_ < 0) return VFW_E_WRONG_STATE;
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  const LONG length = sample->GetActualDataLength();
  REFERENCE_TIME start = -1, stop = -1;
  if (FAILED(sample->GetTime(&start, &stop))) start = -1;
  if (video_) {
    if (size_t(length) < ImageBytes(videoIn_.kind, videoIn_.width, videoIn_.height)) return VFW_E_BUFFER_UNDERFLOW;
    return EncodePicture(data, std::max<REFERENCE_TIME>(start, 0));
  }
  if (encoder_->SendAudio(data, size_t(std::max<LONG>(length, 0)), start) < 0) return E_FAIL;
  return WritePackets();
}

STDMETHODIMP EncodingInputPin::EndOfStream() {
  if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
  Drain();
  sink_->InputEnded();
  return S_OK;
}

STDMETHODIMP EncodingInputPin::EndFlush() {
  sink_->InputRestarted();
  return CBaseInputPin::EndFlush();
}

void EncodingInputPin::Drain() {
  CAutoLock hold(&encodeLock_);
  if (!encoder_ || drained_) return;
  drained_ = true;
  FinishPictures();
  encoder_->Finish();
  WritePackets();
}

void EncodingInputPin::Close() {
  CAutoLock hold(&encodeLock_);
  ReleasePictures();  // a picture in hand goes out before its encoder
  encoder_.reset();
  stream_ = -1;
  discarding_ = false;
}

bool EncodingInputPin::ConnectedVideo(VideoFormat* format) const {
  if (!ReadVideoFormat(m_mt, format)) return false;
  if (format->frameTime <= 0) format->frameTime = 400000;
  return true;
}

HRESULT EncodingInputPin::OpenVideo(const AVCodec* codec, const VideoFormat& in, const VideoTarget& target,
                                    FileMuxer& file) {
  CAutoLock hold(&encodeLock_);
  videoIn_ = in;
  std::string error;
  encoder_ = StreamEncoder::OpenVideo(codec, VideoInput{in.kind, in.width, in.height, in.frameTime}, target, &error);
  return AddStream(file);
}

HRESULT EncodingInputPin::OpenAudio(const AVCodec* codec, const PcmFormat& in, const AudioTarget& target,
                                    FileMuxer& file) {
  CAutoLock hold(&encodeLock_);
  std::string error;
  encoder_ = StreamEncoder::OpenAudio(codec, in, target, &error);
  return AddStream(file);
}

HRESULT EncodingInputPin::AddStream(FileMuxer& file) {
  drained_ = false;
  if (!encoder_) return VFW_E_TYPE_NOT_ACCEPTED;
  Parameters p(avcodec_parameters_alloc());
  if (!p || avcodec_parameters_from_context(p.get(), encoder_->Context()) < 0) return E_OUTOFMEMORY;
  stream_ = file.AddStream(p.get(), encoder_->Context()->framerate);
  return stream_ < 0 ? E_OUTOFMEMORY : S_OK;
}

void EncodingInputPin::Discard() {
  CAutoLock hold(&encodeLock_);
  discarding_ = true;
}

HRESULT EncodingInputPin::EncodePicture(const BYTE* image, REFERENCE_TIME start) {
  if (encoder_->SendPicture(image, start) < 0) return E_FAIL;
  return WritePackets();
}

HRESULT EncodingInputPin::WritePackets() {
  Packet packet = NewPacket();
  if (!packet) return E_OUTOFMEMORY;
  while (encoder_->Receive(packet.get()) == 0) {
    PacketWritten(packet->pts + packet->duration);  // before the write takes the packet
    if (HRESULT hr = file_.Write(m_pFilter, stream_, packet.get()); FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace dshow::filters
