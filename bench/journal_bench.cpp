// Registering a QSO with the journal: the QSO appended to the log, the
// change found and written to the journal file (the flush to disk follows
// on the journal's thread, awaited outside the timing). Target: within 1 ms,
// up to a full log. BM_RecordChangeWithJournal: any change, found by
// comparing the whole log (the dialogs' edits).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "benchlog.h"
#include "log/journal.h"
#include "log/logfile.h"

namespace {

QsoRecord sample(int i) {
  QsoRecord r = BenchQso(i);
  r.Mlt = std::to_string(100 + i % 47);
  return r;
}

// The log holds state.range(0) QSOs; each iteration registers one more.
void BM_RegisterQsoWithJournal(benchmark::State& state) {
  const int before = static_cast<int>(state.range(0));
  char tmpl[] = "/tmp/tamarack-jbench-XXXXXX";
  if (!::mkdtemp(tmpl)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(tmpl) + "/bench.tmk.journal";
  LogData log;
  for (int i = 0; i < before; ++i) log.append(sample(i));
  const std::string base = logfile::encodeLog(log, 0, noProgress());
  Journal journal;
  journal.begin(path, base, log);
  int i = before;
  for (auto _ : state) {
    if (log.full()) {
      // Back to the starting size, outside the timing.
      state.PauseTiming();
      log.resize(before);
      journal.begin(path, base, log);
      i = before;
      state.ResumeTiming();
    }
    log.append(sample(i++));
    if (!journal.recordAppended(log)) state.SkipWithError("journal not written");
    // QSOs come seconds apart: the disk's flush is done before the next one.
    state.PauseTiming();
    journal.sync();
    state.ResumeTiming();
  }
  journal.remove();
  std::filesystem::remove_all(tmpl);
}
void BM_RecordChangeWithJournal(benchmark::State& state) {
  char tmpl[] = "/tmp/tamarack-jbench-XXXXXX";
  if (!::mkdtemp(tmpl)) {
    state.SkipWithError("no temporary folder");
    return;
  }
  const std::string path = std::string(tmpl) + "/bench.tmk.journal";
  LogData log;
  for (int i = 0; i < state.range(0); ++i) log.append(sample(i));
  Journal journal;
  journal.begin(path, logfile::encodeLog(log, 0, noProgress()), log);
  int i = 0;
  for (auto _ : state) {
    log[1 + i % log.count()].Remarks = "edit " + std::to_string(i);
    ++i;
    if (!journal.record(log)) state.SkipWithError("journal not written");
    state.PauseTiming();
    journal.sync();
    state.ResumeTiming();
  }
  journal.remove();
  std::filesystem::remove_all(tmpl);
}
BENCHMARK(BM_RecordChangeWithJournal)->Arg(kMaxQso)->Unit(benchmark::kMicrosecond);

BENCHMARK(BM_RegisterQsoWithJournal)->Arg(0)->Arg(2000)->Arg(kMaxQso - 2000)->Unit(benchmark::kMicrosecond);

}  // namespace
