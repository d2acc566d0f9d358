#include "flv/flv_summary.h"

#include <cstdint>

namespace {

constexpr uint8_t kAudioTag = 8;
constexpr uint8_t kVideoTag = 9;
constexpr size_t kTagHeader = 11;
constexpr size_t kBackPointer = 4;
constexpr size_t kFileHeader = 9;

uint32_t Be24(const uint8_t* p) { return uint32_t(p[0]) << 16 | uint32_t(p[1]) << 8 | p[2]; }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | Be24(p + 1); }

// Milliseconds in 24 bits, extended by the following byte as the top 8 bits.
double TagSeconds(const uint8_t* tag) { return (Be24(tag + 4) | uint32_t(tag[7]) << 24) * 0.001; }

// Picture size from the bytes after the codec byte of the first video tag; b holds only the
// tag's own data, so a short tag leaves the size unknown.
void ReadPictureSize(unsigned codec, std::span<const uint8_t> b, FlvSummary& s) {
  auto set = [&](unsigned w, unsigned h) {
    s.width = w;
    s.height = h;
  };
  switch (codec) {
    case 2: {  // Sorenson H.263
      if (b.size() < 5 || b[0] != 0 || b[1] != 0 || !(b[2] & 0x80)) return;
      const unsigned code = ((b[3] << 1) & 7) | (b[4] >> 7);
      if (code == 0) {
        if (b.size() < 7) return;
        set(((b[4] << 1) | (b[5] >> 7)) & 255, ((b[5] << 1) | (b[6] >> 7)) & 255);
      } else if (code == 1) {
        if (b.size() < 9) return;
        set(((((b[4] & 127) << 8) | b[5]) << 1) | (b[6] >> 7),
            ((((b[6] << 8) & 32767) | b[7]) << 1) | (b[8] >> 7));
      } else if (code <= 6) {
        static constexpr unsigned kSizes[][2] = {{352, 288}, {176, 144}, {128, 96}, {320, 240}, {160, 120}};
        set(kSizes[code - 2][0], kSizes[code - 2][1]);
      }
      return;
    }
    case 3:  // screen video
    case 6:
      if (b.size() < 4) return;
      set(((b[0] << 8) & 4095) | b[1], ((b[2] << 8) & 4095) | b[3]);
      return;
    case 4:  // VP6
      if (b.size() < 5) return;
      s.width = b[4] * 16 - (b[0] >> 4);
      s.height = b[3] * 16 - (b[0] & 15);
      return;
    case 5:  // VP6 with alpha
      if (b.size() < 8) return;
      s.width = b[7] * 16 - (b[0] >> 4);
      s.height = b[6] * 16 - (b[0] & 15);
      return;
    default:
      return;
  }
}

// AVC video tags carry a packet type after the codec byte; only type 1 holds a picture. The
// sequence header (0) and the end of sequence (2) are neither frames nor seek points.
bool IsCodedFrame(uint8_t first, std::span<const uint8_t> data) {
  constexpr uint8_t kAvc = 7;
  if ((first & 15) != kAvc) return true;
  return data.size() >= 2 && data[1] == 1;
}

constexpr size_t kNoTag = SIZE_MAX;

// The start of the complete tag that the file's final back pointer names, or kNoTag when the
// file does not end with one (as when it is cut short).
size_t LastCompleteTag(std::span<const uint8_t> file, size_t firstTag) {
  if (file.size() < firstTag + kTagHeader + kBackPointer) return kNoTag;
  const uint32_t length = Be32(file.data() + file.size() - kBackPointer);
  if (length < kTagHeader || length > file.size() - kBackPointer - firstTag) return kNoTag;
  const size_t start = file.size() - kBackPointer - length;
  return Be24(file.data() + start + 1) + kTagHeader == length ? start : kNoTag;
}

}  // namespace

