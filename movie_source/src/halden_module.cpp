// The Halden module: the movie source filter's class factory, entry points and registration.
#include "dshow/dshow.h"
#include "movie_source/movie_source.h"
#include "movie_source_filter.h"
#include "source_extensions.h"

namespace {

const REGPINTYPES kPinTypes = {&GUID_NULL, &GUID_NULL};
const REGFILTERPINS kPins[] = {{u"Output", FALSE, TRUE, FALSE, FALSE, nullptr, nullptr, 1, &kPinTypes}};
const AMOVIESETUP_FILTER kFilter = {&CLSID_MovieSourceFilter, u"Pellansoft QuickTime Source Filter", 0x200000, 1,
                                    kPins};

}  // namespace

CFactoryTemplate g_Templates[] = {
    {u"VorelMedia QuickTime Source Filter", &CLSID_MovieSourceFilter, MovieSourceFilter::CreateInstance, nullptr,
     &kFilter},
};
int g_cTemplates = 1;

STDAPI DllRegisterServer() {
  for (LPCWSTR extension : {u"mov", u"3gp", u"3g2", u"m4a", u"mp4", u"m4v", u"amr"})
    if (FAILED(RegisterSourceExtension(extension, CLSID_MovieSourceFilter))) return E_FAIL;
  return AMovieDllRegisterServer2(TRUE);
}

STDAPI DllUnregisterServer() {
  for (LPCSTR extension : {"mov", "3gp", "m4a", "mp4", "3g2", "m4v", "amr"})
    if (FAILED(UnregisterSourceExtension(extension))) return E_FAIL;
  return AMovieDllRegisterServer2(FALSE);
}
