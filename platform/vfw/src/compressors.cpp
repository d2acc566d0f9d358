#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

#include "dshow/compressor_catalog.h"
#include "vfw/vfw.h"

namespace {

// Open compressor handles. Values carry kind 0x60 in bits 24-30, a kind the window and kernel
// tables never use, and a serial that only grows, so a closed handle stays invalid.
struct OpenTable {
  std::mutex lock;
  std::map<uintptr_t, const dshow::CompressorEntry*> open;
  uintptr_t nextSerial = 0x10000;
};

OpenTable& Table() {
  static OpenTable* table = new OpenTable;  // outlives static destructors of users
  return *table;
}

constexpr uintptr_t kHandleKind = 0x60;

DWORD Lower(DWORD fcc) {
  DWORD out = 0;
  for (int i = 0; i < 4; ++i) out |= DWORD(std::tolower(int((fcc >> (8 * i)) & 0xFF))) << (8 * i);
  return out;
}

const dshow::CompressorEntry* ByHandler(DWORD fccHandler) {
  for (const dshow::CompressorEntry* e : dshow::InstalledCompressors(true))
    if (Lower(e->fourcc) == Lower(fccHandler)) return e;
  return nullptr;
}

void CopyText(WCHAR* dst, size_t size, const char* text) {
  size_t i = 0;
  for (; text[i] && i + 1 < size; ++i) dst[i] = WCHAR(static_cast<unsigned char>(text[i]));
  dst[i] = 0;
}

ICINFO InfoOf(const dshow::CompressorEntry& e) {
  ICINFO info{};
  info.dwSize = sizeof(ICINFO);
  info.fccType = ICTYPE_VIDEO;
  info.fccHandler = e.fourcc;
  info.dwFlags = VIDCF_QUALITY | VIDCF_CRUNCH | VIDCF_COMPRESSFRAMES;
  if (std::strcmp(e.encoder, "mpeg4") == 0 || std::strcmp(e.encoder, "libx264") == 0 ||
      std::strcmp(e.encoder, "cinepak") == 0)
    info.dwFlags |= VIDCF_TEMPORAL;
  info.dwVersion = 1;
  info.dwVersionICM = ICVERSION;
  // The short name is the handler code, as the driver list shows it.
  char shortName[5] = {char(e.fourcc), char(e.fourcc >> 8), char(e.fourcc >> 16), char(e.fourcc >> 24), 0};
  CopyText(info.szName, 16, shortName);
  CopyText(info.szDescription, 128, e.friendlyName);
  CopyText(info.szDriver, 128, e.encoder);
  return info;
}

const dshow::CompressorEntry* Lookup(HIC hic) {
  OpenTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  auto it = t.open.find(reinterpret_cast<uintptr_t>(hic));
  return it == t.open.end() ? nullptr : it->second;
}

}  // namespace

BOOL ICInfo(DWORD fccType, DWORD fccHandler, ICINFO* lpicinfo) {
  if (!lpicinfo || (fccType != 0 && Lower(fccType) != ICTYPE_VIDEO)) return FALSE;
  const auto installed = dshow::InstalledCompressors(true);
  const dshow::CompressorEntry* e = fccHandler < installed.size() ? installed[fccHandler] : ByHandler(fccHandler);
  if (!e) return FALSE;
  *lpicinfo = InfoOf(*e);
  return TRUE;
}

HIC ICOpen(DWORD fccType, DWORD fccHandler, UINT wMode) {
  if (fccType != 0 && Lower(fccType) != ICTYPE_VIDEO) return nullptr;
  if (wMode != ICMODE_COMPRESS && wMode != ICMODE_FASTCOMPRESS && wMode != ICMODE_QUERY) return nullptr;
  const dshow::CompressorEntry* e = ByHandler(fccHandler);
  if (!e) return nullptr;
  OpenTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  if (t.nextSerial > 0xFFFFFF) return nullptr;
  const uintptr_t value = (kHandleKind << 24) | t.nextSerial++;
  t.open[value] = e;
  return reinterpret_cast<HIC>(value);
}

LRESULT ICGetInfo(HIC hic, ICINFO* picinfo, DWORD cb) {
  const dshow::CompressorEntry* e = Lookup(hic);
  if (!e || !picinfo) return 0;
  const ICINFO info = InfoOf(*e);
  const DWORD n = std::min<DWORD>(cb, sizeof info);
  std::memcpy(picinfo, &info, n);
  return n;
}

LRESULT ICClose(HIC hic) {
  OpenTable& t = Table();
  std::lock_guard<std::mutex> hold(t.lock);
  return t.open.erase(reinterpret_cast<uintptr_t>(hic)) ? ICERR_OK : ICERR_BADHANDLE;
}

LRESULT ICSendMessage(HIC hic, UINT msg, DWORD_PTR dw1, DWORD_PTR dw2) {
  if (!Lookup(hic)) return ICERR_BADHANDLE;
  if (msg == ICM_GETINFO) return ICGetInfo(hic, reinterpret_cast<ICINFO*>(dw1), DWORD(dw2));
  return ICERR_UNSUPPORTED;
}
