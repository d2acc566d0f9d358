// The engine's overlay: the overlay filter inserted into the conversion graph and driven through
// ILogoMixer, recorded by a stand-in registered under the filter's class identifier; then a real
// conversion with the Lumet filter, decoded and checked where the overlay was drawn.
#include <chrono>
#include <mutex>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "dshow/dshow.h"
#include "hosted_control.h"
#include "overlay_filter/logo_mixer.h"
#include "testing/image_files.h"
#include "testing/media_fixtures.h"
#include "testing/media_probe.h"
#include "testing/sandbox.h"
#include "testing/ui_driver.h"

namespace {

// ---- A stand-in overlay filter that passes frames on and records every ILogoMixer call ---------

std::mutex g_callsLock;
std::vector<std::string> g_calls;
int g_created = 0;

std::string Argument(int value) { return std::to_string(value); }
std::string Argument(LPCSTR text) { return std::string("\"") + (text ? text : "") + "\""; }

template <class... Args>
HRESULT Record(const char* name, Args... args) {
  std::ostringstream call;
  call << name << "(";
  const char* separator = "";
  ((call << separator << Argument(args), separator = ","), ...);
  call << ")";
  std::lock_guard<std::mutex> hold(g_callsLock);
  g_calls.push_back(call.str());
  return S_OK;
}

std::vector<std::string> Calls() {
  std::lock_guard<std::mutex> hold(g_callsLock);
  return g_calls;
}

class RecordingMixer : public CTransInPlaceFilter, public ILogoMixer {
 public:
  RecordingMixer(LPUNKNOWN outer, HRESULT* phr) : CTransInPlaceFilter("recording mixer", outer, CLSID_LumetFilter, phr) {}
  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_ILogoMixer) return GetInterface(static_cast<ILogoMixer*>(this), ppv);
    return CTransInPlaceFilter::NonDelegatingQueryInterface(riid, ppv);
  }
  HRESULT CheckInputType(const CMediaType* type) override {
    return *type->Type() == MEDIATYPE_Video && *type->Subtype() == MEDIASUBTYPE_RGB24 ? S_OK : E_FAIL;
  }
  HRESULT Transform(IMediaSample*) override { return S_OK; }

  STDMETHODIMP GetTextExtent(int*, int*) override { return S_OK; }
  STDMETHODIMP GetTextPosition(int*, int*) override { return S_OK; }
  STDMETHODIMP SetTextPosition(int x, int y) override { return Record("SetTextPosition", x, y); }
  STDMETHODIMP SetTextBox(int a, int b) override { return Record("SetTextBox", a, b); }
  STDMETHODIMP ShowText(int show) override { return Record("ShowText", show); }
  STDMETHODIMP SetText(LPCSTR text) override { return Record("SetText", text); }
  STDMETHODIMP GetText(LPSTR) override { return S_OK; }
  STDMETHODIMP SetTextFont(LPCSTR face, int size) override { return Record("SetTextFont", face, size); }
  STDMETHODIMP GetTextFont(LPSTR, int*) override { return S_OK; }
  STDMETHODIMP SetSecondTextFont(LPCSTR face, int size) override { return Record("SetSecondTextFont", face, size); }
  STDMETHODIMP SetExtraTextColor(int r, int g, int b) override { return Record("SetExtraTextColor", r, g, b); }
  STDMETHODIMP SetTextColor(int r, int g, int b) override { return Record("SetTextColor", r, g, b); }
  STDMETHODIMP GetTextColor(int*, int*, int*) override { return S_OK; }
  STDMETHODIMP SetOutlineTextBackColor(int r, int g, int b) override { return Record("SetOutlineTextBackColor", r, g, b); }
  STDMETHODIMP SetOutlineTextBorderColor(int r, int g, int b) override {
    return Record("SetOutlineTextBorderColor", r, g, b);
  }
  STDMETHODIMP SetTextureBrushImage(LPCSTR path) override { return Record("SetTextureBrushImage", path); }
  STDMETHODIMP SetHashBrushValue(int style, int fr, int fg, int fb, int br, int bg, int bb) override {
    return Record("SetHashBrushValue", style, fr, fg, fb, br, bg, bb);
  }
  STDMETHODIMP SetReservedValue1(int v) override { return Record("SetReservedValue1", v); }
  STDMETHODIMP SetReservedValue2(int v) override { return Record("SetReservedValue2", v); }
  STDMETHODIMP SetTextFontStyle(int style) override { return Record("SetTextFontStyle", style); }
  STDMETHODIMP SetTextStyle(int mode) override { return Record("SetTextStyle", mode); }
  STDMETHODIMP GetImagePosition(int*, int*) override { return S_OK; }
  STDMETHODIMP SetImagePosition(int x, int y) override { return Record("SetImagePosition", x, y); }
  STDMETHODIMP ShowImage(int show) override { return Record("ShowImage", show); }
  STDMETHODIMP SetReservedFlag1(int v) override { return Record("SetReservedFlag1", v); }
  STDMETHODIMP SetReservedFlag2(int v) override { return Record("SetReservedFlag2", v); }
  STDMETHODIMP SetReservedFlag3(int v) override { return Record("SetReservedFlag3", v); }
  STDMETHODIMP SetImageFile(LPCSTR path) override { return Record("SetImageFile", path); }
  STDMETHODIMP GetImageFile(LPSTR) override { return S_OK; }
  STDMETHODIMP SetImageTransparency(int r, int g, int b, int a) override {
    return Record("SetImageTransparency", r, g, b, a);
  }
  STDMETHODIMP GetImageTransparency(int*, int*, int*, int*) override { return S_OK; }
  STDMETHODIMP SetReservedFlag4(int v) override { return Record("SetReservedFlag4", v); }
  STDMETHODIMP GetReservedFlag4(int*) override { return S_OK; }
  STDMETHODIMP SetAnimatedImage1(LPCSTR p, int x, int y, int f) override { return Record("SetAnimatedImage1", p, x, y, f); }
  STDMETHODIMP SetAnimatedImage2(LPCSTR p, int x, int y, int f) override { return Record("SetAnimatedImage2", p, x, y, f); }
  STDMETHODIMP SetStretchImage(int v) override { return Record("SetStretchImage", v); }
  STDMETHODIMP SetTextAlpha(int v) override { return Record("SetTextAlpha", v); }
  STDMETHODIMP SetReservedText(LPCSTR t) override { return Record("SetReservedText", t); }
  STDMETHODIMP GetSampleTimes(double*, double*) override { return S_OK; }
};

