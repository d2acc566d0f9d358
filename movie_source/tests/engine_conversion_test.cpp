// The engine converting a QuickTime movie once the Halden module is registered, as the program
// registers it at start-up: the graph opens the movie through the movie source filter.
#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "dshow/dshow.h"
#include "hosted_control.h"
#include "movie_source/movie_source.h"
#include "ole/comptr.h"
#include "testing/media_probe.h"
#include "testing/movie_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

class MovieConversion : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    HMODULE halden = LoadLibraryA(HALDEN_MODULE);
    ASSERT_NE(nullptr, halden);
    auto registerServer = reinterpret_cast<HRESULT (*)()>(GetProcAddress(halden, "DllRegisterServer"));
    ASSERT_EQ(S_OK, registerServer());
    testing_support::MovieOptions o;
    testing_support::MovieVideoTrack v;
    v.width = 176;
    v.height = 144;
    v.frames = 50;
    o.video = {v};
    o.sound = {testing_support::MovieSoundTrack{}};
    ASSERT_EQ("", testing_support::MakeMovie(Movie(), o));
  }
  static std::string Movie() { return testing_support::SandboxDir() + "/movie.mov"; }

  // Pumps messages, moving the virtual clock, until Complete; the real-time bound only keeps a
  // broken conversion from hanging.
  bool PumpUntilComplete() {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (host.completes == 0) {
      if (std::chrono::steady_clock::now() > guard) return false;
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
    return true;
  }

  testing_ui::UiDriver ui;
};

TEST_F(MovieConversion, AMovieConvertsThroughTheMovieSourceToAnAviOfItsLength) {
  // The graph's choice for the movie is the movie source filter.
  RegisterDShowClasses();
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid()));
  const std::string movie = Movie();
  ComPtr<IBaseFilter> source;
  ASSERT_EQ(S_OK, graph->AddSourceFilter(std::u16string(movie.begin(), movie.end()).c_str(), nullptr, source.put()));
  CLSID clsid{};
  source->GetClassID(&clsid);
  ASSERT_EQ(CLSID_MovieSourceFilter, clsid);
  source = nullptr;
  graph = nullptr;

  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(movie, 0.0, 2.0));
  ASSERT_TRUE(AddAudio(movie, 0.0, 2.0));
  const std::string out = testing_support::SandboxDir() + "/movie.avi";
  ASSERT_TRUE(CallBool(dispidSave, {COleVariant(out.c_str())}));
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(1, host.completes);

  const testing_support::ProbedFile file = testing_support::ProbeFile(out);
  ASSERT_EQ("", file.error);
  ASSERT_NE(nullptr, file.Video());
  EXPECT_EQ(320, file.Video()->width);
  EXPECT_EQ(240, file.Video()->height);
  EXPECT_NEAR(30, file.Video()->packets, 1);  // 2 s at 15 frames a second
  ASSERT_NE(nullptr, file.Audio());
  EXPECT_EQ(44100, file.Audio()->sampleRate);
  EXPECT_NEAR(2.0, file.Audio()->seconds, 0.1);
  // The picture is the movie's: its first frame's bar code, 0, scaled to the output's size.
  const testing_support::ProbedPicture picture = testing_support::FirstPicture(out);
  ASSERT_EQ("", picture.error);
  EXPECT_EQ(0, testing_support::ReadFrameCode(picture.width, picture.height, [&](int x, int y) {
              const uint8_t* p = picture.Pixel(x, y);
              return testing_support::Rgb{p[0], p[1], p[2]};
            }));
}

// The movie source gives RGB32 pictures: the grab leads them through the colour converter to the
// grabber, and the frame that covers the time comes back whole.
TEST_F(MovieConversion, AFrameGrabbedFromAMovieIsTheOneAtTheTime) {
  const std::string movie = Movie();
  auto bitmap =
      reinterpret_cast<HBITMAP>(UINT_PTR(Call(dispidGetFrame2HBitmap, {COleVariant(movie.c_str()), COleVariant(1.02)}).lVal));
  ASSERT_NE(nullptr, bitmap);
  BITMAP bm{};
  ASSERT_NE(0, GetObject(bitmap, sizeof bm, &bm));
  const int width = bm.bmWidth, height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
  EXPECT_EQ(176, width);
  EXPECT_EQ(144, height);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<uint32_t> pixels(size_t(width) * size_t(height));
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(height, GetDIBits(dc, bitmap, 0, UINT(height), pixels.data(), &info, DIB_RGB_COLORS));
  DeleteDC(dc);
  DeleteObject(bitmap);
  const auto pixel = [&](int x, int y) {
    const uint32_t p = pixels[size_t(y) * size_t(width) + size_t(x)];
    return testing_support::Rgb{int(p >> 16 & 0xFF), int(p >> 8 & 0xFF), int(p & 0xFF)};
  };
  // Frame 25 covers 1.0 s to 1.04 s at 25 frames a second.
  EXPECT_EQ(25, testing_support::ReadFrameCode(width, height, pixel));
  // Upright: the bars at the top, the grey quarter at the bottom.
  EXPECT_GT(std::abs(pixel(8, 4).g - 128), 64);
  EXPECT_LT(std::abs(pixel(8, height - 5).g - 128), 16);
}

}  // namespace
