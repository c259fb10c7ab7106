// The list box, the spin box and the colour animation, driven through a scene as the
// host window drives them.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "scene_helpers.h"
#include "ui/animation.h"
#include "ui/list_box.h"
#include "ui/scene.h"
#include "ui/spin_box.h"

namespace quarn::ui {
namespace {

using testing::Narrow;
using testing::Put;

std::unique_ptr<ListBoxItem> Item(std::u16string text) {
  auto item = std::make_unique<ListBoxItem>();
  item->SetText(std::move(text));
  return item;
}

std::string Texts(const ListBox& list) {
  std::string s;
  for (int i = 0; i < list.Count(); ++i) s += Narrow(static_cast<TextObject*>(list.Row(i))->Text());
  return s;
}

// A 100 x 100 list at (10, 10) with rows 20 high and a top margin of 10: five rows
// show at once, row r at list y 10 + 20 r.
struct ListFixture {
  ListFixture() : scene(200, 200), list(Put<ListBox>(scene.Root(), u"list", {10, 10, 100, 100})) {
    list.rowHeight = 20;
    list.padding = {0, 10, 0, 10};
    list.Relayout();
    list.OnChange = [this](Object&) { changes.push_back(list.ItemIndex()); };
  }
  void Press(MouseButton b, float listY) {
    scene.MouseDown(b, {50, 10 + listY});
    scene.MouseUp(b, {50, 10 + listY});
  }
  Scene scene;
  ListBox& list;
  std::vector<int> changes;
};

TEST(ListBox, InsertingKeepsTheSelectionOnItsRow) {
  ListFixture f;
  for (auto t : {u"a", u"c"}) f.list.AddRow(Item(t));
  f.list.SetItemIndex(1);  // c
  struct Case {
    int at;
    const char16_t* text;
    std::string rows;
    int selected;
  };
  const Case cases[] = {
      {1, u"b", "abc", 2},   // in front of the selected row
      {3, u"d", "abcd", 2},  // after it
      {-5, u"0", "0abcd", 3},
      {99, u"e", "0abcde", 3},  // brought to the end
  };
  for (const Case& c : cases) {
    f.list.InsertRow(c.at, Item(c.text));
    EXPECT_EQ(Texts(f.list), c.rows);
    EXPECT_EQ(f.list.ItemIndex(), c.selected) << c.rows;
    EXPECT_TRUE(static_cast<ListBoxItem*>(f.list.Row(c.selected))->selected) << c.rows;
  }
  EXPECT_TRUE(f.changes.empty()) << "program changes fire nothing";
  EXPECT_EQ(f.list.Row(2)->Y(), 50);
}

TEST(ListBox, PressesSelectTheRowUnderThePointer) {
  ListFixture f;
  for (auto t : {u"a", u"b", u"c"}) f.list.AddRow(Item(t));
  struct Case {
    const char* why;
    MouseButton button;
    float y;
    int selected;
    std::vector<int> changes;
  };
  const Case cases[] = {
      {"left press on row 1", MouseButton::Left, 35, 1, {1}},
      {"same row again: no change", MouseButton::Left, 39, 1, {}},
      {"right press selects too", MouseButton::Right, 55, 2, {2}},
      {"the top margin is no row", MouseButton::Left, 5, 2, {}},
      {"below the last row", MouseButton::Left, 80, 2, {}},
  };
  for (const Case& c : cases) {
    f.changes.clear();
    f.Press(c.button, c.y);
    EXPECT_EQ(f.list.ItemIndex(), c.selected) << c.why;
    EXPECT_EQ(f.changes, c.changes) << c.why;
  }
  f.scene.SetFocus(nullptr);
  EXPECT_EQ(f.list.ItemIndex(), 2) << "kept without the focus";
}

TEST(ListBox, ScrollingStaysInsideTheRowsAndMovesThem) {
  ListFixture f;
  for (int i = 0; i < 8; ++i) f.list.AddRow(Item(std::u16string(1, char16_t(u'a' + i))));
  EXPECT_EQ(f.list.MaxScroll(), 80);  // 8 rows of 20 in an 80-high view
  f.list.ScrollBy(20);
  EXPECT_EQ(f.list.Row(1)->Y(), 10);
  f.list.ScrollBy(1000);
  EXPECT_EQ(f.list.ScrollOffset(), 80);
  f.list.ScrollBy(-1000);
  EXPECT_EQ(f.list.ScrollOffset(), 0);
  f.list.ScrollIntoView(6);  // rows 0..3 shown: row 6 comes up as the last one
  EXPECT_EQ(f.list.ScrollOffset(), 60);
  f.Press(MouseButton::Left, 15);  // the first shown row is now row 3
  EXPECT_EQ(f.list.ItemIndex(), 3);
  f.list.ScrollIntoView(0);
  EXPECT_EQ(f.list.ScrollOffset(), 0);
  f.list.Clear();
  EXPECT_EQ(f.list.Count(), 0);
  EXPECT_EQ(f.list.ItemIndex(), -1);
  EXPECT_EQ(f.list.MaxScroll(), 0);
  f.list.SetItemIndex(0);
  EXPECT_EQ(f.list.ItemIndex(), -1);
}

TEST(SpinBox, CommitsOnEnterStepsAndLeavingNotWhileTyping) {
  Scene scene(200, 100);
  SpinBox& box = Put<SpinBox>(scene.Root(), u"spin", {0, 0, 80, 20});
  box.SetRange(10, 65535);
  box.SetValue(10);
  std::vector<std::int64_t> commits;
  std::vector<std::string> order;
  box.OnCommit = [&](SpinBox&, std::int64_t v) {
    commits.push_back(v);
    order.push_back("commit");
  };
  box.OnKillFocus = [&](Object&) { order.push_back("kill"); };
  ASSERT_TRUE(scene.SetFocus(&box));

  struct Case {
    const char* why;
    std::u16string typed;
    std::uint16_t key;
    std::vector<std::int64_t> commits;
  };
  const Case cases[] = {
      {"typing alone commits nothing", u"2", 0, {}},
      {"Enter commits the clamped value", u"5", SpinBox::kKeyEnter, {10}},
      {"above the range", u"70000", SpinBox::kKeyEnter, {65535}},
      {"Up steps and commits", u"250", SpinBox::kKeyUp, {251}},
      {"Down at the minimum stays", u"10", SpinBox::kKeyDown, {10}},
      {"Up at the maximum stays", u"65535", SpinBox::kKeyUp, {65535}},
  };
  for (const Case& c : cases) {
    commits.clear();
    box.EditText(c.typed);
    if (c.key != 0) {
      std::uint16_t key = c.key;
      char16_t ch = 0;
      scene.KeyDown(key, ch);
      EXPECT_EQ(key, 0) << c.why << ": the key is the box's";
    }
    EXPECT_EQ(commits, c.commits) << c.why;
  }
  box.EditText(u"300");
  order.clear();
  commits.clear();
  scene.SetFocus(nullptr);
  EXPECT_EQ(commits, (std::vector<std::int64_t>{300}));
  EXPECT_EQ(order, (std::vector<std::string>{"commit", "kill"}));

  // A box hidden by its commit does not commit again when it loses the focus.
  box.OnCommit = [&](SpinBox& b, std::int64_t v) {
    commits.push_back(v);
    b.SetVisible(false);
  };
  box.SetVisible(true);
  ASSERT_TRUE(scene.SetFocus(&box));
  commits.clear();
  std::uint16_t key = SpinBox::kKeyEnter;
  char16_t ch = 0;
  scene.KeyDown(key, ch);
  box.FocusLost();
  EXPECT_EQ(commits.size(), 1u);
}

TEST(ColorAnimation, WhiteToRedInAndOutLoopingThenStoppedWhereItWas) {
  ColorAnimation a;  // white -> red over 3 s, back, looping
  EXPECT_EQ(a.ValueAt(0), Rgb(0xFF, 0xFF, 0xFF)) << "not started: the start value";
  a.Start(1000);
  struct Case {
    std::uint64_t at;
    Color color;
  };
  const Case cases[] = {
      {1000, Rgb(0xFF, 0xFF, 0xFF)}, {2500, Rgb(0xFF, 0x80, 0x80)}, {4000, Rgb(0xFF, 0, 0)},
      {5500, Rgb(0xFF, 0x80, 0x80)}, {7000, Rgb(0xFF, 0xFF, 0xFF)}, {10000, Rgb(0xFF, 0, 0)},
      {500, Rgb(0xFF, 0xFF, 0xFF)},  // a clock before the start
  };
  for (const Case& c : cases) EXPECT_EQ(a.ValueAt(c.at), c.color) << c.at;
  EXPECT_TRUE(a.Running());
  a.Stop(2500);
  EXPECT_FALSE(a.Running());
  EXPECT_EQ(a.ValueAt(9999), Rgb(0xFF, 0x80, 0x80));

  ColorAnimation once;
  once.loop = false;
  once.durationMs = 100;
  once.Start(0);
  EXPECT_EQ(once.ValueAt(250), Rgb(0xFF, 0xFF, 0xFF)) << "ends back at the start value";
  EXPECT_FALSE(once.Running());
  once.durationMs = 0;  // no division by zero
  once.Start(0);
  EXPECT_EQ(once.ValueAt(5), Rgb(0xFF, 0xFF, 0xFF));
  EXPECT_EQ(ColorAnimation::Blend(0x00000000, 0xFFFFFFFF, 2.0), 0xFFFFFFFFu);
}

}  // namespace
}  // namespace quarn::ui
