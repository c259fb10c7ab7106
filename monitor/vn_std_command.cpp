#include "vn_std_command.h"

#include <cstring>

using quarn::EqualsIgnoreCase;

namespace {

std::u16string UpperAscii(std::u16string s) {
  for (auto& c : s)
    if (c >= u'a' && c <= u'z') c = char16_t(c - 32);
  return s;
}

}  // namespace

TvnSTDCommand::TvnSTDCommand(const quarn::IniFile& config, quarn::StdCommandSystem system)
    : FSystem(system) {
  FSystem.timer.Disable();
  FHidDeviceList = quarn::ReadIdList(config, u"devicelist");
  FUsbDeviceList = quarn::ReadIdList(config, u"usbdevicelist");
  FDriverInfo = quarn::ReadDriverPackageConfig(config);
  // A name such as "C:" or "..\x" would open something else than the driver.
  FChannelAvailable = quarn::IsPlainName(FDriverInfo.DeviceName);
  FDevicePath = u"\\\\.\\" + FDriverInfo.DeviceName;
}

TvnSTDCommand::~TvnSTDCommand() {
  FSystem.timer.Disable();
  StopReaders();
  FSystem.channel.CloseWrite();
}

std::uint32_t TvnSTDCommand::DeviceRW(std::uint8_t* Buffer, std::int32_t Count,
                                      std::uint32_t IoControlCode) {
  if (Count < 0 || (Count > 0 && Buffer == nullptr)) return kErrorInvalidParameter;
  if (!FChannelAvailable || !FSystem.channel.OpenWrite()) return kErrorNotReady;
  const auto size = static_cast<std::uint32_t>(Count);
  const std::uint32_t r = FSystem.channel.Control(IoControlCode, Buffer, size, Buffer, size);
  FSystem.channel.CloseWrite();
  return r;
}

bool TvnSTDCommand::SetDeviceInitData(const std::uint8_t* DeviceInitData,
                                      std::uint32_t DeviceInitDataSize,
                                      std::uint32_t DeviceInitIoControlCode,
                                      std::uint32_t ReadIoControlCode,
                                      std::int32_t AInputReportLength,
                                      std::int32_t AOutputReportLength) {
  if (DeviceInitDataSize == 0) return true;
  if (DeviceInitData == nullptr) return false;
  constexpr auto kMax = static_cast<std::int32_t>(kReaderBufferSize);
  if (AInputReportLength < 0 || AInputReportLength > kMax || AOutputReportLength < 0 ||
      AOutputReportLength > kMax)
    return false;
  FDeviceInitData.assign(DeviceInitData, DeviceInitData + DeviceInitDataSize);
  FDeviceDataInitIOCode = DeviceInitIoControlCode;
  FReadIOCode = ReadIoControlCode;
  FInputReportLength = static_cast<std::uint32_t>(AInputReportLength);
  FOutputReportLength = static_cast<std::uint32_t>(AOutputReportLength);
  return true;
}

std::uint32_t TvnSTDCommand::SetMonitorData() {
  if (FDeviceInitData.empty()) return kErrorNotReady;
  // The driver's reply goes into a scratch copy: the kept data stays what was given.
  std::vector<std::uint8_t> scratch = FDeviceInitData;
  return DeviceRW(scratch.data(), static_cast<std::int32_t>(scratch.size()), FDeviceDataInitIOCode);
}

std::uint32_t TvnSTDCommand::SetMonitorData(const std::uint8_t* DeviceInitData,
                                            std::uint32_t DeviceInitDataSize,
                                            std::uint32_t DeviceInitIoControlCode,
                                            std::uint32_t ReadIoControlCode,
                                            std::int32_t AInputReportLength,
                                            std::int32_t AOutputReportLength) {
  if (!SetDeviceInitData(DeviceInitData, DeviceInitDataSize, DeviceInitIoControlCode,
                         ReadIoControlCode, AInputReportLength, AOutputReportLength))
    return kErrorInvalidParameter;
  return SetMonitorData();
}

void TvnSTDCommand::StopReaders() {
  {
    std::lock_guard<std::mutex> lock(FTurnMutex);
    FStop = true;
  }
  FTurnChanged.notify_all();
  FSystem.channel.CancelReads();
  for (auto& reader : FReaders)
    if (reader.joinable()) reader.join();
  // Only now, with no read left on it, the handle goes.
  FSystem.channel.CloseRead();
  FActive = false;
}

