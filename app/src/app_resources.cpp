// The program's resources: the dialog templates, the strings, the program icon and the buttons' icons.
#include "app_resources.h"

#include <iterator>

#include "engine/tessary_ids.h"
#include "win32/updown.h"

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

// The profile editor.
constexpr DWORD kEdit = kChild | WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL;
constexpr DWORD kList = kChild | WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST;
constexpr DWORD kPush = kChild | WS_TABSTOP | BS_PUSHBUTTON;
constexpr DWORD kCheck = kChild | WS_TABSTOP | BS_AUTOCHECKBOX;
const DLGITEMTEMPLATE kProfileItems[] = {
    {"STATIC", "Name", -1, kChild | SS_LEFT, 8, 10, 70, 8},
    {"EDIT", nullptr, 1007, kEdit | WS_DISABLED, 80, 8, 200, 12},
    {"STATIC", "Description", -1, kChild | SS_LEFT, 8, 26, 70, 8},
    {"EDIT", nullptr, 1008, kEdit, 80, 24, 200, 12},
    {"STATIC", "Video Compressor", -1, kChild | SS_LEFT, 8, 42, 70, 8},
    {"COMBOBOX", nullptr, 1005, kList, 80, 40, 200, 120},
    {"STATIC", "DV Video Standard", -1, kChild | SS_LEFT, 8, 58, 70, 8},
    {"COMBOBOX", nullptr, 1021, kList | WS_DISABLED, 80, 56, 60, 60},
    {"STATIC", "Audio Compressor", -1, kChild | SS_LEFT, 8, 74, 70, 8},
    {"COMBOBOX", nullptr, 1006, kList, 80, 72, 200, 120},
    {"STATIC", "MP3 Audio Bitrate", -1, kChild | SS_LEFT, 8, 90, 70, 8},
    {"COMBOBOX", nullptr, 1022, kList, 80, 88, 60, 120},
    {"STATIC", "Frame Rate", -1, kChild | SS_LEFT, 8, 106, 70, 8},
    {"EDIT", nullptr, 1009, kEdit, 80, 104, 40, 12},
    {"STATIC", "Width", -1, kChild | SS_LEFT, 126, 106, 24, 8},
    {"EDIT", nullptr, 1010, kEdit, 150, 104, 36, 12},
    {"STATIC", "Height", -1, kChild | SS_LEFT, 192, 106, 24, 8},
    {"EDIT", nullptr, 1011, kEdit, 216, 104, 36, 12},
    {"STATIC", "Stretch Mode", -1, kChild | SS_LEFT, 8, 122, 70, 8},
    {"COMBOBOX", nullptr, 1012, kList, 80, 120, 200, 80},
    {"BUTTON", "Use Slow motion", 1024, kCheck, 8, 138, 80, 10},
    {"EDIT", nullptr, 1027, kEdit | WS_DISABLED, 92, 137, 40, 12},
    {UPDOWN_CLASS, nullptr, 1026, kChild | WS_DISABLED, 132, 137, 10, 12},
    {"BUTTON", "Add Overlay Image", 1028, kCheck, 8, 154, 80, 10},
    {"STATIC", "Image File", -1, kChild | SS_LEFT, 8, 170, 70, 8},
    {"EDIT", nullptr, 1029, kEdit | WS_DISABLED, 80, 168, 180, 12},
    {"BUTTON", nullptr, 1030, kPush, 262, 168, 18, 12},
    {"STATIC", "Left", -1, kChild | SS_LEFT, 8, 186, 24, 8},
    {"EDIT", nullptr, 1031, kEdit, 34, 184, 36, 12},
    {"STATIC", "Top", -1, kChild | SS_LEFT, 76, 186, 24, 8},
    {"EDIT", nullptr, 1032, kEdit, 100, 184, 36, 12},
    {"STATIC", "Chroma Key", -1, kChild | SS_LEFT, 142, 186, 44, 8},
    {"BUTTON", nullptr, 1033, kPush, 188, 184, 24, 12},
    {"STATIC", "Alpha Value", -1, kChild | SS_LEFT, 8, 202, 44, 8},
    {"EDIT", nullptr, 1034, kEdit, 54, 200, 36, 12},
    {UPDOWN_CLASS, nullptr, 1036, kChild, 90, 200, 10, 12},
    {"STATIC", "Max is 255 = Full visible, 128 = 50% visible", -1, kChild | SS_LEFT, 104, 202, 176, 8},
    {"BUTTON", nullptr, 1013, kPush, 8, 220, 24, 16},
    {"BUTTON", nullptr, 1014, kPush, 34, 220, 24, 16},
    {"BUTTON", nullptr, 1015, kPush, 60, 220, 24, 16},
    {"BUTTON", nullptr, 1016, kPush, 86, 220, 24, 16},
    {"BUTTON", "Add", 1017, kPush, 120, 220, 38, 16},
    {"BUTTON", "Delete", 1018, kPush, 160, 220, 38, 16},
    {"BUTTON", "Save", 1019, kPush, 200, 220, 38, 16},
    {"BUTTON", "Cancel", 1020, kPush | WS_DISABLED, 240, 220, 40, 16},
};
const DLGTEMPLATE kProfileTemplate = {kDialogStyle, 0, 0, 0, 288, 244, "AVI Profile", "Comic Sans MS", 7,
                                      kProfileItems, std::size(kProfileItems)};

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

