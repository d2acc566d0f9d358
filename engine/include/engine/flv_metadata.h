#pragma once
// Finishing an FLV conversion: the writer's file gets an "onMetaData" tag that describes the whole
// file and carries a keyframe index, so that players know the duration and can seek.
#include "win32/windows.h"

// Writes outputPath as the source's audio and video tags behind a new header and metadata tag.
// The output is written under a temporary name beside it and renamed into place when complete;
// on FALSE (source missing, not FLV or unusable, or the output cannot be written) outputPath is
// untouched and nothing is left behind.
BOOL InjectFlvMetadata(LPCSTR sourcePath, LPCSTR outputPath);
