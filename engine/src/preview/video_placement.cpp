#include "preview/video_placement.h"

#include "ole/comptr.h"

PictureRect FitPicture(LONG sourceWidth, LONG sourceHeight, const PictureRect& area) {
  if (sourceWidth <= 0 || sourceHeight <= 0) return area;
  const int64_t dw = area.width, dh = area.height;
  if (dh * sourceWidth < dw * sourceHeight) {
    const LONG width = LONG(dh * sourceWidth / sourceHeight);
    return {area.left + (area.width - width) / 2, area.top, width, area.height};
  }
  const LONG height = LONG(int64_t(sourceHeight) * dw / sourceWidth);
  return {area.left, area.top + (area.height - height) / 2, area.width, height};
}

namespace {

struct VideoInterfaces {
  ComPtr<IVideoWindow> window;
  ComPtr<IBasicVideo2> video;
};

HRESULT Find(IGraphBuilder* graph, VideoInterfaces* found) {
  if (!graph) return E_POINTER;
  HRESULT hr = graph->QueryInterface(IID_IVideoWindow, found->window.putVoid());
  if (SUCCEEDED(hr)) hr = graph->QueryInterface(IID_IBasicVideo2, found->video.putVoid());
  return hr;
}

PictureRect ClientArea(HWND control) {
  RECT client{};
  GetClientRect(control, &client);
  return {0, 0, client.right - client.left, client.bottom - client.top};
}

// The picture from the client area as it is now, the border and the window in front.
void PlacePicture(const VideoInterfaces& v, const VideoPlacement& placement, const PictureRect& area) {
  PictureRect picture = area;
  LONG left = 0, top = 0, width = 0, height = 0;
  if (placement.keepAspect && SUCCEEDED(v.video->GetSourcePosition(&left, &top, &width, &height)))
    picture = FitPicture(width, height, area);
  v.video->SetDestinationPosition(picture.left, picture.top, picture.width, picture.height);
  v.window->put_BorderColor(LONG(placement.border));
  v.window->SetWindowForeground(OATRUE);
}

void Detach(const VideoInterfaces& v) {
  v.window->put_AutoShow(OAFALSE);
  v.window->put_Visible(OAFALSE);
  v.window->put_MessageDrain(0);
  v.window->put_Owner(0);
}

}  // namespace

HRESULT PlaceVideoWindow(IGraphBuilder* graph, const VideoPlacement& placement, bool attach) {
  VideoInterfaces v;
  if (HRESULT hr = Find(graph, &v); FAILED(hr)) return hr;
  if (!attach) {
    Detach(v);
    return S_OK;
  }
  v.window->put_Owner(OAHWND(placement.control));
  v.window->put_MessageDrain(OAHWND(placement.control));
  v.window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
  if (placement.fullScreen) v.window->put_FullScreenMode(OATRUE);
  const PictureRect area = ClientArea(placement.control);
  v.window->SetWindowPosition(0, 0, area.width, area.height);
  PlacePicture(v, placement, area);
  return S_OK;
}

HRESULT RestoreVideoWindow(IGraphBuilder* graph, const VideoPlacement& placement, bool attach) {
  VideoInterfaces v;
  if (HRESULT hr = Find(graph, &v); FAILED(hr)) return hr;
  if (!attach) {
    Detach(v);
    return S_OK;
  }
  v.window->put_AutoShow(OAFALSE);
  v.window->put_Owner(OAHWND(placement.control));
  v.window->put_FullScreenMode(OAFALSE);
  v.window->put_MessageDrain(OAHWND(placement.control));
  v.window->put_WindowStyle(WS_CHILD | WS_CLIPSIBLINGS);
  const PictureRect area = ClientArea(placement.control);
  v.window->SetWindowPosition(0, 0, area.width, area.height);
  v.window->put_Visible(IsWindowVisible(placement.control) ? OATRUE : OAFALSE);
  PlacePicture(v, placement, area);
  return S_OK;
}
