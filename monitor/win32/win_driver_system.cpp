#include "win_driver_system.h"

#include <cfgmgr32.h>
#include <shellapi.h>

#include "module_path.h"
#include "multi_string.h"
#include "system_library.h"
#include "wide.h"

namespace quarn {

static_assert(sizeof(SP_CLASSINSTALL_HEADER) == 8);
static_assert(sizeof(SP_PROPCHANGE_PARAMS) == 20);
static_assert(sizeof(SP_DEVINFO_DATA) == (sizeof(void*) == 8 ? 32 : 28));

namespace {

// The device-setup functions, bound once from the system folder.
struct SetupApi {
  decltype(&SetupDiGetClassDevsW) GetClassDevs = nullptr;
  decltype(&SetupDiEnumDeviceInfo) EnumDeviceInfo = nullptr;
  decltype(&SetupDiGetDeviceInstanceIdW) GetDeviceInstanceId = nullptr;
  decltype(&SetupDiGetDeviceRegistryPropertyW) GetDeviceRegistryProperty = nullptr;
  decltype(&SetupDiSetDeviceRegistryPropertyW) SetDeviceRegistryProperty = nullptr;
  decltype(&SetupDiSetClassInstallParamsW) SetClassInstallParams = nullptr;
  decltype(&SetupDiCallClassInstaller) CallClassInstaller = nullptr;
  decltype(&SetupDiDestroyDeviceInfoList) DestroyDeviceInfoList = nullptr;
  bool loaded = false;

  static const SetupApi& Get() {
    static const SetupApi api = Load();
    return api;
  }

 private:
  static SetupApi Load() {
    SetupApi a;
    HMODULE m = LoadSystemLibrary(L"setupapi.dll");
    if (m == nullptr) return a;
    bool ok = true;
    BindSystemFunction(m, "SetupDiGetClassDevsW", a.GetClassDevs, ok);
    BindSystemFunction(m, "SetupDiEnumDeviceInfo", a.EnumDeviceInfo, ok);
    BindSystemFunction(m, "SetupDiGetDeviceInstanceIdW", a.GetDeviceInstanceId, ok);
    BindSystemFunction(m, "SetupDiGetDeviceRegistryPropertyW", a.GetDeviceRegistryProperty, ok);
    BindSystemFunction(m, "SetupDiSetDeviceRegistryPropertyW", a.SetDeviceRegistryProperty, ok);
    BindSystemFunction(m, "SetupDiSetClassInstallParamsW", a.SetClassInstallParams, ok);
    BindSystemFunction(m, "SetupDiCallClassInstaller", a.CallClassInstaller, ok);
    BindSystemFunction(m, "SetupDiDestroyDeviceInfoList", a.DestroyDeviceInfoList, ok);
    a.loaded = ok;
    return a;
  }
};

// The HID device setup class.
const GUID kHidSetupClass = {
    0x745A17A0, 0x74D3, 0x11D0, {0xB6, 0xFE, 0x00, 0xA0, 0xC9, 0x0F, 0x57, 0xDA}};

std::vector<std::u16string> ReadList(const SetupApi& api, HDEVINFO set, SP_DEVINFO_DATA* device,
                                     DWORD property) {
  std::vector<std::uint8_t> buffer(kMaxDevicePropertyBytes);
  DWORD type = 0;
  DWORD needed = 0;
  if (!api.GetDeviceRegistryProperty(set, device, property, &type, buffer.data(),
                                     static_cast<DWORD>(buffer.size()), &needed))
    return {};
  return ParseMultiString(buffer.data(), needed < buffer.size() ? needed : buffer.size());
}

typedef BOOL(WINAPI* IsWow64ProcessFn)(HANDLE, PBOOL);
typedef void(WINAPI* GetNativeSystemInfoFn)(LPSYSTEM_INFO);

HMODULE Kernel32() {
  if (HMODULE k = GetModuleHandleW(L"KERNEL32.DLL")) return k;
  return LoadLibraryW(L"KERNEL32.DLL");
}

template <typename T>
T Kernel32Function(const char* name) {
  HMODULE k = Kernel32();
  return k ? reinterpret_cast<T>(reinterpret_cast<void (*)()>(GetProcAddress(k, name))) : nullptr;
}

}  // namespace

void WaitServicingSentMessages(HANDLE handle, DWORD milliseconds) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    DWORD timeout = INFINITE;
    if (milliseconds != INFINITE) {
      const ULONGLONG spent = GetTickCount64() - start;
      if (spent >= milliseconds) return;
      timeout = static_cast<DWORD>(milliseconds - spent);
    }
    const DWORD r = MsgWaitForMultipleObjectsEx(handle ? 1 : 0, handle ? &handle : nullptr, timeout,
                                                QS_SENDMESSAGE, 0);
    if (handle && r == WAIT_OBJECT_0) return;
    if (r == WAIT_FAILED) return;
    // Delivers the messages sent to this thread (hook calls among them) only.
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
  }
}

