#pragma once
// The named colours every colour picker offers, shared by all pickers, and the system colour
// dialog as the pickers open it for "More Colors...".
#include <string>

#include "win32/windows.h"

// The automatic colour: the picker shows its default colour for it.
#define CLR_DEFAULT 0xFF000000

struct ColourTableEntry {
  COLORREF colour;
  std::string name;
};

class CColourTable {
 public:
  static constexpr int kCount = 40;

  static int GetCount() { return kCount; }
  static const ColourTableEntry& GetEntry(int index);
  // The entry's place, or -1 for a colour not in the table.
  static int Find(COLORREF colour);
  // Names from 40 consecutive string resources of the resource module, from firstId; a missing
  // string keeps the default name. 0 restores every default name.
  static void SetColourNames(UINT firstId);
};

// Opens the colour dialog (full, any colour) on the colour with the 16 custom colours kept as
// "CUSTOM_COLOR_0".."CUSTOM_COLOR_15" under HKEY_CURRENT_USER\registrySection (white where a value
// or the section is missing; not kept without a section). TRUE with the colour on OK.
BOOL ChooseColourWithCustomColours(HWND owner, const std::string& registrySection, COLORREF& colour);
