// Graphics worlds and drawing a movie's frames into them.
#include <algorithm>

#include "frame_drawer.h"
#include "movie.h"
#include "runtime.h"
#include "win32/wingdi.h"

namespace {

using quicktime::runtime::SetMoviesError;

int BytesPerPixel(OSType format) {
  if (format == k16LE555PixelFormat) return 2;
  if (format == k24BGRPixelFormat) return 3;
  if (format == k32BGRAPixelFormat) return 4;
  return 0;
}

}  // namespace

QDErr NewGWorldFromHBITMAP(GWorldPtr* offscreenGWorld, CTabHandle, GDHandle, GWorldFlags, void*, void* newHBITMAP) {
  if (!offscreenGWorld) return paramErr;
  *offscreenGWorld = nullptr;
  DIBSECTION dib{};
  if (!newHBITMAP || GetObjectA(static_cast<HBITMAP>(newHBITMAP), sizeof dib, &dib) != int(sizeof dib) || !dib.dsBm.bmBits)
    return paramErr;
  const int bits = dib.dsBm.bmBitsPixel;
  if (dib.dsBmih.biCompression != BI_RGB || (bits != 16 && bits != 24 && bits != 32)) return paramErr;
  auto* world = new GWorldRecord;
  world->width = dib.dsBm.bmWidth;
  world->height = dib.dsBm.bmHeight;
  world->pixelFormat = bits == 16 ? k16LE555PixelFormat : bits == 24 ? k24BGRPixelFormat : k32BGRAPixelFormat;
  const ptrdiff_t stride = ptrdiff_t((world->width * bits + 31) / 32 * 4);
  auto* base = static_cast<uint8_t*>(dib.dsBm.bmBits);
  if (dib.dsBmih.biHeight < 0) {
    world->firstRow = base;
    world->rowStep = stride;
  } else {
    world->firstRow = base + stride * (world->height - 1);
    world->rowStep = -stride;
  }
  *offscreenGWorld = world;
  return noErr;
}

QDErr NewGWorldFromPtr(GWorldPtr* offscreenGWorld, OSType pixelFormat, const Rect* boundsRect, CTabHandle, GDHandle,
                       GWorldFlags, Ptr newBuffer, int32_t rowBytes) {
  if (!offscreenGWorld) return paramErr;
  *offscreenGWorld = nullptr;
  const int pixelBytes = BytesPerPixel(pixelFormat);
  if (!boundsRect || !newBuffer || pixelBytes == 0) return paramErr;
  const int width = boundsRect->right - boundsRect->left, height = boundsRect->bottom - boundsRect->top;
  if (width <= 0 || height <= 0 || rowBytes < width * pixelBytes) return paramErr;
  auto* world = new GWorldRecord;
  world->width = width;
  world->height = height;
  world->pixelFormat = pixelFormat;
  world->firstRow = reinterpret_cast<uint8_t*>(newBuffer);
  world->rowStep = rowBytes;
  *offscreenGWorld = world;
  return noErr;
}

void DisposeGWorld(GWorldPtr offscreenGWorld) { delete offscreenGWorld; }

GDHandle GetGWorldDevice(GWorldPtr offscreenGWorld) {
  return offscreenGWorld ? &offscreenGWorld->devicePointer : nullptr;
}

void SetMovieGWorld(Movie theMovie, CGrafPtr port, GDHandle) {
  if (theMovie) theMovie->world = port;
}

void SetMovieTimeValue(Movie theMovie, TimeValue newtime) {
  if (!theMovie) return;
  theMovie->timeValue = newtime;
  theMovie->timeValueScale = theMovie->timeScale;
}

void SetMovieTime(Movie theMovie, const TimeRecord* newtime) {
  if (!theMovie || !newtime || newtime->scale <= 0) return;
  theMovie->timeValue = int64_t(uint64_t(uint32_t(newtime->value.hi)) << 32 | newtime->value.lo);
  theMovie->timeValueScale = newtime->scale;
}

void MoviesTask(Movie theMovie, int32_t) {
  if (!theMovie || !theMovie->world) return;
  Rect box;
  GetMovieBox(theMovie, &box);
  OSErr result = noErr;
  for (const auto& track : theMovie->tracks) {
    MediaRecord* media = track->media.get();
    if (!track->enabled || track->kind != VideoMediaType || !media) continue;
    const int64_t t = av_rescale_rnd(theMovie->timeValue, media->timeScale, theMovie->timeValueScale,
                                     AVRounding(AV_ROUND_DOWN | AV_ROUND_PASS_MINMAX));
    quicktime::video::FrameDrawer* drawer = media->Drawer();
    if (drawer->ShowFrameAt(t))
      drawer->Draw(theMovie->world, box);
    else
      result = invalidTime;
  }
  SetMoviesError(result);
}
