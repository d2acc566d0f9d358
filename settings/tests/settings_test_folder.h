#pragma once
// A fresh folder per test inside the process's sandbox, and whole-file reads and writes.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "testing/sandbox.h"

namespace settings_test {

inline std::string FreshFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string folder = testing_support::SandboxDir() + "/" + info->test_suite_name() + "." + info->name();
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  return folder;
}

inline void WriteText(const std::string& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

// The file's text with its line ends (the platform writes CR LF) as plain LF.
inline std::string ReadLines(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string text(std::istreambuf_iterator<char>(in), {});
  std::erase(text, '\r');
  return text;
}

}  // namespace settings_test
