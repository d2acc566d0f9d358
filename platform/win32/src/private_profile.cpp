// The private-profile functions over IniText. Nothing is cached: every call reads the file, and
// every write replaces it at once.
#include <cstring>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ini_text.h"
#include "text_file.h"
#include "win32/paths.h"
#include "win32/winbase.h"
#include "win32/winerror.h"
#include "win32/winini.h"

using win32::IniText;

namespace {

// Serialises read-modify-write cycles of this process so that two threads never lose a write.
std::mutex& WriteLock() {
  static std::mutex* lock = new std::mutex;
  return *lock;
}

// The file's text, or nullopt with the last error set when it cannot be read.
std::optional<std::string> ReadIni(LPCSTR fileName) {
  if (!fileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return std::nullopt;
  }
  std::string text;
  DWORD error = 0;
  if (!win32::ReadWholeFile(PosixPathFromPlatform(fileName), text, &error)) {
    SetLastError(error);
    return std::nullopt;
  }
  return text;
}

DWORD CopyValue(const std::string& value, LPSTR buffer, DWORD size) {
  if (size == 0) return 0;
  DWORD n = value.size() < size ? static_cast<DWORD>(value.size()) : size - 1;
  std::memcpy(buffer, value.data(), n);
  buffer[n] = '\0';
  return n;
}

// A list of names, each followed by a NUL, the whole followed by another NUL. One that does not
// fit is cut, ends with two NULs and gives size - 2.
DWORD CopyList(const std::vector<std::string>& names, LPSTR buffer, DWORD size) {
  if (size == 0) return 0;
  std::string list;
  for (const std::string& name : names) {
    list += name;
    list += '\0';
  }
  if (list.size() + 1 <= size) {
    std::memcpy(buffer, list.data(), list.size());
    buffer[list.size()] = '\0';
    if (list.empty() && size > 1) buffer[1] = '\0';
    return static_cast<DWORD>(list.size());
  }
  if (size < 2) {
    buffer[0] = '\0';
    return 0;
  }
  std::memcpy(buffer, list.data(), size - 2);
  buffer[size - 2] = '\0';
  buffer[size - 1] = '\0';
  return size - 2;
}

bool HasLineBreak(LPCSTR s) { return s && std::strpbrk(s, "\r\n"); }

// Reads the file (missing is empty), applies the edit and writes the file back when it changed.
template <class Edit>
BOOL EditIni(LPCSTR fileName, Edit edit) {
  std::lock_guard<std::mutex> guard(WriteLock());
  std::string posixPath = PosixPathFromPlatform(fileName);
  std::string before;
  DWORD error = 0;
  if (!win32::ReadWholeFile(posixPath, before, &error) && error != ERROR_FILE_NOT_FOUND) {
    SetLastError(error);
    return FALSE;
  }
  IniText ini(before);
  edit(ini);
  std::string after = ini.Text();
  if (after == before) return TRUE;
  if (!win32::ReplaceFileContents(posixPath, after, &error)) {
    SetLastError(error);
    return FALSE;
  }
  return TRUE;
}

}  // namespace

DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName) {
  if (!lpReturnedString) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::optional<std::string> text = ReadIni(lpFileName);
  IniText ini(text ? *text : std::string());
  if (!lpAppName) return CopyList(ini.SectionNames(), lpReturnedString, nSize);
  if (!lpKeyName) return CopyList(ini.KeyNames(lpAppName), lpReturnedString, nSize);
  if (std::optional<std::string> value = ini.Value(lpAppName, lpKeyName)) {
    return CopyValue(*value, lpReturnedString, nSize);
  }
  // The platform drops trailing blanks of the default.
  std::string fallback = lpDefault ? lpDefault : "";
  fallback.erase(fallback.find_last_not_of(" \t") + 1);
  SetLastError(ERROR_FILE_NOT_FOUND);
  return CopyValue(fallback, lpReturnedString, nSize);
}

UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName) {
  if (!lpAppName || !lpKeyName) return static_cast<UINT>(nDefault);
  std::optional<std::string> text = ReadIni(lpFileName);
  if (!text) return static_cast<UINT>(nDefault);
  std::optional<std::string> value = IniText(*text).Value(lpAppName, lpKeyName);
  if (!value || value->empty()) return static_cast<UINT>(nDefault);
  const char* p = value->c_str();
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  uint32_t result = 0;  // wraps like the platform's unsigned arithmetic
  for (; *p >= '0' && *p <= '9'; ++p) result = result * 10 + static_cast<uint32_t>(*p - '0');
  return negative ? 0u - result : result;
}

DWORD GetPrivateProfileSectionA(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize,
                                LPCSTR lpFileName) {
  if (!lpAppName || !lpReturnedString) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  std::optional<std::string> text = ReadIni(lpFileName);
  IniText ini(text ? *text : std::string());
  std::optional<std::vector<std::string>> entries = ini.SectionEntries(lpAppName);
  return CopyList(entries ? *entries : std::vector<std::string>(), lpReturnedString, nSize);
}

DWORD GetPrivateProfileSectionNamesA(LPSTR lpszReturnBuffer, DWORD nSize, LPCSTR lpFileName) {
  return GetPrivateProfileStringA(nullptr, nullptr, nullptr, lpszReturnBuffer, nSize, lpFileName);
}

BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName) {
  if (!lpFileName) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  // The flush call: nothing is cached, and the platform answers FALSE to it whatever happens.
  if (!lpAppName && !lpKeyName && !lpString) return FALSE;
  // A line break would make the value a line of its own, and ']' in a section name or a key
  // with '=' or starting like a comment or section would change what is read back: refused
  // rather than written into a file that then reads differently.
  if (!lpAppName || HasLineBreak(lpAppName) || HasLineBreak(lpKeyName) || HasLineBreak(lpString) ||
      std::strchr(lpAppName, ']') ||
      (lpKeyName && (std::strchr(lpKeyName, '=') || lpKeyName[std::strspn(lpKeyName, " \t")] == ';' ||
                     lpKeyName[std::strspn(lpKeyName, " \t")] == '['))) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  return EditIni(lpFileName, [&](IniText& ini) {
    if (!lpKeyName) {
      ini.DeleteSection(lpAppName);
    } else if (!lpString) {
      ini.DeleteKey(lpAppName, lpKeyName);
    } else {
      ini.SetValue(lpAppName, lpKeyName, lpString);
    }
  });
}

BOOL WritePrivateProfileSectionA(LPCSTR lpAppName, LPCSTR lpString, LPCSTR lpFileName) {
  if (!lpAppName || !lpFileName || HasLineBreak(lpAppName) || std::strchr(lpAppName, ']')) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  std::vector<std::string> entries;
  for (const char* p = lpString; p && *p; p += std::strlen(p) + 1) {
    if (HasLineBreak(p)) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return FALSE;
    }
    entries.emplace_back(p);
  }
  return EditIni(lpFileName, [&](IniText& ini) {
    if (lpString) {
      ini.ReplaceSection(lpAppName, entries);
    } else {
      ini.DeleteSection(lpAppName);
    }
  });
}
