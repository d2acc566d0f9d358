// Control containment: the container's site of one control, the site window class that dialog
// templates name by class identifier, and event-sink maps.
#include <cstdarg>
#include <map>
#include <mutex>
#include <typeindex>

#include "mfc/afxctl.h"

namespace mfc::ctl {
namespace {

struct SinkMaps {
  std::mutex lock;
  std::map<std::type_index, const AFX_EVENTSINKMAP* (*)()> maps;
};
SinkMaps& TheSinkMaps() {
  static SinkMaps* maps = new SinkMaps;
  return *maps;
}

std::map<HWND, COleControlSite*>& Sites() {
  static auto* sites = new std::map<HWND, COleControlSite*>;
  return *sites;
}

}  // namespace

SinkMapRegistration::SinkMapRegistration(const std::type_info& t, const AFX_EVENTSINKMAP* (*getMap)()) : type(&t) {
  SinkMaps& m = TheSinkMaps();
  std::lock_guard<std::mutex> guard(m.lock);
  m.maps[std::type_index(t)] = getMap;
}

SinkMapRegistration::~SinkMapRegistration() {
  SinkMaps& m = TheSinkMaps();
  std::lock_guard<std::mutex> guard(m.lock);
  m.maps.erase(std::type_index(*type));
}

const AFX_EVENTSINKMAP* FindSinkMap(const CCmdTarget* pContainer) {
  if (!pContainer) return nullptr;
  SinkMaps& m = TheSinkMaps();
  std::lock_guard<std::mutex> guard(m.lock);
  auto it = m.maps.find(std::type_index(typeid(*pContainer)));
  return it == m.maps.end() ? nullptr : it->second();
}

}  // namespace mfc::ctl

// ---- The site's interfaces

