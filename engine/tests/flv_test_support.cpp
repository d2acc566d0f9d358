#include "flv_test_support.h"

#include <gtest/gtest.h>

#include <bit>
#include <fstream>
#include <iterator>

namespace flv_test {
namespace {

uint32_t Be(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | b.at(at + i);
  return v;
}

class AmfReader {
 public:
  AmfReader(const std::vector<uint8_t>& b, size_t at) : b_(b), at_(at) {}
  uint32_t U(int bytes) {
    const uint32_t v = Be(b_, at_, bytes);
    at_ += bytes;
    return v;
  }
  std::string Text() {
    const uint32_t n = U(2);
    std::string s(b_.begin() + at_, b_.begin() + at_ + n);
    at_ += n;
    return s;
  }
  double Double() {
    const uint64_t hi = U(4);
    return std::bit_cast<double>(hi << 32 | U(4));
  }
  Value Read() {
    Value v;
    switch (U(1)) {
      case 0x00: v.kind = 'n'; v.number = Double(); break;
      case 0x01: v.kind = 'b'; v.number = U(1); break;
      case 0x02: v.kind = 's'; v.text = Text(); break;
      case 0x03:
        v.kind = 'o';
        for (std::string name = Text(); !name.empty(); name = Text()) {
          EXPECT_EQ(U(1), 0x0Au) << name;
          std::vector<double>& values = v.arrays[name];
          for (uint32_t n = U(4); n > 0; --n) {
            EXPECT_EQ(U(1), 0x00u);
            values.push_back(Double());
          }
        }
        EXPECT_EQ(U(1), 0x09u);
        break;
      default: ADD_FAILURE() << "unexpected AMF0 marker at " << at_ - 1;
    }
    return v;
  }
  size_t at() const { return at_; }

 private:
  const std::vector<uint8_t>& b_;
  size_t at_;
};

}  // namespace

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<Tag> Tags(const std::vector<uint8_t>& file) {
  std::vector<Tag> tags;
  for (size_t at = Be(file, 5, 4) + 4; at + 11 <= file.size();) {
    Tag t{at, file[at], Be(file, at + 1, 3), Be(file, at + 4, 3) | uint32_t(file[at + 7]) << 24, 0, 0};
    if (at + 15 + t.dataSize > file.size()) break;
    if (t.dataSize > 0) t.first = file[at + 11];
    if (t.dataSize > 1) t.packetType = file[at + 12];
    tags.push_back(t);
    at += 15 + t.dataSize;
  }
  return tags;
}

Metadata ReadMetadata(const std::vector<uint8_t>& file, size_t offset) {
  Metadata m;
  AmfReader r(file, offset + 11);
  EXPECT_EQ(r.U(1), 0x02u);
  EXPECT_EQ(r.Text(), "onMetaData");
  EXPECT_EQ(r.U(1), 0x08u);
  m.declaredCount = r.U(4);
  for (std::string name = r.Text(); !name.empty(); name = r.Text()) {
    m.keys.push_back(name);
    m.values[name] = r.Read();
  }
  EXPECT_EQ(r.U(1), 0x09u);
  const uint32_t dataSize = Be(file, offset + 1, 3);
  EXPECT_EQ(r.at(), offset + 11 + dataSize) << "metadata ends where its tag header says";
  EXPECT_EQ(r.U(4), 11 + dataSize) << "back pointer of the metadata tag";
  return m;
}

double Metadata::Number(const std::string& key) const {
  auto it = values.find(key);
  EXPECT_TRUE(it != values.end() && it->second.kind == 'n') << key;
  return it == values.end() ? -1 : it->second.number;
}

bool Metadata::Flag(const std::string& key) const {
  auto it = values.find(key);
  EXPECT_TRUE(it != values.end() && it->second.kind == 'b') << key;
  return it != values.end() && it->second.number != 0;
}

std::vector<uint8_t> MakeFlv(const std::vector<TagSpec>& tags) {
  std::vector<uint8_t> b = {'F', 'L', 'V', 1, 5, 0, 0, 0, 9, 0, 0, 0, 0};
  auto put = [&](uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) b.push_back(uint8_t(v >> (8 * i)));
  };
  for (const TagSpec& t : tags) {
    b.push_back(t.type);
    put(uint32_t(t.data.size()), 3);
    put(t.milliseconds & 0xFFFFFF, 3);
    b.push_back(uint8_t(t.milliseconds >> 24));
    put(0, 3);
    b.insert(b.end(), t.data.begin(), t.data.end());
    put(uint32_t(11 + t.data.size()), 4);
  }
  return b;
}

}  // namespace flv_test
