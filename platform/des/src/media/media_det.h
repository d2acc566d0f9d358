#pragma once
// The media detector over a graph of its own holding the file's source filter.
#include <string>
#include <vector>

#include "des/qedit.h"

namespace des {

class MediaDet : public CUnknown, public IMediaDet {
 public:
  MediaDet();

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  STDMETHODIMP get_Filter(IUnknown**) override { return E_NOTIMPL; }
  STDMETHODIMP put_Filter(IUnknown*) override { return E_NOTIMPL; }
  STDMETHODIMP get_OutputStreams(LONG* pVal) override;
  STDMETHODIMP get_CurrentStream(LONG* pVal) override;
  STDMETHODIMP put_CurrentStream(LONG newVal) override;
  STDMETHODIMP get_StreamType(GUID* pVal) override;
  STDMETHODIMP get_StreamTypeB(BSTR* pVal) override;
  STDMETHODIMP get_StreamLength(double* pVal) override;
  STDMETHODIMP get_Filename(BSTR* pVal) override;
  STDMETHODIMP put_Filename(BSTR newVal) override;
  STDMETHODIMP GetBitmapBits(double, LONG*, char*, LONG, LONG) override { return E_NOTIMPL; }
  STDMETHODIMP WriteBitmapBits(double, LONG, LONG, BSTR) override { return E_NOTIMPL; }
  STDMETHODIMP get_StreamMediaType(AM_MEDIA_TYPE* pVal) override;
  STDMETHODIMP GetSampleGrabber(ISampleGrabber**) override { return E_NOTIMPL; }
  STDMETHODIMP get_FrameRate(double* pVal) override;
  STDMETHODIMP EnterBitmapGrabMode(double) override { return E_NOTIMPL; }

 private:
  // The current stream's first media type; false without a file.
  bool CurrentType(CMediaType* type);
  void Close();

  std::u16string fileName_;
  ComPtr<IGraphBuilder> graph_;
  ComPtr<IBaseFilter> source_;
  std::vector<ComPtr<IPin>> streams_;
  LONG current_ = 0;
};

}  // namespace des
