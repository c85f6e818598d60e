// The call history: for each call, the number it sent the last time it was
// worked, read from the operator's earlier logs and, if the operator keeps
// one, a text file of "CALL,EXCHANGE" lines. Built on a worker thread that
// hands back a plain value, and cached in the program folder.
//
//   std::future<CallHistory> pending = StartCallHistory(
//       HistorySourcesOf(s.ProgramFolder, s.Ini, s.Doc.State.LogFileName),
//       CallHistoryCachePath(s.ProgramFolder));
//   ...  // a timer on the window thread sees pending ready:
//   history = pending.get();   // history.notes: files skipped, one line each
//   if (const HistoryEntry* e = history.find(call))
//     hint->setText(HistoryLine(*e));   // and the received number, when Ini.HistoryFill is 1
#pragma once
#include <cstddef>
#include <future>
#include <string>
#include <string_view>
#include <vector>

#include "contest/detail.h"
#include "log/oledate.h"

struct Settings;

struct HistoryEntry {
  std::string CallSign;   // as logged (trimmed)
  std::string RcvdNo;     // the received number (trimmed)
  ole::Date QsoTime = 0;  // when; 0 for a line of the CALL,EXCHANGE file
  std::string Source;     // the name of the file it comes from
  bool FromLog = false;   // from a log, not from the CALL,EXCHANGE file
};

class CallHistory {
 public:
  // The entry of the call (exact, as typed); nullptr when none.
  const HistoryEntry* find(std::string_view call) const;
  std::size_t size() const { return entries_.size(); }
  const std::vector<HistoryEntry>& entries() const { return entries_; }
  // A QSO of a log wins over a line of the text file; among QSOs the later
  // one wins (the one read last when their times are equal), among lines
  // the last.
  void offer(HistoryEntry e);

  // Files skipped, or lines of the text file skipped, one note each.
  std::vector<std::string> notes;

 private:
  std::vector<HistoryEntry> entries_;
  contest_detail::FlatIndex index_;
};

// What the history is read from.
struct HistorySources {
  std::vector<std::string> logs;  // log files (.tmk), in the order read
  std::string exchangeFile;       // CALL,EXCHANGE lines; empty for none
};

// The log files (".tmk", any case) of a folder, by name.
std::vector<std::string> LogFilesIn(const std::string& folder);

// The program folder's Log folder, then the settings' HistoryLogs (a
// relative path counts from the program folder), each file once and the open
// log left out; the settings' HistoryFile.
HistorySources HistorySourcesOf(const std::string& programFolder, const Settings& s,
                                const std::string& openLog);

// Reads every source. A file that cannot be read, or is no log, is skipped
// with a note.
CallHistory BuildCallHistory(const HistorySources& sources);

// Where the history is cached: the program folder's "CallHistory.cache".
std::string CallHistoryCachePath(const std::string& programFolder);

// The cached history when the cache was made from the same sources as they
// are now (same files, none changed since); otherwise built afresh and
// cached. A cache that cannot be written only costs the next start a build.
CallHistory LoadCallHistory(const HistorySources& sources, const std::string& cachePath);

// LoadCallHistory on a worker thread. Dropping the future waits for the
// worker to finish.
std::future<CallHistory> StartCallHistory(HistorySources sources, std::string cachePath);

// "CALL<TAB>NUMBER<TAB>yyyy-mm-dd hh:nn<TAB>FILE" (no time for a line of the
// text file).
std::string HistoryLine(const HistoryEntry& e);
