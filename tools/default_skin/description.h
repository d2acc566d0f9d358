#pragma once
// Writes a skin description by the authoring rules: numbered sections with the keys "1" to "N"
// and no others, colours with the "0x" prefix, tokens without blanks around their commas.
#include <string>
#include <vector>

#include "canvas.h"

class Description {
 public:
  void Section(const std::string& name);
  // A key of a plain section ("Main", "COLOR", ...).
  void Key(const std::string& key, const std::vector<std::string>& tokens);
  // The next numbered entry of the current section.
  void Entry(const std::vector<std::string>& tokens);
  const std::string& Text() const { return text_; }

  static std::string Rect(const Box& box);
  static std::string Colour(::Colour colour);

 private:
  std::string text_;
  int entries_ = 0;
};
