// A HID transport for tests: a set of fake interfaces with settable hardware
// IDs, capabilities and failures. It records every open, close and report it
// receives, decodes feature reports into their command fields, and feeds
// queued input reports to readers.
#pragma once

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "hid_transport.h"

namespace quarn::testing {

using Bytes = std::vector<std::uint8_t>;

inline std::string Hex(const Bytes& bytes) {
  std::string s;
  char b[4];
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    std::snprintf(b, sizeof b, i ? " %02X" : "%02X", bytes[i]);
    s += b;
  }
  return s;
}

// A feature report as the device reads it.
struct DecodedReport {
  std::uint8_t reportId = 0;
  std::uint8_t command = 0;
  std::uint16_t address = 0;  // command 2
  std::uint16_t length = 0;   // command 2
  Bytes payload;              // command 2: `length` bytes from byte 8
  bool tailZero = true;       // every byte after the payload is 0
};

inline DecodedReport Decode(const Bytes& r) {
  DecodedReport d;
  if (r.size() < 8) return d;
  d.reportId = r[0];
  d.command = r[1];
  std::size_t end = 8;
  if ((d.command & 0x7F) == 2) {
    d.address = static_cast<std::uint16_t>(r[2] | r[3] << 8);
    d.length = static_cast<std::uint16_t>(r[4] | r[5] << 8);
    end = std::min<std::size_t>(r.size(), 8u + d.length);
    d.payload.assign(r.begin() + 8, r.begin() + static_cast<std::ptrdiff_t>(end));
  } else {
    end = 4;
  }
  for (std::size_t i = end; i < r.size(); ++i) d.tailZero = d.tailZero && r[i] == 0;
  return d;
}

struct FakeInterface {
  std::u16string path;
  std::vector<std::u16string> hardwareIds;
  HidCaps caps;
  bool openFails = false;
  bool attributesFail = false;
  bool preparsedFails = false;
  bool capsFail = false;
  std::uint32_t featureError = 0;  // SetFeature/GetFeature result
  std::uint32_t writeError = 0;
  std::uint32_t shortWriteBy = 0;  // a write reports this many bytes fewer
  Bytes featureReply;              // GetFeature fills the report with this
  std::uint32_t maxUsages = 0;

  // What it received.
  std::vector<Bytes> features;
  std::vector<Bytes> writes;
  int getFeatures = 0;
};

struct QueuedRead {
  HidReadResult result;
  Bytes data;
  std::vector<std::uint16_t> usages;
};

class RecordingHidTransport : public HidTransport {
 public:
  // Interfaces in enumeration order.
  std::deque<FakeInterface> interfaces;  // references stay valid while adding
  bool setUnavailable = false;
  int enumerations = 0;
  int opens = 0;
  int closes = 0;
  int preparsedLoaded = 0;
  int preparsedFreed = 0;
  int reads = 0;
  std::vector<std::string> log;  // "<path> SetFeature <hex>" in arrival order

  FakeInterface& Add(std::u16string path, std::vector<std::u16string> ids, std::uint16_t page,
                     std::uint16_t usage, std::uint16_t feature, std::uint16_t input = 0,
                     std::uint16_t output = 0) {
    FakeInterface f;
    f.path = std::move(path);
    f.hardwareIds = std::move(ids);
    f.caps.UsagePage = page;
    f.caps.Usage = usage;
    f.caps.FeatureReportByteLength = feature;
    f.caps.InputReportByteLength = input;
    f.caps.OutputReportByteLength = output;
    interfaces.push_back(std::move(f));
    return interfaces.back();
  }

  FakeInterface* Find(const std::u16string& path) {
    for (auto& f : interfaces)
      if (f.path == path) return &f;
    return nullptr;
  }

  // Every feature report received, by any interface, in order.
  std::vector<Bytes> AllFeatures() const { return sent_; }

  // Input for readers of `path`.
  void QueueRead(const std::u16string& path, QueuedRead read) {
    std::lock_guard<std::mutex> lock(mutex_);
    input_[path].push_back(std::move(read));
    cv_.notify_all();
  }
  int OpenDevices() {
    std::lock_guard<std::mutex> lock(mutex_);
    return opens - closes;
  }
  int ReadsSoFar() {
    std::lock_guard<std::mutex> lock(mutex_);
    return reads;
  }

  bool EnumerateInterfaces(std::vector<HidInterfaceInfo>& out) override {
    ++enumerations;
    if (setUnavailable) return false;
    for (const auto& f : interfaces) out.push_back({f.path, f.hardwareIds});
    return true;
  }

