#include "settings/converter_settings.h"

#include <cstdlib>
#include <cstring>
#include <optional>

#include "win32/windows.h"

namespace {

constexpr char kSection[] = "SETTING";

// The value, or nothing when the key is missing. A key that is present but empty is a value.
std::optional<CString> ReadValue(LPCTSTR key, LPCTSTR path) {
  // A default no written value can hold tells a missing key from an empty one.
  constexpr char kMissing[] = "\n";
  char value[MAX_PATH];
  GetPrivateProfileString(kSection, key, kMissing, value, MAX_PATH, path);
  if (std::strcmp(value, kMissing) == 0) return std::nullopt;
  return CString(value);
}

void ReadNumber(LPCTSTR key, LPCTSTR path, int& number) {
  if (auto value = ReadValue(key, path)) number = std::atoi(*value);
}

void ReadText(LPCTSTR key, LPCTSTR path, CString& text) {
  if (auto value = ReadValue(key, path)) text = *value;
}

void ReadFlag(LPCTSTR key, LPCTSTR path, BYTE& flag) {
  if (auto value = ReadValue(key, path)) flag = *value == "T" ? 1 : 0;
}

void WriteNumber(LPCTSTR key, int number, LPCTSTR path) {
  CString text;
  text.Format("%d", number);
  WritePrivateProfileString(kSection, key, text, path);
}

}  // namespace

void ConverterSettings::Load(LPCTSTR path) {
  ReadNumber("SelSkin", path, selectedSkin);
  ReadNumber("FullQuality", path, fullScreenSize);
  ReadNumber("VideoSample", path, previewDepth);
  ReadText("PreFixName", path, prefixName);
  ReadFlag("BATCHMODE", path, batchOption);
  ReadFlag("MERGEMODE", path, mergeOption);
  ReadText("OUTPUTFOLDER", path, outputFolder);
  ReadText("MERGEFILE", path, mergeFile);
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
