#pragma once
// The RealMedia writer: its audience, video mode and picture, the file name last; the sound goes
// to it directly.
#include <memory>
#include <vector>

#include "conversion/outside_writer_stage.h"

class RealMediaWriterStage : public OutsideWriterStage {
 public:
  explicit RealMediaWriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;
  void RenderAudio(GraphBuild& build, IPin* pin) override;

 private:
  OutputSettings& settings_;
};

// The audience names a RealMedia writer offers for the libraries under libraryPath, appended to
// names. Nothing is appended when the writer cannot be made or refuses its file name.
void AppendRealMediaAudiences(const CString& libraryPath, std::vector<CString>& names);
