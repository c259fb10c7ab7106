// The seam under the HID device link: listing the present HID interfaces and
// talking to one opened interface (capabilities, feature reports, output
// writes, input reads). The Win32 transport binds the system's device-setup and
// HID libraries; tests use a recording transport.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace quarn {

// Windows error codes the link reports.
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorInvalidParameter = 87;
constexpr std::uint32_t kErrorOperationAborted = 995;
constexpr std::uint32_t kErrorDeviceNotConnected = 1167;

struct HidInterfaceInfo {
  std::u16string path;
  std::vector<std::u16string> hardwareIds;  // in the system's order
};

// The top-level collection of an interface and its report lengths (report ID included).
struct HidCaps {
  std::uint16_t Usage = 0;
  std::uint16_t UsagePage = 0;
  std::uint16_t InputReportByteLength = 0;
  std::uint16_t OutputReportByteLength = 0;
  std::uint16_t FeatureReportByteLength = 0;
};

struct HidReadResult {
  std::uint32_t error = 0;      // 0: the read completed
  std::uint32_t bytesRead = 0;  // of a completed read
  bool started = true;          // false: the read could not even be started
};

// One opened interface. Closing it (destruction) releases its handle and its
// preparsed data.
class HidDevice {
 public:
  virtual ~HidDevice() = default;
  virtual bool GetAttributes() = 0;
  // Loads the collection's preparsed data, kept until the device is closed.
  virtual bool LoadPreparsedData() = 0;
  // Needs the preparsed data.
  virtual bool GetCaps(HidCaps& caps) = 0;
  // The system handle, for callers that want to know which interface is written.
  virtual std::uintptr_t NativeHandle() const = 0;

  // 0 on success, else the system's error code.
  virtual std::uint32_t SetFeature(const std::uint8_t* report, std::uint32_t size) = 0;
  // report[0] holds the report ID on entry; filled on success.
  virtual std::uint32_t GetFeature(std::uint8_t* report, std::uint32_t size) = 0;
  // A blocking output write; 0 with `written` set, else the error code.
  virtual std::uint32_t Write(const std::uint8_t* data, std::uint32_t size,
                              std::uint32_t& written) = 0;

  // Input reports, for a device opened for overlapped reading. Read blocks until
  // a report arrives, the read fails or CancelRead is called; it never returns
  // while the system may still write into `buffer`. CancelRead may be called from
  // any thread; it ends a pending read and every later one (error 995).
  virtual HidReadResult Read(std::uint8_t* buffer, std::uint32_t size) = 0;
  virtual void CancelRead() = 0;

  // Button usages: the most a report can list (0 when unknown), and the usages
  // on in `report` (at most `maxCount`). False when they cannot be read.
  virtual std::uint32_t MaxUsageListLength() = 0;
  virtual bool GetUsages(const std::uint8_t* report, std::uint32_t size, std::uint32_t maxCount,
                         std::vector<std::uint16_t>& usages) = 0;
};

class HidTransport {
 public:
  virtual ~HidTransport() = default;
  // False when the interface set cannot be obtained (also when the system's
  // libraries could not be loaded). Interfaces whose path cannot be read are left out.
  virtual bool EnumerateInterfaces(std::vector<HidInterfaceInfo>& interfaces) = 0;
  // Opens an interface for reading and writing; nullptr when it cannot be opened.
  virtual std::unique_ptr<HidDevice> Open(const std::u16string& path, bool overlapped) = 0;
};

// Delivers work to the thread that owns the link (the program's main thread).
// Post may be called from any thread and never waits for the work to run.
class MainThreadPoster {
 public:
  virtual ~MainThreadPoster() = default;
  virtual void Post(std::function<void()> work) = 0;
};

}  // namespace quarn
