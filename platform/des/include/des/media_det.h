#pragma once
// The media detector: what a file holds, stream by stream, as the graph's source filter for the
// file delivers it (the streams of the built-in source are decoded pictures and PCM sound).
#include "dshow/dshow.h"

DEFINE_GUID(CLSID_MediaDet, 0x65BD0711, 0x24D2, 0x4FF7, 0x93, 0x24, 0xED, 0x2E, 0x5D, 0x3A, 0xBA, 0xFA);
DEFINE_GUID(IID_IMediaDet, 0x65BD0710, 0x24D2, 0x4FF7, 0x93, 0x24, 0xED, 0x2E, 0x5D, 0x3A, 0xBA, 0xFA);
interface IMediaDet : public IUnknown {
  // Filters other than the file's source, and the bitmap grabbing below, are not offered here
  // (E_NOTIMPL).
  STDMETHOD(get_Filter)(IUnknown** pVal) = 0;
  STDMETHOD(put_Filter)(IUnknown* newVal) = 0;
  // Streams of the file; the current stream is 0 after put_Filename.
  STDMETHOD(get_OutputStreams)(LONG* pVal) = 0;
  STDMETHOD(get_CurrentStream)(LONG* pVal) = 0;
  // E_INVALIDARG outside 0 .. streams - 1.
  STDMETHOD(put_CurrentStream)(LONG newVal) = 0;
  // The major type of the current stream.
  STDMETHOD(get_StreamType)(GUID* pVal) = 0;
  STDMETHOD(get_StreamTypeB)(BSTR* pVal) = 0;
  // Seconds.
  STDMETHOD(get_StreamLength)(double* pVal) = 0;
  STDMETHOD(get_Filename)(BSTR* pVal) = 0;
  // Opens the file; fails as the graph's AddSourceFilter fails.
  STDMETHOD(put_Filename)(BSTR newVal) = 0;
  STDMETHOD(GetBitmapBits)(double StreamTime, LONG* pBufferSize, char* pBuffer, LONG Width, LONG Height) = 0;
  STDMETHOD(WriteBitmapBits)(double StreamTime, LONG Width, LONG Height, BSTR Filename) = 0;
  // The current stream's media type; the caller frees it (FreeMediaType).
  STDMETHOD(get_StreamMediaType)(AM_MEDIA_TYPE* pVal) = 0;
  STDMETHOD(GetSampleGrabber)(ISampleGrabber** ppVal) = 0;
  // Frames a second of a video stream; VFW_E_INVALIDMEDIATYPE for other streams.
  STDMETHOD(get_FrameRate)(double* pVal) = 0;
  STDMETHOD(EnterBitmapGrabMode)(double SecondTime) = 0;
};
