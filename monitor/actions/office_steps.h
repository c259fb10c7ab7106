// What the monitor asks of Word, Excel and PowerPoint: one small sideways
// scroll of the running application's active window, and a new visible
// document or workbook in a new instance. Each step reports whether it got
// through, so the caller can take its fallback.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "automation.h"

namespace quarn {

enum class ScrollDirection { Left, Right };

enum class OfficeStep {
  Done,     // the application did it
  Nothing,  // the application runs but has nothing to act on
  Failed,   // not reached, or an automation call failed
};

// The identifier of the workbook interface and of the file moniker's class.
inline constexpr char16_t EXCEL_WORKBOOK_IID[] = u"{000208DA-0000-0000-C000-000000000046}";
inline constexpr char16_t FILE_MONIKER_CLSID[] = u"{00000303-0000-0000-C000-000000000046}";
// Excel's SmallScroll on a window, called by its dispatch identifier.
inline constexpr std::int32_t EXCEL_SMALLSCROLL_DISPID = 0x224;

// A moniker's display name reduced to the file name without folder and extension.
std::u16string MonikerFileName(const std::u16string& displayName);

// The running Excel application whose main window is `window`, found through a
// workbook file in the running-object table whose name the window's title
// contains. Entries that are not files or not workbooks are passed over. Null
// when none; `tableRead` is false when the table could not be read.
std::shared_ptr<AutoObject> FindExcelApplicationOfWindow(AutomationHost& host,
                                                         std::uintptr_t window,
                                                         const std::u16string& title,
                                                         bool& tableRead);

// The running Word's active window: SmallScroll(Down, Up, ToRight, ToLeft) with
// the direction's argument 1 and the others omitted. Nothing when Word has no window.
OfficeStep WordSmallScroll(AutomationHost& host, ScrollDirection direction);
// The same on the active window of the Excel that owns `window`.
OfficeStep ExcelSmallScroll(AutomationHost& host, std::uintptr_t window,
                            const std::u16string& title, ScrollDirection direction);
// The running PowerPoint's active window: SmallScroll with four integers.
OfficeStep PowerPointSmallScroll(AutomationHost& host, ScrollDirection direction);

// A new visible Word with a new blank document.
OfficeStep NewWordDocumentByAutomation(AutomationHost& host);
// A new visible Excel with a new workbook.
OfficeStep NewExcelWorkbookByAutomation(AutomationHost& host);

}  // namespace quarn
