#include "movie_audio_pin.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr Fixed kForward = 0x10000;
constexpr Fixed kBackward = -0x10000;
// Sound below this rate is delivered at kRaisedRate, and counted in its units.
constexpr int kLowestRate = 8000;
constexpr int kRaisedRate = 44100;
constexpr LONG kHighestOutputRate = 384000;
// Tries at reading a media sample larger than the pin's buffer, doubling the room each time.
constexpr int kGrowAttempts = 8;

int PlainSampleSize(int bits) { return bits == 8 || bits == 16 || bits == 24 || bits == 32 ? bits : 16; }

}  // namespace

MovieAudioPin::MovieAudioPin(HRESULT* phr, MovieSourceFilter* filter, LPCWSTR name, Movie movie, int trackIndex,
                             int channels, int sourceRate, int sampleSize, OSType formatCode)
    : MovieStreamPin(phr, filter, name, movie, trackIndex, SoundMediaType, MEDIATYPE_Audio, MEDIASUBTYPE_PCM,
                     FORMAT_WaveFormatEx, formatCode, kSoundNotCompressed),
      channels_(channels),
      sourceRate_(sourceRate),
      sampleSize_(PlainSampleSize(sampleSize)),
      outputRate_(sourceRate < kLowestRate ? kRaisedRate : 0),
      soundFormat_(formatCode) {
  if (!media_) return;
  const TimeScale mediaScale = GetMediaTimeScale(media_);
  const TimeValue mediaDuration = GetMediaDuration(media_);
  if (mediaScale <= 0 || channels_ <= 0 || sourceRate_ <= 0) {
    if (phr) *phr = E_FAIL;
    return;
  }
  timeScale_ = mediaScale < kLowestRate ? kRaisedRate : mediaScale;
  duration_ = TimeValue(std::min<int64_t>(MulDivDown(mediaDuration, timeScale_, mediaScale), INT32_MAX));
  stop_ = Duration();
  SetFrameRate(int64_t(GetMediaSampleCount(media_)) * timeScale_, duration_);
}

MovieAudioPin::~MovieAudioPin() {
  CloseConverter();
  DisposeHandle(sampleHandle_);
}

STDMETHODIMP MovieAudioPin::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IMovieAudioInfo) return GetInterface(static_cast<IMovieAudioInfo*>(this), ppv);
  return MovieStreamPin::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP MovieAudioPin::GetSourceSampleRate(LONG* rate) {
  if (!rate) return E_POINTER;
  *rate = sourceRate_;
  return S_OK;
}

STDMETHODIMP MovieAudioPin::IsMpeg4Audio() { return soundFormat_ == FourCharCode("mp4a") ? S_OK : S_FALSE; }

STDMETHODIMP MovieAudioPin::SetOutputSampleRate(LONG flag, LONG rate) {
  if (!(flag & 0xFF)) return S_OK;
  if (rate < 0 || rate > kHighestOutputRate) return E_INVALIDARG;
  CAutoLock lock(m_pFilter->pStateLock());
  outputRate_ = rate;
  return S_OK;
}

HRESULT MovieAudioPin::BuildMediaType(CMediaType* pmt) {
  auto* wave = reinterpret_cast<WAVEFORMATEX*>(pmt->AllocFormatBuffer(sizeof(WAVEFORMATEX)));
  if (!wave) return E_OUTOFMEMORY;
  wave->wFormatTag = WAVE_FORMAT_PCM;
  wave->nChannels = WORD(channels_);
  wave->nSamplesPerSec = DWORD(OutputRate());
  wave->wBitsPerSample = WORD(sampleSize_);
  wave->nBlockAlign = WORD(BlockAlign());
  wave->nAvgBytesPerSec = wave->nBlockAlign * wave->nSamplesPerSec;
  wave->cbSize = 0;
  pmt->SetType(&MEDIATYPE_Audio);
  pmt->SetSubtype(&MEDIASUBTYPE_PCM);
  pmt->SetFormatType(&FORMAT_WaveFormatEx);
  pmt->SetTemporalCompression(FALSE);
  pmt->SetVariableSize();
  return S_OK;
}

