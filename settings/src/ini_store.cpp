#include "settings/ini_store.h"

#include <cstring>
#include <vector>

#include "win32/windows.h"

namespace {

// Room for one value and for a name list, as the program has always read them.
constexpr DWORD kValueBuffer = 2048;
constexpr DWORD kListBuffer = 16385;

}  // namespace

CString CIniStore::ReadString(LPCTSTR section, LPCTSTR key, LPCTSTR defaultValue) const {
  char value[kValueBuffer];
  GetPrivateProfileString(section, key, defaultValue, value, kValueBuffer, path_);
  return CString(value);
}

BOOL CIniStore::WriteString(LPCTSTR section, LPCTSTR key, LPCTSTR value) const {
  return WritePrivateProfileString(section, key, value, path_);
}

BOOL CIniStore::ReadSectionNames(CStringArray& names) const { return ReadNameList(nullptr, names); }

BOOL CIniStore::ReadKeyNames(LPCTSTR section, CStringArray& names) const {
  // A null section would list the section names instead.
  if (!section) {
    names.RemoveAll();
    return FALSE;
  }
  return ReadNameList(section, names);
}

BOOL CIniStore::ReadNameList(LPCTSTR section, CStringArray& names) const {
  names.RemoveAll();
  std::vector<char> list(kListBuffer, '\0');
  GetPrivateProfileString(section, nullptr, "", list.data(), kListBuffer - 1, path_);
  // NUL-separated names ending at the empty name.
  for (const char* name = list.data(); *name; name += strlen(name) + 1) names.Add(CString(name));
  return names.GetSize() > 0;
}
