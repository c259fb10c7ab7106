#include "profile_file_commands.h"

#include <gtest/gtest.h>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "fake_environment.h"
#include "memory_stores.h"
#include "preset_profile.h"
#include "profile_defaults.h"
#include "record_builders.h"
#include "text_field.h"

namespace {

using quarn::FileDialogKind;
using quarn::FileDialogRequest;
using quarn::ProfileFileCommands;
using quarn::testing::BytesOf;
using quarn::testing::FakeEnvironment;
using quarn::testing::Fold;
using quarn::testing::MemoryFileStore;
using quarn::testing::MemoryRegistryStore;
using quarn::testing::PatternProfile;

constexpr auto HKCU = quarn::kHKeyCurrentUser;
const std::u16string kKey = u"software\\QUARNMouse";
const std::u16string kDocs = u"C:\\Users\\me\\Documents";
const std::u16string kData = kDocs + u"\\QUARN Mouse Driver";
const std::u16string kMine = u"D:\\Mine";

// A file dialog that answers from a script: a path, or cancel when none is queued.
class ScriptedDialogs : public quarn::FileDialogs {
 public:
  bool Run(const FileDialogRequest& request, std::u16string& file) override {
    requests.push_back(request);
    if (answers.empty() || !answers.front()) {
      if (!answers.empty()) answers.pop_front();
      return false;
    }
    file = *answers.front();
    answers.pop_front();
    return true;
  }
  std::deque<std::optional<std::u16string>> answers;
  std::vector<FileDialogRequest> requests;
};

class RecordedMessages : public quarn::MessageBoxes {
 public:
  void ShowMessage(const std::u16string& text) override { shown.push_back(text); }
  std::vector<std::u16string> shown;
};

std::vector<std::uint8_t> ProfileBytes(std::uint8_t seed, std::int32_t version = 258) {
  auto p = PatternProfile(seed);
  p->ProfileHeader.FFileVersion = version;
  return BytesOf(*p);
}

std::unique_ptr<TMouseProfileInfo> Decode(const std::vector<std::uint8_t>& bytes) {
  auto r = std::make_unique<TMouseProfileInfo>();
  std::memset(r.get(), 0, sizeof *r);
  std::memcpy(r.get(), bytes.data(), std::min(bytes.size(), sizeof *r));
  return r;
}

// Everything a command may change, to compare before and after.
struct State {
  std::map<std::u16string, std::pair<std::vector<std::uint8_t>, bool>> registry;
  std::map<std::u16string, std::vector<std::uint8_t>> files;
  std::set<std::u16string> folders;
  std::vector<std::uint8_t> current, group, groupBlock, slotBlock;
  std::u16string slotName, slotFolder;
  bool operator==(const State&) const = default;
};

class ProfileFiles : public ::testing::Test {
 protected:
  ProfileFiles() {
    for (auto f : {u"C:", u"C:\\Users", u"C:\\Users\\me", u"C:\\Users\\me\\Documents", u"D:",
                   u"D:\\Mine", u"C:\\Program Files", u"C:\\Program Files\\QUARN"})
      files.AddFolder(f);
    dm = std::make_unique<TDM>(registry, files, env);
    commands = std::make_unique<ProfileFileCommands>(*dm, files, dialogs, messages);
  }

  State Snap() const {
    State s;
    for (auto& [k, v] : registry.values) s.registry[k] = {v.bytes, v.binary};
    s.files = files.files;
    s.folders = files.folders;
    s.current = BytesOf(dm->FCurrentProfileInfo);
    s.group = BytesOf(dm->FProfileSettingGroup);
    s.groupBlock = dm->vnProfileSettingGroup.Block();
    const TvnProfile& p = *dm->FProfileGroup[dm->FProfileIndex];
    s.slotBlock = p.Block();
    s.slotName = p.FileName();
    s.slotFolder = p.FilePath();
    return s;
  }
  const TvnProfile& Slot() const { return *dm->FProfileGroup[dm->FProfileIndex]; }
  std::u16string SlotTableName() const {
    return quarn::ReadText(dm->FProfileSettingGroup.ProfileSettingList[dm->FProfileIndex].FileName);
  }
  const std::vector<std::uint8_t>* StoredValue(std::u16string_view name) const {
    auto v = registry.Get(HKCU, kKey, name);
    return v ? &v->bytes : nullptr;
  }
  void PutFile(const std::u16string& path, std::vector<std::uint8_t> bytes) {
    files.files[Fold(path)] = std::move(bytes);
  }

