// tamarack-cli hamlog append|read|count|create: the exchange with a HAMLOG
// database without a window, through the same libraries loaded the same way.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "hamlog/thlog.h"
#include "log/fileio.h"
#include "log/grid.h"
#include "log/import.h"

namespace {

const char* const kUsage =
    "usage: tamarack-cli [--home DIR] hamlog append LOG.tmk DB.hdb | read DB.hdb FROM TO OUT.tmk "
    "[--log OLD.tmk] | count DB.hdb | create DB.hdb";

// "yyyymmddhhnn".
bool parseWindowTime(const std::string& s, ole::Date& out) {
  if (s.size() != 12) return false;
  for (char c : s)
    if (c < '0' || c > '9') return false;
  auto n = [&s](std::size_t at, std::size_t len) { return std::stoi(s.substr(at, len)); };
  const ole::Parts p{n(0, 4), n(4, 2), n(6, 2), n(8, 2), n(10, 2), 0};
  if (!ole::validParts(p) || p.hour > 23 || p.minute > 59) return false;
  out = ole::fromParts(p);
  return true;
}

int runCount(HamlogLibrary& lib, const std::string& db) {
  std::int32_t count = 0;
  if (ThCountRecords(lib, db, count) != 0)
    return CliFail(db + ": " + std::string(thtext::kCannotOpen) + " (" + lib.lastError() + ")");
  std::printf("%d\n", count);
  return 0;
}

int runCreate(HamlogLibrary& lib, const std::string& db) {
  if (lib.HamlogCreate(db) != 0) return CliFail(lib.lastError());
  std::fprintf(stderr, "tamarack-cli: created %s\n", db.c_str());
  return 0;
}

int runAppend(HamlogLibrary& lib, const std::string& home, const std::string& logPath,
              const std::string& db) {
  UnattendedSession run(home);
  Session& s = run.session;
  std::string err;
  if (!s.openFolder(&err)) return CliFail(err);
  if (s.Files.LogRead(logPath) != LogFiles::ReadResult::Read)
    return CliFail(logPath + ": the log could not be read");
  bool settings = false;
  const std::string_view refusal = ThConvRefusal(s.Doc.Log, db, settings);
  if (!refusal.empty()) return CliFail(db + ": " + std::string(refusal));
  const ThAppendResult res = ThLogDbAppendRun(lib, db, s.Doc.Log, home, s.Ini, s.Contest, s.Cty,
                                              run.ui, noProgress());
  if (res.outcome != ThAppendResult::Appended) {
    std::fprintf(stderr, "tamarack-cli: %d QSOs appended before the failure\n", res.appended);
    return 1;
  }
  std::fprintf(stderr, "tamarack-cli: %d QSOs appended to %s\n", res.appended, db.c_str());
  return 0;
}

int runRead(HamlogLibrary& lib, CliArgs& args, const std::string& oldLog) {
  const std::string& db = args.rest[1];
  const std::string& out = args.rest[4];
  ThReadRequest req;
  req.path = db;
  if (!parseWindowTime(args.rest[2], req.from) || !parseWindowTime(args.rest[3], req.to))
    return CliFail("FROM and TO are yyyymmddhhnn");
  UnattendedSession run(args.home);
  Session& s = run.session;
  LogDocument& doc = s.Doc;
  std::string err;
  if (!s.openFolder(&err)) return CliFail(err);
  if (!oldLog.empty() && s.Files.LogRead(oldLog) != LogFiles::ReadResult::Read)
    return CliFail(oldLog + ": the log could not be read");

  req.version = ThReadVersion(lib.GetThdllVersion());
  if (req.version == 0) return CliFail(std::string(thtext::kNoLibrary));
  lib.SetQsoOrMaster(1);
  std::int32_t count = 0;
  if (ThCountRecords(lib, db, count) != 0)
    return CliFail(db + ": " + std::string(thtext::kCannotOpen) + " (" + lib.lastError() + ")");
  if (count == 0) return CliFail(db + ": " + std::string(thtext::kNoQso));

  s.FrmLogLoad();
  const ThReadResult res = ThlogDataRead(lib, req, s.Ini, s.Contest, doc, s.GridData, noProgress());
  if (res.unreadable > 0) std::fprintf(stderr, "tamarack-cli: %d unreadable records skipped\n", res.unreadable);
  if (res.noBand > 0)
    std::fprintf(stderr, "tamarack-cli: %d QSOs with a frequency outside the band table (band left empty)\n",
                 res.noBand);
  if (res.failed) return CliFail(db + ": " + res.error + " (nothing written)");
  if (res.limited) return CliFail(db + ": " + importtext::limitReached(res.appended) + " (nothing written)");
  if (doc.Log.empty()) return CliFail(db + ": no QSOs in the window (nothing written)");
  s.search();
  if (!s.Files.DataSave(out, &err)) return CliFail(out + ": " + err);
  std::fprintf(stderr, "tamarack-cli: %d QSOs read, %d QSOs saved to %s\n", res.appended,
               doc.Log.count(), out.c_str());
  return 0;
}

int runHamlog(CliArgs& args) {
  std::string oldLog;
  const bool fromLog = args.option("--log", oldLog);
  if (args.rest.empty()) return CliFail(kUsage);
  const std::string& what = args.rest[0];
  HamlogLibrary lib(HamlogLibrary::defaultFolders(args.home));
  try {
    if (what == "count" && args.rest.size() == 2 && !fromLog) return runCount(lib, args.rest[1]);
    if (what == "create" && args.rest.size() == 2 && !fromLog) return runCreate(lib, args.rest[1]);
    if (what == "append" && args.rest.size() == 3 && !fromLog)
      return runAppend(lib, args.home, args.rest[1], args.rest[2]);
    if (what == "read" && args.rest.size() == 5) return runRead(lib, args, fromLog ? oldLog : "");
  } catch (const HamlogError& e) {
    return CliFail(e.what());
  }
  return CliFail(kUsage);
}

const bool registered = RegisterCliCommand(
    {"hamlog", "hamlog append LOG.tmk DB.hdb | read DB.hdb FROM TO OUT.tmk [--log OLD.tmk] | count DB.hdb | create DB.hdb",
     runHamlog});

}  // namespace
