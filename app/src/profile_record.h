#pragma once
// Profiles: named sets of AVI output settings, one ini file each in the program folder's
// "MyProfile" folder, section "MYPROFILE".
#include <memory>
#include <vector>

#include "mfc/afx.h"

class CProfileRecord : public CObject {
 public:
  CString path;
  CString name;             // "Name"
  CString description;      // "DESC"
  int videoIndex = 0;       // "VCOMP": used when the compressor name is not installed
  CString videoName;        // "VCOMPNAME"
  int dvStandard = 0;       // "DVVIDEOSTAND": 0 NTSC, 1 PAL
  int audioIndex = 0;       // "ACOMP"
  CString audioName;        // "ACOMPNAME"
  int mp3Bitrate = 0;       // "MP3Bitrate", kbit/s
  int mp3BitrateIndex = 0;  // "MP3BitrateIndex"
  double frameRate = 0;     // "FRAMERATE"
  int width = 0;            // "WIDTH"
  int height = 0;           // "HEIGHT"
  int stretch = 0;          // "STRETCH": the engine's stretch mode
  BYTE useSlowMotion = 0;   // "USESLOWMOTION": "T" exactly
  double slowMotionRate = 0;  // "SLOWMOTIONRATE"
  BYTE useOverlay = 0;      // "USEOVERLAY": "T" exactly
  int overlayLeft = 0;      // "OVERLAYLEFT"
  int overlayTop = 0;       // "OVERLAYTOP"
  CString overlayImage;     // "OVERLAYIMAGE"
  int alpha = 0;            // "ALPHAVALUE", 0 to 255
  int keyRed = 0;           // "CHROMAKEYR"
  int keyGreen = 0;         // "CHROMAKEYG"
  int keyBlue = 0;          // "CHROMAKEYB"

  // The chroma key as a colour (0x00BBGGRR).
  COLORREF KeyColour() const;
};

// Reads one profile file. A file that cannot be read, or a missing key, gives empty and zero
// values.
std::unique_ptr<CProfileRecord> ReadProfile(LPCTSTR path);

// Every profile of a folder (platform path, no trailing separator), in the order the file system
// lists the files. Sub-folders are not profiles.
std::vector<std::unique_ptr<CProfileRecord>> ReadProfileFolder(LPCTSTR folder);