void TvnSTDCommand::SetMonitorActive(bool Start) {
  if (FDeviceInitData.empty()) return;
  if (FActive || FReaders[0].joinable() || FReaders[1].joinable()) StopReaders();
  if (!Start || !FChannelAvailable || !FSystem.channel.OpenRead()) return;
  FActive = true;
  SetMonitorData();
  {
    std::lock_guard<std::mutex> lock(FTurnMutex);
    FStop = false;
    FTurn[0] = true;
    FTurn[1] = false;
  }
  for (int i = 0; i < 2; ++i) FReaders[i] = std::thread([this, i] { ReaderRun(i); });
}

void TvnSTDCommand::ReaderRun(int index) {
  // Copies taken while the channel was stopped: the main thread may change its own.
  const std::uint32_t code = FReadIOCode;
  const std::uint32_t inLen = FInputReportLength;
  const std::uint32_t outLen = FOutputReportLength;
  std::vector<std::uint8_t> in(kReaderBufferSize, 0);
  std::vector<std::uint8_t> out(kReaderBufferSize, 0);
  for (;;) {
    {
      std::unique_lock<std::mutex> lock(FTurnMutex);
      FTurnChanged.wait(lock, [&] { return FStop || FTurn[index]; });
      if (FStop) return;
      FTurn[index] = false;
    }
    const quarn::ChannelRead r = FSystem.channel.Read(code, in.data(), inLen, out.data(), outLen);
    if (r.error != 0) return;
    {
      std::lock_guard<std::mutex> lock(FTurnMutex);
      FTurn[1 - index] = true;
    }
    FTurnChanged.notify_all();
    if (r.bytes > 0 && OnDataReceived) {
      try {
        OnDataReceived(out.data(), r.bytes < outLen ? r.bytes : outLen);
      } catch (...) {
        // No exception leaves a reader thread.
      }
    }
  }
}

bool TvnSTDCommand::CanOpenDevice() {
  if (!FChannelAvailable || !FSystem.channel.OpenWrite()) return false;
  FSystem.channel.CloseWrite();
  return true;
}

bool TvnSTDCommand::HardwareIdsInConfigHidList(const std::vector<std::u16string>& ids) const {
  return quarn::AnyIdInList(ids, FHidDeviceList);
}

bool TvnSTDCommand::HardwareIdsInConfigUsbList(const std::vector<std::u16string>& ids) const {
  return quarn::AnyIdInList(ids, FUsbDeviceList);
}

bool TvnSTDCommand::IsHIDDeviceExist() {
  std::vector<quarn::SetupDevice> devices;
  if (!FSystem.setup.Enumerate(devices)) return false;
  for (const auto& d : devices)
    if (HardwareIdsInConfigHidList(d.hardwareIds)) return true;
  return false;
}

bool TvnSTDCommand::ISHIDDeviceExist(const std::u16string& VidPid) {
  std::vector<quarn::SetupDevice> devices;
  if (!FSystem.setup.Enumerate(devices)) return false;
  const std::u16string wanted = UpperAscii(VidPid);
  for (const auto& d : devices)
    for (const auto& id : d.hardwareIds)
      if (UpperAscii(id) == wanted) return true;
  return false;
}

quarn::DriverInstallResult TvnSTDCommand::HidInstallDriver(bool Install,
                                                           const quarn::DriverInstallSystem& sys) {
  return quarn::HidInstallDriver(Install, FDriverInfo, FUsbDeviceList, sys);
}

void TvnSTDCommand::HIDEventDeviceArrival(void* Sender) {
  if (OnDeviceArrialEvent) OnDeviceArrialEvent(Sender);
  FSystem.timer.Disable();
  FSystem.timer.Restart(kStartDelayMs, [this] { TimerToStartMonitorTimer(); });
}

void TvnSTDCommand::HIDEventDeviceRemove(void* Sender) {
  if (OnDeviceRemovalEvent) OnDeviceRemovalEvent(Sender);
  // The readers stop before their handle is closed.
  StopReaders();
  FSystem.timer.Disable();
  FSystem.timer.Restart(kStartDelayMs, [this] { TimerToStartMonitorTimer(); });
}

void TvnSTDCommand::TimerToStartMonitorTimer() {
  FSystem.timer.Disable();
  StartMonitorDevice();
}
