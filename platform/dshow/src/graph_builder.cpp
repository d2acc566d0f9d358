// Intelligent connection: connecting and rendering pins through filters the graph adds itself,
// and choosing the source filter of a file.
#include <algorithm>

#include "catalog.h"
#include "dshow/uuids.h"
#include "filter_graph.h"
#include "win32/utf.h"
#include "win32/winreg.h"

namespace dshow {
namespace {

// Chains longer than this are not tried (decoder + converter + one more).
const int kMaxDepth = 3;

std::vector<IPin*> PinsOf(IBaseFilter* filter, PIN_DIRECTION wanted) {
  std::vector<IPin*> pins;
  IEnumPins* e = nullptr;
  if (FAILED(filter->EnumPins(&e))) return pins;
  IPin* pin = nullptr;
  while (e->Next(1, &pin, nullptr) == S_OK) {
    PIN_DIRECTION dir;
    if (SUCCEEDED(pin->QueryDirection(&dir)) && dir == wanted)
      pins.push_back(pin);
    else
      pin->Release();
  }
  e->Release();
  return pins;
}

bool IsConnected(IPin* pin) {
  IPin* peer = nullptr;
  if (FAILED(pin->ConnectedTo(&peer)) || !peer) return false;
  peer->Release();
  return true;
}

void ReleasePins(std::vector<IPin*>& pins) {
  for (IPin* p : pins) p->Release();
  pins.clear();
}

// The class of the filter that owns the pin (GUID_NULL when it cannot tell).
CLSID OwnerClass(IPin* pin) {
  CLSID clsid = GUID_NULL;
  PIN_INFO info{};
  if (SUCCEEDED(pin->QueryPinInfo(&info)) && info.pFilter) {
    info.pFilter->GetClassID(&clsid);
    info.pFilter->Release();
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

HRESULT FilterGraph::AddCandidate(REFCLSID clsid, const std::u16string& name, IBaseFilter** filter) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(filter));
  if (FAILED(hr)) return hr;
  hr = AddFilter(*filter, name.c_str());
  if (FAILED(hr)) {
    (*filter)->Release();
    *filter = nullptr;
  }
  return hr;
}

void FilterGraph::RemoveAdded(const std::vector<IBaseFilter*>& added) {
  for (auto it = added.rbegin(); it != added.rend(); ++it) {
    RemoveFilter(*it);
    (*it)->Release();
  }
}

// Connects out to in through one more candidate filter (and, below it, more), adding what it
// uses to `added` (referenced). Nothing is left behind on failure.
HRESULT FilterGraph::ConnectVia(IPin* out, IPin* in, int depth, std::vector<IBaseFilter*>& added) {
  if (depth >= kMaxDepth) return VFW_E_CANNOT_CONNECT;
  CLSID upstream = OwnerClass(out);
  for (const GraphCandidate& candidate : GraphCandidates(DSHOW_CANDIDATE_TRANSFORM)) {
    // A converter behind another of its kind adds nothing.
    if (candidate.clsid == upstream) continue;
    IBaseFilter* filter = nullptr;
    if (FAILED(AddCandidate(candidate.clsid, candidate.name, &filter))) continue;
    std::vector<IBaseFilter*> mine{filter};
    bool connected = false;
    std::vector<IPin*> inputs = PinsOf(filter, PINDIR_INPUT);
    for (IPin* input : inputs) {
      if (IsConnected(input) || FAILED(out->Connect(input, nullptr))) continue;
      std::vector<IPin*> outputs = PinsOf(filter, PINDIR_OUTPUT);
      for (IPin* output : outputs) {
        if (IsConnected(output)) continue;
        if (SUCCEEDED(output->Connect(in, nullptr)) || SUCCEEDED(ConnectVia(output, in, depth + 1, mine))) {
          connected = true;
          break;
        }
      }
      ReleasePins(outputs);
      if (connected) break;
      out->Disconnect();
      input->Disconnect();
    }
    ReleasePins(inputs);
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
  CAutoLock lock(&m_lock);
  HRESULT hr = ConnectDirect(ppinOut, ppinIn, nullptr);
  if (SUCCEEDED(hr) || hr == VFW_E_NOT_IN_GRAPH || hr == VFW_E_INVALID_DIRECTION || hr == VFW_E_ALREADY_CONNECTED ||
      hr == VFW_E_NOT_STOPPED)
    return hr;
  if (IsConnected(ppinIn)) return VFW_E_ALREADY_CONNECTED;
  std::vector<IBaseFilter*> added;
  hr = ConnectVia(ppinOut, ppinIn, 0, added);
  for (IBaseFilter* f : added) f->Release();
  return hr;
}

// Renders out with a renderer, or through a candidate transform whose outputs all render.
HRESULT FilterGraph::RenderVia(IPin* out, int depth, std::vector<IBaseFilter*>& added) {
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
    IBaseFilter* filter = nullptr;
    if (FAILED(AddCandidate(choice.candidate.clsid, choice.candidate.name, &filter))) continue;
    std::vector<IBaseFilter*> mine{filter};
    bool rendered = false;
    std::vector<IPin*> inputs = PinsOf(filter, PINDIR_INPUT);
    for (IPin* input : inputs) {
      if (FAILED(out->Connect(input, nullptr))) continue;
      if (choice.renderer) {
        rendered = true;
      } else {
        std::vector<IPin*> outputs = PinsOf(filter, PINDIR_OUTPUT);
        rendered = !outputs.empty();
        for (IPin* output : outputs)
          if (rendered && FAILED(RenderVia(output, depth + 1, mine))) rendered = false;
        ReleasePins(outputs);
      }
      break;
    }
    ReleasePins(inputs);
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
  CAutoLock lock(&m_lock);
  PIN_DIRECTION dir;
  if (FAILED(ppinOut->QueryDirection(&dir)) || dir != PINDIR_OUTPUT) return VFW_E_INVALID_DIRECTION;
  if (IsConnected(ppinOut)) return VFW_E_ALREADY_CONNECTED;
  std::vector<IBaseFilter*> added;
  HRESULT hr = RenderVia(ppinOut, 0, added);
  for (IBaseFilter* f : added) f->Release();
  return hr;
}

STDMETHODIMP FilterGraph::AddSourceFilter(LPCWSTR lpcwstrFileName, LPCWSTR lpcwstrFilterName, IBaseFilter** ppFilter) {
  if (!lpcwstrFileName || !ppFilter) return E_POINTER;
  *ppFilter = nullptr;
  CAutoLock lock(&m_lock);
  CLSID clsid = CLSID_CorvaneFileSource;
  RegisteredSourceFilter(win32::Utf16ToUtf8(lpcwstrFileName), &clsid);

  IBaseFilter* filter = nullptr;
  if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, reinterpret_cast<void**>(&filter))))
    return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  IFileSourceFilter* load = nullptr;
  if (FAILED(filter->QueryInterface(IID_IFileSourceFilter, reinterpret_cast<void**>(&load)))) {
    filter->Release();
    return VFW_E_CANNOT_LOAD_SOURCE_FILTER;
  }
  HRESULT hr = AddFilter(filter, lpcwstrFilterName ? lpcwstrFilterName : lpcwstrFileName);
  if (SUCCEEDED(hr)) {
    hr = load->Load(lpcwstrFileName, nullptr);
    if (FAILED(hr)) RemoveFilter(filter);
  }
  load->Release();
  if (FAILED(hr)) {
    filter->Release();
    return hr;
  }
  *ppFilter = filter;
  return S_OK;
}

STDMETHODIMP FilterGraph::RenderFile(LPCWSTR lpcwstrFile, LPCWSTR) {
  if (!lpcwstrFile) return E_POINTER;
  CAutoLock lock(&m_lock);
  IBaseFilter* source = nullptr;
  HRESULT hr = AddSourceFilter(lpcwstrFile, lpcwstrFile, &source);
  if (FAILED(hr)) return hr;
  std::vector<IPin*> outputs = PinsOf(source, PINDIR_OUTPUT);
  size_t rendered = 0;
  for (IPin* output : outputs)
    if (SUCCEEDED(Render(output))) ++rendered;
  size_t total = outputs.size();
  ReleasePins(outputs);
  if (rendered == 0) {
    RemoveFilter(source);
    source->Release();
    return VFW_E_CANNOT_RENDER;
  }
  source->Release();
  return rendered == total ? S_OK : VFW_S_PARTIAL_RENDER;
}

}  // namespace dshow