WinDeviceSetup::WinDeviceSetup() = default;

WinDeviceSetup::~WinDeviceSetup() {
  Release();
}

void WinDeviceSetup::Release() {
  if (set_ != INVALID_HANDLE_VALUE) SetupApi::Get().DestroyDeviceInfoList(set_);
  set_ = INVALID_HANDLE_VALUE;
  devices_.clear();
}

bool WinDeviceSetup::Enumerate(std::vector<SetupDevice>& devices) {
  devices.clear();
  Release();
  const SetupApi& api = SetupApi::Get();
  if (!api.loaded) return false;
  set_ = api.GetClassDevs(&kHidSetupClass, nullptr, nullptr, DIGCF_PRESENT);
  if (set_ == INVALID_HANDLE_VALUE) return false;
  for (DWORD index = 0;; ++index) {
    SP_DEVINFO_DATA data{};
    data.cbSize = sizeof data;
    if (!api.EnumDeviceInfo(set_, index, &data)) break;
    wchar_t id[MAX_DEVICE_ID_LEN + 1] = {};
    if (!api.GetDeviceInstanceId(set_, &data, id, MAX_DEVICE_ID_LEN, nullptr)) continue;
    SetupDevice d;
    d.instanceId = FromWide(id);
    d.hardwareIds = ReadList(api, set_, &data, SPDRP_HARDWAREID);
    d.lowerFilters = ReadList(api, set_, &data, SPDRP_LOWERFILTERS);
    d.upperFilters = ReadList(api, set_, &data, SPDRP_UPPERFILTERS);
    devices_.emplace_back(d.instanceId, data);
    devices.push_back(std::move(d));
  }
  return true;
}

SP_DEVINFO_DATA* WinDeviceSetup::Find(const SetupDevice& device) {
  for (auto& [id, data] : devices_)
    if (id == device.instanceId) return &data;
  return nullptr;
}

bool WinDeviceSetup::HasProblem(const SetupDevice& device) {
  SP_DEVINFO_DATA* data = Find(device);
  if (data == nullptr) return false;
  ULONG status = 0;
  ULONG problem = 0;
  return CM_Get_DevNode_Status(&status, &problem, data->DevInst, 0) == CR_SUCCESS &&
         (status & DN_HAS_PROBLEM) != 0;
}

bool WinDeviceSetup::SetFilterList(const SetupDevice& device, bool upper,
                                   const std::vector<std::u16string>& list) {
  SP_DEVINFO_DATA* data = Find(device);
  const SetupApi& api = SetupApi::Get();
  if (data == nullptr || !api.loaded) return false;
  const DWORD property = upper ? SPDRP_UPPERFILTERS : SPDRP_LOWERFILTERS;
  if (list.empty()) return api.SetDeviceRegistryProperty(set_, data, property, nullptr, 0) != FALSE;
  // The exact multi-string: each entry, its terminator, and the list's own.
  std::u16string text;
  for (const auto& entry : list) {
    if (entry.empty()) continue;
    text += entry;
    text.push_back(u'\0');
  }
  text.push_back(u'\0');
  const auto bytes = static_cast<DWORD>(text.size() * sizeof(char16_t));
  return api.SetDeviceRegistryProperty(set_, data, property,
                                       reinterpret_cast<const BYTE*>(text.data()), bytes) != FALSE;
}

bool WinDeviceSetup::SetEnabled(const SetupDevice& device, bool enable) {
  SP_DEVINFO_DATA* data = Find(device);
  const SetupApi& api = SetupApi::Get();
  if (data == nullptr || !api.loaded) return false;
  SP_PROPCHANGE_PARAMS params{};
  params.ClassInstallHeader.cbSize = sizeof(SP_CLASSINSTALL_HEADER);
  params.ClassInstallHeader.InstallFunction = DIF_PROPERTYCHANGE;
  params.StateChange = enable ? DICS_ENABLE : DICS_DISABLE;
  params.Scope = DICS_FLAG_GLOBAL;
  if (!api.SetClassInstallParams(set_, data, &params.ClassInstallHeader, sizeof params))
    return false;
  return api.CallClassInstaller(DIF_PROPERTYCHANGE, set_, data) != FALSE;
}

WinServiceManager::~WinServiceManager() {
  if (manager_ != nullptr) CloseServiceHandle(manager_);
}

bool WinServiceManager::Open() {
  if (manager_ == nullptr) manager_ = OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS);
  return manager_ != nullptr;
}

bool WinServiceManager::Exists(const std::u16string& name) {
  if (!Open()) return false;
  SC_HANDLE s = OpenServiceW(manager_, ToWide(name).c_str(), SERVICE_ALL_ACCESS);
  if (s == nullptr) return false;
  CloseServiceHandle(s);
  return true;
}

