// The serial worker: order, one job at a time, failures contained, bounded waits.
#include "serial_worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <stdexcept>
#include <thread>
#include <vector>

namespace quarn {
namespace {

using namespace std::chrono_literals;

TEST(SerialWorker, JobsRunOneAtATimeInTheOrderPosted) {
  SerialWorker worker;
  std::mutex m;
  std::vector<int> order;
  std::atomic<int> running{0};
  std::atomic<int> overlap{0};
  for (int i = 0; i < 40; ++i) {
    worker.Post([&, i] {
      if (running.fetch_add(1) != 0) ++overlap;
      if (i % 7 == 0) std::this_thread::sleep_for(2ms);
      {
        std::lock_guard lock(m);
        order.push_back(i);
      }
      running.fetch_sub(1);
    });
  }
  ASSERT_TRUE(worker.WaitIdle(5s));
  std::vector<int> expected(40);
  for (int i = 0; i < 40; ++i) expected[i] = i;
  EXPECT_EQ(order, expected);
  EXPECT_EQ(overlap.load(), 0);
}

TEST(SerialWorker, PostsFromManyThreadsAllRun) {
  SerialWorker worker;
  std::atomic<int> done{0};
  std::vector<std::thread> posters;
  for (int t = 0; t < 4; ++t)
    posters.emplace_back([&] {
      for (int i = 0; i < 250; ++i) worker.Post([&] { ++done; });
    });
  for (auto& t : posters) t.join();
  ASSERT_TRUE(worker.WaitIdle(5s));
  EXPECT_EQ(done.load(), 1000);
}

TEST(SerialWorker, AThrowingJobEndsOnlyItself) {
  SerialWorker worker;
  std::vector<int> ran;
  worker.Post([&] { ran.push_back(1); });
  worker.Post([] { throw std::runtime_error("settings refused"); });
  worker.Post([] { throw 7; });
  worker.Post([&] { ran.push_back(4); });
  ASSERT_TRUE(worker.WaitIdle(5s));
  EXPECT_EQ(ran, (std::vector<int>{1, 4}));
  EXPECT_EQ(worker.FailedJobs(), 2);
}

TEST(SerialWorker, WaitingIsBoundedAndAHungJobDoesNotHoldTheEnd) {
  std::atomic<bool> release{false};
  std::atomic<bool> finished{false};
  auto worker = std::make_unique<SerialWorker>();
  worker->Post([&] {
    while (!release) std::this_thread::sleep_for(1ms);
    finished = true;
  });
  bool laterRan = false;
  worker->Post([&] { laterRan = true; });
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(worker->WaitIdle(50ms));
  EXPECT_LT(std::chrono::steady_clock::now() - start, 2s);
  worker.reset();  // returns although the job still runs
  release = true;
  for (int i = 0; i < 2000 && !finished; ++i) std::this_thread::sleep_for(1ms);
  EXPECT_TRUE(finished);
  std::this_thread::sleep_for(10ms);
  EXPECT_FALSE(laterRan);
}

TEST(SerialWorker, AnIdleWorkerEndsAtOnceAndEmptyJobsAreRefused) {
  auto worker = std::make_unique<SerialWorker>();
  worker->Post(nullptr);
  EXPECT_TRUE(worker->WaitIdle(0ms));
  const auto start = std::chrono::steady_clock::now();
  worker.reset();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 1s);
}

}  // namespace
}  // namespace quarn
