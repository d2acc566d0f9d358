#pragma once
// Automation of command targets: dispatch maps, interface maps of nested interfaces, reference
// counting, class factories with registration, and the dispatch driver that calls an IDispatch.
//
// A command target takes part in automation by declaring DECLARE_DISPATCH_MAP() (an empty map is
// fine), which gives the class EnableAutomation, GetIDispatch, the External and Internal
// reference counting and SetNotSupported/GetNotSupported. Classes that declare nested interfaces
// (BEGIN_INTERFACE_PART) also declare DECLARE_INTERFACE_MAP(). An object starts with one
// reference; the last ExternalRelease calls the class's OnFinalRelease (a plain member or an
// override of a base's), which by default deletes the object.
#include <tuple>
#include <type_traits>
#include <utility>

#include "mfc/afxwnd.h"
#include "ole/dispatch.h"
#include "ole/oleidl.h"

// ---- Parameter type strings (one VARTYPE per byte) ----------------------------------------------
#define VTS_NONE ""
#define VTS_I2 "\x02"
#define VTS_I4 "\x03"
#define VTS_R4 "\x04"
#define VTS_R8 "\x05"
#define VTS_CY "\x06"
#define VTS_DATE "\x07"
#define VTS_BSTR "\x08"
#define VTS_DISPATCH "\x09"
#define VTS_SCODE "\x0A"
#define VTS_BOOL "\x0B"
#define VTS_VARIANT "\x0C"
#define VTS_UNKNOWN "\x0D"
#define VTS_UI1 "\x11"
#define VTS_COLOR VTS_I4
#define VTS_HANDLE VTS_I4
#define VTS_XPOS_PIXELS VTS_I4
#define VTS_YPOS_PIXELS VTS_I4
#define VTS_PICTURE VTS_DISPATCH
#define VTS_FONT VTS_DISPATCH

// ---- Automation exceptions ----------------------------------------------------------------------
// Thrown by automation members; the dispatch call returns DISP_E_EXCEPTION with m_scError (or
// the code's SCODE) and the description in the caller's EXCEPINFO.
class COleDispatchException : public CException {
  DECLARE_DYNAMIC(COleDispatchException)
 public:
  COleDispatchException(LPCTSTR lpszDescription, UINT nHelpID, WORD wCode);
  BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext = NULL) const override;

  WORD m_wCode;
  SCODE m_scError = S_OK;
  CString m_strDescription;
  CString m_strSource;
  DWORD m_dwHelpContext;
};
[[noreturn]] void AfxThrowOleDispatchException(WORD wCode, LPCTSTR lpszDescription, UINT nHelpID = 0);
// Throws a COleDispatchException carrying sc.
[[noreturn]] void AfxThrowOleDispatchScode(SCODE sc, LPCTSTR lpszDescription = nullptr);

// ---- Dispatch maps ------------------------------------------------------------------------------
struct AFX_DISPMAP_ENTRY;
// Calls one member: inputs are the index arguments or method arguments, followed by the new value
// of a property put; result receives a getter's or method's value.
typedef HRESULT (*AFX_DISPCALL)(CCmdTarget* pTarget, const AFX_DISPMAP_ENTRY& entry, VARIANT** inputs,
                                UINT count, VARIANT* result);

enum AFX_DISPKIND { afxDispMethod, afxDispProperty };

struct AFX_DISPMAP_ENTRY {
  LPCSTR lpszName;
  DISPID lDispID;  // DISPID_UNKNOWN: assigned from the entry's place in the map
  AFX_DISPKIND kind;
  VARTYPE vt;           // method result (VT_EMPTY: none) or property type
  LPCSTR lpszParams;    // VTS_ string of parameters (index parameters of a property)
  AFX_DISPCALL pfnGet;  // method call or getter
  AFX_DISPCALL pfnSet;  // setter; null for a read-only property
};

struct AFX_DISPMAP {
  const AFX_DISPMAP* (*pfnGetBaseMap)();
  const AFX_DISPMAP_ENTRY* lpEntries;
};

// ---- Interface maps -----------------------------------------------------------------------------
struct AFX_INTERFACEMAP_ENTRY {
  const IID* piid;
  IUnknown* (*pfnGet)(CCmdTarget* pTarget);
};

