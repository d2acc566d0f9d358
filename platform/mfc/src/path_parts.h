#pragma once
// Pieces of platform paths, cut at either separator.
#include <algorithm>

#include "mfc/afx.h"

namespace mfc {

// The last component: "C:\a\clip.avi" gives "clip.avi".
inline CString FileNamePart(const CString& path) {
  return path.Mid(std::max(path.ReverseFind('\\'), path.ReverseFind('/')) + 1);
}

// The last component without its extension: "clip.avi" gives "clip"; ".ini" stays ".ini".
inline CString FileTitlePart(const CString& path) {
  CString name = FileNamePart(path);
  int dot = name.ReverseFind('.');
  return dot > 0 ? name.Left(dot) : name;
}

}  // namespace mfc
