#pragma once
// The writers of other makers: created by class id, added under their graph name and given the
// output file through their file sink; the type's stage then pushes its settings. Video comes
// from the tee, audio through a second tee, "Tee2".
#include "conversion/writer_stage.h"

class OutsideWriterStage : public WriterStage {
 public:
  void RenderVideo(GraphBuild& build, IBaseFilter* video) override;
  void RenderAudio(GraphBuild& build, IPin* pin) override;

 protected:
  // Creates the writer into build.writer, adds it as name and gives it the file. A writer with no
  // file sink is reported to the user and fails the build: a graph that would write nothing is
  // not run.
  static HRESULT AddWriter(GraphBuild& build, REFCLSID clsid, LPCOLESTR name, LPCTSTR outputFile);
  // Creates the writer into build.writer and gives it the file, without adding it to the graph.
  static HRESULT CreateWriter(GraphBuild& build, REFCLSID clsid, DWORD context, LPCTSTR outputFile, bool reportNoSink);
};
