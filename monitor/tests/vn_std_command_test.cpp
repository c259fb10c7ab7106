#include "vn_std_command.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using Strings = std::vector<std::u16string>;

// A channel whose reads block until the test feeds a reply or cancels them.
struct FakeChannel : quarn::DriverChannel {
  std::mutex m;
  std::condition_variable cv;
  int writeOpens = 0, readOpens = 0, readCloses = 0;
  bool writeOk = true, readOk = true, readOpen = false, cancelled = false;
  int readersInside = 0;
  bool closedWhileReading = false;
  std::uint32_t controlError = 0;
  std::vector<std::uint8_t> reply;  // written into the control call's output
  std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> controls;
  std::deque<quarn::ChannelRead> replies;
  std::map<std::thread::id, int> readerIds;
  std::vector<int> readOrder;

  bool OpenWrite() override {
    ++writeOpens;
    return writeOk;
  }
  void CloseWrite() override {}
  std::uint32_t Control(std::uint32_t code, const std::uint8_t* in, std::uint32_t inSize,
                        std::uint8_t* out, std::uint32_t outSize) override {
    controls.push_back({code, std::vector<std::uint8_t>(in, in + inSize)});
    for (std::uint32_t i = 0; i < outSize && i < reply.size(); ++i) out[i] = reply[i];
    return controlError;
  }
  bool OpenRead() override {
    std::lock_guard<std::mutex> l(m);
    ++readOpens;
    cancelled = false;
    readOpen = readOk;
    return readOk;
  }
  void CloseRead() override {
    std::lock_guard<std::mutex> l(m);
    ++readCloses;
    if (readersInside > 0) closedWhileReading = true;
    readOpen = false;
  }
  quarn::ChannelRead Read(std::uint32_t, const std::uint8_t*, std::uint32_t, std::uint8_t* out,
                          std::uint32_t outSize) override {
    std::unique_lock<std::mutex> l(m);
    ++readersInside;
    auto id = std::this_thread::get_id();
    if (!readerIds.count(id)) readerIds[id] = static_cast<int>(readerIds.size()) + 1;
    readOrder.push_back(readerIds[id]);
    cv.notify_all();
    cv.wait(l, [&] { return cancelled || !replies.empty(); });
    quarn::ChannelRead r{995, 0};
    if (!cancelled) {
      r = replies.front();
      replies.pop_front();
      for (std::uint32_t i = 0; i < r.bytes && i < outSize; ++i) out[i] = std::uint8_t(i + 1);
    }
    --readersInside;
    return r;
  }
  void CancelReads() override {
    std::lock_guard<std::mutex> l(m);
    cancelled = true;
    cv.notify_all();
  }
  void Feed(quarn::ChannelRead r) {
    std::lock_guard<std::mutex> l(m);
    replies.push_back(r);
    cv.notify_all();
  }
  // Waits until `n` reads have started.
  bool WaitReads(std::size_t n) {
    std::unique_lock<std::mutex> l(m);
    return cv.wait_for(l, 2s, [&] { return readOrder.size() >= n; });
  }
};

struct FakeSetup : quarn::DeviceSetup {
  std::vector<quarn::SetupDevice> devices;
  bool available = true;
  bool Enumerate(std::vector<quarn::SetupDevice>& out) override {
    out = devices;
    return available;
  }
  bool HasProblem(const quarn::SetupDevice&) override { return false; }
  bool SetFilterList(const quarn::SetupDevice&, bool, const Strings&) override { return true; }
  bool SetEnabled(const quarn::SetupDevice&, bool) override { return true; }
};

struct FakeTimer : quarn::StartTimer {
  int restarts = 0;
  std::uint32_t interval = 0;
  std::function<void()> pending;
  void Restart(std::uint32_t ms, std::function<void()> fire) override {
    ++restarts;
    interval = ms;
    pending = std::move(fire);
  }
  void Disable() override { pending = nullptr; }
  void Fire() {
    auto f = pending;
    if (f) f();
  }
};

std::u16string Ini(const std::string& text) {
  return std::u16string(text.begin(), text.end());
}

struct Rig {
  FakeChannel channel;
  FakeSetup setup;
  FakeTimer timer;
  std::unique_ptr<TvnSTDCommand> cmd;
  explicit Rig(const std::string& ini = "") {
    cmd = std::make_unique<TvnSTDCommand>(quarn::IniFile::ParseText(Ini(ini)),
                                          quarn::StdCommandSystem{channel, setup, timer});
  }
  void GiveInitData(std::vector<std::uint8_t> data = {1, 2, 3}) {
    ASSERT_TRUE(
        cmd->SetDeviceInitData(data.data(), std::uint32_t(data.size()), 0x222000, 0x222004, 8, 64));
  }
};

