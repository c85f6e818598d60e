#include "contest/cty.h"

#include "log/cp932.h"
#include "log/fileio.h"
#include "log/ui.h"
#include "log/utf8.h"

namespace {

using contest_detail::dropLastChar;
using contest_detail::isAscii;

// Characters start..start+len-1 (1-based, counted in characters), as much of
// them as the text has.
std::string_view midChars(std::string_view s, std::size_t start, std::size_t len = std::string_view::npos) {
  const std::size_t from = utf8::prefixBytes(s, start - 1);
  std::string_view rest = s.substr(from);
  if (len == std::string_view::npos) return rest;
  return rest.substr(0, utf8::prefixBytes(rest, len));
}

std::string lineError(std::size_t lineNo, const char* what) {
  return std::to_string(lineNo) + " 行目: " + what;
}

}  // namespace

int CtyTables::BucketOf(std::string_view key) {
  if (key.empty()) return -1;
  const char c = key[0];
  if (c >= 'A' && c <= 'Z') return c - 'A';
  if (c >= '1' && c <= '9') return 26 + (c - '1');
  if (c == '0') return 35;
  return -1;
}

void CtyTables::clear() {
  for (auto& b : prefix_) b.clear();
  for (auto& b : call_) b.clear();
  prefixIndex_.clear();
  callIndex_.clear();
}

std::size_t CtyTables::size() const {
  std::size_t n = 0;
  for (const auto& b : prefix_) n += b.size();
  for (const auto& b : call_) n += b.size();
  return n;
}

// An index position: bucket in the high half, place in the bucket in the low.
bool CtyTables::add(Table& table, Index& index, std::string_view key, std::string_view continent,
                    std::string_view entity) {
  const int b = BucketOf(key);
  if (b < 0) return true;
  Bucket& bucket = table[static_cast<std::size_t>(b)];
  if (bucket.size() >= kBucketMax) return false;
  // Only the first entry of a key is ever found by a front-to-back scan.
  if (!find(table, index, key))
    index.insert(contest_detail::hashText(key),
                 (static_cast<std::uint32_t>(b) << 16) | static_cast<std::uint32_t>(bucket.size()));
  bucket.push_back(CtyEntry{std::string(key), std::string(entity), std::string(continent)});
  return true;
}

bool CtyTables::CtyPrefixAdd(std::string_view key, std::string_view continent,
                             std::string_view entity) {
  return add(prefix_, prefixIndex_, key, continent, entity);
}

bool CtyTables::CtyCallAdd(std::string_view key, std::string_view continent,
                           std::string_view entity) {
  return add(call_, callIndex_, key, continent, entity);
}

const CtyEntry* CtyTables::find(const Table& table, const Index& index, std::string_view key) {
  const auto entry = [&](std::uint32_t pos) -> const CtyEntry& {
    return table[pos >> 16][pos & 0xffffu];
  };
  const std::uint32_t pos =
      index.find(contest_detail::hashText(key), [&](std::uint32_t p) { return entry(p).Key == key; });
  return pos == Index::kNone ? nullptr : &entry(pos);
}

void CtyTables::EntitySearch(std::string_view call, std::string& entity,
                             std::string& continent) const {
  entity.clear();
  if (const CtyEntry* e = find(call_, callIndex_, call)) {
    entity = e->Entity;
    continent = e->Continent;
    return;
  }

  // A home call with an area after "/" is looked up by that area:
  // JA1ABC/KH0 as KH0/JA1ABC. /QRP and one-character suffixes keep the form.
  std::string turned;
  std::string_view c = call;
  const std::size_t slash = call.find('/');
  if (slash != std::string_view::npos) {
    const std::string_view left = call.substr(0, slash);
    const std::string_view right = call.substr(slash + 1);
    const std::size_t l = utf8::length(utf8::trim(left));
    const std::size_t r = utf8::length(utf8::trim(right));
    if (l > r && r > 1 && right != "QRP") {
      turned.reserve(call.size());
      turned.append(right).append("/").append(left);
      c = turned;
    }
  }

  // Longest prefix first, never the whole call.
  const CtyEntry* hit = nullptr;
  if (isAscii(c)) {
    for (std::size_t n = c.size(); n-- > 1 && !hit;) hit = find(prefix_, prefixIndex_, c.substr(0, n));
  } else {
    std::vector<std::size_t> ends;
    for (std::size_t i = 0; i < c.size();) {
      utf8::next(c, i);
      ends.push_back(i);
    }
    for (std::size_t n = ends.size(); n-- > 1 && !hit;)
      hit = find(prefix_, prefixIndex_, c.substr(0, ends[n - 1]));
  }
  if (hit) {
    entity = hit->Entity;
    continent = hit->Continent;
  }
}

