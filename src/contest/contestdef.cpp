#include "contest/contestdef.h"

#include <limits>
#include <unordered_map>

#include "log/settings.h"
#include "log/cp932.h"
#include "log/fileio.h"
#include "log/numtext.h"
#include "log/ui.h"
#include "log/utf8.h"

namespace {

// How a key's value is applied.
enum class Kind { Int, Text, StdContestName, BandEnabled, PointA, PointB, PointC, ModeEnabled,
                  StdCategory };

struct KeyRule {
  Kind kind;
  std::int16_t ContestDefinition::*i = nullptr;
  std::string ContestDefinition::*t = nullptr;
  std::size_t index = 0;  // band or mode index
};

using KeyTable = std::unordered_map<std::string, KeyRule>;

const KeyTable& keyTable() {
  static const KeyTable table = [] {
    KeyTable k;
    auto integer = [&](const char* name, std::int16_t ContestDefinition::*m) {
      k.emplace(name, KeyRule{Kind::Int, m, nullptr, 0});
    };
    auto text = [&](const char* name, std::string ContestDefinition::*m) {
      k.emplace(name, KeyRule{Kind::Text, nullptr, m, 0});
    };
    text("ContestName", &ContestDefinition::ContestName);
    integer("ContestNo", &ContestDefinition::ContestNo);
    integer("Exch", &ContestDefinition::Exch);
    integer("MltType", &ContestDefinition::MltType);
    integer("MltSearch", &ContestDefinition::MltSearch);
    integer("PointType", &ContestDefinition::PointType);
    integer("TotalPoint", &ContestDefinition::TotalPoint);
    integer("SentJarlCode", &ContestDefinition::SentJarlCode);
    integer("FdKeisuEnabled", &ContestDefinition::FdKeisuEnabled);
    integer("ExchtoMlt", &ContestDefinition::ExchtoMlt);
    integer("SearchEntityFile", &ContestDefinition::SearchEntityFile);
    integer("SearchSectionFile", &ContestDefinition::SearchSectionFile);
    integer("SetUTCtime", &ContestDefinition::SetUTCtime);
    integer("DqpEnabled", &ContestDefinition::DqpEnabled);
    integer("NYPEnabled", &ContestDefinition::NYPEnabled);
    integer("WpxSearch", &ContestDefinition::WpxSearch);
    text("SectionFile", &ContestDefinition::SectionFile);
    k.emplace("StdContestName",
              KeyRule{Kind::StdContestName, nullptr, &ContestDefinition::StdContestName, 0});
    text("TestMailAddress", &ContestDefinition::TestMailAddress);
    text("SendMailAddress", &ContestDefinition::SendMailAddress);
    text("ElogFormat", &ContestDefinition::ElogFormat);
    text("UploadUrl", &ContestDefinition::UploadUrl);
    for (std::size_t b = 0; b < bands::kBandCount; ++b) {
      const std::string base = "Band" + std::string(bands::kBandKeyWords[b]);
      k.emplace(base + "Enabled", KeyRule{Kind::BandEnabled, nullptr, nullptr, b});
      k.emplace(base + "PointA", KeyRule{Kind::PointA, nullptr, nullptr, b});
      k.emplace(base + "PointB", KeyRule{Kind::PointB, nullptr, nullptr, b});
      k.emplace(base + "PointC", KeyRule{Kind::PointC, nullptr, nullptr, b});
    }
    for (std::size_t m = 0; m < bands::kModeCount; ++m)
      k.emplace(std::string(bands::kModeKeys[m]), KeyRule{Kind::ModeEnabled, nullptr, nullptr, m});
    k.emplace("StdCategory", KeyRule{Kind::StdCategory, nullptr, nullptr, 0});
    return k;
  }();
  return table;
}

// The value of a "StdCategory" line: name;code;mode;band;mlt. Each of the
// first four fields is cut at the next ";"; once no ";" is left the
// remaining fields stay empty or 0. The fifth is the whole rest.
Category parseCategory(std::string_view v) {
  Category c;
  std::string_view rest = v;
  bool cut = true;
  auto next = [&](std::string_view& field) {
    if (!cut) return false;
    const std::size_t p = rest.find(';');
    if (p == std::string_view::npos) {
      cut = false;
      return false;
    }
    field = rest.substr(0, p);
    rest = rest.substr(p + 1);
    return true;
  };
  std::string_view f;
  if (next(f)) c.CategoryName = std::string(f);
  if (next(f)) c.CategoryCode = std::string(f);
  if (next(f)) CfgParseInt16(f, c.CateMode);
  if (next(f)) CfgParseInt16(f, c.CateBand);
  if (cut) CfgParseInt16(rest, c.CateMlt);
  return c;
}

std::string_view fileNameOf(std::string_view path) {
  const std::size_t p = path.find_last_of("/\\");
  return p == std::string_view::npos ? path : path.substr(p + 1);
}

bool isFile(const std::string& path) { return fileio::exists(path) && !fileio::isDirectory(path); }

}  // namespace