  MemoryRegistryStore registry;
  MemoryFileStore files;
  FakeEnvironment env;
  ScriptedDialogs dialogs;
  RecordedMessages messages;
  std::unique_ptr<TDM> dm;
  std::unique_ptr<ProfileFileCommands> commands;
};

// ---- the version and size test, shared by both loads ----

struct ImportCase {
  const char* why;
  std::function<std::optional<std::vector<std::uint8_t>>()> content;  // nullopt: no file
  bool accepted;
};

TEST_F(ProfileFiles, LoadAcceptsOnlyAWholeRecordOfVersion258) {
  auto withSize = [](std::size_t n) {
    auto b = ProfileBytes(1);
    b.resize(n, 0x5A);
    return b;
  };
  const ImportCase cases[] = {
      {"version 258, whole record", [] { return ProfileBytes(1); }, true},
      {"version 258, longer than a record", [&] { return withSize(PROFILE_INFO_SIZE + 300); },
       true},
      {"version 257", [] { return ProfileBytes(1, 257); }, false},
      {"version 259", [] { return ProfileBytes(1, 259); }, false},
      {"version 0x01000102 (258 in the wrong byte order is not it)",
       [] { return ProfileBytes(1, 0x02010000); }, false},
      {"version 258 but one byte short", [&] { return withSize(PROFILE_INFO_SIZE - 1); }, false},
      {"version 258 but 100 bytes", [&] { return withSize(100); }, false},
      {"three bytes",
       [] {
         return std::vector<std::uint8_t>{0x02, 0x01, 0x00};
       },
       false},
      {"empty file", [] { return std::vector<std::uint8_t>{}; }, false},
      {"no such file", [] { return std::nullopt; }, false},
  };
  const std::u16string file = kMine + u"\\import.pfd";
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    files.files.erase(Fold(file));
    auto content = c.content();
    if (content) PutFile(file, *content);
    const State before = Snap();
    const bool loaded = commands->LoadProfileFile(file);
    EXPECT_EQ(loaded, c.accepted);
    if (!c.accepted) {
      EXPECT_TRUE(Snap() == before) << "a refused file changed something";
      continue;
    }
    // The bytes loaded are the record's: what follows it is not kept.
    std::vector<std::uint8_t> record(content->begin(), content->begin() + PROFILE_INFO_SIZE);
    EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), record);
    EXPECT_EQ(std::vector<std::uint8_t>(Slot().Block().begin(),
                                        Slot().Block().begin() + PROFILE_INFO_SIZE),
              record);
    ASSERT_NE(StoredValue(before.slotName), nullptr);
    EXPECT_EQ(std::vector<std::uint8_t>(StoredValue(before.slotName)->begin(),
                                        StoredValue(before.slotName)->begin() + PROFILE_INFO_SIZE),
              record);
    EXPECT_EQ(Slot().FileName(), before.slotName) << "the preset load keeps the slot's file";
  }
  EXPECT_TRUE(dialogs.requests.empty()) << "loading a named file opens no dialog";
  EXPECT_TRUE(messages.shown.empty()) << "a refusal is silent";
}

TEST_F(ProfileFiles, LoadWithoutNameOrOfUnreadableFileOpensNoDialogAndChangesNothing) {
  files.unreadable.insert(Fold(kMine + u"\\locked.pfd"));
  const State before = Snap();
  for (std::u16string name : {u"", u"D:\\Mine\\locked.pfd", u"D:\\Mine\\absent.pfd"}) {
    EXPECT_FALSE(commands->LoadProfileFile(name));
  }
  EXPECT_TRUE(Snap() == before);
  EXPECT_TRUE(dialogs.requests.empty());
}