bool ScanFlv(std::span<const uint8_t> file, FlvSummary& s) {
  s = FlvSummary();
  if (file.size() < kFileHeader || file[0] != 'F' || file[1] != 'L' || file[2] != 'V') return false;
  const uint64_t dataOffset = Be32(file.data() + 5);
  if (dataOffset < kFileHeader || dataOffset + kBackPointer > file.size()) return false;

  const size_t size = file.size();
  const size_t firstTag = dataOffset + kBackPointer;
  const size_t lastCompleteTag = LastCompleteTag(file, firstTag);
  uint64_t videoBytes = 0, audioBytes = 0, videoTags = 0;
  uint64_t written = 0;  // audio and video bytes before the current tag in the output
  for (size_t offset = firstTag; offset + kTagHeader <= size;) {
    const uint8_t* tag = file.data() + offset;
    const size_t data = Be24(tag + 1);
    const size_t length = kTagHeader + data + kBackPointer;
    if (length > size - offset) {
      // A last tag cut short by the end of the file ends the walk; a size that reaches past a
      // complete tag further on is damage.
      if (lastCompleteTag != kNoTag && lastCompleteTag > offset) return false;
      break;
    }
    // Every tag is followed by its own length; a chain that breaks here has a damaged size.
    if (Be32(tag + kTagHeader + data) != kTagHeader + data) return false;
    const double seconds = TagSeconds(tag);
    s.lastTimestamp = seconds;
    const uint8_t type = tag[0];
    if (type == kAudioTag || type == kVideoTag) {
      // An empty tag has no codec byte; it reads as zero.
      const uint8_t first = data > 0 ? tag[kTagHeader] : 0;
      if (type == kAudioTag) {
        if (!s.hasAudio) {
          s.hasAudio = true;
          s.audioCodecId = first >> 4;
          static constexpr double kRates[] = {5500.0, 11000.0, 22000.0, 44100.0};
          s.audioSampleRate = kRates[(first >> 2) & 3];
          s.audioSampleSize = (first & 2) ? 16.0 : 8.0;
          s.stereo = first & 1;
        }
        s.audioSize += data + kTagHeader;
        audioBytes += data;
      } else {
        if (!s.hasVideo) {
          s.hasVideo = true;
          s.videoCodecId = first & 15;
          if (data > 1) ReadPictureSize(first & 15, {tag + kTagHeader + 1, data - 1}, s);
        }
        s.videoSize += data + kTagHeader;
        videoBytes += data;
        if (IsCodedFrame(first, {tag + kTagHeader, data})) {
          ++videoTags;
          // Frame type in the high 4 bits: only 1 is a keyframe (3 is a disposable inter frame,
          // 5 a command frame).
          const bool key = (first >> 4) == 1;
          s.canSeekToEnd = key;
          if (key) {
            s.keyframePositions.push_back(double(written));
            s.keyframeTimes.push_back(seconds);
            s.lastKeyframeTimestamp = seconds;
          }
        }
      }
      s.dataSize += length;
      written += length;
      if (!s.runs.empty() && s.runs.back().offset + s.runs.back().length == offset)
        s.runs.back().length += length;
      else
        s.runs.push_back({offset, length});
    }
    offset += length;
  }

  s.duration = s.lastTimestamp;
  s.hasKeyframes = !s.keyframePositions.empty();
  // A file that spans no time has no meaningful rates; they stay 0.
  if (s.duration > 0) {
    if (videoTags) {
      s.frameRate = videoTags / s.duration;
      s.videoDataRate = videoBytes * 8 / 1024.0 / s.duration;
    }
    if (s.hasAudio) s.audioDataRate = audioBytes * 8 / 1024.0 / s.duration;
  }
  // Nothing to play: refused, so that no target is replaced by an empty file.
  return s.hasAudio || s.hasVideo;
}

void PlaceAfterMetadata(FlvSummary& s, size_t metadataTagLength) {
  const double base = double(metadataTagLength) + 13;
  s.fileSize = base + double(s.dataSize);
  for (double& position : s.keyframePositions) position += base;
  if (!s.keyframePositions.empty()) s.lastKeyframeLocation = s.keyframePositions.back();
}
