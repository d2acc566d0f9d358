#include <gtest/gtest.h>

#include "fakes.h"

namespace {

TEST(Variant, CopyDuplicatesStringsAndCountsReferences) {
  CountedUnknown object;
  Var a;
  a.vt = VT_UNKNOWN;
  a.punkVal = &object;
  object.AddRef();
  {
    Var b;
    ASSERT_EQ(VariantCopy(&b, &a), S_OK);
    EXPECT_EQ(b.punkVal, &object);
    EXPECT_EQ(object.refs, 3u);
  }
  EXPECT_EQ(object.refs, 2u);
  ASSERT_EQ(VariantClear(&a), S_OK);
  EXPECT_EQ(object.refs, 1u);
  EXPECT_EQ(a.vt, VT_EMPTY);

  Var s, t;
  s.vt = VT_BSTR;
  s.bstrVal = SysAllocStringLen(u"a\0b", 3);
  ASSERT_EQ(VariantCopy(&t, &s), S_OK);
  EXPECT_NE(t.bstrVal, s.bstrVal);
  EXPECT_EQ(SysStringLen(t.bstrVal), 3u);
}

TEST(Variant, CopyClearsTheDestinationFirst) {
  Var dst;
  dst.vt = VT_BSTR;
  dst.bstrVal = SysAllocString(u"old");
  Var src;
  src.vt = VT_I4;
  src.lVal = 5;
  ASSERT_EQ(VariantCopy(&dst, &src), S_OK);  // the old string is freed (leak check)
  EXPECT_EQ(dst.vt, VT_I4);
  EXPECT_EQ(VariantCopy(&dst, &dst), S_OK);
  EXPECT_EQ(dst.lVal, 5);
}

TEST(Variant, ByRefIsCopiedAsReferenceButCopyIndReadsThrough) {
  BSTR text = SysAllocString(u"shared");
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_BSTR;
  ref.pbstrVal = &text;
  Var plain, deep;
  ASSERT_EQ(VariantCopy(&plain, &ref), S_OK);
  EXPECT_EQ(plain.vt, VT_BYREF | VT_BSTR);
  EXPECT_EQ(plain.pbstrVal, &text);
  ASSERT_EQ(VariantCopyInd(&deep, &ref), S_OK);
  EXPECT_EQ(deep.vt, VT_BSTR);
  EXPECT_NE(deep.bstrVal, text);
  EXPECT_EQ(std::u16string(deep.bstrVal), u"shared");
  ASSERT_EQ(VariantClear(&plain), S_OK);  // a reference owns nothing
  EXPECT_EQ(std::u16string(text), u"shared");
  SysFreeString(text);
}

TEST(Variant, ClearRejectsUnknownTypes) {
  VARIANT v;
  VariantInit(&v);
  v.vt = 0x7F;
  EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
  v.vt = VT_BYREF | VT_EMPTY;
  EXPECT_EQ(VariantClear(&v), DISP_E_BADVARTYPE);
}

TEST(SafeArray, VectorOfStringsCopiesInAndOut) {
  SAFEARRAY* psa = SafeArrayCreateVector(VT_BSTR, 1, 3);
  ASSERT_NE(psa, nullptr);
  EXPECT_EQ(SafeArrayGetDim(psa), 1u);
  LONG lo, hi;
  ASSERT_EQ(SafeArrayGetLBound(psa, 1, &lo), S_OK);
  ASSERT_EQ(SafeArrayGetUBound(psa, 1, &hi), S_OK);
  EXPECT_EQ(lo, 1);
  EXPECT_EQ(hi, 3);
  Bstr two("two");
  LONG index = 2;
  ASSERT_EQ(SafeArrayPutElement(psa, &index, two.b), S_OK);
  ASSERT_EQ(SafeArrayPutElement(psa, &index, two.b), S_OK);  // replaces (old copy freed)
  BSTR out = nullptr;
  ASSERT_EQ(SafeArrayGetElement(psa, &index, &out), S_OK);
  EXPECT_NE(out, two.b);
  EXPECT_EQ(Narrow(out), "two");
  SysFreeString(out);
  index = 0;
  EXPECT_EQ(SafeArrayGetElement(psa, &index, &out), DISP_E_BADINDEX);
  index = 4;
  EXPECT_EQ(SafeArrayPutElement(psa, &index, two.b), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayGetLBound(psa, 2, &lo), DISP_E_BADINDEX);
  EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
}

TEST(SafeArray, LockedArrayCannotBeDestroyed) {
  SAFEARRAY* psa = SafeArrayCreateVector(VT_UI1, 0, 4);
  BYTE* data = nullptr;
  ASSERT_EQ(SafeArrayAccessData(psa, reinterpret_cast<void**>(&data)), S_OK);
  data[3] = 0xAB;
  EXPECT_EQ(SafeArrayDestroy(psa), DISP_E_ARRAYISLOCKED);
  ASSERT_EQ(SafeArrayUnaccessData(psa), S_OK);
  BYTE b = 0;
  LONG index = 3;
  ASSERT_EQ(SafeArrayGetElement(psa, &index, &b), S_OK);
  EXPECT_EQ(b, 0xAB);
  EXPECT_EQ(SafeArrayUnaccessData(psa), E_UNEXPECTED);
  EXPECT_EQ(SafeArrayDestroy(psa), S_OK);
}

TEST(SafeArray, VariantElementsAndArrayVariantsAreDeepCopied) {
  CountedUnknown object;
  SAFEARRAY* psa = SafeArrayCreateVector(VT_VARIANT, 0, 2);
  Var element;
  element.vt = VT_UNKNOWN;
  element.punkVal = &object;
  object.AddRef();
  LONG index = 1;
  ASSERT_EQ(SafeArrayPutElement(psa, &index, &element), S_OK);
  EXPECT_EQ(object.refs, 3u);
  {
    Var holder, copy;
    holder.vt = VT_ARRAY | VT_VARIANT;
    holder.parray = psa;
    ASSERT_EQ(VariantCopy(&copy, &holder), S_OK);
    EXPECT_NE(copy.parray, psa);
    EXPECT_EQ(object.refs, 4u);
    VARTYPE vt;
    ASSERT_EQ(SafeArrayGetVartype(copy.parray, &vt), S_OK);
    EXPECT_EQ(vt, VT_VARIANT);
  }  // both arrays destroyed with their elements
  EXPECT_EQ(object.refs, 2u);
}

TEST(SafeArray, DimensionsAreReportedLeftmostFirst) {
  SAFEARRAYBOUND bounds[2] = {{2, 10}, {3, -1}};  // (10..11, -1..1)
  SAFEARRAY* psa = SafeArrayCreate(VT_I4, 2, bounds);
  ASSERT_NE(psa, nullptr);
  LONG lo, hi;
  SafeArrayGetLBound(psa, 1, &lo);
  SafeArrayGetUBound(psa, 1, &hi);
  EXPECT_EQ(lo, 10);
  EXPECT_EQ(hi, 11);
  SafeArrayGetLBound(psa, 2, &lo);
  SafeArrayGetUBound(psa, 2, &hi);
  EXPECT_EQ(lo, -1);
  EXPECT_EQ(hi, 1);
  // Indices are given rightmost first; every element has its own place.
  for (LONG j = -1; j <= 1; ++j)
    for (LONG i = 10; i <= 11; ++i) {
      LONG at[2] = {j, i};
      LONG v = i * 100 + j;
      ASSERT_EQ(SafeArrayPutElement(psa, at, &v), S_OK);
    }
  LONG at[2] = {1, 10};
  LONG v = 0;
  ASSERT_EQ(SafeArrayGetElement(psa, at, &v), S_OK);
  EXPECT_EQ(v, 1001);
  LONG outside[2] = {2, 10};
  EXPECT_EQ(SafeArrayGetElement(psa, outside, &v), DISP_E_BADINDEX);
  SafeArrayDestroy(psa);
  EXPECT_EQ(SafeArrayCreateVector(VT_EMPTY, 0, 1), nullptr);
}

}  // namespace
