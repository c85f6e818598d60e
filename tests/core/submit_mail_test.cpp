// The steps of submission without windows: the required-items check, the
// electronic log's name, the document date, the MIME message and the mail
// program runner.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "contest/contestdef.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/settings.h"
#include "output/mail.h"
#include "output/sendmail.h"
#include "output/submit.h"
#include "samples.h"

namespace fs = std::filesystem;

namespace {

std::string fromBase64(std::string_view in) {
  static const std::string k =
      "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  unsigned v = 0;
  int bits = 0;
  for (char c : in) {
    const std::size_t p = k.find(c);
    if (p == std::string::npos) continue;
    v = v << 6 | static_cast<unsigned>(p);
    bits += 6;
    if (bits >= 8) {
      bits -= 8;
      out += static_cast<char>(v >> bits & 0xFF);
    }
  }
  return out;
}

Settings station() {
  Settings s;
  samples::fillStationData(s);
  s.JarlAddress = "東京都\r\n1-1-1";
  return s;
}

class TempDir : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_mail_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string script(const std::string& name, const std::string& body) {
    const std::string p = dir + "/" + name;
    std::ofstream(p) << "#!/bin/sh\n" << body;
    ::chmod(p.c_str(), 0755);
    return p;
  }
  std::string read(const std::string& name) {
    std::string t;
    fileio::readAll(dir + "/" + name, t);
    return t;
  }
  std::string dir;
};

}  // namespace

// ---- the required items

TEST(SummaryCheck, SpacesOnlyAreMissingLineBreaksAreNot) {
  ContestDefinition def;
  Settings s = station();
  EXPECT_TRUE(submit::SummaryCheckLoad(s, def).complete());
  s.JarlPower = "   ";
  s.JarlCallSign.clear();
  s.JarlAddress = "\r\n";
  const submit::SummaryCheck c = submit::SummaryCheckLoad(s, def);
  EXPECT_FALSE(c.complete());
  EXPECT_TRUE(c.items[submit::kPower].missing);
  EXPECT_TRUE(c.items[submit::kCallSign].missing);
  EXPECT_FALSE(c.items[submit::kAddress].missing);
  EXPECT_EQ(c.items[submit::kPower].value, "   ");  // shown as stored
  // A full-width space is content, as it is for the writer.
  s = station();
  s.JarlName = "　";
  EXPECT_TRUE(submit::SummaryCheckLoad(s, def).complete());
}

TEST(SummaryCheck, OathOfTheContestKindAndPowerType) {
  ContestDefinition def;
  def.DqpEnabled = 1;
  Settings s = station();
  s.JarlDqpOath = "  ";
  s.JarlPowerType = 1;
  submit::SummaryCheck c = submit::SummaryCheckLoad(s, def);
  EXPECT_TRUE(c.items[submit::kOath].missing);
  EXPECT_EQ(c.powerType, "実測出力");
  def.DqpEnabled = 0;
  s.JarlPowerType = 0;
  c = submit::SummaryCheckLoad(s, def);
  EXPECT_TRUE(c.complete());
  EXPECT_EQ(c.items[submit::kOath].value, s.JarlOath);
  EXPECT_EQ(c.powerType, "定格出力");
  // A code the definition no longer lists is still a code.
  s.JarlCateCode = "OLD";
  EXPECT_TRUE(submit::SummaryCheckLoad(s, def).complete());
}

// ---- the file and the date

TEST(ElogName, ExtensionRuleAndDialog) {
  EXPECT_EQ(submit::ElogSaveName("/h/SentLog/abc.txt"), "/h/SentLog/abc.tmq");
  EXPECT_EQ(submit::ElogSaveName("/h/SentLog/abc"), "/h/SentLog/abc.tmq");
  EXPECT_EQ(submit::ElogSaveName("/h/a.b/abc.def.tmq"), "/h/a.b/abc.tmq");
  const FileDialogOptions d = submit::ElogSaveDialog("/h");
  EXPECT_EQ(d.filter, "電子ログファイル (*.tmq)|*.tmq|");
  EXPECT_EQ(d.initialDir, "/h/SentLog/");
  EXPECT_TRUE(d.overwritePrompt);
  EXPECT_EQ(d.fileName, "");
}

