#include "log/logcommands.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

#include "log/fileio.h"
#include "log/logfile.h"

namespace logtext {

std::string askOverwrite(std::string_view path) {
  std::string s(path);
  s += " は既に存在します。\r\n上書きしますか？";
  return s;
}

std::string replacedCharsNotice(const std::vector<std::string>& fields) {
  std::string s = "Shift-JIS で表せない文字を「?」に置き換えて保存します：";
  for (std::size_t i = 0; i < fields.size(); ++i) s += (i == 0 ? "\r\n" : "、") + fields[i];
  return s;
}

std::string notALog(std::string_view path) {
  std::string s(path);
  s += " はログファイルではありません";
  return s;
}

std::string askRestamp(std::string_view logContest, std::string_view settingContest) {
  std::string s = "ログのコンテストネーム　";
  s += logContest;
  s += " を、\r\n設定コンテストネーム　";
  s += settingContest;
  s += "　に変更しますか？";
  return s;
}

std::string askRecover(int changes) {
  return "保存されていない交信が " + std::to_string(changes) + " 件あります。復元しますか？";
}

std::string journalFailed(std::string_view error) {
  std::string s = "入力した交信を保存前に控えておくファイルに書き込めません。\r\n"
                  "早めにログを保存してください。\r\n";
  s += error;
  return s;
}

std::string askOtherContest(std::string_view logContest) {
  std::string s = "このデータは　";
  s += logContest;
  s += "　のログデータです\r\nコンテスト設定と違いますが読み込みますか？";
  return s;
}

}  // namespace logtext

namespace {

FileDialogOptions logDialog(const std::string& programFolder, std::string_view filter) {
  FileDialogOptions dialog;
  dialog.filter = std::string(filter);
  dialog.filterIndex = 1;
  dialog.initialDir = programFolder + "/Log/";
  return dialog;
}

}  // namespace

FileDialogOptions OpenLogDialog(const std::string& programFolder) {
  return logDialog(programFolder, logtext::kFilter);
}

FileDialogOptions SaveLogDialog(const std::string& programFolder) {
  FileDialogOptions dialog = logDialog(programFolder, logtext::kFilter);
  dialog.overwritePrompt = true;
  return dialog;
}

FileDialogOptions SaveAsLogDialog(const std::string& programFolder, const std::string& proposed) {
  FileDialogOptions dialog = logDialog(programFolder, logtext::kFilterSaveAs);
  dialog.overwritePrompt = true;
  dialog.fileName = proposed;
  return dialog;
}

LogFiles::LogFiles(LogDocument& doc, Ui& ui, LogWindow& window, Progress& progress,
                   std::string programFolder, ContestInfo contest)
    : doc_(doc),
      ui_(ui),
      window_(window),
      progress_(progress),
      programFolder_(std::move(programFolder)),
      contest_(std::move(contest)) {}

std::int16_t LogFiles::contestNo() const { return contest_.ContestNo ? contest_.ContestNo() : 0; }

std::string LogFiles::contestName(std::int16_t no) const {
  return contest_.ContestNameOf ? contest_.ContestNameOf(no) : std::string();
}

// ---- Routines ----

bool LogFiles::DataSave(const std::string& LogName, std::string* error) {
  auto fail = [&](std::string text) {
    ui_.tell(text);
    if (error) *error = std::move(text);
    return false;
  };
  LogData& log = doc_.Log;
  if (log.empty()) return fail(std::string(logtext::kNoLog));
  if (LogName.empty()) return fail(std::strerror(ENOENT));

  // Record 1 carries the contest the log belongs to; a log of another
  // contest keeps its number unless the operator wants it changed.
  const std::int16_t setting = contestNo();
  const std::int16_t own = log[1].TestNo;
  bool stamp = true;
  if (own > 0 && own != setting) {
    stamp = ui_.question(Question::RestampLog, logtext::askRestamp(contestName(own), contestName(setting)), Buttons::YesNo) ==
            Answer::Yes;
  }
  if (const auto fields = logfile::UnencodableFields(log); !fields.empty())
    ui_.tell(logtext::replacedCharsNotice(fields), Icon::Exclamation);
  const std::string bytes = logfile::encodeLog(log, stamp ? setting : own, progress_);

  std::string err;
  if (!fileio::writeAtomic(LogName, bytes, &err)) return fail(LogName + "\r\n" + err);
  if (stamp) {
    log[1].TestNo = setting;
    doc_.State.LogTestNo = setting;
  }
  doc_.State.LogDirty = 0;
  // Everything is in the file now: the journal starts afresh over it.
  if (journalOn_) journal_.remove();
  journalFrom(LogName, bytes);
  return true;
}