std::uint32_t WinServiceManager::Create(const std::u16string& name,
                                        const std::u16string& displayName,
                                        const std::u16string& path) {
  if (!Open()) return ERROR_ACCESS_DENIED;
  SC_HANDLE s = CreateServiceW(manager_, ToWide(name).c_str(), ToWide(displayName).c_str(),
                               SERVICE_ALL_ACCESS, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                               SERVICE_ERROR_NORMAL, ToWide(path).c_str(), nullptr, nullptr,
                               nullptr, nullptr, nullptr);
  if (s == nullptr) return GetLastError();
  CloseServiceHandle(s);
  return 0;
}

bool WinServiceManager::Change(const std::u16string& name, const std::u16string& displayName,
                               const std::u16string& path) {
  if (!Open()) return false;
  SC_HANDLE s = OpenServiceW(manager_, ToWide(name).c_str(), SERVICE_ALL_ACCESS);
  if (s == nullptr) return false;
  const BOOL ok = ChangeServiceConfigW(s, SERVICE_KERNEL_DRIVER, SERVICE_DEMAND_START,
                                       SERVICE_ERROR_NORMAL, ToWide(path).c_str(), nullptr, nullptr,
                                       nullptr, nullptr, nullptr, ToWide(displayName).c_str());
  CloseServiceHandle(s);
  return ok != FALSE;
}

bool WinServiceManager::Delete(const std::u16string& name) {
  if (!Open()) return false;
  SC_HANDLE s = OpenServiceW(manager_, ToWide(name).c_str(), SERVICE_ALL_ACCESS);
  if (s == nullptr) return false;
  const BOOL ok = DeleteService(s);
  CloseServiceHandle(s);
  return ok != FALSE;
}

std::u16string WinDriverFiles::WindowsFolder() {
  wchar_t dir[MAX_PATH];
  const UINT n = GetWindowsDirectoryW(dir, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return {};
  std::u16string folder = FromWide(std::wstring_view(dir, n));
  if (!folder.empty() && folder.back() == u'\\') folder.pop_back();
  return folder;
}

bool WinDriverFiles::ReplaceFile(const std::u16string& source, const std::u16string& target) {
  std::wstring to = ToWide(target);
  WinSystemInfo info;
  if (!info.Is64BitProcess() && info.HasWow64Query() && info.IsWow64()) {
    const std::wstring system32 = ToWide(WindowsFolder()) + L"\\System32\\";
    if (to.size() > system32.size() &&
        CompareStringOrdinal(to.c_str(), int(system32.size()), system32.c_str(),
                             int(system32.size()), TRUE) == CSTR_EQUAL)
      to = ToWide(WindowsFolder()) + L"\\Sysnative\\" + to.substr(system32.size());
  }
  const std::wstring temp = to + L".new";
  if (!CopyFileW(ToWide(source).c_str(), temp.c_str(), FALSE)) return false;
  if (!MoveFileExW(temp.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
    DeleteFileW(temp.c_str());
    return false;
  }
  return true;
}

bool WinInstallerRunner::RunHiddenAndWait(const std::u16string& program,
                                          const std::u16string& parameters,
                                          const std::u16string& folder) {
  const std::wstring file = ToWide(program);
  const std::wstring params = ToWide(parameters);
  const std::wstring dir = ToWide(folder);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_DOENVSUBST | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = params.c_str();
  info.lpDirectory = dir.c_str();
  info.nShow = SW_HIDE;
  if (!ShellExecuteExW(&info)) return false;
  if (info.hProcess != nullptr) {
    WaitServicingSentMessages(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
  }
  return true;
}

void WinInstallerRunner::Pause(std::uint32_t milliseconds) {
  WaitServicingSentMessages(nullptr, milliseconds);
}

bool WinSystemInfo::HasWow64Query() {
  return Kernel32Function<IsWow64ProcessFn>("IsWow64Process") != nullptr;
}

bool WinSystemInfo::IsWow64() {
  auto fn = Kernel32Function<IsWow64ProcessFn>("IsWow64Process");
  BOOL wow = FALSE;
  return fn && fn(GetCurrentProcess(), &wow) && wow;
}

bool WinSystemInfo::HasNativeSystemInfo() {
  return Kernel32Function<GetNativeSystemInfoFn>("GetNativeSystemInfo") != nullptr;
}

std::uint16_t WinSystemInfo::NativeArchitecture() {
  auto fn = Kernel32Function<GetNativeSystemInfoFn>("GetNativeSystemInfo");
  if (!fn) return 0;
  SYSTEM_INFO si{};
  fn(&si);
  return si.wProcessorArchitecture;
}

TWindowsVersion WinSystemInfo::Version() {
  return QueryWindowsVersion();
}

std::u16string ProgramFolderWithBackslash() {
  const std::u16string path = ExecutableFilePath();
  const auto slash = path.find_last_of(u"\\/");
  return slash == std::u16string::npos ? std::u16string() : path.substr(0, slash + 1);
}

}  // namespace quarn
