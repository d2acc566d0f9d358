#include "ffmpeg_util.h"

namespace quicktime::ffmpeg {

Input OpenInput(const std::string& path, bool probeStreams) {
  AVFormatContext* raw = nullptr;
  if (avformat_open_input(&raw, path.c_str(), nullptr, nullptr) < 0) return nullptr;
  Input input(raw);
  if (probeStreams && avformat_find_stream_info(input.get(), nullptr) < 0) return nullptr;
  return input;
}

}  // namespace quicktime::ffmpeg
