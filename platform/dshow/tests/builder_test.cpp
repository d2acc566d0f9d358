// Building graphs: inserted converters, rendering, the capture graph builder, source filters
// chosen through the registry, registration of a filter module and the device enumerator.
#include <gtest/gtest.h>

#include <numeric>
#include <string>

#include "test_filters.h"
#include "win32/winmodule.h"
#include "win32/winreg.h"

using namespace dshow_test;

namespace {


DEFINE_GUID(CLSID_TestSink, 0x0B7E1A07, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x07);

// A renderer that writes a file: what an output stage looks like to the capture graph builder.
class TestSink : public TestRenderer, public IFileSinkFilter {
 public:
  explicit TestSink(LPUNKNOWN outer) : TestRenderer(GUID_NULL, outer) {}
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IFileSinkFilter) return GetInterface(static_cast<IFileSinkFilter*>(this), ppv);
    return TestRenderer::NonDelegatingQueryInterface(riid, ppv);
  }
  STDMETHODIMP SetFileName(LPCOLESTR name, const AM_MEDIA_TYPE*) override {
    file_ = name;
    return S_OK;
  }
  STDMETHODIMP GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE*) override {
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc((file_.size() + 1) * sizeof(WCHAR)));
    std::char_traits<char16_t>::copy(*name, file_.c_str(), file_.size() + 1);
    return S_OK;
  }

 private:
  std::u16string file_;
};

HRESULT CreateTestSink(IUnknown* outer, REFIID riid, void** ppv) {
  auto* sink = new TestSink(outer);
  sink->NonDelegatingAddRef();
  HRESULT hr = sink->NonDelegatingQueryInterface(riid, ppv);
  sink->NonDelegatingRelease();
  return hr;
}

DEFINE_GUID(CLSID_TestCategory, 0x0B7E1A08, 0x52C4, 0x4F0E, 0x9D, 0x61, 0x2A, 0x3C, 0x44, 0x10, 0x7E, 0x08);

// A category with one entry of its own.
HRESULT EnumerateTestCategory(IEnumMoniker** ppEnum) {
  IPropertyBag* bag = nullptr;
  HRESULT hr = CreatePropertyBag(&bag);
  if (FAILED(hr)) return hr;
  VARIANT v;
  VariantInit(&v);
  v.vt = VT_BSTR;
  v.bstrVal = SysAllocString(u"Provided Device");
  bag->Write(u"FriendlyName", &v);
  VariantClear(&v);
  IMoniker* moniker = nullptr;
  hr = CreateDeviceMoniker(CLSID_TestConverter, bag, u"@device:test:provided", &moniker);
  bag->Release();
  if (FAILED(hr)) return hr;
  hr = CreateEnumMoniker(&moniker, 1, ppEnum);
  moniker->Release();
  return hr;
}

std::vector<std::u16string> FriendlyNames(IEnumMoniker* monikers) {
  std::vector<std::u16string> names;
  IMoniker* moniker = nullptr;
  while (monikers->Next(1, &moniker, nullptr) == S_OK) {
    IPropertyBag* bag = nullptr;
    if (SUCCEEDED(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, reinterpret_cast<void**>(&bag)))) {
      VARIANT v;
      VariantInit(&v);
      if (bag->Read(u"FriendlyName", &v, nullptr) == S_OK) names.push_back(v.bstrVal);
      VariantClear(&v);
      bag->Release();
    }
    moniker->Release();
  }
  return names;
}

class BuilderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitialize(nullptr);
    RegisterDShowClasses();
    RegisterTestClasses();
    ASSERT_EQ(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaControl, control.putVoid()), S_OK);
    ASSERT_EQ(graph->QueryInterface(IID_IMediaEventEx, events.putVoid()), S_OK);
    ComPtr<IMediaFilter> filter;
    ASSERT_EQ(graph->QueryInterface(IID_IMediaFilter, filter.putVoid()), S_OK);
    ASSERT_EQ(filter->SetSyncSource(nullptr), S_OK);
  }

  bool RunToCompletion() {
    if (control->Run() != S_OK) return false;
    for (;;) {
      LONG code = 0;
      LONG_PTR a = 0, b = 0;
      if (events->GetEvent(&code, &a, &b, 30000) != S_OK) return false;
      if (code == EC_COMPLETE) return control->Stop() == S_OK;
      if (code == EC_ERRORABORT) return false;
    }
  }

  bool HasFilter(const char16_t* name) {
    IBaseFilter* f = nullptr;
    if (graph->FindFilterByName(name, &f) != S_OK) return false;
    f->Release();
    return true;
  }

  ComPtr<IGraphBuilder> graph;
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEventEx> events;
};

std::vector<LONG> Range(LONG first, LONG last) {
  std::vector<LONG> v(static_cast<size_t>(last - first));
  std::iota(v.begin(), v.end(), first);
  return v;
}

}  // namespace

TEST_F(BuilderTest, ConnectInsertsAConverterWhenTheTypesDoNotMeet) {
  ComPtr<TestSource> source(new TestSource({5}));
  ComPtr<TestRenderer> renderer(new TestRenderer(MEDIASUBTYPE_RGB32));
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  IPin* out = source->Pin(0);
  IPin* in = renderer->GetPin(0);
  EXPECT_TRUE(FAILED(graph->ConnectDirect(out, in, nullptr)));
  ASSERT_EQ(graph->Connect(out, in), S_OK);
  EXPECT_TRUE(HasFilter(u"Test Converter"));
  AM_MEDIA_TYPE mt{};
  ASSERT_EQ(in->ConnectionMediaType(&mt), S_OK);
  EXPECT_EQ(mt.subtype, MEDIASUBTYPE_RGB32);
  FreeMediaType(mt);
  EXPECT_EQ(graph->Connect(out, in), VFW_E_ALREADY_CONNECTED);
  ASSERT_TRUE(RunToCompletion());
  EXPECT_EQ(renderer->Frames(), Range(0, 5));
}

TEST_F(BuilderTest, AConnectionNothingCanMakeLeavesTheGraphAsItWas) {
  ComPtr<TestSource> source(new TestSource({1}));
  // No filter turns video into this subtype.
  ComPtr<TestRenderer> renderer(new TestRenderer(MEDIASUBTYPE_Avi));
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(renderer.get(), u"Renderer"), S_OK);
  EXPECT_TRUE(FAILED(graph->Connect(source->Pin(0), renderer->GetPin(0))));
  IEnumFilters* e = nullptr;
  ASSERT_EQ(graph->EnumFilters(&e), S_OK);
  IBaseFilter* filters[3] = {};
  ULONG count = 0;
  e->Next(3, filters, &count);
  for (ULONG i = 0; i < count; ++i) filters[i]->Release();
  e->Release();
  EXPECT_EQ(count, 2u);
  IPin* peer = nullptr;
  EXPECT_EQ(source->Pin(0)->ConnectedTo(&peer), VFW_E_NOT_CONNECTED);
}

TEST_F(BuilderTest, RenderFindsARendererThroughAConverter) {
  ComPtr<TestSource> source(new TestSource({4}));
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->Render(source->Pin(0)), S_OK);
  EXPECT_TRUE(HasFilter(u"Test Converter"));
  EXPECT_TRUE(HasFilter(u"Test Renderer"));
  EXPECT_EQ(graph->Render(source->Pin(0)), VFW_E_ALREADY_CONNECTED);
  ASSERT_TRUE(RunToCompletion());
}

