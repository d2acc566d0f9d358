#include "media/media_probe.h"

#include <cstring>

#include "des/qedit.h"
#include "gdiplus/gdiplus.h"
#include "mfc/afx.h"
#include "ole/comptr.h"

double FileDurationSeconds(LPCTSTR name, HWND owner) {
  ComPtr<IGraphBuilder> graph;
  HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid());
  if (SUCCEEDED(hr)) hr = graph->RenderFile(CStringW(name ? name : ""), nullptr);
  if (FAILED(hr)) {
    ::MessageBoxA(owner, "Failed to open the media file,do you installed correct decoder", nullptr, MB_OK);
    return 0;
  }
  ComPtr<IMediaSeeking> seeking;
  LONGLONG duration = 0;
  if (FAILED(graph.As(IID_IMediaSeeking, &seeking)) || FAILED(seeking->GetDuration(&duration))) return 0;
  return double(duration / 10000000);
}

StreamFacts ProbeStreams(LPCTSTR name, bool wantFrameRate, bool wantLength) {
  StreamFacts facts;
  ComPtr<IMediaDet> detector;
  if (FAILED(CoCreateInstance(CLSID_MediaDet, nullptr, CLSCTX_INPROC_SERVER, IID_IMediaDet, detector.putVoid())))
    return facts;
  BSTR file = CString(name ? name : "").AllocSysString();
  const HRESULT opened = detector->put_Filename(file);
  SysFreeString(file);
  LONG streams = 0;
  if (FAILED(opened) || FAILED(detector->get_OutputStreams(&streams))) return facts;
  for (LONG i = 0; i < streams; ++i) {
    GUID major = GUID_NULL;
    if (FAILED(detector->put_CurrentStream(i)) || FAILED(detector->get_StreamType(&major))) return facts;
    if (major == MEDIATYPE_Video) {
      if (wantFrameRate && FAILED(detector->get_FrameRate(&facts.frameRate))) return facts;
      if (wantLength && FAILED(detector->get_StreamLength(&facts.length))) return facts;
      CMediaType type;
      if (FAILED(detector->get_StreamMediaType(&type))) return facts;
      if (type.formattype == FORMAT_VideoInfo && type.cbFormat >= sizeof(VIDEOINFOHEADER)) {
        const BITMAPINFOHEADER& bi = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
        facts.width = short(bi.biWidth);
        facts.height = short(bi.biHeight < 0 ? -bi.biHeight : bi.biHeight);
      }
    } else if (major == MEDIATYPE_Audio) {
      facts.audio = true;
      if (streams == 1 && wantLength) detector->get_StreamLength(&facts.length);
    }
  }
  facts.found = true;
  return facts;
}

bool NamesImageFile(LPCTSTR name) {
  const size_t length = name ? std::strlen(name) : 0;
  if (length < 3) return false;
  const char* end = name + length - 3;
  return std::strcmp(end, "tif") == 0 || std::strcmp(end, "jpg") == 0 || std::strcmp(end, "bmp") == 0;
}

SIZE ImageFileSize(LPCTSTR name) {
  const CStringW path(name);
  Gdiplus::Bitmap image(path);
  return {LONG(image.GetWidth()), LONG(image.GetHeight())};
}
