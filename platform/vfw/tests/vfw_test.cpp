// The Video for Windows compressor list: order, names, handles.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "vfw/vfw.h"

namespace {

std::string Text(const WCHAR* w) {
  std::string s;
  for (; *w; ++w) s += char(*w);
  return s;
}

std::vector<ICINFO> Installed() {
  std::vector<ICINFO> list;
  ICINFO info;
  for (DWORD i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i) list.push_back(info);
  return list;
}

TEST(VideoForWindows, ListsTheVideoCompressorsInOrder) {
  const auto list = Installed();
  std::vector<std::string> names;
  for (const ICINFO& i : list) names.push_back(Text(i.szDescription));
  EXPECT_EQ(names, (std::vector<std::string>{"DV Video Encoder", "MJPEG Compressor", "MPEG-4 Video Encoder",
                                             "H.264 Video Encoder", "Cinepak Codec by Radius", "Microsoft Video 1",
                                             "HuffYUV Lossless Codec"}));
  for (const ICINFO& i : list) {
    EXPECT_EQ(i.dwSize, sizeof(ICINFO));
    EXPECT_EQ(i.fccType, ICTYPE_VIDEO);
  }
  EXPECT_EQ(list[0].fccHandler, mmioFOURCC('d', 'v', 's', 'd'));
  EXPECT_EQ(Text(list[5].szName), "MSVC");
  ICINFO info;
  EXPECT_FALSE(ICInfo(ICTYPE_AUDIO, 0, &info));
  EXPECT_FALSE(ICInfo(ICTYPE_VIDEO, DWORD(list.size()), &info));
  // By handler code, letter case ignored.
  ASSERT_TRUE(ICInfo(ICTYPE_VIDEO, mmioFOURCC('m', 'j', 'p', 'g'), &info));
  EXPECT_EQ(Text(info.szDescription), "MJPEG Compressor");
}

TEST(VideoForWindows, OpenGetInfoAndClose) {
  HIC hic = ICOpen(ICTYPE_VIDEO, mmioFOURCC('c', 'v', 'i', 'd'), ICMODE_COMPRESS);
  ASSERT_NE(hic, nullptr);
  EXPECT_GE(reinterpret_cast<uintptr_t>(hic), 0x10000u);
  ICINFO info{};
  EXPECT_EQ(ICGetInfo(hic, &info, sizeof info), LRESULT(sizeof info));
  EXPECT_EQ(Text(info.szDescription), "Cinepak Codec by Radius");
  // A short buffer gets the start of the structure only.
  ICINFO part{};
  EXPECT_EQ(ICGetInfo(hic, &part, 8), 8);
  EXPECT_EQ(part.fccType, ICTYPE_VIDEO);
  EXPECT_EQ(part.fccHandler, 0u);
  ICINFO sent{};
  EXPECT_EQ(ICSendMessage(hic, ICM_GETINFO, reinterpret_cast<DWORD_PTR>(&sent), sizeof sent), LRESULT(sizeof sent));
  EXPECT_EQ(sent.fccHandler, info.fccHandler);
  // No configuration or about box.
  EXPECT_FALSE(ICQueryConfigure(hic));
  EXPECT_EQ(ICConfigure(hic, nullptr), ICERR_UNSUPPORTED);
  EXPECT_FALSE(ICQueryAbout(hic));
  EXPECT_EQ(ICClose(hic), ICERR_OK);
  // A closed handle stays invalid, and the next open gets a new one.
  EXPECT_EQ(ICClose(hic), ICERR_BADHANDLE);
  EXPECT_EQ(ICGetInfo(hic, &info, sizeof info), 0);
  EXPECT_EQ(ICSendMessage(hic, ICM_GETINFO, reinterpret_cast<DWORD_PTR>(&info), sizeof info), ICERR_BADHANDLE);
  HIC again = ICOpen(ICTYPE_VIDEO, mmioFOURCC('c', 'v', 'i', 'd'), ICMODE_QUERY);
  EXPECT_NE(again, hic);
  EXPECT_EQ(ICClose(again), ICERR_OK);
}

TEST(VideoForWindows, OpenRefusesUnknownCompressorsAndModes) {
  EXPECT_EQ(ICOpen(ICTYPE_VIDEO, mmioFOURCC('n', 'o', 'n', 'e'), ICMODE_COMPRESS), nullptr);
  EXPECT_EQ(ICOpen(ICTYPE_AUDIO, mmioFOURCC('c', 'v', 'i', 'd'), ICMODE_COMPRESS), nullptr);
  EXPECT_EQ(ICOpen(ICTYPE_VIDEO, mmioFOURCC('c', 'v', 'i', 'd'), ICMODE_DECOMPRESS), nullptr);
}

}  // namespace
