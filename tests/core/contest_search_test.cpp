// The dupe and multiplier search, rule by rule, and a cross-check of the
// indexed search against a plain front-to-back reading of the rules.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/utf8.h"

namespace {

std::string header(const std::string& name, const std::string& continent, const std::string& prefix) {
  std::string h = name + ":";
  h.resize(26, ' ');
  return h + "25:  45:  " + continent + ":   36.40:  -138.38:    -9.0:  " + prefix + ":\n";
}

const CtyTables& sampleCty() {
  static const CtyTables t = [] {
    CtyTables c;
    const std::string text = header("Japan", "AS", "JA") + "    JA,JE,7K,=JD1BME{OC};\n" +
                             header("Mariana", "OC", "KH0") + "    KH0;\n" +
                             header("Korea", "AS", "HL") + "    HL,DS;\n" +
                             header("United States", "NA", "K") + "    K,W,N;\n" +
                             header("Italy", "EU", "I") + "    I,IK;\n";
    CtyParse(text, c);
    return c;
  }();
  return t;
}

QsoRecord qso(const std::string& band, const std::string& mode, const std::string& call,
              const std::string& rcvd = "", std::int16_t points = 0) {
  QsoRecord r;
  r.Band = band;
  r.Mode = mode;
  r.CallSign = call;
  r.RcvdNo = rcvd;
  r.Points = points;
  return r;
}

ContestDefinition allBands() {
  ContestDefinition d;
  d.BandEnabled.fill(1);
  for (auto& p : d.BandPoints) p = BandPoint{1, 2, 3};
  d.PointType = 1;
  d.TotalPoint = 2;
  d.MltSearch = 2;
  d.ExchtoMlt = 1;
  return d;
}

class Search : public ::testing::Test {
 protected:
  void add(const QsoRecord& r) { log.append(r); }
  void run(std::int16_t cateMode = 0, std::int16_t cateBand = 0) {
    LogDataSearch(log, def, sampleCty(), sections, cateMode, cateBand, score, noProgress());
  }
  const BandStat& band(int b) const { return score.BandStats[static_cast<std::size_t>(b)]; }
  const BandStat& total() const { return score.BandStats[ScoreTable::kTotalRow]; }
  std::string mlt(int k) const { return std::string(log[k].Mlt.trimmed()); }

  LogData log;
  ContestDefinition def = allBands();
  SectionList sections;
  ScoreTable score;
};

}  // namespace

TEST_F(Search, SameCallOnABandInAnyModeIsADupe) {
  add(qso("7", "CW", "JA1AAA", "13M"));
  add(qso("7", "SSB", "JA1AAA", "13M"));
  add(qso("7", "CW", "JA1AAA", "13M"));
  add(qso("14", "CW", "JA1AAA", "13M"));
  run();
  EXPECT_EQ(log[1].Dupe, 0);
  EXPECT_EQ(log[1].Points, 1);
  for (int k : {2, 3}) {
    EXPECT_EQ(log[k].Dupe, 1);
    EXPECT_EQ(log[k].Points, 0);
    EXPECT_EQ(mlt(k), "");
  }
  EXPECT_EQ(log[4].Dupe, 0);
  EXPECT_EQ(band(2).QsoCount, 3);
  EXPECT_EQ(band(2).DupeCount, 2);
  EXPECT_EQ(band(2).PointSum, 1);
  EXPECT_EQ(total().QsoCount, 4);
}

TEST_F(Search, OneCharacterPortableSuffixIsDroppedTwoAreNot) {
  add(qso("7", "CW", "JA1AAA/1", "1"));
  add(qso("7", "CW", "JA1AAA", "2"));
  add(qso("7", "CW", "JA1AAA/P", "3"));
  add(qso("14", "CW", "JA1AAA/MM", "4"));
  add(qso("14", "CW", "JA1AAA", "5"));
  add(qso("14", "CW", "/1", "6"));
  add(qso("14", "CW", "", "7"));
  run();
  EXPECT_EQ(log[2].Dupe, 1);
  EXPECT_EQ(log[3].Dupe, 1);
  EXPECT_EQ(log[4].Dupe, 0);
  EXPECT_EQ(log[5].Dupe, 0);
  EXPECT_EQ(log[6].Dupe, 0);
  EXPECT_EQ(log[7].Dupe, 1);  // "/1" without its suffix is the empty call
}

