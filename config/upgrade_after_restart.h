// The work done at the first start after an update: the instruction file the
// update left ("upgcfg.zip", INI text) becomes "upgcfg.ini", the files it
// lists are moved into place inside the program folder, the programs it lists
// are started one after the other, and every move is written to "upgLog.log".
// The file system, the program starter and the clock are seams.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "stores.h"

namespace quarn {

// The file operations of the after-restart work.
class UpgradeFileSystem {
 public:
  virtual ~UpgradeFileSystem() = default;
  virtual bool FileExists(std::u16string_view path) = 0;
  virtual StoreStatus ReadWholeFile(std::u16string_view path, std::vector<std::uint8_t>& data) = 0;
  // Replaces the file atomically.
  virtual bool WriteWholeFile(std::u16string_view path, const std::uint8_t* data,
                              std::size_t size) = 0;
  // Moves `from` to `to` in one step, replacing an existing `to`; when the
  // move fails both files are as they were.
  virtual bool MoveReplacing(std::u16string_view from, std::u16string_view to) = 0;
};

// Starts a program with no window shown and returns once its process has ended.
class HiddenProgramRunner {
 public:
  virtual ~HiddenProgramRunner() = default;
  virtual void RunAndWait(std::u16string_view file, std::u16string_view params,
                          std::u16string_view folder) = 0;
};

inline constexpr std::u16string_view kUpgradeZipFile = u"upgcfg.zip";
inline constexpr std::u16string_view kUpgradeIniFile = u"upgcfg.ini";
inline constexpr std::u16string_view kUpgradeLogFile = u"upgLog.log";

// The log, an INI file with one section "log": a value set under a key that is
// already there replaces it. Written as UTF-16 with a byte-order mark.
class UpgradeLog {
 public:
  // Starts from an existing log's bytes (empty for a new log).
  explicit UpgradeLog(const std::vector<std::uint8_t>& bytes);
  void Set(std::u16string_view key, std::u16string_view value);
  std::vector<std::uint8_t> Bytes() const;

 private:
  std::vector<std::u16string> lines_;
};

struct UpgradeWorkResult {
  bool ran = false;      // an instruction file was found
  bool renamed = false;  // it became upgcfg.ini
  int moved = 0;         // files moved into place
  int failed = 0;        // moves that failed or were refused
  bool stopped = false;  // a malformed entry ended the work
  int started = 0;       // programs started (and waited for)
};

class UpgradeAfterRestart {
 public:
  // `now` gives the date and time the log keys start with.
  UpgradeAfterRestart(UpgradeFileSystem& files, HiddenProgramRunner& runner,
                      std::function<std::u16string()> now);

  // Runs the work for the program folder `folder` (a full path). Without
  // "upgcfg.zip" in it nothing is read, written or started.
  UpgradeWorkResult Run(std::u16string_view folder);

 private:
  void Log(std::u16string_view key, std::u16string_view from, std::u16string_view to, bool ok);

  UpgradeFileSystem& files_;
  HiddenProgramRunner& runner_;
  std::function<std::u16string()> now_;
  std::u16string logPath_;
  bool logUsable_ = false;
};

}  // namespace quarn
