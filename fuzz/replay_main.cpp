// The main of a fuzz target outside libFuzzer: runs the target once over every
// file of the folders and files named on the command line (the checked-in
// corpus), so that the ordinary test run replays each corpus under the
// sanitizers. "--write-seeds <folder>" writes the target's seed inputs instead.
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "fuzz_input.h"

namespace fs = std::filesystem;

namespace {

bool ReadFile(const fs::path& path, std::vector<std::uint8_t>& bytes) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

int WriteSeeds(const fs::path& folder) {
  std::error_code ec;
  fs::create_directories(folder, ec);
  const auto seeds = FuzzSeeds();
  for (std::size_t i = 0; i < seeds.size(); ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "seed-%02zu", i);
    std::ofstream out(folder / name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(seeds[i].data()),
              static_cast<std::streamsize>(seeds[i].size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", (folder / name).c_str());
      return 1;
    }
  }
  std::printf("%zu seeds written to %s\n", seeds.size(), folder.c_str());
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::string(argv[1]) == "--write-seeds") return WriteSeeds(argv[2]);
  if (argc < 2) {
    std::fprintf(stderr, "usage: %s <corpus folder or file>... | --write-seeds <folder>\n",
                 argv[0]);
    return 2;
  }
  std::vector<fs::path> files;
  for (int i = 1; i < argc; ++i) {
    const fs::path arg(argv[i]);
    if (fs::is_directory(arg)) {
      for (const auto& entry : fs::directory_iterator(arg))
        if (entry.is_regular_file()) files.push_back(entry.path());
    } else {
      files.push_back(arg);
    }
  }
  std::sort(files.begin(), files.end());
  if (files.empty()) {
    std::fprintf(stderr, "no corpus files found\n");
    return 1;
  }
  std::vector<std::uint8_t> bytes;
  for (const auto& f : files) {
    if (!ReadFile(f, bytes)) {
      std::fprintf(stderr, "cannot read %s\n", f.c_str());
      return 1;
    }
    std::fprintf(stderr, "%s (%zu bytes)\n", f.c_str(), bytes.size());
    LLVMFuzzerTestOneInput(bytes.data(), bytes.size());
  }
  std::printf("%zu inputs replayed\n", files.size());
  return 0;
}