struct AFX_INTERFACEMAP {
  const AFX_INTERFACEMAP* (*pfnGetBaseMap)();
  const AFX_INTERFACEMAP_ENTRY* pEntry;
};

namespace mfc::disp {

// What the automation layer calls on an object, taken from the class that enabled automation
// (its virtual maps and its OnFinalRelease resolve to the most derived class).
struct Hooks {
  const AFX_DISPMAP* (*dispatchMap)(CCmdTarget*);
  const AFX_INTERFACEMAP* (*interfaceMap)(CCmdTarget*);
  void (*finalRelease)(CCmdTarget*);
  // The type library that describes the object's dispinterface, for classes with a GetTypeLib.
  HRESULT (*typeLib)(CCmdTarget*, LCID, LPTYPELIB*);
};

template <class Self>
const Hooks* HooksFor() {
  static const Hooks hooks = {
      [](CCmdTarget* p) -> const AFX_DISPMAP* { return static_cast<Self*>(p)->GetDispatchMap(); },
      [](CCmdTarget* p) -> const AFX_INTERFACEMAP* {
        if constexpr (requires(Self* s) { s->GetInterfaceMap(); }) {
          return static_cast<Self*>(p)->GetInterfaceMap();
        } else {
          return nullptr;
        }
      },
      [](CCmdTarget* p) {
        if constexpr (requires(Self* s) { s->OnFinalRelease(); }) {
          static_cast<Self*>(p)->OnFinalRelease();
        } else {
          delete p;
        }
      },
      [](CCmdTarget* p, LCID lcid, LPTYPELIB* library) -> HRESULT {
        if constexpr (requires(Self* s) { s->GetTypeLib(lcid, library); }) {
          return static_cast<Self*>(p)->GetTypeLib(lcid, library);
        } else {
          return TYPE_E_CANTLOADLIBRARY;
        }
      }};
  return &hooks;
}

void EnableAutomation(CCmdTarget* pTarget, const Hooks* hooks);
// Drops the object's automation state (its dispatch interface must no longer be in use).
void ForgetAutomation(CCmdTarget* pTarget);
LPDISPATCH GetIDispatch(CCmdTarget* pTarget, BOOL bAddRef);
DWORD InternalAddRef(CCmdTarget* pTarget);
DWORD InternalRelease(CCmdTarget* pTarget);
HRESULT InternalQueryInterface(CCmdTarget* pTarget, const void* iid, LPVOID* ppvObj);
// The reference count, for tests and diagnostics.
DWORD RefCount(CCmdTarget* pTarget);
// The object's dispatch interface also answers QueryInterface for iid (its dispinterface). With
// a type library, its type information is the library's description of iid.
void SetDispatchIID(CCmdTarget* pTarget, const IID& iid);
// A class's dispatch map as a table that describes the dispinterface iid named name (for a type
// library; the table's members call nothing).
DispatchTable DescribeDispatchMap(const AFX_DISPMAP* map, const IID& iid, std::string name);

// The dispatch interface embedded in every class with a dispatch map; it also ends the object's
// automation state when the object is destroyed.
class DispatchPart {
 public:
  explicit DispatchPart(CCmdTarget* owner) : owner_(owner) {}
  ~DispatchPart() { ForgetAutomation(owner_); }
  DispatchPart(const DispatchPart&) = delete;
  DispatchPart& operator=(const DispatchPart&) = delete;
  IUnknown* Interface() const { return GetIDispatch(owner_, FALSE); }

