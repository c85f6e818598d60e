// Tamarack: the program's start.
#include <QApplication>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdlib>

#include "app/core/programfolder.h"
#include "app/gui/frmmain.h"
#include "log/gui/qtui.h"
#include "log/clock.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("Tamarack"));

  QTranslator qtJa;
  if (qtJa.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtJa);

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  AppEnv env;
  env.ProgramFolder = ResolveProgramFolder(args, std::getenv("TAMARACK_HOME"),
                                           std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  std::string err;
  if (!PrepareProgramFolder(env.ProgramFolder,
                            ShippedDataFolder(fromQ(QCoreApplication::applicationDirPath())),
                            kPublicCountryFile, &err)) {
    QMessageBox::critical(nullptr, QStringLiteral("Tamarack"),
                          toQ(ProgramFolderMessage(env.ProgramFolder, err)));
    return 1;
  }

  QtUi ui;
  SystemClock clock;
  frmMain w(env, ui, clock);
  ui.setParent(&w);
  w.show();
  w.Form_Load();
  return app.exec();
}
