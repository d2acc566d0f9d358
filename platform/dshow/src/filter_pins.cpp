#include "dshow/filter_pins.h"

namespace dshow {

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter) {
  std::vector<ComPtr<IPin>> pins;
  ComPtr<IEnumPins> e;
  if (FAILED(filter->EnumPins(e.put()))) return pins;
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) pins.push_back(ComPtr<IPin>::Adopt(pin));
  return pins;
}

std::vector<ComPtr<IPin>> PinsOf(IBaseFilter* filter, PIN_DIRECTION direction) {
  std::vector<ComPtr<IPin>> pins = PinsOf(filter);
  std::erase_if(pins, [direction](const ComPtr<IPin>& pin) {
    PIN_DIRECTION dir;
    return FAILED(pin->QueryDirection(&dir)) || dir != direction;
  });
  return pins;
}

ComPtr<IPin> PeerOf(IPin* pin) {
  IPin* peer = nullptr;
  if (FAILED(pin->ConnectedTo(&peer))) return nullptr;
  return ComPtr<IPin>::Adopt(peer);
}

}  // namespace dshow
