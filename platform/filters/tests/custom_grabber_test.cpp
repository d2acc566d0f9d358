// The Custom Grabber put into a graph before RenderFile: the video is routed through it as RGB24
// pictures, and it keeps the one frame asked for.
#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "filters/outside_filters.h"
#include "ole/comptr.h"
#include "testing/media_fixtures.h"
#include "testing/sandbox.h"

namespace {

std::string Clip() {
  static const std::string path = [] {
    testing_support::ClipOptions options;
    options.format = "avi";
    options.videoEncoder = "mpeg4";
    options.audioEncoder = "pcm_s16le";
    options.width = 96;
    options.height = 64;
    options.seconds = 1.0;
    const std::string file = testing_support::SandboxDir() + "/grabbed.avi";
    EXPECT_EQ("", testing_support::MakeClip(file, options));
    return file;
  }();
  return path;
}

TEST(CustomGrabber, RenderFileRoutesThePicturesThroughItAndItKeepsOneFrame) {
  RegisterDShowClasses();
  RegisterOutsideFilterClasses();
  ComPtr<IGraphBuilder> graph;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder,
                                   graph.putVoid()));
  ComPtr<IBaseFilter> filter;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_CustomGrabber, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                   filter.putVoid()));
  ASSERT_EQ(S_OK, graph->AddFilter(filter.get(), u"Custom Grabber"));
  const std::string clip = Clip();
  ASSERT_EQ(S_OK, graph->RenderFile(std::u16string(clip.begin(), clip.end()).c_str(), nullptr));

  ComPtr<ICustomGrabber> grabber;
  ASSERT_EQ(S_OK, filter.As(IID_ICustomGrabber, &grabber));
  AM_MEDIA_TYPE type{};
  ASSERT_EQ(S_OK, grabber->GetConnectedMediaType(&type));
  EXPECT_EQ(MEDIASUBTYPE_RGB24, type.subtype);
  ASSERT_EQ(FORMAT_VideoInfo, type.formattype);
  const BITMAPINFOHEADER header = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
  FreeMediaType(type);
  EXPECT_EQ(96, header.biWidth);

  LONG size = 0;
  ASSERT_EQ(S_OK, grabber->SetOneShot(TRUE));
  ASSERT_EQ(S_OK, grabber->SetBufferSamples(TRUE));
  EXPECT_EQ(VFW_E_WRONG_STATE, grabber->GetCurrentBuffer(&size, nullptr));
  ComPtr<IMediaFilter> timing;
  ASSERT_EQ(S_OK, graph.As(IID_IMediaFilter, &timing));
  timing->SetSyncSource(nullptr);
  ComPtr<IMediaControl> control;
  ComPtr<IMediaEvent> events;
  ASSERT_EQ(S_OK, graph.As(IID_IMediaControl, &control));
  ASSERT_EQ(S_OK, graph.As(IID_IMediaEvent, &events));
  ASSERT_EQ(S_OK, control->Run());
  LONG code = 0;
  LONG_PTR a = 0, b = 0;
  const auto guard = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  while (code != EC_COMPLETE && std::chrono::steady_clock::now() < guard) {
    if (events->GetEvent(&code, &a, &b, 0) == S_OK)
      events->FreeEventParams(code, a, b);
    else
      std::this_thread::yield();
  }
  EXPECT_EQ(EC_COMPLETE, code);
  control->Stop();
  ASSERT_EQ(S_OK, grabber->GetCurrentBuffer(&size, nullptr));
  EXPECT_EQ(LONG(DIBSIZE(header)), size);
  std::vector<LONG> copy(size_t(size) / sizeof(LONG) + 1);
  LONG small = size - 1;
  EXPECT_EQ(E_OUTOFMEMORY, grabber->GetCurrentBuffer(&small, copy.data()));
  EXPECT_EQ(S_OK, grabber->GetCurrentBuffer(&size, copy.data()));
}

}  // namespace
