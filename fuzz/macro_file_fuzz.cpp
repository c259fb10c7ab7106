// A macro file over arbitrary bytes, then the macro model over what was read:
// the reader copies exactly the bytes it has room for and leaves the rest of
// the record alone, loading through a file store gives the same record, the
// editor's model keeps every index and count in range through any sequence of
// edits and writes each change back into its list, and saving the list writes
// only files named after safe macro names, inside the macro folder, that read
// back byte for byte.
#include <algorithm>
#include <climits>
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "macro_files.h"
#include "macro_rows.h"
#include "memory_stores.h"
#include "text_field.h"
#include "vn_macro.h"

namespace {

using quarn::fuzz::FuzzInput;
using quarn::testing::Fold;

constexpr std::uint8_t kBefore = 0xA5;
constexpr char16_t kFolder[] = u"C:\\Q";
constexpr char16_t kMacroFolder[] = u"C:\\Q\\Macros";

const std::uint8_t* BytesOf(const TMACROKEYINFO& r) {
  return reinterpret_cast<const std::uint8_t*>(&r);
}

bool SameBytes(const TMACROKEYINFO& a, const TMACROKEYINFO& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// The record read over a record full of kBefore holds the file's first bytes
// and kBefore beyond them.
void CheckRead(const TMACROKEYINFO& record, const std::vector<std::uint8_t>& file) {
  const std::size_t n = std::min(file.size(), sizeof record);
  QUARN_FUZZ_CHECK(n == 0 || std::memcmp(BytesOf(record), file.data(), n) == 0);
  for (std::size_t i = n; i < sizeof record; ++i) QUARN_FUZZ_CHECK(BytesOf(record)[i] == kBefore);
}

// An index around the valid range, often just outside it, sometimes far.
int IndexNear(FuzzInput& in, int count) {
  const std::uint8_t b = in.U8();
  if (b == 0xFF) return INT_MAX;
  if (b == 0xFE) return INT_MIN;
  return static_cast<int>(b % (count + 3)) - 1;
}

TMACROKEY StepFrom(FuzzInput& in) {
  TMACROKEY k{};
  k.nKeyType = static_cast<std::uint16_t>(in.U8() % 9);
  k.nKeyState = static_cast<std::uint16_t>(in.U8() % 3);
  k.VALUE1 = in.U8();
  k.VALUE2 = in.U8();
  return k;
}

void CheckActions(TvnMacroClass& model, bool edited) {
  TvnActionsClass* act = model.GetCurrentMacroAction();
  if (act == nullptr) return;
  const int count = act->GetCount();
  QUARN_FUZZ_CHECK(count >= 0 && count <= MAX_MACRO_STEPS);
  QUARN_FUZZ_CHECK(count == static_cast<int>(act->Actions().size()));
  QUARN_FUZZ_CHECK(act->ActionsIndex() >= -1 && act->ActionsIndex() < count);
  QUARN_FUZZ_CHECK(act->GetIsActionsFull() == (count >= MAX_MACRO_STEPS));
  QUARN_FUZZ_CHECK(act->GetTotalDelay() >= 0);

  TMACROKEYINFO edit;
  std::memset(&edit, kBefore, sizeof edit);
  act->GetMacroKeyInfo(edit);
  QUARN_FUZZ_CHECK(edit.MacroListCount == count);
  for (int i = 0; i < count; ++i)
    QUARN_FUZZ_CHECK(std::memcmp(&edit.MacroList[i], &act->Actions()[static_cast<std::size_t>(i)],
                                 sizeof(TMACROKEY)) == 0);

  // An edit is written straight back into the model's entry of that macro.
  TMACROKEYINFO entry;
  if (edited && act->MacroIndex() == model.MacroListIndex() &&
      model.GetCurrentMacroKeyItem(entry)) {
    QUARN_FUZZ_CHECK(entry.MacroListCount == count);
    QUARN_FUZZ_CHECK(std::memcmp(entry.MacroList, edit.MacroList, sizeof(TMACROKEY) * count) == 0);
  }

  const auto rows = quarn::MacroRowsOf(act->Actions(), edit.nAutoAddDelay);
  QUARN_FUZZ_CHECK(rows.size() <= static_cast<std::size_t>(count));
  for (std::size_t r = 0; r < rows.size(); ++r) {
    QUARN_FUZZ_CHECK(rows[r].action >= 0 && rows[r].action < count);
    if (r > 0) QUARN_FUZZ_CHECK(rows[r - 1].action < rows[r].action);
    QUARN_FUZZ_CHECK(quarn::RowOfAction(rows, rows[r].action) == static_cast<int>(r));
    QUARN_FUZZ_CHECK(quarn::ActionOfRow(rows, static_cast<int>(r)) == rows[r].action);
  }
  QUARN_FUZZ_CHECK(quarn::ActionOfRow(rows, static_cast<int>(rows.size())) == -1);
  QUARN_FUZZ_CHECK(quarn::ActionOfRow(rows, -1) == -1);
}

void CheckModel(TvnMacroClass& model, bool edited) {
  const int count = model.GetMacroListCount();
  QUARN_FUZZ_CHECK(count >= 0 && count <= TvnMacroClass::kMaxMacros);
  QUARN_FUZZ_CHECK(model.MacroListIndex() >= -1 && model.MacroListIndex() < count);
  TMACROKEYINFO item;
  QUARN_FUZZ_CHECK(model.GetCurrentMacroKeyItem(item) == (model.MacroListIndex() >= 0));
  CheckActions(model, edited);
}

void CheckErrorFields(TvnMacroClass& model) {
  TvnActionsClass* act = model.GetCurrentMacroAction();
  TMACROKEYINFO entry;
  if (act == nullptr || act->MacroIndex() != model.MacroListIndex() ||
      !model.GetCurrentMacroKeyItem(entry))
    return;
  QUARN_FUZZ_CHECK(entry.ErrorCount >= 0 && entry.ErrorCount <= 2 * act->GetCount());
  QUARN_FUZZ_CHECK(entry.HaveErrors == (entry.ErrorCount > 0 ? 1 : 0));
}

// One edit chosen by the input; true when it went to the selected macro's
// actions (which never rebuilds them).
bool Apply(FuzzInput& in, TvnMacroClass& model, const TMACROKEYINFO& fromFile) {
  TvnActionsClass* act = model.GetCurrentMacroAction();
  const int steps = act ? act->GetCount() : 0;
  const int macros = model.GetMacroListCount();
  const std::uint8_t op = in.U8() % 22;
  if (op < 11 && act == nullptr) {
    model.SetMacroListIndex(IndexNear(in, macros));
    return false;
  }
  switch (op) {
    case 0:
      act->SetActionIndex(IndexNear(in, steps));
      return true;
    case 1:
      act->SetDelayValue(IndexNear(in, steps), in.I32());
      return true;
    case 2:
      act->DeleteAction(IndexNear(in, steps));
      return true;
    case 3: {
      const TMACROKEY k = StepFrom(in);
      act->InsertAction(k, IndexNear(in, steps));
      return true;
    }
    case 4: {
      const TMACROKEY k = StepFrom(in);
      act->InsertActionAfter(k, IndexNear(in, steps));
      return true;
    }
    case 5:
      act->MoveUpAction(IndexNear(in, steps));
      return true;
    case 6:
      act->MoveDownAction(IndexNear(in, steps));
      return true;
    case 7:
      act->CopyAction(IndexNear(in, steps));
      return true;
    case 8:
      act->CutAction(IndexNear(in, steps));
      return true;
    case 9:
      act->PasteAction(IndexNear(in, steps));
      return true;
    case 10:
      act->CheckErrors();
      CheckErrorFields(model);
      return true;
    case 11:
      model.SetMacroListIndex(IndexNear(in, macros));
      return false;
    case 12:
      model.CreateNewMacro(in.Text());
      return false;
    case 13: {
      const std::u16string name = in.Text();
      model.ReNameMacro(name, IndexNear(in, macros));
      return false;
    }
    case 14:
      model.DeleteMacro(IndexNear(in, macros));
      return false;
    case 15:
      model.DeleteMacro(in.Text());
      return false;
    case 16:
      model.MoveUpMacro(IndexNear(in, macros));
      return false;
    case 17:
      model.MoveDownMacro(IndexNear(in, macros));
      return false;
    case 18:
      model.InsertMacro(fromFile, IndexNear(in, steps));
      return false;
    case 19:
      model.InsertMacroAfter(fromFile, IndexNear(in, steps));
      return false;
    case 20:
      model.SetMacroLoopValue(IndexNear(in, macros), in.I32());
      return false;
    default:
      model.CheckAllErrors();
      return false;
  }
}

// One edit; true when it changed the steps of the selected macro's actions.
bool Edit(FuzzInput& in, TvnMacroClass& model, const TMACROKEYINFO& fromFile) {
  TvnActionsClass* act = model.GetCurrentMacroAction();
  const std::vector<TMACROKEY> steps = act ? act->Actions() : std::vector<TMACROKEY>{};
  if (!Apply(in, model, fromFile)) return false;
  const auto& now = act->Actions();
  return now.size() != steps.size() ||
         (!steps.empty() &&
          std::memcmp(steps.data(), now.data(), steps.size() * sizeof(TMACROKEY)) != 0);
}

// Saves the model's list and checks what reached the store.
void CheckSave(TvnMacroClass& model) {
  auto list = std::make_unique<TMACROKEYINFOLIST>();
  std::memset(list.get(), 0, sizeof *list);
  model.GetMacroKeyInfoList(*list);
  QUARN_FUZZ_CHECK(list->nMacroInfoCount == model.GetMacroListCount());

  quarn::testing::MemoryFileStore files;
  files.AddFolder(kFolder);
  const bool saved = TvnMacroClass::SaveMacroKeyInfoListToMacroFiles(files, *list, kMacroFolder);

  bool allSafe = true;
  const std::u16string prefix = Fold(kMacroFolder) + u"\\";
  for (int i = 0; i < list->nMacroInfoCount; ++i) {
    const std::u16string name = quarn::ReadText(list->MacroInfos[i].szMacroName);
    if (!quarn::IsSafeMacroFileName(name)) {
      allSafe = false;
      continue;
    }
    // The last macro of a name owns its file.
    const std::u16string path = prefix + name + u".macro";
    bool later = false;
    for (int j = i + 1; j < list->nMacroInfoCount; ++j)
      later = later || Fold(quarn::ReadText(list->MacroInfos[j].szMacroName) + u".macro") ==
                           Fold(name + u".macro");
    if (later) continue;
    TMACROKEYINFO back;
    std::memset(&back, kBefore, sizeof back);
    QUARN_FUZZ_CHECK(TvnMacroClass::LoadMacroFromFile(files, path, back));
    QUARN_FUZZ_CHECK(SameBytes(back, list->MacroInfos[i]));
  }
  QUARN_FUZZ_CHECK(saved == allSafe);
  for (const auto& key : files.writes) {
    QUARN_FUZZ_CHECK(key.size() > prefix.size() && key.compare(0, prefix.size(), prefix) == 0);
    const std::u16string leaf = key.substr(prefix.size());
    QUARN_FUZZ_CHECK(leaf.find(u'\\') == std::u16string::npos);
    QUARN_FUZZ_CHECK(leaf.size() > 6 && leaf.compare(leaf.size() - 6, 6, u".macro") == 0);
    QUARN_FUZZ_CHECK(files.files.at(key).size() == sizeof(TMACROKEYINFO));
  }
}

}  // namespace

// The input: a 16-bit length and that many bytes of macro file, a byte that
// picks how many copies of it the model's list starts with, then edits.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  const std::vector<std::uint8_t> file = in.Bytes();