// Client site, in-place site, control site, ambient properties and property-change sink in one
// object owned by the site; COM references do not govern its life.
class COleControlSite::Parts final : public IOleClientSite,
                                     public IOleInPlaceSite,
                                     public IOleControlSite,
                                     public IDispatch,
                                     public IPropertyNotifySink {
 public:
  explicit Parts(COleControlSite* site) : site_(site), events_(site) {}

  STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
    if (!ppv) return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite) *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleInPlaceSite || riid == IID_IOleWindow) *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleControlSite) *ppv = static_cast<IOleControlSite*>(this);
    else if (riid == IID_IDispatch) *ppv = static_cast<IDispatch*>(this);
    else if (riid == IID_IPropertyNotifySink) *ppv = static_cast<IPropertyNotifySink*>(this);
    else {
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    return S_OK;
  }
  STDMETHOD_(ULONG, AddRef)() override { return 2; }
  STDMETHOD_(ULONG, Release)() override { return 1; }

  // IOleClientSite
  STDMETHOD(SaveObject)() override { return S_OK; }
  STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker** ppmk) override {
    if (ppmk) *ppmk = nullptr;
    return E_NOTIMPL;
  }
  STDMETHOD(GetContainer)(IOleContainer** pp) override {
    if (pp) *pp = nullptr;
    return E_NOINTERFACE;
  }
  STDMETHOD(ShowObject)() override { return S_OK; }
  STDMETHOD(OnShowWindow)(BOOL) override { return S_OK; }
  STDMETHOD(RequestNewObjectLayout)() override { return E_NOTIMPL; }

  // IOleInPlaceSite
  STDMETHOD(GetWindow)(HWND* phwnd) override {
    if (!phwnd) return E_POINTER;
    *phwnd = site_->m_hWndSite;
    return S_OK;
  }
  STDMETHOD(ContextSensitiveHelp)(BOOL) override { return E_NOTIMPL; }
  STDMETHOD(CanInPlaceActivate)() override { return S_OK; }
  STDMETHOD(OnInPlaceActivate)() override { return S_OK; }
  STDMETHOD(OnUIActivate)() override { return S_OK; }
  STDMETHOD(GetWindowContext)(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                              LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO) override {
    if (ppFrame) *ppFrame = nullptr;
    if (ppDoc) *ppDoc = nullptr;
    RECT rc;
    ::GetClientRect(site_->m_hWndSite, &rc);
    if (lprcPosRect) *lprcPosRect = rc;
    if (lprcClipRect) *lprcClipRect = rc;
    return S_OK;
  }
  STDMETHOD(Scroll)(SIZE) override { return E_NOTIMPL; }
  STDMETHOD(OnUIDeactivate)(BOOL) override { return S_OK; }
  STDMETHOD(OnInPlaceDeactivate)() override { return S_OK; }
  STDMETHOD(DiscardUndoState)() override { return S_OK; }
  STDMETHOD(DeactivateAndUndo)() override { return S_OK; }
  STDMETHOD(OnPosRectChange)(LPCRECT) override { return S_OK; }

  // IOleControlSite
  STDMETHOD(OnControlInfoChanged)() override { return S_OK; }
  STDMETHOD(LockInPlaceActive)(BOOL) override { return S_OK; }
  STDMETHOD(GetExtendedControl)(IDispatch** pp) override {
    if (pp) *pp = nullptr;
    return E_NOTIMPL;
  }
  STDMETHOD(TransformCoords)(void*, void*, DWORD) override { return E_NOTIMPL; }
  STDMETHOD(TranslateAccelerator)(MSG*, DWORD) override { return S_FALSE; }
  STDMETHOD(OnFocus)(BOOL) override { return S_OK; }
  // The control's pages in a modal frame owned by the container's top-level window.
  STDMETHOD(ShowPropertyFrame)() override {
    auto specify = site_->m_pObject.As<ISpecifyPropertyPages>(IID_ISpecifyPropertyPages);
    if (!specify) return E_NOINTERFACE;
    CAUUID pages = {0, nullptr};
    HRESULT hr = specify->GetPages(&pages);
    if (FAILED(hr)) return hr;
    CStringW caption(site_->m_strDisplayName);
    IUnknown* object = site_->m_pObject.get();
    hr = OleCreatePropertyFrame(::GetAncestor(site_->m_hWndSite, GA_ROOT), 0, 0, caption.GetString(), 1, &object,
                                pages.cElems, pages.pElems, 0, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return hr;
  }

  // IDispatch: the ambient properties.
  STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override {
    if (!pctinfo) return E_INVALIDARG;
    *pctinfo = 0;
    return S_OK;
  }
  STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** pp) override {
    if (pp) *pp = nullptr;
    return DISP_E_BADINDEX;
  }
  STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT cNames, LCID, DISPID* ids) override {
    for (UINT i = 0; ids && i < cNames; ++i) ids[i] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD wFlags, DISPPARAMS*, VARIANT* pVarResult, EXCEPINFO*,
                    UINT*) override {
    if (!(wFlags & DISPATCH_PROPERTYGET)) return DISP_E_MEMBERNOTFOUND;
    VARIANT v;
    VariantInit(&v);
    switch (id) {
      case DISPID_AMBIENT_USERMODE:
        v.vt = VT_BOOL;
        v.boolVal = site_->m_bUserMode ? VARIANT_TRUE : VARIANT_FALSE;
        break;
      case DISPID_AMBIENT_UIDEAD:
        v.vt = VT_BOOL;
        v.boolVal = VARIANT_FALSE;
        break;
      case DISPID_AMBIENT_DISPLAYNAME:
        v.vt = VT_BSTR;
        v.bstrVal = site_->m_strDisplayName.AllocSysString();
        break;
      case DISPID_AMBIENT_BACKCOLOR:
        v.vt = VT_I4;
        v.lVal = LONG(0x80000000 | COLOR_BTNFACE);
        break;
      case DISPID_AMBIENT_FORECOLOR:
        v.vt = VT_I4;
        v.lVal = LONG(0x80000000 | COLOR_BTNTEXT);
        break;
      default: return DISP_E_MEMBERNOTFOUND;
    }
    if (pVarResult) *pVarResult = v;
    else VariantClear(&v);
    return S_OK;
  }

  // IPropertyNotifySink
  STDMETHOD(OnChanged)(DISPID dispID) override {
    site_->m_changed.push_back(dispID);
    return S_OK;
  }
  STDMETHOD(OnRequestEdit)(DISPID) override { return site_->m_hrRequestEdit; }

  // The sink of the control's events: IDispatch under the control's event interface.
  class EventSink final : public IDispatch {
   public:
    explicit EventSink(COleControlSite* site) : site_(site) {}
    STDMETHOD(QueryInterface)(REFIID riid, void** ppv) override {
      if (!ppv) return E_POINTER;
      if (riid == IID_IUnknown || riid == IID_IDispatch ||
          (riid == site_->m_iidEvents && riid != GUID_NULL)) {
        *ppv = static_cast<IDispatch*>(this);
        return S_OK;
      }
      *ppv = nullptr;
      return E_NOINTERFACE;
    }
    STDMETHOD_(ULONG, AddRef)() override { return 2; }
    STDMETHOD_(ULONG, Release)() override { return 1; }
    STDMETHOD(GetTypeInfoCount)(UINT* pctinfo) override {
      if (!pctinfo) return E_INVALIDARG;
      *pctinfo = 0;
      return S_OK;
    }
    STDMETHOD(GetTypeInfo)(UINT, LCID, ITypeInfo** pp) override {
      if (pp) *pp = nullptr;
      return DISP_E_BADINDEX;
    }
    STDMETHOD(GetIDsOfNames)(REFIID, LPOLESTR*, UINT cNames, LCID, DISPID* ids) override {
      for (UINT i = 0; ids && i < cNames; ++i) ids[i] = DISPID_UNKNOWN;
      return DISP_E_UNKNOWNNAME;
    }
    STDMETHOD(Invoke)(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
      return site_->OnEvent(id, params);
    }

   private:
    COleControlSite* site_;
  };

  COleControlSite* site_;
  EventSink events_;
};

