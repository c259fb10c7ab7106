// Sideways scrolling over a fake desktop and fake Office applications: the
// method each window class gets in both directions, with its exact messages,
// keys and pauses; the Office steps and their fallback; the scroll-bar target
// and the alternation over scroll-bar children; hung windows.
#include "horizontal_scroll.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "action_fakes.h"
#include "office_fakes.h"

namespace {

using quarn::ActionRun;
using quarn::AutoValue;
using quarn::HorizontalScroller;
using quarn::RunningEntry;
using quarn::ScrollDirection;
using quarn::WindowId;
using quarn::testing::ActionLog;
using quarn::testing::CallLog;
using quarn::testing::FakeAutomation;
using quarn::testing::FakeWindows;
using quarn::testing::RecordingSink;
using quarn::testing::ScriptedObject;
using quarn::testing::VirtualWaiter;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;

constexpr WindowId kForeground = 10;
constexpr WindowId kUnderCursor = 11;
constexpr WindowId kFocus = 12;

struct Rig {
  ActionLog input;  // keys and wheel notches, with their virtual times
  CallLog calls;    // messages, focus changes and automation calls
  VirtualWaiter waiter;
  RecordingSink sink{input, waiter};
  FakeWindows windows{calls};
  FakeAutomation automation{calls};
  bool windows61 = false;
  bool abort = false;
  HorizontalScroller scroller{windows, automation, sink, [this] { return windows61; }};

