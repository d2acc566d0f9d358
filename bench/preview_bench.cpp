// Playing a 60-second 1920x1080 clip on the real clock in a visible 640x360 window, as the preview
// does (the file rendered to the Video Renderer and the sound output, the window a child of the
// control-sized owner): the frames the renderer drew and dropped, and the CPU it took, against the
// same graph with a null renderer in place of the picture. Each side runs in a child process.
// Usage: preview_bench [folder] [seconds]
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "child_run.h"
#include "dshow/dshow.h"
#include "ole/comptr.h"
#include "testing/media_fixtures.h"
#include "win32/windows.h"

namespace {

using bench::InChild;
using bench::Result;

ComPtr<IBaseFilter> PictureRenderer(IGraphBuilder* graph) {
  ComPtr<IEnumFilters> all;
  graph->EnumFilters(all.put());
  ComPtr<IBaseFilter> filter;
  while (all && all->Next(1, filter.put(), nullptr) == S_OK)
    if (filter.As<IVideoWindow>(IID_IVideoWindow)) return filter;
  return nullptr;
}

ComPtr<IPin> FirstPin(IBaseFilter* filter, PIN_DIRECTION wanted) {
  ComPtr<IEnumPins> pins;
  filter->EnumPins(pins.put());
  ComPtr<IPin> pin;
  PIN_DIRECTION direction;
  while (pins && pins->Next(1, pin.put(), nullptr) == S_OK)
    if (SUCCEEDED(pin->QueryDirection(&direction)) && direction == wanted) return pin;
  return nullptr;
}

// Plays the clip to its end; with a picture, writes the renderer's counts to the pipe.
int Play(const std::string& clip, bool picture, int report) {
  RegisterDShowClasses();
  WNDCLASSA wc{};
  wc.lpfnWndProc = DefWindowProcA;
  wc.lpszClassName = "PreviewBench";
  RegisterClassA(&wc);
  HWND owner = CreateWindowExA(0, "PreviewBench", "preview", WS_POPUP | WS_VISIBLE, 0, 0, 640, 360, nullptr, nullptr,
                               nullptr, nullptr);
  ComPtr<IGraphBuilder> graph;
  if (FAILED(CoCreateInstance(CLSID_FilterGraph, nullptr, CLSCTX_INPROC_SERVER, IID_IGraphBuilder, graph.putVoid())))
    return 2;
  if (FAILED(graph->RenderFile(std::u16string(clip.begin(), clip.end()).c_str(), nullptr))) return 2;
  ComPtr<IBaseFilter> renderer = PictureRenderer(graph.get());
  if (!renderer) return 2;
  if (picture) {
    auto window = renderer.As<IVideoWindow>(IID_IVideoWindow);
    window->put_Owner(OAHWND(owner));
    window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
    window->SetWindowPosition(0, 0, 640, 360);
  } else {
    ComPtr<IPin> input = FirstPin(renderer.get(), PINDIR_INPUT), output;
    input->ConnectedTo(output.put());
    // The same pictures as the renderer took: the difference is only the drawing.
    AM_MEDIA_TYPE pictures{};
    input->ConnectionMediaType(&pictures);
    output->Disconnect();
    input->Disconnect();
    graph->RemoveFilter(renderer.get());
    ComPtr<IBaseFilter> null;
    CoCreateInstance(CLSID_NullRenderer, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, null.putVoid());
    graph->AddFilter(null.get(), u"Null Renderer");
    const HRESULT connected = graph->ConnectDirect(output.get(), FirstPin(null.get(), PINDIR_INPUT).get(), &pictures);
    FreeMediaType(pictures);
    if (FAILED(connected)) return 2;
  }
  auto control = graph.As<IMediaControl>(IID_IMediaControl);
  auto events = graph.As<IMediaEvent>(IID_IMediaEvent);
  if (FAILED(control->Run())) return 2;
  for (LONG code = 0; code != EC_COMPLETE && code != EC_ERRORABORT;) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    LONG_PTR a = 0, b = 0;
    if (events->GetEvent(&code, &a, &b, 10) == S_OK) events->FreeEventParams(code, a, b);
  }
  if (picture) {
    int counts[2] = {};
    auto quality = renderer.As<IQualProp>(IID_IQualProp);
    quality->get_FramesDrawn(&counts[0]);
    quality->get_FramesDroppedInRenderer(&counts[1]);
    if (write(report, counts, sizeof counts) != ssize_t(sizeof counts)) return 2;
  }
  control->Stop();
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : std::filesystem::current_path();
  const double seconds = argc > 2 ? std::atof(argv[2]) : 60.0;
  setenv("CORVANE_DISPLAY", "headless", 0);
  setenv("CORVANE_SCREEN", "1920x1080", 0);
  const std::string clip = (folder / ("preview_bench_" + std::to_string(int(seconds)) + ".avi")).string();
  if (!std::filesystem::exists(clip)) {
    testing_support::ClipOptions o;
    o.format = "avi";
    o.videoEncoder = "mpeg4";
    o.width = 1920;
    o.height = 1080;
    o.frameRate = 25;
    o.audioEncoder = "libmp3lame";
    o.sampleRate = 44100;
    o.channels = 2;
    o.seconds = seconds;
    std::printf("making a %.0f-second 1920x1080 clip...\n", seconds);
    if (std::string err = testing_support::MakeClip(clip, o); !err.empty()) {
      std::fprintf(stderr, "%s\n", err.c_str());
      return 2;
    }
  }
  int pipeEnds[2];
  if (pipe(pipeEnds) != 0) return 2;
  const Result shown = InChild([&] { return Play(clip, true, pipeEnds[1]); });
  const Result hidden = InChild([&] { return Play(clip, false, -1); });
  int counts[2] = {-1, -1};
  if (shown.status != 0 || hidden.status != 0 || read(pipeEnds[0], counts, sizeof counts) != ssize_t(sizeof counts)) {
    std::fprintf(stderr, "a side failed: shown %d, null renderer %d\n", shown.status, hidden.status);
    return 1;
  }
  std::printf("shown: %.1f s, cpu %.2f s, %d frames drawn, %d dropped\n", shown.seconds, shown.cpuSeconds, counts[0],
              counts[1]);
  std::printf("null renderer: %.1f s, cpu %.2f s\n", hidden.seconds, hidden.cpuSeconds);
  std::printf("cpu shown / null renderer: %.2fx (goal at most 1.25x)\n", shown.cpuSeconds / hidden.cpuSeconds);
  return 0;
}
