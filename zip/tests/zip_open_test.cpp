// Opening archives: finding the end record, reading the central directory, refusing damage.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "zip/zip_reader.h"
#include "zip_test_support.h"

using namespace zip_test;

namespace {

CString EntryName(const CZipReader& reader, WORD index) {
  CZipEntryHeader header;
  return reader.GetFileInfo(header, index) ? header.GetFileName() : CString();
}

int IndexOf(const CZipReader& reader, const char* name) {
  for (int i = 0; i < reader.GetCount(); ++i)
    if (EntryName(reader, (WORD)i) == name) return i;
  return -1;
}

std::string Slashes(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

void PatchBytes(std::string& bytes, size_t at, uint32_t value, int width) {
  for (int i = 0; i < width; ++i) bytes[at + i] = (char)(value >> (8 * i));
}

class ZipOpen : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshDir();
    MakeSourceTree(dir + "/src");
    archive = dir + "/a.zip";
    ASSERT_EQ(0, zip_test::Run("cd " + dir + "/src && zip -q -r ../a.zip text.txt random.bin empty.txt sub readonly.txt"));
  }

  std::string dir;
  std::string archive;
  CZipReader reader;
};

TEST_F(ZipOpen, ListsEntriesInDirectoryOrderWithBackslashNames) {
  ASSERT_TRUE(reader.Open(archive.c_str(), CZipReader::zipOpen, 0));
  EXPECT_FALSE(reader.IsClosed());
  ASSERT_EQ(7, reader.GetCount());
  EXPECT_EQ(CString("text.txt"), EntryName(reader, 0));
  const int nested = IndexOf(reader, "sub\\deeper\\nested.txt");
  const int folder = IndexOf(reader, "sub\\");
  ASSERT_GE(nested, 0);
  ASSERT_GE(folder, 0);
  EXPECT_TRUE(reader.IsFolder((WORD)folder));
  EXPECT_FALSE(reader.IsFolder((WORD)nested));

  CZipEntryHeader header;
  ASSERT_TRUE(reader.GetFileInfo(header, (WORD)IndexOf(reader, "random.bin")));
  EXPECT_EQ(100000u, header.m_uncompressedSize);
  EXPECT_FALSE(header.IsEncrypted());
  EXPECT_FALSE(reader.GetFileInfo(header, (WORD)reader.GetCount()));
  EXPECT_FALSE(reader.IsFolder((WORD)reader.GetCount()));
}

TEST_F(ZipOpen, SecondOpenIsRefusedUntilClosedAndCloseIsSafeTwice) {
  ASSERT_TRUE(reader.Open(archive.c_str(), CZipReader::zipOpen, 0));
  EXPECT_FALSE(reader.Open(archive.c_str(), CZipReader::zipOpen, 0));
  reader.Close(TRUE);
  EXPECT_TRUE(reader.IsClosed());
  EXPECT_EQ(0, reader.GetCount());
  EXPECT_FALSE(reader.IsFolder(0));
  reader.Close(TRUE);
  EXPECT_TRUE(reader.Open(archive.c_str(), CZipReader::zipOpenReadOnly, 0));
  EXPECT_EQ(7, reader.GetCount());
}

TEST_F(ZipOpen, ArchiveFileIsOpenedForReadingOnly) {
  // Packages in read-only folders must open: the archive is never opened for writing.
  ASSERT_TRUE(reader.Open(archive.c_str(), CZipReader::zipOpen, 0));
  bool found = false;
  for (const auto& fd : std::filesystem::directory_iterator("/proc/self/fd")) {
    std::error_code ec;
    if (std::filesystem::read_symlink(fd.path(), ec) != std::filesystem::path(archive)) continue;
    found = true;
    std::ifstream info("/proc/self/fdinfo/" + fd.path().filename().string());
    std::string key;
    std::string flags;
    while (info >> key >> flags && key != "flags:") {
    }
    EXPECT_EQ(O_RDONLY, (int)std::stoul(flags, nullptr, 8) & O_ACCMODE);
  }
  EXPECT_TRUE(found);
}

TEST_F(ZipOpen, DataInFrontOfTheArchiveIsSkipped) {
  const std::string stub = dir + "/stub.zip";
  WriteBytes(stub, std::string(100, 'M') + ReadBytes(archive));
  ASSERT_TRUE(reader.Open(stub.c_str(), CZipReader::zipOpen, 0));
  for (int i = 0; i < reader.GetCount(); ++i)
    EXPECT_TRUE(reader.ExtractEntry((WORD)i, (dir + "/out").c_str())) << i;
  ExpectSameFiles(dir + "/src", dir + "/out");
}

TEST_F(ZipOpen, DamagedCentralDirectoryGivesBadZipFileWithArchivePath) {
  std::string bytes = ReadBytes(archive);
  bytes[bytes.find("PK\x01\x02")] = 'X';
  WriteBytes(archive, bytes);
  std::string path;
  EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { reader.Open(archive.c_str(), 0, 0); }, &path));
  EXPECT_EQ(archive, Slashes(path));
  EXPECT_TRUE(reader.IsClosed());
}

