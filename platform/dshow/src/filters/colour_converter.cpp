#include "colour_converter.h"

#include <cstring>

namespace dshow::filters {
namespace {

constexpr RawKind kOutputOrder[] = {RawKind::RGB32, RawKind::RGB24, RawKind::RGB555, RawKind::YUY2, RawKind::I420};

// RGB may come in with its rows top-down (a negative height), as the movie source and DIB
// sections give it; what goes out is always bottom-up.
bool ReadInputFormat(const AM_MEDIA_TYPE& mt, VideoFormat* format, bool* topDown) {
  *topDown = false;
  if (ReadVideoFormat(mt, format)) return true;
  if (mt.formattype != FORMAT_VideoInfo || !mt.pbFormat || mt.cbFormat < sizeof(VIDEOINFOHEADER)) return false;
  CMediaType flipped(mt);
  VIDEOINFOHEADER header;
  std::memcpy(&header, flipped.pbFormat, sizeof header);
  if (header.bmiHeader.biHeight >= 0 || header.bmiHeader.biHeight == INT32_MIN) return false;
  header.bmiHeader.biHeight = -header.bmiHeader.biHeight;
  std::memcpy(flipped.pbFormat, &header, sizeof header);
  if (!ReadVideoFormat(flipped, format)) return false;
  *topDown = format->kind == RawKind::RGB32 || format->kind == RawKind::RGB24 || format->kind == RawKind::RGB555;
  return *topDown;
}

// A sample's RGB picture read from its first row down instead of its last row up.
Picture TopDown(Picture picture) {
  picture.data[0] += ptrdiff_t(picture.stride[0]) * (picture.height - 1);
  picture.stride[0] = -picture.stride[0];
  return picture;
}

}  // namespace

ColourConverter::ColourConverter(LPUNKNOWN outer, HRESULT*)
    : CTransformFilter("Color Space Converter", outer, CLSID_Colour) {}

CUnknown* ColourConverter::CreateInstance(LPUNKNOWN outer, HRESULT* phr) { return new ColourConverter(outer, phr); }

HRESULT ColourConverter::CheckInputType(const CMediaType* mt) {
  VideoFormat f;
  bool topDown;
  return ReadInputFormat(*mt, &f, &topDown) ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ColourConverter::CheckTransform(const CMediaType* in, const CMediaType* out) {
  VideoFormat a, b;
  bool topDown;
  if (!ReadInputFormat(*in, &a, &topDown) || !ReadVideoFormat(*out, &b)) return VFW_E_TYPE_NOT_ACCEPTED;
  return a.width == b.width && a.height == b.height ? S_OK : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT ColourConverter::GetMediaType(int position, CMediaType* mt) {
  if (position < 0) return E_INVALIDARG;
  if (!m_pInput->IsConnected()) return VFW_E_NOT_CONNECTED;
  VideoFormat in;
  bool topDown;
  if (!ReadInputFormat(m_pInput->CurrentMediaType(), &in, &topDown)) return E_UNEXPECTED;
  int index = 0;
  for (RawKind kind : kOutputOrder) {
    if (!Fits(kind, in.width, in.height)) continue;
    if (index++ == position) {
      WriteVideoFormat({kind, in.width, in.height, in.frameTime}, mt);
      return S_OK;
    }
  }
  return VFW_S_NO_MORE_ITEMS;
}

HRESULT ColourConverter::SetMediaType(PIN_DIRECTION direction, const CMediaType* mt) {
  VideoFormat f;
  if (direction == PINDIR_INPUT) {
    if (!ReadInputFormat(*mt, &f, &inTopDown_)) return VFW_E_TYPE_NOT_ACCEPTED;
    in_ = f;
    return S_OK;
  }
  if (!ReadVideoFormat(*mt, &f)) return VFW_E_TYPE_NOT_ACCEPTED;
  out_ = f;
  return S_OK;
}

HRESULT ColourConverter::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  if (!m_pOutput->IsConnected() && !m_pInput->IsConnected()) return E_UNEXPECTED;
  VideoFormat out;
  if (!ReadVideoFormat(m_pOutput->CurrentMediaType(), &out)) return E_UNEXPECTED;
  request->cBuffers = std::max<LONG>(request->cBuffers, 2);
  request->cbBuffer = std::max<LONG>(request->cbBuffer, LONG(ImageBytes(out.kind, out.width, out.height)));
  request->cbAlign = std::max<LONG>(request->cbAlign, 1);
  ALLOCATOR_PROPERTIES actual;
  HRESULT hr = allocator->SetProperties(request, &actual);
  if (FAILED(hr)) return hr;
  return actual.cbBuffer < request->cbBuffer ? E_FAIL : S_OK;
}

HRESULT ColourConverter::Transform(IMediaSample* in, IMediaSample* out) {
  BYTE* src = nullptr;
  BYTE* dst = nullptr;
  in->GetPointer(&src);
  out->GetPointer(&dst);
  const size_t need = ImageBytes(in_.kind, in_.width, in_.height);
  const size_t made = ImageBytes(out_.kind, out_.width, out_.height);
  if (size_t(in->GetActualDataLength()) < need || size_t(out->GetSize()) < made) return VFW_E_BUFFER_OVERFLOW;
  if (in_.kind == out_.kind && !inTopDown_) {
    std::memcpy(dst, src, made);
  } else {
    const Picture from = SamplePicture(src, in_.kind, in_.width, in_.height);
    if (!converter_.Convert(inTopDown_ ? TopDown(from) : from, SamplePicture(dst, out_.kind, out_.width, out_.height)))
      return E_FAIL;
  }
  out->SetActualDataLength(LONG(made));
  return S_OK;
}

}  // namespace dshow::filters
