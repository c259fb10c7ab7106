#include "driver_install.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using quarn::DriverStep;
using Strings = std::vector<std::u16string>;

// Records every call into the system, in order, as one line each.
struct Journal {
  std::vector<std::string> calls;
  bool Has(const std::string& prefix) const {
    for (const auto& c : calls)
      if (c.rfind(prefix, 0) == 0) return true;
    return false;
  }
  int IndexOf(const std::string& prefix) const {
    for (std::size_t i = 0; i < calls.size(); ++i)
      if (calls[i].rfind(prefix, 0) == 0) return static_cast<int>(i);
    return -1;
  }
};

std::string Narrow(const std::u16string& s) {
  return std::string(s.begin(), s.end());
}
std::string Join(const Strings& list) {
  std::string out;
  for (const auto& s : list) out += (out.empty() ? "" : ",") + Narrow(s);
  return out;
}

struct FakeSetup : quarn::DeviceSetup {
  Journal& j;
  std::vector<quarn::SetupDevice> devices;
  bool available = true;
  bool problem = false;
  bool filterOk = true;
  bool disableOk = true;
  bool enableOk = true;
  explicit FakeSetup(Journal& journal) : j(journal) {}
  bool Enumerate(std::vector<quarn::SetupDevice>& out) override {
    out = devices;
    return available;
  }
  bool HasProblem(const quarn::SetupDevice&) override { return problem; }
  bool SetFilterList(const quarn::SetupDevice& d, bool upper, const Strings& list) override {
    j.calls.push_back("filter " + Narrow(d.instanceId) + (upper ? " upper " : " lower ") +
                      Join(list));
    return filterOk;
  }
  bool SetEnabled(const quarn::SetupDevice&, bool enable) override {
    j.calls.push_back(enable ? "enable" : "disable");
    return enable ? enableOk : disableOk;
  }
};

struct FakeServices : quarn::ServiceManager {
  Journal& j;
  bool openOk = true;
  bool exists = false;
  std::uint32_t createError = 0;
  bool deleteOk = true;
  explicit FakeServices(Journal& journal) : j(journal) {}
  bool Open() override { return openOk; }
  bool Exists(const std::u16string&) override { return exists; }
  std::uint32_t Create(const std::u16string& n, const std::u16string& d,
                       const std::u16string& p) override {
    j.calls.push_back("create " + Narrow(n) + " " + Narrow(d) + " " + Narrow(p));
    return createError;
  }
  bool Change(const std::u16string& n, const std::u16string& d, const std::u16string& p) override {
    j.calls.push_back("change " + Narrow(n) + " " + Narrow(d) + " " + Narrow(p));
    return true;
  }
  bool Delete(const std::u16string& n) override {
    j.calls.push_back("delete " + Narrow(n));
    return deleteOk;
  }
};

struct FakeFiles : quarn::DriverFiles {
  Journal& j;
  bool copyOk = true;
  explicit FakeFiles(Journal& journal) : j(journal) {}
  std::u16string WindowsFolder() override { return u"C:\\W"; }
  bool ReplaceFile(const std::u16string& s, const std::u16string& t) override {
    j.calls.push_back("copy " + Narrow(s) + " " + Narrow(t));
    return copyOk;
  }
};

struct FakeRunner : quarn::InstallerRunner {
  Journal& j;
  bool startOk = true;
  explicit FakeRunner(Journal& journal) : j(journal) {}
  bool RunHiddenAndWait(const std::u16string& p, const std::u16string& a,
                        const std::u16string& f) override {
    j.calls.push_back("run " + Narrow(p) + " [" + Narrow(a) + "] in " + Narrow(f));
    return startOk;
  }
  void Pause(std::uint32_t ms) override { j.calls.push_back("pause " + std::to_string(ms)); }
};

struct FakeSystem : quarn::SystemInfo {
  bool process64 = true, hasWow = true, wow = false, hasNative = true;
  std::uint16_t arch = 9;
  TWindowsVersion version = wvWin7;
  bool Is64BitProcess() override { return process64; }
  bool HasWow64Query() override { return hasWow; }
  bool IsWow64() override { return wow; }
  bool HasNativeSystemInfo() override { return hasNative; }
  std::uint16_t NativeArchitecture() override { return arch; }
  TWindowsVersion Version() override { return version; }
};