TEST_F(ZipOpen, InconsistentEndRecordsAreDamage) {
  const std::string original = ReadBytes(archive);
  const size_t end = original.rfind("PK\x05\x06");
  struct Patch {
    size_t offset;
    uint32_t value;
  };
  // Directory offset past the record; more entries than the directory can hold; entries without
  // a directory.
  for (const Patch& patch : {Patch{16, 0x7FFFFFFF}, Patch{10, 0x0FFF}, Patch{12, 0}}) {
    SCOPED_TRACE(patch.offset);
    std::string bytes = original;
    PatchBytes(bytes, end + patch.offset, patch.value, patch.offset == 10 ? 2 : 4);
    WriteBytes(archive, bytes);
    EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { reader.Open(archive.c_str(), 0, 0); }));
    reader.Close(TRUE);
  }
}

TEST_F(ZipOpen, EntriesSharingTheirDataAreDamage) {
  // The second entry pointing at the first one's header, or into the middle of its data: bytes
  // that would extract twice.
  const std::string whole = ReadBytes(archive);
  const size_t second = whole.find("PK\x01\x02", whole.find("PK\x01\x02") + 4);
  const uint32_t insideFirstData = 30 + 8 + 100;  // text.txt deflates to far more than 100 bytes
  for (const uint32_t offset : {0u, insideFirstData}) {
    SCOPED_TRACE(offset);
    std::string bytes = whole;
    PatchBytes(bytes, second + 42, offset, 4);
    WriteBytes(archive, bytes);
    EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { reader.Open(archive.c_str(), 0, 0); }));
  }
}

TEST_F(ZipOpen, TruncatedArchiveHasNoDirectory) {
  const std::string bytes = ReadBytes(archive);
  WriteBytes(archive, bytes.substr(0, bytes.size() / 2));
  EXPECT_EQ(CZipException::cdirNotFound, CauseOf([&] { reader.Open(archive.c_str(), 0, 0); }));
}

TEST(ZipEndRecord, FileThatIsNoArchiveGivesDirectoryNotFoundWithItsPath) {
  const std::string file = FreshDir() + "/skin.skn";
  WriteBytes(file, Compressible(5000));
  CZipReader reader;
  std::string path;
  EXPECT_EQ(CZipException::cdirNotFound, CauseOf([&] { reader.Open(file.c_str(), 0, 0); }, &path));
  EXPECT_EQ(file, Slashes(path));
  WriteBytes(file, "");
  EXPECT_EQ(CZipException::cdirNotFound, CauseOf([&] { reader.Open(file.c_str(), 0, 0); }));
}

TEST(ZipEndRecord, EmptyArchiveOpensWithoutEntries) {
  const std::string file = FreshDir() + "/empty.zip";
  ASSERT_EQ(0, MakeArchive("empty " + file));
  CZipReader reader;
  ASSERT_TRUE(reader.Open(file.c_str(), 0, 0));
  EXPECT_EQ(0, reader.GetCount());
  EXPECT_FALSE(reader.OpenEntry(0));
}

TEST(ZipEndRecord, RecordBehindTheLongestCommentIsFoundButNotFurther) {
  const std::string dir = FreshDir();
  const std::string file = dir + "/comment.zip";
  ASSERT_EQ(0, MakeArchive("comment " + file + " 65535"));
  CZipReader reader;
  ASSERT_TRUE(reader.Open(file.c_str(), 0, 0));
  EXPECT_EQ(1, reader.GetCount());
  EXPECT_TRUE(reader.ExtractEntry(0, dir.c_str()));
  EXPECT_EQ(ReadBytes(dir + "/c.txt"), "comment test\n");
  reader.Close(TRUE);

  WriteBytes(file, ReadBytes(file) + "!");
  EXPECT_EQ(CZipException::cdirNotFound, CauseOf([&] { reader.Open(file.c_str(), 0, 0); }));
}

TEST(ZipMethods, UnsupportedMethodIsRefusedWhenTheEntryOpens) {
  const std::string dir = FreshDir();
  const std::string file = dir + "/bzip2.zip";
  ASSERT_EQ(0, MakeArchive("bzip2 " + file));
  CZipReader reader;
  ASSERT_TRUE(reader.Open(file.c_str(), 0, 0));
  EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { reader.OpenEntry(0); }));
  EXPECT_FALSE(std::filesystem::exists(dir + "/out/b.txt"));
  reader.Close(TRUE);

  // Local header and central header disagree on the method.
  std::string bytes = ReadBytes(file);
  bytes[bytes.find("PK\x03\x04") + 8] = 8;
  WriteBytes(file, bytes);
  ASSERT_TRUE(reader.Open(file.c_str(), 0, 0));
  EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { reader.ExtractEntry(0, dir.c_str()); }));
}

}  // namespace
