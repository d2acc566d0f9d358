#pragma once
// GDI+: anti-aliased drawing of images, text, paths and brushes on bitmaps, on cairo. The subset
// the system uses: start-up and shut-down, bitmaps over caller memory and from image files,
// LockBits, image drawing with stretching, font families, fonts, string formats, solid, hatch
// and texture brushes, pens, paths built from strings and text drawing and measuring.
//
// Every object needs GDI+ started (GdiplusStartup); made before that, or after the last
// GdiplusShutdown, it reports GdiplusNotInitialized and draws nothing.
#include "gdiplus/gdiplus_types.h"
#include "gdiplus/gdiplus_image.h"
#include "gdiplus/gdiplus_text.h"
#include "gdiplus/gdiplus_brush.h"
#include "gdiplus/gdiplus_path.h"
#include "gdiplus/gdiplus_graphics.h"

namespace Gdiplus {

typedef VOID(WINAPI* DebugEventProc)(INT level, CHAR* message);

struct GdiplusStartupInput {
  UINT GdiplusVersion = 1;
  DebugEventProc DebugEventCallback = nullptr;
  BOOL SuppressBackgroundThread = FALSE;
  BOOL SuppressExternalCodecs = FALSE;
};

struct GdiplusStartupOutput {
  void* NotificationHook = nullptr;
  void* NotificationUnhook = nullptr;
};

// Counted: GDI+ stays up until every token has been shut down. Only version 1 is known.
Status GdiplusStartup(ULONG_PTR* token, const GdiplusStartupInput* input, GdiplusStartupOutput* output);
void GdiplusShutdown(ULONG_PTR token);

}  // namespace Gdiplus
