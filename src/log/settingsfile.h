// The settings file Tamarack.ini: every value the main window keeps between
// runs, read once at start and written once at the end.
#pragma once
#include <string>
#include <string_view>
#include <vector>

#include "log/settings.h"

// Parses the settings text (CP932 bytes) into s: garbage lines, unknown keys
// and values that do not convert are skipped. Does not apply the defaults step.
void IniParse(std::string_view bytes, Settings& s);

// The defaults step after reading: empty oaths get their defaults,
// a JarlFdKeisu below 1 (0 when absent) becomes 1.
void IniApplyDefaults(Settings& s);

enum class IniReadResult { Ok, Missing, Error };
// Reads the file at path into s, then applies the defaults. A missing file
// leaves s as it was (then the defaults) and says Missing.
IniReadResult IniRead(const std::string& path, Settings& s, std::string* error = nullptr);

// The file text (CP932, CR LF), every key in table order.
std::string IniFormat(const Settings& s);

// Writes the file: a new file beside the old one, flushed, then renamed over
// it, so the old settings survive a crash or a full disk. False and the
// error's text on failure.
bool IniWrite(const std::string& path, const Settings& s, std::string* error = nullptr);

// The keys whose text holds a character CP932 cannot express (written as
// "?"), in file order.
std::vector<std::string> IniUnencodableKeys(const Settings& s);

// The keys in file order (for tests and checks).
std::string_view IniKeyAt(std::size_t i);
std::size_t IniKeyCount();
// Keys added after the program's first ones (rig control, call history):
// written only when set, so a file using none of them is as it always was.
bool IniKeyOptional(std::size_t i);
