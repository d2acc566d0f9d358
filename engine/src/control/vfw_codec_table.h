#pragma once
// The installed Video for Windows compressors, each description listed once (for the last codec
// that has it).
#include <vector>

#include "mfc/afxstr.h"
#include "win32/windows.h"

class VfwCodecTable {
 public:
  struct Entry {
    CString description;
    DWORD handler;
    BOOL supportsQuality;
  };

  // Reads the table again; returns the number of entries.
  size_t Refresh();
  // The first entry with exactly that description, or null.
  const Entry* Find(LPCTSTR description) const;
  const std::vector<Entry>& Entries() const { return m_entries; }

 private:
  std::vector<Entry> m_entries;
};
