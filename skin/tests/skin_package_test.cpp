// Skin packages: extracted into a private folder that goes again, faces loaded from them, and
// the packages that cannot be used: broken archives, names that would leave the folder, missing
// descriptions and backgrounds.
#include "skin/skin_package.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "skin_fixtures.h"
#include "testing/ui_driver.h"
#include "win32/windows.h"

namespace {

using skin_test::Bmp24;
using skin_test::FreshFolder;
using skin_test::ReadFile;
using skin_test::WriteFile;

// The program's strings that the package messages show.
const StringEntry kStrings[] = {{112, "Open failed"}, {113, "Extract failed"}};
const ModuleResources kRegistered(kStrings);

constexpr COLORREF kKey = RGB(255, 0, 255);

// A test folder with its own temporary folder, so that what the loader leaves there is seen.
class PackageTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = FreshFolder();
    temp_ = folder_ + "/temp";
    std::filesystem::create_directories(temp_);
    const char* previous = std::getenv("TMPDIR");
    previousTemp_ = previous ? previous : "";
    hadTemp_ = previous != nullptr;
    setenv("TMPDIR", temp_.c_str(), 1);
  }
  void TearDown() override {
    if (hadTemp_)
      setenv("TMPDIR", previousTemp_.c_str(), 1);
    else
      unsetenv("TMPDIR");
  }

  std::string Package(const std::vector<PackedFile>& files, const std::string& name = "test.skn") {
    const std::string path = folder_ + "/" + name;
    WriteFile(path, PackSkinFiles(files));
    return path;
  }
  bool TempIsEmpty() const { return std::filesystem::is_empty(temp_); }

  static std::vector<PackedFile> GoodFiles() {
    return {{"Skin.ini",
             "[Main]\r\nScreen=face.bmp\r\n[COLOR]\r\nTRANSPARENT=0xFF00FF\r\n"
             "[BUTTONINFO]\r\n1=BUTTON_PLAY,img\\play.bmp,1,2,9,6,Play,F\r\n"
             "2=BUTTON_STOP,stop.bmp,10,2,18,6,Stop,F\r\n"},
            {"face.bmp", Bmp24(20, 8, [](int x, int y) { return x == 0 && y == 0 ? kKey : RGB(30, 40, 50); })},
            {"img/play.bmp", Bmp24(32, 4, RGB(0, 200, 0))},
            {"ConvertSkin.ini", "[Main]\r\nScreen=small.bmp\r\n[PROGRESSINFO]\r\n1=PROGRESS,1,1,5,3,tile.bmp\r\n"},
            {"small.bmp", Bmp24(6, 4, RGB(1, 1, 1))},
            {"tile.bmp", Bmp24(2, 2, RGB(0, 0, 200))}};
  }

  std::string folder_, temp_;

 private:
  std::string previousTemp_;
  bool hadTemp_ = false;
};

TEST_F(PackageTest, AGoodPackageLoadsAndItsFilesGoAgain) {
  testing_ui::UiDriver ui;  // no message box may appear
  char before[1024];
  GetCurrentDirectory(sizeof before, before);
  const std::string package = Package(GoodFiles());

  std::optional<SkinModel> skin = LoadSkinPackage(package.c_str(), SkinFaceKind::Main, RGB(1, 1, 1));
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(skin->background.Width(), 20);
  EXPECT_EQ(skin->transparentColour, kKey);
  EXPECT_FALSE(PtInRegion(skin->region.Get(), 0, 0));
  EXPECT_TRUE(PtInRegion(skin->region.Get(), 1, 0));
  ASSERT_EQ(skin->buttons.size(), 2u);
  EXPECT_EQ(skin->buttons[0].strip.Width(), 32);  // from the package's sub-folder
  EXPECT_EQ(skin_test::PixelOf(skin->buttons[0].strip.Get(), 5, 1), RGB(0, 200, 0));
  // A missing element bitmap still makes the element.
  EXPECT_STREQ(skin->buttons[1].name, "BUTTON_STOP");
  EXPECT_TRUE(skin->buttons[1].strip.IsEmpty());
  // A control takes its picture over from the model.
  SkinButtonInfo* play = FindSkinElement(skin->buttons, "BUTTON_PLAY");
  ASSERT_NE(play, nullptr);
  CBitmap taken;
  taken.Attach(play->strip.Detach());
  EXPECT_TRUE(play->strip.IsEmpty());
  BITMAP info{};
  EXPECT_EQ(taken.GetBitmap(&info), int(sizeof info));
  EXPECT_EQ(info.bmWidth, 32);

  std::optional<SkinModel> progress = LoadSkinPackage(package.c_str(), SkinFaceKind::Progress, kKey);
  ASSERT_TRUE(progress.has_value());
  EXPECT_EQ(progress->background.Width(), 6);
  ASSERT_EQ(progress->progressBars.size(), 1u);
  EXPECT_EQ(progress->progressBars[0].tile.Width(), 2);

  // The extraction folder and its sub-folders are gone; the current directory did not change
  // and got no "Tmp" folder.
  EXPECT_TRUE(TempIsEmpty());
  char after[1024];
  GetCurrentDirectory(sizeof after, after);
  EXPECT_STREQ(after, before);
  EXPECT_EQ(GetFileAttributes("Tmp"), INVALID_FILE_ATTRIBUTES);
}

