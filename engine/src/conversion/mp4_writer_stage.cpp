#include "conversion/mp4_writer_stage.h"

#include "conversion/output_types.h"
#include "filters/writer_settings.h"

std::unique_ptr<WriterStage> Mp4WriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<Mp4WriterStage>(inputs);
}

namespace {

void SetText(IMp4WriterSettings* writer, HRESULT (STDMETHODCALLTYPE IMp4WriterSettings::*set)(BSTR),
             const CString& text) {
  BSTR wide = text.AllocSysString();
  (writer->*set)(wide);
  SysFreeString(wide);
}

}  // namespace

// The answers of the settings calls are not examined.
HRESULT Mp4WriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  const HRESULT hr = AddWriter(build, CLSID_Mp4Writer, u"ipod", outputFile);
  if (FAILED(hr)) return hr;
  auto writer = build.writer.As<IMp4WriterSettings>(IID_IMp4WriterSettings);
  if (!writer) return hr;
  const OutputSettings& s = settings_;
  writer->SetKey(kMp4WriterKey);
  writer->SetBFrames(0);
  writer->SetVideoBitRate(s.mp4VideoBitrate);
  writer->SetAudioBitRate(s.mp4AudioBitrate);
  writer->SetAudioSampleRate(OutputType(s.outputType) == OutputType::PSP ? 0 : s.mp4AudioSampleRate);
  writer->SetAudioChannels(s.mp4AudioChannels);
  writer->SetFrameRate(s.mp4Framerate);
  writer->SetFrameSize(s.mp4Width, s.mp4Height);
  writer->SetVideoCodec(s.mp4Codec);
  writer->SetKeyframeInterval(0);
  SetText(writer.get(), &IMp4WriterSettings::SetTitle, s.mp4Title);
  SetText(writer.get(), &IMp4WriterSettings::SetAlbum, s.mp4Album);
  SetText(writer.get(), &IMp4WriterSettings::SetAuthor, s.mp4Author);
  SetText(writer.get(), &IMp4WriterSettings::SetComment, s.mp4Comment);
  SetText(writer.get(), &IMp4WriterSettings::SetCopyright, s.mp4Copyright);
  return hr;
}
