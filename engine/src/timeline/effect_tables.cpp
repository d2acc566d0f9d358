#include "timeline/effect_tables.h"

#include "win32/utf.h"

namespace {

CLSID ClassFrom(const char* text) {
  CLSID clsid = GUID_NULL;
  const std::u16string wide = win32::Utf8ToUtf16(text);
  CLSIDFromString(wide.c_str(), &clsid);
  return clsid;
}

// The preset classes: gradient wipe, standard wipe codes, wheel, three-dimensional presets.
constexpr const char* kGradientWipe = "{AF279B30-86EB-11D1-81BF-0000F87557DB}";
constexpr const char* kMaskWipe = "{DE75D012-7A65-11D2-8CEA-00A0C9441E20}";
constexpr const char* kWheel = "{5AE1DAE0-1461-11D2-A484-00C04F8EFB69}";
constexpr const char* kThreeD = "{C63344D8-70D3-4032-9B32-7A3CAD5091A5}";

const char* const kDirections[] = {"up", "down", "left", "right"};

NamedValues Simple3D(NamedValues more) {
  more.insert(more.begin(), {"InternalName", "Simple3D"});
  return more;
}

NamedValues Particles(NamedValues more) {
  more.insert(more.begin(), {"InternalName", "ParticleSystem"});
  return more;
}

bool Preset(int n, const char** clsid, NamedValues* v) {
  if (n >= 1000 && n <= 1005) {
    static const char* const kSizes[] = {"0.6", "0.5", "0.2"};
    *clsid = kGradientWipe;
    *v = {{"GradientSize", kSizes[(n - 1000) % 3]}, {"WipeStyle", n <= 1002 ? "1" : "0"}};
    return true;
  }
  if (n >= 1006 && n <= 1026) {
    static const char* const kMasks[] = {"1",  "2",  "3",  "4",  "5",  "6",  "21", "22", "41", "43", "44",
                                         "47", "48", "61", "62", "63", "64", "73", "74", "101", "102"};
    *clsid = kMaskWipe;
    *v = {{"MaskNum", kMasks[n - 1006]}};
    return true;
  }
  *clsid = kMaskWipe;
  switch (n) {
    case 1027: *v = {{"MaskNum", "119"}, {"BorderSoftness", "20"}}; return true;
    case 1028: *v = {{"MaskNum", "119"}, {"BorderSoftness", "75"}, {"ReplicateX", "8"}, {"ReplicateY", "6"}}; return true;
    case 1029: *v = {{"MaskNum", "128"}, {"BorderSoftness", "20"}}; return true;
    case 1030: *v = {{"MaskNum", "128"}, {"BorderSoftness", "75"}, {"ReplicateX", "5"}, {"ReplicateY", "5"}}; return true;
    case 1031: *v = {{"MaskNum", "130"}, {"BorderSoftness", "20"}}; return true;
    case 1032: *v = {{"MaskNum", "131"}, {"BorderSoftness", "20"}}; return true;
    case 1033: *v = {{"MaskNum", "226"}}; return true;
    case 1034: *v = {{"MaskNum", "228"}}; return true;
    case 1035: *v = {{"MaskNum", "231"}}; return true;
    case 1036: *v = {{"MaskNum", "122"}, {"BorderSoftness", "20"}}; return true;
    case 1037: *v = {{"MaskNum", "253"}}; return true;
    case 1038: *v = {{"MaskNum", "262"}}; return true;
    case 1039: *v = {{"MaskNum", "263"}}; return true;
    case 1040: *clsid = kWheel, *v = {{"spokes", "4"}}; return true;
    default: break;
  }
  *clsid = kThreeD;
  if (n >= 1041 && n <= 1044) {
    *v = Simple3D({{"MoveA", kDirections[n - 1041]}});
    return true;
  }
  if (n >= 1045 && n <= 1048) {
    *v = Simple3D({{"MoveA", kDirections[n - 1045]}, {"ScaleA", "smaller"}, {"MoveSpeedA", "0.75"}});
    return true;
  }
  if (n >= 1049 && n <= 1051) {
    static const char* const kTurns[] = {"right", "left", "up"};
    *v = Simple3D({{"RotateA", kTurns[n - 1049]}, {"RotateCenterA", "lowerright"}});
    return true;
  }
  if (n == 1052 || n == 1053) {
    *v = Simple3D({{"RotateA", n == 1052 ? "left" : "right"}});
    return true;
  }
  if (n == 1054 || n == 1055) {
    *v = Simple3D({{"ScaleA", "smaller"}, {"RotateA", n == 1054 ? "left" : "right"}, {"FadeStartA", "0.2"}});
    return true;
  }
  if (n >= 1056 && n <= 1059) {
    static const char* const kCorners[] = {"lowerleft", "lowerright", "upperleft", "upperright"};
    *v = Simple3D({{"PageCurlA", kCorners[n - 1056]}, {"ShowABack", "true"}});
    return true;
  }
  if (n == 1060 || n == 1061) {
    const char* way = n == 1060 ? "right" : "left";
    *v = Particles({{"ScatterDirection", way}, {"SpinDirection", way}, {"MaxParticles", "200"}});
    return true;
  }
  if (n >= 1062 && n <= 1065) {
    static const char* const kScatter[] = {"up,right", "up,left", "down,right", "down,left"};
    *v = Particles({{"ScatterDirection", kScatter[n - 1062]},
                    {"MaxParticles", "64"},
                    {"ExponentialProgressDurations", "0.4"},
                    {"ExponentialProgressScale", "0.33"}});
    return true;
  }
  switch (n) {
    case 1066:
      *v = Particles({{"ScatterDirection", "in"}, {"MaxParticles", "600"}, {"SpinDirection", "right"},
                      {"ParticleSpeed", "40.0"}, {"ParticleSpinSpeed", "0.5"},
                      {"ExponentialProgressDuration", "0.9"}, {"ExponentialProgressScale", "0.25"}});
      return true;
    case 1067:
      *v = Particles({{"MaxParticles", "200"}, {"SpinDirection", "right"}, {"BothDirections", "true"}});
      return true;
    case 1068:
      *v = Simple3D({{"ScaleA", "smaller"}, {"ZScaleAStart", "0.5"}, {"FadeStartA", "0.5"}});
      return true;
    case 1069:
      *v = Simple3D({{"RevolveCamera", "true"}, {"ShowAFront", "true"}, {"ShowABack", "false"},
                     {"ShowBFront", "false"}, {"ShowBBack", "true"}});
      return true;
    default: return false;
  }
}

}  // namespace

