#include "conversion/avi_writer_stage.h"

#include "filters/outside_filters.h"

AviWriterStage::AviWriterStage(const WriterInputs& inputs)
    : settings_(inputs.settings), videoCompressor_(inputs.videoCompressor), audioCompressor_(inputs.audioCompressor) {}

std::unique_ptr<WriterStage> AviWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<AviWriterStage>(inputs);
}

HRESULT AviWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  HRESULT hr = AddBuilderWriter(build, MEDIASUBTYPE_Avi, outputFile);
  if (FAILED(hr)) return hr;
  if (settings_.useVideoCompressor) {
    IBaseFilter* compressor = videoCompressor_.filter.get();
    hr = compressor ? build.graph->AddFilter(compressor, u"Compressor") : E_POINTER;
    if (FAILED(hr)) return hr;
    videoThrough_ = compressor;
  }
  if (!settings_.useAudioCompressor) return S_OK;
  if (audioCompressor_.name == "MPEG Layer-3") {
    settings_.useAVILameEncoder = TRUE;
    return AddMp3Encoder(build);
  }
  settings_.useAVILameEncoder = FALSE;
  IBaseFilter* compressor = audioCompressor_.filter.get();
  hr = compressor ? build.graph->AddFilter(compressor, u"Audio Compressor") : E_POINTER;
  if (FAILED(hr)) return hr;
  audioThrough_ = compressor;
  return S_OK;
}

// The filter takes the place of the chosen compressor. It gets its key, then the bit rate and the
// sample rate, through its settings interface; the answers of the settings are not examined.
HRESULT AviWriterStage::AddMp3Encoder(GraphBuild& build) {
  HRESULT hr =
      CoCreateInstance(CLSID_Mp3EncoderFilter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, mp3Encoder_.putVoid());
  if (SUCCEEDED(hr)) hr = build.graph->AddFilter(mp3Encoder_.get(), u"MP3 encoder");
  ComPtr<IMp3EncoderSettings> settings;
  if (SUCCEEDED(hr)) hr = mp3Encoder_.As(IID_IMp3EncoderSettings, &settings);
  if (FAILED(hr)) return hr;
  settings->SetKey(kMp3EncoderSettingsKey);
  settings->SetBitRate(settings_.aviLameBitrate);
  settings->SetSampleRate(settings_.aviLameSampleRate);
  return S_OK;
}

void AviWriterStage::RenderVideo(GraphBuild& build, IBaseFilter* video) {
  build.Render(video, videoThrough_, build.writer.get());
}

void AviWriterStage::RenderAudio(GraphBuild& build, IPin* pin) {
  if (mp3Encoder_) {
    build.Render(pin, nullptr, mp3Encoder_.get());
    build.Render(mp3Encoder_.get(), nullptr, build.writer.get());
  } else {
    build.Render(pin, audioThrough_, build.writer.get());
  }
}
