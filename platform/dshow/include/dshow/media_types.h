#pragma once
// Media types of the built-in filters: uncompressed video in VIDEOINFOHEADER, PCM in WAVEFORMATEX
// and compressed streams carrying FFmpeg codec parameters (FORMAT_FFmpegCodec).
#include "dshow/audio_converter.h"
#include "dshow/builtin_filters.h"
#include "dshow/strmif.h"
#include "dshow/raw_image.h"

namespace dshow::filters {

struct VideoFormat {
  RawKind kind = RawKind::RGB24;
  int width = 0;
  int height = 0;
  int64_t frameTime = 0;  // AvgTimePerFrame, 0 when unknown
};

// The five uncompressed kinds in the order filters offer them.
inline constexpr RawKind kRawKinds[] = {RawKind::I420, RawKind::YUY2, RawKind::RGB32, RawKind::RGB24,
                                        RawKind::RGB555};

const GUID& SubtypeOf(RawKind kind);
// Reads an uncompressed VIDEOINFOHEADER type of one of the five kinds; RGB must be bottom-up.
bool ReadVideoFormat(const AM_MEDIA_TYPE& mt, VideoFormat* out);
// Replaces mt (freeing its format block) with the type of the format.
void WriteVideoFormat(const VideoFormat& format, AM_MEDIA_TYPE* mt);

// PCM of 8, 16 or 32 bits in WAVEFORMATEX.
bool ReadPcmFormat(const AM_MEDIA_TYPE& mt, PcmFormat* out);
void WritePcmFormat(const PcmFormat& format, AM_MEDIA_TYPE* mt);

// A compressed stream: major type by codec, subtype from the FourCC or format tag where known.
void WriteCodecFormat(const AVCodecParameters* parameters, AVRational frameRate, AM_MEDIA_TYPE* mt);

// Codec parameters of any stream type a writer can take: uncompressed video, PCM, FFmpeg codec
// blocks, and VIDEOINFOHEADER or WAVEFORMATEX types whose FourCC or tag FFmpeg knows. Raw video
// keeps its bottom-up rows. False for anything else.
bool ReadStreamParameters(const AM_MEDIA_TYPE& mt, AVCodecParameters* out, AVRational* frameRate);

}  // namespace dshow::filters
