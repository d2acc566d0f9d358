#include "group_filter.h"

#include <string>

namespace des {

namespace {
// {B3F5D2E1-6A0C-4F7B-9E21-3C8D5A7F1046}
const CLSID kGroupFilterClass = {0xB3F5D2E1, 0x6A0C, 0x4F7B, {0x9E, 0x21, 0x3C, 0x8D, 0x5A, 0x7F, 0x10, 0x46}};
}  // namespace

GroupFilter::GroupFilter(GroupPlan plan, HRESULT* phr)
    : CSource("Group", nullptr, kGroupFilterClass, phr), plan_(std::move(plan)) {
  output_ = new GroupOutputPin(this, phr, plan_);
}

GroupFilter::~GroupFilter() = default;

STDMETHODIMP GroupFilter::NonDelegatingQueryInterface(REFIID riid, void** ppv) {
  if (riid == IID_IAMFilterMiscFlags) return GetInterface(static_cast<IAMFilterMiscFlags*>(this), ppv);
  return CSource::NonDelegatingQueryInterface(riid, ppv);
}

ClipInputPin* GroupFilter::AddClipInput(size_t layer, size_t index) {
  CAutoLock lock(pStateLock());
  std::u16string id = u"Clip ";
  for (char c : std::to_string(inputs_.size() + 1)) id += char16_t(c);
  HRESULT hr = S_OK;
  ClipPlan& clip = plan_.layers[layer][index];
  inputs_.push_back(std::make_unique<ClipInputPin>(this, pStateLock(), &hr, id.c_str(), clip, plan_));
  clip.pin = inputs_.back().get();
  IncrementPinVersion();
  return clip.pin;
}

std::vector<ClipInputPin*> GroupFilter::Inputs() const {
  std::vector<ClipInputPin*> inputs;
  for (const auto& input : inputs_) inputs.push_back(input.get());
  return inputs;
}

int GroupFilter::GetPinCount() { return CSource::GetPinCount() + int(inputs_.size()); }

CBasePin* GroupFilter::GetPin(int n) {
  const int outputs = CSource::GetPinCount();
  if (n < outputs) return CSource::GetPin(n);
  n -= outputs;
  return n >= 0 && n < int(inputs_.size()) ? inputs_[size_t(n)].get() : nullptr;
}

STDMETHODIMP GroupFilter::Stop() {
  for (auto& input : inputs_) input->Abort();
  return CSource::Stop();
}

STDMETHODIMP GroupFilter::Pause() {
  {
    CAutoLock lock(pStateLock());
    if (m_State == State_Stopped)
      for (auto& input : inputs_) input->Restart();
  }
  return CSource::Pause();
}

}  // namespace des
