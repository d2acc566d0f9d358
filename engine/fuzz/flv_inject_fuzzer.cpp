// Source bytes straight into the injector. Whenever it accepts them, the output must be a well-formed
// FLV: the fixed header, one metadata tag whose size and back pointer agree, then only audio and
// video tags that end exactly at the end of the output.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "flv/flv_rewrite.h"

namespace {

uint32_t Be(const std::vector<uint8_t>& b, size_t at, int bytes) {
  uint32_t v = 0;
  for (int i = 0; i < bytes; ++i) v = v << 8 | b[at + i];
  return v;
}

void Check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<uint8_t> out;
  const bool ok = RewriteFlv({data, size}, [&](const uint8_t* p, size_t n) {
    out.insert(out.end(), p, p + n);
    return true;
  });
  if (!ok) return 0;

  Check(out.size() >= 13 + 15 && std::memcmp(out.data(), "FLV\x01", 4) == 0 && (out[4] & ~5) == 0);
  Check(Be(out, 5, 4) == 9 && Be(out, 9, 4) == 0);
  Check(out[13] == 18);
  const size_t metadata = Be(out, 14, 3);
  Check(13 + 15 + metadata <= out.size());
  Check(std::memcmp(&out[13 + 11], "\x02\x00\x0aonMetaData\x08", 14) == 0);
  Check(Be(out, 13 + 11 + metadata, 4) == 11 + metadata);
  size_t at = 13 + 15 + metadata;
  bool video = false, audio = false;
  while (at < out.size()) {
    Check(at + 15 <= out.size() && (out[at] == 8 || out[at] == 9));
    (out[at] == 8 ? audio : video) = true;
    at += 15 + Be(out, at + 1, 3);
  }
  Check(at == out.size());
  Check(out[4] == ((audio ? 4 : 0) | (video ? 1 : 0)));
  return 0;
}
