#include "log/csv.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>

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
// The original format's rule for a line whose quotes do not balance: every double quote
// removed, split at every comma.
std::vector<std::string> plainFields(std::string_view line) {
  std::vector<std::string> fields(1);
  for (char c : line) {
    if (c == '"') continue;
    if (c == ',')
      fields.emplace_back();
    else
      fields.back() += c;
  }
  return fields;
}
}  // namespace

std::vector<std::string> nextRecord(std::string_view text, std::size_t& pos) {
  // A line end always ends the record: the writer never puts one in a field.
  const std::size_t nl = text.find('\n', pos);
  std::string_view line = text.substr(pos, (nl == std::string_view::npos ? text.size() : nl) - pos);
  pos = nl == std::string_view::npos ? text.size() : nl + 1;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  std::vector<std::string> fields(1);
  bool quoted = false;     // inside a quoted part
  bool wasQuoted = false;  // the field began with a quote
  bool fieldStart = true;
  for (std::size_t i = 0; i < line.size(); ++i) {
    const char c = line[i];
    if (quoted) {
      if (c == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          fields.back() += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        fields.back() += c;
      }
      continue;
    }
    if (c == ',') {
      fields.emplace_back();
      fieldStart = true;
      wasQuoted = false;
      continue;
    }
    if (c == '"') {
      // Only a quote at the start of a field opens quoting; any other is
      // dropped, as older files were read.
      if (fieldStart && !wasQuoted) {
        quoted = true;
        wasQuoted = true;
      }
      fieldStart = false;
      continue;
    }
    fieldStart = false;
    fields.back() += c;
  }
  if (quoted) return plainFields(line);
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
  const double v = std::nearbyint(std::strtod(std::string(text).c_str(), nullptr));
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

bool blank(std::string_view line) {
  return std::all_of(line.begin(), line.end(),
                     [](char c) { return c == '\r' || c == ' ' || c == '\t'; });
}

}  // namespace

ImportResult CsvParse(std::string_view bytes, LogData& log, Progress& progress) {
  ImportResult res;
  const std::string text = cp932::decode(bytes);
  const int lines = static_cast<int>(std::min<std::size_t>(
      static_cast<std::size_t>(std::count(text.begin(), text.end(), '\n')) + 1, kMaxQso));
  progress.start(lines);
  // The log grows once, by at most one record a line, and is cut back to
  // what was read.
  const int before = log.count();
  const int room = kMaxQso - before;
  log.resize(before + std::min(lines, room));
  std::size_t pos = 0;
  int lineNo = 1;  // the line pos is at
  while (pos < text.size()) {
    const int here = lineNo;
    const std::size_t nl = text.find('\n', pos);
    const std::size_t end = nl == std::string::npos ? text.size() : nl;
    if (blank(std::string_view(text).substr(pos, end - pos))) {
      pos = nl == std::string::npos ? text.size() : nl + 1;
      ++lineNo;
      continue;
    }
    const std::vector<std::string> f = csv::nextRecord(text, pos);
    ++lineNo;
    if (res.appended >= room) {
      res.limited = true;
      break;
    }
    auto field = [&](int k) -> std::string_view {
      return k < static_cast<int>(f.size()) ? std::string_view(f[static_cast<std::size_t>(k)])
                                            : std::string_view();
    };
    auto fail = [&](const char* what, std::string_view value) {
      res.failed = true;
      res.error = std::to_string(here) + " 行目の" + what + "が読めません: " +
                  cleanText(value.substr(0, 40));
    };
    QsoRecord& r = log[before + res.appended + 1];
    r = QsoRecord{};
    if (!csv::parseInt16(field(0), r.QsoNo)) {
      fail("番号", field(0));
      break;
    }
    if (!utf8::trim(field(1)).empty()) {
      const auto t = ole::parse(field(1));
      if (!t) {
        fail("年月日・時間", field(1));
        break;
      }
      r.QsoTime = *t;
    }
    r.CallSign = cleanText(field(2));
    r.SentRst = cleanText(field(3));
    r.SentNo = cleanText(field(4));
    r.RcvdRst = cleanText(field(5));
    r.RcvdNo = cleanText(field(6));
    r.Mlt = cleanText(field(7));
    r.Band = cleanText(field(8));
    r.Mode = cleanText(field(9));
    if (!csv::parseInt16(field(10), r.Points)) {
      fail("ポイント", field(10));
      break;
    }
    if (!csv::parseInt16(field(11), r.Dupe)) {
      fail("デュープ", field(11));
      break;
    }
    r.Remarks = cleanText(field(12));
    // The file's numbers are kept as stored.
    ++res.appended;
    progress.step(std::min(here, lines));
  }
  log.resize(before + res.appended);
  progress.finish();
  return res;
}
