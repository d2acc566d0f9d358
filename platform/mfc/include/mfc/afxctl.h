#pragma once
// ActiveX controls of the framework: COleControl with property exchange, events, per-property
// browsing, verbs and property pages; COlePropertyPage; and the container side: control sites,
// controls created from dialog templates, and event-sink maps.
#include <typeinfo>
#include <vector>

#include "mfc/afxdisp_ctl.h"
#include "ole/comptr.h"
#include "ole/connpt.h"

void AfxOleLockApp();
void AfxOleUnlockApp();

// ---- Property exchange --------------------------------------------------------------------------

// One pass of a control's DoPropExchange: loading (from a stream, a property bag, or the defaults
// of a new control) or saving.
class CPropExchange {
 public:
  virtual ~CPropExchange() = default;
  BOOL IsLoading() const { return m_bLoading; }
  DWORD GetVersion() const { return m_dwVersion; }
  // Exchanges the persistence version: saving writes dwVersionDefault; loading reads it into
  // dwVersionLoaded (the default for a new control). FALSE when the stored version cannot be read.
  virtual BOOL ExchangeVersion(DWORD& dwVersionLoaded, DWORD dwVersionDefault, BOOL bConvert);
  // pvProp points at the C type of vtProp (VT_I2 short, VT_I4 LONG, VT_BOOL BOOL, VT_R4 float, VT_R8
  // double, VT_BSTR CString); pvDefault at the same type or NULL. Loading a missing property gives
  // the default (the value stays when there is none). FALSE when the property could not be moved.
  virtual BOOL ExchangeProp(LPCTSTR pszPropName, VARTYPE vtProp, void* pvProp, const void* pvDefault) = 0;

 protected:
  BOOL m_bLoading = FALSE;
  DWORD m_dwVersion = 0;
};

BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue);
BOOL PX_Bool(CPropExchange* pPX, LPCTSTR pszPropName, BOOL& bValue, BOOL bDefault);
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, short& sValue);
BOOL PX_Short(CPropExchange* pPX, LPCTSTR pszPropName, short& sValue, short sDefault);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue);
BOOL PX_Long(CPropExchange* pPX, LPCTSTR pszPropName, LONG& lValue, LONG lDefault);
BOOL PX_ULong(CPropExchange* pPX, LPCTSTR pszPropName, ULONG& ulValue, ULONG ulDefault);
BOOL PX_Float(CPropExchange* pPX, LPCTSTR pszPropName, float& floatValue);
BOOL PX_Float(CPropExchange* pPX, LPCTSTR pszPropName, float& floatValue, float floatDefault);
BOOL PX_Double(CPropExchange* pPX, LPCTSTR pszPropName, double& doubleValue);
BOOL PX_Double(CPropExchange* pPX, LPCTSTR pszPropName, double& doubleValue, double doubleDefault);
BOOL PX_String(CPropExchange* pPX, LPCTSTR pszPropName, CString& strValue);
BOOL PX_String(CPropExchange* pPX, LPCTSTR pszPropName, CString& strValue, LPCTSTR lpszDefault);
BOOL PX_Color(CPropExchange* pPX, LPCTSTR pszPropName, OLE_COLOR& clrValue);
BOOL PX_Color(CPropExchange* pPX, LPCTSTR pszPropName, OLE_COLOR& clrValue, OLE_COLOR clrDefault);

// Persistence version: major in the high word.
#define MAKELONG_VERSION(major, minor) MAKELONG(minor, major)

// ---- Event maps ---------------------------------------------------------------------------------
struct AFX_EVENTMAP_ENTRY {
  LPCSTR pszName;  // null ends the map
  DISPID dispid;   // DISPID_UNKNOWN: place in the map + 1
  LPCSTR pvtsParams;
};
struct AFX_EVENTMAP {
  const AFX_EVENTMAP* (*pfnGetBaseMap)();
  const AFX_EVENTMAP_ENTRY* lpEntries;
};

#define DECLARE_EVENT_MAP()                                \
 public:                                                   \
  static const AFX_EVENTMAP* PASCAL GetThisEventMap();     \
  const AFX_EVENTMAP* GetEventMap() const override;        \
                                                           \
 private:

