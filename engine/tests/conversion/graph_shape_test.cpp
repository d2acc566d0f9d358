// The graphs Save builds, seen from the writers' side: recording stand-ins take the place of the
// AVI multiplexer, the file writer and the ASF writer (registered class objects win over the
// built-in ones) and note, when the graph starts, what feeds each of their inputs and how the
// whole graph is connected. They end their streams like writers, so every run completes.
#include <algorithm>
#include <chrono>
#include <fstream>
#include <map>
#include <mutex>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "dshow/dshow.h"
#include "filters/outside_filters.h"
#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"
#include "wmf/wmsdk.h"

namespace {

using Chain = std::vector<std::string>;

std::string Narrow(const WCHAR* text) {
  std::string out;
  for (; text && *text; ++text) out += char(*text);
  return out;
}

std::string FilterName(IBaseFilter* filter) {
  FILTER_INFO info{};
  if (FAILED(filter->QueryFilterInfo(&info))) return "";
  if (info.pGraph) info.pGraph->Release();
  return Narrow(info.achName);
}

std::vector<IPin*> PinsOf(IBaseFilter* filter, PIN_DIRECTION wanted) {
  std::vector<IPin*> pins;
  IEnumPins* e = nullptr;
  if (FAILED(filter->EnumPins(&e))) return pins;
  IPin* pin = nullptr;
  PIN_DIRECTION dir;
  while (e->Next(1, &pin, nullptr) == S_OK) {
    if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == wanted)
      pins.push_back(pin);
    else
      pin->Release();
  }
  e->Release();
  return pins;
}

// The filter on the other end of a pin, referenced; null when unconnected.
IBaseFilter* PeerFilter(IPin* pin) {
  IPin* peer = nullptr;
  if (FAILED(pin->ConnectedTo(&peer)) || !peer) return nullptr;
  PIN_INFO info{};
  peer->QueryPinInfo(&info);
  peer->Release();
  return info.pFilter;
}

// The filters upstream of an input, nearest first, along each filter's first connected input. The
// render engine's group filters end a chain: what feeds them is the clips' business.
Chain UpstreamOf(IPin* input) {
  Chain chain;
  IBaseFilter* filter = PeerFilter(input);
  while (filter && chain.size() < 16) {
    chain.push_back(FilterName(filter));
    IBaseFilter* next = nullptr;
    if (chain.back().rfind("Group ", 0) != 0)
      for (IPin* pin : PinsOf(filter, PINDIR_INPUT)) {
        if (!next) next = PeerFilter(pin);
        pin->Release();
      }
    filter->Release();
    filter = next;
  }
  return chain;
}

struct InputRecord {
  Chain upstream;
  GUID subtype = GUID_NULL;
  WORD formatTag = 0;  // audio
  DWORD sampleRate = 0;
  int dvVideoFormat = 0, dvFormat = 0, dvResolution = 0;  // of a DV encoder feeding the input
};

struct WriterRecord {
  std::vector<InputRecord> inputs;  // the connected ones, in pin order
  bool clocked = false;             // a reference clock was set when the graph started
};

// Everything the stand-ins saw during one Save.
struct GraphRecord {
  std::map<std::string, WriterRecord> writers;  // by the name each was added under
  std::vector<std::string> filters;
  std::map<std::string, Chain> downstream;  // per filter: the filters on its connected outputs, in pin order
  std::string fileName;
  GUID profileGuid = GUID_NULL;
  std::string profileName;  // of a profile object given to the ASF writer
  LONG interleavingMode = -1;
  REFERENCE_TIME interleave = 0, preroll = 0;

  bool Has(const std::string& name) const { return std::find(filters.begin(), filters.end(), name) != filters.end(); }
  // Whether target lies downstream of from.
  bool Reaches(const std::string& from, const std::string& target) const {
    std::set<std::string> seen;
    std::vector<std::string> todo{from};
    while (!todo.empty()) {
      const std::string at = todo.back();
      todo.pop_back();
      if (at == target) return true;
      if (!seen.insert(at).second) continue;
      auto next = downstream.find(at);
      if (next != downstream.end()) todo.insert(todo.end(), next->second.begin(), next->second.end());
    }
    return false;
  }
};