TEST_F(ProfileFiles, TheBytesTestedAreTheBytesLoaded) {
  // A file store that hands out a good record on the first read and a bad one
  // afterwards: a loader that reads twice loads what it never tested.
  class ChangingFiles : public MemoryFileStore {
   public:
    quarn::StoreStatus ReadWholeFile(std::u16string_view path,
                                     std::vector<std::uint8_t>& data) override {
      auto s = MemoryFileStore::ReadWholeFile(path, data);
      if (s == quarn::StoreStatus::Ok && reads++ > 0) data = ProfileBytes(9, 257);
      return s;
    }
    int reads = 0;
  } changing;
  changing.AddFolder(u"D:");
  changing.files[Fold(u"D:\\a.pfd")] = ProfileBytes(3);
  ProfileFileCommands c(*dm, changing, dialogs, messages);
  ASSERT_TRUE(c.LoadProfileFile(u"D:\\a.pfd"));
  EXPECT_EQ(changing.reads, 1);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), ProfileBytes(3));
}

// ---- load with a dialog ----

TEST_F(ProfileFiles, LoadWithDialogMakesTheFileTheSlotsFile) {
  const std::u16string file = kMine + u"\\Shooter.pfd";
  PutFile(file, ProfileBytes(4));
  dialogs.answers.push_back(file);
  const int slot = dm->FProfileIndex;
  registry.writes.clear();

  ASSERT_TRUE(commands->LoadProfileFileWithDialog(kData));

  ASSERT_EQ(dialogs.requests.size(), 1u);
  EXPECT_EQ(dialogs.requests[0],
            (FileDialogRequest{FileDialogKind::Open, u"Gaming Mouse Profiles|*.pfd", u"",
                               kData + u"\\"}));
  auto expected = Decode(ProfileBytes(4));
  quarn::WriteText(expected->ProfileHeader.FFileName, u"Shooter.pfd");
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), BytesOf(*expected));
  EXPECT_EQ(Slot().FileName(), u"Shooter.pfd");
  EXPECT_EQ(Slot().FilePath(), kMine + u"\\");
  EXPECT_EQ(SlotTableName(), u"Shooter.pfd");
  EXPECT_EQ(quarn::ReadText(dm->FProfileSettingGroup.ProfileSettingList[slot].FilePath),
            kMine + u"\\");
  ASSERT_NE(StoredValue(u"Shooter.pfd"), nullptr);
  EXPECT_EQ(*StoredValue(u"Shooter.pfd"), BytesOf(*expected));
  EXPECT_EQ(std::vector<std::uint8_t>(
                StoredValue(u"zykProfileSettingGroup.pfd")->begin(),
                StoredValue(u"zykProfileSettingGroup.pfd")->begin() + PROFILE_SETTING_GROUP_SIZE),
            BytesOf(dm->FProfileSettingGroup));
  EXPECT_EQ(*files.Get(file), ProfileBytes(4)) << "loading does not write the chosen file";
}

TEST_F(ProfileFiles, StartingFolderGetsOneTrailingBackslash) {
  struct Case {
    std::u16string given, expected;
  } cases[] = {{u"D:\\Mine", u"D:\\Mine\\"}, {u"D:\\Mine\\", u"D:\\Mine\\"}, {u"", u""}};
  for (const auto& c : cases) {
    dialogs.requests.clear();
    commands->LoadProfileFileWithDialog(c.given);
    commands->SaveProfileFileAs(c.given);
    commands->CreateNewProfileFile(c.given);
    ASSERT_EQ(dialogs.requests.size(), 3u);
    EXPECT_EQ(dialogs.requests[0].InitialDir, c.expected);
    EXPECT_EQ(dialogs.requests[1].InitialDir, c.expected);
    EXPECT_EQ(dialogs.requests[2].InitialDir, c.given) << "New starts in the folder as given";
  }
  EXPECT_EQ(dialogs.requests[1].Filter, u"gaming profiles|*.pfd");
  EXPECT_EQ(dialogs.requests[1].DefaultExt, u".pfd");
  EXPECT_EQ(dialogs.requests[1].Kind, FileDialogKind::Save);
  EXPECT_EQ(dialogs.requests[2],
            (FileDialogRequest{FileDialogKind::Save, u"gaming profiles|*.pfd", u".pfd", u""}));
}

