// COleControl: the control object, its window, events, ambients and property notifications.
#include <cstdarg>
#include <cstring>

#include "dispatch_arguments.h"
#include "property_exchanges.h"

IMPLEMENT_DYNAMIC(COleControl, CWnd)

BEGIN_MESSAGE_MAP(COleControl, CWnd)
  ON_WM_PAINT()
  ON_WM_LBUTTONDBLCLK()
END_MESSAGE_MAP()

BEGIN_DISPATCH_MAP(COleControl, CWnd)
END_DISPATCH_MAP()

BEGIN_INTERFACE_MAP(COleControl, CWnd)
  INTERFACE_PART(COleControl, IID_IOleObject, OleObject)
  INTERFACE_PART(COleControl, IID_IOleInPlaceObject, OleInPlaceObject)
  INTERFACE_PART(COleControl, IID_IOleWindow, OleInPlaceObject)
  INTERFACE_PART(COleControl, IID_IOleControl, OleControl)
  INTERFACE_PART(COleControl, IID_IPersistStreamInit, PersistStreamInit)
  INTERFACE_PART(COleControl, IID_IPersist, PersistStreamInit)
  INTERFACE_PART(COleControl, IID_IPersistPropertyBag, PersistPropertyBag)
  INTERFACE_PART(COleControl, IID_IPerPropertyBrowsing, PerPropertyBrowsing)
  INTERFACE_PART(COleControl, IID_ISpecifyPropertyPages, SpecifyPropertyPages)
  INTERFACE_PART(COleControl, IID_IConnectionPointContainer, ConnPtContainer)
END_INTERFACE_MAP()

const AFX_EVENTMAP* PASCAL COleControl::GetThisEventMap() {
  static const AFX_EVENTMAP_ENTRY entries[] = {{nullptr, DISPID_UNKNOWN, nullptr}};
  static const AFX_EVENTMAP map = {nullptr, entries};
  return &map;
}
const AFX_EVENTMAP* COleControl::GetEventMap() const { return GetThisEventMap(); }

COleControl::COleControl() : m_xConnPtContainer(&m_xOleObject) {
  EnableAutomation();
  AfxOleLockApp();
  m_pNotifyPoint = &m_xConnPtContainer.Add(IID_IPropertyNotifySink);
}

COleControl::~COleControl() {
  if (m_hWnd) DestroyWindow();
  AfxOleUnlockApp();
}

void COleControl::OnFinalRelease() { delete this; }

void COleControl::InitializeIIDs(const IID* piidPrimary, const IID* piidEvents) {
  if (piidPrimary) {
    m_iidPrimary = *piidPrimary;
    mfc::disp::SetDispatchIID(this, m_iidPrimary);
  }
  if (piidEvents && !m_pEventPoint) {
    m_iidEvents = *piidEvents;
    m_pEventPoint = &m_xConnPtContainer.Add(m_iidEvents);
  }
}

void COleControl::SetInitialSize(int cx, int cy) {
  m_cxExtent = cx;
  m_cyExtent = cy;
}

void COleControl::GetControlSize(int* pcx, int* pcy) const {
  if (m_hWnd) {
    RECT rc;
    ::GetClientRect(m_hWnd, &rc);
    *pcx = rc.right - rc.left;
    *pcy = rc.bottom - rc.top;
  } else {
    *pcx = m_cxExtent;
    *pcy = m_cyExtent;
  }
}

BOOL COleControl::SetControlSize(int cx, int cy) {
  m_cxExtent = cx;
  m_cyExtent = cy;
  if (m_hWnd) return ::SetWindowPos(m_hWnd, nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  return TRUE;
}

// ---- Drawing

void COleControl::OnDraw(CDC*, const CRect&, const CRect&) {}

void COleControl::OnPaint() {
  CPaintDC dc(this);
  CRect bounds;
  GetClientRect(&bounds);
  OnDraw(&dc, bounds, bounds);
}

void COleControl::InvalidateControl(LPCRECT lpRect, BOOL bErase) {
  if (m_hWnd) ::InvalidateRect(m_hWnd, lpRect, bErase);
}

// ---- Persistence

void COleControl::DoPropExchange(CPropExchange*) {}

void COleControl::ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert) {
  pPX->ExchangeVersion(m_dwVersionLoaded, dwVersionDefault, bConvert);
}

void COleControl::OnResetState() {
  mfc::ctl::ResetExchange px;
  DoPropExchange(&px);
}

HRESULT COleControl::LoadFromStream(LPSTREAM pStm) {
  mfc::ctl::StreamExchange px(pStm, TRUE);
  try {
    DoPropExchange(&px);
  } catch (CException* e) {
    e->Delete();
    return E_FAIL;
  }
  m_bInitialized = TRUE;
  m_bModified = FALSE;
  InvalidateControl();
  return px.Failed() ? E_FAIL : S_OK;
}

