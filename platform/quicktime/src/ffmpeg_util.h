#pragma once
// Ownership of the FFmpeg libraries' objects.
#include <dshow/ffmpeg_handles.h>

#include <string>

namespace quicktime::ffmpeg {

using dshow::filters::CodecContext;
using dshow::filters::Frame;
using dshow::filters::Input;
using dshow::filters::Packet;
using dshow::filters::Parameters;
using dshow::filters::Resampler;
using dshow::filters::Scaler;

// Opens a file for demuxing; null when the libraries cannot read it.
Input OpenInput(const std::string& path, bool probeStreams);

}  // namespace quicktime::ffmpeg
