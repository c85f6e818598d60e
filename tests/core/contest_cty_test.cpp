// The country file reader and the entity look-up.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "contest/cty.h"
#include "log/fileio.h"
#include "scripted_ui.h"

namespace fs = std::filesystem;

namespace {

// An entity header line laid out like the public file: continent in
// columns 37-38, primary prefix from column 70.
std::string header(const std::string& name, const std::string& continent, const std::string& prefix) {
  std::string h = name + ":";
  h.resize(26, ' ');
  h += "25:  45:  " + continent + ":   36.40:  -138.38:    -9.0:  " + prefix + ":";
  return h + "\n";
}

struct Found {
  std::string entity, continent;
  bool operator==(const Found&) const = default;
};

std::ostream& operator<<(std::ostream& os, const Found& a) {
  return os << "{" << a.entity << ", " << a.continent << "}";
}

Found lookup(const CtyTables& t, const std::string& call) {
  Found a;
  t.EntitySearch(call, a.entity, a.continent);
  return a;
}

CtyTables parse(const std::string& text, bool expectOk = true) {
  CtyTables t;
  std::string error;
  EXPECT_EQ(CtyParse(text, t, &error), expectOk) << error;
  return t;
}

const std::string kSample =
    header("Japan", "AS", "JA") +
    "    JA,JE,7J,=JD1BME{OC},\n"
    "    JD1;\n" +
    header("Minami Torishima", "OC", "JD/m") + "    =JD1YAA,JD1;\n" +
    header("Mariana Islands", "OC", "KH0") + "    KH0,AH0;\n" +
    header("United States", "NA", "K") + "    K,W,=KH0XX;\n" +
    header("Asiatic Russia", "EU", "UA9") + "    UA9(17)[30]{AS},UA0,R9<1/2>;\n" +
    header("Hidden", "AF", "*XX") + "    JA1Z,=JA1ZZZ;\n";

}  // namespace

TEST(CtyLookup, ExactCallsBeforePrefixesAndEarlierEntriesFirst) {
  const CtyTables t = parse(kSample);
  EXPECT_EQ(lookup(t, "JA1ABC"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "JD1BME"), (Found{"JA", "OC"}));  // "{OC}" on the exact item
  EXPECT_EQ(lookup(t, "JD1YAA"), (Found{"JD/m", "OC"}));
  // JD1 is listed by two entities; the one earlier in the file wins.
  EXPECT_EQ(lookup(t, "JD1ABC"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "KH0XX"), (Found{"K", "NA"}));
  EXPECT_EQ(lookup(t, "KH0XY"), (Found{"KH0", "OC"}));
}

TEST(CtyLookup, LongestPrefixButNeverTheWholeCall) {
  const CtyTables t = parse(kSample);
  EXPECT_EQ(lookup(t, "K"), (Found{"", ""}));
  EXPECT_EQ(lookup(t, "K1"), (Found{"K", "NA"}));
  EXPECT_EQ(lookup(t, "UA0"), (Found{"", ""}));
  EXPECT_EQ(lookup(t, "UA0A"), (Found{"UA9", "EU"}));
  EXPECT_EQ(lookup(t, "UA9ABC"), (Found{"UA9", "AS"}));
  EXPECT_EQ(lookup(t, "R9ABC"), (Found{"UA9", "EU"}));
  EXPECT_EQ(lookup(t, "ja1abc"), (Found{"", ""}));  // lower case finds nothing
  EXPECT_EQ(lookup(t, ""), (Found{"", ""}));
  std::string entity = "old", continent = "kept";
  t.EntitySearch("ZZ9", entity, continent);
  EXPECT_EQ(entity, "");
  EXPECT_EQ(continent, "kept");
}

TEST(CtyLookup, SkippedEntitiesContributeNothing) {
  const CtyTables t = parse(kSample);
  EXPECT_EQ(lookup(t, "JA1ZAB"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "JA1ZZZ"), (Found{"JA", "AS"}));
  const CtyTables only = parse(header("Hidden", "AF", "*XX") + "    XX;\n");
  EXPECT_EQ(only.size(), 0u);
  EXPECT_EQ(lookup(only, "XX1A"), (Found{"", ""}));
}

TEST(CtyLookup, PortableForms) {
  const CtyTables t = parse(kSample);
  EXPECT_EQ(lookup(t, "JA1ABC/KH0"), (Found{"KH0", "OC"}));
  EXPECT_EQ(lookup(t, "KH0/JA1ABC"), (Found{"KH0", "OC"}));
  EXPECT_EQ(lookup(t, "JA1ABC/QRP"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "JA1ABC/P"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "JA1ABC/1"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "W1AW/JD1"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "KH0/JA1"), (Found{"KH0", "OC"}));  // equal lengths keep the form
  EXPECT_EQ(lookup(t, "KH0A/JA1"), (Found{"JA", "AS"}));
}

TEST(CtyParseRules, ItemsSpanLinesAndKeysOutsideTheBucketsAreDropped) {
  const CtyTables t = parse(header("Test", "SA", "T1") + "    T1,T2,\n    /X,a1,T3;\n" +
                            header("Other", "EU", "OT") + "    ,OT;\n");
  EXPECT_EQ(t.size(), 4u);
  EXPECT_EQ(lookup(t, "T3A"), (Found{"T1", "SA"}));
  EXPECT_EQ(lookup(t, "OT1"), (Found{"OT", "EU"}));
  const int bucket = CtyTables::BucketOf("T");
  ASSERT_EQ(t.CtyPrefixTable(bucket).size(), 3u);
  EXPECT_EQ(t.CtyPrefixTable(bucket)[2].Key, "T3");
  EXPECT_EQ(CtyTables::BucketOf("0"), 35);
  EXPECT_EQ(CtyTables::BucketOf("9"), 34);
  EXPECT_EQ(CtyTables::BucketOf("a"), -1);
}

