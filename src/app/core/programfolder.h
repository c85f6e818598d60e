// The program's folder: where the settings file, the country file, the
// contest definitions and the logs live.
#pragma once
#include <string>
#include <vector>

// "--home DIR" on the command line, else TAMARACK_HOME, else
// $XDG_DATA_HOME/Tamarack (~/.local/share/Tamarack). The result has no
// trailing "/".
std::string ResolveProgramFolder(const std::vector<std::string>& args, const char* tamarackHome,
                                 const char* xdgDataHome, const char* home);

// The folder of the data files the program ships (contest definitions,
// tables, help): beside the executable, else the source tree's.
std::string ShippedDataFolder(const std::string& exeDir);

constexpr const char* kPublicCountryFile = "/usr/share/hamradio-files/cty.dat";

// What preparing the program folder found.
struct FolderPrepared {
  // The folder had neither a settings file nor a record of shipped files:
  // a new program folder, not one whose settings file vanished.
  bool firstStart = false;
  // Shipped files newer than the folder's copies, which the operator has
  // changed and so were kept (relative paths); each newer version once.
  std::vector<std::string> keptChanged;
};

// The record of the shipped files copied into the program folder.
constexpr const char* kShippedManifest = "shipped.manifest";

// Creates the folder when missing and keeps the shipped data current: a
// shipped file the folder lacks is copied (on a first start every one; later
// a file newly shipped, and AdiDxcc.dat and TH_DX.dat whenever missing, but
// not one the operator removed); a copy the operator has not changed is
// replaced by a newer shipped version; a changed one is kept and reported in
// *prepared. The public country file is copied as Cty.dat when the folder has
// none. False with the error's text when the folder cannot be made or no file
// can be written in it.
bool PrepareProgramFolder(const std::string& folder, const std::string& shippedData,
                          const std::string& publicCountryFile, std::string* error,
                          FolderPrepared* prepared = nullptr);

// The one notice of shipped files kept because the operator changed them.
std::string KeptChangedMessage(const FolderPrepared& prepared);

// Removes the temporary files of interrupted saves (fileio::writeAtomic's
// names) older than a minute from the program folder, its Log, SentLog, Cfg
// and Conv folders and the folder of the log file logFileName.
void RemoveStaleTempFiles(const std::string& folder, const std::string& logFileName);

// The one message at start when the folder cannot be made or written.
std::string ProgramFolderMessage(const std::string& folder, const std::string& error);

// Start-up folders: SentLog and Log made when missing; in Cfg the three
// outdated party definitions are deleted, and the digital party's definition
// an earlier version shipped when unchanged; or Cfg is made.
void PrepareWorkFolders(const std::string& folder);
