// The settings file: what is written, in which order, and how each key reads back.
#include "settings/converter_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "settings_test_folder.h"

namespace {

using settings_test::FreshFolder;
using settings_test::ReadLines;
using settings_test::WriteText;

TEST(ConverterSettings, SavedKeysInOrderAndReadBack) {
  const std::string path = FreshFolder() + "/mysetting.ini";
  ConverterSettings saved;
  saved.selectedSkin = 4;  // the third skin of the menu
  saved.fullScreenSize = 7;
  saved.previewDepth = 2;
  saved.prefixName = "New";
  saved.batchOption = 1;
  saved.mergeOption = 0;
  saved.outputFolder = "d:\\out";
  saved.mergeFile = "c:\\mymerge.avi";
  saved.Save(path.c_str());
  EXPECT_EQ(ReadLines(path),
            "[SETTING]\nSelSkin=4\nFullQuality=7\nVideoSample=2\nPreFixName=New\nBATCHMODE=T\nMERGEMODE=F\n"
            "OUTPUTFOLDER=d:\\out\nMERGEFILE=c:\\mymerge.avi\n");

  ConverterSettings read;
  read.Load(path.c_str());
  EXPECT_EQ(read.selectedSkin, 4);
  EXPECT_EQ(read.fullScreenSize, 7);
  EXPECT_EQ(read.previewDepth, 2);
  EXPECT_STREQ(read.prefixName, "New");
  EXPECT_EQ(read.batchOption, 1);
  EXPECT_EQ(read.mergeOption, 0);
  EXPECT_STREQ(read.outputFolder, "d:\\out");
  EXPECT_STREQ(read.mergeFile, "c:\\mymerge.avi");

  // Saving again replaces the values in place.
  read.selectedSkin = 2;
  read.mergeOption = 1;
  read.Save(path.c_str());
  ConverterSettings again;
  again.Load(path.c_str());
  EXPECT_EQ(again.selectedSkin, 2);
  EXPECT_EQ(again.mergeOption, 1);
}

TEST(ConverterSettings, MissingKeysKeepTheValuesHeldBefore) {
  const std::string folder = FreshFolder();
  ConverterSettings settings;
  settings.Load((folder + "/missing.ini").c_str());
  // A first start: batch mode into the default folder.
  EXPECT_EQ(settings.selectedSkin, 0);
  EXPECT_EQ(settings.batchOption, 1);
  EXPECT_EQ(settings.mergeOption, 0);
  EXPECT_STREQ(settings.outputFolder, "c:\\");
  EXPECT_STREQ(settings.mergeFile, "c:\\mymerge.avi");
  EXPECT_STREQ(settings.prefixName, "");

  WriteText(folder + "/partial.ini", "[SETTING]\nFullQuality=5\nMERGEFILE=\nPreFixName=\n");
  settings.selectedSkin = 3;
  settings.prefixName = "x";
  settings.Load((folder + "/partial.ini").c_str());
  EXPECT_EQ(settings.fullScreenSize, 5);
  EXPECT_EQ(settings.selectedSkin, 3);
  // Keys that are present but empty are values.
  EXPECT_STREQ(settings.mergeFile, "");
  EXPECT_STREQ(settings.prefixName, "");
}

TEST(ConverterSettings, HandEditedValues) {
  const std::string path = FreshFolder() + "/mysetting.ini";
  WriteText(path, "[SETTING]\nBATCHMODE=t\nMERGEMODE=True\nSelSkin=3rd\nVideoSample=-1\nPreFixName=" +
                      std::string(300, 'p') + "\n");
  ConverterSettings settings;
  settings.Load(path.c_str());
  EXPECT_EQ(settings.batchOption, 0);  // lower case is not set
  EXPECT_EQ(settings.mergeOption, 0);  // only "T" exactly is set
  EXPECT_EQ(settings.selectedSkin, 3);
  EXPECT_EQ(settings.previewDepth, -1);
  EXPECT_EQ(settings.prefixName.GetLength(), 259);
}

}  // namespace
