// Messages: hooks on the send path, queue order and filters, posting from other threads, sends
// across threads, timers on the virtual clock, WM_QUIT.
#include <future>
#include <latch>
#include <thread>

#include "user_fixture.h"

namespace win32_test {
namespace {

using MessagesTest = UserTest;

std::vector<UINT> Drain(HWND filter = nullptr) {
  std::vector<UINT> out;
  MSG msg;
  while (PeekMessageA(&msg, filter, 0, 0, PM_REMOVE)) {
    out.push_back(msg.message);
    if (msg.message == WM_QUIT) break;
    DispatchMessageA(&msg);
  }
  return out;
}

TEST_F(MessagesTest, HooksSeeEverySentMessageNewestFirstAndChainOn) {
  static std::vector<int> calls;
  static HHOOK first, second;
  calls.clear();
  first = SetWindowsHookExA(WH_CALLWNDPROC, [](int c, WPARAM w, LPARAM l) -> LRESULT {
    calls.push_back(1);
    return CallNextHookEx(first, c, w, l);
  }, nullptr, GetCurrentThreadId());
  second = SetWindowsHookExA(WH_CALLWNDPROC, [](int c, WPARAM w, LPARAM l) -> LRESULT {
    calls.push_back(2);
    return CallNextHookEx(second, c, w, l);
  }, nullptr, GetCurrentThreadId());
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  calls.clear();
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(calls, (std::vector<int>{2, 1}));
  calls.clear();
  PostMessageA(h, WM_USER, 0, 0);
  Drain();
  EXPECT_TRUE(calls.empty());  // posted messages are not sent
  EXPECT_TRUE(UnhookWindowsHookEx(second));
  EXPECT_FALSE(UnhookWindowsHookEx(second));
  calls.clear();
  SendMessageA(h, WM_USER, 0, 0);
  EXPECT_EQ(calls, std::vector<int>{1});
  UnhookWindowsHookEx(first);
}

TEST_F(MessagesTest, PostedComeBeforeInputThenQuitThenPaintThenTimers) {
  HWND h = Top(0, 0, 50, 50);
  Drain();
  SetTimer(h, 1, 10, nullptr);
  platform_config::AdvanceVirtualClock(10);
  InvalidateRect(h, nullptr, TRUE);
  wu::InjectMouseMove({10, 10});
  PostMessageA(h, WM_USER + 1, 0, 0);
  PostQuitMessage(3);
  std::vector<UINT> order;
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    order.push_back(msg.message);
    if (msg.message == WM_QUIT) {
      EXPECT_EQ(msg.wParam, 3u);
      continue;
    }
    if (msg.message == WM_TIMER) KillTimer(h, 1);
    DispatchMessageA(&msg);
  }
  std::vector<UINT> expected = {WM_USER + 1, WM_MOUSEMOVE, WM_QUIT, WM_PAINT, WM_TIMER};
  EXPECT_EQ(order, expected);
}

TEST_F(MessagesTest, PeekFiltersByWindowAndRangeAndCanLeaveMessages) {
  HWND a = Top(0, 0, 10, 10, WS_POPUP);
  HWND b = Top(0, 0, 10, 10, WS_POPUP);
  HWND child = Child(a, 0, 0, 5, 5, WS_CHILD);
  PostMessageA(b, WM_USER + 1, 0, 0);
  PostMessageA(child, WM_USER + 2, 0, 0);
  PostMessageA(a, WM_USER + 3, 0, 0);
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, a, 0, 0, PM_NOREMOVE));  // the window and its children
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, a);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 1));
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(0x7fff1234), WM_USER, 0, 0));
}

TEST_F(MessagesTest, PostMessageStormFromSeveralThreadsLosesNothing) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  constexpr int kThreads = 6, kEach = 2000;
  std::vector<int> seen(kThreads, 0);
  std::vector<bool> inOrder(kThreads, true);
  CurrentHandler() = [&](HWND, UINT m, WPARAM w, LPARAM l, LRESULT*) {
    if (m != WM_USER + 9) return false;
    if (static_cast<int>(l) != seen[w]) inOrder[w] = false;
    ++seen[w];
    return true;
  };
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([h, t] {
      for (int i = 0; i < kEach; ++i) PostMessageA(h, WM_USER + 9, t, i);
    });
  }
  // The window's thread keeps handling messages while they arrive.
  int total = 0;
  MSG msg;
  while (total < kThreads * kEach && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    if (msg.message == WM_USER + 9) ++total;
    DispatchMessageA(&msg);
  }
  for (auto& t : threads) t.join();
  for (int t = 0; t < kThreads; ++t) {
    EXPECT_EQ(seen[t], kEach);
    EXPECT_TRUE(inOrder[t]) << "thread " << t;
  }
}

