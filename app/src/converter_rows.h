#pragma once
// The file list's rows as the conversions and playback read them.
#include "mfc/afxcmn.h"

struct FileRow {
  CString path;   // column 1
  CString start;  // column 2, seconds
  CString end;    // column 3, seconds; "0" means to the end of the file
};

inline FileRow ReadRow(const CListCtrl& list, int row) {
  return {list.GetItemText(row, 1), list.GetItemText(row, 2), list.GetItemText(row, 3)};
}

// An end time that means "to the end of the file".
inline bool IsToEnd(const CString& end) { return end == "0" || end == "0.000000"; }

inline CString FormatSeconds(double seconds) {
  CString text;
  text.Format("%f", seconds);
  return text;
}

// The major version of the system the program runs on.
inline DWORD MajorVersion() {
  OSVERSIONINFO version{};
  version.dwOSVersionInfoSize = sizeof version;
  GetVersionEx(&version);
  return version.dwMajorVersion;
}