GraphRecord g_record;
// Set by a test for a file sink that refuses every file name.
bool g_refuseFileNames = false;
// The notice the writers end their run with; a test sets an abort code for a stream that fails.
LONG g_endCode = EC_COMPLETE;

enum class Role { Mux, FileWriter, AsfWriter };

// A writer that takes any stream, keeps nothing of it and ends like a writer: EC_COMPLETE once
// every connected input has ended (the multiplexer passes the end on to its file writer instead).
class StandIn : public CBaseFilter, public IFileSinkFilter, public IConfigInterleaving, public IConfigAsfWriter {
 public:
  explicit StandIn(Role role);
  ~StandIn() override {
    for (CBasePin* pin : pins_) delete pin;
  }
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  int GetPinCount() override { return int(pins_.size()); }
  CBasePin* GetPin(int n) override { return n >= 0 && n < GetPinCount() ? pins_[size_t(n)] : nullptr; }

  STDMETHODIMP Pause() override {
    CAutoLock hold(&lock_);
    if (m_State == State_Stopped) {
      Record();
      std::lock_guard<std::mutex> guard(endLock_);
      ended_ = 0;
      sent_ = false;
    }
    return CBaseFilter::Pause();
  }
  STDMETHODIMP Run(REFERENCE_TIME start) override {
    HRESULT hr = CBaseFilter::Run(start);
    SendCompleteIfDue();
    return hr;
  }

  // IFileSinkFilter
  STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) override {
    if (g_refuseFileNames) return E_INVALIDARG;
    file_ = name ? name : u"";
    g_record.fileName = Narrow(name);
    return S_OK;
  }
  STDMETHODIMP GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE* type) override {
    if (!name) return E_POINTER;
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc((file_.size() + 1) * sizeof(WCHAR)));
    std::copy(file_.c_str(), file_.c_str() + file_.size() + 1, *name);
    if (type) *type = AM_MEDIA_TYPE{};
    return S_OK;
  }
  // IConfigInterleaving
  STDMETHODIMP put_Mode(InterleavingMode mode) override {
    g_record.interleavingMode = LONG(mode);
    return S_OK;
  }
  STDMETHODIMP get_Mode(InterleavingMode*) override { return E_NOTIMPL; }
  STDMETHODIMP put_Interleaving(const REFERENCE_TIME* interleave, const REFERENCE_TIME* preroll) override {
    g_record.interleave = interleave ? *interleave : -1;
    g_record.preroll = preroll ? *preroll : -1;
    return S_OK;
  }
  STDMETHODIMP get_Interleaving(REFERENCE_TIME*, REFERENCE_TIME*) override { return E_NOTIMPL; }
  // IConfigAsfWriter
  STDMETHODIMP ConfigureFilterUsingProfileId(DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetCurrentProfileId(DWORD*) override { return E_NOTIMPL; }
  STDMETHODIMP ConfigureFilterUsingProfileGuid(REFGUID profile) override {
    g_record.profileGuid = profile;
    return S_OK;
  }
  STDMETHODIMP GetCurrentProfileGuid(GUID*) override { return E_NOTIMPL; }
  STDMETHODIMP ConfigureFilterUsingProfile(IWMProfile* profile) override {
    if (!profile) return E_POINTER;
    DWORD length = 0;
    profile->GetName(nullptr, &length);
    std::u16string name(length, u'\0');
    profile->GetName(name.data(), &length);
    g_record.profileName = Narrow(name.c_str());
    return S_OK;
  }
  STDMETHODIMP GetCurrentProfile(IWMProfile**) override { return E_NOTIMPL; }

  void InputEnded();

 private:
  class Input;
  class Output;
  void Record();
  void SendCompleteIfDue();

  Role role_;
  CCritSec lock_;
  std::vector<CBasePin*> pins_;
  Output* output_ = nullptr;
  std::u16string file_;
  std::mutex endLock_;
  int ended_ = 0;
  bool sent_ = false;
};

