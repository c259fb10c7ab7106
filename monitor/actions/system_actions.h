// The monitor's functions that act on the system rather than type keys: shut
// down, suspend, the drives folder, the calculator and the mail program, and a
// new Word document or Excel workbook with a document of the install folder
// as fallback. The system is reached through SystemPlatform, so the decisions
// are tested without shutting anything down.
#pragma once

#include <cstdint>
#include <string>

#include "automation.h"

namespace quarn {

// An item ID list the shell gave; 0 for none.
using ShellItemList = std::uintptr_t;

class SystemPlatform {
 public:
  virtual ~SystemPlatform() = default;
  // Enables (or disables) a privilege of the own process. False with the
  // system's text for the error when the privilege is not held or a call failed.
  virtual bool SetProcessPrivilege(const std::u16string& name, bool enable,
                                   std::u16string& errorText) = 0;
  // Shows an error to the user and returns when it was dismissed.
  virtual void ShowError(const std::u16string& text) = 0;
  virtual bool EndSession(std::uint32_t flags) = 0;
  // Puts the system to sleep, forced.
  virtual bool Suspend() = 0;
  // The item ID list of a special folder; 0 when the shell has none.
  virtual ShellItemList SpecialFolderList(int csidl) = 0;
  // Opens an item ID list with the verb "open", shown normally.
  virtual bool OpenItemList(ShellItemList list) = 0;
  virtual void FreeItemList(ShellItemList list) = 0;
  // The system folder, without a trailing backslash; empty when unknown.
  virtual std::u16string SystemFolder() = 0;
  // The install folder, with its trailing backslash.
  virtual std::u16string ProgramFolder() = 0;
  // Opens a program, document or URL with the verb "open" and no parameters.
  virtual bool OpenProgram(const std::u16string& path) = 0;
};

inline constexpr char16_t SE_SHUTDOWN_NAME_[] = u"SeShutdownPrivilege";
inline constexpr std::uint32_t EWX_SHUTDOWN_ = 0x00000001;
inline constexpr std::uint32_t EWX_FORCEIFHUNG_ = 0x00000010;
inline constexpr int CSIDL_DRIVES_ = 17;

class SystemActions {
 public:
  SystemActions(SystemPlatform& platform, AutomationHost& automation);

  // Shut down: programs are asked to end and may still save their work; only
  // hung ones are ended without asking.
  void ShutDownWindows();
  void SuspendWindows();
  void OpenSpecialFolder(int csidl);
  void OpenMyComputer() { OpenSpecialFolder(CSIDL_DRIVES_); }
  void RunCalculator();
  // The mail program of the system folder, else the user's "mailto:" handler.
  void RunMailClient();
  void NewWordDocument();
  void NewExcelWorkbook();

 private:
  // Enables the shutdown privilege; shows the system's text when it cannot.
  bool EnableShutdownPrivilege();

  SystemPlatform& platform_;
  AutomationHost& automation_;
};

}  // namespace quarn