struct Rig {
  Journal j;
  FakeSetup setup{j};
  FakeServices services{j};
  FakeFiles files{j};
  FakeRunner runner{j};
  FakeSystem system;
  quarn::DriverPackageConfig config;
  Strings usbList{u"HID\\VID_1234&PID_0001"};
  Rig() {
    config.InfFileName = u"tavoflt00001.inf";
    config.FileName = u"tavoflt00001.sys";
    config.ServiceName = u"tavoflt00001";
    config.DeviceName = u"tavoflt00001";
    setup.devices.push_back(
        {u"DEV1", {u"HID\\VID_1234&PID_0001\\0", u"HID\\VID_1234&PID_0001"}, {}, {}});
  }
  quarn::DriverInstallResult Run(bool install) {
    return quarn::HidInstallDriver(install, config, usbList,
                                   {setup, services, files, runner, system, u"P:\\app\\"});
  }
};

}  // namespace

TEST(IsWindows64, ProcessAndSystemTable) {
  struct Case {
    const char* why;
    bool process64, hasWow, wow, hasNative;
    std::uint16_t arch;
    bool expected;
  };
  const Case cases[] = {
      {"64-bit process on 64-bit Windows", true, true, false, true, 9, true},
      {"32-bit process under WOW64 on x64", false, true, true, true, 9, true},
      {"32-bit process under WOW64 on IA-64", false, true, true, true, 6, true},
      {"32-bit process under WOW64 on ARM64 is not taken", false, true, true, true, 12, false},
      {"32-bit process on 32-bit Windows", false, true, false, true, 0, false},
      {"no IsWow64Process", false, false, true, true, 9, false},
      {"no GetNativeSystemInfo", false, true, true, false, 9, false},
  };
  for (const auto& c : cases) {
    FakeSystem s;
    s.process64 = c.process64;
    s.hasWow = c.hasWow;
    s.wow = c.wow;
    s.hasNative = c.hasNative;
    s.arch = c.arch;
    EXPECT_EQ(quarn::IsWindows64(s), c.expected) << c.why;
  }
}

TEST(DriverInstall, InstallerFolderAndCommandLineTable) {
  quarn::DriverPackageConfig cfg;
  cfg.InfFileName = u"tavoflt00001.inf";
  struct Case {
    const char* why;
    bool install, win64;
    TWindowsVersion version;
    const char16_t* folder;
    const char16_t* parameters;
  };
  const Case cases[] = {
      {"32-bit Windows", true, false, wvWinXP, u"P:\\DRIVERX86\\",
       u"/i tavoflt00001.inf DRIVER_PACKAGE_SILENT DRIVER_PACKAGE_FORCE"},
      {"XP64 install has no switches", true, true, wvWinXP64, u"P:\\XP64\\",
       u"/i tavoflt00001.inf"},
      {"Windows 7 64-bit install", true, true, wvWin7, u"P:\\DRIVERX64\\",
       u"/i tavoflt00001.inf DRIVER_PACKAGE_SILENT DRIVER_PACKAGE_FORCE"},
      {"XP64 removal", false, true, wvWinXP64, u"P:\\XP64\\", u"/u tavoflt00001.inf"},
      {"removal otherwise deletes files", false, true, wvWin7, u"P:\\DRIVERX64\\",
       u"/u tavoflt00001.inf DRIVER_PACKAGE_SILENT DRIVER_PACKAGE_FORCE "
       u"DRIVER_PACKAGE_DELETE_FILES"},
  };
  for (const auto& c : cases) {
    const auto cmd = quarn::MakeInstallerCommand(u"P:\\", cfg, c.install, c.win64, c.version);
    EXPECT_EQ(cmd.folder, c.folder) << c.why;
    EXPECT_EQ(cmd.program, std::u16string(c.folder) + u"DIFxCmd.exe") << c.why;
    EXPECT_EQ(cmd.parameters, c.parameters) << c.why;
  }
}

