// Finding a key by HID usage and group marker in the two key tables.
#include "hid_key_lookup.h"

#include <gtest/gtest.h>

namespace {

TEST(FindKeyByHIDCode, FirstMatchOfUsageAndMarkerInE0ThenE1) {
  struct Case {
    const char* why;
    std::int32_t usage;
    std::int32_t extended;
    std::int32_t vk;
    std::int32_t rowExtended;
    std::u16string name;
  };
  const Case cases[] = {
      {"volume up, consumer page, in E0", 0xE9, 0xE1, 175, 225, u"VK_VOLUME_UP"},
      {"right arrow is found in E1", 0x4F, 0xE1, 39, 225, u"VK_RIGHT"},
      {"E0 takes precedence: usage 0xE2 with 225 is mute, not left Alt", 0xE2, 0xE1, 173, 225,
       u"VK_VOLUME_MUTE"},
      {"the same usage with 224 is left Alt", 0xE2, 0xE0, 164, 224, u"VK_LMENU"},
      {"mail key, two-byte usage", 394, 0xE1, 180, 225, u"VK_LAUNCH_MAIL"},
      {"keypad enter in E1", 88, 0xE1, 13, 225, u"VK_RETURN"},
      {"an ordinary key with the monitor's marker finds nothing", 4, 0xE1, 0, 224, u""},
      {"letter A with the marker 224", 4, 0xE0, 65, 224, u"VK_A"},
      {"an unknown usage", 0x1234, 0xE1, 0, 224, u""},
      {"a marker that no row has", 0xE9, 1, 0, 224, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    TKeyboardInfoTable row{u"stale", 99, 99, 99, 99, u"stale"};
    FindKeyByHIDCode(c.usage, c.extended, row);
    EXPECT_EQ(row.VKCode, c.vk);
    EXPECT_EQ(row.Extended, c.rowExtended);
    EXPECT_EQ(row.VKName, c.name);
    if (c.vk == 0) {
      EXPECT_EQ(row.HIDCode, 0) << "the empty row";
      EXPECT_EQ(row.ScanCode, 0);
      EXPECT_TRUE(row.KeyDescription.empty());
    } else {
      EXPECT_EQ(row.HIDCode, c.usage);
    }
  }
}

}  // namespace
