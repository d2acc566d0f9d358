// What Save pushes into the outside writers, in order, and the graph around them: a recording
// stand-in takes the place of the MPEG, 3GP and GIF writers (registered class objects win over the
// built-in ones), notes every settings call and, when the graph starts, what feeds its inputs.
#include <chrono>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "dshow/dshow.h"
#include "filters/writer_settings.h"
#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

std::mutex g_lock;
std::vector<std::string> g_calls;            // every settings call, as "Name value..."
std::vector<std::string> g_graphFilters;     // the graph's filters when it starts
std::vector<std::string> g_inputFeeders;     // per connected input, the filter feeding it
std::string g_writerName;

void Note(std::string call) {
  std::lock_guard<std::mutex> hold(g_lock);
  g_calls.push_back(std::move(call));
}

std::string Narrow(const WCHAR* text) {
  std::string out;
  for (; text && *text; ++text) out += char(*text);
  return out;
}

std::string NameOf(IBaseFilter* filter) {
  FILTER_INFO info{};
  if (!filter || FAILED(filter->QueryFilterInfo(&info))) return "";
  if (info.pGraph) info.pGraph->Release();
  return Narrow(info.achName);
}

class Recorder : public CBaseFilter,
                 public IFileSinkFilter,
                 public IEncoderSettings,
                 public IMpegWriterMode,
                 public IThreeGpWriterMode,
                 public IGifWriterSettings {
 public:
  explicit Recorder(REFCLSID clsid) : CBaseFilter("recording writer", nullptr, &lock_, clsid) {
    HRESULT hr = S_OK;
    video_ = std::make_unique<Input>(this, &hr, u"Video Input");
    audio_ = std::make_unique<Input>(this, &hr, u"Audio Input");
  }
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    if (riid == IID_IEncoderSettings) return GetInterface(static_cast<IEncoderSettings*>(this), ppv);
    if (riid == IID_IMpegWriterMode) return GetInterface(static_cast<IMpegWriterMode*>(this), ppv);
    if (riid == IID_IThreeGpWriterMode) return GetInterface(static_cast<IThreeGpWriterMode*>(this), ppv);
    if (riid == IID_IGifWriterSettings) return GetInterface(static_cast<IGifWriterSettings*>(this), ppv);
    return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
  }
  int GetPinCount() override { return 2; }
  CBasePin* GetPin(int n) override { return n == 0 ? video_.get() : n == 1 ? audio_.get() : nullptr; }

  STDMETHODIMP Pause() override {
    if (m_State == State_Stopped) Record();
    ended_ = 0;
    return CBaseFilter::Pause();
  }
  STDMETHODIMP Run(REFERENCE_TIME start) override {
    const HRESULT hr = CBaseFilter::Run(start);
    CompleteIfEnded();
    return hr;
  }

  STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) override {
    Note("SetFileName");
    return name ? S_OK : E_POINTER;
  }
  STDMETHODIMP GetCurFile(LPOLESTR*, AM_MEDIA_TYPE*) override { return E_NOTIMPL; }

  // The interfaces' setters note their values; getters give what a writer would hold.
  STDMETHODIMP SetVideoCodec(LONG v) override { return Set("SetVideoCodec", v); }
  STDMETHODIMP SetVideoBitRate(LONG v) override { return Set("SetVideoBitRate", v); }
  STDMETHODIMP SetFrameSize(LONG w, LONG h) override {
    Note("SetFrameSize " + std::to_string(w) + " " + std::to_string(h));
    return S_OK;
  }
  STDMETHODIMP SetFrameRate(const char* rate) override {
    Note(std::string("SetFrameRate ") + rate);
    return S_OK;
  }
  STDMETHODIMP SetKeyframeInterval(LONG v) override { return Set("SetKeyframeInterval", v); }
  STDMETHODIMP SetMaxVideoBitRate(LONG v) override { return Set("SetMaxVideoBitRate", v); }
  STDMETHODIMP SetMinVideoBitRate(LONG v) override { return Set("SetMinVideoBitRate", v); }
  STDMETHODIMP SetVideoBufferSize(LONG v) override { return Set("SetVideoBufferSize", v); }
  STDMETHODIMP SetBFrames(LONG v) override { return Set("SetBFrames", v); }
  STDMETHODIMP GetBFrames(LONG* v) override { return Get("GetBFrames", v, 0); }
  STDMETHODIMP GetVideoCodec(LONG* v) override { return Get("GetVideoCodec", v, 77); }
  STDMETHODIMP GetVideoBitRate(LONG* v) override { return Get("GetVideoBitRate", v, 1); }
  STDMETHODIMP GetFrameSize(LONG* w, LONG* h) override {
    *w = *h = 0;
    Note("GetFrameSize");
    return S_OK;
  }
  STDMETHODIMP GetFrameRate(char*, LONG) override { return E_NOTIMPL; }
  STDMETHODIMP GetKeyframeInterval(LONG* v) override { return Get("GetKeyframeInterval", v, 2); }
  STDMETHODIMP GetMaxVideoBitRate(LONG* v) override { return Get("GetMaxVideoBitRate", v, 3); }
  STDMETHODIMP GetMinVideoBitRate(LONG* v) override { return Get("GetMinVideoBitRate", v, 4); }
  STDMETHODIMP GetVideoBufferSize(LONG* v) override { return Get("GetVideoBufferSize", v, 66); }
  STDMETHODIMP SetAudioCodec(LONG v) override { return Set("SetAudioCodec", v); }
  STDMETHODIMP SetAudioBitRate(LONG v) override { return Set("SetAudioBitRate", v); }
  STDMETHODIMP SetAudioChannels(LONG v) override { return Set("SetAudioChannels", v); }
  STDMETHODIMP SetAudioSampleRate(LONG v) override { return Set("SetAudioSampleRate", v); }
  STDMETHODIMP GetAudioCodec(LONG* v) override { return Get("GetAudioCodec", v, 88); }
  STDMETHODIMP GetAudioBitRate(LONG* v) override { return Get("GetAudioBitRate", v, 5); }
  STDMETHODIMP GetAudioChannels(LONG* v) override { return Get("GetAudioChannels", v, 6); }
  STDMETHODIMP GetAudioSampleRate(LONG* v) override { return Get("GetAudioSampleRate", v, 7); }
  STDMETHODIMP SetKey(LONG v) override { return Set("SetKey", v); }
  STDMETHODIMP SetAspectRatio(LONG v) override { return Set("SetAspectRatio", v); }
  STDMETHODIMP SetPreset(LONG v) override { return Set("SetPreset", v); }
  STDMETHODIMP SetFileKind(LONG v) override { return Set("SetFileKind", v); }
  STDMETHODIMP SetMaxColors(LONG v) override { return Set("SetMaxColors", v); }
  STDMETHODIMP SetQuantizer(LONG v) override { return Set("SetQuantizer", v); }
  STDMETHODIMP SetVideoQuality(LONG v) override { return Set("SetVideoQuality", v); }
  STDMETHODIMP SetTransparentColor(LONG v) override { return Set("SetTransparentColor", v); }
  STDMETHODIMP SetLoop(LONG v) override { return Set("SetLoop", v); }
  STDMETHODIMP SetFrameRate(LONG v) override { return Set("SetFrameRate", v); }
  STDMETHODIMP SetWidth(LONG v) override { return Set("SetWidth", v); }
  STDMETHODIMP SetHeight(LONG v) override { return Set("SetHeight", v); }

  void InputEnded() {
    ++ended_;
    CompleteIfEnded();
  }

 private:
  class Input : public CBaseInputPin {
   public:
    Input(Recorder* filter, HRESULT* hr, LPCWSTR name)
        : CBaseInputPin("recording input", filter, &filter->lock_, hr, name), owner_(filter) {}
    HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
    STDMETHODIMP EndOfStream() override {
      owner_->InputEnded();
      return S_OK;
    }

   private:
    Recorder* owner_;
  };

  HRESULT Set(const char* name, LONG value) {
    Note(std::string(name) + " " + std::to_string(value));
    return S_OK;
  }
  HRESULT Get(const char* name, LONG* value, LONG answer) {
    Note(name);
    *value = answer;
    return S_OK;
  }
  void Record() {
    std::lock_guard<std::mutex> hold(g_lock);
    g_writerName = Narrow(m_pName);
    g_inputFeeders.clear();
    for (CBasePin* pin : {static_cast<CBasePin*>(video_.get()), static_cast<CBasePin*>(audio_.get())}) {
      if (!pin->IsConnected()) continue;
      PIN_INFO info{};
      pin->GetConnected()->QueryPinInfo(&info);
      g_inputFeeders.push_back(NameOf(info.pFilter));
      if (info.pFilter) info.pFilter->Release();
    }
    g_graphFilters.clear();
    IEnumFilters* filters = nullptr;
    if (!m_pGraph || FAILED(m_pGraph->EnumFilters(&filters))) return;
    IBaseFilter* filter = nullptr;
    while (filters->Next(1, &filter, nullptr) == S_OK) {
      g_graphFilters.push_back(NameOf(filter));
      filter->Release();
    }
    filters->Release();
  }
  void CompleteIfEnded() {
    const int connected = int(video_->IsConnected() != FALSE) + int(audio_->IsConnected() != FALSE);
    if (m_State == State_Running && ended_ == connected && !sent_.exchange(true)) NotifyEvent(EC_COMPLETE, S_OK, 0);
  }

  CCritSec lock_;
  std::unique_ptr<Input> video_, audio_;
  std::atomic<int> ended_ = 0;
  std::atomic<bool> sent_ = false;
};

