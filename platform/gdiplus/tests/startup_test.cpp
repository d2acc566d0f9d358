#include <gtest/gtest.h>

#include "gdiplus/gdiplus.h"

using namespace Gdiplus;

namespace {

// GDI+ keeps working until the last of several start-ups is shut down; before the first and after
// the last, objects fail and draw nothing.
TEST(GdiplusStartup, ObjectsWorkOnlyWhileStarted) {
  Bitmap before(4, 4);
  EXPECT_EQ(before.GetLastStatus(), GdiplusNotInitialized);
  EXPECT_EQ(before.GetWidth(), 0u);
  EXPECT_FALSE(FontFamily::GenericSansSerif()->IsAvailable());

  GdiplusStartupInput input;
  ULONG_PTR first = 0, second = 0;
  ASSERT_EQ(GdiplusStartup(&first, &input, nullptr), Ok);
  ASSERT_EQ(GdiplusStartup(&second, &input, nullptr), Ok);
  EXPECT_NE(first, second);
  GdiplusShutdown(first);
  {
    Bitmap during(4, 4);
    EXPECT_EQ(during.GetLastStatus(), Ok);
    EXPECT_EQ(during.GetWidth(), 4u);
    SolidBrush brush(Color(255, 0, 0));
    EXPECT_EQ(brush.GetLastStatus(), Ok);
    EXPECT_TRUE(FontFamily::GenericSansSerif()->IsAvailable());  // asked before start-up too
  }
  GdiplusShutdown(second);
  SolidBrush after(Color(255, 0, 0));
  EXPECT_EQ(after.GetLastStatus(), GdiplusNotInitialized);
}

TEST(GdiplusStartup, OnlyVersionOneStarts) {
  GdiplusStartupInput input;
  input.GdiplusVersion = 2;
  ULONG_PTR token = 0;
  EXPECT_EQ(GdiplusStartup(&token, &input, nullptr), UnsupportedGdiplusVersion);
  EXPECT_EQ(GdiplusStartup(&token, nullptr, nullptr), InvalidParameter);
  Bitmap still(4, 4);
  EXPECT_EQ(still.GetLastStatus(), GdiplusNotInitialized);
}

}  // namespace
