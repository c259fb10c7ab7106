#include "upgrade_after_restart.h"

#include "ini_file.h"
#include "upgrade_list.h"

namespace quarn {
namespace {

std::u16string_view Trim(std::u16string_view s) {
  while (!s.empty() && (s.front() == u' ' || s.front() == u'\t' || s.front() == 0xFEFF))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == u' ' || s.back() == u'\t' || s.back() == u'\r'))
    s.remove_suffix(1);
  return s;
}

bool IsSection(std::u16string_view line) {
  line = Trim(line);
  return !line.empty() && line.front() == u'[';
}

bool IsLogSection(std::u16string_view line) {
  line = Trim(line);
  if (line.empty() || line.front() != u'[') return false;
  const std::size_t close = line.find(u']');
  if (close == std::u16string_view::npos) return false;
  return EqualsIgnoreCase(Trim(line.substr(1, close - 1)), u"log");
}

// Keys and values may not break the file's lines or sections.
std::u16string OneLine(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out)
    if (c == u'\r' || c == u'\n') c = u' ';
  return out;
}

}  // namespace

UpgradeLog::UpgradeLog(const std::vector<std::uint8_t>& bytes) {
  const std::u16string text = DecodeIniText(bytes);
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(u'\n', start);
    if (end == std::u16string::npos) end = text.size();
    std::u16string line = text.substr(start, end - start);
    if (!line.empty() && line.back() == u'\r') line.pop_back();
    lines_.push_back(std::move(line));
    start = end + 1;
  }
}

void UpgradeLog::Set(std::u16string_view rawKey, std::u16string_view rawValue) {
  std::u16string key = OneLine(rawKey);
  for (auto& c : key)
    if (c == u'=') c = u'-';
  const std::u16string line = key + u"=" + OneLine(rawValue);
  std::size_t i = 0;
  while (i < lines_.size() && !IsLogSection(lines_[i])) ++i;
  if (i == lines_.size()) {
    lines_.push_back(u"[log]");
    lines_.push_back(line);
    return;
  }
  std::size_t insertAt = i + 1;
  for (std::size_t j = i + 1; j < lines_.size() && !IsSection(lines_[j]); ++j) {
    const std::u16string_view l = lines_[j];
    const std::size_t eq = l.find(u'=');
    if (eq != std::u16string_view::npos && EqualsIgnoreCase(Trim(l.substr(0, eq)), Trim(key))) {
      lines_[j] = line;
      return;
    }
    if (!Trim(l).empty()) insertAt = j + 1;
  }
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

std::vector<std::uint8_t> UpgradeLog::Bytes() const {
  std::vector<std::uint8_t> out = {0xFF, 0xFE};
  auto put = [&out](char16_t c) {
    out.push_back(static_cast<std::uint8_t>(c & 0xFF));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  };
  for (const auto& l : lines_) {
    for (char16_t c : l) put(c);
    put(u'\r');
    put(u'\n');
  }
  return out;
}

UpgradeAfterRestart::UpgradeAfterRestart(UpgradeFileSystem& files, HiddenProgramRunner& runner,
                                         std::function<std::u16string()> now)
    : files_(files), runner_(runner), now_(std::move(now)) {}

void UpgradeAfterRestart::Log(std::u16string_view keySuffix, std::u16string_view from,
                              std::u16string_view to, bool ok) {
  if (!logUsable_) return;
  std::vector<std::uint8_t> bytes;
  const StoreStatus status = files_.ReadWholeFile(logPath_, bytes);
  if (status != StoreStatus::Ok && status != StoreStatus::Missing) {
    logUsable_ = false;  // a log that cannot be read is never overwritten
    return;
  }
  if (status == StoreStatus::Missing) bytes.clear();
  UpgradeLog log(bytes);
  const std::u16string time = now_ ? now_() : std::u16string();
  log.Set(time + std::u16string(keySuffix), u"Rename<" + std::u16string(from) + u"> to <" +
                                                std::u16string(to) +
                                                (ok ? u"> OK." : u"> FAILED."));
  const auto out = log.Bytes();
  files_.WriteWholeFile(logPath_, out.data(), out.size());
}

UpgradeWorkResult UpgradeAfterRestart::Run(std::u16string_view folderIn) {
  UpgradeWorkResult result;
  const std::u16string folder = WithTrailingBackslash(folderIn);
  const std::u16string zip = folder + std::u16string(kUpgradeZipFile);
  const std::u16string ini = folder + std::u16string(kUpgradeIniFile);
  logPath_ = folder + std::u16string(kUpgradeLogFile);
  logUsable_ = true;
  if (folderIn.empty() || !files_.FileExists(zip)) return result;
  result.ran = true;

  // The old instruction file is replaced in the same step: it is never
  // deleted first, and a failed rename leaves both files as they were.
  result.renamed = files_.MoveReplacing(zip, ini);
  Log(u"_1", zip, ini, result.renamed);
  // Without the new instructions nothing runs: an old upgcfg.ini would repeat
  // an earlier update's moves and start its programs again.
  if (!result.renamed) return result;

  std::vector<std::uint8_t> bytes;
  if (files_.ReadWholeFile(ini, bytes) != StoreStatus::Ok) return result;
  const UpgradeList list = UpgradeList::Parse(bytes);

  int n = 0;
  for (const UpgradeEntry& e : list.fileList) {
    const std::u16string suffix = u"__" + [&] {
      std::u16string s;
      for (char c : std::to_string(++n)) s.push_back(static_cast<char16_t>(c));
      return s;
    }();
    if (!e.valid || e.value.empty()) {
      // An entry that names no pair: everything after it is left undone.
      Log(suffix, e.valid ? e.name : e.text, e.value, false);
      ++result.failed;
      result.stopped = true;
      return result;
    }
    const auto from = ResolveInsideFolder(folder, e.name);
    const auto to = ResolveInsideFolder(folder, e.value);
    const bool ok = from && to && files_.MoveReplacing(*from, *to);
    Log(suffix, e.name, e.value, ok);
    ok ? ++result.moved : ++result.failed;
  }

  for (const UpgradeEntry& e : list.launchList) {
    if (!e.valid) {
      result.stopped = true;
      return result;
    }
    if (e.value.empty()) continue;
    const auto file = ResolveInsideFolder(folder, e.value);
    if (!file || !files_.FileExists(*file)) continue;
    runner_.RunAndWait(*file, u"", folder);
    ++result.started;
  }
  return result;
}

}  // namespace quarn
