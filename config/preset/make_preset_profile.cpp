// Writes the preset profile file to the path given: a build step that runs on
// the build machine, whatever the target of the build.
#include <cstdio>
#include <fstream>
#include <string>

#include "preset_profile.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <output file>\n", argv[0]);
    return 2;
  }
  const std::string target = argv[1];
  const std::string temp = target + ".tmp";
  const auto bytes = quarn::PresetProfileBytes();
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    if (!out.flush()) {
      std::fprintf(stderr, "cannot write %s\n", temp.c_str());
      return 1;
    }
  }
  if (std::rename(temp.c_str(), target.c_str()) != 0) {
    std::fprintf(stderr, "cannot replace %s\n", target.c_str());
    std::remove(temp.c_str());
    return 1;
  }
  return 0;
}
