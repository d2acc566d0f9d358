#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "mfc/afx.h"
#include "testing/sandbox.h"

namespace {

// Platform form of a path in this test's sandbox.
CString SandboxPath(const char* name) {
  return CString(testing_support::SandboxDir().c_str()) + "/" + name;
}

TEST(CFile, WritesReadsSeeksAndCuts) {
  CString path = SandboxPath("data.bin");
  {
    CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::typeBinary);
    file.Write("hello world", 11);
    EXPECT_EQ(file.GetPosition(), 11u);
    file.Flush();
    EXPECT_EQ(file.GetFileName(), "data.bin");
    EXPECT_EQ(file.GetFileTitle(), "data");
    EXPECT_EQ(file.GetFilePath().Right(9), "\\data.bin");
  }  // closed by the destructor

  CFile file;
  CFileException error;
  ASSERT_TRUE(file.Open(path, CFile::modeReadWrite | CFile::shareDenyNone, &error));
  EXPECT_EQ(file.GetLength(), 11u);
  char buffer[32] = {};
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 11u);  // short read at the end
  EXPECT_STREQ(buffer, "hello world");
  EXPECT_EQ(file.Read(buffer, 4), 0u);
  EXPECT_EQ(file.Seek(-5, CFile::end), 6u);
  EXPECT_EQ(file.Read(buffer, 5), 5u);
  EXPECT_EQ(std::string(buffer, 5), "world");
  file.SeekToBegin();
  file.Write("J", 1);
  EXPECT_EQ(file.SeekToEnd(), 11u);
  file.SetLength(5);
  EXPECT_EQ(file.GetPosition(), 5u);
  EXPECT_EQ(file.GetLength(), 5u);
  file.Seek(0, CFile::begin);
  EXPECT_EQ(file.Read(buffer, sizeof buffer), 5u);
  EXPECT_EQ(std::string(buffer, 5), "Jello");
  file.Close();
  EXPECT_EQ(file.m_hFile, CFile::hFileNull);
  file.Close();  // closing twice is harmless

  // modeNoTruncate keeps the contents; plain modeCreate empties the file.
  CFile keep(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
  EXPECT_EQ(keep.GetLength(), 5u);
  keep.Close();
  CFile truncate(path, CFile::modeCreate | CFile::modeWrite);
  EXPECT_EQ(truncate.GetLength(), 0u);
}

TEST(CFile, FailuresThrowFileExceptionsWithTheCause) {
  CString missing = SandboxPath("no-such.bin");
  CFileException error;
  CFile file;
  EXPECT_FALSE(file.Open(missing, CFile::modeRead, &error));
  EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
  EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(error.m_strFileName, missing);

  int cause = -1;
  try {
    CFile opened(missing, CFile::modeRead);
  } catch (CFileException* e) {
    cause = e->m_cause;
    EXPECT_EQ(e->m_strFileName, missing);
    char text[256];
    EXPECT_TRUE(e->GetErrorMessage(text, sizeof text));
    EXPECT_NE(std::strstr(text, "no-such.bin"), nullptr);
    e->Delete();
  }
  EXPECT_EQ(cause, CFileException::fileNotFound);

  try {
    CFile opened(SandboxPath("missing-folder/x.bin"), CFile::modeCreate | CFile::modeWrite);
    ADD_FAILURE() << "opened a file in a folder that does not exist";
  } catch (CException* e) {  // caught through the base class
    ASSERT_TRUE(e->IsKindOf(RUNTIME_CLASS(CFileException)));
    EXPECT_EQ(static_cast<CFileException*>(e)->m_cause, CFileException::badPath);
    e->Delete();
  }

  try {
    CFile::Remove(missing);
    ADD_FAILURE() << "removed a missing file";
  } catch (CFileException* e) {
    EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
    e->Delete();
  }

  // A file opened for reading refuses writes with an exception instead of failing silently.
  CString path = SandboxPath("readonly.bin");
  CFile(path, CFile::modeCreate | CFile::modeWrite).Write("abc", 3);
  CFile reader(path, CFile::modeRead);
  EXPECT_THROW(
      try { reader.Write("x", 1); } catch (CFileException* e) {
        EXPECT_NE(e->m_cause, CFileException::none);
        e->Delete();
        throw 1;
      },
      int);
}

