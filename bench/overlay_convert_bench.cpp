// The overlay's cost in a conversion, in one run: a 60-second 1280x720 clip (made here) converted
// by the engine to AVI with the MPEG-4 compressor at 1280x720, once with the overlay drawing a
// 200x100 keyed PNG and a 40-pixel outlined text on every frame and once without it. Each side runs
// in a child process of its own, taking turns; the medians count.
// Usage: overlay_convert_bench [folder] [seconds] [rounds]
#include "child_run.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "hosted_engine.h"
#include "testing/image_files.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"

namespace {

using bench::InChild;
using bench::Result;

constexpr int kWidth = 1280;
constexpr int kHeight = 720;
constexpr int kFrameRate = 25;

int EngineConvert(const std::string& in, const std::string& out, double seconds, const std::string& image) {
  const bool overlay = !image.empty();
  if (!bench::RegisterModule(TESSARY_MODULE) || (overlay && !bench::RegisterModule(LUMET_MODULE))) return 2;
  bench::HostedEngine engine;
  if (!engine.Open()) return 2;
  auto put = [&](DISPID id, const COleVariant& v) { return engine.Put(id, v); };
  auto call = [&](DISPID id, std::initializer_list<COleVariant> args) { return engine.Call(id, args); };
  const COleVariant position = engine.Find(dispidVideoCompressors, "MPEG-4 Video Encoder");
  const COleVariant on(short(VARIANT_TRUE), VT_BOOL), off(short(0), VT_BOOL);
  bool ok = put(dispidOutputType, COleVariant(short(8))) && put(dispidOutputFileWidth, COleVariant(short(kWidth))) &&
            put(dispidOutputFileHeight, COleVariant(short(kHeight))) &&
            put(dispidFrameRate, COleVariant(float(kFrameRate))) && put(dispidVideoCompressor, position) &&
            put(dispidUseVideoCompressor, on) && put(dispidOutputAudio, off) &&
            put(dispidUseOverlay, overlay ? on : off);
  if (overlay)
    ok = ok && put(dispidTextStyle, COleVariant(short(1))) && put(dispidTextFontName, COleVariant("Arial")) &&
         put(dispidTextFontSize, COleVariant(short(40))) && put(dispidTextFontStyle, COleVariant(short(1)));
  ok = ok && call(dispidInitControl, {}) &&
       call(dispidAddVideo, {COleVariant(in.c_str()), COleVariant(0.0), COleVariant(seconds), COleVariant(short(0))});
  ok = ok && call(dispidSave, {COleVariant(out.c_str())}) && engine.result.boolVal == VARIANT_TRUE;
  if (overlay)
    ok = ok &&
         call(dispidDrawImage, {COleVariant(short(40)), COleVariant(short(40)), COleVariant(image.c_str()),
                                COleVariant(LONG(0)), COleVariant(short(255))}) &&
         call(dispidDrawText, {COleVariant(short(40)), COleVariant(short(600)), COleVariant("Corvane overlay 2026")});
  if (!ok) {
    std::fprintf(stderr, "the control refused the settings, the clip or the save\n");
    return 2;
  }
  return engine.WaitForComplete();
}

// The run of median time, with the highest peak memory and the worst exit status of all.
Result Median(std::vector<Result> runs) {
  std::sort(runs.begin(), runs.end(), [](const Result& a, const Result& b) { return a.seconds < b.seconds; });
  Result m = runs[runs.size() / 2];
  for (const Result& r : runs) {
    m.peakKiB = std::max(m.peakKiB, r.peakKiB);
    if (r.status != 0) m.status = r.status;
  }
  return m;
}

// A 200 x 100 logo: a gradient with a black key-coloured border and black holes.
std::vector<uint8_t> Logo() {
  std::vector<uint8_t> rgba;
  for (int y = 0; y < 100; ++y)
    for (int x = 0; x < 200; ++x) {
      const bool key = x < 4 || y < 4 || x >= 196 || y >= 96 || ((x / 20 + y / 20) % 3 == 0);
      rgba.insert(rgba.end(), {uint8_t(key ? 0 : x), uint8_t(key ? 0 : 2 * y), uint8_t(key ? 0 : 200), 255});
    }
  return rgba;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
  const int rounds = argc > 3 ? std::max(1, std::atoi(argv[3])) : 3;
  // The modules register themselves: into a registry of this run, not the user's.
  const std::filesystem::path config = folder / "overlay_bench_config";
  std::filesystem::create_directories(config);
  setenv("CORVANE_REGISTRY", (config / "registry.txt").c_str(), 1);
  setenv("XDG_CONFIG_HOME", config.c_str(), 1);
  setenv("CORVANE_DISPLAY", "headless", 0);

  const std::string clip = (folder / "overlay_bench_source.avi").string();
  const std::string image = (folder / "overlay_bench_logo.png").string();
  const std::string with = (folder / "overlay_bench_with.avi").string();
  const std::string without = (folder / "overlay_bench_without.avi").string();
  testing_support::ClipOptions o;
  o.format = "avi";
  o.videoEncoder = "mpeg4";
  o.width = kWidth;
  o.height = kHeight;
  o.frameRate = kFrameRate;
  o.audioEncoder = "";
  o.seconds = seconds;
  std::printf("making a %.0f-second 1280x720 clip...\n", seconds);
  if (std::string err = testing_support::MakeClip(clip, o); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 2;
  }
  if (std::string err = testing_support::WritePng(image, 200, 100, Logo()); !err.empty()) {
    std::fprintf(stderr, "%s\n", err.c_str());
    return 2;
  }
  std::vector<Result> withRuns, withoutRuns;
  for (int round = 0; round < rounds; ++round) {
    withRuns.push_back(InChild([&] { return EngineConvert(clip, with, seconds, image); }));
    withoutRuns.push_back(InChild([&] { return EngineConvert(clip, without, seconds, ""); }));
    std::printf("round %d: with overlay %.2f s, without %.2f s\n", round + 1, withRuns.back().seconds,
                withoutRuns.back().seconds);
  }
  const Result overlaid = Median(withRuns);
  const Result plain = Median(withoutRuns);
  for (const auto& [who, path] : {std::pair{"with:", with}, std::pair{"without:", without}}) {
    const testing_support::ProbedFile f = testing_support::ProbeFile(path);
    const testing_support::ProbedStream* v = f.Video();
    std::printf("%-9s %s %dx%d %ld frames %s\n", who, v ? v->codec.c_str() : "-", v ? v->width : 0, v ? v->height : 0,
                v ? v->packets : 0, f.error.c_str());
  }
  std::printf("with overlay:    %7.2f s  peak %7ld KiB  (exit %d)\n", overlaid.seconds, overlaid.peakKiB, overlaid.status);
  std::printf("without overlay: %7.2f s  peak %7ld KiB  (exit %d)\n", plain.seconds, plain.peakKiB, plain.status);
  std::printf("ratio with/without (medians of %d rounds): time %.3fx (goal at most 1.15x), peak memory %.2fx\n",
              rounds, overlaid.seconds / plain.seconds, double(overlaid.peakKiB) / double(plain.peakKiB));
  for (const std::string& f : {clip, image, with, without}) std::filesystem::remove(f);
  std::filesystem::remove_all(config);
  return overlaid.status == 0 && plain.status == 0 ? 0 : 1;
}
