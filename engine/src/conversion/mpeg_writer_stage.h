#pragma once
// The MPEG writer of the six disc types, MPEG-1 and MPEG-2: the disc types get the writer's own
// presets (VCD PAL its standard's values spelt out), MPEG-1 and MPEG-2 the MPEG properties.
#include <memory>

#include "conversion/outside_writer_stage.h"

class MpegWriterStage : public OutsideWriterStage {
 public:
  explicit MpegWriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;

 private:
  OutputSettings& settings_;
};
