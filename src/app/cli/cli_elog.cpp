// tamarack-cli elog LOG.tmk OUT.tmq: the JARL electronic log of a log, with
// the station data of the program folder's settings.
#include <cstdio>
#include <optional>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "log/settingsfile.h"
#include "log/logfile.h"
#include "log/clock.h"
#include "log/progress.h"
#include "output/elog.h"
#include "output/submit.h"

namespace {

constexpr const char* kUsage =
    "usage: tamarack-cli [--home DIR] elog LOG.tmk OUT.tmq [--signature TEXT] [--date TEXT] "
    "[--format r1.0|r2.1] [--license-date TEXT]";

int runElog(CliArgs& args) {
  std::string signature, date, formatText, licenseDate;
  args.option("--signature", signature);
  const bool dateGiven = args.option("--date", date);
  const bool formatGiven = args.option("--format", formatText);
  args.option("--license-date", licenseDate);
  std::optional<elog::ElogFormat> format;
  if (formatGiven && !(format = elog::ParseFormat(formatText))) return CliFail(kUsage);
  if (args.rest.size() != 2) return CliFail(kUsage);
  for (const std::string& a : args.rest)
    if (a.rfind("--", 0) == 0) return CliFail(kUsage);
  if (!dateGiven) date = ole::formatJapaneseDate(SystemClock().now());

  UnattendedSession run(args.home);
  std::string err;
  if (!run.loadScoredLog(args.rest[0], &err)) return CliFail(err);
  const Session& s = run.session;
  const elog::ElogSource src{s.Doc.Log, s.Contest, s.Score, s.Ini, date, signature, licenseDate};
  const elog::ElogFormat chosen = format.value_or(elog::DefaultFormat(s.Contest));
  const elog::ElogResult r = elog::MakeElog(chosen, args.rest[1], src, noProgress());
  if (!r.ok) return CliFail(args.rest[1] + ": " + r.error);
  // Written all the same, as the program writes it; the operator learns
  // what the summary sheet still lacks.
  std::vector<std::string> replaced = logfile::UnencodableFields(s.Doc.Log);
  for (std::string& key : IniUnencodableKeys(s.Ini)) replaced.push_back(std::move(key));
  if (!replaced.empty()) {
    std::string list;
    for (const std::string& f : replaced) list += (list.empty() ? "" : ", ") + f;
    std::fprintf(stderr, "%s: characters Shift-JIS cannot express written as \"?\" in: %s\n",
                 args.rest[1].c_str(), list.c_str());
  }
  std::vector<std::string_view> missing = submit::MissingItems(s.Ini, s.Contest);
  if (chosen == elog::ElogFormat::R21)
    for (std::string_view item : submit::R21MissingItems(s.Ini, licenseDate))
      missing.push_back(item);
  for (std::string_view key : missing)
    std::fprintf(stderr, "%s: required item missing: %.*s\n", args.rest[1].c_str(),
                 static_cast<int>(key.size()), key.data());
  return 0;
}

const bool registered = RegisterCliCommand(
    {"elog",
     "elog LOG.tmk OUT.tmq [--signature TEXT] [--date TEXT] [--format r1.0|r2.1] "
     "[--license-date TEXT]",
     runElog});

}  // namespace
