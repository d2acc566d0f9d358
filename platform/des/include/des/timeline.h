#pragma once
// The editing timeline: a tree of nodes. A timeline holds groups (one output stream each); a
// group is a composition; compositions hold virtual tracks (tracks and nested compositions) by
// priority, 0 being the lowest layer; tracks hold sources laid out in time. Transitions and
// effects are held on the nodes they act on. Times are 100-ns units (the "2" methods: seconds).
#include "dshow/dshow.h"

DEFINE_GUID(CLSID_AMTimeline, 0x78530B75, 0x61F9, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
DEFINE_GUID(CLSID_PropertySetter, 0xADF95821, 0xDED7, 0x11D2, 0xAC, 0xBE, 0x00, 0x80, 0xC7, 0x5E, 0x24, 0x6E);

typedef enum {
  TIMELINE_MAJOR_TYPE_COMPOSITE = 1,
  TIMELINE_MAJOR_TYPE_TRACK = 2,
  TIMELINE_MAJOR_TYPE_SOURCE = 4,
  TIMELINE_MAJOR_TYPE_TRANSITION = 8,
  TIMELINE_MAJOR_TYPE_EFFECT = 16,
  TIMELINE_MAJOR_TYPE_GROUP = 128,
} TIMELINE_MAJOR_TYPE;

// How a source picture is fitted into the group's frame.
enum {
  RESIZEF_STRETCH = 0,                          // scaled to the frame
  RESIZEF_CROP = 1,                             // unscaled, centred, cut at the frame
  RESIZEF_PRESERVEASPECTRATIO = 2,              // scaled to fit, black bars
  RESIZEF_PRESERVEASPECTRATIO_NOLETTERBOX = 3,  // scaled to fill, cut at the frame
};

enum { TIMELINE_INSERT_MODE_INSERT = 1, TIMELINE_INSERT_MODE_OVERLAY = 2 };
enum { DEXTERF_JUMP = 0, DEXTERF_INTERPOLATE = 1 };
// Search directions of GetSrcAtTime.
enum { DEXTERF_BOUNDING = -1, DEXTERF_EXACTLY_AT = 0, DEXTERF_FORWARDS = 1 };

// ---- Property setter: named values handed to a transition or effect ----------------------------
typedef struct {
  BSTR Name;
  DISPID dispID;
  LONG nValues;  // DEXTER_VALUEs that follow for this parameter
} DEXTER_PARAM;

typedef struct {
  VARIANT v;
  REFERENCE_TIME rt;  // from when the value holds, relative to the object's start
  DWORD dwInterp;     // DEXTERF_JUMP or DEXTERF_INTERPOLATE
} DEXTER_VALUE;

DEFINE_GUID(IID_IPropertySetter, 0xAE9472BD, 0xB0C3, 0x11D2, 0x8D, 0x24, 0x00, 0xA0, 0xC9, 0x44, 0x1E, 0x20);
interface IPropertySetter : public IUnknown {
  // Reads parameters from an XML element object; this platform has no XML object model, so it
  // answers E_NOINTERFACE.
  STDMETHOD(LoadXML)(IUnknown* pxml) = 0;
  // The parameters as <PARAM NAME="..." VALUE="..."/> lines (8-bit text, NUL-terminated; with a
  // NULL buffer only *pcbPrinted, the size needed).
  STDMETHOD(PrintXML)(char* pszXML, int cbXML, int* pcbPrinted, int indent) = 0;
  // A new setter with the values that hold within [rtStart, rtStop), times made relative to rtStart
  // (E_INVALIDARG for a negative start or a stop before it).
  STDMETHOD(CloneProps)(IPropertySetter** ppSetter, REFERENCE_TIME rtStart, REFERENCE_TIME rtStop) = 0;
  // Adds one parameter with Param.nValues values (copied).
  STDMETHOD(AddProp)(DEXTER_PARAM Param, DEXTER_VALUE* paValue) = 0;
  // Copies of all parameters and values (free them with FreeProps).
  STDMETHOD(GetProps)(LONG* pcParams, DEXTER_PARAM** paParam, DEXTER_VALUE** paValue) = 0;
  STDMETHOD(FreeProps)(LONG cParams, DEXTER_PARAM* paParam, DEXTER_VALUE* paValue) = 0;
  STDMETHOD(ClearProps)() = 0;
  // The parameters as bytes (CoTaskMemAlloc memory) that LoadFromBlob reads back; values are kept
  // as their variant type and text. LoadFromBlob adds to what the setter holds; a damaged blob
  // adds nothing and gives E_INVALIDARG.
  STDMETHOD(SaveToBlob)(LONG* pcSize, BYTE** ppb) = 0;
  STDMETHOD(LoadFromBlob)(LONG cSize, BYTE* pb) = 0;
  // Puts every parameter's value at time rtNow (relative to the object's start) into the target's
  // properties through IDispatch, by name (else by dispatch id). Values marked
  // DEXTERF_INTERPOLATE are reached linearly from the value before them. The first failure is
  // returned after all parameters were tried.
  STDMETHOD(SetProps)(IUnknown* pTarget, REFERENCE_TIME rtNow) = 0;
};

// ---- Nodes -------------------------------------------------------------------------------------
interface IAMTimeline;
interface IAMTimelineGroup;

DEFINE_GUID(IID_IAMTimelineObj, 0x78530B77, 0x61F9, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineObj : public IUnknown {
  // Start and stop on the timeline; a source's are relative to its group, the others' to the node
  // they are attached to.
  STDMETHOD(GetStartStop)(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) = 0;
  STDMETHOD(GetStartStop2)(REFTIME* pStart, REFTIME* pStop) = 0;
  // Rounds both times to the nearest frame of the group's output rate.
  STDMETHOD(FixTimes)(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) = 0;
  STDMETHOD(FixTimes2)(REFTIME* pStart, REFTIME* pStop) = 0;
  // E_INVALIDARG when stop is before start or start is negative.
  STDMETHOD(SetStartStop)(REFERENCE_TIME Start, REFERENCE_TIME Stop) = 0;
  STDMETHOD(SetStartStop2)(REFTIME Start, REFTIME Stop) = 0;
  STDMETHOD(GetPropertySetter)(IPropertySetter** pVal) = 0;
  STDMETHOD(SetPropertySetter)(IPropertySetter* newVal) = 0;
  // The object that does the work (a transition or effect component): the one set, else created
  // from the class set with SetSubObjectGUID.
  STDMETHOD(GetSubObject)(IUnknown** pVal) = 0;
  STDMETHOD(SetSubObject)(IUnknown* newVal) = 0;
  STDMETHOD(SetSubObjectGUID)(GUID newVal) = 0;
  STDMETHOD(SetSubObjectGUIDB)(BSTR newVal) = 0;
  STDMETHOD(GetSubObjectGUID)(GUID* pVal) = 0;
  STDMETHOD(GetSubObjectGUIDB)(BSTR* pVal) = 0;
  STDMETHOD(GetSubObjectLoaded)(BOOL* pVal) = 0;
  STDMETHOD(GetTimelineType)(TIMELINE_MAJOR_TYPE* pVal) = 0;
};

DEFINE_GUID(IID_IAMTimelineGroup, 0x9EED4F00, 0xB8A6, 0x11D2, 0x80, 0x23, 0x00, 0xC0, 0xDF, 0x10, 0xD4, 0x34);
interface IAMTimelineGroup : public IUnknown {
  STDMETHOD(SetTimeline)(IAMTimeline* pTimeline) = 0;
  STDMETHOD(GetTimeline)(IAMTimeline** ppTimeline) = 0;
  // The group's position in its timeline.
  STDMETHOD(GetPriority)(LONG* pPriority) = 0;
  STDMETHOD(GetMediaType)(AM_MEDIA_TYPE* pmt) = 0;
  // Video: FORMAT_VideoInfo RGB555, RGB24 or RGB32; audio: FORMAT_WaveFormatEx PCM. Other
  // types are kept, but the render engine cannot deliver them.
  STDMETHOD(SetMediaType)(AM_MEDIA_TYPE* pmt) = 0;
  STDMETHOD(SetOutputFPS)(double FPS) = 0;
  STDMETHOD(GetOutputFPS)(double* pFPS) = 0;
  STDMETHOD(SetGroupName)(BSTR pGroupName) = 0;
  STDMETHOD(GetGroupName)(BSTR* pGroupName) = 0;
  // A flag for renderers that may drop frames to keep up; the render engine delivers every frame
  // either way.
  STDMETHOD(SetPreviewMode)(BOOL fPreview) = 0;
  STDMETHOD(GetPreviewMode)(BOOL* pfPreview) = 0;
};

DEFINE_GUID(IID_IAMTimelineComp, 0xEAE58536, 0x622E, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineComp : public IUnknown {
  // Inserts a track or composition at the priority (-1: after all, the top layer); those at and
  // above it move up one.
  STDMETHOD(VTrackInsBefore)(IAMTimelineObj* pVirtualTrack, LONG Priority) = 0;
  STDMETHOD(VTrackSwapPriorities)(LONG VirtualTrackA, LONG VirtualTrackB) = 0;
  STDMETHOD(VTrackGetCount)(LONG* pVal) = 0;
  STDMETHOD(GetVTrack)(IAMTimelineObj** ppVirtualTrack, LONG Which) = 0;
};

DEFINE_GUID(IID_IAMTimelineTrack, 0xEAE58538, 0x622E, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineTrack : public IUnknown {
  // Lays a source on the track. Sources already there are cut where the new one overlaps them
  // (a source it falls inside is split in two).
  STDMETHOD(SrcAdd)(IAMTimelineObj* pSource) = 0;
  // The first source starting at or after *pInOut; *pInOut becomes its stop. S_FALSE when none.
  STDMETHOD(GetNextSrc)(IAMTimelineObj** ppSrc, REFERENCE_TIME* pInOut) = 0;
  STDMETHOD(GetNextSrc2)(IAMTimelineObj** ppSrc, REFTIME* pInOut) = 0;
};

DEFINE_GUID(IID_IAMTimelineSrc, 0x78530B79, 0x61F9, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineSrc : public IUnknown {
  // The span of the media file the source plays; when it differs in length from the timeline
  // span, the source plays faster or slower.
  STDMETHOD(GetMediaTimes)(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) = 0;
  STDMETHOD(GetMediaTimes2)(REFTIME* pStart, REFTIME* pStop) = 0;
  // Moves the timeline stop, keeping the playing rate (the media stop moves with it);
  // E_INVALIDARG for a stop before the start or one that would take the media stop past the
  // largest time.
  STDMETHOD(ModifyStopTime)(REFERENCE_TIME Stop) = 0;
  STDMETHOD(ModifyStopTime2)(REFTIME Stop) = 0;
  // Rounds media times to frames of the source's default rate (unchanged when none is set).
  STDMETHOD(FixMediaTimes)(REFERENCE_TIME* pStart, REFERENCE_TIME* pStop) = 0;
  STDMETHOD(FixMediaTimes2)(REFTIME* pStart, REFTIME* pStop) = 0;
  STDMETHOD(SetMediaTimes)(REFERENCE_TIME Start, REFERENCE_TIME Stop) = 0;
  STDMETHOD(SetMediaTimes2)(REFTIME Start, REFTIME Stop) = 0;
  // The length of the whole media file, as the caller knows it (0 unknown).
  STDMETHOD(SetMediaLength)(REFERENCE_TIME Length) = 0;
  STDMETHOD(SetMediaLength2)(REFTIME Length) = 0;
  STDMETHOD(GetMediaLength)(REFERENCE_TIME* pLength) = 0;
  STDMETHOD(GetMediaLength2)(REFTIME* pLength) = 0;
  STDMETHOD(GetMediaName)(BSTR* pVal) = 0;
  STDMETHOD(SetMediaName)(BSTR newVal) = 0;
  // Joins the next source of the same track when it continues this one seamlessly (same file,
  // stream and rate, contiguous in time and media); it leaves the track.
  STDMETHOD(SpliceWithNext)(IAMTimelineObj* pNext) = 0;
  STDMETHOD(GetStreamNumber)(LONG* pVal) = 0;
  STDMETHOD(SetStreamNumber)(LONG Val) = 0;
  // S_OK and TRUE when media and timeline spans are equally long.
  STDMETHOD(IsNormalRate)(BOOL* pVal) = 0;
  STDMETHOD(GetDefaultFPS)(double* pFPS) = 0;
  STDMETHOD(SetDefaultFPS)(double FPS) = 0;
  STDMETHOD(GetStretchMode)(int* pnStretchMode) = 0;
  // RESIZEF_*; other values E_INVALIDARG.
  STDMETHOD(SetStretchMode)(int nStretchMode) = 0;
};

DEFINE_GUID(IID_IAMTimelineTrans, 0xBCE0C265, 0x622D, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineTrans : public IUnknown {
  // The point of a cuts-only transition, relative to its start (default: the middle).
  STDMETHOD(GetCutPoint)(REFERENCE_TIME* pTLTime) = 0;
  STDMETHOD(GetCutPoint2)(REFTIME* pTLTime) = 0;
  STDMETHOD(SetCutPoint)(REFERENCE_TIME TLTime) = 0;
  STDMETHOD(SetCutPoint2)(REFTIME TLTime) = 0;
  // FALSE: from the lower layer to the upper; TRUE: the other way round.
  STDMETHOD(GetSwapInputs)(BOOL* pVal) = 0;
  STDMETHOD(SetSwapInputs)(BOOL pVal) = 0;
};

DEFINE_GUID(IID_IAMTimelineEffect, 0xBCE0C264, 0x622D, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineEffect : public IUnknown {
  // The effect's position among its node's effects (-1 while it is on none).
  STDMETHOD(EffectGetPriority)(LONG* pVal) = 0;
};

DEFINE_GUID(IID_IAMTimelineEffectable, 0xEAE58537, 0x622E, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineEffectable : public IUnknown {
  // Inserts an effect at the priority (-1: after all); effects apply in priority order.
  STDMETHOD(EffectInsBefore)(IAMTimelineObj* pFX, LONG priority) = 0;
  STDMETHOD(EffectSwapPriorities)(LONG PriorityA, LONG PriorityB) = 0;
  STDMETHOD(EffectGetCount)(LONG* pCount) = 0;
  STDMETHOD(GetEffect)(IAMTimelineObj** ppFx, LONG Which) = 0;
};

DEFINE_GUID(IID_IAMTimelineTransable, 0x378FA386, 0x622E, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimelineTransable : public IUnknown {
  // Adds a transition; E_INVALIDARG when it overlaps one already there.
  STDMETHOD(TransAdd)(IAMTimelineObj* pTrans) = 0;
  STDMETHOD(TransGetCount)(LONG* pCount) = 0;
};

DEFINE_GUID(IID_IAMTimelineVirtualTrack, 0xA8ED5F80, 0xC2C7, 0x11D2, 0x8D, 0x39, 0x00, 0xA0, 0xC9, 0x44, 0x1E, 0x20);
interface IAMTimelineVirtualTrack : public IUnknown {
  // The layer of this track or composition in its parent (-1 while it has none).
  STDMETHOD(TrackGetPriority)(LONG* pPriority) = 0;
};

// ---- The timeline ------------------------------------------------------------------------------
DEFINE_GUID(IID_IAMTimeline, 0x78530B74, 0x61F9, 0x11D2, 0x8C, 0xAD, 0x00, 0xA0, 0x24, 0x58, 0x09, 0x02);
interface IAMTimeline : public IUnknown {
  STDMETHOD(CreateEmptyNode)(IAMTimelineObj** ppObj, TIMELINE_MAJOR_TYPE Type) = 0;
  // Appends a group node; E_INVALIDARG for other nodes or a group already in a timeline.
  STDMETHOD(AddGroup)(IAMTimelineObj* pGroup) = 0;
  STDMETHOD(RemGroupFromList)(IAMTimelineObj* pGroup) = 0;
  STDMETHOD(GetGroup)(IAMTimelineObj** ppGroup, LONG WhichGroup) = 0;
  STDMETHOD(GetGroupCount)(LONG* pCount) = 0;
  STDMETHOD(ClearAllGroups)() = 0;
  STDMETHOD(GetInsertMode)(LONG* pMode) = 0;
  // Only TIMELINE_INSERT_MODE_OVERLAY is supported (new sources cut what they overlap).
  STDMETHOD(SetInsertMode)(LONG Mode) = 0;
  // Whether the render engine applies transitions and effects.
  STDMETHOD(EnableTransitions)(BOOL fEnabled) = 0;
  STDMETHOD(TransitionsEnabled)(BOOL* pfEnabled) = 0;
  STDMETHOD(EnableEffects)(BOOL fEnabled) = 0;
  STDMETHOD(EffectsEnabled)(BOOL* pfEnabled) = 0;
  // Sources wholly outside [Start, Stop) are not opened when the timeline is rendered.
  STDMETHOD(SetInterestRange)(REFERENCE_TIME Start, REFERENCE_TIME Stop) = 0;
  // The latest stop of any source, transition or effect in any group.
  STDMETHOD(GetDuration)(REFERENCE_TIME* pDuration) = 0;
  STDMETHOD(GetDuration2)(double* pDuration) = 0;
  // The frame rate new groups and sources start with (default 15). Rates here and in
  // SetOutputFPS and IAMTimelineSrc::SetDefaultFPS give frames of one unit up to a day;
  // others are E_INVALIDARG.
  STDMETHOD(SetDefaultFPS)(double FPS) = 0;
  STDMETHOD(GetDefaultFPS)(double* pFPS) = 0;
};
