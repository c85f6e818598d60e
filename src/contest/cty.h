// The country file (Cty.dat in the program folder) and the look-up that
// tells the entity and continent of a call sign.
#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "contest/detail.h"

class Ui;

struct CtyEntry {
  std::string Key;        // a prefix, or a whole call sign in the call table
  std::string Entity;     // the entity's primary prefix, e.g. "JA"
  std::string Continent;  // e.g. "AS"
};

// Two tables of 36 buckets each, one bucket per first character of Key
// ("A".."Z", "1".."9", "0"), entries in file order. Beside each table an
// index from key to its first entry answers look-ups in constant time with
// the same result as scanning the bucket from the front.
class CtyTables {
 public:
  static constexpr int kBucketCount = 36;
  // At most this many entries per bucket (16-bit count).
  static constexpr std::size_t kBucketMax = 32767;
  using Bucket = std::vector<CtyEntry>;

  // Bucket of a key's first character, -1 for a character without one.
  static int BucketOf(std::string_view key);

  void clear();
  // Append one entry to the bucket of key's first character. A key whose
  // first character has no bucket is not stored (true). False when the
  // bucket is full; nothing is stored then.
  bool CtyPrefixAdd(std::string_view key, std::string_view continent, std::string_view entity);
  bool CtyCallAdd(std::string_view key, std::string_view continent, std::string_view entity);

  // Entity and continent of a call sign: an exact call entry first, else
  // the longest prefix entry shorter than the call (after turning a
  // "home/XX" portable form round to "XX/home"). entity is set to "" first;
  // continent is left as it was when nothing is found.
  void EntitySearch(std::string_view call, std::string& entity, std::string& continent) const;

  const Bucket& CtyPrefixTable(int bucket) const { return prefix_[static_cast<std::size_t>(bucket)]; }
  const Bucket& CtyCallTable(int bucket) const { return call_[static_cast<std::size_t>(bucket)]; }
  std::size_t size() const;

 private:
  using Table = std::array<Bucket, kBucketCount>;
  using Index = contest_detail::FlatIndex;

  static bool add(Table& table, Index& index, std::string_view key, std::string_view continent,
                  std::string_view entity);
  // The first entry whose Key equals key, as a scan of its bucket finds it.
  static const CtyEntry* find(const Table& table, const Index& index, std::string_view key);

  Table prefix_;
  Table call_;
  Index prefixIndex_;
  Index callIndex_;
};

// Fills the tables from a country file's text (UTF-8). The tables are not
// emptied first. At a malformed line (a header line without an entity, a
// prefix line whose last item is not closed by "," or ";", a "{" without
// "}") or a full bucket the reading stops: false with the reason; the
// entries stored until then stay.
bool CtyParse(std::string_view text, CtyTables& tables, std::string* error = nullptr);

enum class CtyReadResult { Ok, Missing, Error };

// Empties the tables and loads them from the program folder's Cty.dat.
// A missing file shows "NOT [Cty.dat] FILE"; a file that cannot be read or
// is malformed is told by its path, the failure and what the tables lack.
CtyReadResult CtyRead(const std::string& programDir, CtyTables& tables, Ui& ui);
