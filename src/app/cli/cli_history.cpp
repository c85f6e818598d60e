// tamarack-cli history LOGDIR CALL: what the call sent the last time, from
// the log files of a folder.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/callhistory.h"
#include "log/fileio.h"
#include "log/utf8.h"

namespace {

int runHistory(CliArgs& args) {
  if (args.rest.size() != 2) return CliFail("usage: tamarack-cli history LOGDIR CALL");
  const std::string& folder = args.rest[0];
  if (!fileio::isDirectory(folder)) return CliFail(folder + ": not a folder");
  HistorySources sources;
  sources.logs = LogFilesIn(folder);
  const CallHistory history = BuildCallHistory(sources);
  for (const std::string& note : history.notes) std::fprintf(stderr, "tamarack-cli: %s\n", note.c_str());
  // Typed letters are upper-cased, as in the entry window.
  const std::string call = utf8::toUpperAscii(utf8::trim(args.rest[1]));
  const HistoryEntry* e = history.find(call);
  if (!e) return CliFail(call + ": not in the history");
  const std::string line = HistoryLine(*e) + "\n";
  std::fwrite(line.data(), 1, line.size(), stdout);
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const bool registered = RegisterCliCommand({"history", "history LOGDIR CALL", runHistory});

}  // namespace