TEST(DriverInstall, FilterListsKeepOtherDrivers) {
  EXPECT_EQ(quarn::WithFilter({u"a", u"b"}, u"svc"), (Strings{u"a", u"b", u"svc"}));
  EXPECT_EQ(quarn::WithFilter({u"a", u"SVC", u"b"}, u"svc"), (Strings{u"a", u"SVC", u"b"}));
  EXPECT_EQ(quarn::WithFilter({}, u"svc"), (Strings{u"svc"}));
  EXPECT_EQ(quarn::WithoutFilter({u"a", u"Svc", u"b", u"svc"}, u"svc"), (Strings{u"a", u"b"}));
  EXPECT_EQ(quarn::WithoutFilter({u"svc"}, u"svc"), Strings{});
  EXPECT_EQ(quarn::WithoutFilter({u"svcx", u"xsvc"}, u"svc"), (Strings{u"svcx", u"xsvc"}));
}

TEST(DriverInstall, ConfigValuesUsedAsNamesAreChecked) {
  struct Case {
    const char* why;
    const char16_t* inf;
    const char16_t* sys;
    const char16_t* service;
    const char16_t* refused;
  };
  const Case cases[] = {
      {"defaults pass", u"tavoflt00001.inf", u"tavoflt00001.sys", u"tavoflt00001", u""},
      {"any case of the extension", u"X.INF", u"x.SYS", u"x-y_z", u""},
      {"parent folder in the file name", u"a.inf", u"..\\evil.sys", u"s", u"FileName"},
      {"switches smuggled into the inf name", u"a.inf /u b.inf", u"a.sys", u"s", u"InfFileName"},
      {"quote in the inf name", u"a\".inf", u"a.sys", u"s", u"InfFileName"},
      {"drive in the file name", u"a.inf", u"C:x.sys", u"s", u"FileName"},
      {"slash in the file name", u"a.inf", u"d/x.sys", u"s", u"FileName"},
      {"wrong extension", u"a.inf", u"a.dll", u"s", u"FileName"},
      {"extension only", u"a.inf", u".sys", u"s", u"FileName"},
      {"empty service writes an empty list", u"a.inf", u"a.sys", u"", u"ServiceName"},
      {"separator in the service", u"a.inf", u"a.sys", u"a\\b", u"ServiceName"},
      {"control character", u"a.inf", u"a\n.sys", u"s", u"FileName"},
  };
  for (const auto& c : cases) {
    quarn::DriverPackageConfig cfg;
    cfg.InfFileName = c.inf;
    cfg.FileName = c.sys;
    cfg.ServiceName = c.service;
    EXPECT_EQ(quarn::RefusedDriverValue(cfg), c.refused) << c.why;
  }
  EXPECT_FALSE(quarn::IsPlainName(u".."));
  EXPECT_FALSE(quarn::IsPlainName(std::u16string(129, u'a')));
  EXPECT_TRUE(quarn::IsPlainName(std::u16string(128, u'a')));
}

TEST(DriverInstall, RefusedConfigTouchesNothing) {
  Rig r;
  r.config.FileName = u"..\\evil.sys";
  const auto result = r.Run(true);
  EXPECT_EQ(result.refused, u"FileName");
  EXPECT_TRUE(result.devices.empty());
  EXPECT_TRUE(r.j.calls.empty());
}

TEST(DriverInstall, ManualInstallSequence) {
  Rig r;
  r.setup.devices[0].lowerFilters = {u"otherflt"};
  const auto result = r.Run(true);
  ASSERT_EQ(result.devices.size(), 1u);
  EXPECT_EQ(result.devices[0].step, DriverStep::Installed);
  EXPECT_FALSE(result.devices[0].restartFailed);
  const std::vector<std::string> expected = {
      "copy P:\\app\\DRIVERX64\\tavoflt00001.sys C:\\W\\System32\\Drivers\\tavoflt00001.sys",
      "create tavoflt00001 tavoflt00001_Display C:\\W\\System32\\Drivers\\tavoflt00001.sys",
      "filter DEV1 lower otherflt,tavoflt00001",
      "disable",
      "pause 100",
      "enable",
  };
  EXPECT_EQ(r.j.calls, expected);
}

