// Appending a full log of 32,767 QSOs to a HAMLOG database, each record
// committed as it is appended (target: 1 s), and
// reading them all back into an empty log (target: 0.5 s), through the
// libraries loaded by name as the program loads them.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <string>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "hamlog/thlog.h"
#include "log/grid.h"
#include "log/settings.h"

namespace fs = std::filesystem;

namespace {

const LogData& fullLog() {
  static const LogData log = [] {
    LogData l;
    const char* bands[] = {"3.5", "7", "14", "21", "28", "50", "144", "430"};
    for (int i = 0; i < kMaxQso; ++i) {
      QsoRecord q;
      char call[16];
      std::snprintf(call, sizeof call, "J%c%d%c%c%c", 'A' + i % 26, i % 10, 'A' + i / 10 % 26,
                    'A' + i / 260 % 26, 'A' + i / 6760 % 26);
      q.CallSign = call;
      q.QsoTime = ole::fromDateTime(2024, 5, 1, 0, 0, 0) + i / 1440.0;
      q.Band = bands[i % 8];
      q.Mode = i % 2 ? "CW" : "SSB";
      q.SentRst = "599";
      q.RcvdRst = "599";
      q.SentNo = "13M";
      q.RcvdNo = std::to_string(10 + i % 40) + "H";
      l.append(q);
    }
    return l;
  }();
  return log;
}

std::string scratch(const char* name) {
  const fs::path p = fs::temp_directory_path() / ("hamlog_bench_" + std::to_string(::getpid()));
  fs::create_directories(p);
  return (p / name).string();
}

void removeDb(const std::string& db) {
  for (const char* s : {"", "-wal", "-shm"}) fs::remove(db + s);
}

// The database and the scratch folder it was made in.
void dropScratch(const std::string& db) {
  std::error_code ec;
  fs::remove_all(fs::path(db).parent_path(), ec);
}

struct Rules {
  Settings ini;
  ContestDefinition def;
  CtyTables cty;
  Rules() {
    cty.CtyPrefixAdd("J", "AS", "JA");
    ini.ThRptSw = 1;
    def.Exch = 1;
  }
};

void BM_HamlogAppendFullLog(benchmark::State& state) {
  HamlogLibrary lib(HamlogLibrary::defaultFolders(""));
  Rules r;
  const LogData& log = fullLog();
  const std::string db = scratch("append.hdb");
  const ThAppendRun run = ThAppendRunFor(r.ini, {{"JA", "339", "Japan"}});
  for (auto _ : state) {
    state.PauseTiming();
    removeDb(db);
    lib.HamlogCreate(db);
    state.ResumeTiming();
    const ThAppendResult res = ThLogDbAppend(lib, db, log, run, r.ini, r.def, r.cty, noProgress());
    if (res.appended != kMaxQso) state.SkipWithError(res.error.c_str());
  }
  dropScratch(db);
}
BENCHMARK(BM_HamlogAppendFullLog)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_HamlogReadFullLog(benchmark::State& state) {
  HamlogLibrary lib(HamlogLibrary::defaultFolders(""));
  Rules r;
  const std::string db = scratch("read.hdb");
  removeDb(db);
  lib.HamlogCreate(db);
  ThLogDbAppend(lib, db, fullLog(), ThAppendRunFor(r.ini, {}), r.ini, r.def, r.cty, noProgress());
  ThReadRequest req;
  req.path = db;
  req.version = ThReadVersion(lib.GetThdllVersion());
  req.from = ole::fromDateTime(2024, 1, 1, 0, 0, 0);
  req.to = ole::fromDateTime(2025, 1, 1, 0, 0, 0);
  for (auto _ : state) {
    LogDocument doc;
    GridRows grid;
    grid.addRow("");
    const ThReadResult res = ThlogDataRead(lib, req, r.ini, r.def, doc, grid, noProgress());
    if (res.appended != kMaxQso) state.SkipWithError("not every QSO was read");
  }
  dropScratch(db);
}
BENCHMARK(BM_HamlogReadFullLog)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
