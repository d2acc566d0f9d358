// Media information and frame grabbing: questions about a file, answered by short-lived graphs of
// their own, without touching the editing timeline.
#include <cstdio>

#include "control/tessary_ctrl.h"
#include "engine/tessary_ids.h"
#include "gdiplus/gdiplus.h"
#include "media/media_probe.h"
#include "ole/olectl.h"

double CTessaryCtrl::GetFileDuration(LPCTSTR strFileName) { return FileDurationSeconds(strFileName, m_hWnd); }

short CTessaryCtrl::GetFileHeight(LPCTSTR strFileName) {
  if (!strFileName || !*strFileName) return 0;
  if (NamesImageFile(strFileName)) return short(ImageFileSize(strFileName).cy);
  const StreamFacts facts = ProbeStreams(strFileName, true, true);
  return facts.found ? facts.height : 0;
}

short CTessaryCtrl::GetFileWidth(LPCTSTR strFileName) {
  if (!strFileName || !*strFileName) return 0;
  if (NamesImageFile(strFileName)) return short(ImageFileSize(strFileName).cx);
  return ProbeStreams(strFileName, true, true).width;
}

double CTessaryCtrl::GetFileFrameRate(LPCTSTR strFileName) { return ProbeStreams(strFileName, true, false).frameRate; }

double CTessaryCtrl::GetFileTotalFrame(LPCTSTR strFileName) {
  double rate = GetFileFrameRate(strFileName);
  const double duration = GetFileDuration(strFileName);
  if (duration != 0 && rate == 0) rate = 25;
  return duration * rate;
}

BOOL CTessaryCtrl::GetAudioStream(LPCTSTR strFileName) { return ProbeStreams(strFileName, false, false).audio; }

// A grab runs a graph of its own beside a preview or conversion.
HBITMAP CTessaryCtrl::GrabFrame(LPCTSTR file, double seconds, const GrabRequest& request) {
  return frameGrabber_.Grab(file, seconds, request) ? frameGrabber_.TakeResult() : nullptr;
}

LPDISPATCH CTessaryCtrl::PictureOf(HBITMAP bitmap) {
  if (!bitmap) return nullptr;
  PICTDESC description{};
  description.cbSizeofstruct = sizeof description;
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  LPDISPATCH picture = nullptr;
  // The bitmap stays the caller's: ReleasePictureBox deletes it.
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPictureDisp, FALSE, reinterpret_cast<void**>(&picture)))) {
    DeleteObject(bitmap);
    return nullptr;
  }
  return picture;
}

LONG CTessaryCtrl::GetFrame2HBitmap(LPCTSTR strInputFile, double iSecond) {
  return LONG(UINT_PTR(GrabFrame(strInputFile, iSecond, {})));
}

LPDISPATCH CTessaryCtrl::GetFrame2Picture(LPCTSTR strInputFile, double iSecond) {
  return PictureOf(GrabFrame(strInputFile, iSecond, {}));
}

LONG CTessaryCtrl::GetFrameBySize2HBitmap(LPCTSTR strInputFile, double iSecond, LONG iWidth, LONG iHeight) {
  GrabRequest request;
  request.scale = true;
  request.width = iWidth;
  request.height = iHeight;
  return LONG(UINT_PTR(GrabFrame(strInputFile, iSecond, request)));
}

LPDISPATCH CTessaryCtrl::GetFrameBySize2Picture(LPCTSTR strInputFile, double iSecond, LONG iWidth, LONG iHeight) {
  GrabRequest request;
  request.scale = true;
  request.width = iWidth;
  request.height = iHeight;
  return PictureOf(GrabFrame(strInputFile, iSecond, request));
}

BOOL CTessaryCtrl::GetFrame(LPCTSTR strInputFile, double iSecond, LPCTSTR strImageFile, short iOutputFileType) {
  GrabRequest request;
  request.saveToFile = true;
  request.imagePath = strImageFile;
  request.imageType = iOutputFileType;
  return frameGrabber_.Grab(strInputFile, iSecond, request);
}

BOOL CTessaryCtrl::GetFrameBySize(LPCTSTR strInputFile, double iSecond, LPCTSTR strImageFile, LONG iWidth,
                                  LONG iHeight, short iOutputFileType) {
  GrabRequest request;
  request.saveToFile = true;
  request.scale = true;
  request.width = iWidth;
  request.height = iHeight;
  request.imagePath = strImageFile;
  request.imageType = iOutputFileType;
  return frameGrabber_.Grab(strInputFile, iSecond, request);
}

void CTessaryCtrl::ReleasePictureBox(LPDISPATCH pic) {
  ComPtr<IPicture> picture;
  OLE_HANDLE handle = 0;
  if (pic && SUCCEEDED(pic->QueryInterface(IID_IPicture, picture.putVoid())) && SUCCEEDED(picture->get_Handle(&handle)))
    DeleteObject(reinterpret_cast<HBITMAP>(UINT_PTR(handle)));
}

void CTessaryCtrl::StopFrameGrabber() {
  frameGrabber_.Stop();
  if (callbackGrabber_) callbackGrabber_->SetCallback(&m_xSampleGrabberCB, 0);
  callbackGrabber_ = nullptr;
}

namespace {

// The callback's own numbering of the image kinds.
const char* RangeExtension(short imageType, const char** mimeType) {
  switch (imageType) {
    case 1: *mimeType = "image/gif"; return ".gif";
    case 2: *mimeType = "image/jpeg"; return ".jpg";
    case 3: *mimeType = "image/png"; return ".png";
    case 4: *mimeType = "image/tiff"; return ".tif";
    default: *mimeType = "image/bmp"; return ".bmp";
  }
}

}  // namespace

HRESULT CTessaryCtrl::FrameRangeSample(double sampleTime, BYTE* buffer, LONG length) {
  FireEvent(eventidProcessing, EVENT_PARAM(VTS_R8 VTS_R8), sampleTime, callbackDuration_);
  if (!callbackGrabber_) return E_FAIL;
  CMediaType type;
  if (windowStart_ < sampleTime && sampleTime < windowEnd_ && buffer && length > 0 &&
      SUCCEEDED(callbackGrabber_->GetConnectedMediaType(&type)) && type.formattype == FORMAT_VideoInfo &&
      type.cbFormat >= sizeof(VIDEOINFOHEADER) &&
      LONG(DIBSIZE(reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader)) <= length) {
    BITMAPINFO info{};
    info.bmiHeader = reinterpret_cast<const VIDEOINFOHEADER*>(type.pbFormat)->bmiHeader;
    Gdiplus::Bitmap picture(&info, buffer);
    const char* mimeType = nullptr;
    const char* extension = RangeExtension(callbackRequest_.imageType, &mimeType);
    char time[64];
    std::snprintf(time, sizeof time, "%f", sampleTime);
    callbackRequest_.imagePath = outputFolder_ + "\\" + time + extension;
    SavePicture(picture, mimeType, callbackRequest_);
  }
  if (sampleTime < windowEnd_) return 0;
  callbackGrabber_->SetCallback(&m_xSampleGrabberCB, 0);
  PostMessage(kFrameGrabDoneMessage);
  return 0;
}
