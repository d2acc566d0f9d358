#include "stream_copy.h"

namespace ole {

HRESULT CopyStream(IStream* from, IStream* to, ULARGE_INTEGER cb, ULARGE_INTEGER* pcbRead,
                   ULARGE_INTEGER* pcbWritten) {
  if (!to) return STG_E_INVALIDPOINTER;
  uint64_t totalRead = 0;
  uint64_t totalWritten = 0;
  HRESULT hr = S_OK;
  char buffer[16384];
  while (totalRead < cb.QuadPart) {
    const uint64_t left = cb.QuadPart - totalRead;
    const ULONG want = left < sizeof buffer ? static_cast<ULONG>(left) : sizeof buffer;
    ULONG got = 0;
    hr = from->Read(buffer, want, &got);
    if (FAILED(hr) || got == 0) break;
    totalRead += got;
    ULONG put = 0;
    hr = to->Write(buffer, got, &put);
    totalWritten += put;
    if (FAILED(hr)) break;
  }
  if (pcbRead) pcbRead->QuadPart = totalRead;
  if (pcbWritten) pcbWritten->QuadPart = totalWritten;
  return FAILED(hr) ? hr : S_OK;
}

}  // namespace ole
