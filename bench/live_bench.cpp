// The entry window's questions per keystroke on a full log with a large call
// history, registering a QSO into the live index, and building the history
// from many earlier logs.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "contest/callhistory.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/liveindex.h"
#include "log/fileio.h"
#include "log/logfile.h"
#include "log/progress.h"

namespace {

std::string randomCall(std::mt19937& rng) {
  static const char* const prefixes[] = {"JA", "JE", "JF", "JG", "JH", "JI", "JJ", "JK", "JL",
                                         "JM", "JN", "JO", "JP", "JQ", "JR", "7K", "7L", "7M", "7N"};
  std::string c = prefixes[rng() % 19];
  c += static_cast<char>('0' + rng() % 10);
  for (int i = 0; i < 3; ++i) c += static_cast<char>('A' + rng() % 26);
  if (rng() % 10 == 0) c += "/" + std::to_string(rng() % 10);
  return c;
}

std::string randomNumber(std::mt19937& rng) {
  static const char power[] = {'P', 'L', 'M', 'H'};
  return std::to_string(100 + (rng() % 700) * 3) + power[rng() % 4];
}

QsoRecord randomQso(std::mt19937& rng, const std::vector<std::string>& calls) {
  static const char* const bandTexts[] = {"1.8", "3.5", "7", "14", "21", "28", "50", "144", "430", "1200"};
  static const char* const modes[] = {"CW", "SSB", "FM"};
  QsoRecord r;
  r.Band = bandTexts[rng() % 10];
  r.Mode = modes[rng() % 3];
  r.CallSign = calls[rng() % calls.size()];
  r.RcvdNo = randomNumber(rng);
  r.QsoTime = ole::fromDateTime(2024, 6, 1, 0, 0, 0) + (rng() % 100000) / 86400.0;
  return r;
}

// A full log of 20,000 distinct calls under an exchange contest that keeps
// the power letter and checks a section list.
struct Contest {
  ContestDefinition def;
  SectionList sections;
  CtyTables cty;
  std::vector<std::string> calls;
  LogData log;

