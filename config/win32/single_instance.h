// One instance of a program per session: a named mutex, created in one call
// that also tells whether it existed, owned while the program runs.
#pragma once

#include <memory>
#include <string_view>

namespace quarn {

class SingleInstance {
 public:
  // Null when another instance holds the name, or the mutex cannot be made.
  static std::unique_ptr<SingleInstance> Acquire(std::u16string_view name);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

 private:
  explicit SingleInstance(void* handle) : handle_(handle) {}
  void* handle_;
};

}  // namespace quarn
