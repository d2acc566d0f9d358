#include "control/vfw_codec_table.h"

#include <algorithm>

#include "vfw/vfw.h"

size_t VfwCodecTable::Refresh() {
  m_entries.clear();
  ICINFO info;
  for (DWORD i = 0; ICInfo(ICTYPE_VIDEO, i, &info); ++i) {
    HIC codec = ICOpen(info.fccType, info.fccHandler, ICMODE_QUERY);
    if (!codec) continue;
    ICINFO details = {};
    details.dwSize = sizeof details;
    LRESULT copied = ICGetInfo(codec, &details, sizeof details);
    ICClose(codec);
    if (!copied) continue;
    char description[256] = {};
    WideCharToMultiByte(CP_ACP, 0, details.szDescription, -1, description, sizeof description - 1, nullptr,
                        nullptr);
    Entry entry{description, details.fccHandler, BOOL(details.dwFlags & VIDCF_QUALITY)};
    std::erase_if(m_entries, [&](const Entry& e) { return e.description == entry.description; });
    m_entries.push_back(entry);
  }
  return m_entries.size();
}

const VfwCodecTable::Entry* VfwCodecTable::Find(LPCTSTR description) const {
  auto it = std::find_if(m_entries.begin(), m_entries.end(), [&](const Entry& e) { return e.description == description; });
  return it == m_entries.end() ? nullptr : &*it;
}
