#include <gtest/gtest.h>

#include <cstring>

#include "fakes.h"
#include "testing/sandbox.h"
#include "win32/winbase.h"

namespace {

LARGE_INTEGER Offset(LONGLONG v) {
  LARGE_INTEGER li;
  li.QuadPart = v;
  return li;
}

std::string ReadAll(IStream* s, ULONG max = 64) {
  std::string out(max, '\0');
  ULONG got = 0;
  EXPECT_EQ(s->Read(out.data(), max, &got), S_OK);
  out.resize(got);
  return out;
}

TEST(MemoryStream, WriteSeekReadAndGrowWithZeroGap) {
  IStream* s = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &s), S_OK);
  ULONG written = 0;
  ASSERT_EQ(s->Write("hello", 5, &written), S_OK);
  EXPECT_EQ(written, 5u);
  ULARGE_INTEGER pos;
  ASSERT_EQ(s->Seek(Offset(-3), STREAM_SEEK_CUR, &pos), S_OK);
  EXPECT_EQ(pos.QuadPart, 2u);
  EXPECT_EQ(ReadAll(s), "llo");
  EXPECT_EQ(ReadAll(s), "");  // at the end: S_OK with nothing
  // Writing past the end leaves zeros in between.
  ASSERT_EQ(s->Seek(Offset(8), STREAM_SEEK_SET, nullptr), S_OK);
  ASSERT_EQ(s->Write("!", 1, nullptr), S_OK);
  STATSTG st;
  ASSERT_EQ(s->Stat(&st, STATFLAG_NONAME), S_OK);
  EXPECT_EQ(st.cbSize.QuadPart, 9u);
  s->Seek(Offset(0), STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(ReadAll(s), std::string("hello\0\0\0!", 9));
  EXPECT_EQ(s->Seek(Offset(-1), STREAM_SEEK_SET, nullptr), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(s->Seek(Offset(0), 7, nullptr), STG_E_INVALIDFUNCTION);
  EXPECT_EQ(s->Seek(Offset(INT64_MAX), STREAM_SEEK_END, nullptr), STG_E_INVALIDFUNCTION);
  ASSERT_EQ(s->Seek(Offset(-1), STREAM_SEEK_END, &pos), S_OK);
  EXPECT_EQ(pos.QuadPart, 8u);
  s->Release();
}

TEST(MemoryStream, SharesTheGlobalBlockWithClonesAndCaller) {
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, 4);
  std::memcpy(GlobalLock(block), "abcd", 4);
  GlobalUnlock(block);
  IStream* s = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(block, FALSE, &s), S_OK);
  EXPECT_EQ(ReadAll(s, 2), "ab");
  IStream* clone = nullptr;
  ASSERT_EQ(s->Clone(&clone), S_OK);
  EXPECT_EQ(ReadAll(clone), "cd");  // starts where the original was
  ASSERT_EQ(clone->Write("XYZ", 3, nullptr), S_OK);
  EXPECT_EQ(ReadAll(s), "cdXYZ");  // the original sees the clone's writes
  HGLOBAL got = nullptr;
  ASSERT_EQ(GetHGlobalFromStream(s, &got), S_OK);
  EXPECT_EQ(got, block);
  EXPECT_EQ(GlobalSize(got), 7u);
  ASSERT_EQ(s->SetSize(ULARGE_INTEGER{{2, 0}}), S_OK);
  EXPECT_EQ(GlobalSize(block), 2u);
  clone->Release();
  s->Release();
  // Not deleted on release: still the caller's.
  EXPECT_EQ(std::memcmp(GlobalLock(block), "ab", 2), 0);
  GlobalUnlock(block);
  EXPECT_EQ(GlobalFree(block), nullptr);
}

TEST(MemoryStream, CopyToAnotherStream) {
  IStream* from = nullptr;
  IStream* to = nullptr;
  CreateStreamOnHGlobal(nullptr, TRUE, &from);
  CreateStreamOnHGlobal(nullptr, TRUE, &to);
  from->Write("0123456789", 10, nullptr);
  from->Seek(Offset(2), STREAM_SEEK_SET, nullptr);
  ULARGE_INTEGER read, written;
  ASSERT_EQ(from->CopyTo(to, ULARGE_INTEGER{{100, 0}}, &read, &written), S_OK);
  EXPECT_EQ(read.QuadPart, 8u);
  EXPECT_EQ(written.QuadPart, 8u);
  to->Seek(Offset(0), STREAM_SEEK_SET, nullptr);
  EXPECT_EQ(ReadAll(to), "23456789");
  from->Release();
  to->Release();
}

TEST(FileStream, WritesReadsSeeksAndTruncates) {
  const std::string path = testing_support::SandboxDir() + "/stream.bin";
  IStream* s = nullptr;
  EXPECT_EQ(CreateStreamOnFile(path.c_str(), STGM_READ, &s), STG_E_FILENOTFOUND);
  EXPECT_EQ(s, nullptr);
  ASSERT_EQ(CreateStreamOnFile(path.c_str(), STGM_READWRITE | STGM_CREATE, &s), S_OK);
  ASSERT_EQ(s->Write("abcdef", 6, nullptr), S_OK);
  ULARGE_INTEGER pos;
  ASSERT_EQ(s->Seek(Offset(-2), STREAM_SEEK_END, &pos), S_OK);
  EXPECT_EQ(pos.QuadPart, 4u);
  EXPECT_EQ(ReadAll(s), "ef");
  ASSERT_EQ(s->SetSize(ULARGE_INTEGER{{3, 0}}), S_OK);
  STATSTG st;
  ASSERT_EQ(s->Stat(&st, STATFLAG_DEFAULT), S_OK);
  EXPECT_EQ(st.cbSize.QuadPart, 3u);
  ASSERT_NE(st.pwcsName, nullptr);
  CoTaskMemFree(st.pwcsName);
  ASSERT_EQ(s->Commit(STGC_DEFAULT), S_OK);
  s->Release();

  ASSERT_EQ(CreateStreamOnFile(path.c_str(), STGM_READ, &s), S_OK);
  EXPECT_EQ(ReadAll(s), "abc");
  EXPECT_EQ(s->Write("x", 1, nullptr), STG_E_ACCESSDENIED);
  IStream* clone = nullptr;
  EXPECT_EQ(s->Clone(&clone), E_NOTIMPL);
  s->Release();
}

}  // namespace