TEST_F(Search, PointsByPointType) {
  def.ExchtoMlt = 0;
  def.SearchEntityFile = 1;
  def.PointType = 2;
  add(qso("7", "CW", "JA1AAA"));   // AS and JA: PointC
  add(qso("7", "CW", "HL1AAA"));   // AS: PointB
  add(qso("7", "CW", "W1AW"));     // elsewhere: PointA
  add(qso("7", "CW", "ZZ1ZZ"));    // unknown: 0
  add(qso("7", "CW", "JD1BME"));   // JA but in OC: PointA
  run();
  EXPECT_EQ(log[1].Points, 3);
  EXPECT_EQ(log[2].Points, 2);
  EXPECT_EQ(log[3].Points, 1);
  EXPECT_EQ(log[4].Points, 0);
  EXPECT_EQ(log[5].Points, 1);
  EXPECT_EQ(mlt(1), "JA");
  EXPECT_EQ(mlt(5), "");  // JA already found on 7 MHz
  EXPECT_EQ(mlt(4), "");  // no entity, no multiplier

  // Without the country look-up the continent stays empty: no points.
  def.SearchEntityFile = 0;
  run();
  for (int k = 1; k <= 5; ++k) EXPECT_EQ(log[k].Points, 0) << k;

  // Any other rule keeps the points each record has.
  def.PointType = 7;
  log[1].Points = 9;
  log[2].Points = -4;
  def.MltSearch = 4;
  run();
  EXPECT_EQ(log[1].Points, 9);
  EXPECT_EQ(log[2].Points, -4);
  EXPECT_EQ(band(2).PointSum, 5);
}

TEST_F(Search, KeysFromEntityExchangeAndPowerLetter) {
  def.SearchEntityFile = 1;
  def.ExchtoMlt = 0;
  def.MltSearch = 1;
  add(qso("7", "CW", "KH0/JA1AAA", "13M"));
  add(qso("7", "CW", "JA1AAA/KH0", "13M"));
  run();
  EXPECT_EQ(mlt(1), "KH0");
  EXPECT_EQ(mlt(2), "");

  // The received exchange wins over the entity.
  def.ExchtoMlt = 1;
  run();
  EXPECT_EQ(mlt(1), "13M");

  // The power letter is no part of the key; without one nothing scores.
  def.SentJarlCode = 1;
  add(qso("7", "CW", "JA2BBB", "13H"));
  add(qso("7", "CW", "JA3CCC", "25"));
  add(qso("7", "CW", "JA4DDD", ""));
  add(qso("7", "CW", "JA5EEE", "東京Ｍ"));
  run();
  EXPECT_EQ(mlt(1), "13");
  EXPECT_EQ(log[1].Points, 1);
  EXPECT_EQ(mlt(3), "");  // 13 again
  EXPECT_EQ(log[3].Points, 1);
  for (int k : {4, 5}) {
    EXPECT_EQ(log[k].Points, 0) << k;
    EXPECT_EQ(mlt(k), "") << k;
  }
  EXPECT_EQ(mlt(6), "東京");
  EXPECT_EQ(band(2).QsoCount, 6);
  EXPECT_EQ(band(2).PointSum, 4);
  EXPECT_EQ(band(2).MltCount, 2);
}

TEST_F(Search, SectionListDecidesKnownKeys) {
  def.SearchSectionFile = 1;
  sections.add("1301");
  sections.add("");
  add(qso("7", "CW", "JA1AAA", "1301"));
  add(qso("7", "CW", "JA1BBB", "9999"));
  add(qso("7", "CW", "JA1CCC", ""));
  run();
  EXPECT_EQ(mlt(1), "1301");
  EXPECT_EQ(log[2].Points, 0);
  EXPECT_EQ(mlt(2), "");
  // The blank section makes the empty key known, but an empty key is no
  // multiplier text.
  EXPECT_EQ(log[3].Points, 1);
  EXPECT_EQ(band(2).QsoCount, 3);
  EXPECT_EQ(band(2).MltCount, 1);
  EXPECT_EQ(band(2).PointSum, 2);
}