TEST_F(MessagesTest, SendFromAnotherThreadRunsOnTheWindowsThread) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  const DWORD mine = GetCurrentThreadId();
  DWORD ranOn = 0;
  BOOL inSend = FALSE;
  CurrentHandler() = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT* r) {
    if (m != WM_USER + 4) return false;
    ranOn = GetCurrentThreadId();
    inSend = InSendMessage();
    *r = static_cast<LRESULT>(w * 2);
    return true;
  };
  static std::vector<WPARAM> fromThisThread;
  fromThisThread.clear();
  static HHOOK hook;
  hook = SetWindowsHookExA(WH_CALLWNDPROC, [](int c, WPARAM w, LPARAM l) -> LRESULT {
    if (reinterpret_cast<CWPSTRUCT*>(l)->message == WM_USER + 4) fromThisThread.push_back(w);
    return CallNextHookEx(hook, c, w, l);
  }, nullptr, GetCurrentThreadId());
  SendMessageA(h, WM_USER + 4, 1, 0);
  ranOn = 0;
  LRESULT result = 0;
  std::thread sender([&] { result = SendMessageA(h, WM_USER + 4, 21, 0); });
  while (ranOn == 0) {
    WaitMessage();  // returns once the send has arrived, and handles it
    wu::PumpUntilIdle();
  }
  sender.join();
  UnhookWindowsHookEx(hook);
  EXPECT_EQ(result, 42);
  EXPECT_EQ(fromThisThread, (std::vector<WPARAM>{1, 0}));  // the hook runs on the window's thread
  EXPECT_EQ(ranOn, mine);
  EXPECT_TRUE(inSend);
  EXPECT_FALSE(InSendMessage());
}

TEST_F(MessagesTest, WaitMessageReturnsForASendItHandledWhileLooking) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  bool handled = false;
  CurrentHandler() = [&](HWND, UINT m, WPARAM, LPARAM, LRESULT*) {
    handled = handled || m == WM_USER + 4;
    return false;
  };
  // The sending thread owns a window. A send to it runs only while that thread waits in its own
  // send, so once a probe's send to it returns, the send to h is queued here.
  static std::latch* senderWaits;
  std::latch waits(1);
  senderWaits = &waits;
  static bool registered = [] {
    WNDCLASSA wc{};
    wc.lpfnWndProc = [](HWND w, UINT m, WPARAM wp, LPARAM lp) -> LRESULT {
      if (m == WM_USER + 5) senderWaits->count_down();
      return DefWindowProcA(w, m, wp, lp);
    };
    wc.lpszClassName = "SenderThreadWindow";
    return RegisterClassA(&wc) != 0;
  }();
  ASSERT_TRUE(registered);
  std::promise<HWND> created;
  std::thread sender([&] {
    HWND own =
        CreateWindowExA(0, "SenderThreadWindow", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    created.set_value(own);
    SendMessageA(h, WM_USER + 4, 0, 0);
    DestroyWindow(own);
  });
  HWND own = created.get_future().get();
  std::thread probe([own] { SendMessageA(own, WM_USER + 5, 0, 0); });
  waits.wait();
  int waited = 0;
  wu::SetIdleHandler([&] {
    ++waited;  // WaitMessage went to sleep: nothing would wake it any more
    return true;
  });
  WaitMessage();
  wu::SetIdleHandler(nullptr);
  probe.join();
  sender.join();
  EXPECT_TRUE(handled);
  EXPECT_EQ(waited, 0);
}