class StandIn::Input : public CBaseInputPin {
 public:
  Input(StandIn* filter, HRESULT* hr, LPCWSTR name)
      : CBaseInputPin("stand-in input", filter, &filter->lock_, hr, name), owner_(filter) {}
  HRESULT CheckMediaType(const CMediaType*) override { return S_OK; }
  STDMETHODIMP EndOfStream() override {
    const HRESULT hr = CheckStreaming();
    if (hr != S_OK) return hr;
    owner_->InputEnded();
    return S_OK;
  }

 private:
  StandIn* owner_;
};

// The multiplexer's stream out to its file writer.
class StandIn::Output : public CBaseOutputPin {
 public:
  Output(StandIn* filter, HRESULT* hr) : CBaseOutputPin("stand-in output", filter, &filter->lock_, hr, u"AVI Out") {}
  HRESULT CheckMediaType(const CMediaType* type) override { return *type->Type() == MEDIATYPE_Stream ? S_OK : E_FAIL; }
  HRESULT GetMediaType(int position, CMediaType* type) override {
    if (position < 0) return E_INVALIDARG;
    if (position > 0) return VFW_S_NO_MORE_ITEMS;
    type->SetType(&MEDIATYPE_Stream);
    type->SetSubtype(&MEDIASUBTYPE_Avi);
    return S_OK;
  }
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES*) override {
    ALLOCATOR_PROPERTIES wanted{1, 4096, 1, 0}, actual{};
    return allocator->SetProperties(&wanted, &actual);
  }
};

StandIn::StandIn(Role role)
    : CBaseFilter("recording writer", nullptr, &lock_,
                  role == Role::Mux          ? CLSID_AviDest
                  : role == Role::FileWriter ? CLSID_FileWriter
                                             : CLSID_WMAsfWriter),
      role_(role) {
  HRESULT hr = S_OK;
  if (role == Role::FileWriter) {
    pins_.push_back(new Input(this, &hr, u"in"));
  } else {
    pins_.push_back(new Input(this, &hr, u"Input 01"));
    pins_.push_back(new Input(this, &hr, u"Input 02"));
  }
  if (role == Role::Mux) pins_.push_back(output_ = new Output(this, &hr));
}

STDMETHODIMP StandIn::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IFileSinkFilter && role_ != Role::Mux) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
  if (riid == IID_IConfigInterleaving && role_ == Role::Mux)
    return GetInterface(static_cast<IConfigInterleaving*>(this), ppv);
  if (riid == IID_IConfigAsfWriter && role_ == Role::AsfWriter)
    return GetInterface(static_cast<IConfigAsfWriter*>(this), ppv);
  return CBaseFilter::NonDelegatingQueryInterface(riid, ppv);
}

