// Archive bytes from anywhere: the reader opens them from a file and extracts every entry into a
// scratch folder. It may refuse them only with the framework's exceptions, and it never writes
// outside that folder.
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "zip/zip_reader.h"

namespace {

const std::string& ScratchDir() {
  static const std::string dir = [] {
    std::string pattern = (std::filesystem::temp_directory_path() / "zip-fuzz-XXXXXX").string();
    if (!mkdtemp(pattern.data())) std::abort();
    return pattern;
  }();
  return dir;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  namespace fs = std::filesystem;
  const std::string archive = ScratchDir() + "/package.skn";
  const std::string out = ScratchDir() + "/x/y/out";
  fs::remove_all(ScratchDir() + "/x");
  fs::create_directories(out);
  std::ofstream(archive, std::ios::binary).write(reinterpret_cast<const char*>(data), (std::streamsize)size);

  CZipReader reader;
  try {
    reader.Open(archive.c_str(), CZipReader::zipOpen, 0);
  } catch (CException* e) {
    e->Delete();
    return 0;
  }
  // With a password, encrypted entries are decrypted too.
  reader.SetPassword("secret");
  for (int i = 0; i < reader.GetCount(); ++i) {
    try {
      reader.ExtractEntry((WORD)i, out.c_str(), i % 2 == 0);
    } catch (CException* e) {
      e->Delete();
    }
  }
  reader.Close(TRUE);
  // Names with ".." must not have climbed out of the target folder.
  for (const char* level : {"", "/x", "/x/y"})
    for (const auto& entry : fs::directory_iterator(ScratchDir() + level)) {
      const std::string name = entry.path().filename().string();
      if (name != "package.skn" && name != "x" && name != "y" && name != "out") std::abort();
    }
  return 0;
}
