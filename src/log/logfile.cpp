#include "log/logfile.h"

#include <bit>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "log/cp932.h"
#include "log/fileio.h"
#include "log/utf8.h"

namespace logfile {
namespace {

void putI16(char* p, std::int16_t v) {
  const auto u = static_cast<std::uint16_t>(v);
  p[0] = static_cast<char>(u & 0xFF);
  p[1] = static_cast<char>(u >> 8);
}

std::int16_t getI16(const char* p) {
  const auto u = static_cast<std::uint16_t>(static_cast<unsigned char>(p[0]) |
                                            (static_cast<unsigned char>(p[1]) << 8));
  return static_cast<std::int16_t>(u);
}

void putF64(char* p, double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  for (int k = 0; k < 8; ++k) p[k] = static_cast<char>((u >> (8 * k)) & 0xFF);
}

double getF64(const char* p) {
  std::uint64_t u = 0;
  if constexpr (std::endian::native == std::endian::little)
    std::memcpy(&u, p, 8);
  else
    for (int k = 0; k < 8; ++k) u |= static_cast<std::uint64_t>(static_cast<unsigned char>(p[k])) << (8 * k);
  double v;
  std::memcpy(&v, &u, sizeof v);
  return v;
}

// A byte no text field of a saved record holds: CP932 trail bytes are never
// below 0x40, and 0xFD..0xFF are no CP932 byte at all.
bool foreignTextByte(unsigned char b) { return b < 0x20 || b == 0x7F || b >= 0xFD; }

template <std::size_t N>
void putText(char* p, const FixedText<N>& f) {
  const std::string_view v = f.view();
  if (v.size() == N && utf8::printableAscii(v)) {
    std::memcpy(p, v.data(), N);
    return;
  }
  f.toBytes(p);
  for (std::size_t k = 0; k < N; ++k)
    if (foreignTextByte(static_cast<unsigned char>(p[k]))) p[k] = ' ';
}

// Byte ranges of the text fields within a record.
struct Span {
  std::size_t from, to;
};
constexpr Span kTextSpans[] = {{kOffBand, kOffMode},         {kOffMode, kOffDupe},
                               {kOffCallSign, kOffSentRst},  {kOffSentRst, kOffSentNo},
                               {kOffSentNo, kOffRcvdRst},    {kOffRcvdRst, kOffRcvdNo},
                               {kOffRcvdNo, kOffPoints},     {kOffMlt, kOffReserved},
                               {kOffReserved, kOffRemarks},  {kOffRemarks, kOffTestNo}};

template <std::size_t N>
void getText(const char* p, FixedText<N>& f) {
  // Most fields are plain ASCII: copied without going through the codec.
  if (utf8::printableAscii(p, N)) {
    f.assign(std::string_view(p, N));
    return;
  }
  char text[3 * N];
  const std::size_t len = cp932::decodeTo(std::string_view(p, N), text);
  for (std::size_t k = 0; k < len; ++k) {
    const auto b = static_cast<unsigned char>(text[k]);
    if (b < 0x20 || b == 0x7F) text[k] = ' ';
  }
  f.assign(std::string_view(text, len));
}

// Decodes straight into the record's fields: every field is set.
void decodeFields(const char* in, QsoRecord& r) {
  r.QsoNo = getI16(in + kOffQsoNo);
  getText(in + kOffBand, r.Band);
  getText(in + kOffMode, r.Mode);
  r.Dupe = getI16(in + kOffDupe);
  const double t = getF64(in + kOffQsoTime);
  r.QsoTime = ole::valid(t) ? t : 0.0;
  getText(in + kOffCallSign, r.CallSign);
  getText(in + kOffSentRst, r.SentRst);
  getText(in + kOffSentNo, r.SentNo);
  getText(in + kOffRcvdRst, r.RcvdRst);
  getText(in + kOffRcvdNo, r.RcvdNo);
  r.Points = getI16(in + kOffPoints);
  getText(in + kOffMlt, r.Mlt);
  getText(in + kOffReserved, r.Reserved);
  getText(in + kOffRemarks, r.Remarks);
  r.TestNo = getI16(in + kOffTestNo);
}

// The text fields of a whole record are printable ASCII, read as three runs
// of words: then no byte of them can be foreign.
bool plainAsciiTexts(const char* rec) {
  return utf8::printableAscii(rec + kOffBand, kOffDupe - kOffBand) &&
         utf8::printableAscii(rec + kOffCallSign, kOffPoints - kOffCallSign) &&
         utf8::printableAscii(rec + kOffMlt, kOffTestNo - kOffMlt);
}

}  // namespace

void encodeRecord(const QsoRecord& r, char* out) {
  putI16(out + kOffQsoNo, r.QsoNo);
  putText(out + kOffBand, r.Band);
  putText(out + kOffMode, r.Mode);
  putI16(out + kOffDupe, r.Dupe);
  putF64(out + kOffQsoTime, ole::valid(r.QsoTime) ? r.QsoTime : 0.0);
  putText(out + kOffCallSign, r.CallSign);
  putText(out + kOffSentRst, r.SentRst);
  putText(out + kOffSentNo, r.SentNo);
  putText(out + kOffRcvdRst, r.RcvdRst);
  putText(out + kOffRcvdNo, r.RcvdNo);
  putI16(out + kOffPoints, r.Points);
  putText(out + kOffMlt, r.Mlt);
  putText(out + kOffReserved, r.Reserved);
  putText(out + kOffRemarks, r.Remarks);
  putI16(out + kOffTestNo, r.TestNo);
}

QsoRecord decodeRecord(const char* in) {
  QsoRecord r;
  decodeFields(in, r);
  return r;
}

bool isLogBytes(std::string_view bytes) {
  for (std::size_t at = 0; at < bytes.size(); at += kRecordSize) {
    const std::string_view rec = bytes.substr(at, kRecordSize);
    if (rec.size() < kRecordSize || !plainAsciiTexts(rec.data())) {
      for (const Span& s : kTextSpans)
        for (std::size_t k = s.from; k < s.to && k < rec.size(); ++k)
          // NUL is padding older writers left in unset fields.
          if (rec[k] != '\0' && foreignTextByte(static_cast<unsigned char>(rec[k]))) return false;
    }
    if (rec.size() >= kOffQsoTime + 8 && !ole::valid(getF64(rec.data() + kOffQsoTime)))
      return false;
  }
  return true;
}

std::vector<std::string> UnencodableFields(const LogData& log) {
  struct Field {
    const char* caption;
    std::string_view (*text)(const QsoRecord&);
  };
  static constexpr Field kFields[] = {
      {"ｺｰﾙｻｲﾝ", [](const QsoRecord& r) { return r.CallSign.view(); }},
      {"送信RST", [](const QsoRecord& r) { return r.SentRst.view(); }},
      {"送信", [](const QsoRecord& r) { return r.SentNo.view(); }},
      {"受信RST", [](const QsoRecord& r) { return r.RcvdRst.view(); }},
      {"受信", [](const QsoRecord& r) { return r.RcvdNo.view(); }},
      {"ﾏﾙﾁ", [](const QsoRecord& r) { return r.Mlt.view(); }},
      {"ﾊﾞﾝﾄﾞ", [](const QsoRecord& r) { return r.Band.view(); }},
      {"ﾓｰﾄﾞ", [](const QsoRecord& r) { return r.Mode.view(); }},
      {"予備", [](const QsoRecord& r) { return r.Reserved.view(); }},
      {"備考", [](const QsoRecord& r) { return r.Remarks.view(); }}};
  std::vector<std::string> found;
  bool seen[std::size(kFields)] = {};
  for (int i = 1; i <= log.count(); ++i) {
    const QsoRecord& r = log[i];
    for (std::size_t f = 0; f < std::size(kFields); ++f) {
      if (seen[f] || cp932::canEncode(kFields[f].text(r))) continue;
      seen[f] = true;
      found.push_back(std::string(kFields[f].caption) + " (No." + std::to_string(i) + ")");
    }
  }
  return found;
}

std::string encodeLog(const LogData& log, std::int16_t testNo, Progress& progress) {
  const int n = log.count();
  std::string bytes(static_cast<std::size_t>(n < 0 ? 0 : n) * kRecordSize, ' ');
  progress.start(n);
  for (int i = 1; i <= n; ++i) {
    char* p = bytes.data() + static_cast<std::size_t>(i - 1) * kRecordSize;
    encodeRecord(log[i], p);
    if (i == 1) putI16(p + kOffTestNo, testNo);
    progress.step(i);
  }
  progress.finish();
  return bytes;
}

void decodeInto(std::string_view bytes, LogData& out, int first, Progress& progress) {
  const int n = static_cast<int>(wholeRecords(bytes.size()));
  progress.start(n);
  for (int i = 1; i <= n; ++i) {
    decodeFields(bytes.data() + static_cast<std::size_t>(i - 1) * kRecordSize, out[first + i - 1]);
    progress.step(i);
  }
  progress.finish();
}

FileBytes readLogFile(const std::string& path, std::size_t room) {
  FileBytes f;
  if (!fileio::exists(path)) {
    f.status = ReadStatus::Missing;
    return f;
  }
  std::error_code ec;
  if (std::filesystem::is_regular_file(path, ec)) {
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec && wholeRecords(size) > room) {
      f.status = ReadStatus::TooMany;
      return f;
    }
  }
  if (!fileio::readAll(path, f.bytes, &f.error)) {
    f.status = ReadStatus::Failed;
    return f;
  }
  if (wholeRecords(f.bytes.size()) > room)
    f.status = ReadStatus::TooMany;
  // Another format's text read as records would be junk QSOs, and the next
  // save would replace that file.
  else if (!isLogBytes(f.bytes))
    f.status = ReadStatus::NotALog;
  else
    f.status = ReadStatus::Ok;
  return f;
}

LogTail readLogTail(const std::string& path, int count) {
  LogTail t;
  std::string bytes;
  std::uint64_t size = 0;
  if (count <= 0 ||
      !fileio::readLastUnits(path, kRecordSize, static_cast<std::size_t>(count), bytes, size) ||
      size > kMaxFileBytes || !isLogBytes(bytes))
    return t;
  t.total = static_cast<int>(wholeRecords(size));
  t.records.reserve(wholeRecords(bytes.size()));
  for (std::size_t at = 0; at < bytes.size(); at += kRecordSize)
    t.records.push_back(decodeRecord(bytes.data() + at));
  return t;
}

std::string SaveName(std::string_view chosen) { return SaveName(chosen, ".tmk"); }

std::string SaveName(std::string_view chosen, std::string_view extension) {
  const std::size_t slash = chosen.rfind('/');
  const std::size_t from = slash == std::string_view::npos ? 0 : slash + 1;
  const std::size_t dot = chosen.find('.', from);
  std::string name(dot == std::string_view::npos ? chosen : chosen.substr(0, dot));
  name += extension;
  return name;
}

}  // namespace logfile
