// Tamarack: the program's start.
#include <QApplication>
#include <QFontDatabase>
#include <QImageReader>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QTranslator>
#include <cstdio>
#include <thread>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/core/programfolder.h"
#include "app/core/startenv.h"
#include "app/core/version.h"
#include "app/gui/frmmain.h"
#include "app/gui/uifont.h"
#include "log/gui/qtui.h"
#include "log/clock.h"
#include "log/cp932.h"


int main(int argc, char** argv) {
  // Answered before Qt starts, so that they work without a display.
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--home") {
      ++i;
    } else if (a == "--version") {
      std::printf("tamarack %s\n", ProgramVersion().c_str());
      return 0;
    } else if (a == "--help" || a == "-h") {
      std::printf(
          "使い方 / usage: tamarack [--home DIR] [--version] [--help]\n\n"
          "The program folder is --home DIR, else TAMARACK_HOME, else "
          "$XDG_DATA_HOME/Tamarack.\n");
      return 0;
    }
  }

  // The windows draw with no OpenGL: the display's GL layer is not loaded.
  if (qEnvironmentVariableIsEmpty("QT_XCB_GL_INTEGRATION")) qputenv("QT_XCB_GL_INTEGRATION", "none");
  // Set before any thread starts; ended once the window is up.
  NoBusWhileStarting noBus;

  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);
  AppEnv env;
  env.PaintFirst = true;
  env.ProgramFolder = ResolveProgramFolder(args, std::getenv("TAMARACK_HOME"),
                                           std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  // On a second core while Qt connects to the display: the font
  // configuration is read (tens of milliseconds on its first use), the
  // codec's tables are built and the program folder is made ready.
  std::string japaneseFamily, err;
  bool folderReady = false;
  std::jthread starting([&] {
    japaneseFamily = JapaneseSansFamily();
    cp932::loadTables();
    std::error_code ec;
    const std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    if (!ec)
      folderReady = PrepareProgramFolder(env.ProgramFolder, ShippedDataFolder(exe.parent_path().string()),
                                         kPublicCountryFile, &err, &env.Prepared);
  });
  QApplication app(argc, argv);
  // Also beside the window's making: the image readers the menu bar's
  // icons ask for, and the list of the fonts.
  std::jthread readers([] {
    QImageReader::supportedImageFormats();
    QFontDatabase::families();
  });
  QApplication::setApplicationName(QStringLiteral("Tamarack"));
  // Ties the windows to the menu entry (its icon and name on Wayland and in docks).
  QGuiApplication::setDesktopFileName(QStringLiteral("tamarack"));

  QTranslator qtJa;
  if (qtJa.load(QLocale(QLocale::Japanese), QStringLiteral("qtbase"), QStringLiteral("_"),
                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    QApplication::installTranslator(&qtJa);

  starting.join();
  // The program's texts are Japanese whatever the locale: one face with both
  // Latin and Japanese letters is loaded once, where a Latin face would need
  // a Japanese one behind it.
  if (!japaneseFamily.empty()) {
    QFont font = QApplication::font();
    font.setFamilies({QString::fromStdString(japaneseFamily)});
    QApplication::setFont(font);
  }
  // Without /proc the folder is made ready here, where Qt knows the program's own folder.
  if (!folderReady && err.empty())
    folderReady = PrepareProgramFolder(env.ProgramFolder,
                                       ShippedDataFolder(fromQ(QCoreApplication::applicationDirPath())),
                                       kPublicCountryFile, &err, &env.Prepared);
  if (!folderReady) {
    QMessageBox::critical(nullptr, QStringLiteral("Tamarack"),
                          toQ(ProgramFolderMessage(env.ProgramFolder, err)));
    return 1;
  }
  QtUi ui;
  SystemClock clock;
  frmMain w(env, ui, clock);
  ui.setParent(&w);
  // Form_Load shows the window once its kept geometry is applied, and lets
  // it paint before the log is read.
  w.Form_Load();
  readers.join();
  noBus.end();
  return app.exec();
}
