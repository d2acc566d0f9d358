#include "conversion/flash_writer_stage.h"

#include "conversion/encoder_readings.h"
#include "conversion/output_types.h"

std::unique_ptr<WriterStage> FlashWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<FlashWriterStage>(inputs);
}

// The answers of the settings calls are not examined.
HRESULT FlashWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  const bool flv = OutputType(settings_.outputType) == OutputType::FLV;
  const HRESULT hr = AddWriter(build, CLSID_FlashWriter, flv ? u"flv" : u"swf", outputFile);
  if (FAILED(hr)) return hr;
  if (auto mode = build.writer.As<IFlashWriterMode>(IID_IFlashWriterMode)) {
    mode->SetKey(kFlashWriterKey);
    mode->SetFlv(flv ? 1 : 0);
    mode->SetWriteMetadata(0);
  }
  auto encoder = build.writer.As<IEncoderSettings>(IID_IEncoderSettings);
  if (!encoder) return hr;
  const OutputSettings& s = settings_;
  const EncoderReadings current = ReadEncoderSettings(encoder.get());
  if (flv) {
    encoder->SetAudioBitRate(s.flvAudioBitrate);
    encoder->SetAudioChannels(s.flvAudioChannels);
    encoder->SetAudioSampleRate(s.flvAudioSampleRate);
    encoder->SetAudioCodec(current.audioCodec);
    encoder->SetVideoBufferSize(current.videoBufferSize);
    encoder->SetVideoCodec(current.videoCodec);
    CString rate;
    rate.Format("%d", int(s.flvFrameRate));
    encoder->SetFrameRate(rate);
    encoder->SetFrameSize(s.outputFileWidth, s.outputFileHeight);
    encoder->SetVideoBitRate(s.flvVideoBitrate);
  } else {
    encoder->SetAudioBitRate(s.swfAudioBitrate);
    encoder->SetAudioChannels(s.swfAudioChannels);
    encoder->SetAudioSampleRate(s.swfAudioSampleRate);
    encoder->SetAudioCodec(current.audioCodec);
    encoder->SetVideoCodec(current.videoCodec);
    encoder->SetFrameSize(s.outputFileWidth, s.outputFileHeight);
    encoder->SetVideoBitRate(s.swfVideoBitrate);
    encoder->SetMaxVideoBitRate(s.swfVideoBitrate);
    encoder->SetMinVideoBitRate(s.swfVideoBitrate);
    encoder->SetVideoBufferSize(s.swfVideoBitrate);
  }
  return hr;
}
