// tamarack-cli score LOG.tmk: the score table of a log under the contest the
// program folder's settings name.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "output/elog.h"

namespace {

int runScore(CliArgs& args) {
  if (args.rest.size() != 1) return CliFail("usage: tamarack-cli [--home DIR] score LOG.tmk");
  UnattendedSession run(args.home);
  std::string err;
  if (!run.loadScoredLog(args.rest[0], &err)) return CliFail(err);
  const std::string text = elog::ScoreTableText(run.session.Score);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const bool registered =
    RegisterCliCommand({"score", "score LOG.tmk", runScore});

}  // namespace
