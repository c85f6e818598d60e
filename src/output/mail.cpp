#include "output/mail.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <random>

#include "contest/contestdef.h"
#include "log/fileio.h"
#include "log/settings.h"
#include "log/utf8.h"

namespace mail {

namespace {

constexpr std::string_view kCrLf = "\r\n";
// The longest line a message may carry, CR LF not counted.
constexpr std::size_t kMaxLine = 998;
constexpr std::string_view kB64 =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string base64(std::string_view in) {
  std::string out;
  out.reserve((in.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= in.size(); i += 3) {
    const unsigned v = static_cast<unsigned char>(in[i]) << 16 |
                       static_cast<unsigned char>(in[i + 1]) << 8 |
                       static_cast<unsigned char>(in[i + 2]);
    out += kB64[v >> 18 & 63];
    out += kB64[v >> 12 & 63];
    out += kB64[v >> 6 & 63];
    out += kB64[v & 63];
  }
  const std::size_t rest = in.size() - i;
  if (rest > 0) {
    unsigned v = static_cast<unsigned char>(in[i]) << 16;
    if (rest == 2) v |= static_cast<unsigned char>(in[i + 1]) << 8;
    out += kB64[v >> 18 & 63];
    out += kB64[v >> 12 & 63];
    out += rest == 2 ? kB64[v >> 6 & 63] : '=';
    out += '=';
  }
  return out;
}

bool isControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

bool hasControl(std::string_view s) {
  for (char c : s)
    if (isControl(static_cast<unsigned char>(c))) return true;
  return false;
}

bool plainAscii(std::string_view s) {
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u > 0x7E) return false;
  }
  // A literal "=?" would read as the start of an encoded word.
  return s.find("=?") == std::string_view::npos;
}

// Control characters made visible, so that the message names what was refused.
std::string shown(std::string_view s) {
  std::string out;
  for (char c : s) {
    const auto u = static_cast<unsigned char>(c);
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (isControl(u)) {
      char buf[8];
      std::snprintf(buf, sizeof buf, "\\x%02X", u);
      out += buf;
    } else out += c;
  }
  return out;
}

// Cuts s into pieces of at most max bytes, never inside a UTF-8 character.
std::size_t utf8Cut(std::string_view s, std::size_t max) {
  if (s.size() <= max) return s.size();
  std::size_t cut = max;
  while (cut > 0 && (static_cast<unsigned char>(s[cut]) & 0xC0) == 0x80) --cut;
  return cut == 0 ? max : cut;
}

// RFC 2047 "=?UTF-8?B?...?=" words, folded so that no line passes 76 characters.
std::string encodedWords(std::string_view value, std::size_t nameLength) {
  constexpr std::size_t kLine = 76, kWrap = 12;  // "=?UTF-8?B?" and "?="
  std::string out;
  std::size_t used = nameLength;
  while (!value.empty()) {
    std::size_t room = kLine > used + kWrap ? kLine - used - kWrap : 0;
    std::size_t bytes = room / 4 * 3;
    if (bytes < 4) {
      // Too little room left on this line: the word starts a new one.
      out += "\r\n ";
      used = 1;
      continue;
    }
    const std::size_t cut = utf8Cut(value, bytes);
    out += "=?UTF-8?B?";
    out += base64(value.substr(0, cut));
    out += "?=";
    value.remove_prefix(cut);
    if (!value.empty()) {
      out += "\r\n ";
      used = 1;
    }
  }
  return out;
}

std::string normaliseLines(std::string_view text) {
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r') {
      out += kCrLf;
      if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
    } else if (c == '\n') {
      out += kCrLf;
    } else {
      out += c;
    }
  }
  if (out.size() < 2 || out.compare(out.size() - 2, 2, kCrLf) != 0) out += kCrLf;
  return out;
}

