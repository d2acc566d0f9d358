// Automation state of command targets: reference count, the dispatch interface built from the
// class's dispatch maps, and QueryInterface through the interface maps.
#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "mfc/afxdisp_ctl.h"
#include "ole/comptr.h"

namespace mfc::disp {
namespace {

class XDispatch;

struct State {
  CCmdTarget* owner = nullptr;
  const Hooks* hooks = nullptr;
  std::atomic<LONG> refs{1};
  bool dying = false;
  IID primary = GUID_NULL;
  std::unique_ptr<XDispatch> dispatch;
  std::unique_ptr<DispatchTable> table;
};

// Keyed by the object; an entry lives from EnableAutomation to the object's destruction.
struct Registry {
  std::mutex lock;
  std::unordered_map<const CCmdTarget*, std::unique_ptr<State>> states;
};
Registry& TheRegistry() {
  static Registry* registry = new Registry;  // outlives every static object that uses it
  return *registry;
}

State* Find(const CCmdTarget* p) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.states.find(p);
  return it == r.states.end() ? nullptr : it->second.get();
}

// The member id of an entry: its own, or (place in its map + 1) with the map's depth below the
// object's own class in the high word.
DISPID EntryId(const AFX_DISPMAP_ENTRY& e, size_t index, int depth) {
  if (e.lDispID != DISPID_UNKNOWN) return e.lDispID;
  return DISPID(MAKELONG(WORD(index + 1), WORD(depth)));
}

std::vector<VARTYPE> ParamTypes(LPCSTR vts) {
  std::vector<VARTYPE> types;
  for (const char* c = vts ? vts : ""; *c; ++c) types.push_back(VARTYPE(BYTE(*c)));
  return types;
}

DispatchHandler MakeHandler(CCmdTarget* owner, const AFX_DISPMAP_ENTRY* e, AFX_DISPCALL fn, bool put) {
  return [owner, e, fn, put](DispatchCall& c) -> HRESULT {
    std::vector<VARIANT*> inputs;
    for (VARIANT& a : c.args) inputs.push_back(&a);
    if (put) inputs.push_back(&c.value);
    EXCEPINFO* saved = CurrentExcepInfo();
    CurrentExcepInfo() = c.excepInfo;
    HRESULT hr = fn(owner, *e, inputs.data(), UINT(inputs.size()), put ? nullptr : c.result);
    CurrentExcepInfo() = saved;
    return hr;
  };
}

std::unique_ptr<DispatchTable> BuildTable(CCmdTarget* owner, const AFX_DISPMAP* map, const IID& iid = GUID_NULL,
                                          std::string name = {}) {
  auto table = std::make_unique<DispatchTable>(iid, std::move(name));
  std::vector<DISPID> seen;
  for (int depth = 0; map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr, ++depth) {
    size_t index = 0;
    for (const AFX_DISPMAP_ENTRY* e = map->lpEntries; e && e->lpszName; ++e, ++index) {
      const DISPID id = EntryId(*e, index, depth);
      if (std::find(seen.begin(), seen.end(), id) != seen.end()) continue;  // overridden
      seen.push_back(id);
      if (e->kind == afxDispMethod) {
        table->Method(id, e->lpszName, e->vt, ParamTypes(e->lpszParams), MakeHandler(owner, e, e->pfnGet, false));
      } else {
        table->Property(id, e->lpszName, e->vt, MakeHandler(owner, e, e->pfnGet, false),
                        e->pfnSet ? MakeHandler(owner, e, e->pfnSet, true) : DispatchHandler(),
                        ParamTypes(e->lpszParams));
      }
    }
  }
  return table;
}

DispatchTable& TableOf(State* s) {
  if (!s->table) s->table = BuildTable(s->owner, s->hooks->dispatchMap(s->owner));
  return *s->table;
}

class XDispatch final : public IDispatch {
 public:
  explicit XDispatch(State* state) : state_(state) {}
  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    return InternalQueryInterface(state_->owner, &riid, ppv);
  }
  STDMETHOD_(ULONG, AddRef)() override { return InternalAddRef(state_->owner); }
  STDMETHOD_(ULONG, Release)() override { return InternalRelease(state_->owner); }
  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override {
    if (!pctinfo) return E_INVALIDARG;
    *pctinfo = 1;
    return S_OK;
  }
  STDMETHOD(GetTypeInfo)(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
    // The library's description names the types the members refer to; without one, the dispatch
    // map describes the members alone.
    ComPtr<ITypeLib> library;
    if (ppTInfo && iTInfo == 0 && state_->primary != GUID_NULL &&
        SUCCEEDED(state_->hooks->typeLib(state_->owner, lcid, library.put())) && library &&
        SUCCEEDED(library->GetTypeInfoOfGuid(state_->primary, ppTInfo)))
      return S_OK;
    return TableOf(state_).GetTypeInfo(iTInfo, ppTInfo);
  }
  STDMETHOD(GetIDsOfNames)(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID, DISPID* rgDispId) override {
    return TableOf(state_).GetIDsOfNames(riid, rgszNames, cNames, rgDispId);
  }
  STDMETHOD(Invoke)(DISPID id, REFIID riid, LCID, WORD wFlags, DISPPARAMS* pDispParams, VARIANT* pVarResult,
                    EXCEPINFO* pExcepInfo, UINT* puArgErr) override {
    // The object must survive a member that releases the caller's last reference.
    InternalAddRef(state_->owner);
    CCmdTarget* owner = state_->owner;
    HRESULT hr = TableOf(state_).Invoke(id, riid, wFlags, pDispParams, pVarResult, pExcepInfo, puArgErr);
    InternalRelease(owner);
    return hr;
  }

