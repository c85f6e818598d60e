// tamarack-cli import zlog|cabrillo|csv FILE OUT.tmk [--log OLD.tmk]: the
// importers of the File menu without a window. Starts from OLD.tmk (read as
// the open command reads it, also when it belongs to another contest) or an
// empty log, appends the file's QSOs, runs the dupe and multiplier search and
// saves OUT.tmk without asking: record 1 keeps a contest number it has, one
// without is stamped with the contest's. A CSV file replaces the log, as in
// the window, so it takes no --log.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "log/cabrillo.h"
#include "log/csv.h"
#include "log/fileio.h"
#include "log/logcommands.h"
#include "log/zlog.h"

namespace {

const char* const kUsage = "usage: tamarack-cli [--home DIR] import zlog|cabrillo|csv FILE OUT.tmk [--log OLD.tmk]";

int runImport(CliArgs& args) {
  std::string oldLog;
  const bool fromLog = args.option("--log", oldLog);
  if (args.rest.size() != 3) return CliFail(kUsage);
  const std::string& kind = args.rest[0];
  const std::string& file = args.rest[1];
  const std::string& out = args.rest[2];
  if (kind != "zlog" && kind != "cabrillo" && kind != "csv")
    return CliFail("unknown format: " + kind + " (zlog, cabrillo or csv)");
  if (out.empty()) return CliFail(kUsage);
  // OLD's QSOs would be dropped without a word.
  if (kind == "csv" && fromLog)
    return CliFail("a CSV file replaces the log: --log cannot be used with csv (nothing written)");

  UnattendedSession run(args.home);
  Session& session = run.session;
  LogDocument& doc = session.Doc;
  LogFiles& files = session.Files;
  std::string err;
  if (!session.openFolder(&err)) return CliFail(err);
  if (fromLog) {
    switch (files.LogRead(oldLog)) {
      case LogFiles::ReadResult::Read: break;
      case LogFiles::ReadResult::Missing: return CliFail(oldLog + ": " + std::string(importtext::kNoFile));
      case LogFiles::ReadResult::Declined:
      case LogFiles::ReadResult::Failed: return CliFail(oldLog + ": the log could not be read");
    }
  }

  std::string bytes;
  if (!fileio::exists(file)) return CliFail(file + ": " + std::string(importtext::kNoFile));
  if (!fileio::readAll(file, bytes, &err)) return CliFail(file + ": " + err);

  ImportResult res;
  if (kind == "zlog") {
    res = ZlogConvert(bytes, doc.Log, noProgress());
    doc.State.LogDirty = 1;
  } else if (kind == "cabrillo") {
    res = CabConvert(bytes, CabColumnsFrom(session.Ini), doc.Log, noProgress());
    doc.State.LogDirty = 1;
  } else {
    doc.Log.clear();
    doc.State.LogFileName.clear();
    res = CsvParse(bytes, doc.Log, noProgress());
  }
  // A partial result is never saved as if it were the whole file.
  if (res.failed) return CliFail(file + ": " + res.error + " (nothing written)");
  if (res.limited)
    return CliFail(file + ": " + importtext::limitReached(res.appended) + " (nothing written)");

  if (doc.Log.empty()) return CliFail(file + ": no QSOs to save (nothing written)");
  session.search();
  if (!files.DataSave(out, &err)) return CliFail(out + ": " + err);
  std::fprintf(stderr, "tamarack-cli: %d QSOs read, %d QSOs saved to %s\n", res.appended,
               doc.Log.count(), out.c_str());
  return 0;
}

const bool registered = RegisterCliCommand(
    {"import", "import zlog|cabrillo|csv FILE OUT.tmk [--log OLD.tmk]", runImport});

}  // namespace
