#include "vn_profile.h"

#include <gtest/gtest.h>

#include <cstring>

#include "memory_stores.h"
#include "profile_records.h"
#include "record_builders.h"

namespace {

using quarn::StoreStatus;
using quarn::testing::BytesOf;
using quarn::testing::MemoryFileStore;
using quarn::testing::MemoryRegistryStore;
using quarn::testing::Pattern;
using quarn::testing::PatternProfile;

constexpr auto HKCU = quarn::kHKeyCurrentUser;
const std::u16string kKey = u"software\\QUARNMouse";

class ProfileStream : public ::testing::Test {
 protected:
  ProfileStream() : profile(registry, files) {
    files.AddFolder(u"C:");
    files.AddFolder(u"C:\\Docs");
    profile.SetRootKey(HKCU);
    profile.SetKeyPath(kKey);
    profile.SetFileName(u"zykProfile1.pfd");
    profile.SetFilePath(u"C:\\Docs");
  }
  // Counts the after-callbacks.
  void CountAfters() {
    profile.OnAfterLoadFromRegistry = [this](ProfileBlock&) { ++afters; };
    profile.OnAfterSaveToRegistry = [this](ProfileBlock&) { ++afters; };
    profile.OnAfterLoadFromFile = [this](ProfileBlock&) { ++afters; };
    profile.OnAfterSaveToFile = [this](ProfileBlock&) { ++afters; };
  }
  void SetBlock(const std::vector<std::uint8_t>& bytes) {
    profile.Write(bytes.data(), static_cast<std::int32_t>(bytes.size()));
  }

