#pragma once
// The installed compressors, in the fixed order the compressor categories and the Video for
// Windows functions list them. An entry whose FFmpeg encoder this build lacks is left out.
// The media framework's compressors and Video for Windows share this one list.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace dshow {

struct CompressorEntry {
  const char* friendlyName;
  const char* encoder;      // FFmpeg encoder name
  bool video;
  uint32_t fourcc;          // video: the compressor's four-character handler code
  uint16_t formatTag;       // audio: the WAVE_FORMAT_ tag of its output
  const char* description;  // longer name, as Video for Windows reports it
  int64_t bitRate;          // 0: the encoder's own default
  int sampleRate;           // audio: the only rate the format allows, 0 for any
  int channels;             // audio: the only channel count the format allows, 0 for any
  int sizeAlign;            // video: picture sizes are made multiples of this
  std::map<std::string, std::string> options;
};

// Every entry, present or not, in catalogue order (positions are stable).
const std::vector<CompressorEntry>& AllCompressors();
// Present entries of one category, in catalogue order.
std::vector<const CompressorEntry*> InstalledCompressors(bool video);

}  // namespace dshow
