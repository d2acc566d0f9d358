#include "registry_store.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

#include "text_file.h"
#include "win32/platform_config.h"
#include "win32/winerror.h"
#include "win32/winreg.h"

// The file, one line each:
//   CORVANE-REGISTRY 1
//   [HKEY_CURRENT_USER\Software\Corvane]       a key; "%XX" escapes '%' and control bytes
//   @=sz:"Default text\x00"                    the default value
//   "Count"=dword:00000010                     a four-byte REG_DWORD
//   "Blob"=hex(3):01,ff                        any other type and size, as bytes
//   END
// String types are written as quoted bytes ("\\", "\"" and "\xHH" escapes). The last line makes a
// cut-off file recognisable.

namespace win32 {
namespace {

constexpr char kHeader[] = "CORVANE-REGISTRY 1";
constexpr char kTrailer[] = "END";
constexpr const char* kRootNames[] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER", "HKEY_LOCAL_MACHINE"};
constexpr char kHex[] = "0123456789abcdef";

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::string EscapeKeyName(const std::string& name) {
  std::string out;
  for (unsigned char c : name) {
    if (c < 0x20 || c == 0x7F || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

bool UnescapeKeyName(std::string_view in, std::string& out) {
  out.clear();
  for (size_t i = 0; i < in.size(); ++i) {
    if (in[i] != '%') {
      out += in[i];
      continue;
    }
    if (i + 2 >= in.size()) return false;
    int hi = HexDigit(in[i + 1]), lo = HexDigit(in[i + 2]);
    if (hi < 0 || lo < 0) return false;
    const char c = static_cast<char>(hi * 16 + lo);
    if (c == '\\') return false;  // a key name never holds the path separator
    out += c;
    i += 2;
  }
  return true;
}

std::string Quote(const std::string& bytes) {
  std::string out = "\"";
  for (unsigned char c : bytes) {
    if (c == '\\' || c == '"') {
      out += '\\';
      out += static_cast<char>(c);
    } else if (c < 0x20 || c == 0x7F) {
      out += "\\x";
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out + "\"";
}

// Reads a quoted string at the start of text; returns the rest after the closing quote.
bool Unquote(std::string_view& text, std::string& out) {
  out.clear();
  if (text.empty() || text[0] != '"') return false;
  for (size_t i = 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      text.remove_prefix(i + 1);
      return true;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++i >= text.size()) return false;
    if (text[i] == '\\' || text[i] == '"') {
      out += text[i];
    } else if (text[i] == 'x' && i + 2 < text.size() && HexDigit(text[i + 1]) >= 0 &&
               HexDigit(text[i + 2]) >= 0) {
      out += static_cast<char>(HexDigit(text[i + 1]) * 16 + HexDigit(text[i + 2]));
      i += 2;
    } else {
      return false;
    }
  }
  return false;
}

bool IsStringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

const char* StringTypeName(DWORD type) {
  return type == REG_SZ ? "sz" : type == REG_EXPAND_SZ ? "expand_sz" : "multi_sz";
}

std::string ValueLine(const RegistryValue& value) {
  std::string line = value.name.empty() ? "@" : Quote(value.name);
  line += '=';
  if (IsStringType(value.type)) {
    line += StringTypeName(value.type);
    line += ':';
    line += Quote(value.data);
  } else if (value.type == REG_DWORD && value.data.size() == 4) {
    char digits[16];
    uint32_t v = static_cast<uint8_t>(value.data[0]) | static_cast<uint8_t>(value.data[1]) << 8 |
                 static_cast<uint8_t>(value.data[2]) << 16 |
                 static_cast<uint32_t>(static_cast<uint8_t>(value.data[3])) << 24;
    std::snprintf(digits, sizeof digits, "%08x", v);
    line += "dword:";
    line += digits;
  } else {
    line += "hex(" + std::to_string(value.type) + "):";
    for (size_t i = 0; i < value.data.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(value.data[i]);
      if (i) line += ',';
      line += kHex[c >> 4];
      line += kHex[c & 15];
    }
  }
  return line;
}

bool ParseValueLine(std::string_view text, RegistryValue& value) {
  if (!text.empty() && text[0] == '@') {
    value.name.clear();
    text.remove_prefix(1);
  } else if (!Unquote(text, value.name) || value.name.empty()) {
    return false;
  }
  if (text.empty() || text[0] != '=') return false;
  text.remove_prefix(1);
  size_t colon = text.find(':');
  if (colon == std::string_view::npos) return false;
  std::string_view kind = text.substr(0, colon);
  std::string_view data = text.substr(colon + 1);
  value.data.clear();
  for (DWORD type : {REG_SZ, REG_EXPAND_SZ, REG_MULTI_SZ}) {
    if (kind == StringTypeName(type)) {
      value.type = type;
      return Unquote(data, value.data) && data.empty();
    }
  }
  if (kind == "dword") {
    if (data.size() != 8) return false;
    uint32_t v = 0;
    for (char c : data) {
      if (HexDigit(c) < 0) return false;
      v = v * 16 + static_cast<uint32_t>(HexDigit(c));
    }
    value.type = REG_DWORD;
    for (int i = 0; i < 4; ++i) value.data += static_cast<char>((v >> (8 * i)) & 0xFF);
    return true;
  }
  if (kind.size() < 6 || kind.substr(0, 4) != "hex(" || kind.back() != ')') return false;
  std::string_view number = kind.substr(4, kind.size() - 5);
  if (number.empty() || number.size() > 10) return false;
  uint64_t type = 0;
  for (char c : number) {
    if (c < '0' || c > '9') return false;
    type = type * 10 + static_cast<uint64_t>(c - '0');
  }
  if (type > 0xFFFFFFFFu) return false;
  value.type = static_cast<DWORD>(type);
  for (size_t i = 0; i < data.size(); i += 3) {
    if (i + 2 > data.size() || HexDigit(data[i]) < 0 || HexDigit(data[i + 1]) < 0) return false;
    if (i + 2 < data.size() && data[i + 2] != ',') return false;
    value.data += static_cast<char>(HexDigit(data[i]) * 16 + HexDigit(data[i + 1]));
  }
  return data.empty() || data.back() != ',';
}

// path holds the node's own path; children extend it in place and cut it back.
void WriteNode(const RegistryNode& node, std::string& path, std::string& out) {
  out += "[" + path + "]\n";
  for (const RegistryValue& value : node.values) out += ValueLine(value) + "\n";
  const size_t length = path.size();
  for (const auto& [name, child] : node.children) {
    path.append("\\").append(EscapeKeyName(name));
    WriteNode(*child, path, out);
    path.resize(length);
  }
}

}  // namespace

RegistryValue* RegistryNode::FindValue(const std::string& name) {
  for (RegistryValue& value : values) {
    if (SameNameNoCase(value.name, name)) return &value;
  }
  return nullptr;
}

std::string SerializeRegistry(RegistryTree& tree) {
  std::string out = std::string(kHeader) + "\n";
  for (int i = 0; i < static_cast<int>(RegistryRoot::Count); ++i) {
    std::string path = kRootNames[i];
    WriteNode(tree.roots[i], path, out);
  }
  return out + kTrailer + "\n";
}

bool ParseRegistry(const std::string& text, RegistryTree& tree) {
  RegistryTree parsed;
  std::string_view rest = text;
  auto nextLine = [&rest](std::string_view& line) {
    if (rest.empty()) return false;
    size_t nl = rest.find('\n');
    if (nl == std::string_view::npos) return false;  // every line, the last too, ends with '\n'
    line = rest.substr(0, nl);
    rest.remove_prefix(nl + 1);
    return true;
  };
  std::string_view line;
  if (!nextLine(line) || line != kHeader) return false;
  RegistryNode* key = nullptr;
  bool ended = false;
  while (nextLine(line)) {
    if (ended) return false;
    if (line == kTrailer) {
      ended = true;
    } else if (!line.empty() && line[0] == '[' && line.back() == ']') {
      std::string_view path = line.substr(1, line.size() - 2);
      size_t slash = path.find('\\');
      std::string_view rootName = path.substr(0, slash);
      key = nullptr;
      for (int i = 0; i < static_cast<int>(RegistryRoot::Count); ++i) {
        if (rootName == kRootNames[i]) key = &parsed.roots[i];
      }
      if (!key) return false;
      size_t depth = 0;
      while (slash != std::string_view::npos) {
        path.remove_prefix(slash + 1);
        slash = path.find('\\');
        std::string name;
        if (!UnescapeKeyName(path.substr(0, slash), name) || name.empty() || name.size() > kMaxKeyNameLength ||
            ++depth > kMaxKeyDepth)
          return false;
        std::unique_ptr<RegistryNode>& child = key->children[name];
        if (!child) child = std::make_unique<RegistryNode>();
        key = child.get();
      }
    } else {
      RegistryValue value;
      if (!key || !ParseValueLine(line, value)) return false;
      if (RegistryValue* existing = key->FindValue(value.name)) {
        *existing = std::move(value);
      } else {
        key->values.push_back(std::move(value));
      }
    }
  }
  if (!ended || !rest.empty()) return false;
  tree = std::move(parsed);
  return true;
}

RegistryStore::RegistryStore(std::string path) : path_(std::move(path)) {}

static bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size &&
         a.st_mtim.tv_sec == b.st_mtim.tv_sec && a.st_mtim.tv_nsec == b.st_mtim.tv_nsec &&
         a.st_ctim.tv_sec == b.st_ctim.tv_sec && a.st_ctim.tv_nsec == b.st_ctim.tv_nsec;
}

LONG RegistryStore::Refresh() {
  struct stat now {};
  bool present = stat(path_.c_str(), &now) == 0;
  if (!present && errno != ENOENT) return ERROR_CANTREAD;
  if (loaded_ && present == present_ && (!present || SameFile(now, signature_))) return ERROR_SUCCESS;
  loaded_ = false;
  RegistryTree fresh;
  if (present) {
    std::string text;
    DWORD error = 0;
    if (!ReadWholeFile(path_, text, &error)) return ERROR_CANTREAD;
    // An empty file holds nothing that could be lost; anything else must parse as a whole.
    if (!text.empty() && !ParseRegistry(text, fresh)) return ERROR_REGISTRY_CORRUPT;
  }
  tree_ = std::move(fresh);
  signature_ = now;
  present_ = present;
  loaded_ = true;
  return ERROR_SUCCESS;
}

LONG RegistryStore::Save() {
  DWORD error = 0;
  struct stat now {};
  if (!ReplaceFileContents(path_, SerializeRegistry(tree_), &error) || stat(path_.c_str(), &now) != 0) {
    loaded_ = false;  // the file still holds the last good content; read it again next time
    return ERROR_CANTWRITE;
  }
  signature_ = now;
  present_ = true;
  return ERROR_SUCCESS;
}

// Writers of every process lock the registry's folder, which also makes sure that it exists.
LONG RegistryStore::LockFile(int* fd) {
  std::filesystem::path folder = std::filesystem::path(path_).parent_path();
  if (folder.empty()) folder = ".";
  std::error_code ec;
  std::filesystem::create_directories(folder, ec);
  *fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (*fd < 0) return ERROR_CANTWRITE;
  while (flock(*fd, LOCK_EX) != 0) {
    if (errno != EINTR) {
      close(*fd);
      *fd = -1;
      return ERROR_CANTWRITE;
    }
  }
  return ERROR_SUCCESS;
}

void RegistryStore::UnlockFile(int fd) {
  if (fd >= 0) close(fd);  // closing releases the lock
}

RegistryStore& Registry() {
  static RegistryStore* store = new RegistryStore(platform_config::Config().registryFile);
  return *store;
}

}  // namespace win32
