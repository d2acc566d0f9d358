#pragma once
// The graph's event queue: events from filters wait here for the application, which reads them
// with GetEvent, waits on the queue's event handle, or is told by a posted window message.
#include <condition_variable>
#include <deque>
#include <mutex>

#include "dshow/control.h"

namespace dshow {

class GraphEvents {
 public:
  GraphEvents();
  ~GraphEvents();
  GraphEvents(const GraphEvents&) = delete;
  GraphEvents& operator=(const GraphEvents&) = delete;

  // Queues an event and posts the notification message; nothing happens while notifications
  // are switched off (AM_MEDIAEVENT_NONOTIFY).
  void Queue(LONG code, LONG_PTR param1, LONG_PTR param2);
  // The oldest event; E_ABORT when none arrives within msTimeout (INFINITE: wait for one).
  HRESULT Get(LONG* code, LONG_PTR* param1, LONG_PTR* param2, LONG msTimeout);
  // Waits for EC_COMPLETE, EC_ERRORABORT or EC_USERABORT to be queued (the event stays queued).
  HRESULT WaitForCompletion(LONG msTimeout, LONG* code);
  // Set while the queue holds events.
  HANDLE Handle() const { return event_; }
  void SetNotifyWindow(OAHWND hwnd, LONG message, LONG_PTR instanceData);
  void SetNotifyFlags(LONG flags);
  LONG NotifyFlags();

 private:
  struct Event {
    LONG code;
    LONG_PTR param1;
    LONG_PTR param2;
  };
  std::mutex lock_;
  std::condition_variable arrived_;
  std::deque<Event> queue_;
  HANDLE event_;
  OAHWND hwnd_ = 0;
  LONG message_ = 0;
  LONG_PTR instanceData_ = 0;
  LONG flags_ = 0;
};

}  // namespace dshow
