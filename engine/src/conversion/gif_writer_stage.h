#pragma once
// The animated GIF writer: the GIF properties; the writer makes the whole file.
#include <memory>

#include "conversion/outside_writer_stage.h"

class GifWriterStage : public OutsideWriterStage {
 public:
  explicit GifWriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;

 private:
  OutputSettings& settings_;
};
