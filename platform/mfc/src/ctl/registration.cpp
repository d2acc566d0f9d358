// Registry entries of control classes, property page classes and type libraries.
#include "mfc/afxctl.h"
#include "module_lookup.h"

namespace mfc::ctl {

HINSTANCE ModuleOf(const void* address) {
  HMODULE module = nullptr;
  if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                          static_cast<LPCSTR>(address), &module))
    return GetModuleHandleA(nullptr);
  return module;
}

CString ModulePath(HINSTANCE module) {
  char path[MAX_PATH * 4];
  DWORD n = GetModuleFileNameA(module, path, sizeof path);
  return n ? CString(path, int(n)) : CString();
}

}  // namespace mfc::ctl

HINSTANCE AfxGetModuleOf(const void* address) { return mfc::ctl::ModuleOf(address); }

namespace {

bool SetKey(HKEY root, const CString& key, LPCSTR valueName, const CString& value) {
  HKEY h;
  if (RegCreateKeyA(root, key, &h) != ERROR_SUCCESS) return false;
  LSTATUS s = RegSetValueExA(h, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.GetString()),
                             DWORD(value.GetLength() + 1));
  RegCloseKey(h);
  return s == ERROR_SUCCESS;
}

// Removes a key with everything below it; a missing key is no failure.
bool DeleteTree(HKEY root, const CString& key) {
  HKEY h;
  if (RegOpenKeyA(root, key, &h) != ERROR_SUCCESS) return true;
  char name[512];
  std::vector<CString> children;
  for (DWORD i = 0; RegEnumKeyA(h, i, name, sizeof name) == ERROR_SUCCESS; ++i) children.push_back(name);
  RegCloseKey(h);
  for (const CString& child : children)
    if (!DeleteTree(root, key + "\\" + child)) return false;
  return RegDeleteKeyA(root, key) == ERROR_SUCCESS;
}

CString GuidText(REFGUID g) { return CString(StringFromGUIDA(g).c_str()); }

CString LoadText(HINSTANCE module, UINT id) {
  char text[512];
  int n = LoadStringA(module, id, text, sizeof text);
  return n > 0 ? CString(text, n) : CString();
}

}  // namespace

BOOL AfxOleRegisterControlClass(HINSTANCE hInstance, REFCLSID clsid, LPCTSTR pszProgID, UINT idTypeName, UINT idBitmap,
                                int nRegFlags, DWORD dwMiscStatus, REFGUID tlid, WORD wVerMajor, WORD wVerMinor) {
  const CString path = mfc::ctl::ModulePath(hInstance);
  const CString typeName = LoadText(hInstance, idTypeName);
  const CString key = "CLSID\\" + GuidText(clsid);
  LPCSTR threading = (nRegFlags & afxRegFreeThreading) ? "Both" : (nRegFlags & afxRegApartmentThreading) ? "Apartment" : nullptr;
  if (FAILED(RegisterInprocServer(clsid, typeName, path, threading))) return FALSE;
  bool ok = SetKey(HKEY_CLASSES_ROOT, key + "\\Control", "", "");
  CString text;
  text.Format("%s, %u", path.GetString(), idBitmap);
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\ToolboxBitmap32", "", text);
  text.Format("%u", unsigned(dwMiscStatus));
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\MiscStatus", "", "0");
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\MiscStatus\\1", "", text);
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\TypeLib", "", GuidText(tlid));
  text.Format("%u.%u", unsigned(wVerMajor), unsigned(wVerMinor));
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\Version", "", text);
  if (nRegFlags & afxRegInsertable) ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\Insertable", "", "");
  if (pszProgID && *pszProgID) {
    ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\ProgID", "", pszProgID);
    ok = ok && SetKey(HKEY_CLASSES_ROOT, pszProgID, "", typeName);
    ok = ok && SetKey(HKEY_CLASSES_ROOT, CString(pszProgID) + "\\CLSID", "", GuidText(clsid));
  }
  return ok;
}

BOOL AfxOleRegisterPropertyPageClass(HINSTANCE hInstance, REFCLSID clsid, UINT idTypeName, int nRegFlags) {
  LPCSTR threading = (nRegFlags & afxRegFreeThreading) ? "Both" : (nRegFlags & afxRegApartmentThreading) ? "Apartment" : nullptr;
  return SUCCEEDED(
      RegisterInprocServer(clsid, LoadText(hInstance, idTypeName), mfc::ctl::ModulePath(hInstance), threading));
}

BOOL AfxOleUnregisterClass(REFCLSID clsid, LPCTSTR pszProgID) {
  bool ok = SUCCEEDED(UnregisterServer(clsid));
  if (pszProgID && *pszProgID) ok = DeleteTree(HKEY_CLASSES_ROOT, pszProgID) && ok;
  return ok;
}

BOOL AfxOleRegisterTypeLib(HINSTANCE hInstance, REFGUID tlid, LPCTSTR pszFileName, LPCTSTR pszHelpDir) {
  CString path = pszFileName ? CString(pszFileName) : mfc::ctl::ModulePath(hInstance);
  if (path.IsEmpty()) return FALSE;
  // The library's version comes from the control classes that name it; 1.0 otherwise.
  const CString key = "TypeLib\\" + GuidText(tlid) + "\\1.0";
  bool ok = SetKey(HKEY_CLASSES_ROOT, key, "", path);
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\0\\win32", "", path);
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\FLAGS", "", "0");
  ok = ok && SetKey(HKEY_CLASSES_ROOT, key + "\\HELPDIR", "", pszHelpDir ? pszHelpDir : "");
  return ok;
}

BOOL AfxOleUnregisterTypeLib(REFGUID tlid, WORD wVerMajor, WORD wVerMinor, LCID) {
  const CString lib = "TypeLib\\" + GuidText(tlid);
  if (wVerMajor == 0 && wVerMinor == 0) return DeleteTree(HKEY_CLASSES_ROOT, lib);
  CString version;
  version.Format("\\%u.%u", unsigned(wVerMajor), unsigned(wVerMinor));
  return DeleteTree(HKEY_CLASSES_ROOT, lib + version);
}
