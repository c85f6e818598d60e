// The check before submission: small logs, each with one planted fault,
// against a definition that carries the entry rules.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/cp932.h"
#include "log/progress.h"
#include "log/settings.h"
#include "output/check.h"
#include "samples.h"

namespace {

using check::Level;

const char* const kDefinition =
    ";2026年の規約による\n"
    "ContestNo=1\nExch=1\nMltSearch=2\nPointType=1\nTotalPoint=2\nSentJarlCode=1\nExchtoMlt=1\n"
    "Band7Enabled=1\nBand14Enabled=1\nBand21Enabled=1\nBand28Enabled=1\nBand50Enabled=1\n"
    "Band7PointA=1\nBand14PointA=1\nBand21PointA=1\nBand28PointA=1\nBand50PointA=1\n"
    "CWEnabled=1\nSSBEnabled=1\n"
    "StdCategory=電信電話 オールバンド ミドルパワー;XAM;0;0;0\n"
    "StdCategory=電信 7MHz ミドルパワー;C7M;2;3;0\n"
    "StdCategory=電話 オールバンド;PA;1;0;0\n"
    "PowerCode=H;0\nPowerCode=M;100\nPowerCode=L;10;20\nPowerCode=P;5\n"
    "CategoryPowerCode=M;C*M,X*M\nCategoryPowerCode=H;C*H,X*H\n"
    "CategoryPower=P*;10;20\n"
    "PhoneExcludedBands=14\n"
    "RcvdNoShape=*;101-114,02-48\n"
    "ContestPeriod=04/SatL 21:00;24\n";

struct Fixture {
  ContestDefinition def;
  Settings s;
  LogData log;
  check::CheckSource src() const { return {log, def, score, s, format}; }
  ScoreTable score;
  elog::ElogFormat format = elog::ElogFormat::R10;

