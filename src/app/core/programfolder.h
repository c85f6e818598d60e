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

// Creates the folder when missing. On a first start (no settings file yet)
// copies every shipped file that is missing; at every start copies the
// shipped AdiDxcc.dat and the public country file (as Cty.dat) when the
// folder has none. False with the error's text when the folder cannot be
// made or no file can be written in it.
bool PrepareProgramFolder(const std::string& folder, const std::string& shippedData,
                          const std::string& publicCountryFile, std::string* error);

// The one message at start when the folder cannot be made or written.
std::string ProgramFolderMessage(const std::string& folder, const std::string& error);

// Start-up folders: SentLog and Log made when missing; in Cfg the three
// outdated party definitions are deleted, and the digital party's definition
// an earlier version shipped when unchanged; or Cfg is made.
void PrepareWorkFolders(const std::string& folder);
