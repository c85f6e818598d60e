// What the commands that change a log share: an unattended Ui, the rules of
// the program folder's contest and a window without a screen.
#pragma once
#include <cstdio>
#include <optional>
#include <string>

#include "app/core/inifile.h"
#include "contest/contestdef.h"
#include "contest/cty.h"
#include "contest/search.h"
#include "log/logcommands.h"
#include "log/settings.h"

// Answers every question as an unattended run must: a log of another
// contest is read all the same, nothing else is changed; messages go to
// stderr.
class CliUi : public Ui {
 public:
  Answer ask(std::string_view text, Buttons buttons, Icon, std::string_view) override {
    if (buttons == Buttons::Ok) {
      std::string t(text);
      for (std::size_t p; (p = t.find("\r\n")) != std::string::npos;) t.replace(p, 2, " ");
      std::fprintf(stderr, "tamarack-cli: %s\n", t.c_str());
      return Answer::Ok;
    }
    if (buttons == Buttons::YesNo && text.rfind("このデータは", 0) == 0) return Answer::Yes;
    return buttons == Buttons::OkCancel ? Answer::Cancel : Answer::No;
  }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

struct CliRules {
  Settings ini;
  ContestDefinition def;
  SectionList sections;
  CtyTables cty;
  ScoreTable score;
};

// The settings file, the contest definition it names and the country file of
// the program folder. False (with the reason) only when the settings file
// cannot be read; a missing definition or country file is told through ui.
inline bool LoadCliRules(const std::string& home, CliRules& rules, LogDocument& doc, Ui& ui,
                         std::string* error) {
  std::string err;
  if (IniRead(home + "/Tamarack.ini", rules.ini, &err) == IniReadResult::Error) {
    if (error) *error = home + "/Tamarack.ini: " + err;
    return false;
  }
  doc.State.CfgFileName = rules.ini.CfgFileName;
  CfgRead(rules.ini.CfgFileName, home, rules.def, rules.sections, rules.ini, doc.State.LogTestNo, ui);
  CtyRead(home, rules.cty, ui);
  return true;
}

class CliWindow : public LogWindow {
 public:
  CliWindow(LogDocument& doc, CliRules& rules) : doc_(doc), rules_(rules) {}
  void LogDataSearch() override {
    ::LogDataSearch(doc_.Log, rules_.def, rules_.cty, rules_.sections, rules_.ini.CateMode,
                    rules_.ini.CateBand, rules_.score, noProgress());
  }
  void clearGrid() override {}
  void scrollGridTo(int) override {}
  void setLogFileText(const std::string&) override {}
  void mnuOn() override {}
  void showMyData() override {}
  void showInput() override {}

 private:
  LogDocument& doc_;
  CliRules& rules_;
};

// One unattended run over a log: the rules of the program folder, the log
// document and its file commands.
struct CliSession {
  explicit CliSession(const std::string& home)
      : files(doc, ui, window, noProgress(), home,
              ContestInfo{[this] { return rules.def.ContestNo; }, ContestNameOf}) {}
  CliUi ui;
  CliRules rules;
  LogDocument doc;
  CliWindow window{doc, rules};
  LogFiles files;
};
