#include <gtest/gtest.h>

#include <cmath>

#include "fakes.h"

namespace {

VARIANT R8(double d) { VARIANT v; VariantInit(&v); v.vt = VT_R8; v.dblVal = d; return v; }
VARIANT R4(float f) { VARIANT v; VariantInit(&v); v.vt = VT_R4; v.fltVal = f; return v; }
VARIANT I4(LONG x) { VARIANT v; VariantInit(&v); v.vt = VT_I4; v.lVal = x; return v; }
VARIANT I2(SHORT x) { VARIANT v; VariantInit(&v); v.vt = VT_I2; v.iVal = x; return v; }
VARIANT UI4(ULONG x) { VARIANT v; VariantInit(&v); v.vt = VT_UI4; v.ulVal = x; return v; }
VARIANT Bool(bool b) { VARIANT v; VariantInit(&v); v.vt = VT_BOOL; v.boolVal = b ? VARIANT_TRUE : VARIANT_FALSE; return v; }
VARIANT Cy(LONGLONG scaled) { VARIANT v; VariantInit(&v); v.vt = VT_CY; v.cyVal.int64 = scaled; return v; }
VARIANT Date(double d) { VARIANT v; VariantInit(&v); v.vt = VT_DATE; v.date = d; return v; }
VARIANT Empty() { VARIANT v; VariantInit(&v); return v; }
VARIANT Null() { VARIANT v; VariantInit(&v); v.vt = VT_NULL; return v; }

// The source owns a BSTR; the helper frees it.
HRESULT ChangeFromText(const char* text, VARTYPE vt, VARIANT* out, USHORT flags = 0) {
  Bstr s(text);
  VARIANT src;
  VariantInit(&src);
  src.vt = VT_BSTR;
  src.bstrVal = s.b;
  return VariantChangeType(out, &src, flags, vt);
}

// Converts to an integer type and reads it back as a 64-bit value.
struct IntRow {
  VARIANT src;
  VARTYPE to;
  HRESULT hr;
  long long expected;
};

long long ReadInteger(const VARIANT& v) {
  switch (v.vt) {
    case VT_I1: return v.cVal;
    case VT_UI1: return v.bVal;
    case VT_I2: return v.iVal;
    case VT_UI2: return v.uiVal;
    case VT_I4: return v.lVal;
    case VT_UI4: return v.ulVal;
    case VT_INT: return v.intVal;
    case VT_UINT: return v.uintVal;
    case VT_I8: return v.llVal;
    default: return -999999;
  }
}

TEST(VariantChangeType, NumbersToIntegersRoundHalfToEvenAndOverflow) {
  const IntRow rows[] = {
      {R8(2.5), VT_I4, S_OK, 2},
      {R8(3.5), VT_I4, S_OK, 4},
      {R8(-2.5), VT_I4, S_OK, -2},
      {R8(-3.5), VT_I2, S_OK, -4},
      {R8(2.4999), VT_I4, S_OK, 2},
      {R8(2.5001), VT_I4, S_OK, 3},
      {R4(0.5f), VT_UI1, S_OK, 0},
      {R4(1.5f), VT_UI1, S_OK, 2},
      {R8(32766.5), VT_I2, S_OK, 32766},
      {R8(32767.5), VT_I2, DISP_E_OVERFLOW, 0},  // rounds to 32768
      {R8(-0.5), VT_UI1, S_OK, 0},
      {R8(-0.6), VT_UI1, DISP_E_OVERFLOW, 0},
      {R8(255.49), VT_UI1, S_OK, 255},
      {R8(2147483647.4), VT_I4, S_OK, 2147483647},
      {R8(2147483648.0), VT_I4, DISP_E_OVERFLOW, 0},
      {R8(4294967295.0), VT_UI4, S_OK, 4294967295LL},
      {R8(NAN), VT_I4, DISP_E_OVERFLOW, 0},
      {I4(70000), VT_I2, DISP_E_OVERFLOW, 0},
      {I4(-129), VT_I1, DISP_E_OVERFLOW, 0},
      {I2(-1), VT_UI2, DISP_E_OVERFLOW, 0},
      {UI4(4294967295u), VT_I4, DISP_E_OVERFLOW, 0},
      {I4(-5), VT_INT, S_OK, -5},
      {Cy(25000), VT_I4, S_OK, 2},    // 2.5
      {Cy(35000), VT_I4, S_OK, 4},    // 3.5
      {Cy(-25000), VT_I4, S_OK, -2},  // -2.5
      {Cy(-25001), VT_I4, S_OK, -3},
      {Bool(true), VT_I2, S_OK, -1},
      {Bool(true), VT_UI1, S_OK, 255},
      {Bool(false), VT_UI4, S_OK, 0},
      {Empty(), VT_I4, S_OK, 0},
      {Null(), VT_I4, DISP_E_TYPEMISMATCH, 0},
      {Date(1.75), VT_I4, S_OK, 2},
  };
  int row = 0;
  for (const IntRow& r : rows) {
    Var out;
    EXPECT_EQ(VariantChangeType(&out, &r.src, 0, r.to), r.hr) << "row " << row;
    if (r.hr == S_OK) {
      EXPECT_EQ(out.vt, r.to) << "row " << row;
      EXPECT_EQ(ReadInteger(out), r.expected) << "row " << row;
    } else {
      EXPECT_EQ(out.vt, VT_EMPTY) << "row " << row;  // failure leaves the destination alone
    }
    ++row;
  }
}

TEST(VariantChangeType, TextToNumbers) {
  struct Row {
    const char* text;
    VARTYPE to;
    HRESULT hr;
    long long expected;
  } rows[] = {
      {"12", VT_I2, S_OK, 12},
      {"  -12  ", VT_I4, S_OK, -12},
      {"+7", VT_I4, S_OK, 7},
      {"1,000", VT_I4, S_OK, 1000},
      {"2.5", VT_I4, S_OK, 2},
      {"3.5", VT_I4, S_OK, 4},
      {"1e3", VT_I4, S_OK, 1000},
      {"70000", VT_I2, DISP_E_OVERFLOW, 0},
      {"-1", VT_UI1, DISP_E_OVERFLOW, 0},
      {"abc", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"12abc", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"   ", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {",5", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"1e", VT_I4, DISP_E_TYPEMISMATCH, 0},
      {"True", VT_I4, DISP_E_TYPEMISMATCH, 0},
  };
  for (const Row& r : rows) {
    Var out;
    EXPECT_EQ(ChangeFromText(r.text, r.to, &out), r.hr) << r.text;
    if (r.hr == S_OK) {
      EXPECT_EQ(ReadInteger(out), r.expected) << r.text;
    }
  }
  Var d;
  ASSERT_EQ(ChangeFromText("0.125", VT_R8, &d), S_OK);
  EXPECT_EQ(d.dblVal, 0.125);
  Var f;
  EXPECT_EQ(ChangeFromText("1e39", VT_R4, &f), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, SixtyFourBitIntegersKeepEveryDigit) {
  Var big;
  ASSERT_EQ(ChangeFromText("9223372036854775807", VT_I8, &big), S_OK);
  EXPECT_EQ(big.llVal, INT64_MAX);
  EXPECT_EQ(ChangeFromText("9223372036854775808", VT_I8, &big), DISP_E_OVERFLOW);
  Var ubig;
  ASSERT_EQ(ChangeFromText("18446744073709551615", VT_UI8, &ubig), S_OK);
  EXPECT_EQ(ubig.ullVal, UINT64_MAX);
  Var text;
  ASSERT_EQ(VariantChangeType(&text, &ubig, 0, VT_BSTR), S_OK);
  EXPECT_EQ(Narrow(text.bstrVal), "18446744073709551615");
  Var narrow;
  EXPECT_EQ(VariantChangeType(&narrow, &ubig, 0, VT_I8), DISP_E_OVERFLOW);
  VARIANT edge = R8(9223372036854775808.0);  // 2^63: just out of range
  EXPECT_EQ(VariantChangeType(&narrow, &edge, 0, VT_I8), DISP_E_OVERFLOW);
  VARIANT t = Bool(true);
  ASSERT_EQ(VariantChangeType(&narrow, &t, 0, VT_UI8), S_OK);
  EXPECT_EQ(narrow.ullVal, UINT64_MAX);
  VARIANT minus = I4(-5);
  EXPECT_EQ(VariantChangeType(&narrow, &minus, 0, VT_UI8), DISP_E_OVERFLOW);
  ASSERT_EQ(VariantChangeType(&narrow, &minus, 0, VT_I8), S_OK);
  EXPECT_EQ(narrow.llVal, -5);
}

TEST(VariantChangeType, Booleans) {
  struct Row {
    const char* text;
    HRESULT hr;
    VARIANT_BOOL expected;
  } rows[] = {
      {"True", S_OK, VARIANT_TRUE},   {"false", S_OK, VARIANT_FALSE}, {" TRUE ", S_OK, VARIANT_TRUE},
      {"0", S_OK, VARIANT_FALSE},     {"2", S_OK, VARIANT_TRUE},      {"-0.0", S_OK, VARIANT_FALSE},
      {"yes", DISP_E_TYPEMISMATCH, 0}, {"", DISP_E_TYPEMISMATCH, 0},
  };
  for (const Row& r : rows) {
    Var out;
    EXPECT_EQ(ChangeFromText(r.text, VT_BOOL, &out), r.hr) << r.text;
    if (r.hr == S_OK) {
      EXPECT_EQ(out.boolVal, r.expected) << r.text;
    }
  }
  const VARIANT numbers[] = {I4(0), R8(0.1), I2(-3), Cy(1), Empty()};
  const VARIANT_BOOL expected[] = {VARIANT_FALSE, VARIANT_TRUE, VARIANT_TRUE, VARIANT_TRUE, VARIANT_FALSE};
  for (int i = 0; i < 5; ++i) {
    Var out;
    ASSERT_EQ(VariantChangeType(&out, &numbers[i], 0, VT_BOOL), S_OK);
    EXPECT_EQ(out.boolVal, expected[i]) << i;
  }
}

TEST(VariantChangeType, ToText) {
  struct Row {
    VARIANT src;
    USHORT flags;
    const char* expected;
  } rows[] = {
      {I4(-42), 0, "-42"},
      {Bool(true), 0, "-1"},
      {Bool(false), 0, "0"},
      {Bool(true), VARIANT_ALPHABOOL, "True"},
      {Bool(false), VARIANT_ALPHABOOL, "False"},
      {R8(1.5), 0, "1.5"},
      {R8(0.1), 0, "0.1"},
      {R8(1.0 / 3.0), 0, "0.333333333333333"},
      {R8(1e20), 0, "1E+20"},
      {R8(-0.0), 0, "0"},
      {R4(0.1f), 0, "0.1"},
      {Cy(15000), 0, "1.5"},
      {Cy(-12345), 0, "-1.2345"},
      {Cy(20000), 0, "2"},
      {Empty(), 0, ""},
      {Date(36526.5), 0, "1/1/2000 12:00:00 PM"},
      {Date(36526.0), 0, "1/1/2000"},
      {Date(0.0), 0, "12:00:00 AM"},
      {Date(0.25), 0, "6:00:00 AM"},
      {Date(-1.25), 0, "12/29/1899 6:00:00 AM"},
  };
  for (const Row& r : rows) {
    Var out;
    ASSERT_EQ(VariantChangeType(&out, &r.src, r.flags, VT_BSTR), S_OK) << r.expected;
    ASSERT_EQ(out.vt, VT_BSTR);
    EXPECT_EQ(Narrow(out.bstrVal), r.expected);
  }
  Var null;
  VARIANT n = Null();
  EXPECT_EQ(VariantChangeType(&null, &n, 0, VT_BSTR), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, CurrencyAndDates) {
  Var cy;
  VARIANT d = R8(1.23456);
  ASSERT_EQ(VariantChangeType(&cy, &d, 0, VT_CY), S_OK);
  EXPECT_EQ(cy.cyVal.int64, 12346);
  VARIANT huge = R8(1e300);
  EXPECT_EQ(VariantChangeType(&cy, &huge, 0, VT_CY), DISP_E_OVERFLOW);

  Var date;
  ASSERT_EQ(ChangeFromText("1/1/2000", VT_DATE, &date), S_OK);
  EXPECT_EQ(date.date, 36526.0);
  ASSERT_EQ(ChangeFromText("12/31/1999 6:00 PM", VT_DATE, &date), S_OK);
  EXPECT_EQ(date.date, 36525.75);
  EXPECT_EQ(ChangeFromText("2/30/2000", VT_DATE, &date), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(ChangeFromText("13:00 PM", VT_DATE, &date), DISP_E_TYPEMISMATCH);
  VARIANT far = R8(3e6);
  EXPECT_EQ(VariantChangeType(&date, &far, 0, VT_DATE), DISP_E_OVERFLOW);
}

TEST(VariantChangeType, NullConvertsOnlyToItself) {
  VARIANT n = Null();
  for (VARTYPE vt : {VT_I2, VT_I4, VT_R8, VT_BOOL, VT_BSTR, VT_DATE, VT_CY, VT_DISPATCH}) {
    Var out;
    EXPECT_EQ(VariantChangeType(&out, &n, 0, vt), DISP_E_TYPEMISMATCH) << vt;
  }
  Var out;
  EXPECT_EQ(VariantChangeType(&out, &n, 0, VT_NULL), S_OK);
  EXPECT_EQ(out.vt, VT_NULL);
  VARIANT one = I4(1);
  EXPECT_EQ(VariantChangeType(&out, &one, 0, VT_NULL), DISP_E_TYPEMISMATCH);
}

TEST(VariantChangeType, ReadsThroughByRef) {
  LONG value = 7;
  VARIANT ref;
  VariantInit(&ref);
  ref.vt = VT_BYREF | VT_I4;
  ref.plVal = &value;
  Var out;
  ASSERT_EQ(VariantChangeType(&out, &ref, 0, VT_BSTR), S_OK);
  EXPECT_EQ(Narrow(out.bstrVal), "7");

  Var inner;
  inner.vt = VT_R8;
  inner.dblVal = 4.5;
  VARIANT vref;
  VariantInit(&vref);
  vref.vt = VT_BYREF | VT_VARIANT;
  vref.pvarVal = &inner;
  Var n;
  ASSERT_EQ(VariantChangeType(&n, &vref, 0, VT_I4), S_OK);
  EXPECT_EQ(n.lVal, 4);
}

TEST(VariantChangeType, InPlaceReplacesTheOldValue) {
  Var v;
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"123");
  ASSERT_EQ(VariantChangeType(&v, &v, 0, VT_I4), S_OK);  // the string is freed (leak check)
  EXPECT_EQ(v.vt, VT_I4);
  EXPECT_EQ(v.lVal, 123);
  // A failed in-place conversion leaves the value as it was.
  v.vt = VT_R8;
  v.dblVal = 1e10;
  EXPECT_EQ(VariantChangeType(&v, &v, 0, VT_I4), DISP_E_OVERFLOW);
  EXPECT_EQ(v.vt, VT_R8);
  EXPECT_EQ(v.dblVal, 1e10);
}

TEST(VariantChangeType, BadTypes) {
  Var out;
  VARIANT one = I4(1);
  EXPECT_EQ(VariantChangeType(&out, &one, 0, VT_BYREF | VT_I4), DISP_E_BADVARTYPE);
  EXPECT_EQ(VariantChangeType(&out, &one, 0, 0x7F), DISP_E_BADVARTYPE);
  VARIANT bad;
  VariantInit(&bad);
  bad.vt = 0x7F;
  EXPECT_EQ(VariantChangeType(&out, &bad, 0, VT_I4), DISP_E_BADVARTYPE);
  VARIANT err;
  VariantInit(&err);
  err.vt = VT_ERROR;
  err.scode = DISP_E_PARAMNOTFOUND;
  EXPECT_EQ(VariantChangeType(&out, &err, 0, VT_I4), DISP_E_TYPEMISMATCH);
}

}  // namespace
