// tamarack-cli adif LOG.tmk OUTBASE [--standard] [--wsjt MODE]: the ADIF file
// OUTBASE.adi of a log, with the ADIF settings of the program folder's
// settings file; --standard writes the file as the ADIF standard has it.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "log/fileio.h"
#include "log/logcommands.h"
#include "log/progress.h"
#include "output/adif.h"

namespace {

constexpr const char* kUsage =
    "usage: tamarack-cli [--home DIR] adif LOG.tmk OUTBASE [--standard] "
    "[--wsjt FT8|FT4|JT65|JT9|Q65]";

int runAdif(CliArgs& args) {
  adif::AdifOptions options;
  if (args.flag("--standard")) options.AdiStdSw = 1;
  if (std::string wsjt; args.option("--wsjt", wsjt)) {
    std::size_t i = 0;
    while (i < adif::kWsjtModeNames.size() && adif::kWsjtModeNames[i] != wsjt) ++i;
    if (i == adif::kWsjtModeNames.size()) return CliFail(kUsage);
    options.AdiWsjtMode = static_cast<adif::WsjtMode>(i);
  }
  if (args.rest.size() != 2) return CliFail(kUsage);
  for (const std::string& a : args.rest)
    if (a.rfind("--", 0) == 0) return CliFail(kUsage);

  // OUTBASE or OUTBASE.adi names the file; a name with another extension
  // ("x.txt") does not, and the file it comes to is not replaced unasked.
  const std::string& named = args.rest[1];
  const std::string base = adif::AdifBaseName(named);
  const std::string path = base + ".adi";
  UnattendedSession run(args.home);
  Ui& ui = run.ui;
  if (named != base && named != path && fileio::exists(path) &&
      ui.question(Question::Overwrite, logtext::askOverwrite(path), Buttons::YesNo,
                      Icon::Exclamation) != Answer::Yes)
    return CliFail(path + ": exists and was not named; not replaced");

  std::string err;
  if (!run.loadScoredLog(args.rest[0], &err)) return CliFail(err);
  const Session& s = run.session;
  if (!fileio::exists(args.home + "/Cty.dat")) run.ui.tell("NOT [Cty.dat] FILE");
  const adif::AdifSource src{s.Doc.Log, s.Contest.SetUTCtime == 1, s.Cty, s.Ini,
                             options, s.Contest.ContestNo, s.clock().now()};
  const adif::AdifResult r = adif::AdifOut(base, src, args.home, run.ui, noProgress());
  return r.ok ? 0 : 1;
}

const bool registered = RegisterCliCommand(
    {"adif", "adif LOG.tmk OUTBASE [--standard] [--wsjt FT8|FT4|JT65|JT9|Q65]", runAdif});

}  // namespace
