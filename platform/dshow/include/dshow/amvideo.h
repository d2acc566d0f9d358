#pragma once
// Format blocks of video and audio media types.
#include "win32/wintypes.h"
#include "win32/wingdi.h"

typedef LONGLONG REFERENCE_TIME;
typedef REFERENCE_TIME* LPREFERENCE_TIME;
typedef double REFTIME;

#define UNITS 10000000
#define MILLISECONDS 10000

typedef struct tagVIDEOINFOHEADER {
  RECT rcSource;
  RECT rcTarget;
  DWORD dwBitRate;
  DWORD dwBitErrorRate;
  REFERENCE_TIME AvgTimePerFrame;
  BITMAPINFOHEADER bmiHeader;
} VIDEOINFOHEADER;

#define iPALETTE_COLORS 256
#define iMASK_COLORS 3

typedef struct {
  RGBQUAD bmiColors[iPALETTE_COLORS];
} TRUECOLORINFO_PALETTE;

typedef struct tagVIDEOINFO {
  RECT rcSource;
  RECT rcTarget;
  DWORD dwBitRate;
  DWORD dwBitErrorRate;
  REFERENCE_TIME AvgTimePerFrame;
  BITMAPINFOHEADER bmiHeader;
  union {
    RGBQUAD bmiColors[iPALETTE_COLORS];
    DWORD dwBitMasks[iMASK_COLORS];
  };
} VIDEOINFO;

typedef struct tagVIDEOINFOHEADER2 {
  RECT rcSource;
  RECT rcTarget;
  DWORD dwBitRate;
  DWORD dwBitErrorRate;
  REFERENCE_TIME AvgTimePerFrame;
  DWORD dwInterlaceFlags;
  DWORD dwCopyProtectFlags;
  DWORD dwPictAspectRatioX;
  DWORD dwPictAspectRatioY;
  DWORD dwControlFlags;
  DWORD dwReserved2;
  BITMAPINFOHEADER bmiHeader;
} VIDEOINFOHEADER2;

// Bytes of one DIB row: bits rounded up to whole 32-bit words.
#define WIDTHBYTES(bits) ((DWORD)((((bits) + 31) & (~31)) / 8))
#define DIBWIDTHBYTES(bi) (DWORD)WIDTHBYTES((DWORD)(bi).biWidth * (DWORD)(bi).biBitCount)
#define _DIBSIZE(bi) (DIBWIDTHBYTES(bi) * (DWORD)(bi).biHeight)
#define DIBSIZE(bi) ((bi).biHeight < 0 ? (-1) * (_DIBSIZE(bi)) : _DIBSIZE(bi))
#define HEADER(pVideoInfo) (&(((VIDEOINFOHEADER*)(pVideoInfo))->bmiHeader))
#define SIZE_VIDEOHEADER (sizeof(BITMAPINFOHEADER) + sizeof(VIDEOINFOHEADER) - sizeof(BITMAPINFOHEADER))

#ifndef WAVE_FORMAT_PCM
#define WAVE_FORMAT_PCM 1
#endif
#define WAVE_FORMAT_IEEE_FLOAT 0x0003

#pragma pack(push, 2)
typedef struct tWAVEFORMATEX {
  WORD wFormatTag;
  WORD nChannels;
  DWORD nSamplesPerSec;
  DWORD nAvgBytesPerSec;
  WORD nBlockAlign;
  WORD wBitsPerSample;
  WORD cbSize;
} WAVEFORMATEX, *PWAVEFORMATEX, *LPWAVEFORMATEX;
#pragma pack(pop)
static_assert(sizeof(WAVEFORMATEX) == 18);
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;
