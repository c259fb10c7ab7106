// Storing a chosen function into a button's entry of the current profile, over
// the profile data module on memory stores with scripted dialogs: the bytes of
// every kind of function, dialogs that were not confirmed, the last "Click"
// button kept, paths that do not fit, and a profile switch that waits.
#include "function_assignment.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "config_fixture.h"
#include "function_dialog_models.h"

namespace quarn::testing {
namespace {

// Answers the function dialogs from a script and records what they were given.
class ScriptedFunctionDialogs final : public FunctionDialogs {
 public:
  int ShowComboKeyDialog(TCOMBOKEYINFO& combo, const ScreenRect& area) override {
    calls.push_back("combo");
    areas.push_back(area);
    givenCombo = combo;
    combo = comboAnswer;  // a dialog may change its copy whatever it returns
    return result;
  }
  int ShowQuickLaunchDialog(std::u16string& path, const ScreenRect& area) override {
    calls.push_back("path");
    areas.push_back(area);
    givenPath = path;
    path = pathAnswer;
    return result;
  }
  int ShowFireKeyDialog(TFIREKEYINFO& fire, const ScreenRect& area) override {
    calls.push_back("fire");
    areas.push_back(area);
    givenFire = fire;
    if (whileOpen) whileOpen();
    fire = fireAnswer;
    return result;
  }
  int ShowMacroDialog(TMACROKEYINFO& macro, const ScreenRect& area) override {
    calls.push_back("macro");
    areas.push_back(area);
    std::memcpy(&macro, macroAnswer.data(), sizeof macro);
    return result;
  }

  int result = 1;
  TCOMBOKEYINFO comboAnswer{0x4B, 0, 0, 0, MODIFIER_CTRL | MODIFIER_SHIFT};
  std::u16string pathAnswer = u"C:\\Tools\\logger.exe";
  TFIREKEYINFO fireAnswer{3, 60};
  std::vector<std::uint8_t> macroAnswer = Pattern(sizeof(TMACROKEYINFO), 0x5A);
  std::function<void()> whileOpen;

  std::vector<std::string> calls;
  std::vector<ScreenRect> areas;
  TCOMBOKEYINFO givenCombo{};
  std::u16string givenPath;
  TFIREKEYINFO givenFire{};
};

constexpr std::size_t kEntrySize = sizeof(TBUTTONFUNCINFO);
std::size_t EntryOffset(int index) {
  return offsetof(TMouseProfileInfo, ConfigInfo) + offsetof(TMOUSECONFIGINFO, ButtonFuncInfo) +
         static_cast<std::size_t>(index) * kEntrySize;
}

// Byte `at` of an entry set to `value` (little-endian, `width` bytes).
void Put(std::vector<std::uint8_t>& bytes, std::size_t at, std::uint64_t value, int width) {
  for (int k = 0; k < width; ++k)
    bytes[at + static_cast<std::size_t>(k)] = static_cast<std::uint8_t>(value >> (8 * k));
}

class FunctionAssignmentTest : public ConfigFixture {
 protected:
  // Slot 0 is the current profile: the factory one with every byte of the
  // side button's entry (index 3) patterned, as a long-used profile has them.
  void StartWith(std::function<void(TMOUSECONFIGINFO&)> edit = nullptr) {
    StoreProfile(0, *ProfileWith([&](TMOUSECONFIGINFO& c) {
                   const auto pattern = Pattern(offsetof(TBUTTONFUNCINFO, ButtonIndex), 0x21);
                   std::memcpy(&c.ButtonFuncInfo[3], pattern.data(), pattern.size());
                   c.ButtonFuncInfo[3].ActionCode = 0x01020304;
                   std::memset(c.ButtonFuncInfo[3].Reserved4668, 0xEE, 4);
                   if (edit) edit(c);
                 }));
    window.originX = 100;
    window.originY = 50;
    Start();
    assignment = std::make_unique<FunctionAssignment>(
        *dm, *controller, dialogs, fd,
        [](std::u16string_view t) { return u"T:" + std::u16string(t); });
    assignment->OnButtonChanged = [this](int i) { log.Add("caption " + std::to_string(i)); };
    assignment->OnRefreshButtonCaptions = [this] { log.Add("captions all"); };
    before = Stream(0);
  }
  std::vector<std::uint8_t> EntryIn(const std::vector<std::uint8_t>& stream, int index) const {
    const auto at = stream.begin() + static_cast<std::ptrdiff_t>(EntryOffset(index));
    return {at, at + static_cast<std::ptrdiff_t>(kEntrySize)};
  }
  const TBUTTONFUNCINFO& Current(int index) const {
    return dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[index];
  }

