// The system's mail submission program: TAMARACK_SENDMAIL when set, else
// /usr/sbin/sendmail, run directly (never through a shell) as
// "sendmail -t -i" with the message on its standard input. Recipients come
// from the message's headers, so no address ever reaches a command line.
#pragma once
#include <atomic>
#include <string>
#include <string_view>

namespace mail {

struct SendResult {
  bool ok = false;
  std::string error;  // what went wrong, for the user
};

// The program to run: TAMARACK_SENDMAIL when set and not empty, else
// /usr/sbin/sendmail.
std::string SendmailProgram();

// Runs program -t -i with message on standard input and waits for it to
// exit: its exit status counts as soon as it exits, even while a child it
// left behind still holds its output open. ok when it exited with status 0;
// otherwise the error holds its output or the reason it did not run. A
// program that is not there names what to install. After timeoutSeconds, or
// once *cancel is set, the program's whole process group is killed.
SendResult RunSendmail(const std::string& program, std::string_view message,
                       int timeoutSeconds = 120, const std::atomic<bool>* cancel = nullptr);

}  // namespace mail
