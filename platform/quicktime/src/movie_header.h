#pragma once
// The facts of a movie's header boxes that the media libraries do not hand out: the movie's own
// time scale and duration, each track's kind, its media time scale, and its first sample
// description as stored (format code, stored sample size, compression id, decoder configuration).
//
// The reader is strictly bounded: every box must lie inside its parent, box counts and
// the sizes of the boxes it keeps are limited, and nothing is read past the end of the source.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace quicktime::boxes {

// Random access to the bytes of a file or a memory block.
class ByteSource {
 public:
  virtual ~ByteSource() = default;
  virtual uint64_t Size() const = 0;
  // Reads exactly n bytes at offset; false when they are not all there.
  virtual bool Read(uint64_t offset, void* out, size_t n) const = 0;
};

class MemorySource : public ByteSource {
 public:
  MemorySource(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  uint64_t Size() const override { return size_; }
  bool Read(uint64_t offset, void* out, size_t n) const override;

 private:
  const uint8_t* data_;
  size_t size_;
};

struct SampleEntryFacts {
  uint32_t format = 0;
  // Video.
  uint16_t width = 0;
  uint16_t height = 0;
  uint16_t depth = 0;
  // Sound.
  int16_t version = 0;
  uint16_t channels = 0;
  uint16_t sampleSize = 0;
  int16_t compressionId = 0;
  double sampleRate = 0;
  std::vector<uint8_t> wave;  // the whole 'wave' atom, when stored
  std::vector<uint8_t> esds;  // the whole 'esds' atom of the entry itself (MP4 files)
};

struct TrackFacts {
  uint32_t trackId = 0;
  bool enabled = false;
  double width = 0;  // track header, pixels
  double height = 0;
  uint32_t handlerType = 0;  // 'vide', 'soun', 'flsh', ...
  uint32_t mediaTimeScale = 0;
  uint64_t mediaDuration = 0;
  uint32_t sampleCount = 0;
  bool hasSampleEntry = false;
  SampleEntryFacts entry;
};

struct MovieFacts {
  uint32_t timeScale = 0;
  uint64_t duration = 0;
  std::vector<TrackFacts> tracks;
};

enum class HeaderResult {
  Found,     // a movie header was read
  NotBoxes,  // the file does not start with boxes: some other kind of file
  Damaged,   // boxes, but no movie header that can be read
};

HeaderResult ReadMovieFacts(const ByteSource& source, MovieFacts* facts, std::string* error);

// The decoder configuration of an 'esds' atom, found directly or inside a 'wave' atom.
struct DecoderConfig {
  uint8_t objectType = 0;  // MPEG-4 object type indication (0x40 AAC, 0x6B MP3, ...)
  std::vector<uint8_t> specificInfo;
};
bool ReadDecoderConfig(const uint8_t* atom, size_t size, DecoderConfig* config);

}  // namespace quicktime::boxes
