#include "dshow/dllsetup.h"

#include <string>

#include "wide_text.h"
#include "win32/utf.h"
#include "win32/winreg.h"

namespace {

std::atomic<LONG>& ServerLocks() {
  static std::atomic<LONG> locks{0};
  return locks;
}

std::string FilterInstanceKey(REFCLSID clsid) {
  return "CLSID\\" + StringFromGUIDA(CLSID_LegacyAmFilterCategory) + "\\Instance\\" + StringFromGUIDA(clsid);
}

HRESULT RegisterFilter(const AMOVIESETUP_FILTER& filter) {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, FilterInstanceKey(*filter.clsID).c_str(), 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  std::string name = win32::Utf16ToUtf8(dshow::WideString(filter.strName));
  std::string clsid = StringFromGUIDA(*filter.clsID);
  DWORD merit = filter.dwMerit;
  bool ok = RegSetValueExA(key, "FriendlyName", 0, REG_SZ, reinterpret_cast<const BYTE*>(name.c_str()),
                           static_cast<DWORD>(name.size() + 1)) == ERROR_SUCCESS &&
            RegSetValueExA(key, "CLSID", 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                           static_cast<DWORD>(clsid.size() + 1)) == ERROR_SUCCESS &&
            RegSetValueExA(key, "Merit", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&merit), sizeof merit) ==
                ERROR_SUCCESS;
  RegCloseKey(key);
  return ok ? S_OK : E_FAIL;
}

HRESULT UnregisterFilter(REFCLSID clsid) {
  LSTATUS status = RegDeleteKeyA(HKEY_CLASSES_ROOT, FilterInstanceKey(clsid).c_str());
  return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND ? S_OK : E_FAIL;
}

}  // namespace

// ---- Class factory ------------------------------------------------------------------------------

CClassFactory::CClassFactory(const CFactoryTemplate* pTemplate)
    : CBaseObject("class factory"), m_pTemplate(pTemplate) {}

STDMETHODIMP CClassFactory::CreateInstance(LPUNKNOWN pUnkOuter, REFIID riid, void** pv) {
  if (!pv) return E_POINTER;
  *pv = nullptr;
  // An aggregating outer object may only ask for the inner IUnknown.
  if (pUnkOuter && riid != IID_IUnknown) return E_NOINTERFACE;
  HRESULT hr = S_OK;
  CUnknown* object = m_pTemplate->CreateInstance(pUnkOuter, &hr);
  if (!object) return FAILED(hr) ? hr : E_OUTOFMEMORY;
  object->NonDelegatingAddRef();
  if (SUCCEEDED(hr)) hr = object->NonDelegatingQueryInterface(riid, pv);
  object->NonDelegatingRelease();
  return hr;
}

STDMETHODIMP CClassFactory::LockServer(BOOL fLock) {
  if (fLock)
    ++ServerLocks();
  else
    --ServerLocks();
  return S_OK;
}

BOOL CClassFactory::IsLocked() { return ServerLocks() > 0; }

// ---- Module support -----------------------------------------------------------------------------

HRESULT AMovieGetClassObject(const CFactoryTemplate* templates, int count, REFCLSID rclsid, REFIID riid, void** pv) {
  if (!pv) return E_POINTER;
  *pv = nullptr;
  if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
  for (int i = 0; i < count; ++i) {
    if (!templates[i].IsClassID(rclsid)) continue;
    *pv = static_cast<IClassFactory*>(new CClassFactory(&templates[i]));  // the one reference
    return S_OK;
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT AMovieCanUnloadNow() {
  return CBaseObject::ObjectsActive() == 0 && !CClassFactory::IsLocked() ? S_OK : S_FALSE;
}

HRESULT AMovieSetupRegisterTemplates(const CFactoryTemplate* templates, int count, LPCSTR modulePath,
                                     BOOL bRegister) {
  HRESULT result = S_OK;
  for (int i = 0; i < count; ++i) {
    const CFactoryTemplate& t = templates[i];
    HRESULT hr;
    if (bRegister) {
      std::string name = win32::Utf16ToUtf8(dshow::WideString(t.m_Name));
      hr = RegisterInprocServer(*t.m_ClsID, name.c_str(), modulePath, "Both");
      if (SUCCEEDED(hr) && t.m_pAMovieSetup_Filter) hr = RegisterFilter(*t.m_pAMovieSetup_Filter);
    } else {
      hr = t.m_pAMovieSetup_Filter ? UnregisterFilter(*t.m_ClsID) : S_OK;
      HRESULT hrServer = UnregisterServer(*t.m_ClsID);
      if (SUCCEEDED(hr)) hr = hrServer;
    }
    if (t.m_lpfnInit) t.m_lpfnInit(bRegister, t.m_ClsID);
    if (FAILED(hr) && SUCCEEDED(result)) result = hr;
  }
  return result;
}
