#pragma once
// WMV: the capture graph builder's ASF writer, configured by the chosen Windows Media profile or by
// a profile file that takes its place.
#include <memory>

#include "conversion/writer_stage.h"

class AsfWriterStage : public WriterStage {
 public:
  explicit AsfWriterStage(const WriterInputs& inputs);
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;
  void RenderVideo(GraphBuild& build, IBaseFilter* video) override;
  void RenderAudio(GraphBuild& build, IPin* pin) override;

 private:
  HRESULT ConfigureWriter(const ComPtr<IBaseFilter>& writer);

  const OutputSettings& settings_;
  GUID profileId_;
};
