#pragma once
// Small helpers the built-in filters share: text and paths, task-memory strings.
#include <string>

#include "dshow/strmif.h"

namespace ffw {

// UTF-8 text of a wide string (null gives "").
std::string Narrow(LPCOLESTR text);
// A CoTaskMemAlloc copy of a wide string, for out-parameters the caller frees.
LPOLESTR TaskMemCopy(LPCOLESTR text);
// HRESULT for an FFmpeg error while opening a file.
HRESULT OpenErrorResult(int err);

}  // namespace ffw