// ---- names a slot must not take ----

TEST_F(ProfileFiles, ANameTheSlotCannotTakeIsRefusedBeforeAnythingChanges) {
  const std::u16string otherSlot = quarn::SlotFileName((dm->FProfileIndex + 1) % PROFILE_COUNT);
  std::u16string otherUpper = otherSlot;
  for (auto& ch : otherUpper)
    if (ch >= u'a' && ch <= u'z') ch = static_cast<char16_t>(ch - 32);
  struct Case {
    const char* why;
    std::u16string name;
  } cases[] = {
      {"21 units, longer than the slot's name field", u"ABCDEFGHIJKLMNOPQ.pfd"},
      {"the all-settings record's value", u"ZYKprofile.PFD"},
      {"the group table's value", u"zykprofilesettinggroup.pfd"},
      {"the default profile's value", u"brellv7700profiledef.pfd"},
      {"the test profile's value", u"BRELLV7700PROFILETEST.pfd"},
      {"another slot's file name in other case", otherUpper},
      {"a parent folder as the name", u".."},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    const std::u16string file = kMine + u"\\" + c.name;
    PutFile(file, ProfileBytes(5));
    const State before = Snap();
    dialogs.answers = {file, file};
    EXPECT_FALSE(commands->CreateNewProfileFile(kMine));
    EXPECT_FALSE(commands->LoadProfileFileWithDialog(kMine));
    EXPECT_TRUE(Snap() == before);
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(ProfileFiles, TheSlotsOwnNameIsAllowedInAnotherFolder) {
  const std::u16string own = Slot().FileName();
  dialogs.answers = {kMine + u"\\" + own};
  EXPECT_TRUE(commands->CreateNewProfileFile(kMine));
  EXPECT_EQ(Slot().FilePath(), kMine + u"\\");
}

// ---- new profile file ----

TEST_F(ProfileFiles, NewWritesDefaultsWithTheSlotColourAndTheNewName) {
  PutFile(kMine + u"\\x.pfd", ProfileBytes(6));
  ASSERT_TRUE(commands->LoadProfileFile(kMine + u"\\x.pfd"));  // not a default profile now
  const int slot = dm->FProfileIndex;
  const std::u16string file = kMine + u"\\Racing.pfd";
  dialogs.answers.push_back(file);

  ASSERT_TRUE(commands->CreateNewProfileFile(kMine));

  auto expected = std::make_unique<TMouseProfileInfo>();
  std::memset(expected.get(), 0, sizeof *expected);
  // Defaults over the loaded record: the restore writes the fields it owns.
  std::memcpy(expected.get(), ProfileBytes(6).data(), sizeof *expected);
  quarn::RestoreProfileDefaults(*expected);
  quarn::SetProfileDefaultLEDColor(slot, *expected);
  quarn::WriteText(expected->ProfileHeader.FFileName, u"Racing.pfd");
  ASSERT_NE(files.Get(file), nullptr);
  EXPECT_EQ(*files.Get(file), BytesOf(*expected)) << "defaults, slot colour and the new name";
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo), BytesOf(*expected));
  ASSERT_NE(StoredValue(u"Racing.pfd"), nullptr);
  EXPECT_EQ(*StoredValue(u"Racing.pfd"), BytesOf(*expected));
  EXPECT_EQ(SlotTableName(), u"Racing.pfd");
  EXPECT_EQ(std::vector<std::uint8_t>(
                StoredValue(u"zykProfileSettingGroup.pfd")->begin(),
                StoredValue(u"zykProfileSettingGroup.pfd")->begin() + PROFILE_SETTING_GROUP_SIZE),
            BytesOf(dm->FProfileSettingGroup));
}

// ---- failures ----

