#pragma once
// The Flash writer of the FLV and SWF types: the FLV or SWF properties, with the codecs the
// writer holds given back to it.
#include <memory>

#include "conversion/outside_writer_stage.h"

class FlashWriterStage : public OutsideWriterStage {
 public:
  explicit FlashWriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;

 private:
  OutputSettings& settings_;
};
