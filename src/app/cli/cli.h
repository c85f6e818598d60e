// tamarack-cli: the program's rules from the command line. Each command
// lives in a file of its own and registers itself here.
#pragma once
#include <cstdio>
#include <string>
#include <vector>

struct CliArgs {
  std::string home;                 // the program folder (--home, TAMARACK_HOME, XDG)
  std::vector<std::string> rest;    // the command's own arguments
  // The value of "--name VALUE" among rest (removed from it), if present.
  bool option(const std::string& name, std::string& value);
  // Whether the switch "--name" is among rest (removed from it).
  bool flag(const std::string& name);
};

using CliMain = int (*)(CliArgs& args);

struct CliCommand {
  const char* name;
  const char* usage;   // one line, after "tamarack-cli [--home DIR] "
  CliMain run;
};

// Called from a static object of each command's file.
bool RegisterCliCommand(const CliCommand& c);

// Prints "tamarack-cli: " + text to stderr; returns the exit code 1.
int CliFail(const std::string& text);
