#include "path_mapping.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "last_error.h"
#include "win32/paths.h"
#include "win32/platform_config.h"
#include "win32/winerror.h"

namespace win32 {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

char FoldCase(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string CurrentDirectory() {
  std::string buffer(256, '\0');
  while (!getcwd(buffer.data(), buffer.size())) {
    // A removed current folder: keep relative names inside it (where they name nothing) rather
    // than let them land at the root.
    if (errno != ERANGE) return "/proc/self/cwd";
    buffer.resize(buffer.size() * 2);
  }
  buffer.resize(std::strlen(buffer.c_str()));
  return buffer;
}

bool Exists(const std::string& posixPath) {
  struct stat st;
  return lstat(posixPath.c_str(), &st) == 0;
}

bool IsDirectory(const std::string& posixPath) {
  struct stat st;
  return stat(posixPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return FoldCase(x) == FoldCase(y); });
}

int CompareIgnoreCase(std::string_view a, std::string_view b) {
  size_t n = std::min(a.size(), b.size());
  for (size_t i = 0; i < n; ++i) {
    unsigned char x = static_cast<unsigned char>(FoldCase(a[i]));
    unsigned char y = static_cast<unsigned char>(FoldCase(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  return a.size() == b.size() ? 0 : (a.size() < b.size() ? -1 : 1);
}

std::string LexicalPosixPath(std::string_view platformPath) {
  std::string_view rest = platformPath;
  std::string base;
  if (rest.size() >= 2 && rest[1] == ':' &&
      ((rest[0] >= 'A' && rest[0] <= 'Z') || (rest[0] >= 'a' && rest[0] <= 'z'))) {
    base = FoldCase(rest[0]) == 'c' ? platform_config::Config().cDriveFolder : "/";
    rest.remove_prefix(2);
  } else if (!rest.empty() && IsSeparator(rest[0])) {
    base = "/";
  } else {
    base = CurrentDirectory();
  }
  const bool trailingSeparator = !rest.empty() && IsSeparator(rest.back());

  std::vector<std::string> parts;
  auto addComponents = [&parts](std::string_view text) {
    size_t i = 0;
    while (i <= text.size()) {
      size_t j = i;
      while (j < text.size() && !IsSeparator(text[j])) ++j;
      std::string_view part = text.substr(i, j - i);
      if (part == "..") {
        if (!parts.empty()) parts.pop_back();
      } else if (!part.empty() && part != ".") {
        parts.emplace_back(part);
      }
      i = j + 1;
    }
  };
  addComponents(base);
  addComponents(rest);

  std::string result;
  for (const std::string& part : parts) result += "/" + part;
  if (result.empty()) return "/";
  if (trailingSeparator) result += '/';
  return result;
}

bool ListDirectory(const std::string& posixDir, std::vector<std::string>& names) {
  DIR* dir = opendir(posixDir.c_str());
  if (!dir) return false;
  names.clear();
  while (dirent* entry = readdir(dir)) names.emplace_back(entry->d_name);
  closedir(dir);
  return true;
}

std::string ResolveCase(const std::string& absolutePosixPath) {
  if (Exists(absolutePosixPath)) return absolutePosixPath;
  std::string resolved;
  size_t i = 1;  // past the leading '/'
  while (i <= absolutePosixPath.size()) {
    size_t j = absolutePosixPath.find('/', i);
    if (j == std::string::npos) j = absolutePosixPath.size();
    std::string part = absolutePosixPath.substr(i, j - i);
    i = j + 1;
    if (part.empty()) continue;
    std::string exact = resolved + "/" + part;
    if (Exists(exact)) {
      resolved = exact;
      continue;
    }
    std::vector<std::string> names;
    std::string folder = resolved.empty() ? "/" : resolved;
    if (ListDirectory(folder, names)) {
      std::sort(names.begin(), names.end());
      auto match = std::find_if(names.begin(), names.end(),
                                [&part](const std::string& n) { return EqualsIgnoreCase(n, part); });
      if (match != names.end()) {
        resolved.append("/").append(*match);
        continue;
      }
    }
    // Nothing matches: keep this and the remaining components as given.
    return resolved.append("/").append(absolutePosixPath, i - part.size() - 1);
  }
  if (resolved.empty()) resolved.push_back('/');
  if (absolutePosixPath.size() > 1 && absolutePosixPath.back() == '/' && resolved.back() != '/') resolved += '/';
  return resolved;
}

BOOL FailForPath(const std::string& posixPath, int err) {
  if (err == ENOENT || err == ENOTDIR) {
    std::string path = posixPath;
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    size_t slash = path.rfind('/');
    std::string parent = slash == 0 ? "/" : path.substr(0, slash);
    return Fail(err == ENOENT && IsDirectory(parent) ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND);
  }
  return FailWithErrno(err);
}

DWORD CopyOut(const std::string& text, DWORD bufferLength, char* buffer) {
  if (!buffer || bufferLength <= text.size()) return static_cast<DWORD>(text.size() + 1);
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return static_cast<DWORD>(text.size());
}

}  // namespace win32

std::string PosixPathFromPlatform(std::string_view platformPath) {
  return win32::ResolveCase(win32::LexicalPosixPath(platformPath));
}

std::string PlatformPathFromPosix(std::string_view posixPath) {
  std::string result(posixPath);
  std::replace(result.begin(), result.end(), '/', '\\');
  return result;
}