class RecordingFactory : public IClassFactory {
 public:
  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IUnknown || riid == IID_IClassFactory) {
      *ppv = this;
      return S_OK;
    }
    *ppv = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 1; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID riid, void** ppv) override {
    HRESULT hr = S_OK;
    auto* mixer = new RecordingMixer(outer, &hr);
    mixer->NonDelegatingAddRef();
    hr = mixer->NonDelegatingQueryInterface(riid, ppv);
    mixer->NonDelegatingRelease();
    ++g_created;
    return hr;
  }
  STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

RecordingFactory g_recordingFactory;

// ---- The control with the overlay on -----------------------------------------------------------

class OverlayTest : public HostedControl {
 protected:
  static void SetUpTestSuite() {
    HostedControl::SetUpTestSuite();
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "";
    options.seconds = 1.0;
    ASSERT_EQ("", testing_support::MakeClip(Clip(), options));
    options.seconds = 8.0;
    ASSERT_EQ("", testing_support::MakeClip(LongClip(), options));
  }
  static std::string Clip() { return testing_support::SandboxDir() + "/overlay_clip.avi"; }
  // Long enough that the overlay set right after Save reaches the frames well before the last.
  static std::string LongClip() { return testing_support::SandboxDir() + "/overlay_long.avi"; }
  static std::string Output(const char* name) { return testing_support::SandboxDir() + "/" + name; }

  void Flag(DISPID id, bool on) { Put(id, COleVariant(short(on ? VARIANT_TRUE : 0), VT_BOOL)); }
  // Registers the stand-in for the overlay filter's class (once a test) and clears its record.
  void UseStandIn() {
    if (!cookie_) {
      ASSERT_EQ(S_OK, CoRegisterClassObject(CLSID_LumetFilter, &g_recordingFactory, CLSCTX_INPROC_SERVER,
                                            REGCLS_MULTIPLEUSE, &cookie_));
    }
    std::lock_guard<std::mutex> hold(g_callsLock);
    g_calls.clear();
    g_created = 0;
  }
  void TearDown() override {
    if (cookie_) CoRevokeClassObject(cookie_);
    HostedControl::TearDown();
  }
  // Saves the clip as uncompressed AVI without sound; the overlay calls come after this.
  void StartSave(const std::string& file, const std::string& clip = Clip(), double seconds = 1) {
    Flag(dispidOutputAudio, false);
    Call(dispidInitControl);
    ASSERT_TRUE(AddVideo(clip, 0, seconds));
    ASSERT_TRUE(CallBool(dispidSave, {COleVariant(file.c_str())}));
  }
  bool PumpUntilComplete() {
    const auto guard = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (host.completes == 0) {
      if (std::chrono::steady_clock::now() > guard) return false;
      ui.AdvanceClock(10);
      std::this_thread::yield();
    }
    return true;
  }
  // The calls recorded from position start on.
  static std::vector<std::string> CallsFrom(size_t start) {
    std::vector<std::string> calls = Calls();
    return std::vector<std::string>(calls.begin() + std::min(start, calls.size()), calls.end());
  }

