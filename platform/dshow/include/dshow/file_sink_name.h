#pragma once
// The file name a muxing writer is given through IFileSinkFilter: it changes only while the filter
// is stopped, reads back as a byte stream of the writer's subtype, and names the file the muxer makes.
#include <string>

#include "dshow/file_muxer.h"

namespace dshow::filters {

class FileSinkName {
 public:
  // The filter's state is read, and the name kept, under the given lock.
  FileSinkName(CBaseFilter* filter, CCritSec* lock, REFGUID subtype = GUID_NULL)
      : filter_(filter), lock_(lock), subtype_(subtype) {}

  HRESULT Set(LPCOLESTR name);
  HRESULT Get(LPOLESTR* name, AM_MEDIA_TYPE* pmt) const;
  bool Empty() const { return name_.empty(); }
  // Starts the muxer on the named file; a file the system refuses is E_ACCESSDENIED.
  HRESULT StartMuxer(FileMuxer* muxer, const MuxSettings& settings) const;

 private:
  CBaseFilter* filter_;
  CCritSec* lock_;
  GUID subtype_;
  std::u16string name_;
};

}  // namespace dshow::filters
