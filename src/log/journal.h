// The journal of the open log: every change made since the log was last
// read or saved, appended to a file beside it and flushed to disk before the
// window shows it, so that a crash loses no QSO. A save removes it; the next
// start (or the next open of that log) offers the changes back.
//
// File: a header naming the log file it extends (size and hash of the file's
// bytes), then one entry per change: the log's new count and the records
// that differ from the state before, as in the log file. An entry cut short
// by a crash, and everything after it, is ignored.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "log/qso.h"

namespace journal {

// The journal of the log file logFileName; a log without a name yet keeps
// its journal in the program folder's Log/ under a fixed name.
std::string pathFor(const std::string& programFolder, const std::string& logFileName);

struct Recovery {
  LogData log;      // the log file's records with the changes applied
  int changes = 0;  // the changes journaled (a registered QSO is one)
};
// The changes of the journal at path, applied to the log file's bytes.
// Nothing when there is no journal, when it was made over other bytes than
// `base` (the log was saved or replaced since), or when it holds no whole
// change.
std::optional<Recovery> read(const std::string& path, std::string_view base);

// True when the journal at path is newer than the log file logPath (or the
// log file does not exist).
bool newerThanLog(const std::string& path, const std::string& logPath);

}  // namespace journal

class Journal {
 public:
  Journal();
  ~Journal();
  Journal(const Journal&) = delete;
  Journal& operator=(const Journal&) = delete;

  // From now on changes are measured against `log`, which stands in the log
  // file as `base`; they go to the journal at path. No file is made (and
  // none removed) until the first change.
  void begin(std::string path, std::string_view base, const LogData& log);
  // Appends the records of log that differ from the last state recorded
  // (the marks of the search aside); once written they outlive the program,
  // and the flush to disk follows at once on a thread of the journal's. Nothing is
  // written when nothing changed. `weight` is the number of changes the
  // entry stands for. False with the system's text when it cannot write.
  bool record(const LogData& log, std::string* error = nullptr, int weight = 1);
  // record() for a log whose only change is one QSO appended at its end (a
  // QSO registered): the rest is not compared, so it costs the same on a
  // full log as on an empty one.
  bool recordAppended(const LogData& log, std::string* error = nullptr);
  // Returns once every change recorded is on disk.
  void sync();
  // Removes the journal file, if any; later changes start a new one.
  void remove();

  const std::string& path() const { return path_; }

 private:
  void closeFile();
  // One change: the records of log that differ from `against` (their
  // indexes in changed); empty when none differ.
  std::string entry(const LogData& log, const LogData& against, int weight,
                    std::vector<int>& changed) const;
  // Writes an entry to the open file and keeps shadow_ in step with log.
  bool append(const std::string& e, const LogData& log, const std::vector<int>& changed,
              int weight, std::string* error);

  std::string path_;
  std::uint64_t baseSize_ = 0;
  std::uint64_t baseHash_ = 0;
  LogData base_;    // the log as its file holds it
  LogData shadow_;  // the log as last recorded
  bool baseIsShadow_ = true;  // nothing written since begin(): base_ is unset
  int weights_ = 0; // changes recorded since the base
  int fd_ = -1;
  class Flusher;
  std::unique_ptr<Flusher> flusher_;
};
