#include "effect_parameters.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "timeline/property_setter.h"
#include "win32/utf.h"

namespace des {

namespace {

std::string Lower(std::string s) {
  for (char& c : s) c = char(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

std::string Trimmed(const std::string& s) {
  size_t from = 0, to = s.size();
  while (from < to && std::isspace(static_cast<unsigned char>(s[from]))) ++from;
  while (to > from && std::isspace(static_cast<unsigned char>(s[to - 1]))) --to;
  return s.substr(from, to - from);
}

}  // namespace

bool ParseNumber(const std::string& text, double* value) {
  const std::string t = Trimmed(text);
  const char* first = t.data();
  const char* last = t.data() + t.size();
  if (first != last && *first == '+') ++first;
  double v = 0;
  auto [end, error] = std::from_chars(first, last, v);
  if (error != std::errc() || end != last || !std::isfinite(v)) return false;
  *value = v;
  return true;
}

EffectParameters::EffectParameters(IPropertySetter* setter) {
  if (!setter) return;
  LONG count = 0;
  DEXTER_PARAM* params = nullptr;
  DEXTER_VALUE* values = nullptr;
  if (FAILED(setter->GetProps(&count, &params, &values))) return;
  const DEXTER_VALUE* value = values;
  for (LONG i = 0; i < count; ++i) {
    // The value in force at the start: the last one timed at or before it, else the first.
    const DEXTER_VALUE* chosen = params[i].nValues > 0 ? value : nullptr;
    for (LONG k = 1; k < params[i].nValues; ++k)
      if (value[k].rt <= 0) chosen = value + k;
    if (chosen && params[i].Name)
      Set(win32::Utf16ToUtf8({params[i].Name, SysStringLen(params[i].Name)}), ValueText(chosen->v));
    value += params[i].nValues;
  }
  setter->FreeProps(count, params, values);
}

void EffectParameters::Set(const std::string& name, const std::string& value) { values_[Lower(name)] = value; }

bool EffectParameters::Has(const std::string& name) const { return values_.count(Lower(name)) != 0; }

std::string EffectParameters::Text(const std::string& name) const {
  auto it = values_.find(Lower(name));
  return it == values_.end() ? std::string() : it->second;
}

std::string EffectParameters::Word(const std::string& name) const { return Lower(Trimmed(Text(name))); }

double EffectParameters::Number(const std::string& name, double fallback) const {
  double v;
  return ParseNumber(Text(name), &v) ? v : fallback;
}

int EffectParameters::Integer(const std::string& name, int fallback) const {
  double v;
  if (!ParseNumber(Text(name), &v) || std::fabs(v) > 1e9) return fallback;
  return int(v);
}

bool EffectParameters::Flag(const std::string& name, bool fallback) const {
  const std::string w = Word(name);
  if (w == "true" || w == "yes") return true;
  if (w == "false" || w == "no") return false;
  double v;
  return ParseNumber(w, &v) ? v != 0 : fallback;
}

}  // namespace des
