#pragma once
// Shared helpers of the zip tests: a fresh folder per test, source files with known contents and
// times, the reference tools that make the archives, and catching the reader's exceptions.
#include <functional>
#include <string>
#include <vector>

namespace zip_test {

// A new empty folder for the running test (POSIX path).
std::string FreshDir();
// Runs a shell command; its exit status.
int Run(const std::string& command);
// Runs the archive maker script with arguments.
int MakeArchive(const std::string& arguments);

std::string ReadBytes(const std::string& path);
void WriteBytes(const std::string& path, const std::string& bytes);
// Deterministic contents: text that deflates well, or bytes that do not compress.
std::string Compressible(size_t size);
std::string Incompressible(size_t size, unsigned seed);

// Writes a file and gives it a fixed modification time (2021-01-14 09:08:06, local time).
void WriteSource(const std::string& path, const std::string& bytes);
long long SourceTime();  // that time, seconds since 1970
long long ModificationTime(const std::string& path);

// A folder of source files: text.txt (deflates well), random.bin (does not), empty.txt,
// sub/deeper/nested.txt and readonly.txt (without write permission), all with SourceTime().
void MakeSourceTree(const std::string& dir);
const std::vector<std::string>& SourceFiles();
// Every source file exists under `out` with the same bytes and modification time (to the two
// seconds the archive format keeps).
void ExpectSameFiles(const std::string& source, const std::string& out);

// The cause of the CZipException the call throws (the exception is deleted); 0 when it throws
// nothing, -1 for any other exception.
int CauseOf(const std::function<void()>& call, std::string* archivePath = nullptr);

}  // namespace zip_test