 private:
  CCmdTarget* owner_;
};

inline IUnknown* PartPointer(DispatchPart& part) { return part.Interface(); }
template <class T>
IUnknown* PartPointer(T& part) {
  return &part;
}

template <class T>
const AFX_DISPMAP* BaseDispatchMap() {
  if constexpr (requires { T::GetThisDispatchMap(); }) {
    return T::GetThisDispatchMap();
  } else {
    return nullptr;
  }
}
template <class T>
const AFX_INTERFACEMAP* BaseInterfaceMap() {
  if constexpr (requires { T::GetThisInterfaceMap(); }) {
    return T::GetThisInterfaceMap();
  } else {
    return nullptr;
  }
}

// ---- Argument and result conversion
HRESULT ToText(const VARIANT& v, CString& out);
HRESULT ToNumber(const VARIANT& v, double& out);
HRESULT ToInteger(const VARIANT& v, LONGLONG& out);
// Stores a number as vt (VT_BOOL: nonzero is VARIANT_TRUE).
HRESULT StoreNumber(VARIANT* out, double value, VARTYPE vt);
HRESULT StoreInteger(VARIANT* out, LONGLONG value, VARTYPE vt);
HRESULT StoreText(VARIANT* out, LPCTSTR text);
// Turns an exception thrown by a member into DISP_E_EXCEPTION with the caller's EXCEPINFO.
HRESULT FromException(CException* e, EXCEPINFO* pExcepInfo);
// The EXCEPINFO of the call in progress on this thread (set by Invoke).
EXCEPINFO*& CurrentExcepInfo();

template <class T>
struct Arg {
  using Decayed = std::remove_cvref_t<T>;
  static_assert(std::is_arithmetic_v<Decayed>, "unsupported automation parameter type");
  Decayed value{};
  HRESULT Load(VARIANT* v) {
    if constexpr (std::is_floating_point_v<Decayed>) {
      double d;
      HRESULT hr = ToNumber(*v, d);
      value = static_cast<Decayed>(d);
      return hr;
    } else {
      LONGLONG n;
      HRESULT hr = ToInteger(*v, n);
      value = static_cast<Decayed>(n);
      return hr;
    }
  }
  T Get() { return value; }
};
template <>
struct Arg<LPCTSTR> {
  CString text;
  HRESULT Load(VARIANT* v) { return ToText(*v, text); }
  LPCTSTR Get() { return text; }
};
template <>
struct Arg<const VARIANT&> {
  VARIANT* value = nullptr;
  HRESULT Load(VARIANT* v) {
    value = v;
    while (value->vt == (VT_BYREF | VT_VARIANT)) value = value->pvarVal;
    return S_OK;
  }
  const VARIANT& Get() { return *value; }
};
template <>
struct Arg<VARIANT*> {
  VARIANT* value = nullptr;
  HRESULT Load(VARIANT* v) {
    value = v;
    return S_OK;
  }
  VARIANT* Get() { return value; }
};
template <>
struct Arg<IDispatch*> {
  IDispatch* value = nullptr;
  HRESULT Load(VARIANT* v) {
    if (v->vt == VT_DISPATCH) value = v->pdispVal;
    else if (v->vt != VT_EMPTY && v->vt != VT_NULL) return DISP_E_TYPEMISMATCH;
    return S_OK;
  }
  IDispatch* Get() { return value; }
};
template <>
struct Arg<IUnknown*> {
  IUnknown* value = nullptr;
  HRESULT Load(VARIANT* v) {
    if (v->vt == VT_UNKNOWN || v->vt == VT_DISPATCH) value = v->punkVal;
    else if (v->vt != VT_EMPTY && v->vt != VT_NULL) return DISP_E_TYPEMISMATCH;
    return S_OK;
  }
  IUnknown* Get() { return value; }
};

template <class R>
HRESULT StoreResult(VARIANT* out, R&& value, VARTYPE vt) {
  using D = std::remove_cvref_t<R>;
  if constexpr (std::is_same_v<D, BSTR>) {
    VariantClear(out);
    out->vt = VT_BSTR;
    out->bstrVal = value;
    return S_OK;
  } else if constexpr (std::is_same_v<D, CString>) {
    return StoreText(out, value);
  } else if constexpr (std::is_same_v<D, LPCTSTR> || std::is_same_v<D, LPTSTR>) {
    return StoreText(out, value);
  } else if constexpr (std::is_convertible_v<D, IDispatch*> && std::is_pointer_v<D>) {
    VariantClear(out);
    out->vt = VT_DISPATCH;
    out->pdispVal = value;
    return S_OK;
  } else if constexpr (std::is_convertible_v<D, IUnknown*> && std::is_pointer_v<D>) {
    VariantClear(out);
    out->vt = VT_UNKNOWN;
    out->punkVal = value;
    return S_OK;
  } else if constexpr (std::is_same_v<D, VARIANT> || std::is_same_v<D, COleVariant>) {
    return VariantCopy(out, &value);
  } else if constexpr (std::is_floating_point_v<D>) {
    return StoreNumber(out, static_cast<double>(value), vt);
  } else {
    static_assert(std::is_integral_v<D>, "unsupported automation result type");
    return StoreInteger(out, static_cast<LONGLONG>(value), vt);
  }
}

// Guarded calls turn a member's exception into the automation caller's error; unguarded ones
// (event handlers of a container) let it reach the caller's own error handling.
template <bool kGuarded, class R, class... P, class C, class Pfn, size_t... I>
HRESULT CallWith(C* obj, Pfn pfn, VARIANT** inputs, VARIANT* result, VARTYPE vt, std::index_sequence<I...>) {
  std::tuple<Arg<P>...> args;
  HRESULT hr = S_OK;
  ((SUCCEEDED(hr) ? (hr = std::get<I>(args).Load(inputs[I]), 0) : 0), ...);
  if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
  auto call = [&]() -> HRESULT {
    if constexpr (std::is_void_v<R>) {
      (obj->*pfn)(std::get<I>(args).Get()...);
      return S_OK;
    } else {
      R value = (obj->*pfn)(std::get<I>(args).Get()...);
      return result ? StoreResult(result, std::move(value), vt) : S_OK;
    }
  };
  if constexpr (!kGuarded) {
    return call();
  } else {
    try {
      return call();
    } catch (CException* e) {
      return FromException(e, CurrentExcepInfo());
    }
  }
}

template <bool kGuarded = true, class C, class R, class... P>
HRESULT Call(CCmdTarget* target, R (C::*pfn)(P...), VARIANT** inputs, UINT count, VARIANT* result, VARTYPE vt) {
  if (count < sizeof...(P)) return DISP_E_BADPARAMCOUNT;
  return CallWith<kGuarded, R, P...>(static_cast<C*>(target), pfn, inputs, result, vt, std::index_sequence_for<P...>{});
}
template <bool kGuarded = true, class C, class R, class... P>
HRESULT Call(CCmdTarget* target, R (C::*pfn)(P...) const, VARIANT** inputs, UINT count, VARIANT* result,
             VARTYPE vt) {
  if (count < sizeof...(P)) return DISP_E_BADPARAMCOUNT;
  return CallWith<kGuarded, R, P...>(static_cast<C*>(target), pfn, inputs, result, vt, std::index_sequence_for<P...>{});
}

// A method or getter: called with all inputs.
template <auto pfn>
HRESULT MemberCall(CCmdTarget* t, const AFX_DISPMAP_ENTRY& e, VARIANT** in, UINT n, VARIANT* r) {
  return Call(t, pfn, in, n, r, e.vt);
}
// A setter: called with the index arguments and the new value, or with nothing when it takes no
// arguments (SetNotSupported).
template <auto pfn>
HRESULT SetterCall(CCmdTarget* t, const AFX_DISPMAP_ENTRY& e, VARIANT** in, UINT n, VARIANT*) {
  return Call(t, pfn, in, n, nullptr, e.vt);
}

// A property kept in a member variable.
template <class C, class M>
HRESULT LoadMember(C* obj, M C::*member, VARIANT* v) {
  if constexpr (std::is_same_v<M, CString>) {
    return ToText(*v, obj->*member);
  } else if constexpr (std::is_same_v<M, COleVariant>) {
    (obj->*member) = *v;
    return S_OK;
  } else {
    Arg<M> arg;
    HRESULT hr = arg.Load(v);
    if (SUCCEEDED(hr)) obj->*member = arg.Get();
    return hr;
  }
}
template <auto member>
struct MemberProperty;
template <class C, class M, M C::*member>
struct MemberProperty<member> {
  static HRESULT Get(CCmdTarget* t, const AFX_DISPMAP_ENTRY& e, VARIANT**, UINT, VARIANT* r) {
    M value = static_cast<C*>(t)->*member;
    return StoreResult(r, std::move(value), e.vt);
  }
  static HRESULT Put(CCmdTarget* t, const AFX_DISPMAP_ENTRY&, VARIANT** in, UINT n, VARIANT*) {
    if (n < 1) return DISP_E_BADPARAMCOUNT;
    return LoadMember(static_cast<C*>(t), member, in[n - 1]) == S_OK ? S_OK : DISP_E_TYPEMISMATCH;
  }
};
template <auto member, auto notify>
HRESULT NotifyPut(CCmdTarget* t, const AFX_DISPMAP_ENTRY& e, VARIANT** in, UINT n, VARIANT* r) {
  HRESULT hr = MemberProperty<member>::Put(t, e, in, n, r);
  if (FAILED(hr)) return hr;
  return Call(t, notify, in, 0, nullptr, VT_EMPTY);
}

}  // namespace mfc::disp