  Fixture() {
    CfgApplyText(cp932::encode(kDefinition), def, nullptr);
    samples::fillStationData(s);
    s.JarlEmail = "ja1zzz@example.jp";
    // 2026-04-25 is the last Saturday of April.
    auto add = [&](const char* band, const char* mode, int minute, const char* call,
                   const char* rst, const char* rcvd) {
      log.append(samples::qso(band, mode, ole::fromDateTime(2026, 4, 25, 21, minute, 0), call, rst,
                              "13M", rst, rcvd, 0, ""));
    };
    add("7", "CW", 0, "JA1AAA", "599", "10M");
    add("14", "CW", 1, "JA2BBB", "599", "101H");
    add("21", "SSB", 2, "JA3CCC", "59", "27L");
    add("50", "SSB", 3, "JA4DDD", "59", "48P");
  }
  void score_() {
    LogDataSearch(log, def, CtyTables(), SectionList(), s.CateMode, s.CateBand, score,
                  noProgress());
  }
  // The phone category, every QSO in phone at 10 W sending L.
  void phoneEntry() {
    s.JarlCateCode = "PA";
    s.CateMode = 1;
    s.JarlPower = "10";
    for (int k = 1; k <= log.count(); ++k) {
      log[k].Mode = "SSB";
      log[k].SentNo = "13L";
    }
  }
};

struct Expect {
  Level level;
  int qso;
  const char* text;  // a part of the finding's text
};

struct Case {
  const char* name;
  std::function<void(Fixture&)> plant;
  std::vector<Expect> want;
};

const std::vector<Case> kCases = {
    {"clean", [](Fixture&) {}, {}},
    {"blank sent number",
     [](Fixture& f) { f.log[2].SentNo = ""; },
     {{Level::Error, 2, "JA2BBB: 送信ナンバーが空です"}}},
    {"blank received number",
     [](Fixture& f) { f.log[1].RcvdNo = ""; },
     {{Level::Error, 1, "JA1AAA: 受信ナンバーが空です"}}},
    {"sent letter not the category's",
     [](Fixture& f) { f.log[3].SentNo = "13H"; },
     {{Level::Error, 3, "送信ナンバー「13H」の空中線電力の記号 H が部門 XAM の記号 M と違います"}}},
    {"the same sent fault on every QSO is one finding",
     [](Fixture& f) {
       for (int k = 1; k <= f.log.count(); ++k) f.log[k].SentNo = "13H";
     },
     {{Level::Error, 1, "の記号 M と違います（ほか 3 件）"}}},
    {"sent number of another shape is still held against the category",
     [](Fixture& f) { f.log[1].SentNo = "2H"; },
     {{Level::Error, 1, "送信ナンバー「2H」の空中線電力の記号 H が部門 XAM の記号 M と違います"},
      {Level::Warning, 1, "送信ナンバー「2H」の先頭の0が抜けています（「02H」）"}}},
    {"sent letter the contest lacks",
     [](Fixture& f) { f.log[1].SentNo = "13X"; },
     {{Level::Error, 1, "送信ナンバー「13X」の空中線電力の記号 X はこのコンテストにありません"}}},
    {"sent number without its letter",
     [](Fixture& f) { f.log[1].SentNo = "13"; },
     {{Level::Error, 1, "送信ナンバー「13」に空中線電力の記号がありません"}}},
    {"phone category sends a class over its limit",
     [](Fixture& f) {
       f.phoneEntry();
       f.log[2].Band = "28";
       f.log[4].SentNo = "13M";
     },
     {{Level::Error, 4,
       "送信ナンバー「13M」の空中線電力の記号 M は部門 PA の上限 20W を超える区分です"}}},
    {"phone on a band phone categories do not count",
     [](Fixture& f) { f.phoneEntry(); },
     {{Level::Warning, 2, "JA2BBB: 電話部門では14MHz帯の交信は数えられません"}}},
    {"station power over the category's limit",
     [](Fixture& f) { f.s.JarlPower = "1K"; },
     {{Level::Error, 0,
       "空中線電力が100Wを超えている: 最大空中線電力は 1000W、部門 XAM の上限は 100W です"}}},
    {"station power over the limit of one band",
     [](Fixture& f) {
       f.phoneEntry();
       f.log[2].Band = "28";
       f.s.JarlPower = "20";
     },
     {{Level::Warning, 0,
       "最大空中線電力 20W は 7MHz帯・21MHz帯・28MHz帯 での部門 PA の上限 10W を超えています"}}},
    {"received number that lost its leading zero",
     [](Fixture& f) { f.log[1].RcvdNo = "2M"; },
     {{Level::Warning, 1, "受信ナンバー「2M」の先頭の0が抜けています（「02M」）"}}},
    {"received number not in the list",
     [](Fixture& f) { f.log[1].RcvdNo = "49M"; },
     {{Level::Warning, 1,
       "受信ナンバー「49M」はこのコンテストのナンバー（101～114、02～48と空中線電力の記号）ではあり"
       "ません"}}},
    {"received number with the RST",
     [](Fixture& f) { f.log[1].RcvdNo = "59910M"; },
     {{Level::Warning, 1, "受信ナンバー「59910M」にRSTが含まれています（ナンバーは「10M」）"}}},
    {"received number without its letter",
     [](Fixture& f) { f.log[1].RcvdNo = "10"; },
     {{Level::Warning, 1, "受信ナンバー「10」に空中線電力の記号がありません"}}},
    {"received letter the contest lacks",
     [](Fixture& f) { f.log[1].RcvdNo = "10Q"; },
     {{Level::Warning, 1, "受信ナンバー「10Q」の空中線電力の記号 Q はこのコンテストにありません"}}},
    {"blank inside a call sign",
     [](Fixture& f) { f.log[1].CallSign = "JA1 AAA"; },
     {{Level::Error, 1, "JA1 AAA: コールサイン「JA1 AAA」の中に空白があります"}}},
    {"blank before the power letter",
     [](Fixture& f) { f.log[1].RcvdNo = "10 M"; },
     {{Level::Error, 1, "受信ナンバー「10 M」の空中線電力の記号の前に空白があります"}}},
    {"report and number typed into the number",
     [](Fixture& f) { f.log[1].RcvdNo = "599 10M"; },
     {{Level::Error, 1, "受信ナンバー「599 10M」にRSTが含まれています"}}},
    {"full-width character",
     [](Fixture& f) { f.log[1].RcvdNo = "10Ｍ"; },
     {{Level::Error, 1,
       "受信ナンバー「10Ｍ」に全角文字「Ｍ」があります（半角文字だけが使えます）"}}},
    {"QSOs outside the category",
     [](Fixture& f) {
       f.s.JarlCateCode = "C7M";
       f.s.CateMode = 2;
       f.s.CateBand = 3;
     },
     {{Level::Note, 0,
       "参加部門のバンド・モード外の交信が 3 "
       "件あります（得点に含まれず、チェックログとして提出されます）"}}},
    {"QSO outside the contest period",
     [](Fixture& f) { f.log[4].QsoTime = ole::fromDateTime(2026, 4, 26, 21, 1, 0); },
     {{Level::Warning, 4,
       "JA4DDD: コンテスト期間外の交信です（2026-04-25 21:00 ～ 2026-04-26 21:00 JST）"}}},
    {"QSO without a time",
     [](Fixture& f) { f.log[4].QsoTime = -1e9; },
     {{Level::Error, 4, "JA4DDD: 日付と時刻がありません"}}},
    {"dupe",
     [](Fixture& f) {
       f.log.append(f.log[1]);
       f.log[5].QsoTime += 10.0 / 1440;
     },
     {{Level::Note, 0, "重複交信が 1 件あります（0点で提出されます）"}}},
    {"mode the contest does not count",
     [](Fixture& f) { f.log[1].Mode = "RTTY"; },
     {{Level::Warning, 1, "モード RTTY はこのコンテストの対象ではありません"}}},
    {"band the log sheet cannot hold",
     [](Fixture& f) { f.log[1].Band = "7K"; },
     {{Level::Error, 1, "バンド「7K」は電子ログに書けません"}}},
    {"band outside the contest",
     [](Fixture& f) { f.log[1].Band = "10"; },
     {{Level::Note, 0, "コンテストのバンドでない交信が 1 件あります（得点に含まれません）"}}},
    {"missing summary item",
     [](Fixture& f) { f.s.JarlName = "  "; },
     {{Level::Error, 0, "サマリーシートの必須項目「局免許者の氏名（社団の名称）」が未設定です"}}},
    {"no e-mail address for JARL's answer",
     [](Fixture& f) { f.s.JarlEmail = ""; },
     {{Level::Error, 0, "Ｅ－メールアドレスが未設定です"}}},
    {"R2.1 names its own items",
     [](Fixture& f) {
       f.format = elog::ElogFormat::R21;
       f.s.JarlEmail = "";
     },
     {{Level::Error, 0, "R2.1 の必須項目「自分のメールアドレス」が未設定です"}}},
    {"multi-operator category without operators",
     [](Fixture& f) { f.s.CateMlt = 1; },
     {{Level::Error, 0, "マルチオペの部門ですが、運用者のリストが空です"}}},
    {"category code the contest lacks",
     [](Fixture& f) { f.s.JarlCateCode = "ZZZ"; },
     {{Level::Error, 0, "部門コード「ZZZ」はこのコンテストの部門にありません"}}},
    {"score of 0",
     [](Fixture& f) { f.s.CateBand = 13; },
     {{Level::Warning, 0, "総得点が0点です"},
      {Level::Note, 0, "参加部門のバンド・モード外の交信が 4 件あります"}}},
};

TEST(CheckLog, EachPlantedFaultIsFoundAndNothingElse) {
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    Fixture f;
    c.plant(f);
    f.score_();
    const std::vector<check::Finding> got = check::CheckLog(f.src());
    std::string all;
    for (const check::Finding& g : got)
      all += std::string(check::LevelName(g.level)) + " " + std::to_string(g.qso) + " " + g.text +
             "\n";
    ASSERT_EQ(got.size(), c.want.size()) << all;
    for (std::size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].level, c.want[i].level) << all;
      EXPECT_EQ(got[i].qso, c.want[i].qso) << all;
      EXPECT_NE(got[i].text.find(c.want[i].text), std::string::npos) << all;
    }
    EXPECT_EQ(check::HasError(got), !c.want.empty() && c.want.front().level == Level::Error);
  }
}