TEST_F(Search, CategoryBandAndMode) {
  add(qso("7", "CW", "JA1AAA", "1"));
  add(qso("14", "CW", "JA1BBB", "2"));
  add(qso("14", "CW", "JA1BBB", "2"));
  add(qso("7", "SSB", "JA1CCC", "3"));
  run(0, 3);  // 7 MHz only
  EXPECT_EQ(log[2].Points, 0);
  EXPECT_EQ(mlt(2), "");
  EXPECT_EQ(log[3].Dupe, 1);  // the dupe rule still applies
  EXPECT_EQ(band(4).QsoCount, 0);
  EXPECT_EQ(band(4).DupeCount, 1);
  EXPECT_EQ(band(4).MltCount, 0);
  EXPECT_EQ(band(2).QsoCount, 2);

  run(2, 0);  // CW only
  EXPECT_EQ(log[4].Points, 0);
  EXPECT_EQ(mlt(4), "");
  EXPECT_EQ(band(2).QsoCount, 1);
  run(1, 0);  // phone only
  EXPECT_EQ(log[4].Points, 1);
  EXPECT_EQ(log[1].Points, 0);

  log.clear();
  add(qso("10.1G", "FM", "JA1AAA", "1"));
  add(qso("24G", "FM", "JA1BBB", "2"));
  add(qso("5600", "FM", "JA1CCC", "3"));
  run(0, 13);
  EXPECT_EQ(log[1].Points, 1);
  EXPECT_EQ(log[2].Points, 1);
  EXPECT_EQ(log[3].Points, 0);
  EXPECT_EQ(band(15).QsoCount, 2);
}

TEST_F(Search, AllAsianCountsJapanWithoutMultiplier) {
  def.ExchtoMlt = 0;
  def.SearchEntityFile = 1;
  def.PointType = 1;
  for (std::int16_t no : {5, 6}) {
    def.ContestNo = no;
    log.clear();
    add(qso("7", "CW", "JA1AAA"));
    add(qso("7", "CW", "HL1AAA"));
    run();
    EXPECT_EQ(log[1].Points, 0);
    EXPECT_EQ(mlt(1), "");
    EXPECT_EQ(log[2].Points, 1);
    EXPECT_EQ(mlt(2), "HL");
    EXPECT_EQ(band(2).PointSum, 2);  // the JA QSO's points stay in the sum
    EXPECT_EQ(band(2).MltCount, 1);
  }
}

TEST_F(Search, MultiplierScopes) {
  add(qso("7", "CW", "JA1AAA", "10"));
  add(qso("14", "CW", "JA1BBB", "10"));
  add(qso("7", "SSB", "JA1CCC", "10"));
  add(qso("7", "CW", "JA1DDD", "10"));
  const std::vector<std::vector<std::string>> expected = {
      {"", "", "", ""},        // 0: none
      {"10", "", "", ""},      // 1: once per contest
      {"10", "10", "", ""},    // 2: once per band
      {"10", "10", "10", ""},  // 3: once per band and mode
      {"10", "10", "10", "10"} // any other: every QSO
  };
  for (std::int16_t scope = 0; scope <= 4; ++scope) {
    def.MltSearch = scope;
    run();
    for (int k = 1; k <= 4; ++k) EXPECT_EQ(mlt(k), expected[scope][k - 1]) << scope << "/" << k;
  }
  // With no multipliers every record shows 0 points, the sum keeps them.
  def.MltSearch = 0;
  run();
  for (int k = 1; k <= 4; ++k) EXPECT_EQ(log[k].Points, 0);
  EXPECT_EQ(total().PointSum, 4);
  EXPECT_EQ(score.TotalScore, 0);
}