TEST(ElogName, TheCallSignIsProposed) {
  const std::pair<const char*, const char*> cases[] = {
      {"JA1ZZZ", "JA1ZZZ.tmq"},         {" JA1ZZZ  ", "JA1ZZZ.tmq"},
      {"JA1ZZZ/1", "JA1ZZZ_1.tmq"},     {"7J1ABC/JD1", "7J1ABC_JD1.tmq"},
      {"JA1ZZZ\\x", "JA1ZZZ_x.tmq"}, {"JA1.ZZZ", "JA1.tmq"},
      {"", ""},                         {"   ", ""}};
  for (const auto& [call, name] : cases) {
    EXPECT_EQ(submit::ElogProposedName(call), name) << call;
    EXPECT_EQ(submit::ElogSaveDialog("/h", call).fileName, name) << call;
  }
}

TEST(DocumentDate, StepsNeverGiveAnInvalidDate) {
  using submit::DatePart;
  auto step = [](int y, int m, int d, DatePart p, int by) {
    return ole::formatJapaneseDate(submit::StepDate(ole::fromDate(y, m, d), p, by));
  };
  EXPECT_EQ(step(2026, 12, 31, DatePart::Day, 1), "2027年01月01日");
  EXPECT_EQ(step(2026, 1, 1, DatePart::Day, -1), "2025年12月31日");
  EXPECT_EQ(step(2026, 1, 31, DatePart::Month, 1), "2026年02月28日");
  EXPECT_EQ(step(2024, 3, 31, DatePart::Month, -1), "2024年02月29日");
  EXPECT_EQ(step(2026, 12, 15, DatePart::Month, 1), "2027年01月15日");
  EXPECT_EQ(step(2024, 2, 29, DatePart::Year, 1), "2025年02月28日");
  EXPECT_EQ(step(9999, 12, 31, DatePart::Day, 1), "9999年12月31日");
  EXPECT_EQ(step(100, 1, 1, DatePart::Year, -1), "0100年01月01日");

  EXPECT_EQ(submit::ParseJapaneseDate("2026年12月07日"), ole::fromDate(2026, 12, 7));
  EXPECT_EQ(submit::ParseJapaneseDate("2026年2月7日"), ole::fromDate(2026, 2, 7));
  EXPECT_FALSE(submit::ParseJapaneseDate("2026年02月30日"));
  EXPECT_FALSE(submit::ParseJapaneseDate("2026/12/07"));
  EXPECT_FALSE(submit::ParseJapaneseDate(""));
}

TEST(ContestDefinitionKeys, UploadUrlIsOptional) {
  ContestDefinition d;
  CfgApplyText(cp932::encode("ContestName=X\r\n"), d, nullptr);
  EXPECT_EQ(d.UploadUrl, "");
  CfgApplyText(cp932::encode("UploadUrl=https://contest.example.org/upload/\r\n"), d, nullptr);
  EXPECT_EQ(d.UploadUrl, "https://contest.example.org/upload/");
  // The next contest read without the key has no upload page.
  CfgApplyText(cp932::encode("ContestName=Y\r\nSendMailAddress=a@example.org\r\n"), d, nullptr);
  EXPECT_EQ(d.UploadUrl, "");
}

// ---- the message

TEST(Mime, HeadersEncodedAndFolded) {
  EXPECT_EQ(mail::EncodeHeaderValue("JA1ZZZ", 9), "JA1ZZZ");
  const std::string jp = "ＡＬＬ ＪＡ コンテスト 電信電話部門 シングルオペ オールバンド ログ";
  const std::string enc = mail::EncodeHeaderValue(jp, 9);
  std::string decoded;
  std::size_t lineStart = 0, firstLen = 0;
  for (std::size_t p = 0; p <= enc.size(); ++p) {
    if (p == enc.size() || enc.compare(p, 2, "\r\n") == 0) {
      std::string line = enc.substr(lineStart, p - lineStart);
      if (firstLen == 0) firstLen = line.size() + 9;
      EXPECT_LE(lineStart == 0 ? line.size() + 9 : line.size(), 76u) << line;
      if (!line.empty() && line[0] == ' ') line.erase(0, 1);
      ASSERT_EQ(line.rfind("=?UTF-8?B?", 0), 0u) << line;
      ASSERT_EQ(line.substr(line.size() - 2), "?=");
      decoded += fromBase64(line.substr(10, line.size() - 12));
      lineStart = p + 2;
    }
  }
  EXPECT_EQ(decoded, jp);  // words never split a character
  EXPECT_EQ(mail::DateHeader(1796721595, 9 * 3600), "Tue, 08 Dec 2026 18:19:55 +0900");
  EXPECT_EQ(mail::DateHeader(1796721595, -(4 * 3600 + 30 * 60)), "Tue, 08 Dec 2026 04:49:55 -0430");
}

