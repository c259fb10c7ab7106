// The main window's face driven with mouse input in client pixels, over the window's
// logic on memory stores: which control reaches which step, what the strip shows, what
// the assignment buttons say; and the note dialog's face.
#include "main_window_scene.h"

#include <gtest/gtest.h>

#include "config_fixture.h"
#include "note_dialog.h"
#include "window_messages.h"

namespace quarn::testing {
namespace {

using G = MainWindowGeometry;

class MainWindowSceneTest : public ConfigFixture {
 public:
  MainWindowSceneTest()
      : face([this](std::u16string_view name, bool shared) {
          pictures.push_back(Narrow(name) + (shared ? " (shared)" : ""));
          return ui::EmptyPicture();
        }) {}

  // Binds the face before the window's creation sequence, as the program does.
  void StartBound() {
    Start(false);
    controller->OnRefreshButtonCaptions = nullptr;  // the face shows them
    face.Bind(*controller,
              [this]() -> const TMouseProfileInfo& { return dm->FCurrentProfileInfo; });
    controller->FormCreate();
    log.Clear();
    pictures.clear();
  }

  static ui::PointF Centre(const ui::RectF& r) { return {r.x + r.width / 2, r.y + r.height / 2}; }
  void MoveTo(const ui::RectF& r) { face.GetScene().MouseMove(Centre(r)); }
  void Click(const ui::RectF& r) {
    ui::Scene& s = face.GetScene();
    s.MouseMove(Centre(r));
    s.MouseDown(ui::MouseButton::Left, Centre(r));
    s.MouseUp(ui::MouseButton::Left, Centre(r));
  }
  std::vector<bool> Pressed() {
    std::vector<bool> r;
    for (int i = 0; i < PROFILE_COUNT; ++i) r.push_back(face.BtnProfile(i).IsPressed());
    return r;
  }

