#include "output/adif.h"

#include <array>
#include <cstdio>
#include <exception>

#include "contest/cty.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/oledate.h"
#include "log/progress.h"
#include "log/settings.h"
#include "log/ui.h"
#include "log/utf8.h"

namespace adif {

namespace {

using contest_detail::hashText;

constexpr const char* kCrLf = "\r\n";
constexpr std::size_t kFieldChars = 6;

struct BandRow {
  std::string_view stored;
  std::string_view element;
  // The standard file's freq: where the Japanese band starts, inside the ADIF
  // band (the stored "10", "18", "24", "1200" and "5600" lie below it).
  std::string_view freq;
};

constexpr std::array<BandRow, 16> kBands{{
    {"1.8", "<band:4>160m ", "1.8"},     {"3.5", "<band:3>80m ", "3.5"},
    {"7", "<band:3>40m ", "7"},          {"10", "<band:3>30m ", "10.1"},
    {"14", "<band:3>20m ", "14"},        {"18", "<band:3>17m ", "18.068"},
    {"21", "<band:3>15m ", "21"},        {"24", "<band:3>12m ", "24.89"},
    {"28", "<band:3>10m ", "28"},        {"50", "<band:2>6m ", "50"},
    {"144", "<band:2>2m ", "144"},       {"430", "<band:4>70cm ", "430"},
    {"1200", "<band:4>23cm ", "1260"},   {"2400", "<band:4>13cm ", "2400"},
    {"5600", "<band:3>6cm ", "5650"},    {"10.1G", "<band:3>3cm ", "10100"},
}};

struct ModeRow {
  std::string_view text, mode, submode;
};

// Mode texts that are a submode, or that the enumeration names otherwise.
constexpr ModeRow kModeRows[] = {
    {"PSK31", "PSK", "PSK31"},  {"PSK63", "PSK", "PSK63"}, {"PSK125", "PSK", "PSK125"},
    {"DV", "DIGITALVOICE", ""}, {"USB", "SSB", "USB"},     {"LSB", "SSB", "LSB"},
    {"FT4", "MFSK", "FT4"},     {"Q65", "MFSK", "Q65"},    {"JS8", "MFSK", "JS8"},
    {"FST4", "MFSK", "FST4"},
};

// The modes of the enumeration a Mode field (6 characters) can hold as they are.
constexpr std::string_view kAdifModes[] = {
    "AM",   "ARDOP", "ATV",  "CHIP",   "CLO",    "CW",    "DOMINO", "FAX",  "FM",
    "FSK441", "FT8", "HELL", "ISCAT",  "JT4",    "JT9",   "JT44",   "JT65", "MFSK",
    "MSK144", "MT63", "OLIVIA", "OPERA", "PAC",  "PAX",   "PKT",    "PSK",  "PSK2K",
    "Q15",  "QRA64", "ROS",  "RTTY",   "RTTYM",  "SSB",   "SSTV",   "T10",  "THOR",
    "THRB", "TOR",   "V4",   "VOI",    "WINMOR", "WSPR",
};

constexpr std::string_view kAppModeField = "app_tamarack_mode";

// Characters [from, from + count) of a line, counted in characters.
std::string_view charSlice(std::string_view s, std::size_t from, std::size_t count) {
  const std::size_t b = utf8::prefixBytes(s, from);
  const std::string_view rest = s.substr(b);
  return rest.substr(0, utf8::prefixBytes(rest, count));
}

void appendNumber(std::string& out, int v, int width) {
  char b[8];
  for (int i = width - 1; i >= 0; --i, v /= 10) b[i] = static_cast<char>('0' + v % 10);
  out.append(b, static_cast<std::size_t>(width));
}

void appendDate(std::string& out, const ole::Parts& p) {
  appendNumber(out, p.year, 4);
  appendNumber(out, p.month, 2);
  appendNumber(out, p.day, 2);
}

void appendTime(std::string& out, const ole::Parts& p) {
  appendNumber(out, p.hour, 2);
  appendNumber(out, p.minute, 2);
  appendNumber(out, p.second, 2);
}

void appendElement(std::string& out, std::string_view name, std::size_t length,
                   std::string_view value) {
  out += '<';
  out += name;
  out += ':';
  out += std::to_string(length);
  out += '>';
  out += value;
  out += ' ';
}

bool isNumber(std::string_view s) {
  return !s.empty() && s.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

void DxccTable::parse(std::string_view text) {
  fileio::forEachLine(text, [&](std::string_view line) {
    Entry e{std::string(utf8::trim(charSlice(line, 0, kFieldChars))),
            std::string(utf8::trim(charSlice(line, kFieldChars, kFieldChars)))};
    // A line without an entity could only ever match a call sign of no entity;
    // a number that is no number would be written as one.
    if (e.Entity.empty() || !isNumber(e.Number)) return;
    const std::uint64_t h = hashText(e.Entity);
    const bool known = index_.find(h, [&](std::uint32_t pos) {
      return entries_[pos].Entity == e.Entity;
    }) != contest_detail::FlatIndex::kNone;
    if (!known) index_.insert(h, static_cast<std::uint32_t>(entries_.size()));
    entries_.push_back(std::move(e));
  });
}

const std::string* DxccTable::find(std::string_view entity) const {
  if (entity.empty()) return nullptr;
  const std::uint32_t pos = index_.find(
      hashText(entity), [&](std::uint32_t p) { return entries_[p].Entity == entity; });
  return pos == contest_detail::FlatIndex::kNone ? nullptr : &entries_[pos].Number;
}

DxccReadResult ReadDxccTable(const std::string& programDir, DxccTable& table,
                             std::string* error) {
  table = DxccTable();
  std::string path = programDir;
  if (path.empty() || path.back() != '/') path += '/';
  path += kDxccFileName;
  if (!fileio::exists(path)) return DxccReadResult::Missing;
  std::string bytes;
  if (!fileio::readAll(path, bytes, error)) return DxccReadResult::Error;
  table.parse(cp932::decode(bytes));
  return DxccReadResult::Ok;
}

void AppendElement(std::string& out, std::string_view name, std::string_view value) {
  appendElement(out, name, utf8::length(value), value);
}

std::string_view BandElement(std::string_view band) {
  for (const BandRow& b : kBands)
    if (b.stored == band) return b.element;
  return {};
}

std::string_view StandardFreq(std::string_view band) {
  for (const BandRow& b : kBands)
    if (b.stored == band) return b.freq;
  return {};
}

StandardMode StandardModeOf(std::string_view modeText, WsjtMode wsjt) {
  if (modeText == "WSJT") modeText = kWsjtModeNames[static_cast<std::size_t>(wsjt)];
  for (const ModeRow& m : kModeRows)
    if (m.text == modeText) return {m.mode, m.submode};
  for (const std::string_view m : kAdifModes)
    if (m == modeText) return {m, {}};
  return {};
}

std::string_view ContestIdOf(std::int16_t contestNo) {
  switch (contestNo) {
    case 5: return "ALL-ASIAN-DX-CW";
    case 6: return "ALL-ASIAN-DX-PHONE";
    default: return {};
  }
}

std::string AdifHeader(ole::Date now) {
  std::string out = "Tamarack ADIF export\r\n";
  auto field = [&](std::string_view name, std::string_view value) {
    AppendElement(out, name, value);
    out.back() = '\r';
    out += '\n';
  };
  field("adif_ver", kAdifVersion);
  field("programid", kProgramId);
  field("programversion", std::to_string(TAMARACK_VERSION_MAJOR) + "." +
                              std::to_string(TAMARACK_VERSION_MINOR) + "." +
                              std::to_string(TAMARACK_VERSION_REVISION));
  // The program's UTC is local time less 9 hours, as for a UTC contest's QSOs.
  const ole::Date utc = ole::valid(now) ? ole::addHours(now, -9) : now;
  if (ole::valid(utc)) {
    const ole::Parts p = ole::toParts(utc);
    std::string stamp;
    appendDate(stamp, p);
    stamp += ' ';
    appendTime(stamp, p);
    field("created_timestamp", stamp);
  }
  out += "<eoh>\r\n";
  return out;
}

namespace {

bool standard(const AdifSource& src) { return src.options.AdiStdSw == 1; }

// The standard counts a length in the file's bytes, the classic file in characters.
void appendElement(std::string& out, std::string_view name, std::string_view value, bool bytes) {
  appendElement(out, name,
                !bytes ? utf8::length(value)
                : contest_detail::isAscii(value) ? value.size() : cp932::byteLength(value),
                value);
}

void appendLine(std::string& out, const QsoRecord& r, const AdifSource& src,
                const DxccTable* dxcc, std::string& entity, std::string& continent,
                AdifCounts& counts) {
  const Settings& s = src.settings;
  const bool full = standard(src);
  auto element = [&](std::string_view name, std::string_view value) {
    appendElement(out, name, value, full);
  };
  const std::string_view call = r.CallSign.trimmed();
  element("call", call);

  // The file always holds UTC; a time no calendar can show gets no date.
  if (ole::valid(r.QsoTime)) {
    const ole::Date t = src.utcLog ? r.QsoTime : ole::addHours(r.QsoTime, -9);
    if (ole::valid(t)) {
      const ole::Parts p = ole::toParts(t);
      out += "<qso_date:8>";
      appendDate(out, p);
      out += " <time_on:6>";
      appendTime(out, p);
      out += ' ';
    }
  }

  const std::string_view band = r.Band.trimmed();
  const std::string_view bandElement = BandElement(band);
  // A band the table lacks has no frequency either: "14999" would read as MHz.
  if (bandElement.empty()) {
    ++counts.noBand;
  } else {
    out += bandElement;
    AppendElement(out, "freq", full ? StandardFreq(band)
                               : band == "10.1G" ? std::string_view("10100") : band);
  }
  const std::string_view modeText = r.Mode.trimmed();
  if (!full) {
    element("mode", modeText);
  } else if (const StandardMode m = StandardModeOf(modeText, src.options.AdiWsjtMode);
             !m.mode.empty()) {
    element("mode", m.mode);
    if (!m.submode.empty()) element("submode", m.submode);
  } else {
    // Kept for this program's own reading; a reader that knows no such mode skips it.
    element(kAppModeField, modeText);
    ++counts.appMode;
  }
  element("rst_sent", r.SentRst.trimmed());
  element("rst_rcvd", r.RcvdRst.trimmed());
  if (full) {
    const std::string_view sent = r.SentNo.trimmed(), rcvd = r.RcvdNo.trimmed();
    if (!sent.empty()) element("stx_string", sent);
    if (!rcvd.empty()) element("srx_string", rcvd);
  }
  out += s.AdiSendSw == 1 ? "<qsl_sent:1>Y " : "<qsl_sent:1>N ";
  out += s.AdiRcvdSw == 1 ? "<qsl_rcvd:1>Y " : "<qsl_rcvd:1>N ";

  if (dxcc) {
    continent.clear();
    src.cty.EntitySearch(call, entity, continent);
    const std::string* number = dxcc->find(entity);
    if (number && !number->empty() && !(s.AdiCty2JaSw == 1 && *number == "339"))
      AppendElement(out, "dxcc", *number);
  }
}

// The end of every line: the same texts for each QSO.
std::string lineTail(const AdifSource& src) {
  const Settings& s = src.settings;
  const bool full = standard(src);
  std::string out;
  auto element = [&](std::string_view name, std::string_view value) {
    appendElement(out, name, value, full);
  };
  if (full) {
    const std::string_view station = utf8::trim(s.JarlCallSign);
    const std::string_view op = utf8::trim(s.JarlOperator);
    if (!station.empty()) element("station_callsign", station);
    if (!op.empty() && op != station) element("operator", op);
    if (const std::string_view id = ContestIdOf(src.contestNo); !id.empty())
      element("contest_id", id);
  }
  const std::string_view qslMsg = utf8::trim(s.AdiQslMsg);
  if (src.options.AdiQslMsgSw == 1 && !qslMsg.empty()) element("qslmsg", qslMsg);
  const std::string_view remark = utf8::trim(s.AdiRemark);
  if (src.options.AdiRmkSw == 1 && !remark.empty()) element("comment", remark);
  out += "<eor>";
  return out;
}

}  // namespace

std::string AdifLine(const QsoRecord& r, const AdifSource& src, const DxccTable* dxcc) {
  std::string out, entity, continent;
  AdifCounts counts;
  appendLine(out, r, src, dxcc, entity, continent, counts);
  return out + lineTail(src);
}

std::string AdifBytes(const AdifSource& src, const DxccTable* dxcc, Progress& progress,
                      AdifCounts* counts) {
  AdifCounts own;
  AdifCounts& c = counts ? *counts : own;
  const int n = src.log.count();
  std::string out, line, entity, continent;
  const std::string tail = cp932::encode(lineTail(src)) + kCrLf;
  out.reserve(static_cast<std::size_t>(n) * (170 + tail.size()));
  if (standard(src)) out += AdifHeader(src.now);
  progress.start(n);
  for (int k = 1; k <= n; ++k) {
    const QsoRecord& r = src.log[k];
    const std::string callLabel(r.CallSign.trimmed());
    progress.label(callLabel.c_str());
    progress.step(k);
    line.clear();
    appendLine(line, r, src, dxcc, entity, continent, c);
    // Most lines are plain ASCII, which CP932 leaves as it is.
    if (contest_detail::isAscii(line))
      out += line;
    else
      out += cp932::encode(line);
    out += tail;
  }
  return out;
}

AdifResult AdifOut(const std::string& base, const AdifSource& src, const std::string& programDir,
                   Ui& ui, Progress& progress) {
  AdifResult result;
  result.path = base + ".adi";
  DxccTable table;
  std::string err;
  const DxccReadResult read = ReadDxccTable(programDir, table, &err);
  if (read == DxccReadResult::Missing) ui.tell(kDxccMissing);
  if (read == DxccReadResult::Error) ui.tell(programDir + "/" + kDxccFileName + ": " + err);
  const DxccTable* dxcc = read == DxccReadResult::Ok ? &table : nullptr;

  std::string bytes;
  {
    // The progress window is closed before any message shows.
    struct Finish {
      Progress& p;
      ~Finish() { p.finish(); }
    } finish{progress};
    try {
      bytes = AdifBytes(src, dxcc, progress, &result.counts);
    } catch (const std::exception& e) {
      result.error = e.what();
    }
    if (result.error.empty()) result.ok = fileio::writeAtomic(result.path, bytes, &result.error);
  }
  if (!result.ok) {
    ui.tell(result.path + ": " + result.error);
    return result;
  }
  std::string said;
  auto say = [&](const std::string& text) { said += (said.empty() ? "" : "\r\n") + text; };
  if (result.counts.noBand > 0)
    say("バンド表に無いバンドの交信 " + std::to_string(result.counts.noBand) +
        " 件は、band と freq を書かずに出力しました");
  if (result.counts.appMode > 0)
    say("ADIF に無いモードの交信 " + std::to_string(result.counts.appMode) +
        " 件は、MODE を書かず APP_TAMARACK_MODE に出力しました");
  if (standard(src) && src.log.count() > 0 && utf8::trim(src.settings.JarlCallSign).empty())
    say("コールサインが設定されていないため、STATION_CALLSIGN を書かずに出力しました");
  if (!said.empty()) ui.tell(said);
  return result;
}

std::string AdifBaseName(const std::string& chosen) {
  const std::size_t slash = chosen.rfind('/');
  const std::size_t from = slash == std::string::npos ? 0 : slash + 1;
  const std::size_t dot = chosen.find('.', from);
  return dot == std::string::npos ? chosen : chosen.substr(0, dot);
}

}  // namespace adif
