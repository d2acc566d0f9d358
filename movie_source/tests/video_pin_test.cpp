// The video pin's fill on its own, with samples of other sizes than a picture: it never writes
// past the sample nor reads past the picture.
#include "movie_test_support.h"
#include "movie_video_pin.h"
#include "testing/guarded_buffer.h"

namespace movie_source_test {
namespace {

class ExposedVideoPin : public MovieVideoPin {
 public:
  using MovieVideoPin::FillSample;
  using MovieVideoPin::MovieVideoPin;
  using MovieVideoPin::PrepareStreaming;
  using MovieVideoPin::Restart;
};

Movie OpenMovieOf(const std::string& path) {
  FSSpec location;
  NativePathNameToFSSpec(path.c_str(), &location, 0);
  int16_t file = 0;
  OpenMovieFile(&location, &file, fsRdPerm);
  Movie movie = nullptr;
  NewMovieFromFile(&movie, file, nullptr, nullptr, newMovieActive, nullptr);
  CloseMovieFile(file);
  return movie;
}

TEST(MovieVideoPin, SamplesSmallerOrLargerThanAPictureGetWhatFits) {
  testing_support::MovieOptions o;
  testing_support::MovieVideoTrack v;
  v.encoder = "mjpeg";
  v.width = 63;  // rows of 252 bytes at 32 bits, 189 (padded to 192) at 24
  v.height = 47;
  v.frames = 4;
  o.video = {v};
  const std::string path = MovieFile("small.mov", o);
  LoadedFilter loaded = NewFilter();  // keeps the runtime up and owns the pin
  auto* filter = static_cast<MovieSourceFilter*>(static_cast<CSource*>(static_cast<IBaseFilter*>(loaded.filter.get())));
  for (int depth : {24, 32}) {
    Movie movie = OpenMovieOf(path);
    ASSERT_NE(nullptr, movie);
    HRESULT hr = S_OK;
    auto* pin = new ExposedVideoPin(&hr, filter, u"Video Out 1", movie, 1, 47, 63, depth, 0);
    ASSERT_EQ(S_OK, hr);
    ASSERT_EQ(S_OK, pin->PrepareStreaming());
    pin->Restart();
    const size_t image = WIDTHBYTES(63 * depth) * 47;
    for (size_t size : {image / 3, image, image + 4096}) {
      testing_support::GuardedBuffer sample(size);
      SampleSpan span;
      ASSERT_EQ(S_OK, pin->FillSample(sample.data(), LONG(size), &span)) << size;
      EXPECT_EQ(LONG(std::min(size, image)), span.length) << size;
      if (size >= image) {
        ReceivedSample received;
        received.bytes.assign(sample.data(), sample.data() + size);
        CMediaType type;
        auto* info = reinterpret_cast<VIDEOINFOHEADER*>(type.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
        info->bmiHeader.biWidth = 63;
        info->bmiHeader.biHeight = -47;
        info->bmiHeader.biBitCount = WORD(depth);
        EXPECT_GE(FrameCodeOf(type, received), 0) << size;
      }
    }
    delete pin;
  }
}

}  // namespace
}  // namespace movie_source_test