#define DECLARE_DISPATCH_MAP()                                                                     \
 public:                                                                                           \
  mfc::disp::DispatchPart m_xDispatch{this};                                                        \
  static const AFX_DISPMAP* PASCAL GetThisDispatchMap();                                           \
  virtual const AFX_DISPMAP* GetDispatchMap() const;                                               \
  void EnableAutomation() {                                                                        \
    mfc::disp::EnableAutomation(this, mfc::disp::HooksFor<std::remove_pointer_t<decltype(this)>>()); \
  }                                                                                                \
  LPDISPATCH GetIDispatch(BOOL bAddRef) { return mfc::disp::GetIDispatch(this, bAddRef); }          \
  DWORD ExternalAddRef() { return mfc::disp::InternalAddRef(this); }                                \
  DWORD ExternalRelease() { return mfc::disp::InternalRelease(this); }                              \
  HRESULT ExternalQueryInterface(const void* iid, LPVOID* ppvObj) {                                \
    return mfc::disp::InternalQueryInterface(this, iid, ppvObj);                                    \
  }                                                                                                \
  DWORD InternalAddRef() { return mfc::disp::InternalAddRef(this); }                                \
  DWORD InternalRelease() { return mfc::disp::InternalRelease(this); }                              \
  HRESULT InternalQueryInterface(const void* iid, LPVOID* ppvObj) {                                \
    return mfc::disp::InternalQueryInterface(this, iid, ppvObj);                                    \
  }                                                                                                \
  [[noreturn]] void SetNotSupported() { AfxThrowOleDispatchScode(CTL_E_SETNOTSUPPORTED); }         \
  [[noreturn]] void GetNotSupported() { AfxThrowOleDispatchScode(CTL_E_GETNOTSUPPORTED); }         \
                                                                                                   \
 private:

