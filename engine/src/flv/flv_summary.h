#pragma once
// What one pass over a source FLV learns: the description written into the "onMetaData" tag, the
// keyframe index and the byte runs of audio and video tags that go into the output.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct FlvRun {
  size_t offset;  // in the source
  size_t length;
};

struct FlvSummary {
  std::string metadataCreator = "Pellan Software 1.0";
  bool hasKeyframes = false;
  bool hasVideo = false;
  bool hasAudio = false;
  bool canSeekToEnd = false;
  double duration = 0;
  double lastTimestamp = 0;
  uint64_t dataSize = 0;   // sum of (data size + 15) over audio and video tags
  uint64_t videoSize = 0;  // sum of (data size + 11)
  uint64_t audioSize = 0;
  double videoCodecId = 0;
  double width = 0;
  double height = 0;
  double frameRate = 0;
  double videoDataRate = 0;  // kbit/s
  double audioCodecId = 0;
  double audioSampleRate = 0;
  double audioSampleSize = 0;
  bool stereo = false;
  double audioDataRate = 0;
  double fileSize = 0;
  double lastKeyframeTimestamp = 0;
  double lastKeyframeLocation = 0;
  // One entry per video keyframe tag. Positions are relative to the first tag until
  // PlaceAfterMetadata makes them output file positions.
  std::vector<double> keyframePositions;
  std::vector<double> keyframeTimes;
  // Maximal stretches of consecutive audio and video tags, each with its back pointer.
  std::vector<FlvRun> runs;
};

// Walks the tags of an FLV held in memory. False when it is not an FLV file, its header's data
// offset lies outside it, a tag's back pointer breaks the chain, or it holds no audio or video
// tag; a last tag that would end past the end of the file stops the walk.
bool ScanFlv(std::span<const uint8_t> file, FlvSummary& summary);

// Fixes the file size and turns the keyframe positions into positions in the output, once the
// length of the metadata tag (with its back pointer) is known.
void PlaceAfterMetadata(FlvSummary& summary, size_t metadataTagLength);
