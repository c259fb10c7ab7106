// A background worker of one thread that runs posted jobs one at a time in
// the order they were posted. A job that throws ends only itself. Waiting for
// it is always bounded: when it is destroyed with a job still running, the
// job finishes on its own and the jobs queued behind it are dropped.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "config_seams.h"

namespace quarn {

class SerialWorker final : public SettingsWorker {
 public:
  SerialWorker();
  ~SerialWorker() override;
  SerialWorker(const SerialWorker&) = delete;
  SerialWorker& operator=(const SerialWorker&) = delete;

  void Post(std::function<void()> job) override;
  bool WaitIdle(std::chrono::milliseconds limit) override;

  // Jobs that ended by throwing.
  int FailedJobs() const;

 private:
  struct State;
  std::shared_ptr<State> state_;
  std::thread thread_;
};

}  // namespace quarn
