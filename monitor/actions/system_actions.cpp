#include "system_actions.h"

#include "office_steps.h"

namespace quarn {

SystemActions::SystemActions(SystemPlatform& platform, AutomationHost& automation)
    : platform_(platform), automation_(automation) {}

bool SystemActions::EnableShutdownPrivilege() {
  std::u16string error;
  if (platform_.SetProcessPrivilege(SE_SHUTDOWN_NAME_, true, error)) return true;
  platform_.ShowError(error);
  return false;
}

void SystemActions::ShutDownWindows() {
  if (!EnableShutdownPrivilege()) return;
  platform_.EndSession(EWX_SHUTDOWN_ | EWX_FORCEIFHUNG_);
}

void SystemActions::SuspendWindows() {
  if (!EnableShutdownPrivilege()) return;
  platform_.Suspend();
}

void SystemActions::OpenSpecialFolder(int csidl) {
  const ShellItemList list = platform_.SpecialFolderList(csidl);
  if (list == 0) return;
  platform_.OpenItemList(list);
  platform_.FreeItemList(list);
}

void SystemActions::RunCalculator() {
  const std::u16string system = platform_.SystemFolder();
  if (system.empty()) return;
  platform_.OpenProgram(system + u"\\calc.exe");
}

void SystemActions::RunMailClient() {
  const std::u16string system = platform_.SystemFolder();
  if (!system.empty() && platform_.OpenProgram(system + u"\\msimn.exe")) return;
  platform_.OpenProgram(u"mailto:");
}

void SystemActions::NewWordDocument() {
  if (NewWordDocumentByAutomation(automation_) == OfficeStep::Done) return;
  platform_.OpenProgram(platform_.ProgramFolder() + u"Document1.doc");
}

void SystemActions::NewExcelWorkbook() {
  if (NewExcelWorkbookByAutomation(automation_) == OfficeStep::Done) return;
  platform_.OpenProgram(platform_.ProgramFolder() + u"Book1.xls");
}

}  // namespace quarn
