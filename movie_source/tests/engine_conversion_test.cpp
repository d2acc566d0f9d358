// The engine converting a QuickTime movie once the Halden module is registered, as the program
// registers it at start-up: the graph opens the movie through the movie source filter.
#include <chrono>
#include <string>
#include <thread>

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

}  // namespace
