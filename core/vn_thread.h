// The one-shot worker: runs a callback once on a thread of its own, on a
// private copy of the caller's buffer, and returns to the caller at once. Each
// job owns its callback and its copy; a program that ends first waits a
// bounded time for the jobs still running.
#pragma once

#include <cstdint>
#include <functional>

// The callback may change its copy; the copy is freed when it returns.
using TThreadCallFunction = std::function<void(void* Buffer, std::uint32_t BufferSize)>;

class TvnThread {
 public:
  // Copies BufferSize bytes of Buffer and starts a worker that calls Func with
  // the copy. Size 0 does nothing (true). A null buffer with a size, or a worker
  // that cannot be started, runs nothing and gives false. Whatever the callback
  // throws stays on the worker.
  static bool ThreadCallFunction(TThreadCallFunction Func, const void* Buffer,
                                 std::uint32_t BufferSize);

  // Jobs started and not yet finished.
  static int OutstandingJobs();

  // Waits up to timeoutMs for every outstanding job to finish, calling `service`
  // (for example to handle messages sent to the waiting thread) at least every
  // few milliseconds. True when none is left.
  static bool WaitForOutstandingJobs(std::uint32_t timeoutMs,
                                     const std::function<void()>& service = {});
};
