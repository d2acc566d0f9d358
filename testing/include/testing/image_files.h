#pragma once
// Small image files made at test time with FFmpeg's image encoders.
#include <cstdint>
#include <string>
#include <vector>

namespace testing_support {

// Writes a PNG of width x height from rows top-down, 4 bytes a pixel (red, green, blue, alpha).
// Returns an empty string on success, else what failed.
std::string WritePng(const std::string& path, int width, int height, const std::vector<uint8_t>& rgba);

}  // namespace testing_support
