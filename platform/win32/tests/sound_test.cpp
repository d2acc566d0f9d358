// Wave sounds: found in files and resources, refused when missing or not wave data, silent and
// successful without an audio device.
#include <cstdlib>

#include "test_folder.h"
#include "win32/mmsystem.h"
#include "win32/windows.h"

namespace {

// A mono 8-bit wave of 8000 Hz, `count` samples long.
std::string Wave(int count) {
  auto le = [](uint32_t value, int bytes) {
    std::string out;
    for (int i = 0; i < bytes; ++i) out += char((value >> (8 * i)) & 0xFF);
    return out;
  };
  std::string data(count, char(0x80));
  return "RIFF" + le(36 + count, 4) + "WAVE" + "fmt " + le(16, 4) + le(1, 2) + le(1, 2) + le(8000, 4) + le(8000, 4) +
         le(1, 2) + le(8, 2) + "data" + le(count, 4) + data;
}

const std::string kWave = Wave(800);
const ResourceEntry kResources[] = {{"WAVE", "CLICK", kWave.data(), DWORD(kWave.size())}};
const ModuleResources kRegistered(kResources);

class SoundTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { setenv("SDL_AUDIODRIVER", "dummy", 1); }
  void SetUp() override {
    folder = win32_test::MakeTestFolder();
    platform = PlatformPathFromPosix(folder);
  }
  std::string P(const std::string& name) const { return platform + "\\" + name; }
  std::string folder;
  std::string platform;
};

TEST_F(SoundTest, FilesAndResourcesPlayAndWhatIsNotAWaveIsRefused) {
  win32_test::WriteText(folder + "/click.wav", kWave);
  win32_test::WriteText(folder + "/text.wav", "not a sound at all, only some text");
  win32_test::WriteText(folder + "/empty.wav", "");
  EXPECT_TRUE(PlaySoundA(P("click.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | SND_ASYNC));
  // Synchronous: without a device it returns at once.
  EXPECT_TRUE(PlaySoundA(P("click.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT | SND_NOWAIT));
  EXPECT_FALSE(PlaySoundA(P("missing.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT));
  EXPECT_FALSE(PlaySoundA(P("text.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT));
  EXPECT_FALSE(PlaySoundA(P("empty.wav").c_str(), nullptr, SND_FILENAME | SND_NODEFAULT));

  HMODULE self = GetModuleHandleA(nullptr);
  EXPECT_TRUE(PlaySoundA("CLICK", self, SND_RESOURCE | SND_NODEFAULT | SND_ASYNC));
  EXPECT_FALSE(PlaySoundA("HOVER", self, SND_RESOURCE | SND_NODEFAULT | SND_ASYNC));
  // The resource name is not a file name.
  EXPECT_FALSE(PlaySoundA("CLICK", nullptr, SND_FILENAME | SND_NODEFAULT));
  EXPECT_TRUE(PlaySoundA(nullptr, nullptr, 0));
}

}  // namespace
