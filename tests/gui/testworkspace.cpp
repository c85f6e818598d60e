#include "testworkspace.h"

#include "sample_log.h"

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
  AppendSampleQsos(Doc.Log, n);
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

void TestWorkspace::registerDialog(int no, QWidget* w) { dialogs_.add(no, w, Doc.State.OpenDialogNo); }

void TestWorkspace::unregisterDialog(int no) { dialogs_.remove(no, Doc.State.OpenDialogNo); }

QWidget* TestWorkspace::openDialog(int no) const { return dialogs_.find(no); }

void TestWorkspace::clearGrid() { ::FrmLogLoad(GridData, LogData{}, Doc.State.ShowSeconds); }
