#include "timeline_node.h"

#include <algorithm>
#include <cmath>

#include "timeline.h"

namespace des {

REFERENCE_TIME UnitsFromSeconds(double seconds) { return std::llround(seconds * UNITS); }
double SecondsFromUnits(REFERENCE_TIME units) { return double(units) / UNITS; }

namespace {

// The frame boundary of rate fps nearest to t; at either end of the time range, the nearest one
// the range holds.
REFERENCE_TIME NearestFrame(REFERENCE_TIME t, double fps) {
  const double n = std::round(double(t) * fps / UNITS);
  double at = n * UNITS / fps;
  constexpr double kEnd = 0x1p63;
  if (at >= kEnd) at = (n - 1) * UNITS / fps;
  if (at < -kEnd) at = (n + 1) * UNITS / fps;
  return std::llround(at);
}

}  // namespace

bool UsableFrameRate(double fps) {
  constexpr double kDay = 86400.0;
  return std::isfinite(fps) && fps >= 1.0 / kDay && fps <= double(UNITS);
}

TimelineNode::TimelineNode(TIMELINE_MAJOR_TYPE type, double defaultFps)
    : CUnknown("TimelineNode", nullptr), type_(type), fps_(defaultFps) {}

TimelineNode::~TimelineNode() {
  for (auto* list : {&vtracks_, &sources_, &effects_, &transitions_})
    for (const ComPtr<TimelineNode>& child : *list) child->parent_ = nullptr;
}

STDMETHODIMP TimelineNode::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  const bool composition = IsComposition();
  const bool track = Is(TIMELINE_MAJOR_TYPE_TRACK);
  if (riid == IID_IAMTimelineObj) return GetInterface(static_cast<IAMTimelineObj*>(this), ppv);
  if (riid == IID_IAMTimelineGroup && Is(TIMELINE_MAJOR_TYPE_GROUP))
    return GetInterface(static_cast<IAMTimelineGroup*>(this), ppv);
  if (riid == IID_IAMTimelineComp && composition) return GetInterface(static_cast<IAMTimelineComp*>(this), ppv);
  if (riid == IID_IAMTimelineTrack && track) return GetInterface(static_cast<IAMTimelineTrack*>(this), ppv);
  if (riid == IID_IAMTimelineSrc && Is(TIMELINE_MAJOR_TYPE_SOURCE))
    return GetInterface(static_cast<IAMTimelineSrc*>(this), ppv);
  if (riid == IID_IAMTimelineTrans && Is(TIMELINE_MAJOR_TYPE_TRANSITION))
    return GetInterface(static_cast<IAMTimelineTrans*>(this), ppv);
  if (riid == IID_IAMTimelineEffect && Is(TIMELINE_MAJOR_TYPE_EFFECT))
    return GetInterface(static_cast<IAMTimelineEffect*>(this), ppv);
  if (riid == IID_IAMTimelineEffectable && (composition || track || Is(TIMELINE_MAJOR_TYPE_SOURCE)))
    return GetInterface(static_cast<IAMTimelineEffectable*>(this), ppv);
  if (riid == IID_IAMTimelineTransable && (composition || track))
    return GetInterface(static_cast<IAMTimelineTransable*>(this), ppv);
  if (riid == IID_IAMTimelineVirtualTrack && (track || Is(TIMELINE_MAJOR_TYPE_COMPOSITE)))
    return GetInterface(static_cast<IAMTimelineVirtualTrack*>(this), ppv);
  return CUnknown::NonDelegatingQueryInterface(riid, ppv);
}

TimelineNode* TimelineNode::FromObj(IAMTimelineObj* obj) { return dynamic_cast<TimelineNode*>(obj); }

void TimelineNode::Detach(Children* list, size_t index) {
  ComPtr<TimelineNode> child = std::move((*list)[index]);
  list->erase(list->begin() + index);
  child->parent_ = nullptr;
}

