#include "conversion/asf_writer_stage.h"

#include "control/wmv_profiles.h"

AsfWriterStage::AsfWriterStage(const WriterInputs& inputs) : settings_(inputs.settings), profileId_(inputs.profileId) {}

std::unique_ptr<WriterStage> AsfWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<AsfWriterStage>(inputs);
}

HRESULT AsfWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  const HRESULT hr = AddBuilderWriter(build, MEDIASUBTYPE_Asf, outputFile);
  if (FAILED(hr)) return hr;
  // Without a chosen profile the writer keeps its own configuration, profile file or not.
  return profileId_ == GUID_NULL ? S_OK : ConfigureWriter(build.writer);
}

// A profile file wins over the chosen profile; only its failures are returned.
HRESULT AsfWriterStage::ConfigureWriter(const ComPtr<IBaseFilter>& writer) {
  ComPtr<IConfigAsfWriter> config;
  HRESULT hr = writer.As(IID_IConfigAsfWriter, &config);
  if (FAILED(hr)) return hr;
  if (settings_.wmvCustomFileName.IsEmpty()) {
    config->ConfigureFilterUsingProfileGuid(profileId_);
    return hr;
  }
  ComPtr<IWMProfile> profile;
  hr = LoadCustomProfile(settings_.wmvCustomFileName, profile.put());
  return FAILED(hr) ? hr : config->ConfigureFilterUsingProfile(profile.get());
}

void AsfWriterStage::RenderVideo(GraphBuild& build, IBaseFilter* video) {
  build.Render(video, nullptr, build.writer.get());
}

void AsfWriterStage::RenderAudio(GraphBuild& build, IPin* pin) { build.Render(pin, nullptr, build.writer.get()); }
