#include <gtest/gtest.h>

#include <string>

#include "ole/objbase.h"

namespace {

TEST(TaskMemory, WideCopyIsTheCallersToFree) {
  LPOLESTR copy = nullptr;
  ASSERT_EQ(TaskMemWideCopy(u"clip.avi", &copy), S_OK);
  EXPECT_EQ(std::u16string(copy), u"clip.avi");
  CoTaskMemFree(copy);  // the leak check sees it freed

  // Null text is an empty string, never a null result.
  copy = nullptr;
  ASSERT_EQ(TaskMemWideCopy(nullptr, &copy), S_OK);
  ASSERT_NE(copy, nullptr);
  EXPECT_EQ(copy[0], u'\0');
  CoTaskMemFree(copy);

  EXPECT_EQ(TaskMemWideCopy(u"x", nullptr), E_POINTER);
}

}  // namespace
