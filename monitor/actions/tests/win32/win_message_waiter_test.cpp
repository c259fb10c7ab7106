// The message-servicing waiter against Wine: a wait keeps the thread's sent
// messages and its low-level hook alive, leaves posted messages queued, ends
// on time, and stops early when told.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <thread>

#include "message_waiter.h"
#include "test_window.h"

namespace {

using quarn::testing::RecordingWindow;

constexpr UINT kSent = WM_APP + 1;
constexpr UINT kPosted = WM_APP + 2;

double Ms(std::int64_t micros) {
  return static_cast<double>(micros) / 1000.0;
}

TEST(MessageWaiter, A200msWaitServicesASentMessageAndLasts200ms) {
  RecordingWindow window;
  quarn::MessageWaiter waiter;
  std::atomic<std::int64_t> handled{0}, sendReturned{0};
  window.onMessage = [&](UINT m) {
    if (m == kSent) handled = waiter.NowMicros();
  };
  const std::int64_t start = waiter.NowMicros();
  std::thread sender([&] {
    Sleep(50);
    SendMessageW(window.hwnd, kSent, 0, 0);
    sendReturned = waiter.NowMicros();
  });
  const bool completed = waiter.Wait(200);
  const std::int64_t end = waiter.NowMicros();
  sender.join();

  EXPECT_TRUE(completed);
  ASSERT_NE(handled.load(), 0) << "the sent message was not handled during the wait";
  EXPECT_LT(handled.load(), end);
  EXPECT_LT(Ms(sendReturned - start), 150) << "the sender was kept waiting";
  EXPECT_GE(Ms(end - start), 200.0);
  EXPECT_LE(Ms(end - start), 240.0) << "a busy machine may be a little late, never a tick per step";
}

TEST(MessageWaiter, PostedMessagesWaitForTheStepBoundary) {
  RecordingWindow window;
  quarn::MessageWaiter waiter;
  int posted = 0;
  window.onMessage = [&](UINT m) {
    if (m == kPosted) ++posted;
  };
  PostMessageW(window.hwnd, kPosted, 0, 0);
  PostMessageW(window.hwnd, kPosted, 0, 0);
  EXPECT_TRUE(waiter.Wait(30));
  EXPECT_EQ(posted, 0);
  EXPECT_TRUE(waiter.ProcessPendingMessages());
  EXPECT_EQ(posted, 2);
}

TEST(MessageWaiter, StopEndsTheWaitAfterTheSentMessageThatAsksForIt) {
  RecordingWindow window;
  quarn::MessageWaiter waiter;
  bool abort = false;
  window.onMessage = [&](UINT m) {
    if (m == kSent) abort = true;  // as new settings applied would do
  };
  const std::int64_t start = waiter.NowMicros();
  std::thread sender([&] {
    Sleep(40);
    SendMessageW(window.hwnd, kSent, 0, 0);
  });
  const bool completed = waiter.Wait(5000, [&] { return abort; });
  const std::int64_t end = waiter.NowMicros();
  sender.join();
  EXPECT_FALSE(completed);
  EXPECT_LT(Ms(end - start), 1000);
}

TEST(MessageWaiter, AWaitThatHoldsBackButtonMessagesRunsEveryOtherPostedMessageAtOnce) {
  constexpr UINT kHeld = WM_APP + 7;  // stands for the button messages
  constexpr UINT kTray = WM_APP + 8;  // stands for the tray and its commands
  RecordingWindow window;
  quarn::MessageWaiter waiter({kHeld, WM_APP + 9});
  std::int64_t trayAt = 0;
  int held = 0, nestedTray = 0;
  bool inTray = false;
  window.onMessage = [&](UINT m) {
    if (m == kHeld) ++held;
    if (m != kTray) return;
    if (inTray) ++nestedTray;
    if (trayAt == 0) trayAt = waiter.NowMicros();
    // A pause inside a message the wait ran: the next tray message stays queued.
    inTray = true;
    waiter.Wait(30);
    inTray = false;
  };
  const std::int64_t start = waiter.NowMicros();
  std::thread poster([&] {
    Sleep(50);
    PostMessageW(window.hwnd, kHeld, 0, 0);
    PostMessageW(window.hwnd, kTray, 0, 0);
    PostMessageW(window.hwnd, kTray, 0, 0);
  });
  EXPECT_TRUE(waiter.Wait(400));
  poster.join();
  ASSERT_NE(trayAt, 0) << "the posted message waited for the end of the wait";
  EXPECT_LT(Ms(trayAt - start), 150);
  EXPECT_EQ(nestedTray, 0) << "a wait inside a dispatched message runs no posted message";
  EXPECT_EQ(held, 0) << "held-back messages wait for the step boundary";
  EXPECT_TRUE(waiter.ProcessPendingMessages());
  EXPECT_EQ(held, 1);
}

TEST(MessageWaiter, AQuitRequestDuringAWaitEndsItAndStaysForTheProgramsLoop) {
  RecordingWindow window;
  quarn::MessageWaiter waiter({WM_APP + 7});
  std::thread quitter([&] {
    Sleep(40);
    PostMessageW(window.hwnd, WM_APP + 3, 0, 0);
  });
  window.onMessage = [&](UINT m) {
    if (m == WM_APP + 3) PostQuitMessage(3);  // Exit from the tray menu
  };
  const std::int64_t start = waiter.NowMicros();
  EXPECT_FALSE(waiter.Wait(5000));
  quitter.join();
  EXPECT_LT(Ms(waiter.NowMicros() - start), 1000);
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 3u);
}

std::atomic<std::int64_t> hookCalled{0};
quarn::MessageWaiter* hookClock = nullptr;

LRESULT CALLBACK RecordingMouseHook(int code, WPARAM wp, LPARAM lp) {
  if (code == HC_ACTION && hookCalled == 0) hookCalled = hookClock->NowMicros();
  return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(MessageWaiter, TheLowLevelMouseHookIsCalledPromptlyDuringALongWait) {
  quarn::MessageWaiter waiter;
  hookClock = &waiter;
  hookCalled = 0;
  HHOOK hook = SetWindowsHookExW(WH_MOUSE_LL, RecordingMouseHook, GetModuleHandleW(nullptr), 0);
  ASSERT_NE(hook, nullptr);

  std::atomic<std::int64_t> injected{0}, injectReturned{0};
  std::thread other([&] {
    Sleep(50);
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = MOUSEEVENTF_MOVE;  // a move by 0, 0
    injected = waiter.NowMicros();
    SendInput(1, &in, sizeof(INPUT));
    injectReturned = waiter.NowMicros();
  });
  waiter.Wait(600);
  other.join();
  UnhookWindowsHookEx(hook);

  ASSERT_NE(hookCalled.load(), 0) << "the hook was not called during the wait";
  EXPECT_LT(Ms(hookCalled - injected), 60) << "the event waited for the hook";
  EXPECT_LT(Ms(injectReturned - injected), 60);
}

TEST(MessageWaiter, QuitEndsTheServicingAndStaysForTheProgramsLoop) {
  RecordingWindow window;
  quarn::MessageWaiter waiter;
  int posted = 0;
  window.onMessage = [&](UINT m) {
    if (m == kPosted) ++posted;
  };
  PostMessageW(window.hwnd, kPosted, 0, 0);
  PostQuitMessage(7);
  EXPECT_FALSE(waiter.ProcessPendingMessages());
  EXPECT_EQ(posted, 1) << "messages before the quit request still run";
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(msg.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(msg.wParam, 7u);
}

}  // namespace
