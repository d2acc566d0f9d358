#pragma once
// Profile text (PRX): a "profile" element with its "streamconfig" elements, each with its
// "wmmediatype" (a "waveformatex" or "videoinfoheader" format) and, for video, "videomediaprops".
#include <string>

#include "profile_data.h"

namespace wmf {

// Longest profile text read, in characters; profiles are a few kilobytes.
constexpr size_t kMaxProfileChars = 256 * 1024;

// Reads NUL-terminated text, with or without a byte-order mark (a swapped mark means the text
// is byte-swapped). E_INVALIDARG for text over the limit, malformed XML, a document type
// declaration, or streams that cannot be (missing or repeated numbers, unknown numbers, a format
// of the wrong kind).
HRESULT ReadPrx(const char16_t* text, ProfileData* profile);

// The profile as text that ReadPrx reads back to the same data.
HRESULT WritePrx(const ProfileData& profile, std::u16string* text);

}  // namespace wmf
