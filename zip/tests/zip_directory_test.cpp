// The central directory as read: the end record's fields and comment, where the record lies,
// the search for it in overlapping windows, the open entry, and names kept as stored.
#include <gtest/gtest.h>

#include <algorithm>

#include "zip/zip_directory.h"
#include "zip/zip_reader.h"
#include "zip/zip_volume_storage.h"
#include "zip_test_support.h"

using namespace zip_test;

namespace {

std::string Name(const CZipEntryHeader& header) {
  return std::string(reinterpret_cast<const char*>(header.m_name.GetBuffer()), header.m_name.GetSize());
}

// The end record is searched for from the end in windows of 32768 bytes. A comment of n bytes
// puts the record's signature n + 22 bytes from the end: these cut it at each of its three
// inner byte boundaries by the first window's edge, and leave it whole just inside.
TEST(ZipDirectory, ASignatureCutByAWindowsEdgeIsFound) {
  const std::string dir = FreshDir();
  ASSERT_EQ(0, MakeArchive("comment " + dir + "/plain.zip"));
  const std::string plain = ReadBytes(dir + "/plain.zip");
  for (int comment : {32746, 32747, 32748, 32749, 32750}) {
    std::string bytes = plain;
    bytes[bytes.size() - 2] = char(comment & 0xFF);
    bytes[bytes.size() - 1] = char(comment >> 8);
    const std::string file = dir + "/c" + std::to_string(comment) + ".zip";
    WriteBytes(file, bytes + std::string(size_t(comment), ' '));
    CZipVolumeStorage storage;
    storage.Open(file.c_str());
    CZipDirectory directory(storage);
    ASSERT_EQ(0, CauseOf([&] { directory.Read(); })) << comment;
    EXPECT_EQ(ReadBytes(file).size() - 22 - comment, directory.GetRecordPosition()) << comment;
    EXPECT_EQ(DWORD(comment), directory.GetComment().GetSize());
    EXPECT_EQ(1, directory.GetCount());
  }
}

TEST(ZipDirectory, KeepsTheEndRecordItsCommentAndTheOpenEntry) {
  const std::string dir = FreshDir();
  MakeSourceTree(dir + "/src");
  ASSERT_EQ(0, zip_test::Run("cd " + dir + "/src && zip -q -r ../a.zip text.txt sub && printf 'skin package' | zip -q -z ../a.zip"));
  const std::string stub = dir + "/stub.zip";
  WriteBytes(stub, std::string(100, 'M') + ReadBytes(dir + "/a.zip"));

  CZipVolumeStorage storage;
  storage.Open(stub.c_str());
  CZipDirectory directory(storage);
  directory.Read();
  const CZipDirectory::EndRecord& record = directory.GetEndRecord();
  EXPECT_EQ(0, record.thisDisk);
  EXPECT_EQ(0, record.directoryDisk);
  EXPECT_EQ(4, record.totalEntries);  // text.txt, sub/, sub/deeper/, sub/deeper/nested.txt
  EXPECT_EQ(record.totalEntries, record.entriesOnDisk);
  EXPECT_EQ(directory.GetCount(), record.totalEntries);
  EXPECT_EQ("skin package", std::string(reinterpret_cast<const char*>(directory.GetComment().GetBuffer()),
                                        directory.GetComment().GetSize()));
  EXPECT_EQ(ReadBytes(stub).size() - 22 - 12, directory.GetRecordPosition());
  EXPECT_EQ(100u, directory.GetBytesBefore());
  EXPECT_EQ(directory.GetRecordPosition(),
            ULONGLONG(record.directoryOffset) + record.directorySize + directory.GetBytesBefore());

  EXPECT_EQ(nullptr, directory.GetCurrent());
  directory.OpenEntry(0);
  EXPECT_EQ(&directory.GetHeader(0), directory.GetCurrent());
  directory.CloseEntry();
  EXPECT_EQ(nullptr, directory.GetCurrent());

  directory.OpenEntry(0);
  directory.Clear();
  EXPECT_EQ(nullptr, directory.GetCurrent());
  EXPECT_EQ(0, directory.GetEndRecord().totalEntries);
  EXPECT_EQ(0u, directory.GetComment().GetSize());
}

// Off, the headers keep the stored names; a copy handed out is still converted, and folders are
// still folders.
TEST(ZipDirectory, NamesKeptAsStoredAreConvertedInTheCopiesHandedOut) {
  const std::string dir = FreshDir();
  MakeSourceTree(dir + "/src");
  const std::string file = dir + "/a.zip";
  ASSERT_EQ(0, zip_test::Run("cd " + dir + "/src && zip -q -r ../a.zip sub"));

  CZipVolumeStorage storage;
  storage.Open(file.c_str());
  CZipDirectory directory(storage);
  EXPECT_TRUE(directory.GetConvertNames());
  directory.Read();
  std::vector<std::string> converted;
  for (int i = 0; i < directory.GetCount(); ++i) converted.push_back(Name(directory.GetHeader(i)));
  EXPECT_EQ((std::vector<std::string>{"sub\\", "sub\\deeper\\", "sub\\deeper\\nested.txt"}), converted);

  directory.SetConvertNames(FALSE);
  directory.Read();
  ASSERT_EQ(3, directory.GetCount());
  for (int i = 0; i < directory.GetCount(); ++i) {
    std::string stored = converted[i];
    std::replace(stored.begin(), stored.end(), '\\', '/');
    EXPECT_EQ(stored, Name(directory.GetHeader(i)));
    CZipEntryHeader copy;
    directory.GetFileInfo(copy, i);
    EXPECT_EQ(converted[i], Name(copy));
    EXPECT_EQ(i < 2, directory.GetHeader(i).IsDirectory() != FALSE) << stored;
  }
}

}  // namespace
