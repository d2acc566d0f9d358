#include "conversion/real_media_writer_stage.h"

#include "filters/writer_settings.h"

std::unique_ptr<WriterStage> RealMediaWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<RealMediaWriterStage>(inputs);
}

namespace {

HRESULT GiveFileName(IBaseFilter* writer, LPCTSTR name) {
  ComPtr<IFileSinkFilter> sink;
  HRESULT hr = writer->QueryInterface(IID_IFileSinkFilter, sink.putVoid());
  if (FAILED(hr)) return hr;
  BSTR wide = CString(name).AllocSysString();
  hr = sink->SetFileName(wide, nullptr);
  SysFreeString(wide);
  return hr;
}

}  // namespace

// Only a writer that took the file name joins the graph; the first failure is returned.
HRESULT RealMediaWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  HRESULT hr = CoCreateInstance(CLSID_RealMediaWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                                build.writer.putVoid());
  if (FAILED(hr)) return hr;
  ComPtr<IRealMediaWriterSettings> first;
  hr = build.writer.As(IID_IRealMediaWriterSettings, &first);
  if (FAILED(hr)) return hr;
  first->SetKey(kRealMediaWriterKey);
  first->SetLibraryPath(settings_.rmDllPath);
  first->SetVideoMode(settings_.rmVideoMode);
  first->SetAudioChannels(settings_.qtAudioChannels);
  first->SetAudience(settings_.rmProfile);
  ComPtr<IRealMediaWriterSettings2> second;
  hr = build.writer.As(IID_IRealMediaWriterSettings2, &second);
  if (FAILED(hr)) return hr;
  second->SetWidth(settings_.outputFileWidth);
  second->SetHeight(settings_.outputFileHeight);
  second->SetFrameRate(LONG(settings_.frameRate));
  hr = GiveFileName(build.writer.get(), outputFile);
  if (FAILED(hr)) return hr;
  return build.graph->AddFilter(build.writer.get(), u"RM Writer");
}

void RealMediaWriterStage::RenderAudio(GraphBuild& build, IPin* pin) { build.Render(pin, nullptr, build.writer.get()); }

void AppendRealMediaAudiences(const CString& libraryPath, std::vector<CString>& names) {
  ComPtr<IBaseFilter> writer;
  if (FAILED(CoCreateInstance(CLSID_RealMediaWriter, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter,
                              writer.putVoid())))
    return;
  ComPtr<IRealMediaWriterSettings> settings;
  if (FAILED(writer.As(IID_IRealMediaWriterSettings, &settings))) return;
  settings->SetKey(kRealMediaListingKey);
  settings->SetLibraryPath(libraryPath);
  // The name is only kept: the writer makes no file before it runs.
  if (FAILED(GiveFileName(writer.get(), "test.rm"))) return;
  settings->SetAudiencesFolder(libraryPath + "\\audiences");
  LONG count = 0;
  settings->GetAudienceCount(&count);
  char name[kRealMediaNameBytes];
  for (LONG i = 0; i < count; ++i)
    if (SUCCEEDED(settings->GetAudienceName(i, name))) names.push_back(name);
}