TEST(DriverInstall, ManualInstallVariants) {
  {
    Rig r;  // an existing service is reconfigured
    r.services.exists = true;
    r.Run(true);
    EXPECT_TRUE(r.j.Has("change tavoflt00001 tavoflt00001_DisplayChange "));
    EXPECT_FALSE(r.j.Has("create"));
  }
  {
    Rig r;  // a create racing another one still counts
    r.services.createError = 1073;
    EXPECT_EQ(r.Run(true).devices[0].step, DriverStep::Installed);
  }
  {
    Rig r;  // upper filter list, on 32-bit Windows from the x86 folder
    r.config.UpperFilter = 1;
    r.system.process64 = false;
    r.system.wow = false;
    r.setup.devices[0].upperFilters = {u"up1"};
    r.setup.devices[0].lowerFilters = {u"low1"};
    r.Run(true);
    EXPECT_TRUE(r.j.Has("copy P:\\app\\DRIVERX86\\tavoflt00001.sys "));
    EXPECT_TRUE(r.j.Has("filter DEV1 upper up1,tavoflt00001"));
  }
  {
    Rig r;  // enable is tried when disable failed, and the failure is reported
    r.setup.disableOk = false;
    const auto result = r.Run(true);
    EXPECT_TRUE(r.j.Has("enable"));
    EXPECT_TRUE(result.devices[0].restartFailed);
    EXPECT_EQ(result.devices[0].step, DriverStep::Installed);
  }
}

TEST(DriverInstall, FailedStepsStopBeforeTheDevice) {
  {
    Rig r;
    r.files.copyOk = false;
    EXPECT_EQ(r.Run(true).devices[0].step, DriverStep::CopyFailed);
    EXPECT_EQ(r.j.calls.size(), 1u) << "no service, filter or restart after a failed copy";
  }
  {
    Rig r;
    r.services.createError = 5;
    EXPECT_EQ(r.Run(true).devices[0].step, DriverStep::ServiceFailed);
    EXPECT_FALSE(r.j.Has("filter"));
    EXPECT_FALSE(r.j.Has("disable"));
  }
  {
    Rig r;
    r.services.openOk = false;
    EXPECT_EQ(r.Run(true).devices[0].step, DriverStep::ServiceFailed);
    EXPECT_FALSE(r.j.Has("filter"));
  }
  {
    Rig r;
    r.setup.filterOk = false;
    EXPECT_EQ(r.Run(true).devices[0].step, DriverStep::FilterFailed);
    EXPECT_FALSE(r.j.Has("disable"));
  }
}

TEST(DriverInstall, ManualRemovalOrderAndLeftovers) {
  {
    Rig r;
    r.services.exists = true;
    r.setup.devices[0].lowerFilters = {u"a", u"TAVOFLT00001", u"b"};
    const auto result = r.Run(false);
    EXPECT_EQ(result.devices[0].step, DriverStep::Removed);
    const std::vector<std::string> expected = {"filter DEV1 lower a,b", "disable", "pause 100",
                                               "enable", "delete tavoflt00001"};
    EXPECT_EQ(r.j.calls, expected) << "filter first, then restart, then the service; file stays";
  }
  {
    Rig r;  // a service already gone still gets the filter entry cleaned
    r.services.exists = false;
    r.setup.devices[0].lowerFilters = {u"tavoflt00001"};
    const auto result = r.Run(false);
    EXPECT_EQ(result.devices[0].step, DriverStep::Removed);
    EXPECT_FALSE(result.devices[0].serviceLeft);
    EXPECT_TRUE(r.j.Has("filter DEV1 lower "));
    EXPECT_FALSE(r.j.Has("delete"));
  }
  {
    Rig r;  // a filter write that fails keeps the service the list still names
    r.services.exists = true;
    r.setup.filterOk = false;
    r.setup.devices[0].lowerFilters = {u"tavoflt00001"};
    EXPECT_EQ(r.Run(false).devices[0].step, DriverStep::FilterFailed);
    EXPECT_FALSE(r.j.Has("delete"));
  }
  {
    Rig r;
    r.services.exists = true;
    r.services.deleteOk = false;
    r.setup.devices[0].lowerFilters = {u"tavoflt00001"};
    EXPECT_TRUE(r.Run(false).devices[0].serviceLeft);
  }
}

TEST(DriverInstall, WhenToActTable) {
  struct Case {
    const char* why;
    bool install;
    bool listed;
    bool problem;
    DriverStep expected;
  };
  const Case cases[] = {
      {"installed and healthy: nothing", true, true, false, DriverStep::None},
      {"installed with a problem: again", true, true, true, DriverStep::Installed},
      {"not installed, removal: nothing", false, false, false, DriverStep::None},
      {"not installed, install", true, false, false, DriverStep::Installed},
      {"installed, removal", false, true, false, DriverStep::Removed},
  };
  for (const auto& c : cases) {
    Rig r;
    r.setup.problem = c.problem;
    if (c.listed) r.setup.devices[0].lowerFilters = {u"tavoflt00001"};
    const auto result = r.Run(c.install);
    ASSERT_EQ(result.devices.size(), 1u) << c.why;
    EXPECT_EQ(result.devices[0].step, c.expected) << c.why;
    if (c.expected == DriverStep::None) {
      EXPECT_TRUE(r.j.calls.empty()) << c.why;
    }
  }
}

