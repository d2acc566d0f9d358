// Intelligent connection: connecting and rendering pins through filters the graph adds itself,
// and choosing the source filter of a file.
#include <algorithm>

#include "catalog.h"
#include "dshow/uuids.h"
#include "filter_graph.h"
#include "dshow/filter_pins.h"
#include "win32/utf.h"
#include "win32/winreg.h"

namespace dshow {
namespace {

// Chains longer than this are not tried (decoder + converter + one more).
const int kMaxDepth = 3;

bool IsConnected(IPin* pin) { return PeerOf(pin) != nullptr; }

// The class of the filter that owns the pin (GUID_NULL when it cannot tell).
CLSID OwnerClass(IPin* pin) {
  CLSID clsid = GUID_NULL;
  PIN_INFO info{};
  if (SUCCEEDED(pin->QueryPinInfo(&info))) {
    const auto owner = ComPtr<IBaseFilter>::Adopt(info.pFilter);
    if (owner) owner->GetClassID(&clsid);
  }
  return clsid;
}

// The extension of a file name with its dot (".mov"), empty when there is none.
std::string Extension(const std::string& name) {
  size_t slash = name.find_last_of("\\/");
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  return name.substr(dot);
}

// The source filter registered for the file's extension in "Media Type\Extensions".
bool RegisteredSourceFilter(const std::string& file, CLSID* clsid) {
  std::string ext = Extension(file);
  if (ext.size() < 2) return false;
  HKEY key = nullptr;
  std::string path = "Media Type\\Extensions\\" + ext;
  if (RegOpenKeyExA(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  char text[128];
  DWORD type = 0, size = sizeof text - 1;
  bool found = RegQueryValueExA(key, "Source Filter", nullptr, &type, reinterpret_cast<BYTE*>(text), &size) ==
                   ERROR_SUCCESS &&
               type == REG_SZ;
  RegCloseKey(key);
  if (!found) return false;
  text[size] = '\0';
  return GUIDFromStringA(text, clsid);
}

}  // namespace

ComPtr<IBaseFilter> FilterGraph::AddCandidate(REFCLSID clsid, const std::u16string& name) {
  ComPtr<IBaseFilter> filter;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.putVoid()))) return nullptr;
  if (FAILED(AddFilter(filter.get(), name.c_str()))) return nullptr;
  return filter;
}

void FilterGraph::RemoveAdded(std::vector<ComPtr<IBaseFilter>>& added) {
  while (!added.empty()) {
    RemoveFilter(added.back().get());
    added.pop_back();
  }
}

// Connects out to in through one more candidate filter (and, below it, more), adding what it
// uses to `added` (referenced). Nothing is left behind on failure.
HRESULT FilterGraph::ConnectVia(IPin* out, IPin* in, int depth, std::vector<ComPtr<IBaseFilter>>& added) {
  if (depth >= kMaxDepth) return VFW_E_CANNOT_CONNECT;
  CLSID upstream = OwnerClass(out);
  for (const GraphCandidate& candidate : GraphCandidates(DSHOW_CANDIDATE_TRANSFORM)) {
    // A converter behind another of its kind adds nothing.
    if (candidate.clsid == upstream) continue;
    std::vector<ComPtr<IBaseFilter>> mine{AddCandidate(candidate.clsid, candidate.name)};
    IBaseFilter* const filter = mine.front().get();
    if (!filter) continue;
    bool connected = false;
    for (const ComPtr<IPin>& input : PinsOf(filter, PINDIR_INPUT)) {
      if (IsConnected(input.get()) || FAILED(out->Connect(input.get(), nullptr))) continue;
      for (const ComPtr<IPin>& output : PinsOf(filter, PINDIR_OUTPUT)) {
        if (IsConnected(output.get())) continue;
        if (SUCCEEDED(output->Connect(in, nullptr)) || SUCCEEDED(ConnectVia(output.get(), in, depth + 1, mine))) {
          connected = true;
          break;
        }
      }
      if (connected) break;
      out->Disconnect();
      input->Disconnect();
    }
    if (connected) {
      added.insert(added.end(), mine.begin(), mine.end());
      return S_OK;
    }
    RemoveAdded(mine);
  }
  return VFW_E_CANNOT_CONNECT;
}

STDMETHODIMP FilterGraph::Connect(IPin* ppinOut, IPin* ppinIn) {
  if (!ppinOut || !ppinIn) return E_POINTER;
  CAutoLock lock(&lock_);
  HRESULT hr = ConnectDirect(ppinOut, ppinIn, nullptr);
  if (SUCCEEDED(hr) || hr == VFW_E_NOT_IN_GRAPH || hr == VFW_E_INVALID_DIRECTION || hr == VFW_E_ALREADY_CONNECTED ||
      hr == VFW_E_NOT_STOPPED)
    return hr;
  if (IsConnected(ppinIn)) return VFW_E_ALREADY_CONNECTED;
  std::vector<ComPtr<IBaseFilter>> added;  // the graph keeps them
  return ConnectVia(ppinOut, ppinIn, 0, added);
}

