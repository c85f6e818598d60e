#include "log/fileio.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>

namespace fileio {

namespace {
constexpr const char* kNotRegular = "通常のファイルではありません";
constexpr const char* kTooLarge = "ファイルが大きすぎます";
constexpr const char* kReadOnly = "読み取り専用のファイルです";

void setError(std::string* error, int err) {
  if (error) *error = std::strerror(err);
}
void setError(std::string* error, const char* text) {
  if (error) *error = text;
}

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a chain of symbolic links at path ends in (path itself when it is
// no link). The final file need not exist. False with errno on a loop.
bool finalTarget(const std::string& path, std::string& out) {
  std::string p = path;
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) {
      out = p;
      return true;
    }
    std::string link(PATH_MAX, '\0');
    const ssize_t n = ::readlink(p.c_str(), link.data(), link.size());
    if (n < 0) return false;
    link.resize(static_cast<std::size_t>(n));
    p = link.front() == '/' ? link : folderOf(p) + "/" + link;
  }
  errno = ELOOP;
  return false;
}

// A temporary name in the target's folder whose last part stays within the
// folder's file-name limit.
std::string tempTemplate(const std::string& target) {
  const std::string folder = folderOf(target);
  const std::size_t slash = target.rfind('/');
  const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
  long max = ::pathconf(folder.c_str(), _PC_NAME_MAX);
  if (max <= 0) max = NAME_MAX;
  const std::string suffix = ".XXXXXX";
  const std::size_t room = static_cast<std::size_t>(max) - 1 - suffix.size();  // "." first
  return folder + "/." + base.substr(0, std::min(base.size(), room)) + suffix;
}

bool writeFd(int fd, std::string_view bytes, int& err) {
  const char* p = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t n = ::write(fd, p, left);
    if (n < 0) {
      if (errno == EINTR) continue;
      err = errno;
      return false;
    }
    p += n;
    left -= static_cast<std::size_t>(n);
  }
  return true;
}
}  // namespace

bool readLastUnits(const std::string& path, std::size_t unit, std::size_t maxUnits, std::string& out,
                   std::uint64_t& size) {
  out.clear();
  size = 0;
  if (unit == 0) return false;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return false;
  struct stat st {};
  if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    ::close(fd);
    return false;
  }
  size = static_cast<std::uint64_t>(st.st_size);
  const std::uint64_t units = size / unit;
  const std::uint64_t first = units > maxUnits ? units - maxUnits : 0;
  out.resize(static_cast<std::size_t>((units - first) * unit));
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::pread(fd, out.data() + got, out.size() - got,
                              static_cast<off_t>(first * unit + got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<std::size_t>(n);
  }
  ::close(fd);
  // A file cut short meanwhile: the whole units read are kept.
  out.resize(got - got % unit);
  return true;
}

bool readAll(const std::string& path, std::string& out, std::string* error, std::size_t maxBytes) {
  // Non-blocking open: a FIFO without a writer would otherwise wait for ever.
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    setError(error, errno);
    return false;
  }
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    setError(error, errno);
    ::close(fd);
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    if (S_ISDIR(st.st_mode))
      setError(error, EISDIR);
    else
      setError(error, kNotRegular);
    ::close(fd);
    return false;
  }
  if (st.st_size > 0 && static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    setError(error, kTooLarge);
    ::close(fd);
    return false;
  }
  // The size the file has now is read straight into place; what it may have
  // grown by since is read after it.
  out.assign(st.st_size > 0 ? static_cast<std::size_t>(st.st_size) : 0, '\0');
  std::size_t got = 0;
  while (got < out.size()) {
    const ssize_t n = ::read(fd, out.data() + got, out.size() - got);
    if (n < 0) {
      if (errno == EINTR) continue;
      setError(error, errno);
      ::close(fd);
      out.resize(got);
      return false;
    }
    if (n == 0) break;
    got += static_cast<std::size_t>(n);
  }
  if (got < out.size()) {
    out.resize(got);
    ::close(fd);
    return true;
  }
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      setError(error, errno);
      ::close(fd);
      return false;
    }
    if (n == 0) break;
    // A file that grows while it is read is still bounded.
    if (out.size() + static_cast<std::size_t>(n) > maxBytes) {
      setError(error, kTooLarge);
      ::close(fd);
      out.clear();
      return false;
    }
    out.append(buf, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return true;
}

bool writeAtomic(const std::string& path, std::string_view bytes, std::string* error) {
  std::string target;
  if (!finalTarget(path, target)) {
    setError(error, errno);
    return false;
  }
  struct stat st {};
  const bool existed = ::stat(target.c_str(), &st) == 0;
  mode_t mode = 0;
  if (existed) {
    if (S_ISDIR(st.st_mode)) {
      setError(error, EISDIR);
      return false;
    }
    if (!S_ISREG(st.st_mode)) {
      setError(error, kNotRegular);
      return false;
    }
    if ((st.st_mode & 0222) == 0) {
      setError(error, kReadOnly);
      return false;
    }
    mode = st.st_mode & 07777;
  } else {
    const mode_t um = ::umask(0);
    ::umask(um);
    mode = 0666 & ~um;
  }
  std::string tmp = tempTemplate(target);
  const int fd = ::mkostemp(tmp.data(), O_CLOEXEC);
  if (fd < 0) {
    setError(error, errno);
    return false;
  }
  auto fail = [&](int err) {
    ::close(fd);
    ::unlink(tmp.c_str());
    setError(error, err);
    return false;
  };
  int err = 0;
  if (::fchmod(fd, mode) != 0) return fail(errno);
  if (existed && (st.st_uid != ::geteuid() || st.st_gid != ::getegid()))
    (void)!::fchown(fd, st.st_uid, st.st_gid);  // kept where allowed
  if (!writeFd(fd, bytes, err)) return fail(err);
  if (::fsync(fd) != 0 && errno != EINVAL && errno != EROFS) return fail(errno);
  if (::close(fd) != 0) {
    err = errno;
    ::unlink(tmp.c_str());
    setError(error, err);
    return false;
  }
  if (::rename(tmp.c_str(), target.c_str()) != 0) {
    err = errno;
    ::unlink(tmp.c_str());
    setError(error, err);
    return false;
  }
  return true;
}

bool isTempName(std::string_view name) {
  constexpr std::size_t kRandom = 6;  // mkostemp's XXXXXX
  if (name.size() < 1 + 1 + 1 + kRandom || name.front() != '.') return false;
  const std::size_t dot = name.size() - kRandom - 1;
  if (name[dot] != '.') return false;
  for (std::size_t k = dot + 1; k < name.size(); ++k) {
    const char c = name[k];
    if (!((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))) return false;
  }
  return true;
}

bool exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

bool isDirectory(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

}  // namespace fileio
