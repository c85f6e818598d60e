#include "log/zlog.h"

#include <array>
#include <charconv>
#include <cmath>
#include <algorithm>
#include <cstring>

#include "log/cp932.h"

namespace importtext {
std::string limitReached(int appended) {
  std::string s = "ログデータが32767件を超えるため、";
  s += std::to_string(appended);
  s += " 件を追加したところで読込を終了しました";
  return s;
}
}  // namespace importtext

namespace zlog {

namespace {
constexpr std::array<std::string_view, 16> kBands = {
    "1.8", "3.5", "7", "10", "14", "18", "21", "24", "28", "50",
    "144", "430", "1200", "2400", "5600", "10.1G"};
constexpr std::array<std::string_view, 6> kModes = {"CW", "SSB", "FM", "AM", "RTTY", "OTHER"};

std::int16_t int16At(const unsigned char* p) {
  return static_cast<std::int16_t>(static_cast<std::uint16_t>(p[0] | (p[1] << 8)));
}

// A length-prefixed string: at most `room` characters follow the length byte
// however large the length claims to be. Shift-JIS bytes are decoded; control
// bytes become blanks so that no tab or line break reaches a grid row.
template <std::size_t N>
void pascalString(const unsigned char* p, std::size_t room, FixedText<N>& out) {
  std::size_t len = p[0];
  if (len > room) len = room;
  char raw[256];
  std::memcpy(raw, p + 1, len);
  for (std::size_t k = 0; k < len; ++k) {
    const auto u = static_cast<unsigned char>(raw[k]);
    if (u < 0x20 || u == 0x7F) raw[k] = ' ';
  }
  char text[3 * sizeof raw];
  out.assign(std::string_view(text, cp932::decodeTo(std::string_view(raw, len), text)));
}

// The decimal text of a number.
std::string_view numberText(std::int16_t v, char (&buf)[8]) {
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string_view(buf, static_cast<std::size_t>(r.ptr - buf));
}
}  // namespace

std::int64_t RecordCount(std::uint64_t bytes) {
  const std::uint64_t whole = bytes / kRecordSize;
  const std::uint64_t rest = bytes % kRecordSize;
  std::uint64_t n = whole;
  if (rest > kRecordSize / 2 || (rest == kRecordSize / 2 && (whole & 1) != 0)) ++n;
  return static_cast<std::int64_t>(n);
}

std::string CountText(std::int64_t n) {
  if (n < 2) return "ログデータがありません";
  std::string s;
  for (char c : std::to_string(n - 1)) {
    // U+FF10 .. U+FF19, three bytes each in UTF-8.
    s += "\xEF\xBC";
    s += static_cast<char>(0x90 + (c - '0'));
  }
  s += " 件のログデータがあります";
  return s;
}

std::string_view BandOf(unsigned code) { return code < kBands.size() ? kBands[code] : ""; }
std::string_view ModeOf(unsigned code) { return code < kModes.size() ? kModes[code] : ""; }

}  // namespace zlog

bool ZlogTimeToDate(double t, ole::Date& out) {
  // Years 100 .. 9999 lie well inside this span; anything outside (and NaN)
  // is no date.
  if (!(t > -700000.0 && t < 3000000.0)) return false;
  const double day = std::floor(t);
  // The fraction is exact; its seconds are truncated, allowing for the last
  // bits of a double, so that a time stored as 18:34:00 never reads 18:33:59.
  std::int64_t secs = static_cast<std::int64_t>(std::floor((t - day) * 86400.0 + 1e-5));
  std::int64_t days = static_cast<std::int64_t>(day);
  if (secs >= 86400) {
    secs -= 86400;
    ++days;
  }
  const ole::Date d = ole::fromSeconds(days * 86400 + secs);
  if (!ole::valid(d)) return false;
  out = d;
  return true;
}

QsoRecord ZlogConvertRecord(const char* rec) {
  const auto* p = reinterpret_cast<const unsigned char*>(rec);
  QsoRecord r;
  zlog::pascalString(p + zlog::kOffCallSign, 12, r.CallSign);
  zlog::pascalString(p + zlog::kOffSentNo, 30, r.SentNo);
  zlog::pascalString(p + zlog::kOffRcvdNo, 31, r.RcvdNo);
  char number[8];
  r.SentRst = zlog::numberText(zlog::int16At(p + zlog::kOffSentRst), number);
  r.RcvdRst = zlog::numberText(zlog::int16At(p + zlog::kOffRcvdRst), number);
  // A code outside the tables leaves the field empty.
  r.Band = zlog::BandOf(p[zlog::kOffBand]);
  r.Mode = zlog::ModeOf(p[zlog::kOffMode]);
  double t;
  std::memcpy(&t, rec + zlog::kOffTime, sizeof t);
  ole::Date d;
  if (ZlogTimeToDate(t, d)) r.QsoTime = d;
  return r;
}

ImportResult ZlogConvert(std::string_view bytes, LogData& log, Progress& progress) {
  ImportResult res;
  const std::int64_t n = zlog::RecordCount(bytes.size());
  if (n < 2) return res;
  // The log grows once, by as many QSOs as it has room for.
  const int before = log.count();
  const int take = static_cast<int>(std::min<std::int64_t>(n - 1, kMaxQso - before));
  res.limited = take < n - 1;
  log.resize(before + take);
  progress.start(take);
  char rec[zlog::kRecordSize];
  for (int i = 1; i <= take; ++i) {
    const std::size_t at = static_cast<std::size_t>(i) * zlog::kRecordSize;
    const std::size_t have = at < bytes.size() ? std::min(zlog::kRecordSize, bytes.size() - at) : 0;
    std::memset(rec, 0, sizeof rec);
    if (have) std::memcpy(rec, bytes.data() + at, have);
    QsoRecord& r = log[before + i];
    r = ZlogConvertRecord(rec);
    r.QsoNo = static_cast<std::int16_t>(before + i);
    ++res.appended;
    progress.step(res.appended);
  }
  progress.finish();
  return res;
}
