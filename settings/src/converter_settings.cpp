#include "settings/converter_settings.h"

#include <cstdlib>

#include "win32/windows.h"

namespace {

constexpr char kSection[] = "SETTING";

CString ReadValue(LPCTSTR key, LPCTSTR path) {
  char value[MAX_PATH];
  GetPrivateProfileString(kSection, key, "", value, MAX_PATH, path);
  return CString(value);
}

void WriteNumber(LPCTSTR key, int number, LPCTSTR path) {
  CString text;
  text.Format("%d", number);
  WritePrivateProfileString(kSection, key, text, path);
}

}  // namespace

void ConverterSettings::Load(LPCTSTR path) {
  selectedSkin = std::atoi(ReadValue("SelSkin", path));
  fullScreenSize = std::atoi(ReadValue("FullQuality", path));
  previewDepth = std::atoi(ReadValue("VideoSample", path));
  prefixName = ReadValue("PreFixName", path);
  batchOption = ReadValue("BATCHMODE", path) == "T" ? 1 : 0;
  mergeOption = ReadValue("MERGEMODE", path) == "T" ? 1 : 0;
  outputFolder = ReadValue("OUTPUTFOLDER", path);
  mergeFile = ReadValue("MERGEFILE", path);
}

void ConverterSettings::Save(LPCTSTR path) const {
  WritePrivateProfileString(nullptr, nullptr, nullptr, path);  // flush the platform's ini cache
  WriteNumber("SelSkin", selectedSkin, path);
  WriteNumber("FullQuality", fullScreenSize, path);
  WriteNumber("VideoSample", previewDepth, path);
  WritePrivateProfileString(kSection, "PreFixName", prefixName, path);
  WritePrivateProfileString(kSection, "BATCHMODE", batchOption ? "T" : "F", path);
  WritePrivateProfileString(kSection, "MERGEMODE", mergeOption ? "T" : "F", path);
  WritePrivateProfileString(kSection, "OUTPUTFOLDER", outputFolder, path);
  WritePrivateProfileString(kSection, "MERGEFILE", mergeFile, path);
}
