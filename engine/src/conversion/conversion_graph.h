#pragma once
// The graph a conversion runs: the render engine over the timeline, the filter graph it made and
// the writer at its end.
#include "des/qedit.h"
#include "dshow/dshow.h"
#include "ole/comptr.h"

class ConversionGraph {
 public:
  ConversionGraph() = default;
  ConversionGraph(const ConversionGraph&) = delete;
  ConversionGraph& operator=(const ConversionGraph&) = delete;

  // A new render engine for the timeline with its front end connected; the engine's graph becomes
  // this graph. The first failing step's result is returned.
  HRESULT Open(IAMTimeline* timeline);
  IRenderEngine* RenderEngine() const { return renderEngine_.get(); }
  IGraphBuilder* Graph() const { return graph_.get(); }
  ComPtr<IBaseFilter>& Writer() { return writer_; }

  // The graph's state (an infinite wait); with no graph, stopped and S_FALSE.
  HRESULT State(OAFilterState* state) const;
  bool Running() const;
  HRESULT Run();
  // Stops the graph, when there is one.
  void Stop();
  // Where the graph is, in 100-ns units (0 when it cannot say); a failure when it has no position.
  HRESULT CurrentPosition(LONGLONG* position) const;
  // The graph's notices, null without a graph.
  ComPtr<IMediaEventEx> Events() const;
  // The graph's notices are posted to window as message.
  void NotifyWindow(HWND window, UINT message);

  // Lets go of the graph: the render engine scraps it, every filter leaves it, and the writer, the
  // graph and the render engine are released.
  void Release();

 private:
  ComPtr<IRenderEngine> renderEngine_;
  ComPtr<IGraphBuilder> graph_;
  ComPtr<IBaseFilter> writer_;
};
