#pragma once
// The filter behind one group's output pin: an input per clip of the group (each fed by the
// clip's own chain of source, decoders and converters) and the group's output pin.
#include <memory>
#include <vector>

#include "clip_input_pin.h"
#include "dshow/dshow.h"
#include "group_output_pin.h"
#include "group_plan.h"

namespace des {

// It reports itself a source (IAMFilterMiscFlags): the graph's seeking and duration belong to its
// output pin, which moves the clip chains behind it.
class GroupFilter : public CSource, public IAMFilterMiscFlags {
 public:
  explicit GroupFilter(GroupPlan plan, HRESULT* phr);
  ~GroupFilter() override;

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) GetMiscFlags() override { return AM_FILTER_MISC_FLAGS_IS_SOURCE; }

  // Makes the input of plan().layers[layer][index].
  ClipInputPin* AddClipInput(size_t layer, size_t index);
  GroupOutputPin* OutputPin() const { return output_; }
  std::vector<ClipInputPin*> Inputs() const;
  const GroupPlan& Plan() const { return plan_; }

  int GetPinCount() override;
  CBasePin* GetPin(int n) override;
  // Wakes the output thread and the clip chains waiting on the inputs before the pins stop.
  STDMETHODIMP Stop() override;
  STDMETHODIMP Pause() override;

 private:
  GroupPlan plan_;
  GroupOutputPin* output_ = nullptr;  // owned by CSource
  std::vector<std::unique_ptr<ClipInputPin>> inputs_;
};

}  // namespace des