HRESULT COleControl::SaveToStream(LPSTREAM pStm) {
  mfc::ctl::StreamExchange px(pStm, FALSE);
  try {
    DoPropExchange(&px);
  } catch (CException* e) {
    e->Delete();
    return E_FAIL;
  }
  return px.Failed() ? STG_E_WRITEFAULT : S_OK;
}

// ---- Ambient properties

BOOL COleControl::GetAmbientProperty(DISPID dispid, VARTYPE vtProp, void* pvProp) {
  if (!m_pAmbientDispatch) return FALSE;
  DISPPARAMS none = {nullptr, nullptr, 0, 0};
  VARIANT v;
  VariantInit(&v);
  if (FAILED(m_pAmbientDispatch->Invoke(dispid, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &v, nullptr, nullptr)))
    return FALSE;
  BOOL ok = TRUE;
  if (vtProp == VT_VARIANT) {
    *static_cast<VARIANT*>(pvProp) = v;
    return TRUE;
  }
  if (v.vt != vtProp && FAILED(VariantChangeType(&v, &v, 0, vtProp))) ok = FALSE;
  if (ok) {
    switch (vtProp) {
      case VT_BOOL: *static_cast<BOOL*>(pvProp) = v.boolVal != 0; break;
      case VT_I2: *static_cast<short*>(pvProp) = v.iVal; break;
      case VT_I4: *static_cast<LONG*>(pvProp) = v.lVal; break;
      case VT_BSTR:
        *static_cast<CString*>(pvProp) = v.bstrVal ? CString(v.bstrVal, int(SysStringLen(v.bstrVal))) : CString();
        break;
      default: ok = FALSE;
    }
  }
  VariantClear(&v);
  return ok;
}

BOOL COleControl::AmbientUserMode() {
  BOOL mode;
  return GetAmbientProperty(DISPID_AMBIENT_USERMODE, VT_BOOL, &mode) ? mode : TRUE;
}

CString COleControl::AmbientDisplayName() {
  CString name;
  GetAmbientProperty(DISPID_AMBIENT_DISPLAYNAME, VT_BSTR, &name);
  return name;
}

void COleControl::OnAmbientPropertyChange(DISPID) {}

// ---- Property notifications

void COleControl::BoundPropertyChanged(DISPID dispid) {
  m_pNotifyPoint->ForEachSink([dispid](IUnknown* sink) { static_cast<IPropertyNotifySink*>(sink)->OnChanged(dispid); });
}

BOOL COleControl::BoundPropertyRequestEdit(DISPID dispid) {
  BOOL allowed = TRUE;
  m_pNotifyPoint->ForEachSink([&](IUnknown* sink) {
    if (allowed && static_cast<IPropertyNotifySink*>(sink)->OnRequestEdit(dispid) != S_OK) allowed = FALSE;
  });
  return allowed;
}

// ---- Events

void AFX_CDECL COleControl::FireEvent(DISPID dispid, BYTE* pbParams, ...) {
  if (!m_pEventPoint || AreEventsFrozen()) return;
  std::vector<VARIANT> args;
  va_list list;
  va_start(list, pbParams);
  mfc::ctl::LoadArguments(reinterpret_cast<const char*>(pbParams), list, args);
  va_end(list);
  // The control stays alive while a sink reacts (a sink may release the container's reference).
  ExternalAddRef();
  m_pEventPoint->Fire(dispid, args.data(), UINT(args.size()));
  for (VARIANT& v : args) VariantClear(&v);
  ExternalRelease();
}

void COleControl::FireDblClick() { FireEvent(DISPID_DBLCLICK, EVENT_PARAM(VTS_NONE)); }

DISPID COleControl::ResolveEventId(const AFX_EVENTMAP_ENTRY* entry, size_t index) const {
  return entry->dispid != DISPID_UNKNOWN ? entry->dispid : DISPID(index + 1);
}

DISPID COleControl::EventIdOfName(LPCSTR pszName) const {
  for (const AFX_EVENTMAP* map = GetEventMap(); map; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
    size_t index = 0;
    for (const AFX_EVENTMAP_ENTRY* e = map->lpEntries; e->pszName; ++e, ++index)
      if (strcmp(e->pszName, pszName) == 0) return ResolveEventId(e, index);
  }
  return DISPID_UNKNOWN;
}

void COleControl::OnLButtonDblClk(UINT, CPoint) {
  if (EventIdOfName("DblClick") == DISPID_DBLCLICK) FireDblClick();
}

