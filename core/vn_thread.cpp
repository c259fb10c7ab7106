#include "vn_thread.h"

#include <chrono>
#include <condition_variable>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>

namespace {

struct JobRegistry {
  std::mutex mutex;
  std::condition_variable finished;
  int outstanding = 0;
};

// Never destroyed: detached workers may still finish while the program ends.
JobRegistry& Registry() {
  static JobRegistry* registry = new JobRegistry;
  return *registry;
}

struct Job {
  TThreadCallFunction func;
  std::unique_ptr<std::uint8_t[]> copy;
  std::uint32_t size;
};

void RunJob(std::unique_ptr<Job> job) {
  try {
    if (job->func) job->func(job->copy.get(), job->size);
  } catch (...) {
    // No exception leaves the worker.
  }
  job.reset();
  JobRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  --r.outstanding;
  r.finished.notify_all();
}

}  // namespace

bool TvnThread::ThreadCallFunction(TThreadCallFunction Func, const void* Buffer,
                                   std::uint32_t BufferSize) {
  if (BufferSize == 0) return true;
  if (Buffer == nullptr) return false;
  auto job = std::make_unique<Job>();
  job->func = std::move(Func);
  job->copy = std::make_unique<std::uint8_t[]>(BufferSize);
  std::memcpy(job->copy.get(), Buffer, BufferSize);
  job->size = BufferSize;

  JobRegistry& r = Registry();
  {
    std::lock_guard<std::mutex> lock(r.mutex);
    ++r.outstanding;
  }
  try {
    std::thread([j = std::move(job)]() mutable { RunJob(std::move(j)); }).detach();
  } catch (...) {
    // The job (and its copy) went with the failed thread object; nothing runs.
    std::lock_guard<std::mutex> lock(r.mutex);
    --r.outstanding;
    r.finished.notify_all();
    return false;
  }
  return true;
}

int TvnThread::OutstandingJobs() {
  JobRegistry& r = Registry();
  std::lock_guard<std::mutex> lock(r.mutex);
  return r.outstanding;
}

bool TvnThread::WaitForOutstandingJobs(std::uint32_t timeoutMs,
                                       const std::function<void()>& service) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  constexpr auto kSlice = std::chrono::milliseconds(5);
  JobRegistry& r = Registry();
  for (;;) {
    if (service) service();
    std::unique_lock<std::mutex> lock(r.mutex);
    if (r.outstanding == 0) return true;
    const auto now = Clock::now();
    if (now >= deadline) return false;
    r.finished.wait_for(lock, std::min<Clock::duration>(deadline - now, kSlice));
  }
}
