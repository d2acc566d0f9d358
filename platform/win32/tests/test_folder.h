#pragma once
// A fresh folder per test inside the process's sandbox, in POSIX and platform form.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <string>

#include "testing/sandbox.h"
#include "win32/paths.h"

namespace win32_test {

inline std::string MakeTestFolder() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  std::string folder = testing_support::SandboxDir() + "/" + info->test_suite_name() + "." + info->name();
  mkdir(folder.c_str(), 0777);
  return folder;
}

inline void WriteText(const std::string& posixPath, const std::string& text) {
  std::ofstream(posixPath, std::ios::binary) << text;
}

inline std::string ReadText(const std::string& posixPath) {
  std::ifstream in(posixPath, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace win32_test
