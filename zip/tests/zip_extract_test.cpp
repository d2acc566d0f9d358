// Extracting entries of archives made by the reference tools: bytes, times, attributes, folders.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "zip/zip_reader.h"
#include "zip_test_support.h"

using namespace zip_test;

namespace {

// Extracts every entry; the number that reported success.
int ExtractAll(CZipReader& reader, const std::string& folder, BOOL fullPath = TRUE) {
  int extracted = 0;
  for (int i = 0; i < reader.GetCount(); ++i)
    extracted += reader.ExtractEntry((WORD)i, folder.c_str(), fullPath) ? 1 : 0;
  return extracted;
}

bool IsReadOnly(const std::string& path) {
  return (GetFileAttributes(path.c_str()) & FILE_ATTRIBUTE_READONLY) != 0;
}

class ZipExtract : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = FreshDir();
    source = dir + "/src";
    MakeSourceTree(source);
  }

  // Runs a tool in the source folder to make dir/<name>.
  std::string Make(const std::string& name, const std::string& command) {
    const std::string archive = dir + "/" + name;
    EXPECT_EQ(0, zip_test::Run("cd " + source + " && " + command + " " + archive + " " + Inputs() + " >/dev/null"));
    return archive;
  }

  static std::string Inputs() { return "text.txt random.bin empty.txt sub readonly.txt"; }

  std::string dir;
  std::string source;
  CZipReader reader;
};

TEST_F(ZipExtract, StoredAndDeflatedArchivesGiveTheOriginalFilesTimesAndAttributes) {
  for (const char* level : {"-0", "-9"}) {
    SCOPED_TRACE(level);
    const std::string out = dir + "/out" + level;
    ASSERT_TRUE(reader.Open(Make(std::string("a") + level + ".zip", std::string("zip -q -r ") + level).c_str(), 0, 0));
    EXPECT_EQ(reader.GetCount(), ExtractAll(reader, out));
    reader.Close(TRUE);
    ExpectSameFiles(source, out);
    EXPECT_TRUE(IsReadOnly(out + "/readonly.txt"));
    EXPECT_FALSE(IsReadOnly(out + "/text.txt"));
    EXPECT_TRUE(std::filesystem::is_directory(out + "/sub/deeper"));
  }
}

TEST_F(ZipExtract, WithoutFullPathOnlyTheFileNameIsUsedAndTrailingBackslashesDoNotMatter) {
  ASSERT_TRUE(reader.Open(Make("a.zip", "zip -q -r").c_str(), 0, 0));
  int nested = -1;
  for (int i = 0; i < reader.GetCount(); ++i) {
    CZipEntryHeader header;
    reader.GetFileInfo(header, (WORD)i);
    if (header.GetFileName() == "sub\\deeper\\nested.txt") nested = i;
  }
  ASSERT_GE(nested, 0);
  EXPECT_TRUE(reader.ExtractEntry((WORD)nested, (dir + "/flat").c_str(), FALSE));
  EXPECT_EQ(ReadBytes(source + "/sub/deeper/nested.txt"), ReadBytes(dir + "/flat/nested.txt"));
  EXPECT_FALSE(std::filesystem::exists(dir + "/flat/sub"));
  EXPECT_TRUE(reader.ExtractEntry((WORD)nested, (dir + "/deep\\\\\\").c_str(), TRUE));
  EXPECT_EQ(ReadBytes(source + "/sub/deeper/nested.txt"), ReadBytes(dir + "/deep/sub/deeper/nested.txt"));
  EXPECT_TRUE(reader.ExtractEntry((WORD)nested, (dir + "/renamed").c_str(), TRUE, "x\\y.txt"));
  EXPECT_EQ(ReadBytes(source + "/sub/deeper/nested.txt"), ReadBytes(dir + "/renamed/x/y.txt"));
}

