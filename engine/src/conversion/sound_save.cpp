#include "conversion/sound_save.h"

#include "control/device_category.h"
#include "filters/outside_filters.h"
#include "wmf/wmsdk.h"

bool ReadWaveArguments(short channels, LONG samplesPerSecond, short sampleSize, WaveFormat* format) {
  short bytes = 0;
  if (sampleSize >= 1 && sampleSize <= 4) bytes = sampleSize;
  else if (sampleSize == 8 || sampleSize == 16 || sampleSize == 24 || sampleSize == 32) bytes = sampleSize / 8;
  if (!bytes || channels < 1 || channels > 8 || samplesPerSecond < 8000 || samplesPerSecond > 192000) return false;
  *format = {channels, samplesPerSecond, bytes};
  return true;
}

namespace {

HRESULT AddFilter(IGraphBuilder* graph, REFCLSID clsid, LPCWSTR name, ComPtr<IBaseFilter>* filter) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, filter->putVoid());
  return FAILED(hr) ? hr : graph->AddFilter(filter->get(), name);
}

HRESULT GiveFileName(IBaseFilter* writer, LPCTSTR file, bool overwrite) {
  ComPtr<IFileSinkFilter> sink;
  HRESULT hr = writer->QueryInterface(IID_IFileSinkFilter, sink.putVoid());
  if (FAILED(hr)) return hr;
  BSTR wide = CString(file).AllocSysString();
  hr = sink->SetFileName(wide, nullptr);
  SysFreeString(wide);
  if (FAILED(hr) || !overwrite) return hr;
  ComPtr<IFileSinkFilter2> sink2;
  hr = sink.As(IID_IFileSinkFilter2, &sink2);
  return FAILED(hr) ? hr : sink2->SetMode(AM_FILE_OVERWRITE);
}

// The first compressor of the audio category listed as "PCM".
HRESULT BindPcmCompressor(ComPtr<IBaseFilter>* filter) {
  ComPtr<IEnumMoniker> monikers;
  if (OpenDeviceCategory(CLSID_AudioCompressorCategory, &monikers) != S_OK) return VFW_E_NO_AUDIO_HARDWARE;
  ComPtr<IMoniker> moniker;
  while (monikers->Next(1, moniker.put(), nullptr) == S_OK) {
    CString name;
    if (ReadFriendlyName(moniker.get(), name) == S_OK && name == "PCM")
      return moniker->BindToObject(nullptr, nullptr, IID_IBaseFilter, filter->putVoid());
  }
  return VFW_E_NO_AUDIO_HARDWARE;
}

}  // namespace