  testing_ui::UiDriver ui;
  DWORD cookie_ = 0;
};

// Inserted into the graph, the filter gets its start settings; a DrawText then pushes the eleven
// text settings in the filter's order, each with the value the control holds.
TEST_F(OverlayTest, TextPushesReachTheFilterInOrder) {
  UseStandIn();
  Flag(dispidUseOverlay, true);
  Put(dispidTextColor, COleVariant(LONG(0x203040)));
  Put(dispidTextFontName, COleVariant("Verdana"));
  Put(dispidTextFontSize, COleVariant(short(30)));
  Put(dispidTextStyle, COleVariant(short(2)));
  Put(dispidTextFontStyle, COleVariant(short(3)));
  StartSave(Output("pushes.avi"));
  EXPECT_EQ(1, g_created);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"ShowText(1)", "SetReservedFlag3(0)", "SetText(\"\")"}));

  Call(dispidSetHashBrushValue, {COleVariant(short(5)), COleVariant(LONG(0xFF8040)), COleVariant(LONG(0x102030))});
  const size_t mark = Calls().size();
  EXPECT_EQ(0, Call(dispidDrawText, {COleVariant(short(12)), COleVariant(short(34)), COleVariant("Hello")}).iVal);
  const std::vector<std::string> expected = {
      "ShowText(1)",
      "SetOutlineTextBorderColor(0,255,0)",
      "SetOutlineTextBackColor(255,0,0)",
      "SetTextStyle(2)",
      "SetTextFontStyle(3)",
      "SetHashBrushValue(5,64,128,255,48,32,16)",
      "SetTextureBrushImage(\"\")",
      "SetTextPosition(12,34)",
      "SetText(\"Hello\")",
      "SetTextColor(64,48,32)",
      "SetTextFont(\"Verdana\",30)",
  };
  EXPECT_EQ(CallsFrom(mark), expected);
  // The hatch call pushed the same eleven before.
  EXPECT_EQ(Calls()[3 + 5], "SetHashBrushValue(5,64,128,255,48,32,16)");

  // Hiding the text while converting reaches the filter at once, and later pushes keep it hidden.
  Flag(dispidShowText, false);
  EXPECT_EQ(Calls().back(), "ShowText(0)");
  const size_t beforeText = Calls().size();
  Call(dispidDrawText, {COleVariant(short(1)), COleVariant(short(2)), COleVariant("Again")});
  EXPECT_EQ(CallsFrom(beforeText).front(), "ShowText(0)");
  ASSERT_TRUE(PumpUntilComplete());

  // Without a graph nothing is pushed.
  const size_t afterRun = Calls().size();
  Call(dispidDrawText, {COleVariant(short(1)), COleVariant(short(2)), COleVariant("Later")});
  Put(dispidTextColor, COleVariant(LONG(0xFF)));
  EXPECT_EQ(Calls().size(), afterRun);
}

