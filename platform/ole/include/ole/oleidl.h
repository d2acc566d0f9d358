#pragma once
// The control containment protocol: the interfaces a control and its container's site speak to
// each other (embedding, in-place activation, ambient properties, per-property browsing and
// property pages), with their constants.
#include "ole/ole.h"
#include "win32/winuser.h"

// ---- Types and constants ------------------------------------------------------------------------
typedef DWORD OLE_COLOR;
typedef UINT OLE_HANDLE;
typedef LONG OLE_XPOS_PIXELS;
typedef LONG OLE_YPOS_PIXELS;

// Counted arrays handed out in task memory (the receiver frees pElems and each string).
typedef struct tagCAUUID {
  ULONG cElems;
  GUID* pElems;
} CAUUID;
typedef struct tagCALPOLESTR {
  ULONG cElems;
  LPOLESTR* pElems;
} CALPOLESTR;
typedef struct tagCADWORD {
  ULONG cElems;
  DWORD* pElems;
} CADWORD;

typedef struct tagOLEVERB {
  LONG lVerb;
  LPOLESTR lpszVerbName;
  DWORD fuFlags;
  DWORD grfAttribs;
} OLEVERB, *LPOLEVERB;

#define OLEIVERB_PRIMARY (0L)
#define OLEIVERB_SHOW (-1L)
#define OLEIVERB_OPEN (-2L)
#define OLEIVERB_HIDE (-3L)
#define OLEIVERB_UIACTIVATE (-4L)
#define OLEIVERB_INPLACEACTIVATE (-5L)
#define OLEIVERB_DISCARDUNDOSTATE (-6L)
#define OLEIVERB_PROPERTIES (-7L)

#define OLEMISC_RECOMPOSEONRESIZE 0x1
#define OLEMISC_ONLYICONIC 0x2
#define OLEMISC_INSERTNOTREPLACE 0x4
#define OLEMISC_STATIC 0x8
#define OLEMISC_CANTLINKINSIDE 0x10
#define OLEMISC_CANLINKBYOLE1 0x20
#define OLEMISC_ISLINKOBJECT 0x40
#define OLEMISC_INSIDEOUT 0x80
#define OLEMISC_ACTIVATEWHENVISIBLE 0x100
#define OLEMISC_RENDERINGISDEVICEINDEPENDENT 0x200
#define OLEMISC_INVISIBLEATRUNTIME 0x400
#define OLEMISC_ALWAYSRUN 0x800
#define OLEMISC_ACTSLIKEBUTTON 0x1000
#define OLEMISC_ACTSLIKELABEL 0x2000
#define OLEMISC_NOUIACTIVATE 0x4000
#define OLEMISC_ALIGNABLE 0x8000
#define OLEMISC_SIMPLEFRAME 0x10000
#define OLEMISC_SETCLIENTSITEFIRST 0x20000

#define DVASPECT_CONTENT 1

#define OLECLOSE_SAVEIFDIRTY 0
#define OLECLOSE_NOSAVE 1
#define OLECLOSE_PROMPTSAVE 2

// Standard member ids of controls.
#define DISPID_AUTOSIZE (-500)
#define DISPID_BACKCOLOR (-501)
#define DISPID_BORDERCOLOR (-503)
#define DISPID_ENABLED (-514)
#define DISPID_FONT (-512)
#define DISPID_FORECOLOR (-513)
#define DISPID_HWND (-515)
#define DISPID_TEXT (-517)
#define DISPID_CAPTION (-518)
#define DISPID_REFRESH (-550)
#define DISPID_DOCLICK (-551)
#define DISPID_ABOUTBOX (-552)
#define DISPID_CLICK (-600)
#define DISPID_DBLCLICK (-601)
#define DISPID_KEYDOWN (-602)
#define DISPID_KEYPRESS (-603)
#define DISPID_KEYUP (-604)
#define DISPID_MOUSEDOWN (-605)
#define DISPID_MOUSEMOVE (-606)
#define DISPID_MOUSEUP (-607)
#define DISPID_ERROREVENT (-608)

