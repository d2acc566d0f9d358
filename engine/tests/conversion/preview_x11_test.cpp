// The preview in a real window: the control hosted in a top-level window on a virtual X server,
// its picture read back from the server.
#include <chrono>
#include <string>
#include <thread>

#include "hosted_control.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"
#include "win32/display.h"
#include "testing/xvfb_server.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

TEST(PreviewOnX11, TheFrameAtTheStartPositionShowsInTheWindow) {
  XvfbServer server;
  ASSERT_FALSE(server.Name().empty()) << "Xvfb did not start";
  setenv("DISPLAY", server.Name().c_str(), 1);
  setenv("CORVANE_DISPLAY", "x11", 1);
  ASSERT_TRUE(StartDisplayBackend());

  testing_support::ClipOptions options;
  options.format = "avi";
  options.videoEncoder = "mpeg4";
  options.audioEncoder = "pcm_s16le";
  options.width = 320;
  options.height = 240;
  options.frameRate = 15;
  options.seconds = 2.0;
  options.timeColoured = true;
  const std::string clip = testing_support::SandboxDir() + "/x11.avi";
  ASSERT_EQ("", testing_support::MakeClip(clip, options));

  HMODULE module = LoadLibraryA(TESSARY_MODULE);
  ASSERT_NE(nullptr, module);
  ASSERT_EQ(S_OK, reinterpret_cast<HRESULT (*)()>(GetProcAddress(module, "DllRegisterServer"))());
  AfxEnableControlContainer();
  CWnd host, wrapper;
  ASSERT_TRUE(host.CreateEx(0, AfxRegisterWndClass(0), "preview", WS_POPUP | WS_VISIBLE, 100, 80, 320, 240, nullptr,
                            nullptr));
  ASSERT_TRUE(AfxCreateControl(&wrapper, CLSID_Tessary, "", WS_VISIBLE, CRect(0, 0, 320, 240), &host, 1001));
  IDispatch* control = AfxGetControlSite(&wrapper)->GetDispatch();
  COleVariant result;
  ASSERT_EQ(S_OK, CallMethod(control, dispidInitControl, result));
  ASSERT_EQ(S_OK, CallMethod(control, dispidAddVideo, result,
                             {COleVariant(clip.c_str()), COleVariant(0.0), COleVariant(2.0), COleVariant(short(0))}));
  ASSERT_EQ(S_OK, PutProp(control, dispidPrePos, COleVariant(1.0)));
  ASSERT_EQ(S_OK, CallMethod(control, dispidPreview, result));
  ASSERT_EQ(VARIANT_TRUE, result.boolVal);
  // Time stands still: the frame at 1.0 s stays on the screen.
  ASSERT_EQ(S_OK, CallMethod(control, dispidPause, result));

  Display* x = XOpenDisplay(server.Name().c_str());
  ASSERT_TRUE(x);
  const testing_support::Rgb want = testing_support::TimeColourOfFrame(15);
  auto near = [&](unsigned long pixel) {
    const int r = int(pixel >> 16 & 0xFF), g = int(pixel >> 8 & 0xFF), b = int(pixel & 0xFF);
    return std::abs(r - want.r) <= 12 && std::abs(g - want.g) <= 12 && std::abs(b - want.b) <= 12;
  };
  unsigned long centre = 0;
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < guard) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    // Waiting lets the display bring the X windows up to date.
    WaitMessage();
    XImage* image = XGetImage(x, DefaultRootWindow(x), 100 + 160, 80 + 120, 1, 1, AllPlanes, ZPixmap);
    if (image) {
      centre = XGetPixel(image, 0, 0);
      XDestroyImage(image);
    }
    if (near(centre)) break;
    std::this_thread::yield();
  }
  EXPECT_TRUE(near(centre)) << std::hex << centre;
  XCloseDisplay(x);
  control = nullptr;
  wrapper.DestroyWindow();
  host.DestroyWindow();
}

}  // namespace
