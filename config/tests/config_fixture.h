// The configuration window's logic over a profile data module on memory
// stores, with every seam recording into one log.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "config_fakes.h"
#include "config_main_controller.h"
#include "dm.h"
#include "fake_environment.h"
#include "memory_stores.h"
#include "profile_defaults.h"
#include "record_builders.h"

namespace quarn::testing {

inline const std::u16string kKey = u"software\\QUARNMouse";
inline const std::u16string kDocs = u"C:\\Users\\me\\Documents";
inline const std::u16string kData = kDocs + u"\\QUARN Mouse Driver";

inline std::u16string ProfileFile(int slot) {
  return kData + u"\\" + SlotFileName(slot);
}

// A factory profile changed by `edit`.
template <typename Edit>
std::unique_ptr<TMouseProfileInfo> ProfileWith(Edit edit) {
  auto p = std::make_unique<TMouseProfileInfo>();
  std::memset(p.get(), 0, sizeof *p);
  RestoreProfileDefaults(*p);
  edit(p->ConfigInfo);
  return p;
}

class ConfigFixture : public ::testing::Test {
 public:
  ConfigFixture() {
    for (auto f : {u"C:", u"C:\\Users", u"C:\\Users\\me", u"C:\\Users\\me\\Documents"})
      memFiles.AddFolder(f);
  }

  // Stores `p` as the file of slot `slot` before the data module starts.
  void StoreProfile(int slot, const TMouseProfileInfo& p) {
    memFiles.AddFolder(kData);
    memFiles.files[Fold(ProfileFile(slot))] = BytesOf(p);
  }
  void StoreCurrentIndex(std::int32_t index) {
    TALLGAMESINFO a{};
    RestoreAllSettingDefaults(a, 0x0409);
    a.CurrentProfileIndex = index;
    memRegistry.Put(kHKeyCurrentUser, kKey, u"zykPROFILE.pfd", BytesOf(a));
  }

  // Starts the data module and the window's logic; the log starts empty after creation.
  ConfigMainController& Start(bool create = true) {
    dm = std::make_unique<TDM>(checked.Registry(), checked.Files(), env);
    controller = std::make_unique<ConfigMainController>(*dm, seams);
    controller->OnRefreshButtonCaptions = [this] { log.Add("captions"); };
    if (create) {
      controller->FormCreate();
      log.Clear();
    }
    return *controller;
  }

  std::vector<std::uint8_t> Stream(int slot) const { return dm->FProfileGroup[slot]->Block(); }
  std::vector<std::uint8_t> StoredFile(int slot) const {
    const auto* f = memFiles.Get(ProfileFile(slot));
    return f ? *f : std::vector<std::uint8_t>{};
  }
  std::vector<std::uint8_t> StoredValue(std::u16string_view name) const {
    const auto* v = memRegistry.Get(kHKeyCurrentUser, kKey, name);
    return v ? v->bytes : std::vector<std::uint8_t>{};
  }
  std::vector<std::string> StoreWrites() const {
    auto r = log.With("reg");
    for (auto& f : log.With("file")) r.push_back(f);
    return r;
  }

  EventLog log;
  MemoryRegistryStore memRegistry;
  MemoryFileStore memFiles;
  LoggingRegistry logRegistry{memRegistry, log};
  LoggingFiles logFiles{memFiles, log};
  WriteCheckedStores checked{logRegistry, logFiles};
  FakeEnvironment env;
  RecordingMonitor monitor{log};
  RecordingMouseSettings mouseSettings{log};
  ManualWorker worker{log};
  RecordingDevice device{log};
  ManualTimer timer{log};
  ScriptedDialogs dialogs{log};
  RecordingWindow window{log};
  ConfigSeams seams{monitor, mouseSettings, worker,  device, timer,
                    dialogs, window,        checked, nullptr};
  std::unique_ptr<TDM> dm;
  std::unique_ptr<ConfigMainController> controller;
};

}  // namespace quarn::testing
