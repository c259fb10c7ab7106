// Office applications reached through COM on the monitor's main thread: the
// running instance registered for a ProgID, a new instance of its local
// server, and the running-object table with its entries viewed as Excel
// workbooks. The thread must have joined a single-threaded apartment.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <objidl.h>

#include <vector>

#include "automation.h"

namespace quarn {

class ComAutomation : public AutomationHost {
 public:
  // More running objects than any session has: the rest are not looked at.
  static constexpr std::size_t MAX_RUNNING_OBJECTS = 4096;

  ComAutomation() = default;
  ~ComAutomation() override;
  ComAutomation(const ComAutomation&) = delete;
  ComAutomation& operator=(const ComAutomation&) = delete;

  std::shared_ptr<AutoObject> RunningInstance(const std::u16string& progId) override;
  std::shared_ptr<AutoObject> NewInstance(const std::u16string& progId) override;
  bool ListRunningObjects(std::vector<RunningEntry>& out) override;
  std::shared_ptr<AutoObject> RunningWorkbook(std::size_t index) override;
  std::uint32_t UserDefaultLcid() override;

  // Lets go of the last listing's monikers and table.
  void ReleaseListing();

 private:
  IRunningObjectTable* table_ = nullptr;
  std::vector<IMoniker*> monikers_;
};

}  // namespace quarn
