#include "encoding_writer.h"

#include <algorithm>
#include <atomic>

#include "dshow/encoding_input_pin.h"
#include "dshow/hand_off_worker.h"

namespace filters {

using namespace dshow::filters;

class EncodingWriter::InputPin : public EncodingInputPin {
 public:
  InputPin(EncodingWriter* filter, bool video, LPCWSTR name, HRESULT* phr)
      : EncodingInputPin("Writer input", filter, &filter->lock_, &filter->muxer_, video, name, phr), filter_(filter) {}

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (SUCCEEDED(filter_->PinInterface(IsVideo(), riid, ppv))) return S_OK;
    return EncodingInputPin::NonDelegatingQueryInterface(riid, ppv);
  }

  // Opens the pin's encoder by the format's plan and adds its stream to a file about to start.
  HRESULT Open(FileMuxer& muxer) {
    CAutoLock hold(&encodeLock_);
    nextSlot_ = 0;
    written_ = 0;
    if (IsVideo()) {
      VideoFormat in;
      if (!ConnectedVideo(&in)) return VFW_E_NOT_CONNECTED;
      VideoPlan plan;
      if (!filter_->PlanVideo(in, &plan) || !plan.codec) return VFW_E_NO_ACCEPTABLE_TYPES;
      if (HRESULT hr = OpenVideo(plan.codec, in, plan.target, muxer); FAILED(hr)) return hr;
      for (Frame& picture : pictures_)
        if (!(picture = Encoder()->NewPicture())) return E_OUTOFMEMORY;
      worker_ = std::make_unique<HandOffWorker>();
      return S_OK;
    }
    PcmFormat in;
    if (!ReadPcmFormat(CurrentMediaType(), &in)) return VFW_E_NOT_CONNECTED;
    AudioPlan plan;
    if (!filter_->PlanAudio(in, &plan)) return VFW_E_NO_ACCEPTABLE_TYPES;
    if (!plan.codec) {
      Discard();
      return S_OK;
    }
    return OpenAudio(plan.codec, in, plan.target, muxer);
  }

  // Video: frames written and the frame rate; audio: milliseconds written.
  LONG Written() const { return LONG(written_.load()); }
  LONG PerSecond() {
    CAutoLock hold(&encodeLock_);
    if (!IsVideo()) return 1000;
    if (!Encoder()) return 0;
    const AVRational rate = Encoder()->Context()->framerate;
    return rate.den ? LONG(rate.num / rate.den) : 0;
  }

 private:
  // A picture covers its start up to one input frame later. Every output frame whose time falls
  // in that span (within half a frame) shows it, so a slower output drops pictures and a faster
  // one repeats them, and the stream keeps its length. A picture is converted here while the
  // worker encodes the one before.
  HRESULT EncodePicture(const BYTE* data, REFERENCE_TIME start) override {
    StreamEncoder* encoder = Encoder();
    const int64_t inFrame = VideoIn().frameTime;
    const int64_t outFrame = encoder->FrameTime();
    const int64_t end = start + inFrame;
    const int64_t tolerance = std::min<int64_t>(outFrame, inFrame) / 2;
    const AVRational base = encoder->Context()->time_base;
    for (;;) {
      const int64_t slotTime = av_rescale_q(nextSlot_, base, kUnits);
      if (slotTime + tolerance >= end) return S_OK;
      AVFrame* picture = pictures_[nextPicture_].get();
      if (encoder->PreparePicture(data, slotTime, picture) < 0) return E_FAIL;
      nextPicture_ ^= 1;
      ++nextSlot_;
      ++written_;
      if (HRESULT hr = worker_->Hand([this, picture] { return EncodeFrame(picture); }); FAILED(hr)) return hr;
    }
  }

  // On the worker; the streaming thread holds the encoding lock meanwhile or waits for this job.
  HRESULT EncodeFrame(const AVFrame* picture) {
    if (Encoder()->SendPicture(picture) < 0) return E_FAIL;
    return WritePackets();
  }

  void FinishPictures() override {
    if (worker_) worker_->Finish();
  }
  void ReleasePictures() override { worker_.reset(); }

  void PacketWritten(int64_t end) override {
    if (!IsVideo()) written_ = end / 10000;
  }

  EncodingWriter* filter_;
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
    if (HRESULT hr = pin->Open(*muxer); FAILED(hr)) return hr;
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
