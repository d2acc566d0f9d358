#include <gtest/gtest.h>

#include <cstring>

#include "fakes.h"

namespace {

TEST(Bstr, LengthsCountEmbeddedNuls) {
  const OLECHAR text[] = {u'a', 0, u'b', 0, u'c'};
  BSTR b = SysAllocStringLen(text, 5);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(SysStringLen(b), 5u);
  EXPECT_EQ(SysStringByteLen(b), 10u);
  EXPECT_EQ(b[2], u'b');
  EXPECT_EQ(b[5], 0);  // terminated after the counted text
  EXPECT_EQ(std::memcmp(b, text, sizeof text), 0);
  SysFreeString(b);
}

TEST(Bstr, AllocStringStopsAtFirstNul) {
  BSTR b = SysAllocString(u"ab\0cd");
  EXPECT_EQ(SysStringLen(b), 2u);
  SysFreeString(b);
  EXPECT_EQ(SysAllocString(nullptr), nullptr);
}

TEST(Bstr, ByteLenKeepsOddLengthsAndTerminates) {
  BSTR b = SysAllocStringByteLen("abc", 3);
  EXPECT_EQ(SysStringByteLen(b), 3u);
  EXPECT_EQ(SysStringLen(b), 1u);
  EXPECT_EQ(std::memcmp(b, "abc\0\0", 5), 0);
  SysFreeString(b);
  BSTR zeros = SysAllocStringByteLen(nullptr, 4);
  EXPECT_EQ(SysStringByteLen(zeros), 4u);
  EXPECT_EQ(zeros[0], 0);
  EXPECT_EQ(zeros[1], 0);
  SysFreeString(zeros);
}

TEST(Bstr, NullIsTheEmptyString) {
  EXPECT_EQ(SysStringLen(nullptr), 0u);
  EXPECT_EQ(SysStringByteLen(nullptr), 0u);
  SysFreeString(nullptr);
}

TEST(Bstr, ReAllocFromItsOwnText) {
  BSTR b = SysAllocString(u"hello world");
  ASSERT_TRUE(SysReAllocString(&b, b + 6));
  EXPECT_EQ(std::u16string(b, SysStringLen(b)), u"world");
  ASSERT_TRUE(SysReAllocStringLen(&b, b, 3));
  EXPECT_EQ(std::u16string(b, SysStringLen(b)), u"wor");
  ASSERT_TRUE(SysReAllocString(&b, nullptr));
  EXPECT_EQ(b, nullptr);
}

TEST(Bstr, ImpossibleLengthFails) {
  EXPECT_EQ(SysAllocStringLen(nullptr, 0xFFFFFFF0u), nullptr);
  EXPECT_EQ(SysAllocStringByteLen(nullptr, 0xFFFFFFFFu), nullptr);
}

}  // namespace
