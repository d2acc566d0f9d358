#include "skin/colour_table.h"

#include <array>
#include <cstdio>

#include "mfc/afxwin.h"

namespace {

constexpr int kMaxNameLength = 255;
constexpr int kCustomColourCount = 16;

const std::array<ColourTableEntry, CColourTable::kCount> kDefaults = {{
    {RGB(0, 0, 0), "Black"},
    {RGB(165, 42, 0), "Brown"},
    {RGB(0, 64, 64), "Dark Olive Green"},
    {RGB(0, 85, 0), "Dark Green"},
    {RGB(0, 0, 94), "Dark Teal"},
    {RGB(0, 0, 139), "Dark blue"},
    {RGB(75, 0, 130), "Indigo"},
    {RGB(40, 40, 40), "Dark grey"},
    {RGB(139, 0, 0), "Dark red"},
    {RGB(255, 104, 32), "Orange"},
    {RGB(139, 139, 0), "Dark yellow"},
    {RGB(0, 147, 0), "Green"},
    {RGB(56, 142, 142), "Teal"},
    {RGB(0, 0, 255), "Blue"},
    {RGB(123, 123, 192), "Blue-grey"},
    {RGB(102, 102, 102), "Grey - 40"},
    {RGB(255, 0, 0), "Red"},
    {RGB(255, 173, 91), "Light orange"},
    {RGB(50, 205, 50), "Lime"},
    {RGB(60, 179, 113), "Sea green"},
    {RGB(127, 255, 212), "Aqua"},
    {RGB(125, 158, 192), "Light blue"},
    {RGB(128, 0, 128), "Violet"},
    {RGB(128, 128, 128), "Grey - 50"},
    {RGB(255, 192, 203), "Pink"},
    {RGB(255, 215, 0), "Gold"},
    {RGB(255, 255, 0), "Yellow"},
    {RGB(0, 255, 0), "Bright green"},
    {RGB(64, 224, 208), "Turquoise"},
    {RGB(192, 255, 255), "Skyblue"},
    {RGB(72, 0, 72), "Plum"},
    {RGB(192, 192, 192), "Light grey"},
    {RGB(255, 228, 225), "Rose"},
    {RGB(210, 180, 140), "Tan"},
    {RGB(255, 255, 224), "Light yellow"},
    {RGB(152, 251, 152), "Pale green "},
    {RGB(175, 238, 238), "Pale turquoise"},
    {RGB(104, 131, 139), "Pale blue"},
    {RGB(230, 230, 250), "Lavender"},
    {RGB(255, 255, 255), "White"},
}};

std::array<ColourTableEntry, CColourTable::kCount>& Table() {
  static std::array<ColourTableEntry, CColourTable::kCount> table = kDefaults;
  return table;
}

std::string CustomColourName(int index) {
  char name[32];
  std::snprintf(name, sizeof name, "CUSTOM_COLOR_%d", index);
  return name;
}

}  // namespace

const ColourTableEntry& CColourTable::GetEntry(int index) { return Table().at(index); }

int CColourTable::Find(COLORREF colour) {
  for (int i = 0; i < kCount; ++i) {
    if (Table()[i].colour == colour) return i;
  }
  return -1;
}

void CColourTable::SetColourNames(UINT firstId) {
  for (int i = 0; i < kCount; ++i) {
    char text[kMaxNameLength + 1] = {};
    const bool found = firstId != 0 && LoadStringA(AfxGetResourceHandle(), firstId + i, text, sizeof text) > 0;
    Table()[i].name = found ? text : kDefaults[i].name;
  }
}

BOOL ChooseColourWithCustomColours(HWND owner, const std::string& registrySection, COLORREF& colour) {
  COLORREF custom[kCustomColourCount];
  HKEY key = nullptr;
  if (!registrySection.empty() &&
      RegCreateKeyExA(HKEY_CURRENT_USER, registrySection.c_str(), 0, nullptr, 0, KEY_READ | KEY_WRITE, nullptr, &key,
                      nullptr) != ERROR_SUCCESS) {
    key = nullptr;
  }
  for (int i = 0; i < kCustomColourCount; ++i) {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    const bool found = key && RegQueryValueExA(key, CustomColourName(i).c_str(), nullptr, &type,
                                               reinterpret_cast<BYTE*>(&value), &size) == ERROR_SUCCESS &&
                       type == REG_DWORD && size == sizeof value;
    custom[i] = found ? value : RGB(255, 255, 255);
  }

  CHOOSECOLORA cc{};
  cc.lStructSize = sizeof cc;
  cc.hwndOwner = owner;
  cc.rgbResult = colour;
  cc.lpCustColors = custom;
  cc.Flags = CC_FULLOPEN | CC_ANYCOLOR | CC_RGBINIT;
  const BOOL chosen = ChooseColorA(&cc);

  if (key) {
    for (int i = 0; i < kCustomColourCount; ++i) {
      const DWORD value = custom[i];
      RegSetValueExA(key, CustomColourName(i).c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                     sizeof value);
    }
    RegCloseKey(key);
  }
  if (chosen) colour = cc.rgbResult;
  return chosen;
}
