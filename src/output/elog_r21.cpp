// The R2.1 electronic log.
#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <stdexcept>

#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/score.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/settings.h"
#include "log/utf8.h"
#include "output/elog.h"
#include "output/elogparts.h"

namespace elog {

using namespace parts;

std::string_view FormatName(ElogFormat f) { return f == ElogFormat::R21 ? "R2.1" : "R1.0"; }

std::optional<ElogFormat> ParseFormat(std::string_view text) {
  const std::string_view t = utf8::trim(text);
  if (t == "R1.0" || t == "r1.0") return ElogFormat::R10;
  if (t == "R2.1" || t == "r2.1") return ElogFormat::R21;
  return std::nullopt;
}

bool R21Allowed(const ContestDefinition& def) { return !partyStyle(def); }

ElogFormat DefaultFormat(const ContestDefinition& def) {
  const std::optional<ElogFormat> f = ParseFormat(def.ElogFormat);
  return f && R21Allowed(def) ? *f : ElogFormat::R10;
}

bool NeedsLicenseDate(std::string_view cateCode) { return utf8::trim(cateCode) == "PN"; }

bool NeedsAge(std::string_view cateCode) {
  const std::string_view c = utf8::trim(cateCode);
  return c == "XS" || c == "CS" || c == "SOSV" || c == "SOJR";
}

std::string PowerWatts(std::string_view jarlPower) {
  const std::string_view t = utf8::trim(jarlPower);
  double value = 0;
  const auto [end, ec] = std::from_chars(t.data(), t.data() + t.size(), value);
  if (ec != std::errc() || t.empty()) return std::string(t);
  const std::string_view unit = utf8::trim(std::string_view(end, static_cast<std::size_t>(t.data() + t.size() - end)));
  if (unit == "K" || unit == "k")
    value *= 1000;
  else if (unit == "m")
    value /= 1000;
  else if (!unit.empty() && unit != "W")
    return std::string(t);
  char buf[32];
  // Plain decimal, no exponent, no trailing zeros.
  std::snprintf(buf, sizeof buf, "%.3f", value);
  std::string r(buf);
  while (r.back() == '0') r.pop_back();
  if (r.back() == '.') r.pop_back();
  return r;
}

namespace {

// Operators one per line (or already comma-separated) become one list.
std::string commaList(std::string_view lines) {
  std::string out;
  std::size_t start = 0;
  while (start <= lines.size()) {
    std::size_t end = lines.find_first_of("\r\n,", start);
    if (end == std::string_view::npos) end = lines.size();
    const std::string_view item = utf8::trim(lines.substr(start, end - start));
    if (!item.empty()) {
      if (!out.empty()) out += ',';
      out += item;
    }
    start = end + 1;
  }
  return out;
}

// A field of a QSO line: "-" when empty, nothing when it cannot be written.
bool appendField(std::string& line, std::string_view v) {
  const std::string_view t = utf8::trim(v);
  if (t.empty()) {
    line += '-';
    return true;
  }
  for (char c : t)
    if (static_cast<unsigned char>(c) < 0x21 || static_cast<unsigned char>(c) > 0x7e) return false;
  line += t;
  return true;
}

}  // namespace

std::string SummarySheetR21(const ElogSource& src) {
  const ContestDefinition& def = src.def;
  const Settings& s = src.settings;
  std::string out = "<SUMMARYSHEET VERSION=R2.1>";
  out += kCrLf;
  element(out, "CONTESTNAME", s.JarlContest);
  element(out, "CATEGORYCODE", s.JarlCateCode);
  element(out, "CALLSIGN", s.JarlCallSign);
  elementIfSet(out, "OPCALLSIGN", s.JarlOperator);
  element(out, "TOTALSCORE", std::to_string(score::SubmittedScore(src.score, def, s.JarlFdKeisu)));
  element(out, "ADDRESS", s.JarlAddress, Lines::Kept);
  element(out, "NAME", s.JarlName);
  element(out, "TEL", s.JarlTelNo);
  element(out, "EMAIL", s.JarlEmail);
  element(out, "POWER", PowerWatts(s.JarlPower));
  if (def.FdKeisuEnabled == 1) element(out, "FDCOEFF", std::to_string(s.JarlFdKeisu));
  elementIfSet(out, "OPPLACE", s.JarlUnyoChi);
  elementIfSet(out, "POWERSUPPLY", s.JarlPsType);
  if (NeedsLicenseDate(s.JarlCateCode)) element(out, "LICENSEDATE", utf8::trim(src.licenseDate));
  if (NeedsAge(s.JarlCateCode)) element(out, "AGE", utf8::trim(s.JarlAge));
  element(out, "COMMENTS", s.JarlComment, Lines::Kept);
  if (s.CateMlt == 1) element(out, "MULTIOPLIST", commaList(s.JarlOpsAndClass));
  elementIfSet(out, "REGCLUBNUMBER", s.JarlClubNo);
  element(out, "OATH", utf8::trim(s.JarlOath), Lines::Kept);
  element(out, "DATE", src.todayText);
  element(out, "SIGNATURE", src.signature);
  out += "</SUMMARYSHEET>";
  out += kCrLf;
  return out;
}

std::string ColumnTitleR21(const ContestDefinition& def) {
  return def.SetUTCtime != 0 ? "DATE(UTC) TIME BAND MODE CALLSIGN SENTNo RCVDNo MULTI PTS"
                             : "DATE(JST) TIME BAND MODE CALLSIGN SENTNo RCVDNo MULTI PTS";
}

std::optional<std::string> QsoLineR21(const QsoRecord& r) {
  std::string line;
  appendQsoTime(line, r.QsoTime);
  if (!ole::valid(r.QsoTime)) line = "- - ";
  bool ok = appendField(line, BandColumn(r.Band.view()));
  for (std::string_view f : {r.Mode.view(), r.CallSign.view(), r.SentRst.view(), r.SentNo.view(),
                             r.RcvdRst.view(), r.RcvdNo.view(), r.Mlt.view()}) {
    line += ' ';
    ok = ok && appendField(line, f);
  }
  if (!ok) return std::nullopt;
  line += ' ';
  line += r.Dupe == 1 ? std::string("0") : std::to_string(r.Points);
  return line;
}

std::string R21RefusalText(const QsoRecord& r) {
  char no[8];
  std::snprintf(no, sizeof no, "%04d", static_cast<int>(r.QsoNo));
  std::string s = "No ";
  s += no;
  s += "  ";
  s += r.CallSign.trimmed();
  s += "  の交信データに半角英数字以外の文字か空白があるため、R2.1 形式では書けません。\r\n"
       "R1.0 形式で作成してください。";
  return s;
}

ElogBytesResult ElogBytesR21(const ElogSource& src, Progress& progress) {
  ElogBytesResult res;
  if (!R21Allowed(src.def)) {
    res.error = "QSOパーティーの電子ログは R1.0 形式で作成してください。";
    return res;
  }
  std::string& out = res.bytes;
  appendCp932(out, SummarySheetR21(src));
  out.reserve(out.size() + static_cast<std::size_t>(src.log.count()) * 64 + 256);
  const bool whole = appendLogSheet(out, src.log, "<LOGSHEET TYPE=Tamarack>",
                                    ColumnTitleR21(src.def), progress,
                                    [&](std::string& to, const QsoRecord& r) {
                                      const std::optional<std::string> line = QsoLineR21(r);
                                      if (!line) {
                                        res.error = R21RefusalText(r);
                                        return false;
                                      }
                                      to += *line;
                                      return true;
                                    });
  if (!whole) res.bytes.clear();
  return res;
}

ElogResult MkJarlELogR21(const std::string& path, const ElogSource& src, Progress& progress) {
  return writeElogFile(path, progress, [&] { return ElogBytesR21(src, progress); });
}

ElogResult MakeElog(ElogFormat format, const std::string& path, const ElogSource& src,
                    Progress& progress) {
  return format == ElogFormat::R21 ? MkJarlELogR21(path, src, progress)
                                   : MkJarlELog(path, src, progress);
}

}  // namespace elog
