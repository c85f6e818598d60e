// The log file routines and the File-menu commands built on them: new, open,
// append, save, save as, close, the save on program exit and the reopening
// of the last log at start-up. Everything here runs without a window: the
// main window implements LogWindow and forwards each menu item to one call.
#pragma once
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/journal.h"
#include "log/progress.h"
#include "log/qso.h"
#include "log/ui.h"

// What the file commands need of the window that shows the log.
class LogView {
 public:
  virtual ~LogView() = default;
  // Scrolls the grid so that `row` is its top row.
  virtual void scrollGridTo(int row) = 0;
  // Status-bar panel 3: the current log file.
  virtual void setLogFileText(const std::string& path) = 0;
  virtual void mnuOn() = 0;
  // The station data dialog, modeless.
  virtual void showMyData() = 0;
  // The real-time input window, modeless.
  virtual void showInput() = 0;
};

// What the file commands need of the open log beyond its document: the
// re-scoring and the grid, and the window that shows them.
class LogWindow : public LogView {
 public:
  // LogDataSearch: re-scores the whole log and rebuilds the grid from it.
  virtual void LogDataSearch() = 0;
  // Empties the grid to its header and one blank row.
  virtual void clearGrid() = 0;
  // The log was opened, saved or closed: LogFileName names its file now.
  virtual void logFileChanged() {}
};

// The loaded contest definition, as far as the log file is concerned.
struct ContestInfo {
  // Number of the current contest setting; 0 = none.
  std::function<std::int16_t()> ContestNo;
  // Name of a contest number; empty for an unknown number (the caller hands
  // in the contest definitions' table).
  std::function<std::string(std::int16_t)> ContestNameOf;
};

namespace logtext {
// File dialogs ("desc|*.ext|" form).
inline constexpr std::string_view kFilter = "Tamarack　ログファイル (*.tmk)|*.tmk|";
inline constexpr std::string_view kFilterSaveAs = "Tamarack　ログ ファイル (*.tmk)|*.tmk|";

inline constexpr std::string_view kTitleSave = "ログの保存";
inline constexpr std::string_view kTitleOpen = "ログを開く";
inline constexpr std::string_view kTitleAppend = "ログを連結";
inline constexpr std::string_view kTitleSaveAs = "名前を付けてログを保存";

inline constexpr std::string_view kAskSave = "ログを保存しますか？";
inline constexpr std::string_view kAskDiscard = "ログデータを破棄して新しいログを開きますか？";
inline constexpr std::string_view kNoLog = "ログデータがありません！";
inline constexpr std::string_view kAskAppend = "ログデータに別のログデータを連結します";
inline constexpr std::string_view kAskSaveOk = "ログデータを保存します";
inline constexpr std::string_view kAskSaveAsOk = "名前を付けてログを保存します";
inline constexpr std::string_view kAskSaveOnExit = "ログファイルを保存しますか？？";
inline constexpr std::string_view kAskChangeSetting = "コンテスト設定を変更しますか？";

// A file cut inside its last record (a write that did not end).
inline constexpr std::string_view kTornRecord =
    "最後の交信データが壊れているため読み込めませんでした。\r\nこのまま続けますか？";

// "保存されていない交信が N 件あります。復元しますか？"
std::string askRecover(int changes);
// The journal of the open log cannot be written.
std::string journalFailed(std::string_view error);

// A log may hold at most 32767 QSOs.
inline constexpr std::string_view kTooManyToRead =
    "このファイルのログデータは32767件を超えるため読み込めません";
inline constexpr std::string_view kTooManyToAppend =
    "連結するとログデータが32767件を超えるため連結できません";

// Told once before a file is written whose text holds characters Shift-JIS
// cannot express: they are saved as "?"; the fields are named.
std::string replacedCharsNotice(const std::vector<std::string>& fields);

// "<path> はログファイルではありません": the file's bytes are no log's records.
std::string notALog(std::string_view path);

// The save-name rule can turn the name chosen in the dialog into another
// file's name; that file is not replaced without asking.
std::string askOverwrite(std::string_view path);

// "ログのコンテストネーム　<log's> を、\r\n設定コンテストネーム　<setting's>　に変更しますか？"
std::string askRestamp(std::string_view logContest, std::string_view settingContest);
// "このデータは　<name>　のログデータです\r\nコンテスト設定と違いますが読み込みますか？"
std::string askOtherContest(std::string_view logContest);
}  // namespace logtext