bool CtyParse(std::string_view text, CtyTables& tables, std::string* error) {
  std::string entity, continent;
  bool skipped = false;
  std::size_t lineNo = 0;
  std::string failure;
  auto fail = [&](const char* what) {
    failure = lineError(lineNo, what);
    return false;
  };

  auto prefixLine = [&](std::string_view line) {
    std::string_view t = utf8::trim(line);
    std::string buf;
    if (!t.empty() && t.back() == ';') {
      buf.assign(t);
      buf.back() = ',';
      t = buf;
    }
    while (!t.empty()) {
      const std::size_t comma = t.find(',');
      if (comma == std::string_view::npos) return fail("最後の項目の後に「,」も「;」もありません");
      std::string_view item = t.substr(0, comma);
      t.remove_prefix(comma + 1);
      const bool exact = !item.empty() && item.front() == '=';
      if (exact) item.remove_prefix(1);
      const std::string_view key = item.substr(0, item.find_first_of("([<{"));
      std::string_view itemContinent = continent;
      const std::size_t open = item.find('{');
      if (open != std::string_view::npos) {
        const std::size_t close = item.find('}', open + 1);
        if (close == std::string_view::npos) return fail("「{」を閉じる「}」がありません");
        itemContinent = item.substr(open + 1, close - open - 1);
      }
      if (skipped) continue;
      const bool stored = exact ? tables.CtyCallAdd(key, itemContinent, entity)
                                : tables.CtyPrefixAdd(key, itemContinent, entity);
      if (!stored) return fail("同じ頭文字の項目が 32767 を超えます");
    }
    return true;
  };

  bool ok = true;
  fileio::forEachLine(text, [&](std::string_view line) {
    if (!ok) return;
    ++lineNo;
    if (line.substr(0, 4) == "    ") {
      ok = prefixLine(line);
      return;
    }
    // Entity header: continent in characters 37-38, the primary prefix with
    // its ":" from character 70 on.
    const std::string_view tail = utf8::trim(midChars(line, 70));
    if (tail.empty()) {
      ok = fail("エンティティの見出し行ではありません");
      return;
    }
    continent = std::string(utf8::trim(midChars(line, 37, 2)));
    entity = std::string(dropLastChar(tail));
    skipped = !entity.empty() && entity.front() == '*';
  });
  if (!ok && error) *error = failure;
  return ok;
}

CtyReadResult CtyRead(const std::string& programDir, CtyTables& tables, Ui& ui) {
  tables.clear();
  std::string path = programDir;
  if (path.empty() || path.back() != '/') path += '/';
  path += "Cty.dat";
  if (!fileio::exists(path)) {
    ui.tell("NOT [Cty.dat] FILE");
    return CtyReadResult::Missing;
  }
  std::string bytes, error;
  if (!fileio::readAll(path, bytes, &error)) {
    ui.tell("国別ファイル " + path + " を読めません（" + error +
            "）。\r\nエンティティのマルチと大陸による得点が数えられません。");
    return CtyReadResult::Error;
  }
  const std::string text = isAscii(bytes) ? std::move(bytes) : cp932::decode(bytes);
  if (!CtyParse(text, tables, &error)) {
    ui.tell("国別ファイル " + path + " を最後まで読めませんでした（" + error +
            "）。\r\nそれより後のエンティティは登録されず、エンティティのマルチが欠けます。");
    return CtyReadResult::Error;
  }
  return CtyReadResult::Ok;
}