TEST(Mime, MessageCarriesTextAndAttachment) {
  mail::MailParts m;
  m.from = "ja1zzz@example.jp";
  m.to = "test@example.org";
  m.subject = "JA1ZZZ";
  m.text = "ＡＬＬ ＪＡ コンテスト ログ";
  m.attachmentName = "JA1ZZZ.tmq";
  for (int i = 0; i < 300; ++i) m.attachment += static_cast<char>(i);
  mail::MailStamp st{1796721595, 9 * 3600, "abc.1"};
  const mail::MimeResult r = mail::BuildMime(m, st);
  ASSERT_TRUE(r.ok) << r.error;
  const std::string& t = r.message;
  EXPECT_EQ(t.rfind("From: ja1zzz@example.jp\r\nTo: test@example.org\r\nSubject: JA1ZZZ\r\n", 0), 0u);
  EXPECT_NE(t.find("\r\nDate: Tue, 08 Dec 2026 18:19:55 +0900\r\n"), std::string::npos);
  EXPECT_NE(t.find("\r\nMessage-ID: <abc.1@example.jp>\r\n"), std::string::npos);
  EXPECT_NE(t.find("Content-Disposition: attachment; filename=\"JA1ZZZ.tmq\""), std::string::npos);
  for (std::size_t p = 0, n; p < t.size(); p = n + 2) {
    n = t.find("\r\n", p);
    ASSERT_NE(n, std::string::npos);
    EXPECT_LE(n - p, 78u);
    EXPECT_EQ(t.substr(p, n - p).find_first_of("\r\n"), std::string::npos);
  }
  const std::size_t att = t.find("filename=\"JA1ZZZ.tmq\"\r\n\r\n") + 25;
  EXPECT_EQ(fromBase64(t.substr(att, t.find("--=_", att) - att)), m.attachment);

  // Without JarlEmail the mail program puts its own sender.
  m.from.clear();
  EXPECT_EQ(mail::BuildMime(m, st).message.rfind("To: ", 0), 0u);
  m.attachmentName = "ＪＡ1ZZZ_ログ.tmq";
  EXPECT_NE(mail::BuildMime(m, st).message.find(
                "filename*=UTF-8''%EF%BC%AA%EF%BC%A11ZZZ_%E3%83%AD%E3%82%B0.tmq"),
            std::string::npos);
}

TEST(Mime, LineBreaksInAddressesOrHeadersAreRefused) {
  mail::MailParts m;
  m.to = "test@example.org";
  m.subject = "JA1ZZZ";
  m.attachmentName = "a.tmq";
  const mail::MailStamp st{0, 0, "u"};
  ASSERT_TRUE(mail::BuildMime(m, st).ok);
  auto refused = [&](mail::MailParts x) {
    const mail::MimeResult r = mail::BuildMime(x, st);
    return !r.ok && r.message.empty() && !r.error.empty();
  };
  mail::MailParts x = m;
  x.to = "test@example.org\r\nBcc: victim@example.net";
  EXPECT_TRUE(refused(x));
  EXPECT_NE(mail::BuildMime(x, st).error.find("\\r\\nBcc"), std::string::npos);
  x = m;
  x.from = "me@example.jp\nBcc: v@example.net";
  EXPECT_TRUE(refused(x));
  x = m;
  x.subject = "JA1ZZZ\rX-Evil: 1";
  EXPECT_TRUE(refused(x));
  x = m;
  x.attachmentName = "a\n.tmq";
  EXPECT_TRUE(refused(x));
  x = m;
  x.error = "添付する電子ログを読み込めません";
  EXPECT_TRUE(refused(x));

  std::string e;
  EXPECT_FALSE(mail::CheckAddress("", &e));
  EXPECT_FALSE(mail::CheckAddress("ja1zzz＠example.jp", &e));
  EXPECT_FALSE(mail::CheckAddress("a@b, c@d", &e));
  EXPECT_FALSE(mail::CheckAddress("nobody", &e));
  EXPECT_TRUE(mail::CheckAddress("ja1zzz+test@mail.example.jp", &e));

  EXPECT_FALSE(mail::CheckAddress(std::string(250, 'a') + "@example.org", &e));

  Settings s = station();
  EXPECT_TRUE(mail::CheckRun(s, {"a@example.org", "b@example.org"}, "/x/a.tmq", &e));
  EXPECT_FALSE(mail::CheckRun(s, {"a@example.org", "b@example.org\r\n"}, "/x/a.tmq", &e));
}

