#pragma once
// The muxer of a writer's open file, shared by its streaming threads: packets that come while no
// file is open are dropped, and a failure to write is reported to the graph through the filter.
#include <memory>

#include "dshow/file_muxer.h"

namespace dshow::filters {

class WritingMuxer {
 public:
  // The started muxer the packets go to from now on.
  void Begin(std::unique_ptr<FileMuxer> muxer);
  HRESULT Write(CBaseFilter* filter, int stream, AVPacket* packet);
  // Finishes the file: the muxer's failure, 0 when it finished or none was open.
  int Finish();

 private:
  CCritSec lock_;
  std::unique_ptr<FileMuxer> muxer_;
};

}  // namespace dshow::filters
