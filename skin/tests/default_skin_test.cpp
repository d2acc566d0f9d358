// The default skin in the program folder, loaded through the real loader: every element the
// program looks up, where the elements lie, the window's shape, the package's authoring rules,
// and the built-in progress face that stands in for a package without one.
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "settings/ini_store.h"
#include "skin/skin_package.h"
#include "skin_fixtures.h"
#include "testing/ui_driver.h"
#include "zip/zip_reader.h"

namespace {

constexpr COLORREF kKey = RGB(255, 0, 255);

std::vector<COLORREF> Pixels(HBITMAP bitmap, int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<DWORD> raw(static_cast<size_t>(width) * height);
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetDIBits(dc, bitmap, 0, height, raw.data(), &info, DIB_RGB_COLORS), height);
  DeleteDC(dc);
  std::vector<COLORREF> pixels;
  for (DWORD p : raw) pixels.push_back(RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF));
  return pixels;
}

int BitsPerPixel(HBITMAP bitmap) {
  DIBSECTION section{};
  GetObject(bitmap, sizeof section, &section);
  return section.dsBm.bmBitsPixel;
}

// Every rectangle of the face's elements, with a name to report.
std::vector<std::pair<std::string, CRect>> ElementRects(const SkinModel& skin) {
  std::vector<std::pair<std::string, CRect>> rects;
  auto add = [&](const auto& elements) {
    for (const auto& element : elements) rects.emplace_back(std::string(element.name), element.rect);
  };
  add(skin.buttons);
  add(skin.sliders);
  add(skin.options);
  add(skin.labels);
  add(skin.editBoxes);
  add(skin.listBoxes);
  add(skin.progressBars);
  for (const SkinComboBoxInfo& combo : skin.comboBoxes)
    rects.emplace_back(std::string(combo.name), combo.Layout().whole);
  if (skin.caption) rects.emplace_back("CAPTION", skin.caption->rect);
  if (skin.controlRect) rects.emplace_back("CONTROL", *skin.controlRect);
  if (skin.iconRect) rects.emplace_back("ICON", *skin.iconRect);
  return rects;
}

// The shape's corners are keyed, every element lies on the shaped window, and the key colour is
// found only in the corners.
void ExpectShapedFace(const SkinModel& skin, int width, int height) {
  ASSERT_EQ(skin.background.Width(), width);
  ASSERT_EQ(skin.background.Height(), height);
  EXPECT_EQ(BitsPerPixel(skin.background.Get()), 24);
  EXPECT_EQ(skin.transparentColour, kKey);
  HRGN region = skin.region.Get();
  for (POINT corner : {POINT{0, 0}, POINT{width - 1, 0}, POINT{0, height - 1}, POINT{width - 1, height - 1}})
    EXPECT_FALSE(PtInRegion(region, corner.x, corner.y)) << corner.x << "," << corner.y;
  EXPECT_TRUE(PtInRegion(region, width / 2, height / 2));
  EXPECT_TRUE(PtInRegion(region, width / 2, 0));
  EXPECT_TRUE(PtInRegion(region, 0, height / 2));

  const std::vector<COLORREF> pixels = Pixels(skin.background.Get(), width, height);
  int keyed = 0;
  const int corner = 16;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      if (pixels[static_cast<size_t>(y) * width + x] != kKey) continue;
      ++keyed;
      const bool inCorner = (x < corner || x >= width - corner) && (y < corner || y >= height - corner);
      ASSERT_TRUE(inCorner) << "key colour at " << x << "," << y;
    }
  EXPECT_GT(keyed, 4);

  for (const auto& [name, rect] : ElementRects(skin)) {
    EXPECT_FALSE(rect.IsRectEmpty()) << name;
    EXPECT_TRUE(rect.left >= 0 && rect.top >= 0 && rect.right <= width && rect.bottom <= height) << name;
    for (POINT p : {POINT{rect.left, rect.top}, POINT{rect.right - 1, rect.top}, POINT{rect.left, rect.bottom - 1},
                    POINT{rect.right - 1, rect.bottom - 1}})
      EXPECT_TRUE(PtInRegion(region, p.x, p.y)) << name << " at " << p.x << "," << p.y;
  }
}

// Four states side by side, each as large as the element: nothing is stretched.
void ExpectStrip(const SkinBitmap& strip, const CRect& rect, const char* name) {
  EXPECT_EQ(strip.Width(), 4 * rect.Width()) << name;
  EXPECT_EQ(strip.Height(), rect.Height()) << name;
}

