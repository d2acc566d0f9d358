#include "media/frame_grabber.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <vector>

#include "dshow/builtin_filters.h"
#include "filters/outside_filters.h"
#include "gdiplus/gdiplus.h"
#include "ole/com_object.h"

const char* ImageMimeType(short imageType) {
  switch (imageType) {
    case 1: return "image/jpeg";
    case 2: return "image/png";
    case 3: return "image/tiff";
    case 4: return "image/gif";
    default: return "image/bmp";
  }
}

namespace {

// Tells the waiting grab that the grabber has taken its sample. The wait is on real time, never
// the platform clock: a graph without a clock runs as fast as it decodes.
class SampleSignal final : public ComObject<SampleSignal, ISampleGrabberCB, IID_ISampleGrabberCB> {
 public:
  STDMETHOD(SampleCB)(double, IMediaSample*) override {
    {
      std::lock_guard<std::mutex> hold(lock_);
      seen_ = true;
    }
    arrived_.notify_all();
    return S_OK;
  }
  STDMETHOD(BufferCB)(double, BYTE*, LONG) override { return S_OK; }
  // True once the sample came, waiting for it at most `longest`.
  bool Seen(std::chrono::microseconds longest) {
    std::unique_lock<std::mutex> hold(lock_);
    return arrived_.wait_for(hold, longest, [this] { return seen_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable arrived_;
  bool seen_ = false;
};

HRESULT AddNew(IGraphBuilder* graph, REFCLSID clsid, LPCWSTR name, ComPtr<IBaseFilter>* filter) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter->putVoid());
  return SUCCEEDED(hr) ? graph->AddFilter(filter->get(), name) : hr;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  ComPtr<IEnumPins> pins;
  if (FAILED(filter->EnumPins(pins.put()))) return nullptr;
  ComPtr<IPin> pin;
  PIN_DIRECTION direction;
  while (pins->Next(1, pin.put(), nullptr) == S_OK)
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
  return nullptr;
}

// The source's first output that offers pictures, with the first format it offers.
ComPtr<IPin> PictureOutput(IBaseFilter* source, CMediaType* format) {
  ComPtr<IEnumPins> pins;
  if (FAILED(source->EnumPins(pins.put()))) return nullptr;
  ComPtr<IPin> pin;
  while (pins->Next(1, pin.put(), nullptr) == S_OK) {
    PIN_DIRECTION direction;
    ComPtr<IEnumMediaTypes> types;
    AM_MEDIA_TYPE* first = nullptr;
    if (FAILED(pin->QueryDirection(&direction)) || direction != PINDIR_OUTPUT ||
        FAILED(pin->EnumMediaTypes(types.put())) || types->Next(1, &first, nullptr) != S_OK || !first)
      continue;
    *format = *first;
    DeleteMediaType(first);
    if (format->majortype == MEDIATYPE_Video) return pin;
  }
  return nullptr;
}

// What RenderFile does with the source it adds: every output rendered, the pictures through the
// filters already in the graph. Succeeds when any output was rendered.
HRESULT RenderOutputs(IGraphBuilder* graph, IBaseFilter* source) {
  std::vector<ComPtr<IPin>> outputs;
  ComPtr<IEnumPins> pins;
  if (FAILED(source->EnumPins(pins.put()))) return E_FAIL;
  ComPtr<IPin> pin;
  PIN_DIRECTION direction;
  while (pins->Next(1, pin.put(), nullptr) == S_OK)
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == PINDIR_OUTPUT) outputs.push_back(std::move(pin));
  HRESULT result = VFW_E_CANNOT_RENDER;
  for (const ComPtr<IPin>& output : outputs)
    if (SUCCEEDED(graph->Render(output.get()))) result = S_OK;
  return result;
}

// A grab wants one picture. Without a clock a sound renderer takes its stream as fast as the file
// decodes, so the muted sound renderers are taken out of the graph rather than decoded for nothing.
void RemoveSoundRenderers(IGraphBuilder* graph) {
  ComPtr<IEnumFilters> all;
  if (FAILED(graph->EnumFilters(all.put()))) return;
  std::vector<ComPtr<IBaseFilter>> sounds;
  ComPtr<IBaseFilter> filter;
  while (all->Next(1, filter.put(), nullptr) == S_OK)
    if (filter.As<IBasicAudio>(IID_IBasicAudio)) sounds.push_back(std::move(filter));
  for (const ComPtr<IBaseFilter>& sound : sounds) {
    if (const ComPtr<IPin> input = FirstPin(sound.get(), PINDIR_INPUT)) {
      ComPtr<IPin> output;
      if (SUCCEEDED(input->ConnectedTo(output.put()))) output->Disconnect();
      input->Disconnect();
    }
    graph->RemoveFilter(sound.get());
  }
}

// The filter that shows the pictures: the one with a video window.
ComPtr<IBaseFilter> PictureRenderer(IGraphBuilder* graph) {
  ComPtr<IEnumFilters> all;
  if (FAILED(graph->EnumFilters(all.put()))) return nullptr;
  ComPtr<IBaseFilter> filter;
  while (all->Next(1, filter.put(), nullptr) == S_OK)
    if (filter.As<IVideoWindow>(IID_IVideoWindow)) return filter;
  return nullptr;
}

// Pictures go to a null renderer instead of the screen.
HRESULT ReplacePictureRenderer(IGraphBuilder* graph) {
  const ComPtr<IBaseFilter> renderer = PictureRenderer(graph);
  if (!renderer) return VFW_E_NOT_FOUND;
  const ComPtr<IPin> input = FirstPin(renderer.get(), PINDIR_INPUT);
  ComPtr<IPin> output;
  if (!input || FAILED(input->ConnectedTo(output.put()))) return VFW_E_NOT_CONNECTED;
  output->Disconnect();
  input->Disconnect();
  graph->RemoveFilter(renderer.get());
  ComPtr<IBaseFilter> null;
  HRESULT hr = AddNew(graph, CLSID_NullRenderer, u"Null Renderer", &null);
  if (FAILED(hr)) return hr;
  const ComPtr<IPin> nullInput = FirstPin(null.get(), PINDIR_INPUT);
  return nullInput ? graph->Connect(output.get(), nullInput.get()) : VFW_E_NOT_FOUND;
}

ComPtr<ICustomGrabber> FindGrabber(IGraphBuilder* graph) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(graph->FindFilterByName(u"Custom Grabber", filter.put()))) return nullptr;
  return filter.As<ICustomGrabber>(IID_ICustomGrabber);
}

