#include <gtest/gtest.h>

#include "fakes.h"

namespace {

DEFINE_GUID(kSample, 0x62BE5D10, 0x60EB, 0x11D0, 0xBD, 0x3B, 0x00, 0xA0, 0xC9, 0x11, 0xCE, 0x86);

TEST(Guid, PrintsBracedUpperCaseAndParsesBack) {
  OLECHAR text[39];
  ASSERT_EQ(StringFromGUID2(kSample, text, 39), 39);
  EXPECT_EQ(std::u16string(text), u"{62BE5D10-60EB-11D0-BD3B-00A0C911CE86}");
  CLSID back;
  ASSERT_EQ(CLSIDFromString(text, &back), S_OK);
  EXPECT_EQ(back, kSample);
  EXPECT_EQ(StringFromGUIDA(IID_IUnknown), "{00000000-0000-0000-C000-000000000046}");
}

TEST(Guid, AcceptsLowerCaseHex) {
  GUID g;
  ASSERT_EQ(IIDFromString(u"{62be5d10-60eb-11d0-bd3b-00a0c911ce86}", &g), S_OK);
  EXPECT_EQ(g, kSample);
  ASSERT_TRUE(GUIDFromStringA("{62be5d10-60eb-11d0-bd3b-00a0c911ce86}", &g));
  EXPECT_EQ(g, kSample);
}

TEST(Guid, RejectsMalformedText) {
  const char16_t* bad[] = {
      u"62BE5D10-60EB-11D0-BD3B-00A0C911CE86",     // no braces
      u"{62BE5D10-60EB-11D0-BD3B-00A0C911CE8}",    // one digit short
      u"{62BE5D10-60EB-11D0-BD3B-00A0C911CE866}",  // one digit long
      u"{62BE5D10-60EB-11D0-BD3B00A0C911CE86-}",   // separator moved
      u"{62BE5D1G-60EB-11D0-BD3B-00A0C911CE86}",   // not hex
      u"{62BE5D10-60EB-11D0-BD3B-00A0C911CE86} ",  // trailing text
      u"",
  };
  for (const char16_t* text : bad) {
    CLSID g = kSample;
    EXPECT_EQ(CLSIDFromString(text, &g), CO_E_CLASSSTRING) << std::string(text, text + std::char_traits<char16_t>::length(text));
    EXPECT_EQ(g, kSample);  // untouched
    EXPECT_EQ(IIDFromString(text, &g), E_INVALIDARG);
  }
  CLSID g;
  EXPECT_EQ(CLSIDFromString(nullptr, &g), CO_E_CLASSSTRING);
  EXPECT_FALSE(GUIDFromStringA("{62BE5D10-60EB-11D0-BD3B-00A0C911CE86", &g));
}

TEST(Guid, BufferTooSmallWritesNothing) {
  OLECHAR text[38] = {u'x'};
  EXPECT_EQ(StringFromGUID2(kSample, text, 38), 0);
  EXPECT_EQ(text[0], u'x');
}

TEST(Guid, StringFromCLSIDAllocatesTaskMemory) {
  LPOLESTR text = nullptr;
  ASSERT_EQ(StringFromCLSID(kSample, &text), S_OK);
  EXPECT_EQ(std::u16string(text), u"{62BE5D10-60EB-11D0-BD3B-00A0C911CE86}");
  CoTaskMemFree(text);
}

}  // namespace