  explicit Rig(std::u16string foregroundClass = u"Notepad") {
    windows.foreground = kForeground;
    windows.underCursor = kUnderCursor;
    windows.foregroundFocus = kFocus;
    windows.classes[kForeground] = std::move(foregroundClass);
  }
  void Scroll(ScrollDirection direction) {
    ActionRun run(sink, waiter, [this] { return abort; });
    scroller.Scroll(direction, run);
  }
  // Only the automation calls and messages, without the lookups.
  std::vector<std::string> Calls() const { return calls; }
};

// Window classes and what a step in each direction does.
TEST(HorizontalScroll, EachWindowClassGetsItsMethodInBothDirections) {
  struct Case {
    const char* why;
    std::u16string className;
    ScrollDirection direction;
    std::vector<std::string> input;  // "ms event"
    std::vector<std::string> calls;
  };
  // The cursor is at (0x123, 0x45): lParam 0x450123.
  const Case cases[] = {
      {"browser frame, exact case: wheel message to the window under the cursor",
       u"MozillaUIWindowClass",
       ScrollDirection::Left,
       {},
       {"send 11 hwheel FF880000 450123"}},
      {"browser frame to the right: delta +120",
       u"MozillaUIWindowClass",
       ScrollDirection::Right,
       {},
       {"send 11 hwheel 780000 450123"}},
      {"the browser class in lower case is not that row: scroll bar",
       u"mozillauiwindowclass",
       ScrollDirection::Left,
       {},
       {"send 12 hscroll 0 0"}},
      {"reader: focus under the cursor, Shift held around a 20 ms arrow",
       u"AdobeAcrobat",
       ScrollDirection::Left,
       {"0 key 10 down", "0 key 25 ext down", "20 key 25 ext up", "20 key 10 up"},
       {"focus 11"}},
      {"reader to the right, other case",
       u"adobeACROBAT",
       ScrollDirection::Right,
       {"0 key 10 down", "0 key 27 ext down", "20 key 27 ext up", "20 key 10 up"},
       {"focus 11"}},
      {"photo viewer: one extended tap, no pause",
       u"Photo_Lightweight_Viewer",
       ScrollDirection::Left,
       {"0 key 25 ext down", "0 key 25 ext up"},
       {}},
      {"photo viewer right",
       u"PHOTO_LIGHTWEIGHT_VIEWER",
       ScrollDirection::Right,
       {"0 key 27 ext down", "0 key 27 ext up"},
       {}},
      {"reader window: six 20 ms taps",
       u"AcrobatSDIWindow",
       ScrollDirection::Left,
       {"0 key 25 ext down", "20 key 25 ext up", "20 key 25 ext down", "40 key 25 ext up",
        "40 key 25 ext down", "60 key 25 ext up", "60 key 25 ext down", "80 key 25 ext up",
        "80 key 25 ext down", "100 key 25 ext up", "100 key 25 ext down", "120 key 25 ext up"},
       {}},
      {"reader window right",
       u"acrobatsdiwindow",
       ScrollDirection::Right,
       {"0 key 27 ext down", "20 key 27 ext up", "20 key 27 ext down", "40 key 27 ext up",
        "40 key 27 ext down", "60 key 27 ext up", "60 key 27 ext down", "80 key 27 ext up",
        "80 key 27 ext down", "100 key 27 ext up", "100 key 27 ext down", "120 key 27 ext up"},
       {}},
      {"picture preview: left Ctrl with the extended flag around the arrow",
       u"ShImgVw:CPreviewWnd",
       ScrollDirection::Left,
       {"0 key A2 ext down", "0 key 25 ext down", "20 key 25 ext up", "20 key A2 ext up"},
       {}},
      {"picture preview right",
       u"shimgvw:cpreviewwnd",
       ScrollDirection::Right,
       {"0 key A2 ext down", "0 key 27 ext down", "20 key 27 ext up", "20 key A2 ext up"},
       {}},
      {"web browser frame: one extended tap",
       u"IEFrame",
       ScrollDirection::Left,
       {"0 key 25 ext down", "0 key 25 ext up"},
       {}},
      {"web browser frame in other case acts the same",
       u"ieframe",
       ScrollDirection::Right,
       {"0 key 27 ext down", "0 key 27 ext up"},
       {}},
      {"any other class: scroll-bar message to the foreground's focus",
       u"Notepad",
       ScrollDirection::Left,
       {},
       {"send 12 hscroll 0 0"}},
      {"any other class to the right: SB_LINERIGHT",
       u"Notepad",
       ScrollDirection::Right,
       {},
       {"send 12 hscroll 1 0"}},
      {"no foreground class at all: scroll bar",
       u"",
       ScrollDirection::Right,
       {},
       {"send 12 hscroll 1 0"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig(c.className);
    rig.Scroll(c.direction);
    EXPECT_THAT(rig.input.Timed(), ElementsAreArray(c.input));
    EXPECT_THAT(rig.Calls(), ElementsAreArray(c.calls));
  }
}

TEST(HorizontalScroll, NoWindowUnderTheCursorSendsNoWheelMessage) {
  Rig rig(u"MozillaUIWindowClass");
  rig.windows.underCursor = 0;
  rig.Scroll(ScrollDirection::Left);
  EXPECT_THAT(rig.Calls(), IsEmpty());
  EXPECT_THAT(rig.input.Texts(), IsEmpty());
}

TEST(HorizontalScroll, WheelMessageCarriesNegativeCoordinatesAsSixteenBitHalves) {
  Rig rig(u"MozillaUIWindowClass");
  rig.windows.cursor = {-2, -1};  // a monitor left of and above the primary one
  rig.Scroll(ScrollDirection::Right);
  EXPECT_THAT(rig.Calls(), ElementsAre("send 11 hwheel 780000 FFFFFFFE"));
}

TEST(HorizontalScroll, AnAbortedHoldLetsGoOfArrowAndModifier) {
  for (const std::u16string cls : {u"AdobeAcrobat", u"ShImgVw:CPreviewWnd", u"AcrobatSDIWindow"}) {
    SCOPED_TRACE(quarn::testing::Narrow(cls));
    Rig rig(cls);
    rig.waiter.SendAt(5, [&] { rig.abort = true; });
    rig.Scroll(ScrollDirection::Left);
    // Whatever went down came up, the last pressed first, and nothing more was pressed.
    int down = 0;
    for (const auto& k : rig.input.keys) down += k.up ? -1 : 1;
    EXPECT_EQ(down, 0);
    ASSERT_FALSE(rig.input.keys.empty());
    EXPECT_TRUE(rig.input.keys.back().up);
    EXPECT_LE(rig.input.keys.size(), 4u);
  }
}

TEST(HorizontalScroll, PowerPointFramesScrollTheActiveWindowWithFourIntegers) {
  for (const std::u16string cls :
       {u"PP7FrameClass", u"PP97FrameClass", u"PP9FrameClass", u"PP10FrameClass", u"PP11FrameClass",
        u"pp12frameclass", u"PP13FrameClass"}) {
    SCOPED_TRACE(quarn::testing::Narrow(cls));
    for (const auto direction : {ScrollDirection::Left, ScrollDirection::Right}) {
      Rig rig(cls);
      auto app = std::make_shared<ScriptedObject>("pp", rig.calls);
      auto window = std::make_shared<ScriptedObject>("ppwin", rig.calls);
      app->properties[u"ActiveWindow"] = AutoValue::Object(window);
      rig.automation.running[u"PowerPoint.Application"] = app;
      rig.Scroll(direction);
      EXPECT_THAT(rig.Calls(), ElementsAre("running PowerPoint.Application", "pp.get ActiveWindow",
                                           direction == ScrollDirection::Left
                                               ? "ppwin.SmallScroll(0,0,0,1) lcid 0"
                                               : "ppwin.SmallScroll(0,0,1,0) lcid 0"));
      EXPECT_THAT(rig.input.Texts(), IsEmpty());
    }
  }
}

TEST(HorizontalScroll, PowerPointFailuresEndInOneWheelNotch) {
  struct Case {
    const char* why;
    bool running;
    bool window;
    bool nullWindow;
    bool scrollFails;
  };
  const Case cases[] = {
      {"not running", false, false, false, false},
      {"no active window", true, false, false, false},
      {"the active window comes back as a null object", true, true, true, false},
      {"SmallScroll fails", true, true, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig(u"PP12FrameClass");
    auto app = std::make_shared<ScriptedObject>("pp", rig.calls);
    auto window = std::make_shared<ScriptedObject>("ppwin", rig.calls);
    if (c.scrollFails) window->failing.insert(u"SmallScroll");
    if (c.window)
      app->properties[u"ActiveWindow"] = AutoValue::Object(c.nullWindow ? nullptr : window);
    if (c.running) rig.automation.running[u"PowerPoint.Application"] = app;
    rig.Scroll(ScrollDirection::Right);
    EXPECT_THAT(rig.input.Texts(), ElementsAre("hwheel +120"));
  }
}

struct WordRig : Rig {
  std::shared_ptr<ScriptedObject> app = std::make_shared<ScriptedObject>("word", calls);
  std::shared_ptr<ScriptedObject> windowsList = std::make_shared<ScriptedObject>("windows", calls);
  std::shared_ptr<ScriptedObject> active = std::make_shared<ScriptedObject>("active", calls);
  explicit WordRig(int windowCount) : Rig(u"OpusApp") {
    app->properties[u"Windows"] = AutoValue::Object(windowsList);
    app->properties[u"ActiveWindow"] = AutoValue::Object(active);
    windowsList->properties[u"Count"] = AutoValue::Int(windowCount);
    automation.running[u"Word.Application"] = app;
  }
};

TEST(HorizontalScroll, WordScrollsItsActiveWindowWithTheDirectionArgumentOnly) {
  for (const auto direction : {ScrollDirection::Left, ScrollDirection::Right}) {
    WordRig rig(2);
    rig.Scroll(direction);
    // SmallScroll(Down, Up, ToRight, ToLeft): the others are left out, not zero.
    EXPECT_THAT(rig.Calls(), ElementsAre("running Word.Application", "word.get Windows",
                                         "windows.get Count", "word.get ActiveWindow",
                                         direction == ScrollDirection::Left
                                             ? "active.SmallScroll(-,-,-,1) lcid 0"
                                             : "active.SmallScroll(-,-,1,-) lcid 0"));
    EXPECT_THAT(rig.input.Texts(), IsEmpty());
  }
}

TEST(HorizontalScroll, WordWithoutWindowsDoesNothingAndFailuresEndInOneWheelNotch) {
  {
    WordRig rig(0);
    rig.Scroll(ScrollDirection::Left);
    EXPECT_THAT(rig.input.Texts(), IsEmpty()) << "no window: nothing at all";
    EXPECT_THAT(rig.Calls(), ::testing::Not(::testing::Contains("word.get ActiveWindow")));
  }
  struct Case {
    const char* why;
    std::function<void(WordRig&)> spoil;
  };
  const Case cases[] = {
      {"Word is not running", [](WordRig& r) { r.automation.running.clear(); }},
      {"the window list cannot be read", [](WordRig& r) { r.app->failing.insert(u"Windows"); }},
      {"the count is no number",
       [](WordRig& r) { r.windowsList->properties[u"Count"] = AutoValue::String(u"x"); }},
      {"the active window is a null object",
       [](WordRig& r) { r.app->properties[u"ActiveWindow"] = AutoValue::Object(nullptr); }},
      {"SmallScroll raises", [](WordRig& r) { r.active->failing.insert(u"SmallScroll"); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    WordRig rig(1);
    c.spoil(rig);
    rig.Scroll(ScrollDirection::Left);
    EXPECT_THAT(rig.input.Texts(), ElementsAre("hwheel -120"));
  }
}

struct ExcelRig : Rig {
  std::shared_ptr<ScriptedObject> app = std::make_shared<ScriptedObject>("excel", calls);
  std::shared_ptr<ScriptedObject> active = std::make_shared<ScriptedObject>("sheetwin", calls);
  ExcelRig() : Rig(u"XLMAIN") {
    windows.titles[kForeground] = u"Microsoft Excel - Budget.xlsx";
    app->properties[u"Hwnd"] = AutoValue::Int(kForeground);
    app->properties[u"ActiveWindow"] = AutoValue::Object(active);
  }
  std::shared_ptr<ScriptedObject> Workbook(const char* name, std::shared_ptr<ScriptedObject> a) {
    auto book = std::make_shared<ScriptedObject>(name, calls);
    book->properties[u"Application"] = AutoValue::Object(std::move(a));
    return book;
  }
  void Add(std::u16string display, std::shared_ptr<quarn::AutoObject> workbook,
           std::u16string clsid = quarn::FILE_MONIKER_CLSID) {
    automation.table.push_back({RunningEntry{std::move(display), std::move(clsid)}, workbook});
  }
};

TEST(HorizontalScroll, ExcelFindsTheWorkbookOfItsWindowAndScrollsByDispatchId) {
  for (const auto direction : {ScrollDirection::Left, ScrollDirection::Right}) {
    ExcelRig rig;
    rig.Add(u"C:\\data\\Budget.xlsx", rig.Workbook("budget", rig.app));
    rig.Scroll(direction);
    // 0x224 with (Down, Up, ToRight, ToLeft): a reversed order would put the 1 elsewhere.
    EXPECT_THAT(rig.Calls(),
                ElementsAre("workbook of C:\\data\\Budget.xlsx", "budget.get Application",
                            "excel.get Hwnd", "excel.get ActiveWindow",
                            direction == ScrollDirection::Left ? "sheetwin.#224(-,-,-,1)"
                                                               : "sheetwin.#224(-,-,1,-)"));
    EXPECT_THAT(rig.input.Texts(), IsEmpty());
  }
}

TEST(HorizontalScroll, ExcelPassesOverEntriesThatAreNotItsWorkbook) {
  ExcelRig rig;
  auto otherExcel = std::make_shared<ScriptedObject>("other excel", rig.calls);
  otherExcel->properties[u"Hwnd"] = AutoValue::Int(999);
  // Each of these comes first and must not end the search.
  rig.Add(u"C:\\data\\Budget.txt", nullptr);  // a file of another program
  rig.Add(u"!{Budget}", rig.Workbook("item", rig.app), u"{00000304-0000-0000-C000-000000000046}");
  rig.Add(u"D:\\old\\Budget.xls", rig.Workbook("old", otherExcel));  // another Excel's window
  rig.Add(u"C:\\data\\Plan.xlsx", rig.Workbook("plan", rig.app));    // not in the title
  rig.Add(u"C:\\data\\Budget.xlsx", rig.Workbook("budget", rig.app));
  rig.Scroll(ScrollDirection::Right);
  EXPECT_THAT(rig.Calls(), ::testing::Contains("sheetwin.#224(-,-,1,-)"));
  EXPECT_THAT(rig.Calls(), ::testing::Not(::testing::Contains("workbook of !{Budget}")));
  EXPECT_THAT(rig.Calls(), ::testing::Not(::testing::Contains("workbook of C:\\data\\Plan.xlsx")));
  EXPECT_THAT(rig.input.Texts(), IsEmpty());
}

TEST(HorizontalScroll, ExcelWithoutItsWorkbookEndsInOneWheelNotch) {
  struct Case {
    const char* why;
    std::function<void(ExcelRig&)> setUp;
  };
  const Case cases[] = {
      {"a new unsaved book: nothing in the table", [](ExcelRig&) {}},
      {"the table cannot be read",
       [](ExcelRig& r) {
         r.Add(u"C:\\Budget.xlsx", r.Workbook("budget", r.app));
         r.automation.tableReadable = false;
       }},
      {"the title names another file",
       [](ExcelRig& r) { r.Add(u"C:\\Other.xlsx", r.Workbook("other", r.app)); }},
      {"the name matches only in another letter case",
       [](ExcelRig& r) { r.Add(u"C:\\budget.xlsx", r.Workbook("budget", r.app)); }},
      {"the workbook's application is a null object",
       [](ExcelRig& r) { r.Add(u"C:\\Budget.xlsx", r.Workbook("budget", nullptr)); }},
      {"the application has no active window",
       [](ExcelRig& r) {
         r.app->properties.erase(u"ActiveWindow");
         r.Add(u"C:\\Budget.xlsx", r.Workbook("budget", r.app));
       }},
      {"SmallScroll fails",
       [](ExcelRig& r) {
         r.active->failingIds.insert(quarn::EXCEL_SMALLSCROLL_DISPID);
         r.Add(u"C:\\Budget.xlsx", r.Workbook("budget", r.app));
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    ExcelRig rig;
    c.setUp(rig);
    rig.Scroll(ScrollDirection::Left);
    EXPECT_THAT(rig.input.Texts(), ElementsAre("hwheel -120"));
  }
}

TEST(HorizontalScroll, MonikerNamesLoseFolderAndExtension) {
  using quarn::MonikerFileName;
  EXPECT_EQ(MonikerFileName(u"C:\\data\\Budget 2024.xlsx"), u"Budget 2024");
  EXPECT_EQ(MonikerFileName(u"\\\\server\\share\\a.b.xls"), u"a.b");
  EXPECT_EQ(MonikerFileName(u"C:/x/Plan"), u"Plan");
  EXPECT_EQ(MonikerFileName(u"C:\\dot.folder\\Plan"), u"Plan");
}

TEST(HorizontalScroll, ScrollBarTargetFallsBackToOwnFocusThenTheWindowUnderTheCursor) {
  struct Case {
    const char* why;
    WindowId foregroundFocus, ownFocus, underCursor;
    std::vector<std::string> calls;
  };
  const Case cases[] = {
      {"the foreground thread's focus first", 12, 13, 11, {"send 12 hscroll 0 0"}},
      {"then the monitor's own focus", 0, 13, 11, {"send 13 hscroll 0 0"}},
      {"then the window under the cursor", 0, 0, 11, {"send 11 hscroll 0 0"}},
      {"nothing at all: nothing is sent", 0, 0, 0, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    Rig rig;
    rig.windows.foregroundFocus = c.foregroundFocus;
    rig.windows.ownFocus = c.ownFocus;
    rig.windows.underCursor = c.underCursor;
    rig.Scroll(ScrollDirection::Left);
    EXPECT_THAT(rig.Calls(), ElementsAreArray(c.calls));
  }
}

TEST(HorizontalScroll, OnWindows61EveryOtherScrollBarChildGetsTheMessageAcrossCalls) {
  Rig rig;
  rig.windows61 = true;
  // Four scroll bars (one with its class in other case) among other children.
  rig.windows.children[kForeground] = {20, 21, 22, 23, 24, 25};
  rig.windows.classes[20] = u"ScrollBar";
  rig.windows.classes[21] = u"Edit";
  rig.windows.classes[22] = u"SCROLLBAR";
  rig.windows.classes[23] = u"scrollbar";
  rig.windows.classes[24] = u"ScrollBarX";
  rig.windows.classes[25] = u"ScrollBar";
  rig.Scroll(ScrollDirection::Left);
  EXPECT_THAT(rig.Calls(),
              ElementsAre("send 12 hscroll 0 0", "send 20 hscroll 0 0", "send 23 hscroll 0 0"));
  rig.calls.clear();
  // Three bars: the alternation goes on where it stopped.
  rig.windows.children[kForeground] = {20, 22, 23};
  rig.Scroll(ScrollDirection::Right);
  EXPECT_THAT(rig.Calls(),
              ElementsAre("send 12 hscroll 1 0", "send 20 hscroll 1 0", "send 23 hscroll 1 0"));
  rig.calls.clear();
  rig.Scroll(ScrollDirection::Right);
  EXPECT_THAT(rig.Calls(), ElementsAre("send 12 hscroll 1 0", "send 22 hscroll 1 0"));
}

TEST(HorizontalScroll, OtherWindowsVersionsSendToNoScrollBarChild) {
  Rig rig;
  rig.windows.children[kForeground] = {20};
  rig.windows.classes[20] = u"ScrollBar";
  rig.Scroll(ScrollDirection::Left);
  EXPECT_THAT(rig.Calls(), ElementsAre("send 12 hscroll 0 0"));
}

TEST(HorizontalScroll, AHungWindowCostsOneTimeOutPerStep) {
  Rig rig;
  rig.windows61 = true;
  rig.windows.children[kForeground] = {20, 21, 22};
  for (WindowId w : {20, 21, 22}) rig.windows.classes[w] = u"ScrollBar";
  // The focused window does not answer: its bars belong to the same hung program.
  rig.windows.hung = {kFocus, 20, 22};
  rig.Scroll(ScrollDirection::Left);
  EXPECT_THAT(rig.Calls(), ElementsAre("send 12 hscroll 0 0"));
  // A responsive focus with one hung bar: the pass stops at that bar.
  rig.calls.clear();
  rig.windows.hung = {20};
  rig.Scroll(ScrollDirection::Left);
  EXPECT_THAT(rig.Calls(), ElementsAre("send 12 hscroll 0 0", "send 20 hscroll 0 0"));
}

}  // namespace
