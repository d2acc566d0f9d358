#pragma once
// A file of one already coded stream, muxed sample by sample as the stream arrives: what the MP3
// file writer and the WAV destination share; they differ in the container and where it goes.
#include <memory>

#include "dshow/dshow.h"
#include "dshow/file_muxer.h"

namespace filters {

class SingleStreamFile {
 public:
  explicit SingleStreamFile(const char* format) : format_(format) {}

  // A muxer for a stream of that type, for the caller to start; null with the reason in *hr.
  std::unique_ptr<dshow::filters::FileMuxer> Prepare(const CMediaType& type, HRESULT* hr) const;
  // The started muxer the samples go to from now on.
  void Begin(std::unique_ptr<dshow::filters::FileMuxer> muxer);
  // Muxes one sample's bytes at its start time; a failure to write is also reported to the graph
  // through the filter.
  HRESULT Write(CBaseFilter* filter, IMediaSample* sample);
  // Finishes the file: the muxer's failure, 0 when it finished or there was none.
  int Finish();

 private:
  const char* format_;
  CCritSec lock_;
  std::unique_ptr<dshow::filters::FileMuxer> muxer_;
};

}  // namespace filters
