#pragma once
// One frame of a file at a given time, grabbed through a short-lived graph of its own: the file's
// pictures led through the Custom Grabber into a null renderer, the graph moved to the time and
// run until the grabber holds the frame that covers it. The frame comes back as a GDI bitmap,
// scaled or not, or is written to an image file.
#include "dshow/dshow.h"
#include "mfc/afx.h"
#include "ole/comptr.h"

namespace Gdiplus {
class Bitmap;
}

// Image file kinds by their numbers: 1 JPEG, 2 PNG, 3 TIFF, 4 GIF, any other BMP.
const char* ImageMimeType(short imageType);

struct GrabRequest {
  bool saveToFile = false;
  bool scale = false;
  int width = 0;
  int height = 0;
  CString imagePath;
  short imageType = 0;
};

class FrameGrabber {
 public:
  FrameGrabber() = default;
  FrameGrabber(const FrameGrabber&) = delete;
  FrameGrabber& operator=(const FrameGrabber&) = delete;
  ~FrameGrabber();

  // True when a frame was taken and kept or written as asked. The graph is stopped and released
  // on every path.
  bool Grab(LPCTSTR file, double seconds, const GrabRequest& request);
  // The last frame kept (scaled when asked); null after a failed grab or a written one. The
  // caller owns what it takes: the grabber forgets it.
  HBITMAP TakeResult();
  // Stops and dismantles a grab graph still held.
  void Stop();

 private:
  // The frame at seconds as a new bitmap; null when none could be taken.
  HBITMAP Capture(LPCTSTR file, double seconds);
  HRESULT Build(LPCTSTR file);

  ComPtr<IGraphBuilder> graph_;
  HBITMAP result_ = nullptr;
};

// Writes a frame bitmap as an image file of the type (by number), scaled to width x height when
// asked. False when it could not be written.
bool SaveFrameImage(HBITMAP frame, const GrabRequest& request);
bool SavePicture(Gdiplus::Bitmap& picture, const char* mimeType, const GrabRequest& request);
// The frame stretched to width x height as a new 32-bit bitmap; null on failure.
HBITMAP ScaleFrame(HBITMAP frame, int width, int height);
