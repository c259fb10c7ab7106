// The HID link over the recording transport: which interfaces qualify, what
// each operation sends, its result, and the readers' lifecycle.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstring>
#include <memory>
#include <thread>

#include "config_ini.h"
#include "hid_button_data.h"
#include "ini_file.h"
#include "multi_string.h"
#include "recording_hid_transport.h"
#include "vn_hid_data.h"

namespace {

using quarn::testing::Bytes;
using quarn::testing::QueuedPoster;
using quarn::testing::QueuedRead;
using quarn::testing::RecordingHidTransport;

constexpr USAGE_AND_PAGE kVendor{0x0001, 0xFFA0};
constexpr USAGE_AND_PAGE kMouse{0x0002, 0x0001};

std::unique_ptr<THIDDataParam> Param(USAGE_AND_PAGE uap, std::uint32_t size, std::uint8_t id = 2) {
  auto p = std::make_unique<THIDDataParam>();
  p->UsageAndPage = uap;
  p->Data.ReportID = id;
  for (std::uint32_t i = 1; i < size && i < sizeof p->Data.DATAReally; ++i)
    p->Data.DATAReally[i - 1] = static_cast<std::uint8_t>(i);
  p->Data.DATASIZE = size;
  return p;
}

Bytes Expected(std::uint32_t size, std::uint8_t id = 2) {
  Bytes b(size);
  b[0] = id;
  for (std::uint32_t i = 1; i < size; ++i) b[i] = static_cast<std::uint8_t>(i);
  return b;
}

// Every open closed, every preparsed data freed.
void ExpectBalanced(RecordingHidTransport& t) {
  EXPECT_EQ(t.opens, t.closes);
  EXPECT_EQ(t.preparsedLoaded, t.preparsedFreed);
}

TEST(HidLinkSetFeature, SentOnlyWhenTheFeatureReportIsLongEnough) {
  struct Case {
    const char* why;
    std::uint16_t featureLength;
    std::uint32_t expected;
    std::size_t received;
  } cases[] = {
      {"feature length equals DATASIZE", 16, 0, 1},
      {"feature length longer", 64, 0, 1},
      {"feature length one short", 15, quarn::kErrorDeviceNotConnected, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    RecordingHidTransport t;
    t.Add(u"vendor", {u"HID\\VID_1&PID_2"}, 0xFFA0, 1, c.featureLength);
    TvnHIDData link(t, {});
    auto p = Param(kVendor, 16);
    EXPECT_EQ(link.HidFindAndSetFeatureReport(*p), c.expected);
    ASSERT_EQ(t.interfaces[0].features.size(), c.received);
    if (c.received) {
      EXPECT_EQ(t.interfaces[0].features[0], Expected(16));
    }
    ExpectBalanced(t);
  }
}

TEST(HidLinkSetFeature, TheLastQualifyingInterfaceDecidesAndAllReceive) {
  struct Case {
    const char* why;
    std::uint32_t first, second, expected;
  } cases[] = {
      {"first fails, second succeeds", 31, 0, 0},
      {"first succeeds, second fails", 0, 31, 31},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    RecordingHidTransport t;
    t.Add(u"a", {u"A"}, 0xFFA0, 1, 16).featureError = c.first;
    t.Add(u"b", {u"B"}, 0xFFA0, 1, 16).featureError = c.second;
    TvnHIDData link(t, {});
    auto p = Param(kVendor, 16);
    EXPECT_EQ(link.HidFindAndSetFeatureReport(*p), c.expected);
    EXPECT_EQ(t.interfaces[0].features.size(), 1u);
    EXPECT_EQ(t.interfaces[1].features.size(), 1u);
    EXPECT_NE(p->DeviceHandle, 0u);
  }
}

TEST(HidLinkSearch, AFailingStepSkipsTheInterfaceAndTheSearchGoesOn) {
  RecordingHidTransport t;
  t.Add(u"open", {u"X"}, 0xFFA0, 1, 16).openFails = true;
  t.Add(u"attributes", {u"X"}, 0xFFA0, 1, 16).attributesFail = true;
  t.Add(u"preparsed", {u"X"}, 0xFFA0, 1, 16).preparsedFails = true;
  t.Add(u"caps", {u"X"}, 0xFFA0, 1, 16).capsFail = true;
  t.Add(u"mouse", {u"X"}, 0x0001, 2, 16);        // wrong page
  t.Add(u"other usage", {u"X"}, 0xFFA0, 2, 16);  // wrong usage
  t.Add(u"good", {u"X"}, 0xFFA0, 1, 16);
  TvnHIDData link(t, {});
  auto p = Param(kVendor, 16);
  EXPECT_EQ(link.HidFindAndSetFeatureReport(*p), 0u);
  EXPECT_EQ(t.log,
            std::vector<std::string>{"good SetFeature " + quarn::testing::Hex(Expected(16))});
  EXPECT_EQ(t.opens, 6);  // all but the one that cannot be opened
  ExpectBalanced(t);
}

TEST(HidLinkSearch, HardwareIdListAcceptsWholeIdsIgnoringCase) {
  struct Case {
    const char* why;
    std::vector<std::u16string> list;
    bool accepted;
  } cases[] = {
      {"empty list accepts all", {}, true},
      {"same ID", {u"HID\\VID_1234&PID_0001"}, true},
      {"different case", {u"hid\\vid_1234&pid_0001"}, true},
      {"second hardware ID of the device", {u"HID\\VID_1234&PID_0001&REV_0100"}, true},
      {"later list entry", {u"HID\\VID_9999", u"hid\\vid_1234&pid_0001"}, true},
      {"prefix of the ID", {u"HID\\VID_1234"}, false},
      {"longer than the ID", {u"HID\\VID_1234&PID_0001\\X"}, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    RecordingHidTransport t;
    t.Add(u"v", {u"HID\\VID_1234&PID_0001&REV_0100", u"HID\\VID_1234&PID_0001"}, 0xFFA0, 1, 16);
    TvnHIDData link(t, c.list);
    auto p = Param(kVendor, 16);
    EXPECT_EQ(link.IsDeviceExist(*p), c.accepted);
    EXPECT_EQ(link.HidFindAndSetFeatureReport(*p),
              c.accepted ? 0u : quarn::kErrorDeviceNotConnected);
    if (!c.accepted) {
      EXPECT_EQ(t.opens, 0);  // a refused device is not even opened
    }
  }
}

TEST(HidLinkSearch, ListFromConfigIniStopsAtTheFirstEmptyId) {
  struct Case {
    const char* why;
    const char16_t* ini;
    bool mouseFound;
    bool keyboardFound;
  } cases[] = {
      {"id1 names the mouse", u"[IncludeHIDDeviceList]\nid1=hid\\vid_845e&pid_0001\n", true, false},
      {"id1 a prefix only", u"[IncludeHIDDeviceList]\nid1=HID\\VID_845E\n", false, false},
      {"id1 empty, id2 set: empty list",
       u"[IncludeHIDDeviceList]\nid1=\nid2=HID\\VID_845E&PID_0001\n", true, true},
      {"no section", u"[Other]\nid1=x\n", true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    RecordingHidTransport t;
    t.Add(u"mouse", {u"HID\\VID_845E&PID_0001\\0&0000&0&0", u"HID\\VID_845E&PID_0001", u"HID"}, 1,
          2, 0);
    t.Add(u"kbd", {u"HID\\VID_845E&PID_0002\\0&0000&0&0", u"HID\\VID_845E&PID_0002", u"HID"}, 1, 6,
          0);
    auto ini = quarn::IniFile::ParseText(c.ini);
    TvnHIDData link(t, quarn::ReadIdList(ini, u"IncludeHIDDeviceList"));
    EXPECT_EQ(link.IsDeviceExist(*Param(kMouse, 1)), c.mouseFound);
    EXPECT_EQ(link.IsDeviceExist(*Param({6, 1}, 1)), c.keyboardFound);
  }
}

TEST(HidLinkSearch, IsDeviceExistVisitsEveryInterface) {
  RecordingHidTransport t;
  t.Add(u"a", {u"A"}, 0xFFA0, 1, 16);
  t.Add(u"b", {u"B"}, 0x0001, 2, 0);
  t.Add(u"c", {u"C"}, 0xFFA0, 1, 16);
  TvnHIDData link(t, {});
  EXPECT_TRUE(link.IsDeviceExist(*Param(kVendor, 16)));
  EXPECT_EQ(t.opens, 3);
  EXPECT_FALSE(link.IsDeviceExist(*Param({3, 0xFFA0}, 16)));
  ExpectBalanced(t);
}

TEST(HidLinkRefusal, BadSizesAndMissingInterfaceSetSendNothing) {
  RecordingHidTransport t;
  t.Add(u"v", {u"V"}, 0xFFA0, 1, 0xFFFF, 0, 0xFFFF);
  TvnHIDData link(t, {});
  for (std::uint32_t size : {0u, 65537u, 0xFFFFFFFFu}) {
    SCOPED_TRACE(size);
    auto p = Param(kVendor, size);
    EXPECT_EQ(link.HidFindAndSetFeatureReport(*p), quarn::kErrorInvalidParameter);
    EXPECT_EQ(link.HidFindAndGetFeatureReport(*p), quarn::kErrorInvalidParameter);
    EXPECT_FALSE(link.HidFindAndWriteDevice(*p));
    EXPECT_FALSE(link.HidFindAndWriteDeviceBYHID(*p));
  }
  // The plain write sends DATASIZE + 1 bytes: 65,536 would pass the buffer's end.
  EXPECT_FALSE(link.HidFindAndWriteDevice(*Param(kVendor, 65536)));
  EXPECT_EQ(t.enumerations, 0);
  EXPECT_EQ(t.opens, 0);

  t.setUnavailable = true;
  auto p = Param(kVendor, 16);
  EXPECT_EQ(link.HidFindAndSetFeatureReport(*p), quarn::kErrorDeviceNotConnected);
  EXPECT_EQ(link.HidFindAndGetFeatureReport(*p), quarn::kErrorDeviceNotConnected);
  EXPECT_FALSE(link.IsDeviceExist(*p));
  EXPECT_FALSE(link.HidFindAndWriteDevice(*p));
  EXPECT_EQ(t.opens, 0);
}

TEST(HidLinkGetFeature, SendsTheReportIdAndCopiesTheReplyBack) {
  RecordingHidTransport t;
  auto& f = t.Add(u"v", {u"V"}, 0xFFA0, 1, 16);
  f.featureReply = {0xAA, 0xBB, 0xCC};
  TvnHIDData link(t, {});
  auto p = std::make_unique<THIDDataParam>();
  p->UsageAndPage = kVendor;
  p->Data.ReportID = 7;
  p->Data.DATASIZE = 4;
  p->Data.DATAReally[3] = 0x55;  // beyond DATASIZE: untouched
  p->DeviceHandle = 1234;
  EXPECT_EQ(link.HidFindAndGetFeatureReport(*p), 0u);
  EXPECT_EQ(f.features[0], (Bytes{7, 0, 0, 0}));
  EXPECT_EQ(p->Data.ReportID, 7);
  EXPECT_EQ(p->Data.DATAReally[0], 0xAA);
  EXPECT_EQ(p->Data.DATAReally[2], 0xCC);
  EXPECT_EQ(p->Data.DATAReally[3], 0x55);
  EXPECT_EQ(p->DeviceHandle, 1234u);

  f.featureError = 31;
  EXPECT_EQ(link.HidFindAndGetFeatureReport(*p), 31u);
}

TEST(HidLinkWrite, LengthsTargetsAndShortWrites) {
  RecordingHidTransport t;
  t.Add(u"a", {u"HID\\A"}, 0xFFA0, 1, 0, 0, 8);
  t.Add(u"b", {u"HID\\B"}, 0xFFA0, 1, 0, 0, 8);
  t.Add(u"small", {u"HID\\C"}, 0xFFA0, 1, 0, 0, 7);
  // The list would refuse every interface: BYHID does not consult it.
  TvnHIDData link(t, {u"HID\\NOTHING"});
  auto p = Param(kVendor, 8);

  EXPECT_FALSE(link.HidFindAndWriteDevice(*p));  // refused by the list
  for (const auto* id : {u"*", u""}) {
    p->DeviceID = id;
    EXPECT_TRUE(link.HidFindAndWriteDeviceBYHID(*p));
  }
  EXPECT_EQ(t.interfaces[0].writes.size(), 2u);
  EXPECT_EQ(t.interfaces[1].writes.size(), 2u);
  EXPECT_TRUE(t.interfaces[2].writes.empty());  // output length 7 < 8
  EXPECT_EQ(t.interfaces[0].writes[0], Expected(8));

  p->DeviceID = u"hid\\b";
  EXPECT_TRUE(link.HidFindAndWriteDeviceBYHID(*p));
  EXPECT_EQ(t.interfaces[0].writes.size(), 2u);
  EXPECT_EQ(t.interfaces[1].writes.size(), 3u);

  TvnHIDData open(t, {});
  EXPECT_TRUE(open.HidFindAndWriteDevice(*p));
  Bytes plus = Expected(8);
  plus.push_back(0);  // DATASIZE + 1: the byte after the report goes too
  EXPECT_EQ(t.interfaces[0].writes.back(), plus);

  // A write that reports fewer bytes than asked is not a success.
  for (auto& f : t.interfaces) f.shortWriteBy = 1;
  EXPECT_FALSE(open.HidFindAndWriteDevice(*p));
  EXPECT_FALSE(open.HidFindAndWriteDeviceBYHID(*p));
  for (auto& f : t.interfaces) {
    f.shortWriteBy = 0;
    f.writeError = 31;
  }
  EXPECT_FALSE(open.HidFindAndWriteDevice(*p));
  ExpectBalanced(t);
}

TEST(HidLinkReports, OneSearchSendsEachReportToEachInterfaceInOrder) {
  RecordingHidTransport t;
  t.Add(u"a", {u"A"}, 0xFFA0, 1, 16);
  t.Add(u"b", {u"B"}, 0xFFA0, 1, 64).featureError = 31;
  TvnHIDData link(t, {});
  const std::vector<Bytes> reports = {Bytes(16, 1), Bytes(64, 2), Bytes(16, 3)};
  auto results = link.HidFindAndSetFeatureReports(kVendor, reports);
  EXPECT_EQ(results, (std::vector<std::uint32_t>{31, 31, 31}));
  EXPECT_EQ(t.enumerations, 1);
  // Report order first, then interface order: as separate sends would do. "a"
  // is too small for the 64-byte report.
  std::vector<Bytes> expected = {reports[0], reports[0], reports[1], reports[2], reports[2]};
  EXPECT_EQ(t.AllFeatures(), expected);
  ExpectBalanced(t);

  EXPECT_EQ(link.HidFindAndSetFeatureReports(kVendor, {Bytes(16, 1), Bytes()}),
            (std::vector<std::uint32_t>{87, 87}));
  EXPECT_EQ(t.enumerations, 1);
  EXPECT_EQ(link.HidFindAndSetFeatureReports({9, 9}, {Bytes(16, 1)}),
            (std::vector<std::uint32_t>{1167}));
}

// ButtonData: (previous usages, current usages) -> value.
TEST(HidButtonData, ReleaseHidesPressAndNothingChangedIsZero) {
  struct Case {
    const char* why;
    std::vector<std::uint16_t> previous, current;
    std::uint32_t expected;
  } cases[] = {
      {"1 released and 2 pressed together", {1}, {2}, 1},
      {"only 2 pressed", {}, {2}, 0x00020000},
      {"no change", {1, 2}, {2, 1}, 0},
      {"all released", {3, 1}, {}, 3},
      {"second of two pressed", {1}, {1, 5}, 0x00050000},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    quarn::ButtonUsageTracker tracker;
    tracker.Update(c.previous, 8);
    EXPECT_EQ(tracker.Update(c.current, 8), c.expected);
    EXPECT_EQ(tracker.Update(c.current, 8), 0u);  // the same report again
  }
}

TEST(HidButtonData, LongUsageListsAreClampedAndZeroLengthGivesNothing) {
  quarn::ButtonUsageTracker tracker;
  std::vector<std::uint16_t> many(150);
  for (std::size_t i = 0; i < many.size(); ++i) many[i] = static_cast<std::uint16_t>(i + 1);
  EXPECT_EQ(tracker.Update(many, 150), 0x00010000u);
  EXPECT_EQ(tracker.Update({}, 150), 1u);
  EXPECT_EQ(tracker.Update({7}, 0), 0u);
}

TEST(HidProperty, MultiStringsAreParsedWithinBounds) {
  auto bytes = [](std::u16string_view s) {
    Bytes b;
    for (char16_t c : s) {
      b.push_back(static_cast<std::uint8_t>(c & 0xFF));
      b.push_back(static_cast<std::uint8_t>(c >> 8));
    }
    return b;
  };
  using L = std::vector<std::u16string>;
  struct Case {
    const char* why;
    Bytes data;
    L expected;
  } cases[] = {
      {"multi-string", bytes(std::u16string(u"HID\\A\0HID\0\0", 11)), L{u"HID\\A", u"HID"}},
      {"no final terminator", bytes(std::u16string(u"AB\0CD", 5)), L{u"AB", u"CD"}},
      {"single string", bytes(std::u16string(u"one\0", 4)), L{u"one"}},
      {"empty", Bytes{}, L{}},
      {"only terminators", Bytes{0, 0, 0, 0}, L{}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    EXPECT_EQ(quarn::ParseMultiString(c.data.data(), c.data.size()), c.expected);
  }
  Bytes odd = bytes(u"AB");
  odd.push_back('C');
  EXPECT_EQ(quarn::ParseMultiString(odd.data(), odd.size()), L{u"AB"});
  Bytes huge(100000, 'x');  // no terminator anywhere: read only to the bound
  auto list = quarn::ParseMultiString(huge.data(), huge.size());
  ASSERT_EQ(list.size(), 1u);
  EXPECT_EQ(list[0].size(), quarn::kMaxDevicePropertyBytes / 2);
  EXPECT_TRUE(quarn::ParseMultiString(nullptr, 10).empty());
}

// Readers.
bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!done()) {
    if (std::chrono::steady_clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

struct ReaderFixture {
  RecordingHidTransport t;
  std::vector<std::string> events;
  std::mutex mutex;

  ReaderFixture() {
    auto& m = t.Add(u"mouse", {u"HID\\M1", u"HID"}, 1, 2, 0, 4);
    m.maxUsages = 5;
  }
  void Bind(TvnHIDData& link) {
    link.OnData = [this](const std::u16string& id, const std::u16string& path, std::uint8_t rid,
                         const void* data, std::uint16_t size) {
      std::lock_guard<std::mutex> lock(mutex);
      std::string s = "data " + std::string(id.begin(), id.end()) + " " +
                      std::string(path.begin(), path.end()) + " id" + std::to_string(rid) +
                      " size" + std::to_string(size);
      if (size) s += " first" + std::to_string(*static_cast<const std::uint8_t*>(data));
      events.push_back(s);
    };
    link.OnParsedData = [this](const std::u16string&, const std::u16string&, std::uint8_t,
                               std::uint32_t buttons) {
      std::lock_guard<std::mutex> lock(mutex);
      events.push_back("parsed " + std::to_string(buttons));
    };
    link.OnDeviceNotConnected = [this](const std::u16string&, const std::u16string&) {
      std::lock_guard<std::mutex> lock(mutex);
      events.push_back("not connected");
    };
  }
  std::size_t Count() {
    std::lock_guard<std::mutex> lock(mutex);
    return events.size();
  }
};

TEST(HidLinkReader, DeliversDataThenParsedDataAndStopsPromptly) {
  ReaderFixture f;
  TvnHIDData link(f.t, {});
  link.SetFastOnData(true);
  f.Bind(link);
  link.HidFindAndReadDevice(kMouse, u"ignored");
  EXPECT_EQ(link.RunningReaders(), 1);
  f.t.QueueRead(u"mouse", {{0, 1, true}, {9}, {}});
  f.t.QueueRead(u"mouse", {{0, 3, true}, {9, 0x11, 0x22}, {2}});
  ASSERT_TRUE(WaitFor([&] { return f.Count() == 4; }));
  EXPECT_EQ(f.events,
            (std::vector<std::string>{"data HID\\M1 mouse id9 size0", "parsed 0",
                                      "data HID\\M1 mouse id9 size2 first17", "parsed 131072"}));
  const auto start = std::chrono::steady_clock::now();
  link.HidStopRead();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
  EXPECT_EQ(link.RunningReaders(), 0);
  EXPECT_EQ(f.t.OpenDevices(), 0);
  EXPECT_EQ(f.t.preparsedLoaded, f.t.preparsedFreed);
}

TEST(HidLinkReader, DeviceGoneRaisesNotConnectedOnceAndEndsTheReader) {
  ReaderFixture f;
  QueuedPoster poster;
  TvnHIDData link(f.t, {}, &poster);
  f.Bind(link);
  link.HidFindAndReadDevice(kMouse, u"");
  f.t.QueueRead(u"mouse", {{quarn::kErrorDeviceNotConnected, 0, true}, {}, {}});
  ASSERT_TRUE(WaitFor([&] { return f.t.OpenDevices() == 0; }));  // it closed its device
  EXPECT_EQ(f.Count(), 0u);  // not yet: delivered on the owner's thread
  EXPECT_EQ(poster.RunAll(), 1);
  EXPECT_EQ(f.events, std::vector<std::string>{"not connected"});
  EXPECT_EQ(link.RunningReaders(), 0);
  EXPECT_EQ(f.t.ReadsSoFar(), 1);
}

TEST(HidLinkReader, OtherReadFailuresEndQuietlyAndEmptyInputNeverReads) {
  ReaderFixture f;
  f.t.Add(u"noinput", {u"HID\\N"}, 1, 2, 0, 0);
  TvnHIDData link(f.t, {});
  link.SetFastOnData(true);
  f.Bind(link);
  link.HidFindAndReadDevice(kMouse, u"");
  f.t.QueueRead(u"mouse", {{31, 0, true}, {}, {}});
  ASSERT_TRUE(WaitFor([&] { return f.t.OpenDevices() == 0; }));
  EXPECT_EQ(f.Count(), 0u);
  EXPECT_EQ(f.t.ReadsSoFar(), 1);
  EXPECT_EQ(link.RunningReaders(), 0);
}

TEST(HidLinkReader, PostedReportsAfterTheLinkIsGoneAreDropped) {
  ReaderFixture f;
  QueuedPoster poster;
  {
    TvnHIDData link(f.t, {}, &poster);
    f.Bind(link);
    link.HidFindAndReadDevice(kMouse, u"");
    f.t.QueueRead(u"mouse", {{0, 2, true}, {1, 2}, {1}});
    ASSERT_TRUE(WaitFor([&] { return poster.Pending() == 1; }));
  }  // destroyed with a report still queued for the main thread
  EXPECT_EQ(poster.RunAll(), 1);
  EXPECT_EQ(f.Count(), 0u);
  EXPECT_EQ(f.t.OpenDevices(), 0);
}

TEST(HidLinkReader, DestroyingTheLinkStopsManyRunningReaders) {
  RecordingHidTransport t;
  for (int i = 0; i < 8; ++i)
    t.Add(u"m" + std::u16string(1, char16_t(u'0' + i)), {u"HID"}, 1, 2, 0, 8);
  std::atomic<int> delivered{0};
  {
    TvnHIDData link(t, {});
    link.SetFastOnData(true);
    link.OnData = [&](const std::u16string&, const std::u16string&, std::uint8_t, const void*,
                      std::uint16_t) { ++delivered; };
    link.HidFindAndReadDevice(kMouse, u"");
    link.HidFindAndReadDevice(kMouse, u"");  // duplicates, owned as well
    EXPECT_EQ(link.RunningReaders(), 16);
    t.QueueRead(u"m3", {{0, 8, true}, Bytes(8, 1), {}});
    ASSERT_TRUE(WaitFor([&] { return delivered.load() == 1; }));
  }
  EXPECT_EQ(t.OpenDevices(), 0);
}

TEST(HidLinkReader, AThrowingHandlerDoesNotEndTheReader) {
  ReaderFixture f;
  TvnHIDData link(f.t, {});
  link.SetFastOnData(true);
  std::atomic<int> calls{0};
  link.OnData = [&](const std::u16string&, const std::u16string&, std::uint8_t, const void*,
                    std::uint16_t) {
    ++calls;
    throw std::runtime_error("handler");
  };
  link.HidFindAndReadDevice(kMouse, u"");
  f.t.QueueRead(u"mouse", {{0, 1, true}, {1}, {}});
  f.t.QueueRead(u"mouse", {{0, 1, true}, {1}, {}});
  ASSERT_TRUE(WaitFor([&] { return calls.load() == 2; }));
  EXPECT_EQ(link.RunningReaders(), 1);
}

}  // namespace
