#include "movie_header.h"

#include <cstring>
#include <optional>

namespace quicktime::boxes {
namespace {

// Limits that keep a hostile file from costing much: the movie header is read into memory once.
constexpr uint64_t kMaxMovieHeader = 64u << 20;
constexpr int kMaxTopLevelBoxes = 4096;
constexpr int kMaxChildren = 4096;
constexpr size_t kMaxTracks = 256;
constexpr size_t kMaxKeptAtom = 64u << 10;

constexpr uint32_t Code(const char (&c)[5]) {
  return uint32_t(uint8_t(c[0])) << 24 | uint32_t(uint8_t(c[1])) << 16 | uint32_t(uint8_t(c[2])) << 8 |
         uint32_t(uint8_t(c[3]));
}

uint16_t Be16(const uint8_t* p) { return uint16_t(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t(p[0]) << 24 | uint32_t(p[1]) << 16 | uint32_t(p[2]) << 8 | p[3]; }
uint64_t Be64(const uint8_t* p) { return uint64_t(Be32(p)) << 32 | Be32(p + 4); }

bool PrintableType(uint32_t type) {
  for (int shift = 24; shift >= 0; shift -= 8) {
    const uint8_t c = uint8_t(type >> shift);
    if (c < 0x20 || c > 0x7E) return false;
  }
  return true;
}

// Boxes a movie file may start with.
bool IsLeadingBox(uint32_t type) {
  for (uint32_t known : {Code("ftyp"), Code("moov"), Code("mdat"), Code("free"), Code("skip"), Code("wide"),
                         Code("pnot"), Code("junk"), Code("uuid"), Code("styp")})
    if (type == known) return true;
  return false;
}

// One box inside a memory block: its type and payload.
struct Box {
  uint32_t type;
  const uint8_t* data;
  size_t size;
  const uint8_t* whole;  // from the size field on
  size_t wholeSize;
};

// Walks the boxes of a block; a box that does not fit its parent stops the walk as damage.
class BoxWalker {
 public:
  BoxWalker(const uint8_t* data, size_t size) : data_(data), size_(size) {}

  // The next box, or nothing at the end of the block (then check Damaged()).
  std::optional<Box> Next() {
    if (offset_ + 8 > size_ || count_ >= kMaxChildren) return std::nullopt;
    const uint8_t* p = data_ + offset_;
    const size_t left = size_ - offset_;
    uint64_t boxSize = Be32(p);
    const uint32_t type = Be32(p + 4);
    size_t header = 8;
    if (boxSize == 1) {
      if (left < 16) return Fail();
      boxSize = Be64(p + 8);
      header = 16;
    } else if (boxSize == 0) {
      boxSize = left;
    }
    if (boxSize < header || boxSize > left) return Fail();
    offset_ += size_t(boxSize);
    ++count_;
    return Box{type, p + header, size_t(boxSize) - header, p, size_t(boxSize)};
  }
  bool Damaged() const { return damaged_; }

 private:
  std::optional<Box> Fail() {
    damaged_ = true;
    return std::nullopt;
  }
  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
  int count_ = 0;
  bool damaged_ = false;
};

class MovieParser {
 public:
  explicit MovieParser(MovieFacts* facts) : facts_(facts) {}

  bool ParseMovie(const uint8_t* data, size_t size) {
    bool haveHeader = false;
    return Walk(data, size, [&](const Box& box) {
      if (box.type == Code("mvhd") && !haveHeader) {
        haveHeader = ReadTimes(box, &facts_->timeScale, &facts_->duration);
        return haveHeader || Damage("movie header too short");
      }
      if (box.type == Code("cmov")) return Damage("compressed movie header");
      if (box.type == Code("trak")) {
        if (facts_->tracks.size() >= kMaxTracks) return true;
        TrackFacts track;
        if (!ParseTrack(box, &track)) return false;
        facts_->tracks.push_back(std::move(track));
      }
      return true;
    }) && (haveHeader || Damage("no movie header"));
  }

  const std::string& Error() const { return error_; }

 private:
  // Only the boxes on the way to the facts are entered, so nesting is bounded by that way.
  template <class Visit>
  bool Walk(const uint8_t* data, size_t size, Visit visit) {
    BoxWalker walker(data, size);
    while (auto box = walker.Next())
      if (!visit(*box)) return false;
    return !walker.Damaged() || Damage("a box does not fit its parent");
  }

  bool Damage(const char* what) {
    if (error_.empty()) error_ = what;
    return false;
  }

  // mvhd and mdhd share their layout up to the duration.
  static bool ReadTimes(const Box& box, uint32_t* timeScale, uint64_t* duration) {
    if (box.size < 4) return false;
    if (box.data[0] == 1) {
      if (box.size < 32) return false;
      *timeScale = Be32(box.data + 20);
      *duration = Be64(box.data + 24);
    } else {
      if (box.size < 20) return false;
      *timeScale = Be32(box.data + 12);
      *duration = Be32(box.data + 16);
    }
    return true;
  }

  bool ParseTrack(const Box& trak, TrackFacts* track) {
    const uint8_t* entry = nullptr;
    size_t entrySize = 0;
    bool ok = Walk(trak.data, trak.size, [&](const Box& box) {
      if (box.type == Code("tkhd")) return ReadTrackHeader(box, track) || Damage("track header too short");
      if (box.type != Code("mdia")) return true;
      return Walk(box.data, box.size, [&](const Box& m) {
        if (m.type == Code("mdhd"))
          return ReadTimes(m, &track->mediaTimeScale, &track->mediaDuration) || Damage("media header too short");
        if (m.type == Code("hdlr")) {
          if (m.size < 12) return Damage("handler too short");
          track->handlerType = Be32(m.data + 8);
          return true;
        }
        if (m.type != Code("minf")) return true;
        return Walk(m.data, m.size, [&](const Box& i) {
          if (i.type != Code("stbl")) return true;
          return Walk(i.data, i.size, [&](const Box& s) {
            if ((s.type == Code("stsz") || s.type == Code("stz2")) && s.size >= 12) track->sampleCount = Be32(s.data + 8);
            if (s.type == Code("stsd") && !entry) {
              if (s.size < 8) return Damage("sample descriptions too short");
              if (Be32(s.data + 4) == 0) return true;
              const uint8_t* first = s.data + 8;
              const size_t left = s.size - 8;
              if (left < 16) return Damage("sample description too short");
              const uint32_t declared = Be32(first);
              if (declared < 16 || declared > left) return Damage("sample description does not fit");
              entry = first;
              entrySize = declared;
            }
            return true;
          });
        });
      });
    });
    if (!ok) return false;
    if (entry) {
      track->hasSampleEntry = true;
      return ReadSampleEntry(entry, entrySize, track->handlerType, &track->entry);
    }
    return true;
  }

  static bool ReadTrackHeader(const Box& box, TrackFacts* track) {
    if (box.size < 4) return false;
    const bool v1 = box.data[0] == 1;
    const size_t idAt = v1 ? 20 : 12, widthAt = v1 ? 88 : 76;
    if (box.size < widthAt + 8) return false;
    track->enabled = (box.data[3] & 1) != 0;
    track->trackId = Be32(box.data + idAt);
    track->width = Be32(box.data + widthAt) / 65536.0;
    track->height = Be32(box.data + widthAt + 4) / 65536.0;
    return true;
  }

  bool ReadSampleEntry(const uint8_t* e, size_t size, uint32_t handler, SampleEntryFacts* out) {
    out->format = Be32(e + 4);
    size_t childrenAt = size;
    if (handler == Code("vide")) {
      if (size < 86) return Damage("image description too short");
      out->width = Be16(e + 32);
      out->height = Be16(e + 34);
      out->depth = Be16(e + 82);
      childrenAt = 86;
    } else if (handler == Code("soun")) {
      if (size < 36) return Damage("sound description too short");
      out->version = int16_t(Be16(e + 16));
      out->channels = Be16(e + 24);
      out->sampleSize = Be16(e + 26);
      out->compressionId = int16_t(Be16(e + 28));
      out->sampleRate = Be32(e + 32) / 65536.0;
      childrenAt = 36;
      if (out->version == 1) {
        if (size < 52) return Damage("sound description too short");
        childrenAt = 52;
      } else if (out->version == 2) {
        if (size < 72) return Damage("sound description too short");
        double rate;
        const uint64_t bits = Be64(e + 40);
        std::memcpy(&rate, &bits, sizeof rate);
        out->sampleRate = rate;
        out->channels = uint16_t(Be32(e + 48));
        if (const uint32_t bitsPerChannel = Be32(e + 56); bitsPerChannel != 0) out->sampleSize = uint16_t(bitsPerChannel);
        childrenAt = 72;
      }
      if (!(out->sampleRate >= 0 && out->sampleRate < 1e7)) return Damage("sound sample rate out of range");
    }
    if (childrenAt >= size) return true;
    // Extension atoms: damage among them leaves the description as it is.
    BoxWalker walker(e + childrenAt, size - childrenAt);
    while (auto box = walker.Next()) {
      if (box->wholeSize > kMaxKeptAtom) continue;
      if (box->type == Code("wave") && out->wave.empty()) out->wave.assign(box->whole, box->whole + box->wholeSize);
      if (box->type == Code("esds") && out->esds.empty()) out->esds.assign(box->whole, box->whole + box->wholeSize);
    }
    return true;
  }

  MovieFacts* facts_;
  std::string error_;
};

// ---- Elementary stream descriptors --------------------------------------------------------------

// A descriptor's tag and payload, walked within a block.
class DescriptorWalker {
 public:
  DescriptorWalker(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  bool Next(uint8_t* tag, const uint8_t** payload, size_t* length) {
    if (offset_ + 2 > size_) return false;
    *tag = data_[offset_++];
    size_t len = 0;
    for (int i = 0; i < 4; ++i) {
      if (offset_ >= size_) return false;
      const uint8_t b = data_[offset_++];
      len = len << 7 | (b & 0x7F);
      if (!(b & 0x80)) break;
    }
    if (len > size_ - offset_) return false;
    *payload = data_ + offset_;
    *length = len;
    offset_ += len;
    return true;
  }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t offset_ = 0;
};

bool ReadDecoderConfigDescriptor(const uint8_t* p, size_t n, DecoderConfig* config) {
  if (n < 13) return false;
  config->objectType = p[0];
  DescriptorWalker walker(p + 13, n - 13);
  uint8_t tag;
  const uint8_t* payload;
  size_t length;
  while (walker.Next(&tag, &payload, &length))
    if (tag == 0x05) {
      config->specificInfo.assign(payload, payload + length);
      break;
    }
  return true;
}

bool ReadEsds(const uint8_t* p, size_t n, DecoderConfig* config) {
  if (n < 4) return false;  // version and flags
  DescriptorWalker top(p + 4, n - 4);
  uint8_t tag;
  const uint8_t* payload;
  size_t length;
  while (top.Next(&tag, &payload, &length)) {
    if (tag == 0x04) return ReadDecoderConfigDescriptor(payload, length, config);
    if (tag != 0x03 || length < 3) continue;
    const uint8_t flags = payload[2];
    size_t skip = 3;
    if (flags & 0x80) skip += 2;
    if (flags & 0x40) {
      if (skip >= length) return false;
      skip += 1 + payload[skip];
    }
    if (flags & 0x20) skip += 2;
    if (skip > length) return false;
    DescriptorWalker inner(payload + skip, length - skip);
    while (inner.Next(&tag, &payload, &length))
      if (tag == 0x04) return ReadDecoderConfigDescriptor(payload, length, config);
    return false;
  }
  return false;
}

}  // namespace

bool MemorySource::Read(uint64_t offset, void* out, size_t n) const {
  if (offset > size_ || n > size_ - offset) return false;
  if (n > 0) std::memcpy(out, data_ + offset, n);
  return true;
}

HeaderResult ReadMovieFacts(const ByteSource& source, MovieFacts* facts, std::string* error) {
  *facts = MovieFacts{};
  const uint64_t fileSize = source.Size();
  uint64_t offset = 0;
  bool sawBox = false;
  for (int count = 0; count < kMaxTopLevelBoxes && offset + 8 <= fileSize; ++count) {
    uint8_t head[16];
    if (!source.Read(offset, head, 8)) break;
    uint64_t boxSize = Be32(head);
    const uint32_t type = Be32(head + 4);
    uint64_t header = 8;
    if (boxSize == 1) {
      if (!source.Read(offset + 8, head + 8, 8)) break;
      boxSize = Be64(head + 8);
      header = 16;
    } else if (boxSize == 0) {
      boxSize = fileSize - offset;
    }
    const bool fits = PrintableType(type) && boxSize >= header && boxSize <= fileSize - offset;
    if (!sawBox && !(fits && IsLeadingBox(type))) return HeaderResult::NotBoxes;
    if (!fits) {
      *error = "a box runs past the end of the file";
      return HeaderResult::Damaged;
    }
    sawBox = true;
    if (type == Code("moov")) {
      if (boxSize - header > kMaxMovieHeader) {
        *error = "movie header too large";
        return HeaderResult::Damaged;
      }
      std::vector<uint8_t> moov(size_t(boxSize - header));
      if (!source.Read(offset + header, moov.data(), moov.size())) {
        *error = "movie header cannot be read";
        return HeaderResult::Damaged;
      }
      MovieParser parser(facts);
      if (!parser.ParseMovie(moov.data(), moov.size())) {
        *error = parser.Error();
        *facts = MovieFacts{};
        return HeaderResult::Damaged;
      }
      return HeaderResult::Found;
    }
    offset += boxSize;
  }
  if (!sawBox) return HeaderResult::NotBoxes;
  *error = "no movie header";
  return HeaderResult::Damaged;
}

bool ReadDecoderConfig(const uint8_t* atom, size_t size, DecoderConfig* config) {
  *config = DecoderConfig{};
  BoxWalker walker(atom, size);
  auto box = walker.Next();
  if (!box) return false;
  if (box->type == Code("esds")) return ReadEsds(box->data, box->size, config);
  if (box->type != Code("wave")) return false;
  BoxWalker children(box->data, box->size);
  while (auto child = children.Next())
    if (child->type == Code("esds")) return ReadEsds(child->data, child->size, config);
  return false;
}

}  // namespace quicktime::boxes
