// Bytes as a skin description beside two small bitmaps, read as both faces. Whatever the text,
// the loader must give a model whose elements are indexed by their position, whose pictures are
// loaded or empty, and whose window shape exists exactly when the background does and is never
// empty.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "skin/skin_description.h"

namespace {

void Check(bool condition) {
  if (!condition) std::abort();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit bitmap file: width x 2 pixels, the first column magenta.
std::string SmallBitmap(int width) {
  const int stride = (width * 3 + 3) & ~3;
  std::string file(54 + stride * 2, '\0');
  auto put32 = [&file](size_t at, uint32_t value) {
    for (int i = 0; i < 4; ++i) file[at + i] = static_cast<char>(value >> (8 * i));
  };
  file[0] = 'B';
  file[1] = 'M';
  put32(2, static_cast<uint32_t>(file.size()));
  put32(10, 54);
  put32(14, 40);
  put32(18, static_cast<uint32_t>(width));
  put32(22, 2);
  file[26] = 1;
  file[28] = 24;
  for (int row = 0; row < 2; ++row)
    for (int x = 0; x < width; ++x) {
      const size_t at = 54 + static_cast<size_t>(row) * stride + static_cast<size_t>(x) * 3;
      file[at] = static_cast<char>(x == 0 ? 0xFF : 0x20);
      file[at + 1] = static_cast<char>(x == 0 ? 0x00 : 0x40);
      file[at + 2] = static_cast<char>(x == 0 ? 0xFF : 0x60);
    }
  return file;
}

const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "skin-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    WriteFile(pattern + "/a.bmp", SmallBitmap(8));
    WriteFile(pattern + "/b.bmp", SmallBitmap(3));
    return pattern;
  }();
  return dir;
}

template <class Element>
void CheckIndexes(const std::vector<Element>& elements) {
  for (size_t i = 0; i < elements.size(); ++i) Check(elements[i].index == static_cast<int>(i));
}

void CheckBitmap(const SkinBitmap& bitmap) { Check(bitmap.IsEmpty() || (bitmap.Width() > 0 && bitmap.Height() > 0)); }

void CheckModel(const SkinModel& skin) {
  CheckBitmap(skin.background);
  Check(skin.background.IsEmpty() == skin.region.IsEmpty());
  if (!skin.region.IsEmpty()) {
    RECT box;
    Check(GetRgnBox(skin.region.Get(), &box) != NULLREGION);
  }
  CheckIndexes(skin.buttons);
  CheckIndexes(skin.sliders);
  CheckIndexes(skin.options);
  CheckIndexes(skin.labels);
  CheckIndexes(skin.editBoxes);
  CheckIndexes(skin.listBoxes);
  CheckIndexes(skin.comboBoxes);
  CheckIndexes(skin.progressBars);
  for (const SkinButtonInfo& button : skin.buttons) CheckBitmap(button.strip);
  for (const SkinSliderInfo& slider : skin.sliders) CheckBitmap(slider.thumb);
  for (const SkinComboBoxInfo& combo : skin.comboBoxes) {
    const SkinComboParts parts = combo.Layout();
    Check(parts.dropList.Height() >= 50 && parts.whole.bottom == parts.dropList.bottom);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string description = ScratchDir() + "/Skin.ini";
  WriteFile(description, std::string(reinterpret_cast<const char*>(data), size));
  CheckModel(LoadSkinDescription(description.c_str(), SkinFaceKind::Main, RGB(255, 0, 255)));
  CheckModel(LoadSkinDescription(description.c_str(), SkinFaceKind::Progress, CLR_INVALID));
  return 0;
}
