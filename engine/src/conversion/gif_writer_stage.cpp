#include "conversion/gif_writer_stage.h"

#include "filters/writer_settings.h"

std::unique_ptr<WriterStage> GifWriterStage::Make(const WriterInputs& inputs) {
  return std::make_unique<GifWriterStage>(inputs);
}

// The answers of the settings calls are not examined.
HRESULT GifWriterStage::Add(GraphBuild& build, LPCTSTR outputFile) {
  const HRESULT hr = AddWriter(build, CLSID_GifWriter, u"gif", outputFile);
  if (FAILED(hr)) return hr;
  auto writer = build.writer.As<IGifWriterSettings>(IID_IGifWriterSettings);
  if (!writer) return hr;
  const OutputSettings& s = settings_;
  writer->SetKey(kGifWriterKey);
  writer->SetWidth(s.aniGIFWidth);
  writer->SetHeight(s.aniGIFHeight);
  writer->SetMaxColors(s.aniGIFMaxColor);
  writer->SetQuantizer(s.aniGIFQuantizer);
  if (s.aniGIFVideoQuality) {
    writer->SetVideoQuality(1);
  } else {
    writer->SetVideoQuality(0);
    // The colour property is red in its lowest byte; the writer takes blue there.
    const OLE_COLOR c = s.aniGIFTransColor;
    writer->SetTransparentColor(LONG(((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF)));
  }
  writer->SetLoop(s.aniGIFLoop);
  return hr;
}
