// Lumet.ax registers itself and is then found through the registry, as the application finds it.
#include <gtest/gtest.h>

#include <string>

#include "dshow/dshow.h"
#include "ole/comptr.h"
#include "overlay_filter/logo_mixer.h"
#include "win32/winmodule.h"
#include "win32/winreg.h"

namespace {

using EntryPoint = HRESULT (*)();

EntryPoint Entry(HMODULE module, const char* name) {
  return reinterpret_cast<EntryPoint>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

std::string ReadString(HKEY root, const std::string& key, const char* value) {
  HKEY opened = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) return "<none>";
  char text[512] = {};
  DWORD type = 0, bytes = sizeof text;
  LSTATUS status = RegQueryValueExA(opened, value, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes);
  RegCloseKey(opened);
  return status == ERROR_SUCCESS ? std::string(text) : "<none>";
}

TEST(LumetModule, RegistersItselfAndIsFoundThroughTheRegistry) {
  CoInitialize(nullptr);
  HMODULE module = LoadLibraryA(LUMET_MODULE);
  ASSERT_NE(module, nullptr);
  EntryPoint registerServer = Entry(module, "DllRegisterServer");
  EntryPoint unregisterServer = Entry(module, "DllUnregisterServer");
  ASSERT_TRUE(registerServer && unregisterServer && Entry(module, "DllGetClassObject") && Entry(module, "DllCanUnloadNow"));

  ComPtr<IBaseFilter> before;
  EXPECT_NE(CoCreateInstance(CLSID_LumetFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, before.putVoid()), S_OK);

  ASSERT_EQ(registerServer(), S_OK);
  const std::string clsid = StringFromGUIDA(CLSID_LumetFilter);
  char modulePath[1024] = {};
  GetModuleFileNameA(module, modulePath, sizeof modulePath);
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, "CLSID\\" + clsid + "\\InprocServer32", nullptr), modulePath);
  const std::string instance =
      "CLSID\\" + StringFromGUIDA(CLSID_LegacyAmFilterCategory) + "\\Instance\\" + clsid;
  EXPECT_EQ(ReadString(HKEY_CLASSES_ROOT, instance, "FriendlyName"), "VorelMedia Tranform Filter");
  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CLASSES_ROOT, instance.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD merit = 0, type = 0, bytes = sizeof merit;
  EXPECT_EQ(RegQueryValueExA(key, "Merit", nullptr, &type, reinterpret_cast<BYTE*>(&merit), &bytes), ERROR_SUCCESS);
  EXPECT_EQ(merit, 0x200000u);
  RegCloseKey(key);

  {
    ComPtr<IBaseFilter> filter;
    ASSERT_EQ(CoCreateInstance(CLSID_LumetFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter.putVoid()), S_OK);
    ComPtr<ILogoMixer> mixer;
    EXPECT_EQ(filter.As(IID_ILogoMixer, &mixer), S_OK);
    EXPECT_EQ(mixer->SetText("registered"), S_OK);
    CLSID classId{};
    filter->GetClassID(&classId);
    EXPECT_TRUE(IsEqualCLSID(classId, CLSID_LumetFilter));
  }

  ASSERT_EQ(unregisterServer(), S_OK);
  ComPtr<IBaseFilter> after;
  EXPECT_NE(CoCreateInstance(CLSID_LumetFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, after.putVoid()), S_OK);
  FreeLibrary(module);
  CoUninitialize();
}

}  // namespace