// ---- COleControlSite

COleControlSite::COleControlSite(HWND hWndSite, UINT nID)
    : m_pParts(new Parts(this)), m_hWndSite(hWndSite), m_nID(nID) {}

COleControlSite::~COleControlSite() {
  Destroy();
  delete m_pParts;
}

COleControlSite* COleControlSite::Create(REFCLSID clsid, HWND hWndSite, UINT nID, LPSTREAM pPersist) {
  auto* site = new COleControlSite(hWndSite, nID);
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown, site->m_pObject.putVoid());
  if (SUCCEEDED(hr)) hr = site->m_pObject.As(IID_IOleObject, &site->m_pOleObject);
  if (SUCCEEDED(hr)) hr = site->m_pOleObject->SetClientSite(static_cast<IOleClientSite*>(site->m_pParts));
  if (SUCCEEDED(hr)) {
    if (auto persist = site->m_pObject.As<IPersistStreamInit>(IID_IPersistStreamInit))
      hr = pPersist ? persist->Load(pPersist) : persist->InitNew();
  }
  if (SUCCEEDED(hr)) hr = site->m_pObject.As(IID_IDispatch, &site->m_pDispatch);
  if (SUCCEEDED(hr)) {
    // Events: the container's first outgoing interface other than property notifications.
    if (auto cpc = site->m_pObject.As<IConnectionPointContainer>(IID_IConnectionPointContainer)) {
      ComPtr<IEnumConnectionPoints> points;
      if (SUCCEEDED(cpc->EnumConnectionPoints(points.put()))) {
        ComPtr<IConnectionPoint> point;
        while (points->Next(1, point.put(), nullptr) == S_OK) {
          IID iid;
          point->GetConnectionInterface(&iid);
          if (iid == IID_IPropertyNotifySink) {
            point->Advise(static_cast<IPropertyNotifySink*>(site->m_pParts), &site->m_dwNotifySink);
          } else if (!site->m_dwEventSink) {
            site->m_iidEvents = iid;
            point->Advise(&site->m_pParts->events_, &site->m_dwEventSink);
          }
        }
      }
    }
    RECT rc;
    ::GetClientRect(hWndSite, &rc);
    hr = site->m_pOleObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(site->m_pParts),
                                    0, hWndSite, &rc);
  }
  if (SUCCEEDED(hr)) hr = site->m_pObject.As(IID_IOleInPlaceObject, &site->m_pInPlaceObject);
  if (FAILED(hr)) {
    delete site;
    return nullptr;
  }
  mfc::ctl::Sites()[hWndSite] = site;
  return site;
}

COleControlSite* COleControlSite::FromHandle(HWND hWnd) {
  auto& sites = mfc::ctl::Sites();
  for (HWND h = hWnd; h; h = ::GetParent(h)) {
    auto it = sites.find(h);
    if (it != sites.end()) return it->second;
    if (h != hWnd) break;  // the control's own window is a direct child of the site window
  }
  return nullptr;
}

