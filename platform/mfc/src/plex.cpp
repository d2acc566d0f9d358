#include <cstdlib>

#include "mfc/afx.h"

CPlex* PASCAL CPlex::Create(CPlex*& pHead, size_t nMax, size_t cbElement) {
  if (nMax == 0 || cbElement == 0 || nMax > (SIZE_MAX - sizeof(CPlex)) / cbElement) AfxThrowInvalidArgException();
  auto* p = static_cast<CPlex*>(std::malloc(sizeof(CPlex) + nMax * cbElement));
  if (!p) AfxThrowMemoryException();
  p->pNext = pHead;
  pHead = p;
  return p;
}

void CPlex::FreeDataChain() {
  for (CPlex* p = this; p;) {
    CPlex* next = p->pNext;
    std::free(p);
    p = next;
  }
}
