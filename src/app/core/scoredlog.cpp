#include "app/core/scoredlog.h"

#include "app/core/inifile.h"
#include "log/fileio.h"
#include "log/logcommands.h"
#include "log/logfile.h"
#include "log/progress.h"
#include "log/ui.h"
#include "output/elog.h"

namespace {

// Asks nothing: every message is kept as the failure's text, and every
// question is answered Yes (or OK).
class QuietUi : public Ui {
 public:
  Answer ask(std::string_view text, Buttons buttons, Icon, std::string_view) override {
    if (!messages.empty()) messages += "; ";
    messages += text;
    return buttons == Buttons::YesNo || buttons == Buttons::YesNoCancel ? Answer::Yes : Answer::Ok;
  }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
  std::string messages;
};

bool fail(std::string* error, std::string text) {
  if (error) *error = std::move(text);
  return false;
}

}  // namespace

bool LoadStation(const std::string& programDir, ScoredLog& out, std::string* error,
                 std::string* notes) {
  const std::string iniPath = programDir + "/Tamarack.ini";
  std::string err;
  if (IniRead(iniPath, out.settings, &err) == IniReadResult::Error)
    return fail(error, iniPath + ": " + err);

  QuietUi ui;
  std::int16_t logTestNo = 0;
  const CfgReadResult cfg =
      CfgRead(out.settings.CfgFileName, programDir, out.def, out.sections, out.settings, logTestNo, ui);
  out.cfgPath = cfg.path;
  if (!cfg.read)
    return fail(error, cfg.path + ": " + (ui.messages.empty() ? "cannot be read" : ui.messages) +
                           " (contest definition)");
  if (notes) *notes = ui.messages;
  return true;
}

bool LoadScoredLog(const std::string& programDir, const std::string& logPath, ScoredLog& out,
                   std::string* error) {
  std::string notes, err;
  if (!LoadStation(programDir, out, error, &notes)) return false;
  if (!notes.empty()) return fail(error, out.cfgPath + ": " + notes);

  QuietUi ui;
  if (CtyRead(programDir, out.cty, ui) != CtyReadResult::Ok && out.def.SearchEntityFile == 1)
    return fail(error, programDir + "/Cty.dat: " + ui.messages);

  std::string bytes;
  if (!fileio::readAll(logPath, bytes, &err)) return fail(error, logPath + ": " + err);
  if (bytes.size() > logfile::kMaxFileBytes)
    return fail(error, logPath + ": more than " + std::to_string(kMaxQso) + " QSOs");
  if (!logfile::isLogBytes(bytes)) return fail(error, logtext::notALog(logPath));
  const int n = static_cast<int>(logfile::wholeRecords(bytes.size()));
  out.log.resize(n);
  logfile::decodeInto(bytes, out.log, 1, noProgress());

  LogDataSearch(out.log, out.def, out.cty, out.sections, out.settings.CateMode,
                out.settings.CateBand, out.score, noProgress());
  return true;
}

std::string ScoreTableText(const ScoreTable& score) {
  std::string out;
  for (int i = 0; i <= ScoreTable::kTotalRow; ++i) {
    const BandStat& b = score.BandStats[static_cast<std::size_t>(i)];
    out += i < ScoreTable::kTotalRow ? std::string(elog::ScoreLabel(i)) : std::string("TOTAL");
    out += '\t' + std::to_string(b.QsoCount) + '\t' + std::to_string(b.DupeCount) + '\t' +
           std::to_string(b.PointSum) + '\t' + std::to_string(b.MltCount) + '\n';
  }
  out += "TotalScore\t" + std::to_string(score.TotalScore) + '\n';
  return out;
}
