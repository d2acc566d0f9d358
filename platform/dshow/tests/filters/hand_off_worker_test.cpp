// The worker that encodes one picture while the next is converted.
#include "dshow/hand_off_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <thread>
#include <vector>

namespace dshow_test {
namespace {

using dshow::filters::HandOffWorker;

TEST(HandOffWorker, RunsJobsInOrderWhileTheCallerGoesOn) {
  std::promise<void> release;
  std::shared_future<void> released = release.get_future().share();
  std::vector<int> done;
  const std::thread::id caller = std::this_thread::get_id();
  std::atomic<bool> onOtherThread{true};
  std::atomic<bool> firstDone{false};
  HandOffWorker worker;
  ASSERT_EQ(worker.Hand([&] {
    released.wait();  // the caller gets its answer while this job still runs
    onOtherThread = onOtherThread && std::this_thread::get_id() != caller;
    done.push_back(1);
    firstDone = true;
    return S_OK;
  }), S_OK);
  std::thread releaser([&] { release.set_value(); });
  // The second hand-off comes back only once the first job is done: the caller may then reuse
  // what that job used.
  EXPECT_EQ(worker.Hand([&] {
    onOtherThread = onOtherThread && std::this_thread::get_id() != caller;
    done.push_back(2);
    return S_OK;
  }), S_OK);
  EXPECT_TRUE(firstDone);
  releaser.join();
  EXPECT_EQ(worker.Finish(), S_OK);
  EXPECT_EQ(done, (std::vector<int>{1, 2}));
  EXPECT_TRUE(onOtherThread);
}

TEST(HandOffWorker, TheFirstFailureStopsTheJobsAndComesBack) {
  int ran = 0;
  HandOffWorker worker;
  ASSERT_EQ(worker.Hand([&] { return ++ran, E_FAIL; }), S_OK);
  EXPECT_EQ(worker.Hand([&] { return ++ran, S_OK; }), E_FAIL);
  EXPECT_EQ(worker.Hand([&] { return ++ran, E_OUTOFMEMORY; }), E_FAIL);
  EXPECT_EQ(worker.Finish(), E_FAIL);
  EXPECT_EQ(ran, 1);
}

TEST(HandOffWorker, EndingFinishesTheJobInHand) {
  std::atomic<bool> finished{false};
  {
    HandOffWorker worker;
    ASSERT_EQ(worker.Hand([&] {
      finished = true;
      return S_OK;
    }), S_OK);
  }
  EXPECT_TRUE(finished);
}

}  // namespace
}  // namespace dshow_test
