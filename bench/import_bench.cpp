// Importing 30,000 QSOs from a zLog, a Cabrillo and a CSV file, without the
// search (target: 100 ms each).
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "log/cabrillo.h"
#include "log/cp932.h"
#include "log/csv.h"
#include "log/zlog.h"

namespace {

constexpr int kQsos = 30000;

std::string call(int i) {
  char b[16];
  std::snprintf(b, sizeof b, "J%c%d%c%c%c", 'A' + i % 26, i % 10, 'A' + i / 10 % 26,
                'A' + i / 260 % 26, 'A' + i / 6760 % 26);
  return b;
}

const std::string& zlogBytes() {
  static const std::string f = [] {
    std::string out(zlog::kRecordSize * (kQsos + 1), '\0');
    for (int i = 0; i < kQsos; ++i) {
      char* r = out.data() + zlog::kRecordSize * static_cast<std::size_t>(i + 1);
      const double t = 46137.875 + i / 1440.0;
      std::memcpy(r, &t, 8);
      auto put = [&](std::size_t at, const std::string& s) {
        r[at] = static_cast<char>(s.size());
        std::memcpy(r + at + 1, s.data(), s.size());
      };
      put(zlog::kOffCallSign, call(i));
      put(zlog::kOffSentNo, "13M");
      put(zlog::kOffRcvdNo, std::to_string(10 + i % 40) + "H");
      const std::int16_t rst = 599;
      std::memcpy(r + zlog::kOffSentRst, &rst, 2);
      std::memcpy(r + zlog::kOffRcvdRst, &rst, 2);
      r[zlog::kOffMode] = static_cast<char>(i % 2);
      r[zlog::kOffBand] = static_cast<char>(i % 12);
    }
    return out;
  }();
  return f;
}

const std::string& cabrilloBytes() {
  static const std::string f = [] {
    std::string out = "START-OF-LOG: 3.0\r\nCALLSIGN: JA1ZLO\r\n";
    for (int i = 0; i < kQsos; ++i) {
      char line[128];
      std::snprintf(line, sizeof line,
                    "QSO: %5d CW 2026-04-%02d %02d%02d %-13s 599 %-6s %-13s 599 %-6s\r\n",
                    7000 + i % 100, 25 + i / 1440 % 2, i / 60 % 24, i % 60, "JA1ZLO", "13M",
                    call(i).c_str(), (std::to_string(10 + i % 40) + "H").c_str());
      out += line;
    }
    return out + "END-OF-LOG:\r\n";
  }();
  return f;
}

CabColumns standard() {
  CabColumns c;
  c.CabSrstPos = 45;
  c.CabSRptPos = 49;
  c.CabHCallPos = 56;
  c.CabRrstPos = 70;
  c.CabRRptPos = 74;
  c.CabRptLen = 6;
  c.CabCallLen = 13;
  return c;
}

const std::string& csvBytes() {
  static const std::string f = [] {
    LogData log;
    ZlogConvert(zlogBytes(), log, noProgress());
    for (int i = 1; i <= log.count(); ++i) log[i].Remarks = "備考, \"quoted\"";
    return cp932::encode(CsvFormat(log, noProgress()));
  }();
  return f;
}

void BM_ZlogImport(benchmark::State& state) {
  const std::string& bytes = zlogBytes();
  for (auto _ : state) {
    LogData log;
    const ImportResult r = ZlogConvert(bytes, log, noProgress());
    if (r.appended != kQsos) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(log);
  }
}
BENCHMARK(BM_ZlogImport)->Unit(benchmark::kMillisecond);

void BM_CabrilloImport(benchmark::State& state) {
  const std::string& bytes = cabrilloBytes();
  const CabColumns c = standard();
  for (auto _ : state) {
    LogData log;
    const ImportResult r = CabConvert(bytes, c, log, noProgress());
    if (r.appended != kQsos) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(log);
  }
}
BENCHMARK(BM_CabrilloImport)->Unit(benchmark::kMillisecond);

void BM_CsvImport(benchmark::State& state) {
  const std::string& bytes = csvBytes();
  for (auto _ : state) {
    LogData log;
    const ImportResult r = CsvParse(bytes, log, noProgress());
    if (r.appended != kQsos) state.SkipWithError("wrong count");
    benchmark::DoNotOptimize(log);
  }
}
BENCHMARK(BM_CsvImport)->Unit(benchmark::kMillisecond);

void BM_CsvExport(benchmark::State& state) {
  LogData log;
  CsvParse(csvBytes(), log, noProgress());
  for (auto _ : state) {
    std::string out = cp932::encode(CsvFormat(log, noProgress()));
    benchmark::DoNotOptimize(out);
  }
}
BENCHMARK(BM_CsvExport)->Unit(benchmark::kMillisecond);

}  // namespace