class RecorderFactory : public IClassFactory {
 public:
  explicit RecorderFactory(const CLSID& clsid) : clsid_(clsid) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* filter = new Recorder(clsid_);
    filter->NonDelegatingAddRef();
    const HRESULT hr = filter->NonDelegatingQueryInterface(riid, ppv);
    filter->NonDelegatingRelease();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  CLSID clsid_;
};

RecorderFactory g_mpeg(CLSID_MpegWriter), g_threeGp(CLSID_ThreeGpWriter), g_gif(CLSID_GifWriter);

class WriterSettingsTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.seconds = 1.0;
    ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
  }
  static std::string Clip() { return testing_support::SandboxDir() + "/settings_clip.avi"; }

  void SetUp() override {
    HostedControl::SetUp();
    g_calls.clear();
    for (auto [clsid, factory] : {std::pair{&CLSID_MpegWriter, &g_mpeg}, std::pair{&CLSID_ThreeGpWriter, &g_threeGp},
                                  std::pair{&CLSID_GifWriter, &g_gif}}) {
      DWORD cookie = 0;
      ASSERT_EQ(S_OK, CoRegisterClassObject(*clsid, static_cast<IClassFactory*>(factory), CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie));
      cookies_.push_back(cookie);
    }
  }
  void TearDown() override {
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
    HostedControl::TearDown();
  }

  // Saves the clip as the type and runs the graph to its end; the calls Save made.
  std::vector<std::string> SaveAs(LONG type) {
    Put(dispidOutputType, COleVariant(type));
    Call(dispidInitControl);
    EXPECT_TRUE(AddVideo(Clip(), 0, 1));
    EXPECT_TRUE(AddAudio(Clip(), 0, 1));
    EXPECT_TRUE(CallBool(dispidSave, {COleVariant((testing_support::SandboxDir() + "/settings.out").c_str())}));
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (host.completes == 0 && std::chrono::steady_clock::now() < guard) {
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
    EXPECT_EQ(1, host.completes);
    std::lock_guard<std::mutex> hold(g_lock);
    return g_calls;
  }

  std::vector<DWORD> cookies_;
  testing_ui::UiDriver ui;
};

