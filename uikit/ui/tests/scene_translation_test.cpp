// A scene's texts and the active language: designed texts follow it, texts the
// program sets are shown as set and become the originals of the next change.
#include <gtest/gtest.h>

#include <memory>

#include "scene_helpers.h"
#include "translation.h"
#include "translation_table.h"
#include "ui/controls.h"
#include "ui/scene.h"

namespace {

using namespace quarn::ui;
using quarn::LanguageContext;
using quarn::TranslationTable;
using quarn::ui::testing::Put;

std::shared_ptr<const TranslationTable> Table(std::vector<std::u16string> lines) {
  return std::make_shared<const TranslationTable>(std::move(lines));
}

struct Dialog {
  LanguageContext& context;
  Scene scene;
  Label& title;
  Button& ok;
  TextView& note;
  Label& brand;
  explicit Dialog(LanguageContext& c)
      : context(c),
        scene(300, 200, c),
        title(Put<Label>(scene.Root(), u"title", {0, 0, 300, 45})),
        ok(Put<Button>(scene.Root(), u"ok", {50, 150, 86, 40})),
        note(Put<TextView>(scene.Root(), u"note", {0, 50, 300, 20})),
        brand(Put<Label>(scene.Root(), u"brand", {0, 80, 300, 20})) {
    title.SetText(u"Fire Key...");
    ok.SetText(u"OK");
    note.SetText(u"Apply");
    brand.SetText(u"QUARN");
    brand.autoTranslate = false;
    scene.RetranslateTexts();  // as every window builder does once
  }
  std::vector<std::u16string> Shown() const {
    return {title.Text(), ok.Text(), note.Text(), brand.Text()};
  }
};

using Texts = std::vector<std::u16string>;

TEST(SceneTranslation, DesignedTextsFollowTheActiveLanguage) {
  LanguageContext context;
  const auto zh = Table({u"Fire Key...=连发键...", u"OK=确定", u"Apply=应用", u"QUARN=品牌"});
  const auto tw = Table({u"Fire Key...=連發鍵...", u"OK=確定"});
  Dialog d(context);
  EXPECT_EQ(d.Shown(), (Texts{u"Fire Key...", u"OK", u"Apply", u"QUARN"}));
  context.Activate(zh);
  EXPECT_EQ(d.Shown(), (Texts{u"连发键...", u"确定", u"应用", u"QUARN"}))
      << "a text that does not translate keeps its own";
  context.Activate(tw);
  EXPECT_EQ(d.Shown(), (Texts{u"連發鍵...", u"確定", u"Apply", u"QUARN"}))
      << "a text missing from the new table returns to its original, not the old translation";
  context.Deactivate();
  EXPECT_EQ(d.Shown(), (Texts{u"Fire Key...", u"OK", u"Apply", u"QUARN"}))
      << "back to English: the originals";
}

TEST(SceneTranslation, ADialogBuiltWhileALanguageIsActiveAppearsTranslated) {
  LanguageContext context;
  context.Activate(Table({u"OK=确定"}));
  Dialog d(context);
  EXPECT_EQ(d.ok.Text(), u"确定");
  EXPECT_EQ(d.ok.OriginalText(), u"OK");
}

TEST(SceneTranslation, ProgramSetTextsAreShownVerbatimThenBecomeOriginals) {
  LanguageContext context;
  context.Activate(Table({u"Save the changes?=保存更改吗？", u"OK=确定"}));
  Dialog d(context);
  d.title.SetText(u"Save the changes?");
  EXPECT_EQ(d.title.Text(), u"Save the changes?") << "shown as set, not translated";
  context.Activate(Table({u"Save the changes?=儲存變更？"}));
  EXPECT_EQ(d.title.Text(), u"儲存變更？") << "it is the original at the next change";
  context.Deactivate();
  EXPECT_EQ(d.title.Text(), u"Save the changes?");

  // A translated text the program sets is its own original: English shows it as is.
  context.Activate(Table({u"OK=确定"}));
  d.ok.SetText(u"确定");
  context.Deactivate();
  EXPECT_EQ(d.ok.Text(), u"确定");
}

TEST(SceneTranslation, OnlyChangedTextsAreRepainted) {
  LanguageContext context;
  Dialog d(context);
  d.scene.TakeDirty();
  context.Activate(Table({u"Unrelated=无关"}));
  EXPECT_EQ(d.scene.TakeDirty(), RectF{}) << "nothing changed, nothing repainted";
  context.Activate(Table({u"OK=确定"}));
  EXPECT_EQ(d.scene.TakeDirty(), d.ok.AbsoluteRect());
}

TEST(SceneTranslation, SceneOutlivingItsLanguageContext) {
  auto context = std::make_unique<LanguageContext>();
  context->Activate(Table({u"OK=确定"}));
  Dialog d(*context);
  EXPECT_EQ(context->SceneCount(), 1u);
  context.reset();
  d.scene.RetranslateTexts();  // no context: the originals, no crash
  EXPECT_EQ(d.ok.Text(), u"OK");
}

TEST(SceneTranslation, ScenesLeaveTheirContextWhenDestroyed) {
  LanguageContext context;
  {
    Dialog d(context);
    EXPECT_EQ(context.SceneCount(), 1u);
  }
  EXPECT_EQ(context.SceneCount(), 0u);
  context.Activate(Table({u"OK=确定"}));  // ASan reports a walk into a freed scene
}

}  // namespace
