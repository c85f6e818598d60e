// The mail path end to end: tamarack-cli writes an electronic log and sends
// it through the real msmtp to an SMTP server this test runs on 127.0.0.1;
// Python's own e-mail parser reads what arrived.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "log/settingsfile.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/logfile.h"

namespace fs = std::filesystem;

namespace {

// A small SMTP server: accepts every message, keeps the envelope recipients
// and the data, refuses recipients that start with "reject".
class SmtpSink {
 public:
  struct Mail {
    std::vector<std::string> rcpt;
    std::string data;
  };

  SmtpSink() {
    fd_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    a.sin_port = 0;
    if (::bind(fd_, reinterpret_cast<sockaddr*>(&a), sizeof a) != 0 || ::listen(fd_, 8) != 0)
      return;
    socklen_t len = sizeof a;
    ::getsockname(fd_, reinterpret_cast<sockaddr*>(&a), &len);
    port_ = ntohs(a.sin_port);
    thread_ = std::thread([this] { serve(); });
  }
  ~SmtpSink() {
    stop_ = true;
    ::shutdown(fd_, SHUT_RDWR);
    ::close(fd_);
    if (thread_.joinable()) thread_.join();
  }
  int port() const { return port_; }
  std::vector<Mail> mails() {
    std::lock_guard<std::mutex> l(m_);
    return mails_;
  }

 private:
  void serve() {
    while (!stop_) {
      const int c = ::accept4(fd_, nullptr, nullptr, SOCK_CLOEXEC);
      if (c < 0) return;
      session(c);
      ::close(c);
    }
  }
  static void put(int c, const std::string& s) {
    const ssize_t n = ::send(c, s.data(), s.size(), MSG_NOSIGNAL);
    (void)n;
  }
  // One line without its CR LF; false at the end of the connection.
  bool line(int c, std::string& buf, std::string& out) {
    for (;;) {
      const std::size_t p = buf.find("\r\n");
      if (p != std::string::npos) {
        out = buf.substr(0, p);
        buf.erase(0, p + 2);
        return true;
      }
      char tmp[4096];
      const ssize_t n = ::recv(c, tmp, sizeof tmp, 0);
      if (n <= 0) return false;
      buf.append(tmp, static_cast<std::size_t>(n));
    }
  }
  void session(int c) {
    put(c, "220 sink ESMTP\r\n");
    std::string buf, l;
    Mail cur;
    while (line(c, buf, l)) {
      const std::string verb = l.substr(0, 4);
      if (verb == "EHLO" || verb == "HELO") {
        put(c, "250 sink\r\n");
      } else if (verb == "MAIL") {
        cur = Mail{};
        put(c, "250 ok\r\n");
      } else if (verb == "RCPT") {
        const std::size_t lt = l.find('<'), gt = l.find('>');
        const std::string to = l.substr(lt + 1, gt - lt - 1);
        if (to.rfind("reject", 0) == 0) {
          put(c, "550 no such user here\r\n");
        } else {
          cur.rcpt.push_back(to);
          put(c, "250 ok\r\n");
        }
      } else if (verb == "DATA") {
        put(c, "354 go on\r\n");
        while (line(c, buf, l) && l != ".") {
          if (!l.empty() && l[0] == '.') l.erase(0, 1);
          cur.data += l + "\r\n";
        }
        {
          std::lock_guard<std::mutex> g(m_);
          mails_.push_back(cur);
        }
        put(c, "250 queued\r\n");
      } else if (verb == "QUIT") {
        put(c, "221 bye\r\n");
        return;
      } else {
        put(c, "250 ok\r\n");
      }
    }
  }

  int fd_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
  std::mutex m_;
  std::vector<Mail> mails_;
};

std::string findMsmtp() {
  for (const char* p : {"/usr/bin/msmtp", "/usr/local/bin/msmtp"})
    if (::access(p, X_OK) == 0) return p;
  return {};
}

// What Python's e-mail parser makes of a message: "key TAB value" lines.
constexpr const char* kParse = R"PY(
import sys, email
from email import policy
msg = email.message_from_binary_file(open(sys.argv[1], 'rb'), policy=policy.default)
out = []
def w(k, v): out.append(k + '\t' + str(v).replace('\r', '').replace('\n', ' '))
for h in ('From', 'To', 'Subject', 'Date', 'Message-ID', 'Bcc'):
    w(h, msg[h])
w('defects', len(msg.defects))
w('text', msg.get_body(preferencelist=('plain',)).get_content().rstrip('\r\n'))
atts = list(msg.iter_attachments())
w('attachments', len(atts))
for a in atts:
    w('name', a.get_filename())
    w('type', a.get_content_type())
    open(sys.argv[2], 'wb').write(a.get_payload(decode=True))
sys.stdout.buffer.write(('\n'.join(out) + '\n').encode('utf-8'))
)PY";

class MailEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    msmtp = findMsmtp();
    if (msmtp.empty()) GTEST_SKIP() << "msmtp is not installed (Debian package msmtp): the mail "
                                       "path cannot be tested end to end";
    cli = fs::read_symlink("/proc/self/exe").parent_path() / "tamarack-cli";
    ASSERT_TRUE(fs::exists(cli)) << "tamarack-cli is built beside the tests";
    char tmpl[] = "/tmp/tamarack_e2e_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    home = tmpl;
    fs::create_directories(home + "/Cfg");
    fs::create_directories(home + "/SentLog");
    std::ofstream(home + "/Cfg/test.cfg", std::ios::binary) << cp932::encode(
        "ContestName=ＡＬＬ ＪＡ コンテスト\r\nStdContestName=ＡＬＬ ＪＡ コンテスト\r\n"
        "ContestNo=1\r\nBand7Enabled=1\r\nCWEnabled=1\r\n"
        "SendMailAddress=contest@example.org\r\nTestMailAddress=test@example.org\r\n");
    Settings s;
    s.CfgFileName = home + "/Cfg/test.cfg";
    s.JarlCallSign = "JA1ZZZ";
    s.JarlEmail = "ja1zzz@example.jp";
    s.JarlName = "山田 太郎";
    ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
    LogData log;
    for (int i = 0; i < 40; ++i) {
      QsoRecord r;
      r.Band = "7";
      r.Mode = "CW";
      r.QsoTime = ole::fromDateTime(2026, 4, 25, 21, i, 0);
      r.CallSign = "JA2AA" + std::to_string(i);
      r.SentRst = "599";
      r.SentNo = "10H";
      r.RcvdRst = "599";
      r.RcvdNo = "20M";
      log.append(r);
    }
    ASSERT_TRUE(fileio::writeAtomic(home + "/t.tmk", logfile::encodeLog(log, 1, noProgress())));

    const std::string cfg = home + "/msmtprc";
    std::ofstream(cfg) << "defaults\nauth off\ntls off\n\naccount default\nhost 127.0.0.1\nport "
                       << sink.port() << "\nfrom ja1zzz@example.jp\ndomain localhost\n";
    ::chmod(cfg.c_str(), 0600);
    const std::string wrapper = home + "/sendmail";
    std::ofstream(wrapper) << "#!/bin/sh\nexec '" << msmtp << "' -C '" << cfg << "' \"$@\"\n";
    ::chmod(wrapper.c_str(), 0755);
    std::ofstream(home + "/parse.py") << kParse;
    const char* old = std::getenv("TAMARACK_SENDMAIL");
    hadSendmail = old != nullptr;
    if (old) oldSendmail = old;
    ::setenv("TAMARACK_SENDMAIL", wrapper.c_str(), 1);
  }
  void TearDown() override {
    if (home.empty()) return;
    if (hadSendmail)
      ::setenv("TAMARACK_SENDMAIL", oldSendmail.c_str(), 1);
    else
      ::unsetenv("TAMARACK_SENDMAIL");
    fs::remove_all(home);
  }

  int run(const std::string& args) {
    const std::string cmd = "'" + cli.string() + "' --home '" + home + "' " + args + " >'" + home +
                            "/out' 2>'" + home + "/err'";
    const int st = std::system(cmd.c_str());
    return WIFEXITED(st) ? WEXITSTATUS(st) : 255;
  }
  std::string file(const std::string& name) {
    std::string t;
    fileio::readAll(home + "/" + name, t);
    return t;
  }
  std::map<std::string, std::string> parse(const std::string& data, const std::string& attOut) {
    fileio::writeAtomic(home + "/msg.eml", data);
    const std::string cmd = "python3 '" + home + "/parse.py' '" + home + "/msg.eml' '" + attOut +
                            "' >'" + home + "/parsed'";
    EXPECT_EQ(std::system(cmd.c_str()), 0);
    std::map<std::string, std::string> m;
    fileio::forEachLine(file("parsed"), [&](std::string_view l) {
      const std::size_t t = l.find('\t');
      if (t != std::string_view::npos) m[std::string(l.substr(0, t))] = std::string(l.substr(t + 1));
    });
    return m;
  }

  SmtpSink sink;
  std::string msmtp, home, oldSendmail;
  bool hadSendmail = false;
  fs::path cli;
};

}  // namespace

