#include "hamlog/thlog.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "contest/contestdef.h"
#include "contest/cty.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/grid.h"
#include "log/settings.h"
#include "log/ui.h"
#include "log/utf8.h"

namespace thtext {
std::string versionCaption(int version) {
  return "(Hamlog50.dll Ver " + std::to_string(version) + ")";
}
std::string unreadableSkipped(int count) {
  return "読み込めないデータが " + std::to_string(count) + " 件あったため、読み飛ばしました";
}
std::string bandLeftEmpty(int count) {
  return "周波数がバンドの範囲外のデータが " + std::to_string(count) + " 件あったため、バンドを空欄にしました";
}
}  // namespace thtext

std::int64_t ThHexAsDecimal(std::int32_t version) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "%X", static_cast<unsigned>(version));
  std::int64_t v = 0;
  for (const char* p = hex; *p >= '0' && *p <= '9'; ++p) v = v * 10 + (*p - '0');
  return v;
}

int ThReadVersion(std::int32_t version) {
  // Halves go to the even neighbour, as the original rounding does.
  const std::int64_t v = ThHexAsDecimal(version);
  std::int64_t q = v / 10000;
  const std::int64_t r = v % 10000;
  if (r > 5000 || (r == 5000 && (q & 1))) ++q;
  return static_cast<int>(q);
}

std::int32_t ThCountRecords(HamlogLibrary& lib, const std::string& path, std::int32_t& count) {
  ThwWork w;
  const std::int32_t rc = lib.HamlogOpen(w, path);
  try {
    count = lib.Vdbf_rcount(w);
  } catch (const HamlogError&) {
    lib.HamlogClose(w);
    throw;
  }
  lib.HamlogClose(w);
  return rc;
}

std::string ThWindowText(ole::Date d) {
  const ole::Parts p = ole::toParts(d);
  char buf[16];
  std::snprintf(buf, sizeof buf, "%04d%02d%02d%02d%02d", p.year, p.month, p.day, p.hour, p.minute);
  return buf;
}

// ---- Reading.

namespace {

struct BandRange {
  double low, high;
};
constexpr std::array<BandRange, 16> kBandRanges = {{{1.8, 1.91},
                                                    {3.5, 3.9},
                                                    {7, 7.3},
                                                    {10, 10.5},
                                                    {14, 14.4},
                                                    {18, 18.3},
                                                    {21, 21.5},
                                                    {24.5, 25},
                                                    {28, 30},
                                                    {50, 54},
                                                    {144, 146},
                                                    {430, 440},
                                                    {1200, 1300},
                                                    {2400, 2500},
                                                    {5600, 5800},
                                                    {10000, 15000}}};
constexpr std::array<const char*, 16> kBandNames = {"1.8", "3.5", "7",    "10",   "14",   "18",
                                                    "21",  "24",  "28",   "50",   "144",  "430",
                                                    "1200", "2400", "5600", "10.1G"};

// Digits separated by one of the separators; false when a part is missing.
bool readNumbers(std::string_view s, char sep, int* out, int n) {
  std::size_t i = 0;
  for (int k = 0; k < n; ++k) {
    if (k > 0) {
      if (i >= s.size() || s[i] != sep) return false;
      ++i;
    }
    const std::size_t start = i;
    int v = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - start < 4)
      v = v * 10 + (s[i++] - '0');
    if (i == start) return false;
    out[k] = v;
  }
  return i == s.size();
}

}  // namespace

bool ThBandOf(double mhz, std::string& band, int& index) {
  for (std::size_t i = 0; i < kBandRanges.size(); ++i) {
    if (mhz >= kBandRanges[i].low && mhz <= kBandRanges[i].high) {
      band = kBandNames[i];
      index = static_cast<int>(i);
      return true;
    }
  }
  return false;
}

