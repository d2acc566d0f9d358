// File search: a snapshot of a folder's matching names, "." and ".." first, the rest in
// case-insensitive order.
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

#include "file_info.h"
#include "handle_table.h"
#include "last_error.h"
#include "path_mapping.h"
#include "win32/paths.h"
#include "win32/winbase.h"
#include "win32/winerror.h"

using namespace win32;

namespace {

class FindObject : public HandleObject {
 public:
  FindObject(std::string folder, std::vector<std::string> names)
      : folder_(std::move(folder)), names_(std::move(names)) {}

  // Fills data with the next entry that still exists; false when none is left.
  bool Next(WIN32_FIND_DATA& data) {
    while (next_ < names_.size()) {
      const std::string& name = names_[next_++];
      FileInfo info;
      if (!StatPath(folder_ + "/" + name, info)) continue;
      std::memset(&data, 0, sizeof data);
      data.dwFileAttributes = AttributesOf(info);
      data.ftCreationTime = info.creationTime;
      data.ftLastAccessTime = info.lastAccessTime;
      data.ftLastWriteTime = info.lastWriteTime;
      if (!S_ISDIR(info.mode)) {
        data.nFileSizeHigh = static_cast<DWORD>(info.size >> 32);
        data.nFileSizeLow = static_cast<DWORD>(info.size);
      }
      std::memcpy(data.cFileName, name.c_str(), name.size() + 1);
      return true;
    }
    return false;
  }

 private:
  std::string folder_;
  std::vector<std::string> names_;
  size_t next_ = 0;
};

bool OrderNames(const std::string& a, const std::string& b) {
  auto rank = [](const std::string& s) { return s == "." ? 0 : s == ".." ? 1 : 2; };
  if (rank(a) != rank(b)) return rank(a) < rank(b);
  int c = CompareIgnoreCase(a, b);
  return c != 0 ? c < 0 : a < b;
}

}  // namespace

bool win32::MatchesPattern(std::string_view pattern, std::string_view name) {
  size_t p = 0, n = 0, starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pattern.size() && pattern[p] == '*') {
      starP = p++;
      starN = n;
    } else if (p < pattern.size() && (pattern[p] == '?' || EqualsIgnoreCase(pattern.substr(p, 1), name.substr(n, 1)))) {
      const bool anyCharacter = pattern[p] == '?';
      ++p;
      ++n;
      // '?' stands for a whole character, not one byte of its UTF-8 form.
      while (anyCharacter && n < name.size() && (static_cast<unsigned char>(name[n]) & 0xC0) == 0x80) ++n;
    } else if (starP != std::string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

HANDLE FindFirstFile(LPCSTR fileName, LPWIN32_FIND_DATA findFileData) {
  if (!findFileData) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return INVALID_HANDLE_VALUE;
  }
  if (!fileName || !*fileName) {
    SetLastError(ERROR_PATH_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  std::string_view text = fileName;
  size_t cut = text.find_last_of("\\/");
  std::string folderPart;
  std::string_view pattern;
  if (cut != std::string_view::npos) {
    folderPart = std::string(text.substr(0, cut + 1));
    pattern = text.substr(cut + 1);
  } else if (text.size() >= 2 && text[1] == ':') {
    folderPart = std::string(text.substr(0, 2));
    pattern = text.substr(2);
  } else {
    folderPart = ".";
    pattern = text;
  }
  const std::string folder = PosixPathFromPlatform(folderPart);
  std::vector<std::string> names;
  if (!ListDirectory(folder, names)) {
    SetLastError(errno == ENOENT || errno == ENOTDIR ? ERROR_PATH_NOT_FOUND : ErrorFromErrno(errno));
    return INVALID_HANDLE_VALUE;
  }
  const bool matchAll = pattern == "*.*";
  std::erase_if(names, [&](const std::string& name) {
    return name.size() >= MAX_PATH || !(matchAll || MatchesPattern(pattern, name));
  });
  std::sort(names.begin(), names.end(), OrderNames);

  auto search = std::make_shared<FindObject>(folder, std::move(names));
  if (!search->Next(*findFileData)) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    return INVALID_HANDLE_VALUE;
  }
  uintptr_t handle = AllocateHandle(HandleKind::FindFile, std::move(search));
  if (!handle) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return INVALID_HANDLE_VALUE;
  }
  return ToHandle<HANDLE>(handle);
}

BOOL FindNextFile(HANDLE findFile, LPWIN32_FIND_DATA findFileData) {
  auto search = LookupHandle<FindObject>(findFile, HandleKind::FindFile);
  if (!search) return Fail(ERROR_INVALID_HANDLE);
  if (!findFileData) return Fail(ERROR_INVALID_PARAMETER);
  return search->Next(*findFileData) ? TRUE : Fail(ERROR_NO_MORE_FILES);
}

BOOL FindClose(HANDLE findFile) {
  return ReleaseHandle(reinterpret_cast<uintptr_t>(findFile), HandleKind::FindFile) ? TRUE : Fail(ERROR_INVALID_HANDLE);
}
