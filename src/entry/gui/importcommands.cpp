#include "entry/gui/importcommands.h"

#include <QPointer>

#include "log/csv.h"
#include "log/fileio.h"
#include "log/gui/frmbar.h"
#include "entry/gui/frmcabreadset.h"
#include "entry/gui/frmzlogreadset.h"
#include "contest/gui/workspace.h"
#include "contest/session.h"
#include "log/logcommands.h"
#include "log/logfile.h"
#include "log/progress.h"
#include "log/qso.h"
#include "log/settings.h"
#include "log/ui.h"

namespace importdlg {

namespace {
FileDialogOptions openOptions(const std::string& folder, const char* filter, int index) {
  FileDialogOptions dialog;
  dialog.filter = filter;
  dialog.filterIndex = index;
  if (!folder.empty() && fileio::isDirectory(folder)) dialog.initialDir = folder;
  return dialog;
}
}  // namespace

FileDialogOptions ZlogDialog(const std::string& zlogFolder) {
  return openOptions(zlogFolder, kZlogFilter, 1);
}

FileDialogOptions CabDialog(const std::string& cbrFolder) { return openOptions(cbrFolder, kCabFilter, 2); }

std::string FolderOf(const std::string& path) {
  const auto slash = path.rfind('/');
  if (slash == std::string::npos) return std::string();
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string CsvName(const std::string& chosen) {
  std::string name = logfile::SaveName(chosen);
  // The rule always ends the name in ".tmk".
  name.replace(name.size() - 4, 4, ".csv");
  return name;
}

}  // namespace importdlg

frmZlogReadSet* ZlogOn(Workspace& ws) {
  const auto path = ws.session().ui().openFile(importdlg::ZlogDialog(ws.session().Ini.ZlogFolder));
  if (!path || path->empty()) return nullptr;
  QPointer<frmZlogReadSet> dlg = new frmZlogReadSet(ws);
  dlg->show();
  ws.session().Ini.ZlogFolder = importdlg::FolderOf(*path);
  dlg->ZlogFileName = *path;
  dlg->ZlogTempRead(*path);
  return dlg && dlg->isVisible() ? dlg.data() : nullptr;
}

frmCabReadSet* CabOn(Workspace& ws) {
  const auto path = ws.session().ui().openFile(importdlg::CabDialog(ws.session().Ini.CbrFolder));
  if (!path || path->empty()) return nullptr;
  QPointer<frmCabReadSet> dlg = new frmCabReadSet(ws);
  dlg->show();
  ws.session().Ini.CbrFolder = importdlg::FolderOf(*path);
  dlg->CabFileName = *path;
  dlg->CabTempRead(*path);
  return dlg && dlg->isVisible() ? dlg.data() : nullptr;
}

void mCsvOut_Click(Workspace& ws) {
  Ui& ui = ws.session().ui();
  if (ws.session().Doc.Log.count() >= 1 &&
      ui.ask(importdlg::kAskCsvSave, Buttons::OkCancel, Icon::None, importdlg::kTitleCsvSave) !=
          Answer::Ok)
    return;
  FileDialogOptions dialog;
  dialog.filter = importdlg::kCsvSaveFilter;
  dialog.filterIndex = 1;
  dialog.initialDir = ws.session().ProgramFolder + "/Log/";
  dialog.overwritePrompt = true;
  const auto chosen = ui.saveFile(dialog);
  if (!chosen || chosen->empty()) return;
  const std::string name = importdlg::CsvName(*chosen);
  // The dialog asked about the name typed, not about the one the rule made.
  if (name != *chosen && fileio::exists(name) &&
      ui.ask(logtext::askOverwrite(name), Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
    return;
  if (const auto fields = logfile::UnencodableFields(ws.session().Doc.Log); !fields.empty())
    ui.tell(logtext::replacedCharsNotice(fields), Icon::Exclamation);
  ws.mnuOff();
  std::string err;
  const bool ok = CsvWrite(name, ws.session().Doc.Log, ws.session().progress(), &err);
  ws.mnuOn();
  if (!ok) {
    ui.tell(name + "\r\n" + err);
    return;
  }
  ws.setStatusPanel(3, name);
}

bool CsvRead(Workspace& ws, const std::string& path) {
  if (path.empty()) return false;
  Ui& ui = ws.session().ui();
  std::string bytes, err;
  if (!fileio::exists(path)) {
    ui.tell(importtext::kNoFile);
    return false;
  }
  if (!fileio::readAll(path, bytes, &err)) {
    ui.tell(err);
    return false;
  }
  ws.session().Files.LogCls();
  ws.mnuOff();
  const ImportResult res = CsvParse(bytes, ws.session().Doc.Log, ws.session().progress());
  if (res.failed) ui.tell(res.error);
  if (res.limited) ui.tell(importtext::limitReached(res.appended));
  // The records read stay, searched and shown, also after an error.
  ws.session().LogDataSearch();
  return true;
}

void mCsvIn_Click(Workspace& ws) {
  Ui& ui = ws.session().ui();
  if (ws.session().Doc.Log.count() > 0 && ws.session().Doc.State.LogDirty == 1 &&
      ui.ask(importdlg::kAskCsvOpen, Buttons::YesNo, Icon::None, importdlg::kTitleCsvOpen) !=
          Answer::Yes)
    return;
  FileDialogOptions dialog;
  dialog.filter = importdlg::kCsvOpenFilter;
  dialog.filterIndex = 1;
  dialog.initialDir = ws.session().ProgramFolder + "/Log/";
  const auto path = ui.openFile(dialog);
  if (!path || path->empty()) return;
  if (CsvRead(ws, *path)) ws.setStatusPanel(3, *path);
  ws.mnuOn();
}
