// tamarack-cli rig status: the radio's frequency, band and mode read once
// through the same link the entry window uses.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "entry/riglink.h"

namespace {

const char* const kUsage =
    "usage: tamarack-cli [--home DIR] rig status [--model N [--port DEVICE] [--speed BAUD] | "
    "--rigctld HOST:PORT]";

// The whole text a positive number; false otherwise.
bool parseCount(const std::string& text, int& out) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  out = std::stoi(text);
  return out > 0;
}

int runRig(CliArgs& args) {
  std::string model, port, speed, rigctld;
  const bool byModel = args.option("--model", model);
  const bool byPort = args.option("--port", port);
  const bool bySpeed = args.option("--speed", speed);
  const bool byServer = args.option("--rigctld", rigctld);
  if (args.rest.size() != 1 || args.rest[0] != "status") return CliFail(kUsage);
  if ((byServer && (byModel || byPort || bySpeed)) || ((byPort || bySpeed) && !byModel))
    return CliFail(kUsage);

  // The settings give the digital mode always, and the radio when no option does.
  UnattendedSession run(args.home);
  std::string err;
  if (run.session.readSettings(&err) == IniReadResult::Error)
    return CliFail(run.session.iniPath() + ": " + err);
  const Settings& ini = run.session.Ini;
  entry::RigConfig config;
  if (byServer) {
    if (rigctld.empty()) return CliFail("--rigctld needs HOST:PORT");
    config = entry::RigConfig::rigctld(rigctld, ini.RigDigiMode);
  } else if (byModel) {
    if (!parseCount(model, config.model)) return CliFail("--model needs a model number");
    if (bySpeed && !parseCount(speed, config.speed)) return CliFail("--speed needs a number");
    config.port = port;
    config.digiMode = ini.RigDigiMode;
  } else if (auto fromIni = entry::RigConfig::fromSettings(ini)) {
    config = *fromIni;
  } else {
    return CliFail("rig control is off in " + run.session.iniPath() +
                   " (RigOn=1 and RigModel turn it on)");
  }

  entry::RigLink link(config);
  const entry::RigStatus s =
      link.waitUntil([](const entry::RigStatus& st) { return st.rounds > 0; },
                     std::chrono::seconds(60));
  if (s.state != entry::RigState::Answering) {
    const std::string which = config.model == entry::RigConfig::kRigctldModel
                                  ? "rigctld " + (config.port.empty() ? "localhost" : config.port)
                                  : "model " + std::to_string(config.model) +
                                        (config.port.empty() ? "" : " on " + config.port);
    return CliFail("the rig (" + which + ") does not answer" +
                   (s.error.empty() ? "" : ": " + s.error));
  }
  if (!s.note.empty()) std::fprintf(stderr, "tamarack-cli: %s\n", s.note.c_str());
  std::printf("%llu\t%s\t%s\n", static_cast<unsigned long long>(s.frequency), s.band.c_str(),
              s.mode.c_str());
  return std::fflush(stdout) == 0 ? 0 : 1;
}

const bool registered = RegisterCliCommand(
    {"rig", "rig status [--model N [--port DEVICE] [--speed BAUD] | --rigctld HOST:PORT]",
     runRig});

}  // namespace
