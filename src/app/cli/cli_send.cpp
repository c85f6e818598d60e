// tamarack-cli send FILE.tmq ADDRESS...: mails an electronic log to each
// address in turn, as the mail confirmation dialog does, through the
// system's mail program.
#include <cstdio>
#include <string>
#include <vector>

#include "app/cli/cli.h"
#include "contest/session.h"
#include "output/mail.h"
#include "output/sendmail.h"

namespace {

constexpr const char* kUsage = "usage: tamarack-cli [--home DIR] send FILE.tmq ADDRESS...";

// Messages end lines with CR LF; the terminal gets one line per address.
std::string oneLine(std::string s) {
  std::string out;
  for (char c : s) {
    if (c == '\r') continue;
    out += c == '\n' ? ' ' : c;
  }
  return out;
}

int runSend(CliArgs& args) {
  if (args.rest.size() < 2) return CliFail(kUsage);
  const std::string file = args.rest[0];
  const std::vector<std::string> addresses(args.rest.begin() + 1, args.rest.end());

  UnattendedSession run(args.home);
  const Session& station = run.session;
  std::string err;
  if (!run.loadStation(&err)) return CliFail(err);
  if (!mail::CheckRun(station.Ini, addresses, file, &err))
    return CliFail(oneLine(err) + " (nothing was sent)");
  if (const std::string note = mail::OwnAddressNote(station.Ini); !note.empty())
    std::fprintf(stderr, "%s\n", oneLine(note).c_str());

  const std::string program = mail::SendmailProgram();
  int failed = 0;
  for (const std::string& a : addresses) {
    const mail::MimeResult m = mail::ElogMessage(station.Ini, station.Contest, a, file);
    mail::SendResult r;
    if (m.ok)
      r = mail::RunSendmail(program, m.message);
    else
      r.error = m.error;
    if (r.ok) {
      std::printf("%s\tsent\n", a.c_str());
    } else {
      ++failed;
      std::printf("%s\t%s\n", a.c_str(), oneLine(r.error).c_str());
    }
    std::fflush(stdout);
  }
  return failed == 0 ? 0 : 1;
}

const bool registered = RegisterCliCommand({"send", "send FILE.tmq ADDRESS...", runSend});

}  // namespace
