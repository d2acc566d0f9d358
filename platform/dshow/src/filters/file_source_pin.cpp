#include "file_source_pin.h"

#include <algorithm>
#include <cstring>

#include "file_source.h"

namespace dshow::filters {
FileSourcePin::FileSourcePin(FileSource* filter, int stream, bool video, HRESULT* phr)
    : CSourceStream("File source pin", phr, filter, video ? u"Video" : u"Audio"),
      stream_(stream),
      video_(video),
      frame_(NewFrame()),
      packet_(NewPacket()),
      picture_(NewFrame()) {
  const AVStream* s = filter->Reader()->Format()->streams[stream];
  timeBase_ = s->time_base;
  segmentStop_ = FileSource::kNoStop;
  // A graph that only reads the stream's formats never decodes: the decoder, with its threads,
  // opens when the first sample is wanted.
  if (!avcodec_find_decoder(s->codecpar->codec_id) || !frame_ || !packet_ || !picture_) {
    if (phr) *phr = VFW_E_UNSUPPORTED_STREAM;
    return;
  }
  if (video) {
    videoOut_ = {RawKind::I420, s->codecpar->width, s->codecpar->height, FrameTime()};
  } else {
    audioOut_ = {AV_SAMPLE_FMT_S16, std::min(s->codecpar->ch_layout.nb_channels, 2), s->codecpar->sample_rate};
  }
}

FileSource* FileSourcePin::Source() const { return static_cast<FileSource*>(m_pFilter); }

int64_t FileSourcePin::FrameTime() const {
  const AVStream* s = Source()->Reader()->Format()->streams[stream_];
  AVRational rate = s->avg_frame_rate.num > 0 && s->avg_frame_rate.den > 0 ? s->avg_frame_rate : s->r_frame_rate;
  if (rate.num <= 0 || rate.den <= 0 || av_q2d(rate) > 1000) rate = {25, 1};
  return av_rescale(UNITS, rate.den, rate.num);
}

STDMETHODIMP FileSourcePin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMediaSeeking) return GetInterface(static_cast<IMediaSeeking*>(this), ppv);
  return CSourceStream::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT FileSourcePin::GetMediaType(int position, CMediaType* mt) {
  if (position < 0) return E_INVALIDARG;
  const AVCodecParameters* p = Source()->Reader()->Format()->streams[stream_]->codecpar;
  if (!video_) {
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    WritePcmFormat({AV_SAMPLE_FMT_S16, std::min(p->ch_layout.nb_channels, 2), p->sample_rate}, mt);
    return S_OK;
  }
  int index = 0;
  for (RawKind kind : kRawKinds) {
    if (!Fits(kind, p->width, p->height)) continue;
    if (index++ == position) {
      WriteVideoFormat({kind, p->width, p->height, FrameTime()}, mt);
      return S_OK;
    }
  }
  return VFW_S_NO_MORE_ITEMS;
}

HRESULT FileSourcePin::CheckMediaType(const CMediaType* mt) {
  const AVCodecParameters* p = Source()->Reader()->Format()->streams[stream_]->codecpar;
  if (video_) {
    VideoFormat f;
    return ReadVideoFormat(*mt, &f) && f.width == p->width && f.height == p->height ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
  }
  PcmFormat f;
  if (!ReadPcmFormat(*mt, &f) || f.channels > 2 || f.format == AV_SAMPLE_FMT_S32 || f.rate < 8000 || f.rate > 192000)
    return VFW_E_TYPE_NOT_ACCEPTED;
  return S_OK;
}

HRESULT FileSourcePin::SetMediaType(const CMediaType* mt) {
  HRESULT hr = CSourceStream::SetMediaType(mt);
  if (FAILED(hr)) return hr;
  if (video_) {
    VideoFormat f;
    if (ReadVideoFormat(*mt, &f)) videoOut_ = f;
  } else {
    PcmFormat f;
    if (ReadPcmFormat(*mt, &f)) audioOut_ = f;
  }
  return S_OK;
}

