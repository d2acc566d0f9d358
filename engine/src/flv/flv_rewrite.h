#pragma once
// The injection itself, on a source held in memory: header, "onMetaData" tag, then every audio
// and video tag of the source in order. Script tags of the source are dropped.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <span>

// Receives the output in order; returns false when it could not take the bytes.
using FlvWriter = std::function<bool(const uint8_t* data, size_t size)>;

// False when the source is not usable (see ScanFlv), the metadata would not fit in a tag, memory
// runs out, or a write fails. The tags are handed over in runs as long as the source allows.
bool RewriteFlv(std::span<const uint8_t> source, const FlvWriter& write);
