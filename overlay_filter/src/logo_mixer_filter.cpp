#include "logo_mixer_filter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

#include "text_painter.h"

using overlay_filter::CopyString;
using overlay_filter::Rgb;

namespace {

BYTE Low(int value) { return BYTE(value & 0xFF); }
Rgb LowRgb(int r, int g, int b) { return {Low(r), Low(g), Low(b)}; }

template <size_t N>
void CopyOut(LPSTR target, const std::array<char, N>& buffer) {
  if (target) std::memcpy(target, buffer.data(), std::strlen(buffer.data()) + 1);
}

// S_OK is TRUE, S_FALSE FALSE; anything else ends the copy.
HRESULT FlagOf(HRESULT answer, BOOL* flag) {
  if (answer == S_OK)
    *flag = TRUE;
  else if (answer == S_FALSE)
    *flag = FALSE;
  else
    return E_UNEXPECTED;
  return S_OK;
}

}  // namespace

// ---- Pins ---------------------------------------------------------------------------------------

CLogoMixerInputPin::CLogoMixerInputPin(CTransformFilter* filter, HRESULT* phr)
    : CTransformInputPin("Logo mixer input pin", filter, phr, u"In") {}

CLogoMixerOutputPin::CLogoMixerOutputPin(CTransformFilter* filter, HRESULT* phr)
    : CTransformOutputPin("Logo mixer output pin", filter, phr, u"Out") {}

// ---- Filter -------------------------------------------------------------------------------------

CUnknown* CLogoMixerFilter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) {
  CLogoMixerFilter* filter = new (std::nothrow) CLogoMixerFilter(outer, phr);
  if (!filter && phr) *phr = E_OUTOFMEMORY;
  return filter;
}

CLogoMixerFilter::CLogoMixerFilter(LPUNKNOWN outer, HRESULT* phr)
    : CTransformFilter("Logo Mixer Filter", outer, CLSID_LumetFilter) {
  Gdiplus::GdiplusStartupInput startup;
  Gdiplus::GdiplusStartup(&gdiplusToken_, &startup, nullptr);
  CAutoLock lock(&m_csFilter);
  HRESULT hr = S_OK;
  m_pOutput = new (std::nothrow) CLogoMixerOutputPin(this, &hr);
  if (m_pOutput) m_pInput = new (std::nothrow) CLogoMixerInputPin(this, &hr);
  if ((!m_pOutput || !m_pInput) && phr) *phr = E_OUTOFMEMORY;
}

CLogoMixerFilter::~CLogoMixerFilter() {
  imageCache_.Clear();
  Gdiplus::GdiplusShutdown(gdiplusToken_);
}

STDMETHODIMP CLogoMixerFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_ILogoMixer) return GetInterface(static_cast<ILogoMixer*>(this), ppv);
  return CTransformFilter::NonDelegatingQueryInterface(riid, ppv);
}

HRESULT CLogoMixerFilter::CheckInputType(const CMediaType* mtIn) {
  if (*mtIn->Type() != MEDIATYPE_Video) return E_FAIL;
  if (*mtIn->Subtype() != MEDIASUBTYPE_RGB24) return E_FAIL;
  if (*mtIn->FormatType() != FORMAT_VideoInfo) return E_INVALIDARG;
  // Frames are described by the format block: it must hold a whole VIDEOINFOHEADER.
  if (!mtIn->Format() || mtIn->FormatLength() < sizeof(VIDEOINFOHEADER)) return E_INVALIDARG;
  return S_OK;
}

HRESULT CLogoMixerFilter::CheckTransform(const CMediaType* mtIn, const CMediaType* mtOut) {
  return *mtIn == *mtOut ? S_OK : E_FAIL;
}

HRESULT CLogoMixerFilter::GetMediaType(int position, CMediaType* mediaType) {
  if (!m_pInput->IsConnected()) return E_UNEXPECTED;
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  *mediaType = m_pInput->CurrentMediaType();
  return S_OK;
}

