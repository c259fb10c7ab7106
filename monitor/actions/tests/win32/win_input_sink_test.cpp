// The SendInput sink against Wine: synthesised keys and buttons reach a
// focused window of our own with the right virtual keys, scan codes, flags,
// buttons and wheel deltas.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "emulated_input.h"
#include "message_waiter.h"
#include "send_input_sink.h"
#include "test_window.h"

namespace {

using quarn::testing::RecordingWindow;
using ::testing::ElementsAreArray;

struct KeySeen {
  UINT message;
  unsigned vk;
  unsigned scan;
  bool extended;
  bool operator==(const KeySeen&) const = default;
};

std::ostream& operator<<(std::ostream& os, const KeySeen& k) {
  return os << (k.message == WM_KEYDOWN ? "down"
                : k.message == WM_KEYUP ? "up"
                                        : "other")
            << " vk " << std::hex << k.vk << " scan " << k.scan << (k.extended ? " ext" : "")
            << std::dec;
}

std::vector<KeySeen> Keys(const RecordingWindow& w) {
  std::vector<KeySeen> out;
  for (const auto& m : w.received) {
    if (m.message != WM_KEYDOWN && m.message != WM_KEYUP) continue;
    out.push_back({m.message, static_cast<unsigned>(m.wParam),
                   static_cast<unsigned>((m.lParam >> 16) & 0xFF), ((m.lParam >> 24) & 1) != 0});
  }
  return out;
}

TEST(SendInputSink, ScanCodesOfTheUsLayout) {
  quarn::SendInputSink sink;
  EXPECT_EQ(sink.ScanCodeOf('A'), 0x1E);
  EXPECT_EQ(sink.ScanCodeOf(VK_LCONTROL), 0x1D);
  EXPECT_EQ(sink.ScanCodeOf(VK_LSHIFT), 0x2A);
  EXPECT_EQ(sink.ScanCodeOf(VK_RIGHT), 0x4D);
  EXPECT_EQ(sink.ScanCodeOf(VK_F5), 0x3F);
}

TEST(SendInputSink, AKeyCombinationReachesTheFocusedWindow) {
  RecordingWindow window;
  ASSERT_TRUE(window.BringToFront()) << "the test window could not take the focus";
  window.received.clear();

  quarn::SendInputSink sink;
  quarn::MessageWaiter waiter;
  {
    quarn::ActionRun run(sink, waiter, [] { return false; });
    // Ctrl with A and the right arrow; the arrow carries the extended flag 1.
    SendComboKey(run, TCOMBOKEYINFO{'A', 0, VK_RIGHT, 1, MODIFIER_CTRL});
  }
  const std::vector<KeySeen> want = {
      {WM_KEYDOWN, VK_CONTROL, 0x1D, false}, {WM_KEYDOWN, 'A', 0x1E, false},
      {WM_KEYDOWN, VK_RIGHT, 0x4D, true},    {WM_KEYUP, 'A', 0x1E, false},
      {WM_KEYUP, VK_RIGHT, 0x4D, true},      {WM_KEYUP, VK_CONTROL, 0x1D, false},
  };
  RecordingWindow::PumpUntil([&] { return Keys(window).size() >= want.size(); }, 3000);
  RecordingWindow::Pump(50);
  EXPECT_THAT(Keys(window), ElementsAreArray(want));
}

TEST(SendInputSink, ButtonsAndWheelReachTheWindowUnderThePointer) {
  RecordingWindow window;
  ASSERT_TRUE(window.BringToFront()) << "the test window could not take the focus";
  POINT before;
  GetCursorPos(&before);
  window.received.clear();

  quarn::SendInputSink sink;
  using B = quarn::MouseButton;
  for (B b : {B::Left, B::Right, B::Middle, B::X1, B::X2}) {
    sink.SendButton(b, false);
    sink.SendButton(b, true);
  }
  sink.SendWheel(120);
  sink.SendWheel(-120);

  struct Seen {
    UINT message;
    int detail;  // X button number or wheel delta
    bool operator==(const Seen&) const = default;
  };
  auto seen = [&] {
    std::vector<Seen> out;
    for (const auto& m : window.received) {
      if (m.message == WM_MOUSEMOVE) continue;
      int detail = 0;
      if (m.message == WM_XBUTTONDOWN || m.message == WM_XBUTTONUP) detail = HIWORD(m.wParam);
      if (m.message == WM_MOUSEWHEEL) detail = GET_WHEEL_DELTA_WPARAM(m.wParam);
      out.push_back({m.message, detail});
    }
    return out;
  };
  const std::vector<Seen> want = {
      {WM_LBUTTONDOWN, 0},        {WM_LBUTTONUP, 0},        {WM_RBUTTONDOWN, 0},
      {WM_RBUTTONUP, 0},          {WM_MBUTTONDOWN, 0},      {WM_MBUTTONUP, 0},
      {WM_XBUTTONDOWN, XBUTTON1}, {WM_XBUTTONUP, XBUTTON1}, {WM_XBUTTONDOWN, XBUTTON2},
      {WM_XBUTTONUP, XBUTTON2},   {WM_MOUSEWHEEL, 120},     {WM_MOUSEWHEEL, -120},
  };
  RecordingWindow::PumpUntil([&] { return seen().size() >= want.size(); }, 3000);
  RecordingWindow::Pump(50);
  const auto got = seen();
  ASSERT_EQ(got.size(), want.size());
  for (std::size_t i = 0; i < want.size(); ++i) {
    EXPECT_EQ(got[i].message, want[i].message) << i;
    EXPECT_EQ(got[i].detail, want[i].detail) << i;
  }
  POINT after;
  GetCursorPos(&after);
  EXPECT_EQ(after.x, before.x) << "the pointer stays where it is";
  EXPECT_EQ(after.y, before.y);
}

}  // namespace
