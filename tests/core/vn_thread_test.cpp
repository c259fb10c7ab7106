// The one-shot worker: private copies, overlapping jobs, throwing callbacks
// and the bounded end-of-program wait.
#include "vn_thread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <thread>

namespace {

// A gate a callback waits at until the test opens it.
class Latch {
 public:
  void Open() {
    std::lock_guard<std::mutex> lock(m_);
    open_ = true;
    cv_.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> lock(m_);
    cv_.wait(lock, [&] { return open_; });
  }

 private:
  std::mutex m_;
  std::condition_variable cv_;
  bool open_ = false;
};

TEST(OneShotWorker, SizeZeroRunsNothing) {
  ASSERT_TRUE(TvnThread::WaitForOutstandingJobs(2000));
  std::atomic<int> calls{0};
  std::uint8_t b = 1;
  EXPECT_TRUE(TvnThread::ThreadCallFunction([&](void*, std::uint32_t) { ++calls; }, &b, 0));
  EXPECT_EQ(TvnThread::OutstandingJobs(), 0);
  EXPECT_FALSE(TvnThread::ThreadCallFunction([&](void*, std::uint32_t) { ++calls; }, nullptr, 4));
  EXPECT_TRUE(TvnThread::WaitForOutstandingJobs(2000));
  EXPECT_EQ(calls.load(), 0);
}

TEST(OneShotWorker, OverlappingJobsEachSeeTheirOwnSnapshot) {
  Latch gate;
  std::mutex m;
  std::vector<std::vector<std::uint8_t>> seen;
  auto callback = [&](void* buffer, std::uint32_t size) {
    gate.Wait();
    auto* b = static_cast<std::uint8_t*>(buffer);
    std::lock_guard<std::mutex> lock(m);
    seen.emplace_back(b, b + size);
  };
  auto first = std::make_unique<std::uint8_t[]>(16);
  for (int i = 0; i < 16; ++i) first[i] = static_cast<std::uint8_t>(i);
  ASSERT_TRUE(TvnThread::ThreadCallFunction(callback, first.get(), 16));
  // The call returned while the callback is held; the caller's buffer changes and goes.
  std::memset(first.get(), 0xEE, 16);
  first.reset();
  std::uint8_t second[16];
  std::memset(second, 0x22, sizeof second);
  ASSERT_TRUE(TvnThread::ThreadCallFunction(callback, second, 16));
  std::memset(second, 0x33, sizeof second);
  EXPECT_EQ(TvnThread::OutstandingJobs(), 2);
  gate.Open();
  ASSERT_TRUE(TvnThread::WaitForOutstandingJobs(5000));
  ASSERT_EQ(seen.size(), 2u);
  std::vector<std::uint8_t> a(16), b(16, 0x22);
  for (int i = 0; i < 16; ++i) a[i] = static_cast<std::uint8_t>(i);
  EXPECT_TRUE((seen[0] == a && seen[1] == b) || (seen[0] == b && seen[1] == a));
}

TEST(OneShotWorker, AThrowingCallbackStaysOnTheWorker) {
  std::uint8_t b[4] = {};
  ASSERT_TRUE(TvnThread::ThreadCallFunction(
      [](void*, std::uint32_t) { throw std::out_of_range("acceleration index"); }, b, 4));
  ASSERT_TRUE(TvnThread::WaitForOutstandingJobs(5000));
  std::atomic<int> calls{0};
  ASSERT_TRUE(TvnThread::ThreadCallFunction([&](void*, std::uint32_t) { ++calls; }, b, 4));
  ASSERT_TRUE(TvnThread::WaitForOutstandingJobs(5000));
  EXPECT_EQ(calls.load(), 1);
}

TEST(OneShotWorker, EndOfProgramWaitIsBoundedAndServicesTheCaller) {
  Latch gate;
  std::uint8_t b[16] = {};
  ASSERT_TRUE(TvnThread::ThreadCallFunction([&](void*, std::uint32_t) { gate.Wait(); }, b, 16));
  int services = 0;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(TvnThread::WaitForOutstandingJobs(200, [&] { ++services; }));
  const auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(200));
  EXPECT_LT(waited, std::chrono::milliseconds(1500));
  EXPECT_GE(services, 10);  // serviced every few milliseconds, not once
  gate.Open();
  EXPECT_TRUE(TvnThread::WaitForOutstandingJobs(5000));

  // A slow callback that ends: the wait returns with it, well before its bound.
  ASSERT_TRUE(TvnThread::ThreadCallFunction(
      [](void*, std::uint32_t) { std::this_thread::sleep_for(std::chrono::milliseconds(50)); }, b,
      16));
  const auto t0 = std::chrono::steady_clock::now();
  EXPECT_TRUE(TvnThread::WaitForOutstandingJobs(10000));
  EXPECT_LT(std::chrono::steady_clock::now() - t0, std::chrono::milliseconds(5000));
}

}  // namespace