TEST_F(MessagesTest, TimersFollowTheVirtualClockAndReplaceIds) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  std::vector<WPARAM> fired;
  CurrentHandler() = [&](HWND, UINT m, WPARAM w, LPARAM, LRESULT*) {
    if (m == WM_TIMER) fired.push_back(w);
    return m == WM_TIMER;
  };
  EXPECT_EQ(SetTimer(h, 8, 50, nullptr), 8u);
  EXPECT_EQ(SetTimer(h, 2, 3, nullptr), 2u);  // raised to 10 ms
  wu::PumpUntilIdle();
  EXPECT_TRUE(fired.empty());
  platform_config::AdvanceVirtualClock(9);
  wu::PumpUntilIdle();
  EXPECT_TRUE(fired.empty());
  platform_config::AdvanceVirtualClock(1);
  wu::PumpUntilIdle();
  EXPECT_EQ(fired, std::vector<WPARAM>{2});
  KillTimer(h, 2);
  platform_config::AdvanceVirtualClock(40);
  wu::PumpUntilIdle();
  EXPECT_EQ(fired, (std::vector<WPARAM>{2, 8}));
  // Setting an id in use starts it again with the new period.
  SetTimer(h, 8, 100, nullptr);
  platform_config::AdvanceVirtualClock(60);
  wu::PumpUntilIdle();
  EXPECT_EQ(fired.size(), 2u);
  platform_config::AdvanceVirtualClock(40);
  wu::PumpUntilIdle();
  EXPECT_EQ(fired.size(), 3u);
  // A late timer fires once, not once per missed period.
  platform_config::AdvanceVirtualClock(1000);
  wu::PumpUntilIdle();
  EXPECT_EQ(fired.size(), 4u);
  EXPECT_TRUE(KillTimer(h, 8));
  EXPECT_FALSE(KillTimer(h, 8));
}

int g_procCalls = 0;
void CALLBACK CountingTimerProc(HWND, UINT, UINT_PTR, DWORD) { ++g_procCalls; }

TEST_F(MessagesTest, ThreadTimersCallTheirProcedure) {
  g_procCalls = 0;
  UINT_PTR id = SetTimer(nullptr, 0, 20, CountingTimerProc);
  ASSERT_NE(id, 0u);
  UINT_PTR other = SetTimer(nullptr, 0, 20, CountingTimerProc);
  EXPECT_NE(other, id);
  KillTimer(nullptr, other);
  platform_config::AdvanceVirtualClock(20);
  wu::PumpUntilIdle();
  EXPECT_EQ(g_procCalls, 1);
  KillTimer(nullptr, id);
  platform_config::AdvanceVirtualClock(20);
  wu::PumpUntilIdle();
  EXPECT_EQ(g_procCalls, 1);
}

TEST_F(MessagesTest, QuitEndsGetMessageAndTheIdlePump) {
  PostQuitMessage(7);
  EXPECT_EQ(wu::PumpUntilIdle(), 0);  // the quit stays for the loop that owns it
  MSG msg;
  EXPECT_EQ(GetMessageA(&msg, nullptr, 0, 0), FALSE);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
  PostThreadMessageA(GetCurrentThreadId(), WM_USER + 7, 1, 2);
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.hwnd, nullptr);
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER + 7));
}

TEST_F(MessagesTest, IdleHandlerFeedsAWaitingLoop) {
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  int idles = 0;
  wu::SetIdleHandler([&] {
    ++idles;
    PostMessageA(h, idles < 3 ? WM_USER : WM_CLOSE, 0, 0);
    return true;
  });
  MSG msg;
  while (IsWindow(h) && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  wu::SetIdleHandler(nullptr);
  EXPECT_EQ(idles, 3);
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(MessagesTest, ALoopWhoseWorkTheIdleHandlerDidItselfLooksAgain) {
  // The handler dispatches what it posted itself, wake-up included (a scripted answer that pumps):
  // the waiting loop must still come back to see that it is done instead of waiting again.
  HWND h = Top(0, 0, 10, 10, WS_POPUP);
  bool ended = false;
  int idles = 0;
  wu::SetIdleHandler([&] {
    if (++idles > 1) {
      PostQuitMessage(0);  // the loop waited again: leave instead of hanging
      return true;
    }
    PostMessageA(h, WM_NULL, 0, 0);
    wu::PumpUntilIdle();
    ended = true;
    return true;
  });
  MSG msg;
  while (!ended && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  wu::SetIdleHandler(nullptr);
  EXPECT_EQ(idles, 1);
  EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
}

}  // namespace
}  // namespace win32_test
