#pragma once
// The format block of a compressed stream between our own filters: the FFmpeg codec parameters
// (format type FORMAT_FFmpegCodec), followed by the codec's extra data.
#include <cstdint>
#include <vector>

#include "dshow/builtin_filters.h"
#include "dshow/ffmpeg_handles.h"

namespace dshow::filters {

using FFmpegCodecInfo = FFMPEGCODECINFO;

std::vector<uint8_t> DescribeCodec(const AVCodecParameters* parameters, AVRational frameRate);
// Fills parameters (and the frame rate) from a format block; false when the block is malformed.
bool ReadCodec(const uint8_t* block, size_t size, AVCodecParameters* parameters, AVRational* frameRate);

}  // namespace dshow::filters
