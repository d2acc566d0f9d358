// The Halden module loaded as a program loads it: its registration, its class object, and a
// graph that opens QuickTime-type files through it once it is registered.
#include <gtest/gtest.h>

#include <string>

#include "dshow/dshow.h"
#include "movie_source/movie_source.h"
#include "ole/comptr.h"
#include "testing/movie_fixtures.h"
#include "testing/sandbox.h"
#include "win32/windows.h"

namespace {

const char* const kExtensions[] = {".mov", ".3gp", ".3g2", ".m4a", ".mp4", ".m4v", ".amr"};

HMODULE Module() {
  static HMODULE module = LoadLibraryA(HALDEN_MODULE);
  return module;
}

HRESULT CallEntry(const char* name) {
  auto entry = reinterpret_cast<HRESULT (*)()>(GetProcAddress(Module(), name));
  return entry ? entry() : E_NOTIMPL;
}

// A registry value as text; empty when it is not there.
std::string Value(const std::string& key, const char* name) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return {};
  char text[512] = {};
  DWORD type = 0, size = sizeof text - 1;
  const bool found = RegQueryValueExA(k, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &size) == ERROR_SUCCESS;
  RegCloseKey(k);
  if (!found) return {};
  if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(text));
  return std::string(text);
}

bool KeyExists(const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

std::u16string Wide(const std::string& s) { return std::u16string(s.begin(), s.end()); }

std::string MakeMovie(const std::string& name, const std::string& format) {
  testing_support::MovieOptions o;
  testing_support::MovieVideoTrack v;
  v.encoder = "mpeg4";
  v.width = 64;
  v.height = 48;
  v.frames = 10;
  o.format = format;
  o.video = {v};
  const std::string path = testing_support::SandboxDir() + "/" + name;
  EXPECT_EQ("", testing_support::MakeMovie(path, o));
  return path;
}

class HaldenModule : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { RegisterDShowClasses(); }
  void SetUp() override { ASSERT_NE(nullptr, Module()) << HALDEN_MODULE; }
};

TEST_F(HaldenModule, RegistrationNamesTheFilterForSevenExtensionsAndUnregistrationTakesThemBack) {
  ASSERT_EQ(S_OK, CallEntry("DllRegisterServer"));
  const std::string clsid = StringFromGUIDA(CLSID_MovieSourceFilter);
  EXPECT_EQ("{20991A7E-5C84-43D1-8E75-2D3C1C193137}", clsid);
  for (const char* extension : kExtensions)
    EXPECT_EQ(clsid, Value(std::string("Media Type\\Extensions\\") + extension, "Source Filter")) << extension;
  EXPECT_EQ("VorelMedia QuickTime Source Filter", Value("CLSID\\" + clsid, ""));
  EXPECT_NE(std::string::npos, Value("CLSID\\" + clsid + "\\InprocServer32", "").find("Halden.dll"));
  const std::string instance = "CLSID\\" + StringFromGUIDA(CLSID_LegacyAmFilterCategory) + "\\Instance\\" + clsid;
  EXPECT_EQ("Pellansoft QuickTime Source Filter", Value(instance, "FriendlyName"));
  EXPECT_EQ(std::to_string(0x200000), Value(instance, "Merit"));

  ASSERT_EQ(S_OK, CallEntry("DllUnregisterServer"));
  for (const char* extension : kExtensions)
    EXPECT_FALSE(KeyExists(std::string("Media Type\\Extensions\\") + extension)) << extension;
  EXPECT_FALSE(KeyExists("CLSID\\" + clsid));
  EXPECT_FALSE(KeyExists(instance));
  // Unregistering what is not registered is no failure.
  EXPECT_EQ(S_OK, CallEntry("DllUnregisterServer"));
}

TEST_F(HaldenModule, ARegisteredModuleOpensQuickTimeTypeFilesInAGraph) {
  ASSERT_EQ(S_OK, CallEntry("DllRegisterServer"));
  for (auto [name, format] : {std::pair{"clip.mov", "mov"}, {"clip.mp4", "mp4"}, {"clip.3gp", "3gp"}}) {
    const std::string path = MakeMovie(name, format);
    ComPtr<IGraphBuilder> graph;
    ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid()));
    ComPtr<IBaseFilter> source;
    ASSERT_EQ(S_OK, graph->AddSourceFilter(Wide(path).c_str(), nullptr, source.put())) << name;
    CLSID clsid{};
    source->GetClassID(&clsid);
    EXPECT_EQ(CLSID_MovieSourceFilter, clsid) << name;
    ComPtr<IPin> pin;
    EXPECT_EQ(S_OK, source->FindPin(u"1", pin.put()));
    PIN_INFO info{};
    pin->QueryPinInfo(&info);
    if (info.pFilter) info.pFilter->Release();
    EXPECT_EQ(std::u16string(u"Video Out 1"), std::u16string(info.achName)) << name;
  }
  // Unregistered, the files go to the built-in source again.
  ASSERT_EQ(S_OK, CallEntry("DllUnregisterServer"));
  ComPtr<IGraphBuilder> graph;
  CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid());
  ComPtr<IBaseFilter> source;
  ASSERT_EQ(S_OK, graph->AddSourceFilter(Wide(testing_support::SandboxDir() + "/clip.mov").c_str(), nullptr, source.put()));
  CLSID clsid{};
  source->GetClassID(&clsid);
  EXPECT_NE(CLSID_MovieSourceFilter, clsid);
}

TEST_F(HaldenModule, ClassObjectMakesFiltersAndTheModuleMayGoOnlyWhenNoneIsLeft) {
  auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(reinterpret_cast<void (*)()>(GetProcAddress(Module(), "DllGetClassObject")));
  auto canUnload = reinterpret_cast<LPFNCANUNLOADNOW>(reinterpret_cast<void (*)()>(GetProcAddress(Module(), "DllCanUnloadNow")));
  ASSERT_TRUE(getClassObject && canUnload);
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(CLASS_E_CLASSNOTAVAILABLE, getClassObject(CLSID_FilterGraph, IID_IClassFactory, factory.putVoid()));
  ASSERT_EQ(S_OK, getClassObject(CLSID_MovieSourceFilter, IID_IClassFactory, factory.putVoid()));
  ComPtr<IFileSourceFilter> filter;
  ASSERT_EQ(S_OK, factory->CreateInstance(nullptr, IID_IFileSourceFilter, filter.putVoid()));
  EXPECT_EQ(S_FALSE, canUnload());
  filter = nullptr;
  factory = nullptr;
  EXPECT_EQ(S_OK, canUnload());
}

}  // namespace
