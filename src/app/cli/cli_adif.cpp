// tamarack-cli adif LOG.tmk OUTBASE: the ADIF file OUTBASE.adi of a log,
// with the ADIF settings of the program folder's settings file.
#include <cstdio>
#include <string>

#include "app/cli/cli.h"
#include "app/core/scoredlog.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/ui.h"
#include "output/adif.h"

namespace {

constexpr const char* kUsage = "usage: tamarack-cli [--home DIR] adif LOG.tmk OUTBASE";

// Every message goes to stderr; nothing is asked.
class StderrUi : public Ui {
 public:
  Answer ask(std::string_view text, Buttons, Icon, std::string_view) override {
    std::fprintf(stderr, "tamarack-cli: %.*s\n", static_cast<int>(text.size()), text.data());
    return Answer::Ok;
  }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

int runAdif(CliArgs& args) {
  if (args.rest.size() != 2) return CliFail(kUsage);
  for (const std::string& a : args.rest)
    if (a.rfind("--", 0) == 0) return CliFail(kUsage);

  ScoredLog s;
  std::string err;
  if (!LoadScoredLog(args.home, args.rest[0], s, &err)) return CliFail(err);
  StderrUi ui;
  if (!fileio::exists(args.home + "/Cty.dat")) ui.tell("NOT [Cty.dat] FILE");
  const adif::AdifSource src{s.log, s.def.SetUTCtime == 1, s.cty, s.settings};
  const adif::AdifResult r =
      adif::AdifOut(adif::AdifBaseName(args.rest[1]), src, args.home, ui, noProgress());
  return r.ok ? 0 : 1;
}

const bool registered = RegisterCliCommand({"adif", "adif LOG.tmk OUTBASE", runAdif});

}  // namespace
