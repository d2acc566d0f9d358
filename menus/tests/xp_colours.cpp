// The looks are checked against the colours of the Windows XP scheme, which the platform's own
// palette no longer is: every run of these tests gets that scheme, whatever the caller's
// environment says. The window layer reads its colour overrides once, at the first colour asked
// for, which comes after the test environment is set up.
#include <gtest/gtest.h>

#include <cstdlib>

namespace menus_test {
namespace {

class XpColours : public ::testing::Environment {
 public:
  void SetUp() override {
    setenv("CORVANE_SYSCOLORS",
           "0=D4D0C8,2=0054E3,3=7A96DF,6=000000,10=D4D0C8,11=D4D0C8,12=808080,15=ECE9D8,16=ACA899,19=D8E4F8,"
           "21=716F64,22=F1EFE2,26=000080,27=3D95FF,28=9DB9EB",
           1);
  }
};

[[maybe_unused]] ::testing::Environment* const kXpColours = ::testing::AddGlobalTestEnvironment(new XpColours);

}  // namespace
}  // namespace menus_test
