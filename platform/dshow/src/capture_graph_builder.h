#pragma once
// The capture graph builder: output file stages and stream rendering on a filter graph.
#include "dshow/amfilter.h"

namespace dshow {

class CaptureGraphBuilder : public CUnknown, public ICaptureGraphBuilder2 {
 public:
  CaptureGraphBuilder(LPUNKNOWN pUnk, HRESULT* phr) : CUnknown("capture graph builder", pUnk, phr) {}
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  // Once per builder (E_UNEXPECTED after that); without it the builder makes its own graph.
  STDMETHODIMP SetFiltergraph(IGraphBuilder* pfg) override;
  STDMETHODIMP GetFiltergraph(IGraphBuilder** ppfg) override;
  // MEDIASUBTYPE_Avi: AVI Mux + File Writer; MEDIASUBTYPE_Asf: WM ASF Writer; any other value is
  // the class of a multiplexer, followed by a File Writer unless it writes the file itself.
  STDMETHODIMP SetOutputFileName(const GUID* pType, LPCOLESTR lpstrFile, IBaseFilter** ppf,
                                 IFileSinkFilter** ppSink) override;
  // The filter itself, then its pins, then the filters downstream and upstream of it
  // (LOOK_UPSTREAM_ONLY / LOOK_DOWNSTREAM_ONLY: only that way, without the filter).
  STDMETHODIMP FindInterface(const GUID* pCategory, const GUID* pType, IBaseFilter* pf, REFIID riid,
                             void** ppint) override;
  // From a pin, or a filter's first free output of the type, through the optional compressor to
  // the sink's first input that connects, or rendered with the default renderers.
  STDMETHODIMP RenderStream(const GUID* pCategory, const GUID* pType, IUnknown* pSource, IBaseFilter* pfCompressor,
                            IBaseFilter* pfRenderer) override;
  // Capture devices and capture files do not exist here.
  STDMETHODIMP ControlStream(const GUID* pCategory, const GUID* pType, IBaseFilter* pFilter, REFERENCE_TIME* pstart,
                             REFERENCE_TIME* pstop, WORD wStartCookie, WORD wStopCookie) override;
  STDMETHODIMP AllocCapFile(LPCOLESTR lpstr, DWORDLONG dwlSize) override;
  STDMETHODIMP CopyCaptureFile(LPOLESTR lpwstrOld, LPOLESTR lpwstrNew, int fAllowEscAbort,
                               IAMCopyCaptureFileProgress* pCallback) override;
  // The num-th (from 0) pin of the direction and major type, optionally only unconnected ones.
  // Pins have no categories here: a category other than NULL finds nothing.
  STDMETHODIMP FindPin(IUnknown* pSource, PIN_DIRECTION pindir, const GUID* pCategory, const GUID* pType,
                       BOOL fUnconnected, int num, IPin** ppPin) override;

 private:
  HRESULT EnsureGraph();
  HRESULT EnsureInGraph(IBaseFilter* filter);
  // A new filter of the class in the graph; null with *hr set when it cannot be made or added.
  ComPtr<IBaseFilter> AddNew(REFCLSID clsid, LPCWSTR name, HRESULT* hr);

  ComPtr<IGraphBuilder> graph_;
};

}  // namespace dshow
