#pragma once
// Where the video window of the current graph goes: inside the control, filling its client area,
// with the picture fitted to keep its shape when asked. Preview and the conversion's live view
// share it.
#include "dshow/dshow.h"
#include "win32/windows.h"

struct VideoPlacement {
  HWND control = nullptr;
  bool keepAspect = true;
  bool fullScreen = false;
  COLORREF border = RGB(0, 0, 0);
};

struct PictureRect {
  LONG left, top, width, height;
};

// The largest rectangle of the source's shape centred inside area (the bars go to the wider side).
PictureRect FitPicture(LONG sourceWidth, LONG sourceHeight, const PictureRect& area);

// Attached: the window becomes the control's child over its whole client area (full screen when
// asked) and the picture is placed from that area as it is now. Detached: hidden, without owner
// or message drain. E_POINTER without a graph, E_NOINTERFACE when it has no video window.
HRESULT PlaceVideoWindow(IGraphBuilder* graph, const VideoPlacement& placement, bool attach);
// After full screen was lost: as PlaceVideoWindow, leaving full screen and showing the window
// exactly when the control is visible.
HRESULT RestoreVideoWindow(IGraphBuilder* graph, const VideoPlacement& placement, bool attach);
