#include "serial_worker.h"

#include <condition_variable>
#include <deque>
#include <mutex>

namespace quarn {

struct SerialWorker::State {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::function<void()>> jobs;
  bool busy = false;
  bool stopping = false;
  int failed = 0;

  bool Idle() const { return jobs.empty() && !busy; }
};

SerialWorker::SerialWorker() : state_(std::make_shared<State>()) {
  thread_ = std::thread([state = state_] {
    std::unique_lock lock(state->mutex);
    for (;;) {
      state->changed.wait(lock, [&] { return state->stopping || !state->jobs.empty(); });
      if (state->stopping) break;
      std::function<void()> job = std::move(state->jobs.front());
      state->jobs.pop_front();
      state->busy = true;
      lock.unlock();
      bool ok = true;
      try {
        job();
      } catch (...) {
        ok = false;
      }
      job = nullptr;  // what the job holds goes before the worker reports idle
      lock.lock();
      state->busy = false;
      if (!ok) ++state->failed;
      state->changed.notify_all();
    }
    state->jobs.clear();
    state->busy = false;
    state->changed.notify_all();
  });
}

SerialWorker::~SerialWorker() {
  bool idle;
  {
    std::lock_guard lock(state_->mutex);
    idle = !state_->busy;
    state_->stopping = true;
    state_->changed.notify_all();
  }
  // An idle thread ends at once; a busy one is left to finish its job alone.
  if (idle)
    thread_.join();
  else
    thread_.detach();
}

void SerialWorker::Post(std::function<void()> job) {
  if (!job) return;
  std::lock_guard lock(state_->mutex);
  if (state_->stopping) return;
  state_->jobs.push_back(std::move(job));
  state_->changed.notify_all();
}

bool SerialWorker::WaitIdle(std::chrono::milliseconds limit) {
  std::unique_lock lock(state_->mutex);
  return state_->changed.wait_for(lock, limit, [&] { return state_->Idle(); });
}

int SerialWorker::FailedJobs() const {
  std::lock_guard lock(state_->mutex);
  return state_->failed;
}

}  // namespace quarn