  ScriptedFunctionDialogs fd;
  std::unique_ptr<FunctionAssignment> assignment;
  std::vector<std::uint8_t> before;
};

// The expected entry: the old bytes with kind, code (when given), menu ID and
// one data field changed.
struct Expect {
  std::uint8_t kind;
  std::int64_t code;  // -1: kept
  std::int32_t menu;
  std::size_t dataAt = 0;
  std::vector<std::uint8_t> data{};
};

TEST_F(FunctionAssignmentTest, EachChoiceWritesItsFieldsAndNothingElse) {
  std::vector<std::uint8_t> combo(10, 0);
  Put(combo, 0, 0x4B, 2);
  Put(combo, 8, MODIFIER_CTRL | MODIFIER_SHIFT, 2);
  std::vector<std::uint8_t> path(2048, 0);
  const std::u16string p = u"C:\\Tools\\logger.exe";
  for (std::size_t i = 0; i < p.size(); ++i) Put(path, 2 * i, p[i], 2);
  struct Row {
    std::int64_t id;
    const char* dialog;
    Expect expect;
  } rows[] = {
      {4, "", {1, 3, 4}},
      {21, "", {1, 21, 21}},
      {16, "", {1, 41, 16}},
      {1201, "", {1, 33, 1201}},
      {1302, "", {1, 35, 1302}},
      {1304, "", {1, 1304, 1304}},
      {1109, "", {1, 1109, 1109}},
      {1, "", {1, 0, 1}},
      {14, "combo", {3, 14, 14, offsetof(TBUTTONFUNCINFO, ComboKey), combo}},
      {15, "path", {2, -1, 15, offsetof(TBUTTONFUNCINFO, ProgramPath), path}},
      {17, "fire", {5, 42, 17, offsetof(TBUTTONFUNCINFO, FireKeyInfo), {3, 0, 60, 0}}},
      {18,
       "macro",
       {4, -1, 18, offsetof(TBUTTONFUNCINFO, MacroKeyInfo), Pattern(sizeof(TMACROKEYINFO), 0x5A)}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.id);
    StartWith();
    ASSERT_EQ(assignment->vnMenuExMAINItemsClick(3, r.id), AssignResult::Stored);
    std::vector<std::uint8_t> expected = EntryIn(before, 3);
    if (!r.expect.data.empty())
      std::copy(r.expect.data.begin(), r.expect.data.end(),
                expected.begin() + static_cast<std::ptrdiff_t>(r.expect.dataAt));
    expected[offsetof(TBUTTONFUNCINFO, FunctionKind)] = r.expect.kind;
    if (r.expect.code >= 0)
      Put(expected, offsetof(TBUTTONFUNCINFO, FunctionCode),
          static_cast<std::uint64_t>(r.expect.code), 2);
    Put(expected, offsetof(TBUTTONFUNCINFO, MenuID), static_cast<std::uint32_t>(r.expect.menu), 4);
    const std::vector<std::uint8_t> after = Stream(0);
    EXPECT_EQ(EntryIn(after, 3), expected);
    // Everything outside the entry is as it was.
    std::vector<std::uint8_t> rest = after;
    std::copy(expected.begin(), expected.end(),
              rest.begin() + static_cast<std::ptrdiff_t>(EntryOffset(3)));
    std::vector<std::uint8_t> restBefore = before;
    std::copy(expected.begin(), expected.end(),
              restBefore.begin() + static_cast<std::ptrdiff_t>(EntryOffset(3)));
    EXPECT_TRUE(rest == restBefore);
    EXPECT_EQ(fd.calls,
              (*r.dialog ? std::vector<std::string>{r.dialog} : std::vector<std::string>{}));
    EXPECT_TRUE(controller->SettingsChanged);
    EXPECT_TRUE(dm->IsProfileChanged(0));
    std::vector<std::string> captions{"caption 3"};
    if (r.id == 18) captions.push_back("captions all");
    EXPECT_EQ(log.With("caption"), captions);
    // Only memory changed: disk and monitor follow at the next apply.
    EXPECT_TRUE(StoreWrites().empty());
    EXPECT_TRUE(log.With("monitor").empty());
    fd.calls.clear();
  }
}

TEST_F(FunctionAssignmentTest, DialogsNotConfirmedLeaveTheEntryByteForByte) {
  for (int result : {2, 0, -1, 3}) {
    for (std::int64_t id : {14, 15, 17, 18}) {
      SCOPED_TRACE(std::to_string(id) + " result " + std::to_string(result));
      StartWith();
      fd.result = result;
      EXPECT_EQ(assignment->vnMenuExMAINItemsClick(3, id), AssignResult::Cancelled);
      EXPECT_TRUE(Stream(0) == before);
      EXPECT_TRUE(std::memcmp(&Current(3), before.data() + EntryOffset(3), kEntrySize) == 0);
      EXPECT_FALSE(dm->IsProfileChanged(0));
      EXPECT_TRUE(log.With("caption").empty());
      EXPECT_TRUE(controller->SettingsChanged);  // whatever happened
    }
  }
}

TEST_F(FunctionAssignmentTest, DialogsGetTheStoredValuesAndOpenInTheOptionsArea) {
  StartWith([](TMOUSECONFIGINFO& c) {
    c.ButtonFuncInfo[3].ComboKey = {0x43, 0, 0, 0, MODIFIER_CTRL};
    std::fill(std::begin(c.ButtonFuncInfo[3].ProgramPath),
              std::end(c.ButtonFuncInfo[3].ProgramPath), u'\0');
    std::u16string old = u"D:\\old.exe";
    std::copy(old.begin(), old.end(), c.ButtonFuncInfo[3].ProgramPath);
    c.ButtonFuncInfo[3].FireKeyInfo = {4, 70};
  });
  fd.result = 2;
  assignment->AssignButtonFunction(3, 14);
  assignment->AssignButtonFunction(3, 15);
  assignment->AssignButtonFunction(3, 17);
  EXPECT_EQ(fd.givenCombo.nKeyValue1, 0x43);
  EXPECT_EQ(fd.givenCombo.nModifier, MODIFIER_CTRL);
  EXPECT_EQ(fd.givenPath, u"D:\\old.exe");
  EXPECT_EQ(fd.givenFire.nLoopCount, 4);
  EXPECT_EQ(fd.givenFire.DelyValue, 70);
  const ScreenRect options{760, 169, 1084, 640};
  for (const ScreenRect& a : fd.areas) EXPECT_EQ(a, options);
}

TEST_F(FunctionAssignmentTest, FireKeyWithoutDelayIsSeededFromTheProfile) {
  struct Row {
    const char* why;
    std::int32_t speed, count;
    TFIREKEYINFO own, given;
  } rows[] = {
      {"factory defaults", 10, 2, {0, 0}, {2, 10}},
      {"own values", 10, 2, {5, 40}, {5, 40}},
      {"count without delay", 10, 2, {7, 0}, {2, 10}},
      {"wide values clamped", 65541, 70000, {0, 0}, {255, 255}},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.why);
    StartWith([&](TMOUSECONFIGINFO& c) {
      c.FireKeySpeed = r.speed;
      c.FireKeyCount = r.count;
      c.ButtonFuncInfo[4].FireKeyInfo = r.own;
    });
    fd.result = 2;
    assignment->AssignButtonFunction(4, 17);
    EXPECT_EQ(fd.givenFire.nLoopCount, r.given.nLoopCount);
    EXPECT_EQ(fd.givenFire.DelyValue, r.given.DelyValue);
    EXPECT_TRUE(Stream(0) == before);
  }
}

// Entry i set to click (kind 1, code 0) or to something else.
void Set(TBUTTONFUNCINFO& e, std::uint8_t kind, std::uint16_t code, std::int32_t menu) {
  e.FunctionKind = kind;
  e.FunctionCode = code;
  e.MenuID = menu;
}

TEST_F(FunctionAssignmentTest, TheLastClickButtonKeepsItsFunction) {
  // The factory profile has one click button, entry 0.
  for (std::int64_t id : {2, 1, 14, 15, 17, 1201}) {
    SCOPED_TRACE(id);
    StartWith();
    EXPECT_EQ(assignment->vnMenuExMAINItemsClick(0, id), AssignResult::KeptLastClick);
    EXPECT_TRUE(Stream(0) == before);
    EXPECT_TRUE(fd.calls.empty());
    ASSERT_EQ(dialogs.calls.size(), 1u);
    EXPECT_EQ(dialogs.calls[0].title, u"T:Warning");
    EXPECT_EQ(dialogs.calls[0].text, u"T:At least one \"Click\" function to be retained.");
    EXPECT_EQ(dialogs.calls[0].text1, u"");
    EXPECT_TRUE(dialogs.calls[0].warning);
    EXPECT_EQ(dialogs.calls[0].rect, (ScreenRect{760, 169, 1084, 640}));
    dialogs.calls.clear();
  }
}

TEST_F(FunctionAssignmentTest, ClickGuardCountsAndTestsTheSameWay) {
  // Two click buttons: one may change, then the other is the last.
  StartWith([](TMOUSECONFIGINFO& c) { Set(c.ButtonFuncInfo[2], 1, 0, 1); });
  EXPECT_EQ(assignment->AssignButtonFunction(0, 2), AssignResult::Stored);
  EXPECT_EQ(assignment->AssignButtonFunction(2, 3), AssignResult::KeptLastClick);

  // Quick Launch and Macro keep code 0; with a click button elsewhere they
  // are reassignable (they are no click).
  for (int kind : {int(FUNCKIND_QUICKLAUNCH), int(FUNCKIND_MACRO), int(FUNCKIND_COMBOKEY), 0}) {
    SCOPED_TRACE(int(kind));
    StartWith([&](TMOUSECONFIGINFO& c) { Set(c.ButtonFuncInfo[3], std::uint8_t(kind), 0, 15); });
    EXPECT_EQ(assignment->AssignButtonFunction(3, 21), AssignResult::Stored);
    EXPECT_EQ(Current(3).MenuID, 21);
  }

  // A click entry beyond ButtonCount is not counted: the one counted is the last.
  StartWith([](TMOUSECONFIGINFO& c) { Set(c.ButtonFuncInfo[6], 1, 0, 1); });
  EXPECT_EQ(assignment->AssignButtonFunction(0, 2), AssignResult::KeptLastClick);
}

TEST_F(FunctionAssignmentTest, ClickCountOfStoredCounts) {
  StartWith([](TMOUSECONFIGINFO& c) {
    for (auto& e : c.ButtonFuncInfo) Set(e, 1, 0, 1);
  });
  struct Row {
    std::int32_t count;
    int clicks;
  } rows[] = {{-1, 0},
              {0, 0},
              {5, 5},
              {15, 15},
              {16, 15},
              {1000, 15},
              {std::numeric_limits<std::int32_t>::min(), 0}};
  for (const Row& r : rows) {
    dm->FCurrentProfileInfo.ConfigInfo.ButtonCount = r.count;
    EXPECT_EQ(CountClickButtons(dm->FCurrentProfileInfo.ConfigInfo), r.clicks) << r.count;
  }
}

TEST_F(FunctionAssignmentTest, ProgramPathsThatDoNotFitAreRefusedWhole) {
  StartWith();
  fd.pathAnswer = std::u16string(1024, u'a');
  EXPECT_EQ(assignment->AssignButtonFunction(3, 15), AssignResult::PathTooLong);
  EXPECT_TRUE(Stream(0) == before);
  ASSERT_EQ(dialogs.calls.size(), 1u);
  EXPECT_EQ(dialogs.calls[0].title, u"T:Warning");
  EXPECT_EQ(dialogs.calls[0].text, u"T:The program path is too long.");

  fd.pathAnswer = std::u16string(1023, u'b');
  EXPECT_EQ(assignment->AssignButtonFunction(3, 15), AssignResult::Stored);
  EXPECT_EQ(StoredProgramPath(Current(3).ProgramPath), fd.pathAnswer);
  EXPECT_EQ(Current(3).ProgramPath[1023], u'\0');

  // A stored path without a terminator reaches the dialog bounded.
  std::fill(std::begin(dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[3].ProgramPath),
            std::end(dm->FCurrentProfileInfo.ConfigInfo.ButtonFuncInfo[3].ProgramPath), u'z');
  fd.result = 2;
  assignment->AssignButtonFunction(3, 15);
  EXPECT_EQ(fd.givenPath.size(), 1024u);

  // An empty path is taken as typed.
  fd.result = 1;
  fd.pathAnswer.clear();
  EXPECT_EQ(assignment->AssignButtonFunction(3, 15), AssignResult::Stored);
  EXPECT_EQ(Current(3).ProgramPath[0], u'\0');
  EXPECT_EQ(Current(3).FunctionKind, FUNCKIND_QUICKLAUNCH);
}

TEST_F(FunctionAssignmentTest, OutOfRangeButtonsAndIDsChangeNothing) {
  StartWith();
  for (int index : {-1, 15, 16, 1000, std::numeric_limits<int>::min()})
    EXPECT_EQ(assignment->vnMenuExMAINItemsClick(index, 21), AssignResult::NoButton) << index;
  for (std::int64_t id : {0, -1, 10, 13, 22, 1013, 1401, 110101, 1000000})
    EXPECT_EQ(assignment->vnMenuExMAINItemsClick(3, id), AssignResult::NoFunction) << id;
  EXPECT_TRUE(Stream(0) == before);
  EXPECT_TRUE(fd.calls.empty());
  EXPECT_TRUE(dialogs.calls.empty());
  // The hidden entries beyond the five buttons take functions too.
  EXPECT_EQ(assignment->AssignButtonFunction(14, 21), AssignResult::Stored);
  EXPECT_EQ(Current(14).MenuID, 21);
}

TEST_F(FunctionAssignmentTest, MacroAssignmentRefreshesEveryCaption) {
  StartWith();
  ASSERT_EQ(assignment->AssignButtonFunction(4, 18), AssignResult::Stored);
  EXPECT_EQ(log.With("caption"), (std::vector<std::string>{"caption 4", "captions all"}));
  EXPECT_EQ(Current(4).FunctionCode, 4);  // kept
}

TEST_F(FunctionAssignmentTest, AProfileSwitchDuringTheDialogWaitsForTheWrite) {
  StartWith();
  fd.whileOpen = [this] { controller->WMProfileSwitched(2); };
  ASSERT_EQ(assignment->AssignButtonFunction(3, 17), AssignResult::Stored);
  // Written into the profile that was shown, then the switch is posted again.
  EXPECT_EQ(dm->FProfileIndex, 0);
  TBUTTONFUNCINFO e;
  std::memcpy(&e, Stream(0).data() + EntryOffset(3), sizeof e);
  EXPECT_EQ(e.MenuID, 17);
  ASSERT_EQ(window.posted.size(), 1u);
  EXPECT_EQ(window.posted[0].second, 2u);
  EXPECT_FALSE(controller->IsModal());
}

TEST_F(FunctionAssignmentTest, WheelItemsStoreTheirCode) {
  StartWith();
  log.Clear();
  assignment->OnWheelButtonChanged = [this](int w) { log.Add("wheel " + std::to_string(w)); };
  ASSERT_TRUE(assignment->AssignWheelFunction(1, 3));
  const TBUTTONFUNCINFO& w = dm->FCurrentProfileInfo.ConfigInfo.VWheelButtonFuncInfo[1];
  EXPECT_EQ(w.FunctionKind, 1);
  EXPECT_EQ(w.FunctionCode, 2);
  EXPECT_EQ(w.MenuID, 3);
  EXPECT_EQ(log.With("wheel"), (std::vector<std::string>{"wheel 1"}));
  const auto now = Stream(0);
  for (auto [tag, item] :
       std::vector<std::pair<int, std::int64_t>>{{-1, 1}, {2, 1}, {0, 0}, {0, 7}, {1, -3}})
    EXPECT_FALSE(assignment->AssignWheelFunction(tag, item)) << tag << " " << item;
  EXPECT_TRUE(Stream(0) == now);
}

}  // namespace
}  // namespace quarn::testing