// Ambient properties, read through the site's IDispatch.
#define DISPID_AMBIENT_BACKCOLOR (-701)
#define DISPID_AMBIENT_DISPLAYNAME (-702)
#define DISPID_AMBIENT_FONT (-703)
#define DISPID_AMBIENT_FORECOLOR (-704)
#define DISPID_AMBIENT_LOCALEID (-705)
#define DISPID_AMBIENT_MESSAGEREFLECT (-706)
#define DISPID_AMBIENT_SCALEUNITS (-707)
#define DISPID_AMBIENT_TEXTALIGN (-708)
#define DISPID_AMBIENT_USERMODE (-709)
#define DISPID_AMBIENT_UIDEAD (-710)
#define DISPID_AMBIENT_SHOWGRABHANDLES (-711)
#define DISPID_AMBIENT_SHOWHATCHING (-712)
#define DISPID_AMBIENT_DISPLAYASDEFAULT (-713)
#define DISPID_AMBIENT_SUPPORTSMNEMONICS (-714)
#define DISPID_AMBIENT_AUTOCLIP (-715)
#define DISPID_AMBIENT_APPEARANCE (-716)

// Errors of controls (facility FACILITY_CONTROL, codes of the automation runtime); the set/get
// not-supported codes come with the platform's error codes.
#define CUSTOM_CTL_SCODE(code) MAKE_HRESULT(SEVERITY_ERROR, FACILITY_CONTROL, (code))
#define CTL_E_ILLEGALFUNCTIONCALL CUSTOM_CTL_SCODE(5)
#define CTL_E_OVERFLOW CUSTOM_CTL_SCODE(6)
#define CTL_E_OUTOFMEMORY CUSTOM_CTL_SCODE(7)
#define CTL_E_INVALIDPROPERTYVALUE CUSTOM_CTL_SCODE(380)
#define CTL_E_PERMISSIONDENIED CUSTOM_CTL_SCODE(70)
#define CTL_E_GETNOTSUPPORTEDATRUNTIME CUSTOM_CTL_SCODE(393)

#define PERPROP_E_NOPAGEAVAILABLE _HRESULT_TYPEDEF_(0x80040200L)
#define OLEOBJ_E_NOVERBS _HRESULT_TYPEDEF_(0x80040180L)
#define OLEOBJ_S_INVALIDVERB _HRESULT_TYPEDEF_(0x00040180L)

// ---- Interfaces ---------------------------------------------------------------------------------
interface IOleContainer;
interface IOleInPlaceFrame;
interface IOleInPlaceUIWindow;
interface IOleInPlaceActiveObject;
interface IEnumOLEVERB;
interface IDataObject;
interface IAdviseSink;
interface IEnumSTATDATA;
struct tagOIFI;
typedef struct tagOIFI OLEINPLACEFRAMEINFO;
typedef OLEINPLACEFRAMEINFO* LPOLEINPLACEFRAMEINFO;
typedef SIZE SIZEL;
typedef SIZEL* LPSIZEL;

