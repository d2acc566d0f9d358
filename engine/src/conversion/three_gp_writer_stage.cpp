#include "conversion/three_gp_writer_stage.h"

#include <algorithm>

#include "conversion/encoder_readings.h"

namespace {

// The Video3GPVideoCodec and Video3GPAudioCodec values.
constexpr LONG kMpeg4 = 0;
constexpr LONG kAac = 0;

}  // namespace

std::unique_ptr<WriterStage> ThreeGpWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<ThreeGpWriterStage>(inputs);
}

// The answers of the settings calls are not examined.
HRESULT ThreeGpWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  const HRESULT hr = AddWriter(build, CLSID_ThreeGpWriter, u"3gp", outputFile);
  if (FAILED(hr)) return hr;
  if (auto mode = build.writer.As<IThreeGpWriterMode>(IID_IThreeGpWriterMode)) {
    mode->SetKey(kThreeGpWriterKey);
    mode->SetFileKind(0);
  }
  auto encoder = build.writer.As<IEncoderSettings>(IID_IEncoderSettings);
  if (!encoder) return hr;
  const OutputSettings& s = settings_;
  const EncoderReadings current = ReadEncoderSettings(encoder.get());
  if (s.video3GPAudioCodec == kAac) {
    encoder->SetAudioSampleRate(s.video3GPAudioSampleRate);
    encoder->SetAudioCodec(kThreeGpAudioAac);
  } else {
    encoder->SetAudioSampleRate(8000);
    encoder->SetAudioCodec(kThreeGpAudioAmrNb);
  }
  encoder->SetVideoBitRate(s.video3GPVideoBitrate);
  encoder->SetVideoBufferSize(current.videoBufferSize);
  encoder->SetVideoCodec(s.video3GPVideoCodec == kMpeg4 ? kThreeGpVideoMpeg4 : kThreeGpVideoH263);
  encoder->SetFrameSize(std::min<LONG>(s.outputFileWidth, 320), std::min<LONG>(s.outputFileHeight, 240));
  return hr;
}
