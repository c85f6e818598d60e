// The live index of the entry window: its dupe and multiplier answers against
// the full search, the partial check, and its place in the session.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/liveindex.h"
#include "contest/search.h"
#include "contest/session.h"
#include "log/progress.h"

namespace {

const CtyTables& sampleCty() {
  static const CtyTables t = [] {
    auto header = [](const std::string& name, const std::string& cont, const std::string& pfx) {
      std::string h = name + ":";
      h.resize(26, ' ');
      return h + "25:  45:  " + cont + ":   36.40:  -138.38:    -9.0:  " + pfx + ":\n";
    };
    CtyTables c;
    CtyParse(header("Japan", "AS", "JA") + "    JA,JE,7K;\n" + header("Korea", "AS", "HL") +
                 "    HL;\n" + header("United States", "NA", "K") + "    K,W;\n",
             c);
    return c;
  }();
  return t;
}

struct Typed {
  std::string call, band, mode, rcvd;
};

QsoRecord registered(const Typed& t) {
  QsoRecord r;
  r.CallSign = t.call;
  r.Band = t.band;
  r.Mode = t.mode;
  r.RcvdNo = t.rcvd;
  return r;
}

}  // namespace

// For every QSO of a generated log, the index built from the QSOs before it
// answers what the full search then marks on it.
TEST(LiveIndex, AnswersWhatTheSearchGivesTheAppendedQso) {
  std::mt19937 rng(20250301);
  auto pick = [&](const auto& v) { return v[std::uniform_int_distribution<std::size_t>(0, v.size() - 1)(rng)]; };
  auto chance = [&](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
  auto small = [&](int lo, int hi) { return static_cast<std::int16_t>(std::uniform_int_distribution<int>(lo, hi)(rng)); };
  const std::vector<std::string> bandTexts = {"7", "14", "21", "430", "10.1G", "24G", " 7", "x", "1.8"};
  const std::vector<std::string> modes = {"CW", "SSB", "FM", "", "cw"};
  const std::vector<std::string> calls = {"JA1AAA", "JA1AAA/1", "JA1AAA/P", "JA1AAA/QRP", "HL1ZZ",
                                          "W1AW", "JE2XYZ", "7K3ABC", "JA1AAB", "JA1VERYLONGCALL9"};
  const std::vector<std::string> exchanges = {"13", "13M", "13H", "25P", "JA", "", " 13M", "ABCDEFGHIJKL"};

  for (int round = 0; round < 150; ++round) {
    ContestDefinition def;
    for (auto& e : def.BandEnabled) e = chance(85) ? 1 : 0;
    for (auto& p : def.BandPoints) p = BandPoint{small(0, 5), small(0, 5), small(0, 5)};
    def.MltSearch = small(0, 4);
    def.PointType = small(0, 2);
    def.SentJarlCode = chance(30) ? 1 : 0;
    def.ExchtoMlt = chance(60) ? 1 : 0;
    def.SearchEntityFile = chance(40) ? 1 : 0;
    def.SearchSectionFile = chance(30) ? 1 : 0;
    def.ContestNo = small(4, 6);
    SectionList sections;
    for (const char* s : {"13", "25", "JA"})
      if (chance(50)) sections.add(s);
    const std::int16_t cateMode = small(0, 2), cateBand = chance(70) ? 0 : small(1, 13);

    std::vector<Typed> typed(static_cast<std::size_t>(small(1, 120)));
    for (Typed& t : typed) t = {pick(calls), pick(bandTexts), pick(modes), pick(exchanges)};
    LogData log;
    for (const Typed& t : typed) log.append(registered(t));
    ScoreTable score;
    LogDataSearch(log, def, sampleCty(), sections, cateMode, cateBand, score, noProgress());

    LiveIndex live;
    live.rebuild(LogData{}, def, sampleCty(), sections, cateMode, cateBand);
    SCOPED_TRACE("round " + std::to_string(round));
    for (std::size_t i = 0; i < typed.size(); ++i) {
      const Typed& t = typed[i];
      const int k = static_cast<int>(i) + 1;
      // Now and then built afresh from the QSOs so far instead of kept up to date.
      if (chance(5)) {
        LogData prefix;
        for (int j = 1; j < k; ++j) prefix.append(registered(typed[static_cast<std::size_t>(j - 1)]));
        live.rebuild(prefix, def, sampleCty(), sections, cateMode, cateBand);
      }
      const LiveCheck c = live.check({t.call, t.band, t.mode, t.rcvd});
      ASSERT_EQ(c.dupe, log[k].Dupe == 1) << k;
      ASSERT_EQ(c.newMlt, !log[k].Mlt.trimmed().empty()) << k;
      if (c.newMlt) {
        ASSERT_EQ(FixedText<7>(c.MltKey).view(), log[k].Mlt.view()) << k;
        // A key new to the list in every scope is new anywhere.
        if (def.MltSearch == 1) {
          ASSERT_TRUE(c.newKey) << k;
        }
      }
      live.add(registered(t));
    }
  }
}

TEST(LiveIndex, NewOnThisBandOrNewAtAll) {
  ContestDefinition def;
  def.BandEnabled.fill(1);
  def.MltSearch = 2;
  def.ExchtoMlt = 1;
  def.SentJarlCode = 1;
  LogData log;
  log.append(registered({"JA1AAA", "7", "CW", "13M"}));
  LiveIndex live;
  live.rebuild(log, def, sampleCty(), SectionList{}, 0, 0);

  struct Case {
    Typed q;
    bool dupe, newMlt, newKey;
    const char* key;
  } cases[] = {
      {{"JA1AAA", "7", "SSB", "13M"}, true, false, false, ""},    // dupe in another mode
      {{"JA1AAA/1", "7", "CW", "13M"}, true, false, false, ""},   // portable suffix dropped
      {{"JA1AAA", "14", "CW", "13M"}, false, true, false, "13"},  // new on 14, known on 7
      {{"JA2BBB", "7", "CW", "13H"}, false, false, false, "13"},  // worked key on 7
      {{"JA2BBB", "7", "CW", "25P"}, false, true, true, "25"},    // new at all
      {{"JA2BBB", "7", "CW", "25"}, false, false, false, "25"},   // no power letter
      {{"", "7", "CW", ""}, false, false, false, ""},
  };
  for (const Case& c : cases) {
    const LiveCheck got = live.check({c.q.call, c.q.band, c.q.mode, c.q.rcvd});
    EXPECT_EQ(got.dupe, c.dupe) << c.q.call << " " << c.q.band << " " << c.q.rcvd;
    EXPECT_EQ(got.newMlt, c.newMlt) << c.q.call << " " << c.q.band << " " << c.q.rcvd;
    EXPECT_EQ(got.newKey, c.newKey) << c.q.call << " " << c.q.band << " " << c.q.rcvd;
    EXPECT_EQ(got.MltKey, c.key) << c.q.call << " " << c.q.band << " " << c.q.rcvd;
  }
  // Nothing asked is remembered; a registered QSO is.
  EXPECT_TRUE(live.check({"JA2BBB", "7", "CW", "25P"}).newMlt);
  live.add(registered({"JA2BBB", "7", "CW", "25P"}));
  EXPECT_FALSE(live.check({"JA3CCC", "7", "CW", "25M"}).newMlt);
  EXPECT_TRUE(live.check({"JA2BBB", "7", "SSB", "25M"}).dupe);
  EXPECT_EQ(live.qsoCount(), 2u);

  LiveIndex none;  // never built: nothing known
  EXPECT_FALSE(none.check({"JA1AAA", "7", "CW", "13M"}).dupe);
  EXPECT_TRUE(none.partial("JA", "7").calls.empty());
}

TEST(LiveIndex, PartialCheckListsCallsHoldingTheTextInOrder) {
  ContestDefinition def;
  def.BandEnabled.fill(1);
  LogData log;
  for (const char* call : {"JA1ABC", "JH1ABC", "7K1ABC", "JA1XYZ/1", "JA1ABD", "JA1ABC"})
    log.append(registered({call, "7", "CW", "13M"}));
  log.append(registered({"W1ABC", "14", "CW", "13M"}));
  LiveIndex live;
  live.rebuild(log, def, sampleCty(), SectionList{}, 0, 0);

  auto calls = [&](const std::string& text, const std::string& band) {
    std::vector<std::string> out;
    for (const PartialMatch& m : live.partial(text, band).calls) out.push_back(m.CallSign + (m.dupe ? "*" : ""));
    return out;
  };
  using V = std::vector<std::string>;
  EXPECT_EQ(calls("ABC", "7"), (V{"7K1ABC*", "JA1ABC*", "JH1ABC*", "W1ABC"}));
  EXPECT_EQ(calls("ABC", "14"), (V{"7K1ABC", "JA1ABC", "JH1ABC", "W1ABC*"}));
  EXPECT_EQ(calls("1AB", "7"), (V{"7K1ABC*", "JA1ABC*", "JA1ABD*", "JH1ABC*", "W1ABC"}));
  EXPECT_EQ(calls("JA1X", "7"), (V{"JA1XYZ/1*"}));  // as logged; the dupe by the call without "/1"
  EXPECT_EQ(calls("A1ABC", "7"), (V{"JA1ABC*"}));
  EXPECT_EQ(calls("Q", "7"), V{});
  EXPECT_EQ(calls("", "7"), V{});
  EXPECT_EQ(calls(" JH ", "7"), (V{"JH1ABC*"}));

  // A call registered after the index was built is found with the others.
  live.add(registered({"JA1ABA", "21", "CW", "13M"}));
  EXPECT_EQ(calls("JA1AB", "21"), (V{"JA1ABA*", "JA1ABC", "JA1ABD"}));
}

// Against a plain filter of a sorted set, through rebuilds, registrations
// and enough new calls to fold the recent ones into the base.
TEST(LiveIndex, PartialCheckMatchesAPlainFilter) {
  std::mt19937 rng(99);
  ContestDefinition def;
  def.BandEnabled.fill(1);
  auto randomCall = [&] {
    static const char* const pfx[] = {"JA", "JH", "7K", "W", "HL", "JR"};
    std::string c = pfx[rng() % 6];
    c += static_cast<char>('0' + rng() % 10);
    for (int i = 0; i < 3; ++i) c += static_cast<char>('A' + rng() % 6);
    if (rng() % 10 == 0) c += "/P";
    return c;
  };
  LogData log;
  for (int i = 0; i < 1500; ++i) log.append(registered({randomCall(), "7", "CW", "1"}));
  LiveIndex live;
  live.rebuild(log, def, sampleCty(), SectionList{}, 0, 0);
  std::set<std::string> all;
  for (int k = 1; k <= log.count(); ++k) all.insert(std::string(log[k].CallSign.trimmed()));

  const std::vector<std::string> texts = {"J", "A", "/", "JA", "1A", "AB", "BC", "7K1", "ABC",
                                          "A1AB", "JH5ABC", "/P", "ZZ", "W9"};
  for (int step = 0; step < 6; ++step) {
    for (const std::string& text : texts) {
      std::vector<std::string> want;
      for (const std::string& c : all)
        if (c.find(text) != std::string::npos) want.push_back(c);
      const PartialCheck got = live.partial(text, "7");
      EXPECT_EQ(got.more, want.size() > LiveIndex::kPartialMax) << text;
      if (want.size() > LiveIndex::kPartialMax) want.resize(LiveIndex::kPartialMax);
      std::vector<std::string> gotCalls;
      for (const PartialMatch& m : got.calls) gotCalls.push_back(m.CallSign);
      ASSERT_EQ(gotCalls, want) << text << " step " << step;
    }
    for (int i = 0; i < 1800; ++i) {
      const std::string c = randomCall() + (step % 2 ? "X" : "");
      all.insert(c);
      live.add(registered({c, "7", "CW", "1"}));
    }
  }
}

// The session's search leaves the index answering for the log it scored.
TEST(LiveIndex, SessionSearchRebuildsIt) {
  char tmpl[] = "/tmp/tamarack_live_XXXXXX";
  ASSERT_NE(mkdtemp(tmpl), nullptr);
  {
    UnattendedSession run(tmpl);
    Session& s = run.session;
    s.Contest.BandEnabled.fill(1);
    s.Contest.MltSearch = 1;
    s.Contest.ExchtoMlt = 1;
    s.Doc.Log.append(registered({"JA1AAA", "7", "CW", "13"}));
    s.search();
    EXPECT_TRUE(s.Live.check({"JA1AAA", "7", "SSB", "13"}).dupe);
    EXPECT_FALSE(s.Live.check({"JA2AAA", "14", "CW", "13"}).newMlt);
    s.Doc.Log.erase(1);
    s.search();
    EXPECT_FALSE(s.Live.check({"JA1AAA", "7", "SSB", "13"}).dupe);
    EXPECT_TRUE(s.Live.check({"JA2AAA", "14", "CW", "13"}).newMlt);
  }
  std::filesystem::remove_all(tmpl);
}
