#pragma once
// The converter's user settings: section "SETTING" of the settings file in the program folder,
// read once at start-up and written once when the main window goes away.
#include "mfc/afxstr.h"

struct ConverterSettings {
  int selectedSkin = 0;    // "SelSkin": menu position of the selected skin (skin index + 2)
  int fullScreenSize = 0;  // "FullQuality": index of the full-screen preview size
  int previewDepth = 0;    // "VideoSample": 0 = 16, 1 = 24, 2 = 32 bits
  CString prefixName;      // "PreFixName"
  BYTE batchOption = 1;    // "BATCHMODE": "T" or "F"
  BYTE mergeOption = 0;    // "MERGEMODE"
  CString outputFolder = "c:\\";           // "OUTPUTFOLDER"
  CString mergeFile = "c:\\mymerge.avi";   // "MERGEFILE"

  // Reads every key; a missing file or key keeps the value held before, so a first start shows
  // the defaults above. Values are cut at 259 characters.
  void Load(LPCTSTR path);
  // Writes every key, in the order above; failures are ignored.
  void Save(LPCTSTR path) const;
};
