// The object tree: ownership, look-up by name and kind, absolute geometry, inherited
// visibility and enabling, and the dirty areas that changes report.
#include "ui/object.h"

#include <gtest/gtest.h>

#include "scene_helpers.h"
#include "ui/controls.h"
#include "ui/scene.h"

namespace {

using namespace quarn::ui;
using quarn::LanguageContext;
using quarn::ui::testing::Put;

TEST(ObjectTree, AddRemoveAndChildAccess) {
  Layout root;
  auto& a = Put<RectShape>(root, u"a", {0, 0, 10, 10});
  auto& b = Put<RectShape>(root, u"b", {0, 0, 10, 10});
  EXPECT_EQ(root.ChildCount(), 2u);
  EXPECT_EQ(root.Child(0), &a) << "children keep the order they were added in";
  EXPECT_EQ(root.Child(1), &b);
  EXPECT_EQ(root.Child(2), nullptr) << "out of range gives null";
  EXPECT_EQ(a.Parent(), &root);
  EXPECT_EQ(root.AddChild(nullptr), nullptr);
  EXPECT_EQ(root.ChildCount(), 2u);

  RectShape stranger;
  EXPECT_EQ(root.RemoveChild(stranger), nullptr) << "not a child: nothing removed";
  EXPECT_EQ(a.RemoveChild(b), nullptr) << "a grandchild or sibling is not a child";

  std::unique_ptr<Object> taken = root.RemoveChild(a);
  ASSERT_EQ(taken.get(), &a);
  EXPECT_EQ(a.Parent(), nullptr);
  EXPECT_EQ(root.ChildCount(), 1u);
  EXPECT_EQ(root.Child(0), &b);
  // Moved under another parent, it is found there.
  b.AddChild(std::move(taken));
  EXPECT_EQ(b.Find(u"a"), &a);
  EXPECT_EQ(a.Parent(), &b);
}

TEST(ObjectTree, FindIsDepthFirstAndIgnoresLetterCase) {
  Layout root;
  root.name = u"Root1";
  auto& panel = Put<Layout>(root, u"Panel", {});
  auto& deep = Put<Button>(panel, u"BtnOK", {});
  Put<Button>(root, u"btnok", {});
  auto& label = Put<Label>(root, u"LabelTitle", {});
  struct Case {
    const char* why;
    std::u16string name;
    Object* found;
  } cases[] = {
      {"the object itself", u"root1", &root},
      {"depth first: a grandchild before a later child", u"BTNOK", &deep},
      {"letter case ignored", u"labeltitle", &label},
      {"unknown name", u"Nothing", nullptr},
      {"empty name finds nothing (unnamed objects exist)", u"", nullptr},
      {"a prefix is not the name", u"Btn", nullptr},
  };
  for (const auto& c : cases) EXPECT_EQ(root.Find(c.name), c.found) << c.why;
  EXPECT_EQ(root.FindAs<Label>(u"LabelTitle"), &label);
  EXPECT_EQ(root.FindAs<Button>(u"LabelTitle"), nullptr) << "wrong kind gives null";
}

TEST(ObjectTree, ForEachWalksDescendantsOfOneKind) {
  // The macro editor disables every button but one; the walk must reach nested ones
  // and nothing else.
  Layout root;
  auto& strip = Put<Layout>(root, u"Strip", {});
  Put<Button>(strip, u"BtnMacroStart", {});
  Put<Button>(strip, u"BtnMacroStop", {});
  Put<RectShape>(root, u"Back", {});
  Put<Button>(root, u"BtnClose", {});
  std::vector<std::string> seen;
  root.ForEach<Button>([&](Button& b) {
    seen.push_back(quarn::ui::testing::Narrow(b.name));
    if (b.name != u"BtnMacroStart") b.SetEnabled(false);
  });
  EXPECT_EQ(seen, (std::vector<std::string>{"BtnMacroStart", "BtnMacroStop", "BtnClose"}));
  EXPECT_TRUE(root.Find(u"BtnMacroStart")->Enabled());
  EXPECT_FALSE(root.Find(u"BtnMacroStop")->Enabled());
  int all = 0;
  root.ForEach<Object>([&](Object&) { ++all; });
  EXPECT_EQ(all, 5) << "the root itself is not part of its own walk";
}

TEST(ObjectTree, AbsoluteRectAddsEveryAncestor) {
  Layout root;
  root.SetBounds(0, 0, 500, 400);
  auto& outer = Put<Layout>(root, u"outer", {100, 50, 300, 300});
  auto& inner = Put<Layout>(outer, u"inner", {-20, 10.5f, 100, 100});
  auto& leaf = Put<RectShape>(inner, u"leaf", {5, 5, 20, 10});
  struct Case {
    const char* why;
    Object* o;
    RectF abs;
  } cases[] = {
      {"root at the origin", &root, {0, 0, 500, 400}},
      {"child offset by its position", &outer, {100, 50, 300, 300}},
      {"negative and fractional offsets add up", &inner, {80, 60.5f, 100, 100}},
      {"three levels", &leaf, {85, 65.5f, 20, 10}},
  };
  for (const auto& c : cases) EXPECT_EQ(c.o->AbsoluteRect(), c.abs) << c.why;
  EXPECT_EQ(leaf.LocalToAbsolute({1, 2}), (PointF{86, 67.5f}));
  EXPECT_EQ(leaf.AbsoluteToLocal({86, 67.5f}), (PointF{1, 2}));
}

TEST(ObjectTree, VisibilityAndEnablingAreInherited) {
  Layout root;
  auto& group = Put<Layout>(root, u"group", {});
  auto& child = Put<Button>(group, u"child", {});
  EXPECT_TRUE(child.IsShown());
  EXPECT_TRUE(child.IsEffectivelyEnabled());
  group.SetVisible(false);
  EXPECT_TRUE(child.Visible()) << "its own flag is unchanged";
  EXPECT_FALSE(child.IsShown());
  group.SetVisible(true);
  group.SetEnabled(false);
  EXPECT_TRUE(child.Enabled());
  EXPECT_FALSE(child.IsEffectivelyEnabled());
}

TEST(ObjectTree, ChangesMarkOldAndNewAreasDirty) {
  LanguageContext context;
  Scene scene(400, 300, context);
  std::vector<RectF> reported;
  scene.OnInvalidate = [&](const RectF& r) { reported.push_back(r); };
  auto& panel = Put<Layout>(scene.Root(), u"panel", {100, 100, 200, 100});
  auto& box = Put<RectShape>(panel, u"box", {10, 10, 20, 20});
  scene.TakeDirty();
  reported.clear();

  box.SetPosition(50, 10);
  EXPECT_EQ(reported, (std::vector<RectF>{{110, 110, 20, 20}, {150, 110, 20, 20}}))
      << "a move repaints where it was and where it is, in client pixels";
  EXPECT_EQ(scene.TakeDirty(), (RectF{110, 110, 60, 20}));
  EXPECT_EQ(scene.TakeDirty(), RectF{}) << "taken once";

  reported.clear();
  box.SetPosition(50, 10);
  EXPECT_TRUE(reported.empty()) << "no change, nothing to repaint";

  box.SetBounds(280, 180, 100, 100);  // reaches past the scene's corner
  EXPECT_EQ(reported.back(), (RectF{380, 280, 20, 20})) << "areas are cut to the scene";

  reported.clear();
  auto owned = panel.RemoveChild(box);
  owned->SetPosition(0, 0);
  EXPECT_EQ(reported.size(), 1u) << "the removal repaints; a detached object reports nothing";
}

}  // namespace