TEST_F(TempDir, ABadOwnAddressFailsOnlyTheCopySentToIt) {
  ContestDefinition def;
  def.ContestName = "ＡＬＬ ＪＡ コンテスト";
  const std::string tmq = dir + "/JA1ZZZ.tmq";
  fileio::writeAtomic(tmq, "<SUMMARYSHEET>\r\n");
  // The own address, whether the message to the contest goes, and what
  // names the fault.
  struct Case {
    const char* own;
    const char* shownAs;
  };
  for (const Case& c : {Case{"ja1zzz@@example.jp", "ja1zzz@@example.jp"},
                        Case{"ja1zzz＠example.jp", "ja1zzz＠example.jp"},
                        Case{"me@example.jp\r\nBcc: v@example.net", "me@example.jp\\r\\nBcc: v@example.net"}}) {
    Settings s = station();
    s.JarlEmail = c.own;
    s.MailAndMe = 1;
    std::string e;
    EXPECT_TRUE(mail::CheckRun(s, {"contest@example.org"}, tmq, &e)) << e;
    const mail::MimeResult toContest = mail::ElogMessage(s, def, "contest@example.org", tmq);
    ASSERT_TRUE(toContest.ok) << toContest.error;
    EXPECT_EQ(toContest.message.rfind("To: contest@example.org\r\n", 0), 0u);  // no From: line
    EXPECT_EQ(toContest.message.find("Bcc"), std::string::npos);
    const std::string note = mail::OwnAddressNote(s);
    EXPECT_NE(note.find(c.shownAs), std::string::npos) << note;
    const mail::MimeResult copy = mail::ElogMessage(s, def, s.JarlEmail, tmq);
    EXPECT_FALSE(copy.ok);
    EXPECT_NE(copy.error.find(c.shownAs), std::string::npos) << copy.error;
  }
  Settings s = station();
  s.JarlEmail = " me@example.jp ";
  EXPECT_EQ(mail::OwnAddressNote(s), "");
  EXPECT_EQ(mail::ElogMessage(s, def, "contest@example.org", tmq).message.rfind("From: me@example.jp\r\n", 0), 0u);
}

TEST(Mime, NoLineLongerThan998) {
  const mail::MailStamp st{0, 0, "u"};
  std::string longJapanese;
  for (int i = 0; i < 120; ++i) longJapanese += "電子ログ";
  struct Case {
    std::string subject, name;
  };
  const Case cases[] = {{std::string(2000, 'J'), "a.tmq"},
                        {"JA1ZZZ", std::string(1200, 'n') + ".tmq"},
                        {"JA1ZZZ", longJapanese + ".tmq"},
                        {longJapanese, "ＪＡ1ZZZ.tmq"}};
  for (const Case& c : cases) {
    mail::MailParts m;
    m.to = "test@example.org";
    m.subject = c.subject;
    m.attachmentName = c.name;
    m.attachment = "x";
    const mail::MimeResult r = mail::BuildMime(m, st);
    ASSERT_TRUE(r.ok) << r.error;
    std::size_t from = 0, longest = 0;
    for (std::size_t end; (end = r.message.find("\r\n", from)) != std::string::npos; from = end + 2)
      longest = std::max(longest, end - from);
    EXPECT_LE(longest, 998u) << c.subject.substr(0, 10) << " " << c.name.substr(0, 10);
    // Unfolded and decoded, the values are whole again.
    std::string subject;
    const std::size_t s0 = r.message.find("Subject: ") + 9;
    const std::string folded = r.message.substr(s0, r.message.find("\r\nDate: ") - s0);
    for (std::size_t p = 0; (p = folded.find("=?UTF-8?B?", p)) != std::string::npos;) {
      const std::size_t q = folded.find("?=", p + 10);
      subject += fromBase64(folded.substr(p + 10, q - p - 10));
      p = q + 2;
    }
    EXPECT_EQ(subject.empty() ? folded : subject, c.subject);
  }
  // The filename continues in numbered pieces.
  mail::MailParts m;
  m.to = "test@example.org";
  m.subject = "JA1ZZZ";
  m.attachmentName = longJapanese + ".tmq";
  const std::string msg = mail::BuildMime(m, st).message;
  EXPECT_NE(msg.find("filename*0*=UTF-8''%E9%9B%BB"), std::string::npos);
  EXPECT_NE(msg.find(";\r\n filename*1*="), std::string::npos);
}

