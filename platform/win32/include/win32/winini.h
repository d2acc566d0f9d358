#pragma once
// Ini files ("private profiles"): "[Section]" lines followed by "key=value" lines. Section and key
// names match without case; the first of several equal sections or keys wins; names and values
// are trimmed of blanks and a value enclosed in matching quotes ('"' or '\'') loses them. Lines
// starting with ';' are comments. The file is read again on every call, so changes made by anyone
// are seen at once. File names follow the platform path rules (relative names are taken from the
// current directory). Text is UTF-8.
#include "win32/wintypes.h"

// Copies the value of lpKeyName in lpAppName, or lpDefault (NULL: "") when there is none, and
// returns the number of characters copied without the NUL. A value that does not fit is cut to
// nSize - 1 characters and the result is nSize - 1.
// lpKeyName NULL: the section's key names; lpAppName NULL: the file's section names; each name is
// followed by a NUL and the list by another. A list that does not fit is cut, ends with two NULs
// and the result is nSize - 2. A missing file or section gives an empty list.
DWORD GetPrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpDefault,
                               LPSTR lpReturnedString, DWORD nSize, LPCSTR lpFileName);
// The value read as a decimal integer with an optional sign (reading stops at the first
// non-digit, no digits give 0); nDefault when the key is missing or its value empty.
UINT GetPrivateProfileIntA(LPCSTR lpAppName, LPCSTR lpKeyName, INT nDefault, LPCSTR lpFileName);
// The section's "key=value" lines (comments left out) as a double-NUL list; cut as above.
DWORD GetPrivateProfileSectionA(LPCSTR lpAppName, LPSTR lpReturnedString, DWORD nSize,
                                LPCSTR lpFileName);
DWORD GetPrivateProfileSectionNamesA(LPSTR lpszReturnBuffer, DWORD nSize, LPCSTR lpFileName);

// Sets the key's value, adding the key, the section and the file when missing; every other line
// stays as it was. lpString NULL deletes the key; lpKeyName NULL deletes the whole section.
// Names and values with line breaks, section names with ']' and key names with '=' or starting
// with ';' or '[' are refused (ERROR_INVALID_PARAMETER): they would read back differently. All three NULL: the flush call; every write already went to the
// file, and the result is FALSE as on the platform.
BOOL WritePrivateProfileStringA(LPCSTR lpAppName, LPCSTR lpKeyName, LPCSTR lpString,
                                LPCSTR lpFileName);
// Replaces the section's entries with the double-NUL list of "key=value" lines in lpString (the
// section is created when missing; comments stay); lpString NULL deletes the section.
BOOL WritePrivateProfileSectionA(LPCSTR lpAppName, LPCSTR lpString, LPCSTR lpFileName);

#define GetPrivateProfileString GetPrivateProfileStringA
#define GetPrivateProfileInt GetPrivateProfileIntA
#define GetPrivateProfileSection GetPrivateProfileSectionA
#define GetPrivateProfileSectionNames GetPrivateProfileSectionNamesA
#define WritePrivateProfileString WritePrivateProfileStringA
#define WritePrivateProfileSection WritePrivateProfileSectionA
