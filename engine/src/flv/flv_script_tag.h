#pragma once
// The "onMetaData" script tag: tag header, AMF0 name and ECMA array of the description, and the
// tag's back pointer.
#include <cstdint>
#include <vector>

#include "flv/flv_summary.h"

// The whole tag, back pointer included. Numbers are fixed-size, so the length depends only on
// which keys are present and on the number of keyframes.
std::vector<uint8_t> BuildMetadataTag(const FlvSummary& summary);