HWND COleControlSite::GetControlWindow() const {
  HWND h = nullptr;
  if (m_pInPlaceObject) m_pInPlaceObject->GetWindow(&h);
  return h;
}

void COleControlSite::SetUserMode(BOOL bUserMode) {
  m_bUserMode = bUserMode;
  if (auto control = m_pObject.As<IOleControl>(IID_IOleControl))
    control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE);
}

HRESULT COleControlSite::SaveState(LPSTREAM pStm) {
  auto persist = m_pObject.As<IPersistStreamInit>(IID_IPersistStreamInit);
  return persist ? persist->Save(pStm, TRUE) : E_NOINTERFACE;
}

void COleControlSite::Destroy() {
  if (!m_pObject) return;
  mfc::ctl::Sites().erase(m_hWndSite);
  if (auto cpc = m_pObject.As<IConnectionPointContainer>(IID_IConnectionPointContainer)) {
    ComPtr<IConnectionPoint> point;
    if (m_dwEventSink && SUCCEEDED(cpc->FindConnectionPoint(m_iidEvents, point.put())))
      point->Unadvise(m_dwEventSink);
    if (m_dwNotifySink && SUCCEEDED(cpc->FindConnectionPoint(IID_IPropertyNotifySink, point.put())))
      point->Unadvise(m_dwNotifySink);
  }
  m_dwEventSink = m_dwNotifySink = 0;
  // Let go of the control in this order; the object itself last.
  if (m_pInPlaceObject) {
    m_pInPlaceObject->InPlaceDeactivate();
    m_pInPlaceObject = nullptr;
  }
  if (m_pOleObject) {
    m_pOleObject->Close(OLECLOSE_NOSAVE);
    m_pOleObject->SetClientSite(nullptr);
    m_pOleObject = nullptr;
  }
  m_pDispatch = nullptr;
  m_pObject = nullptr;
}

HRESULT COleControlSite::OnEvent(DISPID dispid, DISPPARAMS* pParams) {
  CWnd* container = CWnd::FromHandlePermanent(::GetParent(m_hWndSite));
  for (const AFX_EVENTSINKMAP* map = mfc::ctl::FindSinkMap(container); map;
       map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    for (const AFX_EVENTSINKMAP_ENTRY* e = map->lpEntries; e->nCtlID; ++e) {
      if (e->nCtlID != m_nID || e->dispid != dispid) continue;
      // Arguments arrive last first; the handler takes them in declaration order.
      const UINT count = pParams ? pParams->cArgs : 0;
      std::vector<VARIANT> args(count);
      std::vector<VARIANT*> inputs;
      HRESULT hr = S_OK;
      const char* types = e->pvtsParams ? e->pvtsParams : "";
      for (UINT i = 0; i < count; ++i) {
        VariantInit(&args[i]);
        const VARIANT& src = pParams->rgvarg[count - 1 - i];
        const VARTYPE vt = *types ? VARTYPE(BYTE(*types++)) : VARTYPE(VT_VARIANT);
        if (SUCCEEDED(hr)) hr = vt == VT_VARIANT ? VariantCopyInd(&args[i], &src) : VariantChangeType(&args[i], &src, 0, vt);
        inputs.push_back(&args[i]);
      }
      if (SUCCEEDED(hr)) {
        // The control fires from inside its own code: a handler's failure is the user's to see,
        // and must not unwind through the control.
        try {
          hr = e->pfn(container, inputs.data(), count);
        } catch (CException* error) {
          error->ReportError();
          error->Delete();
        }
      }
      for (VARIANT& v : args) VariantClear(&v);
      return hr;
    }
  }
  return S_OK;  // an event nobody listens to
}

void COleControlSite::InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                                    va_list argList) {
  if (!m_pDispatch) AfxThrowOleException(E_UNEXPECTED);
  AfxInvokeDispatch(m_pDispatch.get(), dwDispID, wFlags, vtRet, pvRet, pbParamInfo, argList);
}

void COleControlSite::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                                   ...) {
  va_list list;
  va_start(list, pbParamInfo);
  try {
    InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}

void COleControlSite::GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) {
  InvokeHelper(dwDispID, DISPATCH_PROPERTYGET, vtProp, pvProp, nullptr);
}

