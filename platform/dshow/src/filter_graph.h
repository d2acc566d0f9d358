#pragma once
// The filter graph manager: membership and names of filters, connection and rendering with
// inserted filters, state of the whole graph, its clock, its event queue and seeking.
#include <set>
#include <string>
#include <vector>

#include "dshow/amfilter.h"
#include "graph_events.h"

namespace dshow {

class FilterGraph : public CUnknown,
                    public IGraphBuilder,
                    public IMediaControl,
                    public IMediaEventEx,
                    public IMediaEventSink,
                    public IMediaSeeking,
                    public IMediaPosition,
                    public IMediaFilter {
 public:
  FilterGraph(LPUNKNOWN pUnk, HRESULT* phr);
  // Stops the graph (joining every streaming thread) and lets go of the filters.
  ~FilterGraph() override;
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  // The video window, video and audio interfaces come from the first filter offering them.
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // IFilterGraph
  STDMETHODIMP AddFilter(IBaseFilter* pFilter, LPCWSTR pName) override;
  STDMETHODIMP RemoveFilter(IBaseFilter* pFilter) override;
  STDMETHODIMP EnumFilters(IEnumFilters** ppEnum) override;
  STDMETHODIMP FindFilterByName(LPCWSTR pName, IBaseFilter** ppFilter) override;
  STDMETHODIMP ConnectDirect(IPin* ppinOut, IPin* ppinIn, const AM_MEDIA_TYPE* pmt) override;
  STDMETHODIMP Reconnect(IPin* ppin) override;
  STDMETHODIMP Disconnect(IPin* ppin) override;
  STDMETHODIMP SetDefaultSyncSource() override;
  // IGraphBuilder
  STDMETHODIMP Connect(IPin* ppinOut, IPin* ppinIn) override;
  STDMETHODIMP Render(IPin* ppinOut) override;
  STDMETHODIMP RenderFile(LPCWSTR lpcwstrFile, LPCWSTR lpcwstrPlayList) override;
  STDMETHODIMP AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName, IBaseFilter** ppFilter) override;
  STDMETHODIMP SetLogFile(DWORD_PTR hFile) override;
  STDMETHODIMP Abort() override;
  STDMETHODIMP ShouldOperationContinue() override;