std::string quoted(std::string_view s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

// RFC 2231: filename*=UTF-8''%E3%83%AD...; a value too long for one line is
// continued as filename*0*=UTF-8''...; filename*1*=... on lines of their own.
std::string extendedParam(std::string_view name, std::string_view value, std::size_t used) {
  std::string encoded = "UTF-8''";
  for (char c : value) {
    const auto u = static_cast<unsigned char>(c);
    const bool keep = (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z') ||
                      c == '.' || c == '-' || c == '_';
    if (keep) {
      encoded += c;
    } else {
      char buf[4];
      std::snprintf(buf, sizeof buf, "%%%02X", u);
      encoded += buf;
    }
  }
  if (used + name.size() + 2 + encoded.size() <= kMaxLine) return std::string(name) + "*=" + encoded;
  constexpr std::size_t kPiece = 60;
  std::string out;
  for (std::size_t from = 0, n = 0; from < encoded.size(); ++n) {
    std::size_t cut = std::min(encoded.size(), from + kPiece);
    // A %XX escape stays whole.
    if (cut < encoded.size() && encoded[cut - 1] == '%') cut -= 1;
    else if (cut < encoded.size() && cut >= 2 && encoded[cut - 2] == '%') cut -= 2;
    if (n > 0) out += ";\r\n ";
    out += std::string(name) + "*" + std::to_string(n) + "*=" + encoded.substr(from, cut - from);
    from = cut;
  }
  return out;
}

std::string domainOf(std::string_view address) {
  const std::size_t at = address.rfind('@');
  if (at != std::string_view::npos && at + 1 < address.size())
    return std::string(address.substr(at + 1));
  return "localhost";
}

std::string fileNameOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

}  // namespace

MailStamp MailStamp::now() {
  MailStamp s;
  s.time = std::time(nullptr);
  std::tm local{};
  localtime_r(&s.time, &local);
  s.utcOffsetSeconds = local.tm_gmtoff;
  std::random_device rd;
  const std::uint64_t r = (static_cast<std::uint64_t>(rd()) << 32) ^ rd();
  char buf[64];
  std::snprintf(buf, sizeof buf, "%llx.%016llx.%ld", static_cast<long long>(s.time),
                static_cast<unsigned long long>(r), static_cast<long>(::getpid()));
  s.unique = buf;
  return s;
}

std::string DateHeader(std::time_t t, long utcOffsetSeconds) {
  static constexpr std::array<const char*, 7> kDays = {"Sun", "Mon", "Tue", "Wed",
                                                       "Thu", "Fri", "Sat"};
  static constexpr std::array<const char*, 12> kMonths = {
      "Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const std::time_t local = t + utcOffsetSeconds;
  std::tm tm{};
  gmtime_r(&local, &tm);
  const long off = utcOffsetSeconds < 0 ? -utcOffsetSeconds : utcOffsetSeconds;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%s, %02d %s %04d %02d:%02d:%02d %c%02ld%02ld",
                kDays[static_cast<std::size_t>(tm.tm_wday)], tm.tm_mday,
                kMonths[static_cast<std::size_t>(tm.tm_mon)], tm.tm_year + 1900, tm.tm_hour,
                tm.tm_min, tm.tm_sec, utcOffsetSeconds < 0 ? '-' : '+', off / 3600,
                off % 3600 / 60);
  return buf;
}

std::string EncodeHeaderValue(std::string_view value, std::size_t nameLength) {
  if (plainAscii(value) && nameLength + value.size() <= kMaxLine) return std::string(value);
  return encodedWords(value, nameLength);
}

std::string Base64Lines(std::string_view bytes) {
  const std::string b = base64(bytes);
  std::string out;
  out.reserve(b.size() + b.size() / 76 * 2 + 2);
  for (std::size_t i = 0; i < b.size(); i += 76) {
    out.append(b, i, 76);
    out += kCrLf;
  }
  return out;
}

bool CheckAddress(std::string_view address, std::string* error) {
  auto fail = [&](std::string text) {
    if (error) *error = std::move(text);
    return false;
  };
  if (address.empty()) return fail("メールアドレスが設定されていません");
  if (hasControl(address))
    return fail("メールアドレスに改行などの制御文字が含まれているため送信しません: " +
                shown(address));
  constexpr std::string_view kSpecials = " ()<>,;:\\\"[]";
  for (char c : address) {
    const auto u = static_cast<unsigned char>(c);
    if (u > 0x7E || kSpecials.find(c) != std::string_view::npos)
      return fail("メールアドレスに使えない文字が含まれています: " + std::string(address));
  }
  // The longest path SMTP carries; it also keeps every header line short.
  if (address.size() > 254) return fail("メールアドレスが長すぎます: " + std::string(address.substr(0, 40)) + "...");
  const std::size_t at = address.find('@');
  if (at == 0 || at == std::string_view::npos || at + 1 >= address.size() ||
      address.find('@', at + 1) != std::string_view::npos)
    return fail("メールアドレスの形式が正しくありません: " + std::string(address));
  return true;
}

bool CheckHeaderValue(std::string_view what, std::string_view value, std::string* error) {
  if (!hasControl(value)) return true;
  if (error)
    *error = std::string(what) + "に改行などの制御文字が含まれているため送信しません: " +
             shown(value);
  return false;
}

MimeResult BuildMime(const MailParts& m, const MailStamp& stamp) {
  MimeResult r;
  if (!m.error.empty()) {
    r.error = m.error;
    return r;
  }
  if (!m.from.empty() && !CheckAddress(m.from, &r.error)) return r;
  if (!CheckAddress(m.to, &r.error)) return r;
  if (!CheckHeaderValue("件名（コールサイン）", m.subject, &r.error)) return r;
  if (!CheckHeaderValue("添付ファイル名", m.attachmentName, &r.error)) return r;
  if (hasControl(stamp.unique) || stamp.unique.find_first_of("<>@ ") != std::string::npos) {
    r.error = "Message-ID を作れません";
    return r;
  }

  // '=' followed by '_' never occurs in base64, so the boundary cannot clash.
  const std::string boundary = "=_tamarack_" + stamp.unique;
  std::string& out = r.message;
  out.reserve(m.attachment.size() * 4 / 3 + 2048);
  if (!m.from.empty()) out += "From: " + m.from + std::string(kCrLf);
  out += "To: " + m.to + std::string(kCrLf);
  out += "Subject: " + EncodeHeaderValue(m.subject, 9) + std::string(kCrLf);
  out += "Date: " + DateHeader(stamp.time, stamp.utcOffsetSeconds) + std::string(kCrLf);
  out += "Message-ID: <" + stamp.unique + "@" + domainOf(m.from) + ">" + std::string(kCrLf);
  out += "MIME-Version: 1.0\r\n";
  out += "X-Mailer: Tamarack " + std::to_string(TAMARACK_VERSION_MAJOR) + "." +
         std::to_string(TAMARACK_VERSION_MINOR) + "." + std::to_string(TAMARACK_VERSION_REVISION) +
         std::string(kCrLf);
  out += "Content-Type: multipart/mixed; boundary=\"" + boundary + "\"\r\n";
  out += kCrLf;
  out += "This is a multi-part message in MIME format.\r\n";

  out += "--" + boundary + std::string(kCrLf);
  out += "Content-Type: text/plain; charset=UTF-8\r\n";
  out += "Content-Transfer-Encoding: base64\r\n\r\n";
  out += Base64Lines(normaliseLines(m.text));

  out += "--" + boundary + std::string(kCrLf);
  constexpr std::string_view kType = "Content-Type: application/octet-stream; name=";
  constexpr std::string_view kDisposition = "Content-Disposition: attachment; ";
  const std::string plainName = quoted(m.attachmentName);
  const bool asciiName = plainAscii(m.attachmentName) &&
                         kType.size() + plainName.size() <= kMaxLine &&
                         kDisposition.size() + 9 + plainName.size() <= kMaxLine;
  out += kType;
  out += asciiName ? plainName : "\"" + encodedWords(m.attachmentName, 0) + "\"";
  out += kCrLf;
  out += "Content-Transfer-Encoding: base64\r\n";
  out += kDisposition;
  out += asciiName ? "filename=" + plainName
                   : extendedParam("filename", m.attachmentName, kDisposition.size());
  out += "\r\n\r\n";
  out += Base64Lines(m.attachment);
  out += "--" + boundary + "--" + std::string(kCrLf);
  r.ok = true;
  return r;
}

MailParts ElogMail(const Settings& s, const ContestDefinition& def, std::string_view address,
                   const std::string& attachmentPath) {
  MailParts m;
  m.from = std::string(utf8::trim(s.JarlEmail));
  m.to = std::string(utf8::trim(address));
  m.subject = std::string(utf8::trim(s.JarlCallSign));
  m.text = def.ContestName + " ログ";
  m.attachmentName = fileNameOf(attachmentPath);
  std::string error;
  if (!fileio::readAll(attachmentPath, m.attachment, &error))
    m.error = "添付する電子ログを読み込めません: " + attachmentPath + "\r\n" + error;
  return m;
}

std::vector<std::string> ElogRecipients(const ContestDefinition& def, const Settings& s,
                                        bool sendJarlMail, bool sendTestMail) {
  std::vector<std::string> to;
  auto add = [&](bool wanted, const std::string& address) {
    const std::string_view a = utf8::trim(address);
    if (wanted && !a.empty()) to.emplace_back(a);
  };
  add(sendJarlMail, def.SendMailAddress);
  add(sendTestMail, def.TestMailAddress);
  add(s.MailAndMe == 1, s.JarlEmail);
  return to;
}

bool CheckRun(const Settings& s, const std::vector<std::string>& addresses,
              const std::string& attachmentPath, std::string* error) {
  for (const std::string& a : addresses)
    if (!CheckAddress(utf8::trim(a), error)) return false;
  return CheckHeaderValue("件名（コールサイン）", s.JarlCallSign, error) &&
         CheckHeaderValue("添付ファイル名", fileNameOf(attachmentPath), error);
}

std::string OwnAddressNote(const Settings& s) {
  const std::string_view from = utf8::trim(s.JarlEmail);
  std::string why;
  if (from.empty() || CheckAddress(from, &why)) return {};
  return "自分のメールアドレス「" + shown(from) +
         "」は使えないため、差出人はメール送信プログラムの設定のものになります";
}

MimeResult ElogMessage(const Settings& s, const ContestDefinition& def, std::string_view address,
                       const std::string& attachmentPath) {
  MailParts m = ElogMail(s, def, address, attachmentPath);
  // A bad own address fails only the copy sent to it, not the other messages.
  if (!OwnAddressNote(s).empty()) m.from.clear();
  return BuildMime(m, MailStamp::now());
}

std::string Printable(std::string_view s) { return shown(s); }

}  // namespace mail
