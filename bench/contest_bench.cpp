// Contest rules: country file load, entity look-up and the full dupe and
// multiplier search on a log of the largest size.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/ui.h"

namespace {

const char* const kCtyPath = "/usr/share/hamradio-files/cty.dat";

class SilentUi : public Ui {
 public:
  Answer ask(std::string_view, Buttons, Icon, std::string_view) override { return Answer::Ok; }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

// A program folder holding a copy of the public country file.
const std::string& programDir() {
  static const std::string dir = [] {
    char tmpl[] = "/tmp/tamarack_bench_XXXXXX";
    std::string d = mkdtemp(tmpl) ? tmpl : "/tmp";
    std::filesystem::copy_file(kCtyPath, d + "/Cty.dat",
                               std::filesystem::copy_options::overwrite_existing);
    return d;
  }();
  return dir;
}

const CtyTables& realCty() {
  static const CtyTables t = [] {
    CtyTables c;
    SilentUi ui;
    CtyRead(programDir(), c, ui);
    return c;
  }();
  return t;
}

// About 5,000 distinct calls: mostly Japanese home calls, some DX calls
// built from the country file's prefixes, some portable forms.
std::vector<std::string> makeCalls(std::mt19937& rng) {
  std::vector<std::string> calls;
  const char* const jaPrefixes[] = {"JA", "JE", "JF", "JG", "JH", "JI", "JJ", "JK", "JL",
                                    "JM", "JN", "JO", "JP", "JQ", "JR", "7K", "7L", "7M", "7N"};
  auto letter = [&] { return static_cast<char>('A' + rng() % 26); };
  for (int i = 0; i < 4000; ++i) {
    std::string c = jaPrefixes[rng() % 19];
    c += static_cast<char>('0' + rng() % 10);
    c += letter();
    c += letter();
    c += letter();
    if (i % 10 == 0) {
      c += '/';
      c += static_cast<char>('0' + rng() % 10);
    }
    if (i % 25 == 0) c += "/P";
    if (i % 40 == 0) c += "/QRP";
    calls.push_back(c);
  }
  std::vector<std::string> dxPrefixes;
  for (int b = 0; b < CtyTables::kBucketCount; ++b)
    for (const CtyEntry& e : realCty().CtyPrefixTable(b))
      if (e.Key.size() <= 3) dxPrefixes.push_back(e.Key);
  for (int i = 0; i < 1000; ++i) {
    std::string c = dxPrefixes[rng() % dxPrefixes.size()];
    if (c.back() < '0' || c.back() > '9') c += static_cast<char>('0' + rng() % 10);
    c += letter();
    c += letter();
    if (i % 20 == 0) {
      std::string home = "JA1";
      home += letter();
      home += letter();
      c = home + "/" + c.substr(0, 3);
    }
    calls.push_back(c);
  }
  return calls;
}

struct Fixture {
  LogData log;
  ContestDefinition def;
  SectionList sections;

  Fixture() {
    std::mt19937 rng(12345);
    const std::vector<std::string> calls = makeCalls(rng);
    const char* const bandTexts[] = {"1.8", "3.5", "7", "14", "21", "28", "50", "144", "430", "1200"};
    const char* const modes[] = {"CW", "SSB", "FM"};
    const char power[] = {'P', 'L', 'M', 'H'};
    for (int i = 0; i < 600; ++i) sections.add(std::to_string(100 + i * 3));
    def.BandEnabled.fill(1);
    for (auto& p : def.BandPoints) p = BandPoint{1, 2, 3};
    def.SearchEntityFile = 1;
    def.ExchtoMlt = 1;
    def.SentJarlCode = 1;
    def.SearchSectionFile = 1;
    def.PointType = 2;
    def.MltSearch = 2;
    def.TotalPoint = 2;
    for (int i = 0; i < kMaxQso; ++i) {
      QsoRecord r;
      r.Band = bandTexts[rng() % 10];
      r.Mode = modes[rng() % 3];
      r.CallSign = calls[rng() % calls.size()];
      r.RcvdNo = std::to_string(100 + (rng() % 700) * 3) + power[rng() % 4];
      r.Remarks = "bench";
      log.append(r);
    }
  }
};

void BM_LogDataSearch(benchmark::State& state) {
  static Fixture f;
  const bool entityOnly = state.range(0) == 1;
  ContestDefinition def = f.def;
  if (entityOnly) {
    def.ExchtoMlt = 0;
    def.SentJarlCode = 0;
    def.SearchSectionFile = 0;
    def.ContestNo = 5;
  }
  ScoreTable score;
  for (auto _ : state) {
    LogDataSearch(f.log, def, realCty(), f.sections, 0, 0, score, noProgress());
    benchmark::DoNotOptimize(score.TotalScore);
  }
  state.SetItemsProcessed(state.iterations() * f.log.count());
  state.counters["multipliers"] = score.BandStats[ScoreTable::kTotalRow].MltCount;
  state.counters["dupes"] = score.BandStats[ScoreTable::kTotalRow].DupeCount;
}
BENCHMARK(BM_LogDataSearch)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_CtyRead(benchmark::State& state) {
  SilentUi ui;
  CtyTables tables;
  for (auto _ : state) {
    CtyRead(programDir(), tables, ui);
    benchmark::DoNotOptimize(tables);
  }
  state.counters["entries"] = static_cast<double>(tables.size());
}
BENCHMARK(BM_CtyRead)->Unit(benchmark::kMillisecond)->MinTime(2.0);

void BM_EntitySearch(benchmark::State& state) {
  std::mt19937 rng(99);
  const std::vector<std::string> calls = makeCalls(rng);
  const CtyTables& t = realCty();
  std::string entity, continent;
  std::size_t i = 0;
  for (auto _ : state) {
    continent.clear();
    t.EntitySearch(calls[i], entity, continent);
    benchmark::DoNotOptimize(entity);
    if (++i == calls.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_EntitySearch)->Unit(benchmark::kNanosecond);

}  // namespace
