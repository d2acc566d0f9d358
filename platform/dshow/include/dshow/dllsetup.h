#pragma once
// Class factories, the module entry points and registration of a filter module.
//
// A filter module defines g_Templates and g_cTemplates and links the `dshow_module` object
// library, which supplies DllGetClassObject, DllCanUnloadNow and the AMovieDllRegisterServer*
// functions; its own DllRegisterServer/DllUnregisterServer call AMovieDllRegisterServer2.
#include "dshow/combase.h"
#include "dshow/strmif.h"
#include "ole/com_object.h"

// Registration data of a filter, in the platform's shape.
typedef struct _REGPINTYPES {
  const CLSID* clsMajorType;
  const CLSID* clsMinorType;
} REGPINTYPES, AMOVIESETUP_MEDIATYPE;

typedef struct _REGFILTERPINS {
  LPCWSTR strName;
  BOOL bRendered;
  BOOL bOutput;
  BOOL bZero;
  BOOL bMany;
  const CLSID* clsConnectsToFilter;
  LPCWSTR strConnectsToPin;
  UINT nMediaTypes;
  const REGPINTYPES* lpMediaType;
} REGFILTERPINS, AMOVIESETUP_PIN;

typedef struct _AMOVIESETUP_FILTER {
  const CLSID* clsID;
  LPCWSTR strName;
  DWORD dwMerit;
  UINT nPins;
  const AMOVIESETUP_PIN* lpPin;
} AMOVIESETUP_FILTER;

#define MERIT_PREFERRED 0x800000
#define MERIT_NORMAL 0x600000
#define MERIT_UNLIKELY 0x400000
#define MERIT_DO_NOT_USE 0x200000
#define MERIT_SW_COMPRESSOR 0x100000
#define MERIT_HW_COMPRESSOR 0x100050

// One creatable class of a module.
class CFactoryTemplate {
 public:
  LPCWSTR m_Name;
  const CLSID* m_ClsID;
  LPFNNewCOMObject m_lpfnNew;
  LPFNInitRoutine m_lpfnInit;
  const AMOVIESETUP_FILTER* m_pAMovieSetup_Filter;

  BOOL IsClassID(REFCLSID rclsid) const { return IsEqualCLSID(*m_ClsID, rclsid); }
  CUnknown* CreateInstance(LPUNKNOWN pUnk, HRESULT* phr) const { return m_lpfnNew(pUnk, phr); }
};

// Defined by the module.
extern CFactoryTemplate g_Templates[];
extern int g_cTemplates;

// The class factory of one template. Objects are created through the template's function,
// then asked for the interface the caller wants.
class CClassFactory : public ComObject<CClassFactory, IClassFactory, IID_IClassFactory>, public CBaseObject {
 public:
  explicit CClassFactory(const CFactoryTemplate*);
  STDMETHODIMP CreateInstance(LPUNKNOWN pUnkOuter, REFIID riid, void** pv) override;
  STDMETHODIMP LockServer(BOOL fLock) override;
  // Server locks of this process (LockServer), counted for DllCanUnloadNow.
  static BOOL IsLocked();

 private:
  const CFactoryTemplate* const m_pTemplate;
};

// Registers (TRUE) or unregisters (FALSE) the given templates of the module at modulePath: the
// COM keys (HKCR\CLSID\{clsid}, InprocServer32 with ThreadingModel "Both") and, for templates
// with filter data, the filter's entry in the DirectShow filter category
// (HKCR\CLSID\{CLSID_LegacyAmFilterCategory}\Instance\{clsid}: FriendlyName, CLSID, Merit).
// Template init routines are called with the registration flag. Unregistering a class that is
// not registered is no failure.
HRESULT AMovieSetupRegisterTemplates(const CFactoryTemplate* templates, int count,
                                     LPCSTR modulePath, BOOL bRegister);
// The class object of rclsid among the templates (CLASS_E_CLASSNOTAVAILABLE when absent).
HRESULT AMovieGetClassObject(const CFactoryTemplate* templates, int count, REFCLSID rclsid,
                             REFIID riid, void** pv);
// S_OK when no object of the base classes lives and no server lock is held.
HRESULT AMovieCanUnloadNow();

// Module entry points supplied by `dshow_module` for the module's g_Templates.
STDAPI AMovieDllRegisterServer2(BOOL bRegister);
STDAPI AMovieDllRegisterServer();
STDAPI AMovieDllUnregisterServer();
STDAPI DllGetClassObject(REFCLSID rClsID, REFIID riid, void** pv);
STDAPI DllCanUnloadNow();