#define BEGIN_EVENT_MAP(theClass, baseClass)                                       \
  const AFX_EVENTMAP* theClass::GetEventMap() const { return GetThisEventMap(); }  \
  const AFX_EVENTMAP* PASCAL theClass::GetThisEventMap() {                         \
    typedef baseClass TheBaseClass;                                                \
    static const AFX_EVENTMAP_ENTRY _eventEntries[] = {

#define END_EVENT_MAP()                                                                      \
  {nullptr, DISPID_UNKNOWN, nullptr}};                                                       \
  static const AFX_EVENTMAP eventMap = {&TheBaseClass::GetThisEventMap, &_eventEntries[0]}; \
  return &eventMap;                                                                          \
  }

#define EVENT_CUSTOM(pszName, pfnFire, vtsParams) {pszName, DISPID_UNKNOWN, vtsParams},
#define EVENT_CUSTOM_ID(pszName, dispid, pfnFire, vtsParams) {pszName, dispid, vtsParams},
#define EVENT_PARAM(vtsParams) (BYTE*)(vtsParams)
#define EVENT_STOCK_DBLCLICK() {"DblClick", DISPID_DBLCLICK, VTS_NONE},

// ---- Property page lists ------------------------------------------------------------------------
#define DECLARE_PROPPAGEIDS(class_name) \
 protected:                             \
  LPCLSID GetPropPageIDs(ULONG& cPropPages) override;

