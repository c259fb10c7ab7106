// The filter driver's control channel on Windows ("\\.\" + its device name):
// a synchronous write handle, and an overlapped read handle whose reads can be
// cancelled from another thread.
#pragma once

#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "driver_channel.h"

namespace quarn {

class WinDriverChannel : public DriverChannel {
 public:
  explicit WinDriverChannel(std::u16string devicePath);
  ~WinDriverChannel() override;
  WinDriverChannel(const WinDriverChannel&) = delete;
  WinDriverChannel& operator=(const WinDriverChannel&) = delete;

  bool OpenWrite() override;
  void CloseWrite() override;
  std::uint32_t Control(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                        std::uint8_t* out, std::uint32_t outSize) override;
  bool OpenRead() override;
  void CloseRead() override;
  ChannelRead Read(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                   std::uint8_t* out, std::uint32_t outSize) override;
  void CancelReads() override;

 private:
  HANDLE Open(bool overlapped);

  std::wstring path_;
  HANDLE write_ = INVALID_HANDLE_VALUE;
  HANDLE read_ = INVALID_HANDLE_VALUE;
  HANDLE cancel_ = nullptr;  // manual reset: set by CancelReads, cleared by OpenRead
};

}  // namespace quarn