TEST(CtyParseRules, MalformedLinesStopTheReadAndKeepWhatWasStored) {
  const std::string good = header("Japan", "AS", "JA") + "    JA;\n";
  struct Case {
    const char* what;
    std::string tail;
  } cases[] = {
      {"short header", "Short header: 25: 45: AS:\n    XA;\n"},
      {"blank line", "\n" + header("X", "EU", "XA") + "    XA;\n"},
      {"unclosed last item", header("X", "EU", "XA") + "    XA,XB\n"},
      {"brace without end", header("X", "EU", "XA") + "    XA{EU,XB;\n"},
  };
  for (const Case& c : cases) {
    CtyTables t;
    std::string error;
    EXPECT_FALSE(CtyParse(good + c.tail, t, &error)) << c.what;
    EXPECT_FALSE(error.empty()) << c.what;
    EXPECT_EQ(lookup(t, "JA1A"), (Found{"JA", "AS"})) << c.what;
    EXPECT_EQ(lookup(t, "XB1A"), (Found{"", ""})) << c.what;
  }
}

TEST(CtyParseRules, ABucketStopsAt32767Entries) {
  std::string text = header("Big", "EU", "A");
  for (int i = 0; i < 32768; ++i) text += "    A" + std::to_string(i) + ",\n";
  text += "    B1;\n";
  CtyTables t;
  std::string error;
  EXPECT_FALSE(CtyParse(text, t, &error));
  EXPECT_NE(error.find("32767"), std::string::npos);
  EXPECT_EQ(t.CtyPrefixTable(CtyTables::BucketOf("A")).size(), 32767u);
  EXPECT_EQ(lookup(t, "A32766X"), (Found{"A", "EU"}));
  EXPECT_EQ(lookup(t, "B1X"), (Found{"", ""}));
}

class CtyFile : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/tamarack_cty_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir = tmpl;
  }
  void TearDown() override { fs::remove_all(dir); }
  std::string dir;
  ScriptedUi ui;
  CtyTables tables;
};

TEST_F(CtyFile, MissingFileEmptiesTheTables) {
  std::ofstream(dir + "/Cty.dat", std::ios::binary) << kSample;
  EXPECT_EQ(CtyRead(dir, tables, ui), CtyReadResult::Ok);
  EXPECT_EQ(lookup(tables, "JA1A"), (Found{"JA", "AS"}));
  fs::remove(dir + "/Cty.dat");
  EXPECT_EQ(CtyRead(dir, tables, ui), CtyReadResult::Missing);
  EXPECT_EQ(tables.size(), 0u);
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, "NOT [Cty.dat] FILE");
  EXPECT_EQ(ui.messages[0].title, "Tamarack");
}

TEST_F(CtyFile, CrLfAndMalformedFiles) {
  std::string crlf;
  for (char c : kSample + "broken\n") {
    if (c == '\n') crlf += '\r';
    crlf += c;
  }
  std::ofstream(dir + "/Cty.dat", std::ios::binary) << crlf;
  EXPECT_EQ(CtyRead(dir, tables, ui), CtyReadResult::Error);
  ASSERT_EQ(ui.messages.size(), 1u);
  // the file, the line and what is missing because of it
  const std::string& t = ui.messages[0].text;
  EXPECT_EQ(t.rfind("国別ファイル " + dir + "/Cty.dat を最後まで読めませんでした（14 行目: ", 0), 0u) << t;
  EXPECT_NE(t.find("エンティティのマルチが欠けます"), std::string::npos) << t;
  EXPECT_EQ(lookup(tables, "UA9A"), (Found{"UA9", "AS"}));

  fs::remove(dir + "/Cty.dat");
  ASSERT_EQ(mkfifo((dir + "/Cty.dat").c_str(), 0600), 0);  // unreadable even for root
  EXPECT_EQ(CtyRead(dir, tables, ui), CtyReadResult::Error);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[1].text.rfind("国別ファイル " + dir + "/Cty.dat を読めません（", 0), 0u)
      << ui.messages[1].text;
  EXPECT_EQ(tables.size(), 0u);
}

TEST(CtyRealFile, KnownCalls) {
  const std::string path = "/usr/share/hamradio-files/cty.dat";
  std::string text;
  if (!fileio::readAll(path, text)) GTEST_SKIP() << "no public country file";
  CtyTables t;
  std::string error;
  ASSERT_TRUE(CtyParse(text, t, &error)) << error;
  EXPECT_EQ(lookup(t, "JA1ABC"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "7K1XYZ"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "JD1ABC"), (Found{"JD/o", "AS"}));  // Ogasawara by prefix
  EXPECT_EQ(lookup(t, "JD1BME"), (Found{"JD/m", "OC"}));  // Minami Torishima by exact call
  EXPECT_EQ(lookup(t, "JD1/JD1BIC"), (Found{"JD/m", "OC"}));
  EXPECT_EQ(lookup(t, "JA1ABC/KH0"), (Found{"KH0", "OC"}));
  EXPECT_EQ(lookup(t, "KH0/JA1ABC"), (Found{"KH0", "OC"}));
  EXPECT_EQ(lookup(t, "JA1ABC/QRP"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "JA1ABC/P"), (Found{"JA", "AS"}));
  EXPECT_EQ(lookup(t, "W1AW"), (Found{"K", "NA"}));
  EXPECT_EQ(lookup(t, "UA9AA"), (Found{"UA9", "AS"}));
}
