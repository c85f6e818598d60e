#include "output/sendmail.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace mail {

namespace {

constexpr std::size_t kOutputCap = 16 * 1024;

std::string notInstalled(const std::string& program) {
  return "メール送信プログラム " + program +
         " が見つかりません。\r\nmsmtp-mta "
         "などのメール送信プログラムをインストールして設定してください"
         "（ヘルプの「E-メール送信の設定」をご覧ください）。";
}

std::string trimmedOutput(std::string s) {
  while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
  std::size_t from = 0;
  while (from < s.size() && (s[from] == '\n' || s[from] == '\r' || s[from] == ' ')) ++from;
  return s.substr(from);
}

void closeFd(int& fd) {
  if (fd >= 0) ::close(fd);
  fd = -1;
}

// SIGPIPE stays blocked in this thread while the message is written, so a
// mail program that stops reading gives EPIPE instead of ending the program.
class SigpipeBlock {
 public:
  SigpipeBlock() {
    sigemptyset(&pipe_);
    sigaddset(&pipe_, SIGPIPE);
    sigset_t pending;
    sigpending(&pending);
    wasPending_ = sigismember(&pending, SIGPIPE) == 1;
    pthread_sigmask(SIG_BLOCK, &pipe_, &old_);
  }
  ~SigpipeBlock() {
    if (!wasPending_) {
      const timespec zero{0, 0};
      while (sigtimedwait(&pipe_, nullptr, &zero) == SIGPIPE) {
      }
    }
    pthread_sigmask(SIG_SETMASK, &old_, nullptr);
  }

 private:
  sigset_t pipe_{}, old_{};
  bool wasPending_ = false;
};

}  // namespace

std::string SendmailProgram() {
  const char* env = std::getenv("TAMARACK_SENDMAIL");
  if (env && *env) return env;
  return "/usr/sbin/sendmail";
}

SendResult RunSendmail(const std::string& program, std::string_view message, int timeoutSeconds,
                       const std::atomic<bool>* cancel) {
  SendResult r;
  if (program.find('/') != std::string::npos && ::access(program.c_str(), F_OK) != 0) {
    r.error = notInstalled(program);
    return r;
  }
  int in[2] = {-1, -1}, out[2] = {-1, -1};
  if (::pipe2(in, O_CLOEXEC) != 0 || ::pipe2(out, O_CLOEXEC) != 0) {
    r.error = std::strerror(errno);
    closeFd(in[0]);
    closeFd(in[1]);
    return r;
  }

  posix_spawn_file_actions_t fa;
  posix_spawn_file_actions_init(&fa);
  posix_spawn_file_actions_adddup2(&fa, in[0], 0);
  posix_spawn_file_actions_adddup2(&fa, out[1], 1);
  posix_spawn_file_actions_adddup2(&fa, out[1], 2);
  posix_spawnattr_t attr;
  posix_spawnattr_init(&attr);
  sigset_t none, def;
  sigemptyset(&none);
  sigemptyset(&def);
  sigaddset(&def, SIGPIPE);
  posix_spawnattr_setsigmask(&attr, &none);
  posix_spawnattr_setsigdefault(&attr, &def);
  // A process group of its own, so that a timeout ends whatever it started too.
  posix_spawnattr_setpgroup(&attr, 0);
  posix_spawnattr_setflags(&attr,
                           POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF | POSIX_SPAWN_SETPGROUP);

  std::string arg0 = program, t = "-t", i = "-i";
  char* argv[] = {arg0.data(), t.data(), i.data(), nullptr};
  SigpipeBlock block;
  pid_t pid = -1;
  const int rc = posix_spawnp(&pid, program.c_str(), &fa, &attr, argv, environ);
  posix_spawn_file_actions_destroy(&fa);
  posix_spawnattr_destroy(&attr);
  closeFd(in[0]);
  closeFd(out[1]);
  if (rc != 0) {
    closeFd(in[1]);
    closeFd(out[0]);
    r.error = rc == ENOENT ? notInstalled(program) : program + ": " + std::strerror(rc);
    return r;
  }

  ::fcntl(in[1], F_SETFL, O_NONBLOCK);
  ::fcntl(out[0], F_SETFL, O_NONBLOCK);
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(timeoutSeconds);
  std::string output;
  auto readOutput = [&] {
    char buf[4096];
    for (;;) {
      const ssize_t got = ::read(out[0], buf, sizeof buf);
      if (got > 0) {
        if (output.size() < kOutputCap) output.append(buf, static_cast<std::size_t>(got));
        continue;
      }
      if (got == 0 || (errno != EAGAIN && errno != EINTR)) closeFd(out[0]);
      if (got < 0 && errno == EINTR) continue;
      return;
    }
  };
  std::size_t written = 0;
  bool exited = false, timedOut = false, cancelled = false;
  int status = 0;
  if (message.empty()) closeFd(in[1]);
  // The exit status is looked at every round: a child the program leaves
  // behind may hold the output pipe open long after the program is done.
  constexpr int kRoundMs = 20;
  while (!exited) {
    const pid_t w = ::waitpid(pid, &status, WNOHANG);
    if (w == pid) {
      exited = true;
      break;
    }
    if (w < 0 && errno != EINTR) {
      r.error = std::strerror(errno);
      break;
    }
    if (cancel && cancel->load()) {
      cancelled = true;
      break;
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) {
      timedOut = true;
      break;
    }
    pollfd p[2];
    nfds_t n = 0;
    int outIx = -1, inIx = -1;
    if (out[0] >= 0) {
      outIx = static_cast<int>(n);
      p[n++] = {out[0], POLLIN, 0};
    }
    if (in[1] >= 0) {
      inIx = static_cast<int>(n);
      p[n++] = {in[1], POLLOUT, 0};
    }
    const int ready =
        ::poll(n ? p : nullptr, n, static_cast<int>(std::min<long long>(left.count(), kRoundMs)));
    if (ready <= 0) continue;
    if (outIx >= 0 && p[outIx].revents) readOutput();
    if (inIx >= 0 && p[inIx].revents) {
      const ssize_t put = ::write(in[1], message.data() + written, message.size() - written);
      if (put > 0) {
        written += static_cast<std::size_t>(put);
        if (written == message.size()) closeFd(in[1]);
      } else if (put < 0 && errno != EAGAIN && errno != EINTR) {
        // The program stopped reading; its exit status tells why.
        closeFd(in[1]);
      }
    }
  }
  // What the program said before it ended; nothing is waited for.
  if (exited && out[0] >= 0) readOutput();
  closeFd(in[1]);
  closeFd(out[0]);

  if (!exited) {
    ::kill(-pid, SIGKILL);
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
  }
  if (cancelled) {
    r.error = "メールの送信を中止しました";
    return r;
  }
  if (timedOut) {
    r.error = "メール送信プログラム " + program + " が " + std::to_string(timeoutSeconds) +
              " 秒以内に終わらなかったため中止しました";
    return r;
  }
  if (!r.error.empty()) return r;
  output = trimmedOutput(std::move(output));
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
    r.ok = true;
    return r;
  }
  if (WIFEXITED(status))
    r.error = "メール送信プログラムがエラーで終了しました（終了コード " +
              std::to_string(WEXITSTATUS(status)) + "）";
  else
    r.error = "メール送信プログラムが異常終了しました（シグナル " +
              std::to_string(WTERMSIG(status)) + "）";
  if (!output.empty()) r.error += "\r\n" + output;
  return r;
}

}  // namespace mail
