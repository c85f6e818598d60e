#include "testworkspace.h"

#include "sample_log.h"

TestWorkspace::TestWorkspace()
    : S(dir.path().toStdString(), Prompts, Time, noProgress(), *this), Main(new QWidget) {
  Main->setObjectName(QStringLiteral("Main"));
  Main->setGeometry(200, 150, 900, 560);
  Main->show();
  S.FrmLogLoad();
}

TestWorkspace::~TestWorkspace() {
  // Windows still open are children of the stand-in main window: they go first.
  Main.reset();
}

void TestWorkspace::fillLog(int n) {
  AppendSampleQsos(S.Doc.Log, n);
  S.FrmLogLoad();
}

bool TestWorkspace::CfgRead(const std::string& path) {
  const CfgReadResult r = S.readDefinition(path);
  setStatusPanel(1, r.statusText);
  return r.read;
}

void TestWorkspace::setStatusPanel(int panel, const std::string& text) {
  if (panel >= 1 && panel <= 3) panels[static_cast<std::size_t>(panel - 1)] = text;
}
