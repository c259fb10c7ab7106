#include "vn_hid_data.h"

#include <algorithm>
#include <cstring>
#include <thread>

#include "hid_button_data.h"
#include "ini_file.h"

using quarn::HidCaps;
using quarn::HidDevice;
using quarn::HidInterfaceInfo;
using quarn::kErrorDeviceNotConnected;
using quarn::kErrorInvalidParameter;
using quarn::kErrorOperationAborted;

// One input-report reader over an interface opened for overlapped reading. It
// owns the opened device, its report buffer and its button state; its owner
// stops (stop flag plus cancelled read) and joins it.
class TvnHidDeviceReadThread {
 public:
  TvnHidDeviceReadThread(TvnHIDData* owner, std::u16string deviceId, std::u16string devicePath,
                         std::unique_ptr<HidDevice> device, const HidCaps& caps)
      : FHIDData(owner),
        FDeviceID(std::move(deviceId)),
        FDevicePath(std::move(devicePath)),
        FDevice(std::move(device)),
        FInputReportLength(caps.InputReportByteLength),
        FOutputReportLength(caps.OutputReportByteLength) {}

  ~TvnHidDeviceReadThread() {
    Stop();
    Join();
    // Only when the link is torn down from a handler on this very reader.
    if (thread_.joinable()) thread_.detach();
  }

  void Start() {
    thread_ = std::thread([this] { Execute(); });
  }

  // The flag stays set; a pending read is cancelled and any later one fails at once.
  void Stop() {
    stop_.store(true);
    std::lock_guard<std::mutex> lock(deviceMutex_);
    if (FDevice) FDevice->CancelRead();
  }

  void Join() {
    if (thread_.joinable() && thread_.get_id() != std::this_thread::get_id()) thread_.join();
  }
  bool IsCurrentThread() const { return thread_.get_id() == std::this_thread::get_id(); }
  bool Ended() const { return ended_.load(); }
  bool Stopped() const { return stop_.load(); }

 private:
  void Execute() {
    try {
      Loop();
    } catch (...) {
      // Nothing leaves the reader thread.
    }
    std::lock_guard<std::mutex> lock(deviceMutex_);
    FDevice.reset();  // closes the handle and frees the preparsed data
    ended_.store(true);
  }

  void Loop() {
    // A collection without input reports cannot deliver anything.
    if (FInputReportLength == 0) return;
    std::vector<std::uint8_t> report(FInputReportLength);
    const std::uint32_t usageLength = FDevice->MaxUsageListLength();
    while (!stop_.load()) {
      std::fill(report.begin(), report.end(), 0);
      quarn::HidReadResult r = FDevice->Read(report.data(), FInputReportLength);
      if (stop_.load() || !r.started) return;
      if (r.error == 0) {
        const std::uint32_t n = std::min<std::uint32_t>(r.bytesRead, FInputReportLength);
        if (n > 0) Deliver(report, n, usageLength);
        continue;
      }
      if (r.error == kErrorOperationAborted || r.error == kErrorDeviceNotConnected)
        RaiseNotConnected();
      // Any failed read ends the reader: retrying would only spin on the failure.
      return;
    }
  }

  void Deliver(const std::vector<std::uint8_t>& report, std::uint32_t n,
               std::uint32_t usageLength) {
    std::uint32_t buttonData = 0;
    if (usageLength != 0) {
      std::vector<std::uint16_t> usages;
      const std::uint32_t limit = std::min(usageLength, quarn::kMaxUsageListLength);
      if (FDevice->GetUsages(report.data(), FInputReportLength, limit, usages))
        buttonData = tracker_.Update(usages, usageLength);
    }
    auto copy = std::make_shared<std::vector<std::uint8_t>>(report.begin(), report.begin() + n);
    TvnHIDData* owner = FHIDData;
    std::u16string id = FDeviceID;
    std::u16string path = FDevicePath;
    owner->Deliver([owner, id, path, copy, buttonData] {
      const std::uint8_t reportId = (*copy)[0];
      const auto size = static_cast<std::uint16_t>(copy->size() - 1);
      if (owner->OnData) owner->OnData(id, path, reportId, copy->data() + 1, size);
      if (owner->OnParsedData) owner->OnParsedData(id, path, reportId, buttonData);
    });
  }

  void RaiseNotConnected() {
    TvnHIDData* owner = FHIDData;
    std::u16string id = FDeviceID;
    std::u16string path = FDevicePath;
    owner->Deliver([owner, id, path] {
      if (owner->OnDeviceNotConnected) owner->OnDeviceNotConnected(id, path);
    });
  }

  TvnHIDData* FHIDData;
  std::u16string FDeviceID;
  std::u16string FDevicePath;
  std::mutex deviceMutex_;
  std::unique_ptr<HidDevice> FDevice;
  std::uint32_t FInputReportLength;
  std::uint32_t FOutputReportLength;
  quarn::ButtonUsageTracker tracker_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> ended_{false};
  std::thread thread_;
};