#define BEGIN_DISPATCH_MAP(theClass, baseClass)                                                  \
  const AFX_DISPMAP* theClass::GetDispatchMap() const { return GetThisDispatchMap(); }           \
  const AFX_DISPMAP* PASCAL theClass::GetThisDispatchMap() {                                     \
    typedef baseClass TheBaseClass;                                                              \
    static const AFX_DISPMAP_ENTRY _dispatchEntries[] = {

#define END_DISPATCH_MAP()                                                                              \
  {nullptr, DISPID_UNKNOWN, afxDispMethod, VT_EMPTY, nullptr, nullptr, nullptr}};                       \
  static const AFX_DISPMAP dispatchMap = {&mfc::disp::BaseDispatchMap<TheBaseClass>, &_dispatchEntries[0]}; \
  return &dispatchMap;                                                                                  \
  }

// Methods: the member takes the parameters in VTS_ order (VTS_BSTR as LPCTSTR, VTS_BOOL as BOOL,
// VTS_VARIANT as const VARIANT&) and returns the result type (VT_BSTR as BSTR or CString).
#define DISP_FUNCTION(theClass, szExternalName, pfnMember, vtRetVal, vtsParams) \
  DISP_FUNCTION_ID(theClass, szExternalName, DISPID_UNKNOWN, pfnMember, vtRetVal, vtsParams)
#define DISP_FUNCTION_ID(theClass, szExternalName, dispid, pfnMember, vtRetVal, vtsParams) \
  {szExternalName, dispid, afxDispMethod, vtRetVal, vtsParams, &mfc::disp::MemberCall<&theClass::pfnMember>, nullptr},

// Properties through a getter and a setter (SetNotSupported for a read-only property).
#define DISP_PROPERTY_EX(theClass, szExternalName, pfnGet, pfnSet, vtPropType) \
  DISP_PROPERTY_EX_ID(theClass, szExternalName, DISPID_UNKNOWN, pfnGet, pfnSet, vtPropType)
#define DISP_PROPERTY_EX_ID(theClass, szExternalName, dispid, pfnGet, pfnSet, vtPropType)          \
  {szExternalName, dispid, afxDispProperty, vtPropType, VTS_NONE,                                \
   &mfc::disp::MemberCall<&theClass::pfnGet>, &mfc::disp::SetterCall<&theClass::pfnSet>},