  // IDispatch of the control interfaces: no type information is offered.
  STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override;
  STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override;
  STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid, DISPID* rgDispId) override;
  STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS* pDispParams,
                      VARIANT* pVarResult, EXCEPINFO* pExcepInfo, UINT* puArgErr) override;

  // IMediaControl (Pause and Stop serve IMediaFilter too)
  STDMETHODIMP Run() override;
  STDMETHODIMP Pause() override;
  STDMETHODIMP Stop() override;
  STDMETHODIMP GetState(LONG msTimeout, OAFilterState* pfs) override;
  STDMETHODIMP RenderFile(BSTR strFilename) override;
  STDMETHODIMP AddSourceFilter(BSTR strFilename, IDispatch** ppUnk) override;
  STDMETHODIMP get_FilterCollection(IDispatch** ppUnk) override;
  STDMETHODIMP get_RegFilterCollection(IDispatch** ppUnk) override;
  STDMETHODIMP StopWhenReady() override;

  // IMediaEvent, IMediaEventEx
  STDMETHODIMP GetEventHandle(OAEVENT* hEvent) override;
  STDMETHODIMP GetEvent(LONG* lEventCode, LONG_PTR* lParam1, LONG_PTR* lParam2, LONG msTimeout) override;
  STDMETHODIMP WaitForCompletion(LONG msTimeout, LONG* pEvCode) override;
  STDMETHODIMP CancelDefaultHandling(LONG lEvCode) override;
  STDMETHODIMP RestoreDefaultHandling(LONG lEvCode) override;
  STDMETHODIMP FreeEventParams(LONG lEvCode, LONG_PTR lParam1, LONG_PTR lParam2) override;
  STDMETHODIMP SetNotifyWindow(OAHWND hwnd, LONG lMsg, LONG_PTR lInstanceData) override;
  STDMETHODIMP SetNotifyFlags(LONG lNoNotifyFlags) override;
  STDMETHODIMP GetNotifyFlags(LONG* lplNoNotifyFlags) override;

  // IMediaEventSink: EC_COMPLETE reaches the application once every renderer has sent it.
  STDMETHODIMP Notify(LONG EventCode, LONG_PTR EventParam1, LONG_PTR EventParam2) override;

  // IMediaSeeking: positions go to the sources (their output pins, else the filters). The
  // current position is the smallest answer of the filters downstream of the sources that
  // report one (how far a writer or renderer has got), else the clock's stream time from
  // where the run began, else that start.
  STDMETHODIMP GetCapabilities(DWORD* pCapabilities) override;
  STDMETHODIMP CheckCapabilities(DWORD* pCapabilities) override;
  STDMETHODIMP IsFormatSupported(const GUID* pFormat) override;
  STDMETHODIMP QueryPreferredFormat(GUID* pFormat) override;
  STDMETHODIMP GetTimeFormat(GUID* pFormat) override;
  STDMETHODIMP IsUsingTimeFormat(const GUID* pFormat) override;
  STDMETHODIMP SetTimeFormat(const GUID* pFormat) override;
  STDMETHODIMP GetDuration(LONGLONG* pDuration) override;
  STDMETHODIMP GetStopPosition(LONGLONG* pStop) override;
  STDMETHODIMP GetCurrentPosition(LONGLONG* pCurrent) override;
  STDMETHODIMP ConvertTimeFormat(LONGLONG* pTarget, const GUID* pTargetFormat, LONGLONG Source,
                                 const GUID* pSourceFormat) override;
  STDMETHODIMP SetPositions(LONGLONG* pCurrent, DWORD dwCurrentFlags, LONGLONG* pStop, DWORD dwStopFlags) override;
  STDMETHODIMP GetPositions(LONGLONG* pCurrent, LONGLONG* pStop) override;
  STDMETHODIMP GetAvailable(LONGLONG* pEarliest, LONGLONG* pLatest) override;
  STDMETHODIMP SetRate(double dRate) override;
  STDMETHODIMP GetRate(double* pdRate) override;
  STDMETHODIMP GetPreroll(LONGLONG* pllPreroll) override;

  // IMediaPosition: the same in seconds.
  STDMETHODIMP get_Duration(REFTIME* plength) override;
  STDMETHODIMP put_CurrentPosition(REFTIME llTime) override;
  STDMETHODIMP get_CurrentPosition(REFTIME* pllTime) override;
  STDMETHODIMP get_StopTime(REFTIME* pllTime) override;
  STDMETHODIMP put_StopTime(REFTIME llTime) override;
  STDMETHODIMP get_PrerollTime(REFTIME* pllTime) override;
  STDMETHODIMP put_PrerollTime(REFTIME llTime) override;
  STDMETHODIMP put_Rate(double dRate) override;
  STDMETHODIMP get_Rate(double* pdRate) override;
  STDMETHODIMP CanSeekForward(LONG* pCanSeekForward) override;
  STDMETHODIMP CanSeekBackward(LONG* pCanSeekBackward) override;

  // IMediaFilter (the graph as a whole)
  STDMETHODIMP GetClassID(CLSID* pClassID) override;
  STDMETHODIMP Run(REFERENCE_TIME tStart) override;
  STDMETHODIMP GetState(DWORD dwMilliSecsTimeout, FILTER_STATE* State) override;
  STDMETHODIMP SetSyncSource(IReferenceClock* pClock) override;
  STDMETHODIMP GetSyncSource(IReferenceClock** pClock) override;

 private:
  struct Member {
    ComPtr<IBaseFilter> filter;
    std::u16string name;
  };

  bool Contains(IBaseFilter* filter);
  std::u16string UniqueName(LPCWSTR requested);
  // Filters with downstream ones first: state changes reach renderers before sources.
  std::vector<IBaseFilter*> DownstreamFirst();
  std::vector<ComPtr<IMediaSeeking>> Seekers();
  // The largest of what the seekers answer to get (duration, stop position).
  HRESULT LargestFromSeekers(HRESULT (STDMETHODCALLTYPE IMediaSeeking::*get)(LONGLONG*), LONGLONG* value);
  bool IsRenderer(IBaseFilter* filter);
  bool HasConnectedInput(IBaseFilter* filter);
  HRESULT PauseLocked();
  HRESULT RunLocked(REFERENCE_TIME tStart);
  HRESULT StopLocked();
  void ChooseDefaultClock();
  void DistributeClock();
  REFERENCE_TIME StreamTimeNow();
  void ResetCompletion();
  HRESULT MediaTimeFromFormat(LONGLONG value, LONGLONG* mediaTime);
  HRESULT FormatFromMediaTime(LONGLONG mediaTime, LONGLONG* value);
  // A position IMediaSeeking gives in the time format, as seconds of media time (0 on failure).
  HRESULT SecondsOf(HRESULT (STDMETHODCALLTYPE FilterGraph::*get)(LONGLONG*), REFTIME* seconds);

  // Intelligent connection (graph_builder.cpp).
  HRESULT ConnectVia(IPin* out, IPin* in, int depth, std::vector<ComPtr<IBaseFilter>>& added);
  HRESULT RenderVia(IPin* out, int depth, std::vector<ComPtr<IBaseFilter>>& added);
  HRESULT RenderThroughWaiting(IPin* out);
  ComPtr<IBaseFilter> AddCandidate(REFCLSID clsid, const std::u16string& name);  // null on failure
  void RemoveAdded(std::vector<ComPtr<IBaseFilter>>& added);  // last added first

  CCritSec lock_;
  std::vector<Member> members_;  // in order of addition
  FILTER_STATE state_ = State_Stopped;
  ComPtr<IReferenceClock> clock_;
  bool clockChosen_ = false;     // set by SetSyncSource: no default clock is picked
  REFERENCE_TIME runStart_ = 0;  // clock time of stream time 0
  REFERENCE_TIME pausedAt_ = 0;  // stream time when paused

  GUID timeFormat_ = TIME_FORMAT_MEDIA_TIME;
  LONGLONG segmentStart_ = 0;  // media time where the current run began
  double rate_ = 1.0;

  GraphEvents events_;
  std::mutex completionLock_;
  std::set<IBaseFilter*> pendingRenderers_;
  bool completeSent_ = false;
  bool defaultComplete_ = true;
};

}  // namespace dshow
