// The real-time input window's two costly moments at the largest log:
// registering one QSO (record and grid row appended, nothing rebuilt) and
// closing the window (the full search and the grid rebuilt from the log).
#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "entry/realtime.h"
#include "log/grid.h"
#include "log/progress.h"
#include "log/ui.h"

namespace {

class QuietUi : public Ui {
 public:
  Answer ask(std::string_view, Buttons, Icon, std::string_view) override { return Answer::Ok; }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

// The shipped ALL JA definition: prefecture multipliers from the section list.
struct Contest {
  ContestDefinition def;
  SectionList sections;
  CtyTables cty;
};

const Contest& allJa() {
  static const Contest c = [] {
    Contest x;
    namespace fs = std::filesystem;
    const fs::path cfgDir = fs::path(TAMARACK_DATA_DIR) / "Cfg";
    for (const auto& e : fs::directory_iterator(cfgDir)) {
      const std::string name = e.path().filename().string();
      if (name.rfind("(1)", 0) != 0) continue;
      std::ifstream in(e.path(), std::ios::binary);
      const std::string bytes((std::istreambuf_iterator<char>(in)), {});
      CfgApplyText(bytes, x.def, nullptr);
    }
    QuietUi ui;
    if (!x.def.SectionFile.empty())
      SectionRead(fs::path(TAMARACK_DATA_DIR).string(), x.def.SectionFile, x.sections, ui);
    const char* cty = "/usr/share/hamradio-files/cty.dat";
    if (fs::exists(cty)) {
      char tmpl[] = "/tmp/tamarack_entry_bench_XXXXXX";
      if (const char* d = mkdtemp(tmpl)) {
        fs::copy_file(cty, std::string(d) + "/Cty.dat", fs::copy_options::overwrite_existing);
        CtyRead(d, x.cty, ui);
      }
    }
    return x;
  }();
  return c;
}

entry::QsoEntry typed(std::mt19937& rng, ole::Date t) {
  static const char* const bands[] = {"3.5", "7", "14", "21", "28", "50"};
  entry::QsoEntry e;
  e.time = t;
  e.band = bands[rng() % 6];
  e.mode = rng() % 2 ? "CW" : "SSB";
  e.call = "J" + std::string(1, static_cast<char>('A' + rng() % 18)) +
           std::to_string(rng() % 10) + static_cast<char>('A' + rng() % 26) +
           static_cast<char>('A' + rng() % 26) + static_cast<char>('A' + rng() % 26);
  e.sentRst = "599";
  e.sentNo = "13M";
  e.rcvdRst = "599";
  e.rcvdNo = std::to_string(10 + rng() % 38) + (rng() % 2 ? "M" : "H");
  return e;
}

// A log of n typed QSOs and its grid.
void fill(LogDocument& doc, GridRows& grid, int n) {
  std::mt19937 rng(7);
  doc.Log.clear();
  FrmLogLoad(grid, doc.Log, 0);
  const ole::Date start = ole::fromDateTime(2026, 4, 25, 21, 0, 0);
  for (int i = 0; i < n; ++i) entry::AppendQso(doc, grid, typed(rng, start + i * 2.0 / 86400));
}

// One Enter in the input window with the log at 32,766 QSOs: the 32,767th
// record and grid row. Each run is undone outside the timing.
void BM_RegisterIntoFullGrid(benchmark::State& state) {
  LogDocument doc;
  GridRows grid;
  fill(doc, grid, kMaxQso - 1);
  std::mt19937 rng(11);
  const entry::QsoEntry e = typed(rng, ole::fromDateTime(2026, 4, 26, 12, 0, 0));
  for (auto _ : state) {
    const bool stored = entry::AppendQso(doc, grid, e);
    benchmark::DoNotOptimize(stored);
    state.PauseTiming();
    doc.Log.resize(kMaxQso - 1);
    grid.removeRow(grid.rows() - 1);
    state.ResumeTiming();
  }
}
BENCHMARK(BM_RegisterIntoFullGrid)->Unit(benchmark::kMicrosecond);

// Closing the input window after QSOs were added: the whole log searched
// under the ALL JA rules and the grid rebuilt, at 32,767 QSOs.
void BM_CloseInputWithSearch(benchmark::State& state) {
  const Contest& c = allJa();
  LogDocument doc;
  GridRows grid;
  fill(doc, grid, kMaxQso);
  ScoreTable score;
  for (auto _ : state) {
    LogDataSearch(doc.Log, c.def, c.cty, c.sections, 0, 0, score, noProgress());
    FrmLogLoad(grid, doc.Log, doc.State.ShowSeconds);
    benchmark::DoNotOptimize(grid.rows());
  }
}
BENCHMARK(BM_CloseInputWithSearch)->Unit(benchmark::kMillisecond);

}  // namespace