TEST_F(Search, LongKeysAreCutInTheRecordOnly) {
  add(qso("7", "CW", "JA1AAA", "ABCDEFGHIJ"));
  add(qso("7", "CW", "JA1BBB", "ABCDEFGHIK"));
  run();
  EXPECT_EQ(mlt(1), "ABCDEFG");
  EXPECT_EQ(mlt(2), "ABCDEFG");
  EXPECT_EQ(band(2).MltCount, 2);
  ASSERT_EQ(score.MltListCount(), 2);
  EXPECT_EQ(score.MltList[0].MltKey, "ABCDEFGHIJ");
}

TEST_F(Search, BandsNotEnabled) {
  def.BandEnabled[4] = 0;
  def.BandEnabled[5] = 2;
  QsoRecord r = qso("14", "CW", "JA1AAA", "1", 5);
  r.Dupe = 1;
  add(r);
  r = qso("14", "CW", "JA1BBB", "2", 7);
  r.Mlt = "OLD";
  add(r);
  add(qso("18", "CW", "JA1CCC", "3", 4));
  add(qso("7", "CW", "JA1DDD", "4"));
  run();
  EXPECT_EQ(log[1].Dupe, 1);  // stored dupe flag unchanged
  EXPECT_EQ(log[2].Dupe, 0);
  for (int k = 1; k <= 3; ++k) {
    EXPECT_EQ(log[k].Points, 0) << k;
    EXPECT_EQ(mlt(k), "") << k;
  }
  EXPECT_EQ(band(4).QsoCount, 2);
  EXPECT_EQ(band(4).DupeCount, 1);
  EXPECT_EQ(band(4).PointSum, 7);  // the stored points of the non-dupe
  EXPECT_EQ(band(5).PointSum, 4);
  EXPECT_EQ(total().QsoCount, 1);
  EXPECT_EQ(total().DupeCount, 0);
  EXPECT_EQ(total().PointSum, 1);
  EXPECT_EQ(total().MltCount, 1);
}

TEST_F(Search, Totals) {
  score.TotalScore = 777;
  run();  // empty log
  for (const BandStat& s : score.BandStats) {
    EXPECT_EQ(s.QsoCount, 0);
    EXPECT_EQ(s.PointSum, 0);
  }
  EXPECT_EQ(score.TotalScore, 0);  // 0 multipliers × 0 points

  add(qso("7", "CW", "JA1AAA", "1"));
  add(qso("14", "CW", "JA1BBB", "2"));
  add(qso("14", "CW", "JA1CCC", "2"));
  def.BandPoints[4].PointA = 10;
  def.TotalPoint = 1;
  run();
  EXPECT_EQ(score.TotalScore, 21);
  def.TotalPoint = 2;
  run();
  EXPECT_EQ(total().MltCount, 2);
  EXPECT_EQ(score.TotalScore, 42);
  def.TotalPoint = 3;
  score.TotalScore = 777;
  run();
  EXPECT_EQ(score.TotalScore, 777);
  log.clear();
  def.TotalPoint = 1;
  run();
  EXPECT_EQ(score.TotalScore, 0);
}

TEST_F(Search, ScoreBeyond32BitsIsKeptWhole) {
  def.BandPoints[2].PointA = 32767;
  def.TotalPoint = 2;
  for (int i = 0; i < 1000; ++i) add(qso("7", "CW", "JA" + std::to_string(i), std::to_string(i)));
  score.TotalScore = 123;
  run();
  EXPECT_EQ(total().PointSum, 32767000);
  EXPECT_EQ(total().MltCount, 1000);
  EXPECT_EQ(score.TotalScore, 32767000000LL);
}