// The dialogs' button icons: 16 x 16, 32 bits, transparent where the shape is not.
struct SmallIcon {
  BYTE header[40];
  DWORD pixels[16 * 16];  // bottom-up rows
  BYTE mask[16 * 4];      // set where transparent; rows padded to 4 bytes
};
// shape(x, y) with y from the top: the pixel's colour, or 0 where the icon is transparent.
constexpr SmallIcon MakeSmallIcon(DWORD (*shape)(int x, int y)) {
  SmallIcon icon{};
  const BYTE header[] = {40, 0, 0, 0, 16, 0, 0, 0, 32, 0, 0, 0, 1, 0, 32, 0};
  for (size_t i = 0; i < sizeof header; ++i) icon.header[i] = header[i];
  for (int y = 0; y < 16; ++y) {
    const int row = 15 - y;
    for (int x = 0; x < 16; ++x) {
      const DWORD colour = shape(x, y);
      icon.pixels[row * 16 + x] = colour;
      if (!colour) icon.mask[row * 4 + x / 8] |= BYTE(0x80 >> (x % 8));
    }
  }
  return icon;
}
// A group directory of one 16 x 16 image.
struct SmallIconGroup {
  BYTE bytes[20];
};
constexpr SmallIconGroup MakeGroup(WORD imageId) {
  return {{0, 0, 1, 0, 1, 0, 16, 16, 0, 0, 1, 0, 32, 0, BYTE(sizeof(SmallIcon) & 0xFF), BYTE(sizeof(SmallIcon) >> 8),
           0, 0, BYTE(imageId), BYTE(imageId >> 8)}};
}

constexpr DWORD kGreen = 0x2E9E44, kRed = 0xD03030, kBlue = 0x2563EB, kFolder = 0xE8B830, kFolderEdge = 0x9A7410;

// Whether the pixel's centre lies within half a width of the segment.
constexpr bool OnStroke(int x, int y, double x0, double y0, double x1, double y1, double width) {
  const double px = x + 0.5, py = y + 0.5, dx = x1 - x0, dy = y1 - y0;
  double t = ((px - x0) * dx + (py - y0) * dy) / (dx * dx + dy * dy);
  t = t < 0 ? 0 : t > 1 ? 1 : t;
  const double ex = px - (x0 + t * dx), ey = py - (y0 + t * dy);
  return ex * ex + ey * ey <= width * width / 4;
}
// A triangle pointing right with its tip at column tip.
constexpr bool InRightTriangle(int x, int y, int tip) {
  const double cx = x + 0.5, cy = y + 0.5;
  const double half = (tip + 0.5 - cx) * 0.75;
  return x >= tip - 8 && x <= tip && cy - 8 <= half && 8 - cy <= half;
}

constexpr DWORD AddShape(int x, int y) {
  return ((x >= 6 && x <= 9 && y >= 2 && y <= 13) || (y >= 6 && y <= 9 && x >= 2 && x <= 13)) ? kGreen : 0;
}
constexpr DWORD CrossShape(int x, int y) {
  return (OnStroke(x, y, 3, 3, 13, 13, 3) || OnStroke(x, y, 13, 3, 3, 13, 3)) ? kRed : 0;
}
constexpr DWORD CheckShape(int x, int y) {
  return (OnStroke(x, y, 2.5, 8.5, 6.5, 12.5, 3) || OnStroke(x, y, 6.5, 12.5, 13.5, 3.5, 3)) ? kGreen : 0;
}
constexpr DWORD NextShape(int x, int y) { return InRightTriangle(x, y, 12) ? kBlue : 0; }
constexpr DWORD PreviousShape(int x, int y) { return NextShape(15 - x, y); }
constexpr DWORD LastShape(int x, int y) {
  return (InRightTriangle(x, y, 10) || (x >= 11 && x <= 12 && y >= 2 && y <= 13)) ? kBlue : 0;
}
constexpr DWORD FirstShape(int x, int y) { return LastShape(15 - x, y); }
constexpr DWORD FolderShape(int x, int y) {
  const bool tab = y >= 3 && y <= 4 && x >= 1 && x <= 6;
  const bool body = y >= 5 && y <= 13 && x >= 1 && x <= 14;
  if (!tab && !body) return 0;
  const bool edge = x == 1 || y == 13 || (body && x == 14) || y == 3 || (tab && x == 6) || (y == 5 && x > 6);
  return edge ? kFolderEdge : kFolder;
}

