#include "log/csv.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "log/cp932.h"
#include "log/fileio.h"
#include "log/utf8.h"

namespace csv {

void appendQuoted(std::string& out, std::string_view field) {
  out += '"';
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

namespace {
// The fields of one line (its line end removed) as runs of fields.text:
// field k ends at ends[k]. Quoted parts are copied a run at a time.
struct LineFields {
  std::string text;
  std::vector<std::size_t> ends;

  std::size_t count() const { return ends.size(); }
  std::string_view operator[](std::size_t k) const {
    if (k >= ends.size()) return {};
    const std::size_t from = k == 0 ? 0 : ends[k - 1];
    return std::string_view(text).substr(from, ends[k] - from);
  }
};

// The original format's rule for a line whose quotes do not balance: every double quote
// removed, split at every comma.
void plainFields(std::string_view line, LineFields& out) {
  out.text.clear();
  out.ends.clear();
  for (char c : line) {
    if (c == '"') continue;
    if (c == ',')
      out.ends.push_back(out.text.size());
    else
      out.text += c;
  }
  out.ends.push_back(out.text.size());
}

void splitLine(std::string_view line, LineFields& out) {
  // A field is never longer than its line: written in place through a cursor.
  if (out.text.size() < line.size()) out.text.resize(line.size());
  out.ends.clear();
  char* const begin = out.text.data();
  char* o = begin;
  bool quoted = false;     // inside a quoted part
  bool wasQuoted = false;  // the field began with a quote
  bool fieldStart = true;
  const std::size_t n = line.size();
  for (std::size_t i = 0; i < n;) {
    if (quoted) {
      std::size_t q = i;
      while (q < n && line[q] != '"') ++q;
      std::memcpy(o, line.data() + i, q - i);
      o += q - i;
      if (q == n) break;
      if (q + 1 < n && line[q + 1] == '"') {
        *o++ = '"';
        i = q + 2;
      } else {
        quoted = false;
        i = q + 1;
      }
      continue;
    }
    std::size_t j = i;
    while (j < n && line[j] != ',' && line[j] != '"') ++j;
    if (j > i) {
      std::memcpy(o, line.data() + i, j - i);
      o += j - i;
      fieldStart = false;
      i = j;
      continue;
    }
    if (line[i] == ',') {
      out.ends.push_back(static_cast<std::size_t>(o - begin));
      fieldStart = true;
      wasQuoted = false;
    } else {
      // Only a quote at the start of a field opens quoting; any other is
      // dropped, as older files were read.
      if (fieldStart && !wasQuoted) {
        quoted = true;
        wasQuoted = true;
      }
      fieldStart = false;
    }
    ++i;
  }
  if (quoted) return plainFields(line, out);
  out.ends.push_back(static_cast<std::size_t>(o - begin));
}

// The line at pos (without its line end, one CR before it dropped); pos is
// left after the line end.
std::string_view takeLine(std::string_view text, std::size_t& pos) {
  const std::size_t nl = text.find('\n', pos);
  std::string_view line = text.substr(pos, (nl == std::string_view::npos ? text.size() : nl) - pos);
  pos = nl == std::string_view::npos ? text.size() : nl + 1;
  return line;
}
}  // namespace

std::vector<std::string> nextRecord(std::string_view text, std::size_t& pos) {
  // A line end always ends the record: the writer never puts one in a field.
  std::string_view line = takeLine(text, pos);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  LineFields f;
  splitLine(line, f);
  std::vector<std::string> fields;
  fields.reserve(f.count());
  for (std::size_t k = 0; k < f.count(); ++k) fields.emplace_back(f[k]);
  return fields;
}

bool parseInt16(std::string_view text, std::int16_t& out) {
  text = utf8::trim(text);
  if (text.empty()) {
    out = 0;
    return true;
  }
  std::size_t i = 0;
  if (text[0] == '-' || text[0] == '+') ++i;
  bool digits = false, dot = false;
  for (std::size_t j = i; j < text.size(); ++j) {
    if (text[j] >= '0' && text[j] <= '9')
      digits = true;
    else if (text[j] == '.' && !dot)
      dot = true;
    else
      return false;
  }
  if (!digits || text.size() > 40) return false;
  if (!dot && text.size() - i <= 5) {
    // a whole number needs no rounding
    long v = 0;
    for (std::size_t j = i; j < text.size(); ++j) v = v * 10 + (text[j] - '0');
    if (text[0] == '-') v = -v;
    if (v < -32768 || v > 32767) return false;
    out = static_cast<std::int16_t>(v);
    return true;
  }
  char number[48];
  std::memcpy(number, text.data(), text.size());
  number[text.size()] = '\0';
  const double v = std::nearbyint(std::strtod(number, nullptr));
  if (!(v >= -32768.0 && v <= 32767.0)) return false;
  out = static_cast<std::int16_t>(v);
  return true;
}

}  // namespace csv

std::string CsvFormat(const LogData& log, Progress& progress) {
  std::string out;
  out.reserve(static_cast<std::size_t>(log.count()) * 96);
  progress.start(log.count());
  for (int i = 1; i <= log.count(); ++i) {
    const QsoRecord& r = log[i];
    csv::appendQuoted(out, std::to_string(r.QsoNo));
    out += ',';
    csv::appendQuoted(out, ole::formatGeneral(r.QsoTime));
    for (std::string_view f : {r.CallSign.trimmed(), r.SentRst.trimmed(), r.SentNo.trimmed(),
                               r.RcvdRst.trimmed(), r.RcvdNo.trimmed(), r.Mlt.trimmed(),
                               r.Band.trimmed(), r.Mode.trimmed()}) {
      out += ',';
      csv::appendQuoted(out, f);
    }
    out += ',';
    csv::appendQuoted(out, std::to_string(r.Points));
    out += ',';
    csv::appendQuoted(out, std::to_string(r.Dupe));
    out += ',';
    csv::appendQuoted(out, r.Remarks.trimmed());
    out += "\r\n";
    progress.step(i);
  }
  progress.finish();
  return out;
}

bool CsvWrite(const std::string& path, const LogData& log, Progress& progress,
              std::string* error) {
  return fileio::writeAtomic(path, cp932::encode(CsvFormat(log, progress)), error);
}

namespace {

// Control characters would break a grid row apart.
std::string cleanText(std::string_view s) {
  std::string t(s);
  for (char& c : t) {
    const auto u = static_cast<unsigned char>(c);
    if (u < 0x20 || u == 0x7F) c = ' ';
  }
  return t;
}

// The same in place, for a field of the line being read.
std::string_view cleanInPlace(csv::LineFields& f, std::size_t k) {
  if (k >= f.count()) return {};
  const std::size_t from = k == 0 ? 0 : f.ends[k - 1];
  if (utf8::printableAscii(f[k])) return f[k];
  for (std::size_t at = from; at < f.ends[k]; ++at) {
    const auto u = static_cast<unsigned char>(f.text[at]);
    if (u < 0x20 || u == 0x7F) f.text[at] = ' ';
  }
  return f[k];
}

bool blank(std::string_view line) {
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return c == '\r' || c == ' ' || c == '\t'; });
}

}  // namespace

