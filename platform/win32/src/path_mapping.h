#pragma once
// Internals of the path rules shared by the file, folder and search services.
#include <string>
#include <string_view>
#include <vector>

#include "win32/wintypes.h"

namespace win32 {

// The absolute POSIX path a platform path names, "." and ".." resolved lexically, without looking
// at the disk. A trailing separator of the input is kept (except for the root).
std::string LexicalPosixPath(std::string_view platformPath);

// Replaces every component that does not exist under its exact name with the first name (in
// byte order) of its folder that matches it without regard to case. Components after one that
// matches nothing stay as given.
std::string ResolveCase(const std::string& absolutePosixPath);

// ASCII case-insensitive comparisons of names.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);
int CompareIgnoreCase(std::string_view a, std::string_view b);

// A name against a search pattern: '*' matches any run of characters, '?' any one character,
// letters without regard to case.
bool MatchesPattern(std::string_view pattern, std::string_view name);

// The names in a folder, "." and ".." included; false with errno set when it cannot be read.
bool ListDirectory(const std::string& posixDir, std::vector<std::string>& names);

// Fails with the platform's code for errno err on posixPath: a missing file in an existing folder
// is ERROR_FILE_NOT_FOUND, a missing folder on the way ERROR_PATH_NOT_FOUND.
BOOL FailForPath(const std::string& posixPath, int err);

// Copies text into a caller's buffer with the platform's rules: the length without terminator on
// success, the size needed with terminator when the buffer is too small.
DWORD CopyOut(const std::string& text, DWORD bufferLength, char* buffer);

}  // namespace win32
