// A movie file's header boxes come from anywhere: reading any bytes must never read outside them
// or crash, and what it keeps (decoder configurations) must read again within its own bounds.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "movie_header.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace quicktime::boxes;
  MovieFacts facts;
  std::string error;
  const HeaderResult result = ReadMovieFacts(MemorySource(data, size), &facts, &error);
  if (result != HeaderResult::Found && !facts.tracks.empty()) std::abort();
  DecoderConfig config;
  for (const TrackFacts& track : facts.tracks) {
    if (!track.entry.wave.empty()) ReadDecoderConfig(track.entry.wave.data(), track.entry.wave.size(), &config);
    if (!track.entry.esds.empty()) ReadDecoderConfig(track.entry.esds.data(), track.entry.esds.size(), &config);
  }
  // The bytes taken for a decoder configuration atom themselves.
  ReadDecoderConfig(data, size, &config);
  return 0;
}