  std::vector<std::string> pictures;
  MainWindowScene face;
};

TEST_F(MainWindowSceneTest, ProfileButtonClicksSwitchTheShownProfileAndStoreNothing) {
  StartBound();
  for (int i : {2, 4, 0, 3, 1, 1}) {
    SCOPED_TRACE(i);
    log.Clear();
    Click(G::BtnProfile(i));
    std::vector<bool> expected(PROFILE_COUNT, false);
    expected[i] = true;
    EXPECT_EQ(Pressed(), expected);
    EXPECT_EQ(dm->FProfileIndex, i);
    EXPECT_TRUE(StoreWrites().empty());
    EXPECT_TRUE(log.With("monitor:").empty());
    EXPECT_EQ(log.With("timer:start").size(), 1u) << "the lighting follows a moment later";
  }
}

TEST_F(MainWindowSceneTest, StripShowsEachStateAndApplyRunsOnRelease) {
  StartBound();
  MoveTo(G::StripButton(ConfigMainController::kApply));
  face.GetScene().MouseDown(ui::MouseButton::Left, Centre(G::StripButton(2)));
  EXPECT_TRUE(log.With("monitor:send").empty()) << "nothing happens on the press";
  face.GetScene().MouseUp(ui::MouseButton::Left, Centre(G::StripButton(2)));
  MoveTo(G::StripButton(ConfigMainController::kOk));
  MoveTo(G::kReset);
  EXPECT_EQ(pictures, (std::vector<std::string>{"BTNAPPLY-D.png", "BTNAPPLY-D.png",
                                                "OKCANCELAPPLY-O.png", "OKCANCELAPPLY-N.png",
                                                "BTNOK-D.png", "OKCANCELAPPLY-N.png"}));
  EXPECT_EQ(
      log.With("monitor:send"),
      std::vector<std::string>{"monitor:send " + std::to_string(WM_SETTINGS_APPLIED) + " 0 0"});
  EXPECT_TRUE(log.With("window:close").empty()) << "APPLY keeps the window";
}

TEST_F(MainWindowSceneTest, EachControlReachesItsStep) {
  struct Case {
    const char* name;
    ui::RectF rect;
    bool writes;
    std::string last;  // the last logged step
  };
  const Case cases[] = {
      {"OK saves, tells the monitor, then closes", G::StripButton(0), true, "window:close"},
      {"CANCEL closes without saving", G::StripButton(1), false, "window:close"},
      {"close closes without saving", G::kClose, false, "window:close"},
      {"minimise posts the minimise command", G::kMinimise, false, "window:post 274 61472 0"},
      {"RESET asks first (answered CANCEL)", G::kReset, false, "dialog:note Reset All"},
      {"the mouse picture is no button", G::kMousePicture, false, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    controller.reset();
    dm.reset();
    StartBound();
    Click(c.rect);
    EXPECT_EQ(!StoreWrites().empty(), c.writes);
    const auto all = log.Entries();
    EXPECT_EQ(all.empty() ? std::string() : all.back(), c.last);
  }
}

TEST_F(MainWindowSceneTest, ResetAsksInTheOptionsAreaAndConfirmedResetsTheShownProfile) {
  window.originX = 128;
  window.originY = 132;
  StoreProfile(0, *ProfileWith([](TMOUSECONFIGINFO& c) { c.LEDConfig.G = 200; }));
  StartBound();
  dialogs.answer = 1;
  Click(G::kReset);
  ASSERT_EQ(dialogs.calls.size(), 1u);
  const NoteCall& call = dialogs.calls[0];
  EXPECT_TRUE(call.warning);
  EXPECT_EQ(call.rect, (ScreenRect{128 + 660, 132 + 119, 128 + 984, 132 + 590}));
  EXPECT_EQ(dm->FCurrentProfileInfo.ConfigInfo.LEDConfig.G, 0) << "factory red";
  EXPECT_TRUE(StoreWrites().empty()) << "a reset is stored by the next apply only";
  EXPECT_TRUE(controller->SettingsChanged);
}

TEST_F(MainWindowSceneTest, OptionsAreaIsWhereTheLogicCentresDialogs) {
  const ui::RectF r = face.OptionsArea().AbsoluteRect();
  EXPECT_EQ(r.x, ConfigMainController::kOptionsLeft);
  EXPECT_EQ(r.y, ConfigMainController::kOptionsTop);
  EXPECT_EQ(r.width, ConfigMainController::kOptionsWidth);
  EXPECT_EQ(r.height, ConfigMainController::kOptionsHeight);
  // The areas stack to the window's height.
  EXPECT_EQ(face.BottomArea().AbsoluteRect().Bottom(), G::kHeight);
  EXPECT_EQ(face.ProfilesArea().AbsoluteRect().y, face.ClientArea().AbsoluteRect().Bottom());
}

TEST_F(MainWindowSceneTest, AssignmentButtonsShowTheShownProfilesFunctions) {
  struct Case {
    const char* why;
    int button;
    std::int32_t menuId;
    std::u16string caption;
  };
  const Case cases[] = {
      {"a basic function", 0, 2, u"Right Click"},
      {"an entry no writer makes is the button's own function", 3, 0, u"Forward"},
      {"own function of the fifth button", 4, 0, u"Backward"},
      {"disabled", 1, 21, u"Disabled"},
      {"a shortcut is shown by its own page", 2, 1101, u""},
      {"an unknown id shows nothing", 2, 999999, u""},
      {"a negative id shows nothing", 2, -7, u""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    TBUTTONFUNCINFO entry{};
    entry.MenuID = c.menuId;
    EXPECT_EQ(ButtonFunctionCaption(c.button, entry), c.caption);
  }

  StoreProfile(1, *ProfileWith([](TMOUSECONFIGINFO& c) { c.ButtonFuncInfo[0].MenuID = 21; }));
  StartBound();
  EXPECT_EQ(face.BtnSet(0).Text(), u"Click");
  Click(G::BtnProfile(1));
  EXPECT_EQ(face.BtnSet(0).Text(), u"Disabled") << "captions follow the profile shown";
  controller->WMProfileSwitched(0);
  EXPECT_EQ(face.BtnSet(0).Text(), u"Click") << "also on a switch by the monitor";
}

TEST_F(MainWindowSceneTest, CaptionsHookSetBeforeBindingWins) {
  Start(false);
  int calls = 0;
  controller->OnRefreshButtonCaptions = [&] { ++calls; };
  face.Bind(*controller, [this]() -> const TMouseProfileInfo& { return dm->FCurrentProfileInfo; });
  controller->FormCreate();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(face.BtnSet(0).Text(), u"") << "the page that set the hook shows the captions";
  EXPECT_TRUE(face.BtnProfile(0).IsPressed()) << "the rest of the face still follows";
}

TEST_F(MainWindowSceneTest, PicturesComeFromTheLanguageFolderButTheMouse) {
  EXPECT_TRUE(pictures.empty()) << "nothing is loaded before the language is known";
  face.ReloadPictures();
  EXPECT_EQ(pictures,
            (std::vector<std::string>{"ImageCompnayLogo.png", "ImageProductTitle.png",
                                      "ImageProductSubTitle.png", "ImageSoftwareVersion.png",
                                      "ImageCopyRightText.png", "ImageMouse.png (shared)",
                                      "OKCANCELAPPLY-N.png"}));
}

TEST_F(MainWindowSceneTest, BrandingFolderComesBeforeThePicturesReadFromIt) {
  face.OnImageFolder = [this](const std::u16string& folder) {
    pictures.push_back("folder " + Narrow(folder));
  };
  std::u16string title;
  face.OnApplicationTitle = [&](const std::u16string& t) { title = t; };
  face.SetImageFolder(u"C:\\p\\images\\0804");
  ASSERT_FALSE(pictures.empty());
  EXPECT_EQ(pictures.front(), "folder C:\\p\\images\\0804");
  EXPECT_EQ(pictures.size(), 8u) << "every picture read again from the new folder";
  face.SetApplicationTitle(u"QUARN \u9F20\u6807\u8BBE\u7F6E");
  EXPECT_EQ(title, u"QUARN \u9F20\u6807\u8BBE\u7F6E");
}

TEST_F(MainWindowSceneTest, BrandingShowsOnlyTheNamedProductImage) {
  struct Case {
    const char16_t* name;
    std::vector<std::string> read;
  } cases[] = {
      {u"ImageProductTitle", {"ImageProductTitle.png"}},
      {u"ImageCompnayLogo", {"ImageCompnayLogo.png"}},
      {u"ImageCopyRightText", {"ImageCopyRightText.png"}},
      {u"ImageMouse", {}},  // not a product image: the mouse is the same in every language
      {u"", {}},
      {u"ImageProductTitle.png", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(Narrow(c.name));
    pictures.clear();
    face.ShowProductImage(c.name);
    EXPECT_EQ(pictures, c.read);
  }
}

TEST_F(MainWindowSceneTest, BrandingFontSizeFollowsTheLanguageAndTheShownProfile) {
  StartBound();
  struct Case {
    const char* why;
    int points;
    float pressed, others;
  } cases[] = {
      {"a Chinese language", 11, 12, 11},          {"English", 10, 11, 10},
      {"no size is kept out", 0, 11, 10},          {"a negative size is kept out", -4, 11, 10},
      {"a huge size is kept out", 100000, 11, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.why);
    face.SetProfileButtonFontSize(c.points);
    EXPECT_EQ(face.BtnProfile(0).font.size, c.pressed);
    EXPECT_EQ(face.BtnProfile(3).font.size, c.others);
  }
  face.SetProfileButtonFontSize(11);
  Click(G::BtnProfile(3));
  EXPECT_EQ(face.BtnProfile(3).font.size, 12) << "a switch keeps the language's size";
  EXPECT_EQ(face.BtnProfile(0).font.size, 11);
}

TEST_F(MainWindowSceneTest, BrandingCaptionsGoThroughTheAssignmentPageWhenItShowsThem) {
  StartBound();
  face.BtnSet(0).SetText(u"stale");
  face.RefreshButtonCaptions();
  EXPECT_EQ(face.BtnSet(0).Text(), u"Click") << "the face's own captions";
  int calls = 0;
  controller->OnRefreshButtonCaptions = [&] { ++calls; };
  face.BtnSet(0).SetText(u"page's");
  face.RefreshButtonCaptions();
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(face.BtnSet(0).Text(), u"page's");
}

TEST(NoteDialogFace, WarningMovesTheTextAndEveryTextFitsAboveTheButtons) {
  struct Case {
    bool warning;
    ui::RectF text;
  };
  const Case cases[] = {{true, {60, 50 + 6, 226, 44}}, {false, {44, 50 + 6, 251, 44}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.warning);
    TNoteDlgForm dialog;
    dialog.fields = {u"Reset All",
                     u"Are you sure want to reset all Profiles back to factory settings?", u"",
                     c.warning};
    dialog.Load();
    const ui::RectF text = dialog.LabelText().AbsoluteRect();
    EXPECT_EQ(text.x, c.text.x);
    EXPECT_EQ(text.y, c.text.y);
    EXPECT_EQ(text.width, c.text.width);
    EXPECT_EQ(dialog.ImageWarning().Visible(), c.warning);
    EXPECT_TRUE(dialog.LabelText().format.wordWrap) << "a long question wraps in its box";
    EXPECT_EQ(dialog.Title().Text(), u"Reset All");
    const float buttonsTop = dialog.BottomStrip().AbsoluteRect().y;
    EXPECT_LE(dialog.LabelText1().AbsoluteRect().Bottom(), buttonsTop);
    EXPECT_LE(text.Bottom(), buttonsTop);
  }
}

}  // namespace
}  // namespace quarn::testing
