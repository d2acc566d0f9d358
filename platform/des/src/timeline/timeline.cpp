#include "timeline.h"

#include <algorithm>

namespace des {

Timeline::Timeline() : CUnknown("Timeline", nullptr) {}

Timeline::~Timeline() { ClearAllGroups(); }

STDMETHODIMP Timeline::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IAMTimeline) return GetInterface(static_cast<IAMTimeline*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

STDMETHODIMP Timeline::CreateEmptyNode(IAMTimelineObj** ppObj, TIMELINE_MAJOR_TYPE Type) {
  if (!ppObj) return E_POINTER;
  *ppObj = nullptr;
  switch (Type) {
    case TIMELINE_MAJOR_TYPE_COMPOSITE:
    case TIMELINE_MAJOR_TYPE_TRACK:
    case TIMELINE_MAJOR_TYPE_SOURCE:
    case TIMELINE_MAJOR_TYPE_TRANSITION:
    case TIMELINE_MAJOR_TYPE_EFFECT:
    case TIMELINE_MAJOR_TYPE_GROUP:
      break;
    default:
      return E_INVALIDARG;
  }
  return ComPtr<IAMTimelineObj>(new TimelineNode(Type, defaultFps_)).CopyTo(ppObj);
}

STDMETHODIMP Timeline::AddGroup(IAMTimelineObj* pGroup) {
  auto* group = dynamic_cast<TimelineNode*>(pGroup);
  if (!group) return E_POINTER;
  if (group->Type() != TIMELINE_MAJOR_TYPE_GROUP || group->AttachedTimeline()) return E_INVALIDARG;
  group->AttachTimeline(this);
  groups_.emplace_back(group);
  return S_OK;
}

STDMETHODIMP Timeline::RemGroupFromList(IAMTimelineObj* pGroup) {
  auto* group = dynamic_cast<TimelineNode*>(pGroup);
  if (!group) return E_POINTER;
  auto it = std::find(groups_.begin(), groups_.end(), group);
  if (it == groups_.end()) return E_INVALIDARG;
  ComPtr<TimelineNode> removed = std::move(*it);
  groups_.erase(it);
  group->AttachTimeline(nullptr);
  return S_OK;
}

STDMETHODIMP Timeline::GetGroup(IAMTimelineObj** ppGroup, LONG WhichGroup) {
  if (!ppGroup) return E_POINTER;
  *ppGroup = nullptr;
  if (WhichGroup < 0 || WhichGroup >= LONG(groups_.size())) return E_INVALIDARG;
  *ppGroup = groups_[WhichGroup].get();
  (*ppGroup)->AddRef();
  return S_OK;
}

STDMETHODIMP Timeline::GetGroupCount(LONG* pCount) {
  if (!pCount) return E_POINTER;
  *pCount = LONG(groups_.size());
  return S_OK;
}

STDMETHODIMP Timeline::ClearAllGroups() {
  TimelineNode::Children groups;
  groups.swap(groups_);
  for (const ComPtr<TimelineNode>& group : groups) group->AttachTimeline(nullptr);
  return S_OK;
}

STDMETHODIMP Timeline::GetInsertMode(LONG* pMode) {
  if (!pMode) return E_POINTER;
  *pMode = TIMELINE_INSERT_MODE_OVERLAY;
  return S_OK;
}

STDMETHODIMP Timeline::SetInsertMode(LONG Mode) {
  return Mode == TIMELINE_INSERT_MODE_OVERLAY ? S_OK : E_INVALIDARG;
}

STDMETHODIMP Timeline::EnableTransitions(BOOL fEnabled) {
  transitions_ = fEnabled ? TRUE : FALSE;
  return S_OK;
}

STDMETHODIMP Timeline::TransitionsEnabled(BOOL* pfEnabled) {
  if (!pfEnabled) return E_POINTER;
  *pfEnabled = transitions_;
  return S_OK;
}

STDMETHODIMP Timeline::EnableEffects(BOOL fEnabled) {
  effects_ = fEnabled ? TRUE : FALSE;
  return S_OK;
}

STDMETHODIMP Timeline::EffectsEnabled(BOOL* pfEnabled) {
  if (!pfEnabled) return E_POINTER;
  *pfEnabled = effects_;
  return S_OK;
}

STDMETHODIMP Timeline::SetInterestRange(REFERENCE_TIME Start, REFERENCE_TIME Stop) {
  if (Start < 0 || Stop <= Start) return E_INVALIDARG;
  interestStart_ = Start;
  interestStop_ = Stop;
  return S_OK;
}

REFERENCE_TIME Timeline::Duration() const {
  REFERENCE_TIME d = 0;
  for (const ComPtr<TimelineNode>& group : groups_) d = std::max(d, group->LatestStop());
  return d;
}

STDMETHODIMP Timeline::GetDuration(REFERENCE_TIME* pDuration) {
  if (!pDuration) return E_POINTER;
  *pDuration = Duration();
  return S_OK;
}

STDMETHODIMP Timeline::GetDuration2(double* pDuration) {
  if (!pDuration) return E_POINTER;
  *pDuration = SecondsFromUnits(Duration());
  return S_OK;
}

STDMETHODIMP Timeline::SetDefaultFPS(double FPS) {
  if (!UsableFrameRate(FPS)) return E_INVALIDARG;
  defaultFps_ = FPS;
  return S_OK;
}

STDMETHODIMP Timeline::GetDefaultFPS(double* pFPS) {
  if (!pFPS) return E_POINTER;
  *pFPS = defaultFps_;
  return S_OK;
}

LONG Timeline::IndexOf(const TimelineNode* group) const {
  auto it = std::find(groups_.begin(), groups_.end(), group);
  return it == groups_.end() ? -1 : LONG(it - groups_.begin());
}

}  // namespace des