HRESULT MovieAudioPin::DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) {
  if (!pAlloc || !pRequest) return E_POINTER;
  CAutoLock lock(m_pFilter->pStateLock());
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(m_mt.Format());
  if (!wave || m_mt.FormatLength() < sizeof(WAVEFORMATEX)) return E_FAIL;
  pRequest->cBuffers = 1;
  pRequest->cbBuffer = LONG(int64_t(wave->nSamplesPerSec) * 2 * wave->nChannels * wave->wBitsPerSample / 8);
  ALLOCATOR_PROPERTIES actual{};
  const HRESULT hr = pAlloc->SetProperties(pRequest, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < pRequest->cbBuffer ? E_FAIL : S_OK;
}

// ---- Conversion ---------------------------------------------------------------------------------

void MovieAudioPin::CloseConverter() {
  if (converter_) SoundConverterClose(converter_);
  converter_ = nullptr;
  converting_ = false;
}

HRESULT MovieAudioPin::PrepareStreaming() {
  CloseConverter();
  const auto* wave = reinterpret_cast<const WAVEFORMATEX*>(m_mt.Format());
  ALLOCATOR_PROPERTIES buffers{};
  if (!wave || !m_pAllocator || FAILED(m_pAllocator->GetProperties(&buffers)) || buffers.cbBuffer <= 0) return E_FAIL;
  connectedRate_ = int(wave->nSamplesPerSec);

  auto description = reinterpret_cast<SoundDescriptionHandle>(NewHandle(0));
  if (!description) return E_OUTOFMEMORY;
  GetMediaSampleDescription(media_, 1, reinterpret_cast<SampleDescriptionHandle>(description));
  if (GetMoviesError() != noErr) {
    DisposeHandle(reinterpret_cast<Handle>(description));
    return S_FALSE;  // no sound to deliver
  }
  const SoundDescription stored = **description;
  Handle decoderParams = nullptr;
  GetSoundDescriptionExtension(description, &decoderParams, siDecompressionParams);
  DisposeHandle(reinterpret_cast<Handle>(description));

  variableRate_ = stored.compressionID == variableCompression;
  const SoundComponentData input{0, stored.dataFormat, stored.numChannels, stored.sampleSize, stored.sampleRate, 0,
                                 nullptr, 0};
  const SoundComponentData output{0, kSoundNotCompressed, int16_t(channels_), int16_t(sampleSize_),
                                  UnsignedFixed(connectedRate_) << 16, 0, nullptr, 0};
  if (SoundConverterOpen(&input, &output, &converter_) == noErr) {
    SoundConverterSetInfo(converter_, siClientAcceptsVBR, reinterpret_cast<void*>(1));
    OSErr err = noErr;
    if (decoderParams) err = SoundConverterSetInfo(converter_, siDecompressionParams, *decoderParams);
    converting_ = (err == noErr || err == siUnknownInfoType) && SoundConverterBeginConversion(converter_) == noErr;
  }
  DisposeHandle(decoderParams);
  if (!converting_) {
    CloseConverter();  // a track whose sound cannot be converted delivers none
    return S_OK;
  }

  // The work buffer holds one conversion: a whole sample's worth, or for uncompressed sound
  // what the input making at most a sample converts to.
  size_t workBytes = size_t(buffers.cbBuffer);
  maxSampleBytes_ = buffers.cbBuffer;
  if (!variableRate_) {
    const int64_t inputBlock = int64_t(stored.numChannels) * ((stored.sampleSize + 7) / 8);
    const int64_t frames = std::max<int64_t>(1, MulDivDown(buffers.cbBuffer / BlockAlign(), sourceRate_, connectedRate_));
    uint32_t inFrames = 0, inBytes = 0, outBytes = 0;
    if (SoundConverterGetBufferSizes(converter_, uint32_t(std::min<int64_t>(frames * inputBlock, INT32_MAX)), &inFrames,
                                     &inBytes, &outBytes) != noErr ||
        inFrames == 0) {
      CloseConverter();
      return S_OK;
    }
    workBytes = outBytes;
    maxSampleBytes_ = int32_t(inBytes);
  }
  try {
    work_.assign(workBytes, 0);
  } catch (const std::bad_alloc&) {
    CloseConverter();
    return E_FAIL;
  }
  soundData_ = ExtendedSoundComponentData{};
  soundData_.desc.flags = kExtendedSoundData;
  soundData_.desc.format = stored.dataFormat;
  soundData_.desc.numChannels = stored.numChannels;
  soundData_.desc.sampleSize = stored.sampleSize;
  soundData_.desc.sampleRate = stored.sampleRate;
  soundData_.recordSize = sizeof soundData_;
  return S_OK;
}

int64_t MovieAudioPin::MediaTimeOf(REFERENCE_TIME t, bool roundUp) const {
  const int64_t scale = GetMediaTimeScale(media_);
  const int64_t down = MulDivDown(t, scale, UNITS);
  return roundUp && down * UNITS < __int128(t) * scale ? down + 1 : down;
}

void MovieAudioPin::Restart() {
  carry_.clear();
  carryAt_ = 0;
  framesDelivered_ = 0;
  lastFillShort_ = false;
  dropBytes_ = 0;
  sourceDone_ = !converter_;
  if (!converter_) return;
  // A fresh conversion: nothing of the decoder's state before the seek carries over.
  if (converting_) {
    uint32_t frames = 0, bytes = 0;
    SoundConverterEndConversion(converter_, work_.data(), &frames, &bytes);
  }
  converting_ = SoundConverterBeginConversion(converter_) == noErr;
  sourceDone_ = !converting_;

  sourceStop_ = MediaTimeOf(stop_, true);
  const int64_t start = MediaTimeOf(start_, false);
  const TimeValue at = TimeValue(std::clamp<int64_t>(start, INT32_MIN, INT32_MAX));
  TimeValue covering = -1, length = 0;
  GetMediaNextInterestingTime(media_, nextTimeMediaSample | nextTimeEdgeOK, at, kBackward, &covering, &length);
  int64_t from = start;
  if (length > 0) {
    from = covering;
    if (variableRate_) {
      // The packet before primes the decoder; its sound is dropped.
      TimeValue before = -1, beforeLength = 0;
      GetMediaNextInterestingTime(media_, nextTimeMediaSample, covering, kBackward, &before, &beforeLength);
      if (beforeLength > 0) from = before;
    }
  } else {
    TimeValue first = -1;
    GetMediaNextInterestingTime(media_, nextTimeMediaSample | nextTimeEdgeOK, at, kForward, &first, &length);
    if (length > 0) from = first;
  }
  sourceTime_ = from;
  if (from < start) dropBytes_ = MulDivDown(start - from, connectedRate_, GetMediaTimeScale(media_)) * BlockAlign();
}

Boolean MovieAudioPin::SourceData(SoundComponentDataPtr* data, void* refCon) {
  return static_cast<MovieAudioPin*>(refCon)->ReadSource(data);
}

bool MovieAudioPin::ReadSource(SoundComponentDataPtr* data) {
  if (sourceTime_ >= sourceStop_ || sourceTime_ > INT32_MAX || sourceTime_ < INT32_MIN) return false;
  if (!sampleHandle_ && !(sampleHandle_ = NewHandle(0))) return false;
  HLock(sampleHandle_);
  int32_t maxSize = maxSampleBytes_, size = 0, count = 0;
  TimeValue sampleTime = 0, each = 0;
  OSErr err = noErr;
  for (int attempt = 0;; ++attempt) {
    err = GetMediaSample(media_, sampleHandle_, maxSize, &size, TimeValue(sourceTime_), &sampleTime, &each, nullptr,
                         nullptr, 0, &count, nullptr);
    if (err != maxSizeToGrowTooSmall || attempt == kGrowAttempts || maxSize > INT32_MAX / 2) break;
    // A sample larger than the room given: again into a fresh handle with twice the room.
    DisposeHandle(sampleHandle_);
    if (!(sampleHandle_ = NewHandle(0))) return false;
    HLock(sampleHandle_);
    maxSize *= 2;
  }
  if (err != noErr || count <= 0) return false;
  soundData_.desc.sampleCount = count;
  soundData_.desc.buffer = reinterpret_cast<uint8_t*>(*sampleHandle_);
  soundData_.extendedFlags = kExtendedSoundBufferSizeValid | (variableRate_ ? kExtendedSoundCommonFrameSizeValid : 0);
  soundData_.bufferSize = size;
  soundData_.frameCount = count;
  soundData_.commonFrameSize = size / count;
  // On from where the samples read end, whatever part of the first one the position was in.
  sourceTime_ = int64_t(sampleTime) + int64_t(count) * each;
  *data = &soundData_.desc;
  return true;
}

void MovieAudioPin::Keep(const BYTE* bytes, size_t count) {
  const size_t dropped = size_t(std::min<int64_t>(dropBytes_, int64_t(count)));
  dropBytes_ -= int64_t(dropped);
  if (carryAt_ > 0) {
    carry_.erase(carry_.begin(), carry_.begin() + ptrdiff_t(carryAt_));
    carryAt_ = 0;
  }
  carry_.insert(carry_.end(), bytes + dropped, bytes + count);
}

void MovieAudioPin::Finish() {
  uint32_t frames = 0, bytes = 0;
  if (converting_ && SoundConverterEndConversion(converter_, work_.data(), &frames, &bytes) == noErr)
    Keep(work_.data(), bytes);
  converting_ = false;
  sourceDone_ = true;
}

void MovieAudioPin::ConvertMore() {
  if (variableRate_) {
    if (lastFillShort_) {
      // The converter ran out of input: go on at the next sample, if there is one before the stop.
      TimeValue next = -1, length = 0;
      if (sourceTime_ < sourceStop_ && sourceTime_ <= INT32_MAX)
        GetMediaNextInterestingTime(media_, nextTimeMediaSample | nextTimeEdgeOK, TimeValue(sourceTime_), kForward,
                                    &next, &length);
      if (length <= 0 || next >= sourceStop_) {
        Finish();
        return;
      }
      sourceTime_ = next;
    }
    const int64_t before = sourceTime_;
    uint32_t bytes = 0, frames = 0, flags = 0;
    if (SoundConverterFillBuffer(converter_, &MovieAudioPin::SourceData, this, work_.data(), uint32_t(work_.size()),
                                 &bytes, &frames, &flags) != noErr) {
      Finish();
      return;
    }
    Keep(work_.data(), bytes);
    lastFillShort_ = (flags & kSoundConverterDidntFillBuffer) != 0;
    if (lastFillShort_ && bytes == 0 && sourceTime_ == before) Finish();  // the samples there cannot be read
    return;
  }
  uint32_t inFrames = 0, inBytes = 0, outBytes = 0, frames = 0, bytes = 0;
  SoundComponentDataPtr data = nullptr;
  if (SoundConverterGetBufferSizes(converter_, uint32_t(maxSampleBytes_), &inFrames, &inBytes, &outBytes) != noErr ||
      !ReadSource(&data) ||
      SoundConverterConvertBuffer(converter_, data->buffer, uint32_t(data->sampleCount), work_.data(), &frames, &bytes) !=
          noErr) {
    Finish();
    return;
  }
  Keep(work_.data(), bytes);
}

// ---- Delivery -----------------------------------------------------------------------------------

bool MovieAudioPin::AtEnd() { return !converter_ || (sourceDone_ && carryAt_ == carry_.size()); }

HRESULT MovieAudioPin::FillSample(BYTE* buffer, LONG size, SampleSpan* span) {
  if (!converter_ || connectedRate_ <= 0) return S_FALSE;
  const size_t block = size_t(BlockAlign());
  const size_t wanted = size_t(size) / block * block;
  while (carry_.size() - carryAt_ < wanted && !sourceDone_) ConvertMore();
  const size_t bytes = std::min(carry_.size() - carryAt_, wanted);
  if (bytes == 0) return S_FALSE;
  std::memcpy(buffer, carry_.data() + carryAt_, bytes);
  carryAt_ += bytes;
  const int64_t frames = int64_t(bytes / block);
  span->start = MulDivDown(framesDelivered_, UNITS, connectedRate_);
  span->stop = MulDivDown(framesDelivered_ + frames, UNITS, connectedRate_);
  span->length = LONG(bytes);
  framesDelivered_ += frames;
  return S_OK;
}

REFERENCE_TIME MovieAudioPin::SampleStartAt(REFERENCE_TIME t) {
  if (!media_) return t;
  const int64_t m = MediaTimeOf(t, false);
  TimeValue covering = -1, length = 0;
  GetMediaNextInterestingTime(media_, nextTimeMediaSample | nextTimeEdgeOK, TimeValue(std::clamp<int64_t>(m, INT32_MIN, INT32_MAX)),
                              kBackward, &covering, &length);
  if (length <= 0) return t;
  // Rounded up, so that the media time of the result is the sample's start again.
  const int64_t scale = GetMediaTimeScale(media_);
  const int64_t down = MulDivDown(covering, UNITS, scale);
  return down * scale < __int128(covering) * UNITS ? down + 1 : down;
}

REFERENCE_TIME MovieAudioPin::Position() {
  const int rate = connectedRate_ > 0 ? connectedRate_ : OutputRate();
  return start_ + MulDivDown(framesDelivered_, UNITS, rate);
}

void MovieAudioPin::SkipMaterial(REFERENCE_TIME t) {
  const int rate = connectedRate_ > 0 ? connectedRate_ : OutputRate();
  const int64_t frames = MulDivDown(t < 0 ? -t : t, rate, UNITS);
  if (t > 0) {
    dropBytes_ += frames * BlockAlign();
    framesDelivered_ += frames;
  } else {
    framesDelivered_ = std::max<int64_t>(0, framesDelivered_ - frames);
  }
}