TEST_F(PackageTest, NamesAuthoredOnWindowsMatchWhateverTheirCase) {
  testing_ui::UiDriver ui;
  const std::string package =
      Package({{"SKIN.INI", "[main]\r\nscreen=Face.Bmp\r\n[buttoninfo]\r\n1=BUTTON_A,BUTTON.bmp,0,0,4,4,a,F\r\n"},
               {"face.bmp", Bmp24(9, 9, RGB(1, 1, 1))},
               {"Button.BMP", Bmp24(16, 4, RGB(2, 2, 2))}});
  std::optional<SkinModel> skin = LoadSkinPackage(package.c_str(), SkinFaceKind::Main, kKey);
  ASSERT_TRUE(skin.has_value());
  EXPECT_EQ(skin->background.Width(), 9);
  ASSERT_EQ(skin->buttons.size(), 1u);
  EXPECT_EQ(skin->buttons[0].strip.Width(), 16);
}

TEST_F(PackageTest, AFaceWithoutDescriptionOrBackgroundIsRefusedQuietly) {
  testing_ui::UiDriver ui;
  std::vector<PackedFile> files = GoodFiles();
  files.erase(files.begin() + 1);  // face.bmp
  const std::string noBackground = Package(files, "nobackground.skn");
  EXPECT_FALSE(LoadSkinPackage(noBackground.c_str(), SkinFaceKind::Main, kKey).has_value());
  // The progress face of the same package is whole.
  EXPECT_TRUE(LoadSkinPackage(noBackground.c_str(), SkinFaceKind::Progress, kKey).has_value());

  const std::string onlyMain = Package({GoodFiles()[0], GoodFiles()[1]}, "onlymain.skn");
  EXPECT_FALSE(LoadSkinPackage(onlyMain.c_str(), SkinFaceKind::Progress, kKey).has_value());
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(PackageTest, AnArchiveWithoutItsDirectoryAsksWhetherToTryAgain) {
  const std::string good = PackSkinFiles(GoodFiles());
  const std::string truncated = folder_ + "/truncated.skn";
  WriteFile(truncated, good.substr(0, good.size() - 30));  // the end record is cut off
  {
    testing_ui::UiDriver ui;
    ui.AnswerMessageBox(IDYES, "archive directory could not be found");
    ui.AnswerMessageBox(IDNO, "archive directory could not be found");
    ui.AnswerMessageBox(IDOK, "Open failed");
    EXPECT_FALSE(LoadSkinPackage(truncated.c_str(), SkinFaceKind::Main, kKey).has_value());
    ASSERT_EQ(ui.Seen().size(), 3u);
    EXPECT_EQ(ui.Seen()[0].type & MB_TYPEMASK, UINT(MB_YESNO));
    EXPECT_EQ(ui.Seen()[0].type & MB_ICONMASK, UINT(MB_ICONSTOP));
    EXPECT_EQ(ui.Seen()[2].type & MB_ICONMASK, UINT(MB_ICONSTOP));
  }
  const std::string text = folder_ + "/text.skn";
  WriteFile(text, "not an archive at all");
  {
    testing_ui::UiDriver ui;
    ui.AnswerMessageBox(IDNO, "Try again?");
    ui.AnswerMessageBox(IDOK, "Open failed");
    EXPECT_FALSE(LoadSkinPackage(text.c_str(), SkinFaceKind::Main, kKey).has_value());
  }
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(PackageTest, AMissingPackageFailsToOpen) {
  testing_ui::UiDriver ui;
  ui.AnswerMessageBox(IDOK, "Open failed");
  EXPECT_FALSE(LoadSkinPackage((folder_ + "/none.skn").c_str(), SkinFaceKind::Main, kKey).has_value());
  EXPECT_EQ(ui.Seen().size(), 1u);  // no retry question for a file that is not there
}

TEST_F(PackageTest, ADamagedEntryFailsToExtract) {
  std::string bytes = PackSkinFiles(GoodFiles());
  // The first entry's deflated data starts after its 30-byte local header and its name.
  for (size_t i = 30 + 8; i < 30 + 8 + 40; ++i) bytes[i] = static_cast<char>(bytes[i] ^ 0x5A);
  const std::string damaged = folder_ + "/damaged.skn";
  WriteFile(damaged, bytes);
  testing_ui::UiDriver ui;
  ui.AnswerMessageBox(IDOK, "Extract failed");
  EXPECT_FALSE(LoadSkinPackage(damaged.c_str(), SkinFaceKind::Main, kKey).has_value());
  EXPECT_TRUE(TempIsEmpty());
}

TEST_F(PackageTest, NamesThatWouldLeaveTheFolderAreRefused) {
  for (const char* name : {"../escaped.bmp", "img/../../escaped.bmp", "/escaped.bmp", "C:escaped.bmp"}) {
    std::vector<PackedFile> files = GoodFiles();
    files.push_back({name, Bmp24(1, 1, RGB(0, 0, 0))});
    const std::string package = Package(files);
    testing_ui::UiDriver ui;
    ui.AnswerMessageBox(IDOK, "Extract failed");
    EXPECT_FALSE(LoadSkinPackage(package.c_str(), SkinFaceKind::Main, kKey).has_value()) << name;
    EXPECT_TRUE(TempIsEmpty()) << name;
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/escaped.bmp")) << name;
    EXPECT_FALSE(std::filesystem::exists("/escaped.bmp")) << name;
  }
}

TEST(SkinPackagePath, PackagesLieInTheProgramFolder) {
  char module[1024];
  GetModuleFileName(nullptr, module, sizeof module);
  std::string folder(module);
  folder.resize(folder.rfind('\\'));
  EXPECT_STREQ(SkinPackagePath("Blue Sky"), (folder + "\\Blue Sky.skn").c_str());
  EXPECT_STREQ(SkinDescriptionName(SkinFaceKind::Main), "Skin.ini");
  EXPECT_STREQ(SkinDescriptionName(SkinFaceKind::Progress), "ConvertSkin.ini");
}

// Without a chosen temporary folder the files go to the user's runtime folder, which lives in
// memory; they are gone again afterwards. A folder's time changes whenever an entry is made or
// removed in it, which shows that the load used it.
TEST_F(PackageTest, WithoutAChosenTemporaryFolderTheRuntimeFolderIsUsed) {
  testing_ui::UiDriver ui;
  const std::string runtime = folder_ + "/runtime";
  std::filesystem::create_directories(runtime);
  const auto long_ago = std::filesystem::file_time_type::clock::now() - std::chrono::hours(48);
  std::filesystem::last_write_time(runtime, long_ago);
  const char* previous = std::getenv("XDG_RUNTIME_DIR");
  const std::string previousRuntime = previous ? previous : "";
  unsetenv("TMPDIR");
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), 1);

  const bool loaded = LoadSkinPackage(Package(GoodFiles()).c_str(), SkinFaceKind::Main, kKey).has_value();

  if (previous)
    setenv("XDG_RUNTIME_DIR", previousRuntime.c_str(), 1);
  else
    unsetenv("XDG_RUNTIME_DIR");
  EXPECT_TRUE(loaded);
  EXPECT_NE(std::filesystem::last_write_time(runtime), long_ago);
  EXPECT_TRUE(std::filesystem::is_empty(runtime));
  EXPECT_TRUE(TempIsEmpty());
}

}  // namespace