#define BEGIN_PROPPAGEIDS(class_name, count)               \
  static CLSID _##class_name##_pages[count];               \
  LPCLSID class_name::GetPropPageIDs(ULONG& cPropPages) {  \
    if (!_##class_name##_pages[0].Data1) {                 \
      int _iPage = 0;                                      \
      CLSID* _pages = _##class_name##_pages;

#define PROPPAGEID(clsid) _pages[_iPage++] = clsid;

#define END_PROPPAGEIDS(class_name)                                                         \
  (void)_iPage;                                                                             \
  }                                                                                         \
  cPropPages = sizeof(_##class_name##_pages) / sizeof(CLSID);                               \
  return _##class_name##_pages;                                                             \
  }

// ---- COleControl --------------------------------------------------------------------------------

// A control: an automation object with a window that is created as a child of its container's
// window on in-place activation. Its state persists through DoPropExchange (stream and property
// bag), it fires events to the container's sinks and tells the container of property changes.
class COleControl : public CWnd {
  DECLARE_DYNAMIC(COleControl)
 public:
  COleControl();
  ~COleControl() override;

  // ---- Set-up by the derived class's constructor
  void InitializeIIDs(const IID* piidPrimary, const IID* piidEvents);
  void SetInitialSize(int cx, int cy);

  // ---- Drawing
  virtual void OnDraw(CDC* pdc, const CRect& rcBounds, const CRect& rcInvalid);
  // Repaints the control's window (all of it when lpRect is NULL).
  void InvalidateControl(LPCRECT lpRect = nullptr, BOOL bErase = TRUE);

  // ---- Persistence
  virtual void DoPropExchange(CPropExchange* pPX);
  // The control's persistence version, first in its DoPropExchange.
  void ExchangeVersion(CPropExchange* pPX, DWORD dwVersionDefault, BOOL bConvert = TRUE);
  // A new control: the exchange runs with the defaults.
  virtual void OnResetState();
  void SetModifiedFlag(BOOL bModified = TRUE) { m_bModified = bModified; }
  BOOL IsModified() const { return m_bModified; }

  // ---- Ambient properties (the container site's IDispatch)
  BOOL GetAmbientProperty(DISPID dispid, VARTYPE vtProp, void* pvProp);
  // TRUE when the container is in run mode, or cannot tell.
  BOOL AmbientUserMode();
  CString AmbientDisplayName();
  virtual void OnAmbientPropertyChange(DISPID dispid);

  // ---- Property notifications to the container's IPropertyNotifySink
  void BoundPropertyChanged(DISPID dispid);
  // FALSE when a sink refuses the edit.
  BOOL BoundPropertyRequestEdit(DISPID dispid);

  // ---- Events: the arguments follow pbParams (see COleDispatchDriver::InvokeHelper).
  void AFX_CDECL FireEvent(DISPID dispid, BYTE* pbParams, ...);
  void FireDblClick();
  BOOL AreEventsFrozen() const { return m_nFreezeEvents > 0; }

  // ---- Per-property browsing
  virtual BOOL OnGetDisplayString(DISPID dispid, CString& strValue);
  virtual BOOL OnGetPredefinedStrings(DISPID dispid, CStringArray* pStringArray, CDWordArray* pCookieArray);
  virtual BOOL OnGetPredefinedValue(DISPID dispid, DWORD dwCookie, VARIANT* lpvarOut);
  virtual BOOL OnMapPropertyToPage(DISPID dispid, LPCLSID lpclsid, BOOL* pbPageOptional);

  // ---- Verbs and pages
  // Runs a verb: OLEIVERB_SHOW, OLEIVERB_INPLACEACTIVATE, OLEIVERB_UIACTIVATE and OLEIVERB_PRIMARY
  // activate in place; OLEIVERB_PROPERTIES shows the property pages.
  virtual BOOL OnDoVerb(LONG iVerb, LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  // Asks the container to show the control's property frame (IOleControlSite::ShowPropertyFrame).
  virtual BOOL OnProperties(LPMSG lpMsg, HWND hWndParent, LPCRECT lpRect);
  virtual LPCLSID GetPropPageIDs(ULONG& cPropPages);
  // The class's own identifier (IMPLEMENT_OLECREATE_EX defines it).
  virtual HRESULT GetClassID(LPCLSID pclsid) = 0;
  virtual DWORD GetMiscStatus() { return m_dwMiscStatus; }
  // The control's type library; without one the dispatch map describes the control.
  virtual HRESULT GetTypeLib(LCID, LPTYPELIB* ppTypeLib) {
    if (ppTypeLib) *ppTypeLib = nullptr;
    return TYPE_E_CANTLOADLIBRARY;
  }
  void SetMiscStatus(DWORD dwMiscStatus) { m_dwMiscStatus = dwMiscStatus; }

  // ---- Container
  LPOLECLIENTSITE GetClientSite() { return m_pClientSite.get(); }
  BOOL IsInPlaceActive() const { return m_bInPlaceActive; }
  // The container's window of the in-place site (NULL when not in place).
  HWND GetContainerWindow() const { return m_hWndContainer; }
  // Ends in-place activation: the window is destroyed.
  void InPlaceDeactivate();
  void GetControlSize(int* pcx, int* pcy) const;
  BOOL SetControlSize(int cx, int cy);

  // ---- Stock properties (DISP_STOCKPROP_*): a put stores the value, marks the control modified,
  // notifies the container and repaints.
  OLE_COLOR GetBackColor() { return m_clrBackColor; }
  void SetBackColor(OLE_COLOR clr);
  OLE_COLOR GetForeColor() { return m_clrForeColor; }
  void SetForeColor(OLE_COLOR clr);
  BOOL GetEnabled() { return m_bEnabled; }
  void SetEnabled(BOOL bEnabled);
  // The control's window (0 when not in place).
  OLE_HANDLE GetHwnd() { return OLE_HANDLE(reinterpret_cast<UINT_PTR>(m_hWnd)); }
  // A colour as drawn: system colours (high bit set, index in the low byte) become their RGB.
  COLORREF TranslateColor(OLE_COLOR clrColor, HPALETTE hpal = nullptr);

  // The stock error of a property that cannot be set or read (CTL_E_SETNOTSUPPORTED ...).
  [[noreturn]] void ThrowError(SCODE sc, LPCTSTR pszDescription = nullptr, UINT nHelpID = 0);

  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()

 public:
  static const AFX_EVENTMAP* PASCAL GetThisEventMap();
  virtual const AFX_EVENTMAP* GetEventMap() const;
  // The member id of an event of the map (DISPID_UNKNOWN when none).
  DISPID EventIdOfName(LPCSTR pszName) const;
  virtual void OnFinalRelease();

 protected:
  afx_msg void OnPaint();
  afx_msg void OnLButtonDblClk(UINT nFlags, CPoint point);
  DECLARE_MESSAGE_MAP()

 public:
  BEGIN_INTERFACE_PART(OleObject, IOleObject)
    STDMETHOD(SetClientSite)(IOleClientSite* pClientSite) override;
    STDMETHOD(GetClientSite)(IOleClientSite** ppClientSite) override;
    STDMETHOD(SetHostNames)(LPCOLESTR, LPCOLESTR) override;
    STDMETHOD(Close)(DWORD dwSaveOption) override;
    STDMETHOD(SetMoniker)(DWORD, IMoniker*) override;
    STDMETHOD(GetMoniker)(DWORD, DWORD, IMoniker**) override;
    STDMETHOD(InitFromData)(IDataObject*, BOOL, DWORD) override;
    STDMETHOD(GetClipboardData)(DWORD, IDataObject**) override;
    STDMETHOD(DoVerb)(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex, HWND hwndParent,
                      LPCRECT lprcPosRect) override;
    STDMETHOD(EnumVerbs)(IEnumOLEVERB**) override;
    STDMETHOD(Update)() override;
    STDMETHOD(IsUpToDate)() override;
    STDMETHOD(GetUserClassID)(CLSID* pClsid) override;
    STDMETHOD(GetUserType)(DWORD, LPOLESTR*) override;
    STDMETHOD(SetExtent)(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHOD(GetExtent)(DWORD dwDrawAspect, SIZEL* psizel) override;
    STDMETHOD(Advise)(IAdviseSink*, DWORD*) override;
    STDMETHOD(Unadvise)(DWORD) override;
    STDMETHOD(EnumAdvise)(IEnumSTATDATA**) override;
    STDMETHOD(GetMiscStatus)(DWORD dwAspect, DWORD* pdwStatus) override;
    STDMETHOD(SetColorScheme)(void*) override;
  END_INTERFACE_PART(OleObject)

  BEGIN_INTERFACE_PART(OleInPlaceObject, IOleInPlaceObject)
    STDMETHOD(GetWindow)(HWND* phwnd) override;
    STDMETHOD(ContextSensitiveHelp)(BOOL) override;
    STDMETHOD(InPlaceDeactivate)() override;
    STDMETHOD(UIDeactivate)() override;
    STDMETHOD(SetObjectRects)(LPCRECT lprcPosRect, LPCRECT lprcClipRect) override;
    STDMETHOD(ReactivateAndUndo)() override;
  END_INTERFACE_PART(OleInPlaceObject)

  BEGIN_INTERFACE_PART(OleControl, IOleControl)
    STDMETHOD(GetControlInfo)(CONTROLINFO* pCI) override;
    STDMETHOD(OnMnemonic)(MSG*) override;
    STDMETHOD(OnAmbientPropertyChange)(DISPID dispID) override;
    STDMETHOD(FreezeEvents)(BOOL bFreeze) override;
  END_INTERFACE_PART(OleControl)

  BEGIN_INTERFACE_PART(PersistStreamInit, IPersistStreamInit)
    STDMETHOD(GetClassID)(CLSID* pClassID) override;
    STDMETHOD(IsDirty)() override;
    STDMETHOD(Load)(LPSTREAM pStm) override;
    STDMETHOD(Save)(LPSTREAM pStm, BOOL fClearDirty) override;
    STDMETHOD(GetSizeMax)(ULARGE_INTEGER* pCbSize) override;
    STDMETHOD(InitNew)() override;
  END_INTERFACE_PART(PersistStreamInit)

  BEGIN_INTERFACE_PART(PersistPropertyBag, IPersistPropertyBag)
    STDMETHOD(GetClassID)(CLSID* pClassID) override;
    STDMETHOD(InitNew)() override;
    STDMETHOD(Load)(IPropertyBag* pPropBag, IErrorLog* pErrorLog) override;
    STDMETHOD(Save)(IPropertyBag* pPropBag, BOOL fClearDirty, BOOL fSaveAllProperties) override;
  END_INTERFACE_PART(PersistPropertyBag)

  BEGIN_INTERFACE_PART(PerPropertyBrowsing, IPerPropertyBrowsing)
    STDMETHOD(GetDisplayString)(DISPID dispID, BSTR* pBstr) override;
    STDMETHOD(MapPropertyToPage)(DISPID dispID, CLSID* pClsid) override;
    STDMETHOD(GetPredefinedStrings)(DISPID dispID, CALPOLESTR* pCaStringsOut, CADWORD* pCaCookiesOut) override;
    STDMETHOD(GetPredefinedValue)(DISPID dispID, DWORD dwCookie, VARIANT* pVarOut) override;
  END_INTERFACE_PART(PerPropertyBrowsing)

  BEGIN_INTERFACE_PART(SpecifyPropertyPages, ISpecifyPropertyPages)
    STDMETHOD(GetPages)(CAUUID* pPages) override;
  END_INTERFACE_PART(SpecifyPropertyPages)

  ConnectionPointContainer m_xConnPtContainer;

 protected:
  HRESULT LoadFromStream(LPSTREAM pStm);
  HRESULT SaveToStream(LPSTREAM pStm);
  BOOL ActivateInPlace(HWND hWndParent, LPCRECT lpRect);
  DISPID ResolveEventId(const AFX_EVENTMAP_ENTRY* entry, size_t index) const;

  IID m_iidPrimary = GUID_NULL;
  IID m_iidEvents = GUID_NULL;
  ConnectionPoint* m_pEventPoint = nullptr;
  ConnectionPoint* m_pNotifyPoint = nullptr;
  ComPtr<IOleClientSite> m_pClientSite;
  ComPtr<IDispatch> m_pAmbientDispatch;
  HWND m_hWndContainer = nullptr;
  BOOL m_bModified = FALSE;
  BOOL m_bInPlaceActive = FALSE;
  BOOL m_bInitialized = FALSE;
  int m_nFreezeEvents = 0;
  DWORD m_dwVersionLoaded = 0;
  DWORD m_dwMiscStatus = OLEMISC_ACTIVATEWHENVISIBLE | OLEMISC_SETCLIENTSITEFIRST | OLEMISC_INSIDEOUT |
                         OLEMISC_CANTLINKINSIDE | OLEMISC_RECOMPOSEONRESIZE;
  OLE_COLOR m_clrBackColor = 0x80000000 | COLOR_WINDOW;
  OLE_COLOR m_clrForeColor = 0x80000000 | COLOR_WINDOWTEXT;
  BOOL m_bEnabled = TRUE;
  int m_cxExtent = 100;
  int m_cyExtent = 50;
};

#define DISP_STOCKPROP_BACKCOLOR() \
  DISP_PROPERTY_EX_ID(COleControl, "BackColor", DISPID_BACKCOLOR, GetBackColor, SetBackColor, VT_I4)
#define DISP_STOCKPROP_FORECOLOR() \
  DISP_PROPERTY_EX_ID(COleControl, "ForeColor", DISPID_FORECOLOR, GetForeColor, SetForeColor, VT_I4)
#define DISP_STOCKPROP_ENABLED() \
  DISP_PROPERTY_EX_ID(COleControl, "Enabled", DISPID_ENABLED, GetEnabled, SetEnabled, VT_BOOL)
#define DISP_STOCKPROP_HWND() DISP_PROPERTY_EX_ID(COleControl, "hWnd", DISPID_HWND, GetHwnd, SetNotSupported, VT_I4)

// The properties verb of a control's message map. OnDoVerb routes OLEIVERB_PROPERTIES to
// OnProperties for every control, so the entry adds nothing to the map.
#define AFX_IDS_VERB_PROPERTIES 0xF101
#define ON_OLEVERB(idsVerbName, memberFxn)

// ---- COlePropertyPage ---------------------------------------------------------------------------

// A page of a control's property frame: a child dialog from a template of the page's own module
// with a caption string of that module. The frame (OleCreatePropertyFrame) reaches it through
// IPropertyPage; the page's objects are the controls it edits.
class COlePropertyPage : public CDialog {
  DECLARE_DYNAMIC(COlePropertyPage)
 public:
  COlePropertyPage(UINT idDlg, UINT idCaption);
  ~COlePropertyPage() override;

  CString GetCaption() const;
  UINT GetTemplateID() const { return m_idDlg; }
  // The objects edited (each AddRef'd while held).
  void SetObjects(ULONG nObjects, IDispatch* const* ppObjects);
  // A changed page tells its frame (Apply becomes available).
  void SetModifiedFlag(BOOL bModified = TRUE);
  BOOL IsModified() const { return m_bPageModified; }
  virtual HRESULT GetClassID(LPCLSID pclsid) = 0;
  void OnFinalRelease();

  DECLARE_DISPATCH_MAP()
  DECLARE_INTERFACE_MAP()

 public:
  BEGIN_INTERFACE_PART(PropertyPage, IPropertyPage)
    STDMETHOD(SetPageSite)(IPropertyPageSite* pPageSite) override;
    STDMETHOD(Activate)(HWND hWndParent, LPCRECT pRect, BOOL bModal) override;
    STDMETHOD(Deactivate)() override;
    STDMETHOD(GetPageInfo)(PROPPAGEINFO* pPageInfo) override;
    STDMETHOD(SetObjects)(ULONG cObjects, IUnknown** ppUnk) override;
    STDMETHOD(Show)(UINT nCmdShow) override;
    STDMETHOD(Move)(LPCRECT pRect) override;
    STDMETHOD(IsPageDirty)() override;
    STDMETHOD(Apply)() override;
    STDMETHOD(Help)(LPCOLESTR pszHelpDir) override;
    STDMETHOD(TranslateAccelerator)(MSG* pMsg) override;
  END_INTERFACE_PART(PropertyPage)

 protected:
  LPCDLGTEMPLATE PageTemplate() const;
  UINT m_idDlg;
  UINT m_idCaption;
  BOOL m_bPageModified = FALSE;
  std::vector<ComPtr<IDispatch>> m_objects;
  ComPtr<IPropertyPageSite> m_pPageSite;
};

// Property post-processing at the end of a page's DoDataExchange.
void DDP_PostProcessing(CDataExchange* pDX);

// ---- Control containment ------------------------------------------------------------------------

class COleControlSite;

// Event-sink maps of a container window: ON_EVENT routes an event of the control with that id to a
// member of the container taking the event's parameters (VTS_ types as in dispatch maps).
typedef HRESULT (*AFX_SINKCALL)(CCmdTarget* pTarget, VARIANT** inputs, UINT count);
struct AFX_EVENTSINKMAP_ENTRY {
  UINT nCtlID;     // 0 ends the map
  DISPID dispid;
  LPCSTR pvtsParams;
  AFX_SINKCALL pfn;
};
struct AFX_EVENTSINKMAP {
  const AFX_EVENTSINKMAP* (*pfnGetBaseMap)();
  const AFX_EVENTSINKMAP_ENTRY* lpEntries;
};

namespace mfc::ctl {
// Sink maps are found by the container object's dynamic type.
struct SinkMapRegistration {
  SinkMapRegistration(const std::type_info& type, const AFX_EVENTSINKMAP* (*getMap)());
  ~SinkMapRegistration();
  const std::type_info* type;
};
const AFX_EVENTSINKMAP* FindSinkMap(const CCmdTarget* pContainer);
// The handler's exceptions go to the site, which reports them per event.
template <auto pfn>
HRESULT SinkCall(CCmdTarget* t, VARIANT** in, UINT n) {
  return mfc::disp::Call<false>(t, pfn, in, n, nullptr, VT_EMPTY);
}
template <class T>
const AFX_EVENTSINKMAP* BaseSinkMap() {
  if constexpr (requires { T::GetThisEventSinkMap(); }) {
    return T::GetThisEventSinkMap();
  } else {
    return nullptr;
  }
}
}  // namespace mfc::ctl

#define DECLARE_EVENTSINK_MAP()                               \
 public:                                                      \
  static const AFX_EVENTSINKMAP* PASCAL GetThisEventSinkMap(); \
                                                              \
 private:

#define BEGIN_EVENTSINK_MAP(theClass, baseClass)                                               \
  static const mfc::ctl::SinkMapRegistration _sinkRegistration_##theClass(                      \
      typeid(theClass), &theClass::GetThisEventSinkMap);                                       \
  const AFX_EVENTSINKMAP* PASCAL theClass::GetThisEventSinkMap() {                             \
    typedef baseClass TheBaseClass;                                                            \
    static const AFX_EVENTSINKMAP_ENTRY _eventsinkEntries[] = {

// The handler returns void or BOOL (TRUE: handled).
#define ON_EVENT(theClass, id, dispid, pfnHandler, vtsParams) \
  {UINT(id), DISPID(dispid), vtsParams, &mfc::ctl::SinkCall<&theClass::pfnHandler>},

#define END_EVENTSINK_MAP()                                                                                  \
  {0, DISPID_UNKNOWN, nullptr, nullptr}};                                                                    \
  static const AFX_EVENTSINKMAP eventsinkMap = {&mfc::ctl::BaseSinkMap<TheBaseClass>, &_eventsinkEntries[0]}; \
  return &eventsinkMap;                                                                                      \
  }

// A container's site for one control: the control's client site, in-place site, control site,
// ambient properties (IDispatch) and property-change sink, and the sink of the control's events,
// which it passes to the container's event-sink map. The site lives in a window of the container
// (the site window, with the control's id); the control's own window is made as its child.
class COleControlSite {
 public:
  // Creates the control, gives it this site, loads its state (pPersist, or a new state) and
  // activates it in place in hWndSite.
  // The container is the CCmdTarget of the site window's parent (its event-sink map receives the
  // control's events). NULL when the control cannot be created or activated.
  static COleControlSite* Create(REFCLSID clsid, HWND hWndSite, UINT nID, LPSTREAM pPersist = nullptr);
  // The site of a site window or of a control window inside it (NULL when none).
  static COleControlSite* FromHandle(HWND hWnd);

  IDispatch* GetDispatch() const { return m_pDispatch.get(); }
  IUnknown* GetControlUnknown() const { return m_pObject.get(); }
  HWND GetSiteWindow() const { return m_hWndSite; }
  HWND GetControlWindow() const;
  UINT GetID() const { return m_nID; }

  // Ambient properties answered to the control.
  void SetUserMode(BOOL bUserMode);
  BOOL GetUserMode() const { return m_bUserMode; }
  void SetAmbientDisplayName(LPCTSTR name) { m_strDisplayName = name; }
  // Property changes the control reported (IPropertyNotifySink), oldest first.
  const std::vector<DISPID>& ChangedProperties() const { return m_changed; }
  void ClearChangedProperties() { m_changed.clear(); }
  // Answer of OnRequestEdit (S_OK allows, S_FALSE refuses).
  void SetRequestEditAnswer(HRESULT hr) { m_hrRequestEdit = hr; }

  void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                     va_list argList);
  void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);
  void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp);
  void SetProperty(DISPID dwDispID, VARTYPE vtProp, ...);

  // Saves the control's state into a stream (IPersistStreamInit).
  HRESULT SaveState(LPSTREAM pStm);
  // Deactivates the control, breaks the connections and releases it.
  void Destroy();

  ~COleControlSite();
  COleControlSite(const COleControlSite&) = delete;
  COleControlSite& operator=(const COleControlSite&) = delete;

 private:
  class Parts;
  COleControlSite(HWND hWndSite, UINT nID);
  HRESULT OnEvent(DISPID dispid, DISPPARAMS* pParams);

  Parts* m_pParts;
  HWND m_hWndSite;
  UINT m_nID;
  ComPtr<IUnknown> m_pObject;
  ComPtr<IDispatch> m_pDispatch;
  ComPtr<IOleObject> m_pOleObject;
  ComPtr<IOleInPlaceObject> m_pInPlaceObject;
  IID m_iidEvents = GUID_NULL;
  DWORD m_dwEventSink = 0;
  DWORD m_dwNotifySink = 0;
  BOOL m_bUserMode = TRUE;
  CString m_strDisplayName;
  std::vector<DISPID> m_changed;
  HRESULT m_hrRequestEdit = S_OK;
  friend class Parts;
};

