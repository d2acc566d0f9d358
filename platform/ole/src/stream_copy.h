#pragma once
// IStream::CopyTo for every stream: reads from one stream's position and writes to another's.
#include "ole/objidl.h"

namespace ole {

HRESULT CopyStream(IStream* from, IStream* to, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                   ULARGE_INTEGER* pcbWritten);

}  // namespace ole
