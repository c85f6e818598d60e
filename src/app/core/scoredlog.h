// A log scored as the main window would score it, for the command-line
// tool: the settings file, the contest definition it names, the country
// file and a log file are read, nothing is asked, and the dupe and
// multiplier search runs once.
#pragma once
#include <string>

#include "log/settings.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/qso.h"

struct ScoredLog {
  Settings settings;
  ContestDefinition def;
  SectionList sections;
  CtyTables cty;
  LogData log;
  ScoreTable score;
  std::string cfgPath;  // the definition that was read
};

// The settings file and the contest definition it names, as LoadScoredLog
// reads them (no log, no country file). Messages of the definition's reading
// that did not stop it (a missing section file) go to *notes.
bool LoadStation(const std::string& programDir, ScoredLog& out, std::string* error,
                 std::string* notes = nullptr);

// Loads and scores the log at logPath with the program folder's settings.
// A log of another contest is read all the same. False with a readable
// reason in *error when the settings file, the contest definition, its
// section file, the country file (when the contest needs it) or the log
// cannot be read.
bool LoadScoredLog(const std::string& programDir, const std::string& logPath, ScoredLog& out,
                   std::string* error);

// The score table as text: one line per band (the electronic log's band
// labels) and "TOTAL", each "label TAB QsoCount TAB DupeCount TAB PointSum
// TAB MltCount", then "TotalScore TAB n". LF line ends.
std::string ScoreTableText(const ScoreTable& score);
