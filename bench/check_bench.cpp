// The check before submission over a full log of 32,767 QSOs, with every
// entry rule of a domestic contest in force.
#include <benchmark/benchmark.h>

#include <string>

#include "benchlog.h"
#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/settings.h"
#include "output/check.h"

namespace {

const char* const kDefinition =
    "SentJarlCode=1\nBand7Enabled=1\nBand430Enabled=1\nCWEnabled=1\nSSBEnabled=1\n"
    "StdCategory=電信電話 オールバンド ミドルパワー;XAM;0;0;0\n"
    "PowerCode=H;0\nPowerCode=M;100\nPowerCode=L;10;20\nPowerCode=P;5\n"
    "CategoryPowerCode=H;C*H,X*H\nCategoryPowerCode=M;C*M,X*M\nCategoryPowerCode=P;C*P,X*P\n"
    "CategoryPower=P*;10;20\nPhoneExcludedBands=14\n"
    "RcvdNoShape=*;101-114,02-48\nContestPeriod=04/SatL 21:00;24\n";

void BM_CheckLog(benchmark::State& state) {
  LogData log;
  for (int i = 0; i < kMaxQso; ++i) {
    // Inside the contest's period, with prefecture and district numbers.
    QsoRecord r = BenchQso(i);
    r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + i / 86400.0;
    const int prefecture = 2 + i % 47;
    r.RcvdNo = (i % 5 ? (prefecture < 10 ? "0" : "") + std::to_string(prefecture)
                      : std::to_string(101 + i % 14)) +
               "H";
    r.Points = 1;
    r.Dupe = i % 17 == 0;
    log.append(r);
  }
  ContestDefinition def;
  CfgApplyText(cp932::encode(kDefinition), def, nullptr);
  Settings s;
  s.JarlContest = "ALL JAコンテスト";
  s.JarlCategory = "電信電話 オールバンド ミドルパワー";
  s.JarlCateCode = "XAM";
  s.JarlPower = "100";
  s.JarlCallSign = "JA1ZZZ";
  s.JarlName = "山田太郎";
  s.JarlLicenseClass = "第一級アマチュア無線技士";
  s.JarlAddress = "東京都豊島区";
  s.JarlOath = "宣誓します。";
  s.JarlEmail = "ja1zzz@example.jp";
  ScoreTable score;
  score.TotalScore = 1;
  const check::CheckSource src{log, def, score, s};
  std::size_t found = 0;
  for (auto _ : state) {
    const std::vector<check::Finding> f = check::CheckLog(src);
    found = f.size();
    benchmark::DoNotOptimize(found);
  }
  state.counters["findings"] = static_cast<double>(found);
}
BENCHMARK(BM_CheckLog)->Unit(benchmark::kMillisecond);

}  // namespace
