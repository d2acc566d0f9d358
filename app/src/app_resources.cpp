// The program's resources: the dialog templates, the strings and the icon.
#include "app_resources.h"

#include <iterator>

#include "engine/tessary_ids.h"

namespace {

// The main dialog has no face of its own: the skin gives it one. Its one control is the engine.
const DLGITEMTEMPLATE kConverterItems[] = {
    {"{3AAED2B6-8834-4F17-8B62-ACAB5BD398FF}", nullptr, 1004, WS_VISIBLE | WS_TABSTOP, 0, 0, 160, 120},
};
const DLGTEMPLATE kConverterTemplate = {WS_POPUP | WS_MINIMIZEBOX | WS_SYSMENU, 0, 0, 0, 320, 240, "Corvane",
                                        nullptr, 0, kConverterItems, 1};

constexpr DWORD kChild = WS_CHILD | WS_VISIBLE;
constexpr DWORD kDialogStyle = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;

const DLGITEMTEMPLATE kEditTimeItems[] = {
    {"STATIC", "Start Time (s)", -1, kChild | SS_LEFT, 8, 10, 56, 8},
    {"EDIT", nullptr, 1022, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 66, 8, 70, 12},
    {"STATIC", "End Time (s)", -1, kChild | SS_LEFT, 8, 28, 56, 8},
    {"EDIT", nullptr, 1023, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 66, 26, 70, 12},
    {"BUTTON", "OK", IDOK, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 18, 48, 50, 16},
    {"BUTTON", "Cancel", IDCANCEL, kChild | WS_TABSTOP | BS_PUSHBUTTON, 78, 48, 50, 16},
};
const DLGTEMPLATE kEditTimeTemplate = {kDialogStyle, 0, 0, 0, 146, 72, "Edit Time", "Comic Sans MS", 7,
                                       kEditTimeItems, std::size(kEditTimeItems)};

const DLGITEMTEMPLATE kOptionsItems[] = {
    {"STATIC", "Preview Full Screen Quality", -1, kChild | SS_LEFT, 8, 10, 96, 8},
    {"COMBOBOX", nullptr, 1041, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 106, 8, 70, 120},
    {"STATIC", "Video Sample Size", -1, kChild | SS_LEFT, 8, 28, 96, 8},
    {"COMBOBOX", nullptr, 1042, kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST, 106, 26, 70, 60},
    {"BUTTON", "Batch mode Prefix Name", -1, kChild | BS_GROUPBOX, 6, 46, 172, 32},
    {"STATIC", "Prefix Name", -1, kChild | SS_LEFT, 12, 60, 60, 8},
    {"EDIT", nullptr, 1029, kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 74, 58, 98, 12},
    {"BUTTON", "OK", IDOK, kChild | WS_TABSTOP | BS_DEFPUSHBUTTON, 36, 86, 50, 16},
    {"BUTTON", "Cancel", IDCANCEL, kChild | WS_TABSTOP | BS_PUSHBUTTON, 98, 86, 50, 16},
};
const DLGTEMPLATE kOptionsTemplate = {kDialogStyle, 0, 0, 0, 184, 110, "Options", "Comic Sans MS", 7,
                                      kOptionsItems, std::size(kOptionsItems)};

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
    {RT_DIALOG, MAKEINTRESOURCE(IDD_EDIT_TIME), &kEditTimeTemplate, sizeof kEditTimeTemplate},
    {RT_DIALOG, MAKEINTRESOURCE(IDD_OPTIONS), &kOptionsTemplate, sizeof kOptionsTemplate},
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
    {IDS_BAD_TIMES, "The start time must be 0 or more and before the end time."},
};
const ModuleResources kRegistered(kResources, kStrings);

}  // namespace

// Keeps the tables in a program that links this library statically.
void LinkProgramResources() {}
