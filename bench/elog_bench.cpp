// Writing the electronic log of a full log of 32,767 QSOs.
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "benchlog.h"
#include "log/settings.h"
#include "contest/contestdef.h"
#include "log/progress.h"
#include "output/elog.h"

namespace {

LogData fullElogLog() {
  LogData log;
  for (int i = 0; i < kMaxQso; ++i) {
    QsoRecord r = BenchQso(i);
    r.Points = 1;
    r.Dupe = i % 17 == 0;
    if (i < 47) r.Mlt = std::to_string(100 + i % 47);
    log.append(r);
  }
  return log;
}

// The progress window as the program has it: every record reported.
class CountingProgress : public Progress {
 public:
  void step(int value) override { benchmark::DoNotOptimize(last_ = value); }
  void label(const char* text) override { benchmark::DoNotOptimize(text); }

 private:
  int last_ = 0;
};

void BM_MkJarlELog(benchmark::State& state) {
  const LogData log = fullElogLog();
  ContestDefinition def;
  def.MltSearch = 2;
  def.BandEnabled.fill(1);
  ScoreTable score;
  Settings s;
  s.JarlContest = "ALL JAコンテスト";
  s.JarlAddress = "東京都豊島区\r\n1-2-3";
  s.JarlOath = "宣誓します。";
  const std::string today = "2024年04月29日", sig = "山田太郎";
  const elog::ElogSource src{log, def, score, s, today, sig};
  char dir[] = "/tmp/tamarack_elogbench_XXXXXX";
  if (!mkdtemp(dir)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(dir) + "/bench.tmq";
  CountingProgress progress;
  for (auto _ : state) {
    const elog::ElogResult r = elog::MkJarlELog(path, src, progress);
    if (!r.ok) state.SkipWithError(r.error.c_str());
  }
  unlink(path.c_str());
  rmdir(dir);
}
BENCHMARK(BM_MkJarlELog)->Unit(benchmark::kMillisecond);

}  // namespace
