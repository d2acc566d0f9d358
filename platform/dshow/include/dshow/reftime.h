#pragma once
// REFERENCE_TIME with unit helpers (100 ns units).
#include "dshow/amvideo.h"

class CRefTime {
 public:
  REFERENCE_TIME m_time = 0;

  CRefTime() = default;
  CRefTime(LONG msecs) : m_time(static_cast<REFERENCE_TIME>(msecs) * MILLISECONDS) {}
  CRefTime(REFERENCE_TIME rt) : m_time(rt) {}
  operator REFERENCE_TIME() const { return m_time; }
  CRefTime& operator=(const CRefTime& rt) = default;
  CRefTime& operator=(const LONGLONG ll) {
    m_time = ll;
    return *this;
  }
  CRefTime& operator+=(const CRefTime& rt) {
    m_time += rt.m_time;
    return *this;
  }
  CRefTime& operator-=(const CRefTime& rt) {
    m_time -= rt.m_time;
    return *this;
  }
  LONG Millisecs() const { return static_cast<LONG>(m_time / MILLISECONDS); }
  LONGLONG GetUnits() const { return m_time; }
};