TEST(DriverInstall, InstallerWayChoice) {
  struct Case {
    const char* why;
    int whql, x32whql;
    bool process64, wow;
    TWindowsVersion version;
    bool install;
    const char* expectedCall;  // prefix
  };
  const Case cases[] = {
      {"WHQL on 32-bit Windows without X32WHQL: by hand", 1, 0, false, false, wvWinXP, true,
       "copy"},
      {"WHQL on 32-bit Windows with X32WHQL", 1, 1, false, false, wvWinXP, true,
       "run P:\\app\\DRIVERX86\\DIFxCmd.exe [/i tavoflt00001.inf DRIVER_PACKAGE_SILENT "
       "DRIVER_PACKAGE_FORCE] in P:\\app\\DRIVERX86\\"},
      {"XP64", 1, 0, true, false, wvWinXP64, true,
       "run P:\\app\\XP64\\DIFxCmd.exe [/i tavoflt00001.inf] in P:\\app\\XP64\\"},
      {"64-bit program on Windows 7 takes the 64-bit folder", 1, 0, true, false, wvWin7, true,
       "run P:\\app\\DRIVERX64\\DIFxCmd.exe [/i tavoflt00001.inf DRIVER_PACKAGE_SILENT "
       "DRIVER_PACKAGE_FORCE] in P:\\app\\DRIVERX64\\"},
      {"32-bit program under WOW64 too", 1, 0, false, true, wvWin7, true,
       "run P:\\app\\DRIVERX64\\"},
      {"removal", 1, 0, true, false, wvWin7, false,
       "run P:\\app\\DRIVERX64\\DIFxCmd.exe [/u tavoflt00001.inf DRIVER_PACKAGE_SILENT "
       "DRIVER_PACKAGE_FORCE DRIVER_PACKAGE_DELETE_FILES]"},
      {"WHQL 0: by hand", 0, 1, true, false, wvWin7, true, "copy"},
  };
  for (const auto& c : cases) {
    Rig r;
    r.config.WHQL = c.whql;
    r.config.X32WHQL = c.x32whql;
    r.system.process64 = c.process64;
    r.system.wow = c.wow;
    r.system.version = c.version;
    if (!c.install) r.setup.devices[0].lowerFilters = {u"tavoflt00001"};
    r.Run(c.install);
    ASSERT_FALSE(r.j.calls.empty()) << c.why;
    EXPECT_EQ(r.j.calls[0].rfind(c.expectedCall, 0), 0u) << c.why << ": " << r.j.calls[0];
  }
  Rig missing;
  missing.config.WHQL = 1;
  missing.runner.startOk = false;
  EXPECT_EQ(missing.Run(true).devices[0].step, DriverStep::InstallerMissing);
}

TEST(DriverInstall, OnlyListedDevicesAndAvailableSets) {
  Rig r;
  r.setup.devices.push_back({u"DEV2", {u"HID\\VID_1234&PID_0002"}, {}, {u"x"}});
  r.setup.devices.push_back({u"DEV3", {u"hid\\vid_1234&pid_0001"}, {}, {}});
  const auto result = r.Run(true);
  ASSERT_EQ(result.devices.size(), 2u);
  EXPECT_EQ(result.devices[0].instanceId, u"DEV1");
  EXPECT_EQ(result.devices[1].instanceId, u"DEV3") << "IDs compare without case";
  EXPECT_FALSE(r.j.Has("filter DEV2"));

  Rig prefix;
  prefix.usbList = {u"HID\\VID_1234"};
  EXPECT_TRUE(prefix.Run(true).devices.empty()) << "a prefix of an ID is not the ID";

  Rig gone;
  gone.setup.available = false;
  const auto none = gone.Run(true);
  EXPECT_TRUE(none.setUnavailable);
  EXPECT_TRUE(gone.j.calls.empty());
}