void StandIn::Record() {
  WriterRecord writer;
  writer.clocked = m_pClock != nullptr;
  for (CBasePin* pin : pins_) {
    PIN_DIRECTION dir;
    pin->QueryDirection(&dir);
    if (dir != PINDIR_INPUT || !pin->IsConnected()) continue;
    InputRecord input;
    input.upstream = UpstreamOf(pin);
    const CMediaType& type = pin->CurrentMediaType();
    input.subtype = *type.Subtype();
    if (*type.FormatType() == FORMAT_WaveFormatEx && type.FormatLength() >= sizeof(WAVEFORMATEX)) {
      const auto* audio = reinterpret_cast<const WAVEFORMATEX*>(type.Format());
      input.formatTag = audio->wFormatTag;
      input.sampleRate = audio->nSamplesPerSec;
    }
    if (IBaseFilter* feeder = PeerFilter(pin)) {
      IDVEnc* dv = nullptr;
      if (SUCCEEDED(feeder->QueryInterface(IID_IDVEnc, reinterpret_cast<void**>(&dv)))) {
        dv->get_IFormatResolution(&input.dvVideoFormat, &input.dvFormat, &input.dvResolution, FALSE, nullptr);
        dv->Release();
      }
      feeder->Release();
    }
    writer.inputs.push_back(input);
  }
  g_record.writers[Narrow(m_pName)] = writer;

  // The whole graph as it starts.
  g_record.filters.clear();
  g_record.downstream.clear();
  IEnumFilters* filters = nullptr;
  if (!m_pGraph || FAILED(m_pGraph->EnumFilters(&filters))) return;
  IBaseFilter* filter = nullptr;
  while (filters->Next(1, &filter, nullptr) == S_OK) {
    const std::string name = FilterName(filter);
    g_record.filters.push_back(name);
    Chain& next = g_record.downstream[name];
    for (IPin* pin : PinsOf(filter, PINDIR_OUTPUT)) {
      if (IBaseFilter* peer = PeerFilter(pin)) {
        next.push_back(FilterName(peer));
        peer->Release();
      }
      pin->Release();
    }
    filter->Release();
  }
  filters->Release();
}

void StandIn::InputEnded() {
  int connected = 0;
  for (CBasePin* pin : pins_) {
    PIN_DIRECTION dir;
    pin->QueryDirection(&dir);
    if (dir == PINDIR_INPUT && pin->IsConnected()) ++connected;
  }
  {
    std::lock_guard<std::mutex> guard(endLock_);
    if (++ended_ != connected) return;
  }
  if (output_)
    output_->DeliverEndOfStream();
  else
    SendCompleteIfDue();
}

void StandIn::SendCompleteIfDue() {
  if (output_) return;
  {
    std::lock_guard<std::mutex> guard(endLock_);
    int connected = 0;
    for (CBasePin* pin : pins_)
      if (pin->IsConnected()) ++connected;
    if (sent_ || ended_ < connected || m_State != State_Running) return;
    sent_ = true;
  }
  NotifyEvent(g_endCode, g_endCode == EC_COMPLETE ? S_OK : E_FAIL, 0);
}

class StandInFactory : public IClassFactory {
 public:
  explicit StandInFactory(Role role) : role_(role) {}
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    if (outer) return CLASS_E_NOAGGREGATION;
    auto* filter = new StandIn(role_);
    filter->NonDelegatingAddRef();
    const HRESULT hr = filter->NonDelegatingQueryInterface(riid, ppv);
    filter->NonDelegatingRelease();
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }

 private:
  Role role_;
};

StandInFactory g_muxFactory(Role::Mux), g_fileWriterFactory(Role::FileWriter), g_asfFactory(Role::AsfWriter);

