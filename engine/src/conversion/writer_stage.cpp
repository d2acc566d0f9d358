#include "conversion/writer_stage.h"

HRESULT AddBuilderWriter(GraphBuild& build, const GUID& subtype, LPCTSTR outputFile) {
  BSTR wide = CString(outputFile).AllocSysString();
  const HRESULT hr = build.builder->SetOutputFileName(&subtype, wide, build.writer.put(), nullptr);
  SysFreeString(wide);
  if (FAILED(hr)) ::MessageBoxA(build.window, "Failed to set file name", nullptr, MB_OK);
  return hr;
}
