// Archives made elsewhere or made to harm: names that leave the folder, foreign attributes,
// folders without their attribute, partial reads, sizes that lie.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>

#include "zip/zip_reader.h"
#include "zip_test_support.h"

using namespace zip_test;

namespace {

int ExtractAll(CZipReader& reader, const std::string& folder) {
  int extracted = 0;
  for (int i = 0; i < reader.GetCount(); ++i)
    extracted += reader.ExtractEntry((WORD)i, folder.c_str()) ? 1 : 0;
  return extracted;
}

class ZipMends : public ::testing::Test {
 protected:
  void SetUp() override { dir = FreshDir(); }

  // Makes dir/<kind>.zip with the archive maker script and opens it.
  void Open(const std::string& kind, const std::string& sources = "") {
    const std::string archive = dir + "/" + kind + ".zip";
    ASSERT_EQ(0, MakeArchive(kind + " " + archive + " " + sources));
    ASSERT_TRUE(reader.Open(archive.c_str(), 0, 0));
  }

  std::string dir;
  CZipReader reader;
};

TEST_F(ZipMends, NamesOutsideTheFolderAreRefusedAndTheOthersExtract) {
  Open("unsafe");
  const std::string out = dir + "/inside/out";
  for (int i = 0; i < reader.GetCount(); ++i) {
    CZipEntryHeader header;
    reader.GetFileInfo(header, (WORD)i);
    const bool good = header.GetFileName() == "good.txt";
    SetLastError(0);
    EXPECT_EQ(good, (bool)reader.ExtractEntry((WORD)i, out.c_str())) << header.GetFileName().GetString();
    if (!good) {
      EXPECT_EQ((DWORD)ERROR_BAD_PATHNAME, GetLastError());
    }
  }
  EXPECT_EQ("payload\n", ReadBytes(out + "/good.txt"));
  // Nothing but good.txt anywhere under the test folder besides the archive.
  int files = 0;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(dir))
    if (entry.is_regular_file() && entry.path().extension() != ".zip") ++files;
  EXPECT_EQ(1, files);
  EXPECT_FALSE(std::filesystem::exists("/abs.txt"));
  // A bare ".." as the file name is refused without the folders as well.
  EXPECT_FALSE(reader.ExtractEntry(4, out.c_str(), FALSE));
}

TEST_F(ZipMends, FoldersWithoutTheFolderAttributeAreFolders) {
  Open("folders");
  ASSERT_EQ(3, reader.GetCount());
  EXPECT_TRUE(reader.IsFolder(0));
  EXPECT_FALSE(reader.IsFolder(1));
  EXPECT_TRUE(reader.IsFolder(2));
  EXPECT_EQ(3, ExtractAll(reader, dir + "/out"));
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/out/plain"));
  EXPECT_TRUE(std::filesystem::is_directory(dir + "/out/nested/deeper"));
  EXPECT_EQ("payload\n", ReadBytes(dir + "/out/plain/inner.txt"));
}

TEST_F(ZipMends, OnlyTheLowByteOfForeignAttributesIsApplied) {
  Open("unixmodes");
  EXPECT_EQ(3, ExtractAll(reader, dir + "/out"));
  for (const char* name : {"noattr.txt", "foreign.txt", "readonly.txt"}) {
    SCOPED_TRACE(name);
    struct stat st{};
    ASSERT_EQ(0, stat((dir + "/out/" + name).c_str(), &st));
    EXPECT_TRUE(S_ISREG(st.st_mode));
    EXPECT_TRUE(st.st_mode & S_IRUSR);
    EXPECT_EQ(std::string(name) != "readonly.txt", (st.st_mode & S_IWUSR) != 0);
    EXPECT_EQ("mode test\n", ReadBytes(dir + "/out/" + name));
  }
}

TEST_F(ZipMends, Utf8NamesAndEntriesWithoutADateExtract) {
  Open("utf8");
  EXPECT_EQ(2, ExtractAll(reader, dir + "/out"));
  EXPECT_EQ("payload\n", ReadBytes(dir + "/out/caf\u00e9/na\u00efve.txt"));
  EXPECT_EQ("payload\n", ReadBytes(dir + "/out/\u65e5\u672c.txt"));
  reader.Close(TRUE);

  Open("dosdate0");
  EXPECT_TRUE(reader.ExtractEntry(0, (dir + "/zero").c_str()));
  EXPECT_EQ("payload\n", ReadBytes(dir + "/zero/zero.txt"));
}

