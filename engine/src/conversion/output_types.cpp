#include "conversion/output_types.h"

#include <algorithm>
#include <iterator>

#include "conversion/asf_writer_stage.h"
#include "conversion/avi_writer_stage.h"
#include "conversion/flash_writer_stage.h"
#include "conversion/gif_writer_stage.h"
#include "conversion/mp4_writer_stage.h"
#include "conversion/mpeg_writer_stage.h"
#include "conversion/quicktime_writer_stage.h"
#include "conversion/real_media_writer_stage.h"
#include "conversion/three_gp_writer_stage.h"

namespace {

constexpr OutputTypeRow kOutputTypes[] = {
    // type                      frame                width height rate       tee            overlay converter    writer stage
    {OutputType::VCD_PAL,       FrameRule::Standard, 352, 288, 25.0f,     u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::VCD_NTSC,      FrameRule::Standard, 352, 240, 29.97003f, u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::SVCD_PAL,      FrameRule::Standard, 480, 576, 25.0f,     u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::SVCD_NTSC,     FrameRule::Standard, 480, 480, 29.97003f, u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::DVD_PAL,       FrameRule::Standard, 720, 576, 25.0f,     u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::DVD_NTSC,      FrameRule::Standard, 720, 480, 29.97f,    u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::MPEG1,         FrameRule::Clamped,  0,   0,   0.0f,      u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::MPEG2,         FrameRule::Clamped,  0,   0,   0.0f,      u"Tee",         u"Color Converter2", &MpegWriterStage::Make},
    {OutputType::AVI,           FrameRule::Kept,     0,   0,   0.0f,      u"Smart Tee 2", u"Color Converter",  &AviWriterStage::Make},
    {OutputType::WMV,           FrameRule::Kept,     0,   0,   0.0f,      u"Smart Tee 2", u"Color Converter2", &AsfWriterStage::Make},
    {OutputType::QT,            FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &QuickTimeWriterStage::Make},
    {OutputType::RM,            FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &RealMediaWriterStage::Make},
    {OutputType::MP4,           FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &Mp4WriterStage::Make},
    {OutputType::PSP,           FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &Mp4WriterStage::Make},
    {OutputType::FLV,           FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &FlashWriterStage::Make},
    {OutputType::VIDEO_3GP,     FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &ThreeGpWriterStage::Make},
    {OutputType::SWF,           FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &FlashWriterStage::Make},
    {OutputType::ANIMATED_GIF,  FrameRule::Kept,     0,   0,   0.0f,      u"Tee",         u"Color Converter2", &GifWriterStage::Make},
};

// A row stands at its type's number, so a value finds its row by position.
constexpr bool RowsInTypeOrder() {
  for (size_t i = 0; i < std::size(kOutputTypes); ++i)
    if (kOutputTypes[i].type != OutputType(i)) return false;
  return true;
}
static_assert(RowsInTypeOrder());
static_assert(std::size(kOutputTypes) == size_t(OutputType::ANIMATED_GIF) + 1);

}  // namespace

const OutputTypeRow* FindOutputType(LONG value) {
  return value >= 0 && size_t(value) < std::size(kOutputTypes) ? &kOutputTypes[value] : nullptr;
}

void ApplyFrameRule(const OutputTypeRow& type, OutputSettings& settings) {
  switch (type.frame) {
    case FrameRule::Standard:
      settings.outputFileWidth = type.width;
      settings.outputFileHeight = type.height;
      settings.frameRate = type.frameRate;
      break;
    case FrameRule::Clamped:
      settings.outputFileWidth = std::clamp<short>(settings.outputFileWidth, 80, 1024);
      settings.outputFileHeight = std::clamp<short>(settings.outputFileHeight, 60, 768);
      break;
    case FrameRule::Kept:
      break;
  }
}
