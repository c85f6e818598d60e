// The grid conversions and the time sort on a full log.
#include <benchmark/benchmark.h>

#include <random>

#include "log/grid.h"

namespace {
LogData fullLog(bool shuffled) {
  LogData log;
  std::mt19937 rng(7);
  const char* bands[] = {"1.8", "3.5", "7", "14", "21", "28", "50", "144", "430", "1200"};
  for (int i = 0; i < kMaxQso; ++i) {
    QsoRecord r;
    r.CallSign = "JA" + std::to_string(i % 10) + "A" + std::to_string(rng() % 5000);
    r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + (shuffled ? rng() % 86400 : i) / 86400.0;
    r.Band = bands[rng() % 10];
    r.Mode = "CW";
    r.SentRst = "599";
    r.SentNo = "13M";
    r.RcvdRst = "599";
    r.RcvdNo = std::to_string(rng() % 48 + 1) + "M";
    r.Mlt = r.RcvdNo.trimmed();
    r.Points = 1;
    r.Remarks = "備考あり";
    log.append(r);
  }
  return log;
}
}  // namespace

static void BM_FrmLogLoad(benchmark::State& st) {
  const LogData log = fullLog(false);
  GridRows grid;
  for (auto _ : st) FrmLogLoad(grid, log, 0);
  st.counters["rows"] = grid.rows() - 1;
}
BENCHMARK(BM_FrmLogLoad)->Unit(benchmark::kMillisecond);

static void BM_LogGridToMem(benchmark::State& st) {
  LogData log = fullLog(false);
  GridRows grid;
  FrmLogLoad(grid, log, 0);
  QsoRecord cur;
  for (auto _ : st) GridToLog(grid, log, cur, noProgress());
}
BENCHMARK(BM_LogGridToMem)->Unit(benchmark::kMillisecond);

static void BM_TimeSort(benchmark::State& st) {
  const LogData base = fullLog(true);
  GridRows grid;
  QsoRecord cur;
  for (auto _ : st) {
    st.PauseTiming();
    LogData log = base;
    FrmLogLoad(grid, log, 0);
    st.ResumeTiming();
    TimeSortGrid(grid, log, cur, noProgress());
  }
}
BENCHMARK(BM_TimeSort)->Unit(benchmark::kMillisecond);