// Entry times are local times of their own date: daylight saving is that of the date, not of the
// day of extraction, so one of the two entries was an hour off in either season.
TEST_F(ZipMends, EntryTimesUseTheOffsetOfTheirOwnDate) {
  const char* saved = getenv("TZ");
  const std::string previous = saved ? saved : "";
  setenv("TZ", "Europe/Berlin", 1);
  tzset();
  Open("seasons");
  EXPECT_EQ(2, ExtractAll(reader, dir + "/out"));
  EXPECT_EQ(1626246486, ModificationTime(dir + "/out/summer.txt"));  // 2021-07-14 07:08:06 UTC
  EXPECT_EQ(1610611686, ModificationTime(dir + "/out/winter.txt"));  // 2021-01-14 08:08:06 UTC
  if (saved)
    setenv("TZ", previous.c_str(), 1);
  else
    unsetenv("TZ");
  tzset();
}

TEST_F(ZipMends, PartialReadClosesWithoutChecksAndReleasesTheEntry) {
  const std::string text = dir + "/text.txt";
  WriteSource(text, Compressible(100000));
  WriteSource(dir + "/random.bin", Incompressible(50000, 3));
  // Entries with data descriptors: a check after a partial read would read the middle of the data.
  Open("descriptors", text + " " + dir + "/random.bin");
  for (WORD index : {0, 1}) {
    SCOPED_TRACE(index);
    char buffer[100];
    ASSERT_TRUE(reader.OpenEntry(index));
    EXPECT_FALSE(reader.OpenEntry(index));
    EXPECT_EQ(100u, reader.ReadEntry(buffer, sizeof buffer));
    EXPECT_EQ(CZipReader::closeIncomplete, reader.CloseEntry());
    EXPECT_EQ(CZipReader::closeNothingOpen, reader.CloseEntry());
    EXPECT_EQ(0u, reader.ReadEntry(buffer, sizeof buffer));
  }
  // Read whole, the same entries close cleanly.
  std::string whole(100000, '\0');
  ASSERT_TRUE(reader.OpenEntry(0));
  EXPECT_EQ(100000u, reader.ReadEntry(whole.data(), 200000));
  EXPECT_EQ(0u, reader.ReadEntry(whole.data(), 10));
  EXPECT_EQ(CZipReader::closeOk, reader.CloseEntry());
  EXPECT_EQ(Compressible(100000), whole);
}

// The file's time and attributes are written before the descriptor is checked, so a damaged
// descriptor still ends in an error but leaves the written file with its time.
TEST_F(ZipMends, DamagedDescriptorFailsAfterTheFileGetsItsTime) {
  const std::string text = dir + "/text.txt";
  WriteSource(text, Compressible(100000));
  const std::string archive = dir + "/d.zip";
  ASSERT_EQ(0, MakeArchive("descriptors " + archive + " " + text));
  std::string bytes = ReadBytes(archive);
  const size_t descriptor = bytes.find("PK\x07\x08");
  ASSERT_NE(std::string::npos, descriptor);
  bytes[descriptor + 4] ^= 1;  // its CRC-32
  WriteBytes(archive, bytes);
  ASSERT_TRUE(reader.Open(archive.c_str(), 0, 0));
  EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { reader.ExtractEntry(0, (dir + "/out").c_str()); }));
  EXPECT_EQ(Compressible(100000), ReadBytes(dir + "/out/d0.bin"));
  EXPECT_EQ(SourceTime(), ModificationTime(dir + "/out/d0.bin") & ~1LL);
}

