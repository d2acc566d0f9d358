#pragma once
// A stand-in for the graph manager in the filter tests: filters join it, it collects their
// events, and it starts and stops them downstream first, the way the graph does.
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "dshow/builtin_filters.h"
#include "dshow/dshow.h"

namespace dshow_test {

struct Event {
  LONG code;
  LONG_PTR param1;
  LONG_PTR param2;
};

class TestGraph : public IFilterGraph, public IMediaEventSink {
 public:
  TestGraph() = default;
  ~TestGraph();

  STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }

  STDMETHODIMP AddFilter(IBaseFilter* pFilter, LPCWSTR pName) override;
  STDMETHODIMP RemoveFilter(IBaseFilter*) override { return E_NOTIMPL; }
  STDMETHODIMP EnumFilters(IEnumFilters**) override { return E_NOTIMPL; }
  STDMETHODIMP FindFilterByName(LPCWSTR, IBaseFilter**) override { return E_NOTIMPL; }
  STDMETHODIMP ConnectDirect(IPin* out, IPin* in, const AM_MEDIA_TYPE* pmt) override { return out->Connect(in, pmt); }
  STDMETHODIMP Reconnect(IPin*) override { return E_NOTIMPL; }
  STDMETHODIMP Disconnect(IPin* pin) override { return pin->Disconnect(); }
  STDMETHODIMP SetDefaultSyncSource() override { return E_NOTIMPL; }

  STDMETHODIMP Notify(LONG code, LONG_PTR param1, LONG_PTR param2) override;

  // Creates a filter by class id and adds it; null on failure.
  IBaseFilter* Add(REFCLSID clsid, const char16_t* name);
  // Adds a filter made elsewhere (the graph takes a reference).
  void Add(IBaseFilter* filter, const char16_t* name);

  HRESULT Pause();
  HRESULT Run();
  HRESULT Stop();

  // Waits for EC_COMPLETE from `renderers` filters, or an error event; returns the codes seen.
  // The wait gives up after a long time so that a fault fails the test instead of hanging it.
  std::vector<LONG> WaitForCompletion(int renderers);
  // Waits until pred() holds (checked whenever an event arrives or Poke is called).
  bool WaitUntil(const std::function<bool()>& pred);
  void Poke() { changed_.notify_all(); }
  std::vector<Event> Events();

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  std::vector<Event> events_;
  std::vector<IBaseFilter*> filters_;  // in the order added: sources first
};

// The pin of a filter with that direction and position among pins of that direction (a
// reference the caller releases), or null.
IPin* PinOf(IBaseFilter* filter, PIN_DIRECTION dir, int index = 0);
// Connects output pin `out` of `from` to input pin `in` of `to`.
HRESULT ConnectFilters(IBaseFilter* from, IBaseFilter* to, int out = 0, int in = 0, const AM_MEDIA_TYPE* mt = nullptr);
std::u16string Wide(const std::string& text);

template <typename T>
T* QueryAs(IUnknown* object, REFIID iid) {
  T* result = nullptr;
  if (FAILED(object->QueryInterface(iid, reinterpret_cast<void**>(&result)))) return nullptr;
  return result;
}

}  // namespace dshow_test