bool ThBandOfFrequency(std::string_view freq, std::string& band, int& index) {
  const std::string_view f = utf8::trim(freq);
  // The append writes the band text: "24" and "10.1G" do not read as their band's frequency.
  for (std::size_t i = 0; i < kBandNames.size(); ++i) {
    if (f == kBandNames[i]) {
      band = kBandNames[i];
      index = static_cast<int>(i);
      return true;
    }
  }
  return ThBandOf(std::strtod(std::string(f).c_str(), nullptr), band, index);
}

std::string ThModeOf(std::string_view mode) {
  if (mode == "USB" || mode == "J3E" || mode == "LSB") return "SSB";
  if (mode == "F3E") return "FM";
  if (mode == "A3" || mode == "A3E") return "AM";
  if (mode == "A1A") return "CW";
  if (mode == "F1B") return "RTTY";
  if (mode == "G1B") return "PSK31";
  if (mode == "F3F") return "SSTV";
  return std::string(mode);
}

std::optional<std::string> ThRcvdNoOfReportLine(std::string_view remarks, std::string_view sentRst,
                                                std::string_view rcvdRst) {
  // The remark base, when there is one, follows two blanks.
  const std::string_view line = remarks.substr(0, remarks.find("  "));
  const std::string bare = std::string(sentRst) + "/" + std::string(rcvdRst);
  if (line == bare) return std::string();
  const std::string sent = std::string(sentRst) + "-";
  const std::string rcvd = "/" + std::string(rcvdRst) + "-";
  if (line.substr(0, sent.size()) != sent) return std::nullopt;
  const std::size_t at = line.find(rcvd, sent.size());
  if (at == std::string_view::npos) return std::nullopt;
  return std::string(line.substr(at + rcvd.size()));
}

std::optional<ole::Date> ThRecordTime(std::string_view date, std::string_view time) {
  int d[3], t[2];
  date = utf8::trim(date);
  time = utf8::trim(time);
  if (!readNumbers(date, '/', d, 3) || !readNumbers(time, ':', t, 2)) return std::nullopt;
  // Two-digit years: 00-29 this century, 30-99 the last.
  if (date.find('/') <= 2) d[0] += d[0] < 30 ? 2000 : 1900;
  const ole::Parts p{d[0], d[1], d[2], t[0], t[1], 0};
  if (!ole::validParts(p) || p.hour > 23 || p.minute > 59) return std::nullopt;
  return ole::fromParts(p);
}

std::string ThReadNote(const ThReadResult& r) {
  std::string note;
  if (r.unreadable > 0) note = thtext::unreadableSkipped(r.unreadable);
  if (r.noBand > 0) note += (note.empty() ? "" : "\r\n") + thtext::bandLeftEmpty(r.noBand);
  return note;
}

