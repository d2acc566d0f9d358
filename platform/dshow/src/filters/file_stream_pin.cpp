#include "dshow/file_stream_pin.h"

#include <algorithm>

#include "dshow/positioned_sample_output.h"

namespace dshow::filters {

HRESULT FileStreamPin::GetMediaType(int position, CMediaType* mt) {
  if (position < 0) return E_INVALIDARG;
  if (position > 0) return VFW_S_NO_MORE_ITEMS;
  mt->InitMediaType();
  mt->SetType(&MEDIATYPE_Stream);
  mt->SetSubtype(&subtype_);
  mt->SetFormatType(&FORMAT_None);
  return S_OK;
}

HRESULT FileStreamPin::CheckMediaType(const CMediaType* mt) {
  return *mt->Type() == MEDIATYPE_Stream && (*mt->Subtype() == subtype_ || *mt->Subtype() == GUID_NULL)
             ? S_OK
             : VFW_E_TYPE_NOT_ACCEPTED;
}

HRESULT FileStreamPin::DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) {
  request->cBuffers = std::max<LONG>(request->cBuffers, 1);
  request->cbBuffer = std::max<LONG>(request->cbBuffer, PositionedSampleOutput::kBlockBytes);
  request->cbAlign = std::max<LONG>(request->cbAlign, 1);
  ALLOCATOR_PROPERTIES actual;
  return allocator->SetProperties(request, &actual);
}

}  // namespace dshow::filters
