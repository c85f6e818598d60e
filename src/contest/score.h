// The score: the numbers the summary window shows and the total the
// electronic log submits, both taken from the score table the dupe and
// multiplier search left behind. Nothing here recomputes the search.
//
// How the summary window uses it (ScoreLoad):
//
//   const SummaryView v = ScoreLoad(score, def, settings, doc.State.TodayText);
//   for (int i = 0; i <= 16; ++i) {               // rows by band index, 16 = total
//     const SummaryRow& r = v.Rows[i];
//     if (r.QsoCount) Label7[i]->setText(*r.QsoCount);   // unset: leave the cell as it is
//     if (r.PointSum) Label8[i]->setText(*r.PointSum);
//     if (r.MltCount) Label9[i]->setText(*r.MltCount);
//   }
//   if (v.TotalPoints) Label58->setText(*v.TotalPoints);
//   if (v.TotalMlt)    Label59->setText(*v.TotalMlt);
//   if (v.Score)       Label46->setText(*v.Score);
//   Label60->setText(v.Coefficient);
//   // the caption "局種係数" (Label48(2)), the second "X" (Label47(1)) and Label60:
//   setVisible(v.ShowCoefficient);
//   // false hides Label58, Label59, Label60, Label46, Label47(0..2), Label48(0..3):
//   if (!v.ShowFormula) hideFormulaRow();
//   Label1->setText(v.Station.Label1); ... Text5->setPlainText(v.Station.Text5); ...
//
// ShowCoefficient is only ever true together with ShowFormula. Every number
// of the rows and of the formula row is already in the "##,##0" format;
// Coefficient is plain decimal. The score is 64-bit, so a score beyond the
// 32-bit range shows its true value.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "contest/search.h"

struct ContestDefinition;
struct Settings;

namespace score {

// "##,##0": decimal, "," between groups of three digits, at least one digit;
// a negative value gets a leading "-".
std::string FormatCount(std::int64_t value);

// True for the two QSO parties (DqpEnabled or NYPEnabled set): they count
// QSOs only, without points, multipliers or a score.
bool IsParty(const ContestDefinition& def);

// Total points × total multipliers of the total row, times jarlFdKeisu when
// the contest has the field-day coefficient. Independent of TotalPoint.
std::int64_t DisplayedScore(const ScoreTable& score, const ContestDefinition& def,
                            std::int16_t jarlFdKeisu);

// The total the electronic log submits: TotalScore, times jarlFdKeisu when
// the contest has the field-day coefficient (computed in 64 bits).
std::int64_t SubmittedScore(const ScoreTable& score, const ContestDefinition& def,
                            std::int16_t jarlFdKeisu);

// The text of the summary window's power-type field: "実測" for a measured
// power (JarlPowerType 1), else "定格".
const char* PowerTypeText(std::int16_t jarlPowerType);

// One row of the score table. An unset cell is left as the window has it.
struct SummaryRow {
  std::optional<std::string> QsoCount;  // Label7
  std::optional<std::string> PointSum;  // Label8
  std::optional<std::string> MltCount;  // Label9
};

// The station-data fields of the summary window, named by their controls.
// Text1..Text5 are multi-line (CR LF inside as the settings hold them).
struct SummaryStation {
  std::string Label1;   // JarlContest
  std::string Label4;   // JarlCallSign
  std::string Label5;   // JarlOperator
  std::string Label3;   // JarlCategory
  std::string Label2;   // JarlCateCode
  std::string Label17;  // JarlPower
  std::string Label18;  // "実測" / "定格"
  std::string Label13;  // JarlPsType
  std::string Label14;  // JarlUnyoChi
  std::string Text1;    // JarlSetsubi
  std::string Label20;  // JarlClubName
  std::string Label19;  // JarlClubNo
  std::string Text2;    // JarlOpsAndClass
  std::string Text5;    // JarlAddress
  std::string Label15;  // JarlName
  std::string Label16;  // JarlLicenseClass
  std::string Label42;  // JarlTelNo
  std::string Label43;  // JarlEmail
  std::string Text3;    // the oath of the contest's kind
  std::string Text4;    // JarlComment
  std::string Label54;  // TodayText
  std::string Label55;  // JarlSignature (kept by the log-making dialog; empty here)
};

// Everything ScoreLoad writes into the summary window.
struct SummaryView {
  std::array<SummaryRow, 17> Rows;         // band index 0..15, 16 = total
  std::optional<std::string> TotalPoints;  // Label58
  std::optional<std::string> TotalMlt;     // Label59
  std::optional<std::string> Score;        // Label46
  std::string Coefficient;                 // Label60, plain decimal ("" unless shown)
  bool ShowCoefficient = false;            // Label48(2), Label47(1), Label60
  bool ShowFormula = true;                 // false: the whole formula row hidden
  std::int64_t ScoreValue = 0;             // the displayed score as a number
  SummaryStation Station;
};

// The values of the summary window for the score table as the last search
// left it. signature fills Label55 when the caller has one.
SummaryView ScoreLoad(const ScoreTable& score, const ContestDefinition& def,
                      const Settings& settings, const std::string& todayText,
                      const std::string& signature = std::string());

}  // namespace score