ThReadResult ThlogDataRead(HamlogLibrary& lib, const ThReadRequest& req, const Settings& ini,
                           const ContestDefinition& def, LogDocument& doc, GridRows& grid,
                           Progress& progress) {
  ThReadResult res;
  ThwWork w;
  bool opened = false;
  bool started = false;
  grid.setRedraw(false);
  try {
    const std::int32_t rc = lib.HamlogOpen(w, req.path);
    opened = true;
    const std::int32_t count = lib.Vdbf_rcount(w);
    if (req.version >= 1 && rc == 0 && count >= 1) {
      const std::string from = ThWindowText(req.from);
      const std::string to = ThWindowText(req.to);
      progress.start(count);
      started = true;
      const int rptCount = std::max<int>(0, ini.ThRRptCount);
      for (std::int32_t n = 1; n <= count; ++n) {
        progress.step(n);
        if (lib.THW_read(w, n) != 0) {
          ++res.unreadable;
          continue;
        }
        auto field = [&](std::int16_t f) { return cp932::decode(lib.ThwString(w, f)); };
        const std::string call = field(1), date = field(2), time = field(3), sent = field(4),
                          rcvd = field(5), freq = field(6), mode = field(7), rmk1 = field(13),
                          rmk2 = field(14);
        auto t = ThRecordTime(date, std::string_view(time).substr(0, std::min<std::size_t>(5, time.size())));
        if (!t) {
          ++res.unreadable;
          continue;
        }
        const bool utc = !time.empty() && time.back() == 'U';
        if (!utc && def.SetUTCtime == 1) *t = ole::addHours(*t, -9);
        if (utc && def.SetUTCtime == 0) *t = ole::addHours(*t, 9);
        const std::string at = ThWindowText(*t);
        if (at < from || at > to) continue;

        // A frequency outside the table leaves the band empty (no power letter).
        std::string band;
        int bandIndex = -1;
        if (!ThBandOfFrequency(freq, band, bandIndex)) ++res.noBand;
        std::string sentNo;
        switch (def.Exch) {
          case 1: sentNo = ini.JarlPrf; break;
          case 2: sentNo = ini.JarlJcc; break;
          case 3: sentNo = bandIndex <= 12 ? ini.JarlPrf : ini.JarlJcc; break;
          case 4: sentNo = ini.JarlTestName; break;
          case 5: sentNo = ini.JarlAge; break;
          default: break;
        }
        if (def.SentJarlCode == 1 && bandIndex >= 0)
          sentNo += ini.JarlPwCode[static_cast<std::size_t>(bandIndex)];
        const std::string& rmk = ini.ThRmk2Rpt != 0 ? rmk2 : rmk1;
        // A report line the append wrote gives the whole received number back.
        const std::string rcvdNo = ThRcvdNoOfReportLine(rmk, utf8::trim(sent), utf8::trim(rcvd))
                                       .value_or(rmk.substr(0, utf8::prefixBytes(rmk, static_cast<std::size_t>(rptCount))));

        QsoRecord q;
        q.QsoTime = *t;
        q.Band = band;
        q.Mode = ThModeOf(mode);
        q.CallSign = call;
        q.SentRst = sent;
        q.SentNo = sentNo;
        q.RcvdRst = rcvd;
        q.RcvdNo = rcvdNo;
        const bool first = doc.Log.empty();
        if (!doc.Log.append(q)) {
          res.limited = true;
          break;
        }
        ++res.appended;
        if (first && grid.rows() > 1) grid.removeRow(1);
        grid.addRow(GridRowText(doc.Log[doc.Log.count()], req.showSeconds));
        grid.setCell(grid.rows() - 1, 10, "");
      }
    }
  } catch (const HamlogError& e) {
    res.failed = true;
    res.error = e.what();
  }
  if (started) progress.finish();
  if (opened) {
    try {
      lib.HamlogClose(w);
    } catch (const HamlogError&) {
    }
  }
  grid.setRedraw(true);
  if (!res.failed || res.appended > 0) doc.State.LogDirty = 1;
  return res;
}

// ---- Appending.

bool ThDxRead(const std::string& path, std::vector<ThDxEntry>& out) {
  std::string bytes;
  if (!fileio::readAll(path, bytes)) return false;
  out.clear();
  fileio::forEachLine(cp932::decode(bytes), [&out](std::string_view line) {
    auto chars = [line](std::size_t from, std::size_t n) {
      const std::size_t a = utf8::prefixBytes(line, from);
      const std::string_view rest = line.substr(a);
      return std::string(utf8::trim(rest.substr(0, utf8::prefixBytes(rest, n))));
    };
    out.push_back({chars(0, 5), chars(6, 6), chars(12, std::string::npos)});
  });
  return true;
}

namespace {

// The first character of a mark, trimmed; a blank when there is none.
std::string markOf(std::int16_t on, const std::string& mark) {
  if (on != 1) return " ";
  const std::string_view m = utf8::trim(mark);
  return m.empty() ? " " : std::string(m.substr(0, utf8::prefixBytes(m, 1)));
}

std::string remarksOf(std::int16_t rptOn, const std::string& line, const std::string& base) {
  if (rptOn != 1) return base;
  return base.empty() ? line : line + "  " + base;
}

}  // namespace

