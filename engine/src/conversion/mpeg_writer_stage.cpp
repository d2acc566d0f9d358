#include "conversion/mpeg_writer_stage.h"

#include "conversion/output_types.h"
#include "filters/writer_settings.h"

std::unique_ptr<WriterStage> MpegWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<MpegWriterStage>(inputs);
}

// The answers of the settings calls are not examined.
HRESULT MpegWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  const HRESULT hr = AddWriter(build, CLSID_MpegWriter, u"vcd", outputFile);
  if (FAILED(hr)) return hr;
  const auto type = OutputType(settings_.outputType);
  if (auto mode = build.writer.As<IMpegWriterMode>(IID_IMpegWriterMode)) {
    mode->SetKey(kMpegWriterKey);
    mode->SetAspectRatio(settings_.mpegAspectRatio);
    mode->SetPreset(settings_.outputType);
  }
  auto encoder = build.writer.As<IEncoderSettings>(IID_IEncoderSettings);
  if (!encoder) return hr;
  encoder->SetBFrames(0);
  encoder->SetVideoCodec(type == OutputType::MPEG1 ? 1 : 2);
  if (type == OutputType::VCD_PAL) {
    encoder->SetVideoCodec(1);
    encoder->SetFrameSize(352, 288);
    encoder->SetFrameRate("25");
    encoder->SetVideoBufferSize(3600000);
    encoder->SetVideoBitRate(3600000);
    encoder->SetMaxVideoBitRate(3600000);
    encoder->SetMinVideoBitRate(3600000);
    encoder->SetAudioChannels(2);
    encoder->SetAudioBitRate(224000);
    encoder->SetAudioSampleRate(44100);
  } else if (type == OutputType::MPEG1 || type == OutputType::MPEG2) {
    encoder->SetFrameSize(settings_.outputFileWidth, settings_.outputFileHeight);
    CString rate;
    rate.Format("%f", double(settings_.frameRate));
    encoder->SetFrameRate(rate);
    encoder->SetVideoBitRate(settings_.mpegVideoBitrate);
    encoder->SetMaxVideoBitRate(settings_.mpegVideoBitrate);
    encoder->SetMinVideoBitRate(settings_.mpegVideoBitrate);
    encoder->SetVideoBufferSize(3600000);
    encoder->SetAudioChannels(settings_.mpegAudioChannels);
    encoder->SetAudioBitRate(settings_.mpegAudioBitrate);
    encoder->SetAudioSampleRate(settings_.mpegAudioSampleRate);
  }
  return hr;
}
