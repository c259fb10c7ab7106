// The device arrival notifier: a hidden top-level window registered for HID
// interface notifications. It raises OnDeviceArrival / OnDeviceRemove for each
// HID interface that arrives or leaves, OnDeviceChange when the device tree
// changes (once at start, from a message it posts itself), and one
// OnDeviceArrival 1500 ms after creation, so that its owner treats the start
// like the mouse arriving. Main thread only; events come from its message loop.
#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

// The hidden window's class, for tools that look for it.
inline constexpr wchar_t kHidEventWindowClass[] = L"TvnHIDEventWindow";

class TvnHIDEvent;
using TNotifyEvent = std::function<void(TvnHIDEvent* Sender)>;

class TvnHIDEvent {
 public:
  static constexpr UINT kStartUpArrivalMs = 1500;

  // `usbGuid`: the interface class in registry text form with braces; empty
  // means the HID interface class.
  explicit TvnHIDEvent(std::u16string usbGuid = {});
  ~TvnHIDEvent();
  TvnHIDEvent(const TvnHIDEvent&) = delete;
  TvnHIDEvent& operator=(const TvnHIDEvent&) = delete;

  TNotifyEvent OnDeviceArrival;
  TNotifyEvent OnDeviceRemove;
  TNotifyEvent OnDeviceChange;

  // Registers the window for the interface class; true when the system gave a handle.
  bool RegisterNotification();
  HWND WindowHandle() const { return FWindowHandle; }
  const std::u16string& UsbGuid() const { return FUsbGuid; }
  bool Registered() const { return notification_ != nullptr; }

 private:
  static LRESULT CALLBACK WndProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  void WMDeviceChange(WPARAM wParam, LPARAM lParam);
  void TimerToStartMonitorTimer();
  // Raises an event; false when a handler destroyed this component.
  bool Raise(const TNotifyEvent& event);

  HWND FWindowHandle = nullptr;
  UINT_PTR FTimerToStartMonitor = 0;
  std::u16string FUsbGuid;
  HDEVNOTIFY notification_ = nullptr;
  // Cleared by the destructor: a handler may destroy the component.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};