HRESULT FileSourcePin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  if (video_) {
    request->cBuffers = std::max<LONG>(request->cBuffers, 3);
    request->cbBuffer = std::max<LONG>(request->cbBuffer, LONG(ImageBytes(videoOut_.kind, videoOut_.width, videoOut_.height)));
  } else {
    const LONG frameBytes = LONG(PcmFrameBytes());
    request->cBuffers = std::max<LONG>(request->cBuffers, 8);
    request->cbBuffer = std::max<LONG>(request->cbBuffer, std::max(audioOut_.rate / 10, 1) * frameBytes);
  }
  request->cbAlign = std::max<LONG>(request->cbAlign, 1);
  ALLOCATOR_PROPERTIES actual;
  HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

HRESULT FileSourcePin::CompleteConnect(IPin* receiver) {
  HRESULT hr = CSourceStream::CompleteConnect(receiver);
  if (SUCCEEDED(hr)) Source()->Reader()->Enable(stream_, true);
  return hr;
}

HRESULT FileSourcePin::BreakConnect() {
  Source()->Reader()->Enable(stream_, false);
  return CSourceStream::BreakConnect();
}

void FileSourcePin::Restart() {
  if (decoder_) decoder_->Flush();
  inputEnded_ = false;
  decoderEnded_ = false;
  havePicture_ = false;
  pcm_.clear();
  pcmTime_ = -1;
  silenceOwed_ = 0;
  av_frame_unref(frame_.get());
  resampler_.Reset();
  Source()->Segment(&segmentStart_, &segmentStop_);
  nextPictureTime_ = segmentStart_;
  position_ = segmentStart_;
}

HRESULT FileSourcePin::OnThreadStartPlay() {
  return DeliverNewSegment(segmentStart_, segmentStop_, 1.0);
}

void FileSourcePin::TakeVideoFrame() {
  int64_t ts = frame_->best_effort_timestamp;
  int64_t t = ts == AV_NOPTS_VALUE ? nextPictureTime_
                                   : ToUnits(ts - Source()->Reader()->StartOf(stream_), timeBase_);
  const int64_t frameTime = videoOut_.frameTime > 0 ? videoOut_.frameTime : FrameTime();
  nextPictureTime_ = t + frameTime;
  if (t >= segmentStop_) {
    decoderEnded_ = true;  // past the end of the segment: nothing more is wanted
    av_frame_unref(frame_.get());
    return;
  }
  if (t + frameTime <= segmentStart_) {  // before the segment: decoded only to reach it
    av_frame_unref(frame_.get());
    return;
  }
  av_frame_unref(picture_.get());
  av_frame_move_ref(picture_.get(), frame_.get());
  pictureTime_ = t;
  havePicture_ = true;
}

namespace {
// Later audio timestamps than this are a gap in the sound, not ordinary jitter.
constexpr int64_t kGapTolerance = UNITS / 25;
}  // namespace

size_t FileSourcePin::PcmFrameBytes() const {
  return size_t(av_get_bytes_per_sample(audioOut_.format)) * audioOut_.channels;
}

int64_t FileSourcePin::PcmEnd() const {
  return pcmTime_ + av_rescale(int64_t(pcm_.size() / PcmFrameBytes()), UNITS, audioOut_.rate);
}

void FileSourcePin::TakeAudioFrame() {
  const int64_t ts = frame_->best_effort_timestamp;
  const int64_t t = ts == AV_NOPTS_VALUE ? segmentStart_ : ToUnits(ts - Source()->Reader()->StartOf(stream_), timeBase_);
  if (pcmTime_ < 0) {
    pcmTime_ = t;
  } else if (ts != AV_NOPTS_VALUE && t - PcmEnd() > kGapTolerance) {
    // The file's sound has a gap: silence fills it, so the sound after it keeps its time. What the
    // resampler holds goes out first; the frame waits in frame_ until the silence is made.
    resampler_.Drain(pcm_);
    resampler_.Reset();
    silenceOwed_ = std::max<int64_t>(av_rescale(t - PcmEnd(), audioOut_.rate, UNITS), 0);
    if (silenceOwed_ > 0) return;
  }
  ConvertAudioFrame();
}

