#include "win_hid_transport.h"

#include <hidsdi.h>
// After hidsdi.h, which declares the types it uses.
#include <hidpi.h>

#include <cstddef>
#include <cstring>

#include "multi_string.h"
#include "system_library.h"
#include "wide.h"

namespace quarn {

// The system's own sizes: the 32-bit layouts differ from the 64-bit ones, and
// 64-bit Windows refuses a detail record with the 32-bit size.
static_assert(sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W) == (sizeof(void*) == 8 ? 8 : 6));
static_assert(sizeof(SP_DEVINFO_DATA) == (sizeof(void*) == 8 ? 32 : 28));
static_assert(sizeof(SP_DEVICE_INTERFACE_DATA) == (sizeof(void*) == 8 ? 32 : 28));
static_assert(sizeof(HIDD_ATTRIBUTES) == 12);
static_assert(sizeof(HIDP_CAPS) == 64);

struct HidSystemApi {
  decltype(&SetupDiGetClassDevsW) GetClassDevs = nullptr;
  decltype(&SetupDiEnumDeviceInterfaces) EnumDeviceInterfaces = nullptr;
  decltype(&SetupDiGetDeviceInterfaceDetailW) GetDeviceInterfaceDetail = nullptr;
  decltype(&SetupDiGetDeviceRegistryPropertyW) GetDeviceRegistryProperty = nullptr;
  decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
  decltype(&HidD_GetHidGuid) GetHidGuid = nullptr;
  decltype(&HidD_GetAttributes) GetAttributes = nullptr;
  decltype(&HidD_GetPreparsedData) GetPreparsedData = nullptr;
  decltype(&HidD_FreePreparsedData) FreePreparsedData = nullptr;
  decltype(&HidP_GetCaps) GetCaps = nullptr;
  decltype(&HidD_SetFeature) SetFeature = nullptr;
  decltype(&HidD_GetFeature) GetFeature = nullptr;
  decltype(&HidP_MaxUsageListLength) MaxUsageListLength = nullptr;
  decltype(&HidP_GetUsagesEx) GetUsagesEx = nullptr;
  bool loaded = false;
  GUID hidGuid{0x4D1E55B2, 0xF16F, 0x11CF, {0x88, 0xCB, 0x00, 0x11, 0x11, 0x00, 0x00, 0x30}};

  // Loaded once for the program and kept: readers may still use them at exit.
  static const HidSystemApi& Get() {
    static const HidSystemApi* api = new HidSystemApi(Load());
    return *api;
  }

 private:
  static HidSystemApi Load() {
    HidSystemApi a;
    HMODULE setup = LoadSystemLibrary(L"setupapi.dll");
    HMODULE hid = setup ? LoadSystemLibrary(L"hid.dll") : nullptr;
    if (!setup || !hid) return a;
    bool ok = true;
    BindSystemFunction(setup, "SetupDiGetClassDevsW", a.GetClassDevs, ok);
    BindSystemFunction(setup, "SetupDiEnumDeviceInterfaces", a.EnumDeviceInterfaces, ok);
    BindSystemFunction(setup, "SetupDiGetDeviceInterfaceDetailW", a.GetDeviceInterfaceDetail, ok);
    BindSystemFunction(setup, "SetupDiGetDeviceRegistryPropertyW", a.GetDeviceRegistryProperty, ok);
    BindSystemFunction(setup, "SetupDiDestroyDeviceInfoList", a.DestroyDeviceInfoList, ok);
    BindSystemFunction(hid, "HidD_GetHidGuid", a.GetHidGuid, ok);
    BindSystemFunction(hid, "HidD_GetAttributes", a.GetAttributes, ok);
    BindSystemFunction(hid, "HidD_GetPreparsedData", a.GetPreparsedData, ok);
    BindSystemFunction(hid, "HidD_FreePreparsedData", a.FreePreparsedData, ok);
    BindSystemFunction(hid, "HidP_GetCaps", a.GetCaps, ok);
    BindSystemFunction(hid, "HidD_SetFeature", a.SetFeature, ok);
    BindSystemFunction(hid, "HidD_GetFeature", a.GetFeature, ok);
    BindSystemFunction(hid, "HidP_MaxUsageListLength", a.MaxUsageListLength, ok);
    BindSystemFunction(hid, "HidP_GetUsagesEx", a.GetUsagesEx, ok);
    a.loaded = ok;
    if (ok) a.GetHidGuid(&a.hidGuid);
    return a;
  }
};

