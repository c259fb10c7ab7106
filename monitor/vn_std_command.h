// The driver support component: the device lists and driver settings of
// config.ini, the control channel to the filter driver with its two readers
// that take turns, queries for present HID devices, and the filter driver's
// installation. Portable over the channel, device-setup and timer seams; the
// monitor's Win32 side feeds it the notifier's arrivals and removals.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "config_ini.h"
#include "driver_channel.h"
#include "driver_install.h"
#include "ini_file.h"

namespace quarn {

// A restartable one-shot timer of the main thread.
class StartTimer {
 public:
  virtual ~StartTimer() = default;
  // (Re)arms the timer; `fire` runs on the main thread when it elapses.
  virtual void Restart(std::uint32_t milliseconds, std::function<void()> fire) = 0;
  virtual void Disable() = 0;
};

struct StdCommandSystem {
  DriverChannel& channel;
  DeviceSetup& setup;
  StartTimer& timer;
};

}  // namespace quarn

using TDriverInfo = quarn::DriverPackageConfig;
using TDataReceivedEvent =
    std::function<void(const std::uint8_t* Buffer, std::uint32_t BufferSize)>;
using TSenderEvent = std::function<void(void* Sender)>;

class TvnSTDCommand {
 public:
  static constexpr std::uint32_t kReaderBufferSize = 10241;
  static constexpr std::uint32_t kStartDelayMs = 1500;
  static constexpr std::uint32_t kErrorNotReady = 21;
  static constexpr std::uint32_t kErrorInvalidParameter = 87;

  TvnSTDCommand(const quarn::IniFile& config, quarn::StdCommandSystem system);
  ~TvnSTDCommand();
  TvnSTDCommand(const TvnSTDCommand&) = delete;
  TvnSTDCommand& operator=(const TvnSTDCommand&) = delete;

  TSenderEvent OnDeviceArrialEvent;
  TSenderEvent OnDeviceRemovalEvent;
  // Raised on a reader thread.
  TDataReceivedEvent OnDataReceived;

  // One control call with Buffer as input and output: 0 on success, 21 when
  // the channel cannot be opened, 87 for a negative Count, else the error.
  std::uint32_t DeviceRW(std::uint8_t* Buffer, std::int32_t Count, std::uint32_t IoControlCode);
  // Keeps a copy of the initialisation data and the codes and lengths. Size 0
  // changes nothing; lengths outside 0..10241 are refused (false), keeping the previous data.
  bool SetDeviceInitData(const std::uint8_t* DeviceInitData, std::uint32_t DeviceInitDataSize,
                         std::uint32_t DeviceInitIoControlCode, std::uint32_t ReadIoControlCode,
                         std::int32_t AInputReportLength, std::int32_t AOutputReportLength);
  // Sends the kept initialisation data again (0, or DeviceRW's error; 21 with none kept).
  std::uint32_t SetMonitorData();
  std::uint32_t SetMonitorData(const std::uint8_t* DeviceInitData, std::uint32_t DeviceInitDataSize,
                               std::uint32_t DeviceInitIoControlCode,
                               std::uint32_t ReadIoControlCode, std::int32_t AInputReportLength,
                               std::int32_t AOutputReportLength);
  void StartMonitorDevice() { SetMonitorActive(true); }
  void StopMonitorDevice() { SetMonitorActive(false); }

  const std::vector<std::u16string>& GetHIDDeviceList() const { return FHidDeviceList; }
  const std::vector<std::u16string>& GetUSBDeviceList() const { return FUsbDeviceList; }
  bool HardwareIdsInConfigHidList(const std::vector<std::u16string>& strHardwareIDs) const;
  bool HardwareIdsInConfigUsbList(const std::vector<std::u16string>& strHardwareIDs) const;
  bool IsHIDDeviceExist();
  bool ISHIDDeviceExist(const std::u16string& VidPid);
  quarn::DriverInstallResult HidInstallDriver(bool Install, const quarn::DriverInstallSystem& sys);

  const TDriverInfo& DriverInfo() const { return FDriverInfo; }
  const std::u16string& DevicePath() const { return FDevicePath; }
  // DeviceName is a plain name: the channel may be opened at all.
  bool ChannelAvailable() const { return FChannelAvailable; }
  bool Active() const { return FActive; }
  bool CanOpenDevice();

  // From the arrival notifier (main thread).
  void HIDEventDeviceArrival(void* Sender);
  void HIDEventDeviceRemove(void* Sender);
  void TimerToStartMonitorTimer();

 private:
  void SetMonitorActive(bool Start);
  // Stops both readers (stop flag, cancelled reads, joined), then closes the read handle.
  void StopReaders();
  void ReaderRun(int index);

  quarn::StdCommandSystem FSystem;
  TDriverInfo FDriverInfo;
  std::vector<std::u16string> FHidDeviceList;
  std::vector<std::u16string> FUsbDeviceList;
  std::u16string FDevicePath;
  bool FChannelAvailable = false;
  bool FActive = false;
  std::vector<std::uint8_t> FDeviceInitData;
  std::uint32_t FDeviceDataInitIOCode = 0;
  std::uint32_t FReadIOCode = 0;
  std::uint32_t FInputReportLength = 0;
  std::uint32_t FOutputReportLength = 0;

  // The readers' turns and the stop flag.
  std::mutex FTurnMutex;
  std::condition_variable FTurnChanged;
  bool FTurn[2] = {false, false};
  bool FStop = false;
  std::thread FReaders[2];
};