LogFiles::Load LogFiles::load(const std::string& path, std::size_t room, std::string_view tooMany,
                              std::string& bytes) {
  logfile::FileBytes f = logfile::readLogFile(path, room);
  switch (f.status) {
    case logfile::ReadStatus::Missing:
      return Load::Missing;
    case logfile::ReadStatus::TooMany:
      ui_.tell(tooMany);
      return Load::Failed;
    case logfile::ReadStatus::Failed:
      ui_.tell(f.error);
      return Load::Failed;
    case logfile::ReadStatus::NotALog:
      ui_.tell(logtext::notALog(path));
      return Load::Failed;
    case logfile::ReadStatus::Ok:
      break;
  }
  bytes = std::move(f.bytes);
  return Load::Ok;
}

bool LogFiles::goOnTorn() {
  return ui_.question(Question::ReadTornLog, logtext::kTornRecord, Buttons::YesNo, Icon::Exclamation) ==
         Answer::Yes;
}

void LogFiles::scrollToEnd() {
  const int count = doc_.Log.count();
  const int pageRows = doc_.State.GridPageRows;
  if (count < pageRows) return;
  const int top = std::clamp(count - pageRows + 1, 1, std::max(count, 1));
  window_.scrollGridTo(top);
}

LogFiles::ReadResult LogFiles::LogRead(const std::string& FileName) {
  std::string bytes;
  switch (load(FileName, kMaxQso, logtext::kTooManyToRead, bytes)) {
    case Load::Failed:
      return ReadResult::Failed;
    case Load::Missing:
      doc_.Log.clear();
      replaceJournal(FileName, {});
      window_.LogDataSearch();
      scrollToEnd();
      offerRecovery(FileName, {});
      return ReadResult::Missing;
    case Load::Ok:
      break;
  }

  const int n = static_cast<int>(logfile::wholeRecords(bytes.size()));
  // A cut last record cannot be read; the next save would make its loss
  // final, so the log counts as changed only if the operator goes on.
  const bool torn = bytes.size() % logfile::kRecordSize != 0;
  if (torn && !goOnTorn()) return ReadResult::Failed;
  bool otherContest = false;
  if (n >= 1) {
    const std::int16_t fileNo = logfile::decodeRecord(bytes.data()).TestNo;
    const std::int16_t setting = contestNo();
    if (fileNo > 0 && setting > 0 && fileNo != setting) {
      // Declined, the open log stays as it was, records, name and mark.
      if (ui_.question(Question::OtherContestLog, logtext::askOtherContest(contestName(fileNo)), Buttons::YesNo) != Answer::Yes)
        return ReadResult::Declined;
      otherContest = true;
    }
    doc_.State.LogTestNo = fileNo;
  }

  LogData read;
  read.resize(n);
  logfile::decodeInto(bytes, read, 1, progress_);
  doc_.Log = std::move(read);
  if (torn) doc_.State.LogDirty = 1;
  replaceJournal(FileName, bytes);

  window_.LogDataSearch();
  scrollToEnd();
  offerRecovery(FileName, bytes);
  if (otherContest && ui_.question(Question::ChangeSetting, logtext::kAskChangeSetting, Buttons::YesNo) == Answer::Yes)
    window_.showMyData();
  return ReadResult::Read;
}

LogFiles::AppendResult LogFiles::LogAppend(const std::string& FileName) {
  const int before = doc_.Log.count();
  std::string bytes;
  switch (load(FileName, static_cast<std::size_t>(kMaxQso - before), logtext::kTooManyToAppend,
               bytes)) {
    case Load::Failed:
      return AppendResult::Failed;
    case Load::Missing:
      window_.LogDataSearch();
      scrollToEnd();
      doc_.State.LogDirty = 1;
      return AppendResult::Missing;
    case Load::Ok:
      break;
  }

  const int n = static_cast<int>(logfile::wholeRecords(bytes.size()));
  if (bytes.size() % logfile::kRecordSize != 0 && !goOnTorn()) return AppendResult::Failed;
  if (n >= 1) {
    const std::int16_t fileNo = logfile::decodeRecord(bytes.data()).TestNo;
    const std::int16_t setting = contestNo();
    if (fileNo > 0 && setting > 0 && fileNo != setting &&
        ui_.question(Question::OtherContestLog, logtext::askOtherContest(contestName(fileNo)), Buttons::YesNo) != Answer::Yes)
      return AppendResult::Declined;
    doc_.State.LogTestNo = fileNo;
  }

  // Appended records keep the numbers they had in their own file.
  doc_.Log.resize(before + n);
  logfile::decodeInto(bytes, doc_.Log, before + 1, progress_);

  window_.LogDataSearch();
  scrollToEnd();
  doc_.State.LogDirty = 1;
  return AppendResult::Appended;
}

