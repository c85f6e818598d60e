#include "contest/session.h"

#include <cerrno>
#include <cstring>
#include <utility>

#include "log/logfile.h"

Session::Session(std::string programFolder, Ui& ui, const Clock& clock, Progress& progress,
                 LogView& view)
    : ProgramFolder(std::move(programFolder)),
      Files(Doc, ui, *this, progress, ProgramFolder,
            ContestInfo{[this] { return Contest.ContestNo; }, ContestNameOf}),
      ui_(ui),
      clock_(clock),
      progress_(progress),
      view_(view) {}

IniReadResult Session::readSettings(std::string* error) {
  const IniReadResult r = IniRead(iniPath(), Ini, error);
  settingsUnread_ = r == IniReadResult::Error;
  Doc.State.CfgFileName = Ini.CfgFileName;
  Doc.State.LogFileName = Ini.LogFileName;
  return r;
}

bool Session::writeSettings(std::string* error) {
  Ini.CfgFileName = Doc.State.CfgFileName;
  Ini.LogFileName = Doc.State.LogFileName;
  return IniWrite(iniPath(), Ini, error);
}

bool Session::saveSettings() {
  if (settingsUnread_) {
    if (!unreadTold_)
      ui_.tell("設定ファイル " + iniPath() + " を読み込めなかったため、今回の設定は保存しません。",
               Icon::Exclamation);
    unreadTold_ = true;
    return false;
  }
  if (const auto keys = IniUnencodableKeys(Ini); !keys.empty())
    ui_.tell(logtext::replacedCharsNotice(keys), Icon::Exclamation);
  std::string err;
  if (writeSettings(&err)) return true;
  ui_.tell(iniPath() + "\r\n" + err, Icon::Critical);
  return false;
}

void Session::enableSafeguards() {
  safeguards_ = true;
  Files.enableJournal();
}

void Session::logFileChanged() {
  // After a crash the program reopens the log that was open, not the one of
  // the last clean exit.
  if (safeguards_ && !settingsUnread_) {
    std::string err;
    if (!writeSettings(&err)) ui_.tell(iniPath() + "\r\n" + err, Icon::Critical);
  }
}

CfgReadResult Session::readDefinition(const std::string& path) {
  CfgReadResult r = CfgRead(path, ProgramFolder, Contest, Sections, Ini, Doc.State.LogTestNo, ui_);
  if (r.relocated) {
    Doc.State.CfgFileName = r.path;
    Ini.CfgFileName = r.path;
  }
  return r;
}

CtyReadResult Session::readCountryFile() { return CtyRead(ProgramFolder, Cty, ui_); }

bool Session::openFolder(std::string* error) {
  std::string err;
  if (readSettings(&err) == IniReadResult::Error) {
    if (error) *error = iniPath() + ": " + err;
    return false;
  }
  readDefinition(Ini.CfgFileName);
  readCountryFile();
  return true;
}

void Session::search() {
  SearchWalk walk(Contest, Cty, Sections, Ini.CateMode, Ini.CateBand);
  ::LogDataSearch(Doc.Log, walk, Contest, Score, progress_);
  Live.rebuild(Doc.Log, std::move(walk));
}

void Session::LogDataSearch() {
  journalChange();
  search();
  FrmLogLoad();
}

void Session::FrmLogLoad() { ::FrmLogLoad(GridData, Doc.Log, Doc.State.ShowSeconds); }

void Session::clearGrid() { ::FrmLogLoad(GridData, LogData{}, Doc.State.ShowSeconds); }

void Session::LogGridToMem() {
  GridData.setRedraw(false);
  GridToLog(GridData, Doc.Log, Doc.CurQso, progress_);
  GridData.setRedraw(true);
}

void Session::TimeSort() {
  TimeSortGrid(GridData, Doc.Log, Doc.CurQso, progress_);
  LogDataSearch();
  Doc.State.LogDirty = 1;
}

// ---------------------------------------------------------------- unattended

namespace {
class NoView : public LogView {
 public:
  void scrollGridTo(int) override {}
  void setLogFileText(const std::string&) override {}
  void mnuOn() override {}
  void showMyData() override {}
  void showInput() override {}
};
}  // namespace

LogView& noView() {
  static NoView v;
  return v;
}

namespace {

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

UnattendedSession::UnattendedSession(std::string programFolder)
    : session(std::move(programFolder), ui, clock_, noProgress(), noView()) {}

bool UnattendedSession::loadStation(std::string* error, std::string* notes) {
  std::string err;
  if (session.readSettings(&err) == IniReadResult::Error)
    return fail(error, session.iniPath() + ": " + err);

  // The definition's messages become the failure's text, or the notes.
  const bool echo = ui.echo;
  ui.echo = false;
  ui.messages.clear();
  const CfgReadResult cfg = session.readDefinition(session.Ini.CfgFileName);
  cfgPath_ = cfg.path;
  ui.echo = echo;
  const std::string messages = std::move(ui.messages);
  ui.messages.clear();
  if (!cfg.read)
    return fail(error, cfg.path + ": " + (messages.empty() ? "cannot be read" : messages) +
                           " (contest definition)");
  if (notes) *notes = messages;
  return true;
}

bool UnattendedSession::loadScoredLog(const std::string& logPath, std::string* error) {
  std::string notes;
  if (!loadStation(error, &notes)) return false;
  if (!notes.empty()) return fail(error, cfgPath_ + ": " + notes);

  const bool echo = ui.echo;
  ui.echo = false;
  const CtyReadResult cty = session.readCountryFile();
  ui.echo = echo;
  std::string messages = std::move(ui.messages);
  ui.messages.clear();
  if (cty != CtyReadResult::Ok && session.Contest.SearchEntityFile == 1)
    // The reading's own text names the file, unless it is the bare "not found".
    return fail(error, messages.find(session.ProgramFolder) != std::string::npos
                           ? messages
                           : session.ProgramFolder + "/Cty.dat: " + messages);

  logfile::FileBytes f = logfile::readLogFile(logPath, kMaxQso);
  switch (f.status) {
    case logfile::ReadStatus::Ok:
      break;
    case logfile::ReadStatus::Missing:
      return fail(error, logPath + ": " + std::strerror(ENOENT));
    case logfile::ReadStatus::Failed:
      return fail(error, logPath + ": " + f.error);
    case logfile::ReadStatus::TooMany:
      return fail(error, logPath + ": more than " + std::to_string(kMaxQso) + " QSOs");
    case logfile::ReadStatus::NotALog:
      return fail(error, logtext::notALog(logPath));
  }
  LogData& log = session.Doc.Log;
  log.resize(static_cast<int>(logfile::wholeRecords(f.bytes.size())));
  logfile::decodeInto(f.bytes, log, 1, noProgress());
  if (log.count() >= 1) session.Doc.State.LogTestNo = log[1].TestNo;
  session.search();
  return true;
}
