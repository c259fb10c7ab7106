// The seam under the filter driver's control channel: a write handle for
// synchronous control calls and an overlapped read handle for the readers.
// The Win32 adapter opens "\\.\" + the driver's device name; tests use fakes.
#pragma once

#include <cstdint>

namespace quarn {

struct ChannelRead {
  std::uint32_t error = 0;  // 0: the read completed
  std::uint32_t bytes = 0;  // of a completed read
};

class DriverChannel {
 public:
  virtual ~DriverChannel() = default;
  // Opens the write handle when it is closed; true when it is open.
  virtual bool OpenWrite() = 0;
  virtual void CloseWrite() = 0;
  // One control call on the write handle; 0 on success, else the system's error.
  virtual std::uint32_t Control(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                                std::uint8_t* out, std::uint32_t outSize) = 0;
  // Opens the overlapped read handle when it is closed; true when it is open.
  // Opening it also clears an earlier CancelReads.
  virtual bool OpenRead() = 0;
  virtual void CloseRead() = 0;
  // One control-code read on the read handle. Blocks until it completes, fails
  // or is cancelled, and never returns while the system may still write into
  // `out`. Called by one reader at a time.
  virtual ChannelRead Read(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                           std::uint8_t* out, std::uint32_t outSize) = 0;
  // From any thread: ends a pending read and every later one (error 995)
  // until the read handle is opened again.
  virtual void CancelReads() = 0;
};

}  // namespace quarn
