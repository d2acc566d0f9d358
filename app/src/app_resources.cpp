// The program's resources: the main dialog's template, its strings and its icon.
#include "app_resources.h"

#include "engine/tessary_ids.h"

namespace {

// The main dialog has no face of its own: the skin gives it one. Its one control is the engine.
const DLGITEMTEMPLATE kConverterItems[] = {
    {"{3AAED2B6-8834-4F17-8B62-ACAB5BD398FF}", nullptr, 1004, WS_VISIBLE | WS_TABSTOP, 0, 0, 160, 120},
};
const DLGTEMPLATE kConverterTemplate = {WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, 0, 0, 0, 320, 240, "Corvane",
                                        nullptr, 0, kConverterItems, 1};

// The program icon: 32 x 32, 32 bits, a rounded blue tile with a light play mark.
struct IconImage {
  BYTE header[40];
  DWORD pixels[32 * 32];
  BYTE mask[32 * 4];
};
constexpr IconImage MakeIcon() {
  IconImage icon{};
  const BYTE header[] = {40, 0, 0, 0, 32, 0, 0, 0, 64, 0, 0, 0, 1, 0, 32, 0};
  for (size_t i = 0; i < sizeof header; ++i) icon.header[i] = header[i];
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      // Rows are stored bottom-up; the mark points right.
      const int row = 31 - y;
      const bool mark = x >= 11 && x <= 23 && (row - 9) >= (x - 11) / 2 && (22 - row) >= (x - 11) / 2;
      icon.pixels[y * 32 + x] = mark ? 0xFFF1F5F9u : 0xFF2563EBu;
    }
  }
  return icon;
}
constexpr IconImage kIconImage = MakeIcon();
constexpr BYTE kIconGroup[] = {0, 0, 1, 0, 1, 0, 32, 32, 0, 0, 1, 0, 32, 0,
                               BYTE(sizeof(IconImage) & 0xFF), BYTE(sizeof(IconImage) >> 8), 0, 0, 1, 0};

const ResourceEntry kResources[] = {
    {RT_DIALOG, MAKEINTRESOURCE(IDD_CONVERTER), &kConverterTemplate, sizeof kConverterTemplate},
    {RT_ICON, MAKEINTRESOURCE(1), &kIconImage, sizeof kIconImage},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDR_MAINFRAME), kIconGroup, sizeof kIconGroup},
};
const StringEntry kStrings[] = {
    {IDS_OUTPUT_FOLDER, "Output Folder"},
    {IDS_OUTPUT_FILE, "Output File"},
    {IDS_PROFILE_NOT_FOUND, "Profile not found"},
    {IDS_OPEN_FAILED, "Open failed"},
    {IDS_EXTRACT_FAILED, "Extract failed"},
    {IDS_NO_OUTPUT_FOLDER, "Please choose an output folder first."},
    {IDS_NO_OUTPUT_FILE, "Please choose an output file first."},
    {IDS_MERGE_FILE_IS_INPUT, "The output file is one of the files to merge. Please choose another output file."},
    {IDS_CONVERSION_NOT_STARTED,
     "Converting to %s could not start. Please check that the output folder exists and can be written to."},
};
const ModuleResources kRegistered(kResources, kStrings);

}  // namespace

// Keeps the tables in a program that links this library statically.
void LinkProgramResources() {}
