#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "app/core/programfolder.h"
#include "app/core/version.h"

namespace {
std::vector<CliCommand>& commands() {
  static std::vector<CliCommand> c;
  return c;
}

void usage(FILE* to) {
  std::fprintf(to, "使い方 / usage:\n");
  for (const CliCommand& c : commands())
    std::fprintf(to, "  tamarack-cli [--home DIR] %s\n", c.usage);
  std::fprintf(to,
               "\nThe program folder is --home DIR, else TAMARACK_HOME, else "
               "$XDG_DATA_HOME/Tamarack.\n");
}
}  // namespace

bool RegisterCliCommand(const CliCommand& c) {
  commands().push_back(c);
  return true;
}

int CliFail(const std::string& text) {
  std::fprintf(stderr, "tamarack-cli: %s\n", text.c_str());
  return 1;
}

bool CliArgs::option(const std::string& name, std::string& value) {
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == name && i + 1 < rest.size()) {
      value = rest[i + 1];
      rest.erase(rest.begin() + static_cast<long>(i), rest.begin() + static_cast<long>(i) + 2);
      return true;
    }
    if (rest[i].rfind(name + "=", 0) == 0) {
      value = rest[i].substr(name.size() + 1);
      rest.erase(rest.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

bool CliArgs::flag(const std::string& name) {
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == name) {
      rest.erase(rest.begin() + static_cast<long>(i));
      return true;
    }
  }
  return false;
}

int main(int argc, char** argv) {
  std::vector<std::string> all(argv + 1, argv + argc);
  std::vector<std::string> homeArgs;
  CliArgs args;
  std::string command;
  for (std::size_t i = 0; i < all.size(); ++i) {
    const std::string& a = all[i];
    if (a == "--help" || a == "-h") {
      usage(stdout);
      return 0;
    }
    if (a == "--version" && command.empty()) {
      std::printf("tamarack-cli %s\n", ProgramVersion().c_str());
      return 0;
    }
    if (a == "--home" && i + 1 < all.size() && command.empty()) {
      homeArgs = {a, all[i + 1]};
      ++i;
    } else if (a.rfind("--home=", 0) == 0 && command.empty()) {
      homeArgs = {a};
    } else if (command.empty()) {
      command = a;
    } else {
      args.rest.push_back(a);
    }
  }
  if (command.empty()) {
    usage(stderr);
    return 2;
  }
  args.home = ResolveProgramFolder(homeArgs, std::getenv("TAMARACK_HOME"),
                                   std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
  for (const CliCommand& c : commands())
    if (command == c.name) return c.run(args);
  CliFail("unknown command: " + command);
  usage(stderr);
  return 2;
}