 private:
  State* state_;
};

}  // namespace

EXCEPINFO*& CurrentExcepInfo() {
  static thread_local EXCEPINFO* current = nullptr;
  return current;
}

void EnableAutomation(CCmdTarget* pTarget, const Hooks* hooks) {
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  std::unique_ptr<State>& s = r.states[pTarget];
  if (!s) {
    s = std::make_unique<State>();
    s->owner = pTarget;
    s->dispatch = std::make_unique<XDispatch>(s.get());
  }
  s->hooks = hooks;  // a derived class's constructor enables again with its own hooks
  s->table.reset();
}

void ForgetAutomation(CCmdTarget* pTarget) {
  std::unique_ptr<State> dropped;
  Registry& r = TheRegistry();
  std::lock_guard<std::mutex> guard(r.lock);
  auto it = r.states.find(pTarget);
  if (it == r.states.end()) return;
  dropped = std::move(it->second);
  r.states.erase(it);
}

LPDISPATCH GetIDispatch(CCmdTarget* pTarget, BOOL bAddRef) {
  State* s = Find(pTarget);
  if (!s) return nullptr;
  if (bAddRef) ++s->refs;
  return s->dispatch.get();
}

DWORD InternalAddRef(CCmdTarget* pTarget) {
  State* s = Find(pTarget);
  return s ? DWORD(++s->refs) : 1;
}

DWORD InternalRelease(CCmdTarget* pTarget) {
  State* s = Find(pTarget);
  if (!s) return 0;
  const LONG left = --s->refs;
  if (left == 0 && !s->dying) {
    // References taken and dropped while the object tears itself down end nothing more.
    s->dying = true;
    s->refs = 1;
    s->hooks->finalRelease(pTarget);
  }
  return DWORD(left);
}

HRESULT InternalQueryInterface(CCmdTarget* pTarget, const void* iid, LPVOID* ppvObj) {
  if (!ppvObj) return E_POINTER;
  *ppvObj = nullptr;
  State* s = Find(pTarget);
  if (!s) return E_NOINTERFACE;
  const IID& riid = *static_cast<const IID*>(iid);
  IUnknown* found = nullptr;
  IUnknown* first = nullptr;
  for (const AFX_INTERFACEMAP* map = s->hooks->interfaceMap(pTarget); map && !found;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_INTERFACEMAP_ENTRY* e = map->pEntry; e && e->piid; ++e) {
      IUnknown* part = e->pfnGet(pTarget);
      if (!first) first = part;
      if (*e->piid == riid) {
        found = part;
        break;
      }
    }
  }
  if (!found && (riid == IID_IDispatch || (riid == s->primary && riid != GUID_NULL))) found = s->dispatch.get();
  if (!found && riid == IID_IUnknown) found = first ? first : s->dispatch.get();
  if (!found) return E_NOINTERFACE;
  ++s->refs;
  *ppvObj = found;
  return S_OK;
}

void SetDispatchIID(CCmdTarget* pTarget, const IID& iid) {
  if (State* s = Find(pTarget)) s->primary = iid;
}

DispatchTable DescribeDispatchMap(const AFX_DISPMAP* map, const IID& iid, std::string name) {
  return *BuildTable(nullptr, map, iid, std::move(name));
}