TEST(CheckLog, MostSeriousFirstThenInLogOrder) {
  Fixture f;
  f.log[4].RcvdNo = "2M";    // warning at 4
  f.log[3].SentNo = "";      // error at 3
  f.log[1].RcvdNo = "10Ｍ";  // error at 1
  f.s.JarlName = "";         // error for the whole log
  f.log.append(f.log[2]);    // a dupe: a note
  f.score_();
  std::vector<std::pair<Level, int>> order;
  for (const check::Finding& g : check::CheckLog(f.src())) order.emplace_back(g.level, g.qso);
  const std::vector<std::pair<Level, int>> want = {{Level::Error, 0},
                                                   {Level::Error, 1},
                                                   {Level::Error, 3},
                                                   {Level::Warning, 4},
                                                   {Level::Note, 0}};
  EXPECT_EQ(order, want);
}

TEST(CheckLog, ADefinitionWithoutRulesGetsTheGeneralChecksOnly) {
  Fixture f;
  CfgApplyText(cp932::encode("Band7Enabled=1\nSentJarlCode=1\n"), f.def, nullptr);
  EXPECT_TRUE(f.def.PowerCode.empty());
  EXPECT_FALSE(f.def.ContestPeriod);
  f.log[1].RcvdNo = "2Q";                                     // no shape, no letters: fine
  f.log[2].QsoTime = ole::fromDateTime(2020, 1, 1, 0, 0, 0);  // no period: fine
  f.log[3].SentNo = "";                                       // always an error
  f.score_();
  const auto got = check::CheckLog(f.src());
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].qso, 3);
  EXPECT_TRUE(check::HasError(got));
}

TEST(CheckLog, AnEmptyLogIsAnError) {
  Fixture f;
  f.log.clear();
  f.score_();
  const auto got = check::CheckLog(f.src());
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].text, "ログデータがありません！");
  EXPECT_EQ(check::LevelName(got[0].level), "error");
}

}  // namespace
