// Resident memory of the program with a full log in its grid, above the
// empty program. Run: QT_QPA_PLATFORM=offscreen ./tamarack_memory_bench
#include <QApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/gui/frmmain.h"
#include "log/clock.h"

namespace {
class QuietUi : public Ui {
 public:
  Answer ask(std::string_view, Buttons, Icon, std::string_view) override { return Answer::Ok; }
  std::optional<std::string> openFile(const FileDialogOptions&) override { return std::nullopt; }
  std::optional<std::string> saveFile(const FileDialogOptions&) override { return std::nullopt; }
};

long residentKb() {
  std::ifstream f("/proc/self/status");
  std::string line;
  while (std::getline(f, line))
    if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
  return -1;
}
}  // namespace

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QTemporaryDir dir;
  QuietUi ui;
  SystemClock clock;
  AppEnv env;
  env.ProgramFolder = dir.path().toStdString();
  frmMain w(env, ui, clock);
  w.show();
  w.Form_Load();
  for (int i = 0; i < 20; ++i) app.processEvents();
  const long before = residentKb();
  for (int i = 0; i < kMaxQso; ++i) {
    QsoRecord r;
    r.CallSign = "JA1AB" + std::to_string(i);
    r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + i / 86400.0;
    r.Band = "7";
    r.Mode = "CW";
    r.SentRst = "599";
    r.SentNo = "13M";
    r.RcvdRst = "599";
    r.RcvdNo = "10M";
    r.Mlt = "10";
    r.Remarks = "備考あり";
    w.session().Doc.Log.append(r);
  }
  w.session().FrmLogLoad();
  w.mnuOn();
  w.session().Files.scrollToEnd();
  for (int i = 0; i < 20; ++i) app.processEvents();
  const long after = residentKb();
  std::printf("empty program: %ld kB resident\n", before);
  std::printf("with %d QSOs in the grid: %ld kB resident (+%.1f MB)\n", w.session().Doc.Log.count(), after,
              (after - before) / 1024.0);
  w.session().Doc.State.LogDirty = 0;
  w.close();
  return 0;
}