// ---- Browsing

BOOL COleControl::OnGetDisplayString(DISPID, CString&) { return FALSE; }
BOOL COleControl::OnGetPredefinedStrings(DISPID, CStringArray*, CDWordArray*) { return FALSE; }
BOOL COleControl::OnGetPredefinedValue(DISPID, DWORD, VARIANT*) { return FALSE; }
BOOL COleControl::OnMapPropertyToPage(DISPID, LPCLSID, BOOL*) { return FALSE; }

// ---- Verbs

LPCLSID COleControl::GetPropPageIDs(ULONG& cPropPages) {
  cPropPages = 0;
  return nullptr;
}

BOOL COleControl::OnProperties(LPMSG, HWND, LPCRECT) {
  auto site = m_pClientSite.As<IOleControlSite>(IID_IOleControlSite);
  return site && SUCCEEDED(site->ShowPropertyFrame());
}

BOOL COleControl::OnDoVerb(LONG iVerb, LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect) {
  switch (iVerb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
    case OLEIVERB_UIACTIVATE: return ActivateInPlace(hWndParent, lpRect);
    case OLEIVERB_HIDE:
      if (m_hWnd) ShowWindow(SW_HIDE);
      return TRUE;
    case OLEIVERB_PROPERTIES: return OnProperties(lpMsg, hWndParent, lpRect);
    default: return FALSE;
  }
}

BOOL COleControl::ActivateInPlace(HWND, LPCRECT lpRect) {
  if (m_bInPlaceActive && m_hWnd) {
    ShowWindow(SW_SHOWNA);
    return TRUE;
  }
  auto site = m_pClientSite.As<IOleInPlaceSite>(IID_IOleInPlaceSite);
  if (!site) return FALSE;
  BOOL ok = FALSE;
  HWND parent = nullptr;
  RECT pos = {0, 0, m_cxExtent, m_cyExtent}, clip;
  if (site->CanInPlaceActivate() == S_OK && SUCCEEDED(site->GetWindow(&parent)) && parent) {
    if (lpRect) pos = *lpRect;
    IOleInPlaceFrame* frame = nullptr;
    IOleInPlaceUIWindow* doc = nullptr;
    site->GetWindowContext(&frame, &doc, &pos, &clip, nullptr);
    // Interfaces this layer knows only by name: released as what they are underneath.
    if (frame) reinterpret_cast<IUnknown*>(frame)->Release();
    if (doc) reinterpret_cast<IUnknown*>(doc)->Release();
    site->OnInPlaceActivate();
    m_hWndContainer = parent;
    m_bInPlaceActive = TRUE;
    ok = CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, pos.left, pos.top,
                  pos.right - pos.left, pos.bottom - pos.top, parent, nullptr, nullptr);
    if (!ok) {
      m_bInPlaceActive = FALSE;
      m_hWndContainer = nullptr;
      site->OnInPlaceDeactivate();
    } else {
      m_cxExtent = pos.right - pos.left;
      m_cyExtent = pos.bottom - pos.top;
    }
  }
  return ok;
}

void COleControl::InPlaceDeactivate() {
  if (!m_bInPlaceActive) return;
  m_bInPlaceActive = FALSE;
  if (m_hWnd) DestroyWindow();
  m_hWndContainer = nullptr;
  if (auto site = m_pClientSite.As<IOleInPlaceSite>(IID_IOleInPlaceSite)) site->OnInPlaceDeactivate();
}

// ---- Stock properties

void COleControl::SetBackColor(OLE_COLOR clr) {
  m_clrBackColor = clr;
  SetModifiedFlag();
  BoundPropertyChanged(DISPID_BACKCOLOR);
  InvalidateControl();
}

void COleControl::SetForeColor(OLE_COLOR clr) {
  m_clrForeColor = clr;
  SetModifiedFlag();
  BoundPropertyChanged(DISPID_FORECOLOR);
  InvalidateControl();
}

void COleControl::SetEnabled(BOOL bEnabled) {
  m_bEnabled = bEnabled != FALSE;
  if (m_hWnd) EnableWindow(m_bEnabled);
  SetModifiedFlag();
  BoundPropertyChanged(DISPID_ENABLED);
  InvalidateControl();
}

COLORREF COleControl::TranslateColor(OLE_COLOR clrColor, HPALETTE) {
  if (clrColor & 0x80000000) return GetSysColor(int(clrColor & 0xFF));
  return COLORREF(clrColor & 0x00FFFFFF);
}

void COleControl::ThrowError(SCODE sc, LPCTSTR pszDescription, UINT) { AfxThrowOleDispatchScode(sc, pszDescription); }
