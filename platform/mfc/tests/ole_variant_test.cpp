#include <gtest/gtest.h>

#include "mfc/afx.h"

namespace {

const StringEntry kStrings[] = {{112, "Open failed"}, {113, "Fichier \xC3\xA9" "crit"}};
const ModuleResources kRegistered(kStrings);

TEST(CString, LoadsStringResourcesAndMakesBstrs) {
  CString s("old");
  ASSERT_TRUE(s.LoadString(112));
  EXPECT_EQ(s, "Open failed");
  CStringW w;
  ASSERT_TRUE(w.LoadString(113));
  EXPECT_EQ(w.GetLength(), 13);
  EXPECT_EQ(w[8], u'\u00e9');
  EXPECT_FALSE(s.LoadString(999));
  EXPECT_TRUE(s.IsEmpty());

  BSTR b = CString("h\xC3\xA9llo").AllocSysString();
  EXPECT_EQ(SysStringLen(b), 5u);
  EXPECT_EQ(b[1], u'\u00e9');
  EXPECT_EQ(CString(b), "h\xC3\xA9llo");
  SysFreeString(b);
}

TEST(COleVariant, HoldsAutomationTypes) {
  COleVariant text("clip.avi");
  EXPECT_EQ(text.vt, VT_BSTR);
  EXPECT_EQ(CString(text.bstrVal), "clip.avi");
  COleVariant copy(text);
  EXPECT_NE(copy.bstrVal, text.bstrVal);  // a copy of its own
  EXPECT_TRUE(copy == text);

  EXPECT_EQ(COleVariant(static_cast<BYTE>(7)).vt, VT_UI1);
  EXPECT_EQ(COleVariant(static_cast<short>(7)).vt, VT_I2);
  COleVariant flag(static_cast<short>(5), VT_BOOL);
  EXPECT_EQ(flag.vt, VT_BOOL);
  EXPECT_EQ(flag.boolVal, VARIANT_TRUE);
  flag = static_cast<LONG>(0);
  EXPECT_EQ(flag.vt, VT_BOOL);
  EXPECT_EQ(flag.boolVal, VARIANT_FALSE);
  EXPECT_EQ(COleVariant(static_cast<LONG>(12)).vt, VT_I4);
  EXPECT_EQ(COleVariant(static_cast<LONGLONG>(12)).vt, VT_I8);
  EXPECT_EQ(COleVariant(1.5f).vt, VT_R4);
  COleVariant number(2.5);
  EXPECT_EQ(number.vt, VT_R8);
  EXPECT_FALSE(number == text);
  EXPECT_FALSE(number == COleVariant(2.0));
  EXPECT_TRUE(number == COleVariant(2.5));

  number = "now text";
  EXPECT_EQ(number.vt, VT_BSTR);
  number = 3.0;
  EXPECT_EQ(number.vt, VT_R8);
  number.Clear();
  EXPECT_EQ(number.vt, VT_EMPTY);
  EXPECT_TRUE(number == COleVariant());
}

TEST(COleVariant, ChangesTypeAttachesAndDetaches) {
  COleVariant v("42");
  v.ChangeType(VT_I4);
  EXPECT_EQ(v.vt, VT_I4);
  EXPECT_EQ(v.lVal, 42);
  COleVariant text;
  text.ChangeType(VT_BSTR, &v);
  EXPECT_EQ(CString(text.bstrVal), "42");

  COleVariant word("not a number");
  try {
    word.ChangeType(VT_I4);
    ADD_FAILURE() << "converted text that is no number";
  } catch (COleException* e) {
    EXPECT_EQ(e->m_sc, DISP_E_TYPEMISMATCH);
    e->Delete();
  }
  EXPECT_EQ(word.vt, VT_BSTR);  // unchanged after the failure

  VARIANT raw;
  VariantInit(&raw);
  raw.vt = VT_BSTR;
  raw.bstrVal = SysAllocString(u"owned");
  COleVariant owner;
  owner.Attach(raw);
  EXPECT_EQ(raw.vt, VT_EMPTY);
  EXPECT_EQ(CString(owner.bstrVal), "owned");
  VARIANT out = owner.Detach();
  EXPECT_EQ(owner.vt, VT_EMPTY);
  EXPECT_EQ(out.vt, VT_BSTR);
  VariantClear(&out);

  LPVARIANT p = owner;
  EXPECT_EQ(p, static_cast<VARIANT*>(&owner));
}

}  // namespace
