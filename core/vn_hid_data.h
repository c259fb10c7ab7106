// The HID device link: finds every present HID interface whose top-level
// collection has a given usage page and usage (optionally only devices whose
// hardware IDs are listed in config.ini) and exchanges reports with each one:
// feature reports, output writes, a presence test, and input-report readers
// owned by the link. It knows nothing of the mouse's commands.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "hid_transport.h"
#include "shared_tables.h"

// One report buffer: ReportID and DATAReally are one contiguous 65,536-byte
// buffer, the report as the system reads or writes it. DATASIZE counts report
// bytes from ReportID on. 64 KB: keep it on the heap.
struct THidReallyData {
  std::uint8_t ReportID;
  std::uint8_t DATAReally[65535];
  std::uint32_t DATASIZE;
};
static_assert(sizeof(THidReallyData) == 65540);
static_assert(offsetof(THidReallyData, ReportID) == 0);
static_assert(offsetof(THidReallyData, DATAReally) == 1);
static_assert(offsetof(THidReallyData, DATASIZE) == 65536);

constexpr std::uint32_t kHidReportBufferSize = 65536;

struct THIDDataParam {
  USAGE_AND_PAGE UsageAndPage{};
  std::u16string DeviceID;  // read only by HidFindAndWriteDeviceBYHID
  THidReallyData Data{};
  // The handle of the interface being written by HidFindAndSetFeatureReport;
  // it is closed before that call returns.
  std::uintptr_t DeviceHandle = 0;
};

using TvnHIDDataReceived =
    std::function<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                       std::uint8_t ReportID, const void* Data, std::uint16_t Size)>;
using TvnHIDParsedDataReceived =
    std::function<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath,
                       std::uint8_t ReportID, std::uint32_t ButtonData)>;
using TvnHIDDeviceNotConnected =
    std::function<void(const std::u16string& ADeviceID, const std::u16string& ADevicePath)>;

class TvnHidDeviceReadThread;

class TvnHIDData {
 public:
  // `hidDeviceList`: accepted hardware IDs (config.ini's IncludeHIDDeviceList);
  // empty accepts every interface. `poster` delivers reader events to the
  // thread that owns the link; without one they run on the reader threads.
  TvnHIDData(quarn::HidTransport& transport, std::vector<std::u16string> hidDeviceList,
             quarn::MainThreadPoster* poster = nullptr);
  // Stops and joins every reader.
  ~TvnHIDData();
  TvnHIDData(const TvnHIDData&) = delete;
  TvnHIDData& operator=(const TvnHIDData&) = delete;

  // Set these before starting readers. FastOnData: deliver reports on the reader thread.
  bool FastOnData() const { return FFastOnData.load(); }
  void SetFastOnData(bool value) { FFastOnData.store(value); }
  TvnHIDDataReceived OnData;
  TvnHIDParsedDataReceived OnParsedData;
  TvnHIDDeviceNotConnected OnDeviceNotConnected;

  const std::vector<std::u16string>& HidDeviceList() const { return FHidDeviceList; }

  // Feature report of DATASIZE bytes to every qualifying interface (feature
  // length >= DATASIZE); the last one's result counts: 0 or the system error.
  // 1167 when none qualifies or the interfaces cannot be listed; 87 for a
  // DATASIZE of 0 or above 65,536 (nothing is opened).
  std::uint32_t HidFindAndSetFeatureReport(THIDDataParam& ReportData);
  // Reads a feature report of DATASIZE bytes (byte 0 = ReportID) into Data.
  std::uint32_t HidFindAndGetFeatureReport(THIDDataParam& ReportData);
  // Output report of DATASIZE + 1 bytes from ReportID on (output length >=
  // DATASIZE). Windows expects exactly the output length. True when a whole
  // write succeeded.
  bool HidFindAndWriteDevice(const THIDDataParam& ReportData);
  // Output report of DATASIZE bytes; ignores the hardware-ID list and, unless
  // DeviceID is "" or "*", writes only to interfaces with that hardware ID.
  bool HidFindAndWriteDeviceBYHID(const THIDDataParam& ReportData);
  // True when some interface has the collection (every interface is visited).
  bool IsDeviceExist(const THIDDataParam& ReportData);
  // Several feature reports after one search: each qualifying interface gets
  // them in order, as the same number of HidFindAndSetFeatureReport calls would
  // send them. One result per report; an invalid report is refused (87) and
  // then nothing at all is sent.
  std::vector<std::uint32_t> HidFindAndSetFeatureReports(
      USAGE_AND_PAGE UsageAndPage, const std::vector<std::vector<std::uint8_t>>& reports);

  // Starts one reader per qualifying interface (HIDID is not used).
  void HidFindAndReadDevice(USAGE_AND_PAGE UsageAndPage, std::u16string_view HIDID);
  // Stops every reader: its pending read is cancelled and has completed, and
  // its thread has ended, when this returns.
  void HidStopRead();
  // Readers started and not yet stopped or ended by themselves.
  int RunningReaders() const;

 private:
  friend class TvnHidDeviceReadThread;

  enum class LengthTest { None, Feature, Output };
  struct SearchRule {
    USAGE_AND_PAGE usageAndPage{};
    bool useDeviceList = true;
    std::u16string_view onlyHardwareId;  // empty: any
    bool overlapped = false;
    LengthTest lengthTest = LengthTest::None;
    std::uint32_t length = 0;
  };
  // The interfaces of one collection whose feature reports hold `size` bytes.
  static SearchRule FeatureRule(const USAGE_AND_PAGE& usageAndPage, std::uint32_t size);
  using Action =
      std::function<void(std::unique_ptr<quarn::HidDevice>& device,
                         const quarn::HidInterfaceInfo& info, const quarn::HidCaps& caps)>;
  // False when the interface set could not be obtained.
  bool Search(const SearchRule& rule, const Action& act);
  bool Accepted(const quarn::HidInterfaceInfo& info, const SearchRule& rule) const;
  bool WriteOutput(const THIDDataParam& ReportData, bool byHardwareId);
  void ReapEndedReaders();
  // Runs reader events where they belong: on the owner's thread when there is
  // a poster and FastOnData is off, else at once.
  void Deliver(std::function<void()> work);

  quarn::HidTransport& transport_;
  std::vector<std::u16string> FHidDeviceList;
  quarn::MainThreadPoster* poster_;
  std::atomic<bool> FFastOnData{false};
  // Posted work checks this on the owner's thread before touching the link.
  std::shared_ptr<TvnHIDData*> alive_;
  mutable std::mutex readersMutex_;
  std::vector<std::unique_ptr<TvnHidDeviceReadThread>> readers_;
};