namespace {

class DeviceInfoList {
 public:
  DeviceInfoList(const HidSystemApi& api, HDEVINFO set) : api_(api), set_(set) {}
  ~DeviceInfoList() {
    if (set_ != INVALID_HANDLE_VALUE) api_.DestroyDeviceInfoList(set_);
  }
  DeviceInfoList(const DeviceInfoList&) = delete;
  DeviceInfoList& operator=(const DeviceInfoList&) = delete;
  HDEVINFO get() const { return set_; }

 private:
  const HidSystemApi& api_;
  HDEVINFO set_;
};

class Event {
 public:
  Event() : h_(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~Event() {
    if (h_) CloseHandle(h_);
  }
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;
  HANDLE get() const { return h_; }

 private:
  HANDLE h_;
};

// A failure whose error code was lost is still a failure.
std::uint32_t LastErrorOrFailure() {
  const DWORD e = GetLastError();
  return e != 0 ? e : ERROR_GEN_FAILURE;
}

class WinHidDevice : public HidDevice {
 public:
  WinHidDevice(const HidSystemApi& api, HANDLE handle, bool overlapped)
      : api_(api), handle_(handle), overlapped_(overlapped) {}
  ~WinHidDevice() override {
    if (preparsed_) api_.FreePreparsedData(preparsed_);
    CloseHandle(handle_);
  }
  WinHidDevice(const WinHidDevice&) = delete;
  WinHidDevice& operator=(const WinHidDevice&) = delete;

  bool GetAttributes() override {
    HIDD_ATTRIBUTES a{};
    a.Size = sizeof a;
    return api_.GetAttributes(handle_, &a);
  }
  bool LoadPreparsedData() override {
    return preparsed_ != nullptr || api_.GetPreparsedData(handle_, &preparsed_);
  }
  bool GetCaps(HidCaps& caps) override {
    if (!preparsed_) return false;
    HIDP_CAPS c{};
    if (api_.GetCaps(preparsed_, &c) != HIDP_STATUS_SUCCESS) return false;
    caps.Usage = c.Usage;
    caps.UsagePage = c.UsagePage;
    caps.InputReportByteLength = c.InputReportByteLength;
    caps.OutputReportByteLength = c.OutputReportByteLength;
    caps.FeatureReportByteLength = c.FeatureReportByteLength;
    return true;
  }
  std::uintptr_t NativeHandle() const override { return reinterpret_cast<std::uintptr_t>(handle_); }

  std::uint32_t SetFeature(const std::uint8_t* report, std::uint32_t size) override {
    SetLastError(0);
    if (api_.SetFeature(handle_, const_cast<std::uint8_t*>(report), size)) return 0;
    return LastErrorOrFailure();
  }
  std::uint32_t GetFeature(std::uint8_t* report, std::uint32_t size) override {
    SetLastError(0);
    if (api_.GetFeature(handle_, report, size)) return 0;
    return LastErrorOrFailure();
  }
  std::uint32_t Write(const std::uint8_t* data, std::uint32_t size,
                      std::uint32_t& written) override {
    DWORD n = 0;
    SetLastError(0);
    if (!overlapped_) {
      if (!WriteFile(handle_, data, size, &n, nullptr)) return LastErrorOrFailure();
      written = n;
      return 0;
    }
    OVERLAPPED ov{};
    ov.hEvent = writeEvent_.get();
    ResetEvent(ov.hEvent);
    if (!WriteFile(handle_, data, size, nullptr, &ov) && GetLastError() != ERROR_IO_PENDING)
      return LastErrorOrFailure();
    if (!GetOverlappedResult(handle_, &ov, &n, TRUE)) return LastErrorOrFailure();
    written = n;
    return 0;
  }

  HidReadResult Read(std::uint8_t* buffer, std::uint32_t size) override {
    if (!overlapped_ || !readEvent_.get() || !cancelEvent_.get())
      return {ERROR_INVALID_HANDLE, 0, false};
    if (WaitForSingleObject(cancelEvent_.get(), 0) == WAIT_OBJECT_0)
      return {ERROR_OPERATION_ABORTED, 0, true};
    OVERLAPPED ov{};
    ov.hEvent = readEvent_.get();
    ResetEvent(ov.hEvent);
    if (!ReadFile(handle_, buffer, size, nullptr, &ov)) {
      const DWORD e = GetLastError();
      if (e != ERROR_IO_PENDING) return {e != 0 ? e : ERROR_GEN_FAILURE, 0, false};
    }
    HANDLE waits[2] = {readEvent_.get(), cancelEvent_.get()};
    if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0)
      CancelIoEx(handle_, &ov);
    // Waits for the read to complete, cancelled or not: the buffer is free after this.
    DWORD n = 0;
    if (!GetOverlappedResult(handle_, &ov, &n, TRUE)) return {LastErrorOrFailure(), 0, true};
    return {0, n, true};
  }
  void CancelRead() override {
    if (cancelEvent_.get()) SetEvent(cancelEvent_.get());
  }