// A band text no rule knows (an import's "145", "430K", an empty band) is a
// QSO on a band that is not enabled: stored dupe mark kept, no points, no
// multiplier, counted in no band row and so in no total.
TEST_F(Search, UnknownBandTextIsABandNotEnabledCountedNowhere) {
  QsoRecord r = qso("145", "CWW", "JA1AAA", "1", 5);
  r.Dupe = 1;
  r.Mlt = "OLD";
  add(r);
  add(qso("430K", "FM", "JA1BBB", "2", 3));
  add(qso("14", "CW", "JA1CCC", "3"));
  add(qso("", "CW", "JA1DDD", "4", 2));
  add(qso("145", "CW", "JA1AAA", "1"));
  def.BandPoints[4].PointA = 10;
  def.TotalPoint = 1;
  run();
  EXPECT_EQ(log[1].Dupe, 1);  // stored dupe mark kept
  EXPECT_EQ(log[5].Dupe, 0);  // no dupe rule on such a band
  for (int k : {1, 2, 4, 5}) {
    EXPECT_EQ(log[k].Points, 0) << k;
    EXPECT_EQ(mlt(k), "") << k;
  }
  EXPECT_EQ(mlt(3), "3");
  for (int b = 0; b < 16; ++b) EXPECT_EQ(band(b).QsoCount, b == 4 ? 1 : 0) << b;
  EXPECT_EQ(band(6).PointSum, 0);  // not 21 MHz (the band of no QSO before it)
  EXPECT_EQ(total().QsoCount, 1);
  EXPECT_EQ(total().DupeCount, 0);
  EXPECT_EQ(total().PointSum, 10);
  EXPECT_EQ(total().MltCount, 1);
  EXPECT_EQ(score.TotalScore, 10);
  // The first QSO too: nothing is counted on 1.8 MHz.
  log.clear();
  add(qso("145", "CW", "JA1AAA", "1"));
  run();
  EXPECT_EQ(band(0).QsoCount, 0);
  EXPECT_EQ(total().QsoCount, 0);
}

TEST_F(Search, RecordsKeepNumberOrderAndRemarks) {
  QsoRecord r = qso("7", "CW", "JA1AAA", "1");
  r.Remarks = "QSL via bureau";
  r.TestNo = 3;
  add(r);
  add(qso("7", "CW", "JA1BBB", "2"));
  log[2].QsoNo = 40;

  struct Spy : Progress {
    std::vector<std::string> labels;
    int max = 0, last = 0, finished = 0;
    void start(int m) override { max = m; }
    void step(int v) override { last = v; }
    void label(const char* t) override { labels.emplace_back(t); }
    void finish() override { ++finished; }
  } spy;
  LogDataSearch(log, def, sampleCty(), sections, 0, 0, score, spy);
  EXPECT_EQ(log[1].Remarks.trimmed(), "QSL via bureau");
  EXPECT_EQ(log[1].TestNo, 3);
  EXPECT_EQ(log[2].QsoNo, 40);
  EXPECT_EQ(spy.max, 2);
  EXPECT_EQ(spy.last, 2);
  EXPECT_EQ(spy.finished, 1);
  ASSERT_EQ(spy.labels.size(), 2u);
  EXPECT_EQ(spy.labels[0], "DUPE CHECK DATA  No. 1  JA1AAA");
  EXPECT_EQ(spy.labels[1], "DUPE CHECK DATA  No. 40  JA1BBB");
}

// ---------------------------------------------------------------------------
// The rules read plainly: every list searched from the front, every country
// look-up scanning its bucket. The indexed search must give the same result
// on any log.

namespace reference {

std::vector<std::string> chars(std::string_view s) {
  std::vector<std::string> out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t from = i;
    utf8::next(s, i);
    out.emplace_back(s.substr(from, i - from));
  }
  return out;
}

std::string join(const std::vector<std::string>& c, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n && i < c.size(); ++i) s += c[i];
  return s;
}

void entitySearch(const CtyTables& t, const std::string& callIn, std::string& entity,
                  std::string& continent) {
  entity = "";
  std::string call = callIn;
  int b = CtyTables::BucketOf(call);
  if (b >= 0)
    for (const CtyEntry& e : t.CtyCallTable(b))
      if (e.Key == call) {
        entity = e.Entity;
        continent = e.Continent;
        return;
      }
  const std::size_t slash = call.find('/');
  if (slash != std::string::npos) {
    const std::string left = call.substr(0, slash), right = call.substr(slash + 1);
    const std::size_t l = chars(utf8::trim(left)).size(), r = chars(utf8::trim(right)).size();
    if (l > r && r > 1 && right != "QRP") call = right + "/" + left;
  }
  b = CtyTables::BucketOf(call);
  if (b < 0) return;
  const auto c = chars(call);
  for (int n = static_cast<int>(c.size()) - 1; n >= 1; --n) {
    const std::string p = join(c, static_cast<std::size_t>(n));
    for (const CtyEntry& e : t.CtyPrefixTable(b))
      if (e.Key == p) {
        entity = e.Entity;
        continent = e.Continent;
        return;
      }
  }
}

