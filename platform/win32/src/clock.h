#pragma once
// The process clock behind GetTickCount, Sleep and timed waits: real, or virtual when the
// configuration says so.
#include <cstdint>

namespace win32 {

// Milliseconds on the process clock.
uint64_t ClockNowMs();

// Whether the process runs on the virtual clock.
bool ClockIsVirtual();

// Wakes every timed wait so it can look at the clock again (defined with the events).
void NotifyClockWaiters();

}  // namespace win32
