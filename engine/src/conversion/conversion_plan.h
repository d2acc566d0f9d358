#pragma once
// One Save's way from the settings to a graph: the compressors the settings choose, bound from
// their device categories, and the output type's writer stage behind the render engine's groups.
#include <memory>

#include "conversion/conversion_graph.h"
#include "conversion/output_types.h"
#include "conversion/writer_stage.h"
#include "overlay/overlay_driver.h"

class ConversionPlan {
 public:
  // Binds the chosen video compressor (a DV encoder gets its format) and audio compressor, and
  // makes the type's writer stage, which the type must have. profileId is the chosen Windows Media
  // profile, GUID_NULL when there is none.
  ConversionPlan(const OutputTypeRow& type, OutputSettings& settings, const GUID& profileId);

  // Builds the conversion of the timeline into outputFile in graph: the render engine's front
  // end, the writer stage, the video tee, each group wired to the writer (video also to the live
  // view, and through the overlay when the settings use it), full interleaving and no clock.
  // window owns the messages the build shows. The first failure is returned; the graph is then
  // left as far as it got.
  HRESULT Build(IAMTimeline* timeline, LPCTSTR outputFile, HWND window, OverlayDriver& overlay, ConversionGraph& graph);

 private:
  HRESULT WireGroups(IAMTimeline* timeline, GraphBuild& build, IRenderEngine* engine, OverlayDriver& overlay);
  // The overlay filter behind a colour converter from the tee.
  HRESULT InsertOverlay(GraphBuild& build, IBaseFilter* tee, OverlayDriver& overlay);

  const OutputTypeRow& type_;
  const bool useOverlay_;
  std::unique_ptr<WriterStage> writer_;
};
