#include "office_steps.h"

#include <vector>

namespace quarn {

namespace {

// Down, Up, ToRight, ToLeft with the direction's argument 1, the others left out.
std::vector<AutoValue> SmallScrollArgs(ScrollDirection direction) {
  std::vector<AutoValue> args(4, AutoValue::Omitted());
  args[direction == ScrollDirection::Right ? 2 : 3] = AutoValue::Int(1);
  return args;
}

}  // namespace

std::u16string MonikerFileName(const std::u16string& displayName) {
  const auto slash = displayName.find_last_of(u"\\/");
  std::u16string name = slash == std::u16string::npos ? displayName : displayName.substr(slash + 1);
  const auto dot = name.find_last_of(u'.');
  if (dot != std::u16string::npos) name.resize(dot);
  return name;
}

std::shared_ptr<AutoObject> FindExcelApplicationOfWindow(AutomationHost& host,
                                                         std::uintptr_t window,
                                                         const std::u16string& title,
                                                         bool& tableRead) {
  std::vector<RunningEntry> entries;
  tableRead = host.ListRunningObjects(entries);
  if (!tableRead) return nullptr;
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::u16string name = MonikerFileName(entries[i].displayName);
    if (title.find(name) == std::u16string::npos) continue;
    if (entries[i].monikerClassId != FILE_MONIKER_CLSID) continue;
    // A file that is no workbook is some other program's: go on looking.
    const std::shared_ptr<AutoObject> workbook = host.RunningWorkbook(i);
    if (!workbook) continue;
    std::shared_ptr<AutoObject> application = workbook->GetObject(u"Application");
    if (!application) continue;
    AutoValue hwnd;
    if (!application->Get(u"Hwnd", hwnd) || hwnd.kind != AutoValue::Kind::Int) continue;
    // The property is a 32-bit number; window handles fit in 32 bits.
    if (static_cast<std::uint32_t>(hwnd.integer) == static_cast<std::uint32_t>(window))
      return application;
  }
  return nullptr;
}

OfficeStep WordSmallScroll(AutomationHost& host, ScrollDirection direction) {
  const std::shared_ptr<AutoObject> word = host.RunningInstance(u"Word.Application");
  if (!word) return OfficeStep::Failed;
  // Asking for the active window of a Word without windows is an error: count first.
  const std::shared_ptr<AutoObject> windows = word->GetObject(u"Windows");
  if (!windows) return OfficeStep::Failed;
  AutoValue count;
  if (!windows->Get(u"Count", count) || count.kind != AutoValue::Kind::Int)
    return OfficeStep::Failed;
  if (count.integer <= 0) return OfficeStep::Nothing;
  const std::shared_ptr<AutoObject> window = word->GetObject(u"ActiveWindow");
  if (!window) return OfficeStep::Failed;
  return window->Call(u"SmallScroll", SmallScrollArgs(direction), 0, nullptr) ? OfficeStep::Done
                                                                              : OfficeStep::Failed;
}

OfficeStep ExcelSmallScroll(AutomationHost& host, std::uintptr_t window,
                            const std::u16string& title, ScrollDirection direction) {
  bool tableRead = false;
  const std::shared_ptr<AutoObject> excel =
      FindExcelApplicationOfWindow(host, window, title, tableRead);
  if (!excel) return OfficeStep::Failed;
  const std::shared_ptr<AutoObject> active = excel->GetObject(u"ActiveWindow");
  if (!active) return OfficeStep::Failed;
  return active->CallId(EXCEL_SMALLSCROLL_DISPID, SmallScrollArgs(direction), nullptr)
             ? OfficeStep::Done
             : OfficeStep::Failed;
}

OfficeStep PowerPointSmallScroll(AutomationHost& host, ScrollDirection direction) {
  const std::shared_ptr<AutoObject> powerPoint = host.RunningInstance(u"PowerPoint.Application");
  if (!powerPoint) return OfficeStep::Failed;
  const std::shared_ptr<AutoObject> window = powerPoint->GetObject(u"ActiveWindow");
  if (!window) return OfficeStep::Failed;
  const bool right = direction == ScrollDirection::Right;
  const std::vector<AutoValue> args = {AutoValue::Int(0), AutoValue::Int(0),
                                       AutoValue::Int(right ? 1 : 0),
                                       AutoValue::Int(right ? 0 : 1)};
  return window->Call(u"SmallScroll", args, 0, nullptr) ? OfficeStep::Done : OfficeStep::Failed;
}

OfficeStep NewWordDocumentByAutomation(AutomationHost& host) {
  const std::shared_ptr<AutoObject> word = host.NewInstance(u"Word.Application");
  if (!word) return OfficeStep::Failed;
  if (!word->Put(u"Visible", AutoValue::Bool(true), 0)) return OfficeStep::Failed;
  const std::shared_ptr<AutoObject> documents = word->GetObject(u"Documents");
  if (!documents) return OfficeStep::Failed;
  // Template "", NewTemplate False, DocumentType 0 (blank), Visible True.
  const std::vector<AutoValue> args = {AutoValue::String(u""), AutoValue::Bool(false),
                                       AutoValue::Int(0), AutoValue::Bool(true)};
  return documents->Call(u"Add", args, 0, nullptr) ? OfficeStep::Done : OfficeStep::Failed;
}

OfficeStep NewExcelWorkbookByAutomation(AutomationHost& host) {
  const std::shared_ptr<AutoObject> excel = host.NewInstance(u"Excel.Application");
  if (!excel) return OfficeStep::Failed;
  if (!excel->Put(u"Visible", AutoValue::Bool(true), 0)) return OfficeStep::Failed;
  const std::shared_ptr<AutoObject> workbooks = excel->GetObject(u"Workbooks");
  if (!workbooks) return OfficeStep::Failed;
  // No template: a blank workbook, in the user's locale.
  return workbooks->Call(u"Add", {AutoValue::Omitted()}, host.UserDefaultLcid(), nullptr)
             ? OfficeStep::Done
             : OfficeStep::Failed;
}

}  // namespace quarn