// A class object whose objects cannot be made.
class RefusingFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
    *ppv = static_cast<IClassFactory*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown*, REFIID, void** ppv) override {
    *ppv = nullptr;
    return E_OUTOFMEMORY;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

RefusingFactory g_refusingFactory;

class GraphShapeTest : public HostedControl {
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
  static std::string Clip() { return testing_support::SandboxDir() + "/shape_clip.avi"; }
  static std::string Output(const char* name) { return testing_support::SandboxDir() + "/" + name; }

  void SetUp() override {
    HostedControl::SetUp();
    g_record = GraphRecord{};
    g_refuseFileNames = false;
    g_endCode = EC_COMPLETE;
    for (auto [clsid, factory] :
         {std::pair{&CLSID_AviDest, &g_muxFactory}, std::pair{&CLSID_FileWriter, &g_fileWriterFactory},
          std::pair{&CLSID_WMAsfWriter, &g_asfFactory}}) {
      DWORD cookie = 0;
      ASSERT_EQ(S_OK, CoRegisterClassObject(*clsid, static_cast<IClassFactory*>(factory), CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie));
      cookies_.push_back(cookie);
    }
  }
  void TearDown() override {
    host.onComplete = nullptr;
    for (DWORD cookie : cookies_) CoRevokeClassObject(cookie);
    HostedControl::TearDown();
  }

  void Flag(DISPID id, bool on) { Put(id, COleVariant(short(on ? VARIANT_TRUE : 0), VT_BOOL)); }
  void Choose(DISPID list, DISPID position, const char* name) {
    const short index = IndexOf(list, name);
    ASSERT_GE(index, 0) << name;
    Put(position, COleVariant(index));
  }

  // One clip of video and audio saved; the messages pumped (the virtual clock moving) until
  // Complete. The real-time bound only keeps a broken run from hanging.
  void SaveClip(const std::string& file, bool withAudio = true) {
    Call(dispidInitControl);
    ASSERT_TRUE(AddVideo(Clip(), 0, 1));
    if (withAudio) {
      ASSERT_TRUE(AddAudio(Clip(), 0, 1));
    }
    ASSERT_TRUE(CallBool(dispidSave, {COleVariant(file.c_str())}));
    PumpUntilCompletes(1);
    ASSERT_EQ(1, host.completes);
  }
  void PumpUntilCompletes(int count) {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(2);
    while (host.completes < count && std::chrono::steady_clock::now() < guard) {
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
  }

  const WriterRecord& Writer(const std::string& name) {
    static const WriterRecord none;
    auto it = g_record.writers.find(name);
    return it == g_record.writers.end() ? none : it->second;
  }
  static std::vector<Chain> Chains(const WriterRecord& writer) {
    std::vector<Chain> chains;
    for (const InputRecord& input : writer.inputs) chains.push_back(input.upstream);
    return chains;
  }

  // The one tee feeds the writer's stream on its first output and the live view in the control
  // on its second.
  void ExpectTeeWithLiveView(const std::string& towardsWriter) {
    EXPECT_EQ(1, std::count(g_record.filters.begin(), g_record.filters.end(), "Smart Tee 2"));
    const Chain& outputs = g_record.downstream["Smart Tee 2"];
    ASSERT_EQ(2u, outputs.size());
    EXPECT_EQ(towardsWriter, outputs[0]);
    EXPECT_TRUE(g_record.Reaches(outputs[1], "Video Renderer")) << outputs[1];
    EXPECT_FALSE(g_record.Reaches(outputs[1], towardsWriter));
  }

  testing_ui::UiDriver ui;
  std::vector<DWORD> cookies_;
};

TEST_F(GraphShapeTest, AviWithoutCompressorsFeedsTheMuxFromTheTeeAndTheAudioGroup) {
  Flag(dispidUseVideoCompressor, false);
  Flag(dispidUseAudioCompressor, false);
  ASSERT_NO_FATAL_FAILURE(SaveClip(Output("plain.avi")));

  EXPECT_EQ((std::vector<Chain>{{"Smart Tee 2", "Group 0"}, {"Group 1"}}), Chains(Writer("Mux")));
  // The file writer takes the multiplexer's stream.
  EXPECT_EQ((std::vector<Chain>{{"Mux", "Smart Tee 2", "Group 0"}}), Chains(Writer("File Writer")));
  EXPECT_EQ(Output("plain.avi"), g_record.fileName);
  ExpectTeeWithLiveView("Mux");
  for (const char* absent : {"Compressor", "Audio Compressor", "MP3 encoder", "WM ASF Writer"})
    EXPECT_FALSE(g_record.Has(absent)) << absent;

  // Fully interleaved by the second, and no clock holds the conversion back.
  EXPECT_EQ(LONG(INTERLEAVE_FULL), g_record.interleavingMode);
  EXPECT_EQ(10000000, g_record.interleave);
  EXPECT_EQ(10000000, g_record.preroll);
  EXPECT_FALSE(Writer("Mux").clocked);
  EXPECT_FALSE(Writer("File Writer").clocked);
}

struct CompressorShape {
  const char* name;
  const char* video;
  const char* audio;
  short dvParam;
  GUID videoSubtype;                // of the compressed stream; GUID_NULL: not examined
  int dvVideoFormat, dvResolution;  // the DV encoder's settings; 0: no DV encoder
};

void PrintTo(const CompressorShape& shape, std::ostream* out) { *out << shape.name; }

class CompressorShapeTest : public GraphShapeTest, public ::testing::WithParamInterface<CompressorShape> {};

TEST_P(CompressorShapeTest, AviPutsTheChosenCompressorsBetweenTheGroupsAndTheMux) {
  const CompressorShape& c = GetParam();
  ASSERT_NO_FATAL_FAILURE(Choose(dispidVideoCompressors, dispidVideoCompressor, c.video));
  ASSERT_NO_FATAL_FAILURE(Choose(dispidAudioCompressors, dispidAudioCompressor, c.audio));
  Flag(dispidUseVideoCompressor, true);
  Flag(dispidUseAudioCompressor, true);
  Put(dispidDvVideoEncoderParam, COleVariant(c.dvParam));
  ASSERT_NO_FATAL_FAILURE(SaveClip(Output("compressed.avi")));

  const WriterRecord& mux = Writer("Mux");
  EXPECT_EQ((std::vector<Chain>{{"Compressor", "Smart Tee 2", "Group 0"}, {"Audio Compressor", "Group 1"}}),
            Chains(mux));
  ExpectTeeWithLiveView("Compressor");
  EXPECT_FALSE(g_record.Has("MP3 encoder"));
  EXPECT_FALSE(Get(dispidUseAVILameEncoder).boolVal);
  ASSERT_EQ(2u, mux.inputs.size());
  if (c.videoSubtype != GUID_NULL) {
    EXPECT_TRUE(c.videoSubtype == mux.inputs[0].subtype);
  }
  EXPECT_EQ(c.dvVideoFormat, mux.inputs[0].dvVideoFormat);
  EXPECT_EQ(c.dvVideoFormat ? DVENCODERFORMAT_DVSD : 0, mux.inputs[0].dvFormat);
  EXPECT_EQ(c.dvResolution, mux.inputs[0].dvResolution);
}

INSTANTIATE_TEST_SUITE_P(
    Compressors, CompressorShapeTest,
    ::testing::Values(CompressorShape{"Mpeg4", "MPEG-4 Video Encoder", "IMA ADPCM", 0, GUID_NULL, 0, 0},
                      CompressorShape{"DvPal", "DV Video Encoder", "PCM", 1, MEDIASUBTYPE_dvsd,
                                      DVENCODERVIDEOFORMAT_PAL, DVENCODERRESOLUTION_720x480},
                      CompressorShape{"DvNtsc", "DV Video Encoder", "PCM", 0, MEDIASUBTYPE_dvsd,
                                      DVENCODERVIDEOFORMAT_NTSC, DVENCODERRESOLUTION_360x240}),
    [](const ::testing::TestParamInfo<CompressorShape>& info) { return std::string(info.param.name); });

TEST_F(GraphShapeTest, MpegLayer3TakesTheMp3EncoderInPlaceOfTheAudioCompressor) {
  ASSERT_NO_FATAL_FAILURE(Choose(dispidAudioCompressors, dispidAudioCompressor, "MPEG Layer-3"));
  Flag(dispidUseVideoCompressor, false);
  Flag(dispidUseAudioCompressor, true);
  Put(dispidAVILameBitrate, COleVariant(short(96)));
  Put(dispidAVILameSampleRate, COleVariant(LONG(32000)));
  ASSERT_NO_FATAL_FAILURE(SaveClip(Output("mp3.avi")));

  const WriterRecord& mux = Writer("Mux");
  EXPECT_EQ((std::vector<Chain>{{"Smart Tee 2", "Group 0"}, {"MP3 encoder", "Group 1"}}), Chains(mux));
  ExpectTeeWithLiveView("Mux");
  EXPECT_FALSE(g_record.Has("Audio Compressor"));
  EXPECT_TRUE(Get(dispidUseAVILameEncoder).boolVal);
  // The encoder took the control's sample rate.
  ASSERT_EQ(2u, mux.inputs.size());
  EXPECT_EQ(WAVE_FORMAT_MPEGLAYER3, mux.inputs[1].formatTag);
  EXPECT_EQ(32000u, mux.inputs[1].sampleRate);

  // A later Save that binds no audio compressor is not taken for an MP3 one: the compressor in
  // use is missing.
  Put(dispidAudioCompressor, COleVariant(short(500)));
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  EXPECT_FALSE(CallBool(dispidSave, {COleVariant(Output("unbound.avi").c_str())}));
}

TEST_F(GraphShapeTest, WithoutAnAudioGroupTheAudioCompressorStaysIdleAndTheRunStillEnds) {
  Flag(dispidOutputAudio, false);
  ASSERT_NO_FATAL_FAILURE(Choose(dispidAudioCompressors, dispidAudioCompressor, "IMA ADPCM"));
  Flag(dispidUseVideoCompressor, false);
  Flag(dispidUseAudioCompressor, true);
  ASSERT_NO_FATAL_FAILURE(SaveClip(Output("silent.avi"), false));

  EXPECT_EQ((std::vector<Chain>{{"Smart Tee 2", "Group 0"}}), Chains(Writer("Mux")));
  ExpectTeeWithLiveView("Mux");
  EXPECT_TRUE(g_record.Has("Audio Compressor"));
  EXPECT_TRUE(g_record.downstream["Audio Compressor"].empty());
}

TEST_F(GraphShapeTest, WmvFeedsTheAsfWriterConfiguredByTheChosenProfile) {
  Put(dispidOutputType, COleVariant(LONG(9)));
  ASSERT_NO_FATAL_FAILURE(Choose(dispidWMVProfiles, dispidWMVProfile, "Video for pocket devices (176x144, 150 Kbps)"));
  // Compressors belong to AVI only.
  Flag(dispidUseVideoCompressor, true);
  Flag(dispidUseAudioCompressor, true);
  ASSERT_NO_FATAL_FAILURE(SaveClip(Output("pocket.wmv")));

  const WriterRecord& writer = Writer("WM ASF Writer");
  EXPECT_EQ((std::vector<Chain>{{"Smart Tee 2", "Group 0"}, {"Group 1"}}), Chains(writer));
  EXPECT_EQ(Output("pocket.wmv"), g_record.fileName);
  ExpectTeeWithLiveView("WM ASF Writer");
  for (const char* absent : {"Mux", "File Writer", "Compressor", "Audio Compressor", "MP3 encoder"})
    EXPECT_FALSE(g_record.Has(absent)) << absent;
  EXPECT_TRUE(WMProfile_V80_VideoPocket == g_record.profileGuid);
  EXPECT_EQ("", g_record.profileName);
  EXPECT_FALSE(writer.clocked);
}

TEST_F(GraphShapeTest, WmvTakesAProfileFileInsteadOfTheProfileId) {
  IWMProfileManager* manager = nullptr;
  ASSERT_EQ(S_OK, WMCreateProfileManager(&manager));
  IWMProfile* modem = nullptr;
  ASSERT_EQ(S_OK, manager->LoadProfileByID(WMProfile_V80_VideoModem, &modem));
  DWORD length = 0;
  ASSERT_EQ(S_OK, manager->SaveProfile(modem, nullptr, &length));
  std::vector<WCHAR> text(length);
  ASSERT_EQ(S_OK, manager->SaveProfile(modem, text.data(), &length));
  DWORD nameLength = 0;
  modem->GetName(nullptr, &nameLength);
  std::u16string name(nameLength, u'\0');
  modem->GetName(name.data(), &nameLength);
  modem->Release();
  manager->Release();
  const std::string prx = Output("shape_modem.prx");
  std::ofstream(prx, std::ios::binary)
      .write(reinterpret_cast<const char*>(text.data()), std::streamsize((length - 1) * sizeof(WCHAR)));

  Put(dispidOutputType, COleVariant(LONG(9)));
  ASSERT_NO_FATAL_FAILURE(Choose(dispidWMVProfiles, dispidWMVProfile, "Video for pocket devices (176x144, 150 Kbps)"));
  Put(dispidWMVCustomFileName, COleVariant(prx.c_str()));
  ASSERT_NO_FATAL_FAILURE(SaveClip(Output("modem.wmv")));

  EXPECT_EQ(Narrow(name.c_str()), g_record.profileName);
  EXPECT_TRUE(GUID_NULL == g_record.profileGuid);
  EXPECT_EQ((std::vector<Chain>{{"Smart Tee 2", "Group 0"}, {"Group 1"}}), Chains(Writer("WM ASF Writer")));
}

TEST_F(GraphShapeTest, AFileNameTheSinkRefusesIsReportedAndNothingRuns) {
  g_refuseFileNames = true;
  Flag(dispidUseVideoCompressor, false);
  Flag(dispidUseAudioCompressor, false);
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  ui.AnswerMessageBox(IDOK, "Failed to set file name");
  EXPECT_FALSE(CallBool(dispidSave, {COleVariant(Output("refused.avi").c_str())}));
  ui.AdvanceClock(100);
  EXPECT_EQ(0, host.completes);
  EXPECT_TRUE(g_record.writers.empty()) << "no writer ever started";
}

TEST_F(GraphShapeTest, ATeeThatCannotBeMadeFailsTheSaveAndNothingRuns) {
  DWORD cookie = 0;
  ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_InfTee, &g_refusingFactory, CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE,
                                        &cookie));
  cookies_.push_back(cookie);
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  EXPECT_FALSE(CallBool(dispidSave, {COleVariant(Output("no_tee.avi").c_str())}));
  ui.AdvanceClock(100);
  EXPECT_EQ(0, host.completes);
  EXPECT_TRUE(g_record.writers.empty());
  EXPECT_TRUE(AddVideo(Clip(), 0, 1)) << "still ready for another try";
}

