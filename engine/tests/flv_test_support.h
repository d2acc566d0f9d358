#pragma once
// Reading FLV files back in tests: the tag list and the "onMetaData" ECMA array.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace flv_test {

std::vector<uint8_t> ReadFile(const std::string& path);
void WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);

struct Tag {
  size_t offset;  // of the tag header
  uint8_t type;
  uint32_t dataSize;
  uint32_t milliseconds;
  uint8_t first;       // first data byte, 0 when empty
  uint8_t packetType;  // second data byte (AVC packet type), 0 when absent
  // A video tag that holds a picture: for AVC only packet type 1.
  bool CodedFrame() const { return type == 9 && ((first & 15) != 7 || packetType == 1); }
  bool Keyframe() const { return CodedFrame() && (first & 0xF0) == 0x10; }
};

// Every complete tag from the header's data offset on.
std::vector<Tag> Tags(const std::vector<uint8_t>& file);

struct Value {
  char kind = 0;  // 'n' number, 'b' boolean, 's' string, 'o' object of strict arrays
  double number = 0;
  std::string text;
  std::map<std::string, std::vector<double>> arrays;
};

struct Metadata {
  uint32_t declaredCount = 0;
  std::vector<std::string> keys;  // in file order
  std::map<std::string, Value> values;
  double Number(const std::string& key) const;
  bool Flag(const std::string& key) const;
  bool Has(const std::string& key) const { return values.count(key) != 0; }
};

// The ECMA array of the script tag at offset; fails the test on anything malformed.
Metadata ReadMetadata(const std::vector<uint8_t>& file, size_t offset);

// A hand-made FLV: header with the given flags, then the tags with correct back pointers.
struct TagSpec {
  uint8_t type;
  uint32_t milliseconds;
  std::vector<uint8_t> data;
};
std::vector<uint8_t> MakeFlv(const std::vector<TagSpec>& tags);

}  // namespace flv_test