// The file dialogs of the commands: initial folder <program folder>/Log/,
// filter index 1; save dialogs prompt before overwriting.
FileDialogOptions OpenLogDialog(const std::string& programFolder);
FileDialogOptions SaveLogDialog(const std::string& programFolder);
FileDialogOptions SaveAsLogDialog(const std::string& programFolder, const std::string& proposed);

class LogFiles {
 public:
  LogFiles(LogDocument& doc, Ui& ui, LogWindow& window, Progress& progress,
           std::string programFolder, ContestInfo contest);

  // ---- Menu commands and the steps of start-up and exit ----

  // mnuNewOpen_Click: offers to save a changed log, empties it, then shows
  // the input window.
  void NewLog();
  // log_open_Click.
  void Open();
  // AppendOpen_Click.
  void Append();
  // LogSave_Click.
  void Save();
  // mnuSaveAs_Click.
  void SaveAs();
  // mnuLogClose_Click.
  void Close();
  // Form_QueryUnload: asks to save a changed log. False when the program
  // must keep running (Cancel, the save dialog cancelled, or the save failed).
  bool QueryUnload();
  // Start-up: reads the log LogFileName names, if any, and shows its path.
  void OpenLastLog();
  // Keeps a journal of the log's changes from now on (the program's window;
  // a run without a user keeps none).
  void enableJournal();
  // Appends the log's changes since the last call to the journal, flushed
  // to disk. Tells the operator once when it cannot be written.
  void recordChange();
  // recordChange() for one QSO appended at the end of the log.
  void recordAppended();

  // Before the electronic log is made: a changed log is saved on Yes (a name
  // is asked for when it has none). False when the save dialog was
  // cancelled or the save failed: the command stops there.
  bool OfferSave();

  // ---- The routines ----

  // Writes the log to LogName, replacing any file there only once the new
  // one is complete on disk. Stamps record 1 with the contest number (asking
  // first when it carries another contest's). On success LogDirty = 0; on
  // failure the old file is untouched, the error's text has been shown and
  // is returned in *error, and the log, LogTestNo and LogDirty are as before.
  // An empty log is not saved (false, "ログデータがありません！" shown).
  bool DataSave(const std::string& LogName, std::string* error = nullptr);

  enum class ReadResult {
    Read,      // the file's records are now the log (a partial last record left
               // out once the operator chose to go on)
    Missing,   // no such file: the log is empty and has been searched
    Declined,  // No to the other-contest question: the log, grid and LogTestNo untouched
    Failed,    // not readable, too large, or torn and not to be read: the log untouched
  };
  // Replaces the log by the file's records. LogFileName is not touched.
  ReadResult LogRead(const std::string& FileName);

  enum class AppendResult { Appended, Missing, Declined, Failed };
  // Appends the file's records to the log, keeping their numbers.
  AppendResult LogAppend(const std::string& FileName);

  // Empties the log and the grid and forgets the file.
  void LogCls();

  // Brings the last QSO into view (the grid's last page).
  void scrollToEnd();

 private:
  enum class Load { Ok, Missing, Failed };
  Load load(const std::string& path, std::size_t room, std::string_view tooMany,
            std::string& bytes);
  std::int16_t contestNo() const;
  std::string contestName(std::int16_t no) const;
  // The operator goes on with a file whose last record is cut off.
  bool goOnTorn();
  // Runs the save dialog and applies the save-name rule; nothing when cancelled.
  std::optional<std::string> chooseSaveName(const FileDialogOptions& dialog);
  // The save of new and close: true when the log was saved.
  bool saveBeforeEmptying();
  // LogFileName = path, told to the window.
  void named(const std::string& path);
  // The journal now measures changes against the log as the file `base`.
  void journalFrom(const std::string& logPath, std::string_view base);
  // journalFrom for a log read in place of the open one.
  void replaceJournal(const std::string& logPath, std::string_view base);
  // A journal of the log just read (its file's bytes: base) offers the
  // changes it holds back.
  void offerRecovery(const std::string& logPath, std::string_view base);

  LogDocument& doc_;
  Ui& ui_;
  LogWindow& window_;
  Progress& progress_;
  std::string programFolder_;
  ContestInfo contest_;
  // Tells a journal that cannot be written, once until it can again.
  void journalResult(bool written, const std::string& err);
  Journal journal_;
  bool journalOn_ = false;
  bool journalTold_ = false;  // its failure was told; again only after a success
};
