#include "contest/score.h"

#include "log/settings.h"
#include "contest/contestdef.h"

namespace score {

std::string FormatCount(std::int64_t value) {
  // Work on the magnitude as unsigned so the most negative value survives.
  const bool negative = value < 0;
  std::uint64_t v = negative ? ~static_cast<std::uint64_t>(value) + 1 : static_cast<std::uint64_t>(value);
  char buf[32];
  int pos = sizeof buf;
  int digits = 0;
  do {
    if (digits > 0 && digits % 3 == 0) buf[--pos] = ',';
    buf[--pos] = static_cast<char>('0' + v % 10);
    v /= 10;
    ++digits;
  } while (v != 0);
  if (negative) buf[--pos] = '-';
  return std::string(buf + pos, sizeof buf - static_cast<std::size_t>(pos));
}

bool IsParty(const ContestDefinition& def) { return def.DqpEnabled != 0 || def.NYPEnabled != 0; }

std::int64_t DisplayedScore(const ScoreTable& score, const ContestDefinition& def,
                            std::int16_t jarlFdKeisu) {
  const BandStat& total = score.BandStats[ScoreTable::kTotalRow];
  std::int64_t s = static_cast<std::int64_t>(total.PointSum) * total.MltCount;
  if (def.FdKeisuEnabled == 1) s *= jarlFdKeisu;
  return s;
}

std::int64_t SubmittedScore(const ScoreTable& score, const ContestDefinition& def,
                            std::int16_t jarlFdKeisu) {
  std::int64_t s = score.TotalScore;
  if (def.FdKeisuEnabled == 1) s *= jarlFdKeisu;
  return s;
}

const char* PowerTypeText(std::int16_t jarlPowerType) {
  return jarlPowerType == 1 ? "実測" : "定格";
}

SummaryView ScoreLoad(const ScoreTable& score, const ContestDefinition& def,
                      const Settings& settings, const std::string& todayText,
                      const std::string& signature) {
  SummaryView v;
  const bool party = IsParty(def);
  for (int i = 0; i <= ScoreTable::kTotalRow; ++i) {
    if (i < ScoreTable::kTotalRow && def.BandEnabled[static_cast<std::size_t>(i)] != 1) continue;
    const BandStat& b = score.BandStats[static_cast<std::size_t>(i)];
    SummaryRow& r = v.Rows[static_cast<std::size_t>(i)];
    r.QsoCount = FormatCount(b.QsoCount);
    if (!party) {
      r.PointSum = FormatCount(b.PointSum);
      r.MltCount = FormatCount(b.MltCount);
    }
  }
  const BandStat& total = score.BandStats[ScoreTable::kTotalRow];
  if (!party) {
    v.TotalPoints = FormatCount(total.PointSum);
    v.TotalMlt = FormatCount(total.MltCount);
    v.ScoreValue = DisplayedScore(score, def, settings.JarlFdKeisu);
    v.Score = FormatCount(v.ScoreValue);
  }
  if (def.FdKeisuEnabled == 1) {
    v.ShowCoefficient = true;
    v.Coefficient = std::to_string(settings.JarlFdKeisu);
  }
  if (party) {
    v.ShowFormula = false;
    v.ShowCoefficient = false;
  }

  SummaryStation& st = v.Station;
  st.Label1 = settings.JarlContest;
  st.Label4 = settings.JarlCallSign;
  st.Label5 = settings.JarlOperator;
  st.Label3 = settings.JarlCategory;
  st.Label2 = settings.JarlCateCode;
  st.Label17 = settings.JarlPower;
  st.Label18 = PowerTypeText(settings.JarlPowerType);
  st.Label13 = settings.JarlPsType;
  st.Label14 = settings.JarlUnyoChi;
  st.Text1 = settings.JarlSetsubi;
  st.Label20 = settings.JarlClubName;
  st.Label19 = settings.JarlClubNo;
  st.Text2 = settings.JarlOpsAndClass;
  st.Text5 = settings.JarlAddress;
  st.Label15 = settings.JarlName;
  st.Label16 = settings.JarlLicenseClass;
  st.Label42 = settings.JarlTelNo;
  st.Label43 = settings.JarlEmail;
  st.Text3 = OathOf(settings, def);
  st.Text4 = settings.JarlComment;
  st.Label54 = todayText;
  st.Label55 = signature;
  return v;
}

}  // namespace score
