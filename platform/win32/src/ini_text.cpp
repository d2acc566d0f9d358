#include "ini_text.h"

#include <unordered_set>

#include "name_case.h"

namespace win32 {
namespace {

std::string_view Trim(std::string_view s) {
  size_t b = s.find_first_not_of(" \t");
  if (b == std::string_view::npos) return {};
  size_t e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

std::string Unquote(const std::string& value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

}  // namespace

IniText::IniText(std::string_view text) {
  if (text.substr(0, 3) == "\xEF\xBB\xBF") {
    bom_ = text.substr(0, 3);
    text.remove_prefix(3);
  }
  eol_ = text.find("\r\n") != std::string_view::npos || text.find('\n') == std::string_view::npos
             ? "\r\n"
             : "\n";
  while (!text.empty()) {
    size_t nl = text.find('\n');
    std::string_view line = text.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    lines_.push_back(ParseLine(std::string(line)));
    if (nl == std::string_view::npos) break;
    text.remove_prefix(nl + 1);
  }
}

IniText::Line IniText::ParseLine(std::string text) {
  Line line;
  std::string_view t = Trim(text);
  if (!t.empty() && t.front() == '[') {
    line.kind = Kind::Section;
    t.remove_prefix(1);
    line.name = Trim(t.substr(0, t.find(']')));
  } else if (!t.empty() && t.front() != ';') {
    line.kind = Kind::Entry;
    size_t eq = t.find('=');
    line.name = Trim(t.substr(0, eq));
    if (eq != std::string_view::npos) {
      line.hasValue = true;
      line.value = Trim(t.substr(eq + 1));
    }
  }
  line.text = std::move(text);
  return line;
}

size_t IniText::FindSection(std::string_view section) const {
  std::string_view name = Trim(section);
  for (size_t i = 0; i < lines_.size(); ++i) {
    if (lines_[i].kind == Kind::Section && SameNameNoCase(lines_[i].name, name)) return i;
  }
  return std::string::npos;
}

size_t IniText::SectionEnd(size_t header) const {
  size_t i = header + 1;
  while (i < lines_.size() && lines_[i].kind != Kind::Section) ++i;
  return i;
}

size_t IniText::FindEntry(size_t header, std::string_view key) const {
  std::string_view name = Trim(key);
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && SameNameNoCase(lines_[i].name, name)) return i;
  }
  return std::string::npos;
}

std::vector<std::string> IniText::SectionNames() const {
  std::vector<std::string> names;
  std::unordered_set<std::string> seen;
  for (const Line& line : lines_) {
    if (line.kind == Kind::Section && seen.insert(FoldCase(line.name)).second) {
      names.push_back(line.name);
    }
  }
  return names;
}

std::vector<std::string> IniText::KeyNames(std::string_view section) const {
  std::vector<std::string> names;
  size_t header = FindSection(section);
  if (header == std::string::npos) return names;
  std::unordered_set<std::string> seen;
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind == Kind::Entry && seen.insert(FoldCase(lines_[i].name)).second) {
      names.push_back(lines_[i].name);
    }
  }
  return names;
}

std::optional<std::string> IniText::Value(std::string_view section, std::string_view key) const {
  size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  size_t entry = FindEntry(header, key);
  if (entry == std::string::npos) return std::nullopt;
  return Unquote(lines_[entry].value);
}

std::optional<std::vector<std::string>> IniText::SectionEntries(std::string_view section) const {
  size_t header = FindSection(section);
  if (header == std::string::npos) return std::nullopt;
  std::vector<std::string> entries;
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    const Line& line = lines_[i];
    if (line.kind != Kind::Entry) continue;
    entries.push_back(line.hasValue ? line.name + "=" + line.value : line.name);
  }
  return entries;
}

size_t IniText::AppendSection(std::string_view section) {
  std::string line = "[";
  line.append(Trim(section)).append("]");
  lines_.push_back(ParseLine(line));
  return lines_.size() - 1;
}

void IniText::InsertEntry(size_t header, std::string text) {
  // After the section's last entry, so that blank lines before the next section stay there.
  size_t at = header + 1;
  size_t end = SectionEnd(header);
  for (size_t i = header + 1; i < end; ++i) {
    if (lines_[i].kind != Kind::Other || !Trim(lines_[i].text).empty()) at = i + 1;
  }
  lines_.insert(lines_.begin() + static_cast<ptrdiff_t>(at), ParseLine(std::move(text)));
}

void IniText::SetValue(std::string_view section, std::string_view key, std::string_view value) {
  size_t header = FindSection(section);
  if (header == std::string::npos) header = AppendSection(section);
  size_t entry = FindEntry(header, key);
  if (entry == std::string::npos) {
    InsertEntry(header, std::string(Trim(key)) + "=" + std::string(value));
  } else {
    lines_[entry] = ParseLine(lines_[entry].name + "=" + std::string(value));
  }
}

void IniText::DeleteKey(std::string_view section, std::string_view key) {
  size_t header = FindSection(section);
  if (header == std::string::npos) return;
  size_t entry = FindEntry(header, key);
  if (entry != std::string::npos) lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(entry));
}

void IniText::DeleteSection(std::string_view section) {
  size_t header = FindSection(section);
  if (header == std::string::npos) return;
  lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(header),
               lines_.begin() + static_cast<ptrdiff_t>(SectionEnd(header)));
}

void IniText::ReplaceSection(std::string_view section, const std::vector<std::string>& entries) {
  size_t header = FindSection(section);
  if (header == std::string::npos) {
    header = AppendSection(section);
  } else {
    for (size_t i = SectionEnd(header); i-- > header + 1;) {
      if (lines_[i].kind == Kind::Entry) lines_.erase(lines_.begin() + static_cast<ptrdiff_t>(i));
    }
  }
  for (const std::string& entry : entries) InsertEntry(header, entry);
}

std::string IniText::Text() const {
  std::string text = bom_;
  for (const Line& line : lines_) text += line.text + eol_;
  return text;
}

}  // namespace win32