// A property with index parameters: getter (params...) and setter (params..., value).
#define DISP_PROPERTY_PARAM(theClass, szExternalName, pfnGet, pfnSet, vtPropType, vtsParams) \
  DISP_PROPERTY_PARAM_ID(theClass, szExternalName, DISPID_UNKNOWN, pfnGet, pfnSet, vtPropType, vtsParams)
#define DISP_PROPERTY_PARAM_ID(theClass, szExternalName, dispid, pfnGet, pfnSet, vtPropType, vtsParams) \
  {szExternalName, dispid, afxDispProperty, vtPropType, vtsParams,                                    \
   &mfc::disp::MemberCall<&theClass::pfnGet>, &mfc::disp::SetterCall<&theClass::pfnSet>},
// Properties kept in a member variable; the notify form calls pfnAfterSet after a put.
#define DISP_PROPERTY(theClass, szExternalName, memberName, vtPropType) \
  DISP_PROPERTY_ID(theClass, szExternalName, DISPID_UNKNOWN, memberName, vtPropType)
#define DISP_PROPERTY_ID(theClass, szExternalName, dispid, memberName, vtPropType)                     \
  {szExternalName, dispid, afxDispProperty, vtPropType, VTS_NONE,                                    \
   &mfc::disp::MemberProperty<&theClass::memberName>::Get, &mfc::disp::MemberProperty<&theClass::memberName>::Put},
#define DISP_PROPERTY_NOTIFY(theClass, szExternalName, memberName, pfnAfterSet, vtPropType) \
  DISP_PROPERTY_NOTIFY_ID(theClass, szExternalName, DISPID_UNKNOWN, memberName, pfnAfterSet, vtPropType)
#define DISP_PROPERTY_NOTIFY_ID(theClass, szExternalName, dispid, memberName, pfnAfterSet, vtPropType) \
  {szExternalName, dispid, afxDispProperty, vtPropType, VTS_NONE,                                    \
   &mfc::disp::MemberProperty<&theClass::memberName>::Get,                                            \
   &mfc::disp::NotifyPut<&theClass::memberName, &theClass::pfnAfterSet>},

// ---- Interface maps and nested interfaces -------------------------------------------------------
#define DECLARE_INTERFACE_MAP()                                  \
 public:                                                         \
  static const AFX_INTERFACEMAP* PASCAL GetThisInterfaceMap();   \
  virtual const AFX_INTERFACEMAP* GetInterfaceMap() const;       \
                                                                 \
 private:

#define BEGIN_INTERFACE_MAP(theClass, baseClass)                                             \
  const AFX_INTERFACEMAP* theClass::GetInterfaceMap() const { return GetThisInterfaceMap(); } \
  const AFX_INTERFACEMAP* PASCAL theClass::GetThisInterfaceMap() {                            \
    typedef baseClass TheBaseClass;                                                           \
    static const AFX_INTERFACEMAP_ENTRY _interfaceEntries[] = {

// localClass Dispatch names the object's own dispatch interface.
#define INTERFACE_PART(theClass, iid, localClass)                                          \
  {&iid, [](CCmdTarget* p) -> IUnknown* {                                                  \
     return mfc::disp::PartPointer(static_cast<theClass*>(p)->m_x##localClass);             \
   }},

#define END_INTERFACE_MAP()                                                                           \
  {nullptr, nullptr}};                                                                                \
  static const AFX_INTERFACEMAP interfaceMap = {&mfc::disp::BaseInterfaceMap<TheBaseClass>, &_interfaceEntries[0]}; \
  return &interfaceMap;                                                                               \
  }

// A nested interface object; its methods reach the outer object through METHOD_PROLOGUE.
#define BEGIN_INTERFACE_PART(localClass, baseClass)                     \
  class X##localClass : public baseClass {                              \
   public:                                                              \
    explicit X##localClass(CCmdTarget* pOuter) : m_pAfxOuter(pOuter) {} \
    CCmdTarget* const m_pAfxOuter;                                      \
    STDMETHOD_(ULONG, AddRef)() override;                               \
    STDMETHOD_(ULONG, Release)() override;                              \
    STDMETHOD(QueryInterface)(REFIID iid, LPVOID* ppvObj) override;
#define INIT_INTERFACE_PART(theClass, localClass)
#define END_INTERFACE_PART(localClass) \
  }                                    \
  m_x##localClass{this};               \
  friend class X##localClass;

