#include "testworkspace.h"

TestWorkspace::TestWorkspace() : Folder(dir.path().toStdString()), Main(new QWidget) {
  Main->setObjectName(QStringLiteral("Main"));
  Main->setGeometry(200, 150, 900, 560);
  Main->show();
  FrmLogLoad();
  files_ = std::make_unique<LogFiles>(Doc, Prompts, *this, noProgress(), Folder,
                                      ContestInfo{[this] { return Contest.ContestNo; }, ContestNameOf});
}

TestWorkspace::~TestWorkspace() {
  // Windows still open are children of the stand-in main window: they go first.
  Main.reset();
}

void TestWorkspace::fillLog(int n) {
  for (int i = 0; i < n; ++i) {
    QsoRecord r;
    r.CallSign = "JA1AA" + std::to_string(i);
    r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, 0, 0) + i / 1440.0;
    r.Band = "7";
    r.Mode = "CW";
    Doc.Log.append(r);
  }
  FrmLogLoad();
}

void TestWorkspace::LogDataSearch() {
  ++searches;
  ::LogDataSearch(Doc.Log, Contest, Cty, Sections, Ini.CateMode, Ini.CateBand, Score, noProgress());
  FrmLogLoad();
}

void TestWorkspace::FrmLogLoad() {
  ++gridLoads;
  ::FrmLogLoad(GridData, Doc.Log, Doc.State.ShowSeconds);
}

void TestWorkspace::LogGridToMem() { GridToLog(GridData, Doc.Log, Doc.CurQso, noProgress()); }

bool TestWorkspace::CfgRead(const std::string& path) {
  const CfgReadResult r =
      ::CfgRead(path, Folder, Contest, Sections, Ini, Doc.State.LogTestNo, Prompts);
  if (r.relocated) Doc.State.CfgFileName = r.path;
  setStatusPanel(1, r.statusText);
  return r.read;
}

void TestWorkspace::setStatusPanel(int panel, const std::string& text) {
  if (panel >= 1 && panel <= 3) panels[static_cast<std::size_t>(panel - 1)] = text;
}

void TestWorkspace::registerDialog(int no, QWidget* w) {
  Doc.State.OpenDialogNo = static_cast<std::int16_t>(no);
  if (no >= 1 && no < static_cast<int>(dialogs_.size())) dialogs_[static_cast<std::size_t>(no)] = w;
}

void TestWorkspace::unregisterDialog(int no) {
  if (no >= 1 && no < static_cast<int>(dialogs_.size())) dialogs_[static_cast<std::size_t>(no)] = nullptr;
  Doc.State.OpenDialogNo = 0;
}

QWidget* TestWorkspace::openDialog(int no) const {
  if (no >= 1 && no < static_cast<int>(dialogs_.size())) return dialogs_[static_cast<std::size_t>(no)];
  return nullptr;
}

void TestWorkspace::clearGrid() { ::FrmLogLoad(GridData, LogData{}, Doc.State.ShowSeconds); }
