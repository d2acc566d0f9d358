// The FLV conversion's temporary file: made new in the temporary folder, and turned into the
// output at the end: injected when it can be, moved as written only when it holds a tag and the
// conversion was not aborted, otherwise the output stays as it was.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "conversion/flv_temporary_file.h"
#include "flv_test_support.h"
#include "testing/sandbox.h"
#include "win32/paths.h"

namespace {

namespace fs = std::filesystem;
using flv_test::TagSpec;

class FlvTemporaryFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder_ = testing_support::SandboxDir() + "/flv_temporary";
    fs::remove_all(folder_);
    fs::create_directories(folder_ + "/tmp");
    setenv("TMPDIR", (folder_ + "/tmp").c_str(), 1);
  }
  void TearDown() override { unsetenv("TMPDIR"); }

  std::string Posix(const CString& platformPath) { return PosixPathFromPlatform(std::string(platformPath)); }
  // A temporary file holding bytes, as a writer would leave it.
  void Fill(FlvTemporaryFile& temporary, const std::vector<uint8_t>& bytes) {
    ASSERT_TRUE(temporary.Create());
    flv_test::WriteFile(Posix(temporary.Path()), bytes);
  }
  size_t TemporaryFiles() {
    return size_t(std::distance(fs::directory_iterator(folder_ + "/tmp"), fs::directory_iterator()));
  }

  static std::vector<uint8_t> TwoTags() {
    return flv_test::MakeFlv({TagSpec{9, 0, {0x12, 1, 2, 3, 4}}, TagSpec{9, 40, {0x22, 5, 6, 7}}});
  }

  std::string folder_;
};

TEST_F(FlvTemporaryFileTest, CreatesANewEmptyFileNamedInHexadecimalEndingInXd) {
  FlvTemporaryFile first, second;
  ASSERT_TRUE(first.Create());
  ASSERT_TRUE(second.Create());
  EXPECT_NE(first.Path(), second.Path());
  for (const FlvTemporaryFile* file : {&first, &second}) {
    const fs::path path = Posix(file->Path());
    EXPECT_EQ(fs::path(folder_ + "/tmp"), path.parent_path());
    const std::string name = path.filename().string();
    EXPECT_EQ("xd", name.substr(name.size() - 2));
    EXPECT_EQ(std::string::npos, name.substr(0, name.size() - 2).find_first_not_of("0123456789abcdef"));
    EXPECT_EQ(0u, fs::file_size(path));
  }
  first.Discard();
  second.Discard();
  EXPECT_EQ(0u, TemporaryFiles());
}

// With every name taken there is no temporary file, and none of the files there is touched.
TEST_F(FlvTemporaryFileTest, NeverTakesOverAFileItDidNotCreate) {
  char name[16];
  for (int n = 0; n < 10000; ++n) {
    std::snprintf(name, sizeof name, "%xxd", n);
    std::ofstream(folder_ + "/tmp/" + name) << "kept";
  }
  FlvTemporaryFile temporary;
  EXPECT_FALSE(temporary.Create());
  EXPECT_FALSE(temporary.Pending());
  for (int n = 0; n < 10000; n += 97) {
    std::snprintf(name, sizeof name, "%xxd", n);
    EXPECT_EQ(4u, fs::file_size(folder_ + "/tmp/" + name)) << name;
  }
}

TEST_F(FlvTemporaryFileTest, FinishInjectsTheMetadataAndRemovesTheTemporaryFile) {
  FlvTemporaryFile temporary;
  Fill(temporary, TwoTags());
  const std::string output = folder_ + "/out.flv";
  temporary.Finish(output.c_str(), false);
  EXPECT_FALSE(temporary.Pending());
  EXPECT_EQ(0u, TemporaryFiles());
  const std::vector<flv_test::Tag> tags = flv_test::Tags(flv_test::ReadFile(output));
  ASSERT_EQ(3u, tags.size());
  EXPECT_EQ(18, tags[0].type);
}

struct FallbackCase {
  const char* name;
  bool tag;      // the file holds a complete picture tag
  bool aborted;  // the conversion did not run to its end
  bool moved;    // the output becomes the file as written
};
// Named in test output by its name, not by its bytes.
void PrintTo(const FallbackCase& c, std::ostream* os) { *os << c.name; }


class FlvFallbackTest : public FlvTemporaryFileTest, public ::testing::WithParamInterface<FallbackCase> {};

// The injector refuses a file whose back-pointer chain is broken.
TEST_P(FlvFallbackTest, AFileTheInjectorRefusesIsMovedOnlyWhenItHoldsATagAndRanToItsEnd) {
  const FallbackCase& c = GetParam();
  std::vector<uint8_t> bytes = c.tag ? TwoTags() : flv_test::MakeFlv({});
  if (c.tag) bytes[13 + 11 + 5] ^= 0xFF;
  FlvTemporaryFile temporary;
  Fill(temporary, bytes);
  const std::string output = folder_ + "/kept.flv";
  const std::vector<uint8_t> old{'o', 'l', 'd'};
  flv_test::WriteFile(output, old);
  temporary.Finish(output.c_str(), c.aborted);
  EXPECT_EQ(0u, TemporaryFiles());
  EXPECT_EQ(c.moved ? bytes : old, flv_test::ReadFile(output));
}

INSTANTIATE_TEST_SUITE_P(Cases, FlvFallbackTest,
                         ::testing::Values(FallbackCase{"TagRanToTheEnd", true, false, true},
                                           FallbackCase{"TagAborted", true, true, false},
                                           FallbackCase{"NoTag", false, false, false}),
                         [](const ::testing::TestParamInfo<FallbackCase>& info) { return info.param.name; });

}  // namespace
