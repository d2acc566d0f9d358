#pragma once
// One node of the timeline tree. Which interfaces it answers depends on its kind: groups and
// compositions hold virtual tracks, tracks hold sources, and transitions and effects hang on the
// nodes they act on. A parent holds a reference to each child; a child knows its parent without
// one.
#include <string>
#include <vector>

#include "des/timeline.h"
#include "ole/comptr.h"

namespace des {

class Timeline;

class TimelineNode : public CUnknown,
                     public IAMTimelineObj,
                     public IAMTimelineGroup,
                     public IAMTimelineComp,
                     public IAMTimelineTrack,
                     public IAMTimelineSrc,
                     public IAMTimelineTrans,
                     public IAMTimelineEffect,
                     public IAMTimelineEffectable,
                     public IAMTimelineTransable,
                     public IAMTimelineVirtualTrack {
 public:
  using Children = std::vector<ComPtr<TimelineNode>>;

  // defaultFps: the timeline's default rate when the node was made.
  TimelineNode(TIMELINE_MAJOR_TYPE type, double defaultFps);
  ~TimelineNode() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IAMTimelineObj
  STDMETHODIMP GetStartStop(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) override;
  STDMETHODIMP GetStartStop2(REFTIME* pStart, REFTIME* pStop) override;
  STDMETHODIMP FixTimes(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) override;
  STDMETHODIMP FixTimes2(REFTIME* pStart, REFTIME* pStop) override;
  STDMETHODIMP SetStartStop(REFERENCE_TIME Start, REFERENCE_TIME Stop) override;
  STDMETHODIMP SetStartStop2(REFTIME Start, REFTIME Stop) override;
  STDMETHODIMP GetPropertySetter(IPropertySetter** pVal) override;
  STDMETHODIMP SetPropertySetter(IPropertySetter* newVal) override;
  STDMETHODIMP GetSubObject(IUnknown** pVal) override;
  STDMETHODIMP SetSubObject(IUnknown* newVal) override;
  STDMETHODIMP SetSubObjectGUID(GUID newVal) override;
  STDMETHODIMP SetSubObjectGUIDB(BSTR newVal) override;
  STDMETHODIMP GetSubObjectGUID(GUID* pVal) override;
  STDMETHODIMP GetSubObjectGUIDB(BSTR* pVal) override;
  STDMETHODIMP GetSubObjectLoaded(BOOL* pVal) override;
  STDMETHODIMP GetTimelineType(TIMELINE_MAJOR_TYPE* pVal) override;

  // IAMTimelineGroup
  STDMETHODIMP SetTimeline(IAMTimeline* pTimeline) override;
  STDMETHODIMP GetTimeline(IAMTimeline** ppTimeline) override;
  STDMETHODIMP GetPriority(LONG* pPriority) override;
  STDMETHODIMP GetMediaType(AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP SetMediaType(AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP SetOutputFPS(double FPS) override;
  STDMETHODIMP GetOutputFPS(double* pFPS) override;
  STDMETHODIMP SetGroupName(BSTR pGroupName) override;
  STDMETHODIMP GetGroupName(BSTR* pGroupName) override;
  STDMETHODIMP SetPreviewMode(BOOL fPreview) override;
  STDMETHODIMP GetPreviewMode(BOOL* pfPreview) override;

  // IAMTimelineComp
  STDMETHODIMP VTrackInsBefore(IAMTimelineObj* pVirtualTrack, LONG Priority) override;
  STDMETHODIMP VTrackSwapPriorities(LONG VirtualTrackA, LONG VirtualTrackB) override;
  STDMETHODIMP VTrackGetCount(LONG* pVal) override;
  STDMETHODIMP GetVTrack(IAMTimelineObj** ppVirtualTrack, LONG Which) override;

  // IAMTimelineTrack
  STDMETHODIMP SrcAdd(IAMTimelineObj* pSource) override;
  STDMETHODIMP GetNextSrc(IAMTimelineObj** ppSrc, REFERENCE_TIME* pInOut) override;
  STDMETHODIMP GetNextSrc2(IAMTimelineObj** ppSrc, REFTIME* pInOut) override;

  // IAMTimelineSrc
  STDMETHODIMP GetMediaTimes(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) override;
  STDMETHODIMP GetMediaTimes2(REFTIME* pStart, REFTIME* pStop) override;
  STDMETHODIMP ModifyStopTime(REFERENCE_TIME Stop) override;
  STDMETHODIMP ModifyStopTime2(REFTIME Stop) override;
  STDMETHODIMP FixMediaTimes(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) override;
  STDMETHODIMP FixMediaTimes2(REFTIME* pStart, REFTIME* pStop) override;
  STDMETHODIMP SetMediaTimes(REFERENCE_TIME Start, REFERENCE_TIME Stop) override;
  STDMETHODIMP SetMediaTimes2(REFTIME Start, REFTIME Stop) override;
  STDMETHODIMP SetMediaLength(REFERENCE_TIME Length) override;
  STDMETHODIMP SetMediaLength2(REFTIME Length) override;
  STDMETHODIMP GetMediaLength(REFERENCE_TIME* pLength) override;
  STDMETHODIMP GetMediaLength2(REFTIME* pLength) override;
  STDMETHODIMP GetMediaName(BSTR* pVal) override;
  STDMETHODIMP SetMediaName(BSTR newVal) override;
  STDMETHODIMP SpliceWithNext(IAMTimelineObj* pNext) override;
  STDMETHODIMP GetStreamNumber(LONG* pVal) override;
  STDMETHODIMP SetStreamNumber(LONG Val) override;
  STDMETHODIMP IsNormalRate(BOOL* pVal) override;
  STDMETHODIMP GetDefaultFPS(double* pFPS) override;
  STDMETHODIMP SetDefaultFPS(double FPS) override;
  STDMETHODIMP GetStretchMode(int* pnStretchMode) override;
  STDMETHODIMP SetStretchMode(int nStretchMode) override;

  // IAMTimelineTrans
  STDMETHODIMP GetCutPoint(REFERENCE_TIME* pTLTime) override;
  STDMETHODIMP GetCutPoint2(REFTIME* pTLTime) override;
  STDMETHODIMP SetCutPoint(REFERENCE_TIME TLTime) override;
  STDMETHODIMP SetCutPoint2(REFTIME TLTime) override;
  STDMETHODIMP GetSwapInputs(BOOL* pVal) override;
  STDMETHODIMP SetSwapInputs(BOOL pVal) override;

  // IAMTimelineEffect
  STDMETHODIMP EffectGetPriority(LONG* pVal) override;

  // IAMTimelineEffectable
  STDMETHODIMP EffectInsBefore(IAMTimelineObj* pFX, LONG priority) override;
  STDMETHODIMP EffectSwapPriorities(LONG PriorityA, LONG PriorityB) override;
  STDMETHODIMP EffectGetCount(LONG* pCount) override;
  STDMETHODIMP GetEffect(IAMTimelineObj** ppFx, LONG Which) override;

  // IAMTimelineTransable
  STDMETHODIMP TransAdd(IAMTimelineObj* pTrans) override;
  STDMETHODIMP TransGetCount(LONG* pCount) override;

  // IAMTimelineVirtualTrack
  STDMETHODIMP TrackGetPriority(LONG* pPriority) override;

  // ---- For the timeline and the render engine ----
  TIMELINE_MAJOR_TYPE Type() const { return type_; }
  REFERENCE_TIME Start() const { return start_; }
  REFERENCE_TIME Stop() const { return stop_; }
  REFERENCE_TIME MediaStart() const { return mediaStart_; }
  REFERENCE_TIME MediaStop() const { return mediaStop_; }
  const std::u16string& MediaName() const { return name_; }
  LONG StreamNumber() const { return stream_; }
  int StretchMode() const { return stretchMode_; }
  const CMediaType& MediaType() const { return mediaType_; }
  double OutputFPS() const { return fps_; }
  TimelineNode* Parent() const { return parent_; }
  // The layers of a group or composition, lowest first: each track in priority order, the
  // tracks of a nested composition in its place.
  void CollectLayers(std::vector<const TimelineNode*>* tracks) const;
  // Sources of a track in time order.
  const Children& Sources() const { return sources_; }
  // Transitions in time order, effects in priority order.
  const Children& Transitions() const { return transitions_; }
  const Children& Effects() const { return effects_; }
  bool SwapsInputs() const { return swapInputs_ != FALSE; }
  const GUID& SubObjectClass() const { return subGuid_; }
  IPropertySetter* Setter() const { return setter_.get(); }
  // The latest stop of anything below and on this node (0 when empty).
  REFERENCE_TIME LatestStop() const;
  // Set by the timeline for its groups.
  void AttachTimeline(Timeline* timeline) { timeline_ = timeline; }
  Timeline* AttachedTimeline() const { return timeline_; }

 private:
  bool Is(TIMELINE_MAJOR_TYPE t) const { return type_ == t; }
  bool IsComposition() const { return Is(TIMELINE_MAJOR_TYPE_GROUP) || Is(TIMELINE_MAJOR_TYPE_COMPOSITE); }
  const TimelineNode* Group() const;
  double FrameRate() const;
  double Rate() const;  // media span per timeline span
  // Removes what the source [start, stop) overlaps on this track.
  HRESULT CutFor(REFERENCE_TIME start, REFERENCE_TIME stop);
  ComPtr<TimelineNode> CloneSource() const;
  static TimelineNode* FromObj(IAMTimelineObj* obj);
  static void Detach(Children* list, size_t index);
  static HRESULT InsertAt(Children* list, TimelineNode* parent, TimelineNode* child, LONG priority);

  const TIMELINE_MAJOR_TYPE type_;
  TimelineNode* parent_ = nullptr;
  Timeline* timeline_ = nullptr;
  REFERENCE_TIME start_ = 0;
  REFERENCE_TIME stop_ = 0;
  ComPtr<IPropertySetter> setter_;
  ComPtr<IUnknown> subObject_;
  GUID subGuid_ = GUID_NULL;
  Children vtracks_;
  Children sources_;
  Children effects_;
  Children transitions_;
  // Group
  CMediaType mediaType_;
  double fps_;
  std::u16string groupName_;
  BOOL preview_ = FALSE;
  // Source
  REFERENCE_TIME mediaStart_ = 0;
  REFERENCE_TIME mediaStop_ = 0;
  REFERENCE_TIME mediaLength_ = 0;
  std::u16string name_;
  LONG stream_ = 0;
  double sourceFps_ = 0;
  int stretchMode_ = RESIZEF_STRETCH;
  // Transition
  REFERENCE_TIME cutPoint_ = -1;  // -1: the middle
  BOOL swapInputs_ = FALSE;
};

// Seconds to 100-ns units, rounded.
REFERENCE_TIME UnitsFromSeconds(double seconds);
double SecondsFromUnits(REFERENCE_TIME units);
// Whether frames at fps last at least one unit and at most a day: rates beyond either end leave
// frame times that cannot be counted in units.
bool UsableFrameRate(double fps);

}  // namespace des