void LogFiles::LogCls() {
  window_.clearGrid();
  doc_.Log.clear();
  // The log is saved or given up: its journal goes with it.
  if (journalOn_) journal_.remove();
  journalFrom(std::string(), {});
  named(std::string());
  window_.setLogFileText(std::string());
  window_.mnuOn();
}

// ---- Journal ----

void LogFiles::enableJournal() {
  journalOn_ = true;
  journalFrom(doc_.State.LogFileName, {});
}

void LogFiles::journalFrom(const std::string& logPath, std::string_view base) {
  if (journalOn_) journal_.begin(journal::pathFor(programFolder_, logPath), base, doc_.Log);
}

void LogFiles::replaceJournal(const std::string& logPath, std::string_view base) {
  // The log read takes the place of the open one, whose changes were given up.
  if (journalOn_ && journal_.path() != journal::pathFor(programFolder_, logPath)) journal_.remove();
  journalFrom(logPath, base);
}

void LogFiles::recordChange() {
  std::string err;
  if (journalOn_) journalResult(journal_.record(doc_.Log, &err), err);
}

void LogFiles::recordAppended() {
  std::string err;
  if (journalOn_) journalResult(journal_.recordAppended(doc_.Log, &err), err);
}

void LogFiles::journalResult(bool written, const std::string& err) {
  if (written) {
    journalTold_ = false;
  } else if (!journalTold_) {
    journalTold_ = true;
    ui_.tell(logtext::journalFailed(err), Icon::Exclamation);
  }
}

void LogFiles::offerRecovery(const std::string& logPath, std::string_view base) {
  if (!journalOn_ || !fileio::exists(journal_.path())) return;
  auto found = journal::read(journal_.path(), base);
  // A journal over other bytes, or older than the log, was overtaken by a save.
  if (!found || (!logPath.empty() && !journal::newerThanLog(journal_.path(), logPath))) {
    journal_.remove();
    return;
  }
  if (ui_.question(Question::RecoverJournal, logtext::askRecover(found->changes), Buttons::YesNo,
                   Icon::Question) != Answer::Yes) {
    journal_.remove();
    return;
  }
  // Written again as one change over the same file, so a second crash
  // still keeps them.
  std::string err;
  if (!journal_.record(found->log, &err, found->changes))
    ui_.tell(logtext::journalFailed(err), Icon::Exclamation);
  doc_.Log = std::move(found->log);
  doc_.State.LogDirty = 1;
  window_.LogDataSearch();
  scrollToEnd();
}

// ---- Commands ----

