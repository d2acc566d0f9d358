// Extraction time of one archive with the zip reader against Info-ZIP unzip, in one run.
// Usage: zip_extract_bench [folder] [megabytes]   (defaults: the current folder, 200)
// The archive is made here with Info-ZIP zip from files that deflate well and files that do not
// (half each); every file is removed at the end. Each tool extracts twice, in turn; the better
// time of each counts.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>

#include "zip/zip_reader.h"

namespace {

namespace fs = std::filesystem;

const size_t kFileSize = 4u << 20;

void MakeSources(const std::string& dir, uint64_t bytes) {
  std::mt19937 random(1);
  std::string block(kFileSize, '\0');
  for (size_t i = 0; uint64_t(i) * kFileSize < bytes; ++i) {
    if (i % 2 == 0) {
      for (char& c : block) c = char(random());
    } else {
      block.clear();
      for (unsigned line = 0; block.size() < kFileSize; ++line)
        block += "frame " + std::to_string(line * 7 + i) + " offset " + std::to_string(random() % 100000) + "\n";
      block.resize(kFileSize);
    }
    fs::create_directories(dir + "/set" + std::to_string(i % 5));
    std::ofstream(dir + "/set" + std::to_string(i % 5) + "/file" + std::to_string(i) + ".dat", std::ios::binary)
        .write(block.data(), std::streamsize(block.size()));
  }
}

template <typename F>
double Seconds(F&& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

void ExtractWithReader(const std::string& archive, const std::string& out) {
  CZipReader reader;
  reader.Open(archive.c_str(), CZipReader::zipOpen, 0);
  for (int i = 0; i < reader.GetCount(); ++i)
    if (!reader.ExtractEntry(WORD(i), out.c_str(), TRUE, NULL, NULL, NULL, 65535)) {
      std::fprintf(stderr, "entry %d failed\n", i);
      std::exit(1);
    }
  reader.Close(TRUE);
}

void ExtractWithUnzip(const std::string& archive, const std::string& out) {
  if (std::system(("unzip -qq -o " + archive + " -d " + out).c_str()) != 0) {
    std::fprintf(stderr, "unzip failed\n");
    std::exit(1);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const std::string base = fs::absolute(argc > 1 ? argv[1] : ".").string() + "/zip_extract_bench";
  const uint64_t megabytes = argc > 2 ? std::strtoull(argv[2], nullptr, 10) : 200;
  fs::remove_all(base);
  const std::string archive = base + "/bench.zip";
  MakeSources(base + "/src", megabytes << 20);
  if (std::system(("cd " + base + "/src && zip -q -r " + archive + " .").c_str()) != 0) {
    std::fprintf(stderr, "zip failed\n");
    return 1;
  }
  std::printf("archive: %.1f MB of files in %.1f MB\n", double(megabytes), double(fs::file_size(archive)) / (1 << 20));

  double reader = 1e30;
  double unzip = 1e30;
  try {
    for (int round = 0; round < 2; ++round) {
      fs::remove_all(base + "/out");
      reader = std::min(reader, Seconds([&] { ExtractWithReader(archive, base + "/out"); }));
      fs::remove_all(base + "/out");
      unzip = std::min(unzip, Seconds([&] { ExtractWithUnzip(archive, base + "/out"); }));
    }
  } catch (CException* e) {
    e->Delete();
    std::fprintf(stderr, "the reader threw\n");
    return 1;
  }
  std::printf("zip reader: %.3f s\nunzip:      %.3f s\nratio (reader / unzip): %.2f\n", reader, unzip, reader / unzip);
  fs::remove_all(base);
  return 0;
}
