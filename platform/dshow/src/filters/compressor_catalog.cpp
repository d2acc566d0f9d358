#include "dshow/compressor_catalog.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace dshow {
namespace {

constexpr uint32_t MakeFourCC(char a, char b, char c, char d) {
  return uint32_t(uint8_t(a)) | uint32_t(uint8_t(b)) << 8 | uint32_t(uint8_t(c)) << 16 | uint32_t(uint8_t(d)) << 24;
}

}  // namespace

const std::vector<CompressorEntry>& AllCompressors() {
  static const std::vector<CompressorEntry> entries = {
      {"DV Video Encoder", "dvvideo", true, MakeFourCC('d', 'v', 's', 'd'), 0, "DV Video Encoder (DVSD)", 0, 0, 0, 2, {}},
      {"MJPEG Compressor", "mjpeg", true, MakeFourCC('M', 'J', 'P', 'G'), 0, "Motion JPEG Compressor", 8000000, 0, 0, 2, {}},
      {"MPEG-4 Video Encoder", "mpeg4", true, MakeFourCC('F', 'M', 'P', '4'), 0, "MPEG-4 Part 2 Video Encoder",
       1500000, 0, 0, 2, {}},
      {"H.264 Video Encoder", "libx264", true, MakeFourCC('H', '2', '6', '4'), 0, "H.264 Video Encoder (x264)", 0, 0, 0, 2,
       {{"preset", "veryfast"}, {"x264-params", "bframes=0"}}},
      {"Cinepak Codec by Radius", "cinepak", true, MakeFourCC('c', 'v', 'i', 'd'), 0, "Cinepak Codec by Radius",
       0, 0, 0, 4, {}},
      {"Microsoft Video 1", "msvideo1", true, MakeFourCC('M', 'S', 'V', 'C'), 0, "Microsoft Video 1", 0, 0, 0, 4, {}},
      {"HuffYUV Lossless Codec", "huffyuv", true, MakeFourCC('H', 'F', 'Y', 'U'), 0, "HuffYUV Lossless Codec",
       0, 0, 0, 2, {}},
      {"PCM", "pcm_s16le", false, 0, 0x0001, "PCM", 0, 0, 0, 0, {}},
      {"MPEG Layer-3", "libmp3lame", false, 0, 0x0055, "MPEG Layer-3", 128000, 0, 0, 0, {}},
      {"IMA ADPCM", "adpcm_ima_wav", false, 0, 0x0011, "IMA ADPCM", 0, 0, 0, 0, {}},
      {"Microsoft ADPCM", "adpcm_ms", false, 0, 0x0002, "Microsoft ADPCM", 0, 0, 0, 0, {}},
      {"CCITT A-Law", "pcm_alaw", false, 0, 0x0006, "CCITT A-Law", 0, 0, 0, 0, {}},
      {"CCITT u-Law", "pcm_mulaw", false, 0, 0x0007, "CCITT u-Law", 0, 0, 0, 0, {}},
      {"GSM 6.10", "libgsm_ms", false, 0, 0x0031, "GSM 6.10", 0, 8000, 1, 0, {}},
      {"MPEG Layer-2", "mp2", false, 0, 0x0050, "MPEG Layer-2", 192000, 0, 0, 0, {}},
  };
  return entries;
}

std::vector<const CompressorEntry*> InstalledCompressors(bool video) {
  std::vector<const CompressorEntry*> present;
  for (const CompressorEntry& e : AllCompressors())
    if (e.video == video && avcodec_find_encoder_by_name(e.encoder)) present.push_back(&e);
  return present;
}

}  // namespace dshow
