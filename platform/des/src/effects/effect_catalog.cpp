// Which family draws each class.
#include <utility>

#include "des/qedit.h"
#include "families.h"

namespace des {

namespace {

using TransitionMaker = std::unique_ptr<VideoTransition> (*)(const EffectParameters&);
using EffectMaker = std::unique_ptr<VideoEffect> (*)(const EffectParameters&);

const std::pair<const GUID*, TransitionMaker> kTransitionMakers[] = {
    {&CLSID_DXTGradientWipe, MakeGradientWipe},
    {&CLSID_DXTWheel, MakeWheel},
    {&CLSID_DXTBarn, MakeBarn},
    {&CLSID_DXTBlinds, MakeBlinds},
    {&CLSID_DXTCheckerBoard, MakeCheckerboard},
    {&CLSID_DXTIris, MakeIris},
    {&CLSID_DXTRadialWipe, MakeRadialWipe},
    {&CLSID_DXTRandomBars, MakeRandomBars},
    {&CLSID_DXTRandomDissolve, MakeRandomDissolve},
    {&CLSID_DXTSpiral, MakeSpiral},
    {&CLSID_DXTStrips, MakeStrips},
    {&CLSID_DXTZigzag, MakeZigzag},
    {&CLSID_DXTInset, MakeInset},
    {&CLSID_DxtJpeg, MakeSmpteWipe},
    {&CLSID_DXFade, MakeFade},
    {&CLSID_DXTSlide, MakeSlide},
    {&CLSID_DXTStretch, MakeStretch},
    {&CLSID_Pixelate, MakePixelateTransition},
    {&CLSID_Transitions3D, MakeTransition3D},
};

const std::pair<const GUID*, EffectMaker> kEffectMakers[] = {
    {&CLSID_BlurEffect, MakeBlur},
    {&CLSID_BrightnessEffect, MakeBrightness},
    {&CLSID_FadeEffect, MakeFadeEffect},
    {&CLSID_FilmAgingEffect, MakeFilmAging},
    {&CLSID_FilterEffect, MakeFilterEffect},
    {&CLSID_MirrorGrayscaleEffect, MakeMirrorGrayscale},
    {&CLSID_Pixelate, MakePixelate},
    {&CLSID_StandardEffects, MakeStandardEffect},
};

}  // namespace

std::unique_ptr<VideoTransition> MakeTransition(const GUID& clsid, const EffectParameters& parameters) {
  for (const auto& [id, make] : kTransitionMakers)
    if (*id == clsid && make) return make(parameters);
  return nullptr;
}

std::unique_ptr<VideoEffect> MakeEffect(const GUID& clsid, const EffectParameters& parameters) {
  for (const auto& [id, make] : kEffectMakers)
    if (*id == clsid && make) return make(parameters);
  return nullptr;
}

}  // namespace des
