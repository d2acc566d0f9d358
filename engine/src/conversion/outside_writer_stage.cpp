#include "conversion/outside_writer_stage.h"

void OutsideWriterStage::RenderVideo(GraphBuild& build, IBaseFilter* video) {
  build.Render(video, nullptr, build.writer.get());
}

void OutsideWriterStage::RenderAudio(GraphBuild& build, IPin* pin) {
  ComPtr<IBaseFilter> tee;
  if (FAILED(CoCreateInstance(CLSID_InfTee, nullptr, CLSCTX_INPROC_SERVER, IID_IBaseFilter, tee.putVoid())) ||
      FAILED(build.graph->AddFilter(tee.get(), u"Tee2")))
    return;
  build.Render(pin, nullptr, tee.get());
  build.Render(tee.get(), nullptr, build.writer.get());
}

HRESULT OutsideWriterStage::CreateWriter(GraphBuild& build, REFCLSID clsid, DWORD context, LPCTSTR outputFile,
                                         bool reportNoSink) {
  HRESULT hr = CoCreateInstance(clsid, nullptr, context, IID_IBaseFilter, build.writer.putVoid());
  if (FAILED(hr)) return hr;
  ComPtr<IFileSinkFilter> sink;
  hr = build.writer.As(IID_IFileSinkFilter, &sink);
  if (FAILED(hr)) {
    if (reportNoSink) ::MessageBoxA(build.window, "Failed to set file name", nullptr, MB_OK);
    return hr;
  }
  BSTR wide = CString(outputFile).AllocSysString();
  hr = sink->SetFileName(wide, nullptr);
  SysFreeString(wide);
  return hr;
}

HRESULT OutsideWriterStage::AddWriter(GraphBuild& build, REFCLSID clsid, LPCOLESTR name, LPCTSTR outputFile) {
  HRESULT hr = CreateWriter(build, clsid, CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER,
                            outputFile, true);
  if (SUCCEEDED(hr)) hr = build.graph->AddFilter(build.writer.get(), name);
  return hr;
}
