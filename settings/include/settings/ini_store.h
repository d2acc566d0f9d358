#pragma once
// Ini access on one file through the platform's private-profile functions. Section and key names
// match without case, as those functions match them.
#include "mfc/afxcoll.h"
#include "mfc/afxstr.h"

class CIniStore {
 public:
  explicit CIniStore(LPCTSTR path) : path_(path) {}

  // The value (at most 2047 characters; longer values are cut), or defaultValue when the key is
  // missing.
  CString ReadString(LPCTSTR section, LPCTSTR key, LPCTSTR defaultValue = "") const;
  // The platform's success flag.
  BOOL WriteString(LPCTSTR section, LPCTSTR key, LPCTSTR value) const;
  // Empties names and fills it with the file's section names (a list longer than 16384
  // characters is cut); TRUE when at least one was found.
  BOOL ReadSectionNames(CStringArray& names) const;
  // The same for the key names of one section.
  BOOL ReadKeyNames(LPCTSTR section, CStringArray& names) const;

 private:
  BOOL ReadNameList(LPCTSTR section, CStringArray& names) const;

  CString path_;
};
