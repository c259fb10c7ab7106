// Test fixtures: PNG files of every colour type, bit depth and interlacing, written
// without a compressor (stored deflate blocks), so the decoder can be tried on kinds the
// GDI+ encoder never writes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quarn::testing {

struct PngSpec {
  int width = 1, height = 1;
  int colorType = 6;  // 0 grey, 2 RGB, 3 palette, 4 grey+alpha, 6 RGBA
  int bitDepth = 8;
  bool interlaced = false;
  std::vector<std::uint32_t> palette;  // 0xAARRGGBB; alpha below FF goes to tRNS
  // The samples of one pixel, each at most (1 << bitDepth) - 1, in the type's order.
  std::function<std::vector<std::uint16_t>(int x, int y)> samples;
};

inline std::uint32_t Crc32(const std::uint8_t* p, std::size_t n, std::uint32_t crc = 0) {
  crc = ~crc;
  for (std::size_t i = 0; i < n; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
  }
  return ~crc;
}

inline void PutBe32(std::vector<std::uint8_t>& b, std::uint32_t v) {
  for (int s = 24; s >= 0; s -= 8) b.push_back(std::uint8_t(v >> s));
}

inline void PutChunk(std::vector<std::uint8_t>& out, const char* type,
                     const std::vector<std::uint8_t>& data) {
  PutBe32(out, std::uint32_t(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBe32(out, Crc32(body.data(), body.size()));
}

// Filter-0 scanlines of the pixels (x0 + i*dx, y0 + j*dy) of one pass.
inline void AppendPass(const PngSpec& s, int x0, int y0, int dx, int dy,
                       std::vector<std::uint8_t>& raw) {
  int channels = s.colorType == 0 || s.colorType == 3 ? 1
                 : s.colorType == 4                   ? 2
                 : s.colorType == 2                   ? 3
                                                      : 4;
  for (int y = y0; y < s.height; y += dy) {
    if (x0 >= s.width) break;
    raw.push_back(0);
    std::uint32_t acc = 0;
    int bits = 0;
    for (int x = x0; x < s.width; x += dx) {
      auto v = s.samples(x, y);
      for (int c = 0; c < channels; ++c) {
        if (s.bitDepth == 16) {
          raw.push_back(std::uint8_t(v[c] >> 8));
          raw.push_back(std::uint8_t(v[c]));
        } else {
          acc = (acc << s.bitDepth) | v[c];
          bits += s.bitDepth;
          if (bits == 8) {
            raw.push_back(std::uint8_t(acc));
            acc = 0;
            bits = 0;
          }
        }
      }
    }
    if (bits) raw.push_back(std::uint8_t(acc << (8 - bits)));
  }
}

inline std::vector<std::uint8_t> BuildPng(const PngSpec& s) {
  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> ihdr;
  PutBe32(ihdr, std::uint32_t(s.width));
  PutBe32(ihdr, std::uint32_t(s.height));
  ihdr.insert(ihdr.end(), {std::uint8_t(s.bitDepth), std::uint8_t(s.colorType), 0, 0,
                           std::uint8_t(s.interlaced ? 1 : 0)});
  PutChunk(out, "IHDR", ihdr);
  if (!s.palette.empty()) {
    std::vector<std::uint8_t> plte, trns;
    bool anyAlpha = false;
    for (auto c : s.palette) {
      plte.insert(plte.end(), {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c)});
      trns.push_back(std::uint8_t(c >> 24));
      anyAlpha |= (c >> 24) != 0xFF;
    }
    PutChunk(out, "PLTE", plte);
    if (anyAlpha) PutChunk(out, "tRNS", trns);
  }
  std::vector<std::uint8_t> raw;
  if (s.interlaced) {
    const int passes[7][4] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4},
                              {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
    for (auto& p : passes) AppendPass(s, p[0], p[1], p[2], p[3], raw);
  } else {
    AppendPass(s, 0, 0, 1, 1, raw);
  }
  // zlib stream of stored blocks.
  std::vector<std::uint8_t> z = {0x78, 0x01};
  std::size_t pos = 0;
  do {
    std::size_t n = std::min<std::size_t>(65535, raw.size() - pos);
    bool last = pos + n == raw.size();
    z.push_back(last ? 1 : 0);
    z.insert(z.end(),
             {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(~n), std::uint8_t((~n) >> 8)});
    z.insert(z.end(), raw.begin() + pos, raw.begin() + pos + n);
    pos += n;
  } while (pos < raw.size());
  std::uint32_t a = 1, b = 0;
  for (auto v : raw) {
    a = (a + v) % 65521;
    b = (b + a) % 65521;
  }
  PutBe32(z, (b << 16) | a);
  PutChunk(out, "IDAT", z);
  PutChunk(out, "IEND", {});
  return out;
}

}  // namespace quarn::testing
