#pragma once
// The overlay text, drawn in its brush mode and measured.
#include <optional>

#include "gdiplus/gdiplus.h"
#include "overlay_filter/logo_mixer.h"
#include "overlay_settings.h"

namespace overlay_filter {

struct TextExtent {
  int width = 0, height = 0;
};

// Draws the settings' text on a frame of the given height; the measured extent, or nothing for
// a brush mode that draws no text.
std::optional<TextExtent> DrawOverlayText(Gdiplus::Graphics& graphics, const OverlaySettings& settings, int frameHeight);

}  // namespace overlay_filter
