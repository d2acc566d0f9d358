#pragma once
// The end of a conversion graph: the writer of one output type and what feeds it.
#include "conversion/output_settings.h"
#include "dshow/dshow.h"
#include "ole/comptr.h"

// A compressor Save bound from its device category, with the name it is listed under.
struct BoundFilter {
  ComPtr<IBaseFilter> filter;
  CString name;
};

// What a writer stage is made from: the settings and what Save bound for them.
struct WriterInputs {
  OutputSettings& settings;
  const BoundFilter& videoCompressor;
  const BoundFilter& audioCompressor;
  // The chosen Windows Media profile; GUID_NULL when there is none.
  GUID profileId;
};

// The graph being built, as a writer stage sees it.
struct GraphBuild {
  ICaptureGraphBuilder2* builder;
  IGraphBuilder* graph;
  // The graph's writer, which the stage makes.
  ComPtr<IBaseFilter>& writer;
  // The owner of the messages a stage shows.
  HWND window;

  // One RenderStream from a filter or pin, through a filter when one is given, to a sink (none: the
  // screen). The builder's answer is not examined.
  void Render(IUnknown* from, IBaseFilter* through, IBaseFilter* to) const {
    builder->RenderStream(nullptr, nullptr, from, through, to);
  }
};

class WriterStage {
 public:
  virtual ~WriterStage() = default;

  // Adds the writer for outputFile and the filters in front of it; a failure ends the build.
  virtual HRESULT Add(GraphBuild& build, LPCTSTR outputFile) = 0;
  // Connects the video to the writer: the tee, or the overlay filter behind it.
  virtual void RenderVideo(GraphBuild& build, IBaseFilter* video) = 0;
  // Connects an audio group's output pin to the writer.
  virtual void RenderAudio(GraphBuild& build, IPin* pin) = 0;
  // Settings of the writer's connected inputs, once every group is wired.
  virtual void AfterGroups(GraphBuild&) {}
  // Whether the graph keeps its clock (runs in real time) instead of running as fast as it can.
  virtual bool KeepsGraphClock() const { return false; }
};

// The capture graph builder's own writer for a subtype, the AVI multiplexer or the ASF writer,
// with its file sink. A name the sink refuses is reported to the user and fails the build: a graph
// that would write nothing is not run.
HRESULT AddBuilderWriter(GraphBuild& build, const GUID& subtype, LPCTSTR outputFile);
