// Creates the program's data module over the real registry, files and session,
// and publishes it as the global DM for the program's lifetime.
#pragma once

#include <memory>

#include "../dm.h"
#include "win_environment.h"
#include "win_file_store.h"
#include "win_registry_store.h"

namespace quarn {

class DataModuleHost {
 public:
  DataModuleHost();
  ~DataModuleHost();
  DataModuleHost(const DataModuleHost&) = delete;
  DataModuleHost& operator=(const DataModuleHost&) = delete;
  TDM& dm() { return *dm_; }

 private:
  WinRegistryStore registry_;
  WinFileStore files_;
  WinProfileEnvironment env_;
  std::unique_ptr<TDM> dm_;
};

}  // namespace quarn
