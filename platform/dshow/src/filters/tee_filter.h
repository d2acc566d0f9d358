#pragma once
// The tees: one input whose samples go to every connected output, as they are to receivers that
// take them read-only, as a copy to the others. The Infinite Pin Tee always keeps one free output pin ("Output1", "Output2", ...); the
// Smart Tee has a "Capture" output that gets the samples as they are and a "Preview" output that
// gets them without time stamps, so that a renderer there shows them as they come.
#include <memory>
#include <vector>

#include "dshow/dshow.h"

namespace dshow::filters {

class TeeFilter : public CBaseFilter {
 public:
  static CUnknown* CreateInfTee(LPUNKNOWN outer, HRESULT* phr);
  static CUnknown* CreateSmartTee(LPUNKNOWN outer, HRESULT* phr);

  int GetPinCount() override;
  CBasePin* GetPin(int n) override;

 private:
  class InputPin;
  class OutputPin;

  TeeFilter(LPUNKNOWN outer, REFCLSID clsid, bool smart, HRESULT* phr);
  void AddOutput(const char16_t* name, bool preview);
  void OutputConnected();
  HRESULT Receive(IMediaSample* sample);

  CCritSec lock_;
  CCritSec receiveLock_;
  const bool smart_;
  std::unique_ptr<InputPin> input_;
  std::vector<std::unique_ptr<OutputPin>> outputs_;  // pins live as long as the filter
};

}  // namespace dshow::filters
