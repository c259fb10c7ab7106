#include "win_driver_channel.h"

#include "wide.h"

namespace quarn {

WinDriverChannel::WinDriverChannel(std::u16string devicePath)
    : path_(ToWide(devicePath)), cancel_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}

WinDriverChannel::~WinDriverChannel() {
  CloseWrite();
  CloseRead();
  if (cancel_ != nullptr) CloseHandle(cancel_);
}

HANDLE WinDriverChannel::Open(bool overlapped) {
  return CreateFileW(path_.c_str(), GENERIC_READ | GENERIC_WRITE,
                     FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL | (overlapped ? FILE_FLAG_OVERLAPPED : 0), nullptr);
}

bool WinDriverChannel::OpenWrite() {
  if (write_ == INVALID_HANDLE_VALUE) write_ = Open(false);
  return write_ != INVALID_HANDLE_VALUE;
}

void WinDriverChannel::CloseWrite() {
  if (write_ != INVALID_HANDLE_VALUE) CloseHandle(write_);
  write_ = INVALID_HANDLE_VALUE;
}

std::uint32_t WinDriverChannel::Control(std::uint32_t code, const std::uint8_t* in,
                                        std::uint32_t inSize, std::uint8_t* out,
                                        std::uint32_t outSize) {
  if (write_ == INVALID_HANDLE_VALUE) return ERROR_NOT_READY;
  DWORD bytes = 0;
  if (DeviceIoControl(write_, code, const_cast<std::uint8_t*>(in), inSize, out, outSize, &bytes,
                      nullptr))
    return 0;
  const DWORD error = GetLastError();
  return error != 0 ? error : ERROR_GEN_FAILURE;
}

bool WinDriverChannel::OpenRead() {
  if (cancel_ == nullptr) return false;
  if (read_ == INVALID_HANDLE_VALUE) read_ = Open(true);
  if (read_ != INVALID_HANDLE_VALUE) ResetEvent(cancel_);
  return read_ != INVALID_HANDLE_VALUE;
}

void WinDriverChannel::CloseRead() {
  if (read_ != INVALID_HANDLE_VALUE) CloseHandle(read_);
  read_ = INVALID_HANDLE_VALUE;
}

ChannelRead WinDriverChannel::Read(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                                   std::uint8_t* out, std::uint32_t outSize) {
  if (read_ == INVALID_HANDLE_VALUE) return {ERROR_INVALID_HANDLE, 0};
  if (WaitForSingleObject(cancel_, 0) == WAIT_OBJECT_0) return {ERROR_OPERATION_ABORTED, 0};
  HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
  if (done == nullptr) return {GetLastError(), 0};
  OVERLAPPED ovl{};
  ovl.hEvent = done;
  DWORD bytes = 0;
  ChannelRead r;
  if (DeviceIoControl(read_, code, const_cast<std::uint8_t*>(in), inSize, out, outSize, &bytes,
                      &ovl)) {
    r.bytes = bytes;
  } else if (GetLastError() != ERROR_IO_PENDING) {
    r.error = GetLastError();
  } else {
    HANDLE waits[2] = {done, cancel_};
    const DWORD w = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (w != WAIT_OBJECT_0) CancelIoEx(read_, &ovl);
    // Waits for the completion (also of a cancelled read): the system may
    // write into `out` and `ovl` until then.
    if (GetOverlappedResult(read_, &ovl, &bytes, TRUE)) {
      r.bytes = bytes;
      if (w != WAIT_OBJECT_0) r.error = ERROR_OPERATION_ABORTED;
    } else {
      r.error = GetLastError();
      if (r.error == 0) r.error = ERROR_GEN_FAILURE;
    }
  }
  CloseHandle(done);
  return r;
}

void WinDriverChannel::CancelReads() {
  if (cancel_ != nullptr) SetEvent(cancel_);
}

}  // namespace quarn
