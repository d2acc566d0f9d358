// Accelerator tables from resources and the translation of key messages into commands.
#include "user_fixture.h"

namespace win32_test {
namespace {

const ACCELTABLEENTRY kTable[] = {
    {FVIRTKEY | FCONTROL, 'O', 100, 0},
    {FVIRTKEY, VK_F5, 101, 0},
    {ACCEL_LAST_ENTRY, 'x', 102, 0},
};
// The end mark is missing: the table runs past its resource.
const ACCELTABLEENTRY kUnterminated[] = {{FVIRTKEY, 'A', 103, 0}};
const ResourceEntry kResources[] = {
    {RT_ACCELERATOR, MAKEINTRESOURCE(1), kTable, sizeof kTable},
    {RT_ACCELERATOR, MAKEINTRESOURCE(2), kUnterminated, sizeof kUnterminated},
};
const ModuleResources kRegistered(kResources);

class AcceleratorTest : public UserTest {
 protected:
  void SetUp() override {
    UserTest::SetUp();
    window = Top(0, 0, 50, 50);
    CurrentHandler() = [this](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
      if (m == WM_COMMAND) commands.push_back(w);
      return false;
    };
  }
  bool Translate(HACCEL table, UINT message, WPARAM key) {
    MSG msg{window, message, key, 0, 0, {0, 0}};
    return TranslateAcceleratorA(window, table, &msg) != 0;
  }
  HWND window = nullptr;
  std::vector<WPARAM> commands;
};

TEST_F(AcceleratorTest, KeysWithTheirModifiersBecomeCommands) {
  HACCEL table = LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(1));
  ASSERT_NE(table, nullptr);

  EXPECT_FALSE(Translate(table, WM_KEYDOWN, 'O')) << "Ctrl is not down";
  wu::InjectKey(VK_CONTROL, true);
  wu::PumpUntilIdle();
  EXPECT_TRUE(Translate(table, WM_KEYDOWN, 'O'));
  EXPECT_FALSE(Translate(table, WM_KEYDOWN, VK_F5)) << "F5 has no Ctrl in the table";
  wu::InjectKey(VK_CONTROL, false);
  wu::PumpUntilIdle();
  EXPECT_TRUE(Translate(table, WM_KEYDOWN, VK_F5));
  EXPECT_TRUE(Translate(table, WM_CHAR, 'x'));
  EXPECT_FALSE(Translate(table, WM_KEYDOWN, 'x')) << "a character entry is no virtual key";
  EXPECT_FALSE(Translate(table, WM_KEYUP, VK_F5));

  EXPECT_EQ(commands, (std::vector<WPARAM>{MAKEWPARAM(100, 1), MAKEWPARAM(101, 1), MAKEWPARAM(102, 1)}));
  EXPECT_TRUE(DestroyAcceleratorTable(table));
  EXPECT_FALSE(Translate(table, WM_KEYDOWN, VK_F5)) << "a destroyed table translates nothing";
}

TEST_F(AcceleratorTest, TablesWithoutEntriesOrEndMarkAreRefused) {
  EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(2)), nullptr);
  EXPECT_EQ(LoadAcceleratorsA(nullptr, MAKEINTRESOURCE(3)), nullptr);
  EXPECT_EQ(CreateAcceleratorTableA(nullptr, 0), nullptr);
  ACCEL one{FVIRTKEY, VK_F2, 7};
  HACCEL made = CreateAcceleratorTableA(&one, 1);
  ASSERT_NE(made, nullptr);
  EXPECT_TRUE(Translate(made, WM_KEYDOWN, VK_F2));
  EXPECT_TRUE(DestroyAcceleratorTable(made));
  EXPECT_FALSE(DestroyAcceleratorTable(made));
}

}  // namespace
}  // namespace win32_test
