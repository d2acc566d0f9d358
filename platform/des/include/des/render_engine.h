#pragma once
// The render engine: builds the front end of a filter graph from a timeline, one output pin per
// group delivering the group's media type. Every clip is opened the way the graph opens a file
// played on its own (IGraphBuilder::AddSourceFilter, then Connect with its decoders and
// converters); the group's own filter composes the layers by priority, fills gaps with black or
// silence, plays stretched clips faster or slower and stamps its samples with timeline times.
#include "des/timeline.h"

DEFINE_GUID(CLSID_RenderEngine, 0x64D8A8E0, 0x80A2, 0x11D2, 0x8C, 0xF3, 0x00, 0xA0, 0xC9, 0x44, 0x1E, 0x20);

DEFINE_GUID(IID_IRenderEngine, 0x6BEE3A81, 0x66C9, 0x11D2, 0x91, 0x8F, 0x00, 0xC0, 0xDF, 0x10, 0xD4, 0x34);
interface IRenderEngine : public IUnknown {
  STDMETHOD(SetTimelineObject)(IAMTimeline* pTimeline) = 0;
  STDMETHOD(GetTimelineObject)(IAMTimeline** ppTimeline) = 0;
  // The graph the front end was built in (E_UNEXPECTED before there is one).
  STDMETHOD(GetFilterGraph)(IGraphBuilder** ppFG) = 0;
  // Builds in the caller's graph instead of a new one (only before ConnectFrontEnd).
  STDMETHOD(SetFilterGraph)(IGraphBuilder* pFG) = 0;
  // Sources wholly outside the range are not opened (their span plays as a gap).
  STDMETHOD(SetInterestRange)(REFERENCE_TIME Start, REFERENCE_TIME Stop) = 0;
  STDMETHOD(SetInterestRange2)(double Start, double Stop) = 0;
  // Renders only [Start, Stop) of the timeline; output times then begin at 0.
  STDMETHOD(SetRenderRange)(REFERENCE_TIME Start, REFERENCE_TIME Stop) = 0;
  STDMETHOD(SetRenderRange2)(double Start, double Stop) = 0;
  // The group's output pin (reference added); E_INVALIDARG for a group that does not exist,
  // E_UNEXPECTED before ConnectFrontEnd.
  STDMETHOD(GetGroupOutputPin)(LONG Group, IPin** ppRenderPin) = 0;
  // Stops the graph, takes out of it every filter that came in with the front end or after it
  // (the caller's filters downstream of the group pins too) and lets the graph go.
  STDMETHOD(ScrapIt)() = 0;
  // Renders every group output pin with the graph's default renderers.
  STDMETHOD(RenderOutputPins)() = 0;
  STDMETHOD(GetVendorString)(BSTR* pVendorID) = 0;
  // Builds the group filters and the clip chains. Fails when a group's media type cannot be
  // delivered or a clip's file cannot be opened and connected; a clip whose file has no stream
  // of the group's kind plays as a gap (black or silence). Called again, it stops the graph and
  // replaces the front end it built before (with the filters that came in after it).
  STDMETHOD(ConnectFrontEnd)() = 0;
};
