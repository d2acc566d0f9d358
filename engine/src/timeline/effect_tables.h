#pragma once
// The numbered transition presets and the effects of the MYEFFECT numbers: a class of the
// editing services and the named values handed to it, in order.
#include <string>
#include <utility>
#include <vector>

#include "ole/ole.h"

using NamedValues = std::vector<std::pair<std::string, std::string>>;

struct EffectChoice {
  CLSID clsid;
  NamedValues values;
};

// Presets 1000 to 1069; false for any other number.
bool FindTransitionPreset(int number, EffectChoice* choice);

// Effects 0 to 11 with the caller's four texts in their places; false for any other number.
bool FindEffect(long number, const std::string& p1, const std::string& p2, const std::string& p3,
                const std::string& p4, EffectChoice* choice);
