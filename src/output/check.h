// The check before the electronic log is made: what JARL's intake would
// refuse or re-class, and what would make the points or multipliers wrong,
// found in the log, the score table, the contest definition (with its entry
// rules, contest/contestrules.h) and the station data.
//
// The check window lists the findings and jumps to their QSOs:
//
//   const auto findings = check::CheckLog({log, def, score, settings, format});
//   for (const check::Finding& f : findings)
//     addRow(check::LevelText(f.level), f.qso, f.text);   // f.qso 0: the whole log
//   makeAnywayButton->setEnabled(true);                  // "このまま作成"
//
// Nothing is changed and nothing is recomputed: the score is the one the
// last dupe and multiplier search left.
#pragma once
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "contest/search.h"
#include "log/qso.h"
#include "output/elog.h"

struct ContestDefinition;
struct Settings;

namespace check {

enum class Level {
  Error,    // JARL would refuse the log or re-class it
  Warning,  // points or multipliers are likely wrong
  Note,
};

struct Finding {
  Level level = Level::Note;
  int qso = 0;       // the QSO's place in the log (1-based, its grid row); 0: the whole log
  std::string text;  // Japanese, one line
};

struct CheckSource {
  const LogData& log;
  const ContestDefinition& def;
  const ScoreTable& score;  // as the last search left it
  const Settings& settings;
  elog::ElogFormat format = elog::ElogFormat::R10;
  // The licence date of a newcomer entry (R2.1) once it was asked for;
  // nothing while it has not been.
  std::optional<std::string_view> licenseDate = std::nullopt;
};

// Every finding, errors first, then warnings, then notes; within a level the
// whole log first, then by QSO. A fault of the sent number that repeats is
// one finding at its first QSO, with the count of the others.
std::vector<Finding> CheckLog(const CheckSource& src);

// "error", "warning", "note".
std::string_view LevelName(Level level);
// "エラー", "警告", "注意".
std::string_view LevelText(Level level);
bool HasError(const std::vector<Finding>& findings);

}  // namespace check