// VCD PAL gets its standard's values whatever the MPEG properties say; the video reaches the
// writer from "Tee", the sound from "Tee2".
TEST_F(WriterSettingsTest, VcdPalGetsItsStandardsValuesInOrderAndTheTwoTees) {
  Put(dispidMPEGVideoBitrate, COleVariant(LONG(777000)));
  Put(dispidMPEGAspectRatio, COleVariant(LONG(2)));
  EXPECT_EQ((std::vector<std::string>{"SetFileName", "SetKey 8453", "SetAspectRatio 2", "SetPreset 0", "SetBFrames 0",
                                      "SetVideoCodec 2", "SetVideoCodec 1", "SetFrameSize 352 288", "SetFrameRate 25",
                                      "SetVideoBufferSize 3600000", "SetVideoBitRate 3600000",
                                      "SetMaxVideoBitRate 3600000", "SetMinVideoBitRate 3600000",
                                      "SetAudioChannels 2", "SetAudioBitRate 224000", "SetAudioSampleRate 44100"}),
            SaveAs(0));
  std::lock_guard<std::mutex> hold(g_lock);
  EXPECT_EQ("vcd", g_writerName);
  EXPECT_EQ((std::vector<std::string>{"Tee", "Tee2"}), g_inputFeeders);
  EXPECT_EQ(0, std::count(g_graphFilters.begin(), g_graphFilters.end(), "Smart Tee 2"));
}

TEST_F(WriterSettingsTest, SvcdPalGetsOnlyItsModeAndStreamKind) {
  EXPECT_EQ((std::vector<std::string>{"SetFileName", "SetKey 8453", "SetAspectRatio 0", "SetPreset 2", "SetBFrames 0",
                                      "SetVideoCodec 2"}),
            SaveAs(2));
}

