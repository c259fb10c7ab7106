// The monitor's mouse filters and button gate, wired to the hook component as
// the monitor wires them, under any sequence of mouse events and filter
// rebuilds from any button functions. The filters keep their shape, wheel
// events always pass, and a button's release is swallowed exactly when the
// press before it was, with every swallowed press and its release reported
// to the monitor in pairs.
#include <array>
#include <memory>
#include <vector>

#include "fake_hook_platform.h"
#include "fuzz_input.h"
#include "mouse_buttons.h"
#include "mouse_filters.h"
#include "vn_hook.h"

namespace {

using quarn::MouseHookRecord;
using quarn::fuzz::FuzzInput;

enum Op : std::uint8_t { kEvent, kRebuild, kOpCount };

struct Harness {
  quarn::testing::FakeHookPlatform platform;
  std::unique_ptr<TMOUSECONFIGINFO> config = std::make_unique<TMOUSECONFIGINFO>();
  std::array<int, quarn::kPhysicalButtonCount> posted{};  // last state posted per button, -1 none
  std::array<bool, quarn::kPhysicalButtonCount> pressSwallowed{};
  quarn::MouseButtonGate gate{[this](int index, int state) {
    QUARN_FUZZ_CHECK(index >= 0 && index < quarn::kPhysicalButtonCount);
    // Presses and releases reach the monitor in pairs: never two releases in a row.
    if (state == 0) QUARN_FUZZ_CHECK(posted[index] != 0);
    posted[index] = state;
  }};
  std::unique_ptr<TvnHook> hook = std::make_unique<TvnHook>(platform);
  std::uint32_t time = 1;

  Harness() {
    posted.fill(-1);
    hook->OnHookMouseAllButton = [this](TvnHook&, TMouseButtons b, std::int32_t s, std::int16_t,
                                        bool& blocked) { gate.OnAnyButton(b, s, blocked); };
    hook->OnHookMouseButton = [this](TvnHook&, TMouseButtons b, std::int32_t s, bool& blocked) {
      gate.OnClaimedButton(b, s, blocked);
    };
  }

  void Rebuild(FuzzInput& in) {
    // Kind and menu ID (or function code) of the five buttons and the two wheel directions.
    for (int i = 0; i < 7; ++i) {
      TBUTTONFUNCINFO& e = i < 5 ? config->ButtonFuncInfo[i] : config->VWheelButtonFuncInfo[i - 5];
      e.FunctionKind = in.U8() % 12;
      e.MenuID = static_cast<std::int8_t>(in.U8());
      e.FunctionCode = in.U8() % 4;
    }
    const auto filters = quarn::BuildMouseFilters(*config);
    QUARN_FUZZ_CHECK(filters.size() >= 5 && filters.size() <= 7);
    const TMouseButtons order[] = {LCLICK, RCLICK, MCLICK, XCLICK5, XCLICK4};
    for (int i = 0; i < 5; ++i) {
      QUARN_FUZZ_CHECK(filters[i].MouseButton == order[i]);
      QUARN_FUZZ_CHECK(quarn::ButtonIndexOf(order[i]) == i);
      QUARN_FUZZ_CHECK(filters[i].ModifiedFunction == order[i] ||
                       filters[i].ModifiedFunction == BUTTON_NONE);
    }
    for (std::size_t i = 5; i < filters.size(); ++i)
      QUARN_FUZZ_CHECK(filters[i].MouseButton == WHEELUP || filters[i].MouseButton == WHEELDOWN);

    hook->StopHookMouse();
    hook->RemoveAllMouseHookObject();
    for (const auto& f : filters) {
      auto object = std::make_unique<TMouseHookDetailObject>();
      object->FMouseHookDetail = f;
      hook->AddMouseHookObject(std::move(object));
    }
    hook->StartHookMouse();
  }

  void Event(FuzzInput& in) {
    const std::uint8_t shape = in.U8();
    const std::uintptr_t message = (shape & 1) ? in.U16() : 0x200 + in.U8() % 16;
    const std::uint32_t mouseData = static_cast<std::uint32_t>(in.U16()) << 16;
    MouseHookRecord e{0, 0, mouseData, (shape & 2) ? quarn::MOUSE_FLAG_INJECTED : 0u, time++, 0};
    const bool blocked = platform.Mouse(message, e);
    if (e.flags & quarn::MOUSE_FLAG_INJECTED) {
      QUARN_FUZZ_CHECK(!blocked);
      return;
    }
    const quarn::MouseEventButton b = quarn::DecodeMouseEvent(message, mouseData);
    const int index = quarn::ButtonIndexOf(b.Button);
    if (index < 0) {
      QUARN_FUZZ_CHECK(!blocked);  // wheels and moves pass
      return;
    }
    if (b.State == 0) {
      QUARN_FUZZ_CHECK(blocked == pressSwallowed[index]);
      pressSwallowed[index] = false;
    } else {
      pressSwallowed[index] = blocked;
    }
    QUARN_FUZZ_CHECK(gate.IsHeld(index) == pressSwallowed[index]);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  auto h = std::make_unique<Harness>();
  h->Rebuild(in);
  while (!in.Empty()) {
    if (in.U8() % kOpCount == kEvent)
      h->Event(in);
    else
      h->Rebuild(in);
  }
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  // Every button keeps its own function (kind 1, menu ID = its number), both wheels too.
  const std::vector<std::uint8_t> own = {1, 1, 0, 1, 2, 0, 1, 3, 0, 1, 4,
                                         0, 1, 5, 0, 1, 0, 0, 1, 0, 1};
  // Every button and both wheels given something else.
  const std::vector<std::uint8_t> other = {4, 0, 0,  3, 0, 0, 1, 19, 0, 8, 0,
                                           0, 1, 16, 0, 1, 7, 0, 1,  6, 1};
  auto event = [](FuzzWriter& w, std::uint8_t message, std::uint16_t high = 0) {
    w.U8(kEvent).U8(0).U8(message).U16(high);
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  for (const auto* start : {&own, &other}) {
    FuzzWriter w;
    w.Raw(*start);
    for (std::uint8_t m : {1, 2, 4, 5, 7, 8, 3, 2, 6, 5, 9, 8}) event(w, m);
    event(w, 11, 1);
    event(w, 12, 1);
    event(w, 11, 2);
    event(w, 12, 2);
    event(w, 10, 120);
    event(w, 10, 0xFF88);
    event(w, 0);
    w.U8(kEvent).U8(2).U8(1).U16(0);       // injected
    w.U8(kEvent).U8(1).U16(0x20B).U16(3);  // an X button the mouse does not have
    seeds.push_back(w.Data());
  }
  {  // Filters change between a press and its release, both ways; a lost release.
    FuzzWriter w;
    w.Raw(other);
    event(w, 1);
    w.U8(kRebuild).Raw(own);
    event(w, 2);
    event(w, 4);
    w.U8(kRebuild).Raw(other);
    event(w, 5);
    event(w, 7);
    event(w, 7);
    w.U8(kRebuild).Raw(own);
    event(w, 7);
    event(w, 8);
    event(w, 8);
    seeds.push_back(w.Data());
  }
  return seeds;
}
