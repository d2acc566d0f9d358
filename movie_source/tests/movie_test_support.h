#pragma once
// What the movie source tests share: movies made once per test program, the filter loaded with a
// file, pins played into a sink, pictures' codes read back and a plain decode of a file's sound.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "movie_source/movie_source.h"
#include "movie_source_filter.h"
#include "ole/comptr.h"
#include "sample_sink.h"
#include "testing/movie_fixtures.h"

namespace movie_source_test {

// The path of a movie made in the sandbox once per program (by name).
std::string MovieFile(const std::string& name, const testing_support::MovieOptions& options);

// A movie source filter, loaded when a path is given.
struct LoadedFilter {
  ComPtr<IBaseFilter> filter;
  HRESULT loaded = E_FAIL;
  int PinCount();
  ComPtr<IPin> Pin(int n);
  std::u16string PinName(int n);
};
LoadedFilter NewFilter();
LoadedFilter LoadFilter(const std::string& path);

// What a pin delivered to a sink.
struct Played {
  bool ended = false;
  CMediaType type;
  std::vector<ReceivedSample> samples;
  std::vector<REFERENCE_TIME> segmentStarts;
};

// Output pins connected to sinks of their own in a graph without a clock.
class PinPlayer {
 public:
  PinPlayer(LoadedFilter& loaded, std::vector<int> pins);
  ~PinPlayer();
  IMediaSeeking* Seeking(size_t i = 0) { return seeking_[i].get(); }
  SampleSink* Sink(size_t i = 0) { return sinks_[i]; }
  void Run();
  // Waits for every stream's end, stops the graph and tells what each pin delivered.
  std::vector<Played> Finish();

 private:
  LoadedFilter& loaded_;
  ComPtr<IGraphBuilder> graph_;
  std::vector<SampleSink*> sinks_;
  std::vector<ComPtr<IBaseFilter>> sinkFilters_;
  std::vector<ComPtr<IMediaSeeking>> seeking_;
};

// Plays one output pin to its end; prepare (if given) may seek it first.
Played PlayPin(LoadedFilter& loaded, int pin, const std::function<void(IMediaSeeking*)>& prepare = nullptr);

// The bar code of a video sample of a connected RGB type (-1 when unreadable).
int FrameCodeOf(const CMediaType& type, const ReceivedSample& sample);
std::vector<int> FrameCodesOf(const Played& played);

// The frames a plain FFmpeg decode of a file's index-th video stream shows.
int PlainFrameCount(const std::string& path, int index = 0);

// A file's sound decoded with the FFmpeg libraries straight, as interleaved signed 16-bit PCM at
// the track's own rate and channels.
std::vector<uint8_t> PlainSoundDecode(const std::string& path);

// All the bytes of the samples, in order.
std::vector<uint8_t> Concatenated(const std::vector<ReceivedSample>& samples);

}  // namespace movie_source_test
