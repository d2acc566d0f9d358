#pragma once
// The registry's content and its file. Every access first re-reads the file when another process
// (or anything else) replaced it; every change is written back at once, atomically, under an
// inter-process lock so that concurrent writers never lose each other's changes. A file that does
// not parse is reported as corrupt and never overwritten.
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include <sys/stat.h>

#include "name_case.h"
#include "win32/wintypes.h"

namespace win32 {

// The platform's limits: a key name has at most 255 characters, and keys nest at most 512 deep
// below a root.
constexpr size_t kMaxKeyNameLength = 255;
constexpr size_t kMaxKeyDepth = 512;

struct RegistryValue {
  std::string name;  // "" is the key's default value
  DWORD type = 0;
  std::string data;
};

struct RegistryNode {
  std::map<std::string, std::unique_ptr<RegistryNode>, NoCaseLess> children;
  std::vector<RegistryValue> values;  // in creation order

  RegistryValue* FindValue(const std::string& name);
};

enum class RegistryRoot { ClassesRoot, CurrentUser, LocalMachine, Count };

struct RegistryTree {
  RegistryNode roots[static_cast<int>(RegistryRoot::Count)];
  RegistryNode& Root(RegistryRoot root) { return roots[static_cast<int>(root)]; }
};

// The text form of the tree, and back. Parse returns false for text that is not a whole
// registry file.
std::string SerializeRegistry(RegistryTree& tree);
bool ParseRegistry(const std::string& text, RegistryTree& tree);

class RegistryStore {
 public:
  explicit RegistryStore(std::string path);

  // Runs read(tree) on the current content and returns its result, or the error that kept the
  // content from being read (ERROR_REGISTRY_CORRUPT for a damaged file).
  template <class Reader>
  LONG Read(Reader read) {
    std::lock_guard<std::mutex> guard(lock_);
    LONG error = Refresh();
    return error ? error : read(tree_);
  }

  // Runs change(tree, changed) on the current content while holding the inter-process lock and
  // writes the file when the change reports that it changed something.
  template <class Changer>
  LONG Write(Changer change) {
    std::lock_guard<std::mutex> guard(lock_);
    int lockFd = -1;
    LONG error = LockFile(&lockFd);
    if (!error) error = Refresh();
    if (!error) {
      bool changed = false;
      error = change(tree_, changed);
      if (error) {
        loaded_ = false;  // whatever the change did is dropped: the file is read again
      } else if (changed) {
        error = Save();
      }
    }
    UnlockFile(lockFd);
    return error;
  }

 private:
  LONG Refresh();
  LONG Save();
  LONG LockFile(int* fd);
  static void UnlockFile(int fd);

  std::mutex lock_;
  std::string path_;
  RegistryTree tree_;
  bool loaded_ = false;
  bool present_ = false;  // whether the file existed when loaded
  struct stat signature_ {};
};

// The process's store, on the file the settings name. Never destroyed.
RegistryStore& Registry();

}  // namespace win32