TvnHIDData::TvnHIDData(quarn::HidTransport& transport, std::vector<std::u16string> hidDeviceList,
                       quarn::MainThreadPoster* poster)
    : transport_(transport),
      FHidDeviceList(std::move(hidDeviceList)),
      poster_(poster),
      alive_(std::make_shared<TvnHIDData*>(this)) {}

TvnHIDData::~TvnHIDData() {
  HidStopRead();
  // Work already posted finds the link gone and does nothing.
  alive_.reset();
}

bool TvnHIDData::Accepted(const HidInterfaceInfo& info, const SearchRule& rule) const {
  if (!rule.onlyHardwareId.empty()) {
    bool found = false;
    for (const auto& id : info.hardwareIds)
      found = found || quarn::EqualsIgnoreCase(id, rule.onlyHardwareId);
    if (!found) return false;
  }
  if (!rule.useDeviceList || FHidDeviceList.empty()) return true;
  for (const auto& wanted : FHidDeviceList)
    for (const auto& id : info.hardwareIds)
      if (quarn::EqualsIgnoreCase(wanted, id)) return true;
  return false;
}

bool TvnHIDData::Search(const SearchRule& rule, const Action& act) {
  std::vector<HidInterfaceInfo> interfaces;
  if (!transport_.EnumerateInterfaces(interfaces)) return false;
  for (const auto& info : interfaces) {
    if (!Accepted(info, rule)) continue;
    std::unique_ptr<HidDevice> device = transport_.Open(info.path, rule.overlapped);
    if (!device || !device->GetAttributes() || !device->LoadPreparsedData()) continue;
    HidCaps caps;
    if (!device->GetCaps(caps)) continue;
    if (caps.UsagePage != rule.usageAndPage.UsagePage || caps.Usage != rule.usageAndPage.Usage)
      continue;
    if (rule.lengthTest == LengthTest::Feature && caps.FeatureReportByteLength < rule.length)
      continue;
    if (rule.lengthTest == LengthTest::Output && caps.OutputReportByteLength < rule.length)
      continue;
    act(device, info, caps);
  }
  return true;
}

TvnHIDData::SearchRule TvnHIDData::FeatureRule(const USAGE_AND_PAGE& usageAndPage,
                                               std::uint32_t size) {
  SearchRule rule;
  rule.usageAndPage = usageAndPage;
  rule.lengthTest = LengthTest::Feature;
  rule.length = size;
  return rule;
}

std::uint32_t TvnHIDData::HidFindAndSetFeatureReport(THIDDataParam& ReportData) {
  const std::uint32_t size = ReportData.Data.DATASIZE;
  if (size == 0 || size > kHidReportBufferSize) return kErrorInvalidParameter;
  const SearchRule rule = FeatureRule(ReportData.UsageAndPage, size);
  std::uint32_t result = kErrorDeviceNotConnected;
  Search(rule, [&](std::unique_ptr<HidDevice>& device, const HidInterfaceInfo&, const HidCaps&) {
    ReportData.DeviceHandle = device->NativeHandle();
    result = device->SetFeature(&ReportData.Data.ReportID, size);
  });
  return result;
}

std::uint32_t TvnHIDData::HidFindAndGetFeatureReport(THIDDataParam& ReportData) {
  const std::uint32_t size = ReportData.Data.DATASIZE;
  if (size == 0 || size > kHidReportBufferSize) return kErrorInvalidParameter;
  const SearchRule rule = FeatureRule(ReportData.UsageAndPage, size);
  std::uint32_t result = kErrorDeviceNotConnected;
  std::vector<std::uint8_t> buffer(kHidReportBufferSize);
  Search(rule, [&](std::unique_ptr<HidDevice>& device, const HidInterfaceInfo&, const HidCaps&) {
    std::fill(buffer.begin(), buffer.end(), 0);
    buffer[0] = ReportData.Data.ReportID;
    result = device->GetFeature(buffer.data(), size);
    if (result == 0) std::memcpy(&ReportData.Data.ReportID, buffer.data(), size);
  });
  return result;
}

bool TvnHIDData::WriteOutput(const THIDDataParam& ReportData, bool byHardwareId) {
  const std::uint32_t dataSize = ReportData.Data.DATASIZE;
  // The plain write sends one byte more than DATASIZE; both stay inside the buffer.
  const std::uint32_t extra = byHardwareId ? 0 : 1;
  if (dataSize == 0 || dataSize > kHidReportBufferSize - extra) return false;
  const std::uint32_t toWrite = dataSize + extra;
  SearchRule rule;
  rule.usageAndPage = ReportData.UsageAndPage;
  rule.lengthTest = LengthTest::Output;
  rule.length = dataSize;
  if (byHardwareId) {
    rule.useDeviceList = false;
    if (ReportData.DeviceID != u"*") rule.onlyHardwareId = ReportData.DeviceID;
  }
  bool result = false;
  Search(rule, [&](std::unique_ptr<HidDevice>& device, const HidInterfaceInfo&, const HidCaps&) {
    std::uint32_t written = 0;
    if (device->Write(&ReportData.Data.ReportID, toWrite, written) == 0 && written == toWrite)
      result = true;
  });
  return result;
}