  Contest() {
    std::mt19937 rng(4242);
    def.BandEnabled.fill(1);
    for (auto& p : def.BandPoints) p = BandPoint{1, 2, 3};
    def.ExchtoMlt = 1;
    def.SentJarlCode = 1;
    def.SearchSectionFile = 1;
    def.PointType = 1;
    def.MltSearch = 2;
    def.TotalPoint = 2;
    for (int i = 0; i < 700; ++i) sections.add(std::to_string(100 + i * 3));
    for (int i = 0; i < 20000; ++i) calls.push_back(randomCall(rng));
    while (!log.full()) log.append(randomQso(rng, calls));
  }
};

const Contest& contest() {
  static const Contest c;
  return c;
}

const CallHistory& bigHistory() {
  static const CallHistory h = [] {
    std::mt19937 rng(77);
    CallHistory out;
    while (out.size() < 100000)
      out.offer(HistoryEntry{randomCall(rng), randomNumber(rng), 45000.5, "old.tmk", true});
    return out;
  }();
  return h;
}

// One keystroke: the call typed so far is checked for a dupe and a new
// multiplier, its partial check listed and its history looked up. The calls
// typed are the log's own and new ones, a character at a time.
void BM_Keystroke(benchmark::State& state) {
  const Contest& c = contest();
  LiveIndex live;
  live.rebuild(c.log, c.def, c.cty, c.sections, 0, 0);
  const CallHistory& history = bigHistory();
  std::mt19937 rng(5);
  std::vector<std::string> typed;
  for (int i = 0; i < 2000; ++i) {
    const std::string call = i % 2 ? c.calls[rng() % c.calls.size()] : randomCall(rng);
    for (std::size_t n = 1; n <= call.size(); ++n) typed.push_back(call.substr(0, n));
  }
  std::size_t i = 0, listed = 0;
  for (auto _ : state) {
    const std::string& call = typed[i];
    const LiveCheck check = live.check({call, "7", "CW", "301M"});
    const PartialCheck partial = live.partial(call, "7");
    const HistoryEntry* e = history.find(call);
    benchmark::DoNotOptimize(check.dupe);
    benchmark::DoNotOptimize(e);
    listed += partial.calls.size();
    if (++i == typed.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
  state.counters["listed"] = static_cast<double>(listed) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_Keystroke)->Unit(benchmark::kMicrosecond);

// The slowest texts: parts many calls hold but few hold whole.
void BM_KeystrokeRareText(benchmark::State& state) {
  const Contest& c = contest();
  LiveIndex live;
  live.rebuild(c.log, c.def, c.cty, c.sections, 0, 0);
  const std::vector<std::string> texts = {"JA1QXZ", "A1AA", "7N9ZZ", "/9", "JQ0", "K1", "ZZZ", "Q"};
  std::size_t i = 0;
  for (auto _ : state) {
    const PartialCheck partial = live.partial(texts[i], "7");
    benchmark::DoNotOptimize(partial.more);
    if (++i == texts.size()) i = 0;
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_KeystrokeRareText)->Unit(benchmark::kMicrosecond);

// Registering QSOs one after another: Arg 0 into an index built from 30,000
// QSOs (rebuilt, untimed, before it would pass the log's limit); Arg 1 a
// whole log from an empty index, folds of the recent calls included.
void BM_Register(benchmark::State& state) {
  const Contest& c = contest();
  const bool fromEmpty = state.range(0) == 1;
  LogData base;
  const int start = fromEmpty ? 0 : 30000;
  for (int k = 1; k <= start; ++k) base.append(c.log[k]);
  std::mt19937 rng(9);
  std::vector<QsoRecord> fresh;
  for (int k = start + 1; k <= kMaxQso; ++k) {
    QsoRecord r = c.log[k];
    if (k % 3 == 0) r.CallSign = randomCall(rng);  // some calls new to the log
    fresh.push_back(r);
  }
  std::optional<LiveIndex> live;
  std::size_t next = fresh.size();
  for (auto _ : state) {
    if (next == fresh.size()) {
      state.PauseTiming();
      live.emplace();
      live->rebuild(base, c.def, c.cty, c.sections, 0, 0);
      next = 0;
      state.ResumeTiming();
    }
    live->add(fresh[next++]);
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_Register)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// A full search as the session runs it, the index taking over its walk:
// Arg 0 the search alone, Arg 1 with the index of the same calls (after
// registrations), Arg 2 with an index made anew (calls edited).
void BM_SearchAndIndex(benchmark::State& state) {
  const Contest& c = contest();
  LogData log = c.log;
  ScoreTable score;
  std::optional<LiveIndex> live;
  live.emplace();
  live->rebuild(log, c.def, c.cty, c.sections, 0, 0);
  for (auto _ : state) {
    SearchWalk walk(c.def, c.cty, c.sections, 0, 0);
    LogDataSearch(log, walk, c.def, score, noProgress());
    if (state.range(0) == 2) live.emplace();
    if (state.range(0) >= 1) live->rebuild(log, std::move(walk));
  }
  state.SetItemsProcessed(state.iterations() * log.count());
}
BENCHMARK(BM_SearchAndIndex)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

// A folder of its own, removed at the end of the run.
struct TempFolder {
  std::string path;
  TempFolder() {
    char tmpl[] = "/tmp/tamarack_bench_history_XXXXXX";
    if (mkdtemp(tmpl)) path = tmpl;
  }
  ~TempFolder() {
    std::error_code ec;
    if (!path.empty()) std::filesystem::remove_all(path, ec);
  }
};

// 50 earlier logs of 3,000 QSOs each.
const HistorySources& fiftyLogs() {
  static const TempFolder folder;
  static const HistorySources src = [] {
    const std::string& dir = folder.path;
    std::mt19937 rng(31);
    std::vector<std::string> calls;
    for (int i = 0; i < 30000; ++i) calls.push_back(randomCall(rng));
    for (int f = 0; f < 50; ++f) {
      LogData log;
      for (int i = 0; i < 3000; ++i) log.append(randomQso(rng, calls));
      fileio::writeAtomic(dir + "/" + std::to_string(2000 + f) + ".tmk",
                          logfile::encodeLog(log, 1, noProgress()));
    }
    return HistorySources{LogFilesIn(dir), ""};
  }();
  return src;
}

// Arg 0: read from the logs; Arg 1: from the cache made of them.
void BM_HistoryBuild(benchmark::State& state) {
  const HistorySources& src = fiftyLogs();
  const std::string cache = std::filesystem::path(src.logs.front()).parent_path() / "c.cache";
  if (state.range(0) == 1) LoadCallHistory(src, cache);
  std::size_t calls = 0;
  for (auto _ : state) {
    const CallHistory h = state.range(0) == 1 ? LoadCallHistory(src, cache) : BuildCallHistory(src);
    calls = h.size();
  }
  state.counters["calls"] = static_cast<double>(calls);
}
BENCHMARK(BM_HistoryBuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