  auto record = std::make_unique<TMACROKEYINFO>();
  std::memset(record.get(), kBefore, sizeof *record);
  quarn::ReadMacroRecord(file.data(), file.size(), *record);
  CheckRead(*record, file);

  // Through a file store: the same record; a missing file leaves the record alone.
  quarn::testing::MemoryFileStore files;
  files.AddFolder(kMacroFolder);
  files.files[Fold(u"C:\\Q\\Macros\\read.macro")] = file;
  auto loaded = std::make_unique<TMACROKEYINFO>();
  std::memset(loaded.get(), kBefore, sizeof *loaded);
  QUARN_FUZZ_CHECK(TvnMacroClass::LoadMacroFromFile(files, u"C:\\Q\\Macros\\read.macro", *loaded));
  QUARN_FUZZ_CHECK(SameBytes(*loaded, *record));
  QUARN_FUZZ_CHECK(!TvnMacroClass::LoadMacroFromFile(files, u"C:\\Q\\Macros\\none.macro", *loaded));
  QUARN_FUZZ_CHECK(!quarn::LoadMacroFile(files, u"", *loaded));
  QUARN_FUZZ_CHECK(SameBytes(*loaded, *record));

  // A macro of its own, as the editor opens it.
  auto alone = TvnActionsClass::CtrlCreate(*record, 0, nullptr);
  QUARN_FUZZ_CHECK(alone->GetCount() == std::clamp(record->MacroListCount, 0, MAX_MACRO_STEPS));
  QUARN_FUZZ_CHECK(alone->ActionsIndex() == (alone->GetCount() > 0 ? 0 : -1));
  alone->CheckErrors();

