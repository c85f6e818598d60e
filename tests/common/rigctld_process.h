// rigctld with the rig library's dummy radio on 127.0.0.1, started and
// stopped by a test, and read or set as another program would.
#pragma once
#include <arpa/inet.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

// A port on 127.0.0.1 nobody listens on right now.
int freePort() {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = 0;
  socklen_t len = sizeof a;
  if (bind(s, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 ||
      getsockname(s, reinterpret_cast<sockaddr*>(&a), &len) != 0) {
    close(s);
    return 0;
  }
  close(s);
  return ntohs(a.sin_port);
}

bool accepting(int port) {
  const int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in a{};
  a.sin_family = AF_INET;
  a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  a.sin_port = htons(static_cast<std::uint16_t>(port));
  const bool ok = connect(s, reinterpret_cast<sockaddr*>(&a), sizeof a) == 0;
  close(s);
  return ok;
}

// rigctld with the dummy radio on 127.0.0.1:port, started and stopped by the test.
class Rigctld {
 public:
  explicit Rigctld(int port) : port_(port) {}
  ~Rigctld() { stop(); }

  bool start() {
    pid_ = fork();
    if (pid_ == 0) {
      const std::string p = std::to_string(port_);
      freopen("/dev/null", "w", stdout);
      freopen("/dev/null", "w", stderr);
      execlp("rigctld", "rigctld", "-m", "1", "-T", "127.0.0.1", "-t", p.c_str(),
             static_cast<char*>(nullptr));
      _exit(127);
    }
    for (int i = 0; i < 200; ++i) {
      if (accepting(port_)) return true;
      int st = 0;
      if (waitpid(pid_, &st, WNOHANG) == pid_) {
        pid_ = -1;
        return false;
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  void stop() {
    if (pid_ <= 0) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    pid_ = -1;
  }

  std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  // What the radio's frequency is, as another program reads it ("" when
  // it cannot be read).
  std::string frequency() const {
    std::string out;
    if (FILE* p = popen(("rigctl -m 2 -r " + address() + " f 2>/dev/null").c_str(), "r")) {
      char buf[64];
      while (std::fgets(buf, sizeof buf, p)) out += buf;
      pclose(p);
    }
    while (!out.empty() && (out.back() == '\n' || out.back() == '\r')) out.pop_back();
    return out;
  }

  // Sets the radio as another program would.
  int set(const std::string& freq, const std::string& mode) const {
    const std::string cmd = "rigctl -m 2 -r " + address() + " F " + freq + " M " + mode +
                            " 0 >/dev/null 2>&1";
    return std::system(cmd.c_str());
  }

 private:
  int port_;
  pid_t pid_ = -1;
};

}  // namespace
