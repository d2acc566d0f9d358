// The host's thread changes the settings while frames are drawn on another thread.
#include <atomic>
#include <string>
#include <thread>

#include "overlay_test_support.h"

using namespace overlay_filter_test;

namespace {

class LogoMixerThreads : public OverlayFilterTest {};

TEST_F(LogoMixerThreads, SettingsChangeWhileFramesRun) {
  Connect(96, 48);
  const std::string image = MakePng("thread.png", 2, 2, std::vector<uint8_t>(16, 200));
  mixer_->SetImageTransparency(0, 0, 0, 255);
  ASSERT_EQ(chain_.Pause(), S_OK);

  std::atomic<bool> done{false};
  std::thread host([&] {
    for (int i = 0; !done; ++i) {
      mixer_->SetText(("text " + std::to_string(i)).c_str());
      mixer_->SetTextFont(i % 2 ? "Arial" : "Times New Roman", 10 + i % 20);
      mixer_->SetImageFile(i % 3 ? image.c_str() : "");
      mixer_->SetTextStyle(i % 5);
      mixer_->SetTextPosition(i % 40, i % 20);
      int width = 0, height = 0;
      mixer_->GetTextExtent(&width, &height);
      double start = 0, stop = 0;
      mixer_->GetSampleTimes(&start, &stop);
    }
  });
  Frame frame(96, 48, false, {20, 20, 20});
  const int frames = 60;
  for (int i = 0; i < frames; ++i) ASSERT_EQ(chain_.sourceFilter->Deliver(frame.bytes, i * 400000LL, (i + 1) * 400000LL), S_OK);
  done = true;
  host.join();
  chain_.Stop();
  EXPECT_EQ(chain_.sinkFilter->Received().size(), size_t(frames));
  double start = 0, stop = 0;
  mixer_->GetSampleTimes(&start, &stop);
  EXPECT_DOUBLE_EQ(stop, frames * 0.04);
}

}  // namespace
