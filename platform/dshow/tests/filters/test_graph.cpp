#include "test_graph.h"

#include <chrono>
#include <functional>

#include "ole/objbase.h"

namespace dshow_test {

TestGraph::~TestGraph() {
  Stop();
  // Callbacks of the tests live on their stacks; the grabbers must let go of them.
  for (IBaseFilter* f : filters_) {
    if (auto* grab = QueryAs<ISampleGrabber>(f, IID_ISampleGrabber)) {
      grab->SetCallback(nullptr, 0);
      grab->Release();
    }
  }
  // Connected pins hold their peers: break every connection first, as the graph does.
  for (IBaseFilter* f : filters_) {
    IEnumPins* pins = nullptr;
    if (FAILED(f->EnumPins(&pins))) continue;
    IPin* pin = nullptr;
    while (pins->Next(1, &pin, nullptr) == S_OK) {
      pin->Disconnect();
      pin->Release();
    }
    pins->Release();
  }
  for (IBaseFilter* f : filters_) {
    f->JoinFilterGraph(nullptr, nullptr);
    f->Release();
  }
}

STDMETHODIMP TestGraph::QueryInterface(REFIID riid, void** ppv) {
  if (!ppv) return E_POINTER;
  if (riid == IID_IUnknown || riid == IID_IFilterGraph) *ppv = static_cast<IFilterGraph*>(this);
  else if (riid == IID_IMediaEventSink) *ppv = static_cast<IMediaEventSink*>(this);
  else return (*ppv = nullptr), E_NOINTERFACE;
  return S_OK;
}

STDMETHODIMP TestGraph::AddFilter(IBaseFilter* filter, LPCWSTR name) {
  filter->AddRef();
  filters_.push_back(filter);
  return filter->JoinFilterGraph(this, name);
}

void TestGraph::Add(IBaseFilter* filter, const char16_t* name) { AddFilter(filter, name); }

IBaseFilter* TestGraph::Add(REFCLSID clsid, const char16_t* name) {
  RegisterDShowClasses();
  IBaseFilter* filter = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(&filter))))
    return nullptr;
  AddFilter(filter, name);
  filter->Release();
  return filter;
}

STDMETHODIMP TestGraph::Notify(LONG code, LONG_PTR param1, LONG_PTR param2) {
  std::lock_guard<std::mutex> hold(lock_);
  events_.push_back({code, param1, param2});
  changed_.notify_all();
  return S_OK;
}

HRESULT TestGraph::Pause() {
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it)
    if (HRESULT hr = (*it)->Pause(); FAILED(hr)) return hr;
  return S_OK;
}

HRESULT TestGraph::Run() {
  if (HRESULT hr = Pause(); FAILED(hr)) return hr;
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it)
    if (HRESULT hr = (*it)->Run(0); FAILED(hr)) return hr;
  return S_OK;
}

HRESULT TestGraph::Stop() {
  HRESULT result = S_OK;
  for (auto it = filters_.rbegin(); it != filters_.rend(); ++it)
    if (HRESULT hr = (*it)->Stop(); FAILED(hr)) result = hr;
  return result;
}

bool TestGraph::WaitUntil(const std::function<bool()>& pred) {
  std::unique_lock<std::mutex> hold(lock_);
  return changed_.wait_for(hold, std::chrono::minutes(3), [&] {
    hold.unlock();
    const bool done = pred();
    hold.lock();
    return done;
  });
}

std::vector<LONG> TestGraph::WaitForCompletion(int renderers) {
  std::unique_lock<std::mutex> hold(lock_);
  changed_.wait_for(hold, std::chrono::minutes(3), [&] {
    int complete = 0;
    for (const Event& e : events_) {
      if (e.code == EC_COMPLETE) ++complete;
      if (e.code == EC_ERRORABORT) return true;
    }
    return complete >= renderers;
  });
  std::vector<LONG> codes;
  for (const Event& e : events_) codes.push_back(e.code);
  return codes;
}

std::vector<Event> TestGraph::Events() {
  std::lock_guard<std::mutex> hold(lock_);
  return events_;
}

IPin* PinOf(IBaseFilter* filter, PIN_DIRECTION dir, int index) {
  IEnumPins* pins = nullptr;
  if (FAILED(filter->EnumPins(&pins))) return nullptr;
  IPin* pin = nullptr;
  IPin* found = nullptr;
  while (!found && pins->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION d;
    pin->QueryDirection(&d);
    if (d == dir && index-- == 0) found = pin;
    else pin->Release();
  }
  pins->Release();
  return found;
}

HRESULT ConnectFilters(IBaseFilter* from, IBaseFilter* to, int out, int in, const AM_MEDIA_TYPE* mt) {
  IPin* o = PinOf(from, PINDIR_OUTPUT, out);
  IPin* i = PinOf(to, PINDIR_INPUT, in);
  HRESULT hr = o && i ? o->Connect(i, mt) : VFW_E_NOT_FOUND;
  if (o) o->Release();
  if (i) i->Release();
  return hr;
}

std::u16string Wide(const std::string& text) { return std::u16string(text.begin(), text.end()); }

}  // namespace dshow_test