TEST_F(WriterSettingsTest, Mpeg1TakesTheMpegPropertiesAndTheFrameRateAsText) {
  Put(dispidOutputFileWidth, COleVariant(short(320)));
  Put(dispidOutputFileHeight, COleVariant(short(240)));
  Put(dispidFrameRate, COleVariant(15.0f));
  Put(dispidMPEGVideoBitrate, COleVariant(LONG(1000000)));
  Put(dispidMPEGAudioChannels, COleVariant(short(1)));
  const std::vector<std::string> calls = SaveAs(6);
  const std::vector<std::string> expected{"SetVideoCodec 1",          "SetFrameSize 320 240",
                                          "SetFrameRate 15.000000",   "SetVideoBitRate 1000000",
                                          "SetMaxVideoBitRate 1000000", "SetMinVideoBitRate 1000000",
                                          "SetVideoBufferSize 3600000", "SetAudioChannels 1",
                                          "SetAudioBitRate 224000",   "SetAudioSampleRate 44100"};
  ASSERT_GE(calls.size(), expected.size());
  EXPECT_EQ(expected, std::vector<std::string>(calls.end() - long(expected.size()), calls.end()));
}

struct ThreeGpCase {
  short width, height;
  LONG audioCodec;
  const char* size;
  std::vector<std::string> audio;
};
// Named in test output by its values, not by its bytes.
void PrintTo(const ThreeGpCase& c, std::ostream* os) { *os << c.size; }


class ThreeGpSettingsTest : public WriterSettingsTest, public ::testing::WithParamInterface<ThreeGpCase> {};

// The writer's values are read first; the picture is kept within 320x240; the buffer read is given
// back.
TEST_P(ThreeGpSettingsTest, ReadsThenSetsWithThePictureWithin320x240) {
  const ThreeGpCase& c = GetParam();
  Put(dispidOutputFileWidth, COleVariant(c.width));
  Put(dispidOutputFileHeight, COleVariant(c.height));
  Put(dispidVideo3GPAudioCodec, COleVariant(c.audioCodec));
  std::vector<std::string> expected{"SetFileName",       "SetKey 5422",       "SetFileKind 0",
                                    "GetAudioBitRate",   "GetAudioChannels",  "GetAudioSampleRate",
                                    "GetAudioCodec",     "GetVideoCodec",     "GetVideoBitRate",
                                    "GetVideoBufferSize", "GetKeyframeInterval", "GetMaxVideoBitRate",
                                    "GetMinVideoBitRate", "GetFrameSize"};
  expected.insert(expected.end(), c.audio.begin(), c.audio.end());
  expected.insert(expected.end(), {"SetVideoBitRate 190000", "SetVideoBufferSize 66", "SetVideoCodec 13", c.size});
  EXPECT_EQ(expected, SaveAs(15));
}

INSTANTIATE_TEST_SUITE_P(
    Pictures, ThreeGpSettingsTest,
    ::testing::Values(ThreeGpCase{640, 480, 0, "SetFrameSize 320 240", {"SetAudioSampleRate 22050", "SetAudioCodec 86018"}},
                      ThreeGpCase{176, 144, 1, "SetFrameSize 176 144", {"SetAudioSampleRate 8000", "SetAudioCodec 73728"}}));

// With the quality switch on, no transparent colour is given; off, the colour goes with blue in
// its lowest byte.
TEST_F(WriterSettingsTest, GifGetsItsTransparentColourOnlyWithoutQuality) {
  Put(dispidAniGIFTransColor, COleVariant(LONG(0x00332211), VT_I4));
  EXPECT_EQ((std::vector<std::string>{"SetFileName", "SetKey 4957", "SetWidth 320", "SetHeight 240", "SetMaxColors 256",
                                      "SetQuantizer 0", "SetVideoQuality 1", "SetLoop -1"}),
            SaveAs(17));
  host.completes = 0;
  g_calls.clear();
  Put(dispidAniGIFVideoQuality, COleVariant(short(0)));
  EXPECT_EQ((std::vector<std::string>{"SetFileName", "SetKey 4957", "SetWidth 320", "SetHeight 240", "SetMaxColors 256",
                                      "SetQuantizer 0", "SetVideoQuality 0",
                                      "SetTransparentColor " + std::to_string(0x00112233), "SetLoop -1"}),
            SaveAs(17));
}

}  // namespace