TEST_F(BuilderTest, RenderTakesAFilterWaitingInTheGraphBeforeLookingFurther) {
  ComPtr<TestSource> source(new TestSource({3}));
  ComPtr<TestRenderer> waiting(new TestRenderer);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(waiting.get(), u"Waiting"), S_OK);
  ASSERT_EQ(graph->Render(source->Pin(0)), S_OK);
  IPin* peer = nullptr;
  ASSERT_EQ(source->Pin(0)->ConnectedTo(&peer), S_OK);
  EXPECT_EQ(peer, waiting->GetPin(0));
  peer->Release();
  EXPECT_FALSE(HasFilter(u"Test Renderer"));
  ASSERT_TRUE(RunToCompletion());
  EXPECT_EQ(waiting->Frames(), Range(0, 3));
}

TEST_F(BuilderTest, CaptureGraphBuilderRendersStreamsThroughAnIntermediateFilter) {
  ComPtr<ICaptureGraphBuilder2> builder;
  ASSERT_EQ(CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                             builder.putVoid()),
            S_OK);
  ASSERT_EQ(builder->SetFiltergraph(graph.get()), S_OK);
  EXPECT_EQ(builder->SetFiltergraph(graph.get()), E_UNEXPECTED);
  ComPtr<IGraphBuilder> same;
  ASSERT_EQ(builder->GetFiltergraph(same.put()), S_OK);
  EXPECT_EQ(same.get(), graph.get());

  ComPtr<TestSource> source(new TestSource({6, 3}));
  ComPtr<TestMarker> marker(new TestMarker);
  ASSERT_EQ(graph->AddFilter(source.get(), u"Source"), S_OK);
  ASSERT_EQ(graph->AddFilter(marker.get(), u"Marker"), S_OK);

  // An output stage of our own class: the builder adds it as the multiplexer and names the file.
  RegisterBuiltinClass(CLSID_TestSink, &CreateTestSink);
  ComPtr<IBaseFilter> mux;
  ComPtr<IFileSinkFilter> sink;
  ASSERT_EQ(builder->SetOutputFileName(&CLSID_TestSink, u"C:\\out\\clip.tst", mux.put(), sink.put()), S_OK);
  LPOLESTR file = nullptr;
  ASSERT_EQ(sink->GetCurFile(&file, nullptr), S_OK);
  EXPECT_EQ(std::u16string(file), u"C:\\out\\clip.tst");
  CoTaskMemFree(file);
  EXPECT_TRUE(HasFilter(u"Mux"));

  // Filter to sink through the marker; then the second stream to the default renderer.
  ASSERT_EQ(builder->RenderStream(nullptr, &MEDIATYPE_Video, static_cast<IBaseFilter*>(source.get()), marker.get(),
                                  mux.get()),
            S_OK);
  ASSERT_EQ(builder->RenderStream(nullptr, &MEDIATYPE_Video, static_cast<IBaseFilter*>(source.get()), nullptr, nullptr),
            S_OK);
  EXPECT_TRUE(HasFilter(u"Test Renderer"));
  // No free output of that type is left.
  EXPECT_TRUE(FAILED(builder->RenderStream(nullptr, &MEDIATYPE_Video, static_cast<IBaseFilter*>(source.get()),
                                           nullptr, nullptr)));
  EXPECT_TRUE(FAILED(builder->RenderStream(nullptr, &MEDIATYPE_Audio, static_cast<IPin*>(source->Pin(0)), nullptr, nullptr)));

  // Interfaces are found downstream and upstream.
  ComPtr<IFileSinkFilter> found;
  ASSERT_EQ(builder->FindInterface(nullptr, nullptr, static_cast<IBaseFilter*>(source.get()), IID_IFileSinkFilter,
                                   found.putVoid()),
            S_OK);
  EXPECT_EQ(found.get(), sink.get());
  ComPtr<IMediaSeeking> upstream;
  ASSERT_EQ(builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, mux.get(), IID_IMediaSeeking, upstream.putVoid()), S_OK);
  ComPtr<IFileSinkFilter> none;
  EXPECT_EQ(builder->FindInterface(&LOOK_UPSTREAM_ONLY, nullptr, mux.get(), IID_IFileSinkFilter, none.putVoid()),
            E_NOINTERFACE);

  ASSERT_TRUE(RunToCompletion());
  auto* sinkFilter = static_cast<TestSink*>(static_cast<TestRenderer*>(static_cast<CBaseFilter*>(
      static_cast<IBaseFilter*>(mux.get()))));
  EXPECT_EQ(sinkFilter->Frames(), Range(0, 6));
  std::vector<BYTE> markers = sinkFilter->Markers();
  EXPECT_EQ(markers, std::vector<BYTE>(6, static_cast<BYTE>(kMarkerByte)));
}

