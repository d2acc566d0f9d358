#pragma once
// The Colour Space Converter: converts uncompressed pictures between the RGB and YUV kinds
// (libswscale), same size. It takes RGB top-down or bottom-up and offers RGB32, RGB24, RGB555,
// YUY2 and I420, in that order, RGB bottom-up.
#include "dshow/dshow.h"
#include "dshow/media_types.h"

namespace dshow::filters {

class ColourConverter : public CTransformFilter {
 public:
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT* phr);

  HRESULT CheckInputType(const CMediaType* mt) override;
  HRESULT CheckTransform(const CMediaType* in, const CMediaType* out) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;
  HRESULT GetMediaType(int position, CMediaType* mt) override;
  HRESULT SetMediaType(PIN_DIRECTION direction, const CMediaType* mt) override;
  HRESULT Transform(IMediaSample* in, IMediaSample* out) override;

 private:
  ColourConverter(LPUNKNOWN outer, HRESULT* phr);

  VideoFormat in_;
  bool inTopDown_ = false;
  VideoFormat out_;
  ImageConverter converter_;
};

}  // namespace dshow::filters
