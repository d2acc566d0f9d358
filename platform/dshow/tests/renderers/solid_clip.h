#pragma once
// A picture-only AVI of uncompressed frames in solid colours, for checking what reaches the
// screen.
#include <string>
#include <vector>

#include "win32/windows.h"

namespace dshow_test {

// One colour per frame, 25 frames a second. Returns an empty string on success, else what failed.
std::string MakeSolidClip(const std::string& path, int width, int height, const std::vector<COLORREF>& frames);

}  // namespace dshow_test
