#pragma once
// The preview graph: the render engine over the timeline, each group's pin rendered to the screen
// or the sound output (through the overlay filter when the overlay is used).
#include "conversion/conversion_graph.h"
#include "overlay/overlay_driver.h"

// Builds into graph (which must hold none); the first failing step's result is returned.
HRESULT BuildPreviewGraph(IAMTimeline* timeline, bool useOverlay, OverlayDriver& overlay, ConversionGraph& graph);
