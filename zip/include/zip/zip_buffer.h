#pragma once
// An owned array of bytes with its length: names, extra fields, comments, the read buffer and the
// password of the zip reader all live in one. Copies are deep.
#include <vector>

#include "win32/windows.h"

class CZipBuffer {
 public:
  // Replaces the contents with `size` zero bytes.
  void Allocate(DWORD size) { m_bytes.assign(size, 0); }
  void Release() { std::vector<BYTE>().swap(m_bytes); }

  DWORD GetSize() const { return (DWORD)m_bytes.size(); }
  BOOL IsEmpty() const { return m_bytes.empty(); }
  BYTE* GetBuffer() { return m_bytes.data(); }
  const BYTE* GetBuffer() const { return m_bytes.data(); }

 private:
  std::vector<BYTE> m_bytes;
};