TEST_F(ZipExtract, ArchivesOfOtherToolsExtract) {
  // bsdtar streams its entries with data descriptors; Python writes them when it cannot seek,
  // with 8-byte sizes when asked for large-file records.
  const std::string bsdtar = Make("b.zip", "bsdtar --format zip -cf");
  ASSERT_TRUE(reader.Open(bsdtar.c_str(), 0, 0));
  EXPECT_EQ(reader.GetCount(), ExtractAll(reader, dir + "/bsdtar"));
  reader.Close(TRUE);
  ExpectSameFiles(source, dir + "/bsdtar");

  const std::string sevenZip = Make("7.zip", "7z a -tzip -mx=5");
  ASSERT_TRUE(reader.Open(sevenZip.c_str(), 0, 0));
  EXPECT_EQ(reader.GetCount(), ExtractAll(reader, dir + "/7z"));
  reader.Close(TRUE);
  ExpectSameFiles(source, dir + "/7z");

  for (const char* kind : {"descriptors", "descriptors64"}) {
    SCOPED_TRACE(kind);
    const std::string archive = dir + "/" + kind + ".zip";
    ASSERT_EQ(0, MakeArchive(std::string(kind) + " " + archive + " " + source + "/text.txt " + source + "/random.bin"));
    ASSERT_TRUE(reader.Open(archive.c_str(), 0, 0));
    const std::string out = dir + "/" + kind;
    EXPECT_EQ(2, ExtractAll(reader, out));
    reader.Close(TRUE);
    EXPECT_EQ(ReadBytes(source + "/text.txt"), ReadBytes(out + "/d0.bin"));
    EXPECT_EQ(ReadBytes(source + "/random.bin"), ReadBytes(out + "/d1.bin"));
  }
}

TEST_F(ZipExtract, SpannedArchiveReadsAcrossVolumes) {
  // Info-ZIP names its volumes .z01, .z02, ...; the reader expects .000, .001, ... beside the
  // last volume, which holds the directory.
  WriteSource(source + "/big.bin", Incompressible(150000, 9));
  ASSERT_EQ(0, zip_test::Run("cd " + source + " && zip -q -r -s 64k " + dir + "/span.zip " + Inputs() + " big.bin"));
  for (int volume = 1; std::filesystem::exists(dir + "/span.z0" + std::to_string(volume)); ++volume) {
    char renamed[16];
    snprintf(renamed, sizeof renamed, "span.%03d", volume - 1);
    std::filesystem::rename(dir + "/span.z0" + std::to_string(volume), dir + "/" + renamed);
  }
  ASSERT_TRUE(std::filesystem::exists(dir + "/span.002"));
  ASSERT_TRUE(reader.Open((dir + "/span.zip").c_str(), 0, 0));
  EXPECT_EQ(8, reader.GetCount());
  EXPECT_EQ(8, ExtractAll(reader, dir + "/out"));
  reader.Close(TRUE);
  ExpectSameFiles(source, dir + "/out");
  EXPECT_EQ(ReadBytes(source + "/big.bin"), ReadBytes(dir + "/out/big.bin"));

  // A missing volume is a file that cannot be opened.
  std::filesystem::remove(dir + "/span.001");
  ASSERT_TRUE(reader.Open((dir + "/span.zip").c_str(), 0, 0));
  EXPECT_EQ(-1, CauseOf([&] { ExtractAll(reader, dir + "/again"); }));
}