void FileSourcePin::ConvertAudioFrame() {
  const AVFrame* f = frame_.get();
  const PcmFormat from{AVSampleFormat(f->format), f->ch_layout.nb_channels, f->sample_rate};
  const bool converted =
      resampler_.Convert(const_cast<const uint8_t* const*>(f->extended_data), f->nb_samples, from, audioOut_, pcm_);
  av_frame_unref(frame_.get());
  if (converted) TrimToSegment();
}

// Silence is made a buffer at a time, so a long gap never sits in memory whole.
void FileSourcePin::AddSilence(int64_t samples) {
  const size_t frameBytes = PcmFrameBytes();
  const size_t old = pcm_.size();
  pcm_.resize(old + size_t(samples) * frameBytes);
  uint8_t* start = pcm_.data() + old;
  av_samples_set_silence(&start, 0, int(samples), audioOut_.channels, audioOut_.format);
  silenceOwed_ -= samples;
  TrimToSegment();
  if (decoderEnded_) {  // the segment ends inside the gap
    silenceOwed_ = 0;
    av_frame_unref(frame_.get());
  } else if (silenceOwed_ == 0) {
    ConvertAudioFrame();
  }
}

void FileSourcePin::TrimToSegment() {
  const int rate = audioOut_.rate;
  // Sound before the segment start is dropped, to the sample.
  const size_t frameBytes = PcmFrameBytes();
  if (pcmTime_ < segmentStart_) {
    const size_t skip = std::min(pcm_.size() / frameBytes, size_t(av_rescale(segmentStart_ - pcmTime_, rate, UNITS)));
    pcm_.erase(pcm_.begin(), pcm_.begin() + ptrdiff_t(skip * frameBytes));
    pcmTime_ += av_rescale(int64_t(skip), UNITS, rate);
  }
  // And so is sound past the segment end.
  if (segmentStop_ == FileSource::kNoStop) return;
  const int64_t endSamples = av_rescale(segmentStop_ - pcmTime_, rate, UNITS);
  if (endSamples <= int64_t(pcm_.size() / frameBytes)) {
    pcm_.resize(size_t(std::max<int64_t>(endSamples, 0)) * frameBytes);
    decoderEnded_ = true;
  }
}

HRESULT FileSourcePin::Produce() {
  if (!decoder_) {
    const AVStream* s = Source()->Reader()->Format()->streams[stream_];
    std::string error;
    decoder_ = StreamDecoder::Open(s->codecpar, s->time_base, Source()->PictureThreads(), &error);
    if (!decoder_) return E_FAIL;
  }
  const size_t frameBytes = video_ ? 0 : PcmFrameBytes();
  const size_t chunk = size_t(std::max(audioOut_.rate / 10, 1)) * frameBytes;
  for (;;) {
    if (video_ ? havePicture_ : (pcm_.size() >= chunk || (decoderEnded_ && !pcm_.empty()))) return S_OK;
    if (decoderEnded_) return S_FALSE;
    if (silenceOwed_ > 0) {
      AddSilence(std::min<int64_t>(silenceOwed_, int64_t(chunk / frameBytes)));
      continue;
    }
    int err = decoder_->Receive(frame_.get());
    if (err == 0) {
      video_ ? TakeVideoFrame() : TakeAudioFrame();
      continue;
    }
    if (err == AVERROR_EOF) {
      decoderEnded_ = true;
      if (!video_) resampler_.Drain(pcm_);
      continue;
    }
    if (err != AVERROR(EAGAIN)) return E_FAIL;
    if (inputEnded_) {
      decoderEnded_ = true;
      continue;
    }
    err = Source()->Reader()->Read(stream_, packet_.get());
    if (err == 0) {
      err = decoder_->Send(packet_.get());
      av_packet_unref(packet_.get());
      if (err < 0 && err != AVERROR(EAGAIN)) return E_FAIL;
    } else if (err == AVERROR_EOF) {
      inputEnded_ = true;
      decoder_->Send(nullptr);
    } else {
      return E_FAIL;
    }
  }
}

