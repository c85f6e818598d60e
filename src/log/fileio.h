// File reading and safe replacement, shared by every writer of the program.
#pragma once
#include <string>
#include <string_view>

namespace fileio {

// Reads the whole file. False with the error's text when it cannot be read
// (missing, a directory, no permission).
bool readAll(const std::string& path, std::string& out, std::string* error = nullptr);

// Writes bytes to a new file beside path, flushes it to disk and renames it
// over path. On any failure the old file stays as it was, the partial file
// is removed, and the error's text is returned.
bool writeAtomic(const std::string& path, std::string_view bytes, std::string* error = nullptr);

bool exists(const std::string& path);
bool isDirectory(const std::string& path);

// Splits text into lines at LF, dropping one CR before each LF; a final line
// without a line end is kept.
template <typename F>
void forEachLine(std::string_view text, F&& f) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t nl = text.find('\n', pos);
    std::size_t end = nl == std::string_view::npos ? text.size() : nl;
    std::string_view line = text.substr(pos, end - pos);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    f(line);
    if (nl == std::string_view::npos) break;
    pos = nl + 1;
  }
}

}  // namespace fileio