// The grabber's kept sample as a new DIB section of the connected picture format.
HBITMAP KeptFrame(ICustomGrabber* grabber) {
  CMediaType type;
  if (FAILED(grabber->GetConnectedMediaType(&type)) || type.formattype != FORMAT_VideoInfo ||
      type.cbFormat < sizeof(VIDEOINFOHEADER))
    return nullptr;
  BITMAPINFO info{};
  info.bmiHeader = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
  void* bits = nullptr;
  HBITMAP frame = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!frame) return nullptr;
  LONG size = 0;
  if (grabber->GetCurrentBuffer(&size, nullptr) != S_OK || LONG(DIBSIZE(info.bmiHeader)) < size ||
      grabber->GetCurrentBuffer(&size, static_cast<LONG*>(bits)) != S_OK) {
    DeleteObject(frame);
    return nullptr;
  }
  return frame;
}

bool FindEncoder(const char* mimeType, CLSID* clsid) {
  UINT count = 0, size = 0;
  if (Gdiplus::GetImageEncodersSize(&count, &size) != Gdiplus::Ok || size == 0) return false;
  std::vector<Gdiplus::ImageCodecInfo> encoders(count);
  if (Gdiplus::GetImageEncoders(count, size, encoders.data()) != Gdiplus::Ok) return false;
  const CStringW wanted(mimeType);
  for (const Gdiplus::ImageCodecInfo& e : encoders) {
    if (wanted == CStringW(e.MimeType)) {
      *clsid = e.Clsid;
      return true;
    }
  }
  return false;
}

}  // namespace

FrameGrabber::~FrameGrabber() {
  Stop();
  if (result_) DeleteObject(result_);
}

HBITMAP FrameGrabber::TakeResult() { return std::exchange(result_, nullptr); }

void FrameGrabber::Stop() {
  if (!graph_) return;
  if (auto control = graph_.As<IMediaControl>(IID_IMediaControl)) control->Stop();
  std::vector<ComPtr<IBaseFilter>> filters;
  ComPtr<IEnumFilters> all;
  if (SUCCEEDED(graph_->EnumFilters(all.put()))) {
    ComPtr<IBaseFilter> filter;
    while (all->Next(1, filter.put(), nullptr) == S_OK) filters.push_back(std::move(filter));
  }
  for (const ComPtr<IBaseFilter>& filter : filters) graph_->RemoveFilter(filter.get());
  graph_ = nullptr;
}

// The file's source is added first so that its own picture format tells whether "My Space
// Converter" is needed and the file is opened once; its outputs are then rendered as RenderFile
// would, and the picture renderer is swapped for a null renderer.
HRESULT FrameGrabber::Build(LPCTSTR file) {
  HRESULT hr = CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph_.putVoid());
  if (FAILED(hr)) return hr;
  const CStringW name(file);
  ComPtr<IBaseFilter> source;
  hr = graph_->AddSourceFilter(name, name, source.put());
  if (FAILED(hr)) return hr;
  CMediaType format;
  if (!PictureOutput(source.get(), &format)) return VFW_E_NOT_FOUND;
  // One picture is wanted, as soon as it is decoded.
  if (auto threading = source.As<IDecoderThreading>(IID_IDecoderThreading)) threading->SetPictureThreads(FALSE);

  ComPtr<IBaseFilter> grabber, converter;
  hr = AddNew(graph_.get(), CLSID_CustomGrabber, u"Custom Grabber", &grabber);
  if (SUCCEEDED(hr) && format.subtype == MEDIASUBTYPE_RGB32)
    hr = AddNew(graph_.get(), CLSID_Colour, u"My Space Converter", &converter);
  if (SUCCEEDED(hr)) hr = RenderOutputs(graph_.get(), source.get());
  if (FAILED(hr)) return hr;
  if (auto audio = graph_.As<IBasicAudio>(IID_IBasicAudio)) audio->put_Volume(-10000);
  RemoveSoundRenderers(graph_.get());
  return ReplacePictureRenderer(graph_.get());
}