TEST(Mime, RecipientsInTheirOrder) {
  ContestDefinition def;
  def.SendMailAddress = "contest@example.org";
  def.TestMailAddress = " test@example.org ";
  Settings s;
  s.JarlEmail = "me@example.jp";
  s.MailAndMe = 1;
  using V = std::vector<std::string>;
  EXPECT_EQ(mail::ElogRecipients(def, s, true, true),
            (V{"contest@example.org", "test@example.org", "me@example.jp"}));
  EXPECT_EQ(mail::ElogRecipients(def, s, false, true), (V{"test@example.org", "me@example.jp"}));
  s.MailAndMe = 0;
  def.SendMailAddress = "  ";
  EXPECT_EQ(mail::ElogRecipients(def, s, true, false), V{});
}

TEST_F(TempDir, ElogMailOfAnUnreadableFileIsAFailure) {
  ContestDefinition def;
  def.ContestName = "ＡＬＬ ＪＡ コンテスト";
  Settings s = station();
  s.JarlEmail = " me@example.jp ";
  fileio::writeAtomic(dir + "/JA1ZZZ.tmq", "<SUMMARYSHEET>\r\n");
  mail::MailParts m = mail::ElogMail(s, def, "test@example.org", dir + "/JA1ZZZ.tmq");
  EXPECT_EQ(m.error, "");
  EXPECT_EQ(m.from, "me@example.jp");
  EXPECT_EQ(m.subject, "JA1ZZZ");
  EXPECT_EQ(m.text, "ＡＬＬ ＪＡ コンテスト ログ");
  EXPECT_EQ(m.attachmentName, "JA1ZZZ.tmq");
  EXPECT_EQ(m.attachment, "<SUMMARYSHEET>\r\n");
  m = mail::ElogMail(s, def, "test@example.org", dir + "/gone.tmq");
  EXPECT_NE(m.error.find("gone.tmq"), std::string::npos);
  EXPECT_FALSE(mail::BuildMime(m, mail::MailStamp::now()).ok);
}

// ---- the mail program

TEST_F(TempDir, RunnerPassesTheMessageOnStandardInput) {
  const std::string p = script("sendmail", "printf '%s|' \"$@\" > \"$0.args\"\ncat > \"$0.in\"\n");
  std::string big(300000, 'x');  // more than a pipe holds
  big += "\r\nend";
  const mail::SendResult r = mail::RunSendmail(p, big);
  EXPECT_TRUE(r.ok) << r.error;
  EXPECT_EQ(read("sendmail.args"), "-t|-i|");
  EXPECT_EQ(read("sendmail.in"), big);
}

