#pragma once
// The MP4 writer of the MP4 and PSP types: the MP4 properties, with no sample rate for PSP.
#include <memory>

#include "conversion/outside_writer_stage.h"

class Mp4WriterStage : public OutsideWriterStage {
 public:
  explicit Mp4WriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;

 private:
  OutputSettings& settings_;
};
