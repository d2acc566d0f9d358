#include "description.h"

#include <cstdio>
#include <stdexcept>

void Description::Section(const std::string& name) {
  text_ += "[" + name + "]\r\n";
  entries_ = 0;
}

void Description::Key(const std::string& key, const std::vector<std::string>& tokens) {
  std::string value;
  for (const std::string& token : tokens) {
    if (token.empty() || token.front() == ' ' || token.back() == ' ' || token.find(" ,") != std::string::npos ||
        token.find(", ") != std::string::npos)
      throw std::runtime_error("token \"" + token + "\" breaks the description's rules");
    value += (value.empty() ? "" : ",") + token;
  }
  text_ += key + "=" + value + "\r\n";
}

void Description::Entry(const std::vector<std::string>& tokens) { Key(std::to_string(++entries_), tokens); }

std::string Description::Rect(const Box& box) {
  return std::to_string(box.left) + "," + std::to_string(box.top) + "," + std::to_string(box.right) + "," +
         std::to_string(box.bottom);
}

std::string Description::Colour(::Colour colour) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%02X%02X%02X", colour.r, colour.g, colour.b);
  return text;
}