HRESULT FileSourcePin::FillBuffer(IMediaSample* sample) {
  HRESULT hr = Produce();
  if (hr != S_OK) return hr;
  BYTE* data = nullptr;
  sample->GetPointer(&data);
  REFERENCE_TIME start, stop;
  if (video_) {
    const size_t size = ImageBytes(videoOut_.kind, videoOut_.width, videoOut_.height);
    if (size_t(sample->GetSize()) < size) return VFW_E_BUFFER_OVERFLOW;
    if (!scaler_.Convert(FramePicture(picture_.get()),
                         SamplePicture(data, videoOut_.kind, videoOut_.width, videoOut_.height)))
      return E_FAIL;
    havePicture_ = false;
    sample->SetActualDataLength(LONG(size));
    start = pictureTime_ - segmentStart_;
    stop = start + (videoOut_.frameTime > 0 ? videoOut_.frameTime : FrameTime());
    position_ = pictureTime_;
  } else {
    const size_t frameBytes = PcmFrameBytes();
    const size_t n = std::min(pcm_.size(), size_t(sample->GetSize()) / frameBytes * frameBytes);
    if (n == 0) return VFW_E_BUFFER_OVERFLOW;
    std::memcpy(data, pcm_.data(), n);
    pcm_.erase(pcm_.begin(), pcm_.begin() + ptrdiff_t(n));
    sample->SetActualDataLength(LONG(n));
    start = pcmTime_ - segmentStart_;
    pcmTime_ += av_rescale(int64_t(n / frameBytes), UNITS, audioOut_.rate);
    stop = pcmTime_ - segmentStart_;
    position_ = pcmTime_;
  }
  sample->SetTime(&start, &stop);
  sample->SetSyncPoint(TRUE);
  return S_OK;
}

// ---- IMediaSeeking -----------------------------------------------------------------------------

STDMETHODIMP FileSourcePin::SetTimeFormat(const GUID* pFormat) {
  if (pFormat && IsFormatSupported(pFormat) == S_OK && !Source()->IsStopped()) return VFW_E_WRONG_STATE;
  return MediaSeekingBase::SetTimeFormat(pFormat);
}

LONGLONG FileSourcePin::Duration() { return Source()->Duration(); }

LONGLONG FileSourcePin::StopPosition() { return Source()->StopPosition(); }

HRESULT FileSourcePin::CurrentPosition(LONGLONG* position) {
  *position = position_;
  return S_OK;
}

HRESULT FileSourcePin::ChangePositions(const SeekRequest& request, LONGLONG* newStart, LONGLONG* newStop) {
  if (request.currentHow == AM_SEEKING_IncrementalPositioning) return E_INVALIDARG;
  int64_t start, stop;
  Source()->Segment(&start, &stop);
  const bool stopSet = stop != FileSource::kNoStop;
  const int64_t duration = Source()->Duration();
  if (!stopSet) stop = duration;
  // A relative move counts from where the samples have got to.
  if (request.currentHow) start = request.NewStart(position_);
  stop = request.NewStop(stop, start);
  start = std::clamp<int64_t>(start, 0, std::max<int64_t>(duration, 0));
  stop = std::max(stop, start);
  HRESULT hr = S_OK;
  // Without a stop the streams play to their real end, whatever length the file claims.
  if (request.currentHow || request.stopHow)
    hr = Source()->Seek(start, request.stopHow || stopSet ? stop : FileSource::kNoStop);
  *newStart = start;
  *newStop = stop;
  return hr;
}

}  // namespace dshow::filters