  std::uint32_t MaxUsageListLength() override {
    return preparsed_ ? api_.MaxUsageListLength(HidP_Input, 0, preparsed_) : 0;
  }
  bool GetUsages(const std::uint8_t* report, std::uint32_t size, std::uint32_t maxCount,
                 std::vector<std::uint16_t>& usages) override {
    if (!preparsed_ || maxCount == 0) return false;
    std::vector<USAGE_AND_PAGE> list(maxCount);
    ULONG n = maxCount;
    if (api_.GetUsagesEx(HidP_Input, 0, list.data(), &n, preparsed_,
                         reinterpret_cast<PCHAR>(const_cast<std::uint8_t*>(report)),
                         size) != HIDP_STATUS_SUCCESS)
      return false;
    usages.clear();
    for (ULONG i = 0; i < n && i < maxCount; ++i) usages.push_back(list[i].Usage);
    return true;
  }

 private:
  const HidSystemApi& api_;
  HANDLE handle_;
  bool overlapped_;
  PHIDP_PREPARSED_DATA preparsed_ = nullptr;
  Event readEvent_;
  Event writeEvent_;
  Event cancelEvent_;
};

}  // namespace

std::vector<std::u16string> GetDeviceRegistryPropertyList(HDEVINFO DeviceInfoSet,
                                                          SP_DEVINFO_DATA* DeviceInfoData,
                                                          DWORD Property) {
  const HidSystemApi& api = HidSystemApi::Get();
  if (!api.loaded) return {};
  std::vector<std::uint8_t> buffer(kMaxDevicePropertyBytes);
  DWORD type = 0;
  DWORD needed = 0;
  if (!api.GetDeviceRegistryProperty(DeviceInfoSet, DeviceInfoData, Property, &type, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &needed))
    return {};
  return ParseMultiString(buffer.data(), std::min<std::size_t>(needed, buffer.size()));
}

WinHidTransport::WinHidTransport() : api_(&HidSystemApi::Get()) {}

bool WinHidTransport::LibrariesLoaded() const {
  return api_->loaded;
}

GUID WinHidTransport::HidGuid() const {
  return api_->hidGuid;
}

bool WinHidTransport::EnumerateInterfaces(std::vector<HidInterfaceInfo>& interfaces) {
  if (!api_->loaded) return false;
  GUID guid = api_->hidGuid;
  DeviceInfoList set(
      *api_, api_->GetClassDevs(&guid, nullptr, nullptr, DIGCF_PRESENT | DIGCF_DEVICEINTERFACE));
  if (set.get() == INVALID_HANDLE_VALUE) return false;
  for (DWORD index = 0;; ++index) {
    SP_DEVICE_INTERFACE_DATA data{};
    data.cbSize = sizeof data;
    if (!api_->EnumDeviceInterfaces(set.get(), nullptr, &guid, index, &data)) break;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    DWORD required = 0;
    SetLastError(0);
    api_->GetDeviceInterfaceDetail(set.get(), &data, nullptr, 0, &required, &device);
    if (required == 0 || GetLastError() != ERROR_INSUFFICIENT_BUFFER) continue;
    if (required < sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W)) continue;
    // Aligned storage for the variable-length record.
    std::vector<std::uint64_t> storage((required + sizeof(std::uint64_t) - 1) /
                                       sizeof(std::uint64_t));
    auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(storage.data());
    detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
    if (!api_->GetDeviceInterfaceDetail(set.get(), &data, detail, required, nullptr, nullptr))
      continue;
    const std::size_t maxChars =
        (required - offsetof(SP_DEVICE_INTERFACE_DETAIL_DATA_W, DevicePath)) / sizeof(wchar_t);
    const std::size_t length = wcsnlen(detail->DevicePath, maxChars);
    if (length == 0) continue;
    HidInterfaceInfo info;
    info.path = FromWide(std::wstring_view(detail->DevicePath, length));
    info.hardwareIds = GetDeviceRegistryPropertyList(set.get(), &device, SPDRP_HARDWAREID);
    interfaces.push_back(std::move(info));
  }
  return true;
}

std::unique_ptr<HidDevice> WinHidTransport::Open(const std::u16string& path, bool overlapped) {
  if (!api_->loaded) return nullptr;
  HANDLE h = CreateFileW(ToWide(path).c_str(), GENERIC_READ | GENERIC_WRITE,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL | (overlapped ? FILE_FLAG_OVERLAPPED : 0), nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WinHidDevice>(*api_, h, overlapped);
}

}  // namespace quarn
