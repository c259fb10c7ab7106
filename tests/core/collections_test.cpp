// The command-setting and function-manager components: default names, handler
// runs, owned buffers and deep copies.
#include <gtest/gtest.h>

#include <cstring>

#include "vn_command_setting.h"
#include "vn_function_manager.h"

namespace {

TEST(CollectionNaming, LowestFreeNumberIgnoringCase) {
  struct Case {
    const char* why;
    std::vector<std::u16string> existing;
    std::u16string command;
  } cases[] = {
      {"empty", {}, u"Command1"},
      {"gap", {u"Command1", u"Command3"}, u"Command2"},
      {"lower case taken", {u"command1"}, u"Command2"},
      {"other names", {u"SetCPI", u"SetLED"}, u"Command1"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TvnCommandSetting setting;
    for (const auto& n : c.existing) {
      auto item = std::make_unique<TvnCommand>();
      item->Name = n;
      setting.Commands().Insert(std::move(item));
    }
    EXPECT_EQ(setting.Commands().Add().Name, c.command);
    EXPECT_EQ(setting.Commands().Items(static_cast<int>(c.existing.size())).Name, c.command);
    for (int i = 0; i < static_cast<int>(c.existing.size()); ++i)
      EXPECT_EQ(setting.Commands().Items(i).Name, c.existing[i]);  // pre-named keep theirs
  }
}

TEST(CollectionNaming, FunctionItemsGetNameAndId) {
  TvnFunctionManager manager;
  auto& items = manager.Items();
  auto& named = items.Add(u"Item2");
  EXPECT_EQ(named.ItemID(), 0u);
  auto& first = items.Add();
  EXPECT_EQ(first.Name, u"Item1");
  EXPECT_EQ(first.ItemID(), 1u);
  auto& third = items.Add();
  EXPECT_EQ(third.Name, u"Item3");
  EXPECT_EQ(third.ItemID(), 3u);
  third.Name = u"Renamed";
  EXPECT_EQ(third.ItemID(), 3u);
  auto& again = items.Add();  // Item3 is free again after the rename
  EXPECT_EQ(again.Name, u"Item3");
  EXPECT_EQ(again.ItemID(), 3u);
  EXPECT_EQ(items.GetItem(0), &named);
  EXPECT_EQ(items.GetItem(4), nullptr);
  EXPECT_EQ(items.GetItem(-1), nullptr);
  EXPECT_EQ(items.GetOwner(), &manager);
  TvnFunctionItem bare(&items);
  EXPECT_EQ(bare.GetDisplayName(), u"TvnFunctionItem");
  EXPECT_EQ(first.GetDisplayName(), u"Item1");
}

TEST(CommandSetting, HandlersRunInOrderOnTheSameBuffer) {
  TvnCommandSetting setting;
  std::vector<std::string> calls;
  auto add = [&](const char* tag, bool assigned) {
    auto& c = setting.Commands().Add();
    if (assigned)
      c.OnExecute = [&, tag](TvnGetSet type, void* buffer, std::uint32_t size) {
        auto* b = static_cast<std::uint8_t*>(buffer);
        calls.push_back(std::string(tag) + (type == vnGet ? " get " : " set ") +
                        std::to_string(b[0]) + " " + std::to_string(size));
        ++b[0];
      };
  };
  add("a", true);
  add("skipped", false);
  add("b", true);
  std::uint8_t buffer[4] = {10, 0, 0, 0};
  EXPECT_TRUE(setting.SetData(buffer, sizeof buffer));
  EXPECT_TRUE(setting.GetData(buffer, sizeof buffer));
  EXPECT_EQ(calls,
            (std::vector<std::string>{"a set 10 4", "b set 11 4", "a get 12 4", "b get 13 4"}));

  TvnCommandSetting empty;
  empty.Commands().Add();
  std::uint8_t untouched[3] = {1, 2, 3};
  EXPECT_TRUE(empty.SetData(untouched, 3));
  EXPECT_EQ(untouched[0] + untouched[1] + untouched[2], 6);
}

TEST(CommandSetting, AHandlerMayRemoveCommandsWhileTheyRun) {
  TvnCommandSetting setting;
  int later = 0;
  setting.Commands().Add().OnExecute = [&](TvnGetSet, void*, std::uint32_t) {
    setting.Commands().Delete(0);  // itself
    setting.Commands().Delete(1);  // a later one
  };
  setting.Commands().Add().OnExecute = [&](TvnGetSet, void*, std::uint32_t) { ++later; };
  setting.Commands().Add().OnExecute = [&](TvnGetSet, void*, std::uint32_t) { ++later; };
  std::uint8_t b = 0;
  EXPECT_TRUE(setting.SetData(&b, 1));
  EXPECT_EQ(setting.Commands().Count(), 1);
}

TEST(CommandSetting, AssigningCopiesTheCommands) {
  TvnCommandSetting source;
  int runs = 0;
  auto& c = source.Commands().Add();
  c.Description = u"desc";
  c.OnExecute = [&](TvnGetSet, void*, std::uint32_t) { ++runs; };
  TvnCommandSetting target;
  target.Commands().Add();
  target.SetCommands(source.Commands());
  source.Commands().Clear();
  ASSERT_EQ(target.Commands().Count(), 1);
  EXPECT_EQ(target.Commands().Items(0).Name, u"Command1");
  EXPECT_EQ(target.Commands().Items(0).Description, u"desc");
  std::uint8_t b = 0;
  target.GetData(&b, 1);
  EXPECT_EQ(runs, 1);
}

TEST(FunctionItemBuffer, OwnCopyReplacedAndBoundedReads) {
  TvnFunctionManager manager;
  auto& item = manager.Items().Add();
  std::uint8_t source[4] = {1, 2, 3, 4};
  EXPECT_TRUE(item.SetBuffer(source, 4));
  source[0] = 99;  // the caller's later change does not reach the item
  std::uint8_t out[4] = {};
  EXPECT_TRUE(item.GetBuffer(out, sizeof out));
  EXPECT_EQ(out[0], 1);

  std::uint8_t small[3] = {7, 7, 7};
  EXPECT_FALSE(item.GetBuffer(small, sizeof small));
  EXPECT_EQ(small[0], 7);  // nothing copied

  EXPECT_TRUE(item.SetBuffer(source, 0));  // size 0 keeps the old copy
  EXPECT_EQ(item.BufferSize(), 4u);
  EXPECT_FALSE(item.SetBuffer(nullptr, 8));
  EXPECT_EQ(item.BufferSize(), 4u);

  std::uint8_t longer[6] = {9, 8, 7, 6, 5, 4};
  EXPECT_TRUE(item.SetBuffer(longer, 6));  // the old copy is freed (leak check)
  EXPECT_EQ(item.GetBufferSize(), 6u);
  EXPECT_EQ(static_cast<const std::uint8_t*>(item.BufferPointer())[5], 4);

  auto& bare = manager.Items().Add();
  EXPECT_TRUE(bare.GetBuffer(nullptr, 0));
  EXPECT_EQ(bare.BufferPointer(), nullptr);
}

TEST(FunctionItemBuffer, RunItPassesIdAndOwnCopy) {
  TvnFunctionManager manager;
  auto& items = manager.Items();
  items.Add();
  auto& item = items.Add();
  std::vector<std::string> seen;
  auto record = [&](std::int32_t id, const void* p, std::uint32_t size) {
    seen.push_back(std::to_string(id) + (p ? " buffer " : " none ") + std::to_string(size) +
                   (p ? " " + std::to_string(*static_cast<const std::uint8_t*>(p)) : ""));
  };
  item.OnExecute = record;
  item.RunIt();
  std::uint8_t data[2] = {42, 43};
  item.SetBuffer(data, 2);
  item.RunIt();
  EXPECT_EQ(seen, (std::vector<std::string>{"2 none 0", "2 buffer 2 42"}));
  items.GetItem(0)->RunIt();  // no handler: nothing
  EXPECT_EQ(seen.size(), 2u);
}

TEST(FunctionItemBuffer, CopiedCollectionsOwnTheirBuffers) {
  auto source = std::make_unique<TvnFunctionManager>();
  auto& item = source->Items().Add();
  item.Caption = u"cap";
  std::uint8_t data[3] = {5, 6, 7};
  item.SetBuffer(data, 3);
  TvnFunctionManager copy;
  copy.SetItems(source->Items());
  auto* copied = copy.Items().GetItem(0);
  ASSERT_NE(copied, nullptr);
  EXPECT_NE(copied->BufferPointer(), item.BufferPointer());
  EXPECT_EQ(copied->ItemID(), 1u);
  EXPECT_EQ(copied->Caption, u"cap");
  EXPECT_EQ(copied->Owner(), &copy.Items());
  std::uint8_t other[3] = {1, 1, 1};
  copied->SetBuffer(other, 3);
  EXPECT_EQ(static_cast<const std::uint8_t*>(item.BufferPointer())[0], 5);
  source.reset();  // both destroyed separately: no double free
  std::uint8_t out[3];
  EXPECT_TRUE(copied->GetBuffer(out, 3));
  EXPECT_EQ(out[0], 1);
}

}  // namespace
