// Helpers of the fuzz targets: a reader that turns the fuzzer's bytes into
// structured values (never failing: past the end every value is zero), the
// matching writer that seed builders use, sparse patches that let a small input
// reach any field of a large stored record, and the check that stops a run when
// an invariant is broken.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace quarn::fuzz {

// Stops the run: libFuzzer (or the replay program) reports it with the input.
#define QUARN_FUZZ_CHECK(cond)                                                            \
  do {                                                                                    \
    if (!(cond)) {                                                                        \
      std::fprintf(stderr, "invariant broken at %s:%d: %s\n", __FILE__, __LINE__, #cond); \
      std::abort();                                                                       \
    }                                                                                     \
  } while (0)

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size) : data_(data), left_(size) {}

  bool Empty() const { return left_ == 0; }
  std::size_t Left() const { return left_; }

  std::uint8_t U8() {
    if (left_ == 0) return 0;
    --left_;
    return *data_++;
  }
  std::uint16_t U16() {
    const std::uint16_t lo = U8();
    return static_cast<std::uint16_t>(lo | U8() << 8);
  }
  std::uint32_t U32() {
    const std::uint32_t lo = U16();
    return lo | static_cast<std::uint32_t>(U16()) << 16;
  }
  std::int32_t I32() { return static_cast<std::int32_t>(U32()); }
  bool Bool() { return (U8() & 1) != 0; }

  // A 16-bit length, then up to that many bytes (fewer when the input ends first).
  std::vector<std::uint8_t> Bytes() {
    const std::size_t n = std::min<std::size_t>(U16(), left_);
    std::vector<std::uint8_t> out(data_, data_ + n);
    data_ += n;
    left_ -= n;
    return out;
  }
  // An 8-bit count of UTF-16 units, then the units.
  std::u16string Text() {
    std::u16string s(U8(), u'\0');
    for (auto& c : s) c = static_cast<char16_t>(U16());
    return s;
  }
  std::vector<std::uint8_t> Rest() {
    std::vector<std::uint8_t> out(data_, data_ + left_);
    data_ += left_;
    left_ = 0;
    return out;
  }

  // Patches a record in place: an 8-bit count, then for each patch a 32-bit
  // offset (taken modulo the record's size) and a Bytes() run copied there,
  // cut at the record's end.
  void Patch(void* record, std::size_t size) {
    auto* bytes = static_cast<std::uint8_t*>(record);
    const int count = U8();
    for (int i = 0; i < count && !Empty(); ++i) {
      const std::size_t offset = size == 0 ? 0 : U32() % size;
      const auto run = Bytes();
      const std::size_t n = std::min(run.size(), size - offset);
      if (n > 0) std::memcpy(bytes + offset, run.data(), n);
    }
  }

 private:
  const std::uint8_t* data_;
  std::size_t left_;
};

// Writes what FuzzInput reads, for the seed builders.
class FuzzWriter {
 public:
  FuzzWriter& U8(std::uint8_t v) {
    out_.push_back(v);
    return *this;
  }
  FuzzWriter& U16(std::uint16_t v) { return U8(static_cast<std::uint8_t>(v)).U8(v >> 8); }
  FuzzWriter& U32(std::uint32_t v) {
    return U16(static_cast<std::uint16_t>(v)).U16(static_cast<std::uint16_t>(v >> 16));
  }
  FuzzWriter& I32(std::int32_t v) { return U32(static_cast<std::uint32_t>(v)); }
  FuzzWriter& Bytes(const std::vector<std::uint8_t>& b) {
    U16(static_cast<std::uint16_t>(b.size()));
    out_.insert(out_.end(), b.begin(), b.end());
    return *this;
  }
  FuzzWriter& Text(std::u16string_view s) {
    U8(static_cast<std::uint8_t>(s.size()));
    for (char16_t c : s.substr(0, 255)) U16(c);
    return *this;
  }
  FuzzWriter& Raw(const std::vector<std::uint8_t>& b) {
    out_.insert(out_.end(), b.begin(), b.end());
    return *this;
  }
  // One patch of a Patch() list (the count is written by the caller with U8).
  template <typename T>
  FuzzWriter& PatchValue(std::size_t offset, const T& value) {
    U32(static_cast<std::uint32_t>(offset));
    std::vector<std::uint8_t> b(sizeof(T));
    std::memcpy(b.data(), &value, sizeof(T));
    return Bytes(b);
  }
  FuzzWriter& PatchText(std::size_t offset, std::u16string_view text) {
    U32(static_cast<std::uint32_t>(offset));
    std::vector<std::uint8_t> b(text.size() * 2 + 2);
    std::memcpy(b.data(), text.data(), text.size() * 2);
    return Bytes(b);
  }
  const std::vector<std::uint8_t>& Data() const { return out_; }

 private:
  std::vector<std::uint8_t> out_;
};

// UTF-16 text as little-endian bytes, for seeds of byte readers.
inline std::vector<std::uint8_t> Utf16Bytes(std::u16string_view s) {
  std::vector<std::uint8_t> out;
  for (char16_t c : s) {
    out.push_back(static_cast<std::uint8_t>(c));
    out.push_back(static_cast<std::uint8_t>(c >> 8));
  }
  return out;
}

inline std::vector<std::uint8_t> AsciiBytes(std::string_view s) {
  return std::vector<std::uint8_t>(s.begin(), s.end());
}

}  // namespace quarn::fuzz

// Every target defines these two: the fuzzer's entry point, and the seed inputs
// its checked-in corpus starts from (written by the replay program's --write-seeds).
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);
std::vector<std::vector<std::uint8_t>> FuzzSeeds();