TEST_F(ProfileFiles, AFailedWriteIsReportedAndUndone) {
  const std::u16string good = kMine + u"\\good.pfd";
  PutFile(good, ProfileBytes(7));
  struct Case {
    const char* why;
    std::function<void()> breakStores;
    std::function<bool()> run;
    bool message;
  } cases[] = {
      {"new: the file cannot be written", [&] { files.readOnly.insert(Fold(kMine + u"\\n.pfd")); },
       [&] {
         dialogs.answers = {kMine + u"\\n.pfd"};
         return commands->CreateNewProfileFile(kMine);
       },
       true},
      {"new: the registry cannot be written", [&] { registry.unavailable.insert(Fold(kKey)); },
       [&] {
         dialogs.answers = {kMine + u"\\n2.pfd"};
         return commands->CreateNewProfileFile(kMine);
       },
       false},
      {"load with dialog: the registry cannot be written",
       [&] { registry.unavailable.insert(Fold(kKey)); },
       [&] {
         dialogs.answers = {good};
         return commands->LoadProfileFileWithDialog(kMine);
       },
       false},
      {"preset load: the registry cannot be written",
       [&] { registry.unavailable.insert(Fold(kKey)); },
       [&] { return commands->LoadProfileFile(good); }, false},
      {"save as: the folder takes no file",
       [&] { files.readOnly.insert(Fold(kMine + u"\\s.pfd")); },
       [&] {
         dialogs.answers = {kMine + u"\\s.pfd"};
         return commands->SaveProfileFileAs(kMine);
       },
       true},
      {"save as: the folder does not exist and cannot be made",
       [&] { files.uncreatable.insert(Fold(u"E:\\gone")); },
       [&] {
         dialogs.answers = {u"E:\\gone\\s.pfd"};
         return commands->SaveProfileFileAs(kMine);
       },
       true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    files.readOnly.clear();
    registry.unavailable.clear();
    messages.shown.clear();
    c.breakStores();
    State before = Snap();
    EXPECT_FALSE(c.run());
    State after = Snap();
    // New may leave the file it wrote; nothing else changes.
    for (auto& [k, v] : after.files)
      if (!before.files.count(k)) before.files[k] = v;
    EXPECT_TRUE(after == before);
    if (c.message)
      EXPECT_EQ(messages.shown, std::vector<std::u16string>{
                                    u"No permission to save file!please change directory!"});
    else
      EXPECT_TRUE(messages.shown.empty());
  }
}

TEST_F(ProfileFiles, ARegistryFailureAfterThePresetLoadPutsTheOldValuesBack) {
  // The profile's value is written, then the group table's fails: the old
  // profile goes back into its value.
  class FailGroup : public MemoryRegistryStore {
   public:
    bool WriteBinary(quarn::RegRoot root, std::u16string_view key, std::u16string_view name,
                     const std::uint8_t* data, std::size_t size) override {
      if (armed && name == u"zykProfileSettingGroup.pfd") return false;
      return MemoryRegistryStore::WriteBinary(root, key, name, data, size);
    }
    bool armed = false;
  } reg;
  auto dm2 = std::make_unique<TDM>(reg, files, env);
  ProfileFileCommands c(*dm2, files, dialogs, messages);
  const std::u16string name = dm2->FProfileGroup[dm2->FProfileIndex]->FileName();
  PutFile(kMine + u"\\p.pfd", ProfileBytes(8));
  reg.armed = true;
  EXPECT_FALSE(c.LoadProfileFile(kMine + u"\\p.pfd"));
  ASSERT_NE(reg.Get(HKCU, kKey, name), nullptr);
  EXPECT_EQ(reg.Get(HKCU, kKey, name)->bytes, dm2->FProfileGroup[dm2->FProfileIndex]->Block());
  EXPECT_NE(BytesOf(dm2->FCurrentProfileInfo), ProfileBytes(8));
}

TEST_F(ProfileFiles, ACancelledDialogChangesNothing) {
  const State before = Snap();
  dialogs.answers = {std::nullopt, std::nullopt, std::nullopt, u"", u"", u""};
  EXPECT_FALSE(commands->CreateNewProfileFile(kMine));
  EXPECT_FALSE(commands->LoadProfileFileWithDialog(kMine));
  EXPECT_FALSE(commands->SaveProfileFileAs(kMine));
  EXPECT_FALSE(commands->CreateNewProfileFile(kMine));
  EXPECT_FALSE(commands->LoadProfileFileWithDialog(kMine));
  EXPECT_FALSE(commands->SaveProfileFileAs(kMine));
  EXPECT_TRUE(Snap() == before);
  EXPECT_TRUE(messages.shown.empty());
}

// ---- save as ----

TEST_F(ProfileFiles, SaveAsWritesTheCurrentStreamAndKeepsTheSlotsFile) {
  files.AddFolder(kMine + u"\\tmp2323");  // a folder of that name is nobody's business
  const State before = Snap();
  const std::u16string file = kMine + u"\\copy.pfd";
  dialogs.answers = {file};
  ASSERT_TRUE(commands->SaveProfileFileAs(kMine));
  EXPECT_EQ(*files.Get(file), Slot().Block());
  State after = Snap();
  after.files.erase(Fold(file));
  EXPECT_TRUE(after == before) << "only the chosen file is written; no folder is made";
}

TEST_F(ProfileFiles, SaveAsThenLoadRoundTripsTheProfile) {
  PutFile(kMine + u"\\src.pfd", ProfileBytes(10));
  ASSERT_TRUE(commands->LoadProfileFile(kMine + u"\\src.pfd"));
  const auto saved = Slot().Block();
  dialogs.answers = {kMine + u"\\copy.pfd"};
  ASSERT_TRUE(commands->SaveProfileFileAs(kMine));
  PutFile(kMine + u"\\other.pfd", ProfileBytes(11));
  ASSERT_TRUE(commands->LoadProfileFile(kMine + u"\\other.pfd"));
  ASSERT_TRUE(commands->LoadProfileFile(kMine + u"\\copy.pfd"));
  EXPECT_EQ(Slot().Block(), saved);
  EXPECT_EQ(*files.Get(kMine + u"\\copy.pfd"), saved);
}

// ---- the profile menu ----

TEST_F(ProfileFiles, MenuItemsRunTheirCommands) {
  PutFile(env.programFolder + u"\\ZDPresetProfile1.pfd", ProfileBytes(12));
  PutFile(kMine + u"\\chosen.pfd", ProfileBytes(13));
  struct Case {
    int id;
    std::optional<std::u16string> answer;
    bool refresh;
    std::size_t dialogs;
  } cases[] = {
      {1, std::nullopt, true, 0},          {2, kMine + u"\\chosen.pfd", true, 1},
      {3, kMine + u"\\out.pfd", false, 1}, {0, std::nullopt, false, 0},
      {4, std::nullopt, false, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.id);
    dialogs.requests.clear();
    dialogs.answers.clear();
    if (c.answer) dialogs.answers.push_back(c.answer);
    EXPECT_EQ(commands->RunMenuItem(c.id, env.programFolder, kData), c.refresh);
    EXPECT_EQ(dialogs.requests.size(), c.dialogs);
  }
  EXPECT_NE(files.Get(kMine + u"\\out.pfd"), nullptr);
  EXPECT_EQ(Slot().FileName(), u"chosen.pfd");
}

TEST_F(ProfileFiles, ThePresetFileIsADefaultProfileTheLoadAccepts) {
  const auto preset = quarn::PresetProfileBytes();
  ASSERT_EQ(preset.size(), PROFILE_INFO_SIZE);
  PutFile(env.programFolder + u"\\ZDPresetProfile1.pfd", preset);
  ASSERT_TRUE(
      commands->RunMenuItem(ProfileFileCommands::kDefaultProfile, env.programFolder, kData));
  auto expected = std::make_unique<TMouseProfileInfo>();
  std::memset(expected.get(), 0, sizeof *expected);
  quarn::RestoreProfileDefaults(*expected);
  EXPECT_EQ(BytesOf(dm->FCurrentProfileInfo).size(), preset.size());
  EXPECT_EQ(dm->FCurrentProfileInfo.ProfileHeader.FFileVersion, 258);
  EXPECT_EQ(std::memcmp(&dm->FCurrentProfileInfo.ConfigInfo, &expected->ConfigInfo,
                        sizeof expected->ConfigInfo),
            0);
}

}  // namespace
