// The score values the summary window shows.
#include <gtest/gtest.h>

#include <climits>

#include "log/settings.h"
#include "contest/contestdef.h"
#include "contest/score.h"

namespace {

TEST(ScoreFormat, GroupsOfThree) {
  EXPECT_EQ(score::FormatCount(0), "0");
  EXPECT_EQ(score::FormatCount(999), "999");
  EXPECT_EQ(score::FormatCount(1000), "1,000");
  EXPECT_EQ(score::FormatCount(12345), "12,345");
  EXPECT_EQ(score::FormatCount(1234567), "1,234,567");
  EXPECT_EQ(score::FormatCount(-1234), "-1,234");
  EXPECT_EQ(score::FormatCount(INT64_MIN), "-9,223,372,036,854,775,808");
}

class Summary : public ::testing::Test {
 protected:
  void SetUp() override {
    def.BandEnabled[2] = 1;
    def.BandEnabled[6] = 1;
    table.BandStats[2] = {1000, 3, 1000, 40};
    table.BandStats[6] = {234, 0, 234, 16};
    table.BandStats[9] = {7, 0, 7, 1};  // a band the contest does not count
    table.BandStats[16] = {1234, 3, 1234, 56};
    table.TotalScore = 1234 * 56;
    s.JarlFdKeisu = 2;
  }
  score::SummaryView load() { return score::ScoreLoad(table, def, s, "2024年08月04日"); }

  ContestDefinition def;
  ScoreTable table;
  Settings s;
};

TEST_F(Summary, FieldDayFormulaShowsTheCoefficient) {
  def.FdKeisuEnabled = 1;
  const score::SummaryView v = load();
  EXPECT_EQ(v.Rows[2].QsoCount, "1,000");
  EXPECT_EQ(v.Rows[2].MltCount, "40");
  EXPECT_EQ(v.Rows[16].PointSum, "1,234");
  EXPECT_EQ(v.TotalPoints, "1,234");
  EXPECT_EQ(v.TotalMlt, "56");
  EXPECT_EQ(v.Coefficient, "2");
  EXPECT_EQ(v.Score, "138,208");
  EXPECT_TRUE(v.ShowFormula);
  EXPECT_TRUE(v.ShowCoefficient);
  // Bands the contest does not count keep empty cells in every column.
  for (int i : {0, 9, 15}) {
    EXPECT_FALSE(v.Rows[i].QsoCount || v.Rows[i].PointSum || v.Rows[i].MltCount) << i;
  }
}

TEST_F(Summary, WithoutCoefficientTheProductIgnoresIt) {
  const score::SummaryView v = load();
  EXPECT_FALSE(v.ShowCoefficient);
  EXPECT_EQ(v.Score, "69,104");
}

TEST_F(Summary, PointsOnlyContestShowsZeroScoreButSubmitsThePoints) {
  def.TotalPoint = 1;
  table.BandStats[16].MltCount = 0;
  table.TotalScore = 1234;
  EXPECT_EQ(load().Score, "0");
  EXPECT_EQ(score::SubmittedScore(table, def, s.JarlFdKeisu), 1234);
}

TEST_F(Summary, PartiesFillQsoCountsOnlyAndHideTheFormula) {
  def.FdKeisuEnabled = 1;
  for (int kind = 0; kind < 2; ++kind) {
    ContestDefinition d = def;
    (kind == 0 ? d.DqpEnabled : d.NYPEnabled) = 1;
    const score::SummaryView v = score::ScoreLoad(table, d, s, "");
    EXPECT_EQ(v.Rows[2].QsoCount, "1,000");
    EXPECT_EQ(v.Rows[16].QsoCount, "1,234");
    EXPECT_FALSE(v.Rows[2].PointSum || v.Rows[16].MltCount);
    EXPECT_FALSE(v.TotalPoints || v.TotalMlt || v.Score);
    EXPECT_FALSE(v.ShowFormula);
    EXPECT_FALSE(v.ShowCoefficient);
  }
}

TEST_F(Summary, ScoreBeyond32BitsShowsItsTrueValue) {
  def.FdKeisuEnabled = 1;
  table.BandStats[16] = {30000, 0, 2000000000, 30000};
  const score::SummaryView v = load();
  EXPECT_EQ(v.ScoreValue, 120000000000000LL);
  EXPECT_EQ(v.Score, "120,000,000,000,000");
}

TEST_F(Summary, StationFields) {
  s.JarlAddress = "a\r\nb";
  s.JarlPowerType = 1;
  score::SummaryView v = score::ScoreLoad(table, def, s, "2024年08月04日", "署名");
  EXPECT_EQ(v.Station.Text5, "a\r\nb");
  EXPECT_EQ(v.Station.Label18, "実測");
  EXPECT_EQ(v.Station.Label54, "2024年08月04日");
  EXPECT_EQ(v.Station.Label55, "署名");
  s.JarlPowerType = 2;
  EXPECT_EQ(load().Station.Label18, "定格");
}

// The summary carries the oath of the contest's kind, as the e-log does.
TEST_F(Summary, OathOfTheContestKind) {
  s.JarlOath = "contest";
  s.JarlDqpOath = "dqp";
  s.JarlNypOath = "nyp";
  EXPECT_EQ(load().Station.Text3, "contest");
  def.NYPEnabled = 1;
  EXPECT_EQ(load().Station.Text3, "nyp");
  def.DqpEnabled = 1;
  EXPECT_EQ(load().Station.Text3, "dqp");
}

}  // namespace
