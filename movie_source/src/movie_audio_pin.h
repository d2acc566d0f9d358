#pragma once
// An output pin of PCM sound of one sound track, converted by the movie runtime's sound converter.
//
// The stamps follow the sound delivered: a sample's start is the number of sample frames delivered
// before it at the output rate. Compressed sound is decoded from the packet before the start
// position, whose sound (a decoder's priming) is dropped, so that sound starts exactly where the
// stream does and a full run equals a plain decode of the track.
#include <vector>

#include "movie_stream_pin.h"

class MovieAudioPin : public MovieStreamPin, public IMovieAudioInfo {
 public:
  MovieAudioPin(HRESULT* phr, MovieSourceFilter* filter, LPCWSTR name, Movie movie, int trackIndex, int channels,
                int sourceRate, int sampleSize, OSType formatCode);
  ~MovieAudioPin() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IMovieAudioInfo
  STDMETHODIMP GetFormatCode(DWORD* code) override { return MovieStreamPin::GetFormatCode(code); }
  STDMETHODIMP GetVideoFormatCode(DWORD* code) override { return MovieStreamPin::GetVideoFormatCode(code); }
  STDMETHODIMP GetSourceSampleRate(LONG* rate) override;
  STDMETHODIMP IsMpeg4Audio() override;
  STDMETHODIMP SetOutputSampleRate(LONG flag, LONG rate) override;

 protected:
  // One buffer of two seconds of sound.
  HRESULT DecideBufferSize(IMemAllocator* pAlloc, ALLOCATOR_PROPERTIES* pRequest) override;
  HRESULT BuildMediaType(CMediaType* pmt) override;
  HRESULT PrepareStreaming() override;
  void Restart() override;
  bool AtEnd() override;
  HRESULT FillSample(BYTE* buffer, LONG size, SampleSpan* span) override;
  REFERENCE_TIME SampleStartAt(REFERENCE_TIME t) override;
  REFERENCE_TIME Position() override;
  void SkipMaterial(REFERENCE_TIME t) override;

 private:
  // The converter's input callback: the media samples at the source position.
  static Boolean SourceData(SoundComponentDataPtr* data, void* refCon);
  bool ReadSource(SoundComponentDataPtr* data);
  // Converts the next piece of the track into the carry buffer.
  void ConvertMore();
  // Drains the converter; the track is done.
  void Finish();
  void Keep(const BYTE* bytes, size_t count);
  void CloseConverter();
  int OutputRate() const { return outputRate_ > 0 ? outputRate_ : sourceRate_; }
  int BlockAlign() const { return channels_ * sampleSize_ / 8; }
  int64_t MediaTimeOf(REFERENCE_TIME t, bool roundUp) const;

  int channels_;
  int sourceRate_;
  int sampleSize_;
  int outputRate_;  // 0: the source rate
  bool variableRate_ = false;
  OSType soundFormat_;

  // Streaming state, from PrepareStreaming on.
  int connectedRate_ = 0;  // the output rate of the connection
  SoundConverter converter_ = nullptr;
  bool converting_ = false;
  Handle sampleHandle_ = nullptr;
  int32_t maxSampleBytes_ = 0;
  ExtendedSoundComponentData soundData_{};
  std::vector<BYTE> work_;
  std::vector<BYTE> carry_;  // converted sound not delivered yet
  size_t carryAt_ = 0;
  int64_t sourceTime_ = 0;  // media time of the next samples to read
  int64_t sourceStop_ = 0;
  bool lastFillShort_ = false;
  bool sourceDone_ = true;
  int64_t dropBytes_ = 0;  // converted sound before the start, still to drop
  int64_t framesDelivered_ = 0;
};
