#include "testing/sandbox.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace testing_support {

static std::string g_sandbox;

const std::string& SandboxDir() { return g_sandbox; }

}  // namespace testing_support

namespace {

// Points the platform's per-process configuration into the sandbox unless a test's CTest
// properties already chose something else.
void PrepareSandbox() {
  std::string tmpl = (std::filesystem::temp_directory_path() / "corvane-test-XXXXXX").string();
  if (!mkdtemp(tmpl.data())) {
    perror("mkdtemp");
    std::exit(2);
  }
  testing_support::g_sandbox = tmpl;
  const std::string home = tmpl + "/home";
  const std::string config = tmpl + "/config";
  std::filesystem::create_directories(home);
  std::filesystem::create_directories(config);
  setenv("CORVANE_REGISTRY", (config + "/registry.txt").c_str(), 0);
  setenv("CORVANE_CDRIVE", home.c_str(), 0);
  setenv("XDG_CONFIG_HOME", config.c_str(), 0);
  setenv("CORVANE_CLOCK", "virtual", 0);
  setenv("CORVANE_DISPLAY", "headless", 0);
}

}  // namespace

int main(int argc, char** argv) {
  PrepareSandbox();
  ::testing::InitGoogleTest(&argc, argv);
  int rc = RUN_ALL_TESTS();
  std::error_code ec;
  std::filesystem::remove_all(testing_support::g_sandbox, ec);
  return rc;
}
