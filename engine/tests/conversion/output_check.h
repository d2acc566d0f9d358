#pragma once
// Conversions of a short marked clip into one output type, and what the written file must show:
// read with the FFmpeg libraries, every packet decoded.
#include <map>
#include <string>

#include "hosted_control.h"
#include "testing/ui_driver.h"

struct DecodedFile {
  std::string error;      // empty when the file opened
  std::string format;     // demuxer name
  int decodeErrors = 0;   // packets or frames the decoders refused
  int videoFrames = 0;    // pictures decoded
  double frameRate = 0;   // the video stream's declared mean rate
  std::string videoCodec;
  std::string audioCodec;
  int width = 0;
  int height = 0;
  int sampleRate = 0;
  int channels = 0;
  double videoSeconds = 0;  // frames over the frame rate
  double audioSeconds = 0;  // samples decoded over the sample rate
  std::map<std::string, std::string> tags;  // the file's metadata
};

DecodedFile DecodeFile(const std::string& path);

class OutputConversion : public HostedControl {
 protected:
  static void SetUpTestSuite();
  // The marked clip: 176x144 at 25 frames a second with a stereo 44100 Hz tone, two seconds.
  static std::string Clip();
  static std::string Output(const std::string& name);

  // InitControl with the output type, the clip's picture and sound over [0, seconds), Save to
  // path; false when Save refuses.
  bool Convert(short type, const std::string& path, double seconds = 2.0, bool audio = true, bool video = true);
  // Pumps messages, moving the virtual clock, until Complete.
  bool PumpUntilComplete();
  // The first picture of the file is upright: red at the top of its left edge, blue at the bottom.
  void ExpectUpright(const std::string& path);

  testing_ui::UiDriver ui;
};
