#pragma once
// Process-wide state of the runtime: start-up counts, the open movie files and each thread's last
// error.
#include <string>

#include "quicktime/quicktime.h"

namespace quicktime::runtime {

// Records the calling thread's result for GetMoviesError and passes it back.
OSErr SetMoviesError(OSErr err);
OSErr SetMemError(OSErr err);
// InitializeQTML and EnterMovies have both been called (and not undone).
bool MoviesEntered();
// The path of an open movie file; false for a reference number that is not open.
bool OpenFilePath(int16_t resRefNum, std::string* path);

}  // namespace quicktime::runtime
