// The CP932 codec on a full log's worth of text (3.3 MB, one field in eight
// Japanese), and the check that a file's bytes are a log.
#include <benchmark/benchmark.h>

#include <string>

#include "log/cp932.h"
#include "log/logfile.h"

namespace {

const std::string& logText() {
  static const std::string text = [] {
    std::string t;
    for (int i = 0; t.size() < 3'300'000; ++i) {
      t += "JA" + std::to_string(i % 10) + "ABC" + std::to_string(i % 100) + " 599 13M 599 ";
      t += std::to_string(100 + i % 47) + "H 7    CW    ";
      t += i % 8 == 0 ? "移動運用　ＱＳＬ不要" : "                    ";
    }
    return t;
  }();
  return text;
}

void BM_Cp932Decode(benchmark::State& state) {
  const std::string bytes = cp932::encode(logText());
  for (auto _ : state) benchmark::DoNotOptimize(cp932::decode(bytes));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_Cp932Decode)->Unit(benchmark::kMillisecond);

void BM_Cp932Encode(benchmark::State& state) {
  const std::string& text = logText();
  for (auto _ : state) benchmark::DoNotOptimize(cp932::encode(text));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(text.size()));
}
BENCHMARK(BM_Cp932Encode)->Unit(benchmark::kMillisecond);

void BM_IsLogBytesFullLog(benchmark::State& state) {
  LogData log;
  for (int i = 0; i < kMaxQso; ++i) {
    QsoRecord r;
    r.CallSign = "JA" + std::to_string(i % 10) + "ABC";
    r.QsoTime = ole::fromDateTime(2024, 4, 29, 21, 0, 0) + i / 86400.0;
    if (i % 8 == 0) r.Remarks = "移動運用　ＱＳＬ不要";
    log.append(r);
  }
  const std::string bytes = logfile::encodeLog(log, 7, noProgress());
  for (auto _ : state) benchmark::DoNotOptimize(logfile::isLogBytes(bytes));
  state.SetBytesProcessed(state.iterations() * static_cast<std::int64_t>(bytes.size()));
}
BENCHMARK(BM_IsLogBytesFullLog)->Unit(benchmark::kMillisecond);

}  // namespace
