#include "encoding_writer.h"

#include <atomic>

#include "dshow/hand_off_worker.h"


namespace filters {

using namespace dshow::filters;

class EncodingWriter::InputPin : public CBaseInputPin {
 public:
  InputPin(EncodingWriter* filter, bool video, LPCWSTR name, HRESULT* phr)
      : CBaseInputPin("Writer input", filter, &filter->lock_, phr, name), filter_(filter), video_(video) {}

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (SUCCEEDED(filter_->PinInterface(video_, riid, ppv))) return S_OK;
    return CBaseInputPin::NonDelegatingQueryInterface(riid, ppv);
  }

  HRESULT CheckMediaType(const CMediaType* mt) override {
    if (video_) {
      VideoFormat f;
      return ReadVideoFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
    }
    PcmFormat f;
    return ReadPcmFormat(*mt, &f) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }

  STDMETHODIMP Receive(IMediaSample* sample) override {
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
      return SendPicture(data, std::max<REFERENCE_TIME>(start, 0));
    }
    if (encoder_->SendAudio(data, size_t(std::max<LONG>(length, 0)), start) < 0) return E_FAIL;
    return WritePackets();
  }

  STDMETHODIMP EndOfStream() override {
    if (HRESULT hr = CheckStreaming(); hr != S_OK) return hr;
    Drain();
    filter_->InputEnded();
    return S_OK;
  }

  STDMETHODIMP EndFlush() override {
    filter_->InputRestarted();
    return CBaseInputPin::EndFlush();
  }

  void Drain() {
    CAutoLock hold(&encodeLock_);
    if (!encoder_ || drained_) return;
    drained_ = true;
    if (worker_) worker_->Finish();
    encoder_->Finish();
    WritePackets();
  }

  HRESULT Open(EncodingWriter& writer, FileMuxer& muxer) {
    CAutoLock hold(&encodeLock_);
    std::string error;
    drained_ = false;
    discarding_ = false;
    nextSlot_ = 0;
    written_ = 0;
    if (video_) {
      if (!ReadVideoFormat(CurrentMediaType(), &videoIn_)) return VFW_E_NOT_CONNECTED;
      if (videoIn_.frameTime <= 0) videoIn_.frameTime = 400000;
      VideoPlan plan;
      if (!writer.PlanVideo(videoIn_, &plan) || !plan.codec) return VFW_E_NO_ACCEPTABLE_TYPES;
      const VideoInput in{videoIn_.kind, videoIn_.width, videoIn_.height, videoIn_.frameTime};
      encoder_ = StreamEncoder::OpenVideo(plan.codec, in, plan.target, &error);
      if (encoder_) {
        for (Frame& picture : pictures_)
          if (!(picture = encoder_->NewPicture())) return E_OUTOFMEMORY;
        worker_ = std::make_unique<HandOffWorker>();
      }
    } else {
      PcmFormat in;
      if (!ReadPcmFormat(CurrentMediaType(), &in)) return VFW_E_NOT_CONNECTED;
      AudioPlan plan;
      if (!writer.PlanAudio(in, &plan)) return VFW_E_NO_ACCEPTABLE_TYPES;
      if (!plan.codec) {
        discarding_ = true;
        return S_OK;
      }
      encoder_ = StreamEncoder::OpenAudio(plan.codec, in, plan.target, &error);
    }
    if (!encoder_) return VFW_E_TYPE_NOT_ACCEPTED;
    Parameters p(avcodec_parameters_alloc());
    if (!p || avcodec_parameters_from_context(p.get(), encoder_->Context()) < 0) return E_OUTOFMEMORY;
    stream_ = muxer.AddStream(p.get(), encoder_->Context()->framerate);
    return stream_ < 0 ? E_OUTOFMEMORY : S_OK;
  }

  void Close() {
    CAutoLock hold(&encodeLock_);
    worker_.reset();  // the picture in hand goes out before its encoder
    encoder_.reset();
    stream_ = -1;
    discarding_ = false;
  }

  // Video: frames written and the frame rate; audio: milliseconds written.
  LONG Written() const { return LONG(written_.load()); }
  LONG PerSecond() {
    CAutoLock hold(&encodeLock_);
    if (!video_) return 1000;
    if (!encoder_) return 0;
    const AVRational rate = encoder_->Context()->framerate;
    return rate.den ? LONG(rate.num / rate.den) : 0;
  }

 private:
  // A picture covers its start up to one input frame later. Every output frame whose time falls
  // in that span (within half a frame) shows it, so a slower output drops pictures and a faster
  // one repeats them, and the stream keeps its length. A picture is converted here while the
  // worker encodes the one before.
  HRESULT SendPicture(const BYTE* data, REFERENCE_TIME start) {
    const int64_t outFrame = encoder_->FrameTime();
    const int64_t end = start + videoIn_.frameTime;
    const int64_t tolerance = std::min<int64_t>(outFrame, videoIn_.frameTime) / 2;
    const AVRational base = encoder_->Context()->time_base;
    for (;;) {
      const int64_t slotTime = av_rescale_q(nextSlot_, base, kUnits);
      if (slotTime + tolerance >= end) return S_OK;
      AVFrame* picture = pictures_[nextPicture_].get();
      if (encoder_->PreparePicture(data, slotTime, picture) < 0) return E_FAIL;
      nextPicture_ ^= 1;
      ++nextSlot_;
      ++written_;
      if (HRESULT hr = worker_->Hand([this, picture] { return EncodePicture(picture); }); FAILED(hr)) return hr;
    }
  }

  // On the worker; the streaming thread holds the encoding lock meanwhile or waits for this job.
  HRESULT EncodePicture(const AVFrame* picture) {
    if (encoder_->SendPicture(picture) < 0) return E_FAIL;
    return WritePackets();
  }

  HRESULT WritePackets() {
    Packet packet = NewPacket();
    if (!packet) return E_OUTOFMEMORY;
    while (encoder_->Receive(packet.get()) == 0) {
      if (!video_) written_ = (packet->pts + packet->duration) / 10000;
      if (HRESULT hr = filter_->Write(stream_, packet.get()); FAILED(hr)) return hr;
    }
    return S_OK;
  }

  EncodingWriter* filter_;
  const bool video_;
  CCritSec encodeLock_;
  std::unique_ptr<StreamEncoder> encoder_;
  VideoFormat videoIn_;
  int stream_ = -1;
  bool drained_ = false;
  bool discarding_ = false;  // the format writes nothing of this input
  int64_t nextSlot_ = 0;
  std::atomic<int64_t> written_ = 0;
  // Video: two pictures, one converted while the worker encodes the other.
  Frame pictures_[2];
  int nextPicture_ = 0;
  std::unique_ptr<HandOffWorker> worker_;
};