#define METHOD_PROLOGUE(theClass, localClass) theClass* pThis = static_cast<theClass*>(m_pAfxOuter);
#define METHOD_PROLOGUE_EX(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)
#define METHOD_PROLOGUE_EX_(theClass, localClass) METHOD_PROLOGUE(theClass, localClass)

// ---- Class factories ----------------------------------------------------------------------------

// A class factory for a dynamically creatable command target (DECLARE_DYNCREATE with a dispatch
// map). Factories made as static objects of a module link themselves into the module's list while
// the module is loaded; the module's entry points (AfxDllGetClassObject, AfxDllCanUnloadNow) and
// the registration calls work through that list.
class COleObjectFactory : public CCmdTarget {
  DECLARE_DYNAMIC(COleObjectFactory)
 public:
  COleObjectFactory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance, LPCTSTR lpszProgID);
  ~COleObjectFactory() override;

  REFCLSID GetClassID() const { return m_clsid; }
  LPCTSTR GetProgID() const { return m_lpszProgID; }

  // Writes the class's registry entries (bRegister) or removes them.
  virtual BOOL UpdateRegistry(BOOL bRegister);
  // Every factory of the calling module, so that a module's DllRegisterServer registers its own
  // classes only.
  AFX_MODULE_LOCAL static BOOL PASCAL UpdateRegistryAll(BOOL bRegister = TRUE) {
    return UpdateRegistryOf(mfc::module::Current(), bRegister);
  }
  // Makes every factory of the running module a registered class object (CoRegisterClassObject).
  static BOOL PASCAL RegisterAll();
  static void PASCAL RevokeAll();
  BOOL Register();
  void Revoke();

  // A new object of the class, with one reference, or NULL.
  virtual CCmdTarget* OnCreateObject();
  // The factory's IClassFactory (one reference added).
  IClassFactory* GetClassFactory();

  static LONG PASCAL ObjectCount();
  static COleObjectFactory* PASCAL FindFactory(REFCLSID clsid);

  CLSID m_clsid;
  CRuntimeClass* m_pRuntimeClass;
  BOOL m_bMultiInstance;
  LPCTSTR m_lpszProgID;
  DWORD m_dwRegister = 0;
  COleObjectFactory* m_pNextFactory = nullptr;

 private:
  class Factory;
  // Every factory whose object lies in module.
  static BOOL PASCAL UpdateRegistryOf(HINSTANCE module, BOOL bRegister);

  Factory* m_pFactory;
};

// The framework's factory form: UpdateRegistry is the class's own (usually a call to
// AfxOleRegisterControlClass or AfxOleRegisterPropertyPageClass).
typedef COleObjectFactory COleObjectFactoryEx;

#define DECLARE_OLECREATE_EX(class_name)                                         \
 public:                                                                         \
  class class_name##Factory : public COleObjectFactoryEx {                       \
   public:                                                                       \
    class_name##Factory(REFCLSID clsid, CRuntimeClass* pRuntimeClass, BOOL bMultiInstance, LPCTSTR lpszProgID) \
        : COleObjectFactoryEx(clsid, pRuntimeClass, bMultiInstance, lpszProgID) {} \
    BOOL UpdateRegistry(BOOL bRegister) override;                                \
  };                                                                             \
  static class_name##Factory factory;                                            \
  static const GUID guid;                                                        \
  HRESULT GetClassID(LPCLSID pclsid) override;                                   \
                                                                                 \
 private:

#define IMPLEMENT_OLECREATE_EX(class_name, external_name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  class_name::class_name##Factory class_name::factory(class_name::guid, RUNTIME_CLASS(class_name),   \
                                                      FALSE, external_name);                        \
  const GUID class_name::guid = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};         \
  HRESULT class_name::GetClassID(LPCLSID pclsid) {                                    \
    *pclsid = guid;                                                                   \
    return S_OK;                                                                      \
  }

#define DECLARE_OLECREATE(class_name)    \
 public:                                 \
  static COleObjectFactory factory;      \
  static const GUID guid;                \
                                         \
 private:
