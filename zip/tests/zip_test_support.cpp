#include "zip_test_support.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "testing/sandbox.h"
#include "zip/zip_exception.h"

namespace zip_test {

std::string FreshDir() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  const std::string dir = testing_support::SandboxDir() + "/" + info->test_suite_name() + "." + info->name();
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

int Run(const std::string& command) {
  const int status = std::system(command.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int MakeArchive(const std::string& arguments) {
  return Run(std::string("python3 ") + ZIP_TEST_SCRIPT + " " + arguments);
}

std::string ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary).write(bytes.data(), (std::streamsize)bytes.size());
}

std::string Compressible(size_t size) {
  std::string text;
  for (unsigned line = 0; text.size() < size; ++line)
    text += "line " + std::to_string(line) + " of a text that deflates well\n";
  text.resize(size);
  return text;
}

std::string Incompressible(size_t size, unsigned seed) {
  std::mt19937 random(seed);
  std::string bytes(size, '\0');
  for (char& c : bytes) c = (char)random();
  return bytes;
}

long long SourceTime() {
  std::tm local{};
  local.tm_year = 2021 - 1900;
  local.tm_mon = 0;
  local.tm_mday = 14;
  local.tm_hour = 9;
  local.tm_min = 8;
  local.tm_sec = 6;
  local.tm_isdst = -1;
  return (long long)std::mktime(&local);
}

void WriteSource(const std::string& path, const std::string& bytes) {
  WriteBytes(path, bytes);
  const utimbuf times{(time_t)SourceTime(), (time_t)SourceTime()};
  utime(path.c_str(), &times);
}

long long ModificationTime(const std::string& path) {
  struct stat st{};
  return stat(path.c_str(), &st) == 0 ? (long long)st.st_mtime : -1;
}

void MakeSourceTree(const std::string& dir) {
  WriteSource(dir + "/text.txt", Compressible(200000));
  WriteSource(dir + "/random.bin", Incompressible(100000, 7));
  WriteSource(dir + "/empty.txt", "");
  WriteSource(dir + "/sub/deeper/nested.txt", Compressible(3000));
  WriteSource(dir + "/readonly.txt", "read only\n");
  chmod((dir + "/readonly.txt").c_str(), 0444);
}

const std::vector<std::string>& SourceFiles() {
  static const std::vector<std::string> files = {"text.txt", "random.bin", "empty.txt",
                                                  "sub/deeper/nested.txt", "readonly.txt"};
  return files;
}

void ExpectSameFiles(const std::string& source, const std::string& out) {
  for (const std::string& file : SourceFiles()) {
    SCOPED_TRACE(file);
    ASSERT_TRUE(std::filesystem::exists(out + "/" + file));
    EXPECT_EQ(ReadBytes(source + "/" + file), ReadBytes(out + "/" + file));
    EXPECT_LE(std::llabs(ModificationTime(out + "/" + file) - SourceTime()), 1);
  }
}

int CauseOf(const std::function<void()>& call, std::string* archivePath) {
  try {
    call();
  } catch (CZipException* e) {
    const int cause = e->m_cause;
    if (archivePath) *archivePath = e->m_archivePath.GetString();
    e->Delete();
    return cause;
  } catch (CException* e) {
    e->Delete();
    return -1;
  }
  return 0;
}

}  // namespace zip_test
