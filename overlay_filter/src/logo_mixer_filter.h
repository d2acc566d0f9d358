#pragma once
// The overlay transform filter: RGB24 video in and out, each frame with the image and the text
// of its settings drawn over it, configured through ILogoMixer.
#include "dshow/dshow.h"
#include "gdiplus/gdiplus.h"
#include "image_cache.h"
#include "overlay_filter/logo_mixer.h"
#include "overlay_settings.h"

class CLogoMixerInputPin : public CTransformInputPin {
 public:
  CLogoMixerInputPin(CTransformFilter* filter, HRESULT* phr);
};

class CLogoMixerOutputPin : public CTransformOutputPin {
 public:
  CLogoMixerOutputPin(CTransformFilter* filter, HRESULT* phr);
};

class CLogoMixerFilter : public CTransformFilter, public ILogoMixer {
 public:
  // The class factory's creation function: the filter, or null with E_OUTOFMEMORY.
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);
  CLogoMixerFilter(LPUNKNOWN outer, HRESULT* phr);
  ~CLogoMixerFilter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;

  HRESULT CheckInputType(const CMediaType* mtIn) override;
  HRESULT CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) override;
  HRESULT GetMediaType(int position, CMediaType* mediaType) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  // Copies the sample's properties, then draws.
  HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

  // ILogoMixer.
  STDMETHODIMP GetTextExtent(int* width, int* height) override;
  STDMETHODIMP GetTextPosition(int* x, int* y) override;
  STDMETHODIMP SetTextPosition(int x, int y) override;
  STDMETHODIMP SetTextBox(int a, int b) override;
  STDMETHODIMP ShowText(int show) override;
  STDMETHODIMP SetText(LPCSTR text) override;
  STDMETHODIMP GetText(LPSTR text) override;
  STDMETHODIMP SetTextFont(LPCSTR face, int size) override;
  STDMETHODIMP GetTextFont(LPSTR face, int* size) override;
  STDMETHODIMP SetSecondTextFont(LPCSTR face, int size) override;
  STDMETHODIMP SetExtraTextColor(int r, int g, int b) override;
  STDMETHODIMP SetTextColor(int r, int g, int b) override;
  STDMETHODIMP GetTextColor(int* r, int* g, int* b) override;
  STDMETHODIMP SetOutlineTextBackColor(int r, int g, int b) override;
  STDMETHODIMP SetOutlineTextBorderColor(int r, int g, int b) override;
  STDMETHODIMP SetTextureBrushImage(LPCSTR path) override;
  STDMETHODIMP SetHashBrushValue(int style, int foreR, int foreG, int foreB, int backR, int backG, int backB) override;
  STDMETHODIMP SetReservedValue1(int value) override;
  STDMETHODIMP SetReservedValue2(int value) override;
  STDMETHODIMP SetTextFontStyle(int style) override;
  STDMETHODIMP SetTextStyle(int mode) override;
  STDMETHODIMP GetImagePosition(int* x, int* y) override;
  STDMETHODIMP SetImagePosition(int x, int y) override;
  STDMETHODIMP ShowImage(int show) override;
  STDMETHODIMP SetReservedFlag1(int flag) override;
  STDMETHODIMP SetReservedFlag2(int flag) override;
  STDMETHODIMP SetReservedFlag3(int flag) override;
  STDMETHODIMP SetImageFile(LPCSTR path) override;
  STDMETHODIMP GetImageFile(LPSTR path) override;
  STDMETHODIMP SetImageTransparency(int keyR, int keyG, int keyB, int alpha) override;
  STDMETHODIMP GetImageTransparency(int* keyR, int* keyG, int* keyB, int* alpha) override;
  STDMETHODIMP SetReservedFlag4(int value) override;
  STDMETHODIMP GetReservedFlag4(int* value) override;
  STDMETHODIMP SetAnimatedImage1(LPCSTR path, int x, int y, int frames) override;
  STDMETHODIMP SetAnimatedImage2(LPCSTR path, int x, int y, int frames) override;
  STDMETHODIMP SetStretchImage(int stretch) override;
  STDMETHODIMP SetTextAlpha(int alpha) override;
  STDMETHODIMP SetReservedText(LPCSTR text) override;
  STDMETHODIMP GetSampleTimes(double* start, double* stop) override;

 private:
  HRESULT CopySampleProperties(IMediaSample* in, IMediaSample* out);
  HRESULT DrawOverlay(IMediaSample* in, IMediaSample* out);

  ULONG_PTR gdiplusToken_ = 0;
  // The settings are written by the host's thread and read by the streaming thread: each frame
  // draws from one copy taken under the lock.
  CCritSec settingsLock_;
  overlay_filter::OverlaySettings settings_;
  overlay_filter::StoredSettings stored_;
  overlay_filter::FrameResults results_;
  overlay_filter::ImageCache imageCache_;  // used by the streaming thread only
};