TEST_F(BuilderTest, DeviceCategoriesListTheProvidersEntriesThenTheRegisteredFilters) {
  ComPtr<ICreateDevEnum> devices;
  ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum, devices.putVoid()),
            S_OK);
  DShowSetDeviceCategoryProvider(CLSID_TestCategory, &EnumerateTestCategory);
  // A filter registered under the category comes after the provider's entries.
  std::string key = "CLSID\\" + StringFromGUIDA(CLSID_TestCategory) + "\\Instance\\" + StringFromGUIDA(CLSID_TestMarker);
  HKEY entry = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &entry, nullptr),
            ERROR_SUCCESS);
  const char name[] = "Registered Device";
  RegSetValueExA(entry, "FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name), sizeof name);
  RegCloseKey(entry);

  ComPtr<IEnumMoniker> monikers;
  ASSERT_EQ(devices->CreateClassEnumerator(CLSID_TestCategory, monikers.put(), 0), S_OK);
  EXPECT_EQ(FriendlyNames(monikers.get()), (std::vector<std::u16string>{u"Provided Device", u"Registered Device"}));
  // Bound, the provided entry is its class.
  ASSERT_EQ(monikers->Reset(), S_OK);
  IMoniker* first = nullptr;
  ASSERT_EQ(monikers->Next(1, &first, nullptr), S_OK);
  ComPtr<IBaseFilter> converter;
  ASSERT_EQ(first->BindToObject(nullptr, nullptr, IID_IBaseFilter, converter.putVoid()), S_OK);
  first->Release();
  CLSID clsid{};
  converter->GetClassID(&clsid);
  EXPECT_EQ(clsid, CLSID_TestConverter);
}