TEST(STDCommand, ConfigurationFromIni) {
  Rig r("[devicelist]\nid1=A\nid2=B\nid3=C\nid4=\nid5=E\n[usbdevicelist]\nid1=U\n");
  EXPECT_EQ(r.cmd->GetHIDDeviceList(), (Strings{u"A", u"B", u"C"}));
  EXPECT_EQ(r.cmd->GetUSBDeviceList(), (Strings{u"U"}));
  EXPECT_EQ(r.cmd->DevicePath(), u"\\\\.\\tavoflt00001");
  EXPECT_TRUE(r.cmd->ChannelAvailable());
  EXPECT_EQ(r.cmd->DriverInfo().InfFileName, u"tavoflt00001.inf");
  EXPECT_EQ(r.channel.writeOpens + r.channel.readOpens, 0) << "nothing is opened at construction";

  std::string ids = "[devicelist]\n";
  for (int i = 1; i <= 102; ++i) ids += "id" + std::to_string(i) + "=X" + std::to_string(i) + "\n";
  EXPECT_EQ(Rig(ids).cmd->GetHIDDeviceList().size(), 101u) << "id102 is never read";

  for (const char* bad : {"a\\b", "C:", "..", "a b", "x/y"}) {
    Rig b(std::string("[DEVICE]\nDeviceName=") + bad + "\n");
    EXPECT_FALSE(b.cmd->ChannelAvailable()) << bad;
    std::uint8_t buf[4] = {};
    EXPECT_EQ(b.cmd->DeviceRW(buf, 4, 1), 21u) << bad;
    EXPECT_EQ(b.channel.writeOpens, 0) << bad << ": never opened";
    EXPECT_FALSE(b.cmd->CanOpenDevice());
  }
}

TEST(STDCommand, DeviceRWResults) {
  Rig r;
  std::uint8_t buf[4] = {9, 9, 9, 9};
  EXPECT_EQ(r.cmd->DeviceRW(buf, 4, 7), 0u) << "success is 0";
  EXPECT_EQ(r.channel.controls.at(0).first, 7u);
  r.channel.controlError = 31;
  EXPECT_EQ(r.cmd->DeviceRW(buf, 4, 7), 31u);
  EXPECT_EQ(r.cmd->DeviceRW(buf, -1, 7), 87u) << "negative count, no call";
  EXPECT_EQ(r.channel.controls.size(), 2u);
  r.channel.writeOk = false;
  EXPECT_EQ(r.cmd->DeviceRW(buf, 4, 7), 21u) << "device missing";
  EXPECT_FALSE(r.cmd->CanOpenDevice());
}

TEST(STDCommand, InitDataKeptAndBounded) {
  Rig r;
  const std::uint8_t first[] = {1, 2, 3};
  const std::uint8_t other[] = {4};
  EXPECT_TRUE(r.cmd->SetDeviceInitData(first, 3, 10, 11, 8, 8));
  EXPECT_TRUE(r.cmd->SetDeviceInitData(other, 0, 12, 13, 8, 8)) << "size 0 changes nothing";
  EXPECT_FALSE(r.cmd->SetDeviceInitData(other, 1, 12, 13, 10242, 8));
  EXPECT_FALSE(r.cmd->SetDeviceInitData(other, 1, 12, 13, 8, -1));
  EXPECT_FALSE(r.cmd->SetDeviceInitData(other, 1, 12, 13, -5, 8));
  EXPECT_EQ(r.cmd->SetMonitorData(other, 1, 12, 13, 8, 10242), 87u);
  EXPECT_EQ(r.cmd->SetMonitorData(), 0u);
  ASSERT_EQ(r.channel.controls.size(), 1u);
  EXPECT_EQ(r.channel.controls[0].first, 10u);
  EXPECT_EQ(r.channel.controls[0].second, (std::vector<std::uint8_t>{1, 2, 3}));

  // The driver's reply must not become the data sent next time.
  r.channel.reply = {0xEE, 0xEE, 0xEE};
  r.cmd->SetMonitorData();
  r.cmd->SetMonitorData();
  EXPECT_EQ(r.channel.controls.back().second, (std::vector<std::uint8_t>{1, 2, 3}));
}

TEST(STDCommand, ArrivalTimerChainWithoutInitDataOpensNothing) {
  Rig r;
  int arrivals = 0, removals = 0;
  void* sender = nullptr;
  int notifier = 0;
  r.cmd->OnDeviceArrialEvent = [&](void* s) { ++arrivals, sender = s; };
  r.cmd->OnDeviceRemovalEvent = [&](void*) { ++removals; };
  r.cmd->HIDEventDeviceArrival(&notifier);
  EXPECT_EQ(arrivals, 1);
  EXPECT_EQ(sender, &notifier);
  EXPECT_EQ(r.timer.restarts, 1);
  EXPECT_EQ(r.timer.interval, 1500u);
  r.timer.Fire();
  EXPECT_EQ(r.channel.readOpens + r.channel.writeOpens, 0);
  r.cmd->StartMonitorDevice();
  EXPECT_EQ(r.channel.readOpens + r.channel.writeOpens, 0) << "no init data: nothing opened";
  r.cmd->HIDEventDeviceRemove(&notifier);
  EXPECT_EQ(removals, 1);
  EXPECT_EQ(r.timer.restarts, 2);
}