  MemoryRegistryStore registry;
  MemoryFileStore files;
  TvnProfile profile;
  int afters = 0;
};

TEST_F(ProfileStream, ProfileRoundTripsByteForByteThroughRegistryAndFile) {
  auto written = PatternProfile(7);
  ASSERT_EQ(profile.Write(written.get(), sizeof(TMouseProfileInfo)), 127108);
  ASSERT_TRUE(profile.SaveStreamToRegistry());
  ASSERT_TRUE(profile.SaveStreamToFile());
  EXPECT_EQ(registry.Get(HKCU, kKey, u"zykProfile1.pfd")->bytes, BytesOf(*written));
  EXPECT_EQ(*files.Get(u"C:\\Docs\\zykProfile1.pfd"), BytesOf(*written));

  for (auto load : {&TvnProfile::LoadStreamFromRegistry,
                    static_cast<bool (TvnProfile::*)()>(&TvnProfile::LoadStreamFromFile)}) {
    TvnProfile reader(registry, files);
    reader.SetRootKey(HKCU);
    reader.SetKeyPath(kKey);
    reader.SetFileName(u"zykProfile1.pfd");
    reader.SetFilePath(u"C:\\Docs\\");
    ASSERT_TRUE((reader.*load)());
    auto back = std::make_unique<TMouseProfileInfo>();
    std::memset(back.get(), 0xEE, sizeof *back);
    EXPECT_EQ(reader.Read(back.get(), sizeof *back), 127108);
    EXPECT_EQ(BytesOf(*back), BytesOf(*written)) << "reserved bytes included";
    EXPECT_EQ(reader.Size(), 127108);
  }
}

TEST_F(ProfileStream, StoredValuesOfOtherSizesAndTypes) {
  struct Case {
    const char* why;
    bool present;
    std::vector<std::uint8_t> bytes;
    bool binary;
    bool result;
    std::size_t blockAfter;  // size of the block after the load
    StoreStatus status;
  };
  const std::vector<std::uint8_t> before = Pattern(300, 1);
  const Case cases[] = {
      {"missing value: false, block unchanged", false, {}, true, false, 300, StoreStatus::Missing},
      {"empty value loads as an empty block", true, {}, true, true, 0, StoreStatus::Ok},
      {"short value takes its own size", true, Pattern(100, 9), true, true, 100, StoreStatus::Ok},
      {"long value keeps its tail", true, Pattern(1000, 9), true, true, 1000, StoreStatus::Ok},
      {"string or DWORD value is treated as missing", true, Pattern(4, 9), false, false, 300,
       StoreStatus::WrongType},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    registry.values.clear();
    if (c.present) registry.Put(HKCU, kKey, u"zykProfile1.pfd", c.bytes, c.binary);
    profile.SetSize(0);
    SetBlock(before);
    afters = 0;
    CountAfters();
    EXPECT_EQ(profile.LoadStreamFromRegistry(), c.result);
    EXPECT_EQ(profile.LastLoadStatus(), c.status);
    EXPECT_EQ(profile.Block().size(), c.blockAfter);
    EXPECT_EQ(profile.Size(), static_cast<std::int64_t>(c.blockAfter));
    EXPECT_EQ(afters, c.result ? 1 : 0);
    if (c.result) EXPECT_EQ(profile.Block(), c.bytes);
    else EXPECT_EQ(profile.Block(), before);
  }
}

TEST_F(ProfileStream, ShortBlockFillsOnlyTheLeadingBytesOfTheRecord) {
  registry.Put(HKCU, kKey, u"zykProfile1.pfd", Pattern(100, 3));
  ASSERT_TRUE(profile.LoadStreamFromRegistry());
  auto record = PatternProfile(99);
  const auto original = BytesOf(*record);
  EXPECT_EQ(profile.Read(record.get(), sizeof *record), 100);
  auto after = BytesOf(*record);
  EXPECT_TRUE(std::equal(after.begin(), after.begin() + 100, Pattern(100, 3).begin()));
  EXPECT_TRUE(std::equal(after.begin() + 100, after.end(), original.begin() + 100));
}

TEST_F(ProfileStream, LongBlockKeepsItsTailThroughWriteAndSave) {
  registry.Put(HKCU, kKey, u"zykProfile1.pfd", Pattern(127108 + 50, 5));
  ASSERT_TRUE(profile.LoadStreamFromRegistry());
  auto record = PatternProfile(1);
  EXPECT_EQ(profile.Write(record.get(), 10), 10);
  EXPECT_EQ(profile.Size(), 127108 + 50) << "the block never shrinks on Write";
  ASSERT_TRUE(profile.SaveStreamToRegistry());
  const auto& saved = registry.Get(HKCU, kKey, u"zykProfile1.pfd")->bytes;
  auto expected = Pattern(127108 + 50, 5);
  std::memcpy(expected.data(), record.get(), 10);
  EXPECT_EQ(saved, expected);
}

TEST_F(ProfileStream, RegistryTargetMustBeComplete) {
  struct Case {
    const char* why;
    quarn::RegRoot root;
    std::u16string key, name;
    bool keyUnavailable;
  };
  const Case cases[] = {
      {"root other than HKCU/HKLM", 0x80000000u, kKey, u"v", false},
      {"no root set", 0, kKey, u"v", false},
      {"empty key path", HKCU, u"", u"v", false},
      {"empty value name", HKCU, kKey, u"", false},
      {"key that cannot be opened is a failure", HKCU, u"software\\Locked", u"v", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    registry.unavailable.clear();
    if (c.keyUnavailable) registry.unavailable.insert(quarn::testing::Fold(c.key));
    TvnProfile p(registry, files);
    p.SetRootKey(c.root);
    p.SetKeyPath(c.key);
    p.SetFileName(c.name);
    SetBlock(Pattern(10, 1));
    p.Write(Pattern(10, 1).data(), 10);
    int calls = 0;
    p.OnAfterLoadFromRegistry = [&](ProfileBlock&) { ++calls; };
    p.OnAfterSaveToRegistry = [&](ProfileBlock&) { ++calls; };
    EXPECT_FALSE(p.LoadStreamFromRegistry());
    EXPECT_EQ(p.Block(), Pattern(10, 1));
    EXPECT_FALSE(p.SaveStreamToRegistry());
    EXPECT_EQ(calls, 0);
  }
  EXPECT_TRUE(registry.values.empty());
}

TEST_F(ProfileStream, BeforeCallbackVetoStopsEveryOperation) {
  SetBlock(Pattern(64, 2));
  registry.Put(HKCU, kKey, u"zykProfile1.pfd", Pattern(32, 8));
  files.files[quarn::testing::Fold(u"C:\\Docs\\zykProfile1.pfd")] = Pattern(16, 8);
  auto veto = [](ProfileBlock&, bool& bContinue) {
    EXPECT_TRUE(bContinue) << "handlers are called with bContinue = true";
    bContinue = false;
  };
  profile.OnBeforeLoadFromRegistry = veto;
  profile.OnBeforeSaveToRegistry = veto;
  profile.OnBeforeLoadFromFile = veto;
  profile.OnBeforeSaveToFile = veto;
  CountAfters();
  EXPECT_FALSE(profile.LoadStreamFromRegistry());
  EXPECT_FALSE(profile.SaveStreamToRegistry());
  EXPECT_FALSE(profile.LoadStreamFromFile());
  EXPECT_FALSE(profile.LoadStreamFromFile(u"C:\\Docs\\zykProfile1.pfd"));
  EXPECT_FALSE(profile.SaveStreamToFile());
  EXPECT_FALSE(profile.SaveStreamToFile(u"C:\\Docs\\other.pfd"));
  EXPECT_EQ(afters, 0);
  EXPECT_EQ(profile.Block(), Pattern(64, 2));
  EXPECT_EQ(registry.Get(HKCU, kKey, u"zykProfile1.pfd")->bytes, Pattern(32, 8));
  EXPECT_TRUE(files.writes.empty());
}

TEST_F(ProfileStream, FilePathProperty) {
  EXPECT_EQ(profile.FilePath(), u"C:\\Docs\\") << "an existing folder reads back with a backslash";
  profile.SetFilePath(u"C:\\Missing");
  EXPECT_EQ(profile.FilePath(), u"C:\\Docs\\") << "a folder that does not exist is ignored";
  profile.SetFilePath(u"");
  EXPECT_EQ(profile.FilePath(), u"C:\\Docs\\");
}

TEST_F(ProfileStream, FileLoadTellsMissingFromUnreadable) {
  SetBlock(Pattern(20, 4));
  EXPECT_FALSE(profile.LoadStreamFromFile());
  EXPECT_EQ(profile.LastLoadStatus(), StoreStatus::Missing);
  files.unreadable.insert(quarn::testing::Fold(u"C:\\Docs\\zykProfile1.pfd"));
  EXPECT_FALSE(profile.LoadStreamFromFile());
  EXPECT_EQ(profile.LastLoadStatus(), StoreStatus::Unreadable);
  EXPECT_FALSE(profile.LoadStreamFromFile(u"C:\\Docs\\zykProfile1.pfd"));
  EXPECT_EQ(profile.LastLoadStatus(), StoreStatus::Unreadable);
  EXPECT_EQ(profile.Block(), Pattern(20, 4));
  files.unreadable.clear();
  files.files[quarn::testing::Fold(u"C:\\Docs\\big.pfd")] =
      std::vector<std::uint8_t>(quarn::kMaxStoredBlobSize + 1);
  EXPECT_FALSE(profile.LoadStreamFromFile(u"C:\\Docs\\big.pfd"));
  EXPECT_EQ(profile.LastLoadStatus(), StoreStatus::TooLarge);
  EXPECT_EQ(profile.Block(), Pattern(20, 4));
}

TEST_F(ProfileStream, SaveToNamedFile) {
  SetBlock(Pattern(40, 6));
  CountAfters();
  EXPECT_FALSE(profile.SaveStreamToFile(u"bare.pfd")) << "no folder part: nothing to create";
  EXPECT_TRUE(profile.SaveStreamToFile(u"C:\\Docs\\New\\p.pfd")) << "creates the last level";
  EXPECT_EQ(*files.Get(u"C:\\Docs\\New\\p.pfd"), Pattern(40, 6));
  EXPECT_FALSE(profile.SaveStreamToFile(u"C:\\A\\B\\p.pfd")) << "only one level is created";
  EXPECT_EQ(afters, 1);
  EXPECT_EQ(files.writes.size(), 1u);
  EXPECT_EQ(profile.FilePath(), u"C:\\Docs\\") << "the named save keeps path and name";
  EXPECT_EQ(profile.FileName(), u"zykProfile1.pfd");

  files.readOnly.insert(quarn::testing::Fold(u"C:\\Docs\\zykProfile1.pfd"));
  EXPECT_FALSE(profile.SaveStreamToFile()) << "a write error is a failure, not an exception";
  EXPECT_EQ(afters, 1);

  EXPECT_TRUE(profile.PreSaveStreamToFile(u"C:\\Docs\\Sub\\q.pfd"));
  EXPECT_EQ(profile.FilePath(), u"C:\\Docs\\Sub\\");
  EXPECT_EQ(profile.FileName(), u"q.pfd");
}

TEST_F(ProfileStream, NamedLoadLeavesPathAndNameAndNeedsTheFile) {
  files.files[quarn::testing::Fold(u"C:\\Docs\\macro.macro")] = Pattern(892, 2);
  int befores = 0;
  profile.OnBeforeLoadFromFile = [&](ProfileBlock&, bool&) { ++befores; };
  EXPECT_FALSE(profile.LoadStreamFromFile(u"C:\\Docs\\absent.pfd"));
  EXPECT_EQ(befores, 0) << "a missing file calls no callback";
  EXPECT_TRUE(profile.LoadStreamFromFile(u"C:\\Docs\\macro.macro"));
  EXPECT_EQ(profile.Block(), Pattern(892, 2));
  EXPECT_EQ(profile.FileName(), u"zykProfile1.pfd");
}

TEST_F(ProfileStream, SizeAndRestoreToDefault) {
  profile.SetSize(127108);
  EXPECT_EQ(profile.Block().size(), 127108u);
  int calls = 0;
  profile.OnRestoreToDefault = [&](ProfileBlock& block) {
    ++calls;
    EXPECT_EQ(block.size(), 127108u);
    block[0] = 0x42;
  };
  profile.RestoreToDefault();
  EXPECT_EQ(calls, 1);
  std::uint8_t first = 0;
  EXPECT_EQ(profile.Read(&first, 1), 1);
  EXPECT_EQ(first, 0x42);
  profile.OnRestoreToDefault = nullptr;
  profile.RestoreToDefault();  // nothing assigned: nothing happens
}

}  // namespace