TEST_F(BuilderTest, ASourceFilterRegisteredForTheExtensionOpensTheFile) {
  HMODULE module = LoadLibraryA(DSHOW_TEST_SOURCE);
  ASSERT_NE(module, nullptr);
  auto registerServer = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllRegisterServer")));
  auto unregisterServer =
      reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllUnregisterServer")));
  auto canUnload = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(module, "DllCanUnloadNow")));
  auto getClassObject = reinterpret_cast<HRESULT (*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void (*)()>(GetProcAddress(module, "DllGetClassObject")));
  ASSERT_TRUE(registerServer && unregisterServer && canUnload && getClassObject);
  ASSERT_EQ(registerServer(), S_OK);

  // The COM keys and the filter's entry.
  std::string clsid = StringFromGUIDA(CLSID_TestFileSource);
  char path[512];
  LONG size = sizeof path;
  ASSERT_EQ(RegQueryValueA(HKEY_CLASSES_ROOT, ("CLSID\\" + clsid + "\\InprocServer32").c_str(), path, &size), ERROR_SUCCESS);
  char modulePath[512];
  GetModuleFileNameA(module, modulePath, sizeof modulePath);
  EXPECT_STREQ(path, modulePath);
  HKEY instance = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT,
                          ("CLSID\\" + StringFromGUIDA(CLSID_LegacyAmFilterCategory) + "\\Instance\\" + clsid).c_str(), 0,
                          KEY_READ, &instance),
            ERROR_SUCCESS);
  DWORD merit = 0, type = 0, bytes = sizeof merit;
  ASSERT_EQ(RegQueryValueExA(instance, "Merit", nullptr, &type, reinterpret_cast<BYTE*>(&merit), &bytes), ERROR_SUCCESS);
  EXPECT_EQ(merit, DWORD(MERIT_DO_NOT_USE));
  RegCloseKey(instance);

  ComPtr<IUnknown> factory;
  EXPECT_EQ(getClassObject(CLSID_TestSource, IID_IClassFactory, factory.putVoid()), CLASS_E_CLASSNOTAVAILABLE);

  {
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(graph->AddSourceFilter(u"C:\\clips\\movie.ZQX", nullptr, source.put()), S_OK);
    CLSID created{};
    source->GetClassID(&created);
    EXPECT_EQ(created, CLSID_TestFileSource);
    FILTER_INFO info{};
    source->QueryFilterInfo(&info);
    info.pGraph->Release();
    EXPECT_EQ(std::u16string(info.achName), u"C:\\clips\\movie.ZQX");
    ComPtr<IFileSourceFilter> file;
    ASSERT_EQ(source->QueryInterface(IID_IFileSourceFilter, file.putVoid()), S_OK);
    LPOLESTR name = nullptr;
    ASSERT_EQ(file->GetCurFile(&name, nullptr), S_OK);
    EXPECT_EQ(std::u16string(name), u"C:\\clips\\movie.ZQX");
    CoTaskMemFree(name);
    EXPECT_EQ(canUnload(), S_FALSE);
    ASSERT_EQ(graph->RemoveFilter(source.get()), S_OK);
  }

  // Rendering the file: the module's source, straight into the RGB32 renderer.
  ASSERT_EQ(graph->RenderFile(u"second.zqx", nullptr), S_OK);
  EXPECT_TRUE(HasFilter(u"Test Renderer"));
  EXPECT_FALSE(HasFilter(u"Test Converter"));
  ASSERT_TRUE(RunToCompletion());

  // The registered filter shows in the filter category.
  ComPtr<ICreateDevEnum> devices;
  ASSERT_EQ(CoCreateInstance(CLSID_SystemDeviceEnum, nullptr, CLSCTX_INPROC_SERVER, IID_ICreateDevEnum, devices.putVoid()),
            S_OK);
  ComPtr<IEnumMoniker> monikers;
  ASSERT_EQ(devices->CreateClassEnumerator(CLSID_LegacyAmFilterCategory, monikers.put(), 0), S_OK);
  bool listed = false;
  IMoniker* moniker = nullptr;
  while (monikers->Next(1, &moniker, nullptr) == S_OK) {
    ComPtr<IPropertyBag> bag;
    ASSERT_EQ(moniker->BindToStorage(nullptr, nullptr, IID_IPropertyBag, bag.putVoid()), S_OK);
    VARIANT v;
    VariantInit(&v);
    if (bag->Read(u"FriendlyName", &v, nullptr) == S_OK && std::u16string(v.bstrVal) == u"Corvane Test File Source") {
      listed = true;
      ComPtr<IBaseFilter> bound;
      EXPECT_EQ(moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, bound.putVoid()), S_OK);
    }
    VariantClear(&v);
    moniker->Release();
  }
  EXPECT_TRUE(listed);
  ComPtr<IEnumMoniker> empty;
  EXPECT_EQ(devices->CreateClassEnumerator(CLSID_VideoInputDeviceCategory, empty.put(), 0), S_FALSE);
  EXPECT_EQ(empty.get(), nullptr);

  graph.Reset();
  control.Reset();
  events.Reset();
  ASSERT_EQ(unregisterServer(), S_OK);
  HKEY gone = nullptr;
  EXPECT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, ("CLSID\\" + clsid).c_str(), 0, KEY_READ, &gone), ERROR_SUCCESS);
  EXPECT_NE(RegOpenKeyExA(HKEY_CLASSES_ROOT, "Media Type\\Extensions\\.zqx", 0, KEY_READ, &gone), ERROR_SUCCESS);
}