ImportResult CsvParse(std::string_view bytes, LogData& log, Progress& progress) {
  ImportResult res;
  // One pass finds the lines. A line end byte is never part of a CP932
  // character, so the file's lines are its text's lines; each is decoded as
  // it is read.
  std::vector<std::string_view> rawLines;
  for (std::size_t pos = 0; pos < bytes.size();) rawLines.push_back(csv::takeLine(bytes, pos));
  const std::size_t lineEnds = rawLines.size() - (bytes.empty() || bytes.back() == '\n' ? 0 : 1);
  const int lines = static_cast<int>(std::min<std::size_t>(lineEnds + 1, kMaxQso));
  progress.start(lines);
  // The log grows once, by at most one record a line, and is cut back to
  // what was read.
  const int before = log.count();
  const int room = kMaxQso - before;
  log.resize(before + std::min(lines, room));
  std::string text;
  csv::LineFields f;
  for (std::size_t k = 0; k < rawLines.size(); ++k) {
    const int here = static_cast<int>(k) + 1;
    const std::string_view raw = rawLines[k];
    if (text.size() < 3 * raw.size()) text.resize(3 * raw.size());
    std::string_view line(text.data(), cp932::decodeTo(raw, text.data()));
    if (blank(line)) continue;
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    csv::splitLine(line, f);
    if (res.appended >= room) {
      res.limited = true;
      break;
    }
    auto fail = [&](const char* what, std::string_view value) {
      res.failed = true;
      res.error = std::to_string(here) + " 行目の" + what + "が読めません: " +
                  cleanText(value.substr(0, 40));
    };
    // a slot the log just grew by: every field empty
    QsoRecord& r = log[before + res.appended + 1];
    if (!csv::parseInt16(f[0], r.QsoNo)) {
      fail("番号", f[0]);
      break;
    }
    if (!utf8::trim(f[1]).empty()) {
      const auto t = ole::parse(f[1]);
      if (!t) {
        fail("年月日・時間", f[1]);
        break;
      }
      r.QsoTime = *t;
    }
    r.CallSign = cleanInPlace(f, 2);
    r.SentRst = cleanInPlace(f, 3);
    r.SentNo = cleanInPlace(f, 4);
    r.RcvdRst = cleanInPlace(f, 5);
    r.RcvdNo = cleanInPlace(f, 6);
    r.Mlt = cleanInPlace(f, 7);
    r.Band = cleanInPlace(f, 8);
    r.Mode = cleanInPlace(f, 9);
    if (!csv::parseInt16(f[10], r.Points)) {
      fail("ポイント", f[10]);
      break;
    }
    if (!csv::parseInt16(f[11], r.Dupe)) {
      fail("デュープ", f[11]);
      break;
    }
    r.Remarks = cleanInPlace(f, 12);
    // The file's numbers are kept as stored.
    ++res.appended;
    progress.step(std::min(here, lines));
  }
  log.resize(before + res.appended);
  progress.finish();
  return res;
}