TEST_F(ZipExtract, EncryptedEntriesNeedTheRightPassword) {
  for (const std::string tool : {"zip -q -r -P secret", "7z a -tzip -psecret -mem=ZipCrypto"}) {
    SCOPED_TRACE(tool);
    const std::string archive = Make("e.zip", tool);
    const std::string out = dir + "/out";
    ASSERT_TRUE(reader.Open(archive.c_str(), 0, 0));
    int text = -1;
    for (int i = 0; i < reader.GetCount(); ++i) {
      CZipEntryHeader header;
      reader.GetFileInfo(header, (WORD)i);
      if (header.GetFileName() == "text.txt") text = i;
    }
    ASSERT_GE(text, 0);
    SetLastError(0);
    EXPECT_FALSE(reader.ExtractEntry((WORD)text, out.c_str()));
    EXPECT_EQ(ERROR_INVALID_PASSWORD, GetLastError());
    EXPECT_FALSE(std::filesystem::exists(out + "/text.txt"));

    // The encryption header checks one byte, so about one wrong password in 256 passes the check
    // and fails later on the data instead; among several, most must be refused as wrong.
    int refused = 0;
    for (const char* wrong : {"wrong", "wrong1", "wrong2", "wrong3", "wrong4", "wrong5"}) {
      reader.SetPassword(wrong);
      const int cause = CauseOf([&] { reader.ExtractEntry((WORD)text, out.c_str()); });
      EXPECT_TRUE(cause == CZipException::badPassword || cause == CZipException::dataError ||
                  cause == CZipException::badCrc)
          << wrong << " gave cause " << cause;
      if (cause == CZipException::badPassword) ++refused;
    }
    EXPECT_GE(refused, 4);
    reader.SetPassword("secret");
    EXPECT_EQ(reader.GetCount(), ExtractAll(reader, out));
    reader.Close(TRUE);
    ExpectSameFiles(source, out);

    // Opening again forgets the password.
    ASSERT_TRUE(reader.Open(archive.c_str(), 0, 0));
    EXPECT_FALSE(reader.OpenEntry((WORD)text));
    reader.Close(TRUE);
    std::filesystem::remove_all(out);
    std::filesystem::remove(archive);
  }
}

TEST_F(ZipExtract, AlteredDataFailsWithBadCrcOrDataErrorAfterTheFileIsWritten) {
  const std::string archive = Make("a.zip", "zip -q -r -9");
  const std::string original = ReadBytes(archive);
  // The data of text.txt starts after its local header (the first entry).
  const size_t data = 30 + 8 + (unsigned char)original[28] + ((unsigned char)original[29] << 8);
  for (size_t at : {data + 3000, data + 20}) {
    SCOPED_TRACE(at);
    std::string bytes = original;
    bytes[at] ^= 0x55;
    WriteBytes(archive, bytes);
    ASSERT_TRUE(reader.Open(archive.c_str(), 0, 0));
    const int cause = CauseOf([&] { reader.ExtractEntry(0, (dir + "/out").c_str()); });
    EXPECT_TRUE(cause == CZipException::badCrc || cause == CZipException::dataError) << cause;
    // The failed entry is released: the next one extracts.
    EXPECT_TRUE(reader.ExtractEntry(1, (dir + "/out").c_str()));
    reader.Close(TRUE);
  }
}

TEST_F(ZipExtract, ProgressCallbackCanStopAndTheStoppedFileKeepsTimeAndAttributes) {
  ASSERT_TRUE(reader.Open(Make("a.zip", "zip -q -r").c_str(), 0, 0));
  struct Progress {
    DWORD total = 0;
    DWORD written = 0;
    int calls = 0;
  } progress;
  auto stopAtOnce = [](DWORD total, DWORD written, void* user) -> BOOL {
    auto* p = static_cast<Progress*>(user);
    p->total = total;
    p->written = written;
    ++p->calls;
    return FALSE;
  };
  EXPECT_FALSE(reader.ExtractEntry(0, (dir + "/out").c_str(), TRUE, NULL, stopAtOnce, &progress, 1000));
  EXPECT_EQ(1, progress.calls);
  EXPECT_EQ(200000u, progress.total);
  EXPECT_EQ(1000u, progress.written);
  EXPECT_EQ(Compressible(1000), ReadBytes(dir + "/out/text.txt"));
  EXPECT_EQ(SourceTime(), ModificationTime(dir + "/out/text.txt") & ~1LL);

  auto keepGoing = [](DWORD, DWORD, void* user) -> BOOL {
    ++static_cast<Progress*>(user)->calls;
    return TRUE;
  };
  progress.calls = 0;
  EXPECT_TRUE(reader.ExtractEntry(0, (dir + "/whole").c_str(), TRUE, NULL, keepGoing, &progress, 65535));
  EXPECT_EQ(4, progress.calls);
  EXPECT_EQ(Compressible(200000), ReadBytes(dir + "/whole/text.txt"));
  EXPECT_FALSE(reader.ExtractEntry(0, (dir + "/none").c_str(), TRUE, NULL, NULL, NULL, 0));
  EXPECT_FALSE(reader.ExtractEntry(0, NULL));
}

}  // namespace