EncodingWriter::EncodingWriter(const TCHAR* name, LPUNKNOWN outer, REFCLSID clsid, LPCWSTR videoPin,
                               LPCWSTR audioPin)
    : SinkFilter(name, outer, clsid) {
  HRESULT hr = S_OK;
  video_ = std::make_unique<InputPin>(this, true, videoPin, &hr);
  audio_ = std::make_unique<InputPin>(this, false, audioPin, &hr);
  SetSeekingPin(video_.get());
}

EncodingWriter::~EncodingWriter() { FinishFile(); }

STDMETHODIMP EncodingWriter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
  return SinkFilter::NonDelegatingQueryInterface(riid, ppv);
}

int EncodingWriter::GetPinCount() { return 2; }

CBasePin* EncodingWriter::GetPin(int n) { return n == 0 ? video_.get() : n == 1 ? audio_.get() : nullptr; }

STDMETHODIMP EncodingWriter::SetFileName(LPCOLESTR pszFileName, const AM_MEDIA_TYPE*) {
  return name_.Set(pszFileName);
}

STDMETHODIMP EncodingWriter::GetCurFile(LPOLESTR* ppszFileName, AM_MEDIA_TYPE* pmt) {
  return name_.Get(ppszFileName, pmt);
}

HRESULT EncodingWriter::StartFile() {
  if (name_.Empty()) return VFW_E_NO_SINK;
  FilePlan plan = PlanFile();
  auto muxer = std::make_unique<FileMuxer>(plan.format);
  for (InputPin* pin : {video_.get(), audio_.get()}) {
    pin->Close();
    if (!pin->IsConnected()) continue;
    if (HRESULT hr = pin->Open(*this, *muxer); FAILED(hr)) return hr;
  }
  if (HRESULT hr = name_.StartMuxer(muxer.get(), plan.mux); FAILED(hr)) return hr;
  muxer_.Begin(std::move(muxer));
  return S_OK;
}

STDMETHODIMP EncodingWriter::Pause() {
  CAutoLock hold(&lock_);
  if (m_State == State_Stopped && (video_->IsConnected() || audio_->IsConnected())) {
    if (HRESULT hr = StartFile(); FAILED(hr)) {
      video_->Close();
      audio_->Close();
      NotifyEvent(EC_ERRORABORT, hr, 0);
      return hr;
    }
  }
  return SinkFilter::Pause();
}

STDMETHODIMP EncodingWriter::Stop() {
  FinishFile();
  return SinkFilter::Stop();
}

HRESULT EncodingWriter::Write(int stream, AVPacket* packet) {
  return muxer_.Write(this, stream, packet);
}

void EncodingWriter::FinishFile() {
  video_->Drain();
  audio_->Drain();
  if (const int err = muxer_.Finish(); err < 0) NotifyEvent(EC_ERRORABORT, WriteFailure(err), 0);
  video_->Close();
  audio_->Close();
}

LONG EncodingWriter::UnitsWritten() { return video_->IsConnected() ? video_->Written() : audio_->Written(); }

LONG EncodingWriter::AudioMillisecondsWritten() { return audio_->Written(); }

HRESULT EncodingWriter::PinInterface(bool, REFIID, void** ppv) {
  *ppv = nullptr;
  return E_NOINTERFACE;
}

LONG EncodingWriter::UnitsPerSecond() { return video_->IsConnected() ? video_->PerSecond() : audio_->PerSecond(); }

}  // namespace filters
