// The e-mail that carries an electronic log: a MIME message built here and
// handed to the system's mail submission program (see sendmail.h).
//
//   MailParts m = ElogMail(settings, def, address, path);   // reads the .tmq
//   MimeResult r = BuildMime(m, MailStamp::now());
//   if (!r.ok) show(r.error);  // nothing is sent
//
// Headers carry non-ASCII text as RFC 2047 UTF-8 words; the text part and
// the attachment go base64. An address or header value holding CR, LF or any
// other control character is refused: no header can be smuggled in.
#pragma once
#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

struct ContestDefinition;
struct Settings;

namespace mail {

// One message: every value as the user or the files gave it.
struct MailParts {
  std::string from;            // empty: the mail program puts its own
  std::string to;
  std::string subject;
  std::string text;            // the text part (UTF-8; LF or CR LF lines)
  std::string attachmentName;  // the file's name, without folders
  std::string attachment;      // the file's bytes
  std::string error;           // set when the message cannot be made (unreadable file)
};

// When and where a message is made: the Date and Message-ID headers.
struct MailStamp {
  std::time_t time = 0;
  long utcOffsetSeconds = 0;  // local time minus UTC
  std::string unique;         // the unique part of the Message-ID
  // The machine's clock and zone, and a random unique part.
  static MailStamp now();
};

struct MimeResult {
  bool ok = false;
  std::string message;  // the whole message, CR LF line ends
  std::string error;    // why it was refused
};

// "Tue, 08 Dec 2026 18:19:55 +0900" (English names whatever the locale).
std::string DateHeader(std::time_t t, long utcOffsetSeconds);

// A header value as RFC 2047 "=?UTF-8?B?...?=" words when it holds anything
// but printable ASCII, folded so that no line passes 76 characters; the
// value itself otherwise. nameLength is the header name's length with ": ".
std::string EncodeHeaderValue(std::string_view value, std::size_t nameLength);

// Base64 in lines of 76 characters, each ended by CR LF.
std::string Base64Lines(std::string_view bytes);

// A usable address: printable ASCII without blanks, one "@" with text on
// both sides. The error names what is wrong.
bool CheckAddress(std::string_view address, std::string* error);

// A header value (subject, file name) without CR, LF or other control characters.
bool CheckHeaderValue(std::string_view what, std::string_view value, std::string* error);

// The whole message, or the reason it is refused.
MimeResult BuildMime(const MailParts& m, const MailStamp& stamp);

// The message of SendOneMail: From JarlEmail (when set), To the address,
// the station call sign as subject, ContestName + " ログ" as text, the
// electronic log attached under its file name. A file that cannot be read
// leaves error set.
MailParts ElogMail(const Settings& s, const ContestDefinition& def, std::string_view address,
                   const std::string& attachmentPath);

// The addresses SendAllMail sends to, in order: the contest's address, its
// test address, the operator's own; each only when asked for and not blank.
std::vector<std::string> ElogRecipients(const ContestDefinition& def, const Settings& s,
                                        bool sendJarlMail, bool sendTestMail);

// The recipients and header values a run is asked for, checked before
// anything is sent: one bad value stops the whole run. The own address is
// not among them (see ElogMessage).
bool CheckRun(const Settings& s, const std::vector<std::string>& addresses,
              const std::string& attachmentPath, std::string* error);

// The finished message of SendOneMail for one address (see ElogMail). An own
// address (JarlEmail) that is no usable address is left out of the message,
// so the mail program puts its own sender; the copy sent to it fails alone.
MimeResult ElogMessage(const Settings& s, const ContestDefinition& def, std::string_view address,
                       const std::string& attachmentPath);
// Why the messages go without the own address as sender; empty when they do not.
std::string OwnAddressNote(const Settings& s);

// Control characters made visible ("\r", "\x1B"), to name a value in a message.
std::string Printable(std::string_view s);

}  // namespace mail
