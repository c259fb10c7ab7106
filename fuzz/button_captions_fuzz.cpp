// The button-assignment page over a profile patched anywhere: the captions and
// hints of every entry (any menu ID, function code, key and fire-key values,
// any ButtonCount), the menu lookup of any ID, the page's highlight under any
// button Tag, the fire-key boxes' reading of any text and the stored program
// path read from any field. Nothing reads out of bounds; IDs outside the menu
// give empty captions; fire-key values stay within 1..255; paths are bounded.
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "assign_page_model.h"
#include "button_captions.h"
#include "function_catalog.h"
#include "function_dialog_models.h"
#include "fuzz_input.h"
#include "profile_defaults.h"

namespace {

using quarn::fuzz::FuzzInput;

void CheckEntry(const TBUTTONFUNCINFO& e) {
  const std::u16string caption = quarn::ButtonCaption(e, nullptr);
  const std::u16string hint = quarn::ButtonHint(e, nullptr);
  const std::int32_t id = quarn::DisplayMenuID(e);
  if (id <= 0 || id >= 1000000) {
    QUARN_FUZZ_CHECK(hint.empty());
    QUARN_FUZZ_CHECK(caption.empty());
  }
  QUARN_FUZZ_CHECK(caption.size() < 200 && hint.size() < 200);
  const std::u16string path = quarn::StoredProgramPath(e.ProgramPath);
  QUARN_FUZZ_CHECK(path.size() <= 1024);
  QUARN_FUZZ_CHECK(path.find(u'\0') == std::u16string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  auto profile = std::make_unique<TMouseProfileInfo>();
  std::memset(profile.get(), 0, sizeof *profile);
  quarn::RestoreProfileDefaults(*profile);
  TMOUSECONFIGINFO& config = profile->ConfigInfo;
  in.Patch(&config, sizeof config);

  quarn::AssignPageModel page;
  page.RefreshButtonCaptions(config, nullptr);
  for (const TBUTTONFUNCINFO& e : config.ButtonFuncInfo) CheckEntry(e);
  for (const TBUTTONFUNCINFO& e : config.VWheelButtonFuncInfo) CheckEntry(e);

  while (!in.Empty()) {
    switch (in.U8() % 5) {
      case 0: {
        const std::int64_t id = static_cast<std::int64_t>(in.U32()) << 32 | in.U32();
        const auto* item = quarn::FindMenuItem(quarn::FunctionMenuItems(), id);
        QUARN_FUZZ_CHECK(item == nullptr || (id > 0 && id < 1000000));
        if (quarn::ChoiceOfMenuID(id) != quarn::FunctionChoice::None)
          QUARN_FUZZ_CHECK(item != nullptr && item->Sub.empty());
        break;
      }
      case 1:
        page.OpenFunctionMenu(in.I32());
        break;
      case 2:
        page.FunctionMenuClosed();
        break;
      case 3: {
        const int tag = in.I32();
        if (in.Bool()) {
          page.HoverEnter(tag);
        } else {
          page.HoverLeave(tag);
        }
        break;
      }
      case 4: {
        const std::uint16_t shown = quarn::ClampFireKeyValue(in.U16());
        const std::uint16_t v = quarn::FireKeyBoxValue(in.Text(), shown);
        QUARN_FUZZ_CHECK(v >= 1 && v <= 255);
        break;
      }
    }
  }
  // A closed menu leaves no spot or badge pressed by it.
  page.FunctionMenuClosed();
  QUARN_FUZZ_CHECK(!page.MenuOpen());
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  constexpr std::size_t kEntry = sizeof(TBUTTONFUNCINFO);
  std::vector<std::vector<std::uint8_t>> seeds;
  auto entryField = [](int index, std::size_t field) {
    return static_cast<std::size_t>(index) * kEntry + field;
  };
  {
    FuzzWriter w;  // the factory profile, a few lookups and page events
    w.U8(0).U8(0).U32(0).U32(1204).U8(1).I32(3).U8(2).U8(4).U16(60).Text(u"300");
    seeds.push_back(w.Data());
  }
  {
    FuzzWriter w;  // a combination and a fire key, a wide button count
    w.U8(4);
    w.PatchValue(entryField(3, offsetof(TBUTTONFUNCINFO, MenuID)), std::int32_t{14});
    w.PatchValue(entryField(3, offsetof(TBUTTONFUNCINFO, ComboKey)),
                 TCOMBOKEYINFO{'A', 0, 'B', 1, 0x0F});
    w.PatchValue(entryField(4, offsetof(TBUTTONFUNCINFO, MenuID)), std::int32_t{17});
    w.PatchValue(offsetof(TMOUSECONFIGINFO, ButtonCount), std::int32_t{1000});
    w.U8(1).I32(6).U8(3).U8(1).I32(-7).U8(0).U32(0xFFFFFFFF).U32(0xFFFFFFFF);
    seeds.push_back(w.Data());
  }
  {
    FuzzWriter w;  // IDs of three levels and beyond, a path without terminator
    w.U8(3);
    w.PatchValue(entryField(0, offsetof(TBUTTONFUNCINFO, MenuID)), std::int32_t{110101});
    w.PatchValue(entryField(1, offsetof(TBUTTONFUNCINFO, MenuID)), std::int32_t{-1});
    w.PatchText(entryField(2, offsetof(TBUTTONFUNCINFO, ProgramPath)), std::u16string(1030, u'x'));
    w.U8(0).U32(0).U32(999999).U8(0).U32(0).U32(1000000);
    seeds.push_back(w.Data());
  }
  return seeds;
}
