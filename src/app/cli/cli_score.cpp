// tamarack-cli score LOG.tmk: the score table of a log under the contest the
// program folder's settings name.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "app/core/scoredlog.h"

namespace {

int runScore(CliArgs& args) {
  if (args.rest.size() != 1) return CliFail("usage: tamarack-cli [--home DIR] score LOG.tmk");
  ScoredLog s;
  std::string err;
  if (!LoadScoredLog(args.home, args.rest[0], s, &err)) return CliFail(err);
  const std::string text = ScoreTableText(s.score);
  std::fwrite(text.data(), 1, text.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const bool registered =
    RegisterCliCommand({"score", "score LOG.tmk", runScore});

}  // namespace