// Outline colours and an image given before the graph exists reach the filter when it is
// inserted: the image at 0,0 with the filter's own key and alpha.
TEST_F(OverlayTest, SettingsGivenBeforeTheGraphReachTheNewFilter) {
  UseStandIn();
  Flag(dispidUseOverlay, true);
  Call(dispidSetOutlineTextBackColor, {COleVariant(LONG(0x030201))});
  Call(dispidSetOutlineTextBorderColor, {COleVariant(LONG(0x060504))});
  Call(dispidDrawImage, {COleVariant(short(7)), COleVariant(short(8)), COleVariant("logo.png"),
                         COleVariant(LONG(0x00FF00)), COleVariant(short(200))});
  EXPECT_TRUE(Calls().empty());
  StartSave(Output("before.avi"));
  const std::vector<std::string> expected = {
      "ShowText(1)",
      "SetReservedFlag3(0)",
      "SetText(\"\")",
      "ShowImage(1)",
      "SetImagePosition(0,0)",
      "SetImageFile(\"logo.png\")",
      "SetOutlineTextBorderColor(4,5,6)",
      "SetOutlineTextBackColor(1,2,3)",
  };
  EXPECT_EQ(Calls(), expected);

  // DrawImage with the graph there sends the whole image setting.
  const size_t mark = Calls().size();
  Call(dispidDrawImage, {COleVariant(short(7)), COleVariant(short(8)), COleVariant("other.png"),
                         COleVariant(LONG(0x0000FF)), COleVariant(short(200))});
  EXPECT_EQ(CallsFrom(mark), (std::vector<std::string>{"ShowImage(1)", "SetImagePosition(7,8)",
                                                        "SetImageTransparency(255,0,0,200)",
                                                        "SetImageFile(\"other.png\")"}));
  ASSERT_TRUE(PumpUntilComplete());

  // The end of processing forgot the image: the next graph's filter gets none.
  UseStandIn();
  StartSave(Output("after.avi"));
  EXPECT_EQ(Calls(), (std::vector<std::string>{"ShowText(1)", "SetReservedFlag3(0)", "SetText(\"\")",
                                               "SetOutlineTextBorderColor(4,5,6)", "SetOutlineTextBackColor(1,2,3)"}));
  ASSERT_TRUE(PumpUntilComplete());
}

// Without UseOverlay no overlay filter is made.
TEST_F(OverlayTest, NoFilterWithoutUseOverlay) {
  UseStandIn();
  StartSave(Output("plain.avi"));
  ASSERT_TRUE(PumpUntilComplete());
  EXPECT_EQ(0, g_created);
}

// A real conversion through Lumet.ax: the keyed image and the text are in the file where the
// settings put them. The overlay is given right after Save, as a container gives it, so the
// last picture is the one checked.
TEST_F(OverlayTest, ConvertedFileShowsTheImageAndTheText) {
  HMODULE lumet = LoadLibraryA(LUMET_MODULE);
  ASSERT_NE(nullptr, lumet);
  auto registerServer = reinterpret_cast<HRESULT (*)()>(reinterpret_cast<void (*)()>(GetProcAddress(lumet, "DllRegisterServer")));
  ASSERT_EQ(S_OK, registerServer());

  // A 20 x 10 image: blue with a black frame, black being the key colour.
  std::vector<uint8_t> rgba;
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 20; ++x) {
      const bool frame = x == 0 || y == 0 || x == 19 || y == 9;
      rgba.insert(rgba.end(), {0, 0, BYTE(frame ? 0 : 255), 255});
    }
  const std::string image = testing_support::SandboxDir() + "/logo.png";
  ASSERT_EQ("", testing_support::WritePng(image, 20, 10, rgba));

  Flag(dispidUseOverlay, true);
  Put(dispidTextColor, COleVariant(LONG(0x00FF00)));  // green
  Put(dispidTextFontName, COleVariant("Arial"));
  Put(dispidTextFontSize, COleVariant(short(40)));
  StartSave(Output("overlaid.avi"), LongClip(), 8);
  Call(dispidDrawImage, {COleVariant(short(200)), COleVariant(short(30)), COleVariant(image.c_str()),
                         COleVariant(LONG(0)), COleVariant(short(255))});
  Call(dispidDrawText, {COleVariant(short(20)), COleVariant(short(150)), COleVariant("Corvane")});
  ASSERT_TRUE(PumpUntilComplete());

  const testing_support::ProbedPicture picture = testing_support::LastPicture(Output("overlaid.avi"));
  ASSERT_EQ("", picture.error);
  ASSERT_EQ(320, picture.width);
  auto is = [&](int x, int y, int r, int g, int b) {
    const uint8_t* p = picture.Pixel(x, y);
    return p[0] == r && p[1] == g && p[2] == b;
  };
  for (int y = 31; y < 39; ++y)
    for (int x = 201; x < 219; ++x) EXPECT_TRUE(is(x, y, 0, 0, 255)) << x << "," << y;
  EXPECT_FALSE(is(200, 30, 0, 0, 0));  // the keyed frame shows the clip
  int green = 0;
  for (int y = 150; y < 200; ++y)
    for (int x = 20; x < 220; ++x) green += is(x, y, 0, 255, 0);
  EXPECT_GT(green, 200);
  FreeLibrary(lumet);
}

}  // namespace
