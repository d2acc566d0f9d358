#pragma once
// Code pages. The ANSI and OEM code pages are UTF-8; wide text is UTF-16 in char16_t.
#include "win32/wintypes.h"

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_MACCP 2
#define CP_THREAD_ACP 3
#define CP_UTF8 65001

#define MB_PRECOMPOSED 0x00000001
#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_NO_BEST_FIT_CHARS 0x00000400
#define WC_ERR_INVALID_CHARS 0x00000080

// Every code page above means UTF-8; any other is ERROR_INVALID_PARAMETER. A length of -1 takes the
// text up to and including its terminator. With an output size of 0 the size needed is returned;
// a buffer too small gives 0 and ERROR_INSUFFICIENT_BUFFER. Malformed input becomes U+FFFD, or
// fails with ERROR_NO_UNICODE_TRANSLATION under the *_ERR_INVALID_CHARS flag.
int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByteStr, int multiByte,
                        LPWSTR wideCharStr, int wideChar);
// *usedDefaultChar tells whether an unpaired surrogate was replaced; defaultChar is not used.
int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideCharStr, int wideChar,
                        LPSTR multiByteStr, int multiByte, LPCSTR defaultChar, LPBOOL usedDefaultChar);

// OEM to ANSI: both are UTF-8, so the text is copied unchanged (source and destination may be the
// same buffer).
BOOL OemToCharBuff(LPCSTR source, LPSTR destination, DWORD length);
