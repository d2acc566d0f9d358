#pragma once
// Walking a graph through pins: a filter's pins and what each is connected to.
#include <vector>

#include "dshow/strmif.h"
#include "ole/comptr.h"

namespace dshow {

// The filter's pins in enumeration order; with a direction, only the pins that report it.
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter);
std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter, PIN_DIRECTION direction);
// The pin connected to pin, null when it is not connected.
ComPtr<IPin> PeerOf(IPin* pin);

}  // namespace dshow
