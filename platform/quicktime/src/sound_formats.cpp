#include "sound_formats.h"

#include <initializer_list>

namespace quicktime::sound {

bool IsUncompressed(OSType format) {
  for (OSType plain : {kSoundNotCompressed, FourCharCode("raw "), FourCharCode("twos"), FourCharCode("sowt"),
                       FourCharCode("in24"), FourCharCode("in32"), FourCharCode("fl32"), FourCharCode("fl64")})
    if (format == plain) return true;
  return false;
}

AVCodecID DecoderOf(OSType format, int sampleSize, int objectType) {
  const bool eightBits = sampleSize == 8;
  if (format == kSoundNotCompressed) return eightBits ? AV_CODEC_ID_PCM_U8 : AV_CODEC_ID_PCM_S16BE;
  if (format == FourCharCode("raw ")) return AV_CODEC_ID_PCM_U8;
  if (format == FourCharCode("twos")) return eightBits ? AV_CODEC_ID_PCM_S8 : AV_CODEC_ID_PCM_S16BE;
  if (format == FourCharCode("sowt")) return eightBits ? AV_CODEC_ID_PCM_S8 : AV_CODEC_ID_PCM_S16LE;
  if (format == FourCharCode("in24")) return AV_CODEC_ID_PCM_S24BE;
  if (format == FourCharCode("in32")) return AV_CODEC_ID_PCM_S32BE;
  if (format == FourCharCode("fl32")) return AV_CODEC_ID_PCM_F32BE;
  if (format == FourCharCode("fl64")) return AV_CODEC_ID_PCM_F64BE;
  if (format == FourCharCode("ulaw")) return AV_CODEC_ID_PCM_MULAW;
  if (format == FourCharCode("alaw")) return AV_CODEC_ID_PCM_ALAW;
  if (format == FourCharCode("samr")) return AV_CODEC_ID_AMR_NB;
  if (format == FourCharCode("sawb")) return AV_CODEC_ID_AMR_WB;
  if (format == FourCharCode(".mp3")) return AV_CODEC_ID_MP3;
  if (format == FourCharCode("mp4a")) return objectType == 0x69 || objectType == 0x6B ? AV_CODEC_ID_MP3 : AV_CODEC_ID_AAC;
  return AV_CODEC_ID_NONE;
}

OSType FormatOfCodec(AVCodecID codec) {
  switch (codec) {
    case AV_CODEC_ID_PCM_U8: return FourCharCode("raw ");
    case AV_CODEC_ID_PCM_S8:
    case AV_CODEC_ID_PCM_S16BE: return FourCharCode("twos");
    case AV_CODEC_ID_PCM_S16LE: return FourCharCode("sowt");
    case AV_CODEC_ID_PCM_S24BE: return FourCharCode("in24");
    case AV_CODEC_ID_PCM_S32BE: return FourCharCode("in32");
    case AV_CODEC_ID_PCM_F32BE: return FourCharCode("fl32");
    case AV_CODEC_ID_PCM_F64BE: return FourCharCode("fl64");
    case AV_CODEC_ID_PCM_MULAW: return FourCharCode("ulaw");
    case AV_CODEC_ID_PCM_ALAW: return FourCharCode("alaw");
    case AV_CODEC_ID_AMR_NB: return FourCharCode("samr");
    case AV_CODEC_ID_AMR_WB: return FourCharCode("sawb");
    case AV_CODEC_ID_MP3: return FourCharCode(".mp3");
    case AV_CODEC_ID_AAC: return FourCharCode("mp4a");
    default: return FourCharCode("????");
  }
}

}  // namespace quicktime::sound
