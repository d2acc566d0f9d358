#include <gtest/gtest.h>

#include "colour_ops.h"

namespace menus_test {
namespace {

TEST(MenuColours, Placeholder) { EXPECT_EQ(styled_menu::Darken(0, RGB(1, 2, 3)), RGB(1, 2, 3)); }

}  // namespace
}  // namespace menus_test