struct Triple {
  std::string a, b, c;
};

void search(LogData& log, const ContestDefinition& def, const CtyTables& cty,
            const std::vector<std::string>& sectionList, int cateMode, int cateBand,
            ScoreTable& score) {
  static const char* const kBands[] = {"1.8", "3.5", "7",   "10",  "14",   "18",   "21",   "24",
                                       "28",  "50",  "144", "430", "1200", "2400", "5600", "10.1G"};
  static const char* const kCateBands[] = {"",    "1.8", "3.5",  "7",    "14",   "21",   "28",
                                           "50",  "144", "430",  "1200", "2400", "5600", "10.1G"};
  for (auto& s : score.BandStats) s = BandStat{};
  score.MltList.clear();
  std::vector<Triple> dupes;
  for (int k = 1; k <= log.count(); ++k) {
    QsoRecord q = log[k];
    const std::string band(q.Band.trimmed()), mode(q.Mode.trimmed());
    int b = -1;
    for (int i = 0; i < 16; ++i)
      if (band == kBands[i]) b = i;
    if (b < 0 && !band.empty() && band.back() == 'G') b = 15;
    // A band text no rule knows is a band that is not enabled, counted nowhere.
    const bool on = b >= 0 && def.BandEnabled[b] == 1;
    std::string key, continent;
    int status = 0, notFound = 0;
    if (on) {
      std::string call(q.CallSign.trimmed());
      auto c = chars(call);
      if (c.size() >= 2 && c[c.size() - 2] == "/") call = join(c, c.size() - 2);
      bool found = false;
      for (const Triple& d : dupes)
        if (d.a == call && d.b == band) {
          found = true;
          break;
        }
      if (found) {
        q.Dupe = 1;
        q.Points = 0;
      } else {
        dupes.push_back({call, band, mode});
        q.Dupe = 0;
        if (def.SearchEntityFile == 1) entitySearch(cty, call, key, continent);
        if (def.ExchtoMlt == 1) key = std::string(q.RcvdNo.trimmed());
        if (def.SentJarlCode == 1) {
          auto kc = chars(key);
          if (!kc.empty() && !(kc.back().size() == 1 && kc.back()[0] >= '0' && kc.back()[0] <= '9')) {
            key = join(kc, kc.size() - 1);
          } else {
            key = std::string(q.RcvdNo.trimmed());
            status = 2;
          }
        }
        if (def.SearchSectionFile == 1 && status == 0) {
          notFound = 1;
          for (const std::string& s : sectionList)
            if (s == key) {
              notFound = 0;
              break;
            }
          if (notFound == 1) status = 1;
        }
        const BandPoint& p = def.BandPoints[b];
        if (def.PointType == 1) q.Points = p.PointA;
        if (def.PointType == 2) {
          if (continent == "AS") q.Points = key == "JA" ? p.PointC : p.PointB;
          else if (continent.empty()) q.Points = 0;
          else q.Points = p.PointA;
        }
        if (status == 2 || notFound == 1) q.Points = 0;
      }
    }
    if (cateBand >= 1 && cateBand <= 13) {
      const bool outside = cateBand == 13
                               ? band != "10.1G" && q.Band.view().find('G') == std::string_view::npos
                               : band != kCateBands[cateBand];
      if (outside) {
        q.Points = 0;
        status = 3;
      }
    }
    if ((cateMode == 1 && mode != "SSB" && mode != "FM" && mode != "AM") ||
        (cateMode == 2 && mode != "CW")) {
      q.Points = 0;
      status = 3;
    }
    BandStat nowhere;
    BandStat& s = b >= 0 ? score.BandStats[b] : nowhere;
    if (status != 3) ++s.QsoCount;
    if (q.Dupe == 1) ++s.DupeCount;
    else s.PointSum += q.Points;
    if ((def.ContestNo == 5 || def.ContestNo == 6) && key == "JA") status = 1;
    if (!on || def.MltSearch == 0 || status != 0) {
      q.Points = 0;
      q.Mlt = "";
    } else {
      bool match = false;
      for (const MltEntry& m : score.MltList) {
        if (def.MltSearch == 1) match = m.MltKey == key;
        else if (def.MltSearch == 2) match = m.MltKey == key && m.Band == band;
        else if (def.MltSearch == 3) match = m.MltKey == key && m.Band == band && m.Mode == mode;
        if (match) break;
      }
      if (!match) {
        score.MltList.push_back({key, band, mode});
        q.Mlt = key;
      } else {
        q.Mlt = "";
      }
    }
    if (!q.Mlt.trimmed().empty()) ++s.MltCount;
    log[k] = q;
  }
  BandStat& t = score.BandStats[16];
  for (int b = 0; b < 16; ++b)
    if (def.BandEnabled[b] == 1) {
      t.QsoCount += score.BandStats[b].QsoCount;
      t.DupeCount += score.BandStats[b].DupeCount;
      t.PointSum += score.BandStats[b].PointSum;
      t.MltCount += score.BandStats[b].MltCount;
    }
  if (def.TotalPoint == 1) score.TotalScore = t.PointSum;
  if (def.TotalPoint == 2) {
    score.TotalScore = static_cast<std::int64_t>(t.MltCount) * t.PointSum;
  }
}

}  // namespace reference

