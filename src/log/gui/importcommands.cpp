#include "log/gui/importcommands.h"

#include <QPointer>

#include "log/csv.h"
#include "log/fileio.h"
#include "log/gui/frmbar.h"
#include "log/gui/frmcabreadset.h"
#include "log/gui/frmzlogreadset.h"
#include "log/gui/workspace.h"
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
  const auto path = ws.ui().openFile(importdlg::ZlogDialog(ws.ini().ZlogFolder));
  if (!path || path->empty()) return nullptr;
  QPointer<frmZlogReadSet> dlg = new frmZlogReadSet(ws);
  dlg->show();
  ws.ini().ZlogFolder = importdlg::FolderOf(*path);
  dlg->ZlogFileName = *path;
  dlg->ZlogTempRead(*path);
  return dlg && dlg->isVisible() ? dlg.data() : nullptr;
}

frmCabReadSet* CabOn(Workspace& ws) {
  const auto path = ws.ui().openFile(importdlg::CabDialog(ws.ini().CbrFolder));
  if (!path || path->empty()) return nullptr;
  QPointer<frmCabReadSet> dlg = new frmCabReadSet(ws);
  dlg->show();
  ws.ini().CbrFolder = importdlg::FolderOf(*path);
  dlg->CabFileName = *path;
  dlg->CabTempRead(*path);
  return dlg && dlg->isVisible() ? dlg.data() : nullptr;
}

void mCsvOut_Click(Workspace& ws) {
  Ui& ui = ws.ui();
  if (ws.doc().Log.count() >= 1 &&
      ui.ask(importdlg::kAskCsvSave, Buttons::OkCancel, Icon::None, importdlg::kTitleCsvSave) !=
          Answer::Ok)
    return;
  FileDialogOptions dialog;
  dialog.filter = importdlg::kCsvSaveFilter;
  dialog.filterIndex = 1;
  dialog.initialDir = ws.programFolder() + "/Log/";
  dialog.overwritePrompt = true;
  const auto chosen = ui.saveFile(dialog);
  if (!chosen || chosen->empty()) return;
  const std::string name = importdlg::CsvName(*chosen);
  // The dialog asked about the name typed, not about the one the rule made.
  if (name != *chosen && fileio::exists(name) &&
      ui.ask(logtext::askOverwrite(name), Buttons::YesNo, Icon::Exclamation) != Answer::Yes)
    return;
  if (const auto fields = logfile::UnencodableFields(ws.doc().Log); !fields.empty())
    ui.tell(logtext::replacedCharsNotice(fields), Icon::Exclamation);
  ws.mnuOff();
  std::string err;
  const bool ok = CsvWrite(name, ws.doc().Log, ws.progress(), &err);
  ws.mnuOn();
  if (!ok) {
    ui.tell(name + "\r\n" + err);
    return;
  }
  ws.setStatusPanel(3, name);
}

bool CsvRead(Workspace& ws, const std::string& path) {
  if (path.empty()) return false;
  Ui& ui = ws.ui();
  std::string bytes, err;
  if (!fileio::exists(path)) {
    ui.tell(importtext::kNoFile);
    return false;
  }
  if (!fileio::readAll(path, bytes, &err)) {
    ui.tell(err);
    return false;
  }
  ws.files().LogCls();
  ws.mnuOff();
  const ImportResult res = CsvParse(bytes, ws.doc().Log, ws.progress());
  if (res.failed) ui.tell(res.error);
  if (res.limited) ui.tell(importtext::limitReached(res.appended));
  // The records read stay, searched and shown, also after an error.
  ws.LogDataSearch();
  return true;
}

void mCsvIn_Click(Workspace& ws) {
  Ui& ui = ws.ui();
  if (ws.doc().Log.count() > 0 && ws.doc().State.LogDirty == 1 &&
      ui.ask(importdlg::kAskCsvOpen, Buttons::YesNo, Icon::None, importdlg::kTitleCsvOpen) !=
          Answer::Yes)
    return;
  FileDialogOptions dialog;
  dialog.filter = importdlg::kCsvOpenFilter;
  dialog.filterIndex = 1;
  dialog.initialDir = ws.programFolder() + "/Log/";
  const auto path = ui.openFile(dialog);
  if (!path || path->empty()) return;
  if (CsvRead(ws, *path)) ws.setStatusPanel(3, *path);
  ws.mnuOn();
}
