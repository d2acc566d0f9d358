// Start-up, movie files and errors.
#include "runtime.h"

#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstring>
#include <map>
#include <mutex>

#include "win32/paths.h"

namespace quicktime::runtime {
namespace {

thread_local OSErr t_moviesError = noErr;
thread_local OSErr t_memError = noErr;

struct State {
  std::mutex lock;
  int qtml = 0;
  int entered = 0;
  std::map<int16_t, std::string> files;  // open movie files: reference number to path
  int16_t nextReference = 1;
};

// Never destroyed: filters may be released by static destructors of their users.
State& Runtime() {
  static State* state = new State;
  return *state;
}

}  // namespace

OSErr SetMoviesError(OSErr err) { return t_moviesError = err; }
OSErr SetMemError(OSErr err) { return t_memError = err; }

bool MoviesEntered() {
  State& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.qtml > 0 && s.entered > 0;
}

bool OpenFilePath(int16_t resRefNum, std::string* path) {
  State& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  auto it = s.files.find(resRefNum);
  if (it == s.files.end()) return false;
  *path = it->second;
  return true;
}

}  // namespace quicktime::runtime

using quicktime::runtime::Runtime;
using quicktime::runtime::SetMoviesError;

OSErr InitializeQTML(int32_t) {
  auto& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  ++s.qtml;
  return noErr;
}

void TerminateQTML() {
  auto& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.qtml > 0) --s.qtml;
}

OSErr EnterMovies() {
  auto& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.qtml == 0) return movieToolboxUninitialized;
  ++s.entered;
  return noErr;
}

void ExitMovies() {
  auto& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.entered > 0) --s.entered;
}

OSErr GetMoviesError() { return quicktime::runtime::t_moviesError; }
OSErr MemError() { return quicktime::runtime::t_memError; }

OSErr NativePathNameToFSSpec(const char* inName, FSSpec* outFile, int32_t) {
  if (!inName || !outFile) return paramErr;
  const std::string path = PosixPathFromPlatform(inName);
  *outFile = FSSpec{};
  if (path.size() >= sizeof outFile->name) return paramErr;
  path.copy(outFile->name, path.size());
  return access(path.c_str(), F_OK) == 0 ? noErr : fnfErr;
}

OSErr OpenMovieFile(const FSSpec* fileSpec, int16_t* resRefNum, SInt8 permission) {
  if (!fileSpec || !resRefNum) return paramErr;
  *resRefNum = 0;
  const size_t length = strnlen(fileSpec->name, sizeof fileSpec->name);
  if (length == 0 || length == sizeof fileSpec->name) return paramErr;
  const std::string path(fileSpec->name, length);
  // The file must open with the asked permission; nothing is written through it.
  const int mode = permission == fsRdPerm || permission == fsCurPerm ? R_OK : permission == fsWrPerm ? W_OK : R_OK | W_OK;
  if (access(path.c_str(), mode) != 0) return fnfErr;
  const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return fnfErr;
  close(fd);
  auto& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  if (s.files.size() >= 30000) return paramErr;
  // Reference numbers run from 1 to 32767 and start over, skipping those still open.
  while (s.files.count(s.nextReference)) s.nextReference = s.nextReference == 32767 ? 1 : int16_t(s.nextReference + 1);
  *resRefNum = s.nextReference;
  s.nextReference = s.nextReference == 32767 ? 1 : int16_t(s.nextReference + 1);
  s.files[*resRefNum] = path;
  return noErr;
}

OSErr CloseMovieFile(int16_t resRefNum) {
  auto& s = Runtime();
  std::lock_guard<std::mutex> guard(s.lock);
  return s.files.erase(resRefNum) ? noErr : paramErr;
}

Fixed X2Fix(double x) {
  const double scaled = x * 65536.0;
  if (std::isnan(scaled)) return 0;
  if (scaled >= 2147483647.0) return 0x7FFFFFFF;
  if (scaled <= -2147483648.0) return INT32_MIN;
  return Fixed(scaled >= 0 ? scaled + 0.5 : scaled - 0.5);
}

int16_t FixRound(Fixed x) {
  const int32_t rounded = x >= 0 ? int32_t((int64_t(x) + 0x8000) >> 16) : -int32_t((-int64_t(x) + 0x8000) >> 16);
  return int16_t(rounded);
}

double Fix2X(Fixed x) { return x / 65536.0; }