ThAppendRun ThAppendRunFor(const Settings& ini, std::vector<ThDxEntry> table) {
  ThAppendRun run;
  static constexpr const char* kQslLetters[] = {"J", "D", "M", "N", " "};
  run.qsl = ini.ThQslSw >= 0 && ini.ThQslSw <= 4 ? kQslLetters[ini.ThQslSw] : " ";
  run.qsl += markOf(ini.ThSendSw, ini.ThSentMark);
  run.qsl += markOf(ini.ThRcvdSw, ini.ThRcvdMark);
  if (ini.ThQslMsgSw == 1) run.qslMsg = std::string(utf8::trim(ini.ThQslMsg));
  if (ini.ThRmkSw == 1) {
    run.remarkBase1 = std::string(utf8::trim(ini.ThRemark));
    run.remarkBase2 = std::string(utf8::trim(ini.ThRemark2));
  }
  run.table = std::move(table);
  return run;
}

ThRecord ThRecordOf(const QsoRecord& q, const ThAppendRun& run, const Settings& ini,
                    const ContestDefinition& def, const CtyTables& cty) {
  ThRecord r;
  ole::Date t = q.QsoTime;
  char zone;
  if (ini.ThUtcSw == 1) {
    zone = 'U';
    if (def.SetUTCtime == 0) t = ole::addHours(t, -9);
  } else {
    zone = 'J';
    if (def.SetUTCtime == 1) t = ole::addHours(t, 9);
  }
  const ole::Parts p = ole::valid(t) ? ole::toParts(t) : ole::Parts{};
  char buf[16];
  std::snprintf(buf, sizeof buf, "%02d/%02d/%02d", p.year % 100, p.month, p.day);
  r.date = buf;
  std::snprintf(buf, sizeof buf, "%02d:%02d%c", p.hour, p.minute, zone);
  r.time = buf;
  r.call = q.CallSign.trimmed();
  r.sentRst = q.SentRst.trimmed();
  r.rcvdRst = q.RcvdRst.trimmed();
  r.freq = q.Band.trimmed();
  r.mode = q.Mode.trimmed();

  std::string line(q.SentRst.trimmed());
  if (def.Exch != 0) line += "-" + std::string(q.SentNo.trimmed());
  line += "/" + std::string(q.RcvdRst.trimmed());
  if (def.Exch != 0) line += "-" + std::string(q.RcvdNo.trimmed());

  std::string entity, continent;
  cty.EntitySearch(r.call, entity, continent);
  for (const ThDxEntry& e : run.table) {
    if (e.prefix == entity) {
      r.code = e.code;
      r.name = e.name;
      break;
    }
  }
  if (entity == "JA" && ini.ThCty2JaSw == 1) r.code.clear(), r.name.clear();
  r.qsl = run.qsl;
  r.qslMsg = run.qslMsg;
  r.remarks1 = remarksOf(ini.ThRptSw, line, run.remarkBase1);
  r.remarks2 = remarksOf(ini.ThRptSw2, line, run.remarkBase2);
  r.flag = entity == "JA" ? "0" : "8";
  return r;
}

