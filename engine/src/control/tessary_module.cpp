// The Tessary control library: its resources and its COM entry points.
#include "des/qedit.h"
#include "control/control_type_description.h"
#include "control/tessary_resources.h"
#include "control/tessary_type_library.h"
#include "engine/tessary_ids.h"
#include "filters/outside_filters.h"
#include "mfc/afxctl.h"
#include "wmf/wmsdk.h"

namespace {

const DLGTEMPLATE kPropPageTemplate = {WS_CHILD, 0, 0, 0, 250, 62, nullptr, "MS Sans Serif", 8};

const DLGITEMTEMPLATE kAboutItems[] = {
    {"STATIC", "#1", -1, SS_ICON | WS_VISIBLE, 10, 10, 20, 20},
    {"STATIC", "Vorel Converter Control, Version 1.0", -1, SS_LEFT | WS_VISIBLE, 40, 10, 170, 8},
    {"STATIC", "Copyright (C) 2026 Corvane", -1, SS_LEFT | WS_VISIBLE, 40, 25, 170, 8},
    {"BUTTON", "OK", IDOK, BS_DEFPUSHBUTTON | WS_VISIBLE | WS_TABSTOP | WS_GROUP, 176, 40, 32, 14},
};

// A 1x1 placeholder toolbox bitmap: its header and one black pixel row.
const BYTE kToolboxBitmap[] = {40, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1, 0, 24, 0, 0, 0, 0, 0, 4, 0, 0, 0,
                               0,  0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// The control's icon: one 32 x 32 image of 32 bits, a dark blue square with a light frame.
struct IconImage {
  BYTE header[40];
  DWORD pixels[32 * 32];
  BYTE mask[32 * 4];
};
constexpr IconImage MakeIcon() {
  IconImage icon{};
  const BYTE header[] = {40, 0, 0, 0, 32, 0, 0, 0, 64, 0, 0, 0, 1, 0, 32, 0};
  for (size_t i = 0; i < sizeof header; ++i) icon.header[i] = header[i];
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x)
      icon.pixels[y * 32 + x] = (x < 2 || y < 2 || x > 29 || y > 29) ? 0xFFD0D8E8u : 0xFF1C2E5Au;
  return icon;
}
constexpr IconImage kIconImage = MakeIcon();
// The group directory: one entry, 32 x 32, 32 bits, image id 1.
constexpr BYTE kIconGroup[] = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0,
                               BYTE(sizeof(IconImage) & 0xFF), BYTE(sizeof(IconImage) >> 8), 0, 0, 1, 0};

const ResourceEntry kResources[] = {
    {RT_ICON, MAKEINTRESOURCE(1), &kIconImage, sizeof kIconImage},
    {RT_GROUP_ICON, MAKEINTRESOURCE(1), kIconGroup, sizeof kIconGroup},
    {RT_DIALOG, MAKEINTRESOURCE(IDD_ABOUTBOX_TESSARY), &kAboutBoxTemplate, sizeof kAboutBoxTemplate},
    {RT_DIALOG, MAKEINTRESOURCE(IDD_PROPPAGE_TESSARY), &kPropPageTemplate, sizeof kPropPageTemplate},
    {RT_BITMAP, MAKEINTRESOURCE(IDB_TESSARY), kToolboxBitmap, sizeof kToolboxBitmap},
};
const StringEntry kStrings[] = {
    {IDS_TESSARY, "Vorel Converter Control"},
    {IDS_TESSARY_PPG, "Vorel Converter Property Page"},
    {IDS_TESSARY_PPG_CAPTION, "General"},
};
const ModuleResources kRegistered(kResources, kStrings);

}  // namespace

const DLGTEMPLATE kAboutBoxTemplate = {DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU, 0, 0, 0, 217, 60,
                                       "About Vorel Converter Control", "MS Sans Serif", 8, kAboutItems, 4};

extern "C" __attribute__((visibility("default"))) HRESULT DllRegisterServer() {
  if (!AfxOleRegisterTypeLib(AfxGetInstanceHandle(), LIBID_TESSARYLib)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(TRUE)) return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllUnregisterServer() {
  if (!AfxOleUnregisterTypeLib(LIBID_TESSARYLib, 1, 0, 0)) return SELFREG_E_TYPELIB;
  if (!COleObjectFactoryEx::UpdateRegistryAll(FALSE)) return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" __attribute__((visibility("default"))) HRESULT DllGetClassObject(REFCLSID rclsid, REFIID riid,
                                                                            LPVOID* ppv) {
  // The control creates the classes of these libraries by class id; they are known before any
  // object of the module exists.
  RegisterDesClasses();
  RegisterOutsideFilterClasses();
  RegisterWmfClasses();
  SetControlTypeDescription(DescribeTessaryControl);
  return AfxDllGetClassObject(rclsid, riid, ppv);
}

extern "C" __attribute__((visibility("default"))) HRESULT DllCanUnloadNow() { return AfxDllCanUnloadNow(); }
