#pragma once
// Video for Windows compressor functions: the installed video compressors, the same list and
// order as the video compressor category of the media framework.
#include "win32/windows.h"

#ifndef mmioFOURCC
#define mmioFOURCC(ch0, ch1, ch2, ch3)                                                        \
  ((DWORD)(BYTE)(ch0) | ((DWORD)(BYTE)(ch1) << 8) | ((DWORD)(BYTE)(ch2) << 16) | \
   ((DWORD)(BYTE)(ch3) << 24))
#endif

DECLARE_HANDLE(HIC);

#define ICTYPE_VIDEO mmioFOURCC('v', 'i', 'd', 'c')
#define ICTYPE_AUDIO mmioFOURCC('a', 'u', 'd', 'c')

#define ICMODE_COMPRESS 1
#define ICMODE_DECOMPRESS 2
#define ICMODE_FASTDECOMPRESS 3
#define ICMODE_QUERY 4
#define ICMODE_FASTCOMPRESS 5
#define ICMODE_DRAW 8

#define ICERR_OK 0L
#define ICERR_UNSUPPORTED -1L
#define ICERR_BADFORMAT -2L
#define ICERR_MEMORY -3L
#define ICERR_INTERNAL -4L
#define ICERR_BADFLAGS -5L
#define ICERR_BADPARAM -6L
#define ICERR_BADSIZE -7L
#define ICERR_BADHANDLE -8L
#define ICERR_ERROR -100L

#define DRV_USER 0x4000
#define ICM_USER (DRV_USER + 0x0000)
#define ICM_RESERVED_LOW (DRV_USER + 0x1000)
#define ICM_RESERVED ICM_RESERVED_LOW
#define ICM_GETSTATE (ICM_RESERVED + 0)
#define ICM_SETSTATE (ICM_RESERVED + 1)
#define ICM_GETINFO (ICM_RESERVED + 2)
#define ICM_CONFIGURE (ICM_RESERVED + 10)
#define ICM_ABOUT (ICM_RESERVED + 11)

#define ICMF_CONFIGURE_QUERY 0x00000001
#define ICMF_ABOUT_QUERY 0x00000001

// ICINFO.dwFlags
#define VIDCF_QUALITY 0x0001
#define VIDCF_CRUNCH 0x0002
#define VIDCF_TEMPORAL 0x0004
#define VIDCF_COMPRESSFRAMES 0x0008
#define VIDCF_DRAW 0x0010
#define VIDCF_FASTTEMPORALC 0x0020
#define VIDCF_FASTTEMPORALD 0x0080

#define ICVERSION 0x0104

typedef struct {
  DWORD dwSize;
  DWORD fccType;
  DWORD fccHandler;
  DWORD dwFlags;
  DWORD dwVersion;
  DWORD dwVersionICM;
  WCHAR szName[16];
  WCHAR szDescription[128];
  WCHAR szDriver[128];
} ICINFO;

// With fccHandler below the number of installed compressors, the compressor at that position;
// otherwise the one whose handler code matches (letter case ignored). fccType is ICTYPE_VIDEO or
// 0 for any. FALSE when there is no such compressor.
BOOL ICInfo(DWORD fccType, DWORD fccHandler, ICINFO* lpicinfo);
// A handle of the compressor with that handler code, or NULL.
HIC ICOpen(DWORD fccType, DWORD fccHandler, UINT wMode);
// Copies up to cb bytes of the compressor's ICINFO; returns the bytes copied (0 for a bad handle).
LRESULT ICGetInfo(HIC hic, ICINFO* picinfo, DWORD cb);
// ICERR_OK, or ICERR_BADHANDLE for a handle that is not open.
LRESULT ICClose(HIC hic);
// Handles ICM_GETINFO (dw1 the ICINFO, dw2 its size); the compressors have no configuration or
// about box, so ICM_CONFIGURE and ICM_ABOUT (also as queries) answer ICERR_UNSUPPORTED, as does any
// other message.
LRESULT ICSendMessage(HIC hic, UINT msg, DWORD_PTR dw1, DWORD_PTR dw2);

#define ICQueryConfigure(hic) (ICSendMessage(hic, ICM_CONFIGURE, (DWORD_PTR)-1, ICMF_CONFIGURE_QUERY) == ICERR_OK)
#define ICConfigure(hic, hwnd) ICSendMessage(hic, ICM_CONFIGURE, (DWORD_PTR)(UINT_PTR)(hwnd), 0)
#define ICQueryAbout(hic) (ICSendMessage(hic, ICM_ABOUT, (DWORD_PTR)-1, ICMF_ABOUT_QUERY) == ICERR_OK)
#define ICAbout(hic, hwnd) ICSendMessage(hic, ICM_ABOUT, (DWORD_PTR)(UINT_PTR)(hwnd), 0)
