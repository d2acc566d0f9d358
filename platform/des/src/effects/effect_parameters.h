#pragma once
// The named values a transition or effect was given through its property setter, as text. Names
// match in any letter case; numbers are read in the C locale, and a value that is missing or
// cannot be read gives the caller's default.
#include <map>
#include <string>

#include "des/timeline.h"

namespace des {

class EffectParameters {
 public:
  EffectParameters() = default;
  // The values that hold at the object's start.
  explicit EffectParameters(IPropertySetter* setter);

  void Set(const std::string& name, const std::string& value);
  bool Has(const std::string& name) const;
  // The text, with surrounding blanks removed and letters made lower case ("" when missing).
  std::string Word(const std::string& name) const;
  std::string Text(const std::string& name) const;
  double Number(const std::string& name, double fallback) const;
  // Numbers are cut towards zero.
  int Integer(const std::string& name, int fallback) const;
  // "true"/"false", "yes"/"no" or a number (non-zero is true).
  bool Flag(const std::string& name, bool fallback) const;

 private:
  std::map<std::string, std::string> values_;  // by lower-case name
};

// Reads a whole number from text in the C locale; false when it is not one.
bool ParseNumber(const std::string& text, double* value);

}  // namespace des
