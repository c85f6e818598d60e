// tamarack-cli check LOG.tmk: the check before submission, one finding a
// line ("LEVEL TAB QSO TAB TEXT"); exit 1 when there is an error.
#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "output/check.h"
#include "output/elog.h"

namespace {

constexpr const char* kUsage =
    "usage: tamarack-cli [--home DIR] check LOG.tmk [--format r1.0|r2.1] [--license-date TEXT]";

int runCheck(CliArgs& args) {
  std::string formatText, licenseDate;
  const bool formatGiven = args.option("--format", formatText);
  const bool dateGiven = args.option("--license-date", licenseDate);
  std::optional<elog::ElogFormat> format;
  if (formatGiven && !(format = elog::ParseFormat(formatText))) return CliFail(kUsage);
  if (args.rest.size() != 1 || args.rest[0].rfind("--", 0) == 0) return CliFail(kUsage);

  UnattendedSession run(args.home);
  std::string err;
  if (!run.loadScoredLog(args.rest[0], &err)) return CliFail(err);
  const Session& s = run.session;
  check::CheckSource src{s.Doc.Log, s.Contest, s.Score, s.Ini,
                         format.value_or(elog::DefaultFormat(s.Contest))};
  if (dateGiven) src.licenseDate = licenseDate;
  const std::vector<check::Finding> findings = check::CheckLog(src);
  for (const check::Finding& f : findings) {
    const std::string_view level = check::LevelName(f.level);
    std::printf("%.*s\t%d\t%s\n", static_cast<int>(level.size()), level.data(), f.qso,
                f.text.c_str());
  }
  if (std::fflush(stdout) != 0) return CliFail("standard output: cannot be written");
  return check::HasError(findings) ? 1 : 0;
}

const bool registered = RegisterCliCommand(
    {"check", "check LOG.tmk [--format r1.0|r2.1] [--license-date TEXT]", runCheck});

}  // namespace