ThAppendResult ThLogDbAppend(HamlogLibrary& lib, const std::string& path, const LogData& log,
                             const ThAppendRun& run, const Settings& ini, const ContestDefinition& def,
                             const CtyTables& cty, Progress& progress) {
  ThAppendResult res;
  ThwWork w;
  const std::int64_t version = ThHexAsDecimal(lib.GetThdllVersion());
  progress.start(log.count());
  bool opened = false;
  bool replaced = false;
  std::int32_t before = 0;
  try {
    const std::int32_t rc = version != 0 ? lib.HamlogOpen(w, path) : -1;
    opened = version != 0;
    if (version == 0) {
      res.outcome = ThAppendResult::NoLibrary;
    } else if (rc != 0) {
      res.outcome = ThAppendResult::CannotOpen;
      res.error = lib.lastError();
    } else {
      before = lib.Vdbf_rcount(w);
      for (int i = 1; i <= log.count(); ++i) {
        progress.step(i);
        const std::string call(log[i].CallSign.trimmed());
        progress.label(call.c_str());
        const ThRecord r = ThRecordOf(log[i], run, ini, def, cty);
        // The QSL field keeps its three positions; every other text is trimmed.
        const std::pair<std::int16_t, const std::string*> fields[] = {
            {1, &r.call},     {2, &r.date},      {3, &r.time},      {4, &r.sentRst},
            {5, &r.rcvdRst},  {6, &r.freq},      {7, &r.mode},      {8, &r.code},
            {10, &r.qsl},     {11, &r.qslMsg},   {12, &r.name},     {13, &r.remarks1},
            {14, &r.remarks2}, {16, &r.flag}};
        lib.SetThBuffer(w, "", 0);
        for (const auto& [no, text] : fields) {
          if (no == 10) lib.SetThBuffer(w, "", 9);
          lib.SetThBuffer(w, cp932::encode(*text), no);
        }
        const std::int32_t stored = lib.THW_append(w);
        if (stored == thw::kFileReplaced) {
          replaced = true;
          break;
        }
        // A record the database refused is a failure, not a success.
        if (stored != 0) throw HamlogError(lib.lastError());
      }
      opened = false;
      const std::int32_t closed = lib.HamlogClose(w);
      if (closed == thw::kFileReplaced) replaced = true;
      else if (closed != 0) throw HamlogError(lib.lastError());
    }
  } catch (const HamlogError& e) {
    res.outcome = ThAppendResult::Failed;
    res.error = e.what();
  }
  // Closed after a failed open too: the library may hold what it opened.
  if (opened) {
    try {
      if (lib.HamlogClose(w) == thw::kFileReplaced) replaced = true;
    } catch (const HamlogError&) {
    }
  }
  if (replaced) {
    res.outcome = ThAppendResult::Replaced;
  } else if (res.outcome == ThAppendResult::Appended || res.outcome == ThAppendResult::Failed) {
    // What the file holds, not what was handed over.
    std::int32_t after = 0;
    try {
      if (ThCountRecords(lib, path, after) == 0) res.appended = std::max(0, after - before);
    } catch (const HamlogError&) {
    }
  }
  progress.finish();
  return res;
}

std::string_view ThConvRefusal(const LogData& log, const std::string& dbFile, bool& settings) {
  settings = false;
  if (log.empty()) return thtext::kNoLog;
  settings = true;
  if (utf8::trim(dbFile).empty()) return thtext::kNoDbSet;
  if (!fileio::exists(dbFile) || fileio::isDirectory(dbFile)) return thtext::kDbMissing;
  settings = false;
  return {};
}

ThAppendResult ThLogDbAppendRun(HamlogLibrary& lib, const std::string& path, const LogData& log,
                                const std::string& programFolder, const Settings& ini,
                                const ContestDefinition& def, const CtyTables& cty, Ui& ui,
                                Progress& progress) {
  std::vector<ThDxEntry> table;
  if (!ThDxRead(programFolder + "/TH_DX.dat", table)) ui.tell(thtext::kNoTable, Icon::Exclamation);
  const ThAppendRun run = ThAppendRunFor(ini, std::move(table));
  const ThAppendResult res = ThLogDbAppend(lib, path, log, run, ini, def, cty, progress);
  switch (res.outcome) {
    case ThAppendResult::Appended: break;
    case ThAppendResult::NoLibrary: ui.tell(thtext::kAppendNoLibrary, Icon::Exclamation); break;
    case ThAppendResult::CannotOpen: ui.tell(thtext::kAppendCannotOpen, Icon::Exclamation); break;
    case ThAppendResult::Failed: ui.tell(res.error, Icon::Critical); break;
    case ThAppendResult::Replaced: ui.tell(thtext::kAppendReplaced, Icon::Critical); break;
  }
  return res;
}
