// The monitor program as the configuration window reaches it: its window is
// looked up by class immediately before every call, a message is sent with a
// time-out so that a hung monitor never holds the window, and a missing
// monitor is started by full path without any error box.
#pragma once

#include <cstdint>
#include <string>

#include "config_seams.h"

namespace quarn {

class WinMonitorLink final : public MonitorLink {
 public:
  static constexpr std::uint32_t kDefaultTimeoutMs = 5000;

  // `programFolder` ends with a backslash; the monitor's class and file name
  // are those of the shipped programs unless given.
  explicit WinMonitorLink(std::u16string programFolder,
                          std::uint32_t timeoutMs = kDefaultTimeoutMs);
  WinMonitorLink(std::u16string programFolder, std::u16string className, std::u16string exeName,
                 std::uint32_t timeoutMs);

  bool ActivateMonitor() override;
  bool StartMonitor() override;
  bool SendToMonitor(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) override;

 private:
  std::u16string folder_;
  std::u16string className_;
  std::u16string exeName_;
  std::uint32_t timeoutMs_;
};

}  // namespace quarn
