#include "output/elog.h"

#include "output/elogparts.h"

#include <algorithm>
#include <array>
#include <stdexcept>

#include "log/settings.h"
#include "contest/bands.h"
#include "contest/contestdef.h"
#include "contest/score.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/progress.h"
#include "log/utf8.h"

namespace elog {
namespace parts {

constexpr std::array<std::string_view, bands::kBandCount> kScoreLabels = {
    "1.8MHz", "3.5MHz", "7MHz",    "10MHz",   "14MHz",   "18MHz",   "21MHz",   "24MHz",
    "28MHz",  "50MHz",  "144MHz",  "430MHz",  "1200MHz", "2400MHz", "5600MHz", "10.1GHz"};

constexpr std::array<std::string_view, bands::kBandCount> kBandColumns = {
    " 1.8  ", " 3.5  ", "   7  ", "  10  ", "  14  ", "  18  ", "  21  ", "  24  ",
    "  28  ", "  50  ", " 144  ", " 430  ", "1200  ", "2400  ", "5600  ", "10.1G "};

bool isAscii(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// Appends s cut to `width` characters and padded with blanks to it.
void appendFixed(std::string& out, std::string_view s, std::size_t width) {
  const std::size_t cut = isAscii(s) ? std::min(s.size(), width) : utf8::prefixBytes(s, width);
  out.append(s.data(), cut);
  const std::size_t chars = isAscii(s) ? cut : utf8::length(s.substr(0, cut));
  out.append(width - chars, ' ');
}

// Appends s padded with blanks to `width` characters (never cut).
void appendPadded(std::string& out, std::string_view s, std::size_t width) {
  out += s;
  const std::size_t chars = isAscii(s) ? s.size() : utf8::length(s);
  if (chars < width) out.append(width - chars, ' ');
}

// Appends UTF-8 text as CP932; most lines of a log are plain ASCII, which is
// the same in both.
void appendCp932(std::string& out, std::string_view s) {
  if (isAscii(s))
    out += s;
  else
    out += cp932::encode(s);
}

void appendDigits(std::string& out, int v, int width) {
  char b[8];
  for (int i = width - 1; i >= 0; --i, v /= 10) b[i] = static_cast<char>('0' + v % 10);
  out.append(b, static_cast<std::size_t>(width));
}

// "yyyy-mm-dd hh:nn " (17 characters; blanks for a time that is no date).
void appendQsoTime(std::string& out, ole::Date t) {
  if (!ole::valid(t)) {
    out.append(17, ' ');
    return;
  }
  const ole::Parts p = ole::toParts(t);
  appendDigits(out, p.year, 4);
  out += '-';
  appendDigits(out, p.month, 2);
  out += '-';
  appendDigits(out, p.day, 2);
  out += ' ';
  appendDigits(out, p.hour, 2);
  out += ':';
  appendDigits(out, p.minute, 2);
  out += ' ';
}

void appendValue(std::string& out, std::string_view v, Lines lines) {
  for (std::size_t i = 0; i < v.size(); ++i) {
    const auto c = static_cast<unsigned char>(v[i]);
    if (lines == Lines::Kept && (c == '\n' || (c == '\r' && i + 1 < v.size() && v[i + 1] == '\n'))) {
      // Settings hold CR LF; a bare LF (text pasted from elsewhere) ends its line the same way.
      if (c == '\r') ++i;
      out += kCrLf;
    } else if (c < 0x20 || c == 0x7F) {
      out += ' ';
    } else if (c == 0xC2 && i + 1 < v.size() && static_cast<unsigned char>(v[i + 1]) <= 0x9F &&
               static_cast<unsigned char>(v[i + 1]) >= 0x80) {
      // U+0080..U+009F, the second set of control characters.
      out += ' ';
      ++i;
    } else {
      out += v[i];
    }
  }
}

void element(std::string& out, std::string_view tag, std::string_view value, Lines lines) {
  out += '<';
  out += tag;
  out += '>';
  appendValue(out, value, lines);
  out += "</";
  out += tag;
  out += '>';
  out += kCrLf;
}

void elementIfSet(std::string& out, std::string_view tag, std::string_view value) {
  if (!utf8::trim(value).empty()) element(out, tag, value);
}

bool partyStyle(const ContestDefinition& def) { return def.DqpEnabled == 1 || def.NYPEnabled == 1; }

}  // namespace parts

using namespace parts;

std::string_view ScoreLabel(int bandIndex) {
  return kScoreLabels.at(static_cast<std::size_t>(bandIndex));
}

std::string ScoreTableText(const ScoreTable& score) {
  std::string out;
  for (int i = 0; i <= ScoreTable::kTotalRow; ++i) {
    const BandStat& b = score.BandStats[static_cast<std::size_t>(i)];
    out += i < ScoreTable::kTotalRow ? std::string(ScoreLabel(i)) : std::string("TOTAL");
    out += '\t' + std::to_string(b.QsoCount) + '\t' + std::to_string(b.DupeCount) + '\t' +
           std::to_string(b.PointSum) + '\t' + std::to_string(b.MltCount) + '\n';
  }
  out += "TotalScore\t" + std::to_string(score.TotalScore) + '\n';
  return out;
}

std::string BandColumn(std::string_view band) {
  const std::string_view t = utf8::trim(band);
  for (std::size_t i = 0; i < bands::kBandTexts.size(); ++i)
    if (t == bands::kBandTexts[i]) return std::string(kBandColumns[i]);
  if (!t.empty() && (t.back() == 'K' || t.back() == 'G')) {
    const std::size_t chars = utf8::length(t);
    std::string r(chars < 5 ? 5 - chars : 0, ' ');
    r += t;
    r += ' ';
    return r;
  }
  return std::string(t);
}

std::string ColumnTitle(const ContestDefinition& def, std::int16_t cateMlt) {
  std::string r = def.SetUTCtime != 0
                      ? "DATE (UTC) TIME   BAND MODE  CALLSIGN      SENTNo      RCVDNo      "
                      : "DATE (JST) TIME   BAND MODE  CALLSIGN      SENTNo      RCVDNo      ";
  if (def.MltSearch != 0) r += "Mlt    ";
  if (def.DqpEnabled == 0 && def.NYPEnabled == 0) r += "Pts";
  if (cateMlt == 1) r += " OPE";
  return r;
}

namespace {

void appendQsoLine(std::string& out, const QsoRecord& r, const ContestDefinition& def) {
  appendQsoTime(out, r.QsoTime);
  out += BandColumn(r.Band.view());
  appendFixed(out, r.Mode.trimmed(), 6);
  appendPadded(out, r.CallSign.trimmed(), 14);
  out += r.SentRst.view();
  appendFixed(out, r.SentNo.trimmed(), 8);
  out += r.RcvdRst.view();
  appendFixed(out, r.RcvdNo.trimmed(), 8);
  if (def.MltSearch != 0) {
    const std::string_view m = r.Mlt.trimmed();
    if (m.empty())
      out += "-      ";
    else
      appendPadded(out, m, 7);
  }
  if (!partyStyle(def)) {
    if (r.Dupe == 1) {
      out += " 0  ";
    } else {
      const std::string p = "   " + std::to_string(r.Points);
      out.append(p, p.size() - 2, 2);
      out += "  ";
    }
  }
}

}  // namespace

std::string QsoLine(const QsoRecord& r, const ContestDefinition& def) {
  std::string out;
  appendQsoLine(out, r, def);
  return out;
}

std::string SummarySheet(const ElogSource& src) {
  const ContestDefinition& def = src.def;
  const Settings& s = src.settings;
  const auto& stats = src.score.BandStats;
  std::string out;
  out += def.DqpEnabled != 0 ? "<SUMMARYSHEET VERSION=R1.0DQP>" : "<SUMMARYSHEET VERSION=R1.0>";
  out += kCrLf;
  element(out, "CONTESTNAME", s.JarlContest);
  element(out, "CATEGORYCODE", s.JarlCateCode);
  element(out, "CATEGORYNAME", s.JarlCategory);
  element(out, "CALLSIGN", s.JarlCallSign);
  elementIfSet(out, "OPCALLSIGN", s.JarlOperator);

  const bool party = partyStyle(def);
  auto scoreLine = [&](std::string_view label, const BandStat& b) {
    out += "<SCORE BAND=";
    out += label;
    out += '>';
    out += std::to_string(b.QsoCount);
    if (!party) {
      out += ',';
      out += std::to_string(b.PointSum);
      out += ',';
      out += std::to_string(b.MltCount);
    }
    out += "</SCORE>";
    out += kCrLf;
  };
  for (int i = 0; i < bands::kBandCount; ++i)
    if (def.BandEnabled[static_cast<std::size_t>(i)] == 1)
      scoreLine(kScoreLabels[static_cast<std::size_t>(i)], stats[static_cast<std::size_t>(i)]);
  scoreLine("TOTAL", stats[ScoreTable::kTotalRow]);
  if (!party) {
    if (def.FdKeisuEnabled == 1) element(out, "FDCOEFF", std::to_string(s.JarlFdKeisu));
    element(out, "TOTALSCORE", std::to_string(score::SubmittedScore(src.score, def, s.JarlFdKeisu)));
  }

  element(out, "ADDRESS", s.JarlAddress, Lines::Kept);
  element(out, "TEL", s.JarlTelNo);
  element(out, "NAME", s.JarlName);
  element(out, "EMAIL", s.JarlEmail);
  element(out, "LICENSECLASS", s.JarlLicenseClass);
  element(out, "POWER", s.JarlPower);
  element(out, "POWERTYPE", s.JarlPowerType != 0 ? "実測出力" : "定格出力");
  elementIfSet(out, "OPPLACE", s.JarlUnyoChi);
  elementIfSet(out, "POWERSUPPLY", s.JarlPsType);
  element(out, "EQUIPMENT", s.JarlSetsubi, Lines::Kept);
  element(out, "COMMENTS", s.JarlComment, Lines::Kept);
  if (s.CateMlt == 1) element(out, "MULTIOPLIST", s.JarlOpsAndClass, Lines::Kept);
  elementIfSet(out, "REGCLUBNUMBER", s.JarlClubNo);
  elementIfSet(out, "REGCLUBNAME", s.JarlClubName);
  element(out, "OATH", utf8::trim(OathOf(s, def)), Lines::Kept);
  element(out, "DATE", src.todayText);
  element(out, "SIGNATURE", src.signature);
  out += "</SUMMARYSHEET>";
  out += kCrLf;
  return out;
}

std::string ElogBytes(const ElogSource& src, Progress& progress) {
  std::string out = cp932::encode(SummarySheet(src));
  out.reserve(out.size() + static_cast<std::size_t>(src.log.count()) * 96 + 256);
  std::string line;
  appendLogSheet(out, src.log, "<LOGSHEET TYPE=\"JARL E-Log\">",
                 ColumnTitle(src.def, src.settings.CateMlt), progress,
                 [&](std::string& to, const QsoRecord& r) {
                   line.clear();
                   appendQsoLine(line, r, src.def);
                   appendCp932(to, line);
                   return true;
                 });
  return out;
}

ElogResult MkJarlELog(const std::string& path, const ElogSource& src, Progress& progress) {
  return parts::writeElogFile(path, progress,
                              [&] { return ElogBytesResult{ElogBytes(src, progress), {}}; });
}

namespace parts {

bool appendLogSheet(std::string& out, const LogData& log, std::string_view openTag,
                    std::string_view titles, Progress& progress,
                    const std::function<bool(std::string& out, const QsoRecord& r)>& appendLine) {
  const int n = log.count();
  out += openTag;
  out += kCrLf;
  out += titles;
  out += kCrLf;
  progress.start(n);
  std::string label;
  for (int k = 1; k <= n; ++k) {
    const QsoRecord& r = log[k];
    label = std::to_string(r.QsoNo);
    label += ' ';
    label += r.CallSign.view();
    progress.label(label.c_str());
    progress.step(k);
    if (!appendLine(out, r)) return false;
    out += kCrLf;
  }
  out += "</LOGSHEET>";
  out += kCrLf;
  return true;
}

ElogResult writeElogFile(const std::string& path, Progress& progress,
                         const std::function<ElogBytesResult()>& make) {
  ElogResult result;
  // The progress window is closed whatever happens.
  struct Finish {
    Progress& p;
    ~Finish() { p.finish(); }
  } finish{progress};
  ElogBytesResult bytes;
  try {
    bytes = make();
  } catch (const std::exception& e) {
    result.error = e.what();
    return result;
  }
  if (!bytes.error.empty()) {
    result.error = bytes.error;
    result.refused = true;
    return result;
  }
  result.ok = fileio::writeAtomic(path, bytes.bytes, &result.error);
  return result;
}

}  // namespace parts

}  // namespace elog
