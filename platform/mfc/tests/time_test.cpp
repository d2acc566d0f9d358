#include <gtest/gtest.h>

#include "mfc/afx.h"

namespace {

TEST(CTime, LocalComponentsRoundTrip) {
  CTime t(2005, 6, 7, 8, 9, 10);
  EXPECT_EQ(t.GetYear(), 2005);
  EXPECT_EQ(t.GetMonth(), 6);
  EXPECT_EQ(t.GetDay(), 7);
  EXPECT_EQ(t.GetHour(), 8);
  EXPECT_EQ(t.GetMinute(), 9);
  EXPECT_EQ(t.GetSecond(), 10);
  EXPECT_EQ(t.GetDayOfWeek(), 3);  // a Tuesday
  EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "2005-06-07 08:09:10");
  EXPECT_TRUE(t.Format("").IsEmpty());
  EXPECT_EQ(CTime(0).FormatGmt("%Y %j"), "1970 001");

  SYSTEMTIME st;
  ASSERT_TRUE(t.GetAsSystemTime(st));
  EXPECT_EQ(st.wYear, 2005);
  EXPECT_EQ(st.wMonth, 6);
  EXPECT_EQ(st.wDayOfWeek, 2);
  EXPECT_EQ(st.wSecond, 10);
  EXPECT_EQ(CTime(st), t);
  st.wYear = 1601;
  EXPECT_EQ(CTime(st).GetTime(), 0);

  try {
    CTime bad(2005, 13, 1, 0, 0, 0);
    ADD_FAILURE() << "month 13 accepted";
  } catch (CInvalidArgException* e) {
    e->Delete();
  }
}

TEST(CTime, FileTimesAndTheClock) {
  FILETIME ft = {0xD53E8000, 0x019DB1DE};  // 1970-01-01 00:00:00 UTC
  EXPECT_EQ(CTime(ft).GetTime(), 0);
  ft = {0, 0};
  EXPECT_EQ(CTime(ft).GetTime(), 0);
  ULONGLONG ticks = 116444736000000000ULL + 1234567890ULL * 10000000ULL + 9999999ULL;
  ft = {static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  EXPECT_EQ(CTime(ft).GetTime(), 1234567890);  // parts of a second are dropped

  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  EXPECT_EQ(CTime::GetCurrentTime().GetTime(), CTime(now).GetTime());
}

TEST(CTimeSpan, ArithmeticAndFormat) {
  CTimeSpan span(1, 2, 3, 4);
  EXPECT_EQ(span.GetTotalSeconds(), 93784);
  EXPECT_EQ(span.GetDays(), 1);
  EXPECT_EQ(span.GetHours(), 2);
  EXPECT_EQ(span.GetTotalHours(), 26);
  EXPECT_EQ(span.GetMinutes(), 3);
  EXPECT_EQ(span.GetTotalMinutes(), 1563);
  EXPECT_EQ(span.GetSeconds(), 4);
  EXPECT_EQ(span.Format("%D days %H:%M:%S %%"), "1 days 02:03:04 %");

  CTime start(2005, 6, 7, 8, 9, 10);
  CTime end = start + span;
  EXPECT_EQ(end - start, span);
  EXPECT_EQ(end - span, start);
  EXPECT_EQ(end.GetDay(), 8);
  EXPECT_LT(start, end);
  end -= CTimeSpan(0, 0, 0, 4);
  EXPECT_EQ(end.GetSecond(), 10);
  CTimeSpan back = start - end;
  EXPECT_LT(back, CTimeSpan(0));
  EXPECT_EQ(back.GetTotalSeconds(), -93780);
  EXPECT_EQ((span + span - span).GetTotalSeconds(), span.GetTotalSeconds());
}

}  // namespace