template <class Wire>
HRESULT SoundSave::Build(Wire wire) {
  graph_.Release();
  LONG groups = 0;
  HRESULT hr = timeline_->GetGroupCount(&groups);
  for (LONG index = 0; index < groups && SUCCEEDED(hr); ++index) {
    ComPtr<IAMTimelineObj> node;
    ComPtr<IAMTimelineGroup> group;
    hr = timeline_->GetGroup(node.put(), index);
    if (SUCCEEDED(hr) && FAILED(node.As(IID_IAMTimelineGroup, &group))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = group->SetPreviewMode(FALSE);
  }
  if (SUCCEEDED(hr)) hr = graph_.Open(timeline_);
  if (SUCCEEDED(hr))
    hr = CoCreateInstance(CLSID_CaptureGraphBuilder2, nullptr, CLSCTX_INPROC_SERVER, IID_ICaptureGraphBuilder2,
                          builder_.putVoid());
  if (SUCCEEDED(hr)) hr = builder_->SetFiltergraph(graph_.Graph());
  if (FAILED(hr)) return hr;

  bool audio = false;
  for (LONG index = 0; index < groups && SUCCEEDED(hr); ++index) {
    ComPtr<IAMTimelineObj> node;
    ComPtr<IAMTimelineGroup> group;
    AM_MEDIA_TYPE type = {};
    ComPtr<IPin> pin;
    hr = timeline_->GetGroup(node.put(), index);
    if (SUCCEEDED(hr) && FAILED(node.As(IID_IAMTimelineGroup, &group))) hr = E_NOINTERFACE;
    if (SUCCEEDED(hr)) hr = group->GetMediaType(&type);
    if (SUCCEEDED(hr) && graph_.RenderEngine()->GetGroupOutputPin(index, pin.put()) == S_OK) {
      audio |= type.majortype == MEDIATYPE_Audio;
      hr = wire(type.majortype == MEDIATYPE_Audio, pin.get());
    }
    FreeMediaType(type);
  }
  return FAILED(hr) ? hr : audio ? S_OK : S_FALSE;
}

// Per audio group: the group through "PCM" into "WavDest", whose file the File Writer writes. The
// PCM compressor's output takes the asked format once it is connected.
HRESULT SoundSave::SaveWave(LPCTSTR file, const WaveFormat& format) {
  return Build([&](bool audio, IPin* pin) -> HRESULT {
    if (!audio) return S_OK;
    IGraphBuilder* graph = graph_.Graph();
    ComPtr<IBaseFilter> wavDest, fileWriter, pcm;
    HRESULT hr = AddFilter(graph, CLSID_WavDestination, u"WavDest", &wavDest);
    if (SUCCEEDED(hr)) hr = AddFilter(graph, CLSID_FileWriter, u"File Writer", &fileWriter);
    if (SUCCEEDED(hr)) hr = GiveFileName(fileWriter.get(), file, true);
    if (SUCCEEDED(hr)) hr = BindPcmCompressor(&pcm);
    if (SUCCEEDED(hr)) hr = graph->AddFilter(pcm.get(), u"PCM");
    if (SUCCEEDED(hr)) hr = builder_->RenderStream(nullptr, nullptr, pin, pcm.get(), wavDest.get());
    ComPtr<IAMStreamConfig> config;
    if (SUCCEEDED(hr))
      hr = builder_->FindInterface(nullptr, nullptr, pcm.get(), IID_IAMStreamConfig, config.putVoid());
    AM_MEDIA_TYPE* current = nullptr;
    if (SUCCEEDED(hr)) hr = config->GetFormat(&current);
    if (SUCCEEDED(hr)) {
      auto* wave = reinterpret_cast<WAVEFORMATEX*>(current->pbFormat);
      wave->nChannels = WORD(format.channels);
      wave->nSamplesPerSec = DWORD(format.samplesPerSecond);
      wave->nAvgBytesPerSec = DWORD(format.bytesPerSample * format.channels * format.samplesPerSecond);
      wave->nBlockAlign = WORD(format.bytesPerSample * format.channels);
      wave->wBitsPerSample = WORD(8 * format.bytesPerSample);
      hr = config->SetFormat(current);
      DeleteMediaType(current);
    }
    if (SUCCEEDED(hr)) hr = builder_->RenderStream(nullptr, nullptr, wavDest.get(), nullptr, fileWriter.get());
    return hr;
  });
}

// Every group, sound and picture alike, goes to the ASF writer set up with the profile.
HRESULT SoundSave::SaveWindowsMedia(LPCTSTR file, const GUID& profileId) {
  ComPtr<IBaseFilter> writer;
  const HRESULT hr = Build([&](bool, IPin* pin) -> HRESULT {
    if (!writer) {
      BSTR wide = CString(file).AllocSysString();
      HRESULT made = builder_->SetOutputFileName(&MEDIASUBTYPE_Asf, wide, writer.put(), nullptr);
      SysFreeString(wide);
      ComPtr<IConfigAsfWriter> config;
      if (SUCCEEDED(made)) made = writer.As(IID_IConfigAsfWriter, &config);
      if (SUCCEEDED(made)) made = config->ConfigureFilterUsingProfileGuid(profileId);
      if (FAILED(made)) return made;
    }
    builder_->RenderStream(nullptr, nullptr, pin, nullptr, writer.get());
    return S_OK;
  });
  return hr == S_FALSE ? S_OK : hr;
}

// Per audio group: the group into the MP3 encoder, set with its key, bit rate and sample rate,
// and the encoder into the MP3 file writer.
HRESULT SoundSave::SaveMp3(LPCTSTR file, LONG sampleRate, short kbps) {
  return Build([&](bool audio, IPin* pin) -> HRESULT {
    if (!audio) return S_OK;
    IGraphBuilder* graph = graph_.Graph();
    ComPtr<IBaseFilter> encoder, writer;
    ComPtr<IMp3EncoderSettings> settings;
    HRESULT hr = AddFilter(graph, CLSID_Mp3EncoderFilter, u"MP3 encoder", &encoder);
    if (SUCCEEDED(hr)) hr = encoder.As(IID_IMp3EncoderSettings, &settings);
    if (SUCCEEDED(hr)) {
      settings->SetKey(kMp3EncoderSettingsKey);
      settings->SetBitRate(kbps);
      settings->SetSampleRate(sampleRate);
      hr = AddFilter(graph, CLSID_Mp3FileWriter, u"File Writer", &writer);
    }
    if (SUCCEEDED(hr)) hr = GiveFileName(writer.get(), file, false);
    if (SUCCEEDED(hr)) hr = builder_->RenderStream(nullptr, nullptr, pin, nullptr, encoder.get());
    if (SUCCEEDED(hr)) hr = builder_->RenderStream(nullptr, nullptr, encoder.get(), nullptr, writer.get());
    return hr;
  });
}
