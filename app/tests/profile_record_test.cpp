// Profiles read from their ini files: every key, the flags' exact spelling, broken and missing
// values, and which entries of the profile folder become profiles.
#include "profile_record.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "testing/sandbox.h"

namespace {

namespace fs = std::filesystem;

std::string FreshFolder(const std::string& name) {
  const fs::path folder = fs::path(testing_support::SandboxDir()) / name;
  fs::remove_all(folder);
  fs::create_directories(folder);
  return folder.string();
}

void Write(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

TEST(ProfileRecord, EveryKeyIsReadAsItsType) {
  const std::string path = FreshFolder("every") + "/1_Web.ini";
  Write(path,
        "[MYPROFILE]\r\nName=Web\r\nDESC=Small\r\nVCOMP=2\r\nVCOMPNAME=MPEG-4 Video Encoder\r\n"
        "ACOMPNAME=MPEG Layer-3\r\nACOMP=1\r\nFRAMERATE=29.970000\r\nWIDTH=320\r\nHEIGHT=240\r\nSTRETCH=3\r\n"
        "DVVIDEOSTAND=1\r\nMP3BitrateIndex=6\r\nMP3Bitrate=128\r\nUSESLOWMOTION=T\r\nSLOWMOTIONRATE=0.500000\r\n"
        "USEOVERLAY=T\r\nOVERLAYIMAGE=c:\\logo.bmp\r\nOVERLAYLEFT=16\r\nOVERLAYTOP=8\r\nCHROMAKEYR=255\r\n"
        "CHROMAKEYG=128\r\nCHROMAKEYB=1\r\nALPHAVALUE=200\r\n");
  auto profile = ReadProfile(path.c_str());
  EXPECT_STREQ(profile->path, path.c_str());
  EXPECT_STREQ(profile->name, "Web");
  EXPECT_STREQ(profile->description, "Small");
  EXPECT_EQ(profile->videoIndex, 2);
  EXPECT_STREQ(profile->videoName, "MPEG-4 Video Encoder");
  EXPECT_EQ(profile->audioIndex, 1);
  EXPECT_STREQ(profile->audioName, "MPEG Layer-3");
  EXPECT_DOUBLE_EQ(profile->frameRate, 29.97);
  EXPECT_EQ(profile->width, 320);
  EXPECT_EQ(profile->height, 240);
  EXPECT_EQ(profile->stretch, 3);
  EXPECT_EQ(profile->dvStandard, 1);
  EXPECT_EQ(profile->mp3BitrateIndex, 6);
  EXPECT_EQ(profile->mp3Bitrate, 128);
  EXPECT_EQ(profile->useSlowMotion, 1);
  EXPECT_DOUBLE_EQ(profile->slowMotionRate, 0.5);
  EXPECT_EQ(profile->useOverlay, 1);
  EXPECT_STREQ(profile->overlayImage, "c:\\logo.bmp");
  EXPECT_EQ(profile->overlayLeft, 16);
  EXPECT_EQ(profile->overlayTop, 8);
  EXPECT_EQ(profile->alpha, 200);
  EXPECT_EQ(profile->KeyColour(), COLORREF(0x0180FF));
}

TEST(ProfileRecord, OnlyAnUpperCaseTTurnsAFlagOn) {
  const std::string folder = FreshFolder("flags");
  for (const char* value : {"t", "True", "TT", "", "1"}) {
    const std::string path = folder + "/p.ini";
    Write(path, std::string("[MYPROFILE]\nUSESLOWMOTION=") + value + "\nUSEOVERLAY=" + value + "\n");
    auto profile = ReadProfile(path.c_str());
    EXPECT_EQ(profile->useSlowMotion, 0) << value;
    EXPECT_EQ(profile->useOverlay, 0) << value;
  }
}

TEST(ProfileRecord, BrokenAndMissingValuesReadAsEmptyAndZero) {
  const std::string folder = FreshFolder("broken");
  Write(folder + "/broken.ini", "[MYPROFILE]\nWIDTH=wide\nHEIGHT=240px\nFRAMERATE=,5\nName\n[OTHER]\nDESC=elsewhere\n");
  auto broken = ReadProfile((folder + "/broken.ini").c_str());
  EXPECT_EQ(broken->width, 0);
  EXPECT_EQ(broken->height, 240);
  EXPECT_DOUBLE_EQ(broken->frameRate, 0);
  EXPECT_STREQ(broken->name, "");
  EXPECT_STREQ(broken->description, "");

  auto missing = ReadProfile((folder + "/missing.ini").c_str());
  EXPECT_STREQ(missing->name, "");
  EXPECT_EQ(missing->videoIndex, 0);
  EXPECT_EQ(missing->KeyColour(), COLORREF(0));

  // Values are read into 260 characters.
  Write(folder + "/long.ini", "[MYPROFILE]\nName=" + std::string(400, 'n') + "\n");
  EXPECT_EQ(ReadProfile((folder + "/long.ini").c_str())->name.GetLength(), 259);
}

TEST(ProfileRecord, EveryFileOfTheFolderIsAProfileInNameOrderButFoldersAreNot) {
  const std::string folder = FreshFolder("folder");
  Write(folder + "/2_b.ini", "[MYPROFILE]\nName=Second\n");
  Write(folder + "/1_a.ini", "[MYPROFILE]\nName=First\n");
  Write(folder + "/notes.txt", "not a profile\n");
  fs::create_directories(folder + "/Images");
  auto profiles = ReadProfileFolder(folder.c_str());
  ASSERT_EQ(profiles.size(), 3u);
  EXPECT_STREQ(profiles[0]->name, "First");
  EXPECT_STREQ(profiles[1]->name, "Second");
  EXPECT_STREQ(profiles[2]->name, "");

  EXPECT_TRUE(ReadProfileFolder(FreshFolder("empty").c_str()).empty());
  EXPECT_TRUE(ReadProfileFolder((folder + "/nowhere").c_str()).empty());
}

}  // namespace
