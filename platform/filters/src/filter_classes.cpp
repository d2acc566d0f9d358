// Makes the outside filters creatable by class id.
#include <mutex>

#include "filters/outside_filters.h"
#include "custom_grabber.h"
#include "mp3_encoder_filter.h"
#include "ole/objbase.h"

void RegisterOutsideFilterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterBuiltinClass(CLSID_Mp3EncoderFilter, &CreateComInstance<&filters::Mp3EncoderFilter::Create>);
    RegisterBuiltinClass(CLSID_CustomGrabber, &CreateComInstance<&filters::CustomGrabber::Create>);
  });
}