DEFINE_GUID(IID_IOleClientSite, 0x00000118, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IOleClientSite : public IUnknown {
  STDMETHOD(SaveObject)() = 0;
  STDMETHOD(GetMoniker)(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
  STDMETHOD(GetContainer)(IOleContainer** ppContainer) = 0;
  STDMETHOD(ShowObject)() = 0;
  STDMETHOD(OnShowWindow)(BOOL fShow) = 0;
  STDMETHOD(RequestNewObjectLayout)() = 0;
};
typedef IOleClientSite* LPOLECLIENTSITE;

DEFINE_GUID(IID_IOleObject, 0x00000112, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IOleObject : public IUnknown {
  STDMETHOD(SetClientSite)(IOleClientSite* pClientSite) = 0;
  STDMETHOD(GetClientSite)(IOleClientSite** ppClientSite) = 0;
  STDMETHOD(SetHostNames)(LPCOLESTR szContainerApp, LPCOLESTR szContainerObj) = 0;
  STDMETHOD(Close)(DWORD dwSaveOption) = 0;
  STDMETHOD(SetMoniker)(DWORD dwWhichMoniker, IMoniker* pmk) = 0;
  STDMETHOD(GetMoniker)(DWORD dwAssign, DWORD dwWhichMoniker, IMoniker** ppmk) = 0;
  STDMETHOD(InitFromData)(IDataObject* pDataObject, BOOL fCreation, DWORD dwReserved) = 0;
  STDMETHOD(GetClipboardData)(DWORD dwReserved, IDataObject** ppDataObject) = 0;
  STDMETHOD(DoVerb)(LONG iVerb, LPMSG lpmsg, IOleClientSite* pActiveSite, LONG lindex,
                    HWND hwndParent, LPCRECT lprcPosRect) = 0;
  STDMETHOD(EnumVerbs)(IEnumOLEVERB** ppEnumOleVerb) = 0;
  STDMETHOD(Update)() = 0;
  STDMETHOD(IsUpToDate)() = 0;
  STDMETHOD(GetUserClassID)(CLSID* pClsid) = 0;
  STDMETHOD(GetUserType)(DWORD dwFormOfType, LPOLESTR* pszUserType) = 0;
  STDMETHOD(SetExtent)(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  STDMETHOD(GetExtent)(DWORD dwDrawAspect, SIZEL* psizel) = 0;
  STDMETHOD(Advise)(IAdviseSink* pAdvSink, DWORD* pdwConnection) = 0;
  STDMETHOD(Unadvise)(DWORD dwConnection) = 0;
  STDMETHOD(EnumAdvise)(IEnumSTATDATA** ppenumAdvise) = 0;
  STDMETHOD(GetMiscStatus)(DWORD dwAspect, DWORD* pdwStatus) = 0;
  STDMETHOD(SetColorScheme)(void* pLogpal) = 0;
};
typedef IOleObject* LPOLEOBJECT;

DEFINE_GUID(IID_IOleWindow, 0x00000114, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IOleWindow : public IUnknown {
  STDMETHOD(GetWindow)(HWND* phwnd) = 0;
  STDMETHOD(ContextSensitiveHelp)(BOOL fEnterMode) = 0;
};

DEFINE_GUID(IID_IOleInPlaceObject, 0x00000113, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IOleInPlaceObject : public IOleWindow {
  STDMETHOD(InPlaceDeactivate)() = 0;
  STDMETHOD(UIDeactivate)() = 0;
  STDMETHOD(SetObjectRects)(LPCRECT lprcPosRect, LPCRECT lprcClipRect) = 0;
  STDMETHOD(ReactivateAndUndo)() = 0;
};
typedef IOleInPlaceObject* LPOLEINPLACEOBJECT;

// In-place sites: GetWindowContext may hand out no frame and no document window (both NULL), as
// containers without menus or tool bars do.
DEFINE_GUID(IID_IOleInPlaceSite, 0x00000119, 0x0000, 0x0000, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46);
interface IOleInPlaceSite : public IOleWindow {
  STDMETHOD(CanInPlaceActivate)() = 0;
  STDMETHOD(OnInPlaceActivate)() = 0;
  STDMETHOD(OnUIActivate)() = 0;
  STDMETHOD(GetWindowContext)(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                              LPRECT lprcPosRect, LPRECT lprcClipRect,
                              LPOLEINPLACEFRAMEINFO lpFrameInfo) = 0;
  STDMETHOD(Scroll)(SIZE scrollExtant) = 0;
  STDMETHOD(OnUIDeactivate)(BOOL fUndoable) = 0;
  STDMETHOD(OnInPlaceDeactivate)() = 0;
  STDMETHOD(DiscardUndoState)() = 0;
  STDMETHOD(DeactivateAndUndo)() = 0;
  STDMETHOD(OnPosRectChange)(LPCRECT lprcPosRect) = 0;
};
typedef IOleInPlaceSite* LPOLEINPLACESITE;

typedef struct tagCONTROLINFO {
  ULONG cb;
  void* hAccel;
  USHORT cAccel;
  DWORD dwFlags;
} CONTROLINFO, *LPCONTROLINFO;

DEFINE_GUID(IID_IOleControl, 0xB196B288, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IOleControl : public IUnknown {
  STDMETHOD(GetControlInfo)(CONTROLINFO* pCI) = 0;
  STDMETHOD(OnMnemonic)(MSG* pMsg) = 0;
  STDMETHOD(OnAmbientPropertyChange)(DISPID dispID) = 0;
  STDMETHOD(FreezeEvents)(BOOL bFreeze) = 0;
};

DEFINE_GUID(IID_IOleControlSite, 0xB196B289, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IOleControlSite : public IUnknown {
  STDMETHOD(OnControlInfoChanged)() = 0;
  STDMETHOD(LockInPlaceActive)(BOOL fLock) = 0;
  STDMETHOD(GetExtendedControl)(IDispatch** ppDisp) = 0;
  STDMETHOD(TransformCoords)(void* pPtlHimetric, void* pPtfContainer, DWORD dwFlags) = 0;
  STDMETHOD(TranslateAccelerator)(MSG* pMsg, DWORD grfModifiers) = 0;
  STDMETHOD(OnFocus)(BOOL fGotFocus) = 0;
  STDMETHOD(ShowPropertyFrame)() = 0;
};

DEFINE_GUID(IID_ISpecifyPropertyPages, 0xB196B28B, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface ISpecifyPropertyPages : public IUnknown {
  STDMETHOD(GetPages)(CAUUID* pPages) = 0;
};

DEFINE_GUID(IID_IPerPropertyBrowsing, 0x376BD3AA, 0x3845, 0x101B, 0x84, 0xED, 0x08, 0x00, 0x2B, 0x2E, 0xC7, 0x13);
interface IPerPropertyBrowsing : public IUnknown {
  STDMETHOD(GetDisplayString)(DISPID dispID, BSTR* pBstr) = 0;
  STDMETHOD(MapPropertyToPage)(DISPID dispID, CLSID* pClsid) = 0;
  STDMETHOD(GetPredefinedStrings)(DISPID dispID, CALPOLESTR* pCaStringsOut, CADWORD* pCaCookiesOut) = 0;
  STDMETHOD(GetPredefinedValue)(DISPID dispID, DWORD dwCookie, VARIANT* pVarOut) = 0;
};

// ---- Property pages -----------------------------------------------------------------------------
typedef struct tagPROPPAGEINFO {
  ULONG cb;
  LPOLESTR pszTitle;  // task memory, freed by the receiver
  SIZE size;          // pixels
  LPOLESTR pszDocString;
  LPOLESTR pszHelpFile;
  DWORD dwHelpContext;
} PROPPAGEINFO, *LPPROPPAGEINFO;

#define PROPPAGESTATUS_DIRTY 0x01
#define PROPPAGESTATUS_VALIDATE 0x02
#define PROPPAGESTATUS_CLEAN 0x04

DEFINE_GUID(IID_IPropertyPageSite, 0xB196B28C, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IPropertyPageSite : public IUnknown {
  STDMETHOD(OnStatusChange)(DWORD dwFlags) = 0;
  STDMETHOD(GetLocaleID)(LCID* pLocaleID) = 0;
  STDMETHOD(GetPageContainer)(IUnknown** ppUnk) = 0;
  STDMETHOD(TranslateAccelerator)(MSG* pMsg) = 0;
};

DEFINE_GUID(IID_IPropertyPage, 0xB196B28D, 0xBAB4, 0x101A, 0xB6, 0x9C, 0x00, 0xAA, 0x00, 0x34, 0x1D, 0x07);
interface IPropertyPage : public IUnknown {
  STDMETHOD(SetPageSite)(IPropertyPageSite* pPageSite) = 0;
  STDMETHOD(Activate)(HWND hWndParent, LPCRECT pRect, BOOL bModal) = 0;
  STDMETHOD(Deactivate)() = 0;
  STDMETHOD(GetPageInfo)(PROPPAGEINFO* pPageInfo) = 0;
  STDMETHOD(SetObjects)(ULONG cObjects, IUnknown** ppUnk) = 0;
  STDMETHOD(Show)(UINT nCmdShow) = 0;
  STDMETHOD(Move)(LPCRECT pRect) = 0;
  STDMETHOD(IsPageDirty)() = 0;
  STDMETHOD(Apply)() = 0;
  STDMETHOD(Help)(LPCOLESTR pszHelpDir) = 0;
  STDMETHOD(TranslateAccelerator)(MSG* pMsg) = 0;
};

// A modal property frame over the objects: one tab per page (a row of tab buttons titled by the
// pages), the active page below them, and OK, Cancel and Apply. OK and Apply apply every page
// that reports changes. Pages that cannot be created are left out; none at all: E_FAIL.
// Returns once the frame is closed.
HRESULT OleCreatePropertyFrame(HWND hwndOwner, UINT x, UINT y, LPCOLESTR lpszCaption, ULONG cObjects,
                               IUnknown** ppUnk, ULONG cPages, const CLSID* pPageClsID, LCID lcid,
                               DWORD dwReserved, void* pvReserved);
// Ids of the frame's controls.
#define PROPFRAME_ID_APPLY 0x3021
#define PROPFRAME_ID_FIRSTTAB 0x3100