DWORD RefCount(CCmdTarget* pTarget) {
  State* s = Find(pTarget);
  return s ? DWORD(s->refs.load()) : 0;
}

// ---- Conversions

HRESULT ToText(const VARIANT& v, CString& out) {
  VARIANT t;
  VariantInit(&t);
  HRESULT hr = VariantChangeType(&t, &v, 0, VT_BSTR);
  if (FAILED(hr)) return hr;
  out = t.bstrVal ? CString(t.bstrVal, int(SysStringLen(t.bstrVal))) : CString();
  VariantClear(&t);
  return S_OK;
}

HRESULT ToNumber(const VARIANT& v, double& out) {
  VARIANT t;
  VariantInit(&t);
  HRESULT hr = VariantChangeType(&t, &v, 0, VT_R8);
  if (SUCCEEDED(hr)) out = t.dblVal;
  return hr;
}

HRESULT ToInteger(const VARIANT& v, LONGLONG& out) {
  VARIANT t;
  VariantInit(&t);
  HRESULT hr = VariantChangeType(&t, &v, 0, VT_I8);
  if (SUCCEEDED(hr)) out = t.llVal;
  return hr;
}

HRESULT StoreNumber(VARIANT* out, double value, VARTYPE vt) {
  VariantClear(out);
  out->vt = VT_R8;
  out->dblVal = value;
  if (vt == VT_EMPTY || vt == VT_VARIANT || vt == VT_R8) return S_OK;
  return VariantChangeType(out, out, 0, vt);
}

HRESULT StoreInteger(VARIANT* out, LONGLONG value, VARTYPE vt) {
  VariantClear(out);
  if (vt == VT_BOOL) {
    out->vt = VT_BOOL;
    out->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
  }
  out->vt = VT_I8;
  out->llVal = value;
  if (vt == VT_I4 || vt == VT_ERROR || vt == VT_UI4) {
    // 32-bit values (colours, handles) keep their bits.
    out->vt = vt;
    out->lVal = LONG(value);
    return S_OK;
  }
  if (vt == VT_EMPTY || vt == VT_VARIANT || vt == VT_I8) return S_OK;
  return VariantChangeType(out, out, 0, vt);
}

HRESULT StoreText(VARIANT* out, LPCTSTR text) {
  VariantClear(out);
  out->vt = VT_BSTR;
  out->bstrVal = CString(text ? text : "").AllocSysString();
  return S_OK;
}

HRESULT FromException(CException* e, EXCEPINFO* pExcepInfo) {
  SCODE sc = DISP_E_EXCEPTION;
  CString description;
  WORD code = 0;
  if (auto* d = dynamic_cast<COleDispatchException*>(e)) {
    sc = d->m_scError;
    code = d->m_wCode;
    description = d->m_strDescription;
  } else if (auto* o = dynamic_cast<COleException*>(e)) {
    sc = o->m_sc;
  } else if (dynamic_cast<CMemoryException*>(e)) {
    sc = E_OUTOFMEMORY;
  } else {
    sc = E_FAIL;
  }
  e->Delete();
  if (pExcepInfo) {
    *pExcepInfo = EXCEPINFO{};
    pExcepInfo->wCode = code;
    pExcepInfo->scode = code ? 0 : sc;
    if (!description.IsEmpty()) pExcepInfo->bstrDescription = description.AllocSysString();
  }
  return DISP_E_EXCEPTION;
}

}  // namespace mfc::disp

// ---- COleDispatchException

IMPLEMENT_DYNAMIC(COleDispatchException, CException)

COleDispatchException::COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode)
    : m_wCode(wCode), m_strDescription(lpszDescription ? lpszDescription : ""), m_dwHelpContext(nHelpID) {}

BOOL COleDispatchException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const {
  if (pnHelpContext) *pnHelpContext = m_dwHelpContext;
  if (!lpszError || nMaxError == 0 || m_strDescription.IsEmpty()) return FALSE;
  const UINT n = std::min<UINT>(nMaxError - 1, UINT(m_strDescription.GetLength()));
  memcpy(lpszError, m_strDescription.GetString(), n);
  lpszError[n] = '\0';
  return TRUE;
}

void AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID) {
  throw new COleDispatchException(lpszDescription, nHelpID, wCode);
}

void AfxThrowOleDispatchScode(SCODE sc, LPCTSTR lpszDescription) {
  auto* e = new COleDispatchException(lpszDescription, 0, 0);
  e->m_scError = sc;
  throw e;
}