#define IMPLEMENT_OLECREATE(class_name, external_name, l, w1, w2, b1, b2, b3, b4, b5, b6, b7, b8) \
  COleObjectFactory class_name::factory(class_name::guid, RUNTIME_CLASS(class_name), FALSE,         \
                                        external_name);                                            \
  const GUID class_name::guid = {l, w1, w2, {b1, b2, b3, b4, b5, b6, b7, b8}};

// Module entry points of a control module: its exported DllGetClassObject and DllCanUnloadNow
// return these.
HRESULT AfxDllGetClassObject(REFCLSID rclsid, REFIID riid, LPVOID* ppv);
HRESULT AfxDllCanUnloadNow();

// Registration helpers.
// HKCR\CLSID\{clsid} with the type name, InprocServer32 (the module of hInstance, the threading
// model), ProgID and the ProgID's own key, Control, ToolboxBitmap32 ("module, id"), MiscStatus
// (and MiscStatus\1), TypeLib and Version.
BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCTSTR pszProgID, UINT idTypeName,
                                UINT idBitmap, int nRegFlags, DWORD dwMiscStatus, REFGUID tlid, WORD wVerMajor,
                                WORD wVerMinor);
BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName, int nRegFlags = 0);
// Removes the class key and, when pszProgID is given, the ProgID key.
BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID);
// HKCR\TypeLib\{tlid}\major.minor with the library's name, the "0\win32" path (the module of
// hInstance) and FLAGS / HELPDIR. The module's type library is its name table of the control.
BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCTSTR pszFileName = nullptr,
                           LPCTSTR pszHelpDir = nullptr);
BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor = 0, WORD wVerMinor = 0, LCID lcid = 0);

// nRegFlags of AfxOleRegisterControlClass.
#define afxRegApartmentThreading 0x0002
#define afxRegInsertable 0x0001
#define afxRegFreeThreading 0x0004

// The module that holds an address (a control module asks with one of its own symbols); the main
// program's handle when the address is in no loaded module.
HINSTANCE AfxGetModuleOf(const void* address);

// ---- Dispatch driver ----------------------------------------------------------------------------

// Calls an IDispatch by member id. Failures throw: a failed call COleException (or
// COleDispatchException with the callee's description when it raised one).
class COleDispatchDriver {
 public:
  COleDispatchDriver();
  explicit COleDispatchDriver(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
  COleDispatchDriver(const COleDispatchDriver& dispatchSrc);
  virtual ~COleDispatchDriver();
  const COleDispatchDriver& operator=(const COleDispatchDriver& dispatchSrc);

  BOOL CreateDispatch(REFCLSID clsid, COleException* pError = nullptr);
  BOOL CreateDispatch(LPCTSTR lpszProgID, COleException* pError = nullptr);
  void AttachDispatch(LPDISPATCH lpDispatch, BOOL bAutoRelease = TRUE);
  LPDISPATCH DetachDispatch();
  void ReleaseDispatch();
  operator LPDISPATCH() { return m_lpDispatch; }

  // pvRet: the variable of vtRet's C type (VT_I2 short, VT_I4 LONG, VT_R4 float, VT_R8 double,
  // VT_BOOL BOOL, VT_BSTR CString, VT_DISPATCH LPDISPATCH, VT_UNKNOWN LPUNKNOWN, VT_VARIANT
  // VARIANT); NULL or VT_EMPTY for none. The arguments follow pbParamInfo (VTS_BSTR an 8-bit
  // string, VTS_I2 and VTS_BOOL an int, VTS_I4 a LONG, VTS_R4 and VTS_R8 a double, VTS_VARIANT a
  // const VARIANT*, VTS_DISPATCH and VTS_UNKNOWN pointers).
  void InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...);
  void InvokeHelperV(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo,
                     va_list argList);
  void GetProperty(DISPID dwDispID, VARTYPE vtProp, void* pvProp) const;
  // The value as vtProp's argument type (see InvokeHelper).
  void SetProperty(DISPID dwDispID, VARTYPE vtProp, ...);

  LPDISPATCH m_lpDispatch = nullptr;
  BOOL m_bAutoRelease = TRUE;
};

// Variadic dispatch calls shared with the control containment (CWnd wrappers of controls).
void AfxInvokeDispatch(LPDISPATCH lpDispatch, DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet,
                       const BYTE* pbParamInfo, va_list argList);