bool CfgParseInt16(std::string_view text, std::int16_t& out) {
  return numtext::parseInteger(text, out);
}

void SectionList::clear() {
  entries_.clear();
  index_.clear();
}

void SectionList::add(std::string_view text) {
  if (!contains(text))
    index_.insert(contest_detail::hashText(text), static_cast<std::uint32_t>(entries_.size()));
  entries_.emplace_back(text);
}

bool SectionList::contains(std::string_view key) const {
  return index_.find(contest_detail::hashText(key),
                     [&](std::uint32_t p) { return entries_[p] == key; }) !=
         contest_detail::FlatIndex::kNone;
}

std::string ContestNameOf(std::int16_t contestNo) {
  switch (contestNo) {
    case 1: return "ＡＬＬ ＪＡ コンテスト";
    case 2: return "6M and Down コンテスト";
    case 3: return "フィールドデーコンテスト";
    case 4: return "全市全郡コンテスト";
    case 5: return "ALL ASIAN DX コンテス(電信)";
    case 6: return "ALL ASIAN DX コンテス(電話)";
    case 7: return "ＱＳＯパーティー";
    case 8: return "デジタルＱＳＯパーティー";
    default: return {};
  }
}

void CfgApplyLine(std::string_view line, ContestDefinition& def, Settings* settings) {
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return;
  const std::string_view key = line.substr(0, eq);
  const std::string_view value = line.substr(eq + 1);
  const KeyTable& table = keyTable();
  const auto it = table.find(std::string(key));
  if (it == table.end()) {
    rules::ApplyRuleKey(key, value, def);
    return;
  }
  const KeyRule& r = it->second;
  switch (r.kind) {
    case Kind::Int: CfgParseInt16(value, def.*(r.i)); break;
    case Kind::Text: def.*(r.t) = std::string(value); break;
    case Kind::StdContestName:
      def.StdContestName = std::string(value);
      if (settings) settings->JarlContest = def.StdContestName;
      break;
    case Kind::BandEnabled: CfgParseInt16(value, def.BandEnabled[r.index]); break;
    case Kind::PointA: CfgParseInt16(value, def.BandPoints[r.index].PointA); break;
    case Kind::PointB: CfgParseInt16(value, def.BandPoints[r.index].PointB); break;
    case Kind::PointC: CfgParseInt16(value, def.BandPoints[r.index].PointC); break;
    case Kind::ModeEnabled: CfgParseInt16(value, def.ModeEnabled[r.index]); break;
    case Kind::StdCategory:
      // The row count is 16-bit: rows past its range are not added.
      if (def.CategoryList.size() < static_cast<std::size_t>(std::numeric_limits<std::int16_t>::max()))
        def.CategoryList.push_back(parseCategory(value));
      break;
  }
}

void CfgApplyText(std::string_view bytes, ContestDefinition& def, Settings* settings) {
  def.CategoryList.clear();
  // Optional keys: a definition without them does not inherit another's.
  def.ElogFormat.clear();
  def.UploadUrl.clear();
  rules::ClearRules(def);
  const std::string text = cp932::decode(bytes);
  fileio::forEachLine(text, [&](std::string_view line) { CfgApplyLine(line, def, settings); });
}

std::string CfgPath(const std::string& programDir, std::string_view name) {
  std::string p = programDir;
  if (p.empty() || p.back() != '/') p += '/';
  p += "Cfg/";
  p += name;
  return p;
}

