// A filter module as this system's own filter modules are built: a file source registered for
// the extension ".zqx", with the base classes' factory, entry points and registration.
#include <string>

#include "test_filters.h"
#include "win32/winreg.h"

using namespace dshow_test;

namespace {

class FileTestSource : public CSource, public IFileSourceFilter {
 public:
  explicit FileTestSource(LPUNKNOWN outer) : CSource("file test source", outer, CLSID_TestFileSource) {}
  static CUnknown* CreateInstance(LPUNKNOWN outer, HRESULT*) { return new FileTestSource(outer); }

  DECLARE_IUNKNOWN
  STDMETHODIMP NonDelegatingQueryInterface(REFIID riid, void** ppv) override {
    if (riid == IID_IFileSourceFilter) return GetInterface(static_cast<IFileSourceFilter*>(this), ppv);
    return CSource::NonDelegatingQueryInterface(riid, ppv);
  }

  STDMETHODIMP Load(LPCOLESTR name, const AM_MEDIA_TYPE*) override {
    if (!name) return E_POINTER;
    CAutoLock lock(pStateLock());
    if (!file_.empty()) return E_FAIL;
    file_ = name;
    HRESULT hr = S_OK;
    new CountingPin(this, &hr, u"Output", 4, 32);
    return hr;
  }
  STDMETHODIMP GetCurFile(LPOLESTR* name, AM_MEDIA_TYPE*) override {
    if (!name) return E_POINTER;
    *name = nullptr;
    if (file_.empty()) return S_OK;
    *name = static_cast<LPOLESTR>(CoTaskMemAlloc((file_.size() + 1) * sizeof(WCHAR)));
    if (!*name) return E_OUTOFMEMORY;
    std::char_traits<char16_t>::copy(*name, file_.c_str(), file_.size() + 1);
    return S_OK;
  }

 private:
  std::u16string file_;
};

const REGPINTYPES kPinTypes = {&GUID_NULL, &GUID_NULL};
const REGFILTERPINS kPins[] = {{u"Output", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kPinTypes}};
const AMOVIESETUP_FILTER kFilter = {&CLSID_TestFileSource, u"Corvane Test File Source", MERIT_DO_NOT_USE, 1, kPins};

const char kExtensionKey[] = "Media Type\\Extensions\\.zqx";

}  // namespace

CFactoryTemplate g_Templates[] = {
    {u"Corvane Test File Source", &CLSID_TestFileSource, FileTestSource::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = 1;

STDAPI DllRegisterServer() {
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CLASSES_ROOT, kExtensionKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) != ERROR_SUCCESS)
    return E_FAIL;
  std::string clsid = StringFromGUIDA(CLSID_TestFileSource);
  LSTATUS status = RegSetValueExA(key, "Source Filter", 0, REG_SZ, reinterpret_cast<const BYTE*>(clsid.c_str()),
                                  static_cast<DWORD>(clsid.size() + 1));
  RegCloseKey(key);
  if (status != ERROR_SUCCESS) return E_FAIL;
  return AMovieDllRegisterServer2(TRUE);
}

STDAPI DllUnregisterServer() {
  RegDeleteKeyA(HKEY_CLASSES_ROOT, kExtensionKey);
  return AMovieDllRegisterServer2(FALSE);
}