void ExpectScrollBar(const SkinScrollBarBitmaps& bar, const char* name) {
  for (const SkinBitmap* bitmap : {&bar.channel, &bar.upArrow, &bar.upArrowPressed, &bar.downArrow,
                                   &bar.downArrowPressed, &bar.thumb, &bar.thumbPressed}) {
    EXPECT_FALSE(bitmap->IsEmpty()) << name;
    EXPECT_EQ(bitmap->Width(), bar.upArrow.Width()) << name;
  }
}

class DefaultSkin : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    testing_ui::UiDriver ui;  // any message box fails the suite
    main_ = LoadSkinPackage(SkinPackagePath("Default"), SkinFaceKind::Main, kKey);
    progress_ = LoadSkinPackage(SkinPackagePath("Default"), SkinFaceKind::Progress, kKey);
  }
  static void TearDownTestSuite() {
    main_.reset();
    progress_.reset();
  }
  static std::optional<SkinModel> main_, progress_;
};
std::optional<SkinModel> DefaultSkin::main_, DefaultSkin::progress_;

TEST_F(DefaultSkin, MainFaceHoldsEveryElementTheProgramLooksUp) {
  ASSERT_TRUE(main_.has_value());
  const SkinModel& skin = *main_;
  for (const char* name :
       {"BUTTON_EXIT", "BUTTON_MINIMIZE", "BUTTON_ADD", "BUTTON_DEL", "BUTTON_DELALL", "BUTTON_UP", "BUTTON_DOWN",
        "BUTTON_BROWSE", "BUTTON_CONVERT", "BUTTON_EDIT", "BUTTON_PLAY", "BUTTON_PAUSE", "BUTTON_STOP"}) {
    const SkinButtonInfo* button = FindSkinElement(skin.buttons, name);
    ASSERT_NE(button, nullptr) << name;
    ExpectStrip(button->strip, button->rect, name);
  }
  ASSERT_EQ(skin.options.size(), 2u);
  EXPECT_STREQ(skin.options[0].name, "OPTION_BATCH");  // batch first, merge second
  EXPECT_STRNE(skin.options[1].name, "OPTION_BATCH");
  for (const SkinOptionInfo& option : skin.options) ExpectStrip(option.strip, option.rect, option.name);

  const SkinSliderInfo* slider = FindSkinElement(skin.sliders, "SLIDER_PROGRESS");
  ASSERT_NE(slider, nullptr);
  // The slider takes the size of its pictures: they must be the element's size.
  EXPECT_EQ(slider->channel.Width(), slider->rect.Width());
  EXPECT_EQ(slider->thumb.Height(), slider->rect.Height());
  EXPECT_LE(slider->channel.Height(), slider->thumb.Height());
  EXPECT_EQ(slider->activeThumb.Width(), slider->thumb.Width());
  EXPECT_FALSE(slider->vertical);

  for (const char* name : {"LABEL_TIME", "LABEL_OUTPUTFILE", "LABEL_MODE"}) {
    const SkinLabelInfo* label = FindSkinElement(skin.labels, name);
    ASSERT_NE(label, nullptr) << name;
    EXPECT_GT(label->pointSize, 0) << name;
    EXPECT_NE(label->textColour, kNoSkinColour) << name;
  }
  ASSERT_FALSE(skin.editBoxes.empty());
  ASSERT_FALSE(skin.listBoxes.empty());
  ASSERT_FALSE(skin.comboBoxes.empty());
  ExpectScrollBar(skin.listBoxes[0].scrollBar, "list");
  ExpectScrollBar(skin.comboBoxes[0].scrollBar, "combo");
  EXPECT_EQ(skin.comboBoxes[0].buttonStrip.Width() % 4, 0);
  ASSERT_TRUE(skin.controlRect.has_value());
  ASSERT_TRUE(skin.iconRect.has_value());
  EXPECT_EQ(skin.icon.Width(), skin.iconRect->Width());
}

TEST_F(DefaultSkin, MainFaceIsShapedAndItsElementsLieOnIt) {
  ASSERT_TRUE(main_.has_value());
  ExpectShapedFace(*main_, 640, 490);
}

TEST_F(DefaultSkin, NothingLiesWhereTheDropListOpens) {
  ASSERT_TRUE(main_.has_value());
  const SkinComboBoxInfo& combo = main_->comboBoxes[0];
  const SkinComboParts parts = combo.Layout();
  EXPECT_GE(parts.dropList.Height(), 50);
  EXPECT_LE(parts.whole.bottom, 490);
  for (const auto& [name, rect] : ElementRects(*main_)) {
    if (name == std::string(combo.name)) continue;
    CRect overlap;
    EXPECT_FALSE(overlap.IntersectRect(rect, parts.dropList)) << name << " lies on the drop list";
  }
}

