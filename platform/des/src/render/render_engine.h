#pragma once
// The render engine (CLSID_RenderEngine).
#include <vector>

#include "des/render_engine.h"
#include "group_filter.h"
#include "ole/comptr.h"

namespace des {

class Timeline;
class TimelineNode;

class RenderEngine : public CUnknown, public IRenderEngine {
 public:
  RenderEngine();
  ~RenderEngine() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP SetTimelineObject(IAMTimeline* pTimeline) override;
  STDMETHODIMP GetTimelineObject(IAMTimeline** ppTimeline) override;
  STDMETHODIMP GetFilterGraph(IGraphBuilder** ppFG) override;
  STDMETHODIMP SetFilterGraph(IGraphBuilder* pFG) override;
  STDMETHODIMP SetInterestRange(REFERENCE_TIME Start, REFERENCE_TIME Stop) override;
  STDMETHODIMP SetInterestRange2(double Start, double Stop) override;
  STDMETHODIMP SetRenderRange(REFERENCE_TIME Start, REFERENCE_TIME Stop) override;
  STDMETHODIMP SetRenderRange2(double Start, double Stop) override;
  STDMETHODIMP GetGroupOutputPin(LONG Group, IPin** ppRenderPin) override;
  STDMETHODIMP ScrapIt() override;
  STDMETHODIMP RenderOutputPins() override;
  STDMETHODIMP GetVendorString(BSTR* pVendorID) override;
  STDMETHODIMP ConnectFrontEnd() override;

 private:
  // The plan of one group; VFW_E_INVALIDMEDIATYPE when its type cannot be delivered.
  HRESULT PlanGroup(const Timeline& timeline, const TimelineNode& group, GroupPlan* plan) const;
  // Opens the clip's file in the graph and connects its stream to a new input of the group; a
  // file without a stream of the group's kind gets no input (the clip's span is a gap).
  HRESULT ConnectClip(GroupFilter* group, size_t layer, size_t index);
  // Takes out of the graph every filter that was not there before the front end was built.
  void RemoveFrontEnd();
  void StopGraph();

  ComPtr<IAMTimeline> timeline_;
  ComPtr<IGraphBuilder> graph_;
  std::vector<ComPtr<GroupFilter>> groups_;
  std::vector<ComPtr<IBaseFilter>> before_;  // the graph's filters before the front end
  bool built_ = false;
  REFERENCE_TIME interestStart_ = 0, interestStop_ = INT64_MAX;
  REFERENCE_TIME renderStart_ = 0, renderStop_ = -1;  // -1: to the timeline's end
};

}  // namespace des
