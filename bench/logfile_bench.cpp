// Writing and reading a full log of 32,767 QSOs (3.3 MB).
#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <unistd.h>

#include <string>

#include "benchlog.h"
#include "log/fileio.h"
#include "log/logcommands.h"
#include "log/logfile.h"

namespace {

LogData fullLog() {
  LogData log;
  for (int i = 0; i < kMaxQso; ++i) {
    QsoRecord r = BenchQso(i);
    r.Points = 1;
    r.Mlt = std::to_string(100 + i % 47);
    // Every eighth QSO carries a Japanese remark, the rest none.
    if (i % 8 == 0) r.Remarks = "移動運用　ＱＳＬ不要";
    log.append(r);
  }
  return log;
}

class NoWindow : public LogWindow {
 public:
  void LogDataSearch() override {}
  void clearGrid() override {}
  void scrollGridTo(int) override {}
  void setLogFileText(const std::string&) override {}
  void mnuOn() override {}
  void showMyData() override {}
  void showInput() override {}
};

class SilentUi : public Ui {
 public:
  Answer ask(std::string_view, Buttons, Icon, std::string_view) override { return Answer::Yes; }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

std::string benchDir() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/tamarack-bench-XXXXXX";
    return std::string(::mkdtemp(tmpl) ? tmpl : "/tmp");
  }();
  return dir;
}

// The records to bytes alone.
void BM_EncodeFullLog(benchmark::State& state) {
  const LogData log = fullLog();
  for (auto _ : state) benchmark::DoNotOptimize(logfile::encodeLog(log, 7, noProgress()));
  state.SetBytesProcessed(state.iterations() * kMaxQso * 101);
}
BENCHMARK(BM_EncodeFullLog)->Unit(benchmark::kMillisecond);

void BM_DecodeFullLog(benchmark::State& state) {
  const std::string bytes = logfile::encodeLog(fullLog(), 7, noProgress());
  LogData out;
  for (auto _ : state) {
    out.resize(kMaxQso);
    logfile::decodeInto(bytes, out, 1, noProgress());
    benchmark::DoNotOptimize(out[kMaxQso].QsoNo);
  }
  state.SetBytesProcessed(state.iterations() * kMaxQso * 101);
}
BENCHMARK(BM_DecodeFullLog)->Unit(benchmark::kMillisecond);

// DataSave as the Save command runs it: encode, write beside, flush to disk,
// rename over the old file.
void BM_DataSaveFullLog(benchmark::State& state) {
  LogDocument doc;
  doc.Log = fullLog();
  SilentUi ui;
  NoWindow window;
  LogFiles files(doc, ui, window, noProgress(), benchDir(), {[] { return std::int16_t{7}; }, {}});
  const std::string path = benchDir() + "/full.tmk";
  for (auto _ : state) {
    if (!files.DataSave(path)) state.SkipWithError("save failed");
  }
}
BENCHMARK(BM_DataSaveFullLog)->Unit(benchmark::kMillisecond);

// LogRead without the re-scoring: read the file, decode, replace the log.
void BM_LogReadFullLog(benchmark::State& state) {
  const std::string path = benchDir() + "/read.tmk";
  fileio::writeAtomic(path, logfile::encodeLog(fullLog(), 7, noProgress()));
  LogDocument doc;
  SilentUi ui;
  NoWindow window;
  LogFiles files(doc, ui, window, noProgress(), benchDir(), {[] { return std::int16_t{7}; }, {}});
  for (auto _ : state) {
    if (files.LogRead(path) != LogFiles::ReadResult::Read) state.SkipWithError("read failed");
    benchmark::DoNotOptimize(doc.Log.count());
  }
}
BENCHMARK(BM_LogReadFullLog)->Unit(benchmark::kMillisecond);

}  // namespace