  auto list = std::make_unique<TMACROKEYINFOLIST>();
  std::memset(list.get(), 0, sizeof *list);
  list->nMacroInfoCount = static_cast<std::uint16_t>(in.U8() % (MACRO_LIST_CAPACITY + 2));
  for (int i = 0; i < std::min<int>(list->nMacroInfoCount, MACRO_LIST_CAPACITY); ++i)
    list->MacroInfos[i] = *record;

  TvnMacroClass model;
  model.CtlCreate(*list);
  CheckModel(model, false);
  model.SetMacroListIndex(model.GetIsEmpty() ? -1 : 0);
  CheckModel(model, false);

  for (int n = 0; n < 200 && !in.Empty(); ++n) CheckModel(model, Edit(in, model, *record));
  CheckSave(model);
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  auto macro = [](std::u16string_view name, std::int32_t count) {
    TMACROKEYINFO m{};
    quarn::WriteText(m.szMacroName, name);
    m.Version = MACRO_FORMAT_VERSION;
    m.MacroListCount = count;
    const std::uint8_t keys[] = {'A', 'B', 0x25};
    for (int i = 0; i < std::min(count, MAX_MACRO_STEPS); ++i) {
      TMACROKEY& k = m.MacroList[i];
      if (i % 3 == 2) {
        k.nKeyType = MACROKEY_DELAY;
        k.DELAY_L = 50;
      } else {
        k.nKeyType = MACROKEY_KEYBOARD;
        k.nKeyState = static_cast<std::uint16_t>(i % 3 == 0 ? 1 : 0);
        k.nKeyValue = keys[(i / 3) % 3];
      }
    }
    m.nAutoAddDelay = 1;
    const auto* b = reinterpret_cast<const std::uint8_t*>(&m);
    return std::vector<std::uint8_t>(b, b + sizeof m);
  };
  // Edits: select, insert after the end, move, cut and paste, check, rename, save.
  const std::vector<std::uint8_t> edits = {11,  0, 4,   4,  1, 'Z', 0, 3,   5,    1,    6, 0, 8,  1,
                                           9,   0, 10,  13, 3, 'N', 0, 'e', 0,    'w',  0, 1, 12, 2,
                                           'C', 0, 'O', 0,  2, 0,   0, 1,   0xFF, 0x7F, 21};
  auto seed = [&](std::vector<std::uint8_t> file, std::uint8_t copies, bool withEdits) {
    FuzzWriter w;
    w.Bytes(file).U8(copies);
    if (withEdits) w.Raw(edits);
    return w.Data();
  };
  auto full = macro(u"Copy paste", 9);
  auto cut = full;
  cut.resize(400);  // ends inside the steps
  auto longer = full;
  longer.resize(full.size() + 17, 0xEE);
  std::vector<std::vector<std::uint8_t>> seeds = {
      seed(full, 1, true),
      seed(full, 3, true),
      seed(cut, 2, true),
      seed(longer, 1, false),
      seed(macro(u"negative", -5), 1, true),
      seed(macro(u"huge", 1000), 1, true),
      seed(macro(u"..\\..\\escape", 3), 2, true),
      seed(macro(u"con.txt", 3), 1, true),
      seed(macro(u"full", MAX_MACRO_STEPS), 22, true),
      seed({}, 0, true),
  };
  // A name that fills its field with no terminator.
  auto unterminated = macro(u"", 3);
  std::fill(unterminated.begin() + 780, unterminated.begin() + 880, std::uint8_t{'x'});
  seeds.push_back(seed(unterminated, 2, true));
  return seeds;
}
