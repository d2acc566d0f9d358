#include "profile_record.h"

#include <cstdlib>
#include <cstring>

#include "win32/windows.h"

namespace {

constexpr char kSection[] = "MYPROFILE";

CString Text(LPCTSTR path, LPCTSTR key) {
  char value[MAX_PATH];
  GetPrivateProfileString(kSection, key, "", value, MAX_PATH, path);
  return CString(value);
}

int Number(LPCTSTR path, LPCTSTR key) { return std::atoi(Text(path, key)); }
double Decimal(LPCTSTR path, LPCTSTR key) { return std::atof(Text(path, key)); }
BYTE Flag(LPCTSTR path, LPCTSTR key) { return Text(path, key) == "T" ? 1 : 0; }

}  // namespace

COLORREF CProfileRecord::KeyColour() const {
  return COLORREF(keyRed) | COLORREF(keyGreen) << 8 | COLORREF(keyBlue) << 16;
}

std::unique_ptr<CProfileRecord> ReadProfile(LPCTSTR path) {
  auto profile = std::make_unique<CProfileRecord>();
  profile->path = path;
  profile->name = Text(path, "Name");
  profile->description = Text(path, "DESC");
  profile->videoIndex = Number(path, "VCOMP");
  profile->videoName = Text(path, "VCOMPNAME");
  profile->dvStandard = Number(path, "DVVIDEOSTAND");
  profile->audioIndex = Number(path, "ACOMP");
  profile->audioName = Text(path, "ACOMPNAME");
  profile->mp3Bitrate = Number(path, "MP3Bitrate");
  profile->mp3BitrateIndex = Number(path, "MP3BitrateIndex");
  profile->frameRate = Decimal(path, "FRAMERATE");
  profile->width = Number(path, "WIDTH");
  profile->height = Number(path, "HEIGHT");
  profile->stretch = Number(path, "STRETCH");
  profile->useSlowMotion = Flag(path, "USESLOWMOTION");
  profile->slowMotionRate = Decimal(path, "SLOWMOTIONRATE");
  profile->useOverlay = Flag(path, "USEOVERLAY");
  profile->overlayLeft = Number(path, "OVERLAYLEFT");
  profile->overlayTop = Number(path, "OVERLAYTOP");
  profile->overlayImage = Text(path, "OVERLAYIMAGE");
  profile->alpha = Number(path, "ALPHAVALUE");
  profile->keyRed = Number(path, "CHROMAKEYR");
  profile->keyGreen = Number(path, "CHROMAKEYG");
  profile->keyBlue = Number(path, "CHROMAKEYB");
  return profile;
}

std::vector<std::unique_ptr<CProfileRecord>> ReadProfileFolder(LPCTSTR folder) {
  std::vector<std::unique_ptr<CProfileRecord>> profiles;
  const CString prefix = CString(folder) + "\\";
  WIN32_FIND_DATA found;
  HANDLE search = FindFirstFile(prefix + "*.*", &found);
  if (search == INVALID_HANDLE_VALUE) return profiles;
  do {
    // The folder's own entries and sub-folders are not profiles, wherever the listing puts them.
    if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
    profiles.push_back(ReadProfile(prefix + found.cFileName));
  } while (FindNextFile(search, &found));
  FindClose(search);
  return profiles;
}
