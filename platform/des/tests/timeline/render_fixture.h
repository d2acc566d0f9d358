#pragma once
// The render engine's test fixture: a timeline, the engine rendering it, and recorders hung on the
// group pins through sample grabbers into null renderers.
#include <gtest/gtest.h>

#include <algorithm>
#include <condition_variable>
#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "des/qedit.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"

namespace des_test {

template <class T>
T* As(IUnknown* object, REFIID iid) {
  T* p = nullptr;
  return SUCCEEDED(object->QueryInterface(iid, reinterpret_cast<void**>(&p))) ? p : nullptr;
}

// 2 s of the moving test picture (176x144, 25 fps, MPEG-4) with a tone (44.1 kHz stereo), in AVI.
inline std::u16string TestClip() {
  static std::u16string path;
  if (path.empty()) {
    testing_support::ClipOptions o;
    o.format = "avi";
    o.videoEncoder = "mpeg4";
    o.audioEncoder = "libmp3lame";
    o.sampleRate = 44100;
    o.channels = 2;
    o.seconds = 2.0;
    // Left shifted, the encoder's priming sound would move the pictures a frame on in the AVI
    // index (an empty first-frame slot), and the first picture would hold two frames.
    o.muxerOptions = {{"avoid_negative_ts", "disabled"}};
    const std::string file = testing_support::SandboxDir() + "/clip.avi";
    EXPECT_EQ(testing_support::MakeClip(file, o), "");
    path.assign(file.begin(), file.end());
  }
  return path;
}

struct Sample {
  REFERENCE_TIME start, stop;
  LONG length;
  size_t hash;
  bool black;   // every byte 0
  int peak;     // audio: largest magnitude
  bool discontinuity;
  std::vector<BYTE> bytes;  // video: the frame
};

class Recorder : public ISampleGrabberCB {
 public:
  explicit Recorder(bool video) : video_(video) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_ISampleGrabberCB) {
      *ppv = static_cast<ISampleGrabberCB*>(this);
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP SampleCB(double, IMediaSample* sample) override {
    Sample s{};
    sample->GetTime(&s.start, &s.stop);
    s.length = sample->GetActualDataLength();
    s.discontinuity = sample->IsDiscontinuity() == S_OK;
    BYTE* data = nullptr;
    sample->GetPointer(&data);
    std::string bytes(reinterpret_cast<char*>(data), size_t(s.length));
    s.hash = std::hash<std::string>()(bytes);
    s.black = std::all_of(bytes.begin(), bytes.end(), [](char c) { return c == 0; });
    if (video_) {
      s.bytes.assign(data, data + s.length);
    } else {
      const auto* pcm = reinterpret_cast<const int16_t*>(data);
      for (LONG i = 0; i < s.length / 2; ++i) s.peak = std::max(s.peak, std::abs(int(pcm[i])));
    }
    std::unique_lock<std::mutex> hold(lock_);
    samples_.push_back(std::move(s));
    arrived_.notify_all();
    arrived_.wait(hold, [this] { return samples_.size() < holdAt_; });  // held at the gate
    return S_OK;
  }
  // Samples from the count-th on wait in the callback until OpenGate.
  void CloseGateAt(size_t count) {
    std::lock_guard<std::mutex> hold(lock_);
    holdAt_ = count;
  }
  void OpenGate() {
    std::lock_guard<std::mutex> hold(lock_);
    holdAt_ = SIZE_MAX;
    arrived_.notify_all();
  }
  STDMETHODIMP BufferCB(double, BYTE*, LONG) override { return S_OK; }
  std::vector<Sample> Samples() {
    std::lock_guard<std::mutex> hold(lock_);
    return samples_;
  }
  void WaitFor(size_t count) {
    std::unique_lock<std::mutex> hold(lock_);
    arrived_.wait(hold, [&] { return samples_.size() >= count; });
  }
  // Waits until the samples that came so far meet the condition.
  void WaitUntil(const std::function<bool(const std::vector<Sample>&)>& done) {
    std::unique_lock<std::mutex> hold(lock_);
    arrived_.wait(hold, [&] { return done(samples_); });
  }

 private:
  const bool video_;
  std::mutex lock_;
  std::condition_variable arrived_;
  std::vector<Sample> samples_;
  size_t holdAt_ = SIZE_MAX;
};

inline CMediaType VideoType(const GUID& subtype, WORD bits, LONG width, LONG height) {
  CMediaType mt(&MEDIATYPE_Video);
  mt.SetSubtype(&subtype);
  mt.SetFormatType(&FORMAT_VideoInfo);
  auto* vih = reinterpret_cast<VIDEOINFOHEADER*>(mt.AllocFormatBuffer(sizeof(VIDEOINFOHEADER)));
  vih->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  vih->bmiHeader.biWidth = width;
  vih->bmiHeader.biHeight = height;
  vih->bmiHeader.biPlanes = 1;
  vih->bmiHeader.biBitCount = bits;
  vih->bmiHeader.biSizeImage = DIBSIZE(vih->bmiHeader);
  mt.SetSampleSize(vih->bmiHeader.biSizeImage);
  return mt;
}

inline CMediaType AudioType(WORD channels, DWORD rate) {
  CMediaType mt(&MEDIATYPE_Audio);
  mt.SetSubtype(&MEDIASUBTYPE_PCM);
  mt.SetFormatType(&FORMAT_WaveFormatEx);
  auto* wf = reinterpret_cast<WAVEFORMATEX*>(mt.AllocFormatBuffer(sizeof(WAVEFORMATEX)));
  wf->wFormatTag = WAVE_FORMAT_PCM;
  wf->nChannels = channels;
  wf->nSamplesPerSec = rate;
  wf->wBitsPerSample = 16;
  wf->nBlockAlign = WORD(channels * 2);
  wf->nAvgBytesPerSec = rate * wf->nBlockAlign;
  return mt;
}

// A timeline and the engine rendering it.
class RenderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterDesClasses();
    ASSERT_EQ(CoCreateInstance(CLSID_AMTimeline, nullptr, CLSCTX_INPROC_SERVER, IID_IAMTimeline,
                               reinterpret_cast<void**>(&timeline_)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_RenderEngine, nullptr, CLSCTX_INPROC_SERVER, IID_IRenderEngine,
                               reinterpret_cast<void**>(&engine_)),
              S_OK);
  }
  void TearDown() override {
    for (IBaseFilter* g : grabbers_) {
      if (auto* grab = As<ISampleGrabber>(g, IID_ISampleGrabber)) {
        grab->SetCallback(nullptr, 0);
        grab->Release();
      }
      g->Release();
    }
    if (graph_) graph_->Release();
    engine_->ScrapIt();
    engine_->Release();
    for (IUnknown* n : nodes_) n->Release();
    timeline_->Release();
  }

  IAMTimelineObj* Node(TIMELINE_MAJOR_TYPE type) {
    IAMTimelineObj* obj = nullptr;
    EXPECT_EQ(timeline_->CreateEmptyNode(&obj, type), S_OK);
    nodes_.push_back(obj);
    return obj;
  }
  IAMTimelineObj* Group(const CMediaType& mt, double fps = 25) {
    IAMTimelineObj* group = Node(TIMELINE_MAJOR_TYPE_GROUP);
    IAMTimelineGroup* g = As<IAMTimelineGroup>(group, IID_IAMTimelineGroup);
    EXPECT_EQ(g->SetMediaType(const_cast<CMediaType*>(&mt)), S_OK);
    g->SetOutputFPS(fps);
    g->Release();
    EXPECT_EQ(timeline_->AddGroup(group), S_OK);
    return group;
  }
  // A new track on top of the group's others.
  IAMTimelineTrack* Track(IAMTimelineObj* group) {
    IAMTimelineObj* track = Node(TIMELINE_MAJOR_TYPE_TRACK);
    IAMTimelineComp* comp = As<IAMTimelineComp>(group, IID_IAMTimelineComp);
    EXPECT_EQ(comp->VTrackInsBefore(track, -1), S_OK);
    comp->Release();
    IAMTimelineTrack* t = As<IAMTimelineTrack>(track, IID_IAMTimelineTrack);
    nodes_.push_back(t);
    return t;
  }
  void Clip(IAMTimelineTrack* track, double start, double stop, double mstart, double mstop,
            int stretch = RESIZEF_STRETCH, const std::u16string& file = TestClip()) {
    IAMTimelineObj* obj = Node(TIMELINE_MAJOR_TYPE_SOURCE);
    IAMTimelineSrc* src = As<IAMTimelineSrc>(obj, IID_IAMTimelineSrc);
    obj->SetStartStop2(start, stop);
    BSTR name = SysAllocString(file.c_str());
    src->SetMediaName(name);
    SysFreeString(name);
    src->SetMediaTimes2(mstart, mstop);
    src->SetStretchMode(stretch);
    src->Release();
    EXPECT_EQ(track->SrcAdd(obj), S_OK);
  }

  // Builds the front end and hangs a grabber and a null renderer on every group pin.
  HRESULT Build(std::vector<Recorder*> recorders) {
    HRESULT hr = engine_->SetTimelineObject(timeline_);
    if (SUCCEEDED(hr)) hr = engine_->ConnectFrontEnd();
    if (FAILED(hr)) return hr;
    EXPECT_EQ(engine_->GetFilterGraph(&graph_), S_OK);
    for (size_t i = 0; i < recorders.size(); ++i) {
      IPin* pin = nullptr;
      EXPECT_EQ(engine_->GetGroupOutputPin(LONG(i), &pin), S_OK);
      IBaseFilter* grabber = nullptr;
      IBaseFilter* sink = nullptr;
      CoCreateInstance(CLSID_SampleGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                       reinterpret_cast<void**>(&grabber));
      CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                       reinterpret_cast<void**>(&sink));
      grabbers_.push_back(grabber);
      std::u16string n1 = u"Grabber " + std::u16string(1, char16_t(u'0' + i));
      std::u16string n2 = u"Sink " + std::u16string(1, char16_t(u'0' + i));
      graph_->AddFilter(grabber, n1.c_str());
      graph_->AddFilter(sink, n2.c_str());
      ISampleGrabber* grab = As<ISampleGrabber>(grabber, IID_ISampleGrabber);
      grab->SetCallback(recorders[i], 0);
      grab->Release();
      EXPECT_EQ(graph_->Connect(pin, Pin(grabber, PINDIR_INPUT)), S_OK);
      EXPECT_EQ(graph_->Connect(Pin(grabber, PINDIR_OUTPUT), Pin(sink, PINDIR_INPUT)), S_OK);
      ReleasePins();
      pin->Release();
      sink->Release();
    }
    IMediaFilter* mf = As<IMediaFilter>(graph_, IID_IMediaFilter);
    mf->SetSyncSource(nullptr);  // as fast as it goes
    mf->Release();
    return S_OK;
  }
  LONG RunToEnd() {
    IMediaControl* control = As<IMediaControl>(graph_, IID_IMediaControl);
    IMediaEvent* events = As<IMediaEvent>(graph_, IID_IMediaEvent);
    EXPECT_TRUE(SUCCEEDED(control->Run()));
    LONG code = 0;
    EXPECT_EQ(events->WaitForCompletion(120000, &code), S_OK);
    control->Stop();
    events->Release();
    control->Release();
    return code;
  }
  IPin* Pin(IBaseFilter* filter, PIN_DIRECTION dir) {
    IEnumPins* pins = nullptr;
    filter->EnumPins(&pins);
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
      PIN_DIRECTION d;
      pin->QueryDirection(&d);
      if (d == dir) break;
      pin->Release();
      pin = nullptr;
    }
    pins->Release();
    pins_.push_back(pin);
    return pin;
  }
  void ReleasePins() {
    for (IPin* p : pins_)
      if (p) p->Release();
    pins_.clear();
  }

  // Recorders outlive TearDown, which takes them off the grabbers.
  Recorder& Rec(bool video) {
    recorders_.push_back(std::make_unique<Recorder>(video));
    return *recorders_.back();
  }

  std::vector<std::unique_ptr<Recorder>> recorders_;
  IAMTimeline* timeline_ = nullptr;
  IRenderEngine* engine_ = nullptr;
  IGraphBuilder* graph_ = nullptr;
  std::vector<IUnknown*> nodes_;
  std::vector<IBaseFilter*> grabbers_;
  std::vector<IPin*> pins_;
};

}  // namespace des_test
