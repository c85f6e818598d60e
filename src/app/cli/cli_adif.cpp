// tamarack-cli adif LOG.tmk OUTBASE: the ADIF file OUTBASE.adi of a log,
// with the ADIF settings of the program folder's settings file.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "output/adif.h"

namespace {

constexpr const char* kUsage = "usage: tamarack-cli [--home DIR] adif LOG.tmk OUTBASE";

int runAdif(CliArgs& args) {
  if (args.rest.size() != 2) return CliFail(kUsage);
  for (const std::string& a : args.rest)
    if (a.rfind("--", 0) == 0) return CliFail(kUsage);

  UnattendedSession run(args.home);
  std::string err;
  if (!run.loadScoredLog(args.rest[0], &err)) return CliFail(err);
  const Session& s = run.session;
  if (!fileio::exists(args.home + "/Cty.dat")) run.ui.tell("NOT [Cty.dat] FILE");
  const adif::AdifSource src{s.Doc.Log, s.Contest.SetUTCtime == 1, s.Cty, s.Ini};
  const adif::AdifResult r =
      adif::AdifOut(adif::AdifBaseName(args.rest[1]), src, args.home, run.ui, noProgress());
  return r.ok ? 0 : 1;
}

const bool registered = RegisterCliCommand({"adif", "adif LOG.tmk OUTBASE", runAdif});

}  // namespace