HBITMAP FrameGrabber::Capture(LPCTSTR file, double seconds) {
  if (FAILED(Build(file))) return nullptr;
  const ComPtr<ICustomGrabber> grabber = FindGrabber(graph_.get());
  auto control = graph_.As<IMediaControl>(IID_IMediaControl);
  auto seeking = graph_.As<IMediaSeeking>(IID_IMediaSeeking);
  auto events = graph_.As<IMediaEvent>(IID_IMediaEvent);
  auto timing = graph_.As<IMediaFilter>(IID_IMediaFilter);
  if (!grabber || !control || !seeking || !events || !timing) return nullptr;
  grabber->SetOneShot(TRUE);
  grabber->SetBufferSamples(TRUE);
  const auto signal = ComPtr<SampleSignal>::Adopt(new SampleSignal);
  grabber->SetCallback(signal.get(), 0);

  // No frame covers a time at or past the end: nothing runs.
  LONGLONG position = LONGLONG(seconds * 10000000.0), duration = 0;
  if (seconds < 0 || FAILED(seeking->GetDuration(&duration)) || position >= duration) return nullptr;
  // As fast as the file decodes, from the asked time on.
  timing->SetSyncSource(nullptr);
  if (FAILED(seeking->SetPositions(&position, AM_SEEKING_AbsolutePositioning, nullptr, AM_SEEKING_NoPositioning)) ||
      FAILED(control->Run()))
    return nullptr;
  // Until the grabber holds its frame, or the streams end or fail without one.
  for (bool ended = false; !signal->Seen(std::chrono::milliseconds(1)) && !ended;) {
    LONG code = 0;
    LONG_PTR param1 = 0, param2 = 0;
    while (!ended && events->GetEvent(&code, &param1, &param2, 0) == S_OK) {
      events->FreeEventParams(code, param1, param2);
      ended = code == EC_COMPLETE || code == EC_ERRORABORT || code == EC_USERABORT;
    }
  }
  control->Stop();
  grabber->SetCallback(nullptr, 0);
  return KeptFrame(grabber.get());
}

bool FrameGrabber::Grab(LPCTSTR file, double seconds, const GrabRequest& request) {
  if (result_) DeleteObject(std::exchange(result_, nullptr));
  if (!file || !*file) return false;
  HBITMAP frame = Capture(file, seconds);
  Stop();
  if (!frame) return false;
  if (request.saveToFile) {
    const bool saved = SaveFrameImage(frame, request);
    DeleteObject(frame);
    return saved;
  }
  if (request.scale) {
    result_ = ScaleFrame(frame, request.width, request.height);
    DeleteObject(frame);
    return result_ != nullptr;
  }
  result_ = frame;
  return true;
}

HBITMAP ScaleFrame(HBITMAP frame, int width, int height) {
  Gdiplus::Bitmap picture(frame, nullptr);
  Gdiplus::Bitmap scaled(width, height, PixelFormat32bppARGB);
  if (picture.GetLastStatus() != Gdiplus::Ok || scaled.GetLastStatus() != Gdiplus::Ok) return nullptr;
  Gdiplus::Graphics graphics(&scaled);
  if (graphics.DrawImage(&picture, 0, 0, width, height) != Gdiplus::Ok) return nullptr;
  HBITMAP result = nullptr;
  scaled.GetHBITMAP(Gdiplus::Color(0, 0, 0, 0), &result);
  return result;
}

bool SaveFrameImage(HBITMAP frame, const GrabRequest& request) {
  Gdiplus::Bitmap picture(frame, nullptr);
  return picture.GetLastStatus() == Gdiplus::Ok && SavePicture(picture, ImageMimeType(request.imageType), request);
}

bool SavePicture(Gdiplus::Bitmap& picture, const char* mimeType, const GrabRequest& request) {
  CLSID encoder;
  if (!FindEncoder(mimeType, &encoder)) return false;
  const CStringW path(request.imagePath);
  if (!request.scale) return picture.Save(path, &encoder) == Gdiplus::Ok;
  Gdiplus::Bitmap scaled(request.width, request.height, PixelFormat32bppARGB);
  if (scaled.GetLastStatus() != Gdiplus::Ok) return false;
  Gdiplus::Graphics graphics(&scaled);
  if (graphics.DrawImage(&picture, 0, 0, request.width, request.height) != Gdiplus::Ok) return false;
  return scaled.Save(path, &encoder) == Gdiplus::Ok;
}
