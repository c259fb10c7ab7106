// The profile stream over in-memory stores: stored bytes of any length and any
// store answer, then a sequence of reads, writes, resizes, loads and saves. The
// block and its size agree at every step, reads never go past the block, a
// failed load leaves the block as it was and says why, and what is saved loads
// back byte for byte.
#include <cstring>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "memory_stores.h"
#include "vn_profile.h"

namespace {

using quarn::StoreStatus;
using quarn::fuzz::FuzzInput;
using quarn::testing::Fold;

constexpr std::u16string_view kKey = u"software\\QUARNMouse";
constexpr std::u16string_view kFolder = u"C:\\Data";
constexpr std::u16string_view kName = u"zykProfile1.pfd";

enum Op : std::uint8_t {
  kSetSize,
  kWrite,
  kRead,
  kLoadRegistry,
  kSaveRegistry,
  kLoadFile,
  kLoadFileAt,
  kSaveFile,
  kSaveFileAt,
  kPreSave,
  kSetFilePath,
  kRestore,
  kOpCount
};

void CheckSize(const TvnProfile& p) {
  QUARN_FUZZ_CHECK(p.Size() == static_cast<std::int64_t>(p.Block().size()));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzInput in(data, size);
  quarn::testing::MemoryRegistryStore registry;
  quarn::testing::MemoryFileStore files;
  files.AddFolder(u"C:");
  files.AddFolder(kFolder);
  const std::u16string file = std::u16string(kFolder) + u"\\" + std::u16string(kName);

  const std::uint8_t setup = in.U8();
  auto regBytes = in.Bytes();
  switch (setup & 3) {
    case 0:
      registry.Put(quarn::kHKeyCurrentUser, kKey, kName, std::move(regBytes));
      break;
    case 1:
      registry.Put(quarn::kHKeyCurrentUser, kKey, kName, std::move(regBytes), false);
      break;
    case 2:
      registry.unavailable.insert(Fold(kKey));
      break;
    default:
      break;  // missing
  }
  auto fileBytes = in.Bytes();
  switch ((setup >> 2) & 3) {
    case 0:
      files.files[Fold(file)] = std::move(fileBytes);
      break;
    case 1:
      files.unreadable.insert(Fold(file));
      break;
    default:
      break;  // missing
  }

  TvnProfile p(registry, files);
  p.SetRootKey((setup & 0x10) ? quarn::kHKeyLocalMachine : quarn::kHKeyCurrentUser);
  p.SetKeyPath(kKey);
  p.SetFileName(kName);
  p.SetFilePath(kFolder);
  p.OnRestoreToDefault = [](ProfileBlock& b) { std::fill(b.begin(), b.end(), 0xA5); };
  p.OnBeforeSaveToFile = [&setup](ProfileBlock&, bool& go) { go = (setup & 0x20) == 0; };

  while (!in.Empty()) {
    const ProfileBlock before = p.Block();
    const std::uint8_t op = in.U8() % kOpCount;
    switch (op) {
      case kSetSize: {
        const std::int64_t value = static_cast<std::int64_t>(in.I32()) % (1 << 20);
        p.SetSize(value);
        if (value >= 0) QUARN_FUZZ_CHECK(p.Size() == value);
        break;
      }
      case kWrite: {
        const auto bytes = in.Bytes();
        const std::int32_t count = in.Bool() ? static_cast<std::int32_t>(bytes.size())
                                             : -static_cast<std::int32_t>(in.U8());
        const std::int32_t written = p.Write(bytes.data(), count);
        if (count > 0) {
          QUARN_FUZZ_CHECK(written == count);
          QUARN_FUZZ_CHECK(p.Block().size() == std::max(before.size(), bytes.size()));
          QUARN_FUZZ_CHECK(std::memcmp(p.Block().data(), bytes.data(), bytes.size()) == 0);
        } else {
          QUARN_FUZZ_CHECK(written == 0 && p.Block() == before);
        }
        break;
      }
      case kRead: {
        const std::int32_t count = static_cast<std::int32_t>(in.U16()) - 16;
        std::vector<std::uint8_t> buffer(count > 0 ? count : 1, 0x5A);
        const std::int32_t got = p.Read(buffer.data(), count);
        const std::size_t expect = count > 0 ? std::min<std::size_t>(count, before.size()) : 0;
        QUARN_FUZZ_CHECK(got == static_cast<std::int32_t>(expect));
        QUARN_FUZZ_CHECK(std::equal(buffer.begin(), buffer.begin() + got, before.begin()));
        QUARN_FUZZ_CHECK(std::all_of(buffer.begin() + got, buffer.end(),
                                     [](std::uint8_t b) { return b == 0x5A; }));
        break;
      }
      case kLoadRegistry: {
        const bool ok = p.LoadStreamFromRegistry();
        QUARN_FUZZ_CHECK(ok == (p.LastLoadStatus() == StoreStatus::Ok));
        if (ok) {
          const auto* stored = registry.Get(p.RootKey(), kKey, p.FileName());
          QUARN_FUZZ_CHECK(stored != nullptr && stored->bytes == p.Block());
        } else {
          QUARN_FUZZ_CHECK(p.Block() == before);
        }
        break;
      }
      case kSaveRegistry:
        if (p.SaveStreamToRegistry()) {
          const auto* stored = registry.Get(p.RootKey(), kKey, p.FileName());
          QUARN_FUZZ_CHECK(stored != nullptr && stored->bytes == p.Block());
        }
        break;
      case kLoadFile:
      case kLoadFileAt: {
        const bool at = op == kLoadFileAt;
        const bool ok = at ? p.LoadStreamFromFile(file) : p.LoadStreamFromFile();
        QUARN_FUZZ_CHECK(ok == (p.LastLoadStatus() == StoreStatus::Ok));
        if (!ok) QUARN_FUZZ_CHECK(p.Block() == before);
        if (files.unreadable.count(Fold(file)) && (at || p.FilePath() + p.FileName() == file))
          QUARN_FUZZ_CHECK(!ok);
        break;
      }
      case kSaveFile:
      case kSaveFileAt: {
        const bool ok = op == kSaveFileAt ? p.SaveStreamToFile(file) : p.SaveStreamToFile();
        if (ok) {
          const auto* saved = files.Get(files.writes.back());
          QUARN_FUZZ_CHECK(saved != nullptr && *saved == p.Block());
          TvnProfile reader(registry, files);
          QUARN_FUZZ_CHECK(reader.LoadStreamFromFile(files.writes.back()));
          QUARN_FUZZ_CHECK(reader.Block() == p.Block());
        }
        break;
      }
      case kPreSave: {
        const std::u16string path = in.Text();
        const std::u16string name = p.FileName();
        if (!p.PreSaveStreamToFile(path)) QUARN_FUZZ_CHECK(p.FileName() == name);
        break;
      }
      case kSetFilePath: {
        const std::u16string folder = in.Bool() ? std::u16string(kFolder) : in.Text();
        p.SetFilePath(folder);
        QUARN_FUZZ_CHECK(p.FilePath().empty() || p.FilePath().back() == u'\\');
        break;
      }
      case kRestore:
        p.RestoreToDefault();
        QUARN_FUZZ_CHECK(p.Block().size() == before.size());
        break;
    }
    CheckSize(p);
  }
  return 0;
}

std::vector<std::vector<std::uint8_t>> FuzzSeeds() {
  using quarn::fuzz::FuzzWriter;
  auto bytes = [](std::size_t n, std::uint8_t seed) {
    std::vector<std::uint8_t> b(n);
    for (std::size_t i = 0; i < n; ++i) b[i] = static_cast<std::uint8_t>(i * 7 + seed);
    return b;
  };
  std::vector<std::vector<std::uint8_t>> seeds;
  // Setup byte: registry (ok, wrong type, key unavailable, missing), file (ok, unreadable,
  // missing).
  for (std::uint8_t setup : {0x00, 0x05, 0x0A, 0x03, 0x18, 0x20, 0x40}) {
    FuzzWriter w;
    w.U8(setup).Bytes(bytes(40, 1)).Bytes(bytes(24, 9));
    w.U8(kLoadRegistry).U8(kRead).U16(40).U8(kLoadFile).U8(kRead).U16(100);
    w.U8(kWrite).Bytes(bytes(8, 3)).U8(1).U8(kSaveFile).U8(kSaveRegistry);
    w.U8(kSetSize).I32(4).U8(kRead).U16(30).U8(kLoadFileAt).U8(kRestore);
    w.U8(kSetSize).I32(-1).U8(kWrite).Bytes({}).U8(0).U8(2);
    w.U8(kPreSave).Text(u"C:\\Data\\other.pfd").U8(kSaveFileAt);
    w.U8(kSetFilePath).U8(0).Text(u"C:\\Missing").U8(kLoadFile);
    seeds.push_back(w.Data());
  }
  return seeds;
}
