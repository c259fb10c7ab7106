#include "vn_hid_event.h"

#include <dbt.h>

#include "device_change.h"
#include "wide.h"

namespace {

constexpr UINT_PTR kStartTimerId = 1;
constexpr char16_t kHidInterfaceClass[] = u"{4d1e55b2-f16f-11cf-88cb-001111000030}";

static_assert(sizeof(DEV_BROADCAST_DEVICEINTERFACE_W) == 32);

int HexDigit(char16_t c) {
  if (c >= u'0' && c <= u'9') return c - u'0';
  if (c >= u'a' && c <= u'f') return c - u'a' + 10;
  if (c >= u'A' && c <= u'F') return c - u'A' + 10;
  return -1;
}

// "{xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx}"; false on anything else.
bool ParseGuid(std::u16string_view text, GUID& guid) {
  if (text.size() != 38 || text.front() != u'{' || text.back() != u'}') return false;
  std::uint8_t bytes[16];
  int n = 0;
  for (std::size_t i = 1; i + 1 < text.size();) {
    if (i == 9 || i == 14 || i == 19 || i == 24) {
      if (text[i] != u'-') return false;
      ++i;
      continue;
    }
    const int hi = HexDigit(text[i]);
    const int lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0 || n >= 16) return false;
    bytes[n++] = static_cast<std::uint8_t>(hi << 4 | lo);
    i += 2;
  }
  if (n != 16) return false;
  guid.Data1 = static_cast<DWORD>(bytes[0]) << 24 | bytes[1] << 16 | bytes[2] << 8 | bytes[3];
  guid.Data2 = static_cast<WORD>(bytes[4] << 8 | bytes[5]);
  guid.Data3 = static_cast<WORD>(bytes[6] << 8 | bytes[7]);
  for (int i = 0; i < 8; ++i) guid.Data4[i] = bytes[8 + i];
  return true;
}

ATOM RegisterWindowClass(WNDPROC proc) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = kHidEventWindowClass;
  return RegisterClassExW(&wc);
}

}  // namespace

TvnHIDEvent::TvnHIDEvent(std::u16string usbGuid) : FUsbGuid(std::move(usbGuid)) {
  static const ATOM registered = RegisterWindowClass(&TvnHIDEvent::WndProc);
  (void)registered;
  // Top-level and hidden: message-only windows miss the broadcast tree changes.
  FWindowHandle = CreateWindowExW(WS_EX_TOOLWINDOW, kHidEventWindowClass, L"", WS_POPUP, 0, 0, 0, 0,
                                  nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (FWindowHandle)
    SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  if (FUsbGuid.empty()) FUsbGuid = kHidInterfaceClass;
  RegisterNotification();
  if (FWindowHandle) {
    PostMessageW(FWindowHandle, WM_DEVICECHANGE, quarn::kDbtDevNodesChanged, -1);
    FTimerToStartMonitor = SetTimer(FWindowHandle, kStartTimerId, kStartUpArrivalMs, nullptr);
  }
}

TvnHIDEvent::~TvnHIDEvent() {
  *alive_ = false;
  if (!FWindowHandle) return;
  SetWindowLongPtrW(FWindowHandle, GWLP_USERDATA, 0);
  if (FTimerToStartMonitor) KillTimer(FWindowHandle, kStartTimerId);
  if (notification_) UnregisterDeviceNotification(notification_);
  DestroyWindow(FWindowHandle);
}

bool TvnHIDEvent::RegisterNotification() {
  if (!FWindowHandle || notification_) return notification_ != nullptr;
  DEV_BROADCAST_DEVICEINTERFACE_W filter{};
  filter.dbcc_size = sizeof filter;
  filter.dbcc_devicetype = DBT_DEVTYP_DEVICEINTERFACE;
  if (!ParseGuid(FUsbGuid, filter.dbcc_classguid)) return false;
  notification_ = RegisterDeviceNotificationW(FWindowHandle, &filter, DEVICE_NOTIFY_WINDOW_HANDLE);
  return notification_ != nullptr;
}

bool TvnHIDEvent::Raise(const TNotifyEvent& event) {
  if (!event) return true;
  std::shared_ptr<bool> alive = alive_;
  TNotifyEvent handler = event;  // the handler may replace itself or destroy us
  handler(this);
  return *alive;
}

void TvnHIDEvent::TimerToStartMonitorTimer() {
  if (FTimerToStartMonitor) {
    KillTimer(FWindowHandle, kStartTimerId);
    FTimerToStartMonitor = 0;
  }
  Raise(OnDeviceArrival);
}

void TvnHIDEvent::WMDeviceChange(WPARAM wParam, LPARAM lParam) {
  const auto* header = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
  bool hasHeader = false;
  DWORD type = 0;
  if (wParam != quarn::kDbtDevNodesChanged && header != nullptr &&
      header->dbch_size >= sizeof(DEV_BROADCAST_HDR)) {
    hasHeader = true;
    type = header->dbch_devicetype;
  }
  switch (quarn::ClassifyDeviceChange(wParam, hasHeader, type)) {
    case quarn::DeviceChangeEvent::Arrival:
      Raise(OnDeviceArrival);
      break;
    case quarn::DeviceChangeEvent::Remove:
      Raise(OnDeviceRemove);
      break;
    case quarn::DeviceChangeEvent::Change:
      Raise(OnDeviceChange);
      break;
    case quarn::DeviceChangeEvent::None:
      break;
  }
}

LRESULT CALLBACK TvnHIDEvent::WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = reinterpret_cast<TvnHIDEvent*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (self && (msg == WM_DEVICECHANGE || (msg == WM_TIMER && wParam == kStartTimerId))) {
    try {
      if (msg == WM_DEVICECHANGE)
        self->WMDeviceChange(wParam, lParam);
      else
        self->TimerToStartMonitorTimer();
    } catch (...) {
      // A handler's exception ends here; the window goes on.
    }
    return msg == WM_DEVICECHANGE ? TRUE : 0;
  }
  if (msg == WM_TIMER && wParam == kStartTimerId) {
    KillTimer(hwnd, kStartTimerId);
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}
