#pragma once
// The timeline object (CLSID_AMTimeline): makes nodes and holds the groups.
#include <vector>

#include "des/timeline.h"
#include "timeline_node.h"

namespace des {

class Timeline : public CUnknown, public IAMTimeline {
 public:
  Timeline();
  ~Timeline() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP CreateEmptyNode(IAMTimelineObj** ppObj, TIMELINE_MAJOR_TYPE Type) override;
  STDMETHODIMP AddGroup(IAMTimelineObj* pGroup) override;
  STDMETHODIMP RemGroupFromList(IAMTimelineObj* pGroup) override;
  STDMETHODIMP GetGroup(IAMTimelineObj** ppGroup, LONG WhichGroup) override;
  STDMETHODIMP GetGroupCount(LONG* pCount) override;
  STDMETHODIMP ClearAllGroups() override;
  STDMETHODIMP GetInsertMode(LONG* pMode) override;
  STDMETHODIMP SetInsertMode(LONG Mode) override;
  STDMETHODIMP EnableTransitions(BOOL fEnabled) override;
  STDMETHODIMP TransitionsEnabled(BOOL* pfEnabled) override;
  STDMETHODIMP EnableEffects(BOOL fEnabled) override;
  STDMETHODIMP EffectsEnabled(BOOL* pfEnabled) override;
  STDMETHODIMP SetInterestRange(REFERENCE_TIME Start, REFERENCE_TIME Stop) override;
  STDMETHODIMP GetDuration(REFERENCE_TIME* pDuration) override;
  STDMETHODIMP GetDuration2(double* pDuration) override;
  STDMETHODIMP SetDefaultFPS(double FPS) override;
  STDMETHODIMP GetDefaultFPS(double* pFPS) override;

  // For the render engine.
  const TimelineNode::Children& Groups() const { return groups_; }
  REFERENCE_TIME InterestStart() const { return interestStart_; }
  REFERENCE_TIME InterestStop() const { return interestStop_; }
  REFERENCE_TIME Duration() const;
  bool DrawsTransitions() const { return transitions_ != FALSE; }
  bool DrawsEffects() const { return effects_ != FALSE; }
  LONG IndexOf(const TimelineNode* group) const;

 private:
  TimelineNode::Children groups_;
  double defaultFps_ = 15.0;
  BOOL transitions_ = TRUE;
  BOOL effects_ = TRUE;
  REFERENCE_TIME interestStart_ = 0;
  REFERENCE_TIME interestStop_ = INT64_MAX;
};

}  // namespace des