HRESULT CLogoMixerFilter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  if (!m_pInput->IsConnected()) return E_UNEXPECTED;
  ALLOCATOR_PROPERTIES input{};
  if (IMemAllocator* inputAllocator = m_pInput->PeekAllocator()) inputAllocator->GetProperties(&input);
  request->cBuffers = input.cBuffers < 1 ? 1 : input.cBuffers;
  request->cbBuffer = input.cbBuffer < 1 ? LONG(m_pInput->CurrentMediaType().GetSampleSize()) : input.cbBuffer;
  ALLOCATOR_PROPERTIES actual{};
  HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  if (actual.cBuffers < request->cBuffers || actual.cbBuffer < request->cbBuffer || actual.cbAlign < request->cbAlign)
    return E_FAIL;
  return S_OK;
}

HRESULT CLogoMixerFilter::CopySampleProperties(IMediaSample* in, IMediaSample* out) {
  REFERENCE_TIME start = 0, stop = 0;
  if (in->GetTime(&start, &stop) == S_OK) out->SetTime(&start, &stop);
  LONGLONG mediaStart = 0, mediaStop = 0;
  if (in->GetMediaTime(&mediaStart, &mediaStop) == S_OK) out->SetMediaTime(&mediaStart, &mediaStop);
  BOOL flag = FALSE;
  if (FAILED(FlagOf(in->IsSyncPoint(), &flag))) return E_UNEXPECTED;
  out->SetSyncPoint(flag);
  AM_MEDIA_TYPE* type = nullptr;
  in->GetMediaType(&type);
  out->SetMediaType(type);
  DeleteMediaType(type);
  if (FAILED(FlagOf(in->IsPreroll(), &flag))) return E_UNEXPECTED;
  out->SetPreroll(flag);
  if (FAILED(FlagOf(in->IsDiscontinuity(), &flag))) return E_UNEXPECTED;
  out->SetDiscontinuity(flag);
  // What does not fit the output buffer is not copied (see DrawOverlay).
  return out->SetActualDataLength(std::min(in->GetActualDataLength(), out->GetSize()));
}

HRESULT CLogoMixerFilter::Transform(IMediaSample* in, IMediaSample* out) {
  HRESULT hr = CopySampleProperties(in, out);
  if (FAILED(hr)) return hr;
  return DrawOverlay(in, out);
}

HRESULT CLogoMixerFilter::DrawOverlay(IMediaSample* in, IMediaSample* out) {
  BYTE* source = nullptr;
  BYTE* target = nullptr;
  HRESULT hr = in->GetPointer(&source);
  if (FAILED(hr)) return hr;
  hr = out->GetPointer(&target);
  if (FAILED(hr)) return hr;

  const auto* format = reinterpret_cast<const VIDEOINFOHEADER*>(m_pInput->CurrentMediaType().Format());
  BITMAPINFO frameInfo{};
  frameInfo.bmiHeader = format->bmiHeader;
  const int width = format->bmiHeader.biWidth;
  const int height = std::abs(format->bmiHeader.biHeight);

  REFERENCE_TIME start = 0, stop = 0;
  in->GetTime(&start, &stop);
  overlay_filter::OverlaySettings settings;
  {
    CAutoLock lock(&settingsLock_);
    settings = settings_;
    results_.start = start;
    results_.stop = stop;
  }

  // The output is cleared and drawn only within its own length; a frame that does not fit
  // either buffer is copied as far as it fits and not drawn on.
  const LONG inLength = in->GetActualDataLength();
  const LONG copied = std::min(inLength, out->GetSize());
  const int64_t frameBytes = int64_t(DIBWIDTHBYTES(format->bmiHeader)) * height;
  std::memset(target, 0, size_t(std::max<LONG>(copied, 0)));
  if (frameBytes > in->GetSize() || frameBytes > out->GetSize() || frameBytes > inLength) {
    std::memcpy(target, source, size_t(std::max<LONG>(copied, 0)));
    return S_OK;
  }

  Gdiplus::Bitmap outputFrame(&frameInfo, target);
  Gdiplus::Bitmap inputFrame(&frameInfo, source);
  Gdiplus::Graphics graphics(&outputFrame);
  graphics.DrawImage(&inputFrame, Gdiplus::Rect(0, 0, width, height), 0, 0, width, height, Gdiplus::UnitPixel);

  if (settings.showImage) {
    Gdiplus::Bitmap* image = imageCache_.Keyed(settings);
    if (!image && imageCache_.OutOfMemory()) return S_OK;  // neither image nor text
    if (image) {
      const INT imageWidth = INT(image->GetWidth()), imageHeight = INT(image->GetHeight());
      const Gdiplus::Rect place(settings.imageX, settings.imageY, settings.stretch ? width : imageWidth,
                                settings.stretch ? height : imageHeight);
      graphics.DrawImage(image, place, 0, 0, imageWidth, imageHeight, Gdiplus::UnitPixel);
    }
  }

  if (settings.showText) {
    if (auto extent = overlay_filter::DrawOverlayText(graphics, settings, height)) {
      CAutoLock lock(&settingsLock_);
      results_.textWidth = extent->width;
      results_.textHeight = extent->height;
    }
  }
  return S_OK;
}