TEST(STDCommand, ReadersAlternateAndDeliver) {
  Rig r;
  r.GiveInitData();
  std::mutex m;
  std::vector<std::uint32_t> sizes;
  r.cmd->OnDataReceived = [&](const std::uint8_t* buf, std::uint32_t n) {
    std::lock_guard<std::mutex> l(m);
    sizes.push_back(n);
    EXPECT_EQ(buf[0], 1);
  };
  r.cmd->StartMonitorDevice();
  EXPECT_TRUE(r.cmd->Active());
  EXPECT_EQ(r.channel.readOpens, 1);
  ASSERT_EQ(r.channel.controls.size(), 1u) << "init data sent on start";
  EXPECT_EQ(r.channel.controls[0].first, 0x222000u);
  for (std::uint32_t i = 1; i <= 6; ++i) {
    ASSERT_TRUE(r.channel.WaitReads(i));
    r.channel.Feed({0, i * 2});
  }
  ASSERT_TRUE(r.channel.WaitReads(7));
  const auto t0 = std::chrono::steady_clock::now();
  r.cmd->StopMonitorDevice();
  EXPECT_LT(std::chrono::steady_clock::now() - t0, 100ms);
  EXPECT_FALSE(r.cmd->Active());
  EXPECT_FALSE(r.channel.closedWhileReading) << "read handle closed only after the readers ended";
  EXPECT_EQ(r.channel.readCloses, 1);
  const std::vector<int> expected = {1, 2, 1, 2, 1, 2, 1};
  EXPECT_EQ(r.channel.readOrder, expected);
  // A reader delivers while the other already reads: deliveries may cross.
  std::sort(sizes.begin(), sizes.end());
  EXPECT_EQ(sizes, (std::vector<std::uint32_t>{2, 4, 6, 8, 10, 12}));

  // Restart works and opens the channel again.
  r.cmd->StartMonitorDevice();
  EXPECT_EQ(r.channel.readOpens, 2);
  ASSERT_TRUE(r.channel.WaitReads(8));
  r.cmd.reset();  // destruction stops the readers too
  EXPECT_FALSE(r.channel.closedWhileReading);
}

TEST(STDCommand, FailedReadEndsItsReaderAndRemovalStopsBeforeClosing) {
  Rig r;
  r.GiveInitData();
  r.cmd->StartMonitorDevice();
  ASSERT_TRUE(r.channel.WaitReads(1));
  r.channel.Feed({1167, 0});
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(r.channel.readOrder.size(), 1u) << "the other reader never gets a turn";
  r.cmd->HIDEventDeviceRemove(nullptr);
  EXPECT_EQ(r.channel.readCloses, 1);
  EXPECT_FALSE(r.channel.closedWhileReading);
  // The timer then starts the channel again.
  r.timer.Fire();
  EXPECT_TRUE(r.cmd->Active());
  ASSERT_TRUE(r.channel.WaitReads(2));
  r.cmd->HIDEventDeviceRemove(nullptr);
  EXPECT_FALSE(r.channel.closedWhileReading);
  EXPECT_FALSE(r.cmd->Active());
}

TEST(STDCommand, StartWithMissingDeviceStaysInactive) {
  Rig r;
  r.GiveInitData();
  r.channel.readOk = false;
  r.cmd->StartMonitorDevice();
  EXPECT_FALSE(r.cmd->Active());
  EXPECT_TRUE(r.channel.controls.empty());
}

TEST(STDCommand, DeviceQueries) {
  Rig r("[devicelist]\nid1=HID\\VID_845E&PID_0001\n[usbdevicelist]\nid1=HID\\VID_845E&PID_0002\n");
  r.setup.devices = {
      {u"D1", {u"HID\\VID_845E&PID_0001\\0&0000", u"hid\\vid_845e&pid_0001"}, {}, {}},
      {u"D2", {u"HID\\VID_845E&PID_0002"}, {}, {}}};
  EXPECT_TRUE(r.cmd->IsHIDDeviceExist()) << "case-different ID";
  EXPECT_TRUE(r.cmd->ISHIDDeviceExist(u"hid\\vid_845e&pid_0002"));
  EXPECT_FALSE(r.cmd->ISHIDDeviceExist(u"HID\\VID_845E")) << "a prefix is not the ID";
  EXPECT_TRUE(r.cmd->HardwareIdsInConfigUsbList({u"x", u"hid\\VID_845E&pid_0002"}));
  EXPECT_FALSE(r.cmd->HardwareIdsInConfigHidList({u"HID\\VID_845E&PID_0002"}));
  EXPECT_EQ(r.cmd->GetHIDDeviceList(), (Strings{u"HID\\VID_845E&PID_0001"}))
      << "lookups keep config.ini order";

  Rig empty;
  empty.setup.devices = r.setup.devices;
  EXPECT_FALSE(empty.cmd->IsHIDDeviceExist()) << "an empty list accepts nothing";

  r.setup.available = false;
  EXPECT_FALSE(r.cmd->IsHIDDeviceExist());
  EXPECT_FALSE(r.cmd->ISHIDDeviceExist(u"HID\\VID_845E&PID_0002"));
}

}  // namespace
