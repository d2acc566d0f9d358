#pragma once
// Sound format codes and the decoders of the media libraries that read them.
#include <cstdint>

extern "C" {
#include <libavcodec/codec_id.h>
}

#include "quicktime/quicktime.h"

namespace quicktime::sound {

// Uncompressed sound, whose media samples are single sample frames.
bool IsUncompressed(OSType format);
// The decoder for a format code and stored sample size; AV_CODEC_ID_NONE when there is none.
// 'mp4a' is refined by the decoder configuration's object type (MP3 in an MP4 file).
AVCodecID DecoderOf(OSType format, int sampleSize, int objectType);
// The format code an imported stream's codec is described with.
OSType FormatOfCodec(AVCodecID codec);

}  // namespace quicktime::sound
