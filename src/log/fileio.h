// File reading and safe replacement, shared by every writer of the program.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace fileio {

// What a reader takes at most unless it sets its own bound.
constexpr std::size_t kReadLimit = std::size_t{64} << 20;

// Reads the whole file. False with the error's text when it cannot be read
// (missing, no permission, not a regular file: a folder, a device, a FIFO,
// which is never waited on) or holds more than maxBytes.
bool readAll(const std::string& path, std::string& out, std::string* error = nullptr,
             std::size_t maxBytes = kReadLimit);

// Reads the last bytes of a regular file: as many whole units of `unit`
// bytes as it ends with, at most `maxUnits` of them, counted from the
// file's start (a partial unit at its end is left out); `size` is the
// file's size. False when it cannot be read.
bool readLastUnits(const std::string& path, std::size_t unit, std::size_t maxUnits, std::string& out,
                   std::uint64_t& size);

// Writes bytes to a new file of a unique name in the target's folder, flushes
// it to disk and renames it over the target. The target is path, or the file
// a symbolic link at path leads to (the link stays a link); its permission
// bits are kept. A read-only file (no write bit) is refused. On any failure
// the old file stays as it was, the partial file is removed, and the error's
// text is returned.
bool writeAtomic(const std::string& path, std::string_view bytes, std::string* error = nullptr);

// True for a file name writeAtomic gives its temporary file: "." + the
// target's name + "." + six letters or digits.
bool isTempName(std::string_view name);

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
