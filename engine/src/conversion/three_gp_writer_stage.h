#pragma once
// The 3GP writer: the 3GP properties, the codecs given by the writer's codes and the picture kept
// within 320x240.
#include <memory>

#include "conversion/outside_writer_stage.h"

class ThreeGpWriterStage : public OutsideWriterStage {
 public:
  explicit ThreeGpWriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;

 private:
  OutputSettings& settings_;
};