void COleControlSite::SetProperty(DISPID dwDispID, VARTYPE vtProp, ...) {
  const BYTE types[2] = {BYTE(vtProp), 0};
  va_list list;
  va_start(list, vtProp);
  try {
    InvokeHelperV(dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, types, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}

// ---- Site windows

namespace {

// The saved state for the site window being created by AfxCreateControl.
thread_local LPSTREAM g_pendingPersist = nullptr;

LRESULT CALLBACK SiteWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      char name[64];
      CLSID clsid;
      if (!GetClassNameA(hWnd, name, sizeof name) || !GUIDFromStringA(name, &clsid)) return -1;
      LPSTREAM persist = g_pendingPersist;
      g_pendingPersist = nullptr;
      COleControlSite* site = COleControlSite::Create(clsid, hWnd, UINT(GetDlgCtrlID(hWnd)), persist);
      return site ? 0 : -1;
    }
    case WM_SIZE: {
      COleControlSite* site = COleControlSite::FromHandle(hWnd);
      HWND control = site ? site->GetControlWindow() : nullptr;
      if (control) ::MoveWindow(control, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    }
    case WM_DESTROY:
      delete COleControlSite::FromHandle(hWnd);
      return 0;
    default: return DefWindowProcA(hWnd, message, wParam, lParam);
  }
}

}  // namespace

BOOL AfxRegisterControlSiteClass(REFCLSID clsid) {
  const std::string name = StringFromGUIDA(clsid);
  WNDCLASSA existing;
  if (GetClassInfoA(nullptr, name.c_str(), &existing)) return TRUE;
  WNDCLASSA wc = {};
  wc.style = CS_GLOBALCLASS;
  wc.lpfnWndProc = SiteWndProc;
  wc.lpszClassName = name.c_str();
  return RegisterClassA(&wc) != 0;
}

int AfxRegisterControlSiteClasses() {
  HKEY classes;
  if (RegOpenKeyA(HKEY_CLASSES_ROOT, "CLSID", &classes) != ERROR_SUCCESS) return 0;
  int count = 0;
  char name[64];
  for (DWORD i = 0; RegEnumKeyA(classes, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
    HKEY control;
    CLSID clsid;
    if (RegOpenKeyA(classes, (std::string(name) + "\\Control").c_str(), &control) != ERROR_SUCCESS) continue;
    RegCloseKey(control);
    if (GUIDFromStringA(name, &clsid) && AfxRegisterControlSiteClass(clsid)) ++count;
  }
  RegCloseKey(classes);
  return count;
}

BOOL AfxCreateControl(CWnd* pWnd, REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, LPSTREAM pPersist) {
  if (!pWnd || !pParentWnd || !AfxRegisterControlSiteClass(clsid)) return FALSE;
  const std::string name = StringFromGUIDA(clsid);
  g_pendingPersist = pPersist;
  BOOL ok = pWnd->Create(name.c_str(), lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
  g_pendingPersist = nullptr;
  return ok;
}

COleControlSite* AfxGetControlSite(const CWnd* pWnd) { return pWnd ? COleControlSite::FromHandle(pWnd->m_hWnd) : nullptr; }

static COleControlSite* SiteOrThrow(CWnd* pWnd) {
  COleControlSite* site = AfxGetControlSite(pWnd);
  if (!site) AfxThrowOleException(E_UNEXPECTED);
  return site;
}

void AfxControlInvokeHelper(CWnd* pWnd, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                            const BYTE* pbParamInfo, ...) {
  COleControlSite* site = SiteOrThrow(pWnd);
  va_list list;
  va_start(list, pbParamInfo);
  try {
    site->InvokeHelperV(dwDispID, wFlags, vtRet, pvRet, pbParamInfo, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}

void AfxControlGetProperty(CWnd* pWnd, DISPID dwDispID, VARTYPE vtProp, void* pvProp) {
  SiteOrThrow(pWnd)->GetProperty(dwDispID, vtProp, pvProp);
}

void AfxControlSetProperty(CWnd* pWnd, DISPID dwDispID, VARTYPE vtProp, ...) {
  COleControlSite* site = SiteOrThrow(pWnd);
  const BYTE types[2] = {BYTE(vtProp), 0};
  va_list list;
  va_start(list, vtProp);
  try {
    site->InvokeHelperV(dwDispID, DISPATCH_PROPERTYPUT, VT_EMPTY, nullptr, types, list);
  } catch (...) {
    va_end(list);
    throw;
  }
  va_end(list);
}
