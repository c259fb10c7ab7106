// Writes the language file from its readable sources:
//   vnlocal_build <source folder> <output file>
// The file is written beside the output and then renamed over it, and read back
// with the same reader the programs use before it replaces the output.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>

#include "lang_sources.h"
#include "language_file.h"

namespace fs = std::filesystem;

namespace {

std::optional<std::string> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return std::nullopt;
  return bytes;
}

bool SameContent(const quarn::LanguageFileContent& a, const quarn::LanguageFileContent& b) {
  if (a.originals != b.originals || a.languages.size() != b.languages.size()) return false;
  for (std::size_t i = 0; i < a.languages.size(); ++i)
    if (a.languages[i].id != b.languages[i].id || a.languages[i].lines != b.languages[i].lines)
      return false;
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::cerr << "usage: vnlocal_build <source folder> <output file>\n";
    return 2;
  }
  fs::path folder = argv[1];
  fs::path output = argv[2];

  std::vector<std::string> errors;
  auto content = quarn::langtool::BuildLanguageFile(
      [&folder](const std::string& name) { return ReadFile(folder / name); }, errors);
  if (!content) {
    for (const auto& e : errors) std::cerr << (folder / e).string() << "\n";
    return 1;
  }
  auto bytes = quarn::WriteLanguageFile(*content);
  if (!bytes) {
    std::cerr << "vnlocal_build: the language file would be too large\n";
    return 1;
  }
  auto check = quarn::ReadLanguageFile(bytes->data(), bytes->size());
  if (!check || !SameContent(*check, *content)) {
    std::cerr << "vnlocal_build: the written file does not read back as built\n";
    return 1;
  }

  std::error_code ec;
  if (output.has_parent_path()) fs::create_directories(output.parent_path(), ec);
  fs::path temp = output;
  temp += ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes->data()),
              static_cast<std::streamsize>(bytes->size()));
    out.flush();
    if (!out) {
      std::cerr << "vnlocal_build: cannot write " << temp.string() << "\n";
      fs::remove(temp, ec);
      return 1;
    }
  }
  fs::rename(temp, output, ec);
  if (ec) {
    std::cerr << "vnlocal_build: cannot replace " << output.string() << ": " << ec.message()
              << "\n";
    fs::remove(temp, ec);
    return 1;
  }
  std::cout << "vn.local: " << content->originals.size() << " originals, "
            << content->languages.size() << " languages, " << bytes->size() << " bytes\n";
  return 0;
}
