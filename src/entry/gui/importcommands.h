// The importer commands of the main window: the zLog and Cabrillo readers
// (File menu items mnuZlRead / mnuCabRead and the input window's command
// words) and the CSV export and import (mCsvOut / mCsvIn).
#pragma once
#include <string>

#include "log/ui.h"

class Workspace;
class frmZlogReadSet;
class frmCabReadSet;

namespace importdlg {
inline constexpr const char* kZlogFilter = "ZLOGログファイル (*.zlo)|*.zlo|";
inline constexpr const char* kCabFilter =
    "すべてのファイル (*.*)|*.*|Cabrillo ファイル (*.cbr)|*.cbr|";
inline constexpr const char* kCsvSaveFilter = "ＣＳＶファイル (*.csv)|*.csv|";
inline constexpr const char* kCsvOpenFilter = "CSVファイル (*.csv)|*.csv|";

inline constexpr const char* kAskCsvSave = "名前を付けてＣＳＶファイルを保存します";
inline constexpr const char* kTitleCsvSave = "名前を付けてＣＳＶファイルを保存";
inline constexpr const char* kAskCsvOpen = "ログデータを破棄してＣＳＶファイルを開きますか？";
inline constexpr const char* kTitleCsvOpen = "ＣＳＶファイルを開く";

// The open dialog of the zLog and Cabrillo readers: the remembered folder
// when it still exists.
FileDialogOptions ZlogDialog(const std::string& zlogFolder);
FileDialogOptions CabDialog(const std::string& cbrFolder);

// The folder part of a chosen path, without the separator before the name.
std::string FolderOf(const std::string& path);

// The CSV name of the path chosen in the save dialog: the log's save-name
// rule with ".csv" ("a.b.txt" -> "a.csv").
std::string CsvName(const std::string& chosen);
}  // namespace importdlg

// Chooses a zLog file and opens the read dialog on it. Returns the dialog
// (nullptr when cancelled or already closed again).
frmZlogReadSet* ZlogOn(Workspace& ws);
// Chooses a Cabrillo file and opens the read-and-settings dialog on it.
frmCabReadSet* CabOn(Workspace& ws);

// Writes the log to a CSV file.
void mCsvOut_Click(Workspace& ws);
// Replaces the log by a CSV file's contents.
void mCsvIn_Click(Workspace& ws);
// Reads the CSV file at path into an emptied log. The file is read first,
// so a file that cannot be read leaves the open log as it was (false).
bool CsvRead(Workspace& ws, const std::string& path);