  std::unique_ptr<HidDevice> Open(const std::u16string& path, bool overlapped) override {
    FakeInterface* f = Find(path);
    if (!f || f->openFails) return nullptr;
    std::lock_guard<std::mutex> lock(mutex_);
    ++opens;
    return std::make_unique<Device>(*this, *f, overlapped);
  }

 private:
  class Device : public HidDevice {
   public:
    Device(RecordingHidTransport& t, FakeInterface& f, bool overlapped)
        : t_(t), f_(f), overlapped_(overlapped) {}
    ~Device() override {
      std::lock_guard<std::mutex> lock(t_.mutex_);
      ++t_.closes;
      if (preparsed_) ++t_.preparsedFreed;
    }
    bool GetAttributes() override { return !f_.attributesFail; }
    bool LoadPreparsedData() override {
      if (f_.preparsedFails) return false;
      if (!preparsed_) {
        std::lock_guard<std::mutex> lock(t_.mutex_);
        ++t_.preparsedLoaded;
      }
      preparsed_ = true;
      return true;
    }
    bool GetCaps(HidCaps& caps) override {
      if (f_.capsFail || !preparsed_) return false;
      caps = f_.caps;
      return true;
    }
    std::uintptr_t NativeHandle() const override { return reinterpret_cast<std::uintptr_t>(this); }
    std::uint32_t SetFeature(const std::uint8_t* report, std::uint32_t size) override {
      Bytes b(report, report + size);
      f_.features.push_back(b);
      t_.sent_.push_back(b);
      t_.log.push_back(std::string(f_.path.begin(), f_.path.end()) + " SetFeature " + Hex(b));
      return f_.featureError;
    }
    std::uint32_t GetFeature(std::uint8_t* report, std::uint32_t size) override {
      ++f_.getFeatures;
      f_.features.push_back(Bytes(report, report + size));  // what was asked for
      if (f_.featureError) return f_.featureError;
      for (std::uint32_t i = 1; i < size && i - 1 < f_.featureReply.size(); ++i)
        report[i] = f_.featureReply[i - 1];
      return 0;
    }
    std::uint32_t Write(const std::uint8_t* data, std::uint32_t size,
                        std::uint32_t& written) override {
      f_.writes.push_back(Bytes(data, data + size));
      if (f_.writeError) return f_.writeError;
      written = size - std::min(size, f_.shortWriteBy);
      return 0;
    }
    HidReadResult Read(std::uint8_t* buffer, std::uint32_t size) override {
      std::unique_lock<std::mutex> lock(t_.mutex_);
      ++t_.reads;
      if (!overlapped_) return {kErrorInvalidHandle, 0, false};
      auto& queue = t_.input_[f_.path];
      t_.cv_.wait(lock, [&] { return cancelled_ || !queue.empty(); });
      if (cancelled_) return {kErrorOperationAborted, 0, true};
      QueuedRead next = std::move(queue.front());
      queue.pop_front();
      std::copy_n(next.data.begin(), std::min<std::size_t>(size, next.data.size()), buffer);
      usages_ = next.usages;
      return next.result;
    }
    void CancelRead() override {
      std::lock_guard<std::mutex> lock(t_.mutex_);
      cancelled_ = true;
      t_.cv_.notify_all();
    }
    std::uint32_t MaxUsageListLength() override { return f_.maxUsages; }
    bool GetUsages(const std::uint8_t*, std::uint32_t, std::uint32_t maxCount,
                   std::vector<std::uint16_t>& usages) override {
      std::lock_guard<std::mutex> lock(t_.mutex_);
      usages.assign(usages_.begin(),
                    usages_.begin() + std::min<std::size_t>(maxCount, usages_.size()));
      return true;
    }

   private:
    RecordingHidTransport& t_;
    FakeInterface& f_;
    bool overlapped_;
    bool preparsed_ = false;
    bool cancelled_ = false;
    std::vector<std::uint16_t> usages_;
  };

  std::mutex mutex_;
  std::condition_variable cv_;
  std::map<std::u16string, std::deque<QueuedRead>> input_;
  std::vector<Bytes> sent_;
};

// Runs posted work when the test says so, as a program's message loop would.
class QueuedPoster : public MainThreadPoster {
 public:
  void Post(std::function<void()> work) override {
    std::lock_guard<std::mutex> lock(mutex_);
    queue_.push_back(std::move(work));
  }
  int RunAll() {
    std::deque<std::function<void()>> work;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      work.swap(queue_);
    }
    for (auto& w : work) w();
    return static_cast<int>(work.size());
  }
  std::size_t Pending() {
    std::lock_guard<std::mutex> lock(mutex_);
    return queue_.size();
  }

 private:
  std::mutex mutex_;
  std::deque<std::function<void()>> queue_;
};

}  // namespace quarn::testing
