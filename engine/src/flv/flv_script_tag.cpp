#include "flv/flv_script_tag.h"

#include <bit>
#include <string_view>

namespace {

class Amf0Writer {
 public:
  explicit Amf0Writer(std::vector<uint8_t>& out) : out_(out) {}

  void U8(uint8_t v) { out_.push_back(v); }
  void U16(uint16_t v) {
    U8(v >> 8);
    U8(v & 0xff);
  }
  void U24(uint32_t v) {
    U8(v >> 16);
    U16(v & 0xffff);
  }
  void U32(uint32_t v) {
    U16(v >> 16);
    U16(v & 0xffff);
  }
  void Name(std::string_view name) {
    U16(uint16_t(name.size()));
    out_.insert(out_.end(), name.begin(), name.end());
  }
  void Number(double v) {
    U8(0x00);
    const uint64_t bits = std::bit_cast<uint64_t>(v);
    U32(uint32_t(bits >> 32));
    U32(uint32_t(bits));
  }
  void Boolean(bool v) {
    U8(0x01);
    U8(v ? 1 : 0);
  }
  void String(std::string_view v) {
    U8(0x02);
    Name(v);
  }
  void ObjectEnd() {
    U16(0);
    U8(0x09);
  }
  void StrictArray(const std::vector<double>& values) {
    U8(0x0A);
    U32(uint32_t(values.size()));
    for (double v : values) Number(v);
  }

 private:
  std::vector<uint8_t>& out_;
};

}  // namespace

std::vector<uint8_t> BuildMetadataTag(const FlvSummary& s) {
  std::vector<uint8_t> tag;
  tag.reserve(512 + 18 * s.keyframePositions.size());
  Amf0Writer w(tag);
  w.U8(18);  // script data
  w.U24(0);  // data size, filled in below
  w.U32(0);  // timestamp and its extension
  w.U24(0);  // stream id
  w.String("onMetaData");
  w.U8(0x08);
  const size_t countAt = tag.size();
  w.U32(0);

  uint32_t keys = 0;
  auto key = [&](std::string_view name) {
    w.Name(name);
    ++keys;
  };
  auto number = [&](std::string_view name, double value) {
    key(name);
    w.Number(value);
  };
  auto flag = [&](std::string_view name, bool value) {
    key(name);
    w.Boolean(value);
  };
  key("metadatacreator");
  w.String(s.metadataCreator);
  flag("hasKeyframes", s.hasKeyframes);
  flag("hasVideo", s.hasVideo);
  flag("hasAudio", s.hasAudio);
  flag("hasMetadata", true);
  flag("canSeekToEnd", s.canSeekToEnd);
  number("duration", s.duration);
  number("datasize", double(s.dataSize));
  if (s.hasVideo) {
    number("videosize", double(s.videoSize));
    number("videocodecid", s.videoCodecId);
    if (s.width != 0) number("width", s.width);
    if (s.height != 0) number("height", s.height);
    number("framerate", s.frameRate);
    number("videodatarate", s.videoDataRate);
  }
  if (s.hasAudio) {
    number("audiosize", double(s.audioSize));
    number("audiocodecid", s.audioCodecId);
    number("audiosamplerate", s.audioSampleRate);
    number("audiosamplesize", s.audioSampleSize);
    flag("stereo", s.stereo);
    number("audiodatarate", s.audioDataRate);
  }
  number("filesize", s.fileSize);
  number("lasttimestamp", s.lastTimestamp);
  if (s.hasKeyframes) {
    number("lastkeyframetimestamp", s.lastKeyframeTimestamp);
    number("lastkeyframelocation", s.lastKeyframeLocation);
    key("keyframes");
    w.U8(0x03);
    w.Name("filepositions");
    w.StrictArray(s.keyframePositions);
    w.Name("times");
    w.StrictArray(s.keyframeTimes);
    w.ObjectEnd();
  }
  w.ObjectEnd();

  const size_t dataSize = tag.size() - 11;
  w.U32(uint32_t(tag.size()));  // back pointer: the tag without it
  tag[1] = uint8_t(dataSize >> 16);
  tag[2] = uint8_t(dataSize >> 8);
  tag[3] = uint8_t(dataSize);
  tag[countAt] = uint8_t(keys >> 24);
  tag[countAt + 1] = uint8_t(keys >> 16);
  tag[countAt + 2] = uint8_t(keys >> 8);
  tag[countAt + 3] = uint8_t(keys);
  return tag;
}
