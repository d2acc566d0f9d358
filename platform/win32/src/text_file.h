#pragma once
// Whole-file reads and crash-safe replacement for the platform's small text stores (ini files,
// the registry file).
#include <string>

#include "win32/wintypes.h"

namespace win32 {

// Reads the whole file. On failure returns false and a Windows error code in *error.
bool ReadWholeFile(const std::string& posixPath, std::string& contents, DWORD* error);

// Replaces the file with contents: written to a temporary file beside it, flushed to disk and
// renamed over it, so that a crash leaves either the old or the new file, never a mix. The
// folder must exist. On failure returns false and a Windows error code in *error.
bool ReplaceFileContents(const std::string& posixPath, const std::string& contents, DWORD* error);

}  // namespace win32