bool FindTransitionPreset(int number, EffectChoice* choice) {
  const char* clsid = nullptr;
  NamedValues values;
  if (!Preset(number, &clsid, &values)) return false;
  choice->clsid = ClassFrom(clsid);
  choice->values = std::move(values);
  return true;
}

bool FindEffect(long number, const std::string& p1, const std::string& p2, const std::string& p3,
                const std::string& p4, EffectChoice* choice) {
  // Class identifiers as the effects' rows store them.
  constexpr const char* kStandard = "{B4DC8DD9-2CC1-4081-9B2B-20D7030234EF}";
  switch (number) {
    case 0: *choice = {ClassFrom("{1312498D-E87A-11D1-81E0-0000F87557AA}"), {{"PixelRadius", p1}}}; return true;
    case 1: *choice = {ClassFrom("{5A20FD6F-F8FE-4a22-9EE7-307D72D09E6E}"), {{"Brightness", p1}}}; return true;
    case 2:
      *choice = {ClassFrom("{EC85D8F1-1C4E-46e4-A748-7AA04E7C0496}"), {{"FadeIn", p1}, {"FadeColor", p2}}};
      return true;
    case 3: *choice = {ClassFrom("{ADEADEB8-E54B-11d1-9A72-0000F875EADE}"), {{"Age", p1}}}; return true;
    case 4:
      *choice = {ClassFrom("{E673DCF2-C316-4c6f-AA96-4E4DC6DC291E}"),
                 {{"EffectID", p1}, {"Control1Value", p2}, {"Control2Value", p3}, {"Control3Value", p4}}};
      return true;
    case 5:
      *choice = {ClassFrom("{16B280C8-EE70-11D1-9066-00C04FD9189D}"), {{"Mirror", p1}, {"Grayscale", p2}}};
      return true;
    case 6: *choice = {ClassFrom("{4CCEA634-FBE0-11D1-906A-00C04FD9189D}"), {{"MaxSquare", p1}}}; return true;
    case 7: *choice = {ClassFrom(kStandard), {{"InternalName", "Standard"}, {p1, p2}}}; return true;
    case 8: *choice = {ClassFrom(kStandard), {{"InternalName", "Standard"}, {"MirrorVertical", p1}}}; return true;
    case 9: *choice = {ClassFrom(kStandard), {{"InternalName", "Standard"}, {"Rotate2DA", "90"}}}; return true;
    case 10: *choice = {ClassFrom(kStandard), {{"InternalName", "Standard"}, {"Rotate2DA", "180"}}}; return true;
    case 11: *choice = {ClassFrom(kStandard), {{"InternalName", "Standard"}, {"Rotate2DA", "270"}}}; return true;
    default: return false;
  }
}