constexpr SmallIcon kAddIcon = MakeSmallIcon(AddShape);
constexpr SmallIcon kCrossIcon = MakeSmallIcon(CrossShape);
constexpr SmallIcon kCheckIcon = MakeSmallIcon(CheckShape);
constexpr SmallIcon kNextIcon = MakeSmallIcon(NextShape);
constexpr SmallIcon kPreviousIcon = MakeSmallIcon(PreviousShape);
constexpr SmallIcon kLastIcon = MakeSmallIcon(LastShape);
constexpr SmallIcon kFirstIcon = MakeSmallIcon(FirstShape);
constexpr SmallIcon kFolderIcon = MakeSmallIcon(FolderShape);
constexpr SmallIconGroup kAddGroup = MakeGroup(2), kCrossGroup = MakeGroup(3), kCheckGroup = MakeGroup(4),
                         kNextGroup = MakeGroup(5), kPreviousGroup = MakeGroup(6), kLastGroup = MakeGroup(7),
                         kFirstGroup = MakeGroup(8), kFolderGroup = MakeGroup(9);

const ResourceEntry kResources[] = {
    {RT_DIALOG, MAKEINTRESOURCE(IDD_CONVERTER), &kConverterTemplate, sizeof kConverterTemplate},
    {RT_DIALOG, MAKEINTRESOURCE(IDD_EDIT_TIME), &kEditTimeTemplate, sizeof kEditTimeTemplate},
    {RT_DIALOG, MAKEINTRESOURCE(IDD_OPTIONS), &kOptionsTemplate, sizeof kOptionsTemplate},
    {RT_DIALOG, MAKEINTRESOURCE(IDD_PROFILE), &kProfileTemplate, sizeof kProfileTemplate},
    {RT_ICON, MAKEINTRESOURCE(1), &kIconImage, sizeof kIconImage},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDR_MAINFRAME), kIconGroup, sizeof kIconGroup},
    {RT_ICON, MAKEINTRESOURCE(2), &kAddIcon, sizeof kAddIcon},
    {RT_ICON, MAKEINTRESOURCE(3), &kCrossIcon, sizeof kCrossIcon},
    {RT_ICON, MAKEINTRESOURCE(4), &kCheckIcon, sizeof kCheckIcon},
    {RT_ICON, MAKEINTRESOURCE(5), &kNextIcon, sizeof kNextIcon},
    {RT_ICON, MAKEINTRESOURCE(6), &kPreviousIcon, sizeof kPreviousIcon},
    {RT_ICON, MAKEINTRESOURCE(7), &kLastIcon, sizeof kLastIcon},
    {RT_ICON, MAKEINTRESOURCE(8), &kFirstIcon, sizeof kFirstIcon},
    {RT_ICON, MAKEINTRESOURCE(9), &kFolderIcon, sizeof kFolderIcon},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_ADD), &kAddGroup, sizeof kAddGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_CROSS), &kCrossGroup, sizeof kCrossGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_CHECK), &kCheckGroup, sizeof kCheckGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_NEXT), &kNextGroup, sizeof kNextGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_PREVIOUS), &kPreviousGroup, sizeof kPreviousGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_LAST), &kLastGroup, sizeof kLastGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_FIRST), &kFirstGroup, sizeof kFirstGroup},
    {RT_GROUP_ICON, MAKEINTRESOURCE(IDI_FOLDER), &kFolderGroup, sizeof kFolderGroup},
};
const StringEntry kStrings[] = {
    {IDS_OUTPUT_FOLDER, "Output Folder"},
    {IDS_OUTPUT_FILE, "Output File"},
    {IDS_PROFILE_NOT_FOUND, "Profile not found"},
    {IDS_NO_PROFILE_NAME, "Please input profile name"},
    {IDS_UNUSABLE_VIDEO_COMPRESSOR, "This video compressor can't use, try another video compressor"},
    {IDS_FRAME_TOO_LARGE, "You cannot select more than 720x480 for this codec"},
    {IDS_NO_OVERLAY_IMAGE, "Please input overlay image file"},
    {IDS_DELETE_PROFILE, "Do you want to delete this record?"},
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