TEST_F(ZipMends, SizesThatDisagreeWithTheDataEndInAnError) {
  const std::string source = dir + "/s.txt";
  WriteSource(source, Compressible(5000));
  ASSERT_EQ(0, zip_test::Run("cd " + dir + " && zip -q -0 a.zip s.txt && zip -q -9 b.zip s.txt"));
  struct Case {
    const char* archive;
    size_t localOffset;    // a size field in the local header
    size_t centralOffset;  // the same field in the central header
    uint32_t value;
  };
  // Stored: uncompressed size larger than the stored data. Deflated: a size that is too large,
  // then one too small for what the stream holds.
  for (const Case& c : {Case{"a.zip", 22, 24, 9000}, Case{"b.zip", 22, 24, 9000}, Case{"b.zip", 22, 24, 100},
                        Case{"b.zip", 18, 20, 0x7FFFFFF0}}) {
    SCOPED_TRACE(std::string(c.archive) + " " + std::to_string(c.localOffset) + " " + std::to_string(c.value));
    const std::string path = dir + "/" + c.archive;
    std::string bytes = ReadBytes(path);
    const size_t centralAt = bytes.rfind("PK\x01\x02");
    for (int i = 0; i < 4; ++i) {
      bytes[c.localOffset + i] = (char)(c.value >> (8 * i));
      bytes[centralAt + c.centralOffset + i] = (char)(c.value >> (8 * i));
    }
    const std::string patched = dir + "/patched.zip";
    WriteBytes(patched, bytes);
    CZipReader damaged;
    ASSERT_TRUE(damaged.Open(patched.c_str(), 0, 0));
    EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { damaged.ExtractEntry(0, (dir + "/out").c_str()); }));
  }
  // The local compressed size alone disagreeing with the central one is damage too, though the
  // central size would extract.
  std::string bytes = ReadBytes(dir + "/b.zip");
  bytes[18] ^= 1;
  WriteBytes(dir + "/local.zip", bytes);
  CZipReader damaged;
  ASSERT_TRUE(damaged.Open((dir + "/local.zip").c_str(), 0, 0));
  EXPECT_EQ(CZipException::badZipFile, CauseOf([&] { damaged.ExtractEntry(0, (dir + "/local").c_str()); }));
  EXPECT_FALSE(std::filesystem::exists(dir + "/local/s.txt"));
}

}  // namespace

namespace {

TEST_F(ZipMends, EntryEndingExactlyAtTheBufferEndClosesCleanly) {
  // The last read delivers the final byte; the end of the deflated stream is still unread.
  WriteSource(dir + "/exact.txt", Compressible(2 * 65535));
  ASSERT_EQ(0, zip_test::Run("cd " + dir + " && zip -q -9 exact.zip exact.txt"));
  ASSERT_TRUE(reader.Open((dir + "/exact.zip").c_str(), 0, 0));
  EXPECT_TRUE(reader.ExtractEntry(0, (dir + "/out").c_str()));
  EXPECT_EQ(Compressible(2 * 65535), ReadBytes(dir + "/out/exact.txt"));
  std::string buffer(65535, '\0');
  ASSERT_TRUE(reader.OpenEntry(0));
  EXPECT_EQ(65535u, reader.ReadEntry(buffer.data(), 65535));
  EXPECT_EQ(65535u, reader.ReadEntry(buffer.data(), 65535));
  EXPECT_EQ(0u, reader.ReadEntry(buffer.data(), 65535));
  EXPECT_EQ(CZipReader::closeOk, reader.CloseEntry());
}

TEST_F(ZipMends, EntryIsReleasedWhenItsFileCannotBeWrittenOrGivenItsTime) {
  WriteSource(dir + "/a.txt", "abc\n");
  ASSERT_EQ(0, zip_test::Run("cd " + dir + " && zip -q a.zip a.txt"));
  ASSERT_TRUE(reader.Open((dir + "/a.zip").c_str(), 0, 0));
  char buffer[8];
  ASSERT_TRUE(reader.OpenEntry(0));
  EXPECT_EQ(4u, reader.ReadEntry(buffer, sizeof buffer));
  EXPECT_EQ(0, reader.CloseEntry((dir + "/missing/a.txt").c_str()));
  ASSERT_TRUE(reader.OpenEntry(0));
  EXPECT_EQ(CZipReader::closeIncomplete, reader.CloseEntry());

  // The target folder is a file: the framework's file exception, and the entry is free again.
  WriteBytes(dir + "/blocked", "file");
  EXPECT_EQ(-1, CauseOf([&] { reader.ExtractEntry(0, (dir + "/blocked").c_str()); }));
  EXPECT_TRUE(reader.ExtractEntry(0, (dir + "/out").c_str()));
  EXPECT_EQ("abc\n", ReadBytes(dir + "/out/a.txt"));

  // Closing the archive normally closes an open entry first.
  ASSERT_TRUE(reader.OpenEntry(0));
  reader.Close();
  EXPECT_TRUE(reader.IsClosed());
}

}  // namespace
