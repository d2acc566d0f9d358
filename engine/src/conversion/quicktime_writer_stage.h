#pragma once
// The QuickTime writer: the file name first, the codecs through its input pins' settings, and the
// frame rate and sound format once every group is wired. The graph keeps its clock.
#include <memory>

#include "conversion/outside_writer_stage.h"

class QuickTimeWriterStage : public OutsideWriterStage {
 public:
  explicit QuickTimeWriterStage(const WriterInputs& inputs) : settings_(inputs.settings) {}
  static std::unique_ptr<WriterStage> Make(const WriterInputs& inputs);

  HRESULT Add(GraphBuild& build, LPCTSTR outputFile) override;
  void AfterGroups(GraphBuild& build) override;
  bool KeepsGraphClock() const override { return true; }

 private:
  OutputSettings& settings_;
};

// The video codec code of a QTVideoCompressor value and the sound codec code of a
// QTAudioCompressor value.
LONG QuickTimeVideoCode(short compressor);
LONG QuickTimeAudioCode(short compressor);

// How far the writer has got, in whole seconds, as its "Video Input" pin's settings count it;
// false while the writer cannot say (no such pin, or no units per second yet).
bool QuickTimePosition(IBaseFilter* writer, LONG* seconds);

// The first input pin of a filter whose name contains part, in pin order; null when none.
ComPtr<IPin> FindInputPinByName(IBaseFilter* filter, const char* part);