HRESULT TimelineNode::InsertAt(Children* list, TimelineNode* parent, TimelineNode* child, LONG priority) {
  if (priority < -1) return E_INVALIDARG;
  const size_t at = priority == -1 ? list->size() : std::min<size_t>(priority, list->size());
  list->insert(list->begin() + at, ComPtr<TimelineNode>(child));
  child->parent_ = parent;
  return S_OK;
}

const TimelineNode* TimelineNode::Group() const {
  const TimelineNode* n = this;
  while (n && !n->Is(TIMELINE_MAJOR_TYPE_GROUP)) n = n->parent_;
  return n;
}

double TimelineNode::FrameRate() const {
  const TimelineNode* group = Group();
  return group ? group->fps_ : fps_;
}

double TimelineNode::Rate() const {
  if (stop_ == start_) return 1.0;
  return double(mediaStop_ - mediaStart_) / double(stop_ - start_);
}

// ---- IAMTimelineObj -----------------------------------------------------------------------------
STDMETHODIMP TimelineNode::GetStartStop(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) {
  if (!pStart || !pStop) return E_POINTER;
  *pStart = start_;
  *pStop = stop_;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetStartStop2(REFTIME* pStart, REFTIME* pStop) {
  if (!pStart || !pStop) return E_POINTER;
  *pStart = SecondsFromUnits(start_);
  *pStop = SecondsFromUnits(stop_);
  return S_OK;
}

STDMETHODIMP TimelineNode::FixTimes(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) {
  const double fps = FrameRate();
  if (fps <= 0) return E_UNEXPECTED;
  if (pStart) *pStart = NearestFrame(*pStart, fps);
  if (pStop) *pStop = NearestFrame(*pStop, fps);
  return S_OK;
}

STDMETHODIMP TimelineNode::FixTimes2(REFTIME* pStart, REFTIME* pStop) {
  REFERENCE_TIME start = pStart ? UnitsFromSeconds(*pStart) : 0;
  REFERENCE_TIME stop = pStop ? UnitsFromSeconds(*pStop) : 0;
  HRESULT hr = FixTimes(&start, &stop);
  if (FAILED(hr)) return hr;
  if (pStart) *pStart = SecondsFromUnits(start);
  if (pStop) *pStop = SecondsFromUnits(stop);
  return S_OK;
}

STDMETHODIMP TimelineNode::SetStartStop(REFERENCE_TIME Start, REFERENCE_TIME Stop) {
  if (Start < 0 || Stop < Start) return E_INVALIDARG;
  start_ = Start;
  stop_ = Stop;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetStartStop2(REFTIME Start, REFTIME Stop) {
  return SetStartStop(UnitsFromSeconds(Start), UnitsFromSeconds(Stop));
}

STDMETHODIMP TimelineNode::GetPropertySetter(IPropertySetter** pVal) {
  if (!pVal) return E_POINTER;
  setter_.CopyTo(pVal);
  return setter_ ? S_OK : S_FALSE;
}

STDMETHODIMP TimelineNode::SetPropertySetter(IPropertySetter* newVal) {
  setter_.Reset(newVal);
  return S_OK;
}

STDMETHODIMP TimelineNode::GetSubObject(IUnknown** pVal) {
  if (!pVal) return E_POINTER;
  *pVal = nullptr;
  if (!subObject_) {
    if (subGuid_ == GUID_NULL) return S_FALSE;
    HRESULT hr = CoCreateInstance(subGuid_, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, subObject_.putVoid());
    if (FAILED(hr)) return hr;
  }
  return subObject_.CopyTo(pVal);
}

STDMETHODIMP TimelineNode::SetSubObject(IUnknown* newVal) {
  GUID clsid = GUID_NULL;
  if (newVal) {
    ComPtr<IPersist> persist;
    if (SUCCEEDED(newVal->QueryInterface(IID_IPersist, persist.putVoid()))) persist->GetClassID(&clsid);
  }
  subObject_.Reset(newVal);
  subGuid_ = clsid;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetSubObjectGUID(GUID newVal) {
  subObject_ = nullptr;
  subGuid_ = newVal;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetSubObjectGUIDB(BSTR newVal) {
  GUID guid;
  if (!newVal || FAILED(CLSIDFromString(newVal, &guid))) return E_INVALIDARG;
  return SetSubObjectGUID(guid);
}

STDMETHODIMP TimelineNode::GetSubObjectGUID(GUID* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = subGuid_;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetSubObjectGUIDB(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  OLECHAR text[40];
  StringFromGUID2(subGuid_, text, 40);
  *pVal = SysAllocString(text);
  return *pVal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TimelineNode::GetSubObjectLoaded(BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = subObject_ != nullptr;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetTimelineType(TIMELINE_MAJOR_TYPE* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = type_;
  return S_OK;
}

// ---- IAMTimelineGroup ---------------------------------------------------------------------------
STDMETHODIMP TimelineNode::SetTimeline(IAMTimeline* pTimeline) {
  if (timeline_) {
    HRESULT hr = timeline_->RemGroupFromList(static_cast<IAMTimelineObj*>(this));
    if (FAILED(hr)) return hr;
  }
  return pTimeline ? pTimeline->AddGroup(static_cast<IAMTimelineObj*>(this)) : S_OK;
}

STDMETHODIMP TimelineNode::GetTimeline(IAMTimeline** ppTimeline) {
  if (!ppTimeline) return E_POINTER;
  *ppTimeline = timeline_;
  if (!timeline_) return S_FALSE;
  timeline_->AddRef();
  return S_OK;
}

STDMETHODIMP TimelineNode::GetPriority(LONG* pPriority) {
  if (!pPriority) return E_POINTER;
  *pPriority = timeline_ ? timeline_->IndexOf(this) : -1;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetMediaType(AM_MEDIA_TYPE* pmt) {
  if (!pmt) return E_POINTER;
  return CopyMediaType(pmt, &mediaType_);
}

STDMETHODIMP TimelineNode::SetMediaType(AM_MEDIA_TYPE* pmt) {
  if (!pmt) return E_POINTER;
  if (pmt->majortype != MEDIATYPE_Video && pmt->majortype != MEDIATYPE_Audio) return E_INVALIDARG;
  HRESULT hr = S_OK;
  CMediaType copy(*pmt, &hr);
  if (FAILED(hr)) return hr;
  mediaType_ = copy;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetOutputFPS(double FPS) {
  if (!UsableFrameRate(FPS)) return E_INVALIDARG;
  fps_ = FPS;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetOutputFPS(double* pFPS) {
  if (!pFPS) return E_POINTER;
  *pFPS = fps_;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetGroupName(BSTR pGroupName) {
  groupName_ = pGroupName ? std::u16string(pGroupName, SysStringLen(pGroupName)) : std::u16string();
  return S_OK;
}

STDMETHODIMP TimelineNode::GetGroupName(BSTR* pGroupName) {
  if (!pGroupName) return E_POINTER;
  *pGroupName = SysAllocStringLen(groupName_.data(), UINT(groupName_.size()));
  return *pGroupName ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TimelineNode::SetPreviewMode(BOOL fPreview) {
  preview_ = fPreview ? TRUE : FALSE;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetPreviewMode(BOOL* pfPreview) {
  if (!pfPreview) return E_POINTER;
  *pfPreview = preview_;
  return S_OK;
}

// ---- IAMTimelineComp ----------------------------------------------------------------------------
STDMETHODIMP TimelineNode::VTrackInsBefore(IAMTimelineObj* pVirtualTrack, LONG Priority) {
  TimelineNode* child = FromObj(pVirtualTrack);
  if (!child) return E_POINTER;
  if (child->parent_ || child == this ||
      !(child->Is(TIMELINE_MAJOR_TYPE_TRACK) || child->Is(TIMELINE_MAJOR_TYPE_COMPOSITE)))
    return E_INVALIDARG;
  for (const TimelineNode* n = this; n; n = n->parent_)
    if (n == child) return E_INVALIDARG;
  return InsertAt(&vtracks_, this, child, Priority);
}

STDMETHODIMP TimelineNode::VTrackSwapPriorities(LONG VirtualTrackA, LONG VirtualTrackB) {
  const LONG n = LONG(vtracks_.size());
  if (VirtualTrackA < 0 || VirtualTrackB < 0 || VirtualTrackA >= n || VirtualTrackB >= n) return E_INVALIDARG;
  std::swap(vtracks_[VirtualTrackA], vtracks_[VirtualTrackB]);
  return S_OK;
}

STDMETHODIMP TimelineNode::VTrackGetCount(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = LONG(vtracks_.size());
  return S_OK;
}

STDMETHODIMP TimelineNode::GetVTrack(IAMTimelineObj** ppVirtualTrack, LONG Which) {
  if (!ppVirtualTrack) return E_POINTER;
  *ppVirtualTrack = nullptr;
  if (Which < 0 || Which >= LONG(vtracks_.size())) return E_INVALIDARG;
  *ppVirtualTrack = vtracks_[Which].get();
  (*ppVirtualTrack)->AddRef();
  return S_OK;
}

void TimelineNode::CollectLayers(std::vector<const TimelineNode*>* tracks) const {
  for (const ComPtr<TimelineNode>& vt : vtracks_) {
    if (vt->Is(TIMELINE_MAJOR_TYPE_TRACK))
      tracks->push_back(vt.get());
    else
      vt->CollectLayers(tracks);
  }
}

REFERENCE_TIME TimelineNode::LatestStop() const {
  REFERENCE_TIME latest = IsComposition() || Is(TIMELINE_MAJOR_TYPE_TRACK) ? 0 : stop_;
  for (auto* list : {&vtracks_, &sources_, &effects_, &transitions_})
    for (const ComPtr<TimelineNode>& child : *list) latest = std::max(latest, child->LatestStop());
  return latest;
}

// ---- IAMTimelineTrack ---------------------------------------------------------------------------
ComPtr<TimelineNode> TimelineNode::CloneSource() const {
  ComPtr<TimelineNode> copy(new TimelineNode(type_, fps_));
  copy->start_ = start_;
  copy->stop_ = stop_;
  copy->mediaStart_ = mediaStart_;
  copy->mediaStop_ = mediaStop_;
  copy->mediaLength_ = mediaLength_;
  copy->name_ = name_;
  copy->stream_ = stream_;
  copy->sourceFps_ = sourceFps_;
  copy->stretchMode_ = stretchMode_;
  return copy;
}

HRESULT TimelineNode::CutFor(REFERENCE_TIME start, REFERENCE_TIME stop) {
  for (size_t i = 0; i < sources_.size();) {
    TimelineNode* s = sources_[i].get();
    if (s->start_ >= stop || s->stop_ <= start) {
      ++i;
      continue;
    }
    const double rate = s->Rate();
    if (s->start_ >= start && s->stop_ <= stop) {
      Detach(&sources_, i);
      continue;
    }
    if (s->start_ < start && s->stop_ > stop) {  // the new source falls inside: keep both ends
      ComPtr<TimelineNode> tail = s->CloneSource();
      tail->mediaStart_ = s->mediaStart_ + std::llround((stop - s->start_) * rate);
      tail->start_ = stop;
      tail->parent_ = this;
      sources_.insert(sources_.begin() + i + 1, std::move(tail));
    }
    if (s->start_ < start) {
      s->mediaStop_ = s->mediaStart_ + std::llround((start - s->start_) * rate);
      s->stop_ = start;
    } else {
      s->mediaStart_ += std::llround((stop - s->start_) * rate);
      s->start_ = stop;
    }
    ++i;
  }
  return S_OK;
}

STDMETHODIMP TimelineNode::SrcAdd(IAMTimelineObj* pSource) {
  TimelineNode* src = FromObj(pSource);
  if (!src) return E_POINTER;
  if (!src->Is(TIMELINE_MAJOR_TYPE_SOURCE) || src->parent_) return E_INVALIDARG;
  if (src->stop_ > src->start_) CutFor(src->start_, src->stop_);
  auto at = std::upper_bound(sources_.begin(), sources_.end(), src->start_,
                             [](REFERENCE_TIME t, const ComPtr<TimelineNode>& s) { return t < s->start_; });
  return InsertAt(&sources_, this, src, LONG(at - sources_.begin()));
}

STDMETHODIMP TimelineNode::GetNextSrc(IAMTimelineObj** ppSrc, REFERENCE_TIME* pInOut) {
  if (!ppSrc || !pInOut) return E_POINTER;
  *ppSrc = nullptr;
  for (const ComPtr<TimelineNode>& s : sources_) {
    if (s->start_ >= *pInOut) {
      *ppSrc = s.get();
      s->AddRef();
      *pInOut = s->stop_;
      return S_OK;
    }
  }
  return S_FALSE;
}

STDMETHODIMP TimelineNode::GetNextSrc2(IAMTimelineObj** ppSrc, REFTIME* pInOut) {
  if (!pInOut) return E_POINTER;
  REFERENCE_TIME t = UnitsFromSeconds(*pInOut);
  HRESULT hr = GetNextSrc(ppSrc, &t);
  if (hr == S_OK) *pInOut = SecondsFromUnits(t);
  return hr;
}

// ---- IAMTimelineSrc -----------------------------------------------------------------------------
STDMETHODIMP TimelineNode::GetMediaTimes(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) {
  if (!pStart || !pStop) return E_POINTER;
  *pStart = mediaStart_;
  *pStop = mediaStop_;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetMediaTimes2(REFTIME* pStart, REFTIME* pStop) {
  if (!pStart || !pStop) return E_POINTER;
  *pStart = SecondsFromUnits(mediaStart_);
  *pStop = SecondsFromUnits(mediaStop_);
  return S_OK;
}

STDMETHODIMP TimelineNode::ModifyStopTime(REFERENCE_TIME Stop) {
  if (Stop < start_) return E_INVALIDARG;
  const double span = double(Stop - start_) * Rate();
  REFERENCE_TIME mediaStop;
  if (!(span < 0x1p63) || __builtin_add_overflow(mediaStart_, std::llround(span), &mediaStop))
    return E_INVALIDARG;  // the media stop would pass the end of the time range
  mediaStop_ = mediaStop;
  stop_ = Stop;
  return S_OK;
}

STDMETHODIMP TimelineNode::ModifyStopTime2(REFTIME Stop) { return ModifyStopTime(UnitsFromSeconds(Stop)); }

STDMETHODIMP TimelineNode::FixMediaTimes(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) {
  if (sourceFps_ <= 0) return S_OK;
  if (pStart) *pStart = NearestFrame(*pStart, sourceFps_);
  if (pStop) *pStop = NearestFrame(*pStop, sourceFps_);
  return S_OK;
}

STDMETHODIMP TimelineNode::FixMediaTimes2(REFTIME* pStart, REFTIME* pStop) {
  REFERENCE_TIME start = pStart ? UnitsFromSeconds(*pStart) : 0;
  REFERENCE_TIME stop = pStop ? UnitsFromSeconds(*pStop) : 0;
  FixMediaTimes(&start, &stop);
  if (pStart) *pStart = SecondsFromUnits(start);
  if (pStop) *pStop = SecondsFromUnits(stop);
  return S_OK;
}

STDMETHODIMP TimelineNode::SetMediaTimes(REFERENCE_TIME Start, REFERENCE_TIME Stop) {
  if (Start < 0 || Stop < Start) return E_INVALIDARG;
  mediaStart_ = Start;
  mediaStop_ = Stop;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetMediaTimes2(REFTIME Start, REFTIME Stop) {
  return SetMediaTimes(UnitsFromSeconds(Start), UnitsFromSeconds(Stop));
}

STDMETHODIMP TimelineNode::SetMediaLength(REFERENCE_TIME Length) {
  if (Length < 0) return E_INVALIDARG;
  mediaLength_ = Length;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetMediaLength2(REFTIME Length) { return SetMediaLength(UnitsFromSeconds(Length)); }

STDMETHODIMP TimelineNode::GetMediaLength(REFERENCE_TIME* pLength) {
  if (!pLength) return E_POINTER;
  *pLength = mediaLength_;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetMediaLength2(REFTIME* pLength) {
  if (!pLength) return E_POINTER;
  *pLength = SecondsFromUnits(mediaLength_);
  return S_OK;
}

STDMETHODIMP TimelineNode::GetMediaName(BSTR* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = SysAllocStringLen(name_.data(), UINT(name_.size()));
  return *pVal ? S_OK : E_OUTOFMEMORY;
}

STDMETHODIMP TimelineNode::SetMediaName(BSTR newVal) {
  name_ = newVal ? std::u16string(newVal, SysStringLen(newVal)) : std::u16string();
  return S_OK;
}

STDMETHODIMP TimelineNode::SpliceWithNext(IAMTimelineObj* pNext) {
  TimelineNode* next = FromObj(pNext);
  if (!next) return E_POINTER;
  if (!parent_ || next->parent_ != parent_ || next == this || !next->Is(TIMELINE_MAJOR_TYPE_SOURCE) ||
      next->start_ != stop_ || next->mediaStart_ != mediaStop_ || next->name_ != name_ ||
      next->stream_ != stream_ || std::fabs(next->Rate() - Rate()) > 1e-6)
    return E_INVALIDARG;
  stop_ = next->stop_;
  mediaStop_ = next->mediaStop_;
  auto& list = parent_->sources_;
  Detach(&list, size_t(std::find(list.begin(), list.end(), next) - list.begin()));
  return S_OK;
}

STDMETHODIMP TimelineNode::GetStreamNumber(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = stream_;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetStreamNumber(LONG Val) {
  if (Val < 0) return E_INVALIDARG;
  stream_ = Val;
  return S_OK;
}

STDMETHODIMP TimelineNode::IsNormalRate(BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = (mediaStop_ - mediaStart_) == (stop_ - start_);
  return S_OK;
}

STDMETHODIMP TimelineNode::GetDefaultFPS(double* pFPS) {
  if (!pFPS) return E_POINTER;
  *pFPS = sourceFps_;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetDefaultFPS(double FPS) {
  if (FPS != 0 && !UsableFrameRate(FPS)) return E_INVALIDARG;  // 0: none
  sourceFps_ = FPS;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetStretchMode(int* pnStretchMode) {
  if (!pnStretchMode) return E_POINTER;
  *pnStretchMode = stretchMode_;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetStretchMode(int nStretchMode) {
  if (nStretchMode < RESIZEF_STRETCH || nStretchMode > RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX)
    return E_INVALIDARG;
  stretchMode_ = nStretchMode;
  return S_OK;
}

// ---- IAMTimelineTrans ---------------------------------------------------------------------------
STDMETHODIMP TimelineNode::GetCutPoint(REFERENCE_TIME* pTLTime) {
  if (!pTLTime) return E_POINTER;
  *pTLTime = cutPoint_ >= 0 ? cutPoint_ : (stop_ - start_) / 2;
  return S_OK;
}

STDMETHODIMP TimelineNode::GetCutPoint2(REFTIME* pTLTime) {
  if (!pTLTime) return E_POINTER;
  REFERENCE_TIME t;
  GetCutPoint(&t);
  *pTLTime = SecondsFromUnits(t);
  return S_OK;
}

STDMETHODIMP TimelineNode::SetCutPoint(REFERENCE_TIME TLTime) {
  if (TLTime < 0) return E_INVALIDARG;
  cutPoint_ = TLTime;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetCutPoint2(REFTIME TLTime) { return SetCutPoint(UnitsFromSeconds(TLTime)); }

STDMETHODIMP TimelineNode::GetSwapInputs(BOOL* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = swapInputs_;
  return S_OK;
}

STDMETHODIMP TimelineNode::SetSwapInputs(BOOL pVal) {
  swapInputs_ = pVal ? TRUE : FALSE;
  return S_OK;
}

// ---- Effects and transitions ---------------------------------------------------------------------
STDMETHODIMP TimelineNode::EffectGetPriority(LONG* pVal) {
  if (!pVal) return E_POINTER;
  *pVal = -1;
  if (parent_) {
    auto& list = parent_->effects_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) *pVal = LONG(it - list.begin());
  }
  return S_OK;
}

STDMETHODIMP TimelineNode::EffectInsBefore(IAMTimelineObj* pFX, LONG priority) {
  TimelineNode* fx = FromObj(pFX);
  if (!fx) return E_POINTER;
  if (!fx->Is(TIMELINE_MAJOR_TYPE_EFFECT) || fx->parent_) return E_INVALIDARG;
  return InsertAt(&effects_, this, fx, priority);
}

STDMETHODIMP TimelineNode::EffectSwapPriorities(LONG PriorityA, LONG PriorityB) {
  const LONG n = LONG(effects_.size());
  if (PriorityA < 0 || PriorityB < 0 || PriorityA >= n || PriorityB >= n) return E_INVALIDARG;
  std::swap(effects_[PriorityA], effects_[PriorityB]);
  return S_OK;
}

STDMETHODIMP TimelineNode::EffectGetCount(LONG* pCount) {
  if (!pCount) return E_POINTER;
  *pCount = LONG(effects_.size());
  return S_OK;
}

STDMETHODIMP TimelineNode::GetEffect(IAMTimelineObj** ppFx, LONG Which) {
  if (!ppFx) return E_POINTER;
  *ppFx = nullptr;
  if (Which < 0 || Which >= LONG(effects_.size())) return E_INVALIDARG;
  *ppFx = effects_[Which].get();
  (*ppFx)->AddRef();
  return S_OK;
}

STDMETHODIMP TimelineNode::TransAdd(IAMTimelineObj* pTrans) {
  TimelineNode* t = FromObj(pTrans);
  if (!t) return E_POINTER;
  if (!t->Is(TIMELINE_MAJOR_TYPE_TRANSITION) || t->parent_) return E_INVALIDARG;
  for (const ComPtr<TimelineNode>& other : transitions_)
    if (t->start_ < other->stop_ && other->start_ < t->stop_) return E_INVALIDARG;
  auto at = std::upper_bound(transitions_.begin(), transitions_.end(), t->start_,
                             [](REFERENCE_TIME v, const ComPtr<TimelineNode>& s) { return v < s->start_; });
  return InsertAt(&transitions_, this, t, LONG(at - transitions_.begin()));
}

STDMETHODIMP TimelineNode::TransGetCount(LONG* pCount) {
  if (!pCount) return E_POINTER;
  *pCount = LONG(transitions_.size());
  return S_OK;
}

STDMETHODIMP TimelineNode::TrackGetPriority(LONG* pPriority) {
  if (!pPriority) return E_POINTER;
  *pPriority = -1;
  if (parent_) {
    auto& list = parent_->vtracks_;
    auto it = std::find(list.begin(), list.end(), this);
    if (it != list.end()) *pPriority = LONG(it - list.begin());
  }
  return S_OK;
}

}  // namespace des
