// The translate rules of a table and of the program-wide context, and the
// scenes and forms that follow the active table.
#include "translation.h"

#include <gtest/gtest.h>

#include <memory>

#include "language_fakes.h"
#include "translation_table.h"

namespace {

using quarn::LanguageContext;
using quarn::TranslationTable;
using quarn::testing::FakeForm;
using quarn::testing::FakeScene;

std::shared_ptr<const TranslationTable> Table(std::vector<std::u16string> lines) {
  return std::make_shared<const TranslationTable>(std::move(lines));
}

TEST(TranslationTable, TranslateRules) {
  TranslationTable t({u"Apply=应用", u"Exit=", u"Stop=停止2", u"Stop=停止", u"Stop=停止",
                      u"Mute=静=音", u"Next Track=下一曲"});
  struct Case {
    const char* why;
    std::u16string text;
    std::u16string shown;
  } cases[] = {
      {"empty text gives empty text", u"", u""},
      {"a key gives its translation", u"Apply", u"应用"},
      {"missing key gives the text itself", u"Cancel", u"Cancel"},
      {"empty translation gives the text itself", u"Exit", u"Exit"},
      {"letter case is significant", u"apply", u"apply"},
      {"duplicate keys: the first line in sorted order", u"Stop", u"停止"},
      {"the key ends at the first =", u"Mute", u"静=音"},
      {"an original holding = has no line", u"Mute=静", u"Mute=静"},
      {"a prefix of a key is not the key", u"Next", u"Next"},
      {"blanks belong to the key", u"Next Track ", u"Next Track "},
  };
  for (const auto& c : cases) EXPECT_EQ(t.Translate(c.text), c.shown) << c.why;
}

TEST(TranslationTable, KeepsEachLineOnceSortedAndDropsLinesWithoutKey) {
  TranslationTable t({u"b=2", u"NoKey", u"", u"=orphan", u"a=1", u"b=2", u"a=0"});
  EXPECT_EQ(t.Lines(), (std::vector<std::u16string>{u"a=0", u"a=1", u"b=2"}));
  EXPECT_FALSE(t.Find(u"NoKey").has_value());
  EXPECT_FALSE(t.Find(u"").has_value());
}

TEST(LanguageContext, TranslateWithAndWithoutActiveTable) {
  LanguageContext context;
  EXPECT_EQ(context.Translate(u""), u"");
  EXPECT_EQ(context.Translate(u"Apply"), u"Apply") << "no table: the text itself";
  EXPECT_EQ(context.Translate(u"A=B"), u"A=B");
  context.Activate(Table({u"Apply=应用"}));
  EXPECT_EQ(context.Translate(u"Apply"), u"应用");
  EXPECT_EQ(context.Translate(u""), u"");
  context.Deactivate();
  EXPECT_EQ(context.Translate(u"Apply"), u"Apply");
}

TEST(LanguageContext, ScenesFollowEveryChangeOfTable) {
  LanguageContext context;
  FakeScene scene(context, {u"OK", u"CANCEL", u""});
  context.Activate(Table({u"OK=确定", u"CANCEL=取消"}));
  EXPECT_EQ(scene.texts, (std::vector<std::u16string>{u"确定", u"取消", u""}));
  context.Activate(Table({u"OK=確定"}));
  EXPECT_EQ(scene.texts, (std::vector<std::u16string>{u"確定", u"CANCEL", u""}))
      << "a new table starts from the originals, not from the last translation";
  context.Deactivate();
  EXPECT_EQ(scene.texts, (std::vector<std::u16string>{u"OK", u"CANCEL", u""}));
  EXPECT_EQ(scene.retranslations, 3);
}

TEST(LanguageContext, DestroyedScenesAreNotReached) {
  LanguageContext context;
  FakeScene kept(context, {u"OK"});
  auto gone = std::make_unique<FakeScene>(context, std::vector<std::u16string>{u"OK"});
  auto closedByKept = std::make_unique<FakeScene>(context, std::vector<std::u16string>{u"OK"});
  gone.reset();
  EXPECT_EQ(context.SceneCount(), 2u);
  // A scene that closes another while re-translating (a pop-up closing with its owner).
  kept.onRetranslate = [&] { closedByKept.reset(); };
  context.Activate(Table({u"OK=确定"}));  // ASan reports any call into a freed scene
  EXPECT_EQ(kept.retranslations, 1);
  EXPECT_EQ(context.SceneCount(), 1u);
}

TEST(LanguageForm, TextsTranslateFromTheirOriginal) {
  LanguageContext context;
  FakeForm form(u"Key Functions", u"");
  context.Activate(Table({u"Key Functions=按键功能", u"按键功能=Wrong way back"}));
  form.TranslateTexts(context);
  EXPECT_EQ(form.caption, u"按键功能");
  EXPECT_EQ(form.hint, u"") << "an empty text is passed over";

  context.Activate(Table({u"Key Functions=按鍵功能"}));
  form.TranslateTexts(context);
  EXPECT_EQ(form.caption, u"按鍵功能") << "the key is the original, not the shown text";

  context.Deactivate();
  form.TranslateTexts(context);
  EXPECT_EQ(form.caption, u"Key Functions") << "no table: the original again";
}

TEST(LanguageForm, TextAssignedByTheProgramBecomesTheOriginal) {
  LanguageContext context;
  FakeForm form(u"Apply", u"");
  context.Activate(Table({u"Apply=应用", u"Fire Key...=连发键..."}));
  form.TranslateTexts(context);
  form.caption = u"Fire Key...";
  form.hint = u"Apply";
  form.TranslateTexts(context);
  EXPECT_EQ(form.caption, u"连发键...");
  EXPECT_EQ(form.hint, u"应用");
  context.Deactivate();
  form.TranslateTexts(context);
  EXPECT_EQ(form.caption, u"Fire Key...");
  EXPECT_EQ(form.hint, u"Apply");
}

TEST(LanguageForm, PropertiesWithoutReaderOrWriterArePassedOver) {
  LanguageContext context;
  std::u16string shown = u"Apply";
  quarn::LanguageForm form(u"TForm");
  form.AddTranslatedText(
      u"NoWriter", [] { return std::u16string(u"Apply"); }, nullptr);
  form.AddTranslatedText(u"NoReader", nullptr, [&](const std::u16string& s) { shown = s; });
  form.AddTranslatedText(
      u"Caption", [&] { return shown; }, [&](const std::u16string& s) { shown = s; });
  context.Activate(Table({u"Apply=应用"}));
  form.TranslateTexts(context);
  EXPECT_EQ(shown, u"应用");
}

}  // namespace
