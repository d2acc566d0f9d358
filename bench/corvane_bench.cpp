// The program's own costs, headless, with the real engine and the default skin:
// 1. start-up: from constructing the main window to its first painted face (the skin loaded, the
//    engine control created, the shipped profiles read), cold (first round) and warm (median);
// 2. batch overhead: ten 2-second clips converted by the main window's batch (profile applied,
//    progress window, the pause after each file) against the same ten conversions made directly
//    on the engine control; the difference per file is the program's overhead.
// Usage: corvane_bench [rounds]   (default 10)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "converter_app.h"
#include "converter_dlg.h"
#include "engine/tessary_ids.h"
#include "testing/media_fixtures.h"
#include "win32/paths.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kClips = 10;

double Milliseconds(Clock::time_point start) {
  return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void Fail(const char* what) {
  std::fprintf(stderr, "corvane_bench: %s\n", what);
  std::exit(1);
}

// A window hosting the engine directly, counting its Complete events.
class CEngineHost : public CWnd {
  DECLARE_EVENTSINK_MAP()
 public:
  void OnComplete() { ++completes; }
  int completes = 0;
};

BEGIN_EVENTSINK_MAP(CEngineHost, CWnd)
  ON_EVENT(CEngineHost, 1001, eventidComplete, OnComplete, VTS_NONE)
END_EVENTSINK_MAP()

void WaitFor(const int& completes, int count) {
  MSG msg;
  while (completes < count && GetMessageA(&msg, nullptr, 0, 0)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

std::string PlatformPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  // A private registry and the headless screen: the benchmark changes nothing of the user's.
  std::string scratch = (fs::temp_directory_path() / "corvane-bench-XXXXXX").string();
  if (!mkdtemp(scratch.data())) Fail("no scratch folder");
  setenv("CORVANE_REGISTRY", (scratch + "/registry.txt").c_str(), 0);
  setenv("CORVANE_DISPLAY", "headless", 0);
  const int rounds = std::max(2, argc > 1 ? std::atoi(argv[1]) : 10);

  const std::string bin = PosixPathFromPlatform(CConverterDlg::GetProgramFolder().GetString());
  const std::string folder = scratch + "/program";
  fs::create_directories(folder + "/out");
  fs::copy_file(bin + "/Default.skn", folder + "/Default.skn");
  fs::copy(bin + "/MyProfile", folder + "/MyProfile", fs::copy_options::recursive);
  CConverterApp::RegisterProgramModules();
  AfxEnableControlContainer();
  AfxRegisterControlSiteClass(CTessary::GetClsid());

  // ---- Start-up to the first painted face ----
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = Clock::now();
    CConverterDlg dialog(nullptr, PlatformPath(folder).c_str());
    if (!dialog.Create(CConverterDlg::IDD, nullptr)) Fail("the main window was not created");
    dialog.ShowWindow(SW_SHOW);
    dialog.UpdateWindow();
    times.push_back(Milliseconds(start));
    dialog.DestroyWindow();
  }
  const double cold = times.front();
  std::sort(times.begin() + 1, times.end());
  std::printf("start-up to the first painted main window: cold %.1f ms, warm median %.1f ms (goal < 300 ms)\n", cold,
              times[1 + (times.size() - 1) / 2]);

  // ---- Batch overhead ----
  testing_support::ClipOptions clip;
  clip.format = "avi";
  clip.videoEncoder = "mpeg4";
  clip.width = 320;
  clip.height = 240;
  clip.sampleRate = 44100;
  clip.seconds = 2.0;
  std::vector<std::string> clips;
  for (int i = 0; i < kClips; ++i) {
    clips.push_back(folder + "/clip" + std::to_string(i) + ".avi");
    if (!testing_support::MakeClip(clips.back(), clip).empty()) Fail("no clip");
  }

  // The engine alone: the first shipped profile's settings, one file after another.
  CEngineHost host;
  host.CreateEx(0, AfxRegisterWndClass(0), "host", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr);
  CTessary engine;
  if (!AfxCreateControl(&engine, CTessary::GetClsid(), "", WS_VISIBLE, CRect(0, 0, 320, 240), &host, 1001))
    Fail("no engine");
  auto convertDirectly = [&] {
    host.completes = 0;
    const auto start = Clock::now();
    for (int i = 0; i < kClips; ++i) {
      engine.SetUseOverlay(TRUE);
      engine.SetVideoCompressor(engine.GetVideoCompressors().FindVideoCompressor("MPEG-4 Video Encoder"));
      engine.SetAudioCompressor(engine.GetAudioCompressors().FindAudioCompressor("MPEG Layer-3"));
      engine.SetVideoSampleSize(32);
      engine.SetOutputType(8);
      engine.SetUseVideoCompressor(TRUE);
      engine.SetUseAudioCompressor(TRUE);
      engine.SetOutputFileWidth(320);
      engine.SetOutputFileHeight(240);
      engine.SetFrameRate(15);
      engine.SetAVILameBitrate(96);
      engine.InitControl();
      const CString path = PlatformPath(clips[i]).c_str();
      engine.AddVideo(path, 0, 2, 0);
      engine.AddAudio(path, 0, 2);
      if (!engine.Save(PlatformPath(folder + "/out/direct" + std::to_string(i) + ".avi").c_str())) Fail("Save failed");
      WaitFor(host.completes, i + 1);
    }
    return Milliseconds(start);
  };
  // The first pass warms the engine and the encoders up; the second is measured.
  convertDirectly();
  const double engineMs = convertDirectly();
  engine.DestroyWindow();
  host.DestroyWindow();

  // The same through the main window's batch.
  CConverterDlg dialog(nullptr, PlatformPath(folder).c_str());
  if (!dialog.Create(CConverterDlg::IDD, nullptr)) Fail("the main window was not created");
  for (const std::string& path : clips) dialog.FileList()->AddRow(PlatformPath(path).c_str(), "0", "2.000000");
  dialog.OnSkinOption("OPTION_BATCH");
  dialog.OutputBox()->SetWindowText(PlatformPath(folder + "/out").c_str());
  const auto batch = Clock::now();
  dialog.OnSkinButton("BUTTON_CONVERT");
  const double batchMs = Milliseconds(batch);
  dialog.DestroyWindow();

  const double perFile = (batchMs - engineMs) / kClips;
  std::printf("batch of %d 2-second clips: engine alone %.0f ms, through the main window %.0f ms\n", kClips, engineMs,
              batchMs);
  std::printf("per-file overhead: %.1f ms, of which the pause after each file is 500 ms; without it %.1f ms "
              "(goal < 50 ms)\n",
              perFile, perFile - 500.0);
  fs::remove_all(scratch);
  return 0;
}
