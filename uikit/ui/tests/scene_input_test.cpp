// Mouse and keys through a scene: which object the mouse reaches, the order of
// events, capture, clicks only on release over the pressed object, handlers changed
// or objects destroyed while events run, focus and keys, cursor and hint.
#include <gtest/gtest.h>

#include <memory>

#include "scene_helpers.h"
#include "ui/controls.h"
#include "ui/scene.h"

namespace {

using namespace quarn::ui;
using quarn::LanguageContext;
using quarn::ui::testing::EventLog;
using quarn::ui::testing::Put;

constexpr auto L = MouseButton::Left;
constexpr auto R = MouseButton::Right;

// A 200 x 200 scene: a background, two overlapping buttons a and b (b on top), an
// invisible button over a visible one, an object with hit testing off, a disabled
// button, a container that is not hit itself, and a clipping container.
struct HitScene {
  LanguageContext context;
  Scene scene{200, 200, context};
  HitScene() {
    Object& r = scene.Root();
    Put<RectShape>(r, u"bg", {0, 0, 200, 200});
    Put<Button>(r, u"a", {10, 10, 50, 50});
    Put<Button>(r, u"b", {40, 40, 50, 50});
    Put<Button>(r, u"under", {100, 100, 40, 40});
    Put<Button>(r, u"hidden", {100, 100, 40, 40}).SetVisible(false);
    Put<RectShape>(r, u"nohit", {150, 10, 40, 40}).hitTest = false;
    Put<Button>(r, u"disabled", {150, 100, 40, 40}).SetEnabled(false);
    auto& layout = Put<Layout>(r, u"layout", {0, 150, 100, 50});
    Put<Button>(layout, u"inner", {10, 10, 20, 20});
    auto& clip = Put<Layout>(r, u"clip", {120, 150, 40, 40});
    clip.clipChildren = true;
    Put<Button>(clip, u"overflow", {30, 0, 40, 40});
  }
  Object& operator[](std::u16string_view name) { return *scene.Root().Find(name); }
};

TEST(SceneHitTest, Table) {
  HitScene s;
  struct Case {
    const char* why;
    PointF p;
    const char16_t* hit;  // null: nothing
  } cases[] = {
      {"inside a", {20, 20}, u"a"},
      {"left and top edges are inside", {10, 10}, u"a"},
      {"right edge is outside: background", {60, 20}, u"bg"},
      {"overlap: the later child wins", {45, 45}, u"b"},
      {"an invisible object is passed over", {110, 110}, u"under"},
      {"hit testing off falls through to what is below", {160, 20}, u"bg"},
      {"a disabled object is still the target (it swallows)", {160, 110}, u"disabled"},
      {"a container's child", {15, 165}, u"inner"},
      {"a container that is not hit itself", {5, 155}, u"bg"},
      {"a clipped child inside its container's box", {155, 165}, u"overflow"},
      {"a clipped child outside its container's box", {175, 165}, u"bg"},
      {"outside the scene", {250, 250}, nullptr},
      {"negative point", {-1, 5}, nullptr},
  };
  for (const auto& c : cases) {
    Object* hit = s.scene.HitTest(c.p);
    if (!c.hit)
      EXPECT_EQ(hit, nullptr) << c.why;
    else
      EXPECT_EQ(hit, s.scene.Root().Find(c.hit)) << c.why;
  }
}

TEST(SceneHitTest, DisabledObjectsSwallowInputWithoutEvents) {
  HitScene s;
  EventLog log;
  log.Watch(s[u"disabled"]);
  log.Watch(s[u"bg"]);
  s.scene.MouseMove({160, 110});
  s.scene.MouseDown(L, {160, 110});
  s.scene.MouseUp(L, {160, 110});
  s.scene.DoubleClick(L, {160, 110});
  s.scene.MouseUp(L, {160, 110});
  EXPECT_EQ(log.Joined(), "") << "neither the disabled object nor what lies below it hears";
  EXPECT_EQ(s.scene.Hovered(), nullptr);
  EXPECT_EQ(s.scene.Captured(), nullptr);
  EXPECT_EQ(s.scene.CurrentCursor(), Cursor::Arrow);

  // Enabled again, it takes part at once.
  s[u"disabled"].SetEnabled(true);
  s.scene.MouseMove({160, 110});
  s.scene.MouseDown(L, {160, 110});
  s.scene.MouseUp(L, {160, 110});
  EXPECT_EQ(log.Joined(),
            "enter disabled, move disabled, down disabled, up disabled, click disabled");
}

// One sequence of input and the events it must give.
struct Step {
  enum Kind { Move, Down, Up, Dbl, Leave, Cancel } kind;
  PointF p{};
  MouseButton button = L;
};

std::string RunSteps(std::vector<Step> steps) {
  HitScene s;
  EventLog log;
  for (auto* n : {u"a", u"b", u"bg"}) log.Watch(s[n]);
  for (const auto& st : steps) {
    switch (st.kind) {
      case Step::Move:
        s.scene.MouseMove(st.p);
        break;
      case Step::Down:
        s.scene.MouseDown(st.button, st.p);
        break;
      case Step::Up:
        s.scene.MouseUp(st.button, st.p);
        break;
      case Step::Dbl:
        s.scene.DoubleClick(st.button, st.p);
        break;
      case Step::Leave:
        s.scene.MouseLeave();
        break;
      case Step::Cancel:
        s.scene.CancelCapture();
        break;
    }
  }
  return log.Joined();
}

TEST(SceneEvents, SequencesTable) {
  const PointF inA{20, 20}, inB{80, 80}, inBg{100, 80}, outside{500, 500};
  struct Case {
    const char* why;
    std::vector<Step> steps;
    std::string events;
  } cases[] = {
      {"press and release over the same object: a click",
       {{Step::Move, inA}, {Step::Down, inA}, {Step::Up, inA}},
       "enter a, move a, down a, up a, click a"},
      {"a press without a move first still enters",
       {{Step::Down, inA}, {Step::Up, inA}},
       "enter a, down a, up a, click a"},
      {"released over another object: no click; the other is entered after the release",
       {{Step::Move, inA}, {Step::Down, inA}, {Step::Move, inB}, {Step::Up, inB}},
       "enter a, move a, down a, leave a, move a, up a, enter b"},
      {"released outside the window: capture keeps the release with the pressed object",
       {{Step::Down, inA}, {Step::Move, outside}, {Step::Up, outside}},
       "enter a, down a, leave a, move a, up a"},
      {"out and back in before the release: a click",
       {{Step::Down, inA}, {Step::Move, inB}, {Step::Move, inA}, {Step::Up, inA}},
       "enter a, down a, leave a, move a, enter a, move a, up a, click a"},
      {"the right button: down and up, never a click",
       {{Step::Down, inA, R}, {Step::Up, inA, R}},
       "enter a, down a right, up a right"},
      {"a second button while the first is held goes to the pressed object",
       {{Step::Down, inA}, {Step::Down, inB, R}, {Step::Up, inB, R}, {Step::Up, inA}},
       "enter a, down a, down a right, up a right, up a, click a"},
      {"a release without a press here (pressed in another window): no click",
       {{Step::Move, inA}, {Step::Up, inA}},
       "enter a, move a, up a"},
      {"hover moves between objects: leave before enter",
       {{Step::Move, inA}, {Step::Move, inB}, {Step::Move, inBg}},
       "enter a, move a, leave a, enter b, move b, leave b, enter bg, move bg"},
      {"the pointer leaves the window",
       {{Step::Move, inA}, {Step::Leave}},
       "enter a, move a, leave a"},
      {"double click: press, double click, then an ordinary release and click",
       {{Step::Down, inA}, {Step::Up, inA}, {Step::Dbl, inA}, {Step::Up, inA}},
       "enter a, down a, up a, click a, down a, dblclick a, up a, click a"},
      {"capture lost to another window: no release, no click",
       {{Step::Down, inA}, {Step::Cancel}, {Step::Up, inA}},
       "enter a, down a, up a"},
  };
  for (const auto& c : cases) EXPECT_EQ(RunSteps(c.steps), c.events) << c.why;
}

TEST(SceneEvents, CapturedMovesAndReleasesCarryLocalPointsOutsideTheBox) {
  HitScene s;
  std::vector<PointF> moves, ups;
  s[u"a"].OnMouseMove = [&](Object&, PointF p) { moves.push_back(p); };
  s[u"a"].OnMouseUp = [&](Object&, MouseButton, PointF p) { ups.push_back(p); };
  s.scene.MouseDown(L, {20, 20});
  s.scene.MouseMove({0, 0});
  s.scene.MouseUp(L, {300, -40});
  EXPECT_EQ(moves, (std::vector<PointF>{{-10, -10}}));
  EXPECT_EQ(ups, (std::vector<PointF>{{290, -50}}));
}

TEST(SceneEvents, ObjectDisabledWhileHeldGivesNoClick) {
  HitScene s;
  EventLog log;
  log.Watch(s[u"a"]);
  s.scene.MouseDown(L, {20, 20});
  s[u"a"].SetEnabled(false);
  EXPECT_EQ(s.scene.Captured(), nullptr) << "disabling drops the capture";
  s.scene.MouseUp(L, {20, 20});
  EXPECT_EQ(log.Joined(), "enter a, down a, leave a");
}

TEST(SceneEvents, HandlersClearedAtRunTimeAreNotCalled) {
  HitScene s;
  int clicks = 0, enters = 0;
  Object& a = s[u"a"];
  a.OnClick = [&](Object&) { ++clicks; };
  // A handler that clears itself runs to its end: what it holds (here a text large
  // enough to live on the heap) is still there after the clearing.
  std::string heard;
  a.OnMouseEnter = [&, note = std::string(64, 'e')](Object& self) {
    self.OnMouseEnter = nullptr;
    ++enters;
    heard = note;
  };
  auto click = [&] {
    s.scene.MouseMove({20, 20});
    s.scene.MouseDown(L, {20, 20});
    s.scene.MouseUp(L, {20, 20});
    s.scene.MouseMove({100, 80});
  };
  click();
  a.OnClick = nullptr;
  click();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(enters, 1);
  EXPECT_EQ(heard, std::string(64, 'e'));
  // A handler that replaces another object's handler: the new one runs next time.
  Object& b = s[u"b"];
  std::string said;
  a.OnMouseLeave = [&](Object&) { b.OnMouseEnter = [&](Object&) { said = "new"; }; };
  b.OnMouseEnter = [&](Object&) { said = "old"; };
  s.scene.MouseMove({20, 20});
  s.scene.MouseMove({80, 80});
  EXPECT_EQ(said, "new") << "leave runs before enter";
}

TEST(SceneEvents, HandlerThatDestroysItsObjectOrTheScene) {
  // ASan reports any touch of a freed object.
  {
    HitScene s;
    Object& a = s[u"a"];
    a.OnClick = [&](Object& self) { self.Parent()->RemoveChild(self); };
    s.scene.MouseDown(L, {20, 20});
    s.scene.MouseUp(L, {20, 20});
    EXPECT_EQ(s.scene.Root().Find(u"a"), nullptr);
    EXPECT_EQ(s.scene.Hovered(), s.scene.Root().Find(u"bg")) << "hover moves to what is below";
    EXPECT_EQ(s.scene.Captured(), nullptr);
  }
  {
    HitScene s;
    s[u"a"].OnMouseDown = [&](Object& self, MouseButton, PointF) {
      self.Parent()->RemoveChild(self);
    };
    s.scene.MouseDown(L, {20, 20});
    EXPECT_EQ(s.scene.Captured(), nullptr) << "a removed object holds no capture";
    s.scene.MouseMove({25, 25});
    s.scene.MouseUp(L, {25, 25});
  }
  {
    HitScene s;
    s[u"a"].OnMouseLeave = [&](Object& self) { self.Parent()->RemoveChild(s[u"b"]); };
    s.scene.MouseMove({20, 20});
    s.scene.MouseMove({80, 80});  // leave a removes b, which was about to be entered
    EXPECT_EQ(s.scene.Hovered(), nullptr);
  }
  {
    auto context = std::make_unique<LanguageContext>();
    auto scene = std::make_unique<Scene>(100, 100, *context);
    auto& ok = Put<Button>(scene->Root(), u"ok", {0, 0, 50, 50});
    ok.modalResult = kModalOk;
    ok.OnClick = [&](Object&) { scene.reset(); };  // the dialog closes itself
    scene->MouseDown(L, {10, 10});
    scene->MouseUp(L, {10, 10});
    EXPECT_EQ(scene, nullptr);
  }
}

TEST(SceneEvents, CursorAndHintFollowTheHoveredObject) {
  HitScene s;
  s[u"a"].cursor = Cursor::Hand;
  s[u"a"].hint = u"Apply the settings";
  s[u"disabled"].hint = u"never shown";
  s[u"disabled"].cursor = Cursor::Hand;
  std::vector<Object*> hovers;
  s.scene.OnHoverChange = [&](Object* o) { hovers.push_back(o); };
  s.scene.MouseMove({20, 20});
  EXPECT_EQ(s.scene.CurrentCursor(), Cursor::Hand);
  EXPECT_EQ(s.scene.CurrentHint(), u"Apply the settings");
  s.scene.MouseMove({160, 110});
  EXPECT_EQ(s.scene.CurrentCursor(), Cursor::Arrow) << "disabled: not hovered";
  EXPECT_EQ(s.scene.CurrentHint(), u"");
  s.scene.MouseMove({165, 115});
  EXPECT_EQ(hovers, (std::vector<Object*>{&s[u"a"], nullptr})) << "told once per change";
}

TEST(SceneEvents, HoverRepaintsOnlyObjectsWhoseFaceChanges) {
  HitScene s;
  s.scene.TakeDirty();           // what building the scene marked
  s.scene.MouseMove({100, 80});  // background: its face does not change
  EXPECT_EQ(s.scene.TakeDirty(), RectF{});
  s.scene.MouseMove({20, 20});
  EXPECT_EQ(s.scene.TakeDirty(), (RectF{10, 10, 50, 50})) << "the button alone";
  s.scene.MouseMove({21, 21});
  EXPECT_EQ(s.scene.TakeDirty(), RectF{}) << "moving within it repaints nothing";
  s.scene.MouseDown(L, {21, 21});
  EXPECT_EQ(s.scene.TakeDirty(), (RectF{10, 10, 50, 50}));
}

// --- focus and keys ---

struct BoxScene {
  LanguageContext context;
  Scene scene{300, 200, context};
  TextBox& name = Put<TextBox>(scene.Root(), u"name", {10, 10, 100, 20});
  NumberBox& count = Put<NumberBox>(scene.Root(), u"count", {10, 40, 100, 20});
  Button& ok = Put<Button>(scene.Root(), u"ok", {10, 100, 80, 30});
  BoxScene() { count.SetRange(1, 255); }
};

TEST(SceneFocus, PressMovesFocusAndKeysGoToTheFocusedObject) {
  BoxScene s;
  std::vector<Object*> told;
  s.scene.OnFocusChange = [&](Object* o) { told.push_back(o); };
  std::u16string typed;
  s.name.OnKeyDown = [&](Object&, std::uint16_t&, char16_t& ch) { typed += ch; };
  std::uint16_t key = 0;
  char16_t ch = u'x';
  EXPECT_FALSE(s.scene.KeyDown(key, ch)) << "no focus: the key goes nowhere";

  s.scene.MouseDown(L, {20, 15});
  s.scene.MouseUp(L, {20, 15});
  EXPECT_EQ(s.scene.Focused(), &s.name);
  EXPECT_TRUE(s.name.IsFocused());
  ch = u'Q';
  EXPECT_TRUE(s.scene.KeyDown(key, ch));
  EXPECT_EQ(typed, u"Q");
  EXPECT_EQ(ch, u'Q') << "not swallowed";

  s.scene.MouseDown(MouseButton::Right, {20, 45});
  s.scene.MouseUp(MouseButton::Right, {20, 45});
  EXPECT_EQ(s.scene.Focused(), &s.name) << "only the left button moves the focus";

  s.scene.MouseDown(L, {20, 45});
  EXPECT_EQ(s.scene.Focused(), &s.count);
  EXPECT_FALSE(s.name.IsFocused());
  s.scene.MouseUp(L, {20, 45});
  s.scene.MouseDown(L, {200, 150});  // empty area: nothing there, focus stays
  EXPECT_EQ(s.scene.Focused(), &s.count);
  EXPECT_EQ(told, (std::vector<Object*>{&s.name, &s.count}));
}

TEST(SceneFocus, PressingAButtonCommitsTheNumberBoxBeforeTheClick) {
  BoxScene s;
  std::u16string seenAtClick;
  std::vector<std::string> order;
  s.count.OnChange = [&](Object&) { order.push_back("change"); };
  s.count.OnKillFocus = [&](Object&) { order.push_back("killfocus"); };
  s.ok.OnClick = [&](Object&) {
    order.push_back("click");
    seenAtClick = s.count.Text();
  };
  ASSERT_TRUE(s.scene.SetFocus(&s.count));
  s.count.EditText(u"999");  // the user types into the host's edit
  order.clear();
  s.scene.MouseDown(L, {20, 110});
  s.scene.MouseUp(L, {20, 110});
  EXPECT_EQ(s.scene.Focused(), nullptr) << "a button does not keep the focus";
  EXPECT_EQ(seenAtClick, u"255");
  EXPECT_EQ(order, (std::vector<std::string>{"change", "killfocus", "click"}));
}

TEST(SceneFocus, RefusedTargetsAndLosingTheFocusedObject) {
  BoxScene s;
  LanguageContext other;
  Scene elsewhere(100, 100, other);
  auto& foreign = Put<TextBox>(elsewhere.Root(), u"foreign", {0, 0, 10, 10});
  auto& hiddenBox = Put<TextBox>(s.scene.Root(), u"hidden", {0, 0, 10, 10});
  hiddenBox.SetVisible(false);
  TextBox detached;
  struct Case {
    const char* why;
    Object* target;
  } refused[] = {
      {"a button cannot take the focus", &s.ok},
      {"an object of another scene", &foreign},
      {"a hidden box", &hiddenBox},
      {"an object in no scene", &detached},
  };
  for (const auto& c : refused) {
    EXPECT_FALSE(s.scene.SetFocus(c.target)) << c.why;
    EXPECT_EQ(s.scene.Focused(), nullptr) << c.why;
  }

  int kills = 0;
  s.name.OnKillFocus = [&](Object&) { ++kills; };
  ASSERT_TRUE(s.scene.SetFocus(&s.name));
  s.name.SetEnabled(false);
  EXPECT_EQ(s.scene.Focused(), nullptr) << "disabling the focused box takes the focus away";
  EXPECT_EQ(kills, 1);
  EXPECT_FALSE(s.scene.SetFocus(&s.name)) << "a disabled box is refused";
  s.name.SetEnabled(true);
  ASSERT_TRUE(s.scene.SetFocus(&s.name));
  s.name.SetVisible(false);
  EXPECT_EQ(s.scene.Focused(), nullptr) << "so does hiding it";
  EXPECT_EQ(kills, 2);

  ASSERT_TRUE(s.scene.SetFocus(&s.count));
  std::vector<Object*> told;
  s.scene.OnFocusChange = [&](Object* o) { told.push_back(o); };
  auto gone = s.scene.Root().RemoveChild(s.count);
  EXPECT_EQ(s.scene.Focused(), nullptr) << "removing it too, without its events";
  EXPECT_EQ(told, (std::vector<Object*>{nullptr})) << "the host is told";
  std::uint16_t key = 13;
  char16_t ch = 0;
  EXPECT_FALSE(s.scene.KeyDown(key, ch));
}

TEST(SceneFocus, KeyHandlersMayChangeOrSwallowKeys) {
  BoxScene s;
  // A display-only box: typing never reaches it, Enter still does.
  s.name.swallowTyping = true;
  std::vector<std::pair<std::uint16_t, char16_t>> seen;
  s.name.OnKeyDown = [&](Object&, std::uint16_t& key, char16_t& ch) {
    seen.emplace_back(key, ch);
    if (key == 0x70) key = 0;  // a handler swallows F1
  };
  int ups = 0;
  s.name.OnKeyUp = [&](Object&, std::uint16_t& key, char16_t&) { ups += key == 13; };
  ASSERT_TRUE(s.scene.SetFocus(&s.name));
  struct Case {
    const char* why;
    std::uint16_t key;
    char16_t ch;
    std::uint16_t keyAfter;
    char16_t chAfter;
  } cases[] = {
      {"a typed letter is swallowed after the handler saw it", 0x41, u'a', 0x41, 0},
      {"a key without a character passes", 0x0D, 0, 0x0D, 0},
      {"a handler can swallow a key", 0x70, 0, 0, 0},
      {"a CJK character is swallowed too", 0, u'中', 0, 0},
  };
  for (const auto& c : cases) {
    std::uint16_t key = c.key;
    char16_t ch = c.ch;
    EXPECT_TRUE(s.scene.KeyDown(key, ch)) << c.why;
    EXPECT_EQ(key, c.keyAfter) << c.why;
    EXPECT_EQ(ch, c.chAfter) << c.why;
  }
  EXPECT_EQ(seen.size(), 4u);
  EXPECT_EQ(seen[0].second, u'a') << "the handler sees the character before it is swallowed";
  std::uint16_t enter = 13;
  char16_t none = 0;
  s.scene.KeyUp(enter, none);
  EXPECT_EQ(ups, 1);
}

}  // namespace