// Renders out with a renderer, or through a candidate transform whose outputs all render.
HRESULT FilterGraph::RenderVia(IPin* out, int depth, std::vector<ComPtr<IBaseFilter>>& added) {
  // Renderers and transforms are tried together, best merit first, as intelligent connection
  // does: a preferred converter goes ahead of a renderer that would also take the stream.
  struct Choice {
    GraphCandidate candidate;
    bool renderer;
  };
  std::vector<Choice> choices;
  for (const GraphCandidate& c : GraphCandidates(DSHOW_CANDIDATE_RENDERER)) choices.push_back({c, true});
  if (depth < kMaxDepth) {
    const CLSID upstream = OwnerClass(out);
    for (const GraphCandidate& c : GraphCandidates(DSHOW_CANDIDATE_TRANSFORM))
      if (c.clsid != upstream) choices.push_back({c, false});
  }
  std::stable_sort(choices.begin(), choices.end(),
                   [](const Choice& a, const Choice& b) { return a.candidate.merit > b.candidate.merit; });

  for (const Choice& choice : choices) {
    std::vector<ComPtr<IBaseFilter>> mine{AddCandidate(choice.candidate.clsid, choice.candidate.name)};
    IBaseFilter* const filter = mine.front().get();
    if (!filter) continue;
    bool rendered = false;
    for (const ComPtr<IPin>& input : PinsOf(filter, PINDIR_INPUT)) {
      if (FAILED(out->Connect(input.get(), nullptr))) continue;
      if (choice.renderer) {
        rendered = true;
      } else {
        const std::vector<ComPtr<IPin>> outputs = PinsOf(filter, PINDIR_OUTPUT);
        rendered = !outputs.empty();
        for (const ComPtr<IPin>& output : outputs)
          if (rendered && FAILED(RenderVia(output.get(), depth + 1, mine))) rendered = false;
      }
      break;
    }
    if (rendered) {
      added.insert(added.end(), mine.begin(), mine.end());
      return S_OK;
    }
    RemoveAdded(mine);
  }
  return VFW_E_CANNOT_RENDER;
}

STDMETHODIMP FilterGraph::Render(IPin* ppinOut) {
  if (!ppinOut) return E_POINTER;
  CAutoLock lock(&lock_);
  PIN_DIRECTION dir;
  if (FAILED(ppinOut->QueryDirection(&dir)) || dir != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
  if (IsConnected(ppinOut)) return VFW_E_ALREADY_CONNECTED;
  if (SUCCEEDED(RenderThroughWaiting(ppinOut))) return S_OK;
  std::vector<ComPtr<IBaseFilter>> added;  // the graph keeps them
  return RenderVia(ppinOut, 0, added);
}

STDMETHODIMP FilterGraph::AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName, IBaseFilter** ppFilter) {
  if (!lpcwstrFileName || !ppFilter) return E_POINTER;
  *ppFilter = nullptr;
  CAutoLock lock(&lock_);
  CLSID clsid = CLSID_CorvaneFileSource;
  RegisteredSourceFilter(win32::Utf16ToUtf8(lpcwstrFileName), &clsid);

  ComPtr<IBaseFilter> filter;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.putVoid())))
    return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  const auto load = filter.As<IFileSourceFilter>(IID_IFileSourceFilter);
  if (!load) return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  HRESULT hr = AddFilter(filter.get(), lpcwstrFilterName ? lpcwstrFilterName : lpcwstrFileName);
  if (SUCCEEDED(hr)) {
    hr = load->Load(lpcwstrFileName, nullptr);
    if (FAILED(hr)) RemoveFilter(filter.get());
  }
  if (FAILED(hr)) return hr;
  *ppFilter = filter.Detach();
  return S_OK;
}

// Filters the caller put into the graph before rendering and left unconnected take the streams
// they accept first, in the order they were added; their outputs are rendered on from there.
HRESULT FilterGraph::RenderThroughWaiting(IPin* out) {
  std::vector<ComPtr<IBaseFilter>> waiting;
  for (const Member& m : members_) {
    bool free = true;
    for (const ComPtr<IPin>& pin : PinsOf(m.filter.get())) free = free && !IsConnected(pin.get());
    if (free && !PinsOf(m.filter.get(), PINDIR_INPUT).empty()) waiting.push_back(m.filter);
  }
  for (const ComPtr<IBaseFilter>& filter : waiting) {
    const ComPtr<IPin> input = PinsOf(filter.get(), PINDIR_INPUT).front();
    std::vector<ComPtr<IBaseFilter>> added;
    if (FAILED(ConnectDirect(out, input.get(), nullptr)) && FAILED(ConnectVia(out, input.get(), 0, added))) continue;
    bool rendered = true;
    for (const ComPtr<IPin>& output : PinsOf(filter.get(), PINDIR_OUTPUT)) {
      if (rendered && FAILED(RenderThroughWaiting(output.get())) && FAILED(RenderVia(output.get(), 0, added)))
        rendered = false;
    }
    if (rendered) return S_OK;
    out->Disconnect();
    input->Disconnect();
    RemoveAdded(added);
  }
  return VFW_E_CANNOT_RENDER;
}

STDMETHODIMP FilterGraph::RenderFile(LPCWSTR lpcwstrFile, LPCWSTR) {
  if (!lpcwstrFile) return E_POINTER;
  CAutoLock lock(&lock_);
  ComPtr<IBaseFilter> source;
  HRESULT hr = AddSourceFilter(lpcwstrFile, lpcwstrFile, source.put());
  if (FAILED(hr)) return hr;
  const std::vector<ComPtr<IPin>> outputs = PinsOf(source.get(), PINDIR_OUTPUT);
  size_t rendered = 0;
  for (const ComPtr<IPin>& output : outputs)
    if (SUCCEEDED(Render(output.get()))) ++rendered;
  if (rendered == 0) {
    RemoveFilter(source.get());
    return VFW_E_CANNOT_RENDER;
  }
  return rendered == outputs.size() ? S_OK : VFW_S_PARTIAL_RENDER;
}

}  // namespace dshow