TEST_F(TempDir, RunnerReportsFailures) {
  mail::SendResult r = mail::RunSendmail(dir + "/none/sendmail", "x");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("msmtp-mta"), std::string::npos);
  EXPECT_NE(r.error.find(dir + "/none/sendmail"), std::string::npos);

  r = mail::RunSendmail(script("fail", "cat >/dev/null\necho 'cannot connect' >&2\nexit 3\n"), "x");
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("終了コード 3"), std::string::npos) << r.error;
  EXPECT_NE(r.error.find("cannot connect"), std::string::npos);

  // A program that reads nothing does not take this one down with SIGPIPE.
  r = mail::RunSendmail(script("deaf", "exit 0\n"), std::string(1 << 20, 'y'));
  EXPECT_TRUE(r.ok) << r.error;

  r = mail::RunSendmail(script("slow", "exec sleep 30\n"), "x", 1);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("1 秒"), std::string::npos);

  const std::string noexec = dir + "/noexec";
  std::ofstream(noexec) << "x";
  r = mail::RunSendmail(noexec, "x");
  EXPECT_FALSE(r.ok);
  EXPECT_FALSE(r.error.empty());
}

namespace {
// True while the process runs (a zombie nobody reaps counts as ended).
bool running(const std::string& pidText) {
  std::string stat;
  if (pidText.empty() || !fileio::readAll("/proc/" + pidText.substr(0, pidText.find('\n')) + "/stat", stat))
    return false;
  const std::size_t paren = stat.rfind(')');
  return paren != std::string::npos && paren + 2 < stat.size() && stat[paren + 2] != 'Z';
}
bool endsWithin(const std::string& pidText, int ms) {
  for (int waited = 0; waited < ms; waited += 20) {
    if (!running(pidText)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return !running(pidText);
}
}  // namespace

TEST_F(TempDir, RunnerTakesTheExitStatusWhenTheProgramEnds) {
  // Each program leaves a child that keeps the output pipe open for 8 s;
  // the status counts as soon as the program itself is gone.
  struct Case {
    const char* body;
    bool ok;
    const char* said;
  };
  const Case cases[] = {
      {"cat >/dev/null\nsleep 8 &\necho $! > \"$0.child\"\nexit 0\n", true, ""},
      {"cat >/dev/null\nsleep 8 &\necho $! > \"$0.child\"\necho 'relay refused' >&2\nexit 75\n", false,
       "relay refused"},
  };
  int n = 0;
  for (const Case& c : cases) {
    const std::string name = "forks" + std::to_string(n++);
    const auto start = std::chrono::steady_clock::now();
    const mail::SendResult r = mail::RunSendmail(script(name, c.body), "message", 5);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(r.ok, c.ok) << r.error;
    EXPECT_LT(took, std::chrono::seconds(3)) << c.body;
    EXPECT_NE(r.error.find(c.said), std::string::npos) << r.error;
    // A program that succeeded may leave delivery running in the background.
    EXPECT_TRUE(running(read(name + ".child")));
    ::kill(std::stoi(read(name + ".child")), SIGKILL);
  }
}

TEST_F(TempDir, RunnerEndsTheWholeProcessGroupOnTimeoutAndCancel) {
  const std::string body = "sleep 30 &\necho $! > \"$0.child\"\ncat >/dev/null\nwait\n";
  mail::SendResult r = mail::RunSendmail(script("hangs", body), "x", 1);
  EXPECT_FALSE(r.ok);
  EXPECT_NE(r.error.find("1 秒"), std::string::npos) << r.error;
  EXPECT_TRUE(endsWithin(read("hangs.child"), 2000)) << "the script's child is still running";

  std::atomic<bool> cancel{false};
  std::thread stop([&] {
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    cancel = true;
  });
  const auto start = std::chrono::steady_clock::now();
  r = mail::RunSendmail(script("hangs2", body), "x", 60, &cancel);
  stop.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.error, "メールの送信を中止しました");
  EXPECT_TRUE(endsWithin(read("hangs2.child"), 2000));
}

TEST(Runner, ProgramFromTheEnvironment) {
  const char* old = std::getenv("TAMARACK_SENDMAIL");
  const std::string keep = old ? old : "";
  ::setenv("TAMARACK_SENDMAIL", "/opt/x/sendmail", 1);
  EXPECT_EQ(mail::SendmailProgram(), "/opt/x/sendmail");
  ::setenv("TAMARACK_SENDMAIL", "", 1);
  EXPECT_EQ(mail::SendmailProgram(), "/usr/sbin/sendmail");
  if (old)
    ::setenv("TAMARACK_SENDMAIL", keep.c_str(), 1);
  else
    ::unsetenv("TAMARACK_SENDMAIL");
}
