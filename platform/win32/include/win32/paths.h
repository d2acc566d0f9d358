#pragma once
// Platform paths accept '\' and '/' and an optional drive letter ("C:" is the C-drive folder, by
// default the user's home; any other letter is "/"). Paths handed out are absolute POSIX paths
// written with backslashes.
#include <string>
#include <string_view>

// The POSIX path a platform path names: separators turned, drive resolved, relative paths taken
// from the current directory, and each component that does not exist under its exact name matched
// case-insensitively against the names that do.
std::string PosixPathFromPlatform(std::string_view platformPath);

// The platform form of a POSIX path: backslashes, no drive letter.
std::string PlatformPathFromPosix(std::string_view posixPath);
