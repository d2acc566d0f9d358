#pragma once
// Every test process runs in a sandbox folder of its own: the registry file, the C-drive folder and
// the configuration home point into it, so tests never touch the user's files or each other's.
#include <string>

namespace testing_support {

// The process's sandbox folder (POSIX path, no trailing slash), removed when the process ends.
const std::string& SandboxDir();

}  // namespace testing_support