// ---- ILogoMixer ---------------------------------------------------------------------------------
// Every operation takes the settings lock for its own copy.

STDMETHODIMP CLogoMixerFilter::GetTextExtent(int* width, int* height) {
  CAutoLock lock(&settingsLock_);
  if (width) *width = results_.textWidth;
  if (height) *height = results_.textHeight;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetTextPosition(int* x, int* y) {
  CAutoLock lock(&settingsLock_);
  if (x) *x = settings_.textX;
  if (y) *y = settings_.textY;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextPosition(int x, int y) {
  CAutoLock lock(&settingsLock_);
  settings_.textX = x;
  settings_.textY = y;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextBox(int a, int b) {
  CAutoLock lock(&settingsLock_);
  stored_.textBoxA = a;
  stored_.textBoxB = b;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::ShowText(int show) {
  CAutoLock lock(&settingsLock_);
  settings_.showText = Low(show);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetText(LPCSTR text) {
  CAutoLock lock(&settingsLock_);
  CopyString(settings_.text, text);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetText(LPSTR text) {
  CAutoLock lock(&settingsLock_);
  CopyOut(text, settings_.text);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextFont(LPCSTR face, int size) {
  CAutoLock lock(&settingsLock_);
  CopyString(settings_.fontFace, face);
  settings_.fontSize = size;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetTextFont(LPSTR face, int* size) {
  CAutoLock lock(&settingsLock_);
  CopyOut(face, settings_.fontFace);
  if (size) *size = settings_.fontSize;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetSecondTextFont(LPCSTR face, int size) {
  CAutoLock lock(&settingsLock_);
  CopyString(stored_.secondFontFace, face);
  stored_.secondFontSize = size;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetExtraTextColor(int r, int g, int b) {
  CAutoLock lock(&settingsLock_);
  stored_.extraColour = LowRgb(r, g, b);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextColor(int r, int g, int b) {
  CAutoLock lock(&settingsLock_);
  settings_.textColour = LowRgb(r, g, b);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetTextColor(int* r, int* g, int* b) {
  CAutoLock lock(&settingsLock_);
  if (r) *r = settings_.textColour.r;
  if (g) *g = settings_.textColour.g;
  if (b) *b = settings_.textColour.b;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetOutlineTextBackColor(int r, int g, int b) {
  CAutoLock lock(&settingsLock_);
  settings_.outlineFill = LowRgb(r, g, b);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetOutlineTextBorderColor(int r, int g, int b) {
  CAutoLock lock(&settingsLock_);
  settings_.outlineBorder = LowRgb(r, g, b);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextureBrushImage(LPCSTR path) {
  CAutoLock lock(&settingsLock_);
  CopyString(settings_.texturePath, path);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetHashBrushValue(int style, int foreR, int foreG, int foreB, int backR, int backG,
                                                 int backB) {
  CAutoLock lock(&settingsLock_);
  settings_.hatchStyle = style;
  settings_.hatchFore = LowRgb(foreR, foreG, foreB);
  settings_.hatchBack = LowRgb(backR, backG, backB);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedValue1(int value) {
  CAutoLock lock(&settingsLock_);
  stored_.reservedValue1 = value;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedValue2(int value) {
  CAutoLock lock(&settingsLock_);
  stored_.reservedValue2 = value;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextFontStyle(int style) {
  CAutoLock lock(&settingsLock_);
  settings_.fontStyle = style;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextStyle(int mode) {
  CAutoLock lock(&settingsLock_);
  settings_.brushMode = mode;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetImagePosition(int* x, int* y) {
  CAutoLock lock(&settingsLock_);
  if (x) *x = settings_.imageX;
  if (y) *y = settings_.imageY;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetImagePosition(int x, int y) {
  CAutoLock lock(&settingsLock_);
  settings_.imageX = x;
  settings_.imageY = y;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::ShowImage(int show) {
  CAutoLock lock(&settingsLock_);
  settings_.showImage = Low(show);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedFlag1(int flag) {
  CAutoLock lock(&settingsLock_);
  stored_.reservedFlag1 = Low(flag);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedFlag2(int flag) {
  CAutoLock lock(&settingsLock_);
  stored_.reservedFlag2 = Low(flag);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedFlag3(int flag) {
  CAutoLock lock(&settingsLock_);
  stored_.reservedFlag3 = Low(flag);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetImageFile(LPCSTR path) {
  CAutoLock lock(&settingsLock_);
  CopyString(settings_.imagePath, path);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetImageFile(LPSTR path) {
  CAutoLock lock(&settingsLock_);
  CopyOut(path, settings_.imagePath);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetImageTransparency(int keyR, int keyG, int keyB, int alpha) {
  CAutoLock lock(&settingsLock_);
  settings_.key = LowRgb(keyR, keyG, keyB);
  settings_.imageAlpha = Low(alpha);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetImageTransparency(int* keyR, int* keyG, int* keyB, int* alpha) {
  CAutoLock lock(&settingsLock_);
  if (keyR) *keyR = settings_.key.r;
  if (keyG) *keyG = settings_.key.g;
  if (keyB) *keyB = settings_.key.b;
  if (alpha) *alpha = settings_.imageAlpha;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedFlag4(int value) {
  CAutoLock lock(&settingsLock_);
  stored_.reservedFlag4 = Low(value);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetReservedFlag4(int* value) {
  CAutoLock lock(&settingsLock_);
  if (value) *value = stored_.reservedFlag4;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetAnimatedImage1(LPCSTR path, int x, int y, int frames) {
  CAutoLock lock(&settingsLock_);
  CopyString(stored_.animated1.path, path);
  stored_.animated1.x = x, stored_.animated1.y = y, stored_.animated1.frames = frames;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetAnimatedImage2(LPCSTR path, int x, int y, int frames) {
  CAutoLock lock(&settingsLock_);
  CopyString(stored_.animated2.path, path);
  stored_.animated2.x = x, stored_.animated2.y = y, stored_.animated2.frames = frames;
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetStretchImage(int stretch) {
  CAutoLock lock(&settingsLock_);
  settings_.stretch = Low(stretch);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetTextAlpha(int alpha) {
  CAutoLock lock(&settingsLock_);
  settings_.textAlpha = Low(alpha);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::SetReservedText(LPCSTR text) {
  CAutoLock lock(&settingsLock_);
  CopyString(stored_.reservedText, text);
  return S_OK;
}

STDMETHODIMP CLogoMixerFilter::GetSampleTimes(double* start, double* stop) {
  CAutoLock lock(&settingsLock_);
  if (start) *start = results_.start ? double(results_.start) * 1e-7 : 0.0;
  if (stop) *stop = results_.stop ? double(results_.stop) * 1e-7 : 0.0;
  return S_OK;
}