// The window class that dialog templates name for a control: an item whose class is the control's
// class identifier in braces ("{3AAED2B6-...}") becomes a site window that creates the control
// (its own window a child of the site window, filling it). Registered for a class id by
// AfxRegisterControlSiteClass; AfxEnableControlContainer must have been called.
BOOL AfxRegisterControlSiteClass(REFCLSID clsid);
// Registers the site class of every control class in the registry (HKCR\CLSID\{...}\Control),
// for containers whose templates name any installed control. Returns how many there are.
int AfxRegisterControlSiteClasses();

// Creates a control through containment in a new site window of pParentWnd, and attaches pWnd
// (the wrapper, usually a CWnd subclass with the control's members) to the site window.
BOOL AfxCreateControl(CWnd* pWnd, REFCLSID clsid, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                      CWnd* pParentWnd, UINT nID, LPSTREAM pPersist = nullptr);

// Calls of a control wrapper window (the framework's CWnd::InvokeHelper, GetProperty,
// SetProperty for controls): through the site of the wrapper's window. No site: COleException
// with E_UNEXPECTED.
void AfxControlInvokeHelper(CWnd* pWnd, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                            const BYTE* pbParamInfo, ...);
void AfxControlGetProperty(CWnd* pWnd, DISPID dwDispID, VARTYPE vtProp, void* pvProp);
void AfxControlSetProperty(CWnd* pWnd, DISPID dwDispID, VARTYPE vtProp, ...);
COleControlSite* AfxGetControlSite(const CWnd* pWnd);
