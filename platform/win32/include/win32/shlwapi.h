#pragma once
// Shell light-weight utilities.
#include "win32/wintypes.h"

#define STIF_DEFAULT 0x00000000
#define STIF_SUPPORT_HEX 0x00000001

// Leading blanks, an optional sign, then decimal digits, or with STIF_SUPPORT_HEX "0x"/"0X" and
// hexadecimal digits. Stops at the first other character; FALSE when no digit was read. The value
// wraps to 32 bits.
BOOL StrToIntEx(LPCSTR string, DWORD flags, int* result);