TEST(SearchCrossCheck, IndexedSearchMatchesThePlainReading) {
  std::mt19937 rng(20240601);
  auto pick = [&](const auto& v) { return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)]; };
  auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
  auto small = [&](int lo, int hi) { return static_cast<std::int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng)); };

  const std::vector<std::string> bandTexts = {"1.8", "3.5", "7", "14", "21", "28", "50", "144",
                                              "430", "1200", "10.1G", "24G", "430K", "", " 7", "x"};
  std::vector<std::string> manyBandTexts;  // more texts than a bit mask holds
  for (int i = 0; i < 100; ++i) manyBandTexts.push_back(std::to_string(i) + "G");
  const std::vector<std::string> modes = {"CW", "SSB", "FM", "AM", "RTTY", "", "cw"};
  const std::vector<std::string> homes = {"JA1AAA", "JA1AAB", "JE2XYZ", "7K3ABC", "HL1ZZ", "W1AW",
                                          "K2ABC", "IK2QQQ", "ZZ9ZZ", "JD1BME", "ja1aaa", "東京1"};
  const std::vector<std::string> suffixes = {"", "", "", "/1", "/P", "/KH0", "/QRP", "/MM", "/"};
  const std::vector<std::string> exchanges = {"13", "13M", "13H", "25P", "1301", "1301M", "JA",
                                              "", "100L", "ABCDEFGHIJ", "東京Ｍ"};

  for (int round = 0; round < 400; ++round) {
    ContestDefinition def;
    for (auto& e : def.BandEnabled) e = chance(80) ? 1 : small(0, 2);
    for (auto& p : def.BandPoints) p = BandPoint{small(-2, 10), small(0, 10), small(0, 10)};
    def.MltSearch = small(0, 4);
    def.PointType = small(0, 3);
    def.TotalPoint = small(0, 3);
    def.SentJarlCode = chance(30) ? 1 : 0;
    def.ExchtoMlt = chance(60) ? 1 : 0;
    def.SearchEntityFile = chance(50) ? 1 : 0;
    def.SearchSectionFile = chance(30) ? 1 : 0;
    def.ContestNo = small(0, 8);
    SectionList sections;
    std::vector<std::string> sectionTexts;
    for (const std::string& e : exchanges)
      if (chance(40)) {
        sections.add(e);
        sectionTexts.push_back(e);
      }
    const std::int16_t cateMode = small(0, 3), cateBand = chance(50) ? 0 : small(0, 14);

    LogData log;
    const int n = std::uniform_int_distribution<int>(0, round % 10 == 0 ? 1500 : 150)(rng);
    for (int i = 0; i < n; ++i) {
      QsoRecord r;
      r.Band = round % 10 == 0 ? pick(manyBandTexts) : pick(bandTexts);
      r.Mode = pick(modes);
      r.CallSign = pick(homes) + pick(suffixes);
      if (chance(10)) r.CallSign = "KH0/" + pick(homes);
      r.RcvdNo = pick(exchanges);
      r.Points = small(-3, 9);
      r.Dupe = small(0, 2);
      r.Mlt = chance(20) ? "OLD" : "";
      r.Remarks = "r" + std::to_string(i);
      log.append(r);
    }
    LogData expectLog = log;
    ScoreTable got, want;
    got.TotalScore = want.TotalScore = 99;
    LogDataSearch(log, def, sampleCty(), sections, cateMode, cateBand, got, noProgress());
    reference::search(expectLog, def, sampleCty(), sectionTexts, cateMode, cateBand, want);

    SCOPED_TRACE("round " + std::to_string(round));
    for (int k = 1; k <= n; ++k) {
      ASSERT_EQ(log[k].Dupe, expectLog[k].Dupe) << k;
      ASSERT_EQ(log[k].Points, expectLog[k].Points) << k;
      ASSERT_EQ(log[k].Mlt.view(), expectLog[k].Mlt.view()) << k;
      ASSERT_EQ(log[k].Remarks.view(), expectLog[k].Remarks.view()) << k;
    }
    for (int b = 0; b < 17; ++b) {
      const BandStat& g = got.BandStats[static_cast<std::size_t>(b)];
      const BandStat& w = want.BandStats[static_cast<std::size_t>(b)];
      ASSERT_EQ(g.QsoCount, w.QsoCount) << b;
      ASSERT_EQ(g.DupeCount, w.DupeCount) << b;
      ASSERT_EQ(g.PointSum, w.PointSum) << b;
      ASSERT_EQ(g.MltCount, w.MltCount) << b;
    }
    ASSERT_EQ(got.TotalScore, want.TotalScore);
    ASSERT_EQ(got.MltList.size(), want.MltList.size());
    for (std::size_t i = 0; i < got.MltList.size(); ++i) {
      ASSERT_EQ(got.MltList[i].MltKey, want.MltList[i].MltKey);
      ASSERT_EQ(got.MltList[i].Band, want.MltList[i].Band);
      ASSERT_EQ(got.MltList[i].Mode, want.MltList[i].Mode);
    }
  }
}

TEST(SearchCrossCheck, EntitySearchMatchesTheBucketScanOnTheRealFile) {
  std::string text;
  if (!fileio::readAll("/usr/share/hamradio-files/cty.dat", text)) GTEST_SKIP() << "no country file";
  CtyTables t;
  ASSERT_TRUE(CtyParse(text, t));
  std::vector<std::string> calls;
  std::mt19937 rng(7);
  for (int b = 0; b < CtyTables::kBucketCount; ++b) {
    for (const auto* table : {&t.CtyPrefixTable(b), &t.CtyCallTable(b)})
      for (std::size_t i = 0; i < table->size(); i += 7) {
        const std::string& key = (*table)[i].Key;
        calls.push_back(key);
        calls.push_back(key + "1AB");
        calls.push_back("JA1ABC/" + key);
        calls.push_back(key + "/P");
        calls.push_back(key.substr(0, key.size() / 2 + 1) + std::to_string(rng() % 100));
      }
  }
  for (const std::string& call : calls) {
    std::string e1, c1, e2, c2;
    t.EntitySearch(call, e1, c1);
    reference::entitySearch(t, call, e2, c2);
    ASSERT_EQ(e1, e2) << call;
    ASSERT_EQ(c1, c2) << call;
  }
}
