// Reading config.ini files of growing size: one section of N distinct keys,
// and N keys that all repeat one name in different letter case. Both grow
// linearly with N (the reported complexity should be O(N)).
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ini_file.h"

namespace {

std::vector<std::uint8_t> IniBytes(std::int64_t keys, bool sameName) {
  std::string text = "[IncludeHIDDeviceList]\r\n";
  for (std::int64_t i = 0; i < keys; ++i) {
    if (sameName)
      text += (i % 2 ? "ID1=" : "id1=");
    else
      text += "id" + std::to_string(i + 1) + "=";
    text += "HID\\VID_1234&PID_5678\r\n";
  }
  return {text.begin(), text.end()};
}

void ReadDistinctKeys(benchmark::State& state) {
  const auto bytes = IniBytes(state.range(0), false);
  for (auto _ : state) {
    quarn::IniFile ini = quarn::IniFile::Parse(bytes);
    benchmark::DoNotOptimize(ini.Find(u"includehiddevicelist", u"ID1"));
  }
  state.SetComplexityN(state.range(0));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}

void ReadRepeatedKey(benchmark::State& state) {
  const auto bytes = IniBytes(state.range(0), true);
  for (auto _ : state) {
    quarn::IniFile ini = quarn::IniFile::Parse(bytes);
    benchmark::DoNotOptimize(ini.Find(u"IncludeHIDDeviceList", u"id1"));
  }
  state.SetComplexityN(state.range(0));
}

BENCHMARK(ReadDistinctKeys)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();
BENCHMARK(ReadRepeatedKey)->RangeMultiplier(10)->Range(1000, 100000)->Complexity();

}  // namespace

BENCHMARK_MAIN();
