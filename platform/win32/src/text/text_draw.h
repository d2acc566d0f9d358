#pragma once
// Drawing one run of text on a DC: what TextOut, ExtTextOut and DrawText share.
#include <string_view>
#include <vector>

#include "gdi/dc.h"

namespace win32::text {

struct RunRequest {
  int x = 0, y = 0;               // logical reference point (ignored with TA_UPDATECP)
  UINT align = 0;                 // TA_ flags
  UINT options = 0;               // ETO_OPAQUE, ETO_CLIPPED
  const RECT* rect = nullptr;     // logical rectangle for the options
  const std::vector<int>* advances = nullptr;
  const std::vector<bool>* underlined = nullptr;
};

// Draws text in the DC's font and colours; the font's escapement turns it about the reference
// point in steps of 90 degrees.
void DrawRun(gdi::DeviceContext& dc, std::u32string_view text, const RunRequest& request);

}  // namespace win32::text