std::string CfgSetValue(std::string_view bytes, std::string_view key, std::string_view value,
                        std::string_view after) {
  // The lines by their place: [start, end) without the line end.
  std::size_t keyLine = std::string_view::npos, keyEnd = 0, afterNext = std::string_view::npos;
  for (std::size_t start = 0; start < bytes.size();) {
    std::size_t next = bytes.find('\n', start);
    next = next == std::string_view::npos ? bytes.size() : next + 1;
    std::size_t end = next;
    while (end > start && (bytes[end - 1] == '\n' || bytes[end - 1] == '\r')) --end;
    const std::string_view line = bytes.substr(start, end - start);
    const std::size_t eq = line.find('=');
    if (eq != std::string_view::npos) {
      const std::string_view k = line.substr(0, eq);
      if (k == key) {
        keyLine = start;
        keyEnd = end;
      } else if (!after.empty() && k == after) {
        afterNext = next;
      }
    }
    start = next;
  }
  const std::string encoded = cp932::encode(value);
  std::string out;
  if (keyLine != std::string_view::npos) {
    out.append(bytes.substr(0, keyLine + key.size() + 1));
    out += encoded;
    out.append(bytes.substr(keyEnd));
    return out;
  }
  std::string line = cp932::encode(key) + "=" + encoded + "\r\n";
  std::size_t at = afterNext != std::string_view::npos ? afterNext : bytes.size();
  out.append(bytes.substr(0, at));
  // A last line without its line end gets one before the new line.
  if (!out.empty() && out.back() != '\n') out += "\r\n";
  out += line;
  out.append(bytes.substr(at));
  return out;
}

bool CfgWriteValue(const std::string& programDir, const std::string& definitionPath,
                   std::string_view key, std::string_view value, std::string_view after,
                   std::string* error) {
  const std::string_view name = fileNameOf(definitionPath);
  const std::string copy = CfgPath(programDir, name.empty() ? "dxped.cfg" : name);
  std::string bytes;
  if (!fileio::readAll(isFile(copy) ? copy : definitionPath, bytes, error)) return false;
  return fileio::writeAtomic(copy, CfgSetValue(bytes, key, value, after), error);
}

CfgReadResult CfgRead(const std::string& path, const std::string& programDir,
                      ContestDefinition& def, SectionList& sections, Settings& settings,
                      std::int16_t& logTestNo, Ui& ui) {
  CfgReadResult res;
  def.CategoryList.clear();
  def.ElogFormat.clear();
  res.path = path.empty() ? CfgPath(programDir, "dxped.cfg") : path;
  if (!isFile(res.path)) {
    // A program folder moved or copied from elsewhere: its settings still
    // name the old folder, so look for the same file in this folder's Cfg.
    const std::string_view name = fileNameOf(res.path);
    const std::string here = CfgPath(programDir, name);
    if (!name.empty() && here != res.path && isFile(here)) {
      res.path = here;
      res.relocated = true;
    }
  }
  if (!isFile(res.path)) {
    res.relocated = false;
    ui.tell("NOT CFG FILE");
  } else {
    std::string bytes, error;
    if (fileio::readAll(res.path, bytes, &error)) {
      CfgApplyText(bytes, def, &settings);
      res.read = true;
    } else {
      // The file is there but cannot be read: the settings stay as they were.
      res.relocated = false;
      ui.tell(error);
    }
  }
  res.statusText = CfgDataSet(programDir, def, sections, logTestNo, ui);
  return res;
}

std::string CfgDataSet(const std::string& programDir, const ContestDefinition& def,
                       SectionList& sections, std::int16_t& logTestNo, Ui& ui) {
  if (def.SearchSectionFile == 1) SectionRead(programDir, def.SectionFile, sections, ui);
  if (logTestNo == 0) logTestNo = def.ContestNo;
  return def.ContestName;
}

bool SectionRead(const std::string& programDir, const std::string& name, SectionList& sections,
                 Ui& ui) {
  const std::string path = CfgPath(programDir, name);
  if (!isFile(path)) {
    ui.tell("セクションファイルがありません！");
    return false;
  }
  sections.clear();
  std::string bytes, error;
  if (!fileio::readAll(path, bytes, &error)) {
    ui.tell("セクションファイル " + path + " を読めません（" + error +
            "）。\r\nセクションの一覧が空になり、どの交信もマルチと得点になりません。");
    return false;
  }
  const std::string text = cp932::decode(bytes);
  fileio::forEachLine(text, [&](std::string_view line) { sections.add(line); });
  return true;
}

void SectionCheck(const SectionList& sections, std::string_view key, std::int16_t& notFound) {
  if (sections.contains(key)) notFound = 0;
}

std::string& OathOf(Settings& s, const ContestDefinition& def) {
  if (def.DqpEnabled == 1) return s.JarlDqpOath;
  if (def.NYPEnabled == 1) return s.JarlNypOath;
  return s.JarlOath;
}

const std::string& OathOf(const Settings& s, const ContestDefinition& def) {
  return OathOf(const_cast<Settings&>(s), def);
}
