// Files and web pages handed to other programs: the electronic log to the
// text editor, the upload page to the browser. Window tests put recorders
// in place of the launchers, so no test starts a real program.
#pragma once
#include <functional>
#include <string>

namespace desktop {

// Each returns the error text, empty when the program started.
struct Launchers {
  std::function<std::string(const std::string& path)> editor;
  std::function<std::string(const std::string& url)> browser;
};

// The launchers in use (by default the two functions below).
Launchers& launchers();

// ShowInNotepad: TAMARACK_EDITOR run directly with the path as its one
// argument (no shell) when set, else the desktop's handler for the file.
std::string OpenInEditor(const std::string& path);

// The desktop's browser; only http and https addresses are opened.
std::string OpenInBrowser(const std::string& url);

}  // namespace desktop
