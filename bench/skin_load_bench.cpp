// Loading the default skin from the program folder: the whole load of the main face (extract the
// package into a private folder, read the description, load the bitmaps, cut the window shape,
// remove the folder) and its steps on their own, with Info-ZIP unzip extracting the same package
// beside the reader; then the main face on a skinned dialog of the headless screen: loading it with
// every element built, and painting the dialog and its elements once.
// Usage: skin_load_bench [rounds]   (default 30; the median of the rounds counts)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "skin/skin_description.h"
#include "skin/skin_dialog.h"
#include "skin/skin_package.h"
#include "win32/paths.h"
#include "zip/zip_reader.h"

namespace {

namespace fs = std::filesystem;

constexpr COLORREF kKey = RGB(255, 0, 255);

double MedianMilliseconds(int rounds, const std::function<void()>& work) {
  std::vector<double> times;
  for (int i = 0; i < rounds; ++i) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

// A 640 x 490 pop-up: the default skin's main face.
const DLGTEMPLATE kMainTemplate = {WS_POPUP | WS_VISIBLE, 0, 0, 0, 10, 10, "Corvane", nullptr, 0, nullptr, 0, nullptr};

void Fail(const char* what) {
  std::fprintf(stderr, "skin_load_bench: %s\n", what);
  std::exit(1);
}

}  // namespace

int main(int argc, char** argv) {
  const int rounds = std::max(1, argc > 1 ? std::atoi(argv[1]) : 30);
  const CString package = SkinPackagePath("Default");
  const std::string posixPackage = PosixPathFromPlatform(package.GetString());
  if (!fs::exists(posixPackage)) Fail("no Default.skn in the program folder");
  std::string scratch = (fs::temp_directory_path() / "skin-load-bench-XXXXXX").string();
  if (!mkdtemp(scratch.data())) Fail("no scratch folder");
  const std::string out = scratch + "/out";

  const double whole = MedianMilliseconds(rounds, [&] {
    if (!LoadSkinPackage(package, SkinFaceKind::Main, kKey)) Fail("the main face did not load");
  });
  const double progress = MedianMilliseconds(rounds, [&] {
    if (!LoadSkinPackage(package, SkinFaceKind::Progress, kKey)) Fail("the progress face did not load");
  });
  const double extract = MedianMilliseconds(rounds, [&] {
    fs::remove_all(out);
    CZipReader zip;
    zip.Open(package, CZipReader::zipOpen, 0);
    for (int i = 0; i < zip.GetCount(); ++i)
      if (!zip.ExtractEntry(static_cast<WORD>(i), out.c_str())) Fail("an entry did not extract");
    zip.Close(TRUE);
  });
  const double unzip = MedianMilliseconds(rounds, [&] {
    fs::remove_all(out);
    if (std::system(("unzip -qq -o '" + posixPackage + "' -d '" + out + "'").c_str()) != 0) Fail("unzip failed");
  });
  const std::string description = out + "/Skin.ini";
  const double describe = MedianMilliseconds(rounds, [&] {
    if (LoadSkinDescription(description.c_str(), SkinFaceKind::Main, kKey).background.IsEmpty())
      Fail("the description did not load");
  });
  SkinBitmap background;
  background.Load((out + "/Main.bmp").c_str());
  const double region = MedianMilliseconds(rounds, [&] { DeleteObject(CreateSkinRegion(background.Get(), kKey)); });
  fs::remove_all(scratch);

  CSkinDialog dialog;
  if (!dialog.CreateIndirect(&kMainTemplate)) Fail("no dialog");
  dialog.MoveWindow(0, 0, 640, 490);
  auto paint = [&] {
    dialog.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  };
  const double loadAndPaint = MedianMilliseconds(rounds, [&] {
    if (!dialog.LoadSkinPackage("Default")) Fail("the dialog did not take the main face");
    paint();
  });
  const double loadOnDialog = MedianMilliseconds(rounds, [&] {
    if (!dialog.LoadSkinPackage("Default")) Fail("the dialog did not take the main face");
  });
  const double paintOnce = MedianMilliseconds(rounds, paint);
  dialog.DestroyWindow();

  std::printf("Default.skn, median of %d rounds\n", rounds);
  std::printf("main face, whole load          %8.2f ms\n", whole);
  std::printf("  extraction, zip reader       %8.2f ms\n", extract);
  std::printf("  extraction, Info-ZIP unzip   %8.2f ms  (reader / unzip %.2f, unzip timed with its process start)\n",
              unzip, extract / unzip);
  std::printf("  description, bitmaps, shape  %8.2f ms\n", describe);
  std::printf("    of which the shape         %8.2f ms\n", region);
  std::printf("progress face, whole load      %8.2f ms\n", progress);
  std::printf("main face on the dialog, load and paint %8.2f ms  (goal 30 ms)\n", loadAndPaint);
  std::printf("  load, every element built    %8.2f ms\n", loadOnDialog);
  std::printf("  one paint of dialog and elements %6.2f ms\n", paintOnce);
  return 0;
}
