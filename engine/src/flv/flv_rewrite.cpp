#include "flv/flv_rewrite.h"

#include <new>
#include <vector>

#include "flv/flv_script_tag.h"
#include "flv/flv_summary.h"

bool RewriteFlv(std::span<const uint8_t> source, const FlvWriter& write) {
  try {
    FlvSummary summary;
    if (!ScanFlv(source, summary)) return false;
    // Every number in the tag has a fixed size, so a first build gives the length that the
    // positions and the file size depend on; the second build carries them.
    const size_t length = BuildMetadataTag(summary).size();
    if (length - 15 > 0xFFFFFF) return false;  // data size has 24 bits
    PlaceAfterMetadata(summary, length);

    std::vector<uint8_t> head = {'F', 'L', 'V', 1, 0, 0, 0, 0, 9, 0, 0, 0, 0};
    head[4] = uint8_t((summary.hasAudio ? 4 : 0) | (summary.hasVideo ? 1 : 0));
    const std::vector<uint8_t> tag = BuildMetadataTag(summary);
    head.insert(head.end(), tag.begin(), tag.end());
    if (!write(head.data(), head.size())) return false;
    for (const FlvRun& run : summary.runs)
      if (!write(source.data() + run.offset, run.length)) return false;
    return true;
  } catch (const std::bad_alloc&) {
    return false;
  }
}