std::optional<std::string> LogFiles::chooseSaveName(const FileDialogOptions& dialog) {
  const auto chosen = ui_.saveFile(dialog);
  if (!chosen || chosen->empty()) return std::nullopt;
  std::string name = logfile::SaveName(*chosen);
  // The dialog asked about the name typed, not about the one the rule made.
  if (name != *chosen && fileio::exists(name) &&
      ui_.question(Question::Overwrite, logtext::askOverwrite(name), Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
    return std::nullopt;
  return name;
}

bool LogFiles::saveBeforeEmptying() {
  std::string path = doc_.State.LogFileName;
  if (path.empty()) {
    const auto name = chooseSaveName(SaveLogDialog(programFolder_));
    if (!name) return false;
    path = *name;
  }
  if (!DataSave(path)) return false;
  named(path);
  return true;
}

void LogFiles::named(const std::string& path) {
  doc_.State.LogFileName = path;
  window_.logFileChanged();
}

void LogFiles::NewLog() {
  if (doc_.Log.count() > 0 && doc_.State.LogDirty == 1 &&
      ui_.question(Question::SaveChanged, logtext::kAskSave, Buttons::YesNo, Icon::None, logtext::kTitleSave) == Answer::Yes &&
      !saveBeforeEmptying())
    return;
  LogCls();
  window_.showInput();
}

void LogFiles::Open() {
  if (doc_.Log.count() > 0 && doc_.State.LogDirty == 1 &&
      ui_.question(Question::DiscardChanged, logtext::kAskDiscard, Buttons::YesNo, Icon::None, logtext::kTitleOpen) != Answer::Yes)
    return;
  const auto path = ui_.openFile(OpenLogDialog(programFolder_));
  if (!path || path->empty()) return;
  // A file that could not be read, or was declined, leaves the log's name as
  // it was: a later save must not replace that file unasked.
  const ReadResult read = LogRead(*path);
  if (read == ReadResult::Read || read == ReadResult::Missing) named(*path);
  window_.setLogFileText(doc_.State.LogFileName);
  window_.mnuOn();
}

void LogFiles::Append() {
  if (doc_.Log.count() < 1) {
    ui_.tell(logtext::kNoLog, Icon::None, logtext::kTitleAppend);
    return;
  }
  if (ui_.question(Question::ConfirmAppend, logtext::kAskAppend, Buttons::OkCancel, Icon::None, logtext::kTitleAppend) !=
      Answer::Ok)
    return;
  const auto path = ui_.openFile(OpenLogDialog(programFolder_));
  if (!path || path->empty()) return;
  LogAppend(*path);
}

void LogFiles::Save() {
  if (doc_.Log.count() < 1) return;
  if (ui_.question(Question::ConfirmSave, logtext::kAskSaveOk, Buttons::OkCancel, Icon::None, logtext::kTitleSave) !=
      Answer::Ok)
    return;
  std::string path = doc_.State.LogFileName;
  if (path.empty()) {
    const auto name = chooseSaveName(SaveLogDialog(programFolder_));
    if (!name) return;
    path = *name;
  }
  if (!DataSave(path)) return;
  named(path);
  window_.setLogFileText(path);
}

void LogFiles::SaveAs() {
  if (doc_.Log.count() < 1) return;
  if (ui_.question(Question::ConfirmSaveAs, logtext::kAskSaveAsOk, Buttons::OkCancel, Icon::None, logtext::kTitleSaveAs) !=
      Answer::Ok)
    return;
  const auto name =
      chooseSaveName(SaveAsLogDialog(programFolder_, doc_.State.LogFileName));
  if (!name) return;
  if (!DataSave(*name)) return;
  named(*name);
  window_.setLogFileText(*name);
}

void LogFiles::Close() {
  if (doc_.Log.count() > 0 && doc_.State.LogDirty == 1 &&
      ui_.question(Question::SaveChanged, logtext::kAskSave, Buttons::YesNo, Icon::None, logtext::kTitleSave) == Answer::Yes &&
      !saveBeforeEmptying())
    return;  // the save was cancelled or failed: the log stays open
  LogCls();
}

bool LogFiles::OfferSave() {
  if (doc_.Log.count() < 1 || doc_.State.LogDirty != 1 ||
      ui_.question(Question::SaveChanged, logtext::kAskSave, Buttons::YesNo, Icon::None, logtext::kTitleSave) != Answer::Yes)
    return true;
  if (!saveBeforeEmptying()) return false;
  window_.setLogFileText(doc_.State.LogFileName);
  return true;
}

bool LogFiles::QueryUnload() {
  // Past this question the operator has decided about every change.
  auto done = [this] {
    if (journalOn_) journal_.remove();
    return true;
  };
  if (doc_.Log.count() < 1 || doc_.State.LogDirty != 1) return done();
  const Answer a =
      ui_.question(Question::SaveOnExit, logtext::kAskSaveOnExit, Buttons::YesNoCancel, Icon::Question, kProgramTitle);
  if (a == Answer::Cancel) return false;
  if (a != Answer::Yes) return done();
  std::string path = doc_.State.LogFileName;
  if (path.empty()) {
    // Here the chosen name is taken as it is.
    const auto chosen = ui_.saveFile(SaveLogDialog(programFolder_));
    if (!chosen || chosen->empty()) return false;
    path = *chosen;
  }
  if (!DataSave(path)) return false;
  named(path);
  return true;
}

void LogFiles::OpenLastLog() {
  if (!doc_.State.LogFileName.empty()) {
    // A log that cannot be read, or was declined, is not the log's file any
    // more: a later save must not replace it unasked.
    const ReadResult read = LogRead(doc_.State.LogFileName);
    if (read == ReadResult::Failed || read == ReadResult::Declined) named(std::string());
  }
  window_.setLogFileText(doc_.State.LogFileName);
  // QSOs typed into a log that had no name yet.
  if (doc_.State.LogFileName.empty() && doc_.Log.empty()) {
    journalFrom(std::string(), {});
    offerRecovery(std::string(), {});
  }
}