namespace {

// The scene's hover, press and focus agree with the objects' flags and point only
// into the tree.
void CheckStateAgrees(Scene& scene, const std::string& step) {
  auto inScene = [&](Object* o) {
    for (Object* p = o; p; p = p->Parent())
      if (p == &scene.Root()) return true;
    return false;
  };
  if (Object* h = scene.Hovered()) {
    ASSERT_TRUE(inScene(h)) << step;
    ASSERT_TRUE(h->IsShown() && h->IsEffectivelyEnabled()) << step;
  }
  if (Object* c = scene.Captured()) {
    ASSERT_TRUE(inScene(c)) << step;
  }
  if (Object* f = scene.Focused()) {
    ASSERT_TRUE(inScene(f) && f->CanFocus()) << step;
  }
  scene.Root().ForEach<Object>([&](Object& o) {
    ASSERT_EQ(o.IsHovered(), &o == scene.Hovered()) << step;
    ASSERT_EQ(o.IsMouseDown(), &o == scene.Captured()) << step;
    ASSERT_EQ(o.IsFocused(), &o == scene.Focused()) << step;
  });
}

TEST(SceneEvents, HammeringWithHandlersThatReshapeTheTree) {
  // Random input over a scene whose handlers hide, disable, remove and add objects.
  // ASan reports any touch of a removed object.
  LanguageContext context;
  Scene scene(200, 200, context);
  std::uint32_t seed = 12345;
  auto next = [&](std::uint32_t n) {
    seed = seed * 1664525u + 1013904223u;
    return (seed >> 8) % n;
  };
  std::function<void(Object&)> arm;
  auto spawn = [&](Object& parent) {
    Object* o;
    switch (next(3)) {
      case 0:
        o = &parent.Add<Button>();
        break;
      case 1:
        o = &parent.Add<NumberBox>();
        break;
      default:
        o = &parent.Add<Layout>();
        o->hitTest = true;  // else nothing ever removes it
        break;
    }
    o->SetBounds(float(next(180)), float(next(180)), float(5 + next(60)), float(5 + next(60)));
    arm(*o);
  };
  int removed = 0, acts = 0;
  arm = [&](Object& o) {
    auto act = [&](Object& self) {
      ++acts;
      switch (next(8)) {
        case 0:
          if (self.Parent()) {
            self.Parent()->RemoveChild(self);
            ++removed;
          }
          break;
        case 1:
          self.SetVisible(!self.Visible());
          break;
        case 2:
          self.SetEnabled(!self.Enabled());
          break;
        case 3:
          if (scene.Root().ChildCount() < 40) spawn(next(2) ? scene.Root() : self);
          break;
        case 4:
          scene.SetFocus(&self);
          break;
        default:
          break;
      }
    };
    o.OnClick = act;
    o.OnMouseEnter = act;
    o.OnMouseLeave = act;
    o.OnMouseDown = [act](Object& self, MouseButton, PointF) { act(self); };
    o.OnMouseUp = [act](Object& self, MouseButton, PointF) { act(self); };
    if (auto* box = dynamic_cast<NumberBox*>(&o)) box->OnKillFocus = act;
  };
  for (int i = 0; i < 12; ++i) spawn(scene.Root());
  for (int step = 0; step < 20000; ++step) {
    const PointF p{float(next(220)) - 10, float(next(220)) - 10};
    const MouseButton b = next(4) ? L : R;
    switch (next(7)) {
      case 0:
        scene.MouseDown(b, p);
        break;
      case 1:
        scene.MouseUp(b, p);
        break;
      case 2:
        scene.DoubleClick(b, p);
        break;
      case 3:
        scene.MouseLeave();
        break;
      case 4:
        if (next(10) == 0) scene.CancelCapture();
        break;
      default:
        scene.MouseMove(p);
        break;
    }
    while (scene.Root().ChildCount() < 12) spawn(scene.Root());
    {
      // The program brings a hidden or disabled object back.
      std::vector<Object*> all;
      scene.Root().ForEach<Object>([&](Object& o) { all.push_back(&o); });
      Object* o = all[next(std::uint32_t(all.size()))];
      o->SetVisible(true);
      o->SetEnabled(true);
    }
    CheckStateAgrees(scene, "step " + std::to_string(step));
    if (HasFatalFailure()) return;
  }
  EXPECT_GT(acts, 2000) << "the input reached the handlers";
  EXPECT_GT(removed, 300) << "the handlers did reshape the tree";
}

}  // namespace