TEST(CFile, StatusRenameAndRemove) {
  CString path = SandboxPath("status.txt");
  {
    CFile file(path, CFile::modeCreate | CFile::modeWrite);
    file.Write("12345", 5);
    CFileStatus open;
    ASSERT_TRUE(file.GetStatus(open));
    EXPECT_EQ(open.m_size, 5u);
  }
  CFileStatus status;
  ASSERT_TRUE(CFile::GetStatus(path, status));
  EXPECT_EQ(status.m_size, 5u);
  EXPECT_EQ(status.m_attribute & CFile::directory, 0);
  EXPECT_EQ(CString(status.m_szFullName).Right(11), "\\status.txt");

  // Times and the read-only attribute are written back.
  CTime when(2005, 6, 7, 8, 9, 10);
  status.m_mtime = when;
  status.m_atime = when + CTimeSpan(1, 0, 0, 0);
  status.m_ctime = CTime();
  status.m_attribute = CFile::readOnly;
  CFile::SetStatus(path, status);
  CFileStatus back;
  ASSERT_TRUE(CFile::GetStatus(path, back));
  EXPECT_EQ(back.m_mtime, when);
  EXPECT_TRUE(back.m_attribute & CFile::readOnly);
  status.m_attribute = CFile::normal;
  CFile::SetStatus(path, status);
  ASSERT_TRUE(CFile::GetStatus(path, back));
  EXPECT_FALSE(back.m_attribute & CFile::readOnly);

  EXPECT_FALSE(CFile::GetStatus(SandboxPath("gone.txt"), back));

  CString renamed = SandboxPath("renamed.txt");
  CFile::Rename(path, renamed);
  EXPECT_FALSE(CFile::GetStatus(path, back));
  ASSERT_TRUE(CFile::GetStatus(renamed, back));
  CFile::Remove(renamed);
  EXPECT_FALSE(CFile::GetStatus(renamed, back));
}

TEST(CFileFind, WalksMatchesWithDotsFirst) {
  CString folder = SandboxPath("find");
  ASSERT_TRUE(CreateDirectory(folder, NULL));
  ASSERT_TRUE(CreateDirectory(folder + "/Sub", NULL));
  CFile(folder + "/a.ini", CFile::modeCreate | CFile::modeWrite).Write("xyz", 3);
  CFile(folder + "/b.txt", CFile::modeCreate | CFile::modeWrite);

  CFileFind find;
  std::set<std::string> names;
  int dots = 0;
  BOOL more = find.FindFile(folder + "\\*.*");
  ASSERT_TRUE(more);
  while (more) {
    more = find.FindNextFile();
    if (find.IsDots()) {
      ++dots;
      continue;
    }
    names.insert(find.GetFileName().GetString());
    EXPECT_EQ(find.GetFilePath(), find.GetRoot() + "\\" + find.GetFileName());
    if (find.GetFileName() == "Sub") {
      EXPECT_TRUE(find.IsDirectory());
    }
    if (find.GetFileName() == "a.ini") {
      EXPECT_FALSE(find.IsDirectory());
      EXPECT_EQ(find.GetLength(), 3u);
      EXPECT_EQ(find.GetFileTitle(), "a");
      CTime written;
      EXPECT_TRUE(find.GetLastWriteTime(written));
      EXPECT_GT(written.GetTime(), 0);
    }
  }
  EXPECT_EQ(dots, 2);
  EXPECT_EQ(names, (std::set<std::string>{"Sub", "a.ini", "b.txt"}));
  EXPECT_TRUE(find.GetRoot().Right(5) == "\\find");

  ASSERT_TRUE(find.FindFile(folder + "/*.INI"));  // case-insensitive match
  EXPECT_FALSE(find.FindNextFile());
  EXPECT_EQ(find.GetFileName(), "a.ini");
  find.Close();
  EXPECT_TRUE(find.GetFileName().IsEmpty());
  EXPECT_FALSE(find.FindFile(folder + "/*.none"));
}

}  // namespace
