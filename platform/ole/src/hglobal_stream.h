#pragma once
// IStream over a global memory block. The block is the stream's content: its size is the stream
// size, growing with writes past the end. Clones share the block and keep their own position.
#include <memory>
#include <mutex>

#include "ole/com_object.h"
#include "ole/objidl.h"

namespace ole {

class HGlobalStream final : public ComObject<HGlobalStream, IStream, IID_ISequentialStream, IID_IStream> {
 public:
  struct Memory {
    ~Memory();
    std::mutex mutex;
    HGLOBAL handle = nullptr;
    bool deleteOnRelease = false;
  };

  HGlobalStream(std::shared_ptr<Memory> memory, uint64_t position);
  HGLOBAL Handle() const;

  STDMETHOD(Read)(void* pv, ULONG cb, ULONG* pcbRead) override;
  STDMETHOD(Write)(const void* pv, ULONG cb, ULONG* pcbWritten) override;
  STDMETHOD(Seek)(LARGE_INTEGER dlibMove, DWORD dwOrigin, ULARGE_INTEGER* plibNewPosition) override;
  STDMETHOD(SetSize)(ULARGE_INTEGER libNewSize) override;
  STDMETHOD(CopyTo)(IStream* pstm, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                    ULARGE_INTEGER* pcbWritten) override;
  STDMETHOD(Commit)(DWORD grfCommitFlags) override;
  STDMETHOD(Revert)() override;
  STDMETHOD(LockRegion)(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) override;
  STDMETHOD(UnlockRegion)(ULARGE_INTEGER libOffset, ULARGE_INTEGER cb, DWORD dwLockType) override;
  STDMETHOD(Stat)(STATSTG* pstatstg, DWORD grfStatFlag) override;
  STDMETHOD(Clone)(IStream** ppstm) override;

 private:
  // Resizes the block (new bytes zeroed); call with the memory's mutex held.
  bool Resize(uint64_t size);

  std::shared_ptr<Memory> memory_;
  uint64_t position_;
};

}  // namespace ole