TEST_F(DefaultSkin, ProgressFaceHasItsCancelButtonAndBar) {
  ASSERT_TRUE(progress_.has_value());
  const SkinModel& skin = *progress_;
  ExpectShapedFace(skin, 360, 120);
  const SkinButtonInfo* cancel = FindSkinElement(skin.buttons, "BUTTON_CANCEL");
  ASSERT_NE(cancel, nullptr);
  ExpectStrip(cancel->strip, cancel->rect, "BUTTON_CANCEL");
  ASSERT_FALSE(skin.progressBars.empty());
  EXPECT_FALSE(skin.progressBars[0].tile.IsEmpty());
  EXPECT_EQ(skin.progressBars[0].tile.Height(), skin.progressBars[0].rect.Height());
}

TEST_F(DefaultSkin, TheBuiltInProgressFaceIsThePackagesFace) {
  ASSERT_TRUE(progress_.has_value());
  const SkinModel builtIn = LoadBuiltInProgressFace(kKey);
  ASSERT_FALSE(builtIn.background.IsEmpty());
  EXPECT_EQ(Pixels(builtIn.background.Get(), 360, 120), Pixels(progress_->background.Get(), 360, 120));
  ASSERT_EQ(builtIn.buttons.size(), progress_->buttons.size());
  EXPECT_STREQ(builtIn.buttons[0].name, progress_->buttons[0].name);
  EXPECT_EQ(builtIn.buttons[0].rect, progress_->buttons[0].rect);
  ASSERT_EQ(builtIn.progressBars.size(), 1u);
  EXPECT_EQ(builtIn.progressBars[0].rect, progress_->progressBars[0].rect);
  EXPECT_FALSE(builtIn.progressBars[0].tile.IsEmpty());
  EXPECT_FALSE(PtInRegion(builtIn.region.Get(), 0, 0));
}

// The package as the build writes it: flat, one fixed time, and descriptions that follow the
// authoring rules.
TEST(DefaultSkinPackage, FollowsTheAuthoringRules) {
  const std::string folder = skin_test::FreshFolder();
  CZipReader zip;
  ASSERT_TRUE(zip.Open(SkinPackagePath("Default")));
  std::set<std::string> names;
  for (int i = 0; i < zip.GetCount(); ++i) {
    CZipEntryHeader header;
    ASSERT_TRUE(zip.GetFileInfo(header, static_cast<WORD>(i)));
    const std::string name(header.GetFileName());
    EXPECT_EQ(name.find_first_of("/\\"), std::string::npos) << name;
    EXPECT_TRUE(names.insert(name).second) << name;
    EXPECT_EQ(header.m_modDate, ((2025 - 1980) << 9) | (1 << 5) | 1) << name;
    EXPECT_EQ(header.m_modTime, 0) << name;
    ASSERT_TRUE(zip.ExtractEntry(static_cast<WORD>(i), folder.c_str()));
  }
  zip.Close();
  ASSERT_TRUE(names.count("Skin.ini") && names.count("ConvertSkin.ini"));

  for (const char* description : {"Skin.ini", "ConvertSkin.ini"}) {
    const std::string path = folder + "/" + description;
    const std::string text = skin_test::ReadFile(path);
    EXPECT_EQ(text.find(" ,"), std::string::npos) << description;
    CIniStore ini(path.c_str());
    CStringArray sections;
    ASSERT_TRUE(ini.ReadSectionNames(sections));
    for (INT_PTR s = 0; s < sections.GetSize(); ++s) {
      const CString section = sections[s];
      CStringArray keys;
      ini.ReadKeyNames(section, keys);
      const bool numbered = section.Right(4) == "INFO";
      for (INT_PTR k = 0; k < keys.GetSize(); ++k) {
        if (numbered) {
          EXPECT_STREQ(keys[k], std::to_string(k + 1).c_str()) << description << " " << section;
        }
        const CString value = ini.ReadString(section, keys[k]);
        // Every bitmap named is in the package under exactly that name.
        std::stringstream tokens{std::string(value)};
        for (std::string token; std::getline(tokens, token, ',');) {
          if (token.size() > 4 && token.substr(token.size() - 4) == ".bmp") {
            EXPECT_TRUE(names.count(token)) << token;
          }
          if (token.rfind("0x", 0) == 0) {
            EXPECT_EQ(token.size(), 8u) << token;
          }
        }
      }
    }
    // Colours carry the prefix: the key colour's entry, for one.
    EXPECT_STREQ(ini.ReadString("COLOR", "TRANSPARENT"), "0xFF00FF") << description;
  }
}

}  // namespace