TEST_F(GraphShapeTest, AStreamThatFailsEndsTheConversionWithOneComplete) {
  for (LONG code : {EC_ERRORABORT, EC_ERRORABORTEX, EC_USERABORT}) {
    host.completes = 0;
    g_endCode = code;
    ASSERT_NO_FATAL_FAILURE(SaveClip(Output("aborted.avi"))) << code;
    ui.AdvanceClock(100);
    EXPECT_EQ(1, host.completes) << code;
    EXPECT_FALSE(AddVideo(Clip(), 0, 1)) << "the conversion ended: " << code;
  }
}

TEST_F(GraphShapeTest, TheContainerStartsItsNextConversionFromComplete) {
  host.onComplete = [this] {
    if (host.completes != 1) return;
    Call(dispidInitControl);
    EXPECT_TRUE(AddVideo(Clip(), 0, 1));
    EXPECT_TRUE(CallBool(dispidSave, {COleVariant(Output("second.avi").c_str())}));
  };
  Call(dispidInitControl);
  ASSERT_TRUE(AddVideo(Clip(), 0, 1));
  ASSERT_TRUE(AddAudio(Clip(), 0, 1));
  ASSERT_TRUE(CallBool(dispidSave, {COleVariant(Output("first.avi").c_str())}));
  PumpUntilCompletes(2);
  ui.AdvanceClock(100);
  EXPECT_EQ(2, host.completes);
  EXPECT_EQ(Output("second.avi"), g_record.fileName);
}

}  // namespace
