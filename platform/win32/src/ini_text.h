#pragma once
// The text of an ini file as lines, with the platform's reading rules (names without case, first
// occurrence wins, trimmed values, quotes removed) and edits that leave every other line as it was.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace win32 {

class IniText {
 public:
  explicit IniText(std::string_view text);

  // Section names in file order, each once (the first spelling).
  std::vector<std::string> SectionNames() const;
  // Key names of the first section of that name, each once; empty when there is no such section.
  std::vector<std::string> KeyNames(std::string_view section) const;
  // The value of the first matching key of the first matching section, quotes removed.
  std::optional<std::string> Value(std::string_view section, std::string_view key) const;
  // The section's entries as "key=value" (or the bare line when it has no '='), comments left
  // out; nullopt when there is no such section.
  std::optional<std::vector<std::string>> SectionEntries(std::string_view section) const;

  void SetValue(std::string_view section, std::string_view key, std::string_view value);
  void DeleteKey(std::string_view section, std::string_view key);
  void DeleteSection(std::string_view section);
  // Replaces the section's entries with the given lines, keeping comments; creates the section.
  void ReplaceSection(std::string_view section, const std::vector<std::string>& entries);

  std::string Text() const;

 private:
  enum class Kind { Other, Section, Entry };
  struct Line {
    std::string text;
    Kind kind = Kind::Other;
    std::string name;   // section or key name, trimmed
    std::string value;  // trimmed, quotes kept
    bool hasValue = false;
  };

  static Line ParseLine(std::string text);
  size_t FindSection(std::string_view section) const;  // header line index or npos
  size_t SectionEnd(size_t header) const;              // first line after the section's body
  size_t FindEntry(size_t header, std::string_view key) const;
  size_t AppendSection(std::string_view section);      // returns the header index
  void InsertEntry(size_t header, std::string text);

  std::string bom_;
  std::string eol_;
  std::vector<Line> lines_;
};

}  // namespace win32
