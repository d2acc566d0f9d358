// The Lumet library: one factory template for the overlay filter and the module entry points.
#include "dshow/dshow.h"
#include "logo_mixer_filter.h"

namespace {

const REGPINTYPES kPinTypes = {&GUID_NULL, &GUID_NULL};
const REGFILTERPINS kPins[] = {
    {u"Input", FALSE, FALSE, FALSE, FALSE, &CLSID_NULL, u"Output", 1, &kPinTypes},
    {u"Output", FALSE, TRUE, FALSE, FALSE, &CLSID_NULL, u"Input", 1, &kPinTypes},
};
const AMOVIESETUP_FILTER kFilter = {&CLSID_LumetFilter, u"VorelMedia Tranform Filter", 0x200000, 2, kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {u"Lumet Filter", &CLSID_LumetFilter, CLogoMixerFilter::CreateInstance, nullptr, &kFilter},
};
int g_cTemplates = sizeof g_Templates / sizeof g_Templates[0];

STDAPI DllRegisterServer() { return AMovieDllRegisterServer2(TRUE); }

STDAPI DllUnregisterServer() { return AMovieDllRegisterServer2(FALSE); }
