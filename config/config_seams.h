// The seams between the configuration window's logic and the platform: the
// monitor program, the Windows mouse settings, the background worker, the
// mouse's lighting, the deferral timer, the modal dialogs and the window that
// hosts it all. The Win32 adapters implement them for real; tests record them.
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "profile_records.h"

namespace quarn {

// The monitor program, looked up by its window class immediately before every call.
class MonitorLink {
 public:
  virtual ~MonitorLink() = default;
  // Brings the monitor's window to the front; false when there is none.
  virtual bool ActivateMonitor() = 0;
  // Starts the monitor from the program's own folder; false when it could not be started.
  virtual bool StartMonitor() = 0;
  // Sends a message and waits for it to be handled, within a time-out; false
  // when there is no monitor window or it did not answer in time.
  virtual bool SendToMonitor(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) = 0;
};

// One triple of the Windows mouse acceleration setting.
struct MouseAccelerationTriple {
  std::int32_t Threshold1;
  std::int32_t Threshold2;
  std::int32_t Acceleration;
};

// The Windows pointer settings, each made and stored for the user at once.
class MouseSettingsWriter {
 public:
  virtual ~MouseSettingsWriter() = default;
  virtual bool SetMouseAcceleration(const MouseAccelerationTriple& triple) = 0;
  virtual bool SetMouseSpeed(std::int32_t speed) = 0;
  virtual bool SetWheelScrollLines(std::int32_t lines) = 0;
  virtual bool SetMouseTrails(std::int32_t trails) = 0;
};

// Runs jobs off the window's thread, one at a time, in the order they were posted.
class SettingsWorker {
 public:
  virtual ~SettingsWorker() = default;
  virtual void Post(std::function<void()> job) = 0;
  // Waits until every posted job has run, at most `limit`; false on time-out.
  virtual bool WaitIdle(std::chrono::milliseconds limit) = 0;
};

// The mouse's lighting.
class LightingDevice {
 public:
  virtual ~LightingDevice() = default;
  // Writes the lighting of `profile`, stored as profile `profileIndex`, to the mouse.
  virtual void WriteLedSettingsToDevice(int profileIndex, const TMouseProfileInfo& profile) = 0;
};

// The one-shot timer behind deferred device actions.
class ActionTimer {
 public:
  virtual ~ActionTimer() = default;
  // (Re)starts the timer: it fires once `ms` after the last call unless stopped.
  virtual void Start(std::uint32_t ms) = 0;
  virtual void Stop() = 0;
};

// A rectangle in screen coordinates.
struct ScreenRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  friend bool operator==(const ScreenRect&, const ScreenRect&) = default;
};

// The window's modal dialogs.
class ConfigDialogs {
 public:
  virtual ~ConfigDialogs() = default;
  // The note dialog: 1 for OK, 2 for CANCEL or any other way of closing it.
  virtual int ShowNoteDialog(const std::u16string& title, const std::u16string& text,
                             const std::u16string& text1, bool showWarning,
                             const ScreenRect& centreIn) = 0;
  // Ends every open dialog or menu as cancelled.
  virtual void CloseOpenDialogs() = 0;
};

// The main window as its logic sees it.
class ConfigWindow {
 public:
  virtual ~ConfigWindow() = default;
  // Closes the window; the program ends when its message loop does.
  virtual void CloseWindow() = 0;
  // Posts a message to the window itself.
  virtual void PostToSelf(std::uint32_t message, std::uint64_t wParam, std::int64_t lParam) = 0;
  // Releases the sender of the message being handled, if it was sent and waits.
  virtual void ReplyToSender() = 0;
  // Brings a minimised window back to its normal size.
  virtual void Restore() = 0;
  // Screen position of a point of the client area.
  virtual void ClientToScreen(std::int32_t& x, std::int32_t& y) = 0;
};

}  // namespace quarn
