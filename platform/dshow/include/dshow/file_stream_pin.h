#pragma once
// The output pin of a filter that hands a file down as positioned samples: it offers a byte stream
// of the file's subtype (a writer may also take it without one) in samples as large as the
// file's I/O buffer, so that the file goes down in large writes.
#include "dshow/dshow.h"

namespace dshow::filters {

class FileStreamPin : public CBaseOutputPin {
 public:
  FileStreamPin(const TCHAR* objectName, CBaseFilter* filter, CCritSec* lock, HRESULT* phr, LPCWSTR pinName,
                REFGUID subtype)
      : CBaseOutputPin(objectName, filter, lock, phr, pinName), subtype_(subtype) {}

  HRESULT GetMediaType(int position, CMediaType* mt) override;
  HRESULT CheckMediaType(const CMediaType* mt) override;
  HRESULT DecideBufferSize(IMemAllocator* allocator, ALLOCATOR_PROPERTIES* request) override;

 private:
  GUID subtype_;
};

}  // namespace dshow::filters
