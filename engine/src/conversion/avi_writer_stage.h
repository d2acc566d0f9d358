#pragma once
// AVI: the capture graph builder's multiplexer, fed through the chosen compressors, or with its
// sound through the MP3 encoder filter when the chosen audio compressor is MPEG Layer-3.
#include <memory>

#include "conversion/writer_stage.h"

class AviWriterStage : public WriterStage {
 public:
  explicit AviWriterStage(const WriterInputs& inputs);
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;
  void RenderVideo(GraphBuild& build, IBaseFilter* video) override;
  void RenderAudio(GraphBuild& build, IPin* pin) override;

 private:
  HRESULT AddMp3Encoder(GraphBuild& build);

  OutputSettings& settings_;
  BoundFilter videoCompressor_;
  BoundFilter audioCompressor_;
  // The compressors the graph uses, of those bound; null when none.
  IBaseFilter* videoThrough_ = nullptr;
  IBaseFilter* audioThrough_ = nullptr;
  ComPtr<IBaseFilter> mp3Encoder_;
};
