#include <gtest/gtest.h>

#include <climits>
#include <cstring>

#include "mfc/afx.h"

namespace {

TEST(CString, CuttingClampsEveryIndex) {
  CString s("abcdef");
  EXPECT_STREQ(s.Mid(2), "cdef");
  EXPECT_STREQ(s.Mid(2, 2), "cd");
  EXPECT_STREQ(s.Mid(4, 100), "ef");
  EXPECT_STREQ(s.Mid(6), "");
  EXPECT_STREQ(s.Mid(100, 2), "");
  EXPECT_STREQ(s.Mid(-3, 2), "ab");
  EXPECT_STREQ(s.Mid(1, -1), "");
  EXPECT_STREQ(s.Mid(1, INT_MAX), "bcdef");
  EXPECT_STREQ(s.Left(3), "abc");
  EXPECT_STREQ(s.Left(-1), "");
  EXPECT_STREQ(s.Left(99), "abcdef");
  EXPECT_STREQ(s.Right(2), "ef");
  EXPECT_STREQ(s.Right(-5), "");
  EXPECT_STREQ(s.Right(99), "abcdef");
  EXPECT_EQ(s.GetAt(-1), 0);
  EXPECT_EQ(s.GetAt(6), 0);
  EXPECT_EQ(s[5], 'f');
  s.SetAt(6, 'x');
  s.SetAt(-1, 'x');
  s.SetAt(0, 'A');
  EXPECT_STREQ(s, "Abcdef");
  EXPECT_STREQ(s.SpanIncluding("bAc"), "Abc");
  EXPECT_STREQ(s.SpanExcluding("dz"), "Abc");
  EXPECT_STREQ(s.SpanExcluding(""), "Abcdef");
}

TEST(CString, SearchingReportsMinusOneOutside) {
  CString s("a,b,,c");
  EXPECT_EQ(s.Find(','), 1);
  EXPECT_EQ(s.Find(',', 2), 3);
  EXPECT_EQ(s.Find(',', 6), -1);
  EXPECT_EQ(s.Find(',', -1), -1);
  EXPECT_EQ(s.Find("b,"), 2);
  EXPECT_EQ(s.Find(",,", 4), -1);
  EXPECT_EQ(s.Find("", 6), 6);
  EXPECT_EQ(s.Find("", 7), -1);
  EXPECT_EQ(s.Find("zz"), -1);
  EXPECT_EQ(s.ReverseFind(','), 4);
  EXPECT_EQ(s.ReverseFind('z'), -1);
  EXPECT_EQ(s.FindOneOf("cb"), 2);
  EXPECT_EQ(s.FindOneOf("xyz"), -1);
  EXPECT_EQ(CString().Find('a'), -1);

  int pos = 0;
  std::vector<CString> tokens;
  for (CString t = s.Tokenize(",", pos); pos != -1; t = s.Tokenize(",", pos)) tokens.push_back(t);
  ASSERT_EQ(tokens.size(), 3u);
  EXPECT_STREQ(tokens[0], "a");
  EXPECT_STREQ(tokens[1], "b");
  EXPECT_STREQ(tokens[2], "c");
}

TEST(CString, EditingKeepsLengthsRight) {
  CString s("  \t hello world \r\n");
  s.Trim();
  EXPECT_STREQ(s, "hello world");
  s.TrimLeft('h').TrimRight("dl");
  EXPECT_STREQ(s, "ello wor");
  CString all("xxxx");
  all.Trim('x');
  EXPECT_TRUE(all.IsEmpty());

  CString r("one two one two");
  EXPECT_EQ(r.Replace("one", "three"), 2);
  EXPECT_STREQ(r, "three two three two");
  EXPECT_EQ(r.Replace("", "x"), 0);
  EXPECT_EQ(r.Replace("two", ""), 2);
  EXPECT_STREQ(r, "three  three ");
  EXPECT_EQ(r.Replace(' ', '_'), 3);
  EXPECT_EQ(r.Remove('e'), 4);
  EXPECT_STREQ(r, "thr__thr_");
  EXPECT_EQ(r.GetLength(), 9);

  CString ins("ac");
  EXPECT_EQ(ins.Insert(1, 'b'), 3);
  EXPECT_EQ(ins.Insert(99, "de"), 5);
  EXPECT_EQ(ins.Insert(-4, "_"), 6);
  EXPECT_STREQ(ins, "_abcde");
  EXPECT_EQ(ins.Insert(2, ins), 12);  // inserting the string into itself
  EXPECT_STREQ(ins, "_a_abcdebcde");
  EXPECT_EQ(ins.Delete(1, 6), 6);
  EXPECT_STREQ(ins, "_ebcde");
  EXPECT_EQ(ins.Delete(3, 100), 3);
  EXPECT_EQ(ins.Delete(10), 3);
  EXPECT_STREQ(ins, "_eb");

  CString c("MiXeD 1_z");
  EXPECT_STREQ(CString(c).MakeUpper(), "MIXED 1_Z");
  EXPECT_STREQ(CString(c).MakeLower(), "mixed 1_z");
  EXPECT_STREQ(CString("abc").MakeReverse(), "cba");
  // "aé€b" reversed by characters, not bytes.
  EXPECT_STREQ(CString("a\xC3\xA9\xE2\x82\xAC" "b").MakeReverse(), "b\xE2\x82\xAC\xC3\xA9" "a");
}

TEST(CString, ComparesAndConcatenates) {
  CString a("abc");
  EXPECT_TRUE(a == "abc");
  EXPECT_TRUE("abc" == a);
  EXPECT_TRUE(a != CString("abd"));
  EXPECT_TRUE(a < "abd");
  EXPECT_TRUE(a > "ab");
  EXPECT_LT(a.Compare("b"), 0);
  EXPECT_EQ(a.CompareNoCase("ABC"), 0);
  EXPECT_LT(CString("_").CompareNoCase("a"), 0);  // folds to lower case
  EXPECT_GT(CString("\xC3\xA9").Compare("z"), 0);  // bytes compare unsigned
  EXPECT_EQ(a.Collate("abc"), 0);
  EXPECT_EQ(a.Compare(nullptr), 1);

  CString s = a + "-" + a + 'x';
  EXPECT_STREQ(s, "abc-abcx");
  s = 'y' + s;
  s += s;
  s += 'z';
  s += (LPCTSTR)s + 10;  // appending a part of itself
  EXPECT_STREQ(s, "yabc-abcxyabc-abcxzabc-abcxz");
  EXPECT_EQ(CString('-', 3), "---");
  EXPECT_EQ(CString("abcdef", 3), "abc");
  EXPECT_TRUE(CString((LPCTSTR)nullptr).IsEmpty());
  s = (LPCTSTR)s + 1;  // assigning a part of itself
  EXPECT_STREQ(s, "abc-abcxyabc-abcxzabc-abcxz");
  s.Empty();
  EXPECT_EQ(s.GetLength(), 0);
  EXPECT_STREQ(s, "");
}

TEST(CString, FormatsLikePrintfWithThePlatformSizes) {
  CString s;
  s.Format("%d|%5s|%-4d|%03u|%x|%c|%.2f|%s", -12, "ab", 7, 5u, 255u, 'q', 3.14159, "end");
  EXPECT_STREQ(s, "-12|   ab|7   |005|ff|q|3.14|end");
  LONG l = -5;
  DWORD dw = 0xFFFFFFFF;
  __int64 big = 1234567890123LL;
  s.Format("%ld %lu %I64d %lld %I64u", l, dw, big, big, (ULONGLONG)big);
  EXPECT_STREQ(s, "-5 4294967295 1234567890123 1234567890123 1234567890123");
  s.Format("%02d:%02d:%02d", 99, 59, 59);
  EXPECT_STREQ(s, "99:59:59");
  s.Format("%%%s%%", (const char*)nullptr);
  EXPECT_STREQ(s, "%(null)%");
  s.Format("%*d|%-*d|%.*s", 4, 1, 3, 2, 2, "xyz");
  EXPECT_STREQ(s, "   1|2  |xy");
  s.Format("%S and %ls", u"wide\u00e9", u"more");
  EXPECT_STREQ(s, "wide\xC3\xA9 and more");
  s.Format("%f", 0.5);
  EXPECT_STREQ(s, "0.500000");
  s.Format("%G", 1e20);
  EXPECT_STREQ(s, "1E+20");

  // A CString passes straight to %s, also when it is the string being formatted.
  CString name("clip");
  s.Format("%d_%s.ini", 3, name);
  EXPECT_STREQ(s, "3_clip.ini");
  s.Format("[%s]", s);
  EXPECT_STREQ(s, "[3_clip.ini]");
  s.AppendFormat("+%d", 4);
  EXPECT_STREQ(s, "[3_clip.ini]+4");

  CString longText(static_cast<char>('x'), 5000);
  s.Format("<%s><%s>", longText, longText);
  EXPECT_EQ(s.GetLength(), 10004);
  EXPECT_EQ(s.Find('>'), 5001);
  s.Format("%5000d", 1);
  EXPECT_EQ(s.GetLength(), 5000);
}

TEST(CString, ConvertsBetweenUtf8AndUtf16) {
  const char* utf8 = "A\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80";  // A é € 😀
  CStringW w(utf8);
  ASSERT_EQ(w.GetLength(), 5);
  EXPECT_EQ(w[0], u'A');
  EXPECT_EQ(w[1], u'\u00e9');
  EXPECT_EQ(w[2], u'\u20ac');
  EXPECT_EQ(w[3], 0xD83D);
  EXPECT_EQ(w[4], 0xDE00);
  CString back(w);
  EXPECT_STREQ(back, utf8);
  EXPECT_TRUE(CString(u"x\u00e9") == "x\xC3\xA9");

  // Malformed input becomes replacement characters instead of being dropped or overrun.
  CStringW bad("a\xC3" "b\xFF");
  EXPECT_EQ(bad.GetLength(), 4);
  EXPECT_EQ(bad[1], 0xFFFD);
  const char16_t lone[] = {u'a', 0xD800, u'b', 0};
  EXPECT_STREQ(CString(lone), "a\xEF\xBF\xBD" "b");

  CStringW f;
  f.Format(u"%s=%d %S", u"k\u00e9y", 5, "narrow");
  EXPECT_TRUE(f == CStringW(u"k\u00e9y=5 narrow"));
  EXPECT_EQ(f.Find(u"=5"), 3);
  EXPECT_TRUE(f.Left(1) + u"!" == CStringW(u"k!"));
}

TEST(CString, BufferAccessAndRelease) {
  CString s("abc");
  char* p = s.GetBuffer(10);
  std::strcpy(p + 3, "defghij");
  s.ReleaseBuffer();
  EXPECT_STREQ(s, "abcdefghij");
  EXPECT_EQ(s.GetLength(), 10);

  p = s.GetBuffer(4);  // never shrinks the contents
  EXPECT_STREQ(p, "abcdefghij");
  s.ReleaseBuffer(2);
  EXPECT_STREQ(s, "ab");

  CString e;
  p = e.GetBufferSetLength(3);
  std::memcpy(p, "xyz", 3);
  e.ReleaseBuffer();
  EXPECT_STREQ(e, "xyz");

  // A writer that fills the whole buffer without a terminator still gives a bounded length.
  CString full;
  p = full.GetBuffer(4);
  std::memset(p, 'q', 4);
  full.ReleaseBuffer();
  EXPECT_EQ(full.GetLength(), 4);

  CString empty;
  p = empty.GetBuffer(0);
  p[0] = '\0';
  empty.ReleaseBuffer();
  EXPECT_TRUE(empty.IsEmpty());

  s = "locked";
  p = s.LockBuffer();
  p[0] = 'L';
  s.UnlockBuffer();
  EXPECT_STREQ(s, "Locked");
  s.FreeExtra();
  EXPECT_STREQ(s, "Locked");
}

}  // namespace
