#pragma once
// IStream over a file opened through the platform's file functions.
#include <string>

#include "ole/com_object.h"
#include "ole/objidl.h"

namespace ole {

class FileStream final : public ComObject<FileStream, IStream, IID_ISequentialStream, IID_IStream> {
 public:
  FileStream(HANDLE file, std::string name, DWORD mode);
  ~FileStream();
  FileStream(const FileStream&) = delete;
  FileStream& operator=(const FileStream&) = delete;

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
  HANDLE file_;
  std::string name_;
  DWORD mode_;
};

}  // namespace ole
