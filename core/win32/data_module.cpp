#include "data_module.h"

namespace quarn {

DataModuleHost::DataModuleHost() : dm_(std::make_unique<TDM>(registry_, files_, env_)) {
  DM = dm_.get();
}

DataModuleHost::~DataModuleHost() {
  if (DM == dm_.get()) DM = nullptr;
}

}  // namespace quarn