bool TvnHIDData::HidFindAndWriteDevice(const THIDDataParam& ReportData) {
  return WriteOutput(ReportData, false);
}

bool TvnHIDData::HidFindAndWriteDeviceBYHID(const THIDDataParam& ReportData) {
  return WriteOutput(ReportData, true);
}

bool TvnHIDData::IsDeviceExist(const THIDDataParam& ReportData) {
  SearchRule rule;
  rule.usageAndPage = ReportData.UsageAndPage;
  bool found = false;
  Search(rule, [&](std::unique_ptr<HidDevice>&, const HidInterfaceInfo&, const HidCaps&) {
    found = true;
  });
  return found;
}

std::vector<std::uint32_t> TvnHIDData::HidFindAndSetFeatureReports(
    USAGE_AND_PAGE UsageAndPage, const std::vector<std::vector<std::uint8_t>>& reports) {
  std::vector<std::uint32_t> results(reports.size(), kErrorDeviceNotConnected);
  for (const auto& report : reports)
    if (report.empty() || report.size() > kHidReportBufferSize) {
      std::fill(results.begin(), results.end(), kErrorInvalidParameter);
      return results;
    }
  if (reports.empty()) return results;
  struct Target {
    std::unique_ptr<HidDevice> device;
    std::uint16_t featureLength;
  };
  std::vector<Target> targets;
  SearchRule rule;
  rule.usageAndPage = UsageAndPage;
  Search(rule,
         [&](std::unique_ptr<HidDevice>& device, const HidInterfaceInfo&, const HidCaps& caps) {
           targets.push_back({std::move(device), caps.FeatureReportByteLength});
         });
  for (std::size_t r = 0; r < reports.size(); ++r) {
    const auto size = static_cast<std::uint32_t>(reports[r].size());
    for (auto& target : targets)
      if (target.featureLength >= size)
        results[r] = target.device->SetFeature(reports[r].data(), size);
  }
  return results;
}

void TvnHIDData::HidFindAndReadDevice(USAGE_AND_PAGE UsageAndPage, std::u16string_view) {
  ReapEndedReaders();
  SearchRule rule;
  rule.usageAndPage = UsageAndPage;
  rule.overlapped = true;
  std::vector<std::unique_ptr<TvnHidDeviceReadThread>> started;
  Search(rule, [&](std::unique_ptr<HidDevice>& device, const HidInterfaceInfo& info,
                   const HidCaps& caps) {
    std::u16string id = info.hardwareIds.empty() ? std::u16string() : info.hardwareIds.front();
    started.push_back(std::make_unique<TvnHidDeviceReadThread>(this, std::move(id), info.path,
                                                               std::move(device), caps));
  });
  std::lock_guard<std::mutex> lock(readersMutex_);
  for (auto& reader : started) {
    reader->Start();
    readers_.push_back(std::move(reader));
  }
}

void TvnHIDData::HidStopRead() {
  std::vector<std::unique_ptr<TvnHidDeviceReadThread>> stopping;
  {
    std::lock_guard<std::mutex> lock(readersMutex_);
    for (auto& reader : readers_) reader->Stop();
    // A reader whose own handler asks for the stop cannot join itself: it is
    // stopped now and joined later.
    for (auto it = readers_.begin(); it != readers_.end();) {
      if ((*it)->IsCurrentThread()) {
        ++it;
      } else {
        stopping.push_back(std::move(*it));
        it = readers_.erase(it);
      }
    }
  }
  stopping.clear();  // joins outside the lock
}

void TvnHIDData::ReapEndedReaders() {
  std::vector<std::unique_ptr<TvnHidDeviceReadThread>> ended;
  {
    std::lock_guard<std::mutex> lock(readersMutex_);
    for (auto it = readers_.begin(); it != readers_.end();) {
      if ((*it)->Ended() && !(*it)->IsCurrentThread()) {
        ended.push_back(std::move(*it));
        it = readers_.erase(it);
      } else {
        ++it;
      }
    }
  }
}

int TvnHIDData::RunningReaders() const {
  std::lock_guard<std::mutex> lock(readersMutex_);
  int n = 0;
  for (const auto& reader : readers_)
    if (!reader->Ended() && !reader->Stopped()) ++n;
  return n;
}

void TvnHIDData::Deliver(std::function<void()> work) {
  auto guarded = [work = std::move(work)] {
    try {
      work();
    } catch (...) {
      // A handler's exception never crosses a thread or a message loop.
    }
  };
  if (poster_ == nullptr || FastOnData()) {
    guarded();
    return;
  }
  std::weak_ptr<TvnHIDData*> alive = alive_;
  poster_->Post([alive, guarded] {
    if (alive.lock()) guarded();
  });
}
