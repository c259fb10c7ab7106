// The macro editor over an arbitrary stored macro and an arbitrary sequence of what
// the user and the hook do: row selections, action menu items, the record button,
// recorded keys with any times, the posted live-row message, delay edits, OK and
// CANCEL. After every step the selection is a row or none, every row of an idle
// editor names an action in range and is the row the rows rule gives it, live rows
// stay within their cap, and a macro handed back after an edit has a count in range.
#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>
#include <vector>

#include "fake_hook_platform.h"
#include "fuzz_input.h"
#include "macro_editor.h"

namespace {

using quarn::MacroEditor;
using quarn::fuzz::FuzzInput;

enum Op : std::uint8_t {
  kSelect,
  kMenu,
  kRecord,
  kKey,
  kDraw,
  kDelayEdit,
  kEndEdit,
  kOk,
  kCancel,
  kOpCount
};

void Check(MacroEditor& e, std::size_t rowsAtStart, const TMACROKEYINFO& loaded) {
  const auto& rows = e.Rows();
  const int n = static_cast<int>(rows.size());
  QUARN_FUZZ_CHECK(e.SelectedRow() >= -1 && e.SelectedRow() < n);
  QUARN_FUZZ_CHECK(e.EditingRow() >= -1 && e.EditingRow() < n);
  QUARN_FUZZ_CHECK(e.ControlsEnabled() == !e.IsRecording());
  QUARN_FUZZ_CHECK(e.Indicator().visible && e.Indicator().animating == e.IsRecording());
  TMACROKEYINFO m{};
  QUARN_FUZZ_CHECK(e.Result(m));
  // A stored count out of range is handed back as it was until an edit of the steps
  // writes the macro back; then it is the count of the actions shown.
  const bool countAsStored = m.MacroListCount == loaded.MacroListCount;
  QUARN_FUZZ_CHECK(countAsStored || (m.MacroListCount >= 0 && m.MacroListCount <= MAX_MACRO_STEPS));
  m.MacroListCount = std::clamp(m.MacroListCount, 0, MAX_MACRO_STEPS);
  if (e.IsRecording()) {
    // Live rows stop once the list holds the cap; one key adds two rows at most.
    QUARN_FUZZ_CHECK(rows.size() <=
                     std::max<std::size_t>(rowsAtStart, MacroEditor::kMaxLiveRows + 1));
    return;
  }
  const std::vector<TMACROKEY> steps(m.MacroList, m.MacroList + m.MacroListCount);
  const auto expected = quarn::MacroRowsOf(steps, m.nAutoAddDelay);
  QUARN_FUZZ_CHECK(expected.size() == rows.size());
  for (std::size_t i = 0; i < rows.size() && i < expected.size(); ++i) {
    QUARN_FUZZ_CHECK(rows[i].action >= 0 && rows[i].action < m.MacroListCount);
    QUARN_FUZZ_CHECK(rows[i].action == expected[i].action && rows[i].kind == expected[i].kind);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  quarn::testing::FakeHookPlatform platform;
  if (in.Bool()) platform.loadResult = quarn::HookLibraryLoad::FileMissing;
  auto macro = std::make_unique<TMACROKEYINFO>();
  in.Patch(macro.get(), sizeof *macro);
  TvnHook hook(platform);
  MacroEditor editor(hook);
  editor.PostLiveRows = [] {};
  editor.Load(*macro);
  std::size_t rowsAtStart = editor.Rows().size();
  std::uint32_t clock = in.U32();

  for (int step = 0; step < 400 && !in.Empty(); ++step) {
    switch (in.U8() % kOpCount) {
      case kSelect: {
        const std::uint8_t b = in.U8();
        editor.SelectRow(b == 0xFF ? INT_MAX : b == 0xFE ? INT_MIN : b % 70 - 1);
        break;
      }
      case kMenu:
        rowsAtStart = editor.Rows().size();
        editor.ActionMenuClick(static_cast<std::int64_t>(in.U8() % 10));
        break;
      case kRecord:
        rowsAtStart = editor.Rows().size();
        editor.RecordButtonClick();
        break;
      case kKey: {
        const std::uint32_t vk = in.U8() == 0xFF ? in.U32() : in.U8();
        const std::uint8_t flags = in.U8();
        clock += in.U16();
        const bool up = (flags & 0x80) != 0;
        quarn::KeyboardHookRecord r = up ? quarn::testing::KeyUp(vk, clock, flags & 1)
                                         : quarn::testing::KeyDown(vk, clock, flags & 1);
        platform.Key(r);
        break;
      }
      case kDraw:
        editor.DrawLiveRows();
        break;
      case kDelayEdit: {
        std::int64_t shown = 0;
        if (editor.BeginDelayEdit(shown)) {
          QUARN_FUZZ_CHECK(shown >= 0 && shown <= 65535);
          const std::int64_t typed = in.I32();
          const std::int64_t scale = in.Bool() ? 1000 : 1;
          editor.CommitDelay(typed * scale);
        }
        break;
      }
      case kEndEdit:
        editor.EndDelayEdit();
        break;
      case kOk:
        QUARN_FUZZ_CHECK(editor.Ok() == 1);
        break;
      case kCancel:
        QUARN_FUZZ_CHECK(editor.Cancel() == 2);
        break;
      default:
        break;
    }
    Check(editor, rowsAtStart, *macro);
  }
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  auto key = [](FuzzWriter& w, std::uint8_t vk, bool up, std::uint16_t after) {
    w.U8(kKey).U8(vk).U8(up ? 0x80 : 0).U16(after);
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  // A macro of three steps with delay rows, recorded over, edited, confirmed.
  {
    FuzzWriter w;
    w.U8(0).U8(3);
    w.PatchValue(768, std::int32_t{3});
    w.PatchValue(772, std::uint16_t{1});
    TMACROKEY steps[3] = {};
    steps[0].nKeyType = MACROKEY_KEYBOARD;
    steps[0].nKeyState = 1;
    steps[0].VALUE1 = 'A';
    steps[1].nKeyType = MACROKEY_DELAY;
    steps[1].VALUE1 = 120;
    steps[2] = steps[0];
    steps[2].nKeyState = 0;
    std::vector<std::uint8_t> b(sizeof steps);
    std::memcpy(b.data(), steps, sizeof steps);
    w.U32(0).Bytes(b);
    w.U32(1000);
    w.U8(kSelect).U8(2).U8(kDelayEdit).I32(70000).U8(0);
    w.U8(kSelect).U8(3).U8(kMenu).U8(1);  // record after the last row
    key(w, 'B', false, 10);
    key(w, 'B', true, 3);
    w.U8(kDraw).U8(kRecord);
    w.U8(kSelect).U8(1).U8(kMenu).U8(6).U8(kMenu).U8(7).U8(kMenu).U8(7);
    w.U8(kMenu).U8(3).U8(kMenu).U8(4).U8(kMenu).U8(2).U8(kOk);
    seeds.push_back(w.Data());
  }
  // Hostile counts, no hook library, many keys before one draw.
  {
    FuzzWriter w;
    w.U8(1).U8(2);
    w.PatchValue(768, std::int32_t{-5});
    w.PatchValue(772, std::uint16_t{7});
    w.U32(0xFFFFFF00u);
    w.U8(kRecord);
    for (int i = 0; i < 80; ++i) key(w, static_cast<std::uint8_t>('A' + i % 26), i % 2 == 1, 7);
    w.U8(kDraw).U8(kCancel);
    seeds.push_back(w.Data());
  }
  // A full macro, replace recording of 70 keys, stop by OK.
  {
    FuzzWriter w;
    w.U8(0).U8(1);
    w.PatchValue(768, std::int32_t{500});
    w.U32(5);
    w.U8(kRecord);
    for (int i = 0; i < 70; ++i)
      key(w, static_cast<std::uint8_t>('A' + (i / 2) % 26), i % 2 == 1, 20);
    w.U8(kDraw).U8(kOk).U8(kSelect).U8(0xFF).U8(kMenu).U8(9);
    seeds.push_back(w.Data());
  }
  return seeds;
}
