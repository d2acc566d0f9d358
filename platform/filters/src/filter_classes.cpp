// Makes the outside filters creatable by class id.
#include <mutex>

#include "filters/writer_settings.h"
#include "filters/outside_filters.h"
#include "custom_grabber.h"
#include "mp3_encoder_filter.h"
#include "flash_writer.h"
#include "gif_writer.h"
#include "mp4_writer.h"
#include "three_gp_writer.h"
#include "mp3_file_writer.h"
#include "mpeg_writer.h"
#include "quicktime_writer.h"
#include "real_media_writer.h"
#include "wav_destination.h"
#include "ole/objbase.h"

void RegisterOutsideFilterClasses() {
  static std::once_flag once;
  std::call_once(once, [] {
    RegisterBuiltinClass(CLSID_Mp3EncoderFilter, &CreateComInstance<&filters::Mp3EncoderFilter::Create>);
    RegisterBuiltinClass(CLSID_MpegWriter, &CreateComInstance<&filters::MpegWriter::Create>);
    RegisterBuiltinClass(CLSID_Mp4Writer, &CreateComInstance<&filters::Mp4Writer::Create>);
    RegisterBuiltinClass(CLSID_ThreeGpWriter, &CreateComInstance<&filters::ThreeGpWriter::Create>);
    RegisterBuiltinClass(CLSID_GifWriter, &CreateComInstance<&filters::GifWriter::Create>);
    RegisterBuiltinClass(CLSID_FlashWriter, &CreateComInstance<&filters::FlashWriter::Create>);
    RegisterBuiltinClass(CLSID_QuickTimeWriter, &CreateComInstance<&filters::QuickTimeWriter::Create>);
    RegisterBuiltinClass(CLSID_RealMediaWriter, &CreateComInstance<&filters::RealMediaWriter::Create>);
    RegisterBuiltinClass(CLSID_WavDestination, &CreateComInstance<&filters::WavDestination::Create>);
    RegisterBuiltinClass(CLSID_Mp3FileWriter, &CreateComInstance<&filters::Mp3FileWriter::Create>);
    RegisterBuiltinClass(CLSID_CustomGrabber, &CreateComInstance<&filters::CustomGrabber::Create>);
  });
}