TEST_F(MailEndToEnd, CliSendDeliversTheElogByteForByte) {
  const std::string tmq = home + "/SentLog/ＪＡ1ZZZ ログ.tmq";
  ASSERT_EQ(run("elog '" + home + "/t.tmk' '" + tmq + "' --signature 山田 --date 2026年12月07日"),
            0)
      << file("err");
  const std::string bytes = file("SentLog/ＪＡ1ZZZ ログ.tmq");
  ASSERT_GT(bytes.size(), 40u * 80u);

  ASSERT_EQ(run("send '" + tmq + "' contest@example.org me@example.jp"), 0) << file("err")
                                                                            << file("out");
  EXPECT_EQ(file("out"), "contest@example.org\tsent\nme@example.jp\tsent\n");
  const std::vector<SmtpSink::Mail> got = sink.mails();
  ASSERT_EQ(got.size(), 2u);
  const char* to[2] = {"contest@example.org", "me@example.jp"};
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(got[static_cast<std::size_t>(i)].rcpt, std::vector<std::string>{to[i]});
    const std::string att = home + "/att" + std::to_string(i);
    auto m = parse(got[static_cast<std::size_t>(i)].data, att);
    EXPECT_EQ(m["defects"], "0");
    EXPECT_EQ(m["From"], "ja1zzz@example.jp");
    EXPECT_EQ(m["To"], to[i]);
    EXPECT_EQ(m["Subject"], "JA1ZZZ");
    EXPECT_EQ(m["text"], "ＡＬＬ ＪＡ コンテスト ログ");
    EXPECT_EQ(m["attachments"], "1");
    EXPECT_EQ(m["name"], "ＪＡ1ZZZ ログ.tmq");
    EXPECT_EQ(m["type"], "application/octet-stream");
    EXPECT_FALSE(m["Date"].empty());
    EXPECT_EQ(m["Message-ID"].rfind("<", 0), 0u);
    EXPECT_EQ(m["Bcc"], "None");
    std::string sent;
    ASSERT_TRUE(fileio::readAll(att, sent));
    EXPECT_TRUE(sent == bytes) << "the attachment differs from the .tmq";
  }
}

TEST_F(MailEndToEnd, ARefusedRecipientFailsAloneAndLaterOnesStillGo) {
  const std::string tmq = home + "/SentLog/a.tmq";
  ASSERT_EQ(run("elog '" + home + "/t.tmk' '" + tmq + "'"), 0) << file("err");
  EXPECT_EQ(run("send '" + tmq + "' reject@example.org test@example.org"), 1);
  const std::string out = file("out");
  EXPECT_EQ(out.rfind("reject@example.org\t", 0), 0u) << out;
  EXPECT_NE(out.find("終了コード"), std::string::npos) << out;
  EXPECT_NE(out.find("\ntest@example.org\tsent\n"), std::string::npos) << out;
  ASSERT_EQ(sink.mails().size(), 1u);
  EXPECT_EQ(sink.mails()[0].rcpt, std::vector<std::string>{"test@example.org"});
}

TEST_F(MailEndToEnd, LineBreakInAnAddressSendsNothing) {
  const std::string tmq = home + "/SentLog/a.tmq";
  ASSERT_EQ(run("elog '" + home + "/t.tmk' '" + tmq + "'"), 0) << file("err");
  EXPECT_EQ(run("send '" + tmq + "' test@example.org 'x@example.org\r\nBcc: victim@example.net'"),
            1);
  EXPECT_NE(file("err").find("nothing was sent"), std::string::npos) << file("err");
  EXPECT_EQ(file("out"), "");
  // A missing file is a failure, not an empty attachment.
  EXPECT_EQ(run("send '" + home + "/SentLog/none.tmq' test@example.org"), 1);
  EXPECT_NE(file("out").find("none.tmq"), std::string::npos);
  EXPECT_TRUE(sink.mails().empty());
}

TEST_F(MailEndToEnd, ABadOwnAddressLeavesTheSenderToTheMailProgram) {
  const std::string tmq = home + "/SentLog/a.tmq";
  ASSERT_EQ(run("elog '" + home + "/t.tmk' '" + tmq + "'"), 0) << file("err");
  Settings s;
  s.CfgFileName = home + "/Cfg/test.cfg";
  s.JarlCallSign = "JA1ZZZ";
  s.JarlEmail = "ja1zzz@@example.jp";
  ASSERT_TRUE(IniWrite(home + "/Tamarack.ini", s));
  ASSERT_EQ(run("send '" + tmq + "' contest@example.org"), 0) << file("err") << file("out");
  EXPECT_EQ(file("out"), "contest@example.org\tsent\n");
  EXPECT_NE(file("err").find("ja1zzz@@example.jp"), std::string::npos) << file("err");
  ASSERT_EQ(sink.mails().size(), 1u);
  auto m = parse(sink.mails()[0].data, home + "/att");
  EXPECT_EQ(m["defects"], "0");
  EXPECT_EQ(m["From"], "ja1zzz@example.jp");  // msmtp's own sender
  EXPECT_EQ(m["To"], "contest@example.org");
}
